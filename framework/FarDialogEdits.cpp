#include "framework/FarDialogEdits.h"

#include <chrono>
#include <cstddef>
#include <limits>
#include <memory>

namespace Tessel {

namespace {

// What the worker reference holds while one GetThread call constructs the
// worker: an address that is neither null nor a worker.
alignas(TFarDialog::TCustomEdit::TDelayedChangeThread) std::byte CreationMarkerStorage;

TFarDialog::TCustomEdit::TDelayedChangeThread* CreationMarker()
{
    return reinterpret_cast<TFarDialog::TCustomEdit::TDelayedChangeThread*>(&CreationMarkerStorage);
}

} // namespace

// ---------------------------------------------------------------- TCustomEdit

TFarDialog::TCustomEdit::TCustomEdit(TFarDialog& Dialog, Far3::FARDIALOGITEMTYPES Type, int32_t X, int32_t Y,
                                     int32_t Width, const String& Text)
    : TControl(Dialog, Type)
{
    SetBounds(X, Y, Width, 1);
    SetText(Text);
    SetEditor(false);
    SetReadOnly(false);
    Unchanged = true;
}

TFarDialog::TCustomEdit::~TCustomEdit()
{
    StopThread();
}

void TFarDialog::TCustomEdit::InitControl()
{
    TControl::InitControl();
    // The host marks every edit unchanged when it starts; only a cleared state needs telling.
    if (DialogActive() && !Unchanged)
        SetUnchanged(false);
}

bool TFarDialog::TCustomEdit::DoChange()
{
    bool allow = true;
    if (GetDelay() > 0) {
        // The worker reports once the user pauses; the host goes on at once.
        GetThread().Signal();
        return allow;
    }
    if (const TAllowEvent handler = GetOnChange())
        handler(*this, allow);
    return allow;
}

void TFarDialog::TCustomEdit::SetUnchanged(bool Unchanged)
{
    this->Unchanged = Unchanged;
    if (DialogActive())
        SendToHost(Far3::DM_EDITUNCHANGEDFLAG, reinterpret_cast<void*>(intptr_t{Unchanged ? 1 : 0}));
}

void TFarDialog::TCustomEdit::SetEditor(bool Editor)
{
    SetFlag(Far3::DIF_EDITOR, Editor);
}

void TFarDialog::TCustomEdit::SetReadOnly(bool ReadOnly)
{
    SetFlag(Far3::DIF_READONLY, ReadOnly);
}

void TFarDialog::TCustomEdit::SetOnChange(TAllowEvent OnChange)
{
    std::lock_guard<std::mutex> guard(OnChangeLock);
    this->OnChange = std::move(OnChange);
}

TFarDialog::TAllowEvent TFarDialog::TCustomEdit::GetOnChange() const
{
    std::lock_guard<std::mutex> guard(OnChangeLock);
    return OnChange;
}

void TFarDialog::TCustomEdit::SetDelay(uint32_t Delay)
{
    this->Delay.store(Delay);
}

TFarDialog::TCustomEdit::TDelayedChangeThread& TFarDialog::TCustomEdit::GetThread()
{
    for (;;) {
        TDelayedChangeThread* current = Thread.load();
        if (current == nullptr) {
            if (!Thread.compare_exchange_strong(current, CreationMarker()))
                continue;
            std::unique_ptr<TDelayedChangeThread> created;
            try {
                created = std::make_unique<TDelayedChangeThread>(*this);
            } catch (...) {
                Thread.store(nullptr);
                throw;
            }
            Thread.store(created.get());
            return *created.release();
        }
        if (current == CreationMarker()) {
            // Another caller is constructing it.
            std::this_thread::yield();
            continue;
        }
        return *current;
    }
}

void TFarDialog::TCustomEdit::StopThread()
{
    for (;;) {
        TDelayedChangeThread* current = Thread.load();
        if (current == nullptr)
            return;
        if (current == CreationMarker()) {
            std::this_thread::yield();
            continue;
        }
        if (Thread.compare_exchange_strong(current, nullptr)) {
            std::unique_ptr<TDelayedChangeThread> worker(current);
            worker->Terminate();
            return;
        }
    }
}

// ---------------------------------------------------------------- TDelayedChangeThread

TFarDialog::TCustomEdit::TDelayedChangeThread::TDelayedChangeThread(TCustomEdit& Edit)
    : Edit(Edit)
    , Worker([this] { Run(); })
{
}

TFarDialog::TCustomEdit::TDelayedChangeThread::~TDelayedChangeThread()
{
    Terminate();
    if (Worker.joinable())
        Worker.join();
}

void TFarDialog::TCustomEdit::TDelayedChangeThread::Signal()
{
    ChangeEvent.Set();
}

void TFarDialog::TCustomEdit::TDelayedChangeThread::Terminate()
{
    TerminateRequested.store(true);
    // Wakes a worker that waits for the next change.
    ChangeEvent.Set();
}

void TFarDialog::TCustomEdit::TDelayedChangeThread::Run()
{
    using Base::ManualResetEvent;
    for (;;) {
        ChangeEvent.Wait();
        if (Terminated())
            return;
        ChangeEvent.Reset();
        if (Edit.GetDelay() > 0) {
            // The quiet period: every further change starts it again.
            ManualResetEvent::WaitResult waited = ManualResetEvent::WaitResult::Signalled;
            while (waited == ManualResetEvent::WaitResult::Signalled && !Terminated()) {
                waited = ChangeEvent.Wait(std::chrono::milliseconds(Edit.GetDelay()));
                ChangeEvent.Reset();
            }
            if (Terminated())
                return;
        }
        // The report runs on this thread; a handler that fails must not end
        // the process, and there is no caller to hand the failure to.
        try {
            bool allow = true;
            if (const TAllowEvent handler = Edit.GetOnChange())
                handler(Edit, allow);
        } catch (...) {
        }
    }
}

// ---------------------------------------------------------------- TEdit, TListbox

TFarDialog::TEdit::TEdit(TFarDialog& Dialog, int32_t X, int32_t Y, int32_t Width, const String& Text)
    : TCustomEdit(Dialog, Far3::DI_EDIT, X, Y, Width, Text)
{
}

TFarDialog::TListbox::TListbox(TFarDialog& Dialog, int32_t X, int32_t Y, int32_t Width, int32_t Height)
    : TControl(Dialog, Far3::DI_LISTBOX)
{
    SetBounds(X, Y, Width, Height);
}

int32_t TFarDialog::TListbox::GetMaxHeight()
{
    return std::numeric_limits<int32_t>::max();
}

} // namespace Tessel
