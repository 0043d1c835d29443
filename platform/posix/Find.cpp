// FindFirstFileW and its enumeration for the POSIX build: the entries of
// one folder that match a Windows wildcard, letters in any case, each with
// Windows' attributes, times and size. A link is listed as a link.
#include "platform/posix/PosixSupport.h"

#include "base/FileTime.h"
#include "base/PosixNames.h"
#include "base/String.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <string>

namespace Platform {

using namespace Posix;
using Base::String;

namespace {

class TFindHandle : public THandleObject {
public:
    TFindHandle(DIR* directory, String pattern) : Directory(directory), Pattern(std::move(pattern)) {}
    ~TFindHandle() override { ::closedir(Directory); }
    TFindHandle(const TFindHandle&) = delete;
    TFindHandle& operator=(const TFindHandle&) = delete;

    DIR* const Directory;
    const String Pattern;
};

TFindHandle* FindOf(HANDLE handle)
{
    return dynamic_cast<TFindHandle*>(FindHandle(handle));
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
        data.dwFileAttributes = AttributesOf(seen, linkToDirectory);
        SetDatesAndSize(seen, data);
        const size_t length = std::min<size_t>(name.size(), MaxPath - 1);
        name.copy(data.cFileName, length);
        data.cFileName[length] = u'\0';
        return true;
    }
    return false;
}

// The folder `directory` opened for listing, or null with the last error set.
// It is opened by descriptor without following a link at its last name, so
// a link swapped in after the caller looked at the name cannot steer the
// listing elsewhere. A trailing separator would make the system follow such
// a link: it goes.
DIR* OpenListing(String directory)
{
    if (directory.empty())
        directory = u".";
    const std::optional<std::string> folder = NativePath(directory.c_str());
    if (!folder)
        return nullptr;
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
            SetLastError(ERROR_PATH_NOT_FOUND);
        else
            SetLastErrorFromErrno(error);
        return nullptr;
    }
    return listing;
}

} // namespace

HANDLE FindFirstFileW(const char16_t* fileName, WIN32_FIND_DATAW* findData)
{
    if (fileName == nullptr || findData == nullptr)
        return FailHandle(ERROR_INVALID_PARAMETER);
    const String whole = fileName;
    const String pattern(LastName(whole));
    DIR* listing = OpenListing(whole.substr(0, whole.size() - pattern.size()));
    if (listing == nullptr)
        return InvalidHandleValue;
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

namespace {

// Calls `visit` with every entry of `listing` but "." and "..", and its name
// as the plugin sees it. One buffer holds every name: a folder of many files
// costs no allocation per name.
template <typename Visit>
BOOL VisitListingEntries(DIR* listing, const Visit& visit)
{
    String shown;
    errno = 0;
    while (const dirent* entry = ::readdir(listing)) {
        const std::string_view name = entry->d_name;
        if (name != "." && name != "..") {
            shown.clear();
            PosixNames::AppendUtf16(shown, name);
            visit(shown.c_str(), *entry);
        }
        errno = 0;
    }
    if (errno != 0)
        return FailErrno();
    return 1;
}

} // namespace

BOOL ListFileNames(const char16_t* directory, const FileNameVisitor& visit)
{
    if (directory == nullptr)
        return Fail(ERROR_INVALID_PARAMETER);
    const std::unique_ptr<DIR, int (*)(DIR*)> listing(OpenListing(directory), ::closedir);
    if (!listing)
        return 0;
    return VisitListingEntries(listing.get(), [&visit](const char16_t* name, const dirent&) { visit(name, u""); });
}

BOOL ListFileIndexes(const char16_t* directory, uint64_t* volume, const FileIndexVisitor& visit)
{
    if (directory == nullptr || volume == nullptr)
        return Fail(ERROR_INVALID_PARAMETER);
    const std::unique_ptr<DIR, int (*)(DIR*)> listing(OpenListing(directory), ::closedir);
    if (!listing)
        return 0;
    struct stat folder{};
    if (::fstat(::dirfd(listing.get()), &folder) != 0)
        return FailErrno();
    *volume = static_cast<uint64_t>(folder.st_dev);
    return VisitListingEntries(listing.get(), [&visit](const char16_t* name, const dirent& entry) {
        visit(name, static_cast<uint64_t>(entry.d_ino));
    });
}

} // namespace Platform
