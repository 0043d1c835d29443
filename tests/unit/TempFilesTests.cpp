// Temporary names, directory trees and the file calls under them: renames
// that never replace, names Windows refuses, and links that must not steer
// a write or a deletion outside where it was meant to go.
#include "plugin/uSystem.h"

#include "TestFiles.h"
#include "base/Exception.h"
#include "base/Utf.h"
#include "platform/Faults.h"
#include "platform/Platform.h"
#include "plugin/FileStream.h"
#include "plugin/TextStream.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>

#ifndef _WIN32
#include <sys/stat.h>
#endif

using namespace Zelvane;
using TestSupport::ReadBytes;
using TestSupport::TestFolder;
using TestSupport::WriteBytes;
namespace fs = std::filesystem;

namespace {

constexpr Platform::DWORD ErrorAccessDenied = 5;
constexpr Platform::DWORD ErrorAlreadyExists = 183;
constexpr Platform::DWORD ErrorInvalidName = 123;
constexpr Platform::DWORD ErrorInvalidHandle = 6;
constexpr Platform::DWORD ErrorPathNotFound = 3;
constexpr Platform::DWORD ErrorDiskFull = 112;

bool Exists(const fs::path& path)
{
    return fs::symlink_status(path).type() != fs::file_type::not_found;
}

bool IsRegistered(const String& name)
{
    const auto& names = TemporaryNames();
    return std::find(names.begin(), names.end(), name) != names.end();
}

// Runs in `directory` and goes back to where it was.
class CurrentDirectory {
public:
    explicit CurrentDirectory(const fs::path& directory) : Previous(fs::current_path()) { fs::current_path(directory); }
    ~CurrentDirectory() { fs::current_path(Previous); }
    CurrentDirectory(const CurrentDirectory&) = delete;
    CurrentDirectory& operator=(const CurrentDirectory&) = delete;

private:
    fs::path Previous;
};

// "zel", one to four hexadecimal digits, then `extension`.
bool IsTempLeaf(const String& leaf, const String& extension)
{
    if (leaf.size() < 3 + 1 + extension.size() || leaf.size() > 3 + 4 + extension.size())
        return false;
    if (leaf.substr(0, 3) != u"zel" || leaf.substr(leaf.size() - extension.size()) != extension)
        return false;
    const String digits = leaf.substr(3, leaf.size() - 3 - extension.size());
    return std::all_of(digits.begin(), digits.end(), [](char16_t c) {
        return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F') || (c >= u'a' && c <= u'f');
    });
}

TEST(TempDirectory, EndsInASeparator)
{
    const String directory = TempDirectory();
    ASSERT_FALSE(directory.empty());
    EXPECT_TRUE(directory.back() == u'\\' || directory.back() == u'/');
    EXPECT_TRUE(fs::is_directory(fs::path(directory)));
}

#ifndef _WIN32
TEST(TempDirectory, FollowsTmpdirAndRefusesTooLongAPath)
{
    const char* saved = std::getenv("TMPDIR");
    const std::string previous = saved ? saved : "";
    struct Case {
        std::string Tmpdir;
        String Expected;
    };
    const Case cases[] = {
        {"/var/tmp", u"/var/tmp/"},
        {"", u"/tmp/"},
        {"/" + std::string(258, 'd'), u"/" + String(258, u'd') + u"/"}, // 260 units: fits
        {"/" + std::string(259, 'd'), u""},                             // 261 units: too long
    };
    for (const auto& c : cases) {
        setenv("TMPDIR", c.Tmpdir.c_str(), 1);
        EXPECT_EQ(TempDirectory(), c.Expected) << c.Tmpdir;
    }
    if (saved)
        setenv("TMPDIR", previous.c_str(), 1);
    else
        unsetenv("TMPDIR");
}
#endif

TEST(UniqueTempName, NamesAFreshFileAndRegistersIt)
{
    TestFolder folder;
    const String directory = folder.Name();
    const String name = UniqueTempName(directory, u"zelvane");
    ASSERT_FALSE(name.empty());
    EXPECT_TRUE(IsTempLeaf(fs::path(name).filename().u16string(), u".tmp")) << Base::ToUtf8(name);
    EXPECT_FALSE(Exists(fs::path(name))); // only the name is kept
    EXPECT_TRUE(IsRegistered(name));

    // With an extension the name comes with a new, empty file of the plugin's own.
    const String withExt = UniqueTempNameWithExt(directory, u"zelvane", u".txt");
    EXPECT_TRUE(IsTempLeaf(fs::path(withExt).filename().u16string(), u".txt")) << Base::ToUtf8(withExt);
    EXPECT_TRUE(fs::is_regular_file(fs::path(withExt)));
    EXPECT_EQ(fs::file_size(fs::path(withExt)), 0u);
    EXPECT_TRUE(IsRegistered(withExt));
}

TEST(UniqueTempName, EmptyWhenTheSystemHasNoName)
{
    TestFolder folder;
    EXPECT_EQ(UniqueTempName(folder.Name("missing") + u"/", u"zel"), u"");
}

TEST(UniqueTempName, CounterGoesBeforeTheExtensionWhileTheNameIsTaken)
{
    // Whatever takes a candidate name (a file, a folder, a dangling link) is
    // planted just before the plugin tries it, and stays as it was.
    TestFolder folder;
    std::vector<fs::path> planted;
    const Platform::Faults::TScopedHook hook([&](Platform::Faults::TCall call, const char16_t* path, const char16_t*) {
        const fs::path name(path != nullptr ? path : u"");
        if (call != Platform::Faults::TCall::Create || name.extension() != ".txt" || planted.size() == 3)
            return Platform::DWORD{0};
        if (planted.size() == 1)
            fs::create_directory(name);
#ifndef _WIN32
        else if (planted.size() == 2)
            fs::create_symlink(folder.Child("nowhere"), name);
#endif
        else
            WriteBytes(name, "someone's");
        planted.push_back(name);
        return Platform::DWORD{0};
    });
    const String made = UniqueTempNameWithExt(folder.Name() + u"/", u"zelvane", u".txt");
    ASSERT_EQ(planted.size(), 3u);
    const String first = planted[0].u16string();
    const String base = first.substr(0, first.size() - 4);
    EXPECT_EQ(planted[1].u16string(), base + u"0.txt");
    EXPECT_EQ(planted[2].u16string(), base + u"1.txt");
    EXPECT_EQ(made, base + u"2.txt");
    EXPECT_EQ(ReadBytes(planted[0]), "someone's");
    EXPECT_TRUE(fs::is_directory(planted[1]));
    EXPECT_FALSE(fs::exists(folder.Child("nowhere")));
}

// With no usable temporary folder the plugin raises and names the cause; it
// never falls back to a name relative to whatever folder is current.
TEST(UniqueTempName, NoUsableFolderRaisesAndWritesNothingElsewhere)
{
    struct Case {
        const char* Name;
        Platform::Faults::TCall FailingCall;
        Platform::DWORD Error;
    };
    const Case cases[] = {
        {"folder refused", Platform::Faults::TCall::TempFileName, ErrorAccessDenied},
        {"no such folder", Platform::Faults::TCall::TempFileName, ErrorPathNotFound},
        {"medium full", Platform::Faults::TCall::Create, ErrorDiskFull},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TestFolder folder;
        TestFolder current;
        CurrentDirectory inCurrent(current.Path);
        const Platform::Faults::TScopedHook hook([&](Platform::Faults::TCall call, const char16_t*, const char16_t*) {
            return call == c.FailingCall ? c.Error : Platform::DWORD{0};
        });
        try {
            UniqueTempNameWithExt(folder.Name() + u"/", u"zelvane", u".txt");
            ADD_FAILURE() << "no exception";
        } catch (const Base::EFCreateError& e) {
            EXPECT_NE(e.Message().find(folder.Name()), String::npos) << Base::ToUtf8(e.Message());
            EXPECT_NE(e.Message().find(SystemErrorText(c.Error)), String::npos) << Base::ToUtf8(e.Message());
        }
        EXPECT_TRUE(fs::is_empty(current.Path));
        EXPECT_TRUE(fs::is_empty(folder.Path));
    }
    EXPECT_THROW(UniqueTempNameWithExt(u"", u"zelvane", u".txt"), Base::EFCreateError);
}

// At unload only what the plugin made, and what is still that very file, is
// deleted: never a folder or a tree, nor what someone put at a freed name.
TEST(UniqueTempName, CleanUpDeletesOnlyWhatThePluginMadeAndStillHolds)
{
    const auto plantTree = [](const fs::path& name) {
        fs::remove(name);
        fs::create_directories(name / "sub");
        WriteBytes(name / "sub" / "precious", "precious");
    };
    const auto plantFile = [](const fs::path& name) {
        fs::remove(name);
        WriteBytes(name, "precious");
    };
    struct Case {
        const char* Name;
        bool PluginMadeAFile;                              // the name came with a file of the plugin's own
        std::function<void(const fs::path&)> AfterHandOut; // what happens at the name meanwhile
        bool Deleted;
    };
    const std::vector<Case> cases{
        {"its own file, written", true, [](const fs::path& name) { WriteBytes(name, "list"); }, true},
        {"its own file, gone", true, [](const fs::path& name) { fs::remove(name); }, false},
        {"a tree planted at its freed name", true, plantTree, false},
        {"another file planted at its freed name", true, plantFile, false},
        {"a tree at a name handed out for a file", false, plantTree, false},
        {"a file at a name handed out for a file", false, plantFile, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TestFolder folder;
        const String directory = folder.Name() + u"/";
        const fs::path name = c.PluginMadeAFile ? fs::path(UniqueTempNameWithExt(directory, u"zelvane", u".txt"))
                                                : fs::path(UniqueTempName(directory, u"zel"));
        c.AfterHandOut(name);
        DeleteTemporaryNames();
        EXPECT_TRUE(TemporaryNames().empty());
        if (c.Deleted) {
            EXPECT_FALSE(Exists(name));
        } else if (fs::is_directory(name)) {
            EXPECT_EQ(ReadBytes(name / "sub" / "precious"), "precious");
        } else if (Exists(name)) {
            EXPECT_EQ(ReadBytes(name), "precious");
        }
    }
}

#ifndef _WIN32
TEST(UniqueTempName, CleanUpNeverFollowsALinkPlantedAtItsName)
{
    TestFolder folder;
    WriteBytes(folder.Child("victim"), "precious");
    const fs::path name(UniqueTempNameWithExt(folder.Name() + u"/", u"zelvane", u".txt"));
    fs::remove(name);
    fs::create_symlink(folder.Child("victim"), name);
    DeleteTemporaryNames();
    EXPECT_TRUE(fs::is_symlink(name));
    EXPECT_EQ(ReadBytes(folder.Child("victim")), "precious");
}
#endif

TEST(GetTempFileName, CreatesAnEmptyPrivateFile)
{
    TestFolder folder;
    char16_t buffer[Platform::MaxPath + 1] = {};
    const Platform::UINT number = Platform::GetTempFileNameW(folder.Name().c_str(), u"abcdef", 0, buffer);
    ASSERT_NE(number, 0u);
    const fs::path made(buffer);
    const String leaf = made.filename().u16string();
    EXPECT_EQ(leaf.substr(0, 3), u"abc");
    const std::string rest = Base::ToUtf8(leaf.substr(3));
    EXPECT_EQ(std::stoul(rest.substr(0, rest.find('.')), nullptr, 16), number);
    EXPECT_EQ(rest.substr(rest.find('.')), ".tmp");
    ASSERT_TRUE(fs::is_regular_file(made));
    EXPECT_EQ(fs::file_size(made), 0u);
#ifndef _WIN32
    EXPECT_EQ(fs::status(made).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
#endif
}

TEST(MoveFile, NeverReplacesAndRefusesWindowsForbiddenNames)
{
    TestFolder folder;
    WriteBytes(folder.Child("a"), "A");
    WriteBytes(folder.Child("b"), "B");
    fs::create_directory(folder.Child("dir"));

    struct Case {
        const char* Name;
        String To;
        Platform::DWORD Error;
    };
    const Case refused[] = {
        {"existing file", folder.Name("b"), ErrorAlreadyExists},
        {"existing directory", folder.Name("dir"), ErrorAlreadyExists},
        {"double quote", folder.Name() + u"/x\"y", ErrorInvalidName},
        {"less than", folder.Name() + u"/x<y", ErrorInvalidName},
        {"greater than", folder.Name() + u"/x>y", ErrorInvalidName},
        {"bar", folder.Name() + u"/x|y", ErrorInvalidName},
        {"question mark", folder.Name() + u"/x?y", ErrorInvalidName},
        {"star", folder.Name() + u"/x*y", ErrorInvalidName},
        {"code 1", folder.Name() + u"/x\x01y", ErrorInvalidName},
        {"code 31", folder.Name() + u"/x\x1Fy", ErrorInvalidName},
    };
    for (const auto& c : refused) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(Platform::MoveFileW(folder.Name("a").c_str(), c.To.c_str()), 0);
        EXPECT_EQ(Platform::GetLastError(), c.Error);
        EXPECT_EQ(ReadBytes(folder.Child("a")), "A");
        EXPECT_EQ(ReadBytes(folder.Child("b")), "B");
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.Path), fs::directory_iterator()), 3);

