// Toolbars and docking on real bars: hiding what does not fit behind the expand button, the
// expand popup, floating and docking again, row wrapping.
#include "controls/commandbars/control_popup.h"
#include "controls/commandbars/dock_bar.h"
#include "platform/qt/colors.h"
#include "tests/controls/commandbars/bars_fixture.h"

namespace barstest {
namespace {

std::vector<unsigned> HiddenForRoom(CGVPCommandBar* bar) {
    std::vector<unsigned> ids;
    for (int i = 0; i < bar->GetControlCount(); ++i)
        if (bar->GetControl(i)->GetHiddenMask() == kHideWrap)
            ids.push_back(unsigned(bar->GetControl(i)->GetID()));
    return ids;
}

TEST_F(BarsTest, NarrowDockedToolbarHidesTheLastButtonsBehindTheExpandButton) {
    frame->resize(70, 300);
    frame->RecalcLayout();
    const std::vector<unsigned> hidden = HiddenForRoom(toolBar);
    ASSERT_FALSE(hidden.empty());
    EXPECT_EQ(hidden.back(), ID_EDIT_FIND);
    CGVPToolBar::CGVPControlExpandButton* expand = toolBar->GetExpandButton();
    ASSERT_NE(expand, nullptr);
    EXPECT_EQ(expand->GetHiddenMask(), 0);
    EXPECT_TRUE(expand->HasHiddenControls());
    EXPECT_LE(toolBar->geometry().right(), frame->width());
    EXPECT_GT(expand->GetRect().left(), 0);
    EXPECT_LE(expand->GetRect().right(), toolBar->width());

    // The expand popup lists exactly the hidden buttons, then "Add or Remove Buttons".
    QTest::mouseClick(toolBar, Qt::LeftButton, {}, expand->GetRect().center());
    CGVPPopupBar* popup = toolBar->GetExpandPopup();
    ASSERT_TRUE(popup && popup->isVisible());
    std::vector<unsigned> listed;
    for (int i = 0; i < popup->GetControlCount(); ++i)
        if (popup->GetControl(i)->GetID() != 0)
            listed.push_back(unsigned(popup->GetControl(i)->GetID()));
    EXPECT_EQ(listed, hidden);
    CGVPControl* last = popup->GetControl(popup->GetControlCount() - 1);
    EXPECT_EQ(last->GetCaption(), "&Add or Remove Buttons");
    // Its bar entries are disabled: no frame customises the bars.
    auto* sub = dynamic_cast<CGVPControlPopup*>(last)->GetCommandBar();
    ASSERT_EQ(sub->GetControlCount(), 1);
    EXPECT_FALSE(sub->GetControl(0)->GetEnabled());

    // A listed button executes like the hidden one.
    CGVPControl* find = popup->GetControls()->FindControlById(ID_EDIT_FIND);
    QTest::mouseMove(popup, Center(find));
    QTest::mouseClick(popup, Qt::LeftButton, {}, Center(find));
    EXPECT_EQ(frame->commands, std::vector<unsigned>{ID_EDIT_FIND});
    EXPECT_FALSE(popup->isVisible());

    frame->resize(640, 300);
    frame->RecalcLayout();
    EXPECT_TRUE(HiddenForRoom(toolBar).empty());
    EXPECT_FALSE(expand->HasHiddenControls());
}

// Floating bars leave and come back with the application unless the option says otherwise;
// a bar the user closed stays closed.
TEST_F(BarsTest, FloatingBarsFollowApplicationActivation) {
    ASSERT_TRUE(bars->FloatCommandBar(toolBar));
    frame->RecalcLayout();
    ASSERT_TRUE(toolBar->isVisible());
    bars->OnActivateApp(false);
    EXPECT_FALSE(toolBar->isVisible());
    EXPECT_TRUE(toolBar->IsVisible());
    bars->OnActivateApp(true);
    EXPECT_TRUE(toolBar->isVisible());

    bars->GetCommandBarsOptions()->bSyncFloatingBars = false;
    bars->OnActivateApp(false);
    EXPECT_TRUE(toolBar->isVisible());
}

TEST_F(BarsTest, FloatingBarHasACloseButtonAndDocksAgainByDoubleClick) {
    ASSERT_TRUE(bars->FloatCommandBar(toolBar));
    frame->RecalcLayout();
    EXPECT_EQ(toolBar->GetPosition(), gvpBarFloating);
    EXPECT_TRUE(toolBar->isWindow());
    EXPECT_EQ(toolBar->GetDockBar(), nullptr);
    CGVPToolBar::CGVPControlButtonHide* hide = toolBar->GetHideButton();
    ASSERT_NE(hide, nullptr);
    EXPECT_EQ(hide->GetHiddenMask(), 0);
    EXPECT_LT(hide->GetRect().top(), 10);
    EXPECT_GT(hide->GetRect().left(), toolBar->width() / 2);
    // The title row is no control: a double click there docks the bar where it was.
    QTest::mouseDClick(toolBar, Qt::LeftButton, {}, QPoint(8, 6));
    EXPECT_EQ(toolBar->GetPosition(), gvpBarTop);
    EXPECT_FALSE(toolBar->isWindow());
    EXPECT_EQ(toolBar->GetDockBar(), bars->GetDockBar(0));

    bars->FloatCommandBar(toolBar);
    const QRect layoutBefore = frame->CentralWidget()->geometry();
    frame->RecalcLayout();
    const QRect layoutFloating = frame->CentralWidget()->geometry();
    EXPECT_LT(layoutFloating.top(), layoutBefore.top() + 1);
    QTest::mouseClick(toolBar, Qt::LeftButton, {}, hide->GetRect().center());
    EXPECT_FALSE(toolBar->IsVisible());
    EXPECT_FALSE(toolBar->isVisible());
    EXPECT_EQ(frame->CentralWidget()->geometry(), layoutFloating);
}

TEST_F(BarsTest, DraggingABarOffTheDockFloatsItAndBackDocksIt) {
    const QPoint grip(3, toolBar->height() / 2); // the gripper: no control
    const QPoint start = toolBar->mapToGlobal(grip);
    QTest::mousePress(toolBar, Qt::LeftButton, {}, grip);
    EXPECT_TRUE(CGVPMouseManager::GetMouseManager()->IsLocked());
    auto moveTo = [&](QPoint global) {
        const QPoint local = toolBar->mapFromGlobal(global);
        QMouseEvent move(QEvent::MouseMove, local, global, Qt::NoButton, Qt::LeftButton, {});
        QApplication::sendEvent(toolBar, &move);
    };
    moveTo(start + QPoint(200, 150));
    EXPECT_EQ(toolBar->GetPosition(), gvpBarFloating);
    // Back within 20 pixels of the top dock area: docked again while the drag goes on.
    moveTo(frame->mapToGlobal(QPoint(200, menuBar->geometry().bottom() + 10)));
    EXPECT_EQ(toolBar->GetDockBar(), bars->GetDockBar(0));
    QMouseEvent release(QEvent::MouseButtonRelease, toolBar->mapFromGlobal(QCursor::pos()),
                        QCursor::pos(), Qt::LeftButton, {}, {});
    QApplication::sendEvent(toolBar, &release);
    EXPECT_FALSE(CGVPMouseManager::GetMouseManager()->IsLocked());
    // The menu bar keeps a row of its own.
    EXPECT_NE(toolBar->geometry().top(), menuBar->geometry().top());
}

TEST_F(BarsTest, ToolbarsWrapIntoANewRowWhenTheRowIsFull) {
    CGVPToolBar* second = bars->AddToolBar("Second", 0);
    ASSERT_TRUE(second && second->LoadToolBar(2, true));
    // Put the second bar in the first toolbar's row.
    const QRect at(toolBar->mapToGlobal(QPoint(toolBar->width() + 5, 2)), QSize(40, 10));
    bars->DockCommandBar(second, &at, bars->GetDockBar(0));
    frame->resize(900, 300);
    frame->RecalcLayout();
    EXPECT_EQ(second->geometry().top(), toolBar->geometry().top());
    EXPECT_GE(second->geometry().left(), toolBar->geometry().right());
    // Too narrow for both even at their least: the last bar moves to a new row.
    frame->resize(70, 300);
    frame->RecalcLayout();
    EXPECT_GT(second->geometry().top(), toolBar->geometry().top());
}

} // namespace
} // namespace barstest

