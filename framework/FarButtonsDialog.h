// Button-row dialogs: a titled double frame, content stacked downwards from
// the frame's top, and a row of buttons at the bottom under a separator.
//
// Subclasses are written against three phases: create content controls in
// CreateContent (at provisional positions) and extra buttons in
// CreateButtons, each after calling the inherited one; place controls in
// SetSize after calling the inherited one (it runs at every build and
// console resize, and the stacking starts again at the top each time);
// forget their control pointers in ClearControls after calling the
// inherited one; fix their height in AdjustSize.
#pragma once

#include "framework/FarDialog.h"
#include "framework/FarDialogControls.h"
#include "framework/FarDialogEdits.h"

namespace Tessel {

class TButtonsDialog : public TFarDialog {
public:
    // A rectangle in dialog coordinates; Right and Bottom are exclusive.
    struct TRect {
        int32_t Left = 0;
        int32_t Top = 0;
        int32_t Right = 0;
        int32_t Bottom = 0;
    };

    void ClearControls() override;
    // Inside the frame: 2 columns in from its sides, 1 row in from its borders.
    void GetClientRect(int32_t& Left, int32_t& Top, int32_t& Width, int32_t& Height) override;
    // Places the frame, the separator, and starts the stacking again.
    void SetSize(int32_t Width, int32_t Height) override;
    using TFarDialog::Columnize;
    // A negative width takes an equal share of what the fixed widths leave
    // of the content area right of X.
    void Columnize(const TColumnWidths& Widths, const TControlRow& Controls, int32_t X, int32_t Y) override;

    // The area for content controls: below what is stacked already, above
    // the separator.
    TRect GetContentRect();
    // Places the control on the next free rows of the content area; a
    // visible one (or any, with Force) takes its height plus Gap rows.
    void StackControl(TControl& Control, int32_t LeftIndent = 0, int32_t RightIndent = 0, int32_t Gap = 0,
                      bool Force = false);
    // Places the control on Anchor's row, right of what Anchor shows, up to
    // the content area's right edge.
    void PlaceRightOf(TControl& Control, TControl& Anchor, int32_t Offset = 1, int32_t RightIndent = 0,
                      int32_t MaxWidth = 0);
    virtual void ResetLayout();
    // A row of controls from the content area's left edge.
    virtual void ColumnizeInContent(const TColumnWidths& Widths, const TControlRow& Controls);

protected:
    explicit TButtonsDialog(const Far3::GUID& Id);

    // Creates the controls, then settles the size.
    void AfterConstruction() override;
    // Frame, content, separator, buttons: the order of the host's items and of Tab.
    virtual void CreateControls();
    virtual void CreateContent();
    virtual void CreateButtons();

    // Owned by the dialog's control list, like every control.
    TDoubleBox* Frame = nullptr;
    TSeparator* ButtonSeparator = nullptr;
    // Rows at the top of the content area taken by stacked controls.
    int32_t UsedTop = 0;

private:
    friend class TFarDialog;
};

// OK (the default button) and Cancel in the button row.
class TOkCancelDialog : public TButtonsDialog {
public:
    void ClearControls() override;
    // Puts OK and Cancel on the button row.
    void SetSize(int32_t Width, int32_t Height) override;

    // Runs the dialog: true exactly when OK closed it.
    bool ExecuteOk();

protected:
    explicit TOkCancelDialog(const Far3::GUID& Id);

    void CreateButtons() override;

    TButton* OkButton = nullptr;
    TButton* CancelButton = nullptr;

private:
    friend class TFarDialog;
};

} // namespace Tessel
