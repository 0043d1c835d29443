// Delayed change reports of edits: a burst of changes gives one report from
// the edit's worker thread, the worker ends promptly, and a failing handler
// leaves the process alone. Waits are bounded generously; nothing here
// depends on how fast a loaded machine is.
#include "DialogTestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <future>
#include <mutex>
#include <stdexcept>
#include <thread>

using namespace Tessel;
using namespace TestSupport;
using namespace std::chrono_literals;

namespace {

// The reports the change handler received, on whatever thread.
struct Reports {
    std::mutex Lock;
    std::condition_variable Arrived;
    int Count = 0;
    std::thread::id LastThread;

    // A handler that raises on its first `failing` reports.
    TFarDialog::TAllowEvent Handler(int failing = 0)
    {
        return [this, failing](TFarDialog::TControl&, bool&) {
            std::lock_guard<std::mutex> guard(Lock);
            ++Count;
            LastThread = std::this_thread::get_id();
            Arrived.notify_all();
            if (Count <= failing)
                throw std::runtime_error("handler failure");
        };
    }
    bool WaitFor(int count)
    {
        std::unique_lock<std::mutex> guard(Lock);
        return Arrived.wait_for(guard, 30s, [&] { return Count >= count; });
    }
    std::pair<int, bool> Received() // count, and whether the last came from this thread
    {
        std::lock_guard<std::mutex> guard(Lock);
        return {Count, LastThread == std::this_thread::get_id()};
    }
};

struct EditFixture {
    FakeHost Host;
    std::unique_ptr<TTestDialog> Dialog = TFarDialog::Create<TTestDialog>();
    TFarDialog::TEdit* Edit = Dialog->AddEdit(0, 0, 10, u"");
    Reports Got;

    explicit EditFixture(uint32_t delay, int failing = 0)
    {
        Edit->SetDelay(delay);
        Edit->SetOnChange(Got.Handler(failing));
    }
};

TEST(DelayedChange, WithoutDelayReportsAtOnceAndStartsNoWorker)
{
    EditFixture f(0);
    EXPECT_TRUE(f.Edit->DoChange());
    EXPECT_EQ(f.Got.Received(), std::make_pair(1, true));
    EXPECT_FALSE(f.Edit->HasThread());
}

TEST(DelayedChange, BurstOfChangesGivesOneReport)
{
    EditFixture f(100);
    EXPECT_FALSE(f.Edit->HasThread());
    for (int burst = 1; burst <= 2; ++burst) {
        for (int i = 0; i < 5; ++i)
            EXPECT_TRUE(f.Edit->DoChange());
        ASSERT_TRUE(f.Got.WaitFor(burst));
        std::this_thread::sleep_for(400ms);
        EXPECT_EQ(f.Got.Received(), std::make_pair(burst, false));
    }
}

TEST(DelayedChange, StoppingInsideTheQuietPeriodDoesNotWaitItOut)
{
    EditFixture f(10'000);
    f.Edit->DoChange();
    std::this_thread::sleep_for(50ms);
    const auto start = std::chrono::steady_clock::now();
    f.Edit->StopThread();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 10s);
    EXPECT_FALSE(f.Edit->HasThread());

    f.Edit->DoChange();
    f.Dialog->DeleteControl(*f.Edit); // the worker ends with its edit
    EXPECT_EQ(f.Got.Received().first, 0);
}

// A report under way while its edit, or every control, is removed: the
// removal waits for it, so the report still finds its edit in its slot and
// the later control in place.
TEST(DelayedChange, EveryWorkerStopsBeforeAControlGoes)
{
    struct Case {
        const char* What;
        std::function<void(TTestDialog&, TFarDialog::TEdit&)> Remove;
    };
    const Case cases[] = {
        {"DeleteControl", [](TTestDialog& dialog, TFarDialog::TEdit& edit) { dialog.DeleteControl(edit); }},
        {"ClearControls", [](TTestDialog& dialog, TFarDialog::TEdit&) { dialog.ClearControls(); }},
    };
    for (const Case& c : cases) {
        FakeHost host;
        std::unique_ptr<TTestDialog> dialog = TFarDialog::Create<TTestDialog>();
        TFarDialog::TEdit* edit = dialog->AddEdit(0, 0, 10, u"");
        dialog->AddEdit(0, 1, 10, u"");
        std::promise<void> entered;
        std::atomic<int32_t> indexSeen{-2};
        std::atomic<int32_t> countSeen{-2};
        edit->SetDelay(1);
        edit->SetOnChange([&](TFarDialog::TControl& control, bool&) {
            entered.set_value();
            // Time for the removal to go ahead, were it not waiting.
            std::this_thread::sleep_for(300ms);
            indexSeen = control.GetIndex();
            countSeen = dialog->GetControlCount();
        });
        edit->DoChange();
        entered.get_future().wait();
        c.Remove(*dialog, *edit);
        EXPECT_EQ(indexSeen.load(), 0) << c.What;
        EXPECT_EQ(countSeen.load(), 2) << c.What;
    }
}

TEST(DelayedChange, FailingHandlerLeavesTheWorkerRunning)
{
    EditFixture f(20, 1);
    f.Edit->DoChange();
    ASSERT_TRUE(f.Got.WaitFor(1));
    f.Edit->DoChange();
    ASSERT_TRUE(f.Got.WaitFor(2));
}

TEST(DelayedChange, OneWorkerForCallersArrivingTogether)
{
    EditFixture f(50);
    TFarDialog::TCustomEdit::TDelayedChangeThread* other = nullptr;
    std::thread caller([&] { other = &f.Edit->GetThread(); });
    TFarDialog::TCustomEdit::TDelayedChangeThread* mine = &f.Edit->GetThread();
    caller.join();
    EXPECT_EQ(mine, other);
}

} // namespace
