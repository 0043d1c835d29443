// The user, played by a test: answers message boxes from a queue, works
// dialogs from a script of keys, and keeps a record of everything shown, so
// a test can check what the user saw.
#pragma once

#include "host/frontends/FrontEnd.h"

#include <deque>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace Host {

class ScriptedFrontEnd : public FrontEnd {
public:
    // An editor as shown, with the file's bytes read when it opened (the host
    // may delete the file when the editor closes).
    struct ShownEditor {
        EditorWindow Window;
        std::string Content;
        bool FileExisted = false;
        bool Closed = false;
        // A modal editor the user saved: the bytes written.
        std::optional<std::string> Saved;
    };

    // A viewer as shown, with the file's bytes read when it opened.
    struct ShownViewer {
        ViewerWindow Window;
        std::string Content;
    };

    // Answers for the coming message boxes, in order. When the queue is
    // empty a box is answered with DefaultAnswer.
    void QueueAnswer(intptr_t button) { Answers.push_back(button); }
    void QueueAnswers(std::initializer_list<intptr_t> buttons) { Answers.insert(Answers.end(), buttons); }
    size_t PendingAnswers() const { return Answers.size(); }
    intptr_t DefaultAnswer = 0;

    void SetScreen(std::optional<ScreenSize> size) { Size = size; }

    // What the user does in the coming modal editors, in order: replaces the
    // whole text with `text` (UTF-8; the file's line ends and byte order mark
    // are kept as the host's editor keeps them), saves when `save`, and
    // closes the window. A modal editor with nothing queued is closed as it
    // opened, unsaved.
    void QueueEditorText(std::string text, bool save = true) { EditorSessions.push_back({std::move(text), save}); }
    size_t PendingEditorTexts() const { return EditorSessions.size(); }

    // A dialog as the user met it: when it opened, when it closed, and
    // the drop-down lists it showed (their entries as first shown).
    struct ShownDialog {
        DialogView Opened;
        DialogView Closed;
        intptr_t ExitCode = -1;
        bool Finished = false;
        std::vector<std::vector<std::string>> Lists;
    };

    // What the user does in dialogs, in order: keys (key-script notation,
    // see KeyScript.h), console resizes, checks that run with the dialog as
    // shown at that moment, and choices in drop-down lists. While a list is
    // open the keys go to the list, and a choice takes the entry at that
    // place outright. When the script runs out while a dialog or a list
    // waits, the user presses Esc; when that does not close a dialog after
    // many tries, ReadDialogInput throws HostError.
    void QueueKeys(std::string_view script);
    void QueueResize(ScreenSize size);
    void QueueCheck(std::function<void(const DialogView&)> check);
    void QueueListChoice(intptr_t entry);
    // Text pasted into the terminal (one paste, as Shift+Ins).
    void QueuePaste(std::u16string text);
    // A mouse event as Far's record tells it (screen cells from 0), and a
    // click: the button (Far3::MouseButton) going down and up at x, y.
    void QueueMouse(const Far3::MOUSE_EVENT_RECORD& mouse);
    void QueueClick(int x, int y, uint32_t button);
    size_t PendingDialogInput() const { return Steps.size(); }
    // Keys typed while the plugin works (Esc to stop a long run), taken
    // by the console input in order, apart from the dialogs' script.
    void QueueTypedKeys(std::string_view script);
    size_t PendingTypedKeys() const { return TypedKeys.size(); }
    bool RanOutOfInput() const { return OutOfInput; }

    const std::vector<ShownDialog>& Dialogs() const { return ShownDialogs; }

    // A help topic as shown: its file's language, the topic's name, and
    // its lines (the fixed ones first) as text.
    struct ShownHelp {
        std::u16string Language;
        std::u16string Topic;
        std::vector<std::u16string> Lines;
    };
    const std::vector<ShownHelp>& Helps() const { return ShownHelps; }

    const std::vector<MessageBox>& Messages() const { return ShownMessages; }
    const std::vector<ShownEditor>& Editors() const { return ShownEditors; }
    const std::vector<ShownViewer>& Viewers() const { return ShownViewers; }
    void ClearRecord();

    intptr_t ShowMessage(const MessageBox& box) override;
    void OpenEditor(const EditorWindow& editor) override;
    bool RunEditor(const EditorWindow& editor) override;
    void CloseEditor(intptr_t id) override;
    void ShowViewer(const ViewerWindow& viewer) override;
    std::optional<ScreenSize> Screen() override { return Size; }
    void DialogOpened(const DialogView& dialog) override;
    DialogInput ReadDialogInput(const DialogView& dialog) override;
    ListInput ReadListInput(const DialogView& dialog) override;
    void DialogClosed(const DialogView& dialog, intptr_t exitCode) override;
    void ShowHelp(const HelpFile& help, const HelpTopic& topic) override;
    std::optional<KeyPress> TypedKey() override;

private:
    struct ListChoice {
        intptr_t Entry;
    };
    struct Paste {
        std::u16string Text;
    };
    using Step = std::variant<KeyPress, ScreenSize, std::function<void(const DialogView&)>, ListChoice, Paste,
                              Far3::MOUSE_EVENT_RECORD>;

    struct EditorSession {
        std::string Text;
        bool Save = true;
    };

    std::deque<EditorSession> EditorSessions;
    std::deque<Step> Steps;
    std::deque<KeyPress> TypedKeys;
    bool OutOfInput = false;
    int EscapesAfterTheScript = 0;
    std::vector<ShownDialog> ShownDialogs;
    // Indices into ShownDialogs of the dialogs running now, innermost last.
    std::vector<size_t> Running;
    std::deque<intptr_t> Answers;
    std::vector<MessageBox> ShownMessages;
    std::vector<ShownEditor> ShownEditors;
    std::vector<ShownViewer> ShownViewers;
    std::vector<ShownHelp> ShownHelps;
    std::optional<ScreenSize> Size = ScreenSize{};
};

} // namespace Host
