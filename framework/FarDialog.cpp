#include "framework/FarDialog.h"

#include "base/Exception.h"
#include "base/Format.h"
#include "base/Int16Clamp.h"
#include "base/ScopeGuard.h"
#include "base/TypeName.h"
#include "framework/FarDialogControls.h"
#include "framework/FarDialogEdits.h"
#include "framework/FarPlugin.h"
#include "framework/FarScreen.h"

#include <algorithm>
#include <limits>
#include <mutex>
#include <typeinfo>

namespace Tessel {

namespace {

// Controls and their records are allocated in blocks of this many.
constexpr int32_t CapacityStep = 64;

// The dialogs that have a host dialog, for the dialog procedure to find
// its object by handle. Created with the module, destroyed with it.
struct ActiveDialogRegistry {
    std::mutex Lock;
    std::vector<TFarDialog*> Dialogs;
};

ActiveDialogRegistry& Registry()
{
    static ActiveDialogRegistry registry;
    return registry;
}

} // namespace

TFarDialog::TFarDialog(const Far3::GUID& Id)
    : Id(Id)
{
}

TFarDialog::~TFarDialog()
{
    ReleaseHandle();
    // Only the engine's own part is left; subclasses are already gone.
    TFarDialog::ClearControls();
}

void TFarDialog::AfterConstruction()
{
    if (Width <= 0)
        Width = TFarScreen::Width();
    if (Height <= 0)
        Height = TFarScreen::Height();
    AdjustSize(Width, Height);
    Width = std::max(Width, 1);
    Height = std::max(Height, 1);
}

// ---------------------------------------------------------------- controls

TFarDialog::TControl& TFarDialog::GetControl(int32_t Index) const
{
    if (Index < 0 || Index >= ControlCount)
        throw Base::EListError(u"Index out of bounds");
    return *ControlList[static_cast<size_t>(Index)];
}

TFarDialog::TControl* TFarDialog::ControlAt(intptr_t Position) const
{
    if (Position < 0 || Position >= ControlCount)
        return nullptr;
    return ControlList[static_cast<size_t>(Position)].get();
}

Far3::FarDialogItem& TFarDialog::HostItem(int32_t Index)
{
    if (Index < 0 || Index >= ControlCount)
        throw Base::EListError(u"Index out of bounds");
    return HostItems[static_cast<size_t>(Index)];
}

int32_t TFarDialog::AddControl(TControl& Control)
{
    if (IsActive())
        throw EFarDialogError(u"Can't add controls to an active dialog");
    if (ControlCount == GetCapacity()) {
        const size_t capacity = HostItems.size() + CapacityStep;
        HostItems.resize(capacity, Far3::FarDialogItem{});
        ControlList.resize(capacity);
    }
    // From its registration on, the control belongs to the dialog.
    ControlList[static_cast<size_t>(ControlCount)].reset(&Control);
    return ControlCount++;
}

int32_t TFarDialog::PositionOf(const TControl& Control) const
{
    for (int32_t i = 0; i < ControlCount; ++i)
        if (ControlList[static_cast<size_t>(i)].get() == &Control)
            return i;
    return -1;
}

void TFarDialog::RemoveSlot(int32_t Position)
{
    for (int32_t i = Position; i + 1 < ControlCount; ++i) {
        const auto to = static_cast<size_t>(i);
        ControlList[to] = std::move(ControlList[to + 1]);
        HostItems[to] = HostItems[to + 1];
        ControlList[to]->Index = i;
    }
    --ControlCount;
    ControlList[static_cast<size_t>(ControlCount)].reset();
    HostItems[static_cast<size_t>(ControlCount)] = Far3::FarDialogItem{};
}

void TFarDialog::RemoveControl(TControl& Control)
{
    if (IsActive())
        throw EFarDialogError(u"Can't remove controls from an active dialog");
    const int32_t position = PositionOf(Control);
    if (position < 0)
        return;
    // The control is being destroyed already (its constructor failed half-way):
    // the dialog lets go of it without destroying it a second time.
    [[maybe_unused]] TControl* released = ControlList[static_cast<size_t>(position)].release();
    Control.Index = -1;
    RemoveSlot(position);
}

void TFarDialog::DeleteControl(TControl& Control)
{
    if (IsActive())
        throw EFarDialogError(u"Can't remove controls from an active dialog");
    const int32_t position = PositionOf(Control);
    if (position < 0)
        return;
    // Its worker may still be reporting a change, through this slot.
    Control.StopBackgroundWork();
    std::unique_ptr<TControl> owned = std::move(ControlList[static_cast<size_t>(position)]);
    owned->Index = -1;
    RemoveSlot(position);
    // Its destructor finds it unregistered already.
    owned.reset();
}

void TFarDialog::ClearControls()
{
    ReleaseHandle();
    // A worker of one control may reach the others: none runs any more
    // when the first control goes.
    for (int32_t i = 0; i < ControlCount; ++i)
        ControlList[static_cast<size_t>(i)]->StopBackgroundWork();
    while (ControlCount > 0)
        DeleteControl(*ControlList[static_cast<size_t>(ControlCount - 1)]);
    HostItems = std::vector<Far3::FarDialogItem>();
    ControlList = std::vector<std::unique_ptr<TControl>>();
}

TFarDialog::TButton* TFarDialog::AddButton(int32_t X, int32_t Y, const String& Caption)
{
    return new TButton(*this, X, Y, Caption);
}

TFarDialog::TCheckbox* TFarDialog::AddCheckbox(int32_t X, int32_t Y, const String& Caption, bool Checked)
{
    return new TCheckbox(*this, X, Y, Caption, Checked);
}

TFarDialog::TDoubleBox* TFarDialog::AddDoubleBox(int32_t X, int32_t Y, int32_t Width, int32_t Height,
                                                 const String& Caption)
{
    return new TDoubleBox(*this, X, Y, Width, Height, Caption);
}

TFarDialog::TEdit* TFarDialog::AddEdit(int32_t X, int32_t Y, int32_t Width, const String& Text)
{
    return new TEdit(*this, X, Y, Width, Text);
}

TFarDialog::TLabel* TFarDialog::AddLabel(int32_t X, int32_t Y, int32_t Width, const String& Caption,
                                         TTextAlignment Alignment)
{
    return new TLabel(*this, X, Y, Width, Caption, Alignment);
}

TFarDialog::TSeparator* TFarDialog::AddSeparator(int32_t Y)
{
    return new TSeparator(*this, Y);
}

// ---------------------------------------------------------------- host dialog

bool TFarDialog::Build()
{
    ReleaseHandle();
    int32_t left = 0, top = 0, width = 0, height = 0;
    GetBounds(left, top, width, height);
    SetSize(width, height);

    // With -1 the host centres the dialog and reads X2 and Y2 as its size.
    const intptr_t x2 = left >= 0 ? left + width - 1 : width;
    const intptr_t y2 = top >= 0 ? top + height - 1 : height;
    const Far3::GUID pluginId = TFarPlugin::GetPlugin().GetPluginGuid();
    const Far3::HANDLE handle = TFarPlugin::StartupInfo()->DialogInit(
        &pluginId, &Id, left, top, x2, y2, HelpTopic.c_str(), HostItems.data(),
        static_cast<size_t>(ControlCount), 0, Flags, &TFarDialog::DialogProc, this);
    if (handle == Far3::InvalidHandleValue)
        return false;

    Handle = handle;
    auto& registry = Registry();
    std::lock_guard<std::mutex> guard(registry.Lock);
    registry.Dialogs.push_back(this);
    return true;
}

bool TFarDialog::Execute(TButton*& Button)
{
    Button = nullptr;
    if (!IsActive() && !Build())
        throw EFarDialogError(u"Failed to build dialog " + Base::TypeName(typeid(*this)));

    intptr_t index = -1;
    {
        Base::ScopeGuard repaint([] { TFarScreen::RedrawAll(); });
        index = TFarPlugin::StartupInfo()->DialogRun(Handle);
    }
    // A handler failed and the dialog was closed for it: report that, whatever closed it.
    if (HandlerFailure)
        std::rethrow_exception(std::exchange(HandlerFailure, nullptr));

    Button = dynamic_cast<TButton*>(ControlAt(index));
    return Button != nullptr;
}

void TFarDialog::ReleaseHandle()
{
    if (!IsActive())
        return;
    {
        auto& registry = Registry();
        std::lock_guard<std::mutex> guard(registry.Lock);
        std::erase(registry.Dialogs, this);
    }
    const Far3::HANDLE handle = std::exchange(Handle, Far3::InvalidHandleValue);
    TFarPlugin::StartupInfo()->DialogFree(handle);
}

intptr_t TFarDialog::SendDialogMessage(intptr_t Msg, intptr_t Param1, void* Param2)
{
    return TFarPlugin::StartupInfo()->SendDlgMessage(Handle, Msg, Param1, Param2);
}

void TFarDialog::LockRedraw()
{
    SendDialogMessage(Far3::DM_ENABLEREDRAW, 0, nullptr);
    ++RedrawLock;
}

void TFarDialog::UnlockRedraw()
{
    SendDialogMessage(Far3::DM_ENABLEREDRAW, 1, nullptr);
    --RedrawLock;
    if (RedrawLock <= 0)
        Redraw();
}

void TFarDialog::Redraw()
{
    if (IsActive())
        SendDialogMessage(Far3::DM_REDRAW, 0, nullptr);
}

TFarDialog* TFarDialog::FindDialog(Far3::HANDLE hDlg)
{
    auto& registry = Registry();
    std::lock_guard<std::mutex> guard(registry.Lock);
    for (TFarDialog* dialog : registry.Dialogs)
        if (dialog->IsActive() && dialog->Handle == hDlg)
            return dialog;
    return nullptr;
}

intptr_t TFarDialog::DialogProc(Far3::HANDLE hDlg, intptr_t Msg, intptr_t Param1, void* Param2) noexcept
{
    TFarDialog* dialog = nullptr;
    try {
        dialog = FindDialog(hDlg);
        // After a failure the dialog is closing: the host answers for it.
        if (dialog != nullptr && !dialog->HandlerFailure) {
            intptr_t result = 0;
            if (dialog->HandleMessage(Msg, Param1, Param2, result))
                return result;
        }
    } catch (...) {
        // Nothing may travel through the host's frames: keep the failure for
        // Execute and close the dialog.
        if (dialog != nullptr && !dialog->HandlerFailure) {
            dialog->HandlerFailure = std::current_exception();
            try {
                TFarPlugin::StartupInfo()->SendDlgMessage(hDlg, Far3::DM_CLOSE, -1, nullptr);
            } catch (...) {
            }
        }
    }
    try {
        return TFarPlugin::StartupInfo()->DefDlgProc(hDlg, Msg, Param1, Param2);
    } catch (...) {
        return 0;
    }
}

// ---------------------------------------------------------------- geometry

void TFarDialog::GetBounds(int32_t& Left, int32_t& Top, int32_t& Width, int32_t& Height)
{
    Left = this->Left;
    Top = this->Top;
    Width = this->Width;
    Height = this->Height;
    if (!IsActive())
        return;
    Far3::SMALL_RECT rect{};
    if (SendDialogMessage(Far3::DM_GETDLGRECT, 0, &rect) != 0) {
        Left = rect.Left;
        Top = rect.Top;
        Width = rect.Right - rect.Left + 1;
        Height = rect.Bottom - rect.Top + 1;
    }
}

void TFarDialog::SetPosition(int32_t Left, int32_t Top)
{
    this->Left = Left;
    this->Top = Top;
    if (!IsActive())
        return;
    Far3::COORD position{Base::ClampToInt16(Left < 0 ? -1 : Left), Base::ClampToInt16(Top < 0 ? -1 : Top)};
    SendDialogMessage(Far3::DM_MOVEDIALOG, 1, &position);
}

void TFarDialog::GetClientRect(int32_t& Left, int32_t& Top, int32_t& Width, int32_t& Height)
{
    GetBounds(Left, Top, Width, Height);
    Left += 3;
    Top += 1;
    Width -= 6;
    Height -= 2;
}

void TFarDialog::SetSize(int32_t Width, int32_t Height)
{
    if (Width <= 0)
        throw EFarDialogError(Base::Format(u"Invalid value for dialog width (%d)", {Width}));
    if (Height <= 0)
        throw EFarDialogError(Base::Format(u"Invalid value for dialog height (%d)", {Height}));
    this->Width = Width;
    this->Height = Height;
    if (!IsActive())
        return;
    Far3::COORD size{Base::ClampToInt16(Width), Base::ClampToInt16(Height)};
    SendDialogMessage(Far3::DM_RESIZEDIALOG, 0, &size);
}

void TFarDialog::AdjustSize(int32_t& Width, int32_t& Height)
{
    Width -= 4;
    Height -= 4;
}

void TFarDialog::Columnize(const TColumnWidths& Widths, const TControlRow& Controls, int32_t X, int32_t Y)
{
    if (Widths.size() < Controls.size())
        throw EFarError(u"Invalid TFarDialog.Columnize call");
    for (size_t i = 0; i < Controls.size(); ++i) {
        if (TControl* control = Controls[i]) {
            control->SetLeft(X);
            control->SetWidth(Widths[i] - 1);
            if (i > 0)
                control->SetTop(Y);
        }
        X += Widths[i];
    }
}

void TFarDialog::Columnize(const TColumnWidths& Widths, const TControlRow& Controls, int32_t X)
{
    if (Controls.empty() || Controls.front() == nullptr)
        throw EFarError(u"Invalid TFarDialog.Columnize call");
    Columnize(Widths, Controls, X, Controls.front()->GetTop());
}

} // namespace Tessel
