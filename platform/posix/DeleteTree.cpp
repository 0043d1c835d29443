// Deleting a directory tree on POSIX: level by level relative to open
// directory descriptors (openat with O_NOFOLLOW | O_DIRECTORY, fdopendir,
// unlinkat), so every removal lands in the folder that was listed, whatever
// is renamed or swapped for a link meanwhile; a link is removed as a link.
#include "platform/posix/PosixSupport.h"

#include "base/PosixNames.h"
#include "platform/Faults.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

namespace Platform {

using namespace Posix;

namespace {

class TDescriptor {
public:
    explicit TDescriptor(int descriptor) : Descriptor(descriptor) {}
    ~TDescriptor()
    {
        if (Descriptor >= 0)
            ::close(Descriptor);
    }
    TDescriptor(const TDescriptor&) = delete;
    TDescriptor& operator=(const TDescriptor&) = delete;

    int Get() const { return Descriptor; }

private:
    int Descriptor;
};

// The folder `name` in `parent`, opened only when it is a folder itself and
// not a link to one.
int OpenFolder(int parent, const char* name)
{
    return ::openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

// The names in the folder, "." and ".." left out. Read whole before anything
// is removed, so removals cannot disturb the listing.
bool ListNames(int folder, std::vector<std::string>& names)
{
    const int listing = ::dup(folder);
    if (listing < 0)
        return false;
    DIR* directory = ::fdopendir(listing);
    if (directory == nullptr) {
        ::close(listing);
        return false;
    }
    while (const dirent* entry = ::readdir(directory)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..")
            names.push_back(name);
    }
    ::closedir(directory);
    return true;
}

bool RemoveEntry(int folder, const std::string& name, const std::u16string& shownPath);

// Empties the open folder, shown to the fault seam as `shownPath`; true when
// everything in it went.
bool RemoveContents(int folder, const std::u16string& shownPath)
{
    std::vector<std::string> names;
    if (!ListNames(folder, names))
        return false;
    bool removedAll = true;
    for (const std::string& name : names) {
        const std::u16string entryPath = shownPath + u"/" + PosixNames::ToUtf16(name);
        if (Faults::Injected(Faults::TCall::DeleteTreeEntry, entryPath.c_str()) != 0)
            removedAll = false;
        else
            removedAll = RemoveEntry(folder, name, entryPath) && removedAll;
    }
    return removedAll;
}

// Removes `name` from the open `folder`: a folder with its contents, anything
// else (a link above all) as itself.
bool RemoveEntry(int folder, const std::string& name, const std::u16string& shownPath)
{
    const TDescriptor child(OpenFolder(folder, name.c_str()));
    if (child.Get() < 0) {
        // Not a folder, or a link: removed as it is.
        if (errno != ENOTDIR && errno != ELOOP)
            return errno == ENOENT;
        return ::unlinkat(folder, name.c_str(), 0) == 0 || errno == ENOENT;
    }
    if (!RemoveContents(child.Get(), shownPath))
        return false;
    // Swapped for something else since it was opened: that is refused here
    // (ENOTDIR), so nothing but the emptied folder is ever removed.
    return ::unlinkat(folder, name.c_str(), AT_REMOVEDIR) == 0;
}

// Splits a path into its folder and last name, trailing separators dropped.
void SplitLast(std::string path, std::string& folder, std::string& name)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        folder = ".";
        name = path;
    } else {
        folder = slash == 0 ? "/" : path.substr(0, slash);
        name = path.substr(slash + 1);
    }
}

} // namespace

BOOL DeleteTree(const char16_t* directory)
{
    const std::optional<std::string> path = NativePath(directory);
    if (!path)
        return 0;
    std::string folder;
    std::string name;
    SplitLast(*path, folder, name);
    if (name.empty() || name == "." || name == "..") {
        SetLastError(ERROR_ACCESS_DENIED);
        return 0;
    }
    const TDescriptor parent(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (parent.Get() < 0) {
        SetLastErrorFromErrno(errno);
        return 0;
    }
    struct stat seen{};
    if (::fstatat(parent.Get(), name.c_str(), &seen, AT_SYMLINK_NOFOLLOW) != 0) {
        SetLastErrorFromErrno(errno);
        return 0;
    }
    if (!S_ISDIR(seen.st_mode) && !S_ISLNK(seen.st_mode)) {
        SetLastError(ERROR_DIRECTORY);
        return 0;
    }
    std::u16string shown = directory;
    while (shown.size() > 1 && (shown.back() == u'/' || shown.back() == u'\\'))
        shown.pop_back();
    if (!RemoveEntry(parent.Get(), name, shown)) {
        SetLastError(ERROR_DIR_NOT_EMPTY);
        return 0;
    }
    return 1;
}

} // namespace Platform
