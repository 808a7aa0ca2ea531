// The controls collection's row layout: wrapping at group starts, hiding what does not fit,
// trailing right-aligned controls, centring across a row, the narrowest floating width; and the
// keyboard walk.
#include "controls/commandbars/command_bar.h"
#include "controls/commandbars/controls.h"
#include "tests/controls/commandbars/paint_fixture.h"

namespace {

class SizedControl : public CGVPControlButton {
public:
    explicit SizedControl(QSize s) : size_(s) {}
    QSize GetSize(QPainter&) override { return size_; }

private:
    QSize size_;
};

struct Extent {
    int w, h;
    bool group = false;
    int flags = 0;
    int mask = 0;
};

class LayoutTest : public painttest::PaintTest {
protected:
    void SetUp() override {
        PaintTest::SetUp();
        controls = new CGVPControls;
    }
    void TearDown() override {
        controls->InternalRelease();
        PaintTest::TearDown();
    }
    void Fill(const std::vector<Extent>& extents) {
        controls->RemoveAll();
        for (const Extent& s : extents) {
            auto* c = new SizedControl(QSize(s.w, s.h));
            c->SetFlags(s.flags);
            c->SetHiddenMask(s.mask);
            controls->AddControl(c, 500);
            c->SetBeginGroup(s.group);
        }
    }
    QRect R(int i) const { return controls->GetAt(i)->GetRect(); }
    CGVPControls* controls = nullptr;
    const QMargins border{2, 2, 2, 2};
};

TEST_F(LayoutTest, BarWithoutVisibleControlsTakesTheEmptySize) {
    Fill({{20, 20, false, 0, kHideGeneric}});
    EXPECT_EQ(controls->CalcDynamicSize(nullptr, 500, LM_HORZ | LM_HORZDOCK, border, 0),
              QSize(27, 26));
    EXPECT_EQ(controls->CalcDynamicSize(nullptr, 500, LM_HORZ | LM_HORZDOCK, border, 40),
              QSize(27, 40));
    EXPECT_EQ(controls->CalcDynamicSize(nullptr, 500, LM_VERTDOCK, border, 40), QSize(40, 26));
}

TEST_F(LayoutTest, DockedBarWrapsAtTheLastGroupStartWithoutAGapAtTheRowStart) {
    // 20 + 20 + 6 + 20 | 20 + 20 : the fifth control overflows a length of 90 - 4.
    Fill({{20, 20}, {20, 20}, {20, 20, true}, {20, 20}, {20, 20}});
    const QSize size =
        controls->CalcDynamicSize(nullptr, 90, LM_HORZ | LM_HORZDOCK | LM_COMMIT, border, 0);
    EXPECT_EQ(R(0), QRect(2, 2, 20, 20));
    EXPECT_EQ(R(1), QRect(22, 2, 20, 20));
    EXPECT_TRUE(controls->GetAt(2)->GetWrap());
    // No group gap at the start of a row: it parts the rows instead.
    EXPECT_EQ(R(2), QRect(2, 28, 20, 20));
    EXPECT_EQ(R(4), QRect(42, 28, 20, 20));
    // Wrapping stretches the docked bar over its length.
    EXPECT_EQ(size, QSize(90, 50));
    EXPECT_EQ(controls->GetAt(0)->GetRowRect(), QRect(2, 2, 86, 20));
}

TEST_F(LayoutTest, HideWrapHidesTheFirstControlThatDoesNotFitAndAllAfterIt) {
    Fill({{30, 20}, {30, 20}, {30, 20}, {10, 20}});
    controls->CalcDynamicSize(nullptr, 74, LM_HORZ | LM_HORZDOCK | LM_HIDEWRAP | LM_COMMIT, border,
                              0);
    EXPECT_EQ(controls->GetAt(0)->GetHiddenMask(), 0);
    EXPECT_EQ(controls->GetAt(1)->GetHiddenMask(), 0);
    EXPECT_EQ(controls->GetAt(2)->GetHiddenMask(), kHideWrap);
    EXPECT_EQ(controls->GetAt(3)->GetHiddenMask(), kHideWrap); // it would fit, but follows
    // The first visible control stays even when it alone is too wide.
    controls->CalcDynamicSize(nullptr, 10, LM_HORZ | LM_HORZDOCK | LM_HIDEWRAP | LM_COMMIT, border,
                              0);
    EXPECT_EQ(controls->GetAt(0)->GetHiddenMask(), 0);
    EXPECT_EQ(controls->GetAt(1)->GetHiddenMask(), kHideWrap);
    // Room again: the bit goes.
    controls->CalcDynamicSize(nullptr, 500, LM_HORZ | LM_HORZDOCK | LM_HIDEWRAP | LM_COMMIT, border,
                              0);
    EXPECT_EQ(controls->GetVisibleCount(true), 4);
}

TEST_F(LayoutTest, RightAlignedControlsEndTheLastRowAndRowsCentreTheirControls) {
    Fill({{40, 22}, {30, 16}, {16, 16, false, kFlagRightAlign}, {16, 16, false, kFlagRightAlign}});
    const QSize size = controls->CalcDynamicSize(
        nullptr, 300, LM_HORZ | LM_HORZDOCK | LM_STRETCH | LM_COMMIT, border, 0);
    EXPECT_EQ(size, QSize(300, 26));
    EXPECT_EQ(R(3), QRect(300 - 2 - 16, 5, 16, 16)); // at the far end, centred in 22
    EXPECT_EQ(R(2), QRect(300 - 2 - 32, 5, 16, 16));
    EXPECT_EQ(R(1), QRect(42, 5, 30, 16));
    EXPECT_EQ(R(0), QRect(2, 2, 40, 22));
}

TEST_F(LayoutTest, VerticalBarsStackControlsInColumns) {
    Fill({{20, 20}, {24, 20, true}, {20, 20}});
    const QSize size = controls->CalcDynamicSize(nullptr, 500, LM_VERTDOCK | LM_COMMIT, border, 0);
    EXPECT_EQ(size, QSize(28, 70));
    EXPECT_EQ(R(0), QRect(4, 2, 20, 20)); // centred in the 24-pixel column
    EXPECT_EQ(R(1), QRect(2, 28, 24, 20));
    EXPECT_EQ(R(2), QRect(4, 48, 20, 20));
}

TEST_F(LayoutTest, FloatingBarResizedToAHeightFindsTheNarrowestWidthThatFits) {
    Fill(std::vector<Extent>(6, Extent{20, 20}));
    // Two rows of 20 fit in 44 - 4: three controls a row.
    const QSize size =
        controls->CalcDynamicSize(nullptr, 44, LM_HORZ | LM_LENGTHY | LM_COMMIT, border, 0);
    EXPECT_EQ(size, QSize(64, 44));
    EXPECT_TRUE(controls->GetAt(3)->GetWrap());
    // By width: 50 gives two a row; the width shrinks to what the rows need.
    EXPECT_EQ(controls->CalcDynamicSize(nullptr, 50, LM_HORZ | LM_COMMIT, border, 0),
              QSize(44, 64));
}

TEST_F(LayoutTest, KeyboardWalkSkipsHiddenAndFlaggedControlsAndWraps) {
    Fill({{20, 20},
          {20, 20, false, kFlagSkipFocus},
          {20, 20, false, 0, kHideGeneric},
          {20, 20, false, 0, kHideScroll},
          {20, 20}});
    struct Case {
        int index, step, expected;
    };
    const Case cases[] = {
        {-1, 1, 0}, {0, 1, 3}, {3, 1, 4}, {4, 1, 0}, {0, -1, 4}, {-1, -1, 4},
    };
    for (const Case& c : cases)
        EXPECT_EQ(controls->GetNext(c.index, c.step), c.expected) << c.index << " " << c.step;
    Fill({{20, 20, false, kFlagSkipFocus}});
    EXPECT_EQ(controls->GetNext(-1, 1), -1);
    EXPECT_EQ(controls->GetNext(0, 1), 0);
}

} // namespace
