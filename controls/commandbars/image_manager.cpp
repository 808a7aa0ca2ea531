#include "controls/commandbars/image_manager.h"

#include "controls/commandbars/draw_utils.h"
#include "controls/commandbars/process_slot.h"
#include "controls/commandbars/toolbar_art.h"

#include <QGuiApplication>
#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <cmath>
#include <cstdlib>

namespace gvpimage {

QImage ToArgb(const QImage& image) {
    QImage out = image.format() == QImage::Format_ARGB32
                     ? image
                     : image.convertToFormat(QImage::Format_ARGB32);
    // A picture rendered for a high-density screen keeps its ratio through every derived form,
    // so that it is drawn at its logical size.
    out.setDevicePixelRatio(image.devicePixelRatio());
    return out;
}

namespace {

// Applies `f` to every pixel that counts: all of them with alpha, the opaque ones without.
template <typename F> QImage PerPixel(const QImage& normal, bool alpha, F f) {
    QImage out = ToArgb(normal).copy();
    out.setDevicePixelRatio(normal.devicePixelRatio());
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            const QRgb p = line[x];
            if (!alpha && qAlpha(p) != 255)
                continue;
            line[x] = f(p);
        }
    }
    return out;
}

} // namespace

QImage MakeFaded(const QImage& normal, bool alpha, bool lowColor) {
    if (!alpha && lowColor)
        return ToArgb(normal).copy();
    auto fade = [](int c) { return static_cast<int>(c * 0.7 + 76.5); };
    return PerPixel(normal, alpha, [&](QRgb p) {
        return qRgba(fade(qRed(p)), fade(qGreen(p)), fade(qBlue(p)), qAlpha(p));
    });
}

QImage MakeShadow(const QImage& normal, bool alpha, COLORREF shadowColor) {
    const int r = static_cast<int>(gvpcolor::GetR(shadowColor) * 0.75);
    const int g = static_cast<int>(gvpcolor::GetG(shadowColor) * 0.75);
    const int b = static_cast<int>(gvpcolor::GetB(shadowColor) * 0.75);
    return PerPixel(normal, alpha, [&](QRgb p) { return qRgba(r, g, b, qAlpha(p)); });
}

QImage MakeDisabled(const QImage& normal, bool alpha) {
    return PerPixel(normal, alpha, [](QRgb p) {
        // Weights in thousandths keep white exactly white.
        const double lum = (299.0 * qRed(p) + 587.0 * qGreen(p) + 114.0 * qBlue(p)) / 1000.0;
        const int g = static_cast<int>(255.0 * std::sqrt(lum / 255.0));
        return qRgba(g, g, g, qAlpha(p));
    });
}

QImage Silhouette(const QImage& image, const QColor& color) {
    QImage out = ToArgb(image).copy();
    out.setDevicePixelRatio(image.devicePixelRatio());
    const QRgb c = color.rgb() & 0x00FFFFFFu;
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x)
            line[x] = qAlpha(line[x]) ? (c | (static_cast<QRgb>(qAlpha(line[x])) << 24)) : 0u;
    }
    return out;
}

QImage MaskToAlpha(const QImage& bitmap, COLORREF maskColor) {
    QImage out = ToArgb(bitmap);
    const QRgb mask =
        qRgb(gvpcolor::GetR(maskColor), gvpcolor::GetG(maskColor), gvpcolor::GetB(maskColor));
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x)
            line[x] = (line[x] | 0xFF000000u) == mask ? 0u : (line[x] | 0xFF000000u);
    }
    return out;
}

} // namespace gvpimage

namespace {

QSize PixelSize(QSize logical, qreal ratio) {
    return QSize(std::max(1, qRound(logical.width() * ratio)),
                 std::max(1, qRound(logical.height() * ratio)));
}

int LogicalHeight(const QImage& image) {
    return qRound(image.height() / image.devicePixelRatio());
}

} // namespace

CGVPImageManagerIcon::CGVPImageManagerIcon(unsigned id, int width) : m_id(id), m_width(width) {}

