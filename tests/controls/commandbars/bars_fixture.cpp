#include "tests/controls/commandbars/bars_fixture.h"

#include "controls/commandbars/control_popup.h"
#include "controls/commandbars/resources.h"

#include <QApplication>
#include <QLineEdit>

namespace barstest {

void BarsTest::SetUp() {
    PaintTest::SetUp();
    CGVPPaintManager::SelectTheme(2);
    auto menu = std::make_shared<GVPMenu>();
    GVPMenu& file = menu->Popup("&File");
    file.Item("&New\tCtrl+N", ID_NEW).Item("&Open...", ID_OPEN).Separator();
    file.Item("&Save", ID_SAVE).Item("Disabled", ID_DISABLED).Item("&Checked", ID_CHECKED);
    GVPMenu& sub = file.Popup("Su&bmenu");
    sub.Item("Sub &A", ID_SUB_A).Item("Sub &B", ID_SUB_B);
    menu->Popup("&Edit").Item("&Undo", ID_EDIT_UNDO).Item("&Find", ID_EDIT_FIND);
    menu->Popup("&View").Item("&Status Bar", ID_VIEW_STATUS);
    menu->Popup("&Tools").Item("Tool &1", ID_TOOLS_1);
    menu->Popup("&Window").Item("&Cascade", 57650).Item("Windows", 35000);
    CGVPResources::Instance().SetMenu(2, menu);
    GVPToolBarResource tb;
    tb.ids = {ID_NEW, ID_OPEN, ID_SAVE, 0, ID_EDIT_UNDO, ID_EDIT_FIND};
    tb.iconNames = {{ID_NEW, "document-new"}, {ID_OPEN, "document-open"}};
    CGVPResources::Instance().SetToolBar(2, tb);

    frame = new TestFrame;
    frame->resize(640, 480);
    ASSERT_TRUE(frame->SetUpCommandBars());
    bars = frame->GetCommandBars();
    menuBar = bars->CreateMenuBar("Menu Bar", 2);
    ASSERT_NE(menuBar, nullptr);
    toolBar = bars->AddToolBar("Standard", 0);
    ASSERT_NE(toolBar, nullptr);
    ASSERT_TRUE(toolBar->LoadToolBar(2, true));
    focus = new QLineEdit;
    frame->SetCentralWidget(focus);
    frame->show();
    QApplication::setActiveWindow(frame);
    focus->setFocus();
    frame->RecalcLayout();
    Idle();
}

void BarsTest::TearDown() {
    CGVPMouseManager::GetMouseManager()->EndTracking();
    delete frame;
    frame = nullptr;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    CGVPPopupBar::SetWorkAreaOverride(nullptr);
    PaintTest::TearDown();
}

void BarsTest::KeyPress(Qt::Key key, Qt::KeyboardModifiers mods) {
    QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : frame;
    QKeyEvent press(QEvent::KeyPress, key, mods);
    QApplication::sendEvent(target, &press);
}

void BarsTest::KeyRelease(Qt::Key key, Qt::KeyboardModifiers mods) {
    QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : frame;
    QKeyEvent release(QEvent::KeyRelease, key, mods);
    QApplication::sendEvent(target, &release);
}

void BarsTest::Key(Qt::Key key, Qt::KeyboardModifiers mods) {
    KeyPress(key, mods);
    KeyRelease(key, mods);
}

CGVPControl* BarsTest::MenuItem(const QString& caption) const {
    for (int i = 0; i < menuBar->GetControlCount(); ++i)
        if (menuBar->GetControl(i)->GetCaption() == caption)
            return menuBar->GetControl(i);
    return nullptr;
}

CGVPPopupBar* BarsTest::OpenPopup() const {
    auto* c = dynamic_cast<CGVPControlPopup*>(menuBar->GetControl(menuBar->GetPopupedIndex()));
    return c ? dynamic_cast<CGVPPopupBar*>(c->GetCommandBar()) : nullptr;
}

} // namespace barstest
