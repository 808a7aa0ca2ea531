#include "platform/ui_services.h"

#include "platform/terminal_text.h"
#include "platform/wait_clock.h"

#include <algorithm>
#include <cstdio>
#include <thread>

namespace platform {

namespace {

ConsoleUi g_console;
UiServices* g_ui = nullptr;
std::string g_caption = "Velmora";

} // namespace

MsgResult DefaultAnswer(const MessageBoxRequest& request) {
    static const MsgResult ok[] = {MsgResult::Ok};
    static const MsgResult okCancel[] = {MsgResult::Ok, MsgResult::Cancel};
    static const MsgResult yesNo[] = {MsgResult::Yes, MsgResult::No};
    static const MsgResult yesNoCancel[] = {MsgResult::Yes, MsgResult::No, MsgResult::Cancel};
    static const MsgResult retryCancel[] = {MsgResult::Retry, MsgResult::Cancel};
    static const MsgResult abortRetryIgnore[] = {MsgResult::Abort, MsgResult::Retry,
                                                 MsgResult::Ignore};
    const MsgResult* buttons = ok;
    int count = 1;
    switch (request.buttons) {
    case MsgButtons::Ok:
        buttons = ok;
        count = 1;
        break;
    case MsgButtons::OkCancel:
        buttons = okCancel;
        count = 2;
        break;
    case MsgButtons::YesNo:
        buttons = yesNo;
        count = 2;
        break;
    case MsgButtons::YesNoCancel:
        buttons = yesNoCancel;
        count = 3;
        break;
    case MsgButtons::RetryCancel:
        buttons = retryCancel;
        count = 2;
        break;
    case MsgButtons::AbortRetryIgnore:
        buttons = abortRetryIgnore;
        count = 3;
        break;
    }
    int index =
        request.defaultButton >= 0 && request.defaultButton < count ? request.defaultButton : 0;
    return buttons[index];
}

UiServices& Ui() {
    return g_ui ? *g_ui : g_console;
}

UiServices* SetUi(UiServices* services) {
    UiServices* previous = g_ui ? g_ui : &g_console;
    g_ui = services;
    return previous == &g_console ? nullptr : previous;
}

const std::string& DefaultCaption() {
    return g_caption;
}
void SetDefaultCaption(std::string caption) {
    g_caption = std::move(caption);
}

namespace {
thread_local std::chrono::steady_clock::time_point t_lastPaintPump{};
}

void PumpPaintIfDue() {
    const auto now = std::chrono::steady_clock::now();
    if (now - t_lastPaintPump < kPaintPumpPeriod / 2)
        return;
    t_lastPaintPump = now;
    Ui().PumpPaint();
}

void PumpedSleep(std::chrono::milliseconds duration) {
    // The pause runs on the wait clock; the paints keep their pace on the wall clock.
    const auto end = WaitClock::now() + duration;
    for (;;) {
        PumpPaintIfDue();
        const auto now = WaitClock::now();
        if (now >= end)
            return;
        std::this_thread::sleep_for(
            std::min<std::chrono::nanoseconds>(WallDuration(end - now), kPaintPumpPeriod / 2));
    }
}

MsgResult ShowMessage(const std::string& text, MsgButtons buttons, MsgIcon icon,
                      int defaultButton) {
    MessageBoxRequest request;
    request.text = text;
    request.caption = g_caption;
    request.buttons = buttons;
    request.icon = icon;
    request.defaultButton = defaultButton;
    return Ui().MessageBox(request);
}

MsgResult ConsoleUi::MessageBox(const MessageBoxRequest& request) {
    // Batch mode's boxes carry texts of files and controllers to the terminal.
    std::fprintf(stderr, "%s: %s\n", TerminalSafe(request.caption).c_str(),
                 TerminalSafe(request.text).c_str());
    return DefaultAnswer(request);
}

bool ConsoleUi::RunDialog(DialogRequest& /*request*/) {
    return false;
}

} // namespace platform
