// The dialog engine: sizing, the host dialog's lifetime, the control list,
// Execute's answers, and an event handler that fails.
#include "DialogTestSupport.h"

#include "base/Exception.h"

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <stdexcept>
#include <tuple>

using namespace Tessel;
using namespace TestSupport;

namespace {

std::tuple<int32_t, int32_t, int32_t, int32_t> Bounds(TFarDialog& dialog)
{
    int32_t left = 0, top = 0, width = 0, height = 0;
    dialog.GetBounds(left, top, width, height);
    return {left, top, width, height};
}

TEST(DialogEngine, SizeSettledAtTheEndOfConstruction)
{
    const struct {
        std::optional<Far3::SMALL_RECT> Window; // none: the host gives no rectangle
        int32_t Width, Height, ExpectWidth, ExpectHeight;
    } cases[] = {
        {Far3::SMALL_RECT{0, 0, 79, 24}, 0, 0, 76, 21},
        {Far3::SMALL_RECT{0, 0, 119, 39}, 0, 0, 116, 36},
        {std::nullopt, 0, 0, 76, 21},
        {Far3::SMALL_RECT{0, 0, 119, 39}, 60, 12, 56, 8},
        {std::nullopt, 3, -5, 1, 21}, // a width of 3 adjusts to -1, which becomes 1
    };
    for (const auto& c : cases) {
        FakeHost host;
        host.AdvControl = [&](Far3::ADVANCED_CONTROL_COMMANDS command, intptr_t, void* p2) -> intptr_t {
            if (command == Far3::ACTL_GETFARRECT && c.Window)
                *static_cast<Far3::SMALL_RECT*>(p2) = *c.Window;
            return command == Far3::ACTL_GETFARRECT && c.Window;
        };
        auto dialog = TFarDialog::Create<TTestDialog>(c.Width, c.Height);
        EXPECT_EQ(Bounds(*dialog), std::make_tuple(-1, -1, c.ExpectWidth, c.ExpectHeight)) << c.Width;
    }

    FakeHost host;
    auto dialog = TFarDialog::Create<TTestDialog>(64, 16);
    EXPECT_EQ(MessageOf<EFarDialogError>([&] { dialog->SetSize(0, 5); }), u"Invalid value for dialog width (0)");
    EXPECT_EQ(MessageOf<EFarDialogError>([&] { dialog->SetSize(5, -2); }), u"Invalid value for dialog height (-2)");
    EXPECT_EQ(MessageOf<EFarDialogError>([&] { dialog->SetSize(0, 0); }), u"Invalid value for dialog width (0)");
    EXPECT_EQ(Bounds(*dialog), std::make_tuple(-1, -1, 60, 12));
}

TEST(DialogEngine, BuildHandsRecordsAndRectangleToTheHost)
{
    for (const auto& [left, top, x2, y2] : {std::make_tuple(-1, -1, 60, 12), std::make_tuple(5, 2, 64, 13)}) {
        FakeHost host;
        FakeDialogHost dialogs(host);
        auto dialog = TFarDialog::Create<TTestDialog>(64, 16);
        dialog->AddLabel(1, 1, 10, u"Name", taLeft);
        dialog->SetPosition(left, top);
        ASSERT_TRUE(dialog->Build());
        const auto& init = host.DialogInits.at(0);
        EXPECT_EQ(std::make_tuple(init.X1, init.Y1, init.X2, init.Y2), std::make_tuple(left, top, x2, y2));
        EXPECT_EQ(std::memcmp(&init.PluginId, &host.Test()->Guid, sizeof(Far3::GUID)), 0);
        EXPECT_EQ(std::memcmp(&init.Id, &TestDialogGuid, sizeof(Far3::GUID)), 0);
        ASSERT_EQ(init.Items.size(), 1u);
        EXPECT_EQ(std::u16string(init.Items[0].Data), u"Name");
        EXPECT_EQ(TFarDialog::FindDialog(dialogs.Handle), dialog.get());

        dialog->ReleaseHandle();
        EXPECT_EQ(TFarDialog::FindDialog(dialogs.Handle), nullptr);
        EXPECT_EQ(host.FreedDialogs, std::vector<Far3::HANDLE>{dialogs.Handle});
    }

    FakeHost host; // refuses every dialog
    auto dialog = TFarDialog::Create<TOkCancelDialog>(TestDialogGuid);
    EXPECT_FALSE(dialog->Build());
    EXPECT_FALSE(dialog->IsActive());
    EXPECT_EQ(MessageOf<EFarDialogError>([&] { dialog->ExecuteOk(); }), u"Failed to build dialog TOkCancelDialog");
}

TEST(DialogEngine, ControlListGrowsInBlocksAndClosesGaps)
{
    FakeHost host;
    FakeDialogHost dialogs(host);
    auto dialog = TFarDialog::Create<TTestDialog>();
    std::vector<TFarDialog::TLabel*> labels;
    for (int i = 0; i < 65; ++i) {
        labels.push_back(dialog->AddLabel(0, i, 5, Base::Str(std::to_string(i)), taLeft));
        EXPECT_EQ(dialog->GetCapacity(), i < 64 ? 64 : 128);
    }
    EXPECT_EQ(labels[64]->GetIndex(), 64);

    dialog->DeleteControl(*labels[1]);
    EXPECT_EQ(dialog->GetControlCount(), 64);
    EXPECT_EQ(&dialog->GetControl(1), labels[2]);
    EXPECT_EQ(labels[64]->GetIndex(), 63);
    EXPECT_EQ(labels[64]->GetText(), u"64");
    EXPECT_EQ(labels[2]->GetTop(), 2);
    EXPECT_EQ(MessageOf<Base::EListError>([&] { dialog->GetControl(64); }), u"Index out of bounds");

    ASSERT_TRUE(dialog->Build());
    EXPECT_EQ(MessageOf<EFarDialogError>([&] { dialog->AddButton(0, 0, u"b"); }),
              u"Can't add controls to an active dialog");
    EXPECT_EQ(MessageOf<EFarDialogError>([&] { dialog->DeleteControl(*labels[0]); }),
              u"Can't remove controls from an active dialog");
    EXPECT_EQ(dialog->GetControlCount(), 64);
    dialog->ClearControls();
    EXPECT_FALSE(dialog->IsActive());
    EXPECT_EQ(dialog->GetControlCount(), 0);
}

TEST(DialogEngine, ExecuteReportsTheClosingButton)
{
    // Positions: 0 frame, 1 separator, 2 OK, 3 Cancel; -1 is Esc.
    const struct {
        intptr_t Closed;
        bool Execute, ExecuteOk;
    } cases[] = {{2, true, true}, {3, true, false}, {-1, false, false}, {0, false, false}, {4, false, false}};
    for (const auto& c : cases) {
        FakeHost host;
        FakeDialogHost dialogs(host);
        dialogs.OnRun = [&] { return c.Closed; };
        auto dialog = TFarDialog::Create<TOkCancelDialog>(TestDialogGuid);
        TFarDialog::TButton* button = nullptr;
        EXPECT_EQ(dialog->Execute(button), c.Execute) << c.Closed;
        EXPECT_EQ(button != nullptr, c.Execute) << c.Closed;
        EXPECT_EQ(dialog->ExecuteOk(), c.ExecuteOk) << c.Closed;
        EXPECT_TRUE(dialog->IsActive());
        EXPECT_EQ(host.DialogInits.size(), 1u) << "a second run reuses the host dialog";
    }
}

TEST(DialogEngine, FailingHandlerClosesTheDialogAndExecuteRaisesIt)
{
    FakeHost host;
    FakeDialogHost dialogs(host);
    auto dialog = TFarDialog::Create<TTestDialog>();
    int clicks = 0;
    dialog->AddButton(0, 0, u"OK")->OnClick = [&](TFarDialog::TControl&, bool&) {
        ++clicks;
        throw std::runtime_error("handler failure");
    };
    std::vector<intptr_t> answers;
    dialogs.OnRun = [&]() -> intptr_t {
        answers.push_back(dialogs.Send(Far3::DN_BTNCLICK, 0));
        answers.push_back(dialogs.Send(Far3::DN_BTNCLICK, 0));
        return 0; // the host reports the focused button as the closing item
    };
    host.DefDlgProc = [](Far3::HANDLE, intptr_t, intptr_t, void*) -> intptr_t { return 7; };
    int repaints = 0;
    host.AdvControl = [&](Far3::ADVANCED_CONTROL_COMMANDS command, intptr_t, void*) -> intptr_t {
        repaints += command == Far3::ACTL_REDRAWALL;
        return 0;
    };
    TFarDialog::TButton* button = nullptr;
    try {
        dialog->Execute(button);
        ADD_FAILURE() << "Execute raised nothing";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "handler failure");
    }
    EXPECT_EQ(repaints, 1);
    EXPECT_EQ(button, nullptr);
    EXPECT_EQ(clicks, 1) << "later events are not dispatched";
    EXPECT_EQ(answers, (std::vector<intptr_t>{7, 7}));
    const auto closes = dialogs.Sent(Far3::DM_CLOSE);
    ASSERT_EQ(closes.size(), 1u);
    EXPECT_EQ(closes[0].Param1, -1);
}

} // namespace