const QImage& CGVPImageManagerIcon::GetHotIcon() const {
    return m_hot.isNull() ? m_normal : m_hot;
}

const QImage& CGVPImageManagerIcon::GetDisabledIcon() {
    if (!m_disabled.isNull())
        return m_disabled;
    if (m_derivedDisabled.isNull() && !m_normal.isNull())
        m_derivedDisabled = gvpimage::MakeDisabled(m_normal, m_alpha);
    return m_derivedDisabled;
}

const QImage& CGVPImageManagerIcon::GetFadedIcon() {
    if (m_faded.isNull() && !m_normal.isNull())
        m_faded = gvpimage::MakeFaded(m_normal, m_alpha, IsLowColor());
    return m_faded;
}

const QImage& CGVPImageManagerIcon::GetShadowIcon() {
    if (m_shadow.isNull() && !m_normal.isNull())
        m_shadow = gvpimage::MakeShadow(m_normal, m_alpha, GetSystemColorTable().GetColor(31));
    return m_shadow;
}

void CGVPImageManagerIcon::SetNormalIcon(const QImage& icon) {
    m_normal = gvpimage::ToArgb(icon);
    m_faded = m_shadow = m_hot = m_disabled = m_derivedDisabled = QImage();
    m_height = LogicalHeight(m_normal);
    m_scaled = false;
}

void CGVPImageManagerIcon::SetHotIcon(const QImage& icon) {
    m_hot = gvpimage::ToArgb(icon);
}

void CGVPImageManagerIcon::SetDisabledIcon(const QImage& icon) {
    m_disabled = gvpimage::ToArgb(icon);
    m_derivedDisabled = QImage();
}

void CGVPImageManagerIcon::Refresh() {
    m_faded = m_shadow = m_hot = m_disabled = m_derivedDisabled = QImage();
}

