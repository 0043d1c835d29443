// zelvane-host's line mode, for scripts and tests: boxes, dialogs and
// editor windows are printed; a box's answer is read as a button number, a
// dialog's keys as a line in key-script notation ("abc<Tab><Enter>"). Keys
// left on the line when the dialog closes are typed ahead: the plugin's
// work after the dialog reads them (<Enter><Esc> starts a run and asks to
// stop it); the next dialog drops what is left of them. A modal editor takes
// its own commands (RunEditor). A person at a terminal gets the full-screen view
// (FullScreenFrontEnd) instead.
#pragma once

#include "host/frontends/FrontEnd.h"
#include "host/text/EditorText.h"

#include <deque>
#include <iosfwd>

namespace Host {

class LineFrontEnd : public FrontEnd {
public:
    LineFrontEnd(std::istream& input, std::ostream& output) : In(input), Out(output) {}

    intptr_t ShowMessage(const MessageBox& box) override;
    void OpenEditor(const EditorWindow& editor) override;
    // The modal editor's own prompt ("editor> "), until "x" closes it or the
    // input ends: "t" replaces the text with the lines that follow, up to a
    // line "." (".." at a line's start stands for "."), "p" prints it, "w"
    // saves, "x" closes and, when the text changed, asks "Save the file?".
    bool RunEditor(const EditorWindow& editor) override;
    void CloseEditor(intptr_t id) override;
    void ShowViewer(const ViewerWindow& viewer) override;
    std::optional<ScreenSize> Screen() override;
    void DialogOpened(const DialogView& dialog) override;
    DialogInput ReadDialogInput(const DialogView& dialog) override;
    ListInput ReadListInput(const DialogView& dialog) override;
    void DialogClosed(const DialogView& dialog, intptr_t exitCode) override;
    // Prints the topic as plain text.
    void ShowHelp(const HelpFile& help, const HelpTopic& topic) override;
    std::optional<KeyPress> TypedKey() override;

    // Prints the file as an editor window would show it.
    void ShowFile(const std::filesystem::path& file);

private:
    void PrintText(const EditorText& text);

    std::istream& In;
    std::ostream& Out;
    // Keys typed on one line, handed to the dialog one at a time.
    std::deque<KeyPress> PendingKeys;
    // Keys left on a dialog's line when it closed.
    std::deque<KeyPress> TypedAhead;
};

} // namespace Host
