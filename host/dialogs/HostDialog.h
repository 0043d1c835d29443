// One dialog of the host's dialog manager, from DialogInit to DialogFree:
// the host's copies of the items, the dialog procedure, the geometry and
// the run. The class is spread over a file per concept, named at each
// group of members below; the items are DialogItem.h and the editing of
// an edit's text is EditLine.h. DialogRun sends DN_INITDIALOG and DN_GOTFOCUS, then draws the
// dialog and turns each key the front end reports into what Far does with
// it: DN_CONTROLINPUT first, then focus moves, editing with DN_EDITCHANGE,
// button and check box clicks (DN_BTNCLICK), hotkeys (DN_HOTKEY) and the
// close sequence (DN_CLOSE, histories saved); Ctrl+F5 and the cursor keys
// move the dialog; mouse events do what Far's mouse does there
// (DialogMouse.cpp). DM_* messages from the plugin are answered as Far
// answers them.
#pragma once

#include "host/frontends/FrontEnd.h"
#include "host/dialogs/HistoryStore.h"
#include "host/dialogs/DialogItem.h"
#include "host/dialogs/DialogLayout.h"
#include "host/dialogs/EditLine.h"

#include <functional>
#include <optional>
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
    const std::vector<DialogItem>& Items() const { return DialogItems; }

private:
    enum class Phase { Created, Initialising, Running, Finished };

    // The life of the dialog (HostDialog.cpp): the procedure, the run, the close.
    // The dialog procedure; the host's defaults once a close was accepted.
    intptr_t Call(intptr_t msg, intptr_t param1, void* param2);
    void StartItems();
    void Process(const DialogInput& input);
    bool Close(intptr_t exitCode);
    ScreenSize Screen() const;
    void Recenter();
    // Moves the dialog so that at least its corner cell is on the screen.
    void KeepOnScreen();
    // Moving the dialog with the keyboard (Ctrl+F5); true when the key was the move's.
    bool MoveByKey(const KeyPress& key);
    std::vector<ItemPlacement> Layout() const;

    // Focus and the items' actions (DialogFocus.cpp).
    void ChangeFocus(size_t target);
    void SetFocusIndex(size_t index);
    void FocusNeighbour(int direction, bool everyRadio);
    void FocusDefaultButton();
    size_t FirstFocusable() const;
    void PressButton(size_t index);
    void EnterOutsideButton();
    void ToggleCheck(size_t index);
    void OfferCheckState(size_t index, intptr_t state);
    intptr_t SelectRadio(size_t index, bool notify);
    void EditChanged(size_t index);
    void SetItemText(size_t index, std::u16string text);

    // Key dispatch (DialogKeys.cpp).
    // `notify`: a key the user pressed; false for one DM_KEY hands in.
    void ProcessKey(const KeyPress& key, bool notify);
    void ProcessEditKey(size_t index, const KeyPress& key);
    void ProcessPaste(const std::u16string& text);
    // DN_INPUT (when asked for) and DN_CONTROLINPUT for a key aimed at item
    // `index`; true when the procedure took the key or closed the dialog.
    bool ProcedureTookKey(size_t index, const Far3::INPUT_RECORD& record);
    // A button pressed by a hotkey or the mouse: the whole Enter path, so a
    // procedure that takes Enter away takes these presses away too; a check
    // box clicked by the mouse goes the Space path the same way.
    void PressThroughEnter(size_t button);
    void ToggleThroughSpace(size_t check);
    // DN_INPUT alone, when asked for: true when the procedure swallowed the event.
    bool InputNotifyTook(const Far3::INPUT_RECORD& record);
    bool ControlInputTook(size_t index, const Far3::INPUT_RECORD& record);
    bool IgnoresKeys() const;
    bool Hotkey(char16_t key, const Far3::INPUT_RECORD& record);

    // The mouse (DialogMouse.cpp): a press acts on the item under it or
    // starts a drag of the dialog; a press on a button, and a drag, last
    // until the mouse button goes up.
    void ProcessMouse(const Far3::MOUSE_EVENT_RECORD& mouse);
    void MousePressInside(const Far3::INPUT_RECORD& record, int x, int y);
    void MouseInEdit(size_t index, const CellRect& cells, int x);
    // What a press still holds: nothing, a button (pressed when the mouse
    // button goes up over it) or a drag of the dialog.
    void FinishMouseHold(const Far3::MOUSE_EVENT_RECORD& mouse);
    // Keys and resizes end a hold without pressing anything.
    void DropMouseHold();
    void DragTo(int mouseX, int mouseY);

    // The edits' histories (EditHistories.cpp).
    void StartFromLastHistory(DialogItem& item);
    // The drop-down list (HistoryList.h) until the user chooses an entry,
    // which goes into the edit, or closes it.
    void OpenHistory(size_t index);
    // Del in the list: the user's warning box; true when the user agreed.
    bool ConfirmHistoryClear();
    void SaveHistories();
    // Auto-completion: the list of history entries that start with the
    // edit's text, dropped down after each change the user makes.
    void OfferCompletion(size_t index, bool byHand);
    // A key while the list is open; true when the list took it.
    bool CompletionKey(const KeyPress& key);

    // Drawing and the view (DialogDrawing.cpp).
    void Draw();
    // Host records handed to the procedure (texts stay valid during the call).
    struct RecordCopy {
        Far3::FarDialogItem Record{};
        std::u16string Data, History, Mask;
    };
    void FillRecord(size_t index, RecordCopy& copy) const;

    // The DM_* protocol (DialogMessages.cpp).
    intptr_t ItemMessage(intptr_t msg, size_t index, void* param2);
    intptr_t GetDialogItem(size_t index, void* param2) const;
    intptr_t SetDialogItem(size_t index, const Far3::FarDialogItem* record, bool withTexts);
    intptr_t SetCheck(size_t index, intptr_t state);
    intptr_t ShowItem(size_t index, intptr_t show);

    DialogSetup Setup;
    std::vector<DialogItem> DialogItems;
    FrontEnd& User;
    HistoryStore& Histories;

    Phase State = Phase::Created;
    int Left = 0, Top = 0, Width = 1, Height = 1;
    bool CenterX = true, CenterY = true;
    size_t Focus = 0;
    // Set just before the first DN_GOTFOCUS: from here edits report changes and focus moves send events.
    bool Initialised = false;
    // The run has reached its input loop: the dialog is on the screen unless DM_SHOWDIALOG hid it.
    bool OnScreen = false;
    bool CloseAccepted = false;
    intptr_t ExitCode = -1;
    int RedrawCounter = 0;   // 0 draws; each lock makes it one lower
    bool Shown = true;       // DM_SHOWDIALOG
    bool Painted = true;     // the procedure let the last drawing happen
    bool InputNotify = false;
    std::vector<size_t> EditChangesInProgress;
    DialogView::CompletionList Completion;
    DialogView::HistoryListView OpenList;
    // Where a keyboard move started, while one is going on (Esc goes back there).
    struct KeyMoveStart {
        int Left = 0, Top = 0;
        bool CenterX = false, CenterY = false;
    };
    std::optional<KeyMoveStart> KeyMove;
    enum class MouseHold { None, Button, Drag };
    MouseHold Held = MouseHold::None;
    size_t HeldButton = 0;
    int DragX = 0, DragY = 0; // where the dialog was taken, from its corner
    std::optional<Far3::FarColor> Background; // DN_CTLCOLORDIALOG's answer at the last drawing
    std::vector<bool> ItemDrawn;
    std::vector<std::vector<Far3::FarColor>> ItemColors;
};

} // namespace Host
