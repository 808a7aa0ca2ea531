// The dialog kit all three programs build their dialogs with: controls named after their ids
// ("ctl_235") so tests find them, the control makers, OK and Cancel, centring on the desktop or
// the parent. The data exchange is in data_exchange.h.
#pragma once

#include <QString>

class QCheckBox;
class QDialog;
class QDialogButtonBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QWidget;

namespace dialogs {

// Names a control after its id.
template <typename Control> Control* Named(Control* control, int id) {
    control->setObjectName(QStringLiteral("ctl_%1").arg(id));
    return control;
}
QCheckBox* MakeCheck(const QString& text, int id, QWidget* parent = nullptr);
QRadioButton* MakeRadio(const QString& text, int id, QWidget* parent = nullptr);
QPushButton* MakeButton(const QString& text, int id, QWidget* parent = nullptr);

// The edit's length limit: typing stops at `limit` characters, while a longer text the dialog
// showed stays whole (so that OK's check names the limit) and can only shrink. A line break of
// the multi-line edit counts two, as the model keeps it.
void LimitLength(QLineEdit& field, int limit);
void LimitLength(QPlainTextEdit& field, int limit);

// OK (id 1) and Cancel (id 2), wired to accept and reject.
QDialogButtonBox* OkCancel(QDialog& dialog);

// The width the dialog needs to show its whole title: the caption text in a bold face of the
// dialog's font (what window managers draw), the caption's icon and buttons, and the frame.
int TitleWidth(const QDialog& dialog);
// Keeps the dialog at least as wide as its title (never wider than its screen), now and
// whenever it is shown or retitled. The centring below does this for every dialog of the kit.
void FitTitle(QDialog& dialog);

// Moves the dialog to the middle of its screen (once its size is known).
void CentreOnDesktop(QDialog& dialog);
// Moves the dialog to the middle of its parent (the desktop without one).
void CentreOnParent(QDialog& dialog);

} // namespace dialogs
