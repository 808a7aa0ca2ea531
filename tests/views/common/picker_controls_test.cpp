#include "tests/support/qt_test_app.h"
#include "views/common/io_object.h"
#include "views/common/limit_edit.h"
#include "views/common/search_list_box.h"

#include <QApplication>
#include <QClipboard>
#include <QTest>
#include <gtest/gtest.h>
#include <string>

namespace {

TEST(IOObject, DisplayTellsKindAndNumber) {
    struct Case {
        std::string name;
        std::int16_t kind;
        std::uint16_t number;
        std::string display;
    } cases[] = {
        {"Main", 1, 7, "S-007: Main"}, {"Play", 2, 12, "E-00012: Play"},
        {"Door", 3, 1, "I-01: Door"},  {"Lamp", 4, 16, "O-16: Lamp"},
        {"Busy", 5, 2, "F-02: Busy"},  {"Count", 6, 3, "V-03: Count"},
        {"Deck", 7, 4, "P-04: Deck"},  {"Hello", 8, 100, "D-100: Hello"},
        {"Line", 9, 5, "L-005: Line"}, {"Plain", 0, 9, "Plain"},
        {"Other", 10, 9, "Other"},     {"Wide", 3, 123, "I-123: Wide"},
    };
    for (const Case& c : cases) {
        const CIOObject object(c.name, c.kind, c.number);
        EXPECT_EQ(object.Display(), c.display) << c.name;
        EXPECT_EQ(object.Name(), c.name);
        EXPECT_EQ(object.Number(), c.number);
    }
}

TEST(IOObject, LongNameIsCutInTheListButKeptWhole) {
    const std::string name(300, 'x');
    const CIOObject object(name, CIOObject::Variable, 3);
    EXPECT_EQ(object.Display().size(), CIOObject::kMaxDisplay);
    EXPECT_EQ(object.Display().substr(0, 6), "V-03: ");
    EXPECT_EQ(object.Name(), name);
}

struct SearchList : ::testing::Test {
    SearchList() {
        qt_testing::QtTestApp();
        list.addItems({"EXT: Pause", "INT: Play", "EXT: Stop", "I&E: Loop"});
        list.selectionTyped = [this] { ++signalled; };
        list.show();
        list.setFocus();
    }
    CSearchListBox list;
    int signalled = 0;
};

TEST_F(SearchList, TypingSelectsAfterAnyPrefixAndKeepsTheTypedText) {
    QTest::keyClicks(&list, "p");
    EXPECT_EQ(list.currentItem()->text(), "EXT: Pause"); // EXT: is tried first
    QTest::keyClicks(&list, "l");
    EXPECT_EQ(list.currentItem()->text(), "INT: Play");
    EXPECT_EQ(list.TypedText(), "pl");
    EXPECT_EQ(signalled, 2);
    QTest::keyClicks(&list, "x");
    EXPECT_EQ(list.currentItem()->text(), "INT: Play");
    EXPECT_EQ(list.TypedText(), "pl");
    EXPECT_EQ(signalled, 2);
    QTest::keyClick(&list, Qt::Key_Backspace);
    EXPECT_EQ(list.TypedText(), "p");
    EXPECT_EQ(list.currentItem()->text(), "INT: Play"); // the selection stays
}

TEST_F(SearchList, ThirdPrefixAndForwardedCharacters) {
    list.ForwardChar(QChar(u'L'));
    list.ForwardChar(QChar(u'o'));
    EXPECT_EQ(list.currentItem()->text(), "I&E: Loop");
    EXPECT_EQ(list.TypedText(), "Lo");
    // Backspace down to nothing, then once more: nothing left to remove (the beep).
    for (int i = 0; i < 3; ++i)
        list.OnChar(QChar(u'\b'));
    EXPECT_EQ(list.TypedText(), "");
    // A typed letter never reaches the list's own first-letter search.
    QTest::keyClicks(&list, "z");
    EXPECT_EQ(list.currentItem()->text(), "I&E: Loop");
}

TEST(SearchListPrefixes, OwnerGivesItsOwn) {
    qt_testing::QtTestApp();
    CSearchListBox list(nullptr, {QStringLiteral("R: ")});
    list.addItems({"INT: Door", "R: Dimmer"});
    list.OnChar(QChar(u'd'));
    EXPECT_EQ(list.currentItem()->text(), "R: Dimmer");
}

TEST(LimitEdit, RefusesTypingAtTheLimitUnlessReplacingAndTakesPastesWhole) {
    qt_testing::QtTestApp();
    QWidget parent;
    parent.setFocusPolicy(Qt::StrongFocus);
    auto* edit = new CLimitEdit(&parent);
    EXPECT_EQ(edit->Limit(), 256);
    edit->SetLimit(16);
    parent.show();
    parent.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&parent));
    edit->setFocus();
    edit->setText(QString(16, QChar(u'a')));
    QTest::keyClicks(edit, "b");
    EXPECT_EQ(edit->text(), QString(16, QChar(u'a')));
    edit->setSelection(0, 2);
    QTest::keyClicks(edit, "b");
    EXPECT_EQ(edit->text(), "b" + QString(14, QChar(u'a')));
    QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_EQ(edit->text().size(), 14);

    QApplication::clipboard()->setText(QStringLiteral("0123456789"));
    edit->end(false);
    edit->paste();
    EXPECT_EQ(edit->text().size(), 24);

    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), &parent);
}

} // namespace
