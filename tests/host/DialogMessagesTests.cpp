// The DM_* messages, the dialog's geometry as the host reports it, and a
// console resize.
#include "DialogHarness.h"

#include <gtest/gtest.h>

using namespace Host;
using namespace HostDialogTesting;

namespace {

TEST(DialogMessages, AnswerAsFarDoes)
{
    Harness dialog;
    dialog.Init(StandardItems());
    dialog.Run("<Esc>");

    // Buttons: brackets in the item, not in DM_GETTEXT.
    EXPECT_EQ(dialog.Text(Ok), u"&OK");
    const intptr_t size = dialog.Send(Far3::DM_GETDLGITEM, Ok);
    ASSERT_GT(size, static_cast<intptr_t>(sizeof(Far3::FarDialogItem)));
    std::vector<std::byte> buffer(static_cast<size_t>(size));
    auto* record = reinterpret_cast<Far3::FarDialogItem*>(buffer.data());
    Far3::FarGetDialogItem request{sizeof request, buffer.size(), record};
    EXPECT_EQ(dialog.Send(Far3::DM_GETDLGITEM, Ok, &request), size);
    EXPECT_EQ(PluginText(record->Data), u"{ &OK }");
    EXPECT_NE(record->History, nullptr);
    EXPECT_EQ(PluginText(record->History), u"");
    request.Size = buffer.size() - 1;
    EXPECT_EQ(dialog.Send(Far3::DM_GETDLGITEM, Ok, &request), size);

    // Item changes: the same type only.
    Far3::FarDialogItem changed = *static_cast<Far3::FarDialogItem*>(record);
    changed.Flags |= Far3::DIF_DISABLE;
    EXPECT_EQ(dialog.Send(Far3::DM_SETDLGITEM, Ok, &changed), 1);
    EXPECT_EQ(dialog.Text(Ok), u"&OK");
    EXPECT_EQ(dialog.Send(Far3::DM_ENABLE, Ok, reinterpret_cast<void*>(-1)), 0);
    changed.Type = Far3::DI_CHECKBOX;
    EXPECT_EQ(dialog.Send(Far3::DM_SETDLGITEM, Ok, &changed), 0);

    // Queries and switches return the previous state.
    struct Case {
        intptr_t Msg, Item, Param2, Result;
    };
    const Case cases[] = {
        {Far3::DM_ENABLE, Edit, 0, 1},
        {Far3::DM_ENABLE, Edit, -1, 0},
        {Far3::DM_ENABLE, Edit, 1, 0},
        {Far3::DM_SHOWITEM, Check, 0, 1},
        {Far3::DM_SHOWITEM, Check, -1, 0},
        {Far3::DM_SETCHECK, Check, Far3::BSTATE_CHECKED, 0},
        {Far3::DM_GETCHECK, Check, 0, 1},
        {Far3::DM_SETCHECK, Check, Far3::BSTATE_TOGGLE, 1},
        {Far3::DM_GETCHECK, Edit, 0, 0},
        {Far3::DM_EDITUNCHANGEDFLAG, Edit, 0, 1},
        {Far3::DM_EDITUNCHANGEDFLAG, Edit, -1, 0},
        {Far3::DM_ENABLE, 99, 1, 0}, // no such item
    };
    for (const Case& c : cases)
        EXPECT_EQ(dialog.Send(c.Msg, c.Item, reinterpret_cast<void*>(c.Param2)), c.Result)
            << "message " << c.Msg << " item " << c.Item;

    // The redraw counter goes negative and back.
    EXPECT_EQ(dialog.Send(Far3::DM_ENABLEREDRAW, 0), 0);
    EXPECT_EQ(dialog.Send(Far3::DM_ENABLEREDRAW, 0), -1);
    EXPECT_EQ(dialog.Send(Far3::DM_ENABLEREDRAW, 1), -2);
    EXPECT_EQ(dialog.Send(Far3::DM_ENABLEREDRAW, 1), -1);
    EXPECT_EQ(dialog.Send(Far3::DM_ENABLEREDRAW, 1), 0);
    EXPECT_EQ(dialog.Send(Far3::DM_ENABLEREDRAW, 5), 0);

    // A dead handle is refused, never followed.
    Far3::HANDLE dead = reinterpret_cast<Far3::HANDLE>(0x1234);
    EXPECT_EQ(dialog.Service.Send(dead, Far3::DM_GETTEXT, 0, nullptr), 0);
    EXPECT_EQ(dialog.Service.Send(dead, Far3::DM_GETFOCUS, 0, nullptr), -1);
    dialog.Service.Free(dialog.Handle);
    EXPECT_EQ(dialog.Service.Count(), 0u);
    EXPECT_EQ(dialog.Send(Far3::DM_GETTEXT, Edit), 0);
}

TEST(DialogMessages, GeometryIsTheHostsOwn)
{
    Harness dialog;
    dialog.User.SetScreen(ScreenSize{80, 25});
    dialog.Init(StandardItems());
    dialog.Run("<Esc>");
    auto position = [&](intptr_t item) {
        Far3::SMALL_RECT rect{};
        EXPECT_EQ(dialog.Send(Far3::DM_GETITEMPOSITION, item, &rect), 1);
        return std::vector<int>{rect.Left, rect.Top, rect.Right, rect.Bottom};
    };
    // The buttons are centred together on the whole width, one space apart:
    // "{ OK }" and "[ Cancel ]" in 40 columns start at 11 and 18.
    EXPECT_EQ(position(Ok), (std::vector<int>{11, 5, 17, 5}));
    EXPECT_EQ(position(Cancel), (std::vector<int>{18, 5, 28, 5}));
    EXPECT_EQ(position(Check), (std::vector<int>{5, 4, 14, 4}));
    EXPECT_EQ(position(Frame), (std::vector<int>{3, 1, 36, 6}));
    EXPECT_EQ(position(Edit), (std::vector<int>{5, 3, 33, 3}));

    auto screenRect = [&] {
        Far3::SMALL_RECT rect{};
        EXPECT_EQ(dialog.Send(Far3::DM_GETDLGRECT, 0, &rect), 1);
        return std::vector<int>{rect.Left, rect.Top, rect.Right, rect.Bottom};
    };
    EXPECT_EQ(screenRect(), (std::vector<int>{20, 8, 59, 15}));
    // Resizing keeps the corner; moving to -1, -1 centres again.
    Far3::COORD size{60, 10};
    EXPECT_EQ(dialog.Send(Far3::DM_RESIZEDIALOG, 0, &size), reinterpret_cast<intptr_t>(&size));
    EXPECT_EQ(screenRect(), (std::vector<int>{20, 8, 79, 17}));
    Far3::COORD centre{-1, -1};
    dialog.Send(Far3::DM_MOVEDIALOG, 1, &centre);
    EXPECT_EQ(screenRect(), (std::vector<int>{10, 7, 69, 16}));
    EXPECT_EQ(centre.X, 10);

    Far3::SMALL_RECT wrong{10, 3, 5, 3};
    EXPECT_EQ(dialog.Send(Far3::DM_SETITEMPOSITION, Edit, &wrong), 0);
    Far3::SMALL_RECT tall{6, 3, 20, 6};
    EXPECT_EQ(dialog.Send(Far3::DM_SETITEMPOSITION, Edit, &tall), 1);
    EXPECT_EQ(position(Edit), (std::vector<int>{6, 3, 20, 3})); // a one-line edit stays one row
}

TEST(DialogRun, AConsoleResizeIsReportedAndTheDialogCentredAgain)
{
    struct Case {
        const char* What;
        intptr_t X1, Y1;
        ScreenSize Size;
        int Left, Top;
    };
    const Case cases[] = {
        {"centred", -1, -1, {100, 30}, 30, 11},
        {"placed, still on the screen", 5, 3, {60, 15}, 5, 3},
        {"placed, its corner beyond the new size", 70, 20, {60, 15}, 59, 14},
        {"placed, only its left beyond", 70, 2, {60, 15}, 59, 2},
    };
    for (const Case& c : cases) {
        Harness dialog;
        dialog.User.SetScreen(ScreenSize{120, 40});
        dialog.Init(StandardItems(), c.X1, c.Y1, c.X1 < 0 ? 40 : c.X1 + 39, c.Y1 < 0 ? 8 : c.Y1 + 7);
        std::optional<Far3::COORD> reported;
        dialog.Answer = [&](intptr_t msg, intptr_t, void* param2) -> std::optional<intptr_t> {
            if (msg == Far3::DN_RESIZECONSOLE)
                reported = *static_cast<Far3::COORD*>(param2);
            return std::nullopt;
        };
        dialog.User.QueueResize(c.Size);
        dialog.Run("<Esc>");
        ASSERT_TRUE(reported) << c.What;
        EXPECT_EQ(reported->X, c.Size.Width) << c.What;
        EXPECT_EQ(reported->Y, c.Size.Height) << c.What;
        EXPECT_EQ(dialog.Closed().Left, c.Left) << c.What;
        EXPECT_EQ(dialog.Closed().Top, c.Top) << c.What;
    }
}

// Ctrl+F5 and then the keys of the move, which the procedure never sees;
// the script ends with the Esc that closes the dialog. The dialog starts
// centred at 20, 8 on an 80 x 25 screen.

} // namespace
