// TTemplate: a name template compiled once per run into its parts, then
// expanded once per file without reading the template text again.
//
// The template is literal text with tokens. The two-character tokens are a
// percent sign and one character: %# %H %h (the counter, decimal and
// hexadecimal, padded to the starting number's width), %T %t (the number of
// files, padded), %N %n, %E %e, %F %f (the name without its extension, the
// extension, the whole name), and % with any other character gives that
// character. A token %{SOURCE} or %{SOURCE:MODIFIER:...} takes a text source
// (name/n, ext/e, file/f, folder) through modifiers applied left to right (a
// range A..B of characters, upper, lower, title, /FIND/REPLACE/FLAGS), or a
// date source (modified, created, taken) written in a format of yyyy yy MM
// dd HH mm ss (default yyyy-MM-dd). A %{ that does not make such a token
// gives "{", and the text after it reads as usual.
//
// Ownership: the template owns its parts and the compiled expressions of its
// replace modifiers; it is movable, not copyable. Main thread only (the
// expressions are). Failure: Compile gives nothing for a regular expression
// that does not compile, naming it and the engine's message; Expand never
// raises for any file name (a date the file does not have is reported).
#pragma once

#include "base/Exception.h"
#include "base/String.h"
#include "plugin/uDateTaken.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace Zelvane {

using Base::String;

// What a template reads of one file besides its counter and the run's total.
struct TTemplateFile {
    Base::StringView Name;       // the file name without its folder
    Base::StringView FolderName; // the last part of the run's folder; empty at a root
    uint64_t Modified = 0;       // the panel item's last-write time (a FILETIME); 0 when unknown
    uint64_t Created = 0;        // the panel item's creation time; 0 when unknown
    // The photo's date taken, read only for a template that uses it.
    std::optional<TDateTaken> Taken;
};

// Why an expansion is not a usable name.
enum class TExpansionGap {
    None,        // every part gave its text
    NoDateTaken, // the template uses the date taken and the file has none
    NoDate,      // a modified or created time that has no calendar date
};

// A regular expression of the template that does not compile.
struct TTemplateError {
    String Expression;
    String Message;
};

// Raised where a template must compile to go on (the preview); the message
// is the one ShowTemplateError shows.
class ETemplateError : public Base::Exception {
public:
    explicit ETemplateError(TTemplateError error);
    TTemplateError Error;
};

// Tells the user, in a host message box, that the template's regular
// expression does not compile: the expression and the engine's message.
void ShowTemplateError(const TTemplateError& error);

class TTemplate {
public:
    // The template `text` with counters padded to `width` characters.
    static std::optional<TTemplate> Compile(Base::StringView text, size_t width, TTemplateError& error);

    TTemplate(TTemplate&&) noexcept;
    TTemplate& operator=(TTemplate&&) noexcept;
    ~TTemplate();

    // The template reads the file's date taken (the caller fills TTemplateFile::Taken).
    bool UsesDateTaken() const { return DateTakenUsed; }

    // The new name of `file` into `result` (replacing its text). With a
    // gap, the tokens that had no date stay as written.
    TExpansionGap Expand(const TTemplateFile& file, int32_t counter, int32_t total, String& result) const;

    struct TPart; // one piece of the compiled template (uTemplate.cpp)

private:
    TTemplate();

    std::vector<TPart> Parts;
    size_t Width = 0;
    bool DateTakenUsed = false;
};

// The last part of a folder as a template's folder source gives it ("" for
// a drive's root or "/"). Separators: "\" and "/"; the verbatim prefix
// "\\?\" of the host's native form is no part.
String FolderNameOf(Base::StringView directory);

// `text` with zeros in front up to `width` characters (never cut).
String PadTo(const String& text, size_t width);

} // namespace Zelvane
