// Controls whose content the user changes: edit fields and list boxes.
//
// An edit reports each change of its text through its change handler:
// at once, inside the host's change event, or, with a Delay, once the user
// has stopped typing for that many milliseconds. The delayed report comes
// from a worker thread of the edit that turns a burst of changes into one
// report; the handler then runs on that thread while the host's main thread
// goes on running the dialog.
#pragma once

#include "base/ManualResetEvent.h"
#include "framework/FarDialogControls.h"

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

namespace Tessel {

class TFarDialog::TCustomEdit : public TControl {
public:
    class TDelayedChangeThread;

    // Stops the worker first, so that it never outlives the edit.
    ~TCustomEdit() override;

    // At the start of the host dialog: applies a cleared unchanged state.
    void InitControl() override;
    // Stops the delayed-change worker.
    void StopBackgroundWork() override { StopThread(); }
    // The reaction to a change of the text: false refuses it.
    virtual bool DoChange();

    // The host's "unchanged" state of the edit line: the next typed
    // character replaces the whole text. True after construction.
    void SetUnchanged(bool Unchanged);
    bool GetUnchanged() const { return Unchanged; }
    // Part of a multi-line editor formed by consecutive edits.
    void SetEditor(bool Editor);
    void SetReadOnly(bool ReadOnly);

    // The change handler and the quiet period before a change is reported
    // (0: at once). Both may be set at any time; the worker reads them.
    void SetOnChange(TAllowEvent OnChange);
    TAllowEvent GetOnChange() const;
    void SetDelay(uint32_t Delay);
    uint32_t GetDelay() const { return Delay.load(); }

    // The worker, created on first use (also when two threads ask at once).
    TDelayedChangeThread& GetThread();
    bool HasThread() const { return Thread.load() != nullptr; }
    // Ends and destroys the worker, if there is one.
    void StopThread();

protected:
    TCustomEdit(TFarDialog& Dialog, Far3::FARDIALOGITEMTYPES Type, int32_t X, int32_t Y, int32_t Width,
                const String& Text);

private:
    bool Unchanged = true;
    mutable std::mutex OnChangeLock;
    TAllowEvent OnChange;
    std::atomic<uint32_t> Delay{0};
    // Owned: created by GetThread, destroyed by StopThread. Holds the
    // creation marker while one GetThread call is constructing it.
    std::atomic<TDelayedChangeThread*> Thread{nullptr};
};

// Reports the changes of one edit after its quiet period, from its own thread.
class TFarDialog::TCustomEdit::TDelayedChangeThread {
public:
    // Starts the thread at once.
    explicit TDelayedChangeThread(TCustomEdit& Edit);
    // Requests termination and waits until the thread has ended; one that
    // is inside a quiet period ends within one Delay.
    ~TDelayedChangeThread();
    TDelayedChangeThread(const TDelayedChangeThread&) = delete;
    TDelayedChangeThread& operator=(const TDelayedChangeThread&) = delete;

    // One more change to report.
    void Signal();
    void Terminate();
    bool Terminated() const { return TerminateRequested.load(); }

private:
    void Run();

    Base::ManualResetEvent ChangeEvent;
    TCustomEdit& Edit;
    std::atomic<bool> TerminateRequested{false};
    // Last: the thread starts once everything it uses exists.
    std::thread Worker;
};

class TFarDialog::TEdit : public TCustomEdit {
protected:
    TEdit(TFarDialog& Dialog, int32_t X, int32_t Y, int32_t Width, const String& Text);

private:
    friend class TFarDialog;
};

class TFarDialog::TListbox : public TControl {
public:
    // A list box may be as high as it is placed.
    int32_t GetMaxHeight() override;

    // The list's lines.
    std::vector<String> Items;
    // The current item is about to become NewItem; clearing Allow refuses it.
    TListChangeEvent OnChange;

protected:
    TListbox(TFarDialog& Dialog, int32_t X, int32_t Y, int32_t Width, int32_t Height);
};

} // namespace Tessel
