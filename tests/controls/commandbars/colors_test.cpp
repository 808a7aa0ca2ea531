#include "controls/commandbars/colors.h"
#include "controls/commandbars/draw_utils.h"
#include "tests/controls/commandbars/paint_fixture.h"

#include <cmath>

using namespace gvpcolor;
using painttest::PaintTest;

namespace {

class ColorTableTest : public PaintTest {};

// Every legibility rule of the table holds after a refresh.
void ExpectLegible(const CGVPSystemColorTable& t) {
    struct Rule {
        int target, background, threshold;
    };
    const Rule rules[] = {{31, 30, 50},  {33, 30, 30},  {35, 41, 80},  {37, 33, 100},
                          {38, 30, 85},  {39, 30, 50},  {43, 47, 100}, {40, 30, 80},
                          {44, 41, 180}, {45, 31, 180}, {46, 30, 180}, {47, 33, 180}};
    for (const Rule& r : rules) {
        const double needed =
            (2.0 - std::min(std::trunc(Brightness(t.GetColor(r.background))), 220.0) / 220.0) *
            r.threshold;
        EXPECT_GE(ColorDistance(t.GetColor(r.background), t.GetColor(r.target)) + 1.5, needed)
            << "entry " << r.target << " against " << r.background;
    }
}

} // namespace

TEST(ColorFormulas, MixTakesPercentOrPerMille) {
    EXPECT_EQ(Mix(0xFFFFFF, 0x000000, 50), 0x808080u);  // (255*50 + 50) / 100 = 128
    EXPECT_EQ(Mix(0xFFFFFF, 0xC0C0C0, 165), 0xCACACAu); // per mille
    EXPECT_EQ(Mix(0x0000FF, 0xFF0000, 30), Rgb(77, 0, 179));
}

TEST(ColorFormulas, ContrastMovesToTheScaledThreshold) {
    struct Case {
        COLORREF background;
        int threshold;
    };
    // Mid grey keeps the threshold; black needs twice as much.
    for (const Case& c :
         {Case{0x808080, 50}, Case{0x808080, 100}, Case{0x000000, 60}, Case{0xF0F0F0, 80}}) {
        const double scaled =
            (2.0 - std::min(std::trunc(Brightness(c.background)), 220.0) / 220.0) * c.threshold;
        const COLORREF moved = IncreaseContrast(c.background, c.background, c.threshold);
        EXPECT_NEAR(ColorDistance(c.background, moved), scaled, 2.0) << std::hex << c.background;
        const COLORREF reduced = ReduceContrast(c.background, 0x0000FF, c.threshold);
        EXPECT_NEAR(ColorDistance(c.background, reduced), scaled, 2.0);
    }
    // Real arithmetic: just over and just under the threshold.
    EXPECT_FALSE(HasContrast(0x808080, 0x808080, 10));
    EXPECT_TRUE(HasContrast(0x808080, 0xFFFFFF, 10));
}

TEST_F(ColorTableTest, ClassicPaletteEntries) {
    const CGVPSystemColorTable& t = GetSystemColorTable();
    EXPECT_EQ(t.GetColor(0), 0u);
    // Face (212, 208, 200), window white, highlight (10, 36, 106).
    EXPECT_EQ(t.GetColor(15), Rgb(212, 208, 200));
    EXPECT_EQ(t.GetColor(30), Rgb(219, 216, 209)); // 16.5 % window into face, close enough to keep
    EXPECT_EQ(t.GetColor(41), Rgb(249, 248, 247)); // 14.3 % face into window
    EXPECT_EQ(t.GetColor(22), Rgb(227, 223, 215)); // face + 15
    EXPECT_EQ(t.GetColor(53), t.GetColor(30));
    EXPECT_EQ(t.GetColor(34), Rgb(GetR(t.GetColor(31)) * 3 / 4, GetG(t.GetColor(31)) * 3 / 4,
                                  GetB(t.GetColor(31)) * 3 / 4));
    EXPECT_EQ(t.GetColor(50), Rgb(10, 36, 106));
    EXPECT_EQ(t.GetColor(55), t.GetColor(15));
    EXPECT_EQ(t.GetColor(56), 56u);
    EXPECT_EQ(t.GetColor(0xABCDEF), 0xABCDEFu);
    EXPECT_EQ(t.GetSchemeColor(3), Rgb(246, 245, 244));
    ExpectLegible(t);
}

TEST_F(ColorTableTest, DarkPaletteStaysLegible) {
    UsePalette(painttest::DarkColor);
    const CGVPSystemColorTable& t = GetSystemColorTable();
    ExpectLegible(t);
    // Text entries end up light on the dark backgrounds.
    for (int text : {44, 45, 46})
        EXPECT_GT(Brightness(t.GetColor(text)), 300.0) << text;
}

TEST_F(ColorTableTest, LowColorKeepsSystemColors) {
    UsePalette(painttest::ClassicColor, 8);
    const CGVPSystemColorTable& t = GetSystemColorTable();
    EXPECT_EQ(t.GetColor(30), t.GetColor(15));
    EXPECT_EQ(t.GetColor(22), painttest::ClassicColor(22));
    EXPECT_EQ(t.GetColor(41), 0xFFFFFFu);
    EXPECT_TRUE(IsLowColor());
}

TEST_F(ColorTableTest, BlackFaceBrightensAndDarkens) {
    UsePalette([](int i) -> COLORREF { return i == 15 ? 0u : painttest::ClassicColor(i); });
    EXPECT_EQ(GetSystemColorTable().GetColor(48), 0x232323u);
    EXPECT_EQ(GetSystemColorTable().GetColor(49), 0x7F7F7Fu);
}

TEST_F(ColorTableTest, LunaSchemeUnlessPlainColors) {
    UsePalette(painttest::ClassicColor, 32, 1);
    CGVPSystemColorTable& t = GetSystemColorTable();
    EXPECT_EQ(t.GetColor(54), 0x962D00u);
    EXPECT_EQ(t.GetSchemeColor(3), 0xFADAC4u);
    t.SetPlainColors(true);
    t.Refresh(false);
    EXPECT_EQ(t.GetColor(54), 0x808080u);
    EXPECT_EQ(t.GetSchemeColor(3), Rgb(246, 245, 244));
    t.SetPlainColors(false);
}

TEST_F(ColorTableTest, RefreshOnlyIfNeededKeepsTable) {
    CGVPSystemColorTable& t = GetSystemColorTable();
    t.SetColor(30, 0x123456);
    t.Refresh(true);
    EXPECT_EQ(t.GetColor(30), 0x123456u);
    t.Refresh(false);
    EXPECT_EQ(t.GetColor(30), Rgb(219, 216, 209));
}

TEST_F(ColorTableTest, SmallMenuFontIsRaised) {
    QFont nine(QStringLiteral("DejaVu Sans"));
    nine.setPixelSize(9);
    EXPECT_EQ(MenuFontPixelSize(nine), 11);
    QFont fourteen = nine;
    fourteen.setPixelSize(14);
    EXPECT_EQ(MenuFontPixelSize(fourteen), 14);
    const CGVPFonts& fonts = GetGlobalFonts();
    EXPECT_EQ(fonts.textHeight, QFontMetrics(fonts.regular).height() + 6);
    EXPECT_EQ(fonts.bold.weight(), QFont::Bold);
}
