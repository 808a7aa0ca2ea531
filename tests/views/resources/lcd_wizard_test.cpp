#include "tests/support/qt_test_app.h"
#include "views/common/limit_edit.h"
#include "views/resources/lcd_wizard.h"

#include <QCheckBox>
#include <QTest>
#include <gtest/gtest.h>

namespace {

struct LcdWizardDialogTest : ::testing::Test, testsupport::QtAppFirst {};

TEST_F(LcdWizardDialogTest, EachDisplayHasItsWidthAndTitle) {
    CLargeLcdDlg large;
    CSmallLcdDlg small;
    EXPECT_EQ(large.windowTitle(), "LCD Wizard- Large LCD Display");
    EXPECT_EQ(small.windowTitle(), "LCD Wizard- Small LCD Display");
    EXPECT_EQ(large.Line(0)->Limit(), 40);
    EXPECT_EQ(small.Line(1)->Limit(), 16);
    EXPECT_EQ(large.Line(0)->objectName(), "ctl_258");
    EXPECT_EQ(small.Box(1)->objectName(), "ctl_282");
}

// Typing stops at the display's width; a box checked empties its line; text in a line clears
// its box; a decoded line with text shows its box clear.
TEST_F(LcdWizardDialogTest, BoxesAndLinesFollowEachOther) {
    CSmallLcdDlg dialog;
    dialog.m_strLine1 = "HELLO";
    dialog.m_nForceBlank1 = 1;
    dialog.m_nForceBlank2 = 1;
    dialog.OnInitDialog();
    EXPECT_FALSE(dialog.Box(0)->isChecked());
    EXPECT_TRUE(dialog.Box(1)->isChecked());
    EXPECT_EQ(dialog.Line(0)->text(), "HELLO");

    dialog.Box(0)->click();
    EXPECT_TRUE(dialog.Box(0)->isChecked());
    EXPECT_EQ(dialog.Line(0)->text(), "");
    QTest::keyClicks(dialog.Line(0), "ABCDEFGHIJKLMNOPQRSTU");
    EXPECT_EQ(dialog.Line(0)->text(), "ABCDEFGHIJKLMNOP");
    EXPECT_FALSE(dialog.Box(0)->isChecked());

    dialog.accept();
    EXPECT_EQ(dialog.m_strLine1, "ABCDEFGHIJKLMNOP");
    EXPECT_EQ(dialog.m_strLine2, "");
    EXPECT_EQ(dialog.m_nForceBlank1, 0);
    EXPECT_EQ(dialog.m_nForceBlank2, 1);
}

// A hand-written line longer than the display is shown and taken back whole.
TEST_F(LcdWizardDialogTest, ALongerLineIsKeptWhole) {
    CSmallLcdDlg dialog;
    dialog.m_strLine2 = std::string(60, 'x');
    dialog.OnInitDialog();
    dialog.accept();
    EXPECT_EQ(dialog.m_strLine2, std::string(60, 'x'));
}

} // namespace
