// Colours as the tables and models keep them, and the system colours.
//
// A colour value (COLORREF) holds red in bits 0-7, green in 8-15 and blue in 16-23; the high
// byte is ignored. It becomes a QColor only at paint time, through ToQColor: a plain
// QColor(0xRRGGBB) would swap red and blue.
//
// System colours are read by GetSysColor index (0-30) from one service. Without an override it
// maps each index onto a role of the application palette; an override table (the classic
// palette for tests) replaces some or all of them. Changed() tells when the answers may differ:
// an override was set or cleared, or the application palette changed.
#pragma once

#include <QColor>
#include <QObject>
#include <QPointer>
#include <array>
#include <cstdint>
#include <optional>

class QCoreApplication;

namespace platform::qt {

using COLORREF = std::uint32_t;

constexpr COLORREF RGB(int r, int g, int b) {
    return static_cast<COLORREF>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int GetRValue(COLORREF c) {
    return static_cast<int>(c & 0xFF);
}
constexpr int GetGValue(COLORREF c) {
    return static_cast<int>((c >> 8) & 0xFF);
}
constexpr int GetBValue(COLORREF c) {
    return static_cast<int>((c >> 16) & 0xFF);
}

// The one conversion each way. ToQColor ignores the high byte; the QColor is opaque.
// ToColorRef drops alpha.
QColor ToQColor(COLORREF colour);
COLORREF ToColorRef(const QColor& colour);

// GetSysColor indices.
inline constexpr int COLOR_SCROLLBAR = 0;
inline constexpr int COLOR_BACKGROUND = 1;
inline constexpr int COLOR_ACTIVECAPTION = 2;
inline constexpr int COLOR_INACTIVECAPTION = 3;
inline constexpr int COLOR_MENU = 4;
inline constexpr int COLOR_WINDOW = 5;
inline constexpr int COLOR_WINDOWFRAME = 6;
inline constexpr int COLOR_MENUTEXT = 7;
inline constexpr int COLOR_WINDOWTEXT = 8;
inline constexpr int COLOR_CAPTIONTEXT = 9;
inline constexpr int COLOR_ACTIVEBORDER = 10;
inline constexpr int COLOR_INACTIVEBORDER = 11;
inline constexpr int COLOR_APPWORKSPACE = 12;
inline constexpr int COLOR_HIGHLIGHT = 13;
inline constexpr int COLOR_HIGHLIGHTTEXT = 14;
inline constexpr int COLOR_BTNFACE = 15;
inline constexpr int COLOR_BTNSHADOW = 16;
inline constexpr int COLOR_GRAYTEXT = 17;
inline constexpr int COLOR_BTNTEXT = 18;
inline constexpr int COLOR_INACTIVECAPTIONTEXT = 19;
inline constexpr int COLOR_BTNHIGHLIGHT = 20;
inline constexpr int COLOR_3DDKSHADOW = 21;
inline constexpr int COLOR_3DLIGHT = 22;
inline constexpr int COLOR_INFOTEXT = 23;
inline constexpr int COLOR_INFOBK = 24;
// 25 has no name; it answers like the others.
inline constexpr int COLOR_HOTLIGHT = 26;
inline constexpr int COLOR_GRADIENTACTIVECAPTION = 27;
inline constexpr int COLOR_GRADIENTINACTIVECAPTION = 28;
inline constexpr int COLOR_MENUHILIGHT = 29;
inline constexpr int COLOR_MENUBAR = 30;
inline constexpr int COLOR_3DFACE = COLOR_BTNFACE;
inline constexpr int COLOR_3DSHADOW = COLOR_BTNSHADOW;
inline constexpr int COLOR_3DHIGHLIGHT = COLOR_BTNHIGHLIGHT;

class SystemColors : public QObject {
    Q_OBJECT
public:
    static constexpr int kCount = 31;
    using Table = std::array<COLORREF, kCount>;

    // The process-wide service; its first use after the QApplication exists starts watching
    // the application palette.
    static SystemColors& Instance();

    // The colour of an index; 0 (black) outside 0-30.
    COLORREF Color(int index) const;
    QColor QtColor(int index) const { return ToQColor(Color(index)); }

    // The classic palette: light grey faces, navy highlight, white windows.
    static const Table& ClassicPalette();

    // Overrides replace the palette's answer for their indices until cleared. Each call emits
    // Changed(); indices outside 0-30 are ignored.
    void SetOverride(const Table& table);
    void SetOverride(int index, COLORREF colour);
    void ClearOverride();
    bool HasOverride() const;
    // The current override per index (std::nullopt: from the palette).
    using OverrideTable = std::array<std::optional<COLORREF>, kCount>;
    const OverrideTable& Overrides() const { return override_; }
    void SetOverrides(const OverrideTable& table);

signals:
    void Changed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    SystemColors() = default;
    void WatchApplication();

    OverrideTable override_{};
    QPointer<QCoreApplication> watched_;
};

// Shorthand for SystemColors::Instance().Color(index).
COLORREF GetSysColor(int index);

// Sets an override table for the scope (tests: the classic palette) and puts the previous
// overrides back at its end.
class ScopedSystemColors {
public:
    explicit ScopedSystemColors(const SystemColors::Table& table = SystemColors::ClassicPalette());
    ~ScopedSystemColors();
    ScopedSystemColors(const ScopedSystemColors&) = delete;
    ScopedSystemColors& operator=(const ScopedSystemColors&) = delete;

private:
    SystemColors::OverrideTable previous_;
};

} // namespace platform::qt
