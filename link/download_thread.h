// The worker of the reproducer download dialog: runs the configuration download of a
// reproducer system on its own thread and keeps a log of its start and outcome, which the
// user-interface thread copies under the worker's lock on every refresh. The worker never
// touches a window: it calls the dialog's notifier, which asks the user-interface thread for a
// refresh.
#pragma once

#include "foundation/lock.h"
#include "foundation/text_string.h"
#include "foundation/thread.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class Reelvox_c;

// Asks the user-interface thread to refresh the dialog (the dialog's hidden notify button). It
// is called from the worker thread, so it only posts; it must not touch the dialog itself.
using DownloadNotifier = std::function<void()>;

class DownloadThread_c : public QORRunnable_c {
public:
    // Creates the thread that will run the worker and records it as the worker's thread.
    DownloadThread_c();
    // Stops a running download (the thread observes the stop in its waits and I/O and is
    // joined; it is never killed), then frees the thread, the lock and the texts.
    ~DownloadThread_c() override;

    // The notifier and the system to download; set before each start (borrowed).
    void SetNotifier(DownloadNotifier notifier);
    void SetReelvox(Reelvox_c* system) { m_pReelvox.store(system); }
    Reelvox_c* GetReelvox() const { return m_pReelvox.load(); }
    // The third argument of the download (0).
    void SetOption(std::uint8_t option) { m_byOption.store(option); }

    // Starts the download on the worker's thread: 2 started, 254 not (one is running already).
    std::uint8_t Start();
    // The log as it stands, copied under the lock.
    std::string CopyLog();

    // The work, on the worker thread.
    void Run() override;

private:
    void Notify();

    QORString_c m_strScratch;
    std::atomic<Reelvox_c*> m_pReelvox{nullptr};
    QORString_c m_strLog; // guarded by m_lock
    QORLock_c m_lock;
    DownloadNotifier m_notifier; // guarded by m_lock
    std::atomic<std::uint8_t> m_byOption{0};
    std::unique_ptr<QORThread_c> m_pThread;
};