    EXPECT_NE(Platform::MoveFileW(folder.Name("a").c_str(), folder.Name("c").c_str()), 0);
    EXPECT_EQ(ReadBytes(folder.Child("c")), "A");
    EXPECT_FALSE(Exists(folder.Child("a")));
    EXPECT_EQ(Platform::MoveFileW(folder.Name("a").c_str(), folder.Name("d").c_str()), 0); // gone
}

// A rename within a folder held open keeps every rule of a rename by full
// names, whichever way it goes: a taken name is never replaced, a refused
// one never made, a trailing dot dropped, a subfolder reached.
TEST(MoveFile, InAFolderHeldOpenFollowsTheSameRules)
{
    struct Case {
        const char* Name;
        String To;          // relative to the folder; "\\" separates a subfolder
        const char* Lands;  // where "a" is afterwards; null: refused
        Platform::DWORD Error;
    };
    const Case cases[] = {
        {"a free name", u"c", "c", 0},
        {"a taken file", u"b", nullptr, ErrorAlreadyExists},
        {"a taken folder", u"sub", nullptr, ErrorAlreadyExists},
        {"a name Windows refuses", u"x?y", nullptr, ErrorInvalidName},
        {"a trailing dot", u"c.", "c", 0},
        {"into a subfolder", u"sub\\c", "sub/c", 0},
        {"a new spelling", u"A", "A", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TestFolder folder;
        WriteBytes(folder.Child("a"), "A");
        WriteBytes(folder.Child("b"), "B");
        fs::create_directory(folder.Child("sub"));
        const Platform::HANDLE open = Platform::OpenFolderW(folder.Name().c_str());
        ASSERT_NE(open, Platform::InvalidHandleValue);
        const String to = folder.Name() + u"\\" + c.To;
        const bool moved = Platform::MoveFileInFolderW(open, folder.Name("a").c_str(), to.c_str(), u"a", c.To.c_str()) != 0;
        Platform::CloseHandle(open);
        EXPECT_EQ(moved, c.Lands != nullptr);
        if (c.Lands != nullptr) {
            EXPECT_EQ(ReadBytes(folder.Child(c.Lands)), "A");
        } else {
            EXPECT_EQ(Platform::GetLastError(), c.Error);
            EXPECT_EQ(ReadBytes(folder.Child("a")), "A");
        }
        EXPECT_EQ(ReadBytes(folder.Child("b")), "B");
    }
}

TEST(MoveFile, CaseOnlyRenameWorks)
{
    TestFolder folder;
    WriteBytes(folder.Child("name.txt"), "x");
    ASSERT_NE(Platform::MoveFileW(folder.Name("name.txt").c_str(), folder.Name("Name.TXT").c_str()), 0);
#ifdef _WIN32
    // Not refused as a replacement; the spelling that results is the file
    // system's (Wine on a case-sensitive one keeps the old spelling).
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.Path), fs::directory_iterator()), 1);
    return;
