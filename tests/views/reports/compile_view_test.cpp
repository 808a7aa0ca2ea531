#include "compiler/compile_main.h"
#include "controls/grid/cel_parts.h"
#include "script/event.h"
#include "script/text_resources.h"
#include "script/vl_doc.h"
#include "tests/support/app_fixture.h"
#include "tests/support/qt_test_app.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/view_services_fixture.h"
#include "views/reports/cmp_error_dlg.h"
#include "views/reports/compile_view.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QScreen>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <string>

namespace {

std::string Label(const CCmpErrorDlg& dialog, const char* id) {
    auto* label = dialog.findChild<QLabel*>(QString::fromLatin1(id));
    return label ? label->text().toStdString() : std::string("<none>");
}

void SettleDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// A script with two sequences ("Intro" with three events, "Finale" with one) and two data
// strings, shown in a compile view.
struct CompileViewTest : ::testing::Test, testsupport::QtAppFirst {
    CompileViewTest() {
        doc.InitNewScript(CVLDoc::kDefaultProduct);
        doc.SetTitle("Show.ksf");
        doc.m_poSeqList.clear();
        auto intro = std::make_unique<CSeq>("Intro", 0);
        for (int e = 0; e < 3; ++e)
            intro->m_poEventList.push_back(std::make_unique<CEvnt>());
        doc.m_poSeqList.push_back(std::move(intro));
        auto finale = std::make_unique<CSeq>("Finale", 0);
        finale->m_poEventList.push_back(std::make_unique<CEvnt>());
        doc.m_poSeqList.push_back(std::move(finale));
        doc.m_poDataStrList.push_back(std::make_unique<CDataStr>("a", "1", ""));
        doc.m_poDataStrList.push_back(std::make_unique<CDataStr>("b", "2", ""));
        doc.AddView(&view);
        view.OnInitialUpdate();
        view.resize(800, 300);
    }
    ~CompileViewTest() override {
        doc.CloseCompileErrorDialog();
        SettleDeletes();
        doc.RemoveView(&view);
    }
    std::string Cell(int column, int row) {
        std::string text;
        view.Cel().CopyCellText(column, row, text);
        return text;
    }
    // Adds a message and double-clicks it.
    CCmpErrorDlg* Open(const std::string& text, int kind, int resource, int event, int param) {
        view.AddMessage(text, kind, resource, event, param, 0x0000FF);
        const int row = view.Cel().GetRowCount() - 1;
        view.Cel().NotifyCellDoubleClick(2, row, {}, {}, 0);
        return ErrorDialogOf(doc);
    }