std::unique_ptr<CGVPImageManagerIcon> CGVPImageManagerIcon::Scale(int width) const {
    if (m_normal.isNull() || m_width <= 0 || width <= 0)
        return nullptr;
    const int height = CGVPImageManager::MulDiv(m_height, width, m_width);
    auto resample = [&](const QImage& image) {
        if (image.isNull())
            return QImage();
        const qreal ratio = image.devicePixelRatio();
        QImage out = image.scaled(PixelSize(QSize(width, std::max(height, 1)), ratio),
                                  Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        out.setDevicePixelRatio(ratio);
        return out;
    };
    auto icon = std::make_unique<CGVPImageManagerIcon>(m_id, width);
    icon->SetNormalIcon(resample(m_normal));
    if (!m_disabled.isNull())
        icon->SetDisabledIcon(resample(m_disabled));
    if (!m_hot.isNull())
        icon->SetHotIcon(resample(m_hot));
    icon->m_height = height;
    icon->m_alpha = m_alpha;
    icon->m_scaled = true;
    return icon;
}

CGVPImageManager::CGVPImageManager() = default;
CGVPImageManager::~CGVPImageManager() {
    RemoveAll();
}

int CGVPImageManager::MulDiv(int number, int numerator, int denominator) {
    if (denominator == 0)
        return -1;
    long long p = static_cast<long long>(number) * numerator;
    long long d = denominator;
    if (d < 0) {
        p = -p;
        d = -d;
    }
    const long long q = (std::llabs(p) + d / 2) / d;
    return static_cast<int>(p < 0 ? -q : q);
}

bool CGVPImageManager::SetIcon(const QImage& icon, unsigned id, QSize size, int kind, bool alpha) {
    if (icon.isNull())
        return false;
    // Sizes are logical; a picture with a device pixel ratio keeps its density.
    const qreal ratio = icon.devicePixelRatio();
    if (size.isEmpty())
        size = icon.deviceIndependentSize().toSize();
    if (size.isEmpty())
        return false;
    QImage picture = icon;
    if (!alpha && !picture.hasAlphaChannel())
        picture = gvpimage::MaskToAlpha(picture, kMaskColor);
    if (picture.size() != PixelSize(size, ratio)) {
        picture =
            picture.scaled(PixelSize(size, ratio), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        picture.setDevicePixelRatio(ratio);
    }

    auto found = m_sets.find(id);
    if (found == m_sets.end()) {
        if (kind != Normal)
            return false;
        found = m_sets.emplace(id, IconSet{}).first;
    }
    auto& slot = found->second.icons[size.width()];
    if (!slot)
        slot = std::make_unique<CGVPImageManagerIcon>(id, size.width());
    switch (kind) {
    case Normal:
        // A picture given outright replaces what a source rendered.
        found->second.source = nullptr;
        found->second.rendered.clear();
        slot->SetNormalIcon(picture);
        slot->SetAlpha(alpha);
        break;
    case Disabled:
        slot->SetDisabledIcon(picture);
        break;
    case Hot:
        slot->SetHotIcon(picture);
        break;
    default:
        return false;
    }
    return true;
}

bool CGVPImageManager::SetIcons(const QImage& bitmap, const unsigned* ids, int count, QSize size,
                                int kind, bool alpha) {
    if (bitmap.isNull() || size.isEmpty())
        return false;
    const QImage strip = alpha ? bitmap.convertToFormat(QImage::Format_ARGB32)
                               : gvpimage::MaskToAlpha(bitmap, kMaskColor);
    int image = 0;
    for (int i = 0; i < count; ++i) {
        if (ids[i] == 0)
            continue;
        const int x = image * size.width();
        if (x + size.width() > strip.width() || size.height() > strip.height())
            return false;
        SetIcon(strip.copy(x, 0, size.width(), size.height()), ids[i], size, kind, alpha);
        ++image;
    }
    return true;
}

bool CGVPImageManager::SetIcons(const QString& resource, const unsigned* ids, int count, QSize size,
                                int kind) {
    const QImage bitmap(resource);
    if (bitmap.isNull())
        return false;
    return SetIcons(bitmap, ids, count, size, kind, bitmap.hasAlphaChannel());
}

namespace {

qreal RatioOrApplications(qreal ratio) {
    if (ratio > 0)
        return ratio;
    return qGuiApp ? qGuiApp->devicePixelRatio() : 1.0;
}

// A theme icon rendered at the size and density asked; a theme may answer a smaller picture
// than asked: it is centred, placed pixel for pixel without resampling.
QImage RenderThemeIcon(const QIcon& icon, QSize size, qreal ratio) {
    const QPixmap pixmap = icon.pixmap(size, ratio);
    if (pixmap.isNull())
        return {};
    QImage picture(PixelSize(size, ratio), QImage::Format_ARGB32);
    picture.fill(Qt::transparent);
    {
        QImage rendered = pixmap.toImage();
        rendered.setDevicePixelRatio(1);
        const QSize pixels = rendered.size().boundedTo(picture.size());
        QPainter p(&picture);
        p.drawImage(QPoint((picture.width() - pixels.width()) / 2,
                           (picture.height() - pixels.height()) / 2),
                    rendered, QRect(QPoint(0, 0), pixels));
    }
    picture.setDevicePixelRatio(ratio);
    return picture;
}

} // namespace

bool CGVPImageManager::SetIconSource(unsigned id, IconSource source, QSize size, qreal ratio) {
    if (!source || size.isEmpty())
        return false;
    ratio = RatioOrApplications(ratio);
    const QImage picture = source(size, ratio);
    if (picture.isNull() || !SetIcon(picture, id, size, Normal, true))
        return false;
    IconSet& set = m_sets[id];
    set.source = std::move(source);
    set.sourceSize = size;
    set.sourceRatio = ratio;
    return true;
}

bool CGVPImageManager::SetIconsFromTheme(const std::vector<unsigned>& ids,
                                         const std::vector<QString>& names, QSize size,
                                         qreal ratio) {
    if (size.isEmpty())
        return false;
    for (std::size_t i = 0; i < ids.size() && i < names.size(); ++i) {
        if (ids[i] == 0 || names[i].isEmpty())
            continue;
        const QIcon icon = QIcon::fromTheme(names[i]);
        if (icon.isNull())
            continue;
        SetIconSource(
            ids[i], [icon](QSize logical, qreal r) { return RenderThemeIcon(icon, logical, r); },
            size, ratio);
    }
    return true;
}

bool CGVPImageManager::SetIconsFromArt(const std::vector<unsigned>& ids,
                                       const std::vector<QString>& names, QSize size, qreal ratio) {
    if (size.isEmpty())
        return false;
    std::vector<unsigned> themeIds;
    std::vector<QString> themeNames;
    for (std::size_t i = 0; i < ids.size() && i < names.size(); ++i) {
        if (ids[i] == 0 || names[i].isEmpty())
            continue;
        const QString name = names[i];
        if (!gvpart::HasToolbarArt(name) || !SetIconSource(
                                                ids[i],
                                                [name](QSize logical, qreal r) {
                                                    return gvpart::RenderToolbarArt(name, logical,
                                                                                    r);
                                                },
                                                size, ratio)) {
            themeIds.push_back(ids[i]);
            themeNames.push_back(name);
        }
    }
    return SetIconsFromTheme(themeIds, themeNames, size, ratio);
}

CGVPImageManagerIcon* CGVPImageManager::GetImage(unsigned id, int width, qreal ratio) {
    auto found = m_sets.find(id);
    if (found == m_sets.end())
        return nullptr;
    IconSet& set = found->second;
    if (set.source && width > 0) {
        if (ratio <= 0)
            ratio = set.sourceRatio;
        if (width == set.sourceSize.width() && qFuzzyCompare(ratio, set.sourceRatio)) {
            if (auto base = set.icons.find(width); base != set.icons.end())
                return base->second.get();
        }
        const std::pair<int, int> key(width, qRound(ratio * 1000));
        if (auto done = set.rendered.find(key); done != set.rendered.end())
            return done->second.get();
        const int height = MulDiv(set.sourceSize.height(), width, set.sourceSize.width());
        const QImage picture = set.source(QSize(width, std::max(height, 1)), ratio);
        if (!picture.isNull()) {
            auto icon = std::make_unique<CGVPImageManagerIcon>(id, width);
            icon->SetNormalIcon(picture);
            icon->SetAlpha(true);
            CGVPImageManagerIcon* result = icon.get();
            set.rendered[key] = std::move(icon);
            return result;
        }
    }
    auto& icons = set.icons;
    if (auto exact = icons.find(width); exact != icons.end())
        return exact->second.get();
    CGVPImageManagerIcon* nearest = nullptr;
    int best = 0;
    for (auto& [w, icon] : icons) {
        const int diff = std::abs(w - width);
        if (!nearest || diff < best) {
            nearest = icon.get();
            best = diff;
        }
    }
    if (!nearest || !nearest->HasNormalIcon())
        return nearest;
    auto scaled = nearest->Scale(width);
    if (!scaled)
        return nearest;
    CGVPImageManagerIcon* result = scaled.get();
    icons[width] = std::move(scaled);
    return result;
}

void CGVPImageManager::RefreshAll() {
    for (auto& [id, set] : m_sets) {
        for (auto& [w, icon] : set.icons)
            icon->Refresh();
        for (auto& [key, icon] : set.rendered)
            icon->Refresh();
    }
}

void CGVPImageManager::RemoveAll() {
    m_sets.clear();
}

namespace {
GVPProcessSlot<CGVPImageManager>& ImageManagerHolder() {
    static GVPProcessSlot<CGVPImageManager> manager;
    return manager;
}
} // namespace

CGVPImageManager* GetGlobalImageManager() {
    return ImageManagerHolder().get();
}

void SetGlobalImageManager(std::unique_ptr<CGVPImageManager> manager) {
    ImageManagerHolder() = std::move(manager);
}
