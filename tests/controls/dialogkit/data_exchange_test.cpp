// The kit's data exchange: each field listed once shows the members and reads them back; a
// reading stops at the first failed field, says why, and leaves the focus and selection there.
#include "controls/dialogkit/data_exchange.h"
#include "controls/dialogkit/dialog_kit.h"
#include "tests/support/qt_test_app.h"
#include "tests/support/scripted_ui.h"

#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <gtest/gtest.h>
#include <string>

namespace {

struct Members {
    int count = 7;
    int level = 3;
    std::string name = "Lobby";
    bool loop = true;
};

// A dialog of three fields and a box, each named once.
struct SmallDialog : QDialog {
    SmallDialog() {
        count = dialogs::Named(new QLineEdit(this), 301);
        level = dialogs::Named(new QLineEdit(this), 302);
        name = dialogs::Named(new QLineEdit(this), 303);
        loop = dialogs::MakeCheck(QStringLiteral("Loop"), 304, this);
    }
    void DoDataExchange(dialogs::DataExchange& dx, Members& m) {
        dx.Integer(count, m.count);
        dx.Integer(level, m.level, 1, 6);
        dx.Text(name, m.name);
        dx.Check(loop, m.loop);
    }
    QLineEdit* count;
    QLineEdit* level;
    QLineEdit* name;
    QCheckBox* loop;
};

TEST(DataExchange, ShowsReadsAndStopsAtTheFirstFailure) {
    testsupport::QtApp();
    testing_support::ScriptedUi ui;
    SmallDialog dialog;
    dialog.show();
    Members shown;
    dialogs::DataExchange show = dialogs::DataExchange::Showing();
    dialog.DoDataExchange(show, shown);
    EXPECT_EQ(dialog.findChild<QLineEdit*>("ctl_301")->text(), "7");
    EXPECT_EQ(dialog.name->text(), "Lobby");
    EXPECT_TRUE(dialog.loop->isChecked());

    struct Case {
        const char* count;
        const char* level;
        const char* message; // none: read
        int readCount, readLevel;
    } cases[] = {
        {" +12 ", "6", nullptr, 12, 6},
        {"-2147483648", "1", nullptr, -2147483648, 1},
        {"2147483648", "2", "Please enter an integer.", 7, 3},
        {"1x", "2", "Please enter an integer.", 7, 3},
        {"", "2", "Please enter an integer.", 7, 3},
        {"5", "9", "Please enter an integer between 1 and 6.", 5, 3},
        {"5", "y", "Please enter an integer.", 5, 3},
    };
    for (const Case& c : cases) {
        ui.Clear();
        Members read;
        dialog.count->setText(QString::fromLatin1(c.count));
        dialog.level->setText(QString::fromLatin1(c.level));
        dialog.name->setText(QStringLiteral("Fountain"));
        dialog.loop->setChecked(false);
        dialogs::DataExchange dx = dialogs::DataExchange::Reading();
        dialog.DoDataExchange(dx, read);
        EXPECT_EQ(read.count, c.readCount) << c.count;
        EXPECT_EQ(read.level, c.readLevel) << c.level;
        if (!c.message) {
            EXPECT_FALSE(dx.Failed());
            EXPECT_TRUE(ui.Texts().empty());
            EXPECT_EQ(read.name, "Fountain");
            EXPECT_FALSE(read.loop);
            continue;
        }
        // One message, the failed field focused and selected, the fields after it untouched.
        EXPECT_EQ(ui.Texts(), std::vector<std::string>{c.message}) << c.count << " " << c.level;
        ASSERT_NE(dx.FailedField(), nullptr);
        EXPECT_TRUE(dx.FailedField()->hasSelectedText() || dx.FailedField()->text().isEmpty());
        EXPECT_EQ(dialog.focusWidget(), dx.FailedField());
        EXPECT_EQ(read.name, "Lobby");
        EXPECT_TRUE(read.loop);
    }
}

// A one-line field stores what was entered (a paste may bring line breaks) on one line: the
// texts go to files of one value a line. A multi-line field gives its lines joined by CR LF.
TEST(DataExchange, TextsAreReadOnOneLine) {
    testsupport::QtApp();
    testing_support::ScriptedUi ui;
    QDialog dialog;
    auto* line = new QLineEdit(&dialog);
    auto* lines = new QPlainTextEdit(&dialog);
    const struct {
        QString entered;
        std::string stored;
    } cases[] = {
        {QStringLiteral("a\rb"), "a b"},
        {QStringLiteral("a\nb"), "a b"},
        {QStringLiteral("a\r\nb\n[Sequence: X]"), "a b [Sequence: X]"},
    };
    const struct {
        QString entered;
        std::string stored;
    } multiLine[] = {
        {QStringLiteral("a\nb"), "a\r\nb"},
        {QStringLiteral("a\r\nb"), "a\r\nb"},
    };
    for (const auto& c : cases) {
        std::string one, limited;
        line->setText(c.entered);
        dialogs::DataExchange dx = dialogs::DataExchange::Reading();
        dx.Text(line, one);
        dx.Text(line, limited, 100);
        EXPECT_EQ(one, c.stored);
        EXPECT_EQ(limited, c.stored);
    }
    for (const auto& c : multiLine) {
        std::string many;
        lines->setPlainText(c.entered);
        dialogs::DataExchange dx = dialogs::DataExchange::Reading();
        dx.Text(lines, many, 100);
        EXPECT_EQ(many, c.stored);
    }
}

} // namespace
