#include "controls/commandbars/draw_utils.h"
#include "controls/commandbars/paint_manager.h"
#include "controls/commandbars/shadow.h"
#include "tests/controls/commandbars/paint_fixture.h"

#include <QPainter>

using painttest::PaintTest;
using painttest::PixelRef;

namespace {

class DrawUtilsTest : public PaintTest {
protected:
    QImage Canvas(int w, int h) {
        QImage image(w, h, QImage::Format_ARGB32);
        image.fill(Qt::magenta);
        return image;
    }
};

} // namespace

TEST_F(DrawUtilsTest, GradientsByHand) {
    QImage image = Canvas(101, 20);
    {
        QPainter p(&image);
        FillGradient(p, QRect(0, 0, 100, 10), 0x000000, 0xFFFFFF, true);
        FillGradient(p, QRect(0, 10, 100, 10), 0x0000FF, 0xFF0000, false);
    }
    EXPECT_EQ(PixelRef(image, 0, 0), 0x000000u);
    EXPECT_EQ(PixelRef(image, 50, 5), 0x7F7F7Fu); // weight 0.5 of black: 127.5 truncated
    EXPECT_EQ(PixelRef(image, 99, 5), gvpcolor::BlendColors(0, 0xFFFFFF, 1.0 - 99 / 100.0));
    EXPECT_EQ(image.pixel(100, 5), QColor(Qt::magenta).rgb()); // the rectangle's right edge is out
    EXPECT_EQ(PixelRef(image, 40, 10), 0x0000FFu);             // vertical: first row is `from`
    EXPECT_EQ(PixelRef(image, 40, 19), gvpcolor::BlendColors(0x0000FF, 0xFF0000, 0.1));

    // 256 colours: a plain fill of the first colour; so is a gradient between equal colours.
    UsePalette(painttest::ClassicColor, 8);
    QImage low = Canvas(50, 10);
    {
        QPainter p(&low);
        FillGradient(p, QRect(0, 0, 50, 10), 0x102030, 0xFFFFFF, true);
    }
    EXPECT_EQ(PixelRef(low, 49, 9), 0x102030u);

    // Only the part inside the clip is painted.
    UsePalette(painttest::ClassicColor);
    QImage clipped = Canvas(50, 10);
    {
        QPainter p(&clipped);
        p.setClipRect(QRect(10, 0, 5, 10));
        FillGradient(p, QRect(0, 0, 50, 10), 0x000000, 0xFFFFFF, true);
    }
    EXPECT_EQ(clipped.pixel(5, 5), QColor(Qt::magenta).rgb());
    EXPECT_EQ(PixelRef(clipped, 10, 5), gvpcolor::BlendColors(0, 0xFFFFFF, 0.8));
}

TEST_F(DrawUtilsTest, LayeredShadowPicture) {
    // Black shadow, theme flag (m = 1) and without it (m = 2).
    const QImage theme = CGVPShadowsManager::MakeLayeredShadow(true, 40, 0, true);
    ASSERT_EQ(theme.size(), QSize(40, 4));
    EXPECT_EQ(qAlpha(theme.pixel(20, 0)), 60); // next to the bar: d = 4
    EXPECT_EQ(qAlpha(theme.pixel(20, 3)), 15); // outer edge: d = 1
    EXPECT_EQ(qAlpha(theme.pixel(0, 0)), 12);  // end block: 3 * d * e with e = 1
    EXPECT_EQ(qAlpha(theme.pixel(39, 0)), 12); // both ends of the shadow under the bar
    EXPECT_EQ(qAlpha(theme.pixel(2, 1)), 27);  // d = 3, e = 3
    const QImage plain = CGVPShadowsManager::MakeLayeredShadow(true, 40, 0, false);
    EXPECT_EQ(qAlpha(plain.pixel(20, 0)), 120);
    // The right shadow has its end block at the top only.
    const QImage right = CGVPShadowsManager::MakeLayeredShadow(false, 30, 0, true);
    ASSERT_EQ(right.size(), QSize(4, 30));
    EXPECT_EQ(qAlpha(right.pixel(0, 0)), 12);
    EXPECT_EQ(qAlpha(right.pixel(0, 29)), 60);
    // A coloured shadow scales its channels by d / 4.
    const QImage blue = CGVPShadowsManager::MakeLayeredShadow(true, 40, 0x100000, true);
    EXPECT_EQ(qBlue(blue.pixel(20, 2)), 0x10 * 2 / 4);

    EXPECT_EQ(CGVPShadowsManager::ShadowRect(QRect(100, 50, 80, 60), true, 4),
              QRect(104, 110, 80, 4));
    EXPECT_EQ(CGVPShadowsManager::ShadowRect(QRect(100, 50, 80, 60), false, 2),
              QRect(180, 52, 2, 58));
}

