// Popup placement within a work area: context menus near the edges, a submenu beside its item,
// a popup taller than the work area scrolling with the keyboard selection; and the status line.
#include "controls/commandbars/control_popup.h"
#include "tests/controls/commandbars/bars_fixture.h"

namespace barstest {
namespace {

class PlacementTest : public BarsTest {
protected:
    void SetUp() override {
        BarsTest::SetUp();
        const QRect area(0, 0, 800, 600);
        CGVPPopupBar::SetWorkAreaOverride(&area);
        for (int i = 0; i < 5; ++i)
            menu.Item(QString("Item &%1").arg(i), unsigned(ID_NEW));
        popup = new CGVPPopupBar;
        popup->SetCommandBars(bars);
        popup->LoadMenu(&menu);
    }
    void TearDown() override {
        popup->SetTrackingMode(0, true, false);
        popup->InternalRelease();
        BarsTest::TearDown();
    }
    GVPMenu menu;
    CGVPPopupBar* popup = nullptr;
};

TEST_F(PlacementTest, ContextMenusStayInsideTheWorkArea) {
    struct Case {
        QPoint at;
        const char* what;
        std::function<bool(const QRect&)> check;
    };
    const Case cases[] = {
        {{100, 100},
         "at the point",
         [](const QRect& r) { return r.topLeft() == QPoint(100, 100); }},
        {{100, 590},
         "near the bottom opens upwards",
         [](const QRect& r) { return r.bottom() + 1 == 590; }},
        {{790, 100},
         "near the right edge ends at it",
         [](const QRect& r) { return r.right() + 1 == 800 && r.top() == 100; }},
        {{100, 700},
         "below the work area opens upwards from the point",
         [](const QRect& r) { return r.bottom() + 1 == 700 - 0 || r.bottom() < 600; }},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(popup->Popup(c.at, nullptr));
        EXPECT_TRUE(c.check(popup->geometry())) << c.what;
        popup->SetTrackingMode(0, true, false);
    }
}

TEST_F(PlacementTest, SubmenusOpenBesideTheirItemAndMenuBarPopupsBelow) {
    QTest::mouseClick(menuBar, Qt::LeftButton, {}, Center(MenuItem("&File")));
    CGVPPopupBar* file = OpenPopup();
    ASSERT_NE(file, nullptr);
    const QRect item(menuBar->mapToGlobal(MenuItem("&File")->GetRect().topLeft()),
                     MenuItem("&File")->GetRect().size());
    EXPECT_GE(file->geometry().top(), item.bottom());
    EXPECT_EQ(file->GetDirection() & 2, 2);
    Key(Qt::Key_B);
    auto* subControl = dynamic_cast<CGVPControlPopup*>(file->GetControl(file->GetPopupedIndex()));
    auto* sub = dynamic_cast<CGVPPopupBar*>(subControl->GetCommandBar());
    ASSERT_TRUE(sub && sub->isVisible());
    EXPECT_GE(sub->geometry().left(), file->geometry().right() - 4);
    EXPECT_EQ(sub->GetDirection() & 1, 0);
}

TEST_F(PlacementTest, ATallPopupScrollsWithTheKeyboardSelection) {
    GVPMenu tall;
    for (int i = 0; i < 60; ++i)
        tall.Item(QString("Row %1").arg(i), unsigned(ID_NEW));
    popup->LoadMenu(&tall);
    ASSERT_TRUE(popup->Popup(QPoint(10, 10), nullptr));
    EXPECT_TRUE(popup->IsScrolling());
    EXPECT_LE(popup->geometry().bottom(), 600 - 5);
    EXPECT_FALSE(popup->GetLowerArrowRect().isNull());
    EXPECT_TRUE(popup->GetUpperArrowRect().isNull());
    EXPECT_TRUE(popup->GetControl(59)->GetHiddenMask() & kHideScroll);
    popup->ProcessKeyAction(7); // End: the last row
    EXPECT_EQ(popup->GetSelectedIndex(), 59);
    EXPECT_EQ(popup->GetControl(59)->GetHiddenMask(), 0);
    EXPECT_GT(popup->GetFirstVisible(), 0);
    EXPECT_FALSE(popup->GetUpperArrowRect().isNull());
    popup->ProcessKeyAction(6); // Home
    EXPECT_EQ(popup->GetFirstVisible(), 0);
}

TEST_F(BarsTest, SelectedControlShowsItsDescriptionInTheStatusLine) {
    QStringList shown;
    frame->statusHook = [&](const QString& text) { shown << text; };
    CGVPResources::Instance().SetString(ID_SAVE, "Save the document\nSave");
    CGVPControl* save = toolBar->GetControls()->FindControlById(ID_SAVE);
    save->SetDescription("Save the document");
    QTest::mouseMove(toolBar, Center(save));
    QTest::mouseMove(toolBar, QPoint(toolBar->width() - 1, 1));
    ASSERT_GE(shown.size(), 2);
    EXPECT_EQ(shown[0], "Save the document");
    EXPECT_EQ(shown[1], ""); // the idle message again
    frame->statusHook = nullptr;
}

} // namespace
} // namespace barstest
