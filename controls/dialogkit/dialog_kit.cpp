#include "controls/dialogkit/dialog_kit.h"

#include "platform/qt/title_width.h"

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QStyle>
#include <QTextCursor>
#include <QValidator>
#include <algorithm>
#include <memory>

namespace dialogs {
namespace {

void ApplyTitleWidth(QDialog& dialog) {
    int width = TitleWidth(dialog);
    if (QScreen* screen = dialog.screen())
        width = std::min(width, screen->availableGeometry().width());
    if (width > dialog.minimumWidth())
        dialog.setMinimumWidth(width);
}

// Follows the title: a dialog retitled after it was built still shows its whole caption.
class TitleWidthGuard : public QObject {
public:
    explicit TitleWidthGuard(QDialog& dialog) : QObject(&dialog), dialog_(dialog) {
        setObjectName(QStringLiteral("titleWidthGuard"));
        dialog.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &dialog_ &&
            (event->type() == QEvent::Show || event->type() == QEvent::WindowTitleChange))
            ApplyTitleWidth(dialog_);
        return false;
    }

private:
    QDialog& dialog_;
};

// Refuses an edit that makes the text longer than the limit and longer than it was.
class LengthValidator : public QValidator {
public:
    LengthValidator(QLineEdit& field, int limit)
        : QValidator(&field), limit_(limit), before_(field.text().size()) {
        // The edit's text already holds the change while it is checked: the length before it
        // is followed here.
        connect(&field, &QLineEdit::textChanged, this,
                [this](const QString& text) { before_ = text.size(); });
    }
    State validate(QString& input, int&) const override {
        return input.size() > limit_ && input.size() > before_ ? Invalid : Acceptable;
    }

private:
    int limit_;
    qsizetype before_;
};

qsizetype ModelLength(const QString& text) {
    return text.size() + text.count(u'\n');
}

} // namespace

void LimitLength(QLineEdit& field, int limit) {
    field.setValidator(new LengthValidator(field, limit));
}

void LimitLength(QPlainTextEdit& field, int limit) {
    auto previous = std::make_shared<QString>(field.toPlainText());
    QObject::connect(&field, &QPlainTextEdit::textChanged, &field, [&field, limit, previous] {
        const QString text = field.toPlainText();
        const qsizetype length = ModelLength(text);
        if (length <= limit || length <= ModelLength(*previous)) {
            *previous = text;
            return;
        }
        // Back to the text before the edit, the cursor where the edit began.
        const int at =
            std::max(0, field.textCursor().position() - int(text.size() - previous->size()));
        QSignalBlocker quiet(&field);
        field.setPlainText(*previous);
        QTextCursor cursor = field.textCursor();
        cursor.setPosition(std::min(at, int(previous->size())));
        field.setTextCursor(cursor);
    });
}

int TitleWidth(const QDialog& dialog) {
    return platform::qt::TitleWidth(dialog);
}

void FitTitle(QDialog& dialog) {
    if (!dialog.findChild<QObject*>(QStringLiteral("titleWidthGuard"), Qt::FindDirectChildrenOnly))
        new TitleWidthGuard(dialog);
    ApplyTitleWidth(dialog);
}

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
    FitTitle(dialog);
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
    FitTitle(dialog);
    dialog.adjustSize();
    const QRect area = parent->window()->frameGeometry();
    const QSize own = dialog.frameGeometry().size();
    dialog.move(area.left() + area.width() / 2 - own.width() / 2,
                area.top() + area.height() / 2 - own.height() / 2);
}

} // namespace dialogs
