// A user interface for tests: records every message box, dialog request, status text and
// progress step, and answers boxes and dialogs from preset answers.
#pragma once

#include "platform/ui_services.h"

#include <chrono>
#include <deque>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace testing_support {

class ScriptedUi : public platform::UiServices {
public:
    ScriptedUi();           // installs itself
    ~ScriptedUi() override; // restores the previous services

    platform::MsgResult MessageBox(const platform::MessageBoxRequest& request) override;
    bool RunDialog(platform::DialogRequest& request) override;
    void SetStatusText(const std::string& text) override { statusTexts.push_back(text); }
    void SetProgress(int pane, bool showPercent, int range, int pos) override;
    void SetPaneTextAndColour(int pane, const std::string& text, platform::Colour colour) override {
        paneTexts.push_back({pane, text, colour});
    }
    void PumpMessages() override { ++pumps; }
    // Counts the paint pumps of the thread that made it, as the real one pumps only there.
    void PumpPaint() override {
        if (std::this_thread::get_id() == owner_) {
            ++paintPumps;
            paintTimes.push_back(std::chrono::steady_clock::now());
        }
    }
    // The longest stretch of [from, to] without a paint pump.
    std::chrono::milliseconds LongestPaintGap(std::chrono::steady_clock::time_point from,
                                              std::chrono::steady_clock::time_point to) const;

    // Answers given to the next boxes, in order; when none is left a box answers its default.
    void QueueAnswer(platform::MsgResult answer) { answers_.push_back(answer); }
    // Handlers for the next dialogs, in order: each edits the request and answers OK or Cancel.
    // When none is left a dialog answers Cancel.
    void QueueDialog(std::function<bool(platform::DialogRequest&)> handler) {
        dialogs_.push_back(std::move(handler));
    }

    // Texts of the boxes shown so far.
    std::vector<std::string> Texts() const;
    void Clear();

    std::vector<platform::MessageBoxRequest> boxes;
    std::vector<std::string> dialogNames;
    std::vector<std::string> statusTexts;
    struct Progress {
        int pane, range, pos;
        bool showPercent;
    };
    std::vector<Progress> progress;
    struct PaneText {
        int pane;
        std::string text;
        platform::Colour colour;
    };
    std::vector<PaneText> paneTexts;
    int pumps = 0;
    int paintPumps = 0;
    std::vector<std::chrono::steady_clock::time_point> paintTimes;

private:
    std::thread::id owner_ = std::this_thread::get_id();
    std::deque<platform::MsgResult> answers_;
    std::deque<std::function<bool(platform::DialogRequest&)>> dialogs_;
    platform::UiServices* previous_ = nullptr;
};

} // namespace testing_support
