#include "views/common/restart_dlg.h"

#include "controls/dialogkit/data_exchange.h"
#include "controls/dialogkit/dialog_kit.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

CRestartDlg::CRestartDlg(RestartOptions& options, QWidget* parent)
    : ExchangeDialog(parent), options_(options) {
    placement = dialogs::CentreOnDesktop;
    setObjectName(QStringLiteral("dlg_162"));
    setWindowTitle(QStringLiteral("Sequence Restart Options"));
    auto* layout = new QGridLayout(this);
    restart_ = dialogs::MakeCheck(QStringLiteral("Restart Enabled"), 290, this);
    lockoutLabel_ = dialogs::Named(new QLabel(QStringLiteral("Restart Lockout"), this), 293);
    lockout_ = dialogs::Named(new QLineEdit(this), 291);
    framesLabel_ = dialogs::Named(new QLabel(QStringLiteral("Frames"), this), 292);
    layout->addWidget(restart_, 0, 0, 1, 3);
    layout->addWidget(lockoutLabel_, 1, 0);
    layout->addWidget(lockout_, 1, 1);
    layout->addWidget(framesLabel_, 1, 2);
    layout->addWidget(dialogs::OkCancel(*this), 2, 0, 1, 3);
    connect(restart_, &QCheckBox::clicked, this, [this] { OnRestartEnabled(); });
}

void CRestartDlg::DoDataExchange(dialogs::DataExchange& dx) {
    dx.Check(restart_, options_.restart);
    // The lockout is kept in 16 bits: a larger number is refused rather than wrapped.
    dx.Integer(lockout_, options_.lockout, 0, 65535);
}

void CRestartDlg::OnValuesShown() {
    EnableLockout(options_.restart);
}

void CRestartDlg::OnRestartEnabled() {
    dialogs::DataExchange read = dialogs::DataExchange::Reading();
    DoDataExchange(read);
    EnableLockout(restart_->isChecked());
}

void CRestartDlg::EnableLockout(bool on) {
    lockout_->setEnabled(on);
    lockoutLabel_->setEnabled(on);
    framesLabel_->setEnabled(on);
}
