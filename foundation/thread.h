// Units of work and the threads that run them. A thread is never killed: stopping one asks its
// work to stop (the work and the library's waits see the request) and then joins it.
#pragma once

#include "foundation/lock.h"
#include "foundation/object.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

class QORThread_c;

class QORRunnable_c {
public:
    QORRunnable_c() = default;
    virtual ~QORRunnable_c() = default;
    QORRunnable_c(const QORRunnable_c&) = delete;
    QORRunnable_c& operator=(const QORRunnable_c&) = delete;

    // Runs the work; the thread calls it once per start.
    virtual void Execute() { Run(); }
    // 2 when the work may start; subclasses answer otherwise to refuse a start.
    virtual std::uint8_t CanStart() { return 2; }
    virtual void Run() = 0;

    void SetThread(QORThread_c* thread) { m_thread.store(thread); }
    // The thread running this work (or the one its owner gave it); null when none.
    QORThread_c* Thread() const { return m_thread.load(); }

private:
    std::atomic<QORThread_c*> m_thread{nullptr};
};

class QORThread_c : public QORObject_c {
public:
    // How long a stop may take before it is reported.
    static constexpr std::chrono::milliseconds kStopWait{250};

    QORThread_c() = default;
    ~QORThread_c() override;

    // Starts the work (the given runnable, or the previous one when null) on a new thread once
    // the thread is stopped. 2 only after the worker has marked itself running; 254 when there
    // is no work, the work refuses, the thread is running or no thread could be made. The
    // runnable stays its owner's: the thread never deletes it.
    std::uint8_t Start(QORRunnable_c* runnable);
    // Asks the work to end.
    void RequestStop() { m_stopRequest.store(3); }
    // Asks the work to end and waits for it. 2; 254 when called by the worker itself.
    std::uint8_t Terminate();
    // 3 running, 253 stopped, 254 the thread started without work.
    std::uint8_t RunState() const { return m_runState.load(); }
    // 3 when a stop is requested (also while idle), 253 while the work may go on.
    std::uint8_t StopRequest() const { return m_stopRequest.load(); }

private:
    static void Routine(QORThread_c* self);
    void Signal();
    // Joins a worker that has been asked to stop, reporting a stop slower than kStopWait.
    void JoinWorker();

    std::thread m_worker;
    QORRunnable_c* m_runnable = nullptr;
    std::atomic<std::uint8_t> m_stopRequest{3};
    std::atomic<std::uint8_t> m_runState{253};
    QORLock_c m_lock; // serialises Start and Terminate

    std::mutex m_eventMutex;
    std::condition_variable m_event;
    bool m_started = false;  // the worker has marked itself running (or failed)
    bool m_finished = false; // the worker has left the work
};

// True when the calling thread is the worker of a QORThread_c whose stop was requested. Waits of
// the library ask it, so a stop ends them early.
bool QORCurrentThreadStopRequested();
