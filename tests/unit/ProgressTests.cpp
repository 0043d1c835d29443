// The progress of long work: nothing while it is short, then a box without
// buttons and the taskbar's progress, cleared and redrawn at the end.
#include "FakeHost.h"

#include "FakePanel.h"
#include "base/Utf.h"
#include "framework/FarPanel.h"
#include "platform/Faults.h"
#include "plugin/uPlugin.h"
#include "plugin/uProgress.h"

#include <thread>

#include <gtest/gtest.h>

using TestSupport::FakeHost;
using TestSupport::FakePanel;
using Zelvane::TMessage;
using Zelvane::TProgress;

namespace {

TEST(Progress, GroupsDigitsInThrees)
{
    const std::pair<uint64_t, const char16_t*> cases[] = {
        {0, u"0"}, {7, u"7"}, {999, u"999"}, {1000, u"1 000"}, {12345, u"12 345"}, {100000, u"100 000"},
        {1000000, u"1 000 000"}, {18446744073709551615ull, u"18 446 744 073 709 551 615"},
    };
    for (const auto& [value, text] : cases)
        EXPECT_EQ(TProgress::GroupedNumber(value), text) << value;
}

TEST(Progress, ShowsOnlyAfterItsDelayAndClearsAtTheEnd)
{
    FakeHost host;
    host.Messages = {{0, u"Zelvane 3"}, {25, u"Renaming %s of %s"}};
    std::vector<std::string> controls;
    host.AdvControl = [&](Far3::ADVANCED_CONTROL_COMMANDS command, intptr_t param1, void* param2) -> intptr_t {
        std::string call = std::to_string(command) + ":" + std::to_string(param1);
        if (command == Far3::ACTL_SETPROGRESSVALUE) {
            const auto* value = static_cast<const Far3::ProgressValue*>(param2);
            EXPECT_EQ(value->StructSize, sizeof(Far3::ProgressValue));
            call += ":" + std::to_string(value->Completed) + "/" + std::to_string(value->Total);
        }
        controls.push_back(call);
        return 1;
    };

    {
        // Work shorter than the delay shows nothing at all.
        TProgress quick(TMessage::ProgressRenaming, 1000);
        for (uint64_t done = 0; done < 1000; ++done)
            quick.Step(done);
        EXPECT_FALSE(quick.Shown());
    }
    EXPECT_TRUE(host.ShownMessages.empty());
    EXPECT_TRUE(controls.empty());

    {
        TProgress slow(TMessage::ProgressRenaming, 12345, std::chrono::seconds(0));
        for (uint64_t done = 0; done < 100; ++done)
            slow.Step(done);
        EXPECT_TRUE(slow.Shown());
    }
    // Updates come at most ten times a second: these quick steps show one box.
    ASSERT_EQ(host.ShownMessages.size(), 1u);
    EXPECT_EQ(host.ShownMessages[0].Items, (std::vector<Base::String>{u"Zelvane 3", u"Renaming 15 of 12 345"}));
    EXPECT_EQ(host.ShownMessages[0].Buttons, 0);
    EXPECT_EQ(controls, (std::vector<std::string>{"21:2", "22:0:15/12345", "21:0", "19:0"}));
}

// A run that takes longer than a second (each rename held up by the fault
// seam) shows its progress and leaves the taskbar cleared.
TEST(Progress, ASlowRunShowsItsProgressAndClearsIt)
{
    Zelvane::TPlugin plugin;
    FakeHost host(&plugin);
    host.Messages = {{0, u"Zelvane 3"}, {8, u"Failed:"}, {25, u"Renaming %s of %s"}};
    std::vector<Far3::ADVANCED_CONTROL_COMMANDS> controls;
    host.AdvControl = [&](Far3::ADVANCED_CONTROL_COMMANDS command, intptr_t, void*) -> intptr_t {
        controls.push_back(command);
        return 1;
    };
    host.Editor = [](auto...) -> intptr_t { return 1; };
    FakePanel fake;
    for (int i = 0; i < 48; ++i)
        fake.Items.push_back({u"missing" + std::u16string(1, static_cast<char16_t>(u'A' + i % 26)) +
                                  Base::String(1, static_cast<char16_t>(u'0' + i / 26)),
                              Far3::PPIF_SELECTED});
    fake.Directory = u"Z:\\nowhere\\at all";
    fake.Attach(host);
    const Platform::Faults::TScopedHook slow([](Platform::Faults::TCall call, const char16_t*, const char16_t*) {
        if (call == Platform::Faults::TCall::Rename)
            std::this_thread::sleep_for(std::chrono::milliseconds(30));
        return Platform::DWORD{0};
    });
    Tessel::TFarPanel panel(true, true);
    plugin.RenameFiles(panel, false);

    ASSERT_FALSE(host.ShownMessages.empty());
    const auto& box = host.ShownMessages.front();
    EXPECT_EQ(box.Buttons, 0);
    ASSERT_EQ(box.Items.size(), 2u);
    EXPECT_TRUE(box.Items[1].starts_with(u"Renaming ")) << Base::ToUtf8(box.Items[1]);
    EXPECT_TRUE(box.Items[1].ends_with(u" of 48")) << Base::ToUtf8(box.Items[1]);
    ASSERT_GE(controls.size(), 4u);
    EXPECT_EQ(controls.front(), Far3::ACTL_SETPROGRESSSTATE);
    EXPECT_EQ(controls[controls.size() - 2], Far3::ACTL_SETPROGRESSSTATE);
    EXPECT_EQ(controls.back(), Far3::ACTL_REDRAWALL);
}

} // namespace
