// The Qt implementation of the user-interface services: message boxes with their text, caption,
// icon, buttons and default; dialog requests handed to the handlers the program registers; the
// wait cursor; status text; the message pump. Texts cross the Qt boundary as Windows-1252.
#pragma once

#include "platform/ui_services.h"

#include <QString>
#include <functional>
#include <map>
#include <memory>
#include <string>

class QTimer;
class QWidget;

namespace platform::qt {

QString ToQString(const std::string& bytes);
std::string FromQString(const QString& text);

class QtUiServices : public UiServices {
public:
    using DialogHandler = std::function<bool(DialogRequest&)>;
    using StatusSink = std::function<void(const QString&)>;

    // Boxes are owned by `parent` (may be null).
    explicit QtUiServices(QWidget* parent = nullptr);
    ~QtUiServices() override;
    QtUiServices(const QtUiServices&) = delete;
    QtUiServices& operator=(const QtUiServices&) = delete;

    MsgResult MessageBox(const MessageBoxRequest& request) override;
    // A request without a handler is the program's fault: a box names the missing dialog and
    // the request answers Cancel.
    bool RunDialog(DialogRequest& request) override;
    void SetStatusText(const std::string& text) override;
    void BeginWaitCursor() override;
    void EndWaitCursor() override;
    void PumpMessages() override;
    // Paint, timers and posted work go through; user input is dropped. A wait that pumps shows
    // the busy cursor until the program is back in an event loop of its own (the wait is over,
    // or a box or dialog asks the user something).
    void PumpPaint() override;

    void SetParent(QWidget* parent) { parent_ = parent; }
    void SetDialogHandler(const std::string& dialogName, DialogHandler handler);
    bool HasDialogHandler(const std::string& dialogName) const;
    void SetStatusSink(StatusSink sink) { statusSink_ = std::move(sink); }

private:
    QWidget* parent_;
    std::map<std::string, DialogHandler> handlers_;
    StatusSink statusSink_;
    bool pumpingPaint_ = false;
    // The busy cursor of a pumping wait, and the timer that takes it away once the event loop
    // runs again outside a pump.
    void EndBusy();
    bool busyShown_ = false;
    std::unique_ptr<QTimer> busyEnd_;
};

} // namespace platform::qt
