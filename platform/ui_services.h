// The user-interface services that core code calls: message boxes, modal dialog requests,
// status-bar text and progress, the wait cursor and the message pump. The Velmora program
// installs a Qt implementation; batch mode and tests install their own.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

namespace platform {

enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel, AbortRetryIgnore };
enum class MsgIcon { None, Exclamation, Information, Question, Stop };
// A text colour as 0xRRGGBB. kPaneTextDefault stands for the system's button-text colour, with
// which a status-bar pane draws its text in the ordinary way.
using Colour = std::uint32_t;
constexpr Colour kPaneTextDefault = 0xFF000000u;
constexpr Colour kPaneTextRed = 0xFF0000u;

enum class MsgResult { Ok, Cancel, Yes, No, Retry, Abort, Ignore };

struct MessageBoxRequest {
    std::string text;
    std::string caption;
    MsgButtons buttons = MsgButtons::Ok;
    MsgIcon icon = MsgIcon::None;
    int defaultButton = 0; // index of the default among the buttons, from 0
};

// The answer a box gives when nobody is there to choose: its default button.
MsgResult DefaultAnswer(const MessageBoxRequest& request);

// Base of every typed dialog request. A request carries the dialog's fields in and out;
// the implementation shows it and answers true for OK, false for Cancel.
class DialogRequest {
public:
    virtual ~DialogRequest() = default;
    virtual const char* DialogName() const = 0;
};

class UiServices {
public:
    virtual ~UiServices() = default;

    virtual MsgResult MessageBox(const MessageBoxRequest& request) = 0;
    virtual bool RunDialog(DialogRequest& request) = 0;

    virtual void SetStatusText(const std::string& /*text*/) {}
    // Sets a progress pane's range and position; with showPercent its text becomes the
    // percentage.
    virtual void SetProgress(int /*pane*/, bool /*showPercent*/, int /*range*/, int /*pos*/) {}
    // Sets a status-bar pane's text and text colour.
    virtual void SetPaneTextAndColour(int /*pane*/, const std::string& /*text*/,
                                      Colour /*colour*/) {}
    virtual void BeginWaitCursor() {}
    virtual void EndWaitCursor() {}
    // Lets the user interface process pending input (long operations call it between steps).
    virtual void PumpMessages() {}
    // Lets the user interface repaint and run its timers while a transfer waits on this thread;
    // user input that comes meanwhile is dropped, never delivered later. Called from any other
    // thread it does nothing.
    virtual void PumpPaint() {}
};

// The process-wide services. Until a program installs its own, a console implementation is in
// place that prints every box to standard error as "caption: text" and answers its default.
UiServices& Ui();
// Installs services (not owned; nullptr restores the console implementation). Answers the
// previous ones.
UiServices* SetUi(UiServices* services);

// The caption boxes carry unless a caller names another one.
const std::string& DefaultCaption();
void SetDefaultCaption(std::string caption);

// Shorthand for the common case: a box with the program's caption.
MsgResult ShowMessage(const std::string& text, MsgButtons buttons = MsgButtons::Ok,
                      MsgIcon icon = MsgIcon::None, int defaultButton = 0);

// The console implementation, also used by batch mode.
class ConsoleUi : public UiServices {
public:
    MsgResult MessageBox(const MessageBoxRequest& request) override;
    bool RunDialog(DialogRequest& request) override;
};

// Answers every box with its default and every dialog with Cancel, and shows nothing: for
// benchmarks and fuzz targets, where boxes are expected and nobody reads them.
class SilentUi : public UiServices {
public:
    MsgResult MessageBox(const MessageBoxRequest& request) override {
        ++boxes;
        return DefaultAnswer(request);
    }
    bool RunDialog(DialogRequest& /*request*/) override { return false; }
    int boxes = 0;
};

// The longest a transfer's wait on the user-interface thread goes without a paint pump.
inline constexpr std::chrono::milliseconds kPaintPumpPeriod{50};
// Pumps paint when half a period has passed since this thread's last pump: for loops whose
// single steps are short (a byte written, a slice of a reply wait).
void PumpPaintIfDue();
// Waits `duration` (monotonic clock) in slices, pumping paint between them.
void PumpedSleep(std::chrono::milliseconds duration);

// Shows the wait cursor for a scope.
class WaitCursor {
public:
    WaitCursor() { Ui().BeginWaitCursor(); }
    ~WaitCursor() { Ui().EndWaitCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

} // namespace platform
