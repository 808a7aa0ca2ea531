// The toolkit's colour table: system colours blended into the colours of bars, menus and
// highlights, each checked for legibility against its background, and the colour formulas
// behind it. Colours are 0x00BBGGRR values; an index up to 55 names a table entry and any larger
// value is a colour of its own.
#pragma once

#include "platform/qt/colors.h"

#include <array>
#include <cstdint>
#include <functional>

using COLORREF = platform::qt::COLORREF;

namespace gvpcolor {

constexpr int GetR(COLORREF c) {
    return static_cast<int>(c & 0xFF);
}
constexpr int GetG(COLORREF c) {
    return static_cast<int>((c >> 8) & 0xFF);
}
constexpr int GetB(COLORREF c) {
    return static_cast<int>((c >> 16) & 0xFF);
}
constexpr COLORREF Rgb(int r, int g, int b) {
    return static_cast<COLORREF>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}

// Per channel (a*w + b*(d-w) + d/2) / d; w below 100 is per cent, else per mille.
COLORREF Mix(COLORREF a, COLORREF b, int w);
double ColorDistance(COLORREF a, COLORREF b);
double Brightness(COLORREF c);
bool HasContrast(COLORREF background, COLORREF color, int threshold);
// Moves `color` away from `background` along its own hue until the two are `threshold` apart.
COLORREF IncreaseContrast(COLORREF background, COLORREF color, int threshold);
// Pulls `color` towards `background` until the two are `threshold` apart.
COLORREF ReduceContrast(COLORREF background, COLORREF color, int threshold);
// Each channel a*weight + b*(1-weight), truncated and limited to 255.
COLORREF BlendColors(COLORREF a, COLORREF b, double weight);

} // namespace gvpcolor

// Where the table reads the system from; tests replace it for a fixed palette or depth.
struct GVPColorSource {
    // System colour by its classic index (1 to 30).
    std::function<COLORREF(int index)> sysColor;
    // Bits per pixel of the screen.
    std::function<int()> depth;
    // The visual-style colour scheme: 0 none, 1 blue, 2 olive green, 3 silver.
    std::function<int()> systemTheme;
};

class CGVPSystemColorTable {
public:
    static constexpr int kEntries = 56;

    CGVPSystemColorTable();

    // An index above 55 is a colour and is returned unchanged.
    COLORREF GetColor(COLORREF index) const;
    void SetColor(int index, COLORREF color);
    void SetColors(int count, const int* indices, const COLORREF* colors);
    void Refresh(bool onlyIfNeeded = false);

    COLORREF GetSchemeColor(int n) const { return m_scheme[static_cast<std::size_t>(n)]; }
    bool IsRefreshed() const { return m_refreshed; }
    bool GetPlainColors() const { return m_plainColors; }
    void SetPlainColors(bool plain) { m_plainColors = plain; }

    // Replaces what the table reads of the system; empty members keep the default source.
    void SetSource(GVPColorSource source);
    COLORREF SysColor(int index) const;
    int ScreenDepth() const;
    int SystemTheme() const;

private:
    std::array<COLORREF, 6> m_scheme{};
    std::array<COLORREF, kEntries> m_colors{};
    bool m_refreshed = false;
    bool m_plainColors = false;
    GVPColorSource m_source;
};

// The process-wide table.
CGVPSystemColorTable& GetSystemColorTable();
// Table index or colour value to a colour for painting.
QColor GetQColor(COLORREF indexOrColor);
// A plain colour value (no table lookup) and back.
inline QColor RefToQColor(COLORREF color) {
    return platform::qt::ToQColor(color);
}
inline COLORREF QColorToRef(const QColor& color) {
    return platform::qt::ToColorRef(color);
}
