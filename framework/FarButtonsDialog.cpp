#include "framework/FarButtonsDialog.h"

#include "framework/FarPlugin.h"

#include <algorithm>

namespace Tessel {

// ---------------------------------------------------------------- TButtonsDialog

TButtonsDialog::TButtonsDialog(const Far3::GUID& Id)
    : TFarDialog(Id)
{
}

void TButtonsDialog::AfterConstruction()
{
    // Here rather than in the constructor, so that the subclass's
    // CreateContent and CreateButtons run.
    CreateControls();
    TFarDialog::AfterConstruction();
}

void TButtonsDialog::CreateControls()
{
    ClearControls();
    Frame = AddDoubleBox(0, 0, 0, 0, TFarPlugin::GetPlugin().GetStandardText(0));
    CreateContent();
    ButtonSeparator = AddSeparator(0);
    CreateButtons();
}

void TButtonsDialog::CreateContent()
{
}

void TButtonsDialog::CreateButtons()
{
}

void TButtonsDialog::ClearControls()
{
    TFarDialog::ClearControls();
    Frame = nullptr;
    ButtonSeparator = nullptr;
}

void TButtonsDialog::GetClientRect(int32_t& Left, int32_t& Top, int32_t& Width, int32_t& Height)
{
    if (Frame == nullptr) {
        TFarDialog::GetClientRect(Left, Top, Width, Height);
        return;
    }
    Frame->GetBounds(Left, Top, Width, Height);
    Left += 2;
    Top += 1;
    Width -= 4;
    Height -= 2;
}

void TButtonsDialog::SetSize(int32_t Width, int32_t Height)
{
    TFarDialog::SetSize(Width, Height);
    if (Frame != nullptr) {
        Frame->SetLeft(3);
        Frame->SetWidth(Width - 6);
        Frame->SetTop(1);
        Frame->SetHeight(Height - 2);
        if (ButtonSeparator != nullptr)
            ButtonSeparator->SetTop(Frame->GetTop() + Frame->GetHeight() - 3);
    }
    ResetLayout();
}

void TButtonsDialog::ResetLayout()
{
    UsedTop = 0;
}

TButtonsDialog::TRect TButtonsDialog::GetContentRect()
{
    int32_t left = 0, top = 0, width = 0, height = 0;
    GetClientRect(left, top, width, height);
    // With the frame on row 1 this ends on the row above the separator.
    const int32_t belowContent =
        Frame != nullptr && ButtonSeparator != nullptr ? Frame->GetHeight() - ButtonSeparator->GetTop() : 0;
    const int32_t contentTop = top + UsedTop;
    const int32_t contentHeight = height - UsedTop - belowContent;
    return TRect{left, contentTop, left + width, contentTop + contentHeight};
}

void TButtonsDialog::StackControl(TControl& Control, int32_t LeftIndent, int32_t RightIndent, int32_t Gap,
                                  bool Force)
{
    const TRect area = GetContentRect();
    Control.SetBounds(area.Left + LeftIndent, area.Top, area.Right - area.Left - LeftIndent - RightIndent,
                      area.Bottom - area.Top - Gap);
    // A hidden control is placed but takes no room.
    if (Force || Control.GetVisible())
        UsedTop += Control.GetHeight() + Gap;
}

void TButtonsDialog::PlaceRightOf(TControl& Control, TControl& Anchor, int32_t Offset, int32_t RightIndent,
                                  int32_t MaxWidth)
{
    int32_t anchorLeft = 0, anchorTop = 0, anchorWidth = 0, anchorHeight = 0;
    Anchor.GetBounds(anchorLeft, anchorTop, anchorWidth, anchorHeight);
    const int32_t usedWidth = std::min(anchorWidth, Anchor.GetPreferredWidth());
    const int32_t left = anchorLeft + usedWidth + Offset;
    int32_t width = GetContentRect().Right - left;
    if (RightIndent > 0)
        width -= RightIndent;
    if (MaxWidth > 0 && width > MaxWidth)
        width = MaxWidth;
    Control.SetBounds(left, anchorTop, width, anchorHeight);
}

void TButtonsDialog::Columnize(const TColumnWidths& Widths, const TControlRow& Controls, int32_t X, int32_t Y)
{
    if (Widths.size() < Controls.size())
        throw EFarError(u"Invalid TFarDialog.Columnize call");
    TColumnWidths widths(Widths.begin(), Widths.begin() + static_cast<std::ptrdiff_t>(Controls.size()));
    int32_t fixed = 0;
    int32_t shared = 0;
    for (const int32_t width : widths) {
        if (width < 0)
            ++shared;
        else
            fixed += width;
    }
    if (shared > 0) {
        const int32_t rest = std::max(GetContentRect().Right - X - fixed, 0);
        const int32_t share = rest / shared;
        int32_t seen = 0;
        for (int32_t& width : widths) {
            if (width >= 0)
                continue;
            // The last share also takes what the division leaves over.
            ++seen;
            width = seen == shared ? rest - share * (shared - 1) : share;
        }
    }
    TFarDialog::Columnize(widths, Controls, X, Y);
}

void TButtonsDialog::ColumnizeInContent(const TColumnWidths& Widths, const TControlRow& Controls)
{
    Columnize(Widths, Controls, GetContentRect().Left);
}

// ---------------------------------------------------------------- TOkCancelDialog

TOkCancelDialog::TOkCancelDialog(const Far3::GUID& Id)
    : TButtonsDialog(Id)
{
}

void TOkCancelDialog::CreateButtons()
{
    TButtonsDialog::CreateButtons();
    auto& plugin = TFarPlugin::GetPlugin();
    OkButton = AddButton(0, 0, plugin.GetStandardText(2));
    OkButton->SetDefault(true);
    CancelButton = AddButton(0, 0, plugin.GetStandardText(3));
}

void TOkCancelDialog::ClearControls()
{
    TButtonsDialog::ClearControls();
    OkButton = nullptr;
    CancelButton = nullptr;
}

void TOkCancelDialog::SetSize(int32_t Width, int32_t Height)
{
    TButtonsDialog::SetSize(Width, Height);
    if (OkButton == nullptr || CancelButton == nullptr || ButtonSeparator == nullptr)
        return;
    OkButton->SetTop(ButtonSeparator->GetTop() + 1);
    CancelButton->SetTop(OkButton->GetTop());
}

bool TOkCancelDialog::ExecuteOk()
{
    TButton* button = nullptr;
    return Execute(button) && button != nullptr && button == OkButton;
}

} // namespace Tessel
