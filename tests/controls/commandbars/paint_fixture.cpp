#include "tests/controls/commandbars/paint_fixture.h"

#include "controls/commandbars/draw_utils.h"

#include <QApplication>
#include <QCoreApplication>
#include <QPainter>

namespace painttest {
namespace {

int g_argc = 1;
char g_name[] = "controls_commandbars_tests";
char* g_argv[] = {g_name, nullptr};

std::unique_ptr<QApplication>& AppHolder() {
    static std::unique_ptr<QApplication> app;
    return app;
}

// Qt's objects go before the program's exit handlers run.
class QtEnvironment : public ::testing::Environment {
public:
    void TearDown() override {
        GVPToolkitExit();
        AppHolder().reset();
    }
};
[[maybe_unused]] ::testing::Environment* const g_env =
    ::testing::AddGlobalTestEnvironment(new QtEnvironment); // owned by the test framework

QFont FixedFont() {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(11);
    return font;
}

} // namespace

void EnsureApp() {
    if (!QCoreApplication::instance())
        AppHolder() = std::make_unique<QApplication>(g_argc, g_argv);
}

COLORREF ClassicColor(int index) {
    const auto& classic = platform::qt::SystemColors::ClassicPalette();
    return index >= 0 && index < platform::qt::SystemColors::kCount
               ? classic[static_cast<std::size_t>(index)]
               : 0;
}

COLORREF DarkColor(int index) {
    switch (index) {
    case 5:
    case 15:
    case 4:
        return 0x202020; // window, face, menu
    case 8:
    case 7:
    case 18:
    case 9:
        return 0xF0F0F0; // texts
    case 13:
        return 0xC07030; // highlight
    case 14:
        return 0xFFFFFF;
    case 16:
        return 0x101010;
    case 17:
        return 0x707070;
    case 20:
        return 0x404040;
    default:
        return ClassicColor(index);
    }
}

void PaintTest::UsePalette(COLORREF (*palette)(int), int depth, int scheme) {
    GVPColorSource source;
    source.sysColor = palette;
    source.depth = [depth] { return depth; };
    source.systemTheme = [scheme] { return scheme; };
    GetSystemColorTable().SetSource(source);
    GetSystemColorTable().Refresh(false);
}

void PaintTest::SetUp() {
    EnsureApp();
    GVPFontSource fonts;
    fonts.menuFont = fonts.smallCaptionFont = fonts.iconTitleFont = fonts.statusFont = FixedFont;
    SetFontSource(fonts);
    GVPToolkitInit();
    GetSystemColorTable().SetPlainColors(false);
    UsePalette(ClassicColor);
    RefreshFonts();
}

void PaintTest::TearDown() {
    CGVPPaintManager::ReleaseGlobalPaintManager();
    SetCurrentSystemThemeOverride(-1);
}

IPaintedBar* FakeControl::GetPaintedParent() const {
    return parent;
}

FakeControl& FakeBar::Add(int controlType, const QString& caption) {
    controls.push_back(std::make_unique<FakeControl>());
    FakeControl& c = *controls.back();
    c.type = controlType;
    c.caption = caption;
    c.parent = this;
    return c;
}

QImage RenderBar(FakeBar& bar, bool gripper) {
    CGVPPaintManager* pm = GetPaintManager();
    QImage image(bar.widget->size(), QImage::Format_ARGB32);
    image.fill(Qt::magenta);
    QPainter p(&image);
    pm->FillCommandBar(p, &bar);
    if (gripper)
        pm->DrawCommandBarGripper(p, &bar, true);
    bool first = true;
    for (auto& c : bar.controls) {
        if (c->beginGroup && !first)
            pm->DrawCommandBarSeparator(p, &bar, c.get(), true);
        first = false;
        p.setFont(pm->GetControlFont(&bar, c->defaultItem));
        pm->DrawControl(p, c.get(), true);
    }
    return image;
}

COLORREF PixelRef(const QImage& image, int x, int y) {
    return QColorToRef(QColor(image.pixel(x, y)));
}

} // namespace painttest
