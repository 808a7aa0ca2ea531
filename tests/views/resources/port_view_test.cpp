#include "controls/commandbars/popup_bar.h"
#include "platform/qt/virtual_keys.h"
#include "script/product.h"
#include "tests/views/resources/resource_test_support.h"
#include "views/resources/port_dialogs.h"
#include "views/resources/port_view.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

using namespace resources_test;
using testing_support::PortFixture;

struct PortViewTest : ::testing::Test, ScriptFixture {
    CProductPort& Port(int k) { return doc.m_pProduct->m_Ports[std::size_t(k)]; }

    // The popup item states as the grid's update handler gives them.
    struct State {
        bool enabled = true;
        int check = 0;
    };
    struct RecordingUi : platform::qt::CommandUi {
        void Enable(bool on) override { state.enabled = on; }
        void SetCheck(int s) override { state.check = s; }
        void SetText(const QString&) override {}
        State state;
    };
    State ItemState(MyPortCel& cel, unsigned id) {
        RecordingUi ui;
        cel.OnUpdatePopupCommand(id, ui);
        return ui.state;
    }
};

TEST_F(PortViewTest, ShowsEveryPortWithItsFields) {
    Port(1).m_strName = "Projector";
    Port(1).m_strProtocol = "Brevant_Pelvane_2";
    Port(1).m_strErrorSequence = "Recover";
    Port(1).m_strComment = "booth";
    Shown<CPortView> ports(doc, services);
    MyPortCel& cel = ports.view.Cel();
    EXPECT_EQ(cel.GetRowCount(), doc.m_pProduct->m_wPorts);
    const char* headings[] = {"Port Name", "Protocol", "Error Seq", "Port Comment"};
    for (int c = 0; c < 4; ++c)
        EXPECT_EQ(Cell(cel, c, -1), headings[c]);
    EXPECT_EQ(Cell(cel, -1, 0), "00");
    EXPECT_EQ(Cell(cel, -1, 1), "01");
    EXPECT_EQ(Cell(cel, 0, 1), "Projector");
    EXPECT_EQ(Cell(cel, 1, 1), "Brevant_Pelvane_2");
    EXPECT_EQ(Cell(cel, 2, 1), "Recover");
    EXPECT_EQ(Cell(cel, 3, 1), "booth");
    EXPECT_EQ(DefaultBackground(cel), 0xFFDCFFu);
    EXPECT_EQ(ports.view.FrameCaption(), "Ports of Show");
    std::string tip;
    cel.GetCellTipText(1, 0, 1, tip);
    EXPECT_EQ(tip, "Protocol used for 2-way communication. Use 'custom' to send using Msgout. "
                   "Right click for wizards");
    cel.GetCellTipText(2, 0, 1, tip);
    EXPECT_EQ(tip, "Name of sequence to start if incorrect response");
}

// The check follows "->" in the protocol; a SCSI port greys the product wizard; Help and
// Properties are always grey.
TEST_F(PortViewTest, PopupChecksAndGreys) {
    Port(1).m_strProtocol = "Other.ksf->Brevant_9_Bit_Control";
    Shown<CPortView> ports(doc, services);
    MyPortCel& cel = ports.view.Cel();
    const GVPMenuPtr menu = cel.BuildPopupMenu(1, 0, 1);
    ASSERT_EQ(menu->items.size(), 5u);
    EXPECT_EQ(menu->items[0].text, "Protocol Wizard");
    EXPECT_EQ(menu->items[1].text, "QOR Product Wizard");
    EXPECT_TRUE(menu->items[2].separator);

    cel.MoveActiveCell(1, 0);
    EXPECT_EQ(ItemState(cel, 500).check, 1);
    EXPECT_EQ(ItemState(cel, 501).check, 0);
    EXPECT_TRUE(ItemState(cel, 501).enabled);
    EXPECT_FALSE(ItemState(cel, 502).enabled);
    EXPECT_FALSE(ItemState(cel, 503).enabled);
    cel.MoveActiveCell(1, 1);
    EXPECT_EQ(ItemState(cel, 500).check, 0);
    EXPECT_EQ(ItemState(cel, 501).check, 1);
    cel.MoveActiveCell(1, PortFixture::kScsiPort);
    EXPECT_FALSE(ItemState(cel, 501).enabled);
}

