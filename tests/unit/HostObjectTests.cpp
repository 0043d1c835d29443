// Panel snapshots, the screen and the editor wrappers against a fake host
// that refuses or answers each call as a test needs.
#include "FakeHost.h"

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

namespace {

// A panel the fake host serves: names with their flags, a directory, and
// switches to refuse parts of the protocol. Records every command.
struct FakePanel {
    std::vector<std::pair<std::u16string, uint64_t>> Items;
    std::u16string Directory = u"C:\\work";
    bool RefuseInfo = false;
    int FailingItem = -1;
    bool RefuseDirectory = false;
    std::vector<std::pair<Far3::FILE_CONTROL_COMMANDS, intptr_t>> Calls;
    std::vector<std::pair<intptr_t, intptr_t>> Selections;

    intptr_t Control(Far3::FILE_CONTROL_COMMANDS command, intptr_t p1, void* p2)
    {
        Calls.emplace_back(command, p1);
        switch (command) {
        case Far3::FCTL_GETPANELINFO: {
            if (RefuseInfo)
                return 0;
            auto* info = static_cast<Far3::PanelInfo*>(p2);
            info->ItemsNumber = Items.size();
            info->SelectedItemsNumber = 3;
            info->CurrentItem = 1;
            return 1;
        }
        case Far3::FCTL_GETPANELITEM: {
            if (p1 == FailingItem || p1 < 0 || static_cast<size_t>(p1) >= Items.size())
                return 0;
            const auto& [name, flags] = Items[static_cast<size_t>(p1)];
            const size_t needed = sizeof(Far3::PluginPanelItem) + (name.size() + 1) * 2;
            auto* request = static_cast<Far3::FarGetPluginPanelItem*>(p2);
            if (request == nullptr || request->Size < needed)
                return static_cast<intptr_t>(needed);
            auto* item = request->Item;
            auto* text = reinterpret_cast<char16_t*>(item + 1);
            std::memcpy(text, name.c_str(), (name.size() + 1) * 2);
            item->FileName = text;
            item->Flags = flags;
            item->FileSize = 42;
            item->FileAttributes = 0x20;
            return static_cast<intptr_t>(needed);
        }
        case Far3::FCTL_GETPANELDIRECTORY: {
            if (RefuseDirectory)
                return 0;
            const size_t needed = sizeof(Far3::FarPanelDirectory) + (Directory.size() + 1) * 2;
            if (p2 == nullptr || static_cast<size_t>(p1) < needed)
                return static_cast<intptr_t>(needed);
            auto* record = static_cast<Far3::FarPanelDirectory*>(p2);
            auto* text = reinterpret_cast<char16_t*>(record + 1);
            std::memcpy(text, Directory.c_str(), (Directory.size() + 1) * 2);
            record->Name = text;
            return static_cast<intptr_t>(needed);
        }
        case Far3::FCTL_SETSELECTION:
            Selections.emplace_back(p1, reinterpret_cast<intptr_t>(p2));
            return 1;
        default:
            return 1;
        }
    }

    void Attach(FakeHost& host)
    {
        host.PanelControl = [this](Far3::HANDLE, Far3::FILE_CONTROL_COMMANDS command, intptr_t p1, void* p2) {
            return Control(command, p1, p2);
        };
    }
};

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
    EXPECT_EQ(panel.GetItem(1).FileName, u"a.txt");
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
        EXPECT_EQ(panel.GetItem(1).FileName, u"");
        EXPECT_EQ(panel.GetItem(1).Flags, 0u);
        EXPECT_EQ(panel.GetItem(1).Index, 1);
        EXPECT_EQ(panel.GetItem(2).FileName, u"c");
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
