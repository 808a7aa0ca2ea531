// A list box with type-ahead for lists whose entries begin with an origin prefix ("EXT: Play"):
// the typed start of a name selects the first entry that has it after one of the prefixes.
#pragma once

#include <QListWidget>
#include <QString>
#include <QStringList>
#include <functional>

class CSearchListBox : public QListWidget {
public:
    // The event lists' origins, tried in this order.
    static QStringList DefaultPrefixes();

    explicit CSearchListBox(QWidget* parent = nullptr, QStringList prefixes = DefaultPrefixes());

    // One typed character: a printable one extends the search, Backspace shortens it (a beep
    // when there is nothing to shorten), anything else is ignored.
    void OnChar(QChar character);
    // The same for a character the owning dialog passes on (the one that opened it).
    void ForwardChar(QChar character) { OnChar(character); }

    const QString& TypedText() const { return typed_; }
    // Told when typing selected an entry, so the owner can follow the selection.
    std::function<void()> selectionTyped;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Selects the first entry that starts with `text` without regard to case.
    bool SelectStarting(const QString& text);

    QStringList prefixes_;
    QString typed_;
};
