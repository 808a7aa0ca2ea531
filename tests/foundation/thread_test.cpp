#include "foundation/callback.h"
#include "foundation/lock.h"
#include "foundation/state.h"
#include "foundation/thread.h"
#include "platform/serial_device.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <pty.h>
#include <unistd.h>

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

// Work that records what it saw while running and, when asked to, runs until stopped.
class Work : public QORRunnable_c {
public:
    void Run() override {
        ++runs;
        QORThread_c* t = Thread();
        sawThread = t;
        sawRunState = t != nullptr ? t->RunState() : 0;
        sawStopQuery = QORCurrentThreadStopRequested();
        looked = true;
        while (untilStopped && t != nullptr && t->StopRequest() != 3) {
            std::this_thread::sleep_for(1ms);
        }
        stoppedByQuery = QORCurrentThreadStopRequested();
        if (ignoreStopFor.count() > 0) {
            std::this_thread::sleep_for(ignoreStopFor);
            finishedLate = true;
        }
    }
    std::uint8_t CanStart() override { return refuse ? 254 : 2; }

    std::atomic<int> runs{0};
    std::atomic<QORThread_c*> sawThread{nullptr};
    std::atomic<std::uint8_t> sawRunState{0};
    std::atomic<bool> sawStopQuery{true};
    std::atomic<bool> looked{false};
    std::atomic<bool> stoppedByQuery{false};
    std::atomic<bool> finishedLate{false};
    bool untilStopped = false;
    bool refuse = false;
    std::chrono::milliseconds ignoreStopFor{0};
};

void WaitUntilStopped(const QORThread_c& t) {
    const auto end = Clock::now() + 5s;
    while (t.RunState() != 253 && Clock::now() < end) {
        std::this_thread::sleep_for(1ms);
    }
}

TEST(QORThread, StartRunsTheWorkAndAnswersOnlyOnceItIsRunning) {
    QORThread_c thread;
    Work work;
    work.untilStopped = true;
    ASSERT_EQ(thread.Start(&work), 2);
    EXPECT_EQ(thread.RunState(), 3); // still running: it waits for the stop
    EXPECT_EQ(thread.StopRequest(), 253);
    while (!work.looked) {
        std::this_thread::sleep_for(1ms);
    }
    EXPECT_EQ(thread.Terminate(), 2);
    EXPECT_EQ(thread.RunState(), 253);
    EXPECT_EQ(work.runs, 1);
    EXPECT_EQ(work.sawThread, &thread);
    EXPECT_EQ(work.sawRunState, 3);
    EXPECT_FALSE(work.sawStopQuery);
    EXPECT_TRUE(work.stoppedByQuery) << "the worker's stop query did not see the request";
    EXPECT_EQ(work.Thread(), nullptr) << "the runnable's own thread pointer is given back";
    EXPECT_FALSE(QORCurrentThreadStopRequested()) << "only workers see their stop request";
}

TEST(QORThread, StartRefusals) {
    QORThread_c thread;
    EXPECT_EQ(thread.Start(nullptr), 254); // no work ever given
    EXPECT_EQ(thread.RunState(), 253);

    Work refusing;
    refusing.refuse = true;
    EXPECT_EQ(thread.Start(&refusing), 254);
    EXPECT_EQ(thread.RunState(), 253);
    EXPECT_EQ(refusing.runs, 0);

    Work running;
    running.untilStopped = true;
    ASSERT_EQ(thread.Start(&running), 2);
    Work other;
    EXPECT_EQ(thread.Start(&other), 254) << "a running thread takes no new work";
    thread.RequestStop();
    WaitUntilStopped(thread);
    EXPECT_EQ(other.runs, 0);
    EXPECT_EQ(running.runs, 1);
    EXPECT_EQ(thread.Terminate(), 2);
    EXPECT_EQ(thread.Terminate(), 2) << "terminating a stopped thread is harmless";
}

TEST(QORThread, RestartsAfterTheWorkEndsWithTheSameOrNewWork) {
    QORThread_c thread;
    Work work;
    for (int i = 0; i < 20; ++i) {
        // Each start waits for its own worker to be running, never a finished earlier one.
        ASSERT_EQ(thread.Start(i % 2 == 0 ? &work : nullptr), 2) << i;
        WaitUntilStopped(thread);
    }
    EXPECT_EQ(work.runs, 20);
    Work second;
    ASSERT_EQ(thread.Start(&second), 2);
    WaitUntilStopped(thread);
    EXPECT_EQ(second.runs, 1);
    EXPECT_EQ(work.runs, 20);
}

