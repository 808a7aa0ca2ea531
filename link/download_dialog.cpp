#include "link/download_dialog.h"

#include "foundation/status.h"
#include "reproducer/reelvox_system.h"
#include "reproducer/smpte_interface.h"
#include "reproducer/trigger_table.h"

#include <cstdio>

namespace {

constexpr const char* kReelvoxMissing =
    "Reelvox interface is missing.\r\nPlease save your work then restart this application.";
constexpr const char* kSmpteMissing =
    "SMPTE interface is missing.\r\nPlease save your work then restart this application.";

void StopBox(const char* text) {
    platform::ShowMessage(text, platform::MsgButtons::Ok, platform::MsgIcon::Stop);
}

// Stages of the interface's steps 0-6 and their progress positions.
constexpr const char* kStepStages[] = {"Preparing",
                                       "Downloading Default Settings",
                                       "Setting Preroll",
                                       "Setting Unit Number",
                                       "Setting Unit Groups",
                                       "Setting Reproducer Groups",
                                       "Downloading Sample Clock Settings"};

} // namespace

DownloadDlg::~DownloadDlg() {
    DestroyWindow();
}

int DownloadDlg::RunDownload(Reelvox_c* system) {
    if (!system) {
        StopBox(kReelvoxMissing);
        return QOR_ERROR;
    }
    m_pReelvox = system;
    m_eResult = kNotEnded;
    const bool ok = platform::Ui().RunDialog(*this);
    DestroyWindow();
    m_pReelvox = nullptr;
    return ok ? QOR_OK : QOR_ERROR;
}

void DownloadDlg::OnInitDialog() {
    if (!m_pReelvox) {
        StopBox(kReelvoxMissing);
    } else {
        m_pReelvox->SetState(0);
        if (m_pReelvox->SMPTEInterface())
            m_bLeaveOpen = true;
        else
            StopBox(kSmpteMissing);
    }
    m_bIgnoreErrorsVisible = false;
    m_strStage.clear();
    m_bTimerRunning = true;
    m_bRetryEnabled = false;
    m_pThread.reset();
    m_pThread = std::make_unique<DownloadThread_c>();
    StartWorker();
    m_bFocusOnCancel = true;
}

void DownloadDlg::StartWorker() {
    if (!m_pThread)
        return;
    // The table does not change while the worker downloads it; its size is read here, before
    // the worker runs, so the refresh never walks the configuration the worker is using.
    m_nTriggers = -1;
    if (m_pReelvox) {
        if (ReelvoxSMPTEInterface_c* smpte = m_pReelvox->SMPTEInterface()) {
            if (ReelvoxTriggerTable_c* table = smpte->TriggerTable())
                m_nTriggers = table->TriggerCount();
        }
    }
    m_pThread->SetNotifier(m_notifier);
    m_pThread->SetReelvox(m_pReelvox);
    m_pThread->Start();
}

void DownloadDlg::RefreshProgress() {
    const int triggers = m_nTriggers > 0 ? m_nTriggers : 0;
    m_nProgressRange = (m_nTriggers >= 0 ? m_nTriggers : 0) + 14;
    if (m_pThread)
        m_strLog = m_pThread->CopyLog();
    if (!m_pReelvox)
        return;

    const int state = m_pReelvox->GetState();
    if (state == REELVOX_SYSTEM_COMPLETE) {
        m_bTimerRunning = false;
        m_strStage.clear();
        m_strCancelText = "Done";
        if (m_bLeaveOpen)
            m_nProgressPos = m_nProgressRange;
        else
            EndDialog(kOk);
        return;
    }

    const bool running = m_pThread && m_pThread->Thread() && m_pThread->Thread()->RunState() == 3;
    if (running) {
        ReelvoxSMPTEInterface_c* smpte = m_pReelvox->SMPTEInterface();
        if (state == REELVOX_SYSTEM_SMPTE && smpte) {
            const int step = smpte->GetState();
            if (step >= 0 && step <= 6) {
                m_strStage = kStepStages[step];
                m_nProgressPos = step + 1;
            } else if (step == SMPTE_STEP_TRIGGERS && smpte->TriggerTable()) {
                ReelvoxTriggerTable_c* table = smpte->TriggerTable();
                switch (table->GetState()) {
                case REELVOX_TABLE_STATE_CLEAR_REPRO:
                    m_strStage = "Clearing Reproducer Triggers";
                    m_nProgressPos = 8;
                    break;
                case REELVOX_TABLE_STATE_CLEAR_CONTROLLER:
                    m_strStage = "Clearing Show Controller Triggers";
                    m_nProgressPos = 9;
                    break;
                case REELVOX_TABLE_STATE_SENDING: {
                    const int number = table->CurrentTriggerNumber();
                    char text[64];
                    std::snprintf(text, sizeof text, "Downloading Trigger %d", number);
                    m_strStage = text;
                    m_nProgressPos = number + 9;
                    break;
                }
                case REELVOX_TABLE_STATE_SORTING:
                    m_strStage = "Sorting Triggers";
                    m_nProgressPos = triggers + 10;
                    break;
                case REELVOX_TABLE_STATE_STORING:
                    m_strStage = "Saving Triggers";
                    m_nProgressPos = triggers + 11;
                    break;
                default:
                    m_strStage.clear();
                    break;
                }
            } else {
                m_strStage.clear();
            }
        } else if (state == REELVOX_SYSTEM_SMPTE) {
            m_strStage = "SMPTE Missing";
        } else if (state == REELVOX_SYSTEM_COBRANET) {
            m_strStage = "Downloading CobraNet Settings";
            m_nProgressPos = triggers + 13;
        } else {
            m_strStage.clear();
        }
        m_strCancelText = "Cancel";
        return;
    }

    // The worker ended without completing.
    m_bTimerRunning = false;
    m_strStage.clear();
    m_bRetryEnabled = true;
    m_nProgressPos = 0;
    m_strCancelText = "Cancel";
}

void DownloadDlg::OnCancelOrDone() {
    if (m_pThread && m_pThread->Thread())
        m_pThread->Thread()->RequestStop();
    // The worker's thread observes the stop in its waits and is joined here.
    m_pThread.reset();
    m_bTimerRunning = false;
    const bool complete = m_pReelvox && m_pReelvox->GetState() == REELVOX_SYSTEM_COMPLETE;
    EndDialog(complete ? kOk : kCancel);
    if (m_pReelvox)
        m_pReelvox->SetState(0);
}

void DownloadDlg::OnRetry() {
    m_bTimerRunning = true;
    m_strStage.clear();
    if (!m_pThread)
        m_pThread = std::make_unique<DownloadThread_c>();
    StartWorker();
    m_bFocusOnCancel = true;
    m_bRetryEnabled = false;
}

void DownloadDlg::OnIgnoreErrors() {
    if (m_pReelvox)
        m_pReelvox->SetIgnoreErrors(m_bIgnoreErrors ? QOR_TRUE : QOR_FALSE);
}

void DownloadDlg::OnTimer(int timerId) {
    if (timerId == kTimerId && m_bTimerRunning)
        RefreshProgress();
}

void DownloadDlg::DestroyWindow() {
    m_bTimerRunning = false;
    m_pThread.reset();
}

void DownloadDlg::EndDialog(Result result) {
    m_eResult = result;
}
