// The pages a listing job prints: the range the print dialog asked for, cut to the job, each
// page drawn once in order; a job without pages prints nothing.
#include "platform/qt/print_pages.h"

#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <vector>

namespace {

TEST(PrintPages, TheAskedRangeCutToTheJobIsPrintedInOrder) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    struct Case {
        int from, to; // the dialog's range; 0: all pages
        int lastPage;
        std::vector<int> printed;
    };
    for (const Case& c : {Case{0, 0, 3, {1, 2, 3}}, Case{2, 3, 5, {2, 3}}, Case{2, 9, 4, {2, 3, 4}},
                          Case{6, 8, 5, {}}, Case{1, 2, 0, {}}}) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath("job.pdf"));
        if (c.from > 0) {
            printer.setPrintRange(QPrinter::PageRange);
            printer.setFromTo(c.from, c.to);
        }
        std::vector<int> printed;
        platform::qt::PrintPages(printer, c.lastPage, [&printed](QPainter& painter, int page) {
            EXPECT_TRUE(painter.isActive());
            printed.push_back(page);
        });
        EXPECT_EQ(printed, c.printed) << c.from << "-" << c.to << " of " << c.lastPage;
    }
}

} // namespace
