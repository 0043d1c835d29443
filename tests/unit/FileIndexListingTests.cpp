// The file IDs a folder listing gives, which a rename run records after its
// renames in place of a stamp read per file: each must be the ID the file's
// own stamp reads, a file, a folder and a link alike, and names that are not
// plain ASCII too. On an overlay file system a POSIX listing may number its
// entries otherwise (the run then checks and reads each stamp): there this
// agreement is not the file system's promise, and the test says so.
#include "TestFiles.h"
#include "platform/Platform.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

#if !defined(_WIN32)
#include <sys/vfs.h>
#endif

namespace {

namespace fs = std::filesystem;
using TestSupport::TestFolder;
using TestSupport::WriteBytes;

bool ListingMayNumberOtherwise(const fs::path& folder)
{
#if defined(_WIN32)
    (void)folder;
    return false;
#else
    constexpr unsigned long OverlayMagic = 0x794C7630ul;
    struct statfs info{};
    return ::statfs(folder.c_str(), &info) == 0 && static_cast<unsigned long>(info.f_type) == OverlayMagic;
#endif
}

TEST(FileIndexListing, EveryEntryHasTheIdItsOwnStampReads)
{
    TestFolder folder;
    if (ListingMayNumberOtherwise(folder.Path))
        GTEST_SKIP() << "an overlay numbers its listing otherwise than its files";
    const std::u16string names[] = {u"a.txt", u"\u00E4\U0001F600 b", u"sub", u"link"};
    WriteBytes(folder.Child("a.txt"), "a");
    WriteBytes(fs::path(folder.Path) / fs::path(names[1]), "bb");
    fs::create_directory(folder.Child("sub"));
    std::error_code linkError;
    fs::create_symlink("a.txt", folder.Child("link"), linkError);

    uint64_t volume = 0;
    std::map<std::u16string, uint64_t> listed;
    ASSERT_TRUE(Platform::ListFileIndexes(folder.Name().c_str(), &volume,
                                          [&](const char16_t* name, uint64_t index) { listed[name] = index; }));
    EXPECT_EQ(listed.size(), linkError ? 3u : 4u) << "\".\" and \"..\" are left out";
    for (const std::u16string& name : names) {
        if (name == u"link" && linkError)
            continue;
        SCOPED_TRACE(fs::path(name).string());
        Platform::FileStamp stamp;
        ASSERT_TRUE(Platform::GetFileStampW((fs::path(folder.Path) / fs::path(name)).u16string().c_str(), &stamp));
        ASSERT_EQ(listed.count(name), 1u);
        EXPECT_EQ((Platform::FileIdentity{volume, listed[name]}), stamp.Identity);
    }

    EXPECT_FALSE(Platform::ListFileIndexes(folder.Name("missing").c_str(), &volume,
                                           [](const char16_t*, uint64_t) {}));
}

} // namespace
