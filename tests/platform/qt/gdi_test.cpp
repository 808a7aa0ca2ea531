// The drawing helpers' pixel rules, probed on an image: right and bottom edges excluded, line
// end points excluded, the 3D frame's corners, the focus frame undone by a second call, and text
// placed by its top, aligned, shortened and underlined.
#include "platform/qt/gdi.h"
#include "tests/support/qt_test_app.h"

#include <QPainter>
#include <gtest/gtest.h>
#include <vector>

namespace {

using namespace platform::qt;
using qt_testing::PixelRef;

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

template <typename Paint> QImage Draw(int w, int h, Paint paint) {
    QImage image = qt_testing::BlankImage(w, h);
    QPainter painter(&image);
    BeginGdiPainting(painter);
    paint(painter);
    painter.end();
    return image;
}

// The bounding box of every pixel that is not white.
GdiRect Ink(const QImage& image) {
    GdiRect box{image.width(), image.height(), 0, 0};
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (PixelRef(image, x, y) != kWhite) {
                box.left = std::min(box.left, x);
                box.top = std::min(box.top, y);
                box.right = std::max(box.right, x + 1);
                box.bottom = std::max(box.bottom, y + 1);
            }
    return box;
}

TEST(GdiRect, EdgesExcludedInTestsAndIntersections) {
    const GdiRect r{2, 3, 6, 8};
    EXPECT_EQ(r.Width(), 4);
    EXPECT_EQ(r.Height(), 5);
    EXPECT_TRUE(r.Contains(2, 3));
    EXPECT_TRUE(r.Contains(5, 7));
    EXPECT_FALSE(r.Contains(6, 7));
    EXPECT_FALSE(r.Contains(5, 8));
    EXPECT_EQ(r.ToQRect(), QRect(2, 3, 4, 5));
    EXPECT_EQ(GdiRect::FromQRect(QRect(2, 3, 4, 5)), r);
    EXPECT_EQ(r.Intersected({6, 0, 9, 9}), GdiRect{}); // touching is no overlap
    EXPECT_EQ(r.Intersected({4, 0, 9, 4}), (GdiRect{4, 3, 6, 4}));
    EXPECT_EQ(r.United(GdiRect{}), r);
    EXPECT_EQ(r.United({0, 0, 1, 1}), (GdiRect{0, 0, 6, 8}));
    EXPECT_EQ(r.Inflated(-1, -1), (GdiRect{3, 4, 5, 7}));
    EXPECT_TRUE(GdiRect(5, 5, 5, 9).IsEmpty());
    EXPECT_TRUE(GdiRect(5, 5, 4, 9).IsEmpty());
}

TEST(GdiDrawing, FillsAndLinesCoverExactlyTheirPixels) {
    struct Case {
        const char* name;
        void (*paint)(QPainter&);
        GdiRect ink; // the painted pixels' bounding box
    };
    const Case cases[] = {
        {"rect",
         [](QPainter& p) {
             FillSolidRect(p, GdiRect{2, 3, 6, 8}, kRed);
         },
         {2, 3, 6, 8}},
        {"negative size", [](QPainter& p) { FillSolidRect(p, 6, 8, -4, -5, kRed); }, {2, 3, 6, 8}},
        {"empty rect",
         [](QPainter& p) {
             FillSolidRect(p, GdiRect{2, 3, 2, 8}, kRed);
         },
         {20, 20, 0, 0}},
        {"line right", [](QPainter& p) { DrawLine(p, 2, 5, 9, 5, kRed); }, {2, 5, 9, 6}},
        {"line left", [](QPainter& p) { DrawLine(p, 9, 5, 2, 5, kRed); }, {3, 5, 10, 6}},
        {"line down", [](QPainter& p) { DrawLine(p, 4, 1, 4, 7, kRed); }, {4, 1, 5, 7}},
        {"line up", [](QPainter& p) { DrawLine(p, 4, 7, 4, 1, kRed); }, {4, 2, 5, 8}},
        {"diagonal", [](QPainter& p) { DrawLine(p, 1, 1, 6, 6, kRed); }, {1, 1, 6, 6}},
        {"point", [](QPainter& p) { DrawLine(p, 3, 3, 3, 3, kRed); }, {20, 20, 0, 0}},
    };
    for (const Case& c : cases) {
        const QImage image = Draw(20, 20, c.paint);
        EXPECT_EQ(Ink(image), c.ink) << c.name;
    }
    // The diagonal is the five pixels (1,1) to (5,5), without antialiasing.
    const QImage diagonal = Draw(10, 10, [](QPainter& p) { DrawLine(p, 1, 1, 6, 6, kRed); });
    for (int i = 1; i < 6; ++i)
        EXPECT_EQ(PixelRef(diagonal, i, i), kRed) << i;
    EXPECT_EQ(PixelRef(diagonal, 2, 1), kWhite);
}

TEST(GdiDrawing, Draw3dRectCorners) {
    const QImage image = Draw(12, 12, [](QPainter& p) {
        Draw3dRect(p, GdiRect{1, 1, 9, 7}, kRed, kBlue);
    });
    EXPECT_EQ(PixelRef(image, 1, 1), kRed);   // top left
    EXPECT_EQ(PixelRef(image, 7, 1), kRed);   // top edge up to the last pixel
    EXPECT_EQ(PixelRef(image, 8, 1), kBlue);  // top right belongs to the right edge
    EXPECT_EQ(PixelRef(image, 1, 5), kRed);   // left edge
    EXPECT_EQ(PixelRef(image, 1, 6), kBlue);  // bottom left belongs to the bottom edge
    EXPECT_EQ(PixelRef(image, 8, 6), kBlue);  // bottom right
    EXPECT_EQ(PixelRef(image, 4, 3), kWhite); // inside untouched
    EXPECT_EQ(Ink(image), (GdiRect{1, 1, 9, 7}));
}

TEST(GdiDrawing, FocusRectIsDottedAndUndoneByASecondCall) {
    QImage image = qt_testing::BlankImage(12, 12);
    {
        QPainter p(&image);
        FillSolidRect(p, GdiRect{0, 0, 12, 12}, RGB(212, 208, 200));
        DrawFocusRect(p, GdiRect{2, 2, 10, 8});
    }
    const QImage once = image;
    EXPECT_NE(PixelRef(once, 2, 2), RGB(212, 208, 200)); // x + y even: inverted
    EXPECT_EQ(PixelRef(once, 3, 2), RGB(212, 208, 200)); // odd: untouched
    EXPECT_EQ(PixelRef(once, 5, 5), RGB(212, 208, 200)); // inside
    EXPECT_NE(PixelRef(once, 9, 7), RGB(212, 208, 200)); // bottom-right corner, even
    EXPECT_EQ(PixelRef(once, 9, 6), RGB(212, 208, 200)); // right edge, odd
    EXPECT_NE(PixelRef(once, 9, 5), RGB(212, 208, 200)); // right edge, even
    {
        QPainter p(&image);
        DrawFocusRect(p, GdiRect{2, 2, 10, 8});
    }
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x)
            ASSERT_EQ(PixelRef(image, x, y), RGB(212, 208, 200)) << x << "," << y;
}

