#include "controls/commandbars/colors.h"

#include "controls/commandbars/colors_system.h"
#include "controls/commandbars/draw_utils.h"

#include <QColor>
#include <algorithm>
#include <cmath>

namespace gvpcolor {
namespace {

constexpr double kRange[3] = {195.0, 390.0, 65.0};

struct Scaled {
    double v[3];
};

Scaled Scale(COLORREF c) {
    return {
        {GetR(c) * kRange[0] / 255.0, GetG(c) * kRange[1] / 255.0, GetB(c) * kRange[2] / 255.0}};
}

double Length(const Scaled& s) {
    return std::sqrt(s.v[0] * s.v[0] + s.v[1] * s.v[1] + s.v[2] * s.v[2]);
}

COLORREF Unscale(Scaled s) {
    int ch[3];
    for (int i = 0; i < 3; ++i) {
        const double v = std::clamp(s.v[i], 0.0, kRange[i]);
        ch[i] = std::clamp(static_cast<int>(v * 255.0 / kRange[i] + 0.5), 0, 255);
    }
    return Rgb(ch[0], ch[1], ch[2]);
}

// The distance a colour needs from `background`: up to twice `threshold` on dark backgrounds.
double ScaledThreshold(COLORREF background, int threshold) {
    const double brightness = std::trunc(Brightness(background));
    return (2.0 - std::min(brightness, 220.0) / 220.0) * threshold;
}

} // namespace

COLORREF Mix(COLORREF a, COLORREF b, int w) {
    const int d = w < 100 ? 100 : 1000;
    auto ch = [&](int ca, int cb) { return (ca * w + cb * (d - w) + d / 2) / d; };
    return Rgb(ch(GetR(a), GetR(b)), ch(GetG(a), GetG(b)), ch(GetB(a), GetB(b)));
}

double ColorDistance(COLORREF a, COLORREF b) {
    const Scaled sa = Scale(a), sb = Scale(b);
    double sum = 0;
    for (int i = 0; i < 3; ++i)
        sum += (sa.v[i] - sb.v[i]) * (sa.v[i] - sb.v[i]);
    return std::sqrt(sum);
}

double Brightness(COLORREF c) {
    return ColorDistance(c, 0);
}

bool HasContrast(COLORREF background, COLORREF color, int threshold) {
    return ColorDistance(background, color) > ScaledThreshold(background, threshold);
}

COLORREF IncreaseContrast(COLORREF background, COLORREF color, int threshold) {
    Scaled a = Scale(background), b = Scale(color);
    const double la = Length(a), lb = Length(b);
    const double c = ScaledThreshold(background, threshold);
    const double t = la < lb ? 442.0 - c : c;
    const bool towardsWhite = t >= la;
    if (towardsWhite) {
        for (int i = 0; i < 3; ++i) {
            a.v[i] = kRange[i] - a.v[i];
            b.v[i] = kRange[i] - b.v[i];
        }
    }
    const double len = std::max(Length(b), 0.001);
    Scaled u;
    for (int i = 0; i < 3; ++i)
        u.v[i] = b.v[i] / len;
    const double p = a.v[0] * u.v[0] + a.v[1] * u.v[1] + a.v[2] * u.v[2];
    double q = 0;
    for (int i = 0; i < 3; ++i)
        q += (a.v[i] - p * u.v[i]) * (a.v[i] - p * u.v[i]);
    const double s = p - std::sqrt(std::max(c * c - q, 0.0));
    Scaled r;
    for (int i = 0; i < 3; ++i) {
        r.v[i] = s * u.v[i];
        if (towardsWhite)
            r.v[i] = kRange[i] - r.v[i];
    }
    return Unscale(r);
}

COLORREF ReduceContrast(COLORREF background, COLORREF color, int threshold) {
    const double d = ColorDistance(background, color);
    if (d <= 0)
        return color;
    const double c = ScaledThreshold(background, threshold);
    const Scaled a = Scale(background), b = Scale(color);
    Scaled r;
    for (int i = 0; i < 3; ++i)
        r.v[i] = b.v[i] + (a.v[i] - b.v[i]) * (d - c) / d;
    return Unscale(r);
}

COLORREF BlendColors(COLORREF a, COLORREF b, double weight) {
    auto ch = [&](int ca, int cb) {
        return std::clamp(static_cast<int>(ca * weight + cb * (1.0 - weight)), 0, 255);
    };
    return Rgb(ch(GetR(a), GetR(b)), ch(GetG(a), GetG(b)), ch(GetB(a), GetB(b)));
}

} // namespace gvpcolor

using namespace gvpcolor;

CGVPSystemColorTable::CGVPSystemColorTable() = default;

COLORREF CGVPSystemColorTable::GetColor(COLORREF index) const {
    if (index >= kEntries)
        return index;
    return m_colors[index];
}

void CGVPSystemColorTable::SetColor(int index, COLORREF color) {
    if (index >= 0 && index < kEntries)
        m_colors[static_cast<std::size_t>(index)] = color;
}

void CGVPSystemColorTable::SetColors(int count, const int* indices, const COLORREF* colors) {
    for (int i = 0; i < count; ++i)
        SetColor(indices[i], colors[i]);
}

void CGVPSystemColorTable::SetSource(GVPColorSource source) {
    m_source = std::move(source);
}

COLORREF CGVPSystemColorTable::SysColor(int index) const {
    return m_source.sysColor ? m_source.sysColor(index) : DefaultSysColor(index);
}

int CGVPSystemColorTable::ScreenDepth() const {
    return m_source.depth ? m_source.depth() : DefaultScreenDepth();
}