namespace barstest {
namespace {

TEST_F(BarsTest, TooltipAddsTheShortcutOnlyWithTheOption) {
    frame->SetAccelerators({{GVPAccel::kVirtKey | GVPAccel::kControl, 'S', ID_SAVE}});
    CGVPControl* save = toolBar->GetControls()->FindControlById(ID_SAVE);
    save->SetTooltip("Save");
    const QPoint at = Center(save);
    EXPECT_EQ(toolBar->TooltipAt(at), "Save");
    bars->GetCommandBarsOptions()->bToolBarAccelTips = true;
    EXPECT_EQ(toolBar->TooltipAt(at), "Save (Ctrl+S)");
    bars->GetCommandBarsOptions()->bToolBarScreenTips = false;
    EXPECT_EQ(toolBar->TooltipAt(at), "");
    EXPECT_EQ(bars->GetToolBarById(0), nullptr);
    EXPECT_EQ(bars->GetToolBarById(2), toolBar);
}

} // namespace
} // namespace barstest

namespace barstest {
namespace {

// A change of the system colours or fonts re-measures the bars: a larger menu font makes the
// menu bar taller without any call from the program.
TEST_F(BarsTest, SystemChangeNoticeRelaysOutTheBars) {
    frame->RecalcLayout();
    const int before = menuBar->height();
    GVPFontSource fonts;
    fonts.menuFont = fonts.smallCaptionFont = fonts.iconTitleFont = fonts.statusFont = [] {
        QFont f(QStringLiteral("DejaVu Sans"));
        f.setPixelSize(30);
        return f;
    };
    SetFontSource(fonts);
    emit platform::qt::SystemColors::Instance().Changed();
    EXPECT_GT(menuBar->height(), before);
}

} // namespace
} // namespace barstest
