#include "plugin/uSystem.h"

#include "base/Exception.h"
#include "platform/Platform.h"
#include "plugin/FileStream.h"

#include <optional>
#include <string>

namespace Zelvane {

namespace {

constexpr Platform::DWORD TempBufferLength = Platform::MaxPath + 1;
constexpr Platform::DWORD ErrorFileExists = 80;
constexpr Platform::DWORD ErrorAlreadyExists = 183;

// What can be opened to look at a name without following a link there.
constexpr Platform::DWORD AnyShare = Platform::Share::Read | Platform::Share::Write | Platform::Share::Delete;

// An open file handle, closed when it goes.
class TOpenFile {
public:
    explicit TOpenFile(Platform::HANDLE handle) : Handle(handle) {}
    ~TOpenFile()
    {
        if (IsOpen())
            Platform::CloseHandle(Handle);
    }
    TOpenFile(const TOpenFile&) = delete;
    TOpenFile& operator=(const TOpenFile&) = delete;

    bool IsOpen() const { return Handle != Platform::InvalidHandleValue; }
    Platform::HANDLE Get() const { return Handle; }

private:
    Platform::HANDLE Handle;
};

// The identity of the plain file at `name` now, the name itself not being a
// link; nothing when there is none.
std::optional<Platform::FileIdentity> IdentityAt(const String& name)
{
    const TOpenFile file(Platform::CreateFileW(name.c_str(), 0, AnyShare, Platform::Disposition::OpenExisting,
                                               Platform::FileFlag::OpenReparsePoint));
    Platform::FileIdentity identity;
    if (!file.IsOpen() || !Platform::GetFileIdentity(file.Get(), &identity))
        return std::nullopt;
    return identity;
}

// The names handed out while the library is loaded, each with the identity
// of the file the plugin made there, if it made one.
class TTempNameRegistry {
public:
    TTempNameRegistry() = default;
    ~TTempNameRegistry() { DeleteAll(); }
    TTempNameRegistry(const TTempNameRegistry&) = delete;
    TTempNameRegistry& operator=(const TTempNameRegistry&) = delete;

    void Add(const String& name, std::optional<Platform::FileIdentity> made = std::nullopt)
    {
        Entries.push_back({name, made});
    }

    std::vector<String> Names() const
    {
        std::vector<String> names;
        for (const TEntry& entry : Entries)
            names.push_back(entry.Name);
        return names;
    }

    // Clean-up ignores every failure, a raised one included: it also runs
    // at library unload, where an escaping exception would end the host.
    void DeleteAll()
    {
        for (const TEntry& entry : Entries) {
            try {
                if (entry.Made && IdentityAt(entry.Name) == entry.Made)
                    Platform::DeleteFileW(entry.Name.c_str());
            } catch (...) {
                // Left behind; the next name is still tried.
            }
        }
        Entries.clear();
    }

private:
    struct TEntry {
        String Name;
        std::optional<Platform::FileIdentity> Made;
    };
    std::vector<TEntry> Entries;
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

// Names tried before giving up on a folder where every one is taken.
constexpr int MaxTries = 10000;

[[noreturn]] void RaiseCannotCreateIn(const String& directory, Platform::DWORD error)
{
    throw Base::EFCreateError(u"Cannot create a temporary file in \"" + directory + u"\". " +
                              SystemErrorText(error));
}

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
    if (directory.empty())
        throw Base::EFCreateError(u"Cannot create a temporary file: the system names no temporary folder.");
    const String unique = UniqueTempName(directory, prefix);
    if (unique.empty())
        RaiseCannotCreateIn(directory, Platform::GetLastError());
    const String base = WithoutExtension(unique);
    String candidate = base + extension;
    for (int counter = 0; counter < MaxTries; ++counter) {
        const TOpenFile made(Platform::CreateFileW(candidate.c_str(), Platform::Access::GenericWrite, 0,
                                                   Platform::Disposition::CreateNew, Platform::FileAttribute::Normal));
        const Platform::DWORD error = Platform::GetLastError();
        Platform::FileIdentity identity;
        if (made.IsOpen()) {
            if (!Platform::GetFileIdentity(made.Get(), &identity))
                RaiseCannotCreateIn(directory, Platform::GetLastError());
            Registry.Add(candidate, identity);
            return candidate;
        }
        // Taken by a file, a folder or a link: the next candidate. Anything
        // else is the folder's refusal and ends the search.
        if (error != ErrorFileExists && error != ErrorAlreadyExists && !NameExists(candidate))
            RaiseCannotCreateIn(directory, error);
        candidate = base + Base::Str(std::to_string(counter)) + extension;
    }
    RaiseCannotCreateIn(directory, ErrorFileExists);
}

std::vector<String> TemporaryNames()
{
    return Registry.Names();
}

void DeleteTemporaryNames()
{
    Registry.DeleteAll();
}

bool DeleteTree(const String& directory)
{
    if (directory.empty())
        return true;
    return Platform::DeleteTree(directory.c_str()) != 0;
}

} // namespace Zelvane
