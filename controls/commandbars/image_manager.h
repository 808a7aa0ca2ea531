// Images of commands, by command id and width, with the faded, shadow and disabled forms the
// themes draw, derived from the normal image on first use. Pictures are 32-bit ARGB without
// premultiplication; an icon without an alpha channel has only fully opaque and fully
// transparent pixels.
#pragma once

#include "controls/commandbars/colors.h"

#include <QColor>
#include <QImage>
#include <QSize>
#include <QString>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

class CGVPImageManagerIcon {
public:
    CGVPImageManagerIcon(unsigned id, int width);

    unsigned GetID() const { return m_id; }
    int GetWidth() const { return m_width; }
    int GetHeight() const { return m_height; }
    bool IsAlpha() const { return m_alpha; }
    bool IsScaled() const { return m_scaled; }
    void SetAlpha(bool alpha) { m_alpha = alpha; }
    bool HasNormalIcon() const { return !m_normal.isNull(); }

    const QImage& GetIcon() const { return m_normal; }
    const QImage& GetHotIcon() const;
    const QImage& GetDisabledIcon();
    const QImage& GetFadedIcon();
    const QImage& GetShadowIcon();

    // Drops every picture (the normal one included), keeps a copy of `icon`.
    void SetNormalIcon(const QImage& icon);
    void SetHotIcon(const QImage& icon);
    void SetDisabledIcon(const QImage& icon);
    // Drops all pictures but the normal one.
    void Refresh();
    // A new icon of that width, resampled; none without a normal picture.
    std::unique_ptr<CGVPImageManagerIcon> Scale(int width) const;

private:
    unsigned m_id;
    int m_width;
    int m_height = 15;
    QImage m_normal;
    QImage m_faded;
    QImage m_shadow;
    QImage m_hot;
    QImage m_disabled;
    QImage m_derivedDisabled;
    bool m_alpha = false;
    bool m_scaled = false;
};

namespace gvpimage {
// The picture as 32-bit ARGB, its device pixel ratio kept.
QImage ToArgb(const QImage& image);
// The derived pictures, computed per pixel; each keeps the normal picture's device pixel ratio.
// `alpha` tells whether every pixel counts or only the opaque ones.
QImage MakeFaded(const QImage& normal, bool alpha, bool lowColor);
QImage MakeShadow(const QImage& normal, bool alpha, COLORREF shadowColor);
QImage MakeDisabled(const QImage& normal, bool alpha);
// The picture's shape in one colour, its alpha kept.
QImage Silhouette(const QImage& image, const QColor& color);
// An opaque-only picture from a bitmap whose pixels of `maskColor` are transparent.
QImage MaskToAlpha(const QImage& bitmap, COLORREF maskColor);
} // namespace gvpimage

class CGVPImageManager {
public:
    static constexpr COLORREF kMaskColor = 0xC0C0C0;
    enum Kind { Normal = 0, Disabled = 1, Hot = 2 };

    CGVPImageManager();
    ~CGVPImageManager();
    CGVPImageManager(const CGVPImageManager&) = delete;
    CGVPImageManager& operator=(const CGVPImageManager&) = delete;

    // A size of 0 x 0 takes the icon's own size.
    bool SetIcon(const QImage& icon, unsigned id, QSize size = {}, int kind = Normal,
                 bool alpha = true);
    // A strip of images side by side; id 0 (a separator) takes no image.
    bool SetIcons(const QImage& bitmap, const unsigned* ids, int count, QSize size, int kind,
                  bool alpha);
    // A bitmap file or Qt resource; alpha when it carries an alpha channel.
    bool SetIcons(const QString& resource, const unsigned* ids, int count, QSize size, int kind);
    // Renders a picture at a logical size and device pixel ratio.
    using IconSource = std::function<QImage(QSize logical, qreal ratio)>;
    // Keeps a scalable source for the id: rendered now at `size` and `ratio` (0: the
    // application's), and again for every other width or ratio asked of it, never resampled.
    // False (nothing kept) when it renders nothing.
    bool SetIconSource(unsigned id, IconSource source, QSize size, qreal ratio = 0);
    // Each id's freedesktop theme icon as its source. An icon no installed theme has is
    // skipped (the control shows its caption); an id of 0 or an empty name takes none.
    bool SetIconsFromTheme(const std::vector<unsigned>& ids, const std::vector<QString>& names,
                           QSize size, qreal ratio = 0);
    // The program's own drawings of those names as their sources; a name it has no drawing of
    // comes from the theme, as above.
    bool SetIconsFromArt(const std::vector<unsigned>& ids, const std::vector<QString>& names,
                         QSize size, qreal ratio = 0);

    // The picture of that width; `ratio` is the device pixel ratio it is drawn at (0: the one
    // it was set at). An id with a source is rendered for them; otherwise the nearest width is
    // resampled.
    CGVPImageManagerIcon* GetImage(unsigned id, int width, qreal ratio = 0);
    void RefreshAll();
    void RemoveAll();

    // A height scaled as an integer multiply-divide rounds: half away from zero.
    static int MulDiv(int number, int numerator, int denominator);

private:
    struct IconSet {
        std::map<int, std::unique_ptr<CGVPImageManagerIcon>> icons;
        IconSource source;
        QSize sourceSize;
        qreal sourceRatio = 1;
        // Renderings of the source by width and ratio (in thousandths).
        std::map<std::pair<int, int>, std::unique_ptr<CGVPImageManagerIcon>> rendered;
    };
    std::map<unsigned, IconSet> m_sets;
};

// The process-wide image manager (exists between toolkit start-up and exit).
CGVPImageManager* GetGlobalImageManager();
void SetGlobalImageManager(std::unique_ptr<CGVPImageManager> manager);
