#include "platform/qt/mdi_template.h"
#include "tests/support/qt_test_app.h"
#include "tests/support/view_services_fixture.h"
#include "views/reports/list_views.h"
#include "views/reports/popup_dialog.h"

#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QMdiArea>
#include <QPushButton>
#include <QScreen>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace pq = platform::qt;

namespace {

TEST(DatViewLines, ValidAndInvalidImages) {
    const std::vector<std::string> tail{
        "",
        "The DAT file is the compiled KSF Script. It is saved to disk",
        "whenever you compile. You can download it to a Show Controller,",
        "and can also retrieve it from the Show Controller.",
        "By using the checksum and size information you can compare",
        "different DAT files to determine which is currently",
        "loaded into your show controller.",
        ""};
    std::vector<std::string> valid{"The Size is 3", "The Checksum is 00AB",
                                   "The Checksum passed validation"};
    valid.insert(valid.end(), tail.begin(), tail.end());
    EXPECT_EQ(DatViewLines(3, 0xAB, true), valid);
    std::vector<std::string> invalid{"The Size is 65535", "", "This file IS NOT a valid DAT file!"};
    invalid.insert(invalid.end(), tail.begin(), tail.end());
    EXPECT_EQ(DatViewLines(65535, 0x1234, false), invalid);
}

TEST(HexDump, LinesOfSixteenBytesWithTheirCharacters) {
    std::vector<std::uint8_t> image{0x41, 0x7F, 0x80, 0xA0, 0xA1, 0xFE, 0xFF, 0x00, 0x20,
                                    0x1F, 0x30, 0x31, 0x32, 0x33, 0x34, 0x35, 0x99};
    const std::vector<std::string> lines = HexDumpLines(image);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "This is a Hexadecimal/ASCII dump of the compiled DAT file");
    EXPECT_EQ(lines[1], "");
    EXPECT_EQ(lines[2],
              "0000: 41 7F 80 A0 A1 FE FF 00  20 1F 30 31 32 33 34 35 | A\x7F..\xA1\xFE.. "
              ".012345 |");
    EXPECT_EQ(lines[3], "0010: 99                                               | .               "
                        " |");
    for (std::size_t i = 2; i < lines.size(); ++i)
        EXPECT_EQ(lines[i].size(), 75u);
    EXPECT_EQ(HexDumpLines({}).size(), 2u);
}

struct ImageViews : ::testing::Test, testsupport::QtAppFirst {
    ImageViews() {
        area.resize(900, 700);
        area.show();
        RegisterReportViews(registry, services, [this](CDatDoc& doc) { shown.push_back(&doc); });
    }
    std::string WriteImage(const std::vector<std::uint8_t>& bytes) {
        const std::string path = std::filesystem::temp_directory_path() / "velmora_view_test.dat";
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        return path;
    }
    testing_support::TestViewServices services;
    QMdiArea area;
    pq::ViewRegistry registry;
    std::vector<CDatDoc*> shown;
};

TEST_F(ImageViews, OpenedImageShowsItsLinesAndAsksOnceForTheRetrievalCheck) {
    pq::MdiDocTemplate dat(area, registry, {6, true, false, {}}, "CDatView",
                           [](platform::Document&) { return new pq::MdiChildFrame; });
    dat.SetDocumentFactory([] { return std::make_unique<CDatDoc>(); }, "Script", ".dat");
    const std::string path = WriteImage({0x05, 0x00, 0x05});
    auto* doc = dynamic_cast<CDatDoc*>(dat.OpenDocumentFile(path));
    ASSERT_NE(doc, nullptr);
    auto* view = dynamic_cast<CDatView*>(doc->Views().front());
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->Frame()->geometry(), QRect(0, 0, 600, 400));
    EXPECT_EQ(view->Frame()->windowTitle(), "velmora_view_test.dat");
    EXPECT_EQ(view->Lines(), DatViewLines(3, 5, true));
    EXPECT_TRUE(shown.empty()) << "asked only once the event loop runs";
    QApplication::processEvents();
    EXPECT_EQ(shown, std::vector<CDatDoc*>{doc});

    doc->LogLine("Retrieving...");
    EXPECT_EQ(view->Lines().back(), "Retrieving...");
    view->List().setCurrentRow(1);
    EXPECT_TRUE(view->List().selectedItems().isEmpty()) << "lines never stay highlighted";

    pq::MdiDocTemplate hex(area, registry, {6, true, false, {}}, "CDatHexView",
                           [](platform::Document&) { return new pq::MdiChildFrame; });
    pq::FramedView* dump = hex.OpenView(*doc);
    ASSERT_NE(dump, nullptr);
    EXPECT_EQ(dump->Frame()->size(), QSize(640, 400));
    EXPECT_EQ(static_cast<CDatHexView*>(dump)->Lines().back(),
              "0000: 05 00 05                                         | ...              |");
    std::filesystem::remove(path);
}

TEST_F(ImageViews, PopupShowsCentredWithoutButtonAndWaitsItsDelay) {
    {
        reports::CPopupDlg popup;
        popup.setWindowTitle("Compile and Download");
        popup.SetMessage("Compile aborted by user!");
        popup.CreateModeless();
        EXPECT_TRUE(popup.isVisible());
        EXPECT_EQ(popup.findChild<QLabel*>("ctl_342")->text(), "Compile aborted by user!");
        EXPECT_FALSE(popup.findChild<QPushButton*>("ctl_2")->isVisible());
        const QRect desk = QGuiApplication::primaryScreen()->geometry();
        EXPECT_EQ(reports::CPopupDlg::CentredOn(QRect(0, 0, 1025, 769), QSize(300, 101)),
                  QPoint(362, 334));
        EXPECT_TRUE(desk.contains(popup.frameGeometry().center(), false));
    }
    ::CPopupDlg request;
    request.title = "Compile and Download";
    request.message = "Compile aborted by user!";
    request.delayTicks = 4;
    const auto start = std::chrono::steady_clock::now();
    pq::QtUiServices ui;
    registry.InstallDialogs(ui);
    EXPECT_TRUE(ui.RunDialog(request));
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_GE(elapsed, std::chrono::milliseconds(220));
    EXPECT_LT(elapsed, std::chrono::milliseconds(2000));
    for (QWidget* top : QApplication::topLevelWidgets())
        EXPECT_EQ(dynamic_cast<reports::CPopupDlg*>(top), nullptr) << "the pop-up is gone";
}

} // namespace
