#include "controls/commandbars/image_manager.h"
#include "controls/commandbars/toolbar_art.h"
#include "tests/controls/commandbars/paint_fixture.h"

#include <QIcon>
#include <QPainter>

using painttest::PaintTest;

namespace {

class ImageManagerTest : public PaintTest {};

// A 16 x 15 picture filled with one colour; `alpha` sets every pixel's alpha.
QImage Solid(QRgb color, int w = 16, int h = 15) {
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(color);
    return image;
}

} // namespace

TEST_F(ImageManagerTest, StripSkipsSeparators) {
    // Five images; ids 1, 0, 2, 0, 3 take images 0, 1, 2.
    QImage strip(5 * 16, 15, QImage::Format_RGB32);
    const QRgb colors[5] = {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(9, 9, 9),
                            qRgb(8, 8, 8)};
    for (int i = 0; i < 5; ++i)
        for (int y = 0; y < 15; ++y)
            for (int x = 0; x < 16; ++x)
                strip.setPixel(i * 16 + x, y, colors[i]);
    strip.setPixel(0, 0, qRgb(192, 192, 192)); // the mask colour: transparent
    CGVPImageManager manager;
    const unsigned ids[5] = {1, 0, 2, 0, 3};
    ASSERT_TRUE(manager.SetIcons(strip, ids, 5, {16, 15}, CGVPImageManager::Normal, false));
    ASSERT_TRUE(manager.GetImage(1, 16) && manager.GetImage(2, 16) && manager.GetImage(3, 16));
    EXPECT_EQ(manager.GetImage(1, 16)->GetIcon().pixel(5, 5), colors[0]);
    EXPECT_EQ(manager.GetImage(2, 16)->GetIcon().pixel(5, 5), colors[1]);
    EXPECT_EQ(manager.GetImage(3, 16)->GetIcon().pixel(5, 5), colors[2]);
    EXPECT_EQ(qAlpha(manager.GetImage(1, 16)->GetIcon().pixel(0, 0)), 0);
    EXPECT_EQ(manager.GetImage(0, 16), nullptr);

    // A strip too short for its ids fails.
    const unsigned more[4] = {1, 2, 3, 4};
    EXPECT_FALSE(manager.SetIcons(strip.copy(0, 0, 48, 15), more, 4, {16, 15}, 0, false));
}

TEST_F(ImageManagerTest, SetIconRules) {
    CGVPImageManager manager;
    EXPECT_FALSE(manager.SetIcon(QImage(), 5));
    EXPECT_FALSE(manager.SetIcon(Solid(0xFF000000), 5, {}, CGVPImageManager::Hot));
    EXPECT_FALSE(manager.SetIcon(Solid(0xFF000000), 5, {}, CGVPImageManager::Disabled));
    ASSERT_TRUE(manager.SetIcon(Solid(0xFF102030), 5));
    CGVPImageManagerIcon* icon = manager.GetImage(5, 16);
    ASSERT_TRUE(icon);
    EXPECT_EQ(icon->GetHotIcon().pixel(1, 1), 0xFF102030u); // no hot image: the normal one
    ASSERT_TRUE(manager.SetIcon(Solid(0xFFAABBCC), 5, {}, CGVPImageManager::Hot));
    EXPECT_EQ(icon->GetHotIcon().pixel(1, 1), 0xFFAABBCCu);
    ASSERT_TRUE(manager.SetIcon(Solid(0xFF445566), 5, {}, CGVPImageManager::Disabled));
    EXPECT_EQ(icon->GetDisabledIcon().pixel(1, 1), 0xFF445566u);
    // A new normal image drops every other one.
    icon->SetNormalIcon(Solid(0xFF000000, 16, 16));
    EXPECT_EQ(icon->GetHotIcon().pixel(1, 1), 0xFF000000u);
    EXPECT_EQ(icon->GetHeight(), 16);
}