    testing_support::AppFixture app;
    testing_support::ScriptedUi ui;
    CVLDoc doc{app.App()};
    testing_support::TestViewServices services;
    CCompileView view{doc, services};
};

// No heading is clipped, and the columns together keep the width they were given, so that they
// fit the window's default width without a horizontal bar; the headings lie on white.
TEST_F(CompileViewTest, HeadingsShowWholeAndTheColumnsKeepTheirWidth) {
    const char* headings[] = {"Compiler Message", "Error", "Seq/Res", "Event", "Param"};
    for (const int pixels : {12, 18}) {
        QFont font = view.Cel().font();
        font.setPixelSize(pixels);
        view.Cel().setFont(font);
        view.OnInitialUpdate();
        const QFontMetrics metrics(view.Cel().font());
        int total = 0;
        for (int c = 0; c < 5; ++c) {
            EXPECT_EQ(Cell(c, -1), headings[c]);
            const int width = view.Cel().GetColumnWidth(c);
            EXPECT_GE(width, metrics.horizontalAdvance(QLatin1String(headings[c])) + 4)
                << pixels << " px: " << headings[c];
            total += width;
        }
        EXPECT_EQ(total, 540 + 4 * 50 - view.Cel().Info().vScrollWidth) << pixels << " px";
        EXPECT_EQ(view.Cel().GetSectionBackColour(2), 0xFFFFFFu);
        EXPECT_EQ(view.Cel().GetSectionBackColour(3), 0xFFFFFFu);
    }
}

// The grid as wide as the window's default width gives it (its row headings and the 740 pixels
// of the columns): a log longer than the window brings a vertical bar, never a horizontal one.
TEST_F(CompileViewTest, ALongLogNeedsNoHorizontalBar) {
    view.show();
    CompileCel& cel = view.Cel();
    ASSERT_GT(cel.Info().vScrollWidth, 0);
    for (int i = 0; i < 60; ++i)
        view.AddMessage("Compiling sequence Intro", 0, -1, -1, -1, 0);
    cel.resize(cel.Info().sideHeadingWidth + 540 + 4 * 50, 300);
    cel.RelayoutChildren();
    ASSERT_TRUE(cel.VScroll()->isVisible());
    EXPECT_FALSE(cel.HScroll()->isVisible());
}

// A line wider than the message column widens it, and the grid scrolls sideways to show it.
TEST_F(CompileViewTest, ALongLineWidensItsColumnAndScrolls) {
    view.show();
    CompileCel& cel = view.Cel();
    cel.resize(cel.Info().sideHeadingWidth + 540 + 4 * 50, 300);
    const int before = cel.GetColumnWidth(0);
    view.AddMessage("Short", 0, -1, -1, -1, 0);
    EXPECT_EQ(cel.GetColumnWidth(0), before);
    const std::string line = "Error: Compiled script is larger than the space available " +
                             std::string(120, 'x');
    view.AddMessage(line, 0, -1, -1, -1, 0x0000FF);
    const QFontMetrics metrics(cel.font());
    EXPECT_GE(cel.GetColumnWidth(0), metrics.horizontalAdvance(QString::fromStdString(line)));
    cel.RelayoutChildren();
    EXPECT_TRUE(cel.HScroll()->isVisible());
}

// The headings as painted: each heading cell lies on white, whatever the platform's button
// colour is.
TEST_F(CompileViewTest, HeadingsArePaintedOnWhite) {
    view.show();
    CELTopHdg* heading = view.Cel().TopHeading();
    ASSERT_TRUE(heading);
    const QImage picture = heading->grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(picture.isNull());
    for (int c = 0; c < 5; ++c) {
        const QRect cell = heading->CellRect(c, -1).adjusted(2, 2, -2, -2) & picture.rect();
        ASSERT_FALSE(cell.isEmpty()) << "column " << c;
        std::map<QRgb, int> counts;
        for (int y = cell.top(); y <= cell.bottom(); ++y)
            for (int x = cell.left(); x <= cell.right(); ++x)
                ++counts[picture.pixel(x, y)];
        auto most = counts.begin();
        for (auto it = counts.begin(); it != counts.end(); ++it)
            if (it->second > most->second)
                most = it;
        EXPECT_EQ(most->first, qRgb(255, 255, 255))
            << "column " << c << " is mostly #" << std::hex << (most->first & 0xFFFFFFu);
    }
}

TEST_F(CompileViewTest, RowsShowTheMessageFields) {
    // The compiler and the link find the view as the script's message sink.
    EXPECT_EQ(FindCompileView(doc), static_cast<CompileMessageSink*>(&view));
    EXPECT_EQ(view.Cel().GetColumnCount(), 5);
    EXPECT_EQ(view.Cel().GetRowCount(), 0);
    const char* headings[] = {"Compiler Message", "Error", "Seq/Res", "Event", "Param"};
    for (int c = 0; c < 5; ++c)
        EXPECT_STREQ(view.Cel().ReadCellText(c, -1), headings[c]);
    view.AddMessage("", 0, -1, -1, -1, -1);
    view.AddMessage("Error: bad value", 11, 0, 2, 1, 0x0000FF);
    const std::vector<std::string> row0{" ", " ", " ", " ", " "};
    const std::vector<std::string> row1{"Error: bad value", "11", "1", "3", "2"};
    for (int c = 0; c < 5; ++c) {
        EXPECT_EQ(Cell(c, 0), row0[c]);
        EXPECT_EQ(Cell(c, 1), row1[c]);
    }
    EXPECT_EQ(Cell(-1, 1), "01");
    CELCell cell;
    view.Cel().FetchCell(0, 0, cell);
    EXPECT_EQ(cell.GetTextColour(), 0x000000u);
    view.Cel().FetchCell(4, 1, cell);
    EXPECT_EQ(cell.GetTextColour(), 0x0000FFu);
    EXPECT_EQ(view.Cel().GetActiveRow(), 1);

    view.ClearMessages();
    EXPECT_EQ(view.Cel().GetRowCount(), 0);
}

// Hands the compiler the fixture's view, already attached to the script.
struct FixedTemplate : platform::ViewTemplate {
    platform::View* view = nullptr;
    platform::View* CreateViewFrame(platform::Document&) override { return view; }
};

TEST_F(CompileViewTest, ACompileFillsTheView) {
    doc.RemoveView(&view);
    FixedTemplate compileTemplate;
    compileTemplate.view = &view;
    app.App().m_pCompileTmp = &compileTemplate;
    doc.AddView(&view);
    view.AddMessage("old line", 0, -1, -1, -1, -1);
    // The image is written to the current folder.
    QTemporaryDir dir;
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());
    doc.CompileScript();
    QDir::setCurrent(previous);
    app.App().m_pCompileTmp = nullptr;
    ASSERT_GT(view.Cel().GetRowCount(), 0);
    EXPECT_NE(Cell(0, 0), "old line");
    EXPECT_EQ(view.Cel().GetActiveRow(), view.Cel().GetRowCount() - 1);
}

