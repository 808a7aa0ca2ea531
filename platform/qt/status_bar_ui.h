// The main window's status bar as the user-interface services see it, and its usual set-up: a
// message pane, a progress pane, an indicator pane and the three lock-key panes. platform/qt
// knows no control of the toolkit, so both are written against what a status bar offers
// (`Bar`: the toolkit's status bar) and a program instantiates them with its own.
#pragma once

#include "platform/qt/colors.h"
#include "platform/qt/lock_keys.h"
#include "platform/qt/qt_ui_services.h"

#include <QString>
#include <array>
#include <functional>

namespace platform::qt {

// Progress and coloured pane texts go to the bar; messages and status texts as the services
// show them. The bar may come later than the services (`SetBar`), and nothing is shown before.
template <typename Bar> class StatusBarUi : public QtUiServices {
public:
    explicit StatusBarUi(QWidget* dialogParent) : QtUiServices(dialogParent) {}
    void SetBar(Bar* bar) { bar_ = bar; }
    Bar* StatusBar() const { return bar_; }

    void SetProgress(int pane, bool /*showPercent*/, int range, int pos) override {
        if (bar_)
            bar_->UpdatePaneProgress(pane, 0, range, pos);
    }
    void SetPaneTextAndColour(int pane, const std::string& text, platform::Colour colour) override {
        if (!bar_)
            return;
        // The core's colours are 0xRRGGBB; the bar takes COLORREF.
        const COLORREF ref = colour == platform::kPaneTextDefault
                                 ? GetSysColor(COLOR_BTNTEXT)
                                 : RGB(int(colour >> 16), int(colour >> 8), int(colour));
        bar_->SetPaneTextAndColour(pane, ToQString(text), ref);
    }

private:
    Bar* bar_ = nullptr;
};

// The usual status bar of a main window: pane 0 the messages (the idle text when there is
// none), pane 1 progress, pane 2 an indicator of the program's, panes 3 to 5 Caps, Num and
// Scroll Lock.
struct StatusBarLayout {
    std::array<unsigned, 6> paneIds{0, 59143, 0, 59137, 59138, 59139};
    int progressWidth = 135;
    int indicatorWidth = 30;
    std::array<const char*, 6> tips{
        "Status bar",          "Progress meter",    "",
        "Caps Lock indicator", "Numlock indicator", "Scrollock indicator"};
    QString idleText = QStringLiteral("Ready");
};

inline constexpr unsigned kProgressPaneStyle = 0x02000000;

template <typename Bar> void SetUpStatusBar(Bar& bar, const StatusBarLayout& layout) {
    bar.DefinePanes({layout.paneIds.begin(), layout.paneIds.end()});
    unsigned id = 0;
    unsigned style = 0;
    int width = 0;
    bar.GetPaneInfo(1, id, style, width);
    bar.MakeProgressPane(1, 0, true);
    bar.ConfigurePane(1, id, style | kProgressPaneStyle, layout.progressWidth);
    bar.GetPaneInfo(2, id, style, width);
    bar.ConfigurePane(2, id, style, layout.indicatorWidth);
    for (int pane = 0; pane < 6; ++pane)
        bar.SetPaneTip(pane, QString::fromLatin1(layout.tips[std::size_t(pane)]));
    bar.EnablePaneTips(true);
    bar.SetPaneText(0, layout.idleText);
}

// The lock panes keep the widths of their texts and show them while the lock is on.
template <typename Bar> void ShowLockKeyPanes(Bar& bar, const LockKeyState& state) {
    bar.SetPaneText(3, state.caps ? QStringLiteral("CAP") : QString());
    bar.SetPaneText(4, state.num ? QStringLiteral("NUM") : QString());
    bar.SetPaneText(5, state.scroll ? QStringLiteral("SCRL") : QString());
}

} // namespace platform::qt
