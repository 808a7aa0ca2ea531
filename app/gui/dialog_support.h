// What the program's dialogs share: controls named after their ids ("ctl_235") so tests find
// them, centring on the desktop or the parent, and the framework's data-exchange texts shown
// through the user-interface services.
#pragma once

#include <QString>
#include <optional>

class QCheckBox;
class QDialog;
class QDialogButtonBox;
class QLineEdit;
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

// OK (id 1) and Cancel (id 2), wired to accept and reject.
QDialogButtonBox* OkCancel(QDialog& dialog);

// Moves the dialog to the middle of its screen (once its size is known).
void CentreOnDesktop(QDialog& dialog);
// Moves the dialog to the middle of its parent (the desktop without one).
void CentreOnParent(QDialog& dialog);

// The integer in an edit as the framework's exchange reads it; without one the framework's
// message "Please enter an integer." is shown, the edit gets the focus and nullopt comes back.
std::optional<int> ExchangeInt(QLineEdit& edit);

} // namespace dialogs
