#include "controls/dialogkit/dialog_kit.h"

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>

namespace dialogs {

QCheckBox* MakeCheck(const QString& text, int id, QWidget* parent) {
    return Named(new QCheckBox(text, parent), id);
}

QRadioButton* MakeRadio(const QString& text, int id, QWidget* parent) {
    return Named(new QRadioButton(text, parent), id);
}

QPushButton* MakeButton(const QString& text, int id, QWidget* parent) {
    auto* button = Named(new QPushButton(text, parent), id);
    button->setAutoDefault(false);
    return button;
}

QDialogButtonBox* OkCancel(QDialog& dialog) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("ctl_1"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("ctl_2"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    return buttons;
}

void CentreOnDesktop(QDialog& dialog) {
    dialog.adjustSize();
    QScreen* screen = dialog.screen() ? dialog.screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect desk = screen->geometry();
    const QSize own = dialog.frameGeometry().size();
    dialog.move(desk.left() + desk.width() / 2 - own.width() / 2,
                desk.top() + desk.height() / 2 - own.height() / 2);
}

void CentreOnParent(QDialog& dialog) {
    QWidget* parent = dialog.parentWidget();
    if (!parent) {
        CentreOnDesktop(dialog);
        return;
    }
    dialog.adjustSize();
    const QRect area = parent->window()->frameGeometry();
    const QSize own = dialog.frameGeometry().size();
    dialog.move(area.left() + area.width() / 2 - own.width() / 2,
                area.top() + area.height() / 2 - own.height() / 2);
}

} // namespace dialogs