TEST_F(ImageManagerTest, ScalesToNearestWidthOnce) {
    CGVPImageManager manager;
    ASSERT_TRUE(manager.SetIcon(Solid(0xFF00FF00), 7));
    ASSERT_TRUE(manager.SetIcon(Solid(0xFF0000FF, 32, 32), 7));
    CGVPImageManagerIcon* scaled = manager.GetImage(7, 24);
    ASSERT_TRUE(scaled);
    // Nearest is 16 (|24-16| = 8 ties with |24-32| = 8; the first met wins).
    EXPECT_TRUE(scaled->IsScaled());
    EXPECT_EQ(scaled->GetWidth(), 24);
    EXPECT_EQ(scaled->GetHeight(), 23); // 15 * 24 / 16 = 22.5, rounded half away from zero
    EXPECT_EQ(scaled->GetIcon().size(), QSize(24, 23));
    EXPECT_EQ(scaled->GetIcon().pixel(12, 12), 0xFF00FF00u);
    EXPECT_EQ(manager.GetImage(7, 24), scaled);
    EXPECT_FALSE(manager.GetImage(7, 16)->IsScaled());

    struct Case {
        int n, num, den, result;
    };
    for (const Case& c : {Case{15, 24, 16, 23}, Case{15, 20, 16, 19}, Case{-15, 24, 16, -23},
                          Case{7, 1, 2, 4}, Case{5, 3, 4, 4}})
        EXPECT_EQ(CGVPImageManager::MulDiv(c.n, c.num, c.den), c.result);
}