#endif
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder.Path))
        names.push_back(entry.path().filename().string());
    EXPECT_EQ(names, std::vector<std::string>{"Name.TXT"});
    EXPECT_EQ(ReadBytes(folder.Child("Name.TXT")), "x");
}

TEST(DeleteTree, RemovesNestedFoldersAndReadOnlyFiles)
{
    TestFolder folder;
    const auto root = folder.Child("tree");
    fs::create_directories(root / "a" / "b");
    WriteBytes(root / "top.txt", "1");
    WriteBytes(root / "a" / "b" / "deep.txt", "2");
    WriteBytes(root / "a" / "locked.txt", "3");
    Platform::SetFileAttributesW((root / "a" / "locked.txt").u16string().c_str(), Platform::FileAttribute::ReadOnly);
    EXPECT_TRUE(DeleteTree(root.u16string()));
    EXPECT_FALSE(Exists(root));
    EXPECT_TRUE(DeleteTree(u""));
    EXPECT_FALSE(DeleteTree(folder.Name("never there")));
}

TEST(DeleteTree, LinksGoAsLinksAndNothingOutsideIsTouched)
{
#ifdef _WIN32
    GTEST_SKIP() << "link handling of the POSIX emulation; Windows applies its own rules";
#endif
    TestFolder folder;
    const auto outside = folder.Child("outside");
    fs::create_directory(outside);
    WriteBytes(outside / "keep.txt", "keep");
    const auto root = folder.Child("tree");
    fs::create_directories(root / "sub");
    fs::create_directory_symlink(outside, root / "sub" / "to-outside");
    fs::create_symlink(outside / "keep.txt", root / "file-link");
    fs::create_symlink(folder.Child("nowhere"), root / "dangling");

    EXPECT_TRUE(DeleteTree(root.u16string()));
    EXPECT_FALSE(Exists(root));
    EXPECT_EQ(ReadBytes(outside / "keep.txt"), "keep");

    // A link given as the tree itself goes alone.
    fs::create_directory_symlink(outside, folder.Child("root-link"));
    EXPECT_TRUE(DeleteTree(folder.Name("root-link")));
    EXPECT_FALSE(Exists(folder.Child("root-link")));
    EXPECT_EQ(ReadBytes(outside / "keep.txt"), "keep");
}