TEST_F(DrawUtilsTest, ShadowsOnlyWhereAsked) {
    CGVPShadowsManager shadows;
    QWidget popup;
    popup.setGeometry(100, 100, 80, 60);
    // The Default theme asks for none, and the desktop's setting is off.
    CGVPPaintManager::SelectTheme(1);
    shadows.SetShadows(&popup);
    EXPECT_EQ(shadows.ShadowCount(&popup), 0);
    CGVPPaintManager::SelectTheme(2);
    shadows.SetShadows(&popup);
    EXPECT_EQ(shadows.ShadowCount(&popup), 2);
    shadows.RemoveShadows(&popup);
    EXPECT_EQ(shadows.ShadowCount(&popup), 0);
}

TEST_F(DrawUtilsTest, HelpersFollowGdiRules) {
    QImage image = Canvas(30, 30);
    {
        QPainter p(&image);
        CGVPPaintManager::Draw3dRect(p, QRect(0, 0, 10, 10), 0xFFFFFF, 0x202020);
        CGVPPaintManager::Line(p, 12, 2, 20, 2, 0x0000FF);
        CGVPPaintManager::DrawCheckMark(p, QRect(10, 10, 20, 20), Qt::black);
    }
    EXPECT_EQ(PixelRef(image, 0, 0), 0xFFFFFFu);
    EXPECT_EQ(PixelRef(image, 9, 0),
              0x202020u); // top-right corner belongs to the bottom-right colour
    EXPECT_EQ(PixelRef(image, 0, 9), 0x202020u);
    EXPECT_EQ(image.pixel(5, 5), QColor(Qt::magenta).rgb());
    EXPECT_EQ(PixelRef(image, 19, 2), 0x0000FFu);
    EXPECT_EQ(image.pixel(20, 2), QColor(Qt::magenta).rgb()); // the end point is not drawn
    // Check mark: (16,19) (17,20) (18,21) then up to (22,17), two pixels thick.
    for (QPoint pt : {QPoint(16, 19), QPoint(17, 20), QPoint(18, 21), QPoint(22, 17),
                      QPoint(16, 20), QPoint(22, 18)})
        EXPECT_EQ(PixelRef(image, pt.x(), pt.y()), 0u) << pt.x() << "," << pt.y();
    EXPECT_EQ(image.pixel(23, 16), QColor(Qt::magenta).rgb());

    EXPECT_EQ(CGVPPaintManager::StripMnemonics(QStringLiteral("&File && &Edit&")),
              QStringLiteral("File & Edit"));
}

TEST_F(DrawUtilsTest, GlyphsAreDrawnAsShapes) {
    for (QChar glyph : {QLatin1Char('0'), QLatin1Char('1'), QLatin1Char('2'), QLatin1Char('r'),
                        QLatin1Char('u')}) {
        QImage image = Canvas(16, 16);
        {
            QPainter p(&image);
            DrawMarlettGlyph(p, QRect(0, 0, 16, 16), glyph, Qt::black, MarlettPixelSize());
        }
        int ink = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                ink += image.pixel(x, y) == QColor(Qt::black).rgb();
        EXPECT_GT(ink, 6) << glyph.toLatin1();
        EXPECT_LT(ink, 100) << glyph.toLatin1();
    }
}

TEST_F(DrawUtilsTest, SystemThemeAnswersNoneUnlessOverridden) {
    EXPECT_EQ(GetCurrentSystemTheme(), 0);
    SetCurrentSystemThemeOverride(3);
    EXPECT_EQ(GetCurrentSystemTheme(), 3);
    SetCurrentSystemThemeOverride(-1);
    EXPECT_EQ(GetCurrentSystemTheme(), 0);
}
