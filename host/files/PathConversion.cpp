#include "host/files/PathConversion.h"

#include "host/text/HostText.h"

#include <algorithm>
#include <vector>

namespace Host {

namespace {

// Both styles take '\\' and '/' as separators; they differ in roots and output.
bool IsSlash(char16_t c, PathStyle)
{
    return c == u'\\' || c == u'/';
}

// Appends the parts of `text` to `parts`, resolving "." and "..".
void AddParts(std::vector<std::u16string>& parts, std::u16string_view text, PathStyle style)
{
    size_t start = 0;
    for (size_t i = 0; i <= text.size(); ++i) {
        if (i < text.size() && !IsSlash(text[i], style))
            continue;
        std::u16string_view part = text.substr(start, i - start);
        start = i + 1;
        if (part.empty() || part == u".")
            continue;
        if (part == u"..") {
            if (!parts.empty())
                parts.pop_back();
            continue;
        }
        parts.emplace_back(part);
    }
}

std::u16string Join(std::u16string root, const std::vector<std::u16string>& parts, char16_t slash, bool trailing)
{
    std::u16string out = std::move(root);
    for (size_t i = 0; i < parts.size(); ++i) {
        if (out.empty() || out.back() != slash)
            out += slash;
        out += parts[i];
    }
    if (out.empty() || out.back() != slash)
        if (parts.empty() || trailing)
            out += slash;
    return out;
}

bool IsDriveLetter(char16_t c)
{
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}

struct WindowsRoot {
    std::u16string Root; // "C:" or "\\server\share"
    std::u16string_view Rest;
    bool Unc = false;
};

// Splits an absolute Windows path into its root and the rest.
WindowsRoot SplitWindowsRoot(std::u16string_view path)
{
    WindowsRoot result;
    if (path.size() >= 2 && IsSlash(path[0], PathStyle::Windows) && IsSlash(path[1], PathStyle::Windows)) {
        size_t server = path.find_first_of(u"\\/", 2);
        size_t share = server == std::u16string_view::npos ? server : path.find_first_of(u"\\/", server + 1);
        std::u16string_view root = path.substr(0, share);
        result.Root = std::u16string(root);
        std::replace(result.Root.begin(), result.Root.end(), u'/', u'\\');
        result.Rest = share == std::u16string_view::npos ? std::u16string_view() : path.substr(share);
        result.Unc = true;
        return result;
    }
    if (path.size() >= 2 && IsDriveLetter(path[0]) && path[1] == u':') {
        result.Root = std::u16string(path.substr(0, 2));
        result.Rest = path.substr(2);
        return result;
    }
    result.Rest = path;
    return result;
}

std::u16string FullWindowsPath(std::u16string_view path, std::u16string_view currentDirectory)
{
    bool trailing = !path.empty() && IsSlash(path.back(), PathStyle::Windows);
    if (path.starts_with(u"\\\\?\\"))
        return std::u16string(path);
    WindowsRoot current = SplitWindowsRoot(currentDirectory);
    std::vector<std::u16string> parts;
    std::u16string root;
    if (path.size() >= 2 && IsSlash(path[0], PathStyle::Windows) && IsSlash(path[1], PathStyle::Windows)) {
        WindowsRoot given = SplitWindowsRoot(path);
        root = given.Root;
        AddParts(parts, given.Rest, PathStyle::Windows);
    } else if (path.size() >= 2 && IsDriveLetter(path[0]) && path[1] == u':') {
        root = std::u16string(path.substr(0, 2));
        std::u16string_view rest = path.substr(2);
        bool sameDrive = !current.Unc && current.Root.size() == 2 &&
                         (current.Root[0] | 0x20) == (root[0] | 0x20);
        // "C:name" is relative to the current folder of drive C.
        if ((rest.empty() || !IsSlash(rest.front(), PathStyle::Windows)) && sameDrive)
            AddParts(parts, current.Rest, PathStyle::Windows);
        AddParts(parts, rest, PathStyle::Windows);
    } else if (!path.empty() && IsSlash(path[0], PathStyle::Windows)) {
        root = current.Root;
        AddParts(parts, path, PathStyle::Windows);
    } else {
        root = current.Root;
        AddParts(parts, current.Rest, PathStyle::Windows);
        AddParts(parts, path, PathStyle::Windows);
    }
    return Join(root, parts, u'\\', trailing);
}

std::u16string FullPosixPath(std::u16string_view path, std::u16string_view currentDirectory)
{
    bool trailing = !path.empty() && IsSlash(path.back(), PathStyle::Posix);
    std::vector<std::u16string> parts;
    if (path.empty() || !IsSlash(path.front(), PathStyle::Posix))
        AddParts(parts, currentDirectory, PathStyle::Posix);
    AddParts(parts, path, PathStyle::Posix);
    return Join(u"", parts, u'/', trailing);
}

} // namespace

std::u16string FullPath(std::u16string_view path, std::u16string_view currentDirectory, PathStyle style)
{
    return style == PathStyle::Windows ? FullWindowsPath(path, currentDirectory)
                                       : FullPosixPath(path, currentDirectory);
}

std::u16string NativePath(std::u16string_view path, std::u16string_view currentDirectory, PathStyle style)
{
    if (path.starts_with(u"\\\\?\\"))
        return std::u16string(path);
    std::u16string full = FullPath(path, currentDirectory, style);
    // The POSIX root is the one drive: its paths get the prefix that keeps
    // the file calls from normalising them, as C:\ paths do on Windows.
    if (style == PathStyle::Posix)
        return u"\\\\?\\" + full;
    if (full.starts_with(u"\\\\?\\"))
        return full;
    if (full.starts_with(u"\\\\"))
        return u"\\\\?\\UNC\\" + full.substr(2);
    if (full.size() >= 2 && IsDriveLetter(full[0]) && full[1] == u':')
        return u"\\\\?\\" + full;
    return full;
}

size_t ConvertPath(Far3::CONVERTPATHMODES mode, const char16_t* source, char16_t* dest, size_t destSize,
                   std::u16string_view currentDirectory, PathStyle style)
{
    std::u16string_view path = PluginText(source);
    std::u16string result = mode == Far3::CPM_NATIVE ? NativePath(path, currentDirectory, style)
                                                     : FullPath(path, currentDirectory, style);
    if (dest && destSize != 0) {
        size_t count = std::min(result.size(), destSize - 1);
        std::copy_n(result.begin(), count, dest);
        dest[count] = 0;
    }
    return result.size() + 1;
}

} // namespace Host
