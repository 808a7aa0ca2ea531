#include "controls/commandbars/draw_utils.h"
#include "controls/commandbars/theme_default.h"
#include "controls/commandbars/theme_office.h"
#include "tests/controls/commandbars/paint_fixture.h"

#include <QDir>
#include <QFontMetrics>
#include <QPainter>

using namespace painttest;

namespace {

class ThemesTest : public PaintTest {
protected:
    // Measures a menu item of the current theme.
    QSize MenuItemSize(const QString& caption, const QString& shortcut) {
        FakeBar bar;
        bar.type = gvpBarTypePopup;
        bar.position = gvpBarPopup;
        FakeControl& item = bar.Add(gvpControlButton, caption);
        item.shortcut = shortcut;
        QImage scratch(1, 1, QImage::Format_ARGB32);
        QPainter p(&scratch);
        p.setFont(GetPaintManager()->GetControlFont(&bar, false));
        return GetPaintManager()->DrawControl(p, &item, false);
    }

    // A docked toolbar of three buttons, the middle one checked.
    void MakeToolbar(FakeBar& bar) {
        bar.widget->resize(100, 26);
        for (int i = 0; i < 3; ++i) {
            FakeControl& c = bar.Add(gvpControlButton, QStringLiteral("B%1").arg(i));
            c.style = gvpButtonIcon;
            c.rect = QRect(10 + i * 23, 2, 23, 22);
        }
        bar.controls[1]->checked = true;
    }
};

} // namespace

TEST_F(ThemesTest, SelectingTheCurrentThemeKeepsIt) {
    CGVPPaintManager::SelectTheme(2);
    CGVPPaintManager* first = CGVPPaintManager::GetCurrent();
    CGVPPaintManager::SelectTheme(2);
    EXPECT_EQ(CGVPPaintManager::GetCurrent(), first);
    struct Case {
        int theme;
        bool faded, shadow, shadows;
    };
    for (const Case& c : {Case{0, true, true, true}, Case{1, false, false, false},
                          Case{2, false, false, true}, Case{3, true, false, false}}) {
        CGVPPaintManager::SelectTheme(c.theme);
        CGVPPaintManager* pm = CGVPPaintManager::GetCurrent();
        EXPECT_EQ(pm->GetThemeId(), c.theme);
        EXPECT_EQ(pm->m_nThemeId, c.theme);
        EXPECT_EQ(pm->m_bFadedIcons, c.faded) << c.theme;
        EXPECT_EQ(pm->m_bIconShadow, c.shadow) << c.theme;
        EXPECT_FALSE(pm->m_bDisabledIcons);
        EXPECT_EQ(pm->HasShadows(), c.shadows) << c.theme;
    }
}

TEST_F(ThemesTest, MenuItemSizesFromFontMetrics) {
    const QString caption = QStringLiteral("&Open Script...");
    const QString shortcut = QStringLiteral("Ctrl+O");
    const QFontMetrics fm(GetGlobalFonts().regular);
    const int h = GetGlobalFonts().textHeight;
    ASSERT_EQ(h, fm.height() + 6);
    const int text =
        fm.horizontalAdvance(QStringLiteral("Open Script...")) + fm.horizontalAdvance(shortcut);
    for (int theme : {0, 2}) {
        CGVPPaintManager::SelectTheme(theme);
        EXPECT_EQ(MenuItemSize(caption, shortcut), QSize(text + h + 44, std::max(h, 22))) << theme;
    }
    for (int theme : {1, 3}) {
        CGVPPaintManager::SelectTheme(theme);
        EXPECT_EQ(MenuItemSize(caption, shortcut), QSize(text + 60, std::max(20, h - 4))) << theme;
    }
    // A doubled ampersand measures as one.
    CGVPPaintManager::SelectTheme(2);
    EXPECT_EQ(MenuItemSize(QStringLiteral("A&&B"), {}).width(),
              fm.horizontalAdvance(QStringLiteral("A&B")) + h + 44);
}

