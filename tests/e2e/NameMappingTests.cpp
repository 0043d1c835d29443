// Names that are bytes on Linux, end to end: the panel shows every file
// under a name of its own, and a rename touches the selected file only.
#include "PluginSession.h"

namespace {

#ifndef _WIN32

namespace fs = std::filesystem;

class NameMapping : public E2E::PluginSession {};

TEST_F(NameMapping, ARenameTouchesTheSelectedFileOnly)
{
    struct Case {
        const char* Name;
        std::vector<const char*> Files;
        const char16_t* Selected; // as the panel shows it
        const char* Renamed;      // its bytes
        std::set<std::string> After;
    };
    const Case cases[] = {
        {"Latin-1 beside a real U+FFFD", {"caf\xE9.txt", "caf\xEF\xBF\xBD.txt"}, u"caf\xDCE9.txt", "caf\xE9.txt",
         {"file1.txt", "caf\xEF\xBF\xBD.txt"}},
        {"a real U+FFFD beside Latin-1", {"caf\xE9.txt", "caf\xEF\xBF\xBD.txt"}, u"caf\uFFFD.txt",
         "caf\xEF\xBF\xBD.txt", {"file1.txt", "caf\xE9.txt"}},
        {"a backslash in a name beside a folder", {"a\\b.txt", "a/b.txt"}, u"a\uF05Cb.txt", "a\\b.txt",
         {"file1.txt", "a"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        fs::remove_all(Files);
        fs::create_directories(Files);
        for (const char* name : c.Files)
            Temp.Write(std::string("files/") + name, std::string("content of ") + name);
        Store("StartingNumber", "1");
        ShowFolder({c.Selected});
        Open();
        EXPECT_EQ(FolderNames(), c.After);
        EXPECT_EQ(Content("file1.txt"), std::string("content of ") + c.Renamed);
        for (const char* name : c.Files) {
            if (std::string(name) != c.Renamed) {
                EXPECT_EQ(Content(name), std::string("content of ") + name);
            }
        }
        EXPECT_TRUE(User.Editors().empty());
    }
}

TEST_F(NameMapping, NewNamesKeepTheBytesOfTheOldOnes)
{
    MakeFiles({"caf\xE9.txt", "x\\y.txt"});
    Store("FileNameTemplate", "%n-%#.%e");
    Store("StartingNumber", "1");
    ShowFolder({u"caf\xDCE9.txt", u"x\uF05Cy.txt"});
    Open();
    EXPECT_EQ(FolderNames(), (std::set<std::string>{"caf\xE9-1.txt", "x\\y-2.txt"}));
    EXPECT_EQ(Content("caf\xE9-1.txt"), "content of caf\xE9.txt");
}

#endif

} // namespace
