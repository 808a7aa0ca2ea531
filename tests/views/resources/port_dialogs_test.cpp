#include "script/dialog_requests.h"
#include "script/product.h"
#include "tests/views/resources/resource_test_support.h"
#include "views/resources/port_dialogs.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <gtest/gtest.h>
#include <vector>

namespace {

using namespace resources_test;
using testing_support::PortFixture;

std::vector<std::string> Items(const QComboBox* box) {
    std::vector<std::string> items;
    for (int i = 0; i < box->count(); ++i)
        items.push_back(box->itemText(i).toStdString());
    return items;
}

void Choose(QComboBox* box, const char* text) {
    box->setCurrentIndex(box->findText(QString::fromLatin1(text)));
}

struct PortDialogTest : ::testing::Test, ScriptFixture {
    CProductPort& Port(int k) { return doc.m_pProduct->m_Ports[std::size_t(k)]; }
};

// Only local serial protocols with an allowed value for every setting are offered, and each
// setting lists only the values both the port and the protocol allow.
TEST_F(PortDialogTest, SerialOffersWhatBothSidesAllow) {
    CEditSerialConfigDlg dialog(doc, PortFixture::kPartialPort);
    const std::vector<std::string> offered = Items(dialog.ProtocolList());
    const std::vector<std::string> expected = {"Brevant_Pelvane_2", "None", "Orvane_Lumen_24",
                                               "Test_Dual"};
    EXPECT_EQ(offered, expected);

    Choose(dialog.ProtocolList(), "Test_Dual");
    EXPECT_EQ(Items(dialog.Setting(0)), std::vector<std::string>{"9600"});
    EXPECT_EQ(Items(dialog.Setting(3)), std::vector<std::string>{"N"});
    EXPECT_EQ(dialog.Setting(0)->currentText(), "9600");
    EXPECT_TRUE(ui.boxes.empty());
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(Port(PortFixture::kPartialPort).m_strProtocol, "Test_Dual");
}

// One value is taken when the stored one is not offered; among two nothing is chosen and OK
// asks for the fields, changing nothing.
TEST_F(PortDialogTest, SingleValuesAreTakenAndMissingFieldsRefused) {
    Port(1).m_strBaudRate = "9600";
    {
        CEditSerialConfigDlg dialog(doc, 1);
        Choose(dialog.ProtocolList(), "Test_Single");
        EXPECT_EQ(dialog.Setting(0)->currentText(), "4800");
        dialog.accept();
        EXPECT_EQ(Port(1).m_strBaudRate, "4800");
        EXPECT_EQ(Port(1).m_strProtocol, "Test_Single");
    }
    Port(1).m_strProtocol = "None";
    Port(1).m_strBaudRate = "2400";
    CEditSerialConfigDlg dialog(doc, 1);
    Choose(dialog.ProtocolList(), "Test_Dual");
    EXPECT_EQ(dialog.Setting(0)->currentIndex(), -1);
    dialog.accept();
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "All protocol fields must be filled");
    EXPECT_EQ(ui.boxes[0].caption, "Edit Port Protocol Configuration");
    EXPECT_EQ(Port(1).m_strProtocol, "None");
}

TEST_F(PortDialogTest, NoneDisablesTheSettingsAndKeepsThem) {
    Port(1).m_strProtocol = "Orvane_Lumen_24";
    Port(1).m_strBaudRate = "19200";
    CEditSerialConfigDlg dialog(doc, 1);
    EXPECT_EQ(dialog.ProtocolList()->currentText(), "Orvane_Lumen_24");
    EXPECT_EQ(dialog.Setting(0)->currentText(), "19200");
    Choose(dialog.ProtocolList(), "None");
    for (int i = 0; i < 4; ++i)
        EXPECT_FALSE(dialog.Setting(i)->isEnabled());
    dialog.accept();
    EXPECT_EQ(Port(1).m_strProtocol, "None");
    EXPECT_EQ(Port(1).m_strBaudRate, "19200");
}

// A stored protocol the port does not allow is kept selected, with the message.
TEST_F(PortDialogTest, AStoredProtocolThePortRefusesIsNamed) {
    Port(PortFixture::kPartialPort).m_strProtocol = "Brevant_9_Bit_Control";
    CEditSerialConfigDlg dialog(doc, PortFixture::kPartialPort);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text,
              "This protocol is not allowed on this port.  Please select another one.");
    EXPECT_EQ(ui.boxes[0].caption, "Protocol Wizard");
    dialog.accept();
    EXPECT_EQ(ui.Texts().back(), "All protocol fields must be filled");
}