TEST_F(ThemesTest, ToolbarControlSizes) {
    CGVPPaintManager::SelectTheme(2);
    FakeBar bar;
    CGVPImageManager images;
    QImage icon(16, 15, QImage::Format_ARGB32);
    icon.fill(Qt::red);
    images.SetIcon(icon, 1);
    QImage scratch(1, 1, QImage::Format_ARGB32);
    QPainter p(&scratch);
    p.setFont(GetPaintManager()->GetControlFont(&bar, false));
    const QFontMetrics fm(p.font());
    struct Case {
        int type, style;
        QSize expected;
    };
    const Case cases[] = {
        {gvpControlButton, gvpButtonIcon, {23, 22}},
        {gvpControlButtonPopup, 0, {23, 22}},
        {gvpControlSplitButtonPopup, 0, {34, 22}}, // the button width + 11
        {gvpControlPopup, 0, {fm.horizontalAdvance(QStringLiteral("File")) + 16, fm.height() + 6}},
        // No image: caption width + 7.
        {gvpControlButton,
         gvpButtonAutomatic,
         {fm.horizontalAdvance(QStringLiteral("File")) + 7, std::max(22, fm.height() + 6)}},
    };
    for (const Case& c : cases) {
        FakeControl& control = bar.Add(c.type, QStringLiteral("&File"));
        control.style = c.style;
        if (c.style == gvpButtonIcon)
            control.image = images.GetImage(1, 16);
        EXPECT_EQ(GetPaintManager()->DrawControl(p, &control, false), c.expected) << c.type;
    }
    // A bar at the left measures with the vertical font, even for a bold default item.
    bar.position = gvpBarLeft;
    EXPECT_EQ(&GetPaintManager()->GetControlFont(&bar, true), &GetGlobalFonts().vertical);
    bar.position = gvpBarTop;
    EXPECT_EQ(&GetPaintManager()->GetControlFont(&bar, true), &GetGlobalFonts().bold);
}

TEST_F(ThemesTest, ExpandButtonPlacement) {
    FakeBar bar;
    FakeControl& expand = bar.Add(gvpControlButtonPopup);
    QImage scratch(1, 1, QImage::Format_ARGB32);
    QPainter p(&scratch);
    CGVPPaintManager::SelectTheme(0);
    EXPECT_EQ(GetPaintManager()->DrawSpecialControl(p, gvpButtonExpandToolbar, &expand, &bar, false,
                                                    {200, 26}),
              QSize(0, 0));
    EXPECT_EQ(expand.rect, QRect(QPoint(187, 2), QPoint(197, 23))); // (cx-13, 2, cx-2, cy-2)
    CGVPPaintManager::SelectTheme(2);
    GetPaintManager()->DrawSpecialControl(p, gvpButtonExpandToolbar, &expand, &bar, false,
                                          {200, 26});
    EXPECT_EQ(expand.rect, QRect(188, 1, 12, 25)); // (cx-12, 1, cx, cy)
    bar.position = gvpBarLeft;
    GetPaintManager()->DrawSpecialControl(p, gvpButtonExpandToolbar, &expand, &bar, false,
                                          {26, 200});
    EXPECT_EQ(expand.rect, QRect(0, 188, 26, 12));
}

