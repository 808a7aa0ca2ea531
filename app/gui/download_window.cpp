#include "app/gui/download_window.h"

#include "controls/dialogkit/dialog_kit.h"
#include "link/download_dialog.h"
#include "platform/qt/qt_ui_services.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMetaObject>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>
#include <mutex>

using platform::qt::ToQString;

namespace config {

// What the worker's notifier reaches: the hidden notify button while the window lives. The
// worker posts a click there; one posted after the window went is never delivered.
struct CDownloadDialog::Relay {
    std::mutex mutex;
    QPushButton* notify = nullptr;

    void Post() {
        std::lock_guard<std::mutex> lock(mutex);
        if (notify)
            QMetaObject::invokeMethod(notify, "click", Qt::QueuedConnection);
    }
};

CDownloadDialog::CDownloadDialog(DownloadDlg& request, QWidget* parent)
    : QDialog(parent), request_(request), relay_(std::make_shared<Relay>()) {
    setWindowTitle(QStringLiteral("Download"));
    log_ = dialogs::Named(new QPlainTextEdit(this), 1032);
    log_->setReadOnly(true);
    log_->setMinimumSize(420, 180);
    stage_ = dialogs::Named(new QLineEdit(this), 1033);
    stage_->setReadOnly(true);
    progress_ = dialogs::Named(new QProgressBar(this), 1088);
    progress_->setTextVisible(false);
    cancel_ = dialogs::MakeButton(QStringLiteral("Cancel"), 1084, this);
    retry_ = dialogs::MakeButton(QStringLiteral("Retry"), 1086, this);
    // Enter presses Cancel, or Done once the download completed.
    cancel_->setDefault(true);
    notify_ = dialogs::MakeButton(QString(), 1085, this);
    notify_->hide();
    ignoreErrors_ =
        dialogs::MakeCheck(QStringLiteral("Ignore configuration download errors"), 1026, this);
    ignoreErrors_->hide();
    leaveOpen_ = dialogs::MakeCheck(
        QStringLiteral("Leave this dialog open when download is complete"), 471, this);
    leaveOpen_->hide();

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(retry_);
    buttons->addWidget(cancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(log_);
    layout->addWidget(stage_);
    layout->addWidget(progress_);
    layout->addWidget(ignoreErrors_);
    layout->addWidget(leaveOpen_);
    layout->addLayout(buttons);

    relay_->notify = notify_;
    timer_ = new QTimer(this);
    timer_->setInterval(DownloadDlg::kTimerPeriodMs);
    connect(timer_, &QTimer::timeout, this, [this] {
        request_.OnTimer(DownloadDlg::kTimerId);
        Sync();
    });
    connect(notify_, &QPushButton::clicked, this, [this] {
        request_.RefreshProgress();
        Sync();
    });
    connect(cancel_, &QPushButton::clicked, this, [this] {
        request_.OnCancelOrDone();
        Sync();
    });
    connect(retry_, &QPushButton::clicked, this, [this] {
        request_.OnRetry();
        Sync();
    });
    connect(ignoreErrors_, &QCheckBox::toggled, this, [this](bool on) {
        request_.m_bIgnoreErrors = on;
        request_.OnIgnoreErrors();
    });
}

CDownloadDialog::~CDownloadDialog() {
    // The worker is joined by now; a notifier kept elsewhere reaches nothing.
    std::lock_guard<std::mutex> lock(relay_->mutex);
    relay_->notify = nullptr;
}

int CDownloadDialog::Run() {
    std::weak_ptr<Relay> relay = relay_;
    request_.SetNotifier([relay] {
        if (const std::shared_ptr<Relay> target = relay.lock())
            target->Post();
    });
    request_.OnInitDialog();
    timer_->start();
    Sync();
    dialogs::CentreOnDesktop(*this);
    return QDialog::exec();
}

void CDownloadDialog::reject() {
    // Closing the window (Escape, the window's close) stops the worker and ends unfinished.
    request_.DestroyWindow();
    timer_->stop();
    QDialog::reject();
}

void CDownloadDialog::Sync() {
    const QString log = ToQString(request_.m_strLog).replace(QStringLiteral("\r\n"), "\n");
    if (log_->toPlainText() != log) {
        log_->setPlainText(log);
        log_->verticalScrollBar()->setValue(log_->verticalScrollBar()->maximum());
    }
    stage_->setText(ToQString(request_.m_strStage));
    progress_->setRange(0, request_.m_nProgressRange);
    progress_->setValue(request_.m_nProgressPos);
    cancel_->setText(ToQString(request_.m_strCancelText));
    retry_->setEnabled(request_.m_bRetryEnabled);
    ignoreErrors_->setVisible(request_.m_bIgnoreErrorsVisible);
    leaveOpen_->setChecked(request_.m_bLeaveOpen);
    if (request_.m_bFocusOnCancel) {
        request_.m_bFocusOnCancel = false;
        cancel_->setFocus();
    }
    if (request_.m_eResult != DownloadDlg::kNotEnded && isVisible()) {
        timer_->stop();
        done(request_.m_eResult == DownloadDlg::kOk ? QDialog::Accepted : QDialog::Rejected);
    }
}

bool RunDownloadDialog(DownloadDlg& request, QWidget* parent) {
    CDownloadDialog dialog(request, parent);
    dialog.Run();
    // The notifier the worker may still hold reaches nothing once the window is gone.
    request.SetNotifier(nullptr);
    return request.m_eResult == DownloadDlg::kOk;
}

} // namespace config
