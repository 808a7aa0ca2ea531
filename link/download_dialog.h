// The reproducer download dialog ("Download") as a typed request with the logic it drives: it
// starts the worker, shows the log, the stage and the progress read from the reproducer
// system's state numbers, cancels, retries and switches the ignore-errors option. The user
// interface shows the fields, calls the handlers from its buttons and its 500 ms timer, and
// posts the worker's notifications to its own thread, where it calls RefreshProgress.
#pragma once

#include "link/download_thread.h"
#include "platform/ui_services.h"

#include <memory>
#include <string>

class Reelvox_c;

class DownloadDlg : public platform::DialogRequest {
public:
    static constexpr int kTimerId = 1;
    static constexpr int kTimerPeriodMs = 500;
    enum Result { kNotEnded = 0, kOk = 1, kCancel = 2 };

    DownloadDlg() = default;
    ~DownloadDlg() override;
    static constexpr const char* kDialogName = "DownloadDlg";
    const char* DialogName() const override { return kDialogName; }

    // Runs the dialog modally for the system: 2 when it ended with OK, else 254. Without a
    // system it says so and answers 254.
    int RunDownload(Reelvox_c* system);

    // The notifier the worker calls from its thread (the hidden button 1085); the user
    // interface sets it before the dialog opens. It must only post a refresh.
    void SetNotifier(DownloadNotifier notifier) { m_notifier = std::move(notifier); }

    // Handlers.
    void OnInitDialog();
    void OnCancelOrDone();
    void RefreshProgress();
    void OnRetry();
    void OnIgnoreErrors();
    void OnTimer(int timerId);
    void DestroyWindow();

    // The controls as the user interface shows them.
    std::string m_strLog;      // 1032
    std::string m_strStage;    // 1033
    int m_nProgressRange = 14; // 1088
    int m_nProgressPos = 0;
    std::string m_strCancelText = "Cancel"; // 1084
    bool m_bRetryEnabled = false;           // 1086
    bool m_bIgnoreErrors = false;           // 1026 (hidden)
    bool m_bIgnoreErrorsVisible = false;
    bool m_bLeaveOpen = false; // 471 (hidden)
    bool m_bTimerRunning = false;
    bool m_bFocusOnCancel = false;
    Result m_eResult = kNotEnded; // how the dialog ended

    Reelvox_c* System() const { return m_pReelvox; }
    // Sets the system without running the dialog (the user interface's own runner, tests).
    void SetSystem(Reelvox_c* system) { m_pReelvox = system; }
    DownloadThread_c* Worker() const { return m_pThread.get(); }

private:
    void StartWorker();
    void EndDialog(Result result);

    std::unique_ptr<DownloadThread_c> m_pThread;
    Reelvox_c* m_pReelvox = nullptr; // borrowed for the run of RunDownload
    int m_nTriggers = -1;            // triggers in the interface's table, -1 without one
    DownloadNotifier m_notifier;
};
