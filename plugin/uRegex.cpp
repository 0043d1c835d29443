// The replace engine on PCRE2's 16-bit library: FIND compiled once (and
// through PCRE2's JIT where the machine has it), REPLACE parsed once into
// its literal pieces and group references, and one match data block reused
// by every Apply.
#include "plugin/uRegex.h"

#include "base/Utf.h"
#include "base/Utf16.h"

#define PCRE2_CODE_UNIT_WIDTH 16
#include <pcre2.h>

#include <vector>

namespace Zelvane {

namespace {

// Bounds of one match, so that an expression that backtracks without end
// over a name gives up within milliseconds instead of hanging the host.
// Names are at most a few hundred characters, and a sound expression needs
// far less than this over them.
constexpr uint32_t MatchLimit = 100'000;
constexpr uint32_t DepthLimit = 10'000;

const PCRE2_UCHAR16* Pcre2Units(Base::StringView text)
{
    return reinterpret_cast<const PCRE2_UCHAR16*>(text.data());
}

} // namespace

struct TRegexReplace::TImpl {
    // One piece of REPLACE: literal text, or the text of a group (0 for the whole match).
    struct TPiece {
        String Text;
        int Group = -1;
    };

    static std::vector<TPiece> ParseReplacement(Base::StringView replace, bool literal)
    {
        std::vector<TPiece> pieces;
        String text;
        for (size_t i = 0; i < replace.size(); ++i) {
            const char16_t c = replace[i];
            if (!literal && c == u'$' && i + 1 < replace.size()) {
                const char16_t next = replace[i + 1];
                if (next == u'$') {
                    text.push_back(u'$');
                    ++i;
                    continue;
                }
                if (next >= u'0' && next <= u'9') {
                    if (!text.empty())
                        pieces.push_back({std::move(text), -1});
                    text.clear();
                    pieces.push_back({String(), next - u'0'});
                    ++i;
                    continue;
                }
            }
            text.push_back(c);
        }
        if (!text.empty())
            pieces.push_back({std::move(text), -1});
        return pieces;
    }

    pcre2_code_16* Code = nullptr;
    pcre2_match_context_16* Context = nullptr;
    pcre2_match_data_16* MatchData = nullptr;
    std::vector<TPiece> Pieces;
    bool Global = false;

    ~TImpl()
    {
        pcre2_match_data_free_16(MatchData);
        pcre2_match_context_free_16(Context);
        pcre2_code_free_16(Code);
    }
};

TRegexReplace::TRegexReplace(std::unique_ptr<TImpl> impl)
    : Impl(std::move(impl))
{
}

TRegexReplace::~TRegexReplace() = default;

std::unique_ptr<TRegexReplace> TRegexReplace::Compile(Base::StringView find, Base::StringView replace,
                                                      TOptions options, String& error)
{
    auto impl = std::make_unique<TImpl>();
    // UTF mode ignores case by Unicode's case folding with or without UCP; UCP makes \w, \d, \b and the
    // POSIX classes Unicode's too, and is refused (as meaningless) for plain text.
    uint32_t flags = PCRE2_UTF | PCRE2_MATCH_INVALID_UTF;
    flags |= options.Literal ? PCRE2_LITERAL : PCRE2_UCP;
    if (options.IgnoreCase)
        flags |= PCRE2_CASELESS;
    int errorCode = 0;
    PCRE2_SIZE errorOffset = 0;
    impl->Code = pcre2_compile_16(Pcre2Units(find), find.size(), flags, &errorCode, &errorOffset, nullptr);
    if (impl->Code == nullptr) {
        PCRE2_UCHAR16 message[256] = {};
        pcre2_get_error_message_16(errorCode, message, std::size(message));
        error = reinterpret_cast<const char16_t*>(message);
        error += Base::Str(" at offset ") + Base::FromUtf8(std::to_string(errorOffset));
        return nullptr;
    }
    // Without JIT (a machine PCRE2 has no JIT for) the interpreter gives the same results, only slower.
    pcre2_jit_compile_16(impl->Code, PCRE2_JIT_COMPLETE);
    impl->Context = pcre2_match_context_create_16(nullptr);
    impl->MatchData = pcre2_match_data_create_from_pattern_16(impl->Code, nullptr);
    if (impl->Context == nullptr || impl->MatchData == nullptr) {
        error = Base::Str("out of memory");
        return nullptr;
    }
    pcre2_set_match_limit_16(impl->Context, MatchLimit);
    pcre2_set_depth_limit_16(impl->Context, DepthLimit);
    impl->Pieces = TImpl::ParseReplacement(replace, options.Literal);
    impl->Global = options.Global;
    return std::unique_ptr<TRegexReplace>(new TRegexReplace(std::move(impl)));
}

String TRegexReplace::Apply(Base::StringView text) const
{
    std::optional<String> replaced = TryApply(text);
    return replaced ? std::move(*replaced) : String(text);
}

std::optional<String> TRegexReplace::TryApply(Base::StringView text) const
{
    String out;
    size_t copiedTo = 0; // text before this is in `out` already
    size_t start = 0;
    uint32_t matchFlags = 0;
    bool replaced = false;
    while (start <= text.size()) {
        const int result = pcre2_match_16(Impl->Code, Pcre2Units(text), text.size(), start, matchFlags, Impl->MatchData,
                                          Impl->Context);
        if (result == PCRE2_ERROR_NOMATCH) {
            if (matchFlags == 0)
                break;
            // No non-empty match at an empty match's place: move on by one character.
            matchFlags = 0;
            if (start >= text.size())
                break;
            start += Base::DecodeUtf16At(text, start).Length;
            continue;
        }
        if (result < 0) // a bound of the match reached, or memory
            return std::nullopt;
        const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer_16(Impl->MatchData);
        const uint32_t groups = pcre2_get_ovector_count_16(Impl->MatchData);
        const size_t matchStart = ovector[0], matchEnd = ovector[1];
        // A match that ends before it starts or starts before the last one ended (\K in a lookaround could
        // make one; PCRE2 refuses those): the text as it is, rather than a garbled one.
        if (matchStart < copiedTo || matchEnd < matchStart)
            return String(text);
        out.append(text.substr(copiedTo, matchStart - copiedTo));
        for (const TImpl::TPiece& piece : Impl->Pieces) {
            if (piece.Group < 0) {
                out += piece.Text;
            } else if (static_cast<uint32_t>(piece.Group) < groups && ovector[2 * piece.Group] != PCRE2_UNSET) {
                const size_t from = ovector[2 * piece.Group], to = ovector[2 * piece.Group + 1];
                if (from <= to && to <= text.size())
                    out.append(text.substr(from, to - from));
            }
        }
        copiedTo = matchEnd;
        replaced = true;
        if (!Impl->Global)
            break;
        start = matchEnd;
        matchFlags = matchStart == matchEnd ? PCRE2_NOTEMPTY_ATSTART | PCRE2_ANCHORED : 0;
    }
    if (!replaced)
        return String(text);
    out.append(text.substr(copiedTo));
    return out;
}

} // namespace Zelvane
