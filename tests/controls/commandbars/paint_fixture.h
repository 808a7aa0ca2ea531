// Shared by the paint tests: the Qt application, a classic palette, a fixed font and plain
// bars and controls that the paint manager can draw.
#pragma once

#include "controls/commandbars/aux_data.h"
#include "controls/commandbars/colors.h"
#include "controls/commandbars/image_manager.h"
#include "controls/commandbars/paint_manager.h"

#include <QImage>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace painttest {

// The Qt application of the test program (made on first use).
void EnsureApp();

// Classic system colours by index.
COLORREF ClassicColor(int index);
// A dark desktop: black window, white text.
COLORREF DarkColor(int index);

// Classic palette, 32-bit depth, no visual style, a fixed 11-pixel font; the toolkit's
// process-wide objects set up.
class PaintTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Re-reads the table from another palette, depth or visual style.
    void UsePalette(COLORREF (*palette)(int), int depth = 32, int scheme = 0);
};

struct FakeBar;

struct FakeControl : IPaintedControl {
    int type = gvpControlButton;
    int id = 100;
    bool enabled = true;
    bool checked = false;
    int selected = 0;
    int pressed = 0;
    bool popuped = false;
    bool beginGroup = false;
    bool wrap = false;
    QRect rect;
    QString caption;
    QString shortcut;
    CGVPImageManagerIcon* image = nullptr;
    bool defaultItem = false;
    bool rarelyUsed = false;
    int style = 0;
    FakeBar* parent = nullptr;
    int width = 0;
    bool showLabel = false;
    int labelWidth = 0;
    int dropWidth = 0;

    int GetType() const override { return type; }
    int GetID() const override { return id; }
    bool GetEnabled() const override { return enabled; }
    bool GetChecked() const override { return checked; }
    int GetSelected() const override { return selected; }
    int GetPressed() const override { return pressed; }
    bool GetPopuped() const override { return popuped; }
    bool GetBeginGroup() const override { return beginGroup; }
    bool GetWrap() const override { return wrap; }
    QRect GetRect() const override { return rect; }
    void SetRect(const QRect& rc) override { rect = rc; }
    QString GetCaption() const override { return caption; }
    QString GetShortcutText() const override { return shortcut; }
    CGVPImageManagerIcon* GetImage(int) const override { return image; }
    bool IsDefaultItem() const override { return defaultItem; }
    bool IsRarelyUsed() const override { return rarelyUsed; }
    int GetStyle() const override { return style; }
    IPaintedBar* GetPaintedParent() const override;
    int GetWidth() const override { return width; }
    bool GetShowLabel() const override { return showLabel; }
    int GetLabelWidth() const override { return labelWidth; }
    void SetLabelWidth(int w) override { labelWidth = w; }
    int GetDropButtonWidth() const override { return dropWidth; }
    void SetDropButtonWidth(int w) override { dropWidth = w; }
};

struct FakeBar : IPaintedBar {
    int type = gvpBarTypeNormal;
    int position = gvpBarTop;
    QString title = QStringLiteral("Standard");
    std::unique_ptr<QWidget> widget = std::make_unique<QWidget>();
    QSize iconSize{16, 15};
    std::vector<std::unique_ptr<FakeControl>> controls;
    QRect ownerRect;

    FakeControl& Add(int controlType, const QString& caption = {});

    int GetType() const override { return type; }
    int GetPosition() const override { return position; }
    QString GetTitle() const override { return title; }
    QWidget* GetWidget() const override { return widget.get(); }
    QSize GetIconSize() const override { return iconSize; }
    int GetControlCount() const override { return static_cast<int>(controls.size()); }
    IPaintedControl* GetPaintedControl(int i) const override {
        return controls[static_cast<std::size_t>(i)].get();
    }
    bool IsControlVisible(int) const override { return true; }
    QRect GetOwnerControlScreenRect() const override { return ownerRect; }
};

// Paints `bar` the way a bar window does (background, gripper, separators, controls) into an
// image of the widget's size.
QImage RenderBar(FakeBar& bar, bool gripper);

COLORREF PixelRef(const QImage& image, int x, int y);

} // namespace painttest
