// One dialog of the host's dialog manager, from DialogInit to DialogFree.
// HostDialog ties its parts together, each a type with its own state and
// file: the items (DialogItemModel.h), the focus and its rules
// (DialogFocus.h), key dispatch (DialogKeys.h), the mouse (DialogMouse.h),
// the keyboard move (DialogKeyboardMove.h), the DM_* messages
// (DialogMessages.h), the edits' histories (EditHistories.h) and the DN_DRAW*
// notifications (DrawNotifications.h). What stays here is what they share:
// the dialog procedure, the run and its close, where the dialog sits on the
// screen, the items' own actions (button presses, check box and radio
// clicks, an edit's change reports) and the view handed to the front end.
// DialogRun sends DN_INITDIALOG and DN_GOTFOCUS, then draws the dialog and
// hands each input the front end reports to its part until a close is
// accepted. One thread; the parts hold a reference to the dialog that owns
// them and live exactly as long as it.
#pragma once

#include "host/dialogs/DialogFocus.h"
#include "host/dialogs/DialogItemModel.h"
#include "host/dialogs/DialogKeyboardMove.h"
#include "host/dialogs/DialogKeys.h"
#include "host/dialogs/DialogLayout.h"
#include "host/dialogs/DialogMessages.h"
#include "host/dialogs/DialogMouse.h"
#include "host/dialogs/DialogPlace.h"
#include "host/dialogs/DrawNotifications.h"
#include "host/dialogs/EditHistories.h"
#include "host/dialogs/EditLine.h"
#include "host/dialogs/HistoryStore.h"
#include "host/frontends/FrontEnd.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace Host {

struct DialogSetup {
    Far3::GUID PluginId{};
    Far3::GUID Id{};
    intptr_t X1 = -1, Y1 = -1, X2 = 0, Y2 = 0;
    std::u16string HelpTopic;
    Far3::FARDIALOGFLAGS Flags = 0;
    Far3::FARWINDOWPROC Proc = nullptr;
    void* Param = nullptr;
    // F1: shows a topic of the plugin's help (the one DN_HELP answered).
    std::function<void(std::u16string_view topic)> ShowHelp;
    // What the edit lines reach: the host's clipboard and the panels' names.
    EditSurroundings Edits;
};

class HostDialog {
public:
    HostDialog(DialogSetup setup, std::vector<DialogItem> items, FrontEnd& user, HistoryStore& history);
    HostDialog(const HostDialog&) = delete;
    HostDialog& operator=(const HostDialog&) = delete;

    Far3::HANDLE Handle() { return this; }

    // DialogRun: returns the exit code (an item index, -1 Esc/F10, -2 Ctrl+Break).
    intptr_t Run();
    bool Running() const { return State == Phase::Initialising || State == Phase::Running; }

    // SendDlgMessage and DefDlgProc for this dialog.
    intptr_t Send(intptr_t msg, intptr_t param1, void* param2);
    intptr_t DefaultProc(intptr_t msg, intptr_t param1, void* param2);

    DialogView View() const;
    const std::vector<DialogItem>& Items() const { return Model.All(); }

private:
    friend class DialogFocus;
    friend class DialogKeys;
    friend class DialogMouse;
    friend class DialogKeyboardMove;
    friend class DialogMessages;
    friend class EditHistories;
    friend class DrawNotifications;

    enum class Phase { Created, Initialising, Running, Finished };

    // The dialog procedure; the host's defaults once a close was accepted.
    intptr_t Call(intptr_t msg, intptr_t param1, void* param2);
    void StartItems();
    void Process(const DialogInput& input);
    // DN_CLOSE, then the close itself (histories saved for an item's close);
    // true when the dialog is closed.
    bool Close(intptr_t exitCode);
    // The procedure may be called from here on (the dialog is initialised
    // and no close was accepted).
    bool Notifies() const { return Initialised && !CloseAccepted; }
    ScreenSize Screen() const;
    std::vector<ItemPlacement> Layout() const;

    // The items' own actions, with the procedure's say (DN_BTNCLICK,
    // DN_EDITCHANGE).
    void PressButton(size_t index);
    // Enter anywhere but on a button.
    void EnterOutsideButton();
    void ToggleCheck(size_t index);
    void OfferCheckState(size_t index, intptr_t state);
    intptr_t SelectRadio(size_t index, bool notify);
    void EditChanged(size_t index);
    void SetItemText(size_t index, std::u16string text);

    DialogSetup Setup;
    DialogItemModel Model;
    FrontEnd& User;

    Phase State = Phase::Created;
    DialogPlace Place;
    // Set just before the first DN_GOTFOCUS: from here edits report changes and focus moves send events.
    bool Initialised = false;
    // The run has reached its input loop: the dialog is on the screen unless DM_SHOWDIALOG hid it.
    bool OnScreen = false;
    bool CloseAccepted = false;
    intptr_t ExitCode = -1;
    bool Shown = true; // DM_SHOWDIALOG
    std::vector<size_t> EditChangesInProgress;

    DialogFocus Focus{*this};
    DialogKeys Keys{*this};
    DialogMouse Mouse{*this};
    DialogKeyboardMove KeyboardMove{*this};
    DialogMessages Messages{*this};
    EditHistories Histories;
    DrawNotifications Drawing;
};

} // namespace Host
