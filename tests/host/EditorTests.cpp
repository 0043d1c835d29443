#include "host/services/EditorService.h"
#include "tests/support/ScriptedFrontEnd.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

using namespace Host;
using HostTests::TempFolder;

namespace {

constexpr uint64_t OpenAndReturn = Far3::EF_NONMODAL | Far3::EF_IMMEDIATERETURN;

class Editors : public testing::Test {
protected:
    ScriptedFrontEnd User;
    MessageService Messages{User};
    EditorService Service{User, Messages};
    TempFolder Folder;

    intptr_t Open(const std::filesystem::path& file, uint64_t flags, uintptr_t codePage = Far3::CodePage::Utf8)
    {
        EditorWindow request;
        request.FileName = file;
        request.Title = "Failures";
        request.Flags = flags;
        request.CodePage = codePage;
        return Service.Open(request, Folder.Path());
    }
    intptr_t CurrentId()
    {
        Far3::EditorInfo info{};
        info.StructSize = sizeof info;
        return Service.Control(-1, Far3::ECTL_GETINFO, 0, &info) ? info.EditorID : -100;
    }
};

TEST_F(Editors, ClosingDeletesWhatTheFlagsAsk)
{
    struct Case {
        const char* Name;
        uint64_t Flags;
        bool FileRemains;
        bool FolderRemains;
    };
    for (const Case& c : {Case{"keep", 0, true, true},
                          Case{"only file", Far3::EF_DELETEONLYFILEONCLOSE, false, true},
                          Case{"file and empty folder", Far3::EF_DELETEONCLOSE, false, false},
                          Case{"both flags: folder too", Far3::EF_DELETEONCLOSE | Far3::EF_DELETEONLYFILEONCLOSE,
                               false, false}}) {
        SCOPED_TRACE(c.Name);
        std::filesystem::path file = Folder.Write(std::string("t-") + c.Name + "/list.txt", "a\nb\n");
        ASSERT_EQ(Open(file, OpenAndReturn | c.Flags), 1);
        intptr_t id = User.Editors().back().Window.Id;
        EXPECT_EQ(User.Editors().back().Content, "a\nb\n") << "content captured at open";
        EXPECT_TRUE(Service.Close(id));
        EXPECT_FALSE(Service.Close(id));
        EXPECT_EQ(std::filesystem::exists(file), c.FileRemains);
        EXPECT_EQ(std::filesystem::exists(file.parent_path()), c.FolderRemains);
        EXPECT_TRUE(User.Editors().back().Closed);
    }
}

TEST_F(Editors, FolderIsKeptWhenNotEmpty)
{
    std::filesystem::path file = Folder.Write("busy/list.txt", "x");
    Folder.Write("busy/other.txt", "y");
    ASSERT_EQ(Open(file, OpenAndReturn | Far3::EF_DELETEONCLOSE), 1);
    Service.CloseAll();
    EXPECT_FALSE(std::filesystem::exists(file));
    EXPECT_TRUE(std::filesystem::exists(Folder / "busy/other.txt"));
}

TEST_F(Editors, IdsCountUpAndGetInfoSeesTheTopmost)
{
    EXPECT_EQ(CurrentId(), -100) << "no editor: ECTL_GETINFO fails";
    std::filesystem::path file = Folder.Write("f.txt", "");
    ASSERT_EQ(Open(file, OpenAndReturn), 1);
    ASSERT_EQ(Open("relative.txt", OpenAndReturn), 1) << "a missing file opens as a new buffer";
    EXPECT_EQ(User.Editors()[1].Window.FileName, Folder / "relative.txt");
    EXPECT_FALSE(User.Editors()[1].FileExisted);
    EXPECT_EQ(CurrentId(), 1);
    Service.Close(1);
    EXPECT_EQ(CurrentId(), 0);
    ASSERT_EQ(Open(file, OpenAndReturn), 1);
    EXPECT_EQ(CurrentId(), 2);

    Far3::EditorInfo small{};
    small.StructSize = sizeof small - 8;
    EXPECT_EQ(Service.Control(-1, Far3::ECTL_GETINFO, 0, &small), 0);
}

TEST_F(Editors, GetInfoReportsTheCodePage)
{
    std::filesystem::path bom = Folder.Write("bom.txt", "\xEF\xBB\xBFx");
    std::filesystem::path utf16 = Folder.Write("u16.txt", "\xFF\xFEx\0");
    struct Case {
        std::filesystem::path File;
        uintptr_t Requested;
        uintptr_t Reported;
    };
    for (const Case& c : {Case{bom, Far3::CodePage::Utf8, Far3::CodePage::Utf8},
                          Case{utf16, static_cast<uintptr_t>(-1), 1200},
                          Case{bom, static_cast<uintptr_t>(-1), Far3::CodePage::Utf8}, Case{bom, 1251, 1251}}) {
        ASSERT_EQ(Open(c.File, OpenAndReturn, c.Requested), 1);
        Far3::EditorInfo info{};
        info.StructSize = sizeof info;
        ASSERT_EQ(Service.Control(-1, Far3::ECTL_GETINFO, 0, &info), 1);
        EXPECT_EQ(info.CodePage, c.Reported);
    }
}

TEST_F(Editors, FolderNameOrModalOpen)
{
    EXPECT_EQ(Open(Folder.Path(), OpenAndReturn), 0);
    ASSERT_EQ(User.Messages().size(), 1u) << "Far reports the folder in a box";
    EXPECT_TRUE(User.Editors().empty());

    std::filesystem::path file = Folder.Write("modal.txt", "m");
    EXPECT_EQ(Open(file, Far3::EF_DELETEONLYFILEONCLOSE), Far3::EEC_NOT_MODIFIED);
    EXPECT_TRUE(User.Editors().back().Closed) << "a modal editor is closed when the call returns";
    EXPECT_FALSE(std::filesystem::exists(file));
    EXPECT_TRUE(Service.OpenEditors().empty());
}

} // namespace
