// Windows' path rules for the POSIX build: the "\\?\" form taken verbatim,
// other paths normalised as Win32 does, and names compared as a Windows file
// system compares them.
#include "platform/posix/PosixSupport.h"

#include "base/Ascii.h"
#include "base/PosixNames.h"
#include "base/Utf16.h"

#include <unistd.h>

#include <cerrno>
#include <cwctype>
#include <locale.h>
#include <vector>

namespace Platform::Posix {

namespace {

constexpr std::u16string_view VerbatimPrefix = u"\\\\?\\";

// Calls `visit` with each part of `path` between '/' separators, empty
// parts included, while it answers true; false when it answered false.
template <typename Visit>
bool EachPart(std::string_view path, Visit visit)
{
    size_t start = 0;
    for (size_t i = 0; i <= path.size(); ++i) {
        if (i < path.size() && path[i] != '/')
            continue;
        if (!visit(path.substr(start, i - start)))
            return false;
        start = i + 1;
    }
    return true;
}

bool IsDotPart(std::string_view part)
{
    return part == "." || part == "..";
}

bool IsDotOrBlank(char c)
{
    return c == '.' || c == ' ';
}

std::string CurrentFolder()
{
    std::vector<char> buffer(4096);
    while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE)
            return "/";
        buffer.resize(buffer.size() * 2);
    }
    return buffer.data();
}

// "\\?\" + path: taken as it is, from the root; "." and ".." are refused.
std::optional<std::string> VerbatimPath(std::string bytes)
{
    if (!EachPart(bytes, [](std::string_view part) { return !IsDotPart(part); })) {
        SetLastError(ERROR_INVALID_NAME);
        return std::nullopt;
    }
    if (!bytes.starts_with('/'))
        bytes.insert(0, 1, '/');
    return bytes;
}

// Whether Win32's normalisation gives `bytes` back as it is: a path from the
// root with no empty, "." or ".." part and no trailing dot, blank or
// separator. The usual case (a rename run's full names), checked in one pass.
bool IsNormalised(std::string_view bytes)
{
    if (bytes.size() < 2 || bytes.front() != '/' || bytes.back() == '/' || IsDotOrBlank(bytes.back()))
        return false;
    // Every part starts after a '/': none may be empty, "." or "..".
    for (size_t at = 0; at != std::string_view::npos; at = bytes.find('/', at + 1)) {
        const char* part = bytes.data() + at + 1;
        const size_t rest = bytes.size() - at - 1;
        const bool empty = part[0] == '/';
        const bool dot = part[0] == '.' && (rest == 1 || part[1] == '/');
        const bool dotDot = part[0] == '.' && rest >= 2 && part[1] == '.' && (rest == 2 || part[2] == '/');
        if (empty || dot || dotDot)
            return false;
    }
    return true;
}

// Win32's normalisation: absolute, "." and ".." resolved, repeated
// separators collapsed, trailing dots and blanks of the last part dropped.
std::string NormalisedPath(std::string bytes)
{
    if (IsNormalised(bytes))
        return bytes;
    const std::string absolute = bytes.starts_with('/') ? bytes : CurrentFolder() + "/" + bytes;
    const bool trailingSeparator = absolute.ends_with('/');
    std::vector<std::string> kept;
    EachPart(absolute, [&kept](std::string_view part) {
        if (part == "..") {
            if (!kept.empty())
                kept.pop_back();
        } else if (!part.empty() && part != ".") {
            kept.emplace_back(part);
        }
        return true;
    });
    if (!trailingSeparator && !kept.empty()) {
        std::string& last = kept.back();
        while (!last.empty() && IsDotOrBlank(last.back()))
            last.pop_back();
        if (last.empty())
            kept.pop_back();
    }
    std::string path;
    for (const std::string& part : kept)
        path += "/" + part;
    if (path.empty() || (trailingSeparator && !kept.empty()))
        path += '/';
    return path;
}

} // namespace

std::optional<std::string> NativePath(const char16_t* path)
{
    std::u16string_view text = path != nullptr ? std::u16string_view(path) : std::u16string_view();
    const bool verbatim = text.starts_with(VerbatimPrefix);
    if (verbatim)
        text.remove_prefix(VerbatimPrefix.size());
    if (text.empty()) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return std::nullopt;
    }
    std::optional<std::string> bytes = PosixNames::FromUtf16(text);
    if (!bytes) {
        SetLastError(ERROR_INVALID_NAME);
        return std::nullopt;
    }
    if (verbatim)
        return VerbatimPath(std::move(*bytes));
    return NormalisedPath(std::move(*bytes));
}

bool IsSeparator(char16_t c)
{
    return c == u'/' || c == u'\\';
}

std::u16string_view LastName(std::u16string_view path)
{
    size_t at = path.size();
    while (at > 0 && !IsSeparator(path[at - 1]))
        --at;
    return path.substr(at);
}

char16_t UpperCase(char16_t c)
{
    // Surrogates have no case; the rest follows Unicode's simple mapping as
    // glibc's C.UTF-8 locale holds it (ASCII only when that is missing).
    static const locale_t Unicode = ::newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
    if (Base::IsSurrogate(c))
        return c;
    if (Unicode == static_cast<locale_t>(nullptr))
        return Base::AsciiUpper(c);
    const auto upper = ::towupper_l(static_cast<wint_t>(c), Unicode);
    return upper <= 0xFFFF ? static_cast<char16_t>(upper) : c;
}

bool SameNameIgnoringCase(std::u16string_view a, std::u16string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (UpperCase(a[i]) != UpperCase(b[i]))
            return false;
    }
    return true;
}

} // namespace Platform::Posix
