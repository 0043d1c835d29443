#include "plugin/uOptionsUI.h"

#include "plugin/uPluginConsts.h"
#include "plugin/uStrings.h"

namespace Zelvane {

namespace {

// Frame, two check boxes and the button row.
constexpr int32_t DialogHeight = 8;
// The dialog's topic in the help files beside the plugin (F1).
constexpr const char16_t* HelpTopicName = u"OptionsDialog";

} // namespace

TOptionsDialog::TOptionsDialog() : TOkCancelDialog(OptionsDialogGuid)
{
    HelpTopic = HelpTopicName;
}

void TOptionsDialog::CreateContent()
{
    TOkCancelDialog::CreateContent();
    AllowRenameCheckbox = AddCheckbox(0, 0, MessageText(TMessage::AllowRenameUnderCursor), false);
    SavePatternSettingsCheckbox = AddCheckbox(0, 0, MessageText(TMessage::RememberCounterByDefault), false);
}

void TOptionsDialog::AdjustSize(int32_t& Width, int32_t& Height)
{
    TOkCancelDialog::AdjustSize(Width, Height);
    Height = DialogHeight;
}

void TOptionsDialog::SetSize(int32_t Width, int32_t Height)
{
    TOkCancelDialog::SetSize(Width, Height);
    StackControl(*AllowRenameCheckbox);
    StackControl(*SavePatternSettingsCheckbox);
}

void TOptionsDialog::ClearControls()
{
    TOkCancelDialog::ClearControls();
    AllowRenameCheckbox = nullptr;
    SavePatternSettingsCheckbox = nullptr;
}

bool TOptionsDialog::Execute()
{
    AllowRenameCheckbox->SetChecked(Options->AllowRenameFileUnderCursor());
    SavePatternSettingsCheckbox->SetChecked(Options->SavePatternSettings());
    if (!ExecuteOk())
        return false;
    Options->SetAllowRenameFileUnderCursor(AllowRenameCheckbox->GetChecked());
    Options->SetSavePatternSettings(SavePatternSettingsCheckbox->GetChecked());
    return true;
}

} // namespace Zelvane
