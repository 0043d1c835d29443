// The floor of the renamer comparison: the least any renamer must do to
// rename the benchmark's files, a loop of no-replace renames (renameat2 with
// RENAME_NOREPLACE) of the full names, nothing else. It also makes the
// files and renames them back, so that every renamer starts from the same
// folder.
//
// The files are a0000000.dat, a0000001.dat, ... (one byte each); the rename
// puts a "b" in front of every name, as the other renamers are told to.
//
// Usage: RenameLoop make|rename|back FOLDER COUNT
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// Full path of file `number`, with `prefix` in front of its name.
std::string FileName(const std::string& folder, const char* prefix, unsigned long number)
{
    char name[64];
    std::snprintf(name, sizeof name, "/%sa%07lu.dat", prefix, number);
    return folder + name;
}

int Make(const std::string& folder, unsigned long count)
{
    if (::mkdir(folder.c_str(), 0755) != 0 && errno != EEXIST) {
        std::perror(folder.c_str());
        return 1;
    }
    for (unsigned long i = 0; i < count; ++i) {
        const std::string path = FileName(folder, "", i);
        const int file = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (file < 0 || ::write(file, "x", 1) != 1) {
            std::perror(path.c_str());
            return 1;
        }
        ::close(file);
    }
    return 0;
}

int Rename(const std::string& folder, unsigned long count, const char* fromPrefix, const char* toPrefix)
{
    for (unsigned long i = 0; i < count; ++i) {
        const std::string from = FileName(folder, fromPrefix, i);
        const std::string to = FileName(folder, toPrefix, i);
        if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) != 0) {
            std::fprintf(stderr, "%s -> %s: %s\n", from.c_str(), to.c_str(), std::strerror(errno));
            return 1;
        }
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s make|rename|back FOLDER COUNT\n", argv[0]);
        return 2;
    }
    const std::string mode = argv[1];
    const std::string folder = argv[2];
    const unsigned long count = std::strtoul(argv[3], nullptr, 10);
    if (mode == "make")
        return Make(folder, count);
    if (mode == "rename")
        return Rename(folder, count, "", "b");
    if (mode == "back")
        return Rename(folder, count, "b", "");
    std::fprintf(stderr, "unknown mode %s\n", mode.c_str());
    return 2;
}