TEST(DeleteTree, AFolderSwappedForALinkMidWayLeavesWhatItLeadsToAlone)
{
#ifdef _WIN32
    GTEST_SKIP() << "removal relative to open folders is the POSIX build's";
#endif
    // Just as the first entry of "sub" is about to go, "sub" is moved away
    // and a link to a folder outside the tree takes its place.
    TestFolder folder;
    const auto outside = folder.Child("outside");
    fs::create_directory(outside);
    const auto root = folder.Child("tree");
    fs::create_directories(root / "sub");
    for (const char* name : {"a", "b", "c"}) {
        WriteBytes(outside / name, "keep");
        WriteBytes(root / "sub" / name, "tree's");
    }
    bool swapped = false;
    const Platform::Faults::TScopedHook hook([&](Platform::Faults::TCall call, const char16_t* path, const char16_t*) {
        if (call == Platform::Faults::TCall::DeleteTreeEntry && !swapped &&
            fs::path(path).parent_path().filename() == "sub") {
            fs::rename(root / "sub", folder.Child("moved"));
            fs::create_directory_symlink(outside, root / "sub");
            swapped = true;
        }
        return Platform::DWORD{0};
    });
    DeleteTree(root.u16string());
    ASSERT_TRUE(swapped);
    for (const char* name : {"a", "b", "c"}) {
        EXPECT_EQ(ReadBytes(outside / name), "keep") << name;
        EXPECT_FALSE(Exists(folder.Child("moved") / name)) << name;
    }
}

