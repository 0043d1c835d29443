// TOptionsDialog: the configuration dialog. Two check boxes for the two
// behaviour switches of the options; on OK they go back into the options,
// which the caller saves.
#pragma once

#include "framework/FarButtonsDialog.h"
#include "plugin/uOptions.h"

namespace Zelvane {

class TOptionsDialog : public Tessel::TOkCancelDialog {
public:
    // Set by the caller before Execute; not owned.
    TOptions* Options = nullptr;

    // True when closed with OK; the options then hold the switches as left.
    bool Execute();

protected:
    TOptionsDialog();

    void CreateContent() override;
    void SetSize(int32_t Width, int32_t Height) override;
    void AdjustSize(int32_t& Width, int32_t& Height) override;
    void ClearControls() override;

private:
    friend class Tessel::TFarDialog;

    TCheckbox* AllowRenameCheckbox = nullptr;
    TCheckbox* SavePatternSettingsCheckbox = nullptr;
};

} // namespace Zelvane