TEST_F(PortDialogTest, AFixedProtocolCannotBeChanged) {
    CEditSerialConfigDlg dialog(doc, PortFixture::kFixedPort);
    EXPECT_EQ(dialog.ProtocolList()->currentText(), "Brevant_Pelvane_2");
    Choose(dialog.ProtocolList(), "Orvane_Lumen_24");
    EXPECT_EQ(dialog.ProtocolList()->currentText(), "Brevant_Pelvane_2");
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "The Protocol cannot be changed on this port");
    EXPECT_EQ(ui.boxes[0].caption, "Edit Port Configuration");
}

// A port linked to another script keeps its link unless another protocol is chosen.
TEST_F(PortDialogTest, ALinkStaysUntilAnotherProtocolIsChosen) {
    Port(1).m_strProtocol = "Main.ksf->Brevant_Pelvane_2";
    Port(1).m_strBaudRate = "9600";
    {
        CEditSerialConfigDlg dialog(doc, 1);
        EXPECT_EQ(dialog.ProtocolList()->currentText(), "Brevant_Pelvane_2");
        dialog.accept();
        EXPECT_EQ(Port(1).m_strProtocol, "Main.ksf->Brevant_Pelvane_2");
    }
    CEditSerialConfigDlg dialog(doc, 1);
    Choose(dialog.ProtocolList(), "Orvane_Lumen_24");
    dialog.accept();
    EXPECT_EQ(Port(1).m_strProtocol, "Orvane_Lumen_24");
}

TEST_F(PortDialogTest, ScsiOffersItsProtocolsAndAddresses) {
    const int port = PortFixture::kScsiPort;
    CEditScsiConfigDlg dialog(doc, port);
    EXPECT_EQ(Items(dialog.ProtocolList()),
              (std::vector<std::string>{"None", "Test_Disk", "Test_Tape"}));
    EXPECT_FALSE(dialog.AddressList()->isEnabled());
    Choose(dialog.ProtocolList(), "Test_Tape");
    EXPECT_EQ(Items(dialog.AddressList()), std::vector<std::string>{"5"});
    EXPECT_EQ(dialog.AddressList()->currentText(), "5");
    Choose(dialog.ProtocolList(), "Test_Disk");
    EXPECT_EQ(Items(dialog.AddressList()), (std::vector<std::string>{"0", "1", "2"}));
    EXPECT_EQ(dialog.AddressList()->currentText(), "0"); // the stored address
    dialog.AddressList()->setCurrentIndex(-1);
    dialog.accept();
    EXPECT_EQ(ui.Texts(), std::vector<std::string>{"All protocol fields must be filled"});
    dialog.AddressList()->setCurrentIndex(2);
    dialog.accept();
    EXPECT_EQ(Port(port).m_strProtocol, "Test_Disk");
    EXPECT_EQ(Port(port).m_strScsiAddress, "2");
}

// The wizard lists the other open scripts as a port names them, with '_' for blanks; with
// none it refuses OK until Browse opens one.
TEST_F(PortDialogTest, ProductWizardListsOtherScriptsNormalised) {
    ProductWizRequest request;
    request.document = &doc;
    request.protocol = "None";
    {
        CProductWizDlg dialog(request);
        EXPECT_EQ(dialog.Scripts()->count(), 0);
        EXPECT_FALSE(dialog.Scripts()->isEnabled());
        EXPECT_FALSE(dialog.ListLabel()->isEnabled());
        dialog.accept();
        EXPECT_NE(dialog.result(), QDialog::Accepted);
        EXPECT_EQ(ui.Texts(), std::vector<std::string>{"Please select a Script or click Cancel"});
        EXPECT_EQ(ui.boxes[0].caption, "QOR Product Wizard");

        std::vector<std::unique_ptr<CVLDoc>> opened;
        app.App().entries.openScript = [&](const std::string& path) {
            opened.push_back(std::make_unique<CVLDoc>(app.App()));
            opened.back()->InitNewScript(CVLDoc::kDefaultProduct);
            opened.back()->SetTitle(path);
            return opened.back().get();
        };
        ui.QueueDialog([](platform::DialogRequest& r) {
            auto& open = dynamic_cast<CFileOpenDlg&>(r);
            EXPECT_EQ(open.title, "Open File");
            EXPECT_EQ(open.filterName, "Velmora files(*.ksf)");
            open.path = "Main Stage.ksf";
            return true;
        });
        dialog.Browse();
        ASSERT_EQ(dialog.Scripts()->count(), 1);
        EXPECT_EQ(dialog.Scripts()->item(0)->text(), "Main_Stage.ksf->Brevant_9_Bit_Control");
        EXPECT_TRUE(dialog.Scripts()->isEnabled());
        dialog.Scripts()->setCurrentRow(0);
        dialog.accept();
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_EQ(request.protocol, "Main_Stage.ksf->Brevant_9_Bit_Control");
        app.App().entries.openScript = nullptr;
    }
}

} // namespace
