// Host dialog events: which ones the dialog takes, which control event each
// one raises, and what the host gets back. Everything not handled here gets
// the host's default processing (DefDlgProc, in DialogProc).
#include "framework/FarDialog.h"

#include "base/Exception.h"
#include "base/ScopeGuard.h"
#include "framework/FarDialogControls.h"
#include "framework/FarDialogEdits.h"

#include <algorithm>

namespace Tessel {

namespace {

// Runs one control event. The abort-type exception ends only the event,
// which then counts as not handled; any other failure passes on.
template <typename Call>
bool RunEvent(Call&& call)
{
    try {
        call();
        return true;
    } catch (const Base::EAbort&) {
        return false;
    }
}

intptr_t ParamValue(void* Param2)
{
    return reinterpret_cast<intptr_t>(Param2);
}

} // namespace

bool TFarDialog::HandleMessage(intptr_t Msg, intptr_t Param1, void* Param2, intptr_t& Result)
{
    switch (Msg) {
    case Far3::DN_BTNCLICK:
        return DoButtonClick(Param1, Param2, Result);
    case Far3::DN_EDITCHANGE:
        return DoEditChange(Param1, Param2, Result);
    case Far3::DN_GOTFOCUS:
        return DoGotFocus(Param1, Param2, Result);
    case Far3::DN_INITDIALOG:
        return DoInitDialog(Param1, Param2, Result);
    case Far3::DN_KILLFOCUS:
        return DoKillFocus(Param1, Param2, Result);
    case Far3::DN_LISTCHANGE:
        return DoListChange(Param1, Param2, Result);
    case Far3::DN_RESIZECONSOLE:
        return DoResizeConsole(Param1, Param2, Result);
    case Far3::DN_CONTROLINPUT:
        return DoControlInput(Param1, Param2, Result);
    default:
        return false;
    }
}

bool TFarDialog::DoInitDialog(intptr_t, void*, intptr_t&)
{
    for (int32_t i = 0; i < ControlCount; ++i)
        ControlList[static_cast<size_t>(i)]->InitControl();
    // The host's own initialisation follows.
    return false;
}

// The handlers call a copy of the event, so that one that replaces its own
// handler does not destroy the code it is running.

bool TFarDialog::DoButtonClick(intptr_t Param1, void* Param2, intptr_t& Result)
{
    TControl* control = ControlAt(Param1);
    if (auto* button = dynamic_cast<TButton*>(control)) {
        const TButtonClickEvent onClick = button->OnClick;
        if (!onClick)
            return false;
        bool keepOpen = false;
        if (!RunEvent([&] { onClick(*button, keepOpen); }))
            return false;
        Result = keepOpen ? 1 : 0;
        return true;
    }
    if (auto* checkbox = dynamic_cast<TCheckbox*>(control)) {
        const TCheckboxClickEvent onClick = checkbox->OnClick;
        const intptr_t state = ParamValue(Param2);
        if (!onClick || state < Far3::BSTATE_UNCHECKED || state > Far3::BSTATE_3STATE)
            return false;
        bool allow = true;
        if (!RunEvent([&] { onClick(*checkbox, static_cast<int32_t>(state), allow); }))
            return false;
        Result = allow ? 1 : 0;
        return true;
    }
    if (auto* radio = dynamic_cast<TRadioButton*>(control)) {
        const TAllowEvent handler = Param2 != nullptr ? radio->OnCheck : radio->OnUncheck;
        if (!handler)
            return false;
        bool allow = true;
        if (!RunEvent([&] { handler(*radio, allow); }))
            return false;
        Result = allow ? 1 : 0;
        return true;
    }
    return false;
}

bool TFarDialog::DoEditChange(intptr_t Param1, void*, intptr_t& Result)
{
    auto* edit = dynamic_cast<TCustomEdit*>(ControlAt(Param1));
    if (edit == nullptr)
        return false;
    bool allow = true;
    if (!RunEvent([&] { allow = edit->DoChange(); }))
        return false;
    Result = allow ? 1 : 0;
    return true;
}

bool TFarDialog::DoGotFocus(intptr_t Param1, void*, intptr_t& Result)
{
    TControl* control = ControlAt(Param1);
    if (control == nullptr || !control->OnEnter)
        return false;
    const TNotifyEvent onEnter = control->OnEnter;
    if (!RunEvent([&] { onEnter(*control); }))
        return false;
    Result = 0;
    return true;
}

bool TFarDialog::DoKillFocus(intptr_t Param1, void*, intptr_t& Result)
{
    TControl* control = ControlAt(Param1);
    if (control == nullptr || !control->OnExit)
        return false;
    const TExitEvent onExit = control->OnExit;
    TControl* next = nullptr;
    if (!RunEvent([&] { onExit(*control, next); }))
        return false;
    // -1 lets the focus leave; a position moves it there instead.
    Result = next != nullptr ? next->GetIndex() : -1;
    return true;
}

bool TFarDialog::DoListChange(intptr_t Param1, void* Param2, intptr_t& Result)
{
    auto* listbox = dynamic_cast<TListbox*>(ControlAt(Param1));
    if (listbox == nullptr || !listbox->OnChange)
        return false;
    const TListChangeEvent onChange = listbox->OnChange;
    bool allow = true;
    if (!RunEvent([&] { onChange(*listbox, ParamValue(Param2), allow); }))
        return false;
    Result = allow ? 1 : 0;
    return true;
}

bool TFarDialog::DoControlInput(intptr_t Param1, void* Param2, intptr_t& Result)
{
    TControl* control = ControlAt(Param1);
    const auto* input = static_cast<const Far3::INPUT_RECORD*>(Param2);
    if (control == nullptr || !control->OnKeyDown || input == nullptr)
        return false;
    if (input->EventType != Far3::InputEvent::Key || input->Event.KeyEvent.bKeyDown == 0)
        return false;
    const TKeyDownEvent onKeyDown = control->OnKeyDown;
    const Far3::KEY_EVENT_RECORD& key = input->Event.KeyEvent;
    bool handled = false;
    if (!RunEvent([&] { onKeyDown(*control, key.wVirtualKeyCode, key.dwControlKeyState, handled); }))
        return false;
    if (!handled)
        return false;
    Result = 1;
    return true;
}

bool TFarDialog::DoResizeConsole(intptr_t, void* Param2, intptr_t& Result)
{
    const auto* console = static_cast<const Far3::COORD*>(Param2);
    if (console == nullptr)
        return false;
    LockRedraw();
    Base::ScopeGuard unlock([this] { UnlockRedraw(); });
    int32_t width = console->X;
    int32_t height = console->Y;
    AdjustSize(width, height);
    // A console smaller than the dialog's margins leaves it as small as it
    // can be, as at construction, rather than failing the running dialog.
    SetSize(std::max(width, 1), std::max(height, 1));
    // A centred dialog is centred again.
    SetPosition(Left, Top);
    Result = 1;
    return true;
}

} // namespace Tessel