TEST_F(ImageManagerTest, DerivedImagesPerPixel) {
    // Opaque white, black, mid grey and a colour; one transparent pixel.
    QImage normal(5, 1, QImage::Format_ARGB32);
    normal.setPixel(0, 0, 0xFFFFFFFF);
    normal.setPixel(1, 0, 0xFF000000);
    normal.setPixel(2, 0, 0xFF808080);
    normal.setPixel(3, 0, 0xFF64C832);
    normal.setPixel(4, 0, 0x00102030);

    const QImage disabled = gvpimage::MakeDisabled(normal, false);
    EXPECT_EQ(disabled.pixel(0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(disabled.pixel(1, 0), 0xFF000000u);
    EXPECT_EQ(disabled.pixel(2, 0), 0xFFB4B4B4u); // 128 -> 180
    EXPECT_EQ(disabled.pixel(4, 0), 0x00102030u); // transparent keeps its colour

    const QImage faded = gvpimage::MakeFaded(normal, false, false);
    EXPECT_EQ(faded.pixel(1, 0), 0xFF4C4C4Cu); // 0 * 0.7 + 76.5 -> 76
    EXPECT_EQ(faded.pixel(3, 0), qRgba(146, 216, 111, 255));
    EXPECT_EQ(faded.pixel(4, 0), 0x00102030u);
    EXPECT_EQ(gvpimage::MakeFaded(normal, false, true), normal); // 256 colours: a plain copy

    // With alpha every pixel counts and keeps its alpha.
    QImage translucent(1, 1, QImage::Format_ARGB32);
    translucent.setPixel(0, 0, qRgba(0, 0, 0, 100));
    EXPECT_EQ(gvpimage::MakeFaded(translucent, true, true).pixel(0, 0), qRgba(76, 76, 76, 100));
    EXPECT_EQ(gvpimage::MakeShadow(translucent, true, 0x204080).pixel(0, 0),
              qRgba(96, 48, 24, 100));
    EXPECT_EQ(gvpimage::MakeShadow(normal, false, 0x204080).pixel(4, 0), 0x00102030u);
}

TEST_F(ImageManagerTest, ShadowFollowsTableAndRefresh) {
    CGVPImageManager manager;
    ASSERT_TRUE(manager.SetIcon(Solid(0xFF000000), 9, {}, 0, false));
    CGVPImageManagerIcon* icon = manager.GetImage(9, 16);
    const COLORREF c31 = GetSystemColorTable().GetColor(31);
    EXPECT_EQ(icon->GetShadowIcon().pixel(3, 3),
              qRgb(gvpcolor::GetR(c31) * 3 / 4, gvpcolor::GetG(c31) * 3 / 4,
                   gvpcolor::GetB(c31) * 3 / 4));
    GetSystemColorTable().SetColor(31, 0xFFFFFF);
    EXPECT_NE(icon->GetShadowIcon().pixel(3, 3), qRgb(191, 191, 191)); // kept until refreshed
    manager.RefreshAll();
    EXPECT_EQ(icon->GetShadowIcon().pixel(3, 3), qRgb(191, 191, 191));
    GetSystemColorTable().Refresh(false);
}

TEST_F(ImageManagerTest, ThemeIconsRenderOrAreSkipped) {
    CGVPImageManager manager;
    ASSERT_TRUE(manager.SetIconsFromTheme(
        {1, 0, 2},
        {QStringLiteral("document-save"), QString(), QStringLiteral("no-such-icon-anywhere")},
        {16, 16}));
    EXPECT_EQ(manager.GetImage(2, 16), nullptr);
    if (QIcon::fromTheme(QStringLiteral("document-save")).isNull())
        GTEST_SKIP() << "no icon theme installed";
    CGVPImageManagerIcon* icon = manager.GetImage(1, 16);
    ASSERT_TRUE(icon);
    EXPECT_TRUE(icon->IsAlpha());
    int opaque = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            opaque += qAlpha(icon->GetIcon().pixel(x, y)) > 0;
    EXPECT_GT(opaque, 20);
}

// On a scaled desktop (ratio 1.5) a theme icon is rendered at the screen's density, not
// rendered at 16 pixels and blown up: its picture has 24 x 24 device pixels, the same pixels
// the theme gives for that size, and every derived form keeps the ratio, so all are drawn at
// the logical 16 x 16.
TEST_F(ImageManagerTest, ThemeIconsRenderAtTheDevicePixelRatio) {
    const QString name = QStringLiteral("document-save");
    if (QIcon::fromTheme(name).isNull())
        GTEST_SKIP() << "no icon theme installed";
    CGVPImageManager manager;
    ASSERT_TRUE(manager.SetIconsFromTheme({7}, {name}, {16, 16}, 1.5));
    CGVPImageManagerIcon* icon = manager.GetImage(7, 16);
    ASSERT_TRUE(icon);
    EXPECT_EQ(icon->GetHeight(), 16);

    const QImage sharp = QIcon::fromTheme(name).pixmap(QSize(16, 16), 1.5).toImage();
    ASSERT_EQ(sharp.size(), QSize(24, 24));
    EXPECT_EQ(icon->GetIcon().convertToFormat(QImage::Format_ARGB32_Premultiplied),
              sharp.convertToFormat(QImage::Format_ARGB32_Premultiplied));

    struct Form {
        const char* what;
        QImage image;
    };
    const Form forms[] = {
        {"normal", icon->GetIcon()},
        {"hot", icon->GetHotIcon()},
        {"disabled", icon->GetDisabledIcon()},
        {"faded", icon->GetFadedIcon()},
        {"shadow", icon->GetShadowIcon()},
        {"silhouette", gvpimage::Silhouette(icon->GetIcon(), Qt::black)},
    };
    for (const Form& form : forms) {
        EXPECT_EQ(form.image.devicePixelRatio(), 1.5) << form.what;
        EXPECT_EQ(form.image.size(), QSize(24, 24)) << form.what;
        EXPECT_EQ(form.image.deviceIndependentSize(), QSizeF(16, 16)) << form.what;
    }

    // Another width is rendered afresh from the theme's icon and stays dense.
    CGVPImageManagerIcon* large = manager.GetImage(7, 24);
    ASSERT_TRUE(large && large != icon);
    EXPECT_EQ(large->GetHeight(), 24);
    EXPECT_EQ(large->GetIcon().devicePixelRatio(), 1.5);
    EXPECT_EQ(large->GetIcon().size(), QSize(36, 36));
    EXPECT_EQ(large->GetDisabledIcon().devicePixelRatio(), 1.5);

    // Drawn as the themes draw it, it covers 16 x 16 logical pixels of a 1.5 surface: 24 x 24.
    QImage surface(60, 60, QImage::Format_ARGB32);
    surface.setDevicePixelRatio(1.5);
    surface.fill(Qt::transparent);
    {
        QPainter p(&surface);
        p.drawImage(QPoint(10, 10), icon->GetFadedIcon());
    }
    QRect covered;
    for (int y = 0; y < surface.height(); ++y)
        for (int x = 0; x < surface.width(); ++x)
            if (qAlpha(surface.pixel(x, y)))
                covered |= QRect(x, y, 1, 1);
    EXPECT_TRUE(QRect(15, 15, 24, 24).contains(covered))
        << covered.x() << "," << covered.y() << " " << covered.width() << "x" << covered.height();
    EXPECT_GT(covered.width(), 16);
}

// The program's own toolbar drawings are scalable sources: on a 1.5 screen the picture is the
// drawing rendered at 24 x 24 device pixels, not the 16-pixel picture enlarged; another width or
// another screen's ratio is rendered again from the drawing.
TEST_F(ImageManagerTest, ToolbarArtIsRenderedAtEachRatioNotResampled) {
    const QString name = QStringLiteral("document-save");
    const QImage one = gvpart::RenderToolbarArt(name, {16, 16}, 1);
    if (one.isNull())
        GTEST_SKIP() << "no SVG image plugin";
    CGVPImageManager manager;
    ASSERT_TRUE(manager.SetIconsFromArt({7, 0, 8}, {name, QString(), QStringLiteral("no-such-art")},
                                        {16, 16}, 1.5));
    const auto same = [](const QImage& a, const QImage& b) {
        return a.convertToFormat(QImage::Format_ARGB32_Premultiplied) ==
               b.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    };
    const QImage enlarged = one.scaled(24, 24, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const struct {
        int width;
        qreal ratio; // asked; 0: as set
        QSize pixels;
    } cases[] = {
        {16, 0, {24, 24}}, {16, 1.5, {24, 24}}, {16, 2, {32, 32}},
        {16, 1, {16, 16}}, {24, 0, {36, 36}},
    };
    for (const auto& c : cases) {
        CGVPImageManagerIcon* icon = manager.GetImage(7, c.width, c.ratio);
        ASSERT_TRUE(icon) << c.width << " " << c.ratio;
        const qreal ratio = c.ratio > 0 ? c.ratio : 1.5;
        EXPECT_EQ(icon->GetIcon().size(), c.pixels) << c.width << " " << c.ratio;
        EXPECT_EQ(icon->GetIcon().devicePixelRatio(), ratio);
        EXPECT_EQ(icon->GetHeight(), c.width);
        EXPECT_TRUE(
            same(icon->GetIcon(), gvpart::RenderToolbarArt(name, {c.width, c.width}, ratio)))
            << c.width << " " << c.ratio;
        EXPECT_EQ(icon->GetDisabledIcon().devicePixelRatio(), ratio);
    }
    EXPECT_FALSE(same(manager.GetImage(7, 16)->GetIcon(), enlarged)) << "rendered, not enlarged";
    EXPECT_EQ(manager.GetImage(7, 16, 2), manager.GetImage(7, 16, 2)) << "rendered once";
}

// Every drawing renders, with something on it and something around it.
TEST_F(ImageManagerTest, EveryToolbarDrawingRenders) {
    if (gvpart::RenderToolbarArt(QStringLiteral("document-new"), {16, 16}, 1).isNull())
        GTEST_SKIP() << "no SVG image plugin";
    for (const char* name :
         {"document-new",  "document-open",     "document-save",        "edit-cut",
          "edit-copy",     "edit-paste",        "document-print",       "document-print-preview",
          "help-contents", "help-whatsthis",    "media-playback-start", "media-skip-backward",
          "zoom-fit-best", "view-list-details", "run-build-install",    "view-calendar-timeline",
          "zoom-in",       "zoom-out",          "go-previous",          "go-next",
          "chronometer"}) {
        EXPECT_TRUE(gvpart::HasToolbarArt(QString::fromLatin1(name))) << name;
        const QImage picture = gvpart::RenderToolbarArt(QString::fromLatin1(name), {16, 16}, 1.5);
        ASSERT_EQ(picture.size(), QSize(24, 24)) << name;
        int opaque = 0;
        for (int y = 0; y < 24; ++y)
            for (int x = 0; x < 24; ++x)
                opaque += qAlpha(picture.pixel(x, y)) == 255;
        EXPECT_GT(opaque, 20) << name;
        EXPECT_LT(opaque, 24 * 24) << name;
    }
}

// A picture given at ratio 1 stays as it was: the ratio only follows what it is given.
TEST_F(ImageManagerTest, PlainPicturesKeepRatioOne) {
    CGVPImageManager manager;
    ASSERT_TRUE(manager.SetIcon(Solid(0xFF102030), 3, {}, CGVPImageManager::Normal, true));
    CGVPImageManagerIcon* icon = manager.GetImage(3, 16);
    ASSERT_TRUE(icon);
    EXPECT_EQ(icon->GetHeight(), 15);
    EXPECT_EQ(icon->GetFadedIcon().devicePixelRatio(), 1.0);
    EXPECT_EQ(icon->GetFadedIcon().size(), QSize(16, 15));
    CGVPImageManagerIcon* large = manager.GetImage(3, 32);
    ASSERT_TRUE(large);
    EXPECT_EQ(large->GetIcon().size(), QSize(32, 30));
    EXPECT_EQ(large->GetHeight(), 30);
}
