// Every dialog of the kit is at least as wide as its title, whatever it holds.
#include "controls/dialogkit/dialog_kit.h"
#include "tests/support/qt_test_app.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace {

struct DialogKitTest : ::testing::Test, testsupport::QtAppFirst {};

// A dialog holding only a short label and OK/Cancel: far narrower than a long title.
struct TinyDialog : QDialog {
    explicit TinyDialog(const QString& title) {
        setWindowTitle(title);
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(new QLabel(QStringLiteral("Go?"), this));
        layout->addWidget(dialogs::OkCancel(*this));
    }
};

int BoldTextWidth(const QDialog& dialog) {
    QFont font = dialog.font();
    font.setBold(true);
    return QFontMetrics(font).horizontalAdvance(dialog.windowTitle());
}

const QString kLongTitle = QStringLiteral("Download Compiled Script to the Show Controller");

} // namespace

TEST_F(DialogKitTest, CentredDialogsAreAsWideAsTheirTitle) {
    for (const int pixels : {12, 18}) {
        for (const bool onParent : {false, true}) {
            QDialog owner;
            owner.resize(200, 100);
            TinyDialog dialog(kLongTitle);
            QFont font = dialog.font();
            font.setPixelSize(pixels);
            dialog.setFont(font);
            if (onParent) {
                dialog.setParent(&owner, dialog.windowFlags());
                dialogs::CentreOnParent(dialog);
            } else {
                dialogs::CentreOnDesktop(dialog);
            }
            EXPECT_GT(BoldTextWidth(dialog), TinyDialog(QStringLiteral("x")).sizeHint().width());
            EXPECT_GT(dialogs::TitleWidth(dialog), BoldTextWidth(dialog));
            EXPECT_GE(dialog.width(), dialogs::TitleWidth(dialog)) << pixels << " px";
        }
    }
}

// A title set or changed after the dialog was built widens it when it is shown; a short title
// leaves the dialog at the size of what it holds.
TEST_F(DialogKitTest, ATitleSetLaterWidensTheDialogOnShow) {
    TinyDialog dialog(QStringLiteral("Go"));
    dialogs::CentreOnDesktop(dialog);
    const int ownWidth = dialog.width();
    EXPECT_LT(ownWidth, dialogs::TitleWidth(TinyDialog(kLongTitle)));

    dialog.setWindowTitle(kLongTitle);
    dialog.show();
    EXPECT_GE(dialog.width(), dialogs::TitleWidth(dialog));
    EXPECT_GE(dialog.width(), BoldTextWidth(dialog));
    dialog.hide();
}

// A title longer than the screen is wide makes the dialog no wider than the screen.
TEST_F(DialogKitTest, NoWiderThanTheScreen) {
    TinyDialog dialog(kLongTitle.repeated(20));
    dialogs::CentreOnDesktop(dialog);
    ASSERT_TRUE(dialog.screen());
    EXPECT_LE(dialog.width(), dialog.screen()->availableGeometry().width());
}
