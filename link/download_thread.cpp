#include "link/download_thread.h"

#include "foundation/status.h"
#include "link/smpte_download_report.h"
#include "reproducer/reelvox_system.h"

#include <utility>

namespace {

// Holds the worker's lock for a scope.
class LogLock {
public:
    explicit LogLock(QORLock_c& lock) : lock_(lock) { lock_.Lock(); }
    ~LogLock() { lock_.Unlock(); }
    LogLock(const LogLock&) = delete;
    LogLock& operator=(const LogLock&) = delete;

private:
    QORLock_c& lock_;
};

void AppendText(QORString_c& log, QORString_c& scratch, const std::string& text) {
    scratch.Assign(text.c_str(), static_cast<std::int32_t>(text.size()), QOR_FALSE);
    log.Append(&scratch);
}

} // namespace

DownloadThread_c::DownloadThread_c() : m_pThread(std::make_unique<QORThread_c>()) {
    SetThread(m_pThread.get());
}

DownloadThread_c::~DownloadThread_c() {
    // The thread goes first: it stops and joins before the texts and the lock it uses.
    if (m_pThread) {
        m_pThread->RequestStop();
        m_pThread.reset();
    }
    SetThread(nullptr);
}

void DownloadThread_c::SetNotifier(DownloadNotifier notifier) {
    LogLock lock(m_lock);
    m_notifier = std::move(notifier);
}

std::uint8_t DownloadThread_c::Start() {
    return m_pThread ? m_pThread->Start(this) : QOR_ERROR;
}

std::string DownloadThread_c::CopyLog() {
    LogLock lock(m_lock);
    return std::string(m_strLog.View());
}

void DownloadThread_c::Notify() {
    DownloadNotifier notifier;
    {
        LogLock lock(m_lock);
        notifier = m_notifier;
    }
    if (notifier)
        notifier();
}

void DownloadThread_c::Run() {
    Reelvox_c* system = m_pReelvox.load();
    if (!system)
        return;
    {
        LogLock lock(m_lock);
        m_strLog.Clear();
        AppendText(m_strLog, m_strScratch, "Downloading...\r\n");
    }
    Notify();

    // The lock is not held while the download runs: the user interface copies the log on every
    // refresh.
    const std::uint8_t status = system->Download(QOR_FALSE, QOR_TRUE, m_byOption.load());

    {
        LogLock lock(m_lock);
        AppendText(m_strLog, m_strScratch,
                   showlink::DialogLogText(showlink::ReadDownloadOutcome(*system, status)));
    }
    Notify();
    m_pReelvox.store(nullptr);
}
