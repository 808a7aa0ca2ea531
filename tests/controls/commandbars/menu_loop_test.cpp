// The menu loop on real widgets: keyboard entry and navigation, mnemonics, mouse tracking,
// execution on release.
#include "controls/commandbars/control_popup.h"
#include "tests/controls/commandbars/bars_fixture.h"

#include <QImage>
#include <QLineEdit>

namespace barstest {
namespace {

TEST_F(BarsTest, AltAloneTogglesKeyboardTracking) {
    Key(Qt::Key_Alt, Qt::AltModifier);
    EXPECT_EQ(menuBar->GetTrackingMode(), 1);
    EXPECT_EQ(menuBar->GetSelectedIndex(), 0);
    // An Alt press that ends tracking does not start it again on its release.
    KeyPress(Qt::Key_Alt, Qt::AltModifier);
    EXPECT_EQ(menuBar->GetTrackingMode(), 0);
    KeyRelease(Qt::Key_Alt, Qt::AltModifier);
    EXPECT_EQ(menuBar->GetTrackingMode(), 0);
    Key(Qt::Key_F10);
    EXPECT_EQ(menuBar->GetTrackingMode(), 1);
    Key(Qt::Key_F10);
    EXPECT_EQ(menuBar->GetTrackingMode(), 0);
}

TEST_F(BarsTest, AltMnemonicOpensItsPopupAndKeysNavigate) {
    KeyPress(Qt::Key_E, Qt::AltModifier);
    EXPECT_EQ(menuBar->GetTrackingMode(), 2);
    EXPECT_EQ(menuBar->GetPopupedIndex(), MenuItem("&Edit")->GetIndex());
    CGVPPopupBar* popup = OpenPopup();
    ASSERT_NE(popup, nullptr);
    EXPECT_TRUE(popup->isVisible());
    EXPECT_EQ(popup->GetSelectedIndex(), 0); // opened by keyboard: first item selected
    // Right on an item without submenu goes on to the menu bar: the next menu opens.
    Key(Qt::Key_Right);
    EXPECT_EQ(menuBar->GetPopupedIndex(), MenuItem("&View")->GetIndex());
    EXPECT_FALSE(popup->isVisible());
    // Escape closes the popup and leaves the menu bar in keyboard tracking on that item.
    Key(Qt::Key_Escape);
    EXPECT_EQ(menuBar->GetPopupedIndex(), -1);
    EXPECT_EQ(menuBar->GetTrackingMode(), 1);
    EXPECT_EQ(menuBar->GetSelectedIndex(), MenuItem("&View")->GetIndex());
    // Down opens the selected item's popup; Escape twice ends the loop.
    Key(Qt::Key_Down);
    EXPECT_EQ(menuBar->GetPopupedIndex(), MenuItem("&View")->GetIndex());
    Key(Qt::Key_Escape);
    Key(Qt::Key_Escape);
    EXPECT_EQ(menuBar->GetTrackingMode(), 0);
    EXPECT_TRUE(frame->commands.empty());
}

TEST_F(BarsTest, EnterAndMnemonicExecuteOnceAndCloseTheMenus) {
    KeyPress(Qt::Key_F, Qt::AltModifier);
    CGVPPopupBar* popup = OpenPopup();
    ASSERT_NE(popup, nullptr);
    Key(Qt::Key_Down); // New -> Open
    Key(Qt::Key_Return);
    EXPECT_EQ(frame->commands, std::vector<unsigned>{ID_OPEN});
    EXPECT_EQ(menuBar->GetTrackingMode(), 0);
    EXPECT_FALSE(CGVPMouseManager::GetMouseManager()->IsTracking());

    KeyPress(Qt::Key_F, Qt::AltModifier);
    Key(Qt::Key_S);
    EXPECT_EQ(frame->commands, (std::vector<unsigned>{ID_OPEN, ID_SAVE}));
    // Alt with a letter no caption has is not consumed.
    frame->commands.clear();
    KeyPress(Qt::Key_Q, Qt::AltModifier);
    EXPECT_EQ(menuBar->GetTrackingMode(), 0);
}

TEST_F(BarsTest, SubmenuOpensByRightAndClosesByLeft) {
    KeyPress(Qt::Key_F, Qt::AltModifier);
    CGVPPopupBar* popup = OpenPopup();
    ASSERT_NE(popup, nullptr);
    Key(Qt::Key_B); // the submenu's mnemonic opens it
    auto* subControl = dynamic_cast<CGVPControlPopup*>(popup->GetControl(popup->GetPopupedIndex()));
    ASSERT_NE(subControl, nullptr);
    auto* sub = dynamic_cast<CGVPPopupBar*>(subControl->GetCommandBar());
    ASSERT_TRUE(sub && sub->isVisible());
    EXPECT_GT(sub->x(), popup->x()); // opens to the right of its item
    Key(Qt::Key_Left);
    EXPECT_FALSE(sub->isVisible());
    EXPECT_TRUE(popup->isVisible());
    EXPECT_EQ(popup->GetTrackingMode(), 1);
    Key(Qt::Key_Right);
    ASSERT_TRUE(sub->isVisible());
    Key(Qt::Key_Return);
    EXPECT_EQ(frame->commands, std::vector<unsigned>{ID_SUB_A});
}

TEST_F(BarsTest, DisabledAndCheckedItemsFollowTheUpdate) {
    KeyPress(Qt::Key_F, Qt::AltModifier);
    CGVPPopupBar* popup = OpenPopup();
    ASSERT_NE(popup, nullptr);
    CGVPControl* disabled = popup->GetControls()->FindControlById(ID_DISABLED);
    CGVPControl* checked = popup->GetControls()->FindControlById(ID_CHECKED);
    ASSERT_TRUE(disabled && checked);
    EXPECT_FALSE(disabled->GetEnabled()); // no handler anywhere
    EXPECT_TRUE(checked->GetChecked());
    EXPECT_TRUE(disabled->GetBeginGroup() == false);
    EXPECT_TRUE(popup->GetControls()->FindControlById(ID_SAVE)->GetBeginGroup());
    // A disabled item does not execute on Enter.
    popup->SetSelected(disabled->GetIndex(), true);
    Key(Qt::Key_Return);
    EXPECT_TRUE(frame->commands.empty());
}

struct MnemonicCase {
    std::vector<QString> captions;
    QChar key;
    int expected;
    bool ambiguous;
};

TEST_F(BarsTest, FindAcceleratorRules) {
    const MnemonicCase cases[] = {
        {{"&File", "&Format"}, 'F', 0, true},        // two marks: the first, ambiguous
        {{"Find", "&Open", "F&ind"}, 'I', 2, false}, // a mark wins
        {{"Fish", "&Open", "&Fax"}, 'F', 2, false},  // a mark over a first letter
        {{"Fish", "Open"}, 'F', 0, false},           // first letter without any mark
        {{"Fish", "Fax"}, 'F', 0, true},             // two first letters
        {{"Tail&", "&Open"}, 'T', 0, false},         // a trailing & is no mark
        {{"A && B", "&Open"}, 'B', -1, false},       // && is a literal ampersand
        {{"&Edit"}, 'X', -1, false},
    };
    for (const auto& c : cases) {
        menuBar->GetControls()->RemoveAll();
        for (const QString& caption : c.captions)
            menuBar->GetControls()->Add(gvpControlButton, 900)->SetCaption(caption);
        bool ambiguous = false;
        EXPECT_EQ(menuBar->FindAccelerator(c.key, &ambiguous), c.expected)
            << c.captions[0].toStdString();
        EXPECT_EQ(ambiguous, c.ambiguous) << c.captions[0].toStdString();
    }
}

TEST_F(BarsTest, AmbiguousAltMnemonicSelectsWithoutOpening) {
    menuBar->GetControls()->Add(gvpControlPopup, 0)->SetCaption("&Extra");
    KeyPress(Qt::Key_E, Qt::AltModifier);
    EXPECT_EQ(menuBar->GetTrackingMode(), 1);
    EXPECT_EQ(menuBar->GetPopupedIndex(), -1);
    EXPECT_EQ(menuBar->GetSelectedIndex(), MenuItem("&Edit")->GetIndex());
}

TEST_F(BarsTest, MenuItemExecutesOnReleaseAfterADragFromTheMenuBar) {
    CGVPControl* file = MenuItem("&File");
    QTest::mousePress(menuBar, Qt::LeftButton, {}, Center(file));
    CGVPPopupBar* popup = OpenPopup();
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(menuBar->GetTrackingMode(), 2);
    // Qt keeps sending the drag to the menu bar; the mouse manager hands it to the popup.
    CGVPControl* save = popup->GetControls()->FindControlById(ID_SAVE);
    const QPoint inPopup = popup->mapToGlobal(Center(save));
    const QPoint local = menuBar->mapFromGlobal(inPopup);
    QTest::mouseMove(menuBar, local);
    QMouseEvent move(QEvent::MouseMove, local, inPopup, Qt::NoButton, Qt::LeftButton, {});
    QApplication::sendEvent(menuBar, &move);
    EXPECT_EQ(popup->GetSelectedIndex(), save->GetIndex());
    QMouseEvent release(QEvent::MouseButtonRelease, local, inPopup, Qt::LeftButton, {}, {});
    QApplication::sendEvent(menuBar, &release);
    EXPECT_EQ(frame->commands, std::vector<unsigned>{ID_SAVE});
    EXPECT_FALSE(popup->isVisible());
}

TEST_F(BarsTest, ClickOnAMenuItemThenOutsideClosesTheMenus) {
    CGVPControl* edit = MenuItem("&Edit");
    QTest::mouseClick(menuBar, Qt::LeftButton, {}, Center(edit));
    CGVPPopupBar* popup = OpenPopup();
    ASSERT_TRUE(popup && popup->isVisible());
    // Moving along the menu bar opens the neighbour's menu.
    QTest::mouseMove(menuBar, Center(MenuItem("&View")));
    EXPECT_EQ(menuBar->GetPopupedIndex(), MenuItem("&View")->GetIndex());
    // A click elsewhere closes everything and still reaches its window.
    QTest::mouseClick(focus, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(menuBar->GetTrackingMode(), 0);
    EXPECT_FALSE(CGVPMouseManager::GetMouseManager()->IsTracking());
    // A second click on an open menu's item closes it.
    QTest::mouseClick(menuBar, Qt::LeftButton, {}, Center(edit));
    ASSERT_EQ(menuBar->GetTrackingMode(), 2);
    QTest::mouseClick(menuBar, Qt::LeftButton, {}, Center(edit));
    EXPECT_EQ(menuBar->GetTrackingMode(), 0);
}

TEST_F(BarsTest, ToolbarButtonExecutesOnlyOnReleaseInside) {
    CGVPControl* save = toolBar->GetControls()->FindControlById(ID_SAVE);
    ASSERT_NE(save, nullptr);
    const QPoint inside = Center(save);
    const QPoint outside = inside + QPoint(0, 200);
    QTest::mousePress(toolBar, Qt::LeftButton, {}, inside);
    EXPECT_EQ(save->GetPressed(), 1);
    QTest::mouseMove(toolBar, outside);
    QMouseEvent moveOut(QEvent::MouseMove, outside, toolBar->mapToGlobal(outside), Qt::NoButton,
                        Qt::LeftButton, {});
    QApplication::sendEvent(toolBar, &moveOut);
    EXPECT_EQ(save->GetSelected(), 0);
    QTest::mouseRelease(toolBar, Qt::LeftButton, {}, outside);
    EXPECT_TRUE(frame->commands.empty());
    EXPECT_EQ(save->GetPressed(), 0);

    // Back inside before the release executes.
    QTest::mousePress(toolBar, Qt::LeftButton, {}, inside);
    QApplication::sendEvent(toolBar, &moveOut);
    QMouseEvent moveIn(QEvent::MouseMove, inside, toolBar->mapToGlobal(inside), Qt::NoButton,
                       Qt::LeftButton, {});
    QApplication::sendEvent(toolBar, &moveIn);
    QTest::mouseRelease(toolBar, Qt::LeftButton, {}, inside);
    EXPECT_EQ(frame->commands, std::vector<unsigned>{ID_SAVE});
    EXPECT_EQ(save->GetPressed(), 2); // until the next idle update
    Idle();
    EXPECT_EQ(save->GetPressed(), 0);
}

} // namespace
} // namespace barstest

namespace barstest {
namespace {

TEST_F(BarsTest, KeysOfAChildFrameReachTheMainFrameMenuBar) {
    auto* child = new CGVPMDIChildWnd;
    child->SetUpCommandBars();
    auto* edit = new QLineEdit;
    child->SetCentralWidget(edit);
    QMdiSubWindow* sub = frame->MdiClient()->addSubWindow(child);
    sub->show();
    edit->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), edit);
    Key(Qt::Key_Alt, Qt::AltModifier);
    ASSERT_EQ(menuBar->GetTrackingMode(), 1);
    Key(Qt::Key_Right);
    EXPECT_EQ(menuBar->GetSelectedIndex(), MenuItem("&Edit")->GetIndex());
    Key(Qt::Key_Down);
    EXPECT_EQ(menuBar->GetPopupedIndex(), MenuItem("&Edit")->GetIndex());
    Key(Qt::Key_Return);
    EXPECT_EQ(frame->commands, std::vector<unsigned>{ID_EDIT_UNDO});
    // No key reached the field while the menu tracked.
    EXPECT_TRUE(edit->text().isEmpty());
}

} // namespace
} // namespace barstest

