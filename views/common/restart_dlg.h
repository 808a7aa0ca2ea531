// "Sequence Restart Options": whether a running sequence restarts when started again, and how
// long after a start a restart is ignored.
#pragma once

#include "controls/dialogkit/data_exchange.h"
#include "platform/qt/exchange_dialog.h"

class QCheckBox;
class QLabel;
class QLineEdit;

// What the dialog edits.
struct RestartOptions {
    bool restart = false;
    int lockout = 0; // frames, stored in 16 bits
};

class CRestartDlg : public platform::qt::ExchangeDialog<dialogs::DataExchange> {
public:
    // The options are shown when the dialog opens and read back on OK.
    explicit CRestartDlg(RestartOptions& options, QWidget* parent = nullptr);

protected:
    void DoDataExchange(dialogs::DataExchange& dx) override;
    void OnValuesShown() override;

private:
    void OnRestartEnabled();
    void EnableLockout(bool on);

    RestartOptions& options_;
    QCheckBox* restart_;
    QLineEdit* lockout_;
    QLabel* lockoutLabel_;
    QLabel* framesLabel_;
};
