#include "script/event.h"
#include "script/vl_doc.h"
#include "tests/support/app_fixture.h"
#include "tests/support/pdf_text.h"
#include "tests/support/qt_test_app.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/view_services_fixture.h"
#include "tests/views/gridbase/grid_fill.h"
#include "views/common/vl_view.h"
#include "views/gridbase/print_services.h"
#include "views/gridbase/vl_cel_ctrl.h"

#include <QPrinter>
#include <QTemporaryDir>
#include <cstdio>
#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace {

using testing_support::PdfPages;
using testing_support::PdfText;

class TableView : public CVLView {
public:
    TableView(CVLDoc& doc, ViewServices& services) : CVLView(doc, services) {
        CreateGrid(new VLCELCtrl);
        resize(400, 300);
    }
};

// A script with named sequences of a few events, a view on it, and print services that print
// to a PDF file in a temporary folder.
struct Printing : ::testing::Test, testsupport::QtAppFirst {
    Printing() {
        doc.InitNewScript(CVLDoc::kDefaultProduct);
        doc.SetTitle("Show.ksf");
        doc.m_strAuthor1 = "Stage Crew";
        doc.m_poSeqList.clear();
        for (int s = 0; s < 3; ++s) {
            auto seq = std::make_unique<CSeq>("Seq" + std::to_string(s + 1), 0);
            for (int e = 0; e < 2; ++e)
                seq->m_poEventList.push_back(std::make_unique<CEvnt>());
            doc.m_poSeqList.push_back(std::move(seq));
        }
        doc.AddView(&view);
        services.askPrinter = [this](QPrinter& printer, QWidget*, bool) {
            ++printerAsked;
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(QString::fromStdString(pdf));
            return true;
        };
        services.askListing = [this](QWidget*, bool preview) {
            listingAskedForPreview = preview;
            return choice;
        };
    }
    ~Printing() override { doc.RemoveView(&view); }

    testing_support::AppFixture app;
    testing_support::ScriptedUi ui;
    CVLDoc doc{app.App()};
    testing_support::TestViewServices shell;
    views::PrintServices& services = shell.printing;
    TableView view{doc, shell};
    views::ListingChoice choice{3, 0, 1, 1};
    QTemporaryDir dir;
    std::string pdf = dir.filePath("out.pdf").toStdString();
    int printerAsked = 0;
    bool listingAskedForPreview = false;
};

TEST_F(Printing, PrintAllListsEverySectionButTheFileOnlyOnes) {
    doc.m_nWriteHeaders = 0;
    view.PrintListing(false);
    ASSERT_EQ(printerAsked, 1);
    const int pages = PdfPages(pdf);
    ASSERT_GE(pages, 1);
    const std::string text = PdfText(pdf);
    EXPECT_NE(text.find("Script Listing"), std::string::npos);
    EXPECT_NE(text.find("Show"), std::string::npos);
    EXPECT_NE(text.find("Page 1 of " + std::to_string(pages)), std::string::npos);
    EXPECT_NE(text.find("Brevant Velmora"), std::string::npos);
    EXPECT_NE(text.find("Stage Crew"), std::string::npos);
    EXPECT_NE(text.find("Seq3"), std::string::npos);
    EXPECT_EQ(text.find("WindowPlacement"), std::string::npos);
    EXPECT_EQ(text.find('['), std::string::npos) << "section brackets are not printed";
    // The header option is back as it was, the listing is gone.
    EXPECT_EQ(doc.m_nWriteHeaders, 0);
    EXPECT_TRUE(view.ListingText().empty());
    EXPECT_TRUE(ui.Texts().empty());
}

TEST_F(Printing, RangeBeyondTheScriptIsClampedAndPreviewRendersTheSamePages) {
    choice = {1, CVLDoc::kWriteSequences, 0, 99};
    view.PrintListing(false);
    const int printed = PdfPages(pdf);
    const std::string text = PdfText(pdf);
    EXPECT_NE(text.find("Seq1"), std::string::npos);
    EXPECT_NE(text.find("Seq3"), std::string::npos);
    EXPECT_EQ(text.find("Inputs"), std::string::npos);

    const std::string previewPdf = dir.filePath("preview.pdf").toStdString();
    services.preview = [&](QWidget*, const std::function<void(QPrinter&)>& render) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(previewPdf));
        render(printer);
    };
    printerAsked = 0;
    view.PrintPreview();
    EXPECT_TRUE(listingAskedForPreview);
    EXPECT_EQ(printerAsked, 0) << "a preview asks for no printer";
    EXPECT_EQ(PdfPages(previewPdf), printed);
}

TEST_F(Printing, CancelledSelectionPrintsNothing) {
    choice.answer = 2;
    doc.m_nWriteHeaders = 0;
    view.PrintListing(false);
    EXPECT_EQ(printerAsked, 0);
    EXPECT_EQ(PdfPages(pdf), -1);
    EXPECT_EQ(doc.m_nWriteHeaders, 0);
}

using testing_support::FillGrid;

TEST_F(Printing, ReplaceMarksTheScriptChanged) {
    FillGrid(*view.Grid(), 3);
    doc.SetModifiedFlag(false);
    for (const auto& sequence : doc.m_poSeqList)
        sequence->m_nNeedsCompile = 0;
    view.ReplaceInGrid();
    EXPECT_TRUE(view.Grid()->IsFindDialogOpen());
    EXPECT_TRUE(doc.IsModified());
    for (const auto& sequence : doc.m_poSeqList)
        EXPECT_TRUE(sequence->m_nNeedsCompile) << sequence->m_strName;
}

TEST(ColumnWidths, StoredTimesThirtyFiveWithinSixteenBits) {
    EXPECT_EQ(CVLView::StoredColumnWidth(100), 3500);
    EXPECT_EQ(CVLView::StoredColumnWidth(1872), 65520);
    EXPECT_EQ(CVLView::StoredColumnWidth(1873), 65535);
    EXPECT_EQ(CVLView::StoredColumnWidth(-5), 0);
}

} // namespace
