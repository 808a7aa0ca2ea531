#include "platform/qt/print_pages.h"

#include "platform/qt/fonts.h"
#include "platform/qt/gdi.h"

#include <QFont>
#include <QPainter>
#include <QPrinter>
#include <algorithm>

namespace platform::qt {

PageSpan PagesToPrint(const QPrinter& printer, int lastPage) {
    PageSpan span{1, lastPage};
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        span.first = std::max(1, printer.fromPage());
        span.last = std::min(lastPage, printer.toPage() > 0 ? printer.toPage() : lastPage);
    }
    return span;
}

void PrintPages(QPrinter& printer, int lastPage,
                const std::function<void(QPainter&, int page)>& drawPage) {
    if (lastPage <= 0)
        return;
    const PageSpan span = PagesToPrint(printer, lastPage);
    QPainter painter;
    if (span.first > span.last || !painter.begin(&printer))
        return;
    for (int page = span.first; page <= span.last; ++page) {
        if (page > span.first)
            printer.newPage();
        drawPage(painter, page);
    }
    painter.end();
}

QFont ListingFont(const char* face, int height, int weight, bool underline) {
    LogFont logFont;
    logFont.faceName = QString::fromLatin1(face);
    logFont.height = std::max(1, height);
    logFont.weight = weight;
    logFont.underline = underline;
    return FontFromLogFont(logFont);
}

void DrawPageBandText(QPainter& dc, const QFont& font, int row, int position, const QString& text) {
    QPaintDevice* device = dc.device();
    if (!device)
        return;
    const int width = device->width(), height = device->height();
    const int band = 19 * (height / std::max(1, device->heightMM()));
    dc.save();
    dc.setFont(font);
    const QSize extent = TextExtent(dc.fontMetrics(), text);
    int x = width / 2 - extent.width() / 2;
    if (position == 0)
        x = 0;
    else if (position == 2)
        x = width - extent.width() - 20;
    const int y =
        row == 1 ? height - band / 2 - extent.height() / 2 : band / 2 - extent.height() / 2;
    DrawTextTop(dc, x, y, text, 0x000000);
    dc.restore();
}

void DrawPageBands(QPainter& dc, const QFont& font, const PageBandTexts& texts) {
    for (int i = 0; i < 6; ++i)
        DrawPageBandText(dc, font, i / 3, i % 3, texts[std::size_t(i)]);
}

} // namespace platform::qt
