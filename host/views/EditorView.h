// An editor window as the full-screen host shows it, with Far's basic keys:
// the file's lines over the whole screen between a status line (title,
// changed mark, code page, position) and the key bar.
//
//   characters, Tab                 typed at the cursor
//   Del / BS                        delete the character at / before the
//                                   cursor; at a line's end / start they join
//                                   the lines
//   Enter                           splits the line at the cursor
//   Ctrl+Y                          deletes the line
//   arrows, Home/End, PgUp/PgDn,    move (Left at a line's start goes to the
//   Ctrl+Home/Ctrl+End              end of the line before, Right at its end
//                                   to the next line's start)
//   F2                              saves the file
//   Esc, F10                        close; a changed text first asks "Save
//                                   the file?" (Yes saves and closes, No
//                                   closes, Cancel or Esc stays)
//
// A read-only window (the viewer) only moves and closes. Long lines scroll
// sideways; tabs reach the next multiple of eight; wide characters take
// their cell width. The window asks its questions, and reports a file it
// cannot save, through the Ask function it is given.
#pragma once

#include "host/console/ScreenBuffer.h"
#include "host/frontends/FrontEnd.h"
#include "host/text/EditorText.h"

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace Host {

// The file's lines for showing: UTF-8 (a BOM dropped) or, for code page
// 1200 or a UTF-16 BOM, UTF-16LE; CR LF, LF and CR end lines; tabs become
// spaces to the next multiple of eight. A missing file is one empty line.
std::vector<std::u16string> ReadTextLines(const std::filesystem::path& file, uintptr_t codePage);

// The question Esc and F10 ask over a changed text: Yes (0), No (1), Cancel (2).
MessageBox SaveQuestion(const EditorWindow& window);
// The warning shown when the file cannot be saved.
MessageBox SaveFailure(const EditorWindow& window, const std::string& reason);

class EditorView {
public:
    // Shows a message box and returns the button chosen, -1 for Esc.
    using Ask = std::function<intptr_t(const MessageBox&)>;

    // A read-only window over the lines.
    EditorView(EditorWindow window, std::vector<std::u16string> lines);
    // A window that edits `text`, the contents of window.FileName.
    EditorView(EditorWindow window, EditorText text, Ask ask);

    // False when the key closes the window.
    bool Key(const KeyPress& key);
    // Text pasted into the terminal, typed at the cursor (line breaks split lines).
    void Paste(std::u16string_view text);
    void Paint(ScreenBuffer& screen);
    // Where the text cursor is on the screen after Paint.
    int CursorX() const { return ScreenX; }
    int CursorY() const { return ScreenY; }

    const EditorWindow& Window() const { return Shown; }
    const EditorText& Text() const { return Document; }
    // The file was saved while the window was open.
    bool Saved() const { return SavedOnce; }
    size_t Line() const { return CursorLine; }
    size_t Column() const { return CursorColumn; }

private:
    void Clamp();
    bool Edit(const KeyPress& key);
    bool Save();
    // False when the window stays open.
    bool MayClose();
    size_t GlyphCount(size_t line) const;
    // The UTF-16 offset of glyph `glyph` of the cursor's line.
    size_t Offset(size_t glyph) const;
    // The glyph of the cursor's line that ends at `offset`.
    size_t GlyphAt(size_t offset) const;

    EditorWindow Shown;
    EditorText Document;
    Ask Asker;
    bool ReadOnly = false;
    bool SavedOnce = false;
    size_t CursorLine = 0;
    size_t CursorColumn = 0; // in glyphs
    size_t TopLine = 0;
    size_t LeftColumn = 0;   // in glyphs
    int TextRows = 1;
    int ScreenX = 0;
    int ScreenY = 1;
};

} // namespace Host
