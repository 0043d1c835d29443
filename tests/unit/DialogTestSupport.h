// Support for the dialog framework tests: a host dialog that keeps its own
// copy of the items and answers the item messages from it, as Far's dialog
// manager does, and a plain dialog class to run against it.
#pragma once

#include "FakeHost.h"

#include "framework/FarButtonsDialog.h"

#include <functional>
#include <set>

namespace TestSupport {

class FakeDialogHost {
public:
    struct Item {
        Far3::FarDialogItem Record{};
        String Text, History;
    };

    // Installs the dialog services into `host`.
    explicit FakeDialogHost(FakeHost& host);

    // Delivers a host event to the dialog procedure handed to DialogInit.
    intptr_t Send(intptr_t msg, intptr_t param1, void* param2 = nullptr) { return Proc(Handle, msg, param1, param2); }
    // The messages of one kind sent to the dialog so far.
    std::vector<DialogMessage> Sent(intptr_t msg) const;

    std::vector<Item> Items;      // the host's copy; tests change it to play the user
    std::set<intptr_t> Refused;   // messages answered 0
    std::function<intptr_t()> OnRun; // DialogRun; without it the user presses Esc
    Far3::FARWINDOWPROC Proc = nullptr;
    const Far3::HANDLE Handle = reinterpret_cast<Far3::HANDLE>(intptr_t{0x5150});

private:
    intptr_t Answer(intptr_t msg, intptr_t param1, void* param2);
    FakeHost& Host;
};

// A plain dialog of the given size (0: the host window's).
class TTestDialog : public Tessel::TFarDialog {
public:
    // Controls of the kinds that have no factory.
    TRadioButton* AddRadioButton(const String& caption);
    TListbox* AddListbox(int32_t height);

    // Runs after the size is stored, where a real dialog places its controls.
    std::function<void()> OnSetSize;
    void SetSize(int32_t width, int32_t height) override;

protected:
    explicit TTestDialog(int32_t width = 0, int32_t height = 0);
    friend class Tessel::TFarDialog;
};

// A built test dialog with a control of each kind, at positions 0 to 5.
// Events the dialog leaves to the host get Defaulted from DefDlgProc.
struct ActiveDialog {
    static constexpr intptr_t Defaulted = 99;

    ActiveDialog();
    FakeDialogHost::Item& HostItem(Tessel::TFarDialog::TControl* control) { return Dialogs.Items[control->GetIndex()]; }

    FakeHost Host;
    FakeDialogHost Dialogs{Host};
    std::unique_ptr<TTestDialog> Dialog = Tessel::TFarDialog::Create<TTestDialog>();
    Tessel::TFarDialog::TButton* Button = Dialog->AddButton(0, 6, u"OK");
    Tessel::TFarDialog::TCheckbox* Checkbox = Dialog->AddCheckbox(5, 3, u"Box", false);
    Tessel::TFarDialog::TRadioButton* Radio = Dialog->AddRadioButton(u"Radio");
    Tessel::TFarDialog::TEdit* Edit = Dialog->AddEdit(5, 4, 10, u"typed");
    Tessel::TFarDialog::TListbox* List = Dialog->AddListbox(3);
    Tessel::TFarDialog::TLabel* Label = Dialog->AddLabel(5, 2, 20, u"Label", Tessel::taLeft);
};

inline const Far3::GUID TestDialogGuid{0xA1B2C3D4, 0x1111, 0x2222, {1, 2, 3, 4, 5, 6, 7, 8}};

// The message of the E that `call` raises.
template <typename E>
std::u16string MessageOf(const std::function<void()>& call)
{
    try {
        call();
    } catch (const E& e) {
        return e.Message();
    }
    return u"(nothing raised)";
}

} // namespace TestSupport
