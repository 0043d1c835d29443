// The file calls for the POSIX build, following Windows' rules: renames
// never replace, names Windows refuses are refused, links are seen as links
// and never followed when a file is created, truncated or deleted (the
// temporary folder is shared by all users, so a planted link must not steer
// a write or a deletion elsewhere).
#include "platform/posix/PosixSupport.h"

#include "base/Utf.h"
#include "framework/PosixNames.h"
#include "platform/Faults.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <string>

namespace Platform {

using namespace Posix;
using Base::String;

namespace {

class TFileHandle : public THandleObject {
public:
    explicit TFileHandle(int descriptor) : Descriptor(descriptor) {}
    ~TFileHandle() override { ::close(Descriptor); }
    TFileHandle(const TFileHandle&) = delete;
    TFileHandle& operator=(const TFileHandle&) = delete;

    const int Descriptor;
};

class TFindHandle : public THandleObject {
public:
    TFindHandle(DIR* directory, String pattern) : Directory(directory), Pattern(std::move(pattern)) {}
    ~TFindHandle() override { ::closedir(Directory); }
    TFindHandle(const TFindHandle&) = delete;
    TFindHandle& operator=(const TFindHandle&) = delete;

    DIR* const Directory;
    const String Pattern;
};

TFileHandle* FileOf(HANDLE handle)
{
    return dynamic_cast<TFileHandle*>(FindHandle(handle));
}

TFindHandle* FindOf(HANDLE handle)
{
    return dynamic_cast<TFindHandle*>(FindHandle(handle));
}

bool IsSeparator(char16_t c)
{
    return c == u'/' || c == u'\\';
}

// The last part of a path: what follows the last separator.
std::u16string_view LastName(std::u16string_view path)
{
    size_t at = path.size();
    while (at > 0 && !IsSeparator(path[at - 1]))
        --at;
    return path.substr(at);
}

bool IsRefusedName(std::u16string_view name)
{
    constexpr std::u16string_view Refused = u"<>:\"|?*";
    for (const char16_t c : name) {
        if ((c >= 1 && c <= 31) || Refused.find(c) != std::u16string_view::npos)
            return true;
    }
    return false;
}

// The ASCII characters a name may not hold, as a table: a plain path is
// checked character by character.
constexpr std::array<bool, 128> ForbiddenAscii = [] {
    std::array<bool, 128> forbidden{};
    for (const char c : PosixNames::Detail::ForbiddenInNames)
        forbidden[static_cast<unsigned char>(c)] = true;
    return forbidden;
}();

// The file system's name for a plain path, which NativePath would give back
// byte for byte ('\' as '/'), without its general work, which a rename run
// would otherwise pay twice per file. Plain: printable ASCII that a name may
// hold, no "." or ".." part, and either the "\\?\" form (taken from the
// root as it is) or a path from the root in Win32's normal form (no empty
// part, no trailing dot or blank). Nothing for any other path.
std::optional<std::string> PlainPath(std::u16string_view path)
{
    constexpr std::u16string_view VerbatimPrefix = u"\\\\?\\";
    const bool verbatim = path.starts_with(VerbatimPrefix);
    if (verbatim)
        path.remove_prefix(VerbatimPrefix.size());
    if (path.empty() || (!verbatim && (path.size() < 2 || !IsSeparator(path[0]))))
        return std::nullopt;
    std::string bytes;
    bytes.reserve(path.size() + 1);
    if (!IsSeparator(path[0]))
        bytes += '/';
    size_t partStart = 0;
    for (size_t i = 0; i <= path.size(); ++i) {
        if (i == path.size() || IsSeparator(path[i])) {
            const std::u16string_view part = path.substr(partStart, i - partStart);
            if (part == u"." || part == u".." || (!verbatim && part.empty() && i != 0))
                return std::nullopt;
            if (i < path.size())
                bytes += '/';
            partStart = i + 1;
            continue;
        }
        const char16_t c = path[i];
        if (c < 0x20 || c > 0x7E || ForbiddenAscii[c])
            return std::nullopt;
        bytes += static_cast<char>(c);
    }
    if (!verbatim && (path.back() == u'.' || path.back() == u' '))
        return std::nullopt;
    return bytes;
}

// NativePath, sparing its work where the path is already plain.
std::optional<std::string> RenamePath(const char16_t* path)
{
    if (std::optional<std::string> plain = PlainPath(path))
        return plain;
    return NativePath(path);
}

// Windows' attribute bits for what lstat saw at `path`: a link is reported
// as a reparse point (a directory one when it leads to a directory).
DWORD AttributesOf(const struct stat& seen, const std::string& path)
{
    if (S_ISLNK(seen.st_mode)) {
        struct stat target{};
        const bool toDirectory = ::stat(path.c_str(), &target) == 0 && S_ISDIR(target.st_mode);
        return FileAttribute::ReparsePoint | (toDirectory ? FileAttribute::Directory : FileAttribute::Archive);
    }
    DWORD attributes = S_ISDIR(seen.st_mode) ? FileAttribute::Directory : FileAttribute::Archive;
    if ((seen.st_mode & S_IWUSR) == 0)
        attributes |= FileAttribute::ReadOnly;
    return attributes;
}

bool IsLinkToDirectory(const struct stat& seen, const std::string& path)
{
    struct stat target{};
    return S_ISLNK(seen.st_mode) && ::stat(path.c_str(), &target) == 0 && S_ISDIR(target.st_mode);
}

BOOL Fail(DWORD error)
{
    Posix::SetLastError(error);
    return 0;
}

BOOL FailErrno()
{
    SetLastErrorFromErrno(errno);
    return 0;
}

// Where the file system has no no-replace rename: a hard link refuses an
// existing target atomically; directories (and file systems without hard
// links) are checked first, which leaves only a narrow race.
BOOL MoveWithoutReplacing(const std::string& from, const std::string& to)
{
    struct stat source{};
    if (::lstat(from.c_str(), &source) != 0)
        return FailErrno();
    if (!S_ISDIR(source.st_mode)) {
        if (::link(from.c_str(), to.c_str()) == 0) {
            if (::unlink(from.c_str()) == 0)
                return 1;
            const int error = errno;
            ::unlink(to.c_str());
            SetLastErrorFromErrno(error);
            return 0;
        }
        if (errno != EPERM && errno != ENOTSUP && errno != EMLINK && errno != ENOSYS)
            return FailErrno();
    }
    struct stat target{};
    if (::lstat(to.c_str(), &target) == 0)
        return Fail(ERROR_ALREADY_EXISTS);
    if (::rename(from.c_str(), to.c_str()) != 0)
        return FailErrno();
    return 1;
}

// Windows' wildcard match: "*" any run, "?" one character, letters in any case.
bool Matches(const char16_t* pattern, const char16_t* name)
{
    if (*pattern == u'\0')
        return *name == u'\0';
    if (*pattern == u'*')
        return Matches(pattern + 1, name) || (*name != u'\0' && Matches(pattern, name + 1));
    if (*name == u'\0')
        return false;
    if (*pattern != u'?' && UpperCase(*pattern) != UpperCase(*name))
        return false;
    return Matches(pattern + 1, name + 1);
}

bool MatchesAll(const String& pattern)
{
    return pattern == u"*" || pattern == u"*.*";
}

FILETIME FileTimeOf(const struct timespec& time)
{
    constexpr int64_t SecondsFrom1601To1970 = 11644473600;
    const auto ticks = static_cast<uint64_t>((time.tv_sec + SecondsFrom1601To1970) * 10000000 + time.tv_nsec / 100);
    return FILETIME{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
}

// The next entry of the enumeration that matches its pattern, into `data`.
bool NextMatch(TFindHandle& find, WIN32_FIND_DATAW& data)
{
    while (const dirent* entry = ::readdir(find.Directory)) {
        const String name = PosixNames::ToUtf16(entry->d_name);
        if (!MatchesAll(find.Pattern) && !Matches(find.Pattern.c_str(), name.c_str()))
            continue;
        struct stat seen{};
        if (::fstatat(::dirfd(find.Directory), entry->d_name, &seen, AT_SYMLINK_NOFOLLOW) != 0)
            continue; // gone since the listing was read
        data = WIN32_FIND_DATAW{};
        struct stat target{};
        const bool linkToDirectory = S_ISLNK(seen.st_mode) &&
                                     ::fstatat(::dirfd(find.Directory), entry->d_name, &target, 0) == 0 &&
                                     S_ISDIR(target.st_mode);
        if (S_ISLNK(seen.st_mode))
            data.dwFileAttributes = FileAttribute::ReparsePoint |
                                    (linkToDirectory ? FileAttribute::Directory : FileAttribute::Archive);
        else
            data.dwFileAttributes = AttributesOf(seen, std::string());
        data.ftCreationTime = FileTimeOf(seen.st_ctim);
        data.ftLastAccessTime = FileTimeOf(seen.st_atim);
        data.ftLastWriteTime = FileTimeOf(seen.st_mtim);
        if (!S_ISDIR(seen.st_mode)) {
            const auto size = static_cast<uint64_t>(seen.st_size);
            data.nFileSizeHigh = static_cast<DWORD>(size >> 32);
            data.nFileSizeLow = static_cast<DWORD>(size);
        }
        const size_t length = std::min<size_t>(name.size(), MaxPath - 1);
        name.copy(data.cFileName, length);
        data.cFileName[length] = u'\0';
        return true;
    }
    return false;
}

String HexDigits(UINT value)
{
    char digits[16];
    std::snprintf(digits, sizeof digits, "%X", value);
    return Base::FromUtf8(digits);
}

// The same directory entry under another spelling (a case-insensitive file
// system, or "." and ".." parts): the one file, not a second one that a
// rename would replace. A hard-linked file is never taken for it.
bool IsSameEntry(const std::string& from, const std::string& to)
{
    struct stat source{};
    struct stat target{};
    return ::lstat(from.c_str(), &source) == 0 && ::lstat(to.c_str(), &target) == 0 &&
           source.st_dev == target.st_dev && source.st_ino == target.st_ino &&
           (S_ISDIR(source.st_mode) || source.st_nlink == 1);
}

HANDLE FailHandle(DWORD error)
{
    Fail(error);
    return InvalidHandleValue;
}

HANDLE FailHandleErrno()
{
    FailErrno();
    return InvalidHandleValue;
}

} // namespace

BOOL MoveFileW(const char16_t* existingName, const char16_t* newName)
{
    if (existingName == nullptr || newName == nullptr)
        return Fail(ERROR_INVALID_PARAMETER);
    if (const DWORD error = Faults::Injected(Faults::TCall::Rename, existingName, newName))
        return Fail(error);
    if (IsRefusedName(LastName(newName)))
        return Fail(ERROR_INVALID_NAME);
    const std::optional<std::string> from = RenamePath(existingName);
    const std::optional<std::string> to = RenamePath(newName);
    if (!from || !to)
        return 0;
    if (::renameat2(AT_FDCWD, from->c_str(), AT_FDCWD, to->c_str(), RENAME_NOREPLACE) == 0)
        return 1;
    int error = errno;
    if (error == EINVAL || error == ENOSYS || error == ENOTSUP) {
        if (MoveWithoutReplacing(*from, *to))
            return 1;
        error = EEXIST;
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            return 0;
    }
    // A new spelling of the file itself replaces nothing: it may go ahead.
    if (error == EEXIST && IsSameEntry(*from, *to)) {
        if (::rename(from->c_str(), to->c_str()) != 0)
            return FailErrno();
        return 1;
    }
    SetLastErrorFromErrno(error);
    return 0;
}

DWORD GetTempPathW(DWORD bufferLength, char16_t* buffer)
{
    if (const DWORD error = Faults::Injected(Faults::TCall::TempPath, nullptr))
        return Fail(error);
    const char* variable = std::getenv("TMPDIR");
    std::string directory = variable != nullptr && *variable != '\0' ? variable : "/tmp";
    if (directory.back() != '/')
        directory += '/';
    const String path = PosixNames::ToUtf16(directory);
    if (buffer == nullptr || bufferLength <= path.size())
        return static_cast<DWORD>(path.size() + 1);
    path.copy(buffer, path.size());
    buffer[path.size()] = u'\0';
    return static_cast<DWORD>(path.size());
}

UINT GetTempFileNameW(const char16_t* pathName, const char16_t* prefix, UINT unique, char16_t* tempFileName)
{
    if (pathName == nullptr || tempFileName == nullptr)
        return Fail(ERROR_INVALID_PARAMETER);
    if (const DWORD error = Faults::Injected(Faults::TCall::TempFileName, pathName))
        return Fail(error);
    String base = pathName;
    if (!base.empty() && !IsSeparator(base.back()))
        base += u'/';
    if (prefix != nullptr)
        base += String(prefix).substr(0, 3);

    auto nameFor = [&base](UINT number) { return base + HexDigits(number) + u".tmp"; };
    auto hand = [tempFileName](const String& name) {
        name.copy(tempFileName, name.size());
        tempFileName[name.size()] = u'\0';
    };

    if (unique != 0) { // the caller's number: the name only, nothing is created
        const String name = nameFor(unique & 0xFFFF);
        if (name.size() >= MaxPath)
            return Fail(ERROR_BUFFER_OVERFLOW);
        hand(name);
        return unique & 0xFFFF;
    }
    const UINT start = std::random_device{}() & 0xFFFF;
    for (UINT step = 0; step < 0x10000; ++step) {
        const UINT number = (start + step) & 0xFFFF;
        if (number == 0)
            continue;
        const String name = nameFor(number);
        if (name.size() >= MaxPath)
            return Fail(ERROR_BUFFER_OVERFLOW);
        const std::optional<std::string> native = NativePath(name.c_str());
        if (!native)
            return 0;
        const int descriptor = ::open(native->c_str(), O_CREAT | O_EXCL | O_WRONLY | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (descriptor >= 0) {
            ::close(descriptor);
            hand(name);
            return number;
        }
        if (errno != EEXIST)
            return FailErrno();
    }
    return Fail(ERROR_FILE_EXISTS);
}

BOOL DeleteFileW(const char16_t* fileName)
{
    if (const DWORD error = Faults::Injected(Faults::TCall::Delete, fileName))
        return Fail(error);
    const std::optional<std::string> path = NativePath(fileName);
    if (!path)
        return 0;
    struct stat seen{};
    if (::lstat(path->c_str(), &seen) != 0)
        return FailErrno();
    // Windows deletes neither directories (nor links to them) nor read-only files.
    if (S_ISDIR(seen.st_mode) || IsLinkToDirectory(seen, *path))
        return Fail(ERROR_ACCESS_DENIED);
    if (!S_ISLNK(seen.st_mode) && (seen.st_mode & S_IWUSR) == 0)
        return Fail(ERROR_ACCESS_DENIED);
    if (::unlink(path->c_str()) != 0)
        return FailErrno();
    return 1;
}

DWORD GetFileAttributesW(const char16_t* fileName)
{
    if (const DWORD error = Faults::Injected(Faults::TCall::Attributes, fileName)) {
        Fail(error);
        return InvalidFileAttributes;
    }
    const std::optional<std::string> path = NativePath(fileName);
    if (!path)
        return InvalidFileAttributes;
    struct stat seen{};
    if (::lstat(path->c_str(), &seen) != 0) {
        SetLastErrorFromErrno(errno);
        return InvalidFileAttributes;
    }
    return AttributesOf(seen, *path);
}

BOOL SetFileAttributesW(const char16_t* fileName, DWORD attributes)
{
    const std::optional<std::string> path = NativePath(fileName);
    if (!path)
        return 0;
    struct stat seen{};
    if (::lstat(path->c_str(), &seen) != 0)
        return FailErrno();
    // Only the read-only bit has a POSIX counterpart, and only on files; a
    // link has no mode of its own and its target is left alone.
    if (S_ISLNK(seen.st_mode) || S_ISDIR(seen.st_mode))
        return 1;
    const mode_t mode = (attributes & FileAttribute::ReadOnly) != 0 ? (seen.st_mode & ~mode_t{0222})
                                                                    : (seen.st_mode | S_IWUSR);
    if (::fchmodat(AT_FDCWD, path->c_str(), mode & 07777, AT_SYMLINK_NOFOLLOW) != 0) {
        if (errno == ENOTSUP || errno == EOPNOTSUPP)
            return 1; // replaced by a link meanwhile: left alone
        return FailErrno();
    }
    return 1;
}

BOOL RemoveDirectoryW(const char16_t* pathName)
{
    const std::optional<std::string> native = NativePath(pathName);
    if (!native)
        return 0;
    std::string path = *native;
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    struct stat seen{};
    if (::lstat(path.c_str(), &seen) != 0)
        return FailErrno();
    if (S_ISLNK(seen.st_mode)) {
        // As on Windows, removing a directory link removes the link only.
        if (!IsLinkToDirectory(seen, path))
            return Fail(ERROR_DIRECTORY);
        if (::unlink(path.c_str()) != 0)
            return FailErrno();
        return 1;
    }
    if (!S_ISDIR(seen.st_mode))
        return Fail(ERROR_DIRECTORY);
    if (::rmdir(path.c_str()) != 0)
        return FailErrno();
    return 1;
}

BOOL GetFileAttributesExW(const char16_t* fileName, WIN32_FILE_ATTRIBUTE_DATA* data)
{
    if (fileName == nullptr || data == nullptr)
        return Fail(ERROR_INVALID_PARAMETER);
    if (const DWORD error = Faults::Injected(Faults::TCall::Attributes, fileName))
        return Fail(error);
    const std::optional<std::string> path = NativePath(fileName);
    if (!path)
        return 0;
    struct stat own{};
    if (::lstat(path->c_str(), &own) != 0)
        return FailErrno();
    struct stat seen = own;
    if (S_ISLNK(own.st_mode) && ::stat(path->c_str(), &seen) != 0)
        seen = own;
    *data = WIN32_FILE_ATTRIBUTE_DATA{};
    data->dwFileAttributes = AttributesOf(own, *path);
    data->ftCreationTime = FileTimeOf(seen.st_ctim);
    data->ftLastAccessTime = FileTimeOf(seen.st_atim);
    data->ftLastWriteTime = FileTimeOf(seen.st_mtim);
    if (!S_ISDIR(seen.st_mode)) {
        const auto size = static_cast<uint64_t>(seen.st_size);
        data->nFileSizeHigh = static_cast<DWORD>(size >> 32);
        data->nFileSizeLow = static_cast<DWORD>(size);
    }
    return 1;
}

BOOL CreateDirectoryW(const char16_t* pathName)
{
    if (const DWORD error = Faults::Injected(Faults::TCall::Create, pathName))
        return Fail(error);
    const std::optional<std::string> native = NativePath(pathName);
    if (!native)
        return 0;
    if (::mkdir(native->c_str(), 0700) != 0)
        return errno == EEXIST ? Fail(ERROR_ALREADY_EXISTS) : FailErrno();
    return 1;
}

HANDLE FindFirstFileW(const char16_t* fileName, WIN32_FIND_DATAW* findData)
{
    if (fileName == nullptr || findData == nullptr)
        return FailHandle(ERROR_INVALID_PARAMETER);
    const String whole = fileName;
    const String pattern(LastName(whole));
    String directory = whole.substr(0, whole.size() - pattern.size());
    if (directory.empty())
        directory = u".";
    // The folder is opened by descriptor without following a link at its
    // last name, so a link swapped in after the caller looked at the name
    // cannot steer the listing elsewhere. A trailing separator would make
    // the system follow such a link: it goes.
    const std::optional<std::string> folder = NativePath(directory.c_str());
    if (!folder)
        return InvalidHandleValue;
    std::string native = *folder;
    while (native.size() > 1 && native.back() == '/')
        native.pop_back();
    const int descriptor = ::open(native.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    DIR* listing = descriptor < 0 ? nullptr : ::fdopendir(descriptor);
    if (listing == nullptr) {
        const int error = errno;
        if (descriptor >= 0)
            ::close(descriptor);
        if (error == ENOENT)
            return FailHandle(ERROR_PATH_NOT_FOUND);
        SetLastErrorFromErrno(error);
        return InvalidHandleValue;
    }
    auto find = std::make_unique<TFindHandle>(listing, pattern);
    if (!NextMatch(*find, *findData))
        return FailHandle(ERROR_FILE_NOT_FOUND);
    return AddHandle(std::move(find));
}

BOOL FindNextFileW(HANDLE findFile, WIN32_FIND_DATAW* findData)
{
    TFindHandle* find = FindOf(findFile);
    if (find == nullptr || findData == nullptr)
        return Fail(ERROR_INVALID_HANDLE);
    if (!NextMatch(*find, *findData))
        return Fail(ERROR_NO_MORE_FILES);
    return 1;
}

BOOL FindClose(HANDLE findFile)
{
    if (FindOf(findFile) == nullptr)
        return Fail(ERROR_INVALID_HANDLE);
    return CloseHandle(findFile);
}

HANDLE CreateFileW(const char16_t* fileName, DWORD desiredAccess, DWORD shareMode, DWORD creationDisposition,
                   DWORD flagsAndAttributes)
{
    if (const DWORD error = Faults::Injected(Faults::TCall::Create, fileName))
        return FailHandle(error);
    const bool reading = (desiredAccess & Access::GenericRead) != 0;
    const bool writing = (desiredAccess & Access::GenericWrite) != 0;
    int flags = O_CLOEXEC | (reading && writing ? O_RDWR : writing ? O_WRONLY : O_RDONLY);
    bool truncate = false;
    switch (creationDisposition) {
    case Disposition::CreateNew: flags |= O_CREAT | O_EXCL; break;
    case Disposition::CreateAlways: flags |= O_CREAT; truncate = true; break;
    case Disposition::OpenExisting: break;
    case Disposition::OpenAlways: flags |= O_CREAT; break;
    case Disposition::TruncateExisting: truncate = true; break;
    default: return FailHandle(ERROR_INVALID_PARAMETER);
    }
    if (truncate && !writing)
        return FailHandle(ERROR_INVALID_PARAMETER);
    // Whatever may create or truncate never goes through a link at the last
    // name, nor does an open that asks for the link itself.
    if (creationDisposition != Disposition::OpenExisting ||
        (flagsAndAttributes & FileFlag::OpenReparsePoint) != 0)
        flags |= O_NOFOLLOW;
    // Opened without waiting, so a pipe planted at the name cannot hold the
    // open until a reader or writer comes; only plain files are taken.
    flags |= O_NONBLOCK;

    const std::optional<std::string> path = NativePath(fileName);
    if (!path)
        return InvalidHandleValue;
    const int descriptor = ::open(path->c_str(), flags, 0600);
    if (descriptor < 0)
        return errno == EEXIST ? FailHandle(ERROR_FILE_EXISTS) : FailHandleErrno();
    auto file = std::make_unique<TFileHandle>(descriptor);
    struct stat opened{};
    if (::fstat(descriptor, &opened) != 0 || !S_ISREG(opened.st_mode))
        return FailHandle(ERROR_ACCESS_DENIED);
    // A file replaced whole may already exist, planted by another user of
    // the shared temporary folder: only a file of this user's own, reachable
    // by this name alone, is replaced, never another user's file or one
    // hard-linked to a name elsewhere whose content would go with it.
    const bool replacing = creationDisposition == Disposition::CreateAlways;
    if (replacing && (opened.st_uid != ::geteuid() || opened.st_nlink > 1))
        return FailHandle(ERROR_ACCESS_DENIED);
    const int status = ::fcntl(descriptor, F_GETFL);
    if (status < 0 || ::fcntl(descriptor, F_SETFL, status & ~O_NONBLOCK) != 0)
        return FailHandleErrno();
    // No sharing: another opener asking the same is refused, as on Windows
    // (advisory only: POSIX has no mandatory share modes). Taken before the
    // truncation, so a refused open changes nothing.
    if (shareMode == 0 && ::flock(descriptor, LOCK_EX | LOCK_NB) != 0)
        return FailHandle(ERROR_SHARING_VIOLATION);
    if (truncate && ::ftruncate(descriptor, 0) != 0)
        return FailHandleErrno();
    Posix::SetLastError(ERROR_SUCCESS);
    return AddHandle(std::move(file));
}

BOOL ReadFile(HANDLE file, void* buffer, DWORD toRead, DWORD* read)
{
    TFileHandle* handle = FileOf(file);
    if (read != nullptr)
        *read = 0;
    if (handle == nullptr)
        return Fail(ERROR_INVALID_HANDLE);
    ssize_t got;
    do {
        got = ::read(handle->Descriptor, buffer, toRead);
    } while (got < 0 && errno == EINTR);
    if (got < 0)
        return FailErrno();
    if (read != nullptr)
        *read = static_cast<DWORD>(got);
    return 1;
}

BOOL WriteFile(HANDLE file, const void* buffer, DWORD toWrite, DWORD* written)
{
    TFileHandle* handle = FileOf(file);
    if (written != nullptr)
        *written = 0;
    if (handle == nullptr)
        return Fail(ERROR_INVALID_HANDLE);
    if (const DWORD error = Faults::Injected(Faults::TCall::Write, nullptr))
        return Fail(error);
    const auto* bytes = static_cast<const char*>(buffer);
    DWORD done = 0;
    while (done < toWrite) {
        const ssize_t put = ::write(handle->Descriptor, bytes + done, toWrite - done);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0) {
            if (done > 0)
                break; // report what was taken; the next write reports the failure
            if (put == 0)
                return Fail(ERROR_DISK_FULL);
            return FailErrno();
        }
        done += static_cast<DWORD>(put);
    }
    if (written != nullptr)
        *written = done;
    return 1;
}

BOOL SetFilePointerEx(HANDLE file, int64_t distance, int64_t* newPosition, DWORD moveMethod)
{
    TFileHandle* handle = FileOf(file);
    if (handle == nullptr)
        return Fail(ERROR_INVALID_HANDLE);
    int whence;
    switch (moveMethod) {
    case SeekOrigin::Begin: whence = SEEK_SET; break;
    case SeekOrigin::Current: whence = SEEK_CUR; break;
    case SeekOrigin::End: whence = SEEK_END; break;
    default: return Fail(ERROR_INVALID_PARAMETER);
    }
    const off_t at = ::lseek(handle->Descriptor, static_cast<off_t>(distance), whence);
    if (at < 0)
        return errno == EINVAL ? Fail(ERROR_NEGATIVE_SEEK) : FailErrno();
    if (newPosition != nullptr)
        *newPosition = at;
    return 1;
}

BOOL SetEndOfFile(HANDLE file)
{
    TFileHandle* handle = FileOf(file);
    if (handle == nullptr)
        return Fail(ERROR_INVALID_HANDLE);
    const off_t at = ::lseek(handle->Descriptor, 0, SEEK_CUR);
    if (at < 0 || ::ftruncate(handle->Descriptor, at) != 0)
        return FailErrno();
    return 1;
}

BOOL GetFileIdentity(HANDLE file, FileIdentity* identity)
{
    TFileHandle* handle = FileOf(file);
    if (handle == nullptr || identity == nullptr)
        return Fail(ERROR_INVALID_HANDLE);
    struct stat seen{};
    if (::fstat(handle->Descriptor, &seen) != 0)
        return FailErrno();
    identity->Volume = static_cast<uint64_t>(seen.st_dev);
    identity->Index = static_cast<uint64_t>(seen.st_ino);
    identity->Owner = static_cast<uint64_t>(seen.st_uid);
    return 1;
}

DWORD GetEnvironmentVariableW(const char16_t* name, char16_t* buffer, DWORD size)
{
    const std::optional<std::string> variable = name != nullptr ? PosixNames::FromUtf16(name) : std::nullopt;
    const char* value = variable ? std::getenv(variable->c_str()) : nullptr;
    if (value == nullptr)
        return Fail(ERROR_ENVVAR_NOT_FOUND);
    const String text = PosixNames::ToUtf16(value);
    if (buffer == nullptr || size <= text.size())
        return static_cast<DWORD>(text.size() + 1);
    text.copy(buffer, text.size());
    buffer[text.size()] = u'\0';
    return static_cast<DWORD>(text.size());
}

BOOL SetEnvironmentVariableW(const char16_t* name, const char16_t* value)
{
    const std::optional<std::string> variable = name != nullptr ? PosixNames::FromUtf16(name) : std::nullopt;
    if (!variable || variable->empty() || variable->find('=') != std::string::npos)
        return Fail(ERROR_INVALID_PARAMETER);
    if (value == nullptr)
        return ::unsetenv(variable->c_str()) == 0 ? 1 : FailErrno();
    const std::optional<std::string> bytes = PosixNames::FromUtf16(value);
    if (!bytes)
        return Fail(ERROR_INVALID_PARAMETER);
    return ::setenv(variable->c_str(), bytes->c_str(), 1) == 0 ? 1 : FailErrno();
}

BOOL CloseHandle(HANDLE object)
{
    if (TakeHandle(object) == nullptr)
        return Fail(ERROR_INVALID_HANDLE);
    return 1;
}

} // namespace Platform
