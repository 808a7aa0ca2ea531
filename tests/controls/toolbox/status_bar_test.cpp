// The status bar in the main frame's configuration: pane layout with stretching, progress
// panes and their percentage, coloured pane texts, tips and double clicks.
#include "controls/toolbox/status_bar.h"
#include "platform/qt/virtual_keys.h"
#include "tests/support/qt_test_app.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

namespace gdi = platform::qt;
using gdi::GdiRect;
using gdi::RGB;
using Bar = CYNStatusBar;

TEST(StatusBarLayout, SpareWidthGoesToStretchingPanes) {
    const Bar::Borders borders{0, 2, 2};
    struct Case {
        const char* name;
        int insideWidth;
        std::vector<Bar::PaneLayout> panes;
        std::vector<int> edges;
    };
    const Case cases[] = {
        // Spare = 55 + 2 - (16 + 2) - (26 + 2) = 11: the first gets 11 / 2, the second the rest.
        {"two stretching", 55, {{10, true}, {20, true}}, {21, 55}},
        {"no spare", 44, {{10, true}, {20, true}}, {16, 44}},
        {"too narrow", 20, {{10, true}, {20, false}}, {16, 44}},
        {"stretch in the middle", 100, {{10, false}, {0, true}, {4, false}}, {16, 88, 100}},
        {"nothing stretches", 100, {{10, false}, {20, false}}, {16, 44}},
        {"no panes", 100, {}, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Bar::LayoutPaneEdges(c.insideWidth, borders, c.panes), c.edges) << c.name;
}

// The main frame's bar: a message pane, a progress pane with its percentage, a free pane and
// the three lock indicators, with their tips.
class MainFrameBar : public ::testing::Test {
protected:
    void SetUp() override {
        qt_testing::QtTestApp();
        bar.SetStringLookup([](unsigned id) {
            return id == 59143   ? QString("Progress Meter")
                   : id == 59137 ? QString("CAP")
                   : id == 59138 ? QString("NUM")
                   : id == 59139 ? QString("SCRL")
                                 : QString();
        });
        bar.DefinePanes({0, 59143, 0, 59137, 59138, 59139});
        unsigned id, style;
        int width;
        bar.GetPaneInfo(1, id, style, width);
        bar.ConfigurePane(1, id, style | Bar::SBPS_PROGRESS, 135);
        bar.GetPaneInfo(2, id, style, width);
        bar.ConfigurePane(2, id, style, 30);
        const char* tips[] = {
            "Status bar",          "Progress meter",    "Script Modified indicator",
            "Caps Lock indicator", "Numlock indicator", "Scrollock indicator"};
        for (int i = 0; i < 6; ++i)
            bar.SetPaneTip(i, tips[i]);
        bar.EnablePaneTips(true);
        bar.resize(800, bar.sizeHint().height());
        bar.show();
        bar.MakeProgressPane(1, 0, true);
    }

    gdi::ScopedSystemColors classic;
    Bar bar;
};

TEST_F(MainFrameBar, PanesAreLaidOutAcrossTheWidth) {
    const QFontMetrics fm = bar.fontMetrics();
    const int gap = 2;
    std::vector<int> widths = {0,
                               135,
                               30,
                               fm.horizontalAdvance("CAP"),
                               fm.horizontalAdvance("NUM"),
                               fm.horizontalAdvance("SCRL")};
    int fixed = 0;
    for (int w : widths)
        fixed += w + 6 + gap;
    const int spare = 800 + gap - fixed;
    ASSERT_GT(spare, 0);
    int x = 0;
    for (int i = 0; i < 6; ++i) {
        const GdiRect r = bar.GetItemRect(i);
        EXPECT_EQ(r.left, x) << i;
        const int width = widths[i] + 6 + (i == 0 ? spare : 0);
        EXPECT_EQ(r.Width(), width) << i;
        EXPECT_EQ(r.top, Bar::kTopBorder);
        EXPECT_EQ(r.bottom, bar.height());
        x = r.right + gap;
    }
    EXPECT_EQ(bar.GetItemRect(5).right, 800); // the spare width filled the bar
    EXPECT_EQ(bar.GetPaneText(3), "CAP");
    EXPECT_EQ(bar.CommandToIndex(59139), 5);
    EXPECT_EQ(bar.CommandToIndex(4242), -1);

    // A wider bar gives the message pane all of the difference.
    const int before = bar.GetItemRect(0).Width();
    bar.resize(900, bar.height());
    bar.RecalcLayout();
    EXPECT_EQ(bar.GetItemRect(0).Width(), before + 100);
    EXPECT_EQ(bar.GetItemRect(5).right, 900);
}

TEST_F(MainFrameBar, ProgressShowsItsPercentage) {
    const Bar::CEvolInfo* info = bar.GetProgressInfo(1);
    ASSERT_NE(info, nullptr);
    ASSERT_TRUE(info->created);
    const GdiRect pane = bar.GetItemRect(1);
    const int percentWidth = bar.fontMetrics().horizontalAdvance("999%");
    EXPECT_EQ(info->rect, (GdiRect{pane.left + 2 + percentWidth, pane.top + 1, pane.right - 2,
                                   pane.bottom - 2}));
    EXPECT_EQ(info->control->geometry(), info->rect.ToQRect());
    EXPECT_TRUE(bar.GetPaneText(1).isEmpty()); // the meter's creation cleared "Progress Meter"

    struct Case {
        int range, position;
        const char* text;
        int shownPos;
    };
    const Case cases[] = {
        {100, 37, "37%", 37}, {0, 5, "0%", 0}, {100, 150, "150%", 100}, {3, 2, "66%", 2}};
    for (const Case& c : cases) {
        bar.UpdatePaneProgress(1, 12345, c.range, c.position); // the second argument is unused
        EXPECT_EQ(bar.GetPaneText(1), c.text);
        EXPECT_EQ(info->control->Pos(), c.shownPos) << c.text;
        EXPECT_EQ(info->control->High(), c.range) << c.text;
    }

    // Without the percentage the meter fills the pane and the text stays as it was.
    bar.MakeProgressPane(1, 0, false);
    const Bar::CEvolInfo* plain = bar.GetProgressInfo(1);
    EXPECT_EQ(plain->rect.left, pane.left + 2);
    bar.UpdatePaneProgress(1, 0, 100, 50);
    EXPECT_TRUE(bar.GetPaneText(1).isEmpty());
    EXPECT_EQ(plain->control->Pos(), 50);

    // Panes without progress and bad indices are left alone.
    bar.UpdatePaneProgress(0, 0, 100, 50);
    bar.UpdatePaneProgress(6, 0, 100, 50);
    bar.UpdatePaneProgress(-1, 0, 100, 50);
    EXPECT_EQ(bar.GetProgressInfo(0), nullptr);
    EXPECT_EQ(bar.MakeProgressPane(6, 0, true), 0);
}

TEST_F(MainFrameBar, ColouredTextsDrawThemselves) {
    const gdi::COLORREF buttonText = gdi::GetSysColor(gdi::COLOR_BTNTEXT);
    unsigned id, style;
    int width;
    EXPECT_EQ(bar.SetPaneTextAndColour(2, "MOD", RGB(255, 0, 0)), 1);
    bar.GetPaneInfo(2, id, style, width);
    EXPECT_TRUE(style & Bar::SBPS_OWNERDRAW);
    EXPECT_EQ(width, 30);
    EXPECT_EQ(bar.GetPaneColour(2), RGB(255, 0, 0));

    // The text is drawn in red, 2 pixels right of the pane's left edge.
    bar.SetPaneTextAndColour(0, "Ready", RGB(0, 0, 1));
    QImage shot = bar.grab().toImage();
    const GdiRect mod = bar.GetItemRect(2);
    int red = 0, leftmost = 1 << 20;
    for (int y = mod.top + 1; y < mod.bottom - 1; ++y)
        for (int x = mod.left + 1; x < mod.right - 1; ++x) {
            const gdi::COLORREF p = qt_testing::PixelRef(shot, x, y);
            if (p == RGB(255, 0, 0))
                ++red;
            if (p != RGB(212, 208, 200)) // ink, edges blended with the face included
                leftmost = std::min(leftmost, x);
        }
    EXPECT_GT(red, 10);
    EXPECT_GE(leftmost, mod.left + 2);
    EXPECT_LE(leftmost, mod.left + 4);
    // The pane's sunken frame: shadow at the top left, highlight at the bottom right.
    EXPECT_EQ(qt_testing::PixelRef(shot, mod.left, mod.top), RGB(128, 128, 128));
    EXPECT_EQ(qt_testing::PixelRef(shot, mod.right - 1, mod.bottom - 1), RGB(255, 255, 255));

    // The button-text colour turns owner drawing off again; three blanks stay plain.
    EXPECT_EQ(bar.SetPaneTextAndColour(2, "   ", buttonText), 1);
    bar.GetPaneInfo(2, id, style, width);
    EXPECT_FALSE(style & Bar::SBPS_OWNERDRAW);
    EXPECT_EQ(bar.GetPaneText(2), "   ");

    // Pane 0's message in the colour 1, which is not the default: owner-drawn.
    bar.GetPaneInfo(0, id, style, width);
    EXPECT_TRUE(style & Bar::SBPS_OWNERDRAW);
    EXPECT_TRUE(style & Bar::SBPS_STRETCH);

    EXPECT_EQ(bar.SetPaneTextAndColour(6, "x", RGB(1, 2, 3)), 0);
    EXPECT_EQ(bar.SetPaneTip(6, "x"), 0);
}

TEST_F(MainFrameBar, ProgressMeterFillsInProportion) {
    bar.UpdatePaneProgress(1, 0, 100, 50);
    const Bar::CEvolInfo* info = bar.GetProgressInfo(1);
    const QImage meter = info->control->grab().toImage();
    const int inner = meter.width() - 4;
    const int y = meter.height() / 2;
    EXPECT_EQ(qt_testing::PixelRef(meter, 2, y), RGB(10, 36, 106));
    EXPECT_EQ(qt_testing::PixelRef(meter, 2 + inner / 2 - 1, y), RGB(10, 36, 106));
    EXPECT_EQ(qt_testing::PixelRef(meter, 2 + inner / 2, y), RGB(212, 208, 200));
    EXPECT_EQ(qt_testing::PixelRef(meter, 0, 0), RGB(128, 128, 128));
}

TEST_F(MainFrameBar, TipsPerPaneAndMeter) {
    const GdiRect message = bar.GetItemRect(0);
    Bar::ToolHit hit = bar.HitTestTip(QPoint(message.left + 5, message.top + 3));
    EXPECT_TRUE(hit.hit);
    EXPECT_EQ(hit.text, "Status bar");
    EXPECT_EQ(hit.toolId, 0);
    EXPECT_EQ(hit.rect, message);

    const GdiRect caps = bar.GetItemRect(3);
    hit = bar.HitTestTip(QPoint(caps.left + 1, caps.top + 1));
    EXPECT_EQ(hit.text, "Caps Lock indicator");
    EXPECT_EQ(hit.toolId, 59137);

    // Over the meter: its pane's tip, tool id pane index + pane count.
    const QRect meter = bar.GetProgressInfo(1)->control->geometry();
    hit = bar.HitTestTip(meter.center());
    EXPECT_EQ(hit.pane, 1);
    EXPECT_EQ(hit.toolId, 1 + 6);
    EXPECT_EQ(hit.text, "Progress meter");

    // Above the panes, and while the left button is held: no tool.
    EXPECT_FALSE(bar.HitTestTip(QPoint(message.left + 5, 0)).hit);
    {
        gdi::ScopedKeyDown button(gdi::VK_LBUTTON);
        EXPECT_FALSE(bar.HitTestTip(QPoint(message.left + 5, message.top + 3)).hit);
    }
}

TEST_F(MainFrameBar, DoubleClickTellsThePaneId) {
    QSignalSpy clicked(&bar, &Bar::PaneDoubleClicked);
    const GdiRect num = bar.GetItemRect(4);
    QTest::mouseDClick(&bar, Qt::LeftButton, {}, QPoint(num.left + 2, num.top + 3));
    ASSERT_EQ(clicked.count(), 1);
    EXPECT_EQ(clicked.at(0).at(0).toUInt(), 59138u);
    // Between panes and above them: nothing.
    QTest::mouseDClick(&bar, Qt::LeftButton, {}, QPoint(num.right, num.top + 3));
    QTest::mouseDClick(&bar, Qt::LeftButton, {}, QPoint(num.left + 2, 0));
    EXPECT_EQ(clicked.count(), 1);
}

TEST_F(MainFrameBar, ConfigureChangesLayoutOnlyForWidthOrStretch) {
    const GdiRect before = bar.GetItemRect(3);
    unsigned id, style;
    int width;
    bar.GetPaneInfo(3, id, style, width);
    bar.ConfigurePane(3, id, style | Bar::SBPS_POPOUT, width); // style only
    EXPECT_EQ(bar.GetItemRect(3), before);
    bar.GetPaneInfo(3, id, style, width);
    EXPECT_TRUE(style & Bar::SBPS_POPOUT);
    bar.ConfigurePane(3, id, style | Bar::SBPS_STRETCH, width); // a second stretching pane
    const int spare = bar.GetItemRect(0).Width() - 6 + bar.GetItemRect(3).Width() - 6 - width;
    EXPECT_EQ(bar.GetItemRect(0).Width() - 6, spare / 2);
    bar.ConfigurePane(9, 0, 0, 10); // a bad index changes nothing
    EXPECT_EQ(bar.GetCount(), 6);
}

} // namespace
