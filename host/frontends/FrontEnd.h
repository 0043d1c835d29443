// What the person in front of Far sees and answers: message boxes, dialogs,
// editor and viewer windows and the screen size. The host's services talk to the user only
// through this interface: a person uses the full-screen view
// (FullScreenFrontEnd), a script the line mode (LineFrontEnd), and a test
// scripts the user (tests/support/ScriptedFrontEnd). Texts are UTF-8.
#pragma once

#include "far3/Plugin3.h"
#include "host/text/HelpFile.h"
#include "host/text/KeyScript.h"
#include "host/dialogs/DialogView.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace Host {

class Clipboard;

// A message box as Far builds it from Message(): title, text lines, buttons.
struct MessageBox {
    uint64_t Flags = 0;
    std::string Title;
    std::vector<std::string> Lines;
    std::vector<std::string> Buttons;
    // Where Ctrl+C and Ctrl+Ins in the running box copy its texts; null:
    // nowhere. Not owned.
    Clipboard* Copies = nullptr;
};

// An editor window opened by Editor().
struct EditorWindow {
    intptr_t Id = 0;
    std::filesystem::path FileName;
    std::string Title;
    intptr_t X1 = 0, Y1 = 0, X2 = -1, Y2 = -1;
    uint64_t Flags = 0;
    intptr_t StartLine = -1;
    intptr_t StartChar = -1;
    uintptr_t CodePage = 0;
};

// A viewer window opened by Viewer(); the host shows it until the user closes it.
struct ViewerWindow {
    std::filesystem::path FileName;
    std::string Title;
    intptr_t X1 = 0, Y1 = 0, X2 = -1, Y2 = -1;
    uint64_t Flags = 0;
    uintptr_t CodePage = 0;
};

struct ScreenSize {
    int Width = 80;
    int Height = 25;
};

// What the user does while a dialog is up: presses a key, resizes the
// console (the front end then reports the new size from Screen()), pastes
// text into the terminal (it arrives as one paste, as Shift+Ins), or uses
// the mouse: a button goes down or up, or the mouse moves with the left
// button held, as Far's MOUSE_EVENT_RECORD tells it (screen cells from 0;
// dwButtonState the buttons held after the event, so 0 on a release).
struct DialogInput {
    enum class Kind { Key, Resize, Paste, Mouse };
    Kind What = Kind::Key;
    KeyPress Key;
    ScreenSize Size;
    std::u16string Text;
    Far3::MOUSE_EVENT_RECORD Mouse{};

    static DialogInput Press(const KeyPress& key) { return {Kind::Key, key, {}, {}}; }
    static DialogInput Resized(ScreenSize size) { return {Kind::Resize, {}, size, {}}; }
    static DialogInput Pasted(std::u16string text) { return {Kind::Paste, {}, {}, std::move(text)}; }
    static DialogInput MouseEvent(const Far3::MOUSE_EVENT_RECORD& mouse) { return {Kind::Mouse, {}, {}, {}, mouse}; }
};

// The user's answer while a drop-down list is open: a key for the list, or
// (where the entries are offered by number: the line mode, test scripts)
// the entry chosen outright, by its place among the list's entries.
struct ListInput {
    KeyPress Key;
    intptr_t Entry = -1;
};

class FrontEnd {
public:
    virtual ~FrontEnd() = default;

    // Shows the box and returns the 0-based button chosen, -1 for Esc.
    // A box without buttons is only drawn; its answer is ignored.
    virtual intptr_t ShowMessage(const MessageBox& box) = 0;
    // A new editor window over the file; the host keeps it open until closed.
    virtual void OpenEditor(const EditorWindow& editor) = 0;
    // An editor window the caller waits for (Far's modal editor): the user
    // works in it until it closes. True when the file was saved while it
    // was open. The host closes it afterwards (CloseEditor).
    virtual bool RunEditor(const EditorWindow& editor) = 0;
    virtual void CloseEditor(intptr_t id) = 0;
    // Shows the file read-only and returns when the user has closed it.
    virtual void ShowViewer(const ViewerWindow& viewer) = 0;
    // The plugin asked for the whole screen to be drawn anew (ACTL_REDRAWALL):
    // what boxes without buttons left on it goes.
    virtual void RedrawAll() {}
    // The host's clipboard has a new text: a front end may hand it on to
    // the terminal's clipboard.
    virtual void OfferClipboard(std::u16string_view) {}
    // Empty when the console size cannot be read.
    virtual std::optional<ScreenSize> Screen() = 0;

    // A dialog starts running (after the plugin's DN_INITDIALOG); Closed
    // follows for every Opened, nested dialogs inside.
    virtual void DialogOpened(const DialogView& dialog) = 0;
    // Shows the dialog as it is now and waits for the user's next action.
    virtual DialogInput ReadDialogInput(const DialogView& dialog) = 0;
    // A drop-down list (an edit's history, dialog.HistoryList) is open:
    // shows the dialog with it and waits for the user's next answer in it.
    virtual ListInput ReadListInput(const DialogView& dialog) = 0;
    // The dialog changed without waiting for input (a click moved the focus
    // to an edit whose list drops down next): what is shown follows it.
    virtual void DialogChanged(const DialogView&) {}
    // The dialog closed with `exitCode`; `dialog` is its last state.
    virtual void DialogClosed(const DialogView& dialog, intptr_t exitCode) = 0;
    // F1 in a dialog: shows `topic`, one of `help`'s topics, until the user
    // closes it (links lead to the file's other topics).
    virtual void ShowHelp(const HelpFile& help, const HelpTopic& topic) = 0;
    // A key the user typed while the plugin works, with no dialog or box
    // waiting for it (what Far's console input queue then holds): the next
    // one, or nothing when none is there. Never waits.
    virtual std::optional<KeyPress> TypedKey() { return std::nullopt; }
};

} // namespace Host