int CGVPSystemColorTable::SystemTheme() const {
    return m_source.systemTheme ? m_source.systemTheme() : GetCurrentSystemTheme();
}

void CGVPSystemColorTable::Refresh(bool onlyIfNeeded) {
    if (onlyIfNeeded && m_refreshed)
        return;
    m_refreshed = true;
    const int depth = ScreenDepth();
    auto& e = m_colors;
    e.fill(0);
    for (int i = 1; i <= 27; ++i)
        e[static_cast<std::size_t>(i)] = SysColor(i);

    static constexpr int kStart[26] = {15, 5, 13, 13, 16, 17, 5,  13, 16, 16, 16, 5,  16,
                                       16, 8, 7,  18, 14, 15, 18, 13, 15, 16, 15, 16, 15};
    for (int i = 30; i <= 55; ++i)
        e[static_cast<std::size_t>(i)] = e[static_cast<std::size_t>(kStart[i - 30])];

    if (depth < 1 || depth > 8) {
        e[30] = Mix(e[5], e[15], 165);
        e[31] = Mix(e[13], e[5], 30);
        e[33] = Mix(e[13], e[5], 50);
        e[41] = Mix(e[15], e[5], 143);
        e[35] = Mix(e[17], e[5], 70);
        e[38] = Mix(e[16], e[5], 75);
        e[39] = Mix(e[16], e[5], 70);
        e[43] = Mix(e[46], e[16], 20);
        e[40] = Mix(e[16], e[5], 90);
        e[42] = Mix(e[15], e[16], 90);

        if (HasContrast(e[15], e[30], 35))
            e[30] = ReduceContrast(e[15], e[30], 35);

        struct Check {
            int target, a, b, threshold;
        };
        static constexpr Check kChecks[] = {{31, 30, 31, 50},  {32, 30, 13, 100}, {33, 30, 33, 30},
                                            {35, 41, 35, 80},  {37, 33, 37, 100}, {38, 30, 38, 85},
                                            {39, 30, 39, 50},  {43, 47, 43, 100}, {40, 30, 40, 80},
                                            {44, 41, 44, 180}, {45, 31, 45, 180}, {46, 30, 46, 180},
                                            {47, 33, 47, 180}};
        for (const Check& c : kChecks) {
            const COLORREF a = e[static_cast<std::size_t>(c.a)];
            const COLORREF b = e[static_cast<std::size_t>(c.b)];
            if (!HasContrast(a, b, c.threshold))
                e[static_cast<std::size_t>(c.target)] = IncreaseContrast(a, b, c.threshold);
        }
        if (HasContrast(e[41], e[35], 145))
            e[35] = ReduceContrast(e[41], e[35], 145);

        e[36] = Rgb(GetR(e[30]) * 50 / 100 + GetR(e[5]) * 40 / 100 + GetR(e[13]) * 10 / 100,
                    GetG(e[30]) * 50 / 100 + GetG(e[5]) * 40 / 100 + GetG(e[13]) * 10 / 100,
                    GetB(e[30]) * 50 / 100 + GetB(e[5]) * 40 / 100 + GetB(e[13]) * 10 / 100);

        const COLORREF face = e[15];
        int m = std::max({GetR(face), GetG(face), GetB(face)});
        if (m == 0) {
            e[48] = 0x232323;
        } else {
            const int f = m + std::min(255 - m, 35);
            e[48] = Rgb(GetR(face) * f / m, GetG(face) * f / m, GetB(face) * f / m);
        }
        if (face == 0) {
            e[49] = 0x7F7F7F;
        } else {
            const COLORREF sh = e[16];
            m = std::max({GetR(sh), GetG(sh), GetB(sh)});
            if (m == 0) {
                e[49] = 0;
            } else {
                const int f = std::max(m - 43, 0);
                e[49] = Rgb(GetR(sh) * f / m, GetG(sh) * f / m, GetB(sh) * f / m);
            }
        }
        e[34] = Rgb(GetR(e[31]) * 3 / 4, GetG(e[31]) * 3 / 4, GetB(e[31]) * 3 / 4);
        e[22] = Rgb(std::min(GetR(face) + 15, 255), std::min(GetG(face) + 15, 255),
                    std::min(GetB(face) + 15, 255));
        e[53] = e[30];
    }

    m_scheme[0] = m_scheme[1] = m_scheme[5] = e[16];
    m_scheme[2] = m_scheme[4] = e[15];
    m_scheme[3] = Mix(e[15], e[5], 205);
    if (!m_plainColors) {
        static constexpr COLORREF kLuna[3][7] = {
            {0x962D00, 0xD68759, 0x962D00, 0xF5BE9E, 0xFADAC4, 0xD68759, 0x962D00},
            {0x588060, 0x82C0AF, 0x447A63, 0xA7D9D9, 0xE4F1F2, 0x6F8E78, 0x435B49},
            {0x947C7C, 0xBFA7A8, 0x916F70, 0xE5D7D7, 0xF7F3F3, 0xBFA7A8, 0x977677}};
        const int scheme = SystemTheme();
        if (scheme >= 1 && scheme <= 3) {
            const COLORREF* row = kLuna[scheme - 1];
            e[54] = row[0];
            for (int i = 0; i < 6; ++i)
                m_scheme[static_cast<std::size_t>(i)] = row[i + 1];
        }
    }
}

CGVPSystemColorTable& GetSystemColorTable() {
    static CGVPSystemColorTable table;
    return table;
}

QColor GetQColor(COLORREF indexOrColor) {
    return RefToQColor(GetSystemColorTable().GetColor(indexOrColor));
}
