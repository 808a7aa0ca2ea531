// The library's mutual exclusion: an unnamed mutex that waits without limit.
#pragma once

#include <mutex>

class QORLock_c {
public:
    QORLock_c() = default;
    virtual ~QORLock_c() = default;
    QORLock_c(const QORLock_c&) = delete;
    QORLock_c& operator=(const QORLock_c&) = delete;

    void Lock() { m_mutex.lock(); }
    void Unlock() { m_mutex.unlock(); }

private:
    std::mutex m_mutex;
};
