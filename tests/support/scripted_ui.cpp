#include "tests/support/scripted_ui.h"

#include <algorithm>

namespace testing_support {

ScriptedUi::ScriptedUi() {
    previous_ = platform::SetUi(this);
}

ScriptedUi::~ScriptedUi() {
    platform::SetUi(previous_);
}

platform::MsgResult ScriptedUi::MessageBox(const platform::MessageBoxRequest& request) {
    boxes.push_back(request);
    if (answers_.empty())
        return platform::DefaultAnswer(request);
    auto answer = answers_.front();
    answers_.pop_front();
    return answer;
}

bool ScriptedUi::RunDialog(platform::DialogRequest& request) {
    dialogNames.emplace_back(request.DialogName());
    if (dialogs_.empty())
        return false;
    auto handler = std::move(dialogs_.front());
    dialogs_.pop_front();
    return handler(request);
}

void ScriptedUi::SetProgress(int pane, bool showPercent, int range, int pos) {
    progress.push_back({pane, range, pos, showPercent});
}

std::vector<std::string> ScriptedUi::Texts() const {
    std::vector<std::string> texts;
    for (const auto& b : boxes)
        texts.push_back(b.text);
    return texts;
}

std::chrono::milliseconds
ScriptedUi::LongestPaintGap(std::chrono::steady_clock::time_point from,
                            std::chrono::steady_clock::time_point to) const {
    auto last = from;
    std::chrono::steady_clock::duration longest{0};
    for (const auto& t : paintTimes) {
        if (t < from || t > to)
            continue;
        longest = std::max(longest, t - last);
        last = t;
    }
    longest = std::max(longest, to - last);
    return std::chrono::duration_cast<std::chrono::milliseconds>(longest);
}

void ScriptedUi::Clear() {
    boxes.clear();
    dialogNames.clear();
    statusTexts.clear();
    progress.clear();
    paneTexts.clear();
    pumps = 0;
    paintPumps = 0;
    paintTimes.clear();
    answers_.clear();
    dialogs_.clear();
}

} // namespace testing_support
