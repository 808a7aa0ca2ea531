#include "views/common/search_list_box.h"

#include <QApplication>
#include <QKeyEvent>
#include <utility>

QStringList CSearchListBox::DefaultPrefixes() {
    return {QStringLiteral("EXT: "), QStringLiteral("INT: "), QStringLiteral("I&E: ")};
}

CSearchListBox::CSearchListBox(QWidget* parent, QStringList prefixes)
    : QListWidget(parent), prefixes_(std::move(prefixes)) {}

void CSearchListBox::OnChar(QChar character) {
    if (character == QChar(u'\b')) {
        if (typed_.isEmpty())
            QApplication::beep();
        else
            typed_.chop(1);
        return;
    }
    if (!character.isPrint())
        return;
    const QString candidate = typed_ + character;
    for (const QString& prefix : std::as_const(prefixes_)) {
        if (SelectStarting(prefix + candidate)) {
            typed_ = candidate;
            if (selectionTyped)
                selectionTyped();
            return;
        }
    }
}

bool CSearchListBox::SelectStarting(const QString& text) {
    for (int row = 0; row < count(); ++row) {
        if (item(row)->text().startsWith(text, Qt::CaseInsensitive)) {
            setCurrentRow(row);
            return true;
        }
    }
    return false;
}

void CSearchListBox::keyPressEvent(QKeyEvent* event) {
    const QString text = event->text();
    // Keys that type nothing (arrows, paging) move through the list as usual; every typed
    // character goes to the search, never to the list's own first-letter search.
    if (text.isEmpty() || (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        QListWidget::keyPressEvent(event);
        return;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter ||
        event->key() == Qt::Key_Escape) {
        event->ignore(); // the dialog's default and cancel buttons
        return;
    }
    for (const QChar character : text)
        OnChar(character);
    event->accept();
}