TEST_F(ThemesTest, Office2003BluePixels) {
    SetCurrentSystemThemeOverride(1);
    UsePalette(ClassicColor, 32, 1);
    CGVPPaintManager::SelectTheme(2);
    auto* theme = dynamic_cast<GVPPaintThemes::CGVPOffice2003Theme*>(GetPaintManager());
    ASSERT_TRUE(theme);
    ASSERT_TRUE(theme->m_bSchemeActive);
    EXPECT_EQ(GetSystemColorTable().GetColor(55), 0xFADAC4u); // h3

    FakeBar bar;
    MakeToolbar(bar);
    const QImage image = RenderBar(bar, true);
    // Face gradient from light at the top to dark at the bottom row of the controls.
    EXPECT_EQ(PixelRef(image, 50, 1), 0xFEECDDu);
    EXPECT_EQ(PixelRef(image, 9, 24), gvpcolor::BlendColors(0xFEECDD, 0xE2A981, 1.0 - 23 / 24.0));
    // The bar line along the bottom, from x 5, 7 pixels shorter than the bar.
    EXPECT_EQ(PixelRef(image, 5, 25), 0x9C613Bu);
    EXPECT_EQ(PixelRef(image, 97, 25), 0x9C613Bu);
    EXPECT_NE(PixelRef(image, 98, 25), 0x9C613Bu);
    // The three leftmost columns show the dock behind (its gradient starts at the dock's edge).
    EXPECT_EQ(PixelRef(image, 0, 10), 0xF5BE9Eu);
    // Gripper dots: dark over light, from y 8 in steps of 4.
    EXPECT_EQ(PixelRef(image, 5, 5), GetSystemColorTable().GetColor(38));
    EXPECT_EQ(PixelRef(image, 7, 7), GetSystemColorTable().GetColor(20));
    // The checked button (not hot): gradient 0x8CD5FF to 0x55ADFF framed in entry 50.
    const QRect checked = bar.controls[1]->rect;
    EXPECT_EQ(PixelRef(image, checked.x(), checked.y() + 5), 0x800000u);
    EXPECT_EQ(PixelRef(image, checked.x() + 5, checked.y() + 1),
              gvpcolor::BlendColors(0x8CD5FF, 0x55ADFF, 1.0 - 1 / 22.0));

    // The right dock bar is solid; the top dock bar and a menu bar above it agree at each x.
    QWidget dock;
    dock.resize(300, 30);
    QImage dockImage(300, 30, QImage::Format_ARGB32), right(300, 30, QImage::Format_ARGB32);
    {
        QPainter p(&dockImage);
        theme->FillDockBar(p, &dock, gvpBarTop);
        QPainter q(&right);
        theme->FillDockBar(q, &dock, gvpBarRight);
    }
    EXPECT_EQ(PixelRef(right, 0, 0), 0xFADAC4u);
    EXPECT_EQ(PixelRef(right, 299, 29), 0xFADAC4u);
    // A toolbar in that dock shows the dock's colour in its cut-off corners.
    FakeBar docked;
    MakeToolbar(docked);
    docked.widget->setParent(&dock);
    docked.widget->move(120, 2);
    const QImage dockedImage = RenderBar(docked, true);
    EXPECT_EQ(PixelRef(dockedImage, 0, 10), PixelRef(dockImage, 120, 12));
    EXPECT_EQ(PixelRef(dockedImage, 99, 25), PixelRef(dockImage, 219, 27));
    FakeBar menu;
    menu.type = gvpBarTypeMenuBar;
    menu.widget->resize(300, 22);
    const QImage menuImage = RenderBar(menu, false);
    for (int x : {0, 77, 150, 299})
        EXPECT_EQ(PixelRef(menuImage, x, 10), PixelRef(dockImage, x, 10)) << x;
}

TEST_F(ThemesTest, Office2003WithoutVisualStyleUsesSystemColors) {
    CGVPPaintManager::SelectTheme(2);
    auto* theme = dynamic_cast<GVPPaintThemes::CGVPOffice2003Theme*>(GetPaintManager());
    ASSERT_TRUE(theme);
    EXPECT_FALSE(theme->m_bSchemeActive);
    EXPECT_EQ(theme->m_clrFaceDark, GetSystemColorTable().GetColor(15));
    EXPECT_EQ(theme->m_clrFaceLight,
              gvpcolor::Mix(GetSystemColorTable().GetColor(15), 0xFFFFFF, 205));
    // The plain-colours flag keeps the derived colours even with a visual style.
    SetCurrentSystemThemeOverride(1);
    UsePalette(ClassicColor, 32, 1);
    GetSystemColorTable().SetPlainColors(true);
    theme->RefreshMetrics();
    EXPECT_FALSE(theme->m_bSchemeActive);
    EXPECT_EQ(theme->m_clrBarLine, GetSystemColorTable().GetColor(30));
    GetSystemColorTable().SetPlainColors(false);
}

