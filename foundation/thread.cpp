#include "foundation/thread.h"

#include <iostream>
#include <system_error>

namespace {

thread_local QORThread_c* t_currentThread = nullptr;

class LockScope {
public:
    explicit LockScope(QORLock_c& lock) : m_lock(lock) { m_lock.Lock(); }
    ~LockScope() { m_lock.Unlock(); }
    LockScope(const LockScope&) = delete;
    LockScope& operator=(const LockScope&) = delete;

private:
    QORLock_c& m_lock;
};

} // namespace

bool QORCurrentThreadStopRequested() {
    return t_currentThread != nullptr && t_currentThread->StopRequest() == 3;
}

QORThread_c::~QORThread_c() {
    RequestStop();
    if (m_worker.joinable()) {
        if (m_worker.get_id() == std::this_thread::get_id()) {
            m_worker.detach(); // a worker deleting its own thread object cannot wait for itself
        } else {
            JoinWorker();
        }
    }
}

void QORThread_c::Signal() {
    std::lock_guard<std::mutex> guard(m_eventMutex);
    m_started = true;
    m_event.notify_all();
}

void QORThread_c::Routine(QORThread_c* self) {
    t_currentThread = self;
    QORRunnable_c* runnable = self->m_runnable;
    if (runnable != nullptr) {
        QORThread_c* previous = runnable->Thread();
        runnable->SetThread(self);
        self->m_runState.store(3);
        self->Signal();
        runnable->Execute();
        // Give the runnable back before reporting the stop: its owner may delete it then.
        runnable->SetThread(previous);
        self->m_runState.store(253);
    } else {
        self->m_runState.store(254);
    }
    t_currentThread = nullptr;
    std::lock_guard<std::mutex> guard(self->m_eventMutex);
    self->m_started = true;
    self->m_finished = true;
    self->m_event.notify_all();
}

void QORThread_c::JoinWorker() {
    const auto begin = std::chrono::steady_clock::now();
    bool finished = false;
    {
        std::unique_lock<std::mutex> guard(m_eventMutex);
        finished = m_event.wait_for(guard, kStopWait, [this] { return m_finished; });
    }
    if (!finished) {
        std::cerr << "QORThread_c: the worker has not stopped after " << kStopWait.count()
                  << " ms; waiting for it\n";
    }
    m_worker.join();
    if (!finished) {
        const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now() - begin);
        std::cerr << "QORThread_c: the worker stopped after " << took.count() << " ms\n";
    }
}

std::uint8_t QORThread_c::Start(QORRunnable_c* runnable) {
    LockScope scope(m_lock);
    if (m_runState.load() != 253) {
        return 254;
    }
    if (m_worker.joinable()) {
        if (m_worker.get_id() == std::this_thread::get_id()) {
            return 254; // the worker is still winding down on this very call
        }
        JoinWorker(); // the previous run has ended; its thread goes before a new one comes
    }
    if (runnable != nullptr) {
        m_runnable = runnable;
    }
    if (m_runnable == nullptr || m_runnable->CanStart() != 2) {
        return 254;
    }
    m_stopRequest.store(253);
    {
        std::lock_guard<std::mutex> guard(m_eventMutex);
        m_started = false;
        m_finished = false;
    }
    try {
        m_worker = std::thread(Routine, this);
    } catch (const std::system_error&) {
        m_stopRequest.store(3);
        return 254;
    }
    {
        std::unique_lock<std::mutex> guard(m_eventMutex);
        m_event.wait(guard, [this] { return m_started; });
    }
    if (m_runState.load() == 254) {
        m_runState.store(253);
        m_stopRequest.store(3);
        return 254;
    }
    return 2;
}

std::uint8_t QORThread_c::Terminate() {
    LockScope scope(m_lock);
    RequestStop();
    if (!m_worker.joinable()) {
        return 2;
    }
    if (m_worker.get_id() == std::this_thread::get_id()) {
        return 254;
    }
    JoinWorker();
    return 2;
}
