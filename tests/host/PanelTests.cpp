#include "host/text/HostText.h"
#include "host/services/PanelService.h"
#include "tests/support/ScriptedFrontEnd.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

using namespace Host;
using HostTests::TempFolder;

namespace {

PanelItem Item(std::u16string_view name, bool directory = false)
{
    PanelItem item;
    item.Name = name;
    item.Attributes = directory ? Far3::FileAttribute::Directory : 0;
    return item;
}

class PanelProtocol : public testing::Test {
protected:
    ScriptedFrontEnd User;
    Panel Active;
    Panel Passive;
    PanelService Service{Active, Passive, User};

    void SetUp() override
    {
        Active.ShowItems(u"/data", {Item(u"..", true), Item(u"dir", true), Item(u"a.txt"), Item(u"b.txt")});
    }

    Far3::PanelInfo Info(Far3::HANDLE panel = Far3::PANEL_ACTIVE)
    {
        Far3::PanelInfo info{};
        info.StructSize = sizeof info;
        EXPECT_EQ(Service.Control(panel, Far3::FCTL_GETPANELINFO, 0, &info), 1);
        return info;
    }

    // The plugin's two-step read: size, then data into a block of that size.
    std::vector<std::max_align_t> ItemBlock(size_t index, Far3::FILE_CONTROL_COMMANDS command = Far3::FCTL_GETPANELITEM)
    {
        intptr_t size = Service.Control(Far3::PANEL_ACTIVE, command, static_cast<intptr_t>(index), nullptr);
        if (size <= 0)
            return {};
        std::vector<std::max_align_t> block(static_cast<size_t>(size) / sizeof(std::max_align_t) + 1);
        Far3::FarGetPluginPanelItem request{sizeof request, static_cast<size_t>(size),
                                            reinterpret_cast<Far3::PluginPanelItem*>(block.data())};
        EXPECT_EQ(Service.Control(Far3::PANEL_ACTIVE, command, static_cast<intptr_t>(index), &request), size);
        return block;
    }
    static const Far3::PluginPanelItem& AsItem(const std::vector<std::max_align_t>& block)
    {
        return *reinterpret_cast<const Far3::PluginPanelItem*>(block.data());
    }
};

TEST_F(PanelProtocol, SelectedItemsNumberFollowsFarsRules)
{
    struct Case {
        const char* Name;
        std::vector<size_t> Selected;
        size_t Cursor;
        size_t Expected;
    };
    for (const Case& c : {Case{"nothing selected, cursor on a file", {}, 2, 1},
                          Case{"nothing selected, cursor on ..", {}, 0, 0},
                          Case{"two selected", {2, 3}, 0, 2},
                          Case{".. cannot be selected", {0}, 0, 0},
                          Case{"folder selected", {1}, 3, 1}}) {
        SCOPED_TRACE(c.Name);
        Active.ClearSelection();
        for (size_t index : c.Selected)
            ASSERT_EQ(Service.Control(nullptr, Far3::FCTL_SETSELECTION, static_cast<intptr_t>(index),
                                      reinterpret_cast<void*>(1)), 1);
        Active.SetCurrentItem(c.Cursor);
        Far3::PanelInfo info = Info();
        EXPECT_EQ(info.SelectedItemsNumber, c.Expected);
        EXPECT_EQ(info.ItemsNumber, 4u) << "\"..\" is counted";
        EXPECT_EQ(info.CurrentItem, c.Cursor);
    }
}

TEST_F(PanelProtocol, PanelInfoNeedsAFullRecordAndIsZeroFilled)
{
    Far3::PanelInfo info;
    std::memset(&info, 0xAB, sizeof info);
    info.StructSize = sizeof info - 1;
    EXPECT_EQ(Service.Control(Far3::PANEL_ACTIVE, Far3::FCTL_GETPANELINFO, 0, &info), 0);
    info.StructSize = sizeof info;
    ASSERT_EQ(Service.Control(Far3::PANEL_ACTIVE, Far3::FCTL_GETPANELINFO, 0, &info), 1);
    EXPECT_EQ(info.PluginHandle, nullptr);
    EXPECT_TRUE(info.OwnerGuid == Far3::GUID{});
    EXPECT_TRUE(info.Flags & Far3::PFLAGS_REALNAMES);
    EXPECT_EQ(info.PanelType, Far3::PTYPE_FILEPANEL);
    EXPECT_EQ(Service.Control(reinterpret_cast<Far3::HANDLE>(0x55), Far3::FCTL_GETPANELINFO, 0, &info), 0)
        << "no plugin panels here";
    Service.Failures.RefusePanelInfo = true;
    EXPECT_EQ(Service.Control(Far3::PANEL_ACTIVE, Far3::FCTL_GETPANELINFO, 0, &info), 0);
}

TEST_F(PanelProtocol, ItemIsSizedThenCopiedAsOneBlock)
{
    Active.Select(2, true);
    size_t needed = sizeof(Far3::PluginPanelItem) + sizeof(u"a.txt");
    EXPECT_EQ(Service.Control(Far3::PANEL_ACTIVE, Far3::FCTL_GETPANELITEM, 2, nullptr), static_cast<intptr_t>(needed));

    // Too small for the record, or no Item: size only, nothing written.
    std::vector<std::max_align_t> block(64, std::max_align_t{});
    std::memset(block.data(), 0xCD, block.size() * sizeof(std::max_align_t));
    Far3::FarGetPluginPanelItem small{sizeof small, 159, reinterpret_cast<Far3::PluginPanelItem*>(block.data())};
    EXPECT_EQ(Service.Control(Far3::PANEL_ACTIVE, Far3::FCTL_GETPANELITEM, 2, &small), static_cast<intptr_t>(needed));
    EXPECT_EQ(reinterpret_cast<unsigned char*>(block.data())[0], 0xCD);
    Far3::FarGetPluginPanelItem noItem{sizeof noItem, 4096, nullptr};
    EXPECT_EQ(Service.Control(Far3::PANEL_ACTIVE, Far3::FCTL_GETPANELITEM, 2, &noItem), static_cast<intptr_t>(needed));

    auto selected = ItemBlock(2);
    const Far3::PluginPanelItem& item = AsItem(selected);
    EXPECT_EQ(reinterpret_cast<const char*>(item.FileName), reinterpret_cast<const char*>(&item) + 160)
        << "the name follows the record";
    EXPECT_EQ(std::u16string_view(item.FileName), u"a.txt");
    EXPECT_EQ(item.Flags, Far3::PPIF_SELECTED);
    EXPECT_EQ(item.AlternateFileName, nullptr);
    EXPECT_EQ(item.Description, nullptr);

    auto parent = ItemBlock(0);
    EXPECT_EQ(std::u16string_view(AsItem(parent).FileName), u"..");
    EXPECT_TRUE(AsItem(parent).FileAttributes & Far3::FileAttribute::Directory);
    EXPECT_EQ(AsItem(parent).Flags, 0u);

    EXPECT_EQ(Service.Control(Far3::PANEL_ACTIVE, Far3::FCTL_GETPANELITEM, 4, nullptr), 0) << "out of range";
    EXPECT_EQ(Service.Control(Far3::PANEL_ACTIVE, Far3::FCTL_GETPANELITEM, -1, nullptr), 0);
    Service.Failures.FailItemSizeQuery = 3;
    EXPECT_EQ(Service.Control(Far3::PANEL_ACTIVE, Far3::FCTL_GETPANELITEM, 3, nullptr), 0);
}

TEST_F(PanelProtocol, SelectedAndCurrentItemLookups)
{
    Active.SetCurrentItem(0);
    auto current = ItemBlock(0, Far3::FCTL_GETSELECTEDPANELITEM);
    ASSERT_FALSE(current.empty()) << "without a selection, selected item 0 is the current one, even \"..\"";
    EXPECT_EQ(std::u16string_view(AsItem(current).FileName), u"..");

    Active.Select(3, true);
    Active.Select(1, true);
    auto second = ItemBlock(1, Far3::FCTL_GETSELECTEDPANELITEM);
    ASSERT_FALSE(second.empty());
    EXPECT_EQ(std::u16string_view(AsItem(second).FileName), u"b.txt");
    EXPECT_EQ(Service.Control(Far3::PANEL_ACTIVE, Far3::FCTL_GETSELECTEDPANELITEM, 2, nullptr), 0);

    Service.Control(Far3::PANEL_ACTIVE, Far3::FCTL_CLEARSELECTION, 0, nullptr);
    EXPECT_EQ(Active.SelectedNames(), std::vector<std::u16string>{u"b.txt"});
}

TEST_F(PanelProtocol, SetSelectionSkipsParentAndIgnoresOutOfRange)
{
    for (intptr_t index : {0, 2, 99, -5})
        EXPECT_EQ(Service.Control(Far3::PANEL_ACTIVE, Far3::FCTL_SETSELECTION, index, reinterpret_cast<void*>(1)), 1);
    EXPECT_EQ(Active.SelectedNames(), std::vector<std::u16string>{u"a.txt"});
    Service.Control(Far3::PANEL_ACTIVE, Far3::FCTL_SETSELECTION, 2, nullptr);
    EXPECT_EQ(Active.SelectedCount(), 0u);
}

TEST_F(PanelProtocol, DirectoryRecordHoldsNameFileAndParamAfterIt)
{
    size_t needed = 48 + sizeof(u"/data") + 2 + 2;
    EXPECT_EQ(Service.Control(Far3::PANEL_ACTIVE, Far3::FCTL_GETPANELDIRECTORY, 0, nullptr),
              static_cast<intptr_t>(needed));

    std::vector<std::max_align_t> block(16);
    auto* directory = reinterpret_cast<Far3::FarPanelDirectory*>(block.data());
    directory->StructSize = sizeof(Far3::FarPanelDirectory);
    directory->Name = nullptr;
    EXPECT_EQ(Service.Control(Far3::PANEL_ACTIVE, Far3::FCTL_GETPANELDIRECTORY, static_cast<intptr_t>(needed - 1),
                              directory),
              static_cast<intptr_t>(needed));
    EXPECT_EQ(directory->Name, nullptr) << "a short buffer is not written";
    directory->StructSize = 0;
    Service.Control(Far3::PANEL_ACTIVE, Far3::FCTL_GETPANELDIRECTORY, static_cast<intptr_t>(needed), directory);
    EXPECT_EQ(directory->Name, nullptr) << "without a valid StructSize nothing is written";

    directory->StructSize = sizeof(Far3::FarPanelDirectory);
    ASSERT_EQ(Service.Control(Far3::PANEL_ACTIVE, Far3::FCTL_GETPANELDIRECTORY, static_cast<intptr_t>(needed),
                              directory),
              static_cast<intptr_t>(needed));
    const char* base = reinterpret_cast<const char*>(directory);
    EXPECT_EQ(reinterpret_cast<const char*>(directory->Name), base + 48);
    EXPECT_EQ(std::u16string_view(directory->Name), u"/data");
    EXPECT_EQ(reinterpret_cast<const char*>(directory->File), base + 48 + sizeof(u"/data"));
    EXPECT_EQ(std::u16string_view(directory->File), u"");
    EXPECT_EQ(reinterpret_cast<const char*>(directory->Param), base + 48 + sizeof(u"/data") + 2);
    EXPECT_TRUE(directory->PluginId == Far3::GUID{});

    Service.Failures.RefuseDirectory = true;
    EXPECT_EQ(Service.Control(Far3::PANEL_ACTIVE, Far3::FCTL_GETPANELDIRECTORY, 0, nullptr), 0);
}

TEST_F(PanelProtocol, LogKeepsCommandsInOrderPerPanel)
{
    Passive.ShowItems(u"/other", {Item(u"x")});
    Service.Control(Far3::PANEL_ACTIVE, Far3::FCTL_BEGINSELECTION, 0, nullptr);
    Service.Control(Far3::PANEL_ACTIVE, Far3::FCTL_SETSELECTION, 2, reinterpret_cast<void*>(1));
    Service.Control(Far3::PANEL_ACTIVE, Far3::FCTL_ENDSELECTION, 0, nullptr);
    Service.Control(Far3::PANEL_PASSIVE, Far3::FCTL_UPDATEPANEL, 1, nullptr);
    Service.Control(Far3::PANEL_ACTIVE, Far3::FCTL_REDRAWPANEL, 0, nullptr);
    const auto& log = Service.Log();
    ASSERT_EQ(log.size(), 5u);
    EXPECT_EQ(log[0].Command, Far3::FCTL_BEGINSELECTION);
    EXPECT_EQ(log[1].Command, Far3::FCTL_SETSELECTION);
    EXPECT_EQ(log[1].Param1, 2);
    EXPECT_EQ(log[1].Param2, 1);
    EXPECT_EQ(log[2].Command, Far3::FCTL_ENDSELECTION);
    EXPECT_EQ(log[3].Command, Far3::FCTL_UPDATEPANEL);
    EXPECT_TRUE(log[3].Passive);
    EXPECT_EQ(log[3].Param1, 1);
    EXPECT_EQ(Service.Redraws(), 1);
}

TEST(PanelFolder, ReadsFolderInFarsOrderAndUpdateKeepsSelectionByName)
{
    TempFolder folder;
    folder.Write("b.txt", "bb");
    folder.Write("A.txt", "a");
    folder.Write("sub/inner.txt", "");
    Panel panel;
    panel.ShowFolder(folder.Path());
    std::vector<std::u16string> names;
    for (const PanelItem& item : panel.Items())
        names.emplace_back(item.Name);
    EXPECT_EQ(names, (std::vector<std::u16string>{u"..", u"sub", u"A.txt", u"b.txt"}));
    EXPECT_EQ(panel.Items()[3].Size, 2u);
    EXPECT_TRUE(panel.Items()[1].Attributes & Far3::FileAttribute::Directory);
    EXPECT_NE(panel.Items()[3].LastWriteTime.dwHighDateTime, 0u);
    EXPECT_EQ(panel.Directory(), PathToUtf16(folder.Path()));

    panel.Select(2, true);
    panel.Select(3, true);
    panel.SetCurrentItem(3);
    std::filesystem::rename(folder / "b.txt", folder / "c.txt");
    panel.Update(true);
    EXPECT_EQ(panel.SelectedNames(), std::vector<std::u16string>{u"A.txt"}) << "a renamed file loses its selection";
    EXPECT_EQ(panel.Items()[panel.CurrentItem()].Name, u"c.txt");
    panel.Update(false);
    EXPECT_EQ(panel.SelectedCount(), 0u);
}

#if !defined(_WIN32)
// A link shows as itself (no size, its own date), as Windows lists one and
// as the plugin reads it back for undo; a link to a folder is a folder.
TEST(PanelFolder, EntriesShowWhatTheyAreAndLinksWhatTheyLeadTo)
{
    namespace fs = std::filesystem;
    TempFolder folder;
    folder.Write("file.txt", "12345");
    folder.Write(".hidden", "");
    folder.Write("locked.txt", "x");
    fs::permissions(folder / "locked.txt", fs::perms::owner_write, fs::perm_options::remove);
    fs::create_directory(folder / "dir");
    fs::create_symlink("file.txt", folder / "to-file");
    fs::create_symlink("dir", folder / "to-dir");
    fs::create_symlink("nowhere", folder / "broken");
    Panel panel;
    panel.ShowFolder(folder.Path());

    using namespace Far3::FileAttribute;
    struct Case {
        const char16_t* Name;
        uint32_t Attributes;
        uint64_t Size;
        bool Dated;
    };
    const Case cases[] = {
        {u"file.txt", 0, 5, true},
        {u".hidden", Hidden, 0, true},
        {u"locked.txt", ReadOnly, 1, true},
        {u"dir", Directory, 0, true},
        {u"to-file", ReparsePoint, 0, true},
        {u"to-dir", Directory | ReparsePoint, 0, true},
        {u"broken", ReparsePoint, 0, true},
    };
    for (const Case& c : cases) {
        const std::optional<size_t> at = panel.Find(c.Name);
        ASSERT_TRUE(at) << Utf16ToUtf8(c.Name);
        const PanelItem& item = panel.Items()[*at];
        EXPECT_EQ(item.Attributes & (Hidden | ReadOnly | Directory | ReparsePoint), c.Attributes)
            << Utf16ToUtf8(c.Name);
        EXPECT_EQ(item.Size, c.Size) << Utf16ToUtf8(c.Name);
        EXPECT_EQ(item.LastWriteTime.dwHighDateTime != 0, c.Dated) << Utf16ToUtf8(c.Name);
    }
    // Folders (links to folders among them) come first.
    EXPECT_EQ(panel.Items()[1].Name, u"dir");
    EXPECT_EQ(panel.Items()[2].Name, u"to-dir");
}
#endif

// Large folders are read by several threads, each sorting its share; the
// shares must come together in Far's order with every entry once and each
// item's own size. Sizes around the hand-over batch (1024 entries).
TEST(PanelFolder, LargeFoldersKeepEveryEntryInFarsOrder)
{
    for (const int count : {1, 1023, 1024, 1025, 4100}) {
        SCOPED_TRACE(count);
        TempFolder folder;
        // Written in a scattered order, names in both cases: the order must
        // come from the names, not from the listing.
        std::vector<int> order(static_cast<size_t>(count));
        for (int i = 0; i < count; ++i)
            order[static_cast<size_t>(i)] = static_cast<int>((static_cast<long long>(i) * 7919) % count);
        char name[16];
        for (const int i : order) {
            if (i % 500 == 7) {
                std::snprintf(name, sizeof name, "%s%05d", i % 2 ? "D" : "d", i);
                std::filesystem::create_directory(folder / name);
            } else {
                std::snprintf(name, sizeof name, "%s%05d.txt", i % 2 ? "F" : "f", i);
                folder.Write(name, std::string(static_cast<size_t>(i % 5), 'x'));
            }
        }

        Panel panel;
        panel.ShowFolder(folder.Path());
        const std::vector<PanelItem>& items = panel.Items();
        ASSERT_EQ(items.size(), static_cast<size_t>(count) + 1);
        EXPECT_EQ(items[0].Name, u"..");
        size_t at = 1;
        for (const bool folders : {true, false})
            for (int i = 0; i < count; ++i) {
                if ((i % 500 == 7) != folders)
                    continue;
                if (folders)
                    std::snprintf(name, sizeof name, "%s%05d", i % 2 ? "D" : "d", i);
                else
                    std::snprintf(name, sizeof name, "%s%05d.txt", i % 2 ? "F" : "f", i);
                ASSERT_EQ(Utf16ToUtf8(items[at].Name), name) << "at " << at;
                EXPECT_EQ(items[at].Size, folders ? 0u : static_cast<uint64_t>(i % 5)) << name;
                ++at;
            }
    }
}

TEST(PanelFolder, RootFolderHasNoParentEntry)
{
    Panel panel;
    panel.ShowFolder(std::filesystem::temp_directory_path().root_path());
    ASSERT_FALSE(panel.Items().empty());
    EXPECT_NE(panel.Items()[0].Name, u"..");
}

} // namespace
