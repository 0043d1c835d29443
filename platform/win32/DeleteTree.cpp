// Deleting a directory tree on Windows: the folder is listed and each entry
// deleted; a link or junction, at any level, goes as itself and is never
// entered, so nothing outside the tree is touched.
#include "platform/Platform.h"

#include <windows.h>

#include <string>

namespace Platform {

namespace {

using WideString = std::wstring;

bool IsLink(::DWORD attributes)
{
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

bool IsSeparator(wchar_t c)
{
    return c == L'\\' || c == L'/';
}

// A link goes as a link, whatever it leads to.
bool RemoveLink(const WideString& name, ::DWORD attributes)
{
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return ::RemoveDirectoryW(name.c_str()) != 0;
    return ::DeleteFileW(name.c_str()) != 0;
}

class TFind {
public:
    TFind(const WideString& pattern, ::WIN32_FIND_DATAW& data) : Handle(::FindFirstFileW(pattern.c_str(), &data)) {}
    ~TFind()
    {
        if (IsOpen())
            ::FindClose(Handle);
    }
    TFind(const TFind&) = delete;
    TFind& operator=(const TFind&) = delete;

    bool IsOpen() const { return Handle != INVALID_HANDLE_VALUE; }
    bool Next(::WIN32_FIND_DATAW& data) { return ::FindNextFileW(Handle, &data) != 0; }

private:
    HANDLE Handle;
};

bool DeleteFolder(WideString root)
{
    while (root.size() > 1 && IsSeparator(root.back()))
        root.pop_back();
    const ::DWORD rootAttributes = ::GetFileAttributesW(root.c_str());
    if (IsLink(rootAttributes))
        return RemoveLink(root, rootAttributes);

    const WideString prefix = root + L'\\';
    bool deletedAll = true;
    ::WIN32_FIND_DATAW data{};
    TFind find(prefix + L"*.*", data);
    if (find.IsOpen()) {
        do {
            const WideString name = data.cFileName;
            // The folder itself and its parent are never entries to delete.
            if (name == L"." || name == L"..")
                continue;
            const WideString path = prefix + name;
            const ::DWORD attributes = data.dwFileAttributes;
            if (IsLink(attributes)) {
                deletedAll = RemoveLink(path, attributes) && deletedAll;
            } else if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
                deletedAll = DeleteFolder(path) && deletedAll;
            } else {
                // Read-only files can go only once the attribute is cleared.
                ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                deletedAll = ::DeleteFileW(path.c_str()) != 0 && deletedAll;
            }
        } while (find.Next(data));
    }
    if (!deletedAll)
        return false;
    return ::RemoveDirectoryW(root.c_str()) != 0;
}

} // namespace

BOOL DeleteTree(const char16_t* directory)
{
    if (directory == nullptr || *directory == u'\0') {
        ::SetLastError(ERROR_PATH_NOT_FOUND);
        return 0;
    }
    return DeleteFolder(reinterpret_cast<const wchar_t*>(directory)) ? 1 : 0;
}

} // namespace Platform
