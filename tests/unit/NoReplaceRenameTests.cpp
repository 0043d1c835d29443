// The POSIX build's renames where the file system does not do Windows'
// part itself: without renameat2's no-replace flag (a network or FUSE
// file system), and a new spelling of one name where the file system takes
// both spellings for one name (vfat, exfat, casefold), where rename()
// changes nothing and says it did. Neither kind of file system is at hand
// in a test, so the two ways round are driven directly on this one.
#if !defined(_WIN32)
#include "TestFiles.h"
#include "platform/posix/PosixSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

namespace {

namespace fs = std::filesystem;
using TestSupport::ReadBytes;
using TestSupport::TestFolder;
using TestSupport::WriteBytes;

std::set<std::string> Names(const TestFolder& folder)
{
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder.Path))
        names.insert(entry.path().filename().string());
    return names;
}

// Each case starts from a file "a" ("content a") or a folder "a" (holding
// "inner"), and what else the folder holds; the rename goes from "a" to
// "b" and must never replace what "b" is.
TEST(NoReplaceRename, WithoutRenameat2ALinkOrAFolderOfItsOwnClaimsTheName)
{
    enum class Kind { File, Folder };
    struct Case {
        const char* What;
        Kind Source;
        const char* Taken; // "file", "folder", "empty folder" or none
        bool Moves;
    };
    const Case cases[] = {
        {"a file to a free name", Kind::File, nullptr, true},
        {"a file onto a file", Kind::File, "file", false},
        {"a file onto an empty folder", Kind::File, "empty folder", false},
        {"a folder to a free name", Kind::Folder, nullptr, true},
        {"a folder onto a file", Kind::Folder, "file", false},
        {"a folder onto an empty folder", Kind::Folder, "empty folder", false},
        {"a folder onto a folder", Kind::Folder, "folder", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        TestFolder folder;
        if (c.Source == Kind::File) {
            WriteBytes(folder.Child("a"), "content a");
        } else {
            fs::create_directory(folder.Child("a"));
            WriteBytes(folder.Child("a") / "inner", "inner");
        }
        const std::string taken = c.Taken ? c.Taken : "";
        if (taken == "file")
            WriteBytes(folder.Child("b"), "content b");
        if (taken == "folder" || taken == "empty folder")
            fs::create_directory(folder.Child("b"));
        if (taken == "folder")
            WriteBytes(folder.Child("b") / "kept", "kept");

        const bool moved = Platform::Posix::MoveWithoutReplacing(folder.Child("a"), folder.Child("b")) != 0;
        EXPECT_EQ(moved, c.Moves);
        if (c.Moves) {
            EXPECT_EQ(Names(folder), (std::set<std::string>{"b"}));
            const fs::path content = c.Source == Kind::File ? folder.Child("b") : folder.Child("b") / "inner";
            EXPECT_EQ(ReadBytes(content), c.Source == Kind::File ? "content a" : "inner");
            continue;
        }
        EXPECT_EQ(Platform::GetLastError(), Platform::Posix::ERROR_ALREADY_EXISTS);
        EXPECT_EQ(Names(folder), (std::set<std::string>{"a", "b"}));
        // What held the name is as it was.
        const std::string held = taken == "file"     ? ReadBytes(folder.Child("b"))
                                 : taken == "folder" ? ReadBytes(folder.Child("b") / "kept")
                                 : fs::is_empty(folder.Child("b")) ? "empty"
                                                                   : "not empty";
        EXPECT_EQ(held, taken == "file" ? "content b" : taken == "folder" ? "kept" : "empty");
    }
}

// The new spelling made by way of a free name: it arrives, nothing else is
// left behind, and a taken name sends the file back to its old one.
TEST(NoReplaceRename, ANewSpellingGoesByWayOfAFreeNameAndBackWhenRefused)
{
    TestFolder folder;
    WriteBytes(folder.Child("photo.jpg"), "photo");
    ASSERT_NE(Platform::Posix::MoveThroughFreeName(folder.Child("photo.jpg"), folder.Child("PHOTO.JPG")), 0);
    EXPECT_EQ(Names(folder), (std::set<std::string>{"PHOTO.JPG"}));
    EXPECT_EQ(ReadBytes(folder.Child("PHOTO.JPG")), "photo");

    WriteBytes(folder.Child("Photo.jpg"), "another");
    EXPECT_EQ(Platform::Posix::MoveThroughFreeName(folder.Child("PHOTO.JPG"), folder.Child("Photo.jpg")), 0);
    EXPECT_EQ(Platform::GetLastError(), Platform::Posix::ERROR_ALREADY_EXISTS);
    EXPECT_EQ(Names(folder), (std::set<std::string>{"PHOTO.JPG", "Photo.jpg"}));
    EXPECT_EQ(ReadBytes(folder.Child("PHOTO.JPG")), "photo");
    EXPECT_EQ(ReadBytes(folder.Child("Photo.jpg")), "another");
}

} // namespace
#endif
