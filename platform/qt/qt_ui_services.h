// The Qt implementation of the user-interface services: message boxes with their text, caption,
// icon, buttons and default; dialog requests handed to the handlers the program registers; the
// wait cursor; status text; the message pump. Texts cross the Qt boundary as Windows-1252.
#pragma once

#include "platform/ui_services.h"

#include <QString>
#include <functional>
#include <map>
#include <string>

class QWidget;

namespace platform::qt {

QString ToQString(const std::string& bytes);
std::string FromQString(const QString& text);

class QtUiServices : public UiServices {
public:
    using DialogHandler = std::function<bool(DialogRequest&)>;
    using StatusSink = std::function<void(const QString&)>;

    // Boxes are owned by `parent` (may be null).
    explicit QtUiServices(QWidget* parent = nullptr) : parent_(parent) {}

    MsgResult MessageBox(const MessageBoxRequest& request) override;
    // A request without a handler is the program's fault: a box names the missing dialog and
    // the request answers Cancel.
    bool RunDialog(DialogRequest& request) override;
    void SetStatusText(const std::string& text) override;
    void BeginWaitCursor() override;
    void EndWaitCursor() override;
    void PumpMessages() override;
    // Paint, timers and posted work go through; user input is dropped.
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
};

} // namespace platform::qt
