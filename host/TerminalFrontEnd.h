// The user at a plain terminal: boxes and editor windows are printed, the
// answer is read as a button number. Kept behind FrontEnd so a full-screen
// front end can replace it.
#pragma once

#include "host/FrontEnd.h"

#include <iosfwd>

namespace Host {

class TerminalFrontEnd : public FrontEnd {
public:
    TerminalFrontEnd(std::istream& input, std::ostream& output) : In(input), Out(output) {}

    intptr_t ShowMessage(const MessageBox& box) override;
    void OpenEditor(const EditorWindow& editor) override;
    void CloseEditor(intptr_t id) override;
    std::optional<ScreenSize> Screen() override;

    // Prints the file as an editor window would show it.
    void ShowFile(const std::filesystem::path& file);

private:
    std::istream& In;
    std::ostream& Out;
};

} // namespace Host
