#include "host/services/AdvControlService.h"
#include "tests/support/ScriptedFrontEnd.h"

#include <gtest/gtest.h>

using namespace Host;

namespace {

TEST(AdvControl, FarRectComesFromTheScreenSize)
{
    struct Case {
        std::optional<ScreenSize> Screen;
        intptr_t Result;
        Far3::SMALL_RECT Rect;
    };
    for (const Case& c : {Case{ScreenSize{}, 1, {0, 0, 79, 24}}, Case{ScreenSize{132, 50}, 1, {0, 0, 131, 49}},
                          Case{std::nullopt, 0, {-1, -1, -1, -1}}}) {
        ScriptedFrontEnd user;
        user.SetScreen(c.Screen);
        AdvControlService service(user);
        Far3::SMALL_RECT rect{-1, -1, -1, -1};
        EXPECT_EQ(service.Control(Far3::ACTL_GETFARRECT, 0, &rect), c.Result);
        EXPECT_EQ(rect.Left, c.Rect.Left);
        EXPECT_EQ(rect.Top, c.Rect.Top);
        EXPECT_EQ(rect.Right, c.Rect.Right);
        EXPECT_EQ(rect.Bottom, c.Rect.Bottom);
        EXPECT_EQ(service.Control(Far3::ACTL_GETFARRECT, 0, nullptr), 0);
    }
}

TEST(AdvControl, RedrawsAreCountedAndUnknownCommandsRefused)
{
    ScriptedFrontEnd user;
    AdvControlService service(user);
    EXPECT_EQ(service.Control(Far3::ACTL_REDRAWALL, 0, nullptr), 1);
    EXPECT_EQ(service.Control(Far3::ACTL_REDRAWALL, 0, nullptr), 1);
    EXPECT_EQ(service.Redraws(), 2);
    for (auto command : {Far3::ACTL_WAITKEY, Far3::ACTL_SYNCHRO, Far3::ACTL_QUIT})
        EXPECT_EQ(service.Control(command, 0, nullptr), 0);
}

TEST(AdvControl, TaskbarProgressIsKeptAndBadValuesRefused)
{
    ScriptedFrontEnd user;
    AdvControlService service(user);
    Far3::ProgressValue value{sizeof(Far3::ProgressValue), 12345, 100000};
    Far3::ProgressValue shortRecord{8, 1, 2};
    struct Call {
        Far3::ADVANCED_CONTROL_COMMANDS Command;
        intptr_t Param1;
        void* Param2;
        intptr_t Result;
    };
    for (const Call& c : {Call{Far3::ACTL_SETPROGRESSSTATE, Far3::TBPS_NORMAL, nullptr, 1},
                          Call{Far3::ACTL_SETPROGRESSVALUE, 0, &value, 1},
                          Call{Far3::ACTL_SETPROGRESSVALUE, 0, &shortRecord, 0},
                          Call{Far3::ACTL_SETPROGRESSVALUE, 0, nullptr, 0},
                          Call{Far3::ACTL_SETPROGRESSSTATE, 3, nullptr, 0},
                          Call{Far3::ACTL_PROGRESSNOTIFY, 0, nullptr, 1}})
        EXPECT_EQ(service.Control(c.Command, c.Param1, c.Param2), c.Result) << c.Command << " " << c.Param1;
    EXPECT_EQ(service.Taskbar().State, Far3::TBPS_NORMAL);
    EXPECT_EQ(service.Taskbar().Completed, 12345u);
    EXPECT_EQ(service.Taskbar().Total, 100000u);
    EXPECT_EQ(service.Control(Far3::ACTL_SETPROGRESSSTATE, Far3::TBPS_NOPROGRESS, nullptr), 1);
    EXPECT_EQ(service.TaskbarStates(),
              (std::vector<Far3::TASKBARPROGRESSTATE>{Far3::TBPS_NORMAL, Far3::TBPS_NOPROGRESS}));
}

} // namespace
