// A grid's popup tracked with the grid as its owner: built per call, checked, greyed and default
// items and a submenu as built, the pick through the grid's command handling (and its
// menu-command notification), Escape delivering nothing.
#include "controls/commandbars/control_base.h"
#include "controls/commandbars/control_popup.h"
#include "controls/commandbars/mouse_manager.h"
#include "controls/commandbars/popup_bar.h"
#include "controls/grid/cel_parts.h"
#include "tests/support/qt_test_app.h"
#include "tests/views/gridbase/grid_fill.h"
#include "views/gridbase/vl_cel_ctrl.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <gtest/gtest.h>
#include <vector>

namespace {

enum : unsigned { kInsert = 1001, kDelete = 1002, kLocked = 1003, kRed = 1010, kBlue = 1011 };

struct Place {
    int column, row, section;
    unsigned id;
    bool operator==(const Place&) const = default;
};

class PopupGrid : public VLCELCtrl {
public:
    GVPMenuPtr BuildPopupMenu(int column, int row, int section) override {
        built.push_back({column, row, section, 0});
        auto menu = std::make_shared<GVPMenu>();
        menu->Item("&Insert Row", kInsert).Item("&Delete Row", kDelete).Separator();
        menu->items.front().isDefault = true;
        menu->Popup("&Colour").Item("&Red", kRed).Item("&Blue", kBlue);
        // The text is built per call: it names the row the menu is for.
        menu->Item(QString("&Lock Row %1").arg(row), kLocked);
        return menu;
    }
    bool OnUpdatePopupCommand(unsigned id, platform::qt::CommandUi& ui) override {
        if (id == kDelete) {
            ui.Enable(false);
            return true;
        }
        if (id == kLocked || id == kBlue) {
            ui.Enable(true);
            ui.SetCheck(1);
            return true;
        }
        return false;
    }
    void NotifyMenuCommand(int column, int row, int section, int id) override {
        notified.push_back({column, row, section, unsigned(id)});
    }
    void OnCommand(int id) override { commands.push_back(unsigned(id)); }

    std::vector<Place> built, notified;
    std::vector<unsigned> commands;
};

// The popup bars on screen, the first opened first.
std::vector<CGVPPopupBar*> OpenPopups() {
    std::vector<CGVPPopupBar*> open;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* bar = dynamic_cast<CGVPPopupBar*>(w); bar && bar->isVisible())
            open.push_back(bar);
    return open;
}

CGVPControl* ItemOf(CGVPPopupBar& bar, const QString& caption) {
    for (int i = 0; i < bar.GetControlCount(); ++i)
        if (bar.GetControl(i)->GetCaption() == caption)
            return bar.GetControl(i);
    return nullptr;
}

class GridPopupTest : public ::testing::Test {
protected:
    void SetUp() override {
        qt_testing::QtTestApp();
        window.resize(400, 300);
        grid.CreateInParent(0, QRect(0, 0, 400, 300), &window, 1000);
        testing_support::FillGrid(grid, 6);
        window.show();
        Refocus();
    }
    // The offscreen platform leaves no window active once a popup has closed; the user's
    // window is active again when the next key comes.
    void Refocus() {
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        grid.CellArea()->setFocus();
        ASSERT_EQ(QApplication::focusWidget(), grid.CellArea());
    }
    void TearDown() override { CGVPMouseManager::GetMouseManager()->EndTracking(); }

    // Where the keyboard sends a key: the focus, else the active window.
    static void Key(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget()
                                                      : QApplication::activeWindow();
        ASSERT_NE(target, nullptr);
        QKeyEvent press(QEvent::KeyPress, key, mods);
        QApplication::sendEvent(target, &press);
        QKeyEvent release(QEvent::KeyRelease, key, mods);
        QApplication::sendEvent(target, &release);
    }
    // Runs `whileOpen` once the popup tracks (inside its loop), then `open`, which opens it.
    void WhileTracking(const std::function<void()>& whileOpen, const std::function<void()>& open) {
        Refocus();
        bool ran = false;
        QTimer::singleShot(0, &window, [&] {
            ran = true;
            whileOpen();
        });
        open();
        EXPECT_TRUE(ran);
        EXPECT_TRUE(OpenPopups().empty());
    }
    QPoint CellCentre(int column, int row) {
        QRect rect;
        grid.GetCellRect(column, row, rect);
        return rect.center();
    }