TEST_F(ThemesTest, DefaultThemePixels) {
    CGVPPaintManager::SelectTheme(1);
    FakeBar bar;
    MakeToolbar(bar);
    const QImage image = RenderBar(bar, true);
    const COLORREF face = GetSystemColorTable().GetColor(15);
    const COLORREF light = GetSystemColorTable().GetColor(20);
    const COLORREF shadow = GetSystemColorTable().GetColor(16);
    // The checked, not hot button: dither inside a sunken edge.
    const QRect checked = bar.controls[1]->rect;
    EXPECT_EQ(PixelRef(image, checked.x(), checked.y()), shadow);
    EXPECT_EQ(PixelRef(image, checked.x() + checked.width() - 1, checked.y() + 5), light);
    const COLORREF a = PixelRef(image, checked.x() + 4, checked.y() + 4);
    const COLORREF b = PixelRef(image, checked.x() + 5, checked.y() + 4);
    EXPECT_NE(a, b);
    EXPECT_TRUE((a == face && b == light) || (a == light && b == face));
    // The raised gripper line.
    EXPECT_EQ(PixelRef(image, 3, 3), light);
    EXPECT_EQ(PixelRef(image, 5, 10), shadow);

    // A disabled, unselected menu caption: highlight one pixel down and right, grey text over it.
    FakeBar menu;
    menu.type = gvpBarTypePopup;
    menu.position = gvpBarPopup;
    menu.widget->resize(160, 24);
    FakeControl& item = menu.Add(gvpControlButton, QStringLiteral("IIII"));
    item.enabled = false;
    item.rect = QRect(3, 3, 150, 20);
    const QImage picture = RenderBar(menu, false);
    // Text is smoothed: count pixels clearly lighter or darker than the face.
    int grey = 0, highlight = 0;
    const double faceLevel = gvpcolor::Brightness(face);
    for (int y = 3; y < 23; ++y)
        for (int x = 27; x < 60; ++x) {
            const double level = gvpcolor::Brightness(PixelRef(picture, x, y));
            grey += level < faceLevel - 60;
            highlight += level > faceLevel + 20;
        }
    EXPECT_GT(grey, 10);
    EXPECT_GT(highlight, 10);
}

TEST_F(ThemesTest, Animation) {
    CGVPPaintManager::SelectTheme(2);
    CGVPPaintManager* pm = GetPaintManager();
    QImage buffer(40, 20, QImage::Format_ARGB32);
    buffer.fill(Qt::white);
    QImage screen(40, 20, QImage::Format_ARGB32);
    screen.fill(Qt::black);
    // Slides end with the whole popup; the fade blends n - 1 frames before the final paint.
    EXPECT_EQ(pm->AnimateFrame(buffer, screen, 2, pm->m_nAnimationSteps), buffer);
    const QImage half = pm->AnimateFrame(buffer, screen, 2, 5);
    EXPECT_EQ(half.pixel(19, 9), QColor(Qt::white).rgb());
    EXPECT_EQ(half.pixel(20, 9), QColor(Qt::black).rgb());
    const QImage band = pm->AnimateFrame(buffer, screen, 3, 5);
    EXPECT_EQ(band.pixel(39, 9), QColor(Qt::white).rgb());
    EXPECT_EQ(band.pixel(0, 10), QColor(Qt::black).rgb());
    const QImage fade = pm->AnimateFrame(buffer, screen, 4, 5);
    EXPECT_EQ(qRed(fade.pixel(3, 3)), 255 * 127 / 256); // a = 255 * 5 / 10
    EXPECT_EQ(pm->AnimateFrame(buffer, screen, 1, 1), buffer);
    // Without a picture of the screen the fade comes up through the popup's alpha.
    EXPECT_EQ(qAlpha(pm->AnimateFrame(buffer, QImage(), 4, 5).pixel(3, 3)), 127);
    EXPECT_EQ(qAlpha(pm->AnimateFrame(buffer, QImage(), 3, 5).pixel(3, 15)), 0);
}

