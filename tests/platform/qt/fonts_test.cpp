// Face mapping onto installed families and the LOGFONT height conversion.
#include "platform/qt/fonts.h"
#include "tests/support/qt_test_app.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <gtest/gtest.h>

namespace {

using namespace platform::qt;

int Cell(const QFont& font) {
    const QFontMetrics fm(font);
    return fm.ascent() + fm.descent();
}

TEST(Fonts, FacesMapOntoInstalledFamilies) {
    qt_testing::QtTestApp();
    struct Case {
        const char* face;
        const char* family;
    };
    const Case cases[] = {
        {"Arial", "Liberation Sans"},
        {"arial", "Liberation Sans"},
        {"Tahoma", "DejaVu Sans"},
        {"Courier", "Liberation Mono"},
        {"Courier New", "Liberation Mono"},
        {"MS Sans Serif", "Liberation Sans"},
        {"Times New Roman", "Liberation Serif"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MapFontFace(c.face), c.family) << c.face;
        LogFont lf;
        lf.faceName = c.face;
        lf.height = -12;
        // The family really is there: the font resolves to it.
        EXPECT_EQ(QFontInfo(FontFromLogFont(lf)).family(), c.family) << c.face;
    }
    EXPECT_EQ(MapFontFace("DejaVu Sans Mono"), "DejaVu Sans Mono");
}

TEST(Fonts, HeightsConvertOnce) {
    qt_testing::QtTestApp();
    // Negative: the character height is the pixel size.
    EXPECT_EQ(LogFontHeightToPixelSize(-11, "Liberation Sans"), 11);
    EXPECT_EQ(LogFontHeightToPixelSize(-8, "DejaVu Sans"), 8);
    // Positive: the largest size whose cell fits the height.
    for (int height : {10, 13, 16, 24, 40}) {
        for (const char* family : {"Liberation Sans", "DejaVu Sans", "Liberation Mono"}) {
            const int size = LogFontHeightToPixelSize(height, family);
            QFont font(family);
            font.setPixelSize(size);
            EXPECT_LE(Cell(font), height) << family << " " << height;
            font.setPixelSize(size + 1);
            EXPECT_GT(Cell(font), height) << family << " " << height;
        }
    }
    // Zero: the application font's size.
    EXPECT_EQ(LogFontHeightToPixelSize(0, "Liberation Sans"),
              QFontInfo(QGuiApplication::font()).pixelSize());

    LogFont lf;
    lf.faceName = "Arial";
    lf.height = -13;
    lf.weight = 700;
    lf.italic = true;
    const QFont font = FontFromLogFont(lf);
    EXPECT_EQ(font.pixelSize(), 13);
    EXPECT_EQ(font.weight(), QFont::Bold);
    EXPECT_TRUE(font.italic());
    const LogFont back = LogFontFromQFont(font);
    EXPECT_EQ(back.height, -13);
    EXPECT_EQ(back.weight, 700);
    EXPECT_TRUE(back.italic);
    EXPECT_EQ(back.faceName, "Liberation Sans");
    lf.weight = 0; // "don't care" is normal weight
    EXPECT_EQ(FontFromLogFont(lf).weight(), QFont::Normal);
}

} // namespace