TEST(CloseHandle, AHandleThatIsNotOpenIsRefusedNotFreed)
{
    TestFolder folder;
    const Platform::HANDLE file =
        Platform::CreateFileW(folder.Name("f").c_str(), Platform::Access::GenericWrite, 0,
                              Platform::Disposition::CreateNew, Platform::FileAttribute::Normal);
    ASSERT_NE(file, Platform::InvalidHandleValue);
    EXPECT_NE(Platform::CloseHandle(file), 0);
    EXPECT_EQ(Platform::CloseHandle(file), 0);
    EXPECT_EQ(Platform::GetLastError(), ErrorInvalidHandle);
    Platform::DWORD written = 1;
    EXPECT_EQ(Platform::WriteFile(file, "x", 1, &written), 0);
    EXPECT_EQ(written, 0u);
}

TEST(FindFirstFile, NeverListsThroughALinkAtTheFolderName)
{
#ifdef _WIN32
    GTEST_SKIP() << "link handling of the POSIX emulation; Windows applies its own rules";
#endif
    TestFolder folder;
    const auto outside = folder.Child("outside");
    fs::create_directory(outside);
    WriteBytes(outside / "keep.txt", "keep");
    fs::create_directory_symlink(outside, folder.Child("link"));

    // The separator before the pattern must not make the link count as a folder.
    for (const String& pattern : {folder.Name("link") + u"\\*.*", folder.Name("link") + u"/*"}) {
        Platform::WIN32_FIND_DATAW data{};
        const Platform::HANDLE find = Platform::FindFirstFileW(pattern.c_str(), &data);
        EXPECT_EQ(find, Platform::InvalidHandleValue) << Base::ToUtf8(pattern);
        if (find != Platform::InvalidHandleValue)
            Platform::FindClose(find);
    }
    // The folder itself still lists.
    Platform::WIN32_FIND_DATAW data{};
    const Platform::HANDLE find = Platform::FindFirstFileW((outside.u16string() + u"\\keep.*").c_str(), &data);
    ASSERT_NE(find, Platform::InvalidHandleValue);
    EXPECT_EQ(String(data.cFileName), u"keep.txt");
    Platform::FindClose(find);
}

