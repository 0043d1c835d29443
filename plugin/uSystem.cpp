#include "plugin/uSystem.h"

#include "platform/Platform.h"

#include <string>

namespace Zelvane {

namespace {

constexpr Platform::DWORD TempBufferLength = Platform::MaxPath + 1;

// The names handed out while the library is loaded; its destruction at
// unload deletes them.
class TTempNameRegistry {
public:
    TTempNameRegistry() = default;
    ~TTempNameRegistry() { DeleteAll(); }
    TTempNameRegistry(const TTempNameRegistry&) = delete;
    TTempNameRegistry& operator=(const TTempNameRegistry&) = delete;

    void Add(const String& name) { Names.push_back(name); }
    const std::vector<String>& All() const { return Names; }

    // Clean-up ignores every failure, a raised one included: it also runs
    // at library unload, where an escaping exception would end the host.
    void DeleteAll()
    {
        for (const String& name : Names) {
            try {
                const Platform::DWORD attributes = Platform::GetFileAttributesW(name.c_str());
                if (attributes == Platform::InvalidFileAttributes)
                    continue;
                if ((attributes & Platform::FileAttribute::Directory) != 0)
                    DeleteTree(name);
                else
                    Platform::DeleteFileW(name.c_str());
            } catch (...) {
                // Left behind; the next name is still tried.
            }
        }
        Names.clear();
    }

private:
    std::vector<String> Names;
};

TTempNameRegistry Registry;

// Anything of that name, a dangling link included, occupies it.
bool NameExists(const String& name)
{
    return Platform::GetFileAttributesW(name.c_str()) != Platform::InvalidFileAttributes;
}

bool IsSeparator(char16_t c)
{
    return c == u'\\' || c == u'/' || c == u':';
}

String WithoutExtension(const String& name)
{
    for (size_t at = name.size(); at > 0; --at) {
        if (IsSeparator(name[at - 1]))
            break;
        if (name[at - 1] == u'.')
            return name.substr(0, at - 1);
    }
    return name;
}

String WithTrailingSeparator(const String& directory)
{
    if (!directory.empty() && (directory.back() == u'\\' || directory.back() == u'/'))
        return directory;
    return directory + u'\\';
}

String WithoutTrailingSeparator(String directory)
{
    while (directory.size() > 1 && (directory.back() == u'\\' || directory.back() == u'/'))
        directory.pop_back();
    return directory;
}

bool IsLink(Platform::DWORD attributes)
{
    return attributes != Platform::InvalidFileAttributes &&
           (attributes & Platform::FileAttribute::ReparsePoint) != 0;
}

// A link goes as a link, whatever it leads to.
bool RemoveLink(const String& name, Platform::DWORD attributes)
{
    if ((attributes & Platform::FileAttribute::Directory) != 0)
        return Platform::RemoveDirectoryW(name.c_str()) != 0;
    return Platform::DeleteFileW(name.c_str()) != 0;
}

class TFindHandle {
public:
    TFindHandle(const String& pattern, Platform::WIN32_FIND_DATAW& data)
        : Handle(Platform::FindFirstFileW(pattern.c_str(), &data))
    {
    }
    ~TFindHandle()
    {
        if (IsOpen())
            Platform::FindClose(Handle);
    }
    TFindHandle(const TFindHandle&) = delete;
    TFindHandle& operator=(const TFindHandle&) = delete;

    bool IsOpen() const { return Handle != Platform::InvalidHandleValue; }
    bool Next(Platform::WIN32_FIND_DATAW& data) { return Platform::FindNextFileW(Handle, &data) != 0; }

private:
    Platform::HANDLE Handle;
};

} // namespace

String TempDirectory()
{
    char16_t buffer[TempBufferLength] = {};
    const Platform::DWORD length = Platform::GetTempPathW(TempBufferLength, buffer);
    if (length == 0 || length >= TempBufferLength)
        return {};
    return String(buffer, length);
}

String UniqueTempName(const String& directory, const String& prefix)
{
    char16_t buffer[TempBufferLength] = {};
    if (Platform::GetTempFileNameW(directory.c_str(), prefix.c_str(), 0, buffer) == 0)
        return {};
    const String name = buffer;
    if (NameExists(name))
        Platform::DeleteFileW(name.c_str());
    if (!name.empty())
        Registry.Add(name);
    return name;
}

String UniqueTempNameWithExt(const String& directory, const String& prefix, const String& extension)
{
    const String base = WithoutExtension(UniqueTempName(directory, prefix));
    String candidate = base + extension;
    for (int counter = 0; NameExists(candidate); ++counter)
        candidate = base + Base::Str(std::to_string(counter)) + extension;
    if (!candidate.empty())
        Registry.Add(candidate);
    return candidate;
}

const std::vector<String>& TemporaryNames()
{
    return Registry.All();
}

void DeleteTemporaryNames()
{
    Registry.DeleteAll();
}

bool DeleteTree(const String& directory)
{
    if (directory.empty())
        return true;
    const String root = WithoutTrailingSeparator(directory);
    const Platform::DWORD rootAttributes = Platform::GetFileAttributesW(root.c_str());
    if (IsLink(rootAttributes))
        return RemoveLink(root, rootAttributes);

    const String prefix = WithTrailingSeparator(directory);
    bool deletedAll = true;
    Platform::WIN32_FIND_DATAW data{};
    TFindHandle find(prefix + u"*.*", data);
    if (find.IsOpen()) {
        do {
            const String name = data.cFileName;
            // The folder itself and its parent are never entries to delete,
            // whatever attributes the listing gives them.
            if (name == u"." || name == u"..")
                continue;
            const String path = prefix + name;
            const Platform::DWORD attributes = data.dwFileAttributes;
            if (IsLink(attributes)) {
                deletedAll = RemoveLink(path, attributes) && deletedAll;
            } else if ((attributes & Platform::FileAttribute::Directory) != 0) {
                deletedAll = DeleteTree(path + u'\\') && deletedAll;
            } else {
                // Read-only files can go only once the attribute is cleared.
                Platform::SetFileAttributesW(path.c_str(), Platform::FileAttribute::Normal);
                deletedAll = Platform::DeleteFileW(path.c_str()) != 0 && deletedAll;
            }
        } while (find.Next(data));
    }
    if (!deletedAll)
        return false;
    return Platform::RemoveDirectoryW(root.c_str()) != 0;
}

} // namespace Zelvane
