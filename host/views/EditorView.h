// An editor window as the full-screen host shows it: the file's lines over
// the whole screen between a status line (title, position) and the key bar.
// The host's editor never changes the file: the keys move the cursor and
// scroll (arrows, PgUp/PgDn, Home/End, Ctrl+Home/Ctrl+End); Esc and F10
// close the window.
#pragma once

#include "host/frontends/FrontEnd.h"
#include "host/console/ScreenBuffer.h"

#include <filesystem>
#include <string>
#include <vector>

namespace Host {

// The file's lines for showing: UTF-8 (a BOM dropped) or, for code page
// 1200 or a UTF-16 BOM, UTF-16LE; CR LF, LF and CR end lines; tabs become
// spaces to the next multiple of eight. A missing file is one empty line.
std::vector<std::u16string> ReadTextLines(const std::filesystem::path& file, uintptr_t codePage);

class EditorView {
public:
    EditorView(EditorWindow window, std::vector<std::u16string> lines);

    // False when the key closes the window.
    bool Key(const KeyPress& key);
    void Paint(ScreenBuffer& screen);
    // Where the text cursor is on the screen after Paint.
    int CursorX() const { return ScreenX; }
    int CursorY() const { return ScreenY; }

    const EditorWindow& Window() const { return Shown; }
    size_t Line() const { return CursorLine; }
    size_t Column() const { return CursorColumn; }

private:
    void Clamp();

    EditorWindow Shown;
    std::vector<std::u16string> Lines;
    size_t CursorLine = 0;
    size_t CursorColumn = 0; // in glyphs
    size_t TopLine = 0;
    size_t LeftColumn = 0;   // in glyphs
    int TextRows = 1;
    int ScreenX = 0;
    int ScreenY = 1;
};

} // namespace Host
