// The main window's status bar as the user-interface services see it, and its usual set-up: a
// message pane, a progress pane, an indicator pane and the three lock-key panes. platform/qt
// knows no control of the toolkit, so both are written against what a status bar offers
// (`Bar`: the toolkit's status bar) and a program instantiates them with its own.
#pragma once

#include "platform/qt/colors.h"
#include "platform/qt/lock_keys.h"
#include "platform/qt/qt_ui_services.h"

#include <QString>
#include <functional>
#include <vector>

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
// Scroll Lock. A bar without progress or indicator pane names it -1.
struct StatusBarLayout {
    std::vector<unsigned> paneIds{0, 59143, 0, 59137, 59138, 59139};
    int progressPane = 1;
    int indicatorPane = 2;
    int progressWidth = 135;
    int indicatorWidth = 30;
    // One per pane; none: the bar shows no tips.
    std::vector<const char*> tips{
        "Status bar",          "Progress meter",    "",
        "Caps Lock indicator", "Numlock indicator", "Scrollock indicator"};
    QString idleText = QStringLiteral("Ready");
};

inline constexpr unsigned kProgressPaneStyle = 0x02000000;
inline constexpr unsigned kCapsPaneId = 59137;
inline constexpr unsigned kNumPaneId = 59138;
inline constexpr unsigned kScrollPaneId = 59139;

template <typename Bar> void SetUpStatusBar(Bar& bar, const StatusBarLayout& layout) {
    bar.DefinePanes(layout.paneIds);
    unsigned id = 0;
    unsigned style = 0;
    int width = 0;
    if (layout.progressPane >= 0) {
        bar.GetPaneInfo(layout.progressPane, id, style, width);
        bar.MakeProgressPane(layout.progressPane, 0, true);
        bar.ConfigurePane(layout.progressPane, id, style | kProgressPaneStyle,
                          layout.progressWidth);
    }
    if (layout.indicatorPane >= 0) {
        bar.GetPaneInfo(layout.indicatorPane, id, style, width);
        bar.ConfigurePane(layout.indicatorPane, id, style, layout.indicatorWidth);
    }
    for (std::size_t pane = 0; pane < layout.tips.size() && pane < layout.paneIds.size(); ++pane)
        bar.SetPaneTip(int(pane), QString::fromLatin1(layout.tips[pane]));
    if (!layout.tips.empty())
        bar.EnablePaneTips(true);
    bar.SetPaneText(0, layout.idleText);
}

// The lock panes, found by their ids, keep the widths of their texts and show them while the
// lock is on.
template <typename Bar> void ShowLockKeyPanes(Bar& bar, const LockKeyState& state) {
    const auto show = [&bar](unsigned id, bool on, const char* text) {
        if (const int pane = bar.CommandToIndex(id); pane >= 0)
            bar.SetPaneText(pane, on ? QString::fromLatin1(text) : QString());
    };
    show(kCapsPaneId, state.caps, "CAP");
    show(kNumPaneId, state.num, "NUM");
    show(kScrollPaneId, state.scroll, "SCRL");
}

} // namespace platform::qt