// Pictures of the look for people to check; written when CMDPAINT_SAMPLES names a folder.
namespace {

QImage RenderSheet(int theme) {
    CGVPPaintManager::SelectTheme(theme);
    CGVPImageManager images;
    images.SetIconsFromTheme({1, 2, 3, 4},
                             {QStringLiteral("document-new"), QStringLiteral("document-open"),
                              QStringLiteral("document-save"), QStringLiteral("edit-cut")},
                             {16, 16});
    QImage sheet(420, 240, QImage::Format_ARGB32);
    sheet.fill(Qt::white);
    QPainter out(&sheet);

    // Dock area with a menu bar and a toolbar.
    QWidget dock;
    dock.resize(420, 52);
    QImage dockImage(420, 52, QImage::Format_ARGB32);
    {
        QPainter p(&dockImage);
        GetPaintManager()->FillDockBar(p, &dock, gvpBarTop);
    }
    out.drawImage(0, 0, dockImage);

    FakeBar menuBar;
    menuBar.type = gvpBarTypeMenuBar;
    menuBar.widget->resize(420, 22);
    int x = 2;
    for (const char* text : {"&File", "&Edit", "&View", "&Window"}) {
        FakeControl& c = menuBar.Add(gvpControlPopup, QString::fromLatin1(text));
        QImage scratch(1, 1, QImage::Format_ARGB32);
        QPainter p(&scratch);
        p.setFont(GetPaintManager()->GetControlFont(&menuBar, false));
        const QSize size = GetPaintManager()->DrawControl(p, &c, false);
        c.rect = QRect(x, 1, size.width(), size.height());
        x += size.width();
    }
    menuBar.controls[0]->popuped = true;
    menuBar.controls[0]->selected = 1;
    out.drawImage(0, 0, RenderBar(menuBar, false));

    FakeBar toolbar;
    toolbar.widget->setParent(&dock);
    toolbar.widget->move(0, 24);
    toolbar.widget->resize(150, 26);
    x = 10;
    for (unsigned id = 1; id <= 4; ++id) {
        FakeControl& c = toolbar.Add(gvpControlButton, QStringLiteral("B"));
        c.image = images.GetImage(id, 16);
        c.style = gvpButtonIcon;
        c.rect = QRect(x, 2, 23, 22);
        c.beginGroup = id == 4;
        x += 23 + (id == 3 ? 6 : 0);
    }
    toolbar.controls[1]->selected = 1;
    toolbar.controls[2]->checked = true;
    FakeControl expand;
    expand.type = gvpControlButtonPopup;
    expand.parent = &toolbar;
    GetPaintManager()->DrawSpecialControl(out, gvpButtonExpandToolbar, &expand, &toolbar, false,
                                          toolbar.widget->size());
    QImage toolbarImage = RenderBar(toolbar, true);
    {
        QPainter p(&toolbarImage);
        GetPaintManager()->DrawSpecialControl(p, gvpButtonExpandToolbar, &expand, &toolbar, true,
                                              {}, true);
    }
    out.drawImage(0, 24, toolbarImage);

    // The open menu.
    FakeBar popup;
    popup.type = gvpBarTypePopup;
    popup.position = gvpBarPopup;
    popup.widget->resize(200, 130);
    struct Item {
        const char* caption;
        const char* shortcut;
        int type;
        bool enabled, checked, group;
        unsigned image;
    };
    const Item items[] = {{"&New", "Ctrl+N", gvpControlButton, true, false, false, 1},
                          {"&Open...", "Ctrl+O", gvpControlButton, true, false, false, 2},
                          {"&Save", "Ctrl+S", gvpControlButton, false, false, false, 3},
                          {"Status &Bar", "", gvpControlButton, true, true, true, 0},
                          {"&Recent Files", "", gvpControlPopup, true, false, true, 0}};
    int y = 2;
    for (const Item& item : items) {
        FakeControl& c = popup.Add(item.type, QString::fromLatin1(item.caption));
        c.shortcut = QString::fromLatin1(item.shortcut);
        c.enabled = item.enabled;
        c.checked = item.checked;
        c.beginGroup = item.group;
        c.image = item.image ? images.GetImage(item.image, 16) : nullptr;
        if (item.group)
            y += 3;
        c.rect = QRect(2, y, 196, 22);
        y += 22;
    }
    popup.controls[1]->selected = 1;
    out.drawImage(2, 52, RenderBar(popup, false));

    // A floating toolbar's title with its close button.
    FakeBar floating;
    floating.position = gvpBarFloating;
    floating.title = QStringLiteral("Standard");
    floating.widget->resize(150, 50);
    QImage floatingImage(150, 50, QImage::Format_ARGB32);
    {
        QPainter p(&floatingImage);
        GetPaintManager()->FillCommandBar(p, &floating);
        const QSize title = GetPaintManager()->DrawCommandBarGripper(p, &floating, true);
        FakeControl close;
        close.parent = &floating;
        close.rect = QRect(150 - 3 - title.height(), 3, title.height(), title.height());
        GetPaintManager()->DrawSpecialControl(p, gvpButtonHideFloating, &close, &floating, true);
    }
    out.drawImage(230, 60, floatingImage);

    // A toolbar docked at the left with a captioned button, a combo box and an edit field.
    FakeBar left;
    left.position = gvpBarLeft;
    left.widget->resize(26, 120);
    FakeControl& open = left.Add(gvpControlButton, QStringLiteral("&Open"));
    open.style = gvpButtonIconAndCaption;
    open.image = images.GetImage(2, 16);
    {
        QImage scratch(1, 1, QImage::Format_ARGB32);
        QPainter p(&scratch);
        p.setFont(GetPaintManager()->GetControlFont(&left, false));
        const QSize size = GetPaintManager()->DrawControl(p, &open, false);
        open.rect = QRect(2, 12, size.width(), size.height());
    }
    FakeControl& cut = left.Add(gvpControlButton, QStringLiteral("Cut"));
    cut.style = gvpButtonIcon;
    cut.image = images.GetImage(4, 16);
    cut.rect = QRect(2, open.rect.bottom() + 1, 22, 23);
    out.drawImage(230, 120, RenderBar(left, true));

    FakeBar fields;
    fields.widget->resize(170, 26);
    FakeControl& combo = fields.Add(gvpControlComboBox, QStringLiteral("Mode"));
    combo.width = 70;
    FakeControl& edit = fields.Add(gvpControlEdit, QStringLiteral("Start:"));
    edit.width = 70;
    edit.showLabel = true;
    edit.selected = 1;
    {
        QImage scratch(1, 1, QImage::Format_ARGB32);
        QPainter p(&scratch);
        const QSize c = GetPaintManager()->DrawControl(p, &combo, false);
        const QSize e = GetPaintManager()->DrawControl(p, &edit, false);
        combo.rect = QRect(10, 2, c.width(), c.height());
        edit.rect = QRect(10 + c.width() + 4, 2, e.width(), e.height());
    }
    out.drawImage(230, 200, RenderBar(fields, true));
    out.end();
    return sheet;
}

} // namespace

