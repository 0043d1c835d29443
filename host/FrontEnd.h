// What the person in front of Far sees and answers: message boxes, editor
// windows and the screen size. The host's services talk to the user only
// through this interface, so a test can script the user (ScriptedFrontEnd)
// and a person can use a terminal (TerminalFrontEnd). Texts are UTF-8.
#pragma once

#include "framework/Plugin3.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace Host {

// A message box as Far builds it from Message(): title, text lines, buttons.
struct MessageBox {
    uint64_t Flags = 0;
    std::string Title;
    std::vector<std::string> Lines;
    std::vector<std::string> Buttons;
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

struct ScreenSize {
    int Width = 80;
    int Height = 25;
};

class FrontEnd {
public:
    virtual ~FrontEnd() = default;

    // Shows the box and returns the 0-based button chosen, -1 for Esc.
    // A box without buttons is only drawn; its answer is ignored.
    virtual intptr_t ShowMessage(const MessageBox& box) = 0;
    // A new editor window over the file; the host keeps it open until closed.
    virtual void OpenEditor(const EditorWindow& editor) = 0;
    virtual void CloseEditor(intptr_t id) = 0;
    // Empty when the console size cannot be read.
    virtual std::optional<ScreenSize> Screen() = 0;
};

} // namespace Host
