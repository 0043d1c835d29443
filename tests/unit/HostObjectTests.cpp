// Panel snapshots, the screen and the editor wrappers against a fake host
// that refuses or answers each call as a test needs.
#include "FakeHost.h"
#include "FakePanel.h"

#include "base/Exception.h"
#include "framework/FarEditor.h"
#include "framework/FarPanel.h"
#include "framework/FarScreen.h"
#include "plugin/uPlugin.h"

#include <filesystem>
#include <fstream>
#include <iterator>

#include <gtest/gtest.h>

#include <cstring>

using namespace Tessel;
using TestSupport::FakeHost;
using TestSupport::FakePanel;

namespace {

constexpr uint64_t Selected = Far3::PPIF_SELECTED;

TEST(FarPanel, ReadsEveryItemWithItsFlagsAndTheDirectory)
{
    FakeHost host;
    FakePanel fake;
    fake.Items = {{u"..", 0}, {u"a.txt", Selected}, {u"b.txt", 0}};
    fake.Attach(host);
    TFarPanel panel(true, true);
    EXPECT_EQ(panel.Handle, Far3::PANEL_ACTIVE);
    ASSERT_EQ(panel.Count(), 3);
    EXPECT_EQ(panel.GetItem(1).FileName(), u"a.txt");
    EXPECT_TRUE(panel.GetItem(1).HasFlag(0x40000000));
    EXPECT_FALSE(panel.GetItem(2).HasFlag(0x40000000));
    EXPECT_EQ(panel.GetItem(2).FileSize, 42u);
    EXPECT_EQ(panel.GetItem(2).Index, 2);
    EXPECT_EQ(panel.Directory, u"C:\\work");
    EXPECT_EQ(panel.SelectedItemsNumber, 3);
    EXPECT_EQ(panel.CurrentItem, 1);
    EXPECT_THROW(panel.GetItem(3), Base::EListError);
    EXPECT_THROW(panel.GetItem(-1), Base::EListError);
}

// Every field of an item as the host gave it; texts the host leaves out
// read as empty, and the snapshot's copies outlive the host's buffer.
TEST(FarPanel, KeepsEveryFieldOfAnItem)
{
    FakeHost host;
    FakePanel fake;
    fake.Items = {{u"plain.txt", 0}, {u"LONGNAME.TXT", Selected}, {u"owned", 0}};
    fake.Details = [](const std::u16string& name, Far3::PluginPanelItem& item) {
        static const char16_t shortName[] = u"LONGNA~1.TXT";
        static const char16_t description[] = u"a file";
        static const char16_t owner[] = u"root";
        item.AllocationSize = 4096;
        item.NumberOfLinks = 0x100000002;
        item.CRC32 = 0xDEADBEEF;
        item.LastWriteTime = {7, 8};
        if (name == u"LONGNAME.TXT") {
            item.AlternateFileName = shortName;
            item.Description = description;
        } else if (name == u"owned") {
            item.Owner = owner;
        }
    };
    fake.Attach(host);
    TFarPanel panel(true, true);
    struct Row {
        const char16_t* Name;
        const char16_t* Short;
        const char16_t* Description;
        const char16_t* Owner;
    };
    const Row rows[] = {{u"plain.txt", u"", u"", u""},
                        {u"LONGNAME.TXT", u"LONGNA~1.TXT", u"a file", u""},
                        {u"owned", u"", u"", u"root"}};
    ASSERT_EQ(panel.Count(), 3);
    for (int32_t i = 0; i < 3; ++i) {
        const auto& item = panel.GetItem(i);
        const Row& row = rows[i];
        EXPECT_EQ(item.FileName(), row.Name);
        EXPECT_EQ(item.AlternateFileName(), row.Short) << i;
        EXPECT_EQ(item.Description(), row.Description) << i;
        EXPECT_EQ(item.Owner(), row.Owner) << i;
        EXPECT_EQ(item.AllocationSize, 4096u);
        EXPECT_EQ(item.NumberOfLinks, 2u); // the low 32 bits
        EXPECT_EQ(item.CRC32, 0xDEADBEEFu);
        EXPECT_EQ(item.LastWriteTime.dwLowDateTime, 7u);
        EXPECT_EQ(item.LastWriteTime.dwHighDateTime, 8u);
    }
}

TEST(FarPanel, HostRefusalsGiveEmptyResults)
{
    {
        FakeHost host;
        FakePanel fake;
        fake.Items = {{u"a", 0}};
        fake.RefuseInfo = true;
        fake.Attach(host);
        TFarPanel panel(false, true);
        EXPECT_EQ(panel.Count(), 0);
        EXPECT_EQ(panel.Handle, nullptr);
        EXPECT_EQ(panel.Directory, u"");
    }
    {
        FakeHost host;
        FakePanel fake;
        fake.Items = {{u"a", Selected}, {u"b", Selected}, {u"c", Selected}};
        fake.FailingItem = 1;
        fake.RefuseDirectory = true;
        fake.Attach(host);
        TFarPanel panel(false, true);
        EXPECT_EQ(panel.Handle, Far3::PANEL_PASSIVE);
        ASSERT_EQ(panel.Count(), 3);
        EXPECT_EQ(panel.GetItem(1).FileName(), u"");
        EXPECT_EQ(panel.GetItem(1).Flags, 0u);
        EXPECT_EQ(panel.GetItem(1).Index, 1);
        EXPECT_EQ(panel.GetItem(2).FileName(), u"c");
        EXPECT_EQ(panel.Directory, u"");
    }
    {
        FakeHost host;
        FakePanel fake;
        fake.Items = {{u"a", 0}};
        fake.Attach(host);
        TFarPanel panel(true, false);
        EXPECT_EQ(panel.Count(), 0);
        EXPECT_EQ(panel.Directory, u"C:\\work");
    }
}

TEST(FarPanel, ApplySelectionSendsEveryItemBetweenBeginAndEndThenRedraws)
{
    FakeHost host;
    FakePanel fake;
    fake.Items = {{u"..", 0}, {u"a", Selected}, {u"b", 0}};
    fake.Attach(host);
    TFarPanel panel(true, true);
    panel.GetItem(1).SetFlag(0x40000000, false);
    panel.GetItem(2).SetFlag(0x40000000 | 0x1, true);
    fake.Calls.clear();
    panel.ApplySelection();
    using C = std::pair<Far3::FILE_CONTROL_COMMANDS, intptr_t>;
    EXPECT_EQ(fake.Calls, (std::vector<C>{{Far3::FCTL_BEGINSELECTION, 0}, {Far3::FCTL_SETSELECTION, 0},
                                          {Far3::FCTL_SETSELECTION, 1}, {Far3::FCTL_SETSELECTION, 2},
                                          {Far3::FCTL_ENDSELECTION, 0}, {Far3::FCTL_REDRAWPANEL, 0}}));
    using S = std::pair<intptr_t, intptr_t>;
    EXPECT_EQ(fake.Selections, (std::vector<S>{{0, 0}, {1, 0}, {2, 1}}));
    EXPECT_TRUE(panel.GetItem(2).HasFlag(0x1 | 0x2));
}

TEST(FarScreen, SizeFromTheHostOr80By25)
{
    FakeHost host;
    EXPECT_EQ(TFarScreen::Width(), 80);
    EXPECT_EQ(TFarScreen::Height(), 25);
    host.AdvControl = [](Far3::ADVANCED_CONTROL_COMMANDS command, intptr_t, void* p2) -> intptr_t {
        if (command != Far3::ACTL_GETFARRECT)
            return 0;
        *static_cast<Far3::SMALL_RECT*>(p2) = Far3::SMALL_RECT{0, 0, 119, 39};
        return 1;
    };
    EXPECT_EQ(TFarScreen::Width(), 120);
    EXPECT_EQ(TFarScreen::Height(), 40);
}

TEST(FarEditor, OpensOnlyOnAResultOfOne)
{
    FakeHost host;
    int infoCalls = 0;
    host.EditorControl = [&](intptr_t id, Far3::EDITOR_CONTROL_COMMANDS command, intptr_t, void* p2) -> intptr_t {
        ++infoCalls;
        EXPECT_EQ(id, -1);
        EXPECT_EQ(command, Far3::ECTL_GETINFO);
        auto* info = static_cast<Far3::EditorInfo*>(p2);
        EXPECT_EQ(info->StructSize, 152u);
        info->EditorID = 17;
        return 1;
    };
    for (intptr_t result : {0, 2, 3, -1}) {
        host.Editor = [&](auto...) { return result; };
        EXPECT_FALSE(TFarEditor::OpenFile(u"f", u"t", 0, 0, -1, -1, 0, 0, 1, 65001).has_value());
    }
    EXPECT_EQ(infoCalls, 0);
    std::u16string seenName, seenTitle;
    host.Editor = [&](const char16_t* name, const char16_t* title, auto...) -> intptr_t {
        seenName = name;
        seenTitle = title;
        return 1;
    };
    EXPECT_EQ(TFarEditor::OpenFile(u"list.txt", u"", 0, 0, -1, -1, 0xB09, 0, 1, 65001), 17);
    EXPECT_EQ(seenName, u"list.txt");
    EXPECT_EQ(seenTitle, u"");
    host.EditorControl = [](auto...) -> intptr_t { return 0; };
    EXPECT_FALSE(TFarEditor::OpenFile(u"f", u"t", 0, 0, -1, -1, 0, 0, 1, 65001).has_value());
}

// A panel whose directory the host does not report: the files cannot be
// found, so every one fails and is listed; nothing is renamed elsewhere.
TEST(RenameFiles, WithoutADirectoryNothingIsRenamedAndEveryFileIsListed)
{
    Zelvane::TPlugin plugin;
    FakeHost host(&plugin);
    host.Messages[8] = u"Failed:";
    FakePanel fake;
    fake.Items = {{u"a.txt", Selected}};
    fake.RefuseDirectory = true;
    fake.Attach(host);
    std::u16string listName;
    host.Editor = [&](const char16_t* name, auto...) -> intptr_t {
        listName = name;
        return 1;
    };
    TFarPanel panel(true, true);
    EXPECT_FALSE(plugin.RenameFiles(panel, false));
    EXPECT_TRUE(panel.GetItem(0).HasFlag(0x40000000));
    ASSERT_FALSE(listName.empty());
    std::ifstream list(std::filesystem::path(listName), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(list)), std::istreambuf_iterator<char>());
    EXPECT_EQ(bytes, "\xEF\xBB\xBF" "Failed:\r\n\"a.txt\" -> \"file0.txt\"\r\n");
}

} // namespace
