// Windows' path rules, the same on both builds: the \\?\ form taken
// verbatim with "." and ".." refused, other paths normalised; and names
// compared as a Windows file system compares them.
#include "TestFiles.h"
#include "base/Utf.h"
#include "platform/Platform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using Base::String;
using TestSupport::ReadBytes;
using TestSupport::TestFolder;
using TestSupport::WriteBytes;
namespace fs = std::filesystem;

namespace {

TEST(PathRules, MoveFileTakesTheVerbatimFormAsItIsAndNormalisesTheRest)
{
    struct Case {
        const char16_t* Target; // after the folder; V: the \\?\ form of the folder
        bool Verbatim;
        const char* Lands; // where the file ends up, or null when refused
    };
    const Case cases[] = {
        {u"\\sub\\x", false, "sub/x"}, // a template may move files into an existing subfolder
        {u"\\sub\\x", true, "sub/x"},
        {u"\\sub\\..\\x", false, "x"},
        {u"\\.\\x", false, "x"},
        {u"\\x. .", false, "x"}, // trailing dots and blanks of the last part go
        {u"\\x.", true, "x."},   // but not in the verbatim form
        {u"\\..\\x", true, nullptr},
        {u"\\sub\\..\\x", true, nullptr},
        {u"\\.\\x", true, nullptr},
    };
    for (const Case& c : cases) {
        TestFolder folder;
        fs::create_directory(folder.Child("sub"));
        WriteBytes(folder.Child("src"), "content");
        const String base = (c.Verbatim ? u"\\\\?\\" : u"") + folder.Name();
        const String target = base + c.Target;
        SCOPED_TRACE(Base::ToUtf8(target));
        const bool moved = Platform::MoveFileW((folder.Name() + u"\\src").c_str(), target.c_str()) != 0;
        EXPECT_EQ(moved, c.Lands != nullptr);
        if (c.Lands != nullptr) {
            // Listed rather than opened: "x." opens only in the verbatim form.
            const fs::path landed = folder.Child(c.Lands);
            std::vector<fs::path> names;
            for (const auto& entry : fs::directory_iterator(landed.parent_path()))
                names.push_back(entry.path().filename());
            EXPECT_NE(std::find(names.begin(), names.end(), landed.filename()), names.end());
            EXPECT_FALSE(fs::exists(folder.Child("src")));
        } else {
            EXPECT_EQ(ReadBytes(folder.Child("src")), "content");
            EXPECT_EQ(std::distance(fs::directory_iterator(folder.Path), fs::directory_iterator()), 2);
            EXPECT_FALSE(fs::exists(folder.Path.parent_path() / "x"));
        }
        // "x." goes only in the verbatim form.
        Platform::DeleteTree((u"\\\\?\\" + folder.Name()).c_str());
    }
}

TEST(PathRules, NamesMatchPatternsWhateverTheirCase)
{
    TestFolder folder;
    WriteBytes(folder.Path / fs::path(u"\u00C4pfel.txt"), "x");
    for (const String& pattern : {String(u"\u00E4pfel.*"), String(u"\u00C4PFEL.TXT"), String(u"?PFEL*")}) {
        SCOPED_TRACE(Base::ToUtf8(pattern));
        Platform::WIN32_FIND_DATAW data{};
        const Platform::HANDLE find = Platform::FindFirstFileW((folder.Name() + u"\\" + pattern).c_str(), &data);
        ASSERT_NE(find, Platform::InvalidHandleValue);
        EXPECT_EQ(String(data.cFileName), u"\u00C4pfel.txt");
        Platform::FindClose(find);
    }
}

TEST(PathRules, ANewSpellingOfTheSameFileIsNoClashButAnotherLinkIs)
{
    TestFolder folder;
    WriteBytes(folder.Path / fs::path(u"\u00C4.txt"), "x");
    const String from = folder.Name() + u"\\\u00C4.txt";
    const String to = folder.Name() + u"\\\u00E4.txt";
    EXPECT_NE(Platform::MoveFileW(from.c_str(), to.c_str()), 0);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.Path), fs::directory_iterator()), 1);
#ifndef _WIN32
    // Two names of one file: renaming one onto the other would do nothing
    // and claim success; it is a clash, as on Windows.
    WriteBytes(folder.Child("x.txt"), "x");
    fs::create_hard_link(folder.Child("x.txt"), folder.Child("X.txt"));
    EXPECT_EQ(Platform::MoveFileW(folder.Name("x.txt").c_str(), folder.Name("X.txt").c_str()), 0);
    EXPECT_TRUE(fs::exists(folder.Child("x.txt")));
    EXPECT_TRUE(fs::exists(folder.Child("X.txt")));
#endif
}

} // namespace
