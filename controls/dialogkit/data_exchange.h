// The framework's data exchange of a dialog: one pass over its fields in a fixed order, either
// showing the members in the controls or reading the controls back into the members with their
// checks. A dialog lists each field once, in its DoDataExchange, and runs it with Show when it
// opens and with Read on OK. A failed check shows its message, puts the focus on the field with
// its text selected and ends the reading: the failed member and every field after it keep what
// they held.
#pragma once

#include <QString>
#include <cstddef>
#include <functional>
#include <initializer_list>
#include <string>

class QAbstractButton;
class QLineEdit;
class QPlainTextEdit;
class QRadioButton;
class QWidget;

namespace dialogs {

class DataExchange {
public:
    enum class Direction { Show, Read };
    // Shows one message of a failed check; without one the reading is quiet.
    using MessageSink = std::function<void(const QString& text)>;

    DataExchange(Direction direction, MessageSink sink)
        : direction_(direction), sink_(std::move(sink)) {}
    // Shows the members in the controls.
    static DataExchange Showing() { return DataExchange(Direction::Show, nullptr); }
    // Reads the controls back, with the messages as the framework shows them (an exclamation box
    // through the user-interface services).
    static DataExchange Reading();

    bool IsReading() const { return direction_ == Direction::Read; }

    // A whole number from `min` to `max` that must not be negative.
    void Unsigned(QLineEdit* field, unsigned& member, unsigned min, unsigned max);
    // A whole number from `min` to `max`.
    void Integer(QLineEdit* field, int& member, int min, int max);
    // Any whole number an int holds.
    void Integer(QLineEdit* field, int& member);
    // A text, as the model keeps it (Windows-1252 bytes).
    void Text(QLineEdit* field, std::string& member);
    // A text of at most `limit` characters.
    void Text(QLineEdit* field, std::string& member, std::size_t limit);
    // A text of lines parted by CR LF in the member, of at most `limit` characters (a line
    // break counts two).
    void Text(QPlainTextEdit* field, std::string& member, std::size_t limit);
    // A decimal number from `min` to `max` that the member keeps as its text.
    void NumberText(QLineEdit* field, std::string& member, double min, double max);
    void Check(QAbstractButton* box, bool& member);
    // The index of the checked button of the group.
    void Radio(std::initializer_list<QRadioButton*> group, int& member);

    bool Failed() const { return failed_; }
    // The field whose check failed, or null.
    QWidget* FailedWidget() const { return failedField_; }
    // The same when it is a one-line edit.
    QLineEdit* FailedField() const;

private:
    template <typename T>
    void Whole(QLineEdit* field, T& member, bool allowNegative, const char* noNumberText,
               long long min, long long max, bool ranged);
    void Fail(QWidget* field, const QString& text);

    Direction direction_;
    MessageSink sink_;
    bool failed_ = false;
    QWidget* failedField_ = nullptr;
};

// The texts of the checks.
QString RangeMessage(long long min, long long max);
QString LengthMessage(std::size_t limit);
QString NumberRangeMessage(double min, double max);
inline const char* const kNumberMessage = "Please enter a number.";
inline const char* const kPositiveIntegerMessage = "Please enter a positive integer.";
inline const char* const kIntegerMessage = "Please enter an integer.";

} // namespace dialogs