TEST(QORThread, DestroyingAThreadStopsAndJoinsItsWork) {
    Work work;
    work.untilStopped = true;
    const auto start = Clock::now();
    {
        QORThread_c thread;
        ASSERT_EQ(thread.Start(&work), 2);
    }
    EXPECT_TRUE(work.stoppedByQuery);
    EXPECT_LT(Clock::now() - start, 1s);
}

TEST(QORThread, WorkThatIgnoresTheStopIsWaitedForNotKilled) {
    Work work;
    work.ignoreStopFor = 400ms;
    const auto start = Clock::now();
    {
        QORThread_c thread;
        ASSERT_EQ(thread.Start(&work), 2);
        testing::internal::CaptureStderr();
    }
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_GE(Clock::now() - start, 400ms);
    EXPECT_TRUE(work.finishedLate) << "the work was cut short";
    EXPECT_NE(log.find("250 ms"), std::string::npos) << log;
}

TEST(QORThread, SerialReadOnAWorkerEndsWhenTheThreadIsStopped) {
    int master = -1;
    int slave = -1;
    char name[256] = {};
    ASSERT_EQ(::openpty(&master, &slave, name, nullptr, nullptr), 0);
    platform::SerialDevice device;
    ASSERT_TRUE(device.Open(name));
    device.SetStopQuery(&QORCurrentThreadStopRequested);

    class Reader : public QORRunnable_c {
    public:
        explicit Reader(platform::SerialDevice& d) : dev(d) {}
        void Run() override {
            std::uint8_t b[8];
            status = dev.Read(b, sizeof b, {0ms, 20000ms}).status;
        }
        platform::SerialDevice& dev;
        std::atomic<platform::LineStatus> status{platform::LineStatus::Ok};
    } reader(device);

    QORThread_c thread;
    ASSERT_EQ(thread.Start(&reader), 2);
    std::this_thread::sleep_for(50ms);
    const auto start = Clock::now();
    EXPECT_EQ(thread.Terminate(), 2);
    EXPECT_LT(Clock::now() - start, 500ms);
    EXPECT_EQ(reader.status, platform::LineStatus::Stopped);
    device.Close();
    ::close(master);
    ::close(slave);
}

TEST(QORState, StateNumberIsSharedSafelyAcrossThreads) {
    QORState_c state;
    EXPECT_EQ(state.GetState(), 0);
    state.SetState(-1);
    EXPECT_EQ(state.GetState(), -1);

    class Stepper : public QORRunnable_c {
    public:
        explicit Stepper(QORState_c& s) : st(s) {}
        void Run() override {
            for (std::int16_t i = 1; i <= 1000; ++i) {
                st.SetState(i);
            }
        }
        QORState_c& st;
    } stepper(state);
    QORThread_c thread;
    ASSERT_EQ(thread.Start(&stepper), 2);
    std::int16_t last = -1;
    while (thread.RunState() == 3) {
        const std::int16_t now = state.GetState();
        EXPECT_GE(now, last);
        last = now;
    }
    thread.Terminate();
    EXPECT_EQ(state.GetState(), 1000);

    state.SetTag(9);
    auto clone = state.Clone();
    ASSERT_NE(clone, nullptr);
    EXPECT_EQ(clone->Tag(), 9);
    EXPECT_EQ(dynamic_cast<QORState_c*>(clone.get()), nullptr) << "a clone is a bare object";
}

TEST(QORLock, KeepsCountersConsistent) {
    QORLock_c lock;
    long counter = 0;
    class Adder : public QORRunnable_c {
    public:
        Adder(QORLock_c& l, long& c) : lock(l), counter(c) {}
        void Run() override {
            for (int i = 0; i < 20000; ++i) {
                lock.Lock();
                ++counter;
                lock.Unlock();
            }
        }
        QORLock_c& lock;
        long& counter;
    } a(lock, counter), b(lock, counter);
    {
        QORThread_c ta;
        QORThread_c tb;
        ASSERT_EQ(ta.Start(&a), 2);
        ASSERT_EQ(tb.Start(&b), 2);
    }
    EXPECT_EQ(counter, 40000);
}

std::uint8_t Record(void* user, void* argument) {
    *static_cast<void**>(user) = argument;
    return 3;
}

TEST(QORCallback, CallsItsFunctionWithUserDataAndArgument) {
    QORCallback_c empty;
    empty.Run();
    EXPECT_EQ(empty.Status(), 254);

    void* seen = nullptr;
    QORCallback_c callback(&Record, &seen);
    QORThread_c thread;
    ASSERT_EQ(thread.Start(&callback), 2);
    thread.Terminate();
    EXPECT_EQ(callback.Status(), 3);
    EXPECT_EQ(seen, &callback) << "without an argument the callback itself is passed";

    int argument = 0;
    callback.SetArgument(&argument);
    callback.Run();
    EXPECT_EQ(seen, &argument);
}

} // namespace
