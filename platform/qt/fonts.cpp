#include "platform/qt/fonts.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <algorithm>
#include <cmath>

namespace platform::qt {

namespace {

struct FaceMapping {
    const char* face;
    const char* family;
};

constexpr FaceMapping kFaces[] = {
    {"Arial", "Liberation Sans"},
    {"MS Sans Serif", "Liberation Sans"},
    {"Microsoft Sans Serif", "Liberation Sans"},
    {"MS Shell Dlg", "Liberation Sans"},
    {"MS Shell Dlg 2", "Liberation Sans"},
    {"Tahoma", "DejaVu Sans"},
    {"Verdana", "DejaVu Sans"},
    {"Courier", "Liberation Mono"},
    {"Courier New", "Liberation Mono"},
    {"Times New Roman", "Liberation Serif"},
};

int CellHeight(const QString& family, int pixelSize) {
    QFont font(family);
    font.setPixelSize(pixelSize);
    const QFontMetrics fm(font);
    return fm.ascent() + fm.descent();
}

} // namespace

QString MapFontFace(const QString& face) {
    const QString trimmed = face.trimmed();
    for (const FaceMapping& m : kFaces)
        if (trimmed.compare(QLatin1String(m.face), Qt::CaseInsensitive) == 0)
            return QString::fromLatin1(m.family);
    return face;
}

int LogFontHeightToPixelSize(int height, const QString& family) {
    if (height < 0)
        return -height;
    if (height == 0)
        return std::max(QFontInfo(QGuiApplication::font()).pixelSize(), 1);
    // Estimate from a large size, then settle on the largest size whose cell fits.
    constexpr int kReference = 100;
    const int referenceCell = std::max(CellHeight(family, kReference), 1);
    int size =
        std::max(1, static_cast<int>(std::lround(double(height) * kReference / referenceCell)));
    while (size > 1 && CellHeight(family, size) > height)
        --size;
    while (size < height * 4 && CellHeight(family, size + 1) <= height)
        ++size;
    return size;
}

QFont FontFromLogFont(const LogFont& logFont) {
    const QString family = MapFontFace(logFont.faceName);
    QFont font(family);
    font.setPixelSize(LogFontHeightToPixelSize(logFont.height, family));
    const int weight = logFont.weight <= 0 ? 400 : std::clamp(logFont.weight, 1, 1000);
    font.setWeight(static_cast<QFont::Weight>(weight));
    font.setItalic(logFont.italic);
    font.setUnderline(logFont.underline);
    font.setStrikeOut(logFont.strikeOut);
    return font;
}

LogFont LogFontFromQFont(const QFont& font) {
    LogFont lf;
    const QFontInfo info(font);
    lf.height = -info.pixelSize();
    lf.weight = static_cast<int>(font.weight());
    lf.italic = font.italic();
    lf.underline = font.underline();
    lf.strikeOut = font.strikeOut();
    lf.faceName = font.family();
    return lf;
}

} // namespace platform::qt
