#include "plugin/uNameRule.h"

#include "base/Ascii.h"
#include "base/WindowsNames.h"

#include <array>

namespace Zelvane {

namespace {

// What Windows refuses in a name, but for '\\', which here separates the
// subfolders a new name may go into; and NUL, which no name can hold.
bool IsRefused(char16_t c)
{
    if (c == u'\\')
        return false;
    return c == 0 || Base::IsRefusedInWindowsNames(c);
}

bool IsTrimmed(char16_t c)
{
    return c == u'.' || c == u' ';
}

// True when `part` (one folder or file name) stands for a device: the text
// before its first dot, trailing blanks dropped, is a device name.
bool NamesDevice(Base::StringView part)
{
    Base::StringView stem = part.substr(0, part.find(u'.'));
    while (!stem.empty() && stem.back() == u' ')
        stem.remove_suffix(1);
    static constexpr std::array<Base::StringView, 4> Plain = {u"con", u"prn", u"aux", u"nul"};
    for (const Base::StringView device : Plain)
        if (Base::EqualsIgnoringAsciiCase(stem, device))
            return true;
    if (stem.size() != 4 || stem[3] < u'1' || stem[3] > u'9')
        return false;
    const Base::StringView prefix = stem.substr(0, 3);
    return Base::EqualsIgnoringAsciiCase(prefix, Base::StringView(u"com")) ||
           Base::EqualsIgnoringAsciiCase(prefix, Base::StringView(u"lpt"));
}

} // namespace

std::optional<String> UsableFileName(const String& expanded)
{
    size_t end = expanded.size();
    while (end > 0 && IsTrimmed(expanded[end - 1]))
        --end;
    String name = expanded.substr(0, end);
    if (name.empty())
        return std::nullopt;
    for (const char16_t c : name)
        if (IsRefused(c))
            return std::nullopt;
    const Base::StringView view = name;
    size_t start = 0;
    while (true) {
        const size_t stop = view.find(u'\\', start);
        const Base::StringView part =
            view.substr(start, stop == Base::StringView::npos ? Base::StringView::npos : stop - start);
        if (part.empty() || part == u"." || part == u".." || NamesDevice(part))
            return std::nullopt;
        if (stop == Base::StringView::npos)
            break;
        start = stop + 1;
    }
    return name;
}

TNewName DecideNewName(Base::StringView oldName, const String& expanded)
{
    if (expanded == oldName)
        return {TNewName::TAction::Keep, String(oldName)};
    std::optional<String> usable = UsableFileName(expanded);
    if (!usable)
        return {TNewName::TAction::Refuse, String()};
    if (*usable == oldName)
        return {TNewName::TAction::Keep, String(oldName)};
    return {TNewName::TAction::Move, std::move(*usable)};
}

} // namespace Zelvane
