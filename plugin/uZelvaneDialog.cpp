#include "plugin/uZelvaneDialog.h"

#include "base/IntConvert.h"
#include "far3/FarKeysW.h"
#include "plugin/uPluginConsts.h"
#include "plugin/uStrings.h"

namespace Zelvane {

namespace {

// The height of the rename dialog: frame, six rows of content and buttons.
constexpr int32_t DialogHeight = 11;
// Columns of the starting number's field.
constexpr int32_t NumberWidth = 10;
// The dialog's topic in the help files beside the plugin (F1).
constexpr const char16_t* HelpTopicName = u"RenameDialog";

} // namespace

TZelvaneDialog::TZelvaneDialog() : TOkCancelDialog(RenameDialogGuid)
{
    HelpTopic = HelpTopicName;
}

void TZelvaneDialog::CreateContent()
{
    TOkCancelDialog::CreateContent();
    TemplateLabel = AddLabel(0, 0, 0, MessageText(TMessage::TemplateLabel), Tessel::taLeft);
    TemplateEdit = AddEdit(0, 0, 0, String());
    TemplateEdit->SetHistory(u"FileNamePattern");
    TemplateEdit->SetOnChange([this](TControl&, bool& Allow) { TemplateChange(Allow); });
    NumberLabel = AddLabel(0, 0, 0, MessageText(TMessage::StartingNumberLabel), Tessel::taLeft);
    NumberEdit = AddEdit(0, 0, 0, String());
    NumberEdit->SetOnChange([this](TControl&, bool& Allow) { NumberChange(Allow); });
    PatternSeparator = AddSeparator(0);
    SavePatternCheckbox = AddCheckbox(0, 0, MessageText(TMessage::RememberCounter), false);
}

void TZelvaneDialog::CreateButtons()
{
    TOkCancelDialog::CreateButtons();
    ForgetButton = AddButton(0, 0, MessageText(TMessage::ForgetPattern));
    ForgetButton->SetNoClose(true);
    ForgetButton->OnClick = [this](TControl&, bool& Flag) { ForgetClick(Flag); };
    // The host hands keys to the procedure with the focused control, so
    // every control that can hold the focus listens for F3.
    for (TControl* control : std::initializer_list<TControl*>{TemplateEdit, NumberEdit, SavePatternCheckbox, OkButton,
                                                              CancelButton, ForgetButton})
        control->OnKeyDown = [this](TControl&, uint16_t Key, uint32_t ControlState, bool& Handled) {
            KeyDown(Key, ControlState, Handled);
        };
}

void TZelvaneDialog::AdjustSize(int32_t& Width, int32_t& Height)
{
    TOkCancelDialog::AdjustSize(Width, Height);
    Height = DialogHeight;
}

void TZelvaneDialog::SetSize(int32_t Width, int32_t Height)
{
    TOkCancelDialog::SetSize(Width, Height);
    StackControl(*TemplateLabel);
    StackControl(*TemplateEdit);
    StackControl(*NumberEdit);
    NumberEdit->SetWidth(NumberWidth);
    PlaceRightOf(*NumberLabel, *NumberEdit);
    StackControl(*PatternSeparator);
    StackControl(*SavePatternCheckbox);
    ForgetButton->SetTop(OkButton->GetTop());
}

void TZelvaneDialog::ClearControls()
{
    TOkCancelDialog::ClearControls();
    TemplateLabel = nullptr;
    TemplateEdit = nullptr;
    NumberLabel = nullptr;
    NumberEdit = nullptr;
    PatternSeparator = nullptr;
    SavePatternCheckbox = nullptr;
    ForgetButton = nullptr;
}

bool TZelvaneDialog::Execute()
{
    TemplateEdit->SetText(Options->FileNameTemplate());
    NumberEdit->SetText(Options->StartingNumber());
    SavePatternCheckbox->SetChecked(SavePattern);
    LookupSavedPattern();
    UpdateOkButton();
    // A host may close with OK although OK was disabled: unusable input
    // is then taken as Cancel.
    if (!ExecuteOk() || !InputUsable())
        return false;
    Options->SetFileNameTemplate(TemplateEdit->GetText());
    Options->SetStartingNumber(NumberEdit->GetText());
    SavePattern = SavePatternCheckbox->GetChecked();
    return true;
}

bool TZelvaneDialog::HandleMessage(intptr_t Msg, intptr_t Param1, void* Param2, intptr_t& Result)
{
    if (Msg == Far3::DN_CLOSE && OkButton != nullptr && Param1 == OkButton->GetIndex() && OnConfirm &&
        InputUsable() && !OnConfirm(TemplateEdit->GetText())) {
        Result = 0;
        return true;
    }
    return TOkCancelDialog::HandleMessage(Msg, Param1, Param2, Result);
}

void TZelvaneDialog::LookupSavedPattern()
{
    // Leaving a remembered template: the remember choice goes back to
    // what the dialog started with; the number shown stays.
    if (ForgetButton->GetEnabled()) {
        SavePatternCheckbox->SetChecked(SavePattern);
        ForgetButton->SetEnabled(false);
    }
    const TOptions::TSavedPatternInfo* saved = Options->SavedPatterns().TryGet(TemplateEdit->GetText());
    if (saved && !saved->StartingNumber().empty()) {
        NumberEdit->SetText(saved->StartingNumber());
        // The next typed character replaces the whole number.
        NumberEdit->SetUnchanged(true);
        SavePatternCheckbox->SetChecked(true);
        ForgetButton->SetEnabled(true);
    }
}

bool TZelvaneDialog::InputUsable()
{
    const std::optional<int32_t> number = Base::TryStrToInt(NumberEdit->GetText());
    return !TemplateEdit->GetText().empty() && number && *number >= 0;
}

void TZelvaneDialog::UpdateOkButton()
{
    OkButton->SetEnabled(InputUsable());
}

void TZelvaneDialog::TemplateChange(bool& /*Allow*/)
{
    LookupSavedPattern();
    UpdateOkButton();
}

void TZelvaneDialog::NumberChange(bool& /*Allow*/)
{
    UpdateOkButton();
}

void TZelvaneDialog::ForgetClick(bool& Flag)
{
    Options->SavedPatterns().Remove(TemplateEdit->GetText());
    NumberEdit->SetFocused(true);
    SavePatternCheckbox->SetChecked(false);
    ForgetButton->SetEnabled(false);
    // Handled: the dialog stays open.
    Flag = true;
}

void TZelvaneDialog::KeyDown(uint16_t Key, uint32_t ControlState, bool& Handled)
{
    constexpr uint32_t Modifiers = Far3::ControlKey::AnyAlt | Far3::ControlKey::AnyCtrl | Far3::ControlKey::Shift;
    if (Key != Far3::VirtualKey::F3 || (ControlState & Modifiers) != 0)
        return;
    Handled = true;
    if (OkButton->GetEnabled() && OnPreview)
        OnPreview(TemplateEdit->GetText(), NumberEdit->GetText());
}

} // namespace Zelvane
