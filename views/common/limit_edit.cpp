#include "views/common/limit_edit.h"

#include <QKeyEvent>

void CLimitEdit::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (QWidget* parent = parentWidget())
            parent->setFocus(Qt::OtherFocusReason);
        event->accept();
        return;
    }
    const QString text = event->text();
    const bool printable = !text.isEmpty() && text.at(0).isPrint() &&
                           !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
    if (printable && this->text().size() >= limit_ && !hasSelectedText()) {
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}
