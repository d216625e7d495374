// Line events: the dispatch order of HandleCommEvent, the event thread's hand-off, and the
// guarantee that nothing is dispatched once Close has returned.
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "PortFixture.h"

namespace {
// Collects the names of the handlers called, in order, from whichever thread calls them.
class HandlerLog {
public:
    void Add(const std::string& entry) {
        {
            std::lock_guard<std::mutex> guard(mutex_);
            entries_.push_back(entry);
        }
        changed_.notify_all();
    }
    std::vector<std::string> Entries() {
        std::lock_guard<std::mutex> guard(mutex_);
        return entries_;
    }
    // Waits (5 s at most, so that a fault fails instead of hanging) for count entries.
    bool WaitFor(size_t count) {
        std::unique_lock<std::mutex> lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(5),
                                 [&] { return entries_.size() >= count; });
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::string> entries_;
};

void AttachAll(TThreadComm& port, HandlerLog& log) {
    const auto named = [&log](const char* name) {
        return [&log, name](TThreadComm&) { log.Add(name); };
    };
    port.OnBreak = named("Break");
    port.OnCts = named("Cts");
    port.OnDsr = named("Dsr");
    port.OnRing = named("Ring");
    port.OnRlsd = named("Rlsd");
    port.OnRxFlag = named("RxFlag");
    port.OnTxEmpty = named("TxEmpty");
    port.OnError = [&log](TThreadComm&, int32_t errors) {
        log.Add("Error " + std::to_string(errors));
    };
    port.OnRxChar = [&log](TThreadComm&, uint32_t count) {
        log.Add("RxChar " + std::to_string(count));
    };
    port.OnComStatEvent = [&log](TThreadComm&, uint32_t status, const CommStatus& comStat) {
        log.Add("ComStat " + std::to_string(status) + " in " + std::to_string(comStat.InQue));
    };
}
} // namespace

TEST(CommEventMask, SumsTheBitsOfTheChosenEvents) {
    EXPECT_EQ(TCommEventThread::EventMask(AllCommEventTypes), 0x1FFu);
    EXPECT_EQ(TCommEventThread::EventMask(0), 0u);
    EXPECT_EQ(TCommEventThread::EventMask(CommSet<TCommEventTypes>({evBreak, evRing, evTxEmpty})),
              64u + 256u + 4u);
    EXPECT_EQ(
        TCommEventThread::EventMask(CommSet<TCommEventTypes>({evCts, evDsr, evError, evRlsd})),
        8u + 16u + 128u + 32u);
    EXPECT_EQ(TCommEventThread::EventMask(CommSet<TCommEventTypes>({evRxChar, evRxFlag})), 3u);
}

TEST_F(PortOnVirtualLine, DispatchCallsHandlersInTheFixedOrderThenComStat) {
    HandlerLog log;
    AttachAll(port, log);
    port.Open();
    line.Arrive({1, 2, 3});
    line.SetErrors(ceFrame | ceOverrun);
    port.HandleCommEvent(nullptr, 0x1FF);
    EXPECT_EQ(log.Entries(),
              (std::vector<std::string>{"Break", "Cts", "Dsr", "Error 10", "Ring", "Rlsd",
                                        "RxChar 3", "RxFlag", "TxEmpty", "ComStat 511 in 3"}));
    // The error flags were read and cleared by that dispatch.
    port.HandleCommEvent(nullptr, evbErr);
    EXPECT_EQ(log.Entries().at(10), "Error 0");
}

TEST_F(PortOnVirtualLine, RxCharIsSkippedWhenTheQueueIsAlreadyEmpty) {
    HandlerLog log;
    AttachAll(port, log);
    port.Open();
    port.HandleCommEvent(nullptr, evbRxChar | evbTxEmpty);
    EXPECT_EQ(log.Entries(), (std::vector<std::string>{"TxEmpty", "ComStat 5 in 0"}));
}