// Refused texts leave the port as it was and the cell shows the port's value again at once.
TEST_F(PortViewTest, RefusedEditsShowThePortAgain) {
    Port(0).m_nFixedName = 1;
    Shown<CPortView> ports(doc, services);
    MyPortCel& cel = ports.view.Cel();
    const std::string midi = Port(0).m_strName;
    struct Case {
        int column, row;
        const char* typed;
        const char* message;
    };
    const Case cases[] = {
        {0, 0, "Renamed", "The Name cannot be changed on this port"},
        {1, PortFixture::kFixedPort, "Orvane_Lumen_24",
         "The Protocol cannot be changed on this port"},
        {0, 1, "A,B", "The Name cannot contain ','"},
        {1, 1, "x;y", "The Protocol cannot contain ';'"},
        {2, 1, "Seq;2", "The Error Seq cannot contain ';'"},
    };
    for (const Case& c : cases) {
        ui.Clear();
        const std::string before = Cell(cel, c.column, c.row);
        std::string typed = c.typed;
        EXPECT_TRUE(cel.AllowEditFinish(c.column, c.row, nullptr, typed, false));
        EXPECT_EQ(typed, before) << c.typed;
        ASSERT_EQ(ui.boxes.size(), 1u) << c.typed;
        EXPECT_EQ(ui.boxes[0].text, c.message);
        EXPECT_EQ(ui.boxes[0].caption, "Edit Port Configuration");
    }
    EXPECT_EQ(Port(0).m_strName, midi);
    EXPECT_EQ(Port(PortFixture::kFixedPort).m_strProtocol, "Brevant_Pelvane_2");
    EXPECT_EQ(Port(1).m_strErrorSequence, "");

    // Delete on a fixed field is refused the same way.
    ui.Clear();
    cel.MoveActiveCell(1, PortFixture::kFixedPort);
    Key(cel, platform::qt::VK_DELETE);
    EXPECT_EQ(Port(PortFixture::kFixedPort).m_strProtocol, "Brevant_Pelvane_2");
    EXPECT_EQ(Cell(cel, 1, PortFixture::kFixedPort), "Brevant_Pelvane_2");
    EXPECT_EQ(ui.Texts(), std::vector<std::string>{"The Protocol cannot be changed on this port"});
}

TEST_F(PortViewTest, AcceptedEditsAndDeleteStoreAndMark) {
    Shown<CPortView> ports(doc, services);
    MyPortCel& cel = ports.view.Cel();
    ClearMarks(doc);
    EXPECT_TRUE(Finish(cel, 1, 1, "Orvane_Lumen_24"));
    EXPECT_EQ(Port(1).m_strProtocol, "Orvane_Lumen_24");
    EXPECT_TRUE(Marked(doc));
    CProtocol* lumen = nullptr;
    ASSERT_TRUE(app.App().Protocols().FindProtocol("Orvane_Lumen_24", lumen, false));
    EXPECT_TRUE(lumen->IsLoaded());
    // A protocol nobody knows is stored all the same.
    EXPECT_TRUE(Finish(cel, 1, 5, "custom"));
    EXPECT_EQ(Port(5).m_strProtocol, "custom");

    Port(1).m_strComment = "rack";
    ports.view.FillGrid();
    cel.MoveActiveCell(3, 1);
    ClearMarks(doc);
    Key(cel, platform::qt::VK_DELETE);
    EXPECT_EQ(Port(1).m_strComment, "");
    EXPECT_EQ(Cell(cel, 3, 1), "");
    EXPECT_TRUE(Marked(doc));
}

// The copy-back after find stores what the cells hold, except fixed fields and texts the port
// line cannot carry, and shows the ports again.
TEST_F(PortViewTest, FindCopyBackSkipsFixedFields) {
    Shown<CPortView> ports(doc, services);
    MyPortCel& cel = ports.view.Cel();
    cel.WriteCellText(1, PortFixture::kFixedPort, "Replaced");
    cel.WriteCellText(3, 1, "replaced comment");
    cel.WriteCellText(0, 2, "a,b");
    cel.NotifyFindDialogClosed();
    EXPECT_EQ(Port(PortFixture::kFixedPort).m_strProtocol, "Brevant_Pelvane_2");
    EXPECT_EQ(Cell(cel, 1, PortFixture::kFixedPort), "Brevant_Pelvane_2");
    EXPECT_EQ(Port(1).m_strComment, "replaced comment");
    EXPECT_EQ(Port(2).m_strName, "Port2");
    EXPECT_EQ(Cell(cel, 0, 2), "Port2");
}