TEST_F(ThemesTest, RenderSamples) {
    SetCurrentSystemThemeOverride(1);
    UsePalette(ClassicColor, 32, 1);
    const QImage office = RenderSheet(2);
    const QImage classic = RenderSheet(1);
    // The two looks differ; each paints its bars.
    EXPECT_NE(office, classic);
    const QString folder = qEnvironmentVariable("CMDPAINT_SAMPLES");
    if (!folder.isEmpty()) {
        ASSERT_TRUE(office.save(QDir(folder).filePath(QStringLiteral("office2003.png"))));
        ASSERT_TRUE(classic.save(QDir(folder).filePath(QStringLiteral("default.png"))));
    }
}

TEST_F(ThemesTest, OfficeFaceRules) {
    CGVPPaintManager::SelectTheme(0);
    const CGVPSystemColorTable& t = GetSystemColorTable();
    struct Case {
        int selected, pressed;
        bool enabled, checked, popuped, toolbar;
        int border, fill; // table entries; 0 for nothing drawn
    };
    const Case cases[] = {
        {0, 0, true, false, false, true, 0, 0},     {1, 0, true, false, false, true, 32, 31}, // hot
        {1, 1, true, false, false, true, 50, 33},  // pushed
        {0, 2, true, false, false, true, 50, 33},  // held down
        {0, 1, true, false, false, true, 32, 31},  // pressed without selection
        {0, 0, true, true, false, true, 50, 36},   // checked
        {1, 0, true, true, false, true, 37, 33},   // checked and hot
        {0, 0, true, false, true, true, 43, 30},   // popped
        {0, 0, false, true, false, false, 40, 30}, // disabled checked menu item
        {2, 0, false, false, false, true, 32, 31}, // disabled, keyboard-selected, toolbar
        {2, 0, false, false, false, false, 32, 41}, {1, 0, false, false, false, true, 0, 0},
    };
    for (const Case& c : cases) {
        QImage image(10, 10, QImage::Format_ARGB32);
        image.fill(Qt::magenta);
        {
            QPainter p(&image);
            GetPaintManager()->DrawRectangle(p, QRect(0, 0, 10, 10), c.selected, c.pressed,
                                             c.enabled, c.checked, c.popuped, c.toolbar, gvpBarTop);
        }
        const std::string name = std::to_string(c.selected) + "/" + std::to_string(c.pressed) +
                                 (c.enabled ? " enabled" : " disabled") +
                                 (c.checked ? " checked" : "") + (c.popuped ? " popped" : "");
        if (c.border == 0) {
            EXPECT_EQ(image.pixel(0, 0), QColor(Qt::magenta).rgb()) << name;
            continue;
        }
        EXPECT_EQ(PixelRef(image, 0, 0), t.GetColor(static_cast<COLORREF>(c.border))) << name;
        EXPECT_EQ(PixelRef(image, 5, 5), t.GetColor(static_cast<COLORREF>(c.fill))) << name;
    }
}

TEST_F(ThemesTest, PopupJoinsTheControlThatOpenedIt) {
    for (int theme : {0, 2}) {
        CGVPPaintManager::SelectTheme(theme);
        FakeBar popup;
        popup.type = gvpBarTypePopup;
        popup.position = gvpBarPopup;
        popup.widget->setGeometry(100, 222, 120, 80);
        // The menu-bar item above, 40 wide, whose bottom edge row is the popup's top row.
        popup.ownerRect = QRect(100, 200, 40, 23);
        const QImage image = RenderBar(popup, false);
        const COLORREF shared = GetSystemColorTable().GetColor(theme == 0 ? 30 : 41);
        EXPECT_EQ(PixelRef(image, 10, 0), shared) << theme;
        EXPECT_EQ(PixelRef(image, 0, 0), GetSystemColorTable().GetColor(43)) << theme;
        EXPECT_EQ(PixelRef(image, 39, 0), GetSystemColorTable().GetColor(43)) << theme;
        EXPECT_EQ(PixelRef(image, 60, 0), GetSystemColorTable().GetColor(43)) << theme;
    }
}
