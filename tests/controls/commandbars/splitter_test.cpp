#include "controls/commandbars/splitter.h"
#include "tests/controls/commandbars/paint_fixture.h"

#include <QPainter>
#include <QTest>

using namespace painttest;

namespace {

class SplitterTest : public PaintTest {
protected:
    void SetUp() override {
        PaintTest::SetUp();
        splitter = std::make_unique<CGVSplitterWnd>();
        ASSERT_TRUE(splitter->CreateStatic(2, 1));
        top = new QWidget; // owned by the splitter once set
        bottom = new QWidget;
        splitter->SetPane(0, 0, top);
        splitter->SetPane(1, 0, bottom);
        splitter->SetRowInfo(0, 100, 10);
        splitter->resize(200, 300);
        splitter->RecalcLayout();
    }
    void TearDown() override {
        splitter.reset();
        PaintTest::TearDown();
    }
    std::unique_ptr<CGVSplitterWnd> splitter;
    QWidget* top = nullptr;
    QWidget* bottom = nullptr;
};

} // namespace

TEST_F(SplitterTest, LiveDragResizesAtEveryMoveWithinLimits) {
    splitter->SetSplitterStyle(0); // full drag
    ASSERT_TRUE(splitter->IsFullDrag());
    EXPECT_EQ(splitter->GetRowHeight(0), 100);
    EXPECT_EQ(splitter->GetRowHeight(1), 300 - 100 - 6);
    EXPECT_EQ(splitter->HitTest({50, 103}), CGVSplitterWnd::VSplitterBar1);
    EXPECT_EQ(top->geometry(), QRect(2, 2, 196, 96));

    QTest::mousePress(splitter.get(), Qt::LeftButton, {}, {50, 103});
    QTest::mouseMove(splitter.get(), {50, 153});
    EXPECT_EQ(splitter->GetRowHeight(0), 150); // applied at once
    EXPECT_EQ(top->height(), 146);
    QTest::mouseMove(splitter.get(), {50, 400}); // past the end: stops at the limit
    EXPECT_EQ(splitter->GetRowHeight(0), 294);
    EXPECT_EQ(splitter->GetRowHeight(1), 0);
    QTest::mouseRelease(splitter.get(), Qt::LeftButton, {}, {50, 400});
    EXPECT_EQ(splitter->GetRowHeight(0) + splitter->GetRowHeight(1) + 6, 300);
}

TEST_F(SplitterTest, TrackerDragAppliesOnRelease) {
    // A new splitter follows the desktop's live-drag setting; style 2 turns it off.
    EXPECT_TRUE(splitter->IsFullDrag());
    splitter->SetSplitterStyle(CGVSplitterWnd::NoFullDrag);
    ASSERT_FALSE(splitter->IsFullDrag());
    QTest::mousePress(splitter.get(), Qt::LeftButton, {}, {50, 103});
    QTest::mouseMove(splitter.get(), {50, 63});
    EXPECT_EQ(splitter->GetRowHeight(0), 100);
    QTest::mouseRelease(splitter.get(), Qt::LeftButton, {}, {50, 63});
    EXPECT_EQ(splitter->GetRowHeight(0), 60);
    // Escape abandons a tracker drag.
    QTest::mousePress(splitter.get(), Qt::LeftButton, {}, {50, 63});
    QTest::mouseMove(splitter.get(), {50, 200});
    QTest::keyClick(splitter.get(), Qt::Key_Escape);
    EXPECT_EQ(splitter->GetRowHeight(0), 60);
}

TEST_F(SplitterTest, FlatPlainBordersAreOneColour) {
    QImage image(40, 40, QImage::Format_ARGB32);
    image.fill(Qt::magenta);
    auto ringColours = [&](int style) {
        splitter->SetSplitterStyle(style);
        QPainter p(&image);
        splitter->OnDrawSplitter(&p, CGVSplitterWnd::SplitBorder, QRect(0, 0, 40, 40));
        return std::vector<COLORREF>{PixelRef(image, 0, 0), PixelRef(image, 39, 39),
                                     PixelRef(image, 1, 1), PixelRef(image, 38, 38)};
    };
    const COLORREF a = GetSystemColorTable().GetColor(55);
    for (COLORREF c : ringColours(CGVSplitterWnd::PlainBorders))
        EXPECT_EQ(c, a);
    const auto rings = ringColours(0);
    EXPECT_EQ(rings[0], a);
    EXPECT_EQ(rings[2], GetSystemColorTable().GetColor(52));
    EXPECT_EQ(rings[3], GetGlobalAuxData().clrBtnHilite);
    splitter->SetFlatSplitter(false);
    EXPECT_EQ(splitter->SplitterWidth(), 7);
}
