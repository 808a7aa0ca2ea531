// What every printed listing does with its printer, whatever the program: print the pages the
// print dialog asked for, and write the texts of a page's header and footer rows.
#pragma once

#include <QString>
#include <array>
#include <functional>

class QFont;
class QPainter;
class QPrinter;

namespace platform::qt {

// The pages of a job of `lastPage` pages that `printer` was asked for: every page, or its page
// range cut to the job. None (`first > last`) when the range lies past the job.
struct PageSpan {
    int first = 1;
    int last = 0;
};
PageSpan PagesToPrint(const QPrinter& printer, int lastPage);

// Prints those pages, `drawPage(painter, page)` drawing each; nothing reaches the printer when
// there are none or the printer cannot start.
void PrintPages(QPrinter& printer, int lastPage,
                const std::function<void(QPainter&, int page)>& drawPage);

// A font of a listing's lines on the page: `face` at a cell `height` high (at least 1).
QFont ListingFont(const char* face, int height, int weight, bool underline);

// Writes `text` in `font` into the header (`row` 0) or the footer (`row` 1) band of the
// painter's page, 19 mm high: `position` 0 at the left, 1 centred, 2 at the right.
void DrawPageBandText(QPainter& dc, const QFont& font, int row, int position, const QString& text);

// The header row's texts, left to right, then the footer row's.
using PageBandTexts = std::array<QString, 6>;
void DrawPageBands(QPainter& dc, const QFont& font, const PageBandTexts& texts);

} // namespace platform::qt
