#include "app/gui/shell_dialogs.h"

#include "app/gui/splash_screen.h"
#include "controls/dialogkit/dialog_kit.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>

QIcon VelmoraIcon() {
    return QIcon::fromTheme(QStringLiteral("applications-multimedia"));
}

void RunAboutDialog(QWidget* parent) {
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("dlg_100"));
    dialog.setWindowTitle(QStringLiteral("About VELMORA"));
    auto* layout = new QGridLayout(&dialog);
    auto* icon = new QLabel(&dialog);
    icon->setPixmap(VelmoraIcon().pixmap(32, 32));
    layout->addWidget(icon, 0, 0, 2, 1, Qt::AlignTop);
    layout->addWidget(new QLabel(QString::fromLatin1(kProgramNameAndVersion), &dialog), 0, 1);
    layout->addWidget(new QLabel(QString::fromLatin1(kBuildNumber), &dialog), 1, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &dialog);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("ctl_1"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    layout->addWidget(buttons, 0, 2, 2, 1, Qt::AlignTop);
    dialogs::CentreOnParent(dialog);
    dialog.exec();
}
