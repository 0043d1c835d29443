// The engine of the template's replace modifier: one FIND, one REPLACE and
// their flags, compiled once per run and applied to one text per file.
// FIND is a regular expression (Perl syntax, the same on every build: PCRE2's
// 16-bit library; letters, \w, \d and ignoring case are Unicode's) or plain
// text; REPLACE is plain text with $0..$9 for the match and its groups and $$
// for a dollar. The object owns its compiled form; it is not shared between
// threads (main thread only). Failure: a FIND that does not compile gives no
// object and the engine's message. A match's work is bounded (about a
// hundred thousand backtracking steps), so that an expression that would
// backtrack for hours over a name gives up within milliseconds: TryApply
// then says so, Apply leaves the text as it is.
#pragma once

#include "base/String.h"

#include <memory>
#include <optional>

namespace Zelvane {

using Base::String;

// One compiled replace: FIND (a regular expression, or plain text when `literal`) and REPLACE (with $0..$9 for
// the match and its groups, an unmatched group giving nothing, and $$ for a dollar, when not `literal`; plain text
// when `literal`). Made once per run; Apply is called once per file and must be cheap. Main thread only.
class TRegexReplace {
public:
    struct TOptions {
        bool Literal = false;
        bool IgnoreCase = false;
        bool Global = false;
    };
    // Nothing when FIND does not compile; `error` then holds the engine's message (with the offset).
    static std::unique_ptr<TRegexReplace> Compile(Base::StringView find, Base::StringView replace,
                                                  TOptions options, String& error);
    ~TRegexReplace();
    TRegexReplace(const TRegexReplace&) = delete;
    TRegexReplace& operator=(const TRegexReplace&) = delete;

    // `text` with the first match (every match when Global) replaced; no match: `text` as it is. A surrogate
    // pair is one character; text that is not valid UTF-16 (lone surrogates, as POSIX names that are not UTF-8
    // give) is matched without failing (never raises, never crashes).
    String Apply(Base::StringView text) const;
    // As Apply, but nothing when the match gave up at its bound (or ran out of memory), so that a caller can
    // tell that from "no match".
    std::optional<String> TryApply(Base::StringView text) const;

private:
    struct TImpl;
    explicit TRegexReplace(std::unique_ptr<TImpl> impl);
    std::unique_ptr<TImpl> Impl;
};

} // namespace Zelvane
