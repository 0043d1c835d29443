// Moving a dialog with the keyboard (Ctrl+F5).
#include "DialogHarness.h"

#include <gtest/gtest.h>

using namespace Host;
using namespace HostDialogTesting;

namespace {

TEST(DialogRun, TheKeyboardMovesTheDialog)
{
    struct Case {
        const char* Keys;
        bool Refuse;
        int Left, Top;
        std::vector<intptr_t> Drags; // DN_DRAGGED's Param1 * 10 + Param2
        size_t ControlInputs;
    };
    const Case cases[] = {
        {"<Ctrl+F5><Right><Down><Enter><Esc>", false, 21, 9, {0, 10}, 1},
        {"<Ctrl+F5><Ctrl+Left><Ctrl+Up><Ctrl+F5><Esc>", false, 10, 3, {0, 10}, 1},
        {"<Ctrl+F5><Home><PgUp><Enter><Esc>", false, 0, 0, {0, 10}, 1},
        {"<Ctrl+F5><End><PgDn><Right><x><Enter><Esc>", false, 41, 17, {0, 10}, 1},
        {"<Ctrl+F5><Right><Right><Esc><Esc>", false, 20, 8, {0, 11}, 1},
        {"<Ctrl+F5><Right><Esc>", true, 20, 8, {0}, 2},
    };
    for (const Case& c : cases) {
        Harness dialog;
        dialog.User.SetScreen(ScreenSize{80, 25});
        dialog.Init(StandardItems());
        std::vector<intptr_t> drags;
        dialog.Answer = [&](intptr_t msg, intptr_t param1, void* param2) -> std::optional<intptr_t> {
            if (msg != Far3::DN_DRAGGED)
                return std::nullopt;
            drags.push_back(param1 * 10 + reinterpret_cast<intptr_t>(param2));
            return c.Refuse ? 0 : 1;
        };
        EXPECT_EQ(dialog.Run(c.Keys), -1) << c.Keys;
        EXPECT_FALSE(dialog.User.RanOutOfInput()) << c.Keys;
        EXPECT_EQ(dialog.Closed().Left, c.Left) << c.Keys;
        EXPECT_EQ(dialog.Closed().Top, c.Top) << c.Keys;
        EXPECT_EQ(drags, c.Drags) << c.Keys;
        EXPECT_EQ(dialog.Of(Far3::DN_CONTROLINPUT).size(), c.ControlInputs) << c.Keys;
    }
}

// The mouse as Far's dialogs take it. A script step is "L x y" (left
// click: press and release), "R x y" (right click), "P x y" / "M x y" /
// "U x y" (left press, move with it held, release), "list n" (the choice
// in the list that drops down) or "keys ...", with x and y counted from
// the dialog's first place on the screen (20, 8). The procedure may take
// the mouse presses, refuse the drag or take Enter.

} // namespace
