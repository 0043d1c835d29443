// Button-row dialogs: frame, content area, separator and button row for a
// size, the stacking of content controls, and rows of columns.
#include "DialogTestSupport.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace Tessel;
using namespace TestSupport;

namespace {

// An OK/Cancel dialog with three labels of content and a fixed height, as
// the plugin's own dialogs are written.
class TStackDialog : public TOkCancelDialog {
public:
    TLabel* Labels[3] = {};

    void AdjustSize(int32_t& width, int32_t& height) override
    {
        TOkCancelDialog::AdjustSize(width, height);
        height = Rows;
    }
    void SetSize(int32_t width, int32_t height) override
    {
        TOkCancelDialog::SetSize(width, height);
        for (auto* label : Labels)
            StackControl(*label);
    }
    std::vector<TControl*> FrameSeparatorOkCancel() { return {Frame, ButtonSeparator, OkButton, CancelButton}; }

protected:
    explicit TStackDialog(int32_t rows) : TOkCancelDialog(TestDialogGuid), Rows(rows) {}
    void CreateContent() override
    {
        TOkCancelDialog::CreateContent();
        for (auto*& label : Labels)
            label = AddLabel(0, 0, 0, u"text", taLeft);
    }

private:
    friend class TFarDialog;
    int32_t Rows;
};

std::tuple<int32_t, int32_t, int32_t, int32_t> LeftTopRightBottom(TFarDialog::TControl& control)
{
    return {control.GetLeft(), control.GetTop(), control.GetLeft() + control.GetWidth() - 1,
            control.GetTop() + control.GetHeight() - 1};
}

TEST(ButtonsDialog, RowsAndColumnsForASize)
{
    const struct {
        int32_t Height, FrameBottom, SeparatorRow;
    } cases[] = {{11, 9, 7}, {8, 6, 4}};
    for (const auto& c : cases) {
        FakeHost host; // an 80-column window: the dialog is 76 wide
        host.Test()->StandardTexts = {{0, u"Title"}, {2, u"&OK"}, {3, u"&Cancel"}};
        auto dialog = TFarDialog::Create<TStackDialog>(c.Height);
        int32_t left = 0, top = 0, width = 0, height = 0;
        dialog->GetBounds(left, top, width, height);
        EXPECT_EQ(std::make_pair(width, height), std::make_pair(76, c.Height));
        dialog->SetSize(width, height); // as building the host dialog does

        const auto controls = dialog->FrameSeparatorOkCancel();
        EXPECT_EQ(LeftTopRightBottom(*controls[0]), std::make_tuple(3, 1, 72, c.FrameBottom));
        EXPECT_EQ(controls[0]->GetText(), u"Title");
        EXPECT_EQ(controls[1]->GetTop(), c.SeparatorRow);
        EXPECT_EQ(controls[2]->GetTop(), c.SeparatorRow + 1);
        EXPECT_EQ(controls[3]->GetTop(), c.SeparatorRow + 1);
        EXPECT_NE(controls[2]->GetFlags() & Far3::DIF_DEFAULTBUTTON, 0u);
        EXPECT_EQ(controls[3]->GetText(), u"&Cancel");

        dialog->ResetLayout();
        const auto area = dialog->GetContentRect();
        EXPECT_EQ(std::tie(area.Left, area.Top, area.Right, area.Bottom),
                  std::make_tuple(5, 2, 71, c.SeparatorRow));
    }
}

TEST(ButtonsDialog, StackingStartsAgainAtEveryLayout)
{
    FakeHost host;
    auto dialog = TFarDialog::Create<TStackDialog>(11);
    auto& [first, second, third] = dialog->Labels;
    for (int pass = 0; pass < 2; ++pass) {
        dialog->SetSize(76, 11); // as a console resize does
        EXPECT_EQ(first->GetTop(), 2);
        EXPECT_EQ(second->GetTop(), 3);
        EXPECT_EQ(LeftTopRightBottom(*third), std::make_tuple(5, 4, 70, 4));
    }
    dialog->ResetLayout();
    second->SetFlags(second->GetFlags() | Far3::DIF_HIDDEN);
    for (auto* label : dialog->Labels)
        dialog->StackControl(*label);
    EXPECT_EQ(third->GetTop(), 3) << "a hidden control takes no room";

    auto* edit = dialog->AddEdit(5, 4, 10, u"");
    dialog->PlaceRightOf(*first, *edit);
    EXPECT_EQ(LeftTopRightBottom(*first), std::make_tuple(16, 4, 70, 4));
    dialog->PlaceRightOf(*first, *edit, 2, 0, 8);
    EXPECT_EQ(LeftTopRightBottom(*first), std::make_tuple(17, 4, 24, 4));
}

TEST(ButtonsDialog, RowsOfColumns)
{
    FakeHost host;
    auto dialog = TFarDialog::Create<TStackDialog>(11);
    dialog->SetSize(76, 11);
    auto* a = dialog->Labels[0];
    auto* b = dialog->Labels[2];
    a->SetTop(3);
    using Column = std::tuple<int32_t, int32_t, int32_t>; // left, width, top
    const struct {
        TFarDialog::TColumnWidths Widths;
        int32_t X;
        Column A, B;
    } cases[] = {
        {{10, 20}, 5, {5, 9, 3}, {15, 19, 7}},
        {{10, 20, 30}, 5, {5, 9, 3}, {15, 19, 7}},
        {{10, -1}, 5, {5, 9, 3}, {15, 55, 7}},     // the rest of the content area, up to column 70
        {{-1, -1}, 11, {11, 29, 3}, {41, 29, 7}}, // two equal shares of 60
    };
    for (const auto& c : cases) {
        dialog->Columnize(c.Widths, {a, b}, c.X, 7);
        EXPECT_EQ(Column(a->GetLeft(), a->GetWidth(), a->GetTop()), c.A);
        EXPECT_EQ(Column(b->GetLeft(), b->GetWidth(), b->GetTop()), c.B);
    }
    // The three-argument form takes the row from the first control; an empty column is skipped.
    dialog->Columnize({4, 6, 8}, {a, nullptr, b}, 5);
    EXPECT_EQ(Column(b->GetLeft(), b->GetWidth(), b->GetTop()), Column(15, 7, 3));

    const std::function<void()> invalid[] = {
        [&] { dialog->Columnize({10}, {a, b}, 5, 7); },
        [&] { dialog->TFarDialog::Columnize({10}, {a, b}, 5, 7); },
        [&] { dialog->Columnize({10}, {}, 5); },
        [&] { dialog->Columnize({10, 10}, {nullptr, b}, 5); },
    };
    for (const auto& call : invalid)
        EXPECT_EQ(MessageOf<EFarError>(call), u"Invalid TFarDialog.Columnize call");
}

} // namespace