    QWidget window;
    PopupGrid& grid = *new PopupGrid; // owned by the window once created
};

TEST_F(GridPopupTest, RightClickShowsTheMenuAsBuiltAndThePickReachesTheGrid) {
    WhileTracking(
        [&] {
            const std::vector<CGVPPopupBar*> open = OpenPopups();
            ASSERT_EQ(open.size(), 1u);
            CGVPPopupBar& bar = *open.front();
            CGVPControl* insert = ItemOf(bar, "&Insert Row");
            CGVPControl* remove = ItemOf(bar, "&Delete Row");
            CGVPControl* lock = ItemOf(bar, "&Lock Row 2");
            ASSERT_TRUE(insert && remove && lock && ItemOf(bar, "&Colour"));
            EXPECT_TRUE(insert->IsDefaultItem());
            EXPECT_TRUE(insert->GetEnabled());
            EXPECT_FALSE(remove->GetEnabled());
            EXPECT_EQ(lock->GetCheckState(), 1);
            // The submenu shows its items with the owner's checks.
            Key(Qt::Key_C);
            auto* colour = dynamic_cast<CGVPControlPopup*>(bar.GetControl(bar.GetPopupedIndex()));
            ASSERT_NE(colour, nullptr);
            auto* sub = dynamic_cast<CGVPPopupBar*>(colour->GetCommandBar());
            ASSERT_TRUE(sub && sub->isVisible());
            CGVPControl* blue = ItemOf(*sub, "&Blue");
            ASSERT_TRUE(blue && ItemOf(*sub, "&Red"));
            EXPECT_EQ(blue->GetCheckState(), 1);
            Key(Qt::Key_B);
        },
        [&] { QTest::mouseClick(grid.CellArea(), Qt::RightButton, {}, CellCentre(1, 2)); });
    EXPECT_EQ(grid.built, (std::vector<Place>{{1, 2, 1, 0}}));
    EXPECT_EQ(grid.notified, (std::vector<Place>{{1, 2, 1, kBlue}}));
    EXPECT_EQ(grid.commands, std::vector<unsigned>{kBlue});
}

TEST_F(GridPopupTest, TheKeyboardOpensThePopupAtTheActiveCell) {
    struct Case {
        Qt::Key key;
        Qt::KeyboardModifiers mods;
    };
    for (const Case c :
         {Case{Qt::Key_Menu, Qt::NoModifier}, Case{Qt::Key_F10, Qt::ShiftModifier}}) {
        grid.built.clear();
        grid.notified.clear();
        grid.commands.clear();
        grid.MoveActiveCell(2, 4);
        WhileTracking([] { Key(Qt::Key_I); }, [&] { Key(c.key, c.mods); });
        EXPECT_EQ(grid.built, (std::vector<Place>{{2, 4, 1, 0}})) << c.key;
        EXPECT_EQ(grid.notified, (std::vector<Place>{{2, 4, 1, kInsert}})) << c.key;
        EXPECT_EQ(grid.commands, std::vector<unsigned>{kInsert}) << c.key;
    }
}

TEST_F(GridPopupTest, EscapeAndAGreyedItemDeliverNothing) {
    grid.MoveActiveCell(0, 1);
    WhileTracking([] { Key(Qt::Key_Escape); }, [] { Key(Qt::Key_Menu); });
    // The greyed item's key does not pick it; Escape then closes the menu.
    WhileTracking(
        [] {
            Key(Qt::Key_D);
            Key(Qt::Key_Escape);
        },
        [] { Key(Qt::Key_Menu); });
    EXPECT_EQ(grid.built.size(), 2u);
    EXPECT_TRUE(grid.notified.empty());
    EXPECT_TRUE(grid.commands.empty());
}

TEST_F(GridPopupTest, AGridWithoutAMenuTracksNothing) {
    VLCELCtrl& plain = *new VLCELCtrl; // owned by the window once created
    plain.CreateInParent(0, QRect(0, 0, 200, 100), &window, 1001);
    testing_support::FillGrid(plain, 2);
    EXPECT_EQ(plain.TrackGridPopup(0, 0, 1, QPoint(10, 10)), 0u);
    EXPECT_TRUE(OpenPopups().empty());
}

} // namespace