TEST_F(PortOnVirtualLine, EventThreadHandsEventsToThePortOneAtATime) {
    HandlerLog log;
    AttachAll(port, log);
    std::atomic<TThreadComm*> sender{nullptr};
    std::atomic<bool> onCallerThread{false};
    const std::thread::id caller = std::this_thread::get_id();
    port.OnCts = [&](TThreadComm& from) {
        sender = &from;
        onCallerThread = std::this_thread::get_id() == caller;
        log.Add("Cts");
    };
    port.Open();
    line.Arrive({7, 7});
    line.RaiseEvent(evbCts | evbRxChar);
    ASSERT_TRUE(log.WaitFor(3));
    EXPECT_EQ(log.Entries(), (std::vector<std::string>{"Cts", "RxChar 2", "ComStat 9 in 2"}));
    EXPECT_EQ(sender.load(), &port);
    EXPECT_FALSE(onCallerThread);
    line.RaiseEvent(evbRing);
    ASSERT_TRUE(log.WaitFor(5));
    EXPECT_EQ(log.Entries().at(3), "Ring");
    port.Close(); // before the log goes: the handlers write to it
}

TEST_F(PortOnVirtualLine, NoEventsWhenNoneAreMonitored) {
    port.SetMonitorEvents(0);
    port.Open();
    EXPECT_EQ(line.EventMask(), 0u);
    std::atomic<int> calls{0};
    port.OnComStatEvent = [&](TThreadComm&, uint32_t, const CommStatus&) { ++calls; };
    line.RaiseEvent(0x1FF);
    port.Close(); // joins the event thread: anything delivered would have run by now
    EXPECT_EQ(calls, 0);
}

TEST_F(PortOnVirtualLine, CloseDoesNotWaitForALineEventAndStopsDispatch) {
    HandlerLog log;
    AttachAll(port, log);
    port.Open();
    auto closed = std::async(std::launch::async, [&] { port.Close(); });
    ASSERT_EQ(closed.wait_for(std::chrono::seconds(5)), std::future_status::ready);
    line.RaiseEvent(0x1FF);
    EXPECT_TRUE(log.Entries().empty());
    // The thread's last act: both queues aborted and emptied.
    EXPECT_EQ(line.Purges().back(), 15u);
}

TEST_F(PortOnVirtualLine, NoHandlerRunsAfterCloseReturnsEvenOneAlreadyRunning) {
    std::mutex gate;
    std::condition_variable opened;
    bool started = false, release = false;
    std::atomic<bool> running{false};
    std::atomic<int> calls{0};
    port.OnCts = [&](TThreadComm&) {
        running = true;
        ++calls;
        std::unique_lock<std::mutex> lock(gate);
        started = true;
        opened.notify_all();
        opened.wait_for(lock, std::chrono::seconds(5), [&] { return release; });
        running = false;
    };
    port.Open();
    line.RaiseEvent(evbCts);
    {
        std::unique_lock<std::mutex> lock(gate);
        ASSERT_TRUE(opened.wait_for(lock, std::chrono::seconds(5), [&] { return started; }));
    }
    auto closed = std::async(std::launch::async, [&] { port.Close(); });
    // Close waits for the running handler; let it finish.
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    {
        std::lock_guard<std::mutex> lock(gate);
        release = true;
    }
    opened.notify_all();
    ASSERT_EQ(closed.wait_for(std::chrono::seconds(5)), std::future_status::ready);
    EXPECT_FALSE(running);
    line.RaiseEvent(evbCts); // no thread any more to deliver it
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(calls, 1);
}

TEST_F(PortOnVirtualLine, AHandlerMayCloseItsOwnPort) {
    std::atomic<bool> closedInside{false};
    port.OnRing = [&](TThreadComm& sender) {
        sender.Close();
        closedInside = !sender.Enabled();
    };
    port.Open();
    line.RaiseEvent(evbRing);
    for (int i = 0; i < 500 && !closedInside; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_TRUE(closedInside);
    for (int i = 0; i < 500 && line.IsOpen(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_FALSE(line.IsOpen());
    port.Open(); // and the port opens again afterwards
    EXPECT_TRUE(port.Enabled());
    port.Close();
}