TEST(CreateFile, NeverWritesThroughAPlantedLink)
{
#ifdef _WIN32
    GTEST_SKIP() << "link handling of the POSIX emulation; Windows applies its own rules";
#endif
    TestFolder folder;
    const auto victim = folder.Child("victim.txt");
    WriteBytes(victim, "precious");
    const auto list = folder.Child("zel1A2B.txt");
    fs::create_symlink(victim, list);
    fs::create_symlink(folder.Child("would-be-made"), folder.Child("dangling.txt"));

    EXPECT_NE(Platform::GetFileAttributesW(list.u16string().c_str()), Platform::InvalidFileAttributes);
    EXPECT_NE(Platform::GetFileAttributesW(folder.Name("dangling.txt").c_str()), Platform::InvalidFileAttributes);
    EXPECT_THROW(TTextStream::Create(list.u16string(), TFileStream::ModeCreate), Base::EFCreateError);
    EXPECT_THROW(TTextStream::Create(folder.Name("dangling.txt"), TFileStream::ModeCreate), Base::EFCreateError);
    EXPECT_EQ(ReadBytes(victim), "precious");
    EXPECT_FALSE(Exists(folder.Child("would-be-made")));
}

#ifndef _WIN32
TEST(CreateFile, ReplacesOnlyAPlainFileOfItsOwnWithOneName)
{
    struct Case {
        const char* Name;
        std::function<void(const fs::path&)> Plant;
    };
    const Case cases[] = {
        {"second hard link",
         [](const fs::path& target) {
             WriteBytes(target.parent_path() / "elsewhere.txt", "precious");
             fs::create_hard_link(target.parent_path() / "elsewhere.txt", target);
         }},
        {"pipe", [](const fs::path& target) { ASSERT_EQ(::mkfifo(target.c_str(), 0600), 0); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TestFolder folder;
        const auto target = folder.Child("zel1A2B.txt");
        c.Plant(target);
        const Platform::HANDLE file = Platform::CreateFileW(
            target.u16string().c_str(), Platform::Access::GenericRead | Platform::Access::GenericWrite, 0,
            Platform::Disposition::CreateAlways, Platform::FileAttribute::Normal);
        EXPECT_EQ(file, Platform::InvalidHandleValue);
        EXPECT_EQ(Platform::GetLastError(), ErrorAccessDenied);
        if (file != Platform::InvalidHandleValue)
            Platform::CloseHandle(file);
        if (fs::is_regular_file(target)) {
            EXPECT_EQ(ReadBytes(target), "precious");
        }
    }

}

TEST(CreateFile, MakesPrivateFilesAndRefusesASecondExclusiveOpener)
{
    TestFolder folder;
    const auto file = folder.Child("list.txt");
    auto first = TTextStream::Create(file.u16string(), TFileStream::ModeCreate);
    EXPECT_EQ(fs::status(file).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
    first->WriteLine(u"kept");
    first->Flush();
    EXPECT_THROW(TTextStream::Create(file.u16string(), TFileStream::ModeCreate), Base::EFCreateError);
    first->Close();
    EXPECT_EQ(ReadBytes(file), "\xEF\xBB\xBFkept\r\n"); // the refused opener truncated nothing
}
#endif

} // namespace
