#include "platform/qt/colors.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QPalette>

namespace platform::qt {

QColor ToQColor(COLORREF colour) {
    return QColor(GetRValue(colour), GetGValue(colour), GetBValue(colour));
}

COLORREF ToColorRef(const QColor& colour) {
    const QColor rgb = colour.toRgb();
    return RGB(rgb.red(), rgb.green(), rgb.blue());
}

namespace {

struct PaletteSource {
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
    int lighter; // QColor::lighter factor, 100 = as is
};

// Where each index comes from when nothing overrides it.
constexpr std::array<PaletteSource, SystemColors::kCount> kPaletteSources{{
    {QPalette::Active, QPalette::Button, 100},          // 0 scroll bar
    {QPalette::Active, QPalette::Dark, 100},            // 1 desktop
    {QPalette::Active, QPalette::Highlight, 100},       // 2 active caption
    {QPalette::Active, QPalette::Dark, 100},            // 3 inactive caption
    {QPalette::Active, QPalette::Window, 100},          // 4 menu
    {QPalette::Active, QPalette::Base, 100},            // 5 window
    {QPalette::Active, QPalette::Shadow, 100},          // 6 window frame
    {QPalette::Active, QPalette::WindowText, 100},      // 7 menu text
    {QPalette::Active, QPalette::Text, 100},            // 8 window text
    {QPalette::Active, QPalette::HighlightedText, 100}, // 9 caption text
    {QPalette::Active, QPalette::Window, 100},          // 10 active border
    {QPalette::Active, QPalette::Window, 100},          // 11 inactive border
    {QPalette::Active, QPalette::Dark, 100},            // 12 application workspace
    {QPalette::Active, QPalette::Highlight, 100},       // 13 highlight
    {QPalette::Active, QPalette::HighlightedText, 100}, // 14 highlight text
    {QPalette::Active, QPalette::Button, 100},          // 15 button face
    {QPalette::Active, QPalette::Dark, 100},            // 16 button shadow
    {QPalette::Disabled, QPalette::Text, 100},          // 17 grey text
    {QPalette::Active, QPalette::ButtonText, 100},      // 18 button text
    {QPalette::Active, QPalette::Midlight, 100},        // 19 inactive caption text
    {QPalette::Active, QPalette::Light, 100},           // 20 button highlight
    {QPalette::Active, QPalette::Shadow, 100},          // 21 3D dark shadow
    {QPalette::Active, QPalette::Midlight, 100},        // 22 3D light
    {QPalette::Active, QPalette::ToolTipText, 100},     // 23 info text
    {QPalette::Active, QPalette::ToolTipBase, 100},     // 24 info background
    {QPalette::Active, QPalette::Mid, 100},             // 25
    {QPalette::Active, QPalette::Link, 100},            // 26 hot tracking
    {QPalette::Active, QPalette::Highlight, 160},       // 27 active caption gradient
    {QPalette::Active, QPalette::Midlight, 100},        // 28 inactive caption gradient
    {QPalette::Active, QPalette::Highlight, 100},       // 29 menu highlight
    {QPalette::Active, QPalette::Window, 100},          // 30 menu bar
}};

constexpr SystemColors::Table kClassic{
    RGB(212, 208, 200), // 0 scroll bar
    RGB(58, 110, 165),  // 1 desktop
    RGB(10, 36, 106),   // 2 active caption
    RGB(128, 128, 128), // 3 inactive caption
    RGB(212, 208, 200), // 4 menu
    RGB(255, 255, 255), // 5 window
    RGB(0, 0, 0),       // 6 window frame
    RGB(0, 0, 0),       // 7 menu text
    RGB(0, 0, 0),       // 8 window text
    RGB(255, 255, 255), // 9 caption text
    RGB(212, 208, 200), // 10 active border
    RGB(212, 208, 200), // 11 inactive border
    RGB(128, 128, 128), // 12 application workspace
    RGB(10, 36, 106),   // 13 highlight
    RGB(255, 255, 255), // 14 highlight text
    RGB(212, 208, 200), // 15 button face
    RGB(128, 128, 128), // 16 button shadow
    RGB(128, 128, 128), // 17 grey text
    RGB(0, 0, 0),       // 18 button text
    RGB(212, 208, 200), // 19 inactive caption text
    RGB(255, 255, 255), // 20 button highlight
    RGB(64, 64, 64),    // 21 3D dark shadow
    RGB(212, 208, 200), // 22 3D light
    RGB(0, 0, 0),       // 23 info text
    RGB(255, 255, 225), // 24 info background
    RGB(181, 181, 181), // 25
    RGB(0, 0, 128),     // 26 hot tracking
    RGB(166, 202, 240), // 27 active caption gradient
    RGB(192, 192, 192), // 28 inactive caption gradient
    RGB(10, 36, 106),   // 29 menu highlight
    RGB(212, 208, 200), // 30 menu bar
};

} // namespace

SystemColors& SystemColors::Instance() {
    static SystemColors* instance = new SystemColors; // lives as long as the process
    instance->WatchApplication();
    return *instance;
}

void SystemColors::WatchApplication() {
    QCoreApplication* app = QCoreApplication::instance();
    if (app && watched_ != app) {
        app->installEventFilter(this);
        watched_ = app;
    }
}

bool SystemColors::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ApplicationPaletteChange && watched == watched_)
        emit Changed();
    return false;
}

COLORREF SystemColors::Color(int index) const {
    if (index < 0 || index >= kCount)
        return 0;
    if (override_[index])
        return *override_[index];
    const PaletteSource& source = kPaletteSources[index];
    const QPalette palette = QGuiApplication::palette();
    QColor colour = palette.color(source.group, source.role);
    if (source.lighter != 100)
        colour = colour.lighter(source.lighter);
    return ToColorRef(colour);
}

const SystemColors::Table& SystemColors::ClassicPalette() {
    return kClassic;
}

void SystemColors::SetOverride(const Table& table) {
    for (int i = 0; i < kCount; ++i)
        override_[i] = table[i];
    emit Changed();
}

void SystemColors::SetOverride(int index, COLORREF colour) {
    if (index < 0 || index >= kCount)
        return;
    override_[index] = colour;
    emit Changed();
}

void SystemColors::SetOverrides(const OverrideTable& table) {
    override_ = table;
    emit Changed();
}

void SystemColors::ClearOverride() {
    override_.fill(std::nullopt);
    emit Changed();
}

bool SystemColors::HasOverride() const {
    for (const auto& entry : override_)
        if (entry)
            return true;
    return false;
}

namespace {
// Palette changes are noticed from the application's construction on.
void WatchFromStart() {
    SystemColors::Instance();
}
} // namespace
Q_COREAPP_STARTUP_FUNCTION(WatchFromStart)

COLORREF GetSysColor(int index) {
    return SystemColors::Instance().Color(index);
}

ScopedSystemColors::ScopedSystemColors(const SystemColors::Table& table)
    : previous_(SystemColors::Instance().Overrides()) {
    SystemColors::Instance().SetOverride(table);
}

ScopedSystemColors::~ScopedSystemColors() {
    SystemColors::Instance().SetOverrides(previous_);
}

} // namespace platform::qt