TEST_F(CompileViewTest, SortingComparesTexts) {
    view.AddMessage("nine", 9, 8, -1, -1, -1);
    view.AddMessage("ten", 9, 9, -1, -1, -1);
    view.AddMessage("none", 0, -1, -1, -1, -1);
    view.Cel().NotifyTopHeadingLeftClick(2, -1, 0, {}, {}, 0);
    EXPECT_EQ(Cell(2, 0), " ");
    EXPECT_EQ(Cell(2, 1), "10");
    EXPECT_EQ(Cell(2, 2), "9");
    view.Cel().NotifyTopHeadingRightClick(2, -1, 0, {}, {}, 0);
    EXPECT_EQ(Cell(2, 0), "9");
    EXPECT_EQ(Cell(2, 1), "10");
}

TEST_F(CompileViewTest, DoubleClickShowsTheMessageInTheErrorDialog) {
    struct Case {
        std::string text;
        int kind, resource, event, param;
        std::string location, eventLine, message;
    } cases[] = {
        {"Unit wrong", 1, -1, -1, -1, "Edit Configuration | Unit", "", "Unit wrong"},
        {"in use", 2, 3, -1, -1, "Input: 3", "", "in use"},
        {"unused", 3, 0, -1, -1, "Output: 0", "", "unused"},
        {"port", 6, 1, -1, -1, "Port: 1", "", "port"},
        {"string", 7, 1, -1, -1, "Data String: 2", "", "string"},
        {"loop", 9, 1, -1, -1, "Sequence: Finale", "", "loop"},
        {"late", 10, 0, 2, -1, "Sequence: Intro", "Event: 3", "late"},
        {"       Event [Play] - x was not found as parameter 2", 11, 0, 1, 1, "Sequence: Intro",
         "Event: 2, Parameter: 2", "Error:  Event [Play] - x was not found as parameter 2"},
        {"short", 11, 0, 0, 0, "Sequence: Intro", "Event: 1, Parameter: 1", "Error: short"},
    };
    for (const Case& c : cases) {
        CCmpErrorDlg* dialog = Open(c.text, c.kind, c.resource, c.event, c.param);
        ASSERT_NE(dialog, nullptr) << c.text;
        EXPECT_EQ(Label(*dialog, "ctl_352"), c.location);
        EXPECT_EQ(Label(*dialog, "ctl_353"), c.eventLine);
        EXPECT_EQ(Label(*dialog, "ctl_342"), c.message);
        EXPECT_EQ(&dialog->Script(), &doc);
        EXPECT_EQ(view.Cel().GetActiveRow(), view.Cel().GetRowCount() - 1);
        // A click in the list closes it.
        view.Cel().NotifyCellLeftClick(0, 0, 1, {}, {}, 0);
        EXPECT_EQ(ErrorDialogOf(doc), nullptr);
        SettleDeletes();
    }
}

// Every line shows whole in the dialog's font, at the usual size and half again as large: a
// word cut from "is not supported" turns the message into its opposite.
TEST_F(CompileViewTest, ErrorDialogLinesShowWholeAtEveryScale) {
    const char* messages[] = {
        "[Onnnnnnnnnnnnnnnnnnnnnnnnnnnnnn] is not supported by the Harnel16 controller model",
        "       Event [Play_Sound_Effect] - WWWWWWWWWWWWWWWWWWWW was not found as parameter 2",
        "MMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMM MMMMMMMMMM was not found",
    };
    for (const int pixels : {12, 18}) {
        for (const char* text : messages) {
            CCmpErrorDlg* dialog = Open(text, 11, 0, 1, 1);
            ASSERT_NE(dialog, nullptr);
            QFont font = dialog->font();
            font.setPixelSize(pixels);
            dialog->setFont(font);
            const QFontMetrics metrics(font);
            for (const char* id : {"ctl_352", "ctl_353", "ctl_342", "ctl_1093"}) {
                auto* label = dialog->findChild<QLabel*>(QString::fromLatin1(id));
                ASSERT_NE(label, nullptr);
                const QRect shown = label->geometry().intersected(dialog->rect());
                EXPECT_GE(shown.width(), metrics.horizontalAdvance(label->text()))
                    << pixels << " px, " << id << ": " << label->text().toStdString();
                EXPECT_GE(shown.height(), metrics.height()) << pixels << " px, " << id;
            }
            // The two message lines do not overlap, and no label runs under a button.
            auto* first = dialog->findChild<QLabel*>(QStringLiteral("ctl_342"));
            auto* second = dialog->findChild<QLabel*>(QStringLiteral("ctl_1093"));
            EXPECT_LE(first->geometry().bottom(), second->geometry().top());
            for (const char* button : {"ctl_2", "ctl_351"}) {
                auto* b = dialog->findChild<QWidget*>(QString::fromLatin1(button));
                ASSERT_NE(b, nullptr);
                EXPECT_TRUE(dialog->rect().contains(b->geometry())) << button;
                for (const char* id : {"ctl_352", "ctl_353", "ctl_342", "ctl_1093"})
                    EXPECT_FALSE(dialog->findChild<QLabel*>(QString::fromLatin1(id))
                                     ->geometry()
                                     .intersects(b->geometry()))
                        << id << " under " << button;
            }
            doc.CloseCompileErrorDialog();
            SettleDeletes();
        }
    }
}

