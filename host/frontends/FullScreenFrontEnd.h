// The user at a full-screen terminal, as Far Manager shows things: the
// panels (painted by the application) under everything, dialogs painted by
// the dialog manager over them with their shadows, message boxes built and
// run as Far builds them, drop-down history lists below their edit line,
// and editor windows and help windows over the whole screen. Editors the plugin opens to
// show later (Far's non-modal editors) wait until the application shows
// them, once the plugin has returned.
#pragma once

#include "host/frontends/FrontEnd.h"
#include "host/console/Console.h"
#include "host/views/EditorView.h"
#include "host/views/MenuView.h"

#include <functional>
#include <string>
#include <vector>

namespace Host {

class FullScreenFrontEnd : public FrontEnd {
public:
    // `console` is not owned and must outlive this.
    explicit FullScreenFrontEnd(Console& console) : Term(console) {}

    using Painter = std::function<void(ScreenBuffer&)>;
    // What lies under dialogs and menus.
    void SetBackground(Painter painter) { Background = std::move(painter); }

    intptr_t ShowMessage(const MessageBox& box) override;
    void OpenEditor(const EditorWindow& editor) override;
    void CloseEditor(intptr_t id) override;
    // The file over the whole screen until Esc, F10 or F3 closes it.
    void ShowViewer(const ViewerWindow& viewer) override;
    void RedrawAll() override;
    // Offered to the terminal's clipboard (OSC 52) where it takes it.
    void OfferClipboard(std::u16string_view text) override;
    std::optional<ScreenSize> Screen() override { return Term.Size(); }
    void DialogOpened(const DialogView& dialog) override;
    DialogInput ReadDialogInput(const DialogView& dialog) override;
    ListInput ReadListInput(const DialogView& dialog) override;
    void DialogChanged(const DialogView& dialog) override;
    void DialogClosed(const DialogView& dialog, intptr_t exitCode) override;
    // The help window (HelpView) until the user closes it.
    void ShowHelp(const HelpFile& help, const HelpTopic& topic) override;

    // Composes the screen (background, boxes left on it, open dialogs, then
    // `top`) and puts it on the terminal.
    void Refresh(std::optional<CursorSpot> cursor = std::nullopt, const Painter& top = {});
    // Shows the menu over the screen until a line is chosen (its index) or
    // the menu is cancelled (-1).
    intptr_t RunMenu(MenuBox& menu);
    // Shows the editor window until the user closes it: the host's own
    // editor (EditorView), or the external editor when one is set, which is
    // taken as having saved when the file's bytes changed.
    bool RunEditor(const EditorWindow& editor) override;
    // The shell command of the external editor (ExternalEditorCommand());
    // empty: the host's own editor.
    void SetExternalEditor(std::string command) { ExternalEditor = std::move(command); }
    // The editors waiting to be shown, oldest first; the list is emptied.
    std::vector<EditorWindow> TakeWaitingEditors();
    // Boxes without buttons stay on the screen until the panels are drawn anew.
    void ForgetLooseBoxes() { LooseBoxes.clear(); }
    // The terminal has gone away: the application should end.
    bool ConsoleClosed() const { return Closed; }
    // Reads the next event, remembering when the terminal has gone.
    ConsoleEvent Read();
    // A key the terminal has sent already, while the plugin works: other
    // events that came before it go.
    std::optional<KeyPress> TypedKey() override;

private:
    // Notes what an event read from the terminal changes: the terminal
    // gone, the mouse buttons held.
    void Track(const ConsoleEvent& event);
    // The window until Esc, F10 (or F3 for a read-only one) closes it.
    void RunView(EditorView& view, bool closedByF3);
    bool RunExternalEditor(const EditorWindow& editor);
    // A box over the editor window `view`.
    intptr_t AskOver(EditorView& view, const MessageBox& box);

    // A terminal's mouse report as Far's record, with the buttons held.
    Far3::MOUSE_EVENT_RECORD MouseRecord(const MouseReport& report) const;

    Console& Term;
    Painter Background;
    std::vector<DialogView> OpenDialogs;
    std::vector<DialogView> LooseBoxes;
    std::vector<EditorWindow> Waiting;
    std::string ExternalEditor;
    bool Closed = false;
    uint32_t MouseButtons = 0; // Far3::MouseButton bits held, as Read() saw them
};

} // namespace Host