TEST(GdiText, PlacedByItsTopAndAligned) {
    QFont font("DejaVu Sans");
    font.setPixelSize(14);
    const QFontMetrics fm(font);
    const int cell = fm.ascent() + fm.descent();
    const int width = fm.horizontalAdvance("Wide");

    const QImage top = Draw(80, 40, [&](QPainter& p) {
        p.setFont(font);
        DrawTextTop(p, 5, 10, "Wide", RGB(0, 0, 0));
    });
    const GdiRect ink = Ink(top);
    EXPECT_GE(ink.top, 10);
    EXPECT_LE(ink.bottom, 10 + cell);
    EXPECT_LE(ink.top, 10 + fm.ascent() - fm.capHeight() + 1); // capitals reach near the top
    EXPECT_GE(ink.left, 5);

    struct Case {
        unsigned flags;
        int x; // where the text starts
        int y; // where its cell starts
    };
    const GdiRect box{10, 4, 90, 44};
    const Case cases[] = {
        {DT_LEFT | DT_TOP, 10, 4},
        {DT_RIGHT | DT_TOP, 90 - width, 4},
        {DT_CENTER | DT_VCENTER, 10 + (80 - width) / 2, 4 + (40 - cell) / 2},
        {DT_LEFT | DT_BOTTOM, 10, 44 - cell},
    };
    for (const Case& c : cases) {
        const QImage aligned = Draw(100, 50, [&](QPainter& p) {
            p.setFont(font);
            EXPECT_EQ(DrawText(p, box, "Wide", c.flags | DT_SINGLELINE, RGB(0, 0, 0)), cell);
        });
        const QImage expected = Draw(100, 50, [&](QPainter& p) {
            p.setFont(font);
            DrawTextTop(p, c.x, c.y, "Wide", RGB(0, 0, 0));
        });
        EXPECT_EQ(aligned, expected) << std::hex << c.flags;
    }
}

