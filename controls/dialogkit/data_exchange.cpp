#include "controls/dialogkit/data_exchange.h"

#include "platform/one_line_text.h"
#include "platform/qt/qt_ui_services.h"
#include "platform/ui_services.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <limits>

namespace dialogs {

namespace {

// The text as a whole number: blanks around it, an optional sign, decimal digits. Numbers too
// large for the type saturate, so the range check refuses them.
bool ParseWhole(const QString& text, bool allowNegative, long long& value) {
    const QString t = text.trimmed();
    qsizetype i = 0;
    bool negative = false;
    if (i < t.size() && (t[i] == u'+' || t[i] == u'-')) {
        negative = t[i] == u'-';
        ++i;
    }
    if (i == t.size() || (negative && !allowNegative)) {
        return false;
    }
    constexpr long long kLimit = std::numeric_limits<int>::max() + 1LL;
    long long v = 0;
    for (; i < t.size(); ++i) {
        if (t[i] < u'0' || t[i] > u'9') {
            return false;
        }
        v = std::min(kLimit, v * 10 + (t[i].unicode() - u'0'));
    }
    value = negative ? -v : v;
    return true;
}

// The text as a decimal number: blanks around it, an optional sign, digits with at most one
// point; no exponent, no "inf" or "nan".
bool ParseDecimal(const QString& text, double& value) {
    const QString t = text.trimmed();
    bool digit = false;
    int points = 0;
    for (qsizetype i = 0; i < t.size(); ++i) {
        const QChar c = t[i];
        if (c >= u'0' && c <= u'9')
            digit = true;
        else if (c == u'.')
            ++points;
        else if (!(i == 0 && (c == u'+' || c == u'-')))
            return false;
    }
    if (!digit || points > 1)
        return false;
    bool ok = false;
    value = t.toDouble(&ok);
    return ok;
}

// What a one-line field holds as the model keeps it: every line break a blank (a paste can
// bring one), since the texts are stored in files of one value per line.
std::string EnteredText(const QString& text) {
    return platform::OneLineText(platform::qt::FromQString(text));
}

// A multi-line field's lines joined by CR LF: its owner keeps them in its own one-line form.
QString MultiLineToModel(const QString& text) {
    QString lines = text;
    return lines.replace(u'\n', QStringLiteral("\r\n"));
}

} // namespace

DataExchange DataExchange::Reading() {
    return DataExchange(Direction::Read, [](const QString& text) {
        platform::ShowMessage(platform::qt::FromQString(text), platform::MsgButtons::Ok,
                              platform::MsgIcon::Exclamation);
    });
}

QString RangeMessage(long long min, long long max) {
    return QStringLiteral("Please enter an integer between %1 and %2.").arg(min).arg(max);
}

QString LengthMessage(std::size_t limit) {
    return QStringLiteral("Please enter no more than %1 characters.").arg(limit);
}

QString NumberRangeMessage(double min, double max) {
    return QStringLiteral("Please enter a number between %1 and %2.").arg(min).arg(max);
}

QLineEdit* DataExchange::FailedField() const {
    return qobject_cast<QLineEdit*>(failedField_);
}

void DataExchange::Fail(QWidget* field, const QString& text) {
    failed_ = true;
    failedField_ = field;
    // A quiet reading (the timer's) neither shows the message nor takes the focus away.
    if (sink_) {
        sink_(text);
        field->setFocus();
        if (auto* line = qobject_cast<QLineEdit*>(field))
            line->selectAll();
        else if (auto* lines = qobject_cast<QPlainTextEdit*>(field))
            lines->selectAll();
    }
}

template <typename T>
void DataExchange::Whole(QLineEdit* field, T& member, bool allowNegative, const char* noNumberText,
                         long long min, long long max, bool ranged) {
    if (failed_) {
        return;
    }
    if (direction_ == Direction::Show) {
        field->setText(QString::number(member));
        return;
    }
    long long value = 0;
    if (!ParseWhole(field->text(), allowNegative, value)) {
        Fail(field, QString::fromLatin1(noNumberText));
        return;
    }
    if (value < min || value > max) {
        // Without a range of its own, a number the member cannot hold is no number at all.
        Fail(field, ranged ? RangeMessage(min, max) : QString::fromLatin1(noNumberText));
        return;
    }
    member = static_cast<T>(value);
}

void DataExchange::Unsigned(QLineEdit* field, unsigned& member, unsigned min, unsigned max) {
    Whole(field, member, false, kPositiveIntegerMessage, min, max, true);
}

void DataExchange::Integer(QLineEdit* field, int& member, int min, int max) {
    Whole(field, member, true, kIntegerMessage, min, max, true);
}

void DataExchange::Integer(QLineEdit* field, int& member) {
    Whole(field, member, true, kIntegerMessage, std::numeric_limits<int>::min(),
          std::numeric_limits<int>::max(), false);
}

void DataExchange::Text(QLineEdit* field, std::string& member) {
    if (failed_) {
        return;
    }
    if (direction_ == Direction::Show) {
        field->setText(platform::qt::ToQString(member));
    } else {
        member = EnteredText(field->text());
    }
}

void DataExchange::Text(QLineEdit* field, std::string& member, std::size_t limit) {
    if (failed_) {
        return;
    }
    if (direction_ == Direction::Show) {
        field->setText(platform::qt::ToQString(member));
        return;
    }
    const std::string text = EnteredText(field->text());
    if (text.size() > limit) {
        Fail(field, LengthMessage(limit));
        return;
    }
    member = text;
}

void DataExchange::Text(QPlainTextEdit* field, std::string& member, std::size_t limit) {
    if (failed_) {
        return;
    }
    if (direction_ == Direction::Show) {
        QString text = platform::qt::ToQString(member);
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        field->setPlainText(text);
        return;
    }
    const std::string text = platform::qt::FromQString(MultiLineToModel(field->toPlainText()));
    if (text.size() > limit) {
        Fail(field, LengthMessage(limit));
        return;
    }
    member = text;
}

void DataExchange::NumberText(QLineEdit* field, std::string& member, double min, double max) {
    if (failed_) {
        return;
    }
    if (direction_ == Direction::Show) {
        field->setText(platform::qt::ToQString(member));
        return;
    }
    double value = 0.0;
    if (!ParseDecimal(field->text(), value)) {
        Fail(field, QString::fromLatin1(kNumberMessage));
        return;
    }
    if (value < min || value > max) {
        Fail(field, NumberRangeMessage(min, max));
        return;
    }
    member = platform::qt::FromQString(field->text());
}

void DataExchange::Check(QAbstractButton* box, bool& member) {
    if (failed_) {
        return;
    }
    if (direction_ == Direction::Show) {
        box->setChecked(member);
    } else {
        member = box->isChecked();
    }
}

void DataExchange::Radio(std::initializer_list<QRadioButton*> group, int& member) {
    if (failed_) {
        return;
    }
    int index = 0;
    for (QRadioButton* button : group) {
        if (direction_ == Direction::Show) {
            if (index == member) {
                button->setChecked(true);
            }
        } else if (button->isChecked()) {
            member = index;
        }
        ++index;
    }
}

} // namespace dialogs