// Protocol Wizard opens the dialog of the port's interface; the product wizard stores the
// chosen link and the link's line settings.
TEST_F(PortViewTest, WizardsRunTheirDialogsAndApplyTheResults) {
    Shown<CPortView> ports(doc, services);
    MyPortCel& cel = ports.view.Cel();
    cel.MoveActiveCell(1, PortFixture::kScsiPort);
    ui.QueueDialog([&](platform::DialogRequest& request) {
        auto& scsi = dynamic_cast<EditScsiConfigRequest&>(request);
        EXPECT_EQ(scsi.port, PortFixture::kScsiPort);
        doc.m_pProduct->m_Ports[std::size_t(scsi.port)].m_strProtocol = "Test_Disk";
        return true;
    });
    ClearMarks(doc);
    cel.HandleCommand(500);
    EXPECT_EQ(ui.dialogNames, std::vector<std::string>{"CEditScsiConfigDlg"});
    EXPECT_EQ(Cell(cel, 1, PortFixture::kScsiPort), "Test_Disk");
    EXPECT_TRUE(Marked(doc));

    cel.MoveActiveCell(0, 1);
    ui.QueueDialog([](platform::DialogRequest& request) {
        EXPECT_EQ(std::string(request.DialogName()), "CEditSerialConfigDlg");
        return false;
    });
    ClearMarks(doc);
    cel.HandleCommand(500);
    EXPECT_FALSE(doc.IsModified());

    ui.QueueDialog([](platform::DialogRequest& request) {
        auto& wizard = dynamic_cast<ProductWizRequest&>(request);
        EXPECT_EQ(wizard.protocol, "None");
        wizard.protocol = "Main_Stage.ksf->Brevant_9_Bit_Control";
        return true;
    });
    cel.HandleCommand(501);
    EXPECT_EQ(Port(1).m_strProtocol, "Main_Stage.ksf->Brevant_9_Bit_Control");
    EXPECT_EQ(Port(1).m_strBaudRate, "9600");
    EXPECT_EQ(Port(1).m_strDataBits, "9");
    EXPECT_EQ(Port(1).m_strStopBits, "1");
    EXPECT_EQ(Port(1).m_strParity, "N");
    EXPECT_EQ(Cell(cel, 1, 1), "Main_Stage.ksf->Brevant_9_Bit_Control");
    EXPECT_TRUE(Marked(doc));
    CProtocol* remote = nullptr;
    ASSERT_TRUE(app.App().Protocols().FindProtocol("Brevant_9_Bit_Control", remote, false));
    EXPECT_TRUE(remote->IsLoaded());
}

// Enter walks name, the protocol popup, error sequence, comment, the next row's name.
TEST_F(PortViewTest, EnterWalksThroughThePopup) {
    Shown<CPortView> ports(doc, services);
    ports.view.show();
    MyPortCel& cel = ports.view.Cel();
    ports.view.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&ports.view));
    cel.CellArea()->setFocus();
    cel.MoveActiveCell(0, 1);
    Key(cel, platform::qt::VK_RETURN);
    EXPECT_EQ(cel.GetActiveColumn(), 1);
    EXPECT_TRUE(cel.IsEditing());
    cel.AbandonEdit();
    // The popup comes up; Escape takes it down without a pick.
    bool popupSeen = false;
    QTimer::singleShot(0, [&] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* bar = dynamic_cast<CGVPPopupBar*>(w); bar && bar->isVisible())
                popupSeen = true;
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget()
                                                      : QApplication::activeWindow();
        if (!target)
            return;
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(target, &press);
    });
    Key(cel, platform::qt::VK_RETURN);
    EXPECT_EQ(cel.GetActiveColumn(), 2);
    EXPECT_TRUE(cel.IsEditing());
    cel.AbandonEdit();
    Key(cel, platform::qt::VK_RETURN);
    EXPECT_EQ(cel.GetActiveColumn(), 3);
    cel.AbandonEdit();
    Key(cel, platform::qt::VK_RETURN);
    EXPECT_EQ(cel.GetActiveColumn(), 0);
    EXPECT_EQ(cel.GetActiveRow(), 2);
    cel.AbandonEdit();
    EXPECT_TRUE(popupSeen);
}

} // namespace