TEST(GdiText, ClippedShortenedAndPrefixed) {
    QFont font("DejaVu Sans");
    font.setPixelSize(14);
    const QString longText = "A rather long text for a small box";
    // Clipped to its rectangle unless told not to.
    const QImage clipped = Draw(200, 30, [&](QPainter& p) {
        p.setFont(font);
        DrawText(p, GdiRect{0, 0, 50, 30}, longText, DT_SINGLELINE, RGB(0, 0, 0));
    });
    EXPECT_LE(Ink(clipped).right, 50);
    const QImage unclipped = Draw(200, 30, [&](QPainter& p) {
        p.setFont(font);
        DrawText(p, GdiRect{0, 0, 50, 30}, longText, DT_SINGLELINE | DT_NOCLIP, RGB(0, 0, 0));
    });
    EXPECT_GT(Ink(unclipped).right, 50);
    // The ellipsis keeps the text inside and ends it in dots: the last columns hold ink of a
    // different shape than the clipped text.
    const QImage elided = Draw(200, 30, [&](QPainter& p) {
        p.setFont(font);
        DrawText(p, GdiRect{0, 0, 80, 30}, longText, DT_SINGLELINE | DT_END_ELLIPSIS, RGB(0, 0, 0));
    });
    EXPECT_LE(Ink(elided).right, 80);

    struct Prefix {
        QString in;
        QString shown;
        int underline;
    };
    const Prefix prefixes[] = {
        {"&File", "File", 0},    {"Save &As...", "Save As...", 5},
        {"A && B", "A & B", -1}, {"End&", "End", -1},
        {"&&&x", "&x", 1},       {"", "", -1},
    };
    for (const Prefix& c : prefixes) {
        const PrefixedText out = StripPrefix(c.in);
        EXPECT_EQ(out.text, c.shown) << c.in.toStdString();
        EXPECT_EQ(out.underline, c.underline) << c.in.toStdString();
    }
    // The underline sits below the baseline under the marked letter only; DT_HIDEPREFIX and
    // DT_NOPREFIX draw none.
    const QFontMetrics fm(font);
    auto underlineRow = [&](unsigned flags, const QString& text) {
        const QImage image = Draw(120, 30, [&](QPainter& p) {
            p.setFont(font);
            DrawText(p, GdiRect{0, 0, 120, 30}, text, DT_SINGLELINE | flags, RGB(0, 0, 0));
        });
        const int y = fm.ascent() + std::max(fm.underlinePos(), 1);
        std::vector<int> inked;
        for (int x = 0; x < 120; ++x)
            if (PixelRef(image, x, y) == RGB(0, 0, 0))
                inked.push_back(x);
        return inked;
    };
    const std::vector<int> shown = underlineRow(0, "ab&cd");
    const int from = fm.horizontalAdvance("ab");
    const int to = from + fm.horizontalAdvance("c");
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.front(), from);
    EXPECT_EQ(shown.back(), to - 1);
    EXPECT_TRUE(underlineRow(DT_HIDEPREFIX, "ab&cd").empty());
    EXPECT_TRUE(underlineRow(DT_NOPREFIX, "abcd").empty());
}

} // namespace
