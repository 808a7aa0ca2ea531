// "Sequence Restart Options": whether a running sequence restarts when started again, and how
// long after a start a restart is ignored.
#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
namespace dialogs {
class DataExchange;
}

class CRestartDlg : public QDialog {
public:
    explicit CRestartDlg(QWidget* parent = nullptr);

    int exec() override;
    void accept() override;

    bool m_bRestart = false;
    int m_nRestartLockout = 0; // frames, stored in 16 bits

private:
    void DoDataExchange(dialogs::DataExchange& dx);
    void OnRestartEnabled();
    void EnableLockout(bool on);

    QCheckBox* restart_;
    QLineEdit* lockout_;
    QLabel* lockoutLabel_;
    QLabel* framesLabel_;
};
