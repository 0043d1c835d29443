// The text of a file as the host's editor holds it while it is open: its
// lines, each with the line end it was read with (CR LF, LF, CR, or none on
// the last line), the byte order mark it started with, and the bytes each
// line was read as. Saving writes the lines back with their own ends and the
// mark; a line that was not changed is written as the very bytes it was read
// from (a byte that is not UTF-8 survives), a changed or new line in the
// file's encoding. New lines end as the file's first line end, or as the
// platform's when the file had none.
//
// Files are UTF-8, or UTF-16LE for code page 1200 or a file that starts with
// its mark. A value type; one thread. Saving reports a failure as a text.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Host {

class EditorText {
public:
    enum class LineEnd { None, CrLf, Lf, Cr };

    // A new, empty text: one empty line.
    EditorText();
    // Lines as given, ended by LF, the last without an end.
    explicit EditorText(const std::vector<std::u16string>& lines);

    // The file's text; a missing file is a new, empty text (nothing is
    // written until it is saved). None when the file exists but cannot be read.
    static std::optional<EditorText> Load(const std::filesystem::path& file, uintptr_t codePage);

    size_t LineCount() const { return Lines.size(); }
    const std::u16string& Line(size_t index) const { return Lines[index].Text; }
    // Changed since it was read or last saved.
    bool Modified() const { return Changed; }

    // Positions are in UTF-16 units of the line; the caller keeps them inside.
    void Insert(size_t line, size_t at, std::u16string_view text);
    void Erase(size_t line, size_t at, size_t count);
    // Breaks the line at `at`: the rest becomes the next line.
    void Split(size_t line, size_t at);
    // Joins the next line to the end of `line`.
    void Join(size_t line);
    // Removes the line; the last line is only emptied, as Far does.
    void DeleteLine(size_t line);
    // The whole text from `text` (lines broken at CR LF, LF or CR). Line i
    // keeps the end line i had; a line equal to the one it replaces keeps
    // its bytes.
    void Replace(std::u16string_view text);

    // The file's bytes as saving would write them.
    std::string Bytes() const;
    // Writes the file; on failure the text stays modified and the error is returned.
    std::optional<std::string> Save(const std::filesystem::path& file);

private:
    struct TextLine {
        std::u16string Text;
        LineEnd End = LineEnd::None;
        // The bytes the line was read as, while it is unchanged.
        std::optional<std::string> Read;
    };

    void Touch(size_t line);
    std::string Encode(std::u16string_view text) const;
    std::string EncodeEnd(LineEnd end) const;

    std::vector<TextLine> Lines;
    bool Utf16 = false;
    std::string Mark; // the byte order mark read, written back
    LineEnd NewLineEnd;
    bool Changed = false;
};

} // namespace Host