TEST_F(CompileViewTest, RowsThatNameNothingInTheScriptDoNothing) {
    struct Case {
        int kind, resource, event, param;
    } cases[] = {
        {0, -1, -1, -1}, {12, 0, -1, -1}, {2, -1, -1, -1}, {7, 2, -1, -1}, {9, 2, -1, -1},
        {10, 1, 1, -1},  {10, 0, -1, -1}, {11, 0, 0, -1},  {11, 0, 0, 4},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Open("stale", c.kind, c.resource, c.event, c.param), nullptr)
            << c.kind << " " << c.resource << " " << c.event << " " << c.param;
    }
}

TEST(ErrorDialogText, SplitAtTheLastBlankWithinSixty) {
    const std::string sixty(60, 'x');
    struct Case {
        std::string text, first, second;
    } cases[] = {
        {sixty, sixty, ""},
        {sixty + "y", sixty + "y", ""},
        {std::string(55, 'a') + " bcdef ghij", std::string(55, 'a'), "bcdef ghij"},
        {std::string(59, 'a') + " " + std::string(70, 'b'), std::string(59, 'a'),
         std::string(70, 'b')},
    };
    for (const Case& c : cases) {
        const auto [first, second] = CCmpErrorDlg::SplitMessage(c.text);
        EXPECT_EQ(first, c.first);
        EXPECT_EQ(second, c.second);
    }
}

TEST_F(CompileViewTest, DialogPositionIsKeptInTheScriptAcrossSaveAndReopen) {
    CCmpErrorDlg* dialog = Open("loop", 9, 0, -1, -1);
    ASSERT_NE(dialog, nullptr);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const QRect first = dialog->frameGeometry();
    EXPECT_EQ(first.x(), screen.left() + screen.width() / 2 - first.width() / 2);
    EXPECT_EQ(first.y(), screen.top() + screen.height() / 2 - first.height() / 2);
    dialog->move(40, 60);
    QCoreApplication::processEvents();
    const auto stored = doc.m_anWindowPos[CVLDoc::kWinCompileError];
    EXPECT_EQ(stored[0], 40);
    EXPECT_EQ(stored[1], 60);
    doc.CloseCompileErrorDialog();
    SettleDeletes();

    QTemporaryDir dir;
    const std::string path = dir.filePath("show.ksf").toStdString();
    ASSERT_TRUE(doc.OnSaveDocument(path));
    CVLDoc reopened{app.App()};
    ASSERT_TRUE(reopened.OnOpenDocument(path));
    EXPECT_EQ(reopened.m_anWindowPos[CVLDoc::kWinCompileError], stored);
    CCmpErrorDlg again(reopened);
    again.CreateModeless();
    EXPECT_EQ(again.frameGeometry().topLeft(), QPoint(40, 60));
}

TEST_F(CompileViewTest, CloseActsOnItsOwnScript) {
    CVLDoc other{app.App()};
    other.InitNewScript(CVLDoc::kDefaultProduct);
    auto* otherDialog = new CCmpErrorDlg(other);
    other.m_pCompileErrorDlg = std::make_unique<CmpErrorDlgHandle>(otherDialog);
    CCmpErrorDlg* dialog = Open("loop", 9, 0, -1, -1);
    ASSERT_NE(dialog, nullptr);
    dialog->OnCancel();
    EXPECT_EQ(ErrorDialogOf(doc), nullptr);
    EXPECT_EQ(ErrorDialogOf(other), otherDialog);
    other.CloseCompileErrorDialog();
    SettleDeletes();
}

} // namespace
