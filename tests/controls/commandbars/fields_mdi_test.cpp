// Combo box and edit fields executing through the notification, the tracked popup menu, a
// command that reloads the menu bar while it runs, MDI buttons, the window list and a menu
// switch for another kind of child, and the routing helpers.
#include "controls/commandbars/control_combo_edit.h"
#include "controls/commandbars/control_lists.h"
#include "controls/commandbars/control_popup.h"
#include "controls/commandbars/resources.h"
#include "tests/controls/commandbars/bars_fixture.h"

#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>

namespace barstest {
namespace {

enum : unsigned { ID_TC_START = 1125, ID_TC_MODE = 32938 };

class FieldsTest : public BarsTest {
protected:
    void SetUp() override {
        BarsTest::SetUp();
        GVPToolBarResource res;
        res.ids = {ID_NEW, 0, ID_TC_MODE, ID_TC_START};
        CGVPResources::Instance().SetToolBar(188, res);
        frame->createControl = [](GVP_CREATE_CONTROL_INFO& info) {
            if (info.nID == ID_TC_START) {
                auto* edit = CGVPControlEdit::CreateObject();
                edit->SetWidth(160);
                edit->SetCaption("Timecode Start:");
                info.pControl = edit;
                return true;
            }
            if (info.nID == ID_TC_MODE) {
                auto* combo = CGVPControlComboBox::CreateObject();
                combo->AddString("Timecode - Internal");
                combo->AddString("Timecode - Jam Sync");
                combo->AddString("Timecode - Reset Mode");
                combo->SetDropWidth(150);
                combo->SetWidth(140);
                info.pControl = combo;
                return true;
            }
            return false;
        };
        frame->handled.insert({ID_TC_START, ID_TC_MODE});
        fieldBar = bars->AddToolBar("Fields", 0);
        ASSERT_TRUE(fieldBar->LoadToolBar(188, true));
        frame->resize(900, 400);
        frame->RecalcLayout();
        Idle();
        edit =
            dynamic_cast<CGVPControlEdit*>(fieldBar->GetControls()->FindControlById(ID_TC_START));
        combo = dynamic_cast<CGVPControlComboBox*>(
            fieldBar->GetControls()->FindControlById(ID_TC_MODE));
        ASSERT_TRUE(edit && combo);
    }
    CGVPToolBar* fieldBar = nullptr;
    CGVPControlEdit* edit = nullptr;
    CGVPControlComboBox* combo = nullptr;
};

TEST_F(FieldsTest, FrameControlsKeepTheirTypeAndGetTheirFieldWindows) {
    EXPECT_EQ(edit->GetType(), gvpControlEdit);
    EXPECT_EQ(combo->GetType(), gvpControlComboBox);
    EXPECT_TRUE(combo->GetBeginGroup());
    ASSERT_NE(edit->GetEditWindow(), nullptr);
    EXPECT_EQ(edit->GetEditWindow()->parentWidget(), fieldBar);
    EXPECT_TRUE(edit->GetEditWindow()->isVisible());
    EXPECT_TRUE(edit->GetRect().contains(edit->GetEditWindow()->geometry()));
    // SetEditText with the window's own text changes only the stored text.
    edit->SetEditText("01:00:00.00");
    EXPECT_EQ(edit->GetEditText(), "01:00:00.00");
    // On a vertically docked bar both fields hide, and show again when horizontal.
    bars->DockCommandBar(fieldBar, 2);
    frame->RecalcLayout();
    EXPECT_TRUE(edit->GetHiddenMask() & kHideDockingPosition);
    EXPECT_FALSE(edit->GetEditWindow()->isVisible());
    bars->DockCommandBar(fieldBar, 0);
    frame->RecalcLayout();
    EXPECT_EQ(edit->GetHiddenMask(), 0);
    EXPECT_TRUE(edit->GetEditWindow()->isVisible());
}

// A labelled edit field shows its whole text: the control grows past its set width when the
// label leaves too little room.
TEST_F(FieldsTest, ALabelledEditShowsItsWholeText) {
    edit->ShowLabel(true);
    edit->SetEditText("0:00.00");
    for (const char* text : {"0:00.00", "01:00:00.00"}) {
        edit->GetEditWindow()->setText(QString::fromLatin1(text));
        edit->SetEditText(QString::fromLatin1(text));
        fieldBar->DelayLayout();
        frame->RecalcLayout();
        Idle();
        QLineEdit* field = edit->GetEditWindow();
        const int needed = field->fontMetrics().horizontalAdvance(field->text());
        const QRect inner = field->contentsRect().marginsRemoved(field->textMargins());
        EXPECT_GE(inner.width(), needed + 2) << text;
        EXPECT_TRUE(edit->GetRect().contains(field->geometry())) << text;
    }
}

TEST_F(FieldsTest, EnterInTheEditExecutesThroughTheNotificationOnly) {
    QLineEdit* field = edit->GetEditWindow();
    field->setFocus();
    ASSERT_TRUE(field->hasFocus());
    EXPECT_TRUE(CGVPMouseManager::GetMouseManager()->IsLocked());
    EXPECT_EQ(fieldBar->GetKeyboardTarget(), edit);
    field->setText("00:01:02.03");
    frame->notifyResults[ID_TC_START] = 1; // the handler took it: no second command
    Key(Qt::Key_Return);
    EXPECT_EQ(frame->notifications, std::vector<unsigned>{ID_TC_START});
    EXPECT_TRUE(frame->commands.empty());
    EXPECT_EQ(edit->GetEditText(), "00:01:02.03");
    // A handler that sets no result: the command follows as well.
    field->setFocus();
    frame->notifyResults[ID_TC_START] = 0;
    Key(Qt::Key_Return);
    EXPECT_EQ(frame->commands, std::vector<unsigned>{ID_TC_START});
    // The focus lock ends however the focus leaves.
    focus->setFocus();
    EXPECT_FALSE(CGVPMouseManager::GetMouseManager()->IsLocked());
}

TEST_F(FieldsTest, PickingAComboItemExecutesOnce) {
    frame->notifyResults[ID_TC_MODE] = 1;
    QTest::mouseClick(fieldBar, Qt::LeftButton, {}, combo->GetRect().center());
    CGVPControlComboBoxList* list = combo->GetList();
    ASSERT_TRUE(list && list->isVisible());
    EXPECT_TRUE(combo->IsDroppedDown());
    EXPECT_EQ(list->width(), 150);
    QListWidget* box = list->ListBox();
    const QRect item = box->visualItemRect(box->item(2));
    QTest::mouseMove(box->viewport(), item.center());
    QMouseEvent move(QEvent::MouseMove, item.center(), box->viewport()->mapToGlobal(item.center()),
                     Qt::NoButton, Qt::NoButton, {});
    QApplication::sendEvent(box->viewport(), &move);
    QTest::mouseRelease(box->viewport(), Qt::LeftButton, {}, item.center());
    EXPECT_EQ(combo->GetCurSel(), 2);
    EXPECT_EQ(combo->GetText(), "Timecode - Reset Mode");
    EXPECT_EQ(frame->notifications, std::vector<unsigned>{ID_TC_MODE});
    EXPECT_TRUE(frame->commands.empty());
    EXPECT_FALSE(list->isVisible());
    EXPECT_FALSE(CGVPMouseManager::GetMouseManager()->IsLocked());
    // Selecting the selected item again changes nothing.
    combo->SelectListItem(2);
    EXPECT_EQ(combo->GetText(), "Timecode - Reset Mode");
}

TEST_F(FieldsTest, ComboListHeightFollowsTheItemCount) {
    struct Case {
        int items, rows;
    };
    for (const Case c : {Case{0, 1}, Case{3, 3}, Case{30, 12}}) {
        combo->GetList()->ListBox()->clear();
        for (int i = 0; i < c.items; ++i)
            combo->AddString(QString("Item %1").arg(i));
        combo->GetList()->PopupFor(combo);
        const int itemHeight = c.items ? combo->GetList()->ListBox()->sizeHintForRow(0)
                                       : QFontMetrics(combo->GetList()->ListBox()->font()).height();
        EXPECT_EQ(combo->GetList()->height(), itemHeight * c.rows + 4) << c.items;
        combo->GetList()->SetTrackingMode(0, true, false);
    }
}

TEST_F(BarsTest, TrackPopupMenuAnswersThePick) {
    GVPMenu menu;
    menu.Item("&One", 11).Item("&Two", 12).Item("T&hree", 13);
    frame->handled.insert({11, 12, 13});
    QTimer::singleShot(0, [this] { Key(Qt::Key_T); });
    const int picked = CGVPPopupBar::TrackPopupMenu(&menu, 0x100, 100, 100, frame, nullptr, bars);
    EXPECT_EQ(picked, 12);
    EXPECT_TRUE(frame->commands.empty());
    QTimer::singleShot(0, [this] { Key(Qt::Key_Escape); });
    EXPECT_EQ(CGVPPopupBar::TrackPopupMenu(&menu, 0x100, 100, 100, frame, nullptr, bars), 0);
}

TEST_F(BarsTest, ACommandThatReloadsTheMenuBarWhileItRunsIsClean) {
    auto other = std::make_shared<GVPMenu>();
    other->Popup("&Script").Item("&Compile", ID_TOOLS_1);
    frame->onCommand = [this, other](unsigned id) {
        if (id == ID_SAVE)
            menuBar->SwitchMenu(other.get()); // frees the item and its popup
    };
    KeyPress(Qt::Key_F, Qt::AltModifier);
    Key(Qt::Key_S);
    EXPECT_EQ(frame->commands, std::vector<unsigned>{ID_SAVE});
    ASSERT_EQ(menuBar->GetControlCount(), 1);
    EXPECT_EQ(menuBar->GetControl(0)->GetCaption(), "&Script");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    // The same through the mouse: the release executes and the menu bar reloads.
    menuBar->SwitchMenu(nullptr);
    frame->RecalcLayout();
    frame->onCommand = [this, other](unsigned) { menuBar->SwitchMenu(other.get()); };
    QTest::mouseClick(menuBar, Qt::LeftButton, {}, Center(MenuItem("&File")));
    CGVPPopupBar* popup = OpenPopup();
    ASSERT_NE(popup, nullptr);
    CGVPControl* open = popup->GetControls()->FindControlById(ID_OPEN);
    QTest::mouseMove(popup, Center(open));
    QTest::mouseClick(popup, Qt::LeftButton, {}, Center(open));
    EXPECT_EQ(frame->commands.back(), ID_OPEN);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST_F(BarsTest, MaximisedChildShowsItsButtonsAndTheWindowListNumbersChildren) {
    auto* a = frame->MdiClient()->addSubWindow(new QPlainTextEdit);
    a->setWindowTitle("Alpha");
    a->show();
    auto* b = frame->MdiClient()->addSubWindow(new QPlainTextEdit);
    b->setWindowTitle("Beta");
    b->show();
    auto* hidden = frame->MdiClient()->addSubWindow(new QPlainTextEdit);
    hidden->setWindowTitle("Hidden");
    hidden->hide();
    auto* c = frame->MdiClient()->addSubWindow(new QPlainTextEdit);
    c->setWindowTitle("Gamma");
    c->show();
    frame->MdiClient()->setActiveSubWindow(b);
    b->showMaximized();
    QCoreApplication::processEvents();
    menuBar->RefreshMdi();
    for (unsigned id : {9405u, 9404u, 9403u})
        ASSERT_NE(menuBar->GetControls()->FindControlById(id), nullptr) << id;
    frame->RecalcLayout();
    CGVPControl* close = menuBar->GetControls()->FindControlById(9403);
    CGVPControl* restore = menuBar->GetControls()->FindControlById(9404);
    EXPECT_EQ(close->GetRect().right() + 1, menuBar->width() - 2);
    EXPECT_LT(restore->GetRect().right(), close->GetRect().left());
    // The window list: visible children numbered in order, the active one checked.
    KeyPress(Qt::Key_W, Qt::AltModifier);
    CGVPPopupBar* popup = OpenPopup();
    ASSERT_NE(popup, nullptr);
    QStringList listed;
    for (int i = 0; i < popup->GetControlCount(); ++i) {
        CGVPControl* item = popup->GetControl(i);
        if (item->GetID() >= int(CGVPControlWindowList::FirstMdiChildId()) && item->IsVisible())
            listed << item->GetCaption() + (item->GetChecked() ? "*" : "");
    }
    EXPECT_EQ(listed, (QStringList{"&1 Alpha", "&2 Beta*", "&3 Gamma"}));
    Key(Qt::Key_3);
    EXPECT_EQ(frame->MdiClient()->activeSubWindow(), c);
    frame->MdiClient()->activeSubWindow()->showNormal();
    menuBar->RefreshMdi();
    EXPECT_EQ(menuBar->GetControls()->FindControlById(9403), nullptr);
}

// The File menu lists the recent files its own bars were given, numbered and with '&' doubled;
// an empty list leaves the disabled placeholder.
TEST_F(BarsTest, TheRecentFileListShowsTheFilesOfItsOwnBars) {
    auto menu = std::make_shared<GVPMenu>();
    menu->Popup("&File").Item("&New", ID_NEW).Separator().Item("Recent File", 57616);
    CGVPResources::Instance().SetMenu(3, menu);
    ASSERT_TRUE(menuBar->LoadMenuBar(3));
    frame->RecalcLayout();
    bool placeholderEnabled = true;
    const auto listed = [this, &placeholderEnabled] {
        KeyPress(Qt::Key_F, Qt::AltModifier);
        QStringList items;
        CGVPPopupBar* popup = OpenPopup();
        EXPECT_NE(popup, nullptr);
        for (int i = 0; popup && i < popup->GetControlCount(); ++i) {
            CGVPControl* item = popup->GetControl(i);
            if (item->GetID() < 57616 || item->GetID() > 57631 || !item->IsVisible())
                continue;
            items << item->GetCaption();
            placeholderEnabled = item->GetEnabled();
        }
        Key(Qt::Key_Escape);
        Key(Qt::Key_Escape);
        return items;
    };
    bars->SetRecentFiles({[] { return QStringList{"/shows/a.ksf", "/tmp/R&D.ksf"}; }});
    EXPECT_EQ(listed(), (QStringList{"&1 /shows/a.ksf", "&2 /tmp/R&&D.ksf"}));
    bars->SetRecentFiles({[] { return QStringList{}; }, 0});
    EXPECT_EQ(listed(), (QStringList{"Recent File"}));
    EXPECT_FALSE(placeholderEnabled);
}

// Ctrl+F6 steps to the next visible child and wraps; Ctrl+Shift+F6 steps back.
TEST_F(BarsTest, CtrlF6CyclesTheChildren) {
    QMdiArea* area = frame->MdiClient();
    auto* a = area->addSubWindow(new QPlainTextEdit);
    a->show();
    auto* hidden = area->addSubWindow(new QPlainTextEdit);
    hidden->hide();
    auto* b = area->addSubWindow(new QPlainTextEdit);
    b->show();
    auto* c = area->addSubWindow(new QPlainTextEdit);
    c->show();
    area->setActiveSubWindow(a);
    const struct {
        Qt::KeyboardModifiers mods;
        QMdiSubWindow* then;
    } steps[] = {
        {Qt::ControlModifier, b},
        {Qt::ControlModifier, c},
        {Qt::ControlModifier, a},
        {Qt::ControlModifier | Qt::ShiftModifier, c},
        {Qt::ControlModifier | Qt::ShiftModifier, b},
    };
    for (const auto& step : steps) {
        Key(Qt::Key_F6, step.mods);
        EXPECT_EQ(area->activeSubWindow(), step.then);
    }
    Key(Qt::Key_F6, Qt::ShiftModifier); // not a window key
    EXPECT_EQ(area->activeSubWindow(), b);
}

TEST_F(BarsTest, ActivatingAnotherKindOfChildSwitchesTheMenu) {
    auto scriptMenu = std::make_shared<GVPMenu>();
    scriptMenu->Popup("&Script").Item("&Compile", ID_TOOLS_1);
    auto* a = frame->MdiClient()->addSubWindow(new QPlainTextEdit);
    a->show();
    auto* b = frame->MdiClient()->addSubWindow(new QPlainTextEdit);
    b->show();
    frame->SetChildMenu(b, scriptMenu);
    frame->MdiClient()->setActiveSubWindow(b);
    EXPECT_EQ(menuBar->GetControl(0)->GetCaption(), "&Script");
    frame->MdiClient()->setActiveSubWindow(a);
    EXPECT_EQ(menuBar->GetControl(0)->GetCaption(), "&File"); // the default menu
}

TEST(CommandRouting, UpdateDisablesWhatNoTargetHandlesAndNotifyResultStopsTheCommand) {
    struct Target : platform::qt::CommandTarget {
        std::vector<unsigned> commands;
        long result = 0;
        bool OnCommand(unsigned id) override {
            if (id != 7)
                return false;
            commands.push_back(id);
            return true;
        }
        bool HasCommandHandler(unsigned id) const override { return id == 7; }
        bool OnNotify(unsigned id, platform::qt::ControlNotify& n) override {
            if (id != 7)
                return false;
            n.result = result;
            return true;
        }
    } target;
    struct Ui : platform::qt::CommandUi {
        using CommandUi::CommandUi;
        int enabled = -1;
        void Enable(bool on) override {
            enabled = on;
            enableChanged = true;
        }
        void SetCheck(int) override {}
        void SetText(const QString&) override {}
    };
    Ui handled(7), unhandled(8);
    target.DoUpdate(handled, true);
    target.DoUpdate(unhandled, true);
    EXPECT_EQ(handled.enabled, 1);
    EXPECT_EQ(unhandled.enabled, 0);
    EXPECT_EQ(platform::qt::ExecuteControlCommand(target, 7, nullptr), 0);
    EXPECT_EQ(target.commands.size(), 1u);
    target.result = 1;
    EXPECT_EQ(platform::qt::ExecuteControlCommand(target, 7, nullptr), 1);
    EXPECT_EQ(target.commands.size(), 1u);
}

} // namespace
} // namespace barstest

namespace barstest {
namespace {

TEST_F(BarsTest, ArrangeIconsLinesTheMinimisedChildrenUpAlongTheBottom) {
    frame->resize(900, 500);
    frame->RecalcLayout();
    QMdiArea* area = frame->MdiClient();
    std::vector<QMdiSubWindow*> children;
    for (int i = 0; i < 3; ++i) {
        auto* child = area->addSubWindow(new QWidget);
        child->resize(300, 200);
        child->show();
        children.push_back(child);
    }
    children[0]->showMinimized();
    children[2]->showMinimized();
    children[0]->move(400, 10);
    children[2]->move(10, 50);
    ASSERT_TRUE(frame->HasHandler(CGVPMDIFrameWnd::kArrangeIconsId));
    ASSERT_TRUE(frame->RouteCommand(CGVPMDIFrameWnd::kArrangeIconsId));
    const int bottom = area->viewport()->rect().bottom() + 1;
    EXPECT_EQ(children[0]->geometry().topLeft(), QPoint(0, bottom - children[0]->height()));
    EXPECT_EQ(children[2]->geometry().topLeft(),
              QPoint(children[0]->width(), bottom - children[2]->height()));
    EXPECT_FALSE(children[1]->isMinimized());
}

} // namespace
} // namespace barstest