namespace barstest {
namespace {

// A menu hangs from the item that opened it: it knows that item's place on screen, and its top
// edge stays open where the two meet while the rest of the edge keeps the border.
TEST_F(BarsTest, MenuFromTheMenuBarIsJoinedToItsItem) {
    KeyPress(Qt::Key_E, Qt::AltModifier);
    CGVPPopupBar* popup = OpenPopup();
    ASSERT_NE(popup, nullptr);
    CGVPControl* item = MenuItem("&Edit");
    const QRect itemOnScreen(menuBar->mapToGlobal(item->GetRect().topLeft()),
                             item->GetRect().size());
    const QRect owner = popup->GetOwnerControlScreenRect();
    ASSERT_FALSE(owner.isEmpty());
    EXPECT_TRUE(owner.intersects(itemOnScreen));
    const QRect window(popup->mapToGlobal(QPoint(0, 0)), popup->size());
    const QRect shared = owner.adjusted(-1, -1, 1, 1) & window;
    ASSERT_FALSE(shared.isEmpty());
    ASSERT_GT(window.right(), owner.right() + 4); // the menu is wider than its item

    const QImage image = popup->grab().toImage();
    const int y = shared.top() - window.top();
    const QColor joined = image.pixelColor(shared.left() - window.left() + 3, y);
    const QColor edge = image.pixelColor(window.width() - 3, y);
    EXPECT_NE(joined, edge);
    Key(Qt::Key_Escape);
    Key(Qt::Key_Escape);
}

} // namespace
} // namespace barstest
