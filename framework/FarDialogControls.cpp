#include "framework/FarDialogControls.h"

#include "base/Int16Clamp.h"
#include "framework/FarErrors.h"

#include <algorithm>
#include <cstddef>
#include <limits>
#include <new>
#include <vector>

namespace Tessel {

namespace {

// An integer handed to the host in a message's pointer-sized parameter.
void* IntParam(intptr_t value)
{
    return reinterpret_cast<void*>(value);
}

constexpr Far3::FARDIALOGITEMFLAGS AlignmentFlags = Far3::DIF_CENTERTEXT | Far3::DIF_LEFTTEXT | Far3::DIF_RIGHTTEXT;

} // namespace

// ---------------------------------------------------------------- TControl

TFarDialog::TControl::TControl(TFarDialog& Dialog, Far3::FARDIALOGITEMTYPES Type)
    : Dialog(&Dialog)
{
    Index = Dialog.AddControl(*this);
    Far3::FarDialogItem& item = GetItem();
    item = Far3::FarDialogItem{};
    item.Type = Type;
}

TFarDialog::TControl::~TControl()
{
    // The dialog destroys its controls only when it is not active, so this
    // cannot be refused.
    Dialog->RemoveControl(*this);
}

int32_t TFarDialog::TControl::GetPreferredWidth()
{
    return GetWidth();
}

int32_t TFarDialog::TControl::GetMaxHeight()
{
    return 1;
}

void TFarDialog::TControl::InitControl()
{
}

Far3::FarDialogItem& TFarDialog::TControl::GetItem()
{
    return Dialog->HostItem(Index);
}

Far3::FARDIALOGITEMTYPES TFarDialog::TControl::GetType()
{
    return GetItem().Type;
}

intptr_t TFarDialog::TControl::SendToHost(intptr_t Msg, void* Param2)
{
    return Dialog->SendDialogMessage(Msg, Index, Param2);
}

void TFarDialog::TControl::GetBounds(int32_t& Left, int32_t& Top, int32_t& Width, int32_t& Height)
{
    const Far3::FarDialogItem& item = GetItem();
    Left = static_cast<int32_t>(item.X1);
    Top = static_cast<int32_t>(item.Y1);
    Width = static_cast<int32_t>(item.X2 - item.X1 + 1);
    Height = static_cast<int32_t>(item.Y2 - item.Y1 + 1);
    if (!DialogActive())
        return;
    Far3::SMALL_RECT rect{};
    if (SendToHost(Far3::DM_GETITEMPOSITION, &rect) != 0) {
        Left = rect.Left;
        Top = rect.Top;
        Width = rect.Right - rect.Left + 1;
        Height = rect.Bottom - rect.Top + 1;
    }
}

void TFarDialog::TControl::SetBounds(int32_t Left, int32_t Top, int32_t Width, int32_t Height)
{
    const int32_t maxHeight = GetMaxHeight();
    if (maxHeight > 0 && maxHeight < Height)
        Height = maxHeight;
    Far3::FarDialogItem& item = GetItem();
    item.X1 = Left;
    item.Y1 = Top;
    item.X2 = Width > 0 ? intptr_t{Left} + Width - 1 : 0;
    item.Y2 = Height > 0 ? intptr_t{Top} + Height - 1 : 0;
    if (!DialogActive())
        return;
    Far3::SMALL_RECT rect{Base::ClampToInt16(item.X1), Base::ClampToInt16(item.Y1), Base::ClampToInt16(item.X2),
                          Base::ClampToInt16(item.Y2)};
    SendToHost(Far3::DM_SETITEMPOSITION, &rect);
}

// The four one-value accessors read all four bounds (from the host while
// active) and write all four back.
namespace {

struct TBounds {
    int32_t Left = 0, Top = 0, Width = 0, Height = 0;
};

TBounds BoundsOf(TFarDialog::TControl& control)
{
    TBounds b;
    control.GetBounds(b.Left, b.Top, b.Width, b.Height);
    return b;
}

} // namespace

int32_t TFarDialog::TControl::GetLeft()
{
    return BoundsOf(*this).Left;
}

int32_t TFarDialog::TControl::GetTop()
{
    return BoundsOf(*this).Top;
}

int32_t TFarDialog::TControl::GetWidth()
{
    return BoundsOf(*this).Width;
}

int32_t TFarDialog::TControl::GetHeight()
{
    return BoundsOf(*this).Height;
}

void TFarDialog::TControl::SetLeft(int32_t Value)
{
    const TBounds b = BoundsOf(*this);
    SetBounds(Value, b.Top, b.Width, b.Height);
}

void TFarDialog::TControl::SetTop(int32_t Value)
{
    const TBounds b = BoundsOf(*this);
    SetBounds(b.Left, Value, b.Width, b.Height);
}

void TFarDialog::TControl::SetWidth(int32_t Value)
{
    const TBounds b = BoundsOf(*this);
    SetBounds(b.Left, b.Top, Value, b.Height);
}

void TFarDialog::TControl::SetHeight(int32_t Value)
{
    const TBounds b = BoundsOf(*this);
    SetBounds(b.Left, b.Top, b.Width, Value);
}

String TFarDialog::TControl::GetText()
{
    if (!DialogActive())
        return StringFromPtr(GetItem().Data);
    const intptr_t length = SendToHost(Far3::DM_GETTEXT, nullptr);
    if (length <= 0)
        return String();
    std::vector<char16_t> buffer(static_cast<size_t>(length) + 1, u'\0');
    Far3::FarDialogItemData data{sizeof(Far3::FarDialogItemData), static_cast<size_t>(length), buffer.data()};
    SendToHost(Far3::DM_GETTEXT, &data);
    return String(buffer.data(), static_cast<size_t>(length));
}

void TFarDialog::TControl::SetText(const String& Text)
{
    Far3::FarDialogItem& item = GetItem();
    TextCopy = Text;
    char16_t* copy = TextCopy.empty() ? nullptr : TextCopy.data();
    item.Data = copy;
    if (!DialogActive())
        return;
    Far3::FarDialogItemData data{sizeof(Far3::FarDialogItemData), TextCopy.size(), copy};
    SendToHost(Far3::DM_SETTEXT, &data);
}

bool TFarDialog::TControl::GetChecked()
{
    if (DialogActive())
        return SendToHost(Far3::DM_GETCHECK, nullptr) != 0;
    return GetItem().Selected != 0;
}

void TFarDialog::TControl::SetChecked(bool Checked)
{
    GetItem().Selected = Checked ? 1 : 0;
    if (DialogActive())
        SendToHost(Far3::DM_SETCHECK, IntParam(Checked ? Far3::BSTATE_CHECKED : Far3::BSTATE_UNCHECKED));
}

bool TFarDialog::TControl::GetEnabled()
{
    if (DialogActive())
        return SendToHost(Far3::DM_ENABLE, IntParam(-1)) != 0;
    return (GetFlags() & Far3::DIF_DISABLE) == 0;
}

void TFarDialog::TControl::SetEnabled(bool Enabled)
{
    SetFlags(ChangeFlag(GetFlags(), Far3::DIF_DISABLE, !Enabled, 0));
    if (DialogActive())
        SendToHost(Far3::DM_ENABLE, IntParam(Enabled ? 1 : 0));
}

bool TFarDialog::TControl::GetVisible()
{
    if (DialogActive())
        return SendToHost(Far3::DM_SHOWITEM, IntParam(-1)) != 0;
    return (GetFlags() & Far3::DIF_HIDDEN) == 0;
}

void TFarDialog::TControl::SetFocused(bool Focused)
{
    SetFlag(Far3::DIF_FOCUS, Focused);
    if (Focused && DialogActive())
        SendToHost(Far3::DM_SETFOCUS, nullptr);
}

Far3::FARDIALOGITEMFLAGS TFarDialog::TControl::GetFlags()
{
    Far3::FARDIALOGITEMFLAGS flags = GetItem().Flags;
    ReadHostItem([&flags](const Far3::FarDialogItem& item) { flags = item.Flags; });
    return flags;
}

void TFarDialog::TControl::SetFlags(Far3::FARDIALOGITEMFLAGS Flags)
{
    GetItem().Flags = Flags;
    UpdateHostItem([Flags](Far3::FarDialogItem& item) { item.Flags = Flags; });
}

void TFarDialog::TControl::SetFlag(Far3::FARDIALOGITEMFLAGS Bit, bool On)
{
    SetFlags(ChangeFlag(GetFlags(), Bit, On, 0));
}

void TFarDialog::TControl::SetDefault(bool Default)
{
    Far3::FarDialogItem& record = GetItem();
    record.Flags = ChangeFlag(record.Flags, Far3::DIF_DEFAULTBUTTON, Default, 0);
    UpdateHostItem([Default](Far3::FarDialogItem& item) {
        item.Flags = ChangeFlag(item.Flags, Far3::DIF_DEFAULTBUTTON, Default, 0);
    });
}

void TFarDialog::TControl::SetHistory(const String& Name)
{
    Far3::FarDialogItem& record = GetItem();
    HistoryCopy = Name;
    const char16_t* history = HistoryCopy.empty() ? nullptr : HistoryCopy.c_str();
    const bool hasHistory = history != nullptr;
    record.History = history;
    record.Flags = ChangeFlag(record.Flags, Far3::DIF_HISTORY, hasHistory, 0);
    UpdateHostItem([history, hasHistory](Far3::FarDialogItem& item) {
        item.History = history;
        item.Flags = ChangeFlag(item.Flags, Far3::DIF_HISTORY, hasHistory, 0);
    });
}

namespace {

// Fetches the host's copy of item `index` (with its texts) into a buffer of
// the size the host asks for; null when the host refuses.
Far3::FarDialogItem* FetchHostItem(TFarDialog& dialog, int32_t index, std::vector<std::max_align_t>& buffer)
{
    const intptr_t size = dialog.SendDialogMessage(Far3::DM_GETDLGITEM, index, nullptr);
    // A size that cannot even hold the record is a refusal too.
    if (size < static_cast<intptr_t>(sizeof(Far3::FarDialogItem)))
        return nullptr;
    buffer.assign((static_cast<size_t>(size) + sizeof(std::max_align_t) - 1) / sizeof(std::max_align_t),
                  std::max_align_t{});
    auto* item = new (buffer.data()) Far3::FarDialogItem{};
    Far3::FarGetDialogItem request{sizeof(Far3::FarGetDialogItem), static_cast<size_t>(size), item};
    if (dialog.SendDialogMessage(Far3::DM_GETDLGITEM, index, &request) == 0)
        return nullptr;
    return item;
}

} // namespace

bool TFarDialog::TControl::ReadHostItem(const TItemReader& Reader)
{
    if (!DialogActive())
        return false;
    std::vector<std::max_align_t> buffer;
    Far3::FarDialogItem* item = FetchHostItem(*Dialog, Index, buffer);
    if (item == nullptr)
        return false;
    if (item->Type != GetType())
        throw EFarDialogError(u"Control type mismatch");
    Reader(*item);
    return true;
}

bool TFarDialog::TControl::UpdateHostItem(const TItemModifier& Modifier)
{
    if (!DialogActive())
        return false;
    std::vector<std::max_align_t> buffer;
    Far3::FarDialogItem* item = FetchHostItem(*Dialog, Index, buffer);
    if (item == nullptr)
        return false;
    const Far3::FARDIALOGITEMTYPES type = GetType();
    if (item->Type != type)
        throw EFarDialogError(u"Control type mismatch");
    Modifier(*item);
    if (item->Type != type)
        throw EFarDialogError(u"Can't modify control type");
    return SendToHost(Far3::DM_SETDLGITEM, item) != 0;
}

Far3::FARDIALOGITEMFLAGS TFarDialog::TControl::ChangeFlag(Far3::FARDIALOGITEMFLAGS Flags,
                                                          Far3::FARDIALOGITEMFLAGS Bit, bool On,
                                                          Far3::FARDIALOGITEMFLAGS Clear)
{
    return On ? (Flags & ~Clear) | Bit : Flags & ~Bit & ~Clear;
}

// ---------------------------------------------------------------- label-like

TFarDialog::TLabelLikeControl::TLabelLikeControl(TFarDialog& Dialog, Far3::FARDIALOGITEMTYPES Type, int32_t X,
                                                 int32_t Y, int32_t Width, int32_t Height, const String& Caption)
    : TControl(Dialog, Type)
{
    SetBounds(X, Y, Width, Height);
    SetText(Caption);
    SetAlignment(taCenter);
    SetShowAmpersand(false);
}

int32_t TFarDialog::TLabelLikeControl::GetPreferredWidth()
{
    const String text = GetText();
    const auto length = static_cast<int32_t>(text.size());
    // The host shows no ampersand that marks a hotkey; only the first one counts.
    if (!GetShowAmpersand() && text.find(u'&') != String::npos)
        return length - 1;
    return length;
}

void TFarDialog::TLabelLikeControl::SetAlignment(TTextAlignment Alignment)
{
    Far3::FARDIALOGITEMFLAGS bit = Far3::DIF_CENTERTEXT;
    if (Alignment == taLeft)
        bit = Far3::DIF_LEFTTEXT;
    else if (Alignment == taRight)
        bit = Far3::DIF_RIGHTTEXT;
    SetFlags(ChangeFlag(GetFlags(), bit, true, AlignmentFlags));
}

void TFarDialog::TLabelLikeControl::SetShowAmpersand(bool Show)
{
    SetFlag(Far3::DIF_SHOWAMPERSAND, Show);
}

bool TFarDialog::TLabelLikeControl::GetShowAmpersand()
{
    return (GetFlags() & Far3::DIF_SHOWAMPERSAND) != 0;
}

TFarDialog::TDoubleBox::TDoubleBox(TFarDialog& Dialog, int32_t X, int32_t Y, int32_t Width, int32_t Height,
                                   const String& Caption)
    : TLabelLikeControl(Dialog, Far3::DI_DOUBLEBOX, X, Y, Width, Height, Caption)
{
    // The base constructor placed it with a label's one-row limit.
    SetBounds(X, Y, Width, Height);
}

int32_t TFarDialog::TDoubleBox::GetMaxHeight()
{
    return std::numeric_limits<int32_t>::max();
}

TFarDialog::TLabel::TLabel(TFarDialog& Dialog, int32_t X, int32_t Y, int32_t Width, const String& Caption,
                           TTextAlignment Alignment)
    : TLabelLikeControl(Dialog, Far3::DI_TEXT, X, Y, Width, 1, Caption)
{
    SetAlignment(Alignment);
}

TFarDialog::TSeparator::TSeparator(TFarDialog& Dialog, int32_t Y)
    : TLabel(Dialog, 0, Y, 0, String(), taLeft)
{
    SetFlags(GetFlags() | Far3::DIF_SEPARATOR);
}

// ---------------------------------------------------------------- button-like

TFarDialog::TButtonLikeControl::TButtonLikeControl(TFarDialog& Dialog, Far3::FARDIALOGITEMTYPES Type, int32_t X,
                                                   int32_t Y, const String& Caption)
    : TControl(Dialog, Type)
{
    SetBounds(X, Y, 0, 1);
    SetText(Caption);
    SetCenterGroup(false);
    SetShowAmpersand(false);
}

int32_t TFarDialog::TButtonLikeControl::GetPreferredWidth()
{
    return static_cast<int32_t>(GetText().size()) + 4;
}

void TFarDialog::TButtonLikeControl::SetShowAmpersand(bool Show)
{
    SetFlag(Far3::DIF_SHOWAMPERSAND, Show);
}

bool TFarDialog::TButtonLikeControl::GetShowAmpersand()
{
    return (GetFlags() & Far3::DIF_SHOWAMPERSAND) != 0;
}

void TFarDialog::TButtonLikeControl::SetCenterGroup(bool CenterGroup)
{
    SetFlag(Far3::DIF_CENTERGROUP, CenterGroup);
}

TFarDialog::TButton::TButton(TFarDialog& Dialog, int32_t X, int32_t Y, const String& Caption)
    : TButtonLikeControl(Dialog, Far3::DI_BUTTON, X, Y, Caption)
{
    SetNoClose(false);
    SetCenterGroup(true);
}

void TFarDialog::TButton::SetNoClose(bool NoClose)
{
    SetFlag(Far3::DIF_BTNNOCLOSE, NoClose);
}

TFarDialog::TCheckbox::TCheckbox(TFarDialog& Dialog, int32_t X, int32_t Y, const String& Caption, bool Checked)
    : TButtonLikeControl(Dialog, Far3::DI_CHECKBOX, X, Y, Caption)
{
    SetChecked(Checked);
}

TFarDialog::TRadioButton::TRadioButton(TFarDialog& Dialog, int32_t X, int32_t Y, const String& Caption,
                                       bool Checked)
    : TButtonLikeControl(Dialog, Far3::DI_RADIOBUTTON, X, Y, Caption)
{
    SetChecked(Checked);
}

} // namespace Tessel
