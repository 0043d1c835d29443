// TZelvaneDialog: the rename dialog. The user edits the name template and
// the counter's starting number and chooses whether the counter this run
// reaches is remembered for the template. While the user types, the saved
// counter of a remembered template is shown (and can be forgotten), and OK
// stays disabled until the input is usable. On OK the template and number go
// back into the options; saving them and renaming are the caller's. F3
// shows what a run with the input as it stands would do (OnPreview); OK
// closes only on a template the caller takes (OnConfirm).
#pragma once

#include "framework/FarButtonsDialog.h"
#include "plugin/uOptions.h"

#include <functional>

namespace Zelvane {

class TZelvaneDialog : public Tessel::TOkCancelDialog {
public:
    // Set by the caller before Execute: the plugin's options (not owned),
    // and the remember choice to start with. After OK, SavePattern holds
    // the choice the user left.
    TOptions* Options = nullptr;
    bool SavePattern = false;
    // Called on F3 while OK is enabled, with the template and starting
    // number as they stand; the dialog stays as it was. May be left empty.
    std::function<void(const String& fileNameTemplate, const String& startingNumber)> OnPreview;
    // Called when OK is about to close the dialog on usable input, with the
    // template as it stands; false keeps the dialog open (the callee has
    // told the user why). May be left empty.
    std::function<bool(const String& fileNameTemplate)> OnConfirm;

    // Fills the controls from the options and runs the dialog; true when
    // it was closed with OK on usable input, and the options then hold
    // the new input (OK on unusable input counts as Cancel).
    bool Execute();

    // Refuses to close with OK while OnConfirm turns the template down.
    bool HandleMessage(intptr_t Msg, intptr_t Param1, void* Param2, intptr_t& Result) override;

protected:
    TZelvaneDialog();

    void CreateContent() override;
    void CreateButtons() override;
    void SetSize(int32_t Width, int32_t Height) override;
    void AdjustSize(int32_t& Width, int32_t& Height) override;
    void ClearControls() override;

private:
    friend class Tessel::TFarDialog;

    // Shows the saved counter of the typed template, if it has one.
    void LookupSavedPattern();
    // A template that is not empty and a number from 0 to 2147483647.
    bool InputUsable();
    // OK only for usable input.
    void UpdateOkButton();
    // The change and click handlers of the template, number and forget controls.
    void TemplateChange(bool& Allow);
    void NumberChange(bool& Allow);
    void ForgetClick(bool& Flag);
    // F3 in any of the dialog's controls asks for the preview.
    void KeyDown(uint16_t Key, uint32_t ControlState, bool& Handled);

    TLabel* TemplateLabel = nullptr;
    TEdit* TemplateEdit = nullptr;
    TLabel* NumberLabel = nullptr;
    TEdit* NumberEdit = nullptr;
    TSeparator* PatternSeparator = nullptr;
    TCheckbox* SavePatternCheckbox = nullptr;
    TButton* ForgetButton = nullptr;
};

} // namespace Zelvane
