#include "controls/commandbars/aux_data.h"

#include "controls/commandbars/image_manager.h"
#include "controls/commandbars/mouse_manager.h"
#include "controls/commandbars/paint_manager.h"
#include "controls/commandbars/process_slot.h"
#include "controls/commandbars/shadow.h"
#include "controls/commandbars/sound.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QIcon>
#include <QStringList>
#include <memory>

namespace {

GVPFontSource& FontSource() {
    static GVPFontSource source;
    return source;
}

QFont SystemFont(const std::function<QFont()>& override, QFontDatabase::SystemFont kind) {
    if (override)
        return override();
    return QFontDatabase::systemFont(kind);
}

GVPProcessSlot<GV_AUX_DATA>& AuxDataHolder() {
    static GVPProcessSlot<GV_AUX_DATA> data;
    return data;
}

} // namespace

CGVPFonts& GetGlobalFonts() {
    static CGVPFonts fonts;
    return fonts;
}

void SetFontSource(GVPFontSource source) {
    FontSource() = std::move(source);
}

bool FontExists(const QString& face) {
    const QStringList families = QFontDatabase::families();
    for (const QString& f : families)
        if (f.compare(face, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

int MenuFontPixelSize(const QFont& menuFont) {
    int px = menuFont.pixelSize();
    if (px <= 0)
        px = static_cast<int>(menuFont.pointSizeF() * 96.0 / 72.0 + 0.5);
    // A character height under 11 pixels is raised to 11.
    return px < 11 ? 11 : px;
}

void RefreshFonts() {
    CGVPFonts& fonts = GetGlobalFonts();
    const GVPFontSource& src = FontSource();

    const QFont menu = SystemFont(src.menuFont, QFontDatabase::GeneralFont);
    QFont base = menu;
    base.setPixelSize(MenuFontPixelSize(menu));
    base.setUnderline(false);
    base.setStrikeOut(false);

    const bool tahomaExists = FontExists(QStringLiteral("Tahoma"));
    if (menu.family().compare(QStringLiteral("Tahoma"), Qt::CaseInsensitive) == 0)
        fonts.menuFontSeenAsTahoma = true;
    if (fonts.menuFontSeenAsTahoma && tahomaExists)
        base.setFamily(QStringLiteral("Tahoma"));

    fonts.regular = base;
    fonts.bold = base;
    fonts.bold.setWeight(QFont::Bold);
    fonts.status = SystemFont(src.statusFont, QFontDatabase::GeneralFont);

    fonts.vertical = base;
    const bool menuIsArial =
        menu.family().compare(QStringLiteral("Arial"), Qt::CaseInsensitive) == 0;
    if (tahomaExists && (fonts.menuFontSeenAsTahoma || !menuIsArial))
        fonts.vertical.setFamily(QStringLiteral("Tahoma"));
    else if (FontExists(QStringLiteral("Arial")))
        fonts.vertical.setFamily(QStringLiteral("Arial"));

    fonts.smallCaption = SystemFont(src.smallCaptionFont, QFontDatabase::TitleFont);
    fonts.iconTitle = SystemFont(src.iconTitleFont, QFontDatabase::GeneralFont);
    fonts.glyphs = QFont(QStringLiteral("Marlett"));
    fonts.glyphs.setPixelSize(MenuFontPixelSize(fonts.iconTitle));
    fonts.boldIconTitle = fonts.iconTitle;
    fonts.boldIconTitle.setWeight(QFont::Bold);

    fonts.textHeight = QFontMetrics(fonts.regular).height() + 6;
    fonts.valid = true;
}

GV_AUX_DATA::GV_AUX_DATA() {
    CGVPSystemColorTable& table = GetSystemColorTable();
    table.Refresh(true);
    clrBtnHilite = table.GetColor(20);
    clrWindowFrame = table.GetColor(6);
    hcurHSplit = QCursor(Qt::SplitHCursor);
    hcurVSplit = QCursor(Qt::SplitVCursor);
}

GV_AUX_DATA::~GV_AUX_DATA() = default;

GV_AUX_DATA& GetGlobalAuxData() {
    auto& holder = AuxDataHolder();
    if (!holder)
        holder = std::make_unique<GV_AUX_DATA>();
    return *holder;
}

namespace {
GVPProcessSlot<CGVPShadowsManager>& ShadowsHolder() {
    static GVPProcessSlot<CGVPShadowsManager> manager;
    return manager;
}
GVPProcessSlot<CGVPMenuSoundPlayer>& SoundHolder() {
    static GVPProcessSlot<CGVPMenuSoundPlayer> player;
    return player;
}
} // namespace

CGVPShadowsManager* GetShadowsManager() {
    return ShadowsHolder().get();
}
CGVPMenuSoundPlayer* GetMenuSoundPlayer() {
    return SoundHolder().get();
}

void GVPToolkitInit() {
    CGVPSystemColorTable& table = GetSystemColorTable();
    table.SetPlainColors(false);
    table.Refresh(false);
    GetGlobalFonts() = CGVPFonts{};
    // Toolbar images come from the desktop's icon theme; breeze fills in what it lacks, and
    // stands in where the platform names no theme at all.
    if (QIcon::fallbackThemeName().isEmpty() ||
        QIcon::fallbackThemeName() == QLatin1String("hicolor"))
        QIcon::setFallbackThemeName(QStringLiteral("breeze"));
    QStringList paths = QIcon::themeSearchPaths();
    QStringList dataDirs =
        qEnvironmentVariable("XDG_DATA_DIRS").split(QLatin1Char(':'), Qt::SkipEmptyParts);
    if (dataDirs.isEmpty())
        dataDirs = {QStringLiteral("/usr/local/share"), QStringLiteral("/usr/share")};
    for (const QString& dir : dataDirs)
        if (const QString icons = dir + QStringLiteral("/icons"); !paths.contains(icons))
            paths << icons;
    QIcon::setThemeSearchPaths(paths);
    if (QIcon::themeName().isEmpty())
        QIcon::setThemeName(QStringLiteral("breeze"));
    CGVPMouseManager::GetMouseManager();
    if (!ShadowsHolder())
        ShadowsHolder() = std::make_unique<CGVPShadowsManager>();
    if (!GetGlobalImageManager())
        SetGlobalImageManager(std::make_unique<CGVPImageManager>());
    CGVPHookManager::Instance();
    if (!SoundHolder())
        SoundHolder() = std::make_unique<CGVPMenuSoundPlayer>();
}

void GVPToolkitExit() {
    AuxDataHolder().reset();
    SoundHolder().reset();
    CGVPHookManager::Release();
    SetGlobalImageManager(nullptr);
    ShadowsHolder().reset();
    CGVPMouseManager::ReleaseThreadManager();
    CGVPPaintManager::ReleaseGlobalPaintManager();
    GetGlobalFonts() = CGVPFonts{};
}

CGVPToolkit::CGVPToolkit() {
    GVPToolkitInit();
}
CGVPToolkit::~CGVPToolkit() {
    GVPToolkitExit();
}
