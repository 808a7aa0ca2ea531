// "Download" (dialog 146): the window of the reproducer configuration download. It shows the
// fields of the core's DownloadDlg, calls its handlers from the buttons and a 500 ms timer, and
// runs its refresh when the worker asks for one, on this thread.
#pragma once

#include <QDialog>
#include <memory>

class DownloadDlg;
class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTimer;

namespace config {

class CDownloadDialog : public QDialog {
public:
    explicit CDownloadDialog(DownloadDlg& request, QWidget* parent = nullptr);
    ~CDownloadDialog() override;
    // Starts the download's logic (the worker's notifier, its first step and the timer) and
    // runs the window modally until the logic ends it or the user closes it. The window edits
    // no values: starting is an action, so it is asked for by name rather than hidden in exec.
    int Run();
    void reject() override;

private:
    struct Relay;
    // Shows the request's fields; ends the dialog once the logic has.
    void Sync();

    DownloadDlg& request_;
    std::shared_ptr<Relay> relay_;
    QTimer* timer_;
    QPlainTextEdit* log_;
    QLineEdit* stage_;
    QProgressBar* progress_;
    QPushButton* cancel_;
    QPushButton* retry_;
    QPushButton* notify_;
    QCheckBox* ignoreErrors_;
    QCheckBox* leaveOpen_;
};

// The handler of the download request: true when the dialog ended with OK.
bool RunDownloadDialog(DownloadDlg& request, QWidget* parent);

} // namespace config
