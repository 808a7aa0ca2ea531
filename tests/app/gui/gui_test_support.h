// The main window's tests: the command bars' toolkit, and driving modal dialogs (a step runs
// once the dialog is up and closes it).
#pragma once

#include "controls/commandbars/aux_data.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <ostream>
#include <string>

namespace guitest {

// A profile's eight COM ports: those `ports` names go to their devices, the others nowhere.
inline void WriteSerialPorts(std::ostream& out, const std::map<int, std::string>& ports = {}) {
    out << "[Serial Ports]\n";
    for (int n = 1; n <= 8; ++n)
        out << "COM" << n << "=" << (ports.count(n) ? ports.at(n) : std::string("/nonexistent/tty"))
            << "\n";
}

inline std::unique_ptr<CGVPToolkit>& ToolkitHolder() {
    static std::unique_ptr<CGVPToolkit> toolkit;
    return toolkit;
}

// The toolkit goes before the application: environments tear down in reverse order, and this
// one is added after the application's.
class ToolkitEnvironment : public ::testing::Environment {
public:
    void TearDown() override { ToolkitHolder().reset(); }
};

// Makes the command bars' toolkit once per test program; a window's fixture calls it first.
inline void EnsureToolkit() {
    if (ToolkitHolder())
        return;
    ::testing::AddGlobalTestEnvironment(new ToolkitEnvironment); // owned by the test framework
    ToolkitHolder() = std::make_unique<CGVPToolkit>();
}

// Runs `step` on the next modal dialog that opens (polling until it does), once the dialog is
// the active window: focus-dependent steps would otherwise race the window's activation on a
// loaded machine. A dialog that never becomes active gets the step after two seconds.
inline void WhenModal(std::function<void(QDialog&)> step) {
    auto* timer = new QTimer;
    timer->setInterval(5);
    auto waited = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, waited, step = std::move(step)] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        if (QApplication::activeWindow() != dialog && ++*waited < 400)
            return;
        timer->stop();
        timer->deleteLater();
        step(*dialog);
    });
    timer->start();
}

template <typename T = QWidget> T* Control(QWidget& parent, int id) {
    return parent.findChild<T*>(QStringLiteral("ctl_%1").arg(id));
}

inline void Click(QWidget& parent, int id) {
    if (auto* button = Control<QAbstractButton>(parent, id))
        button->click();
}

} // namespace guitest
