// Every dialog request of the core that Velmora answers, registered in one place: the main
// frame and the tests both call RegisterVelmoraDialogs, so what a test reaches is what the
// program has.
#pragma once

#include <functional>

class QWidget;

namespace platform::qt {
class ViewRegistry;
}

struct VelmoraDialogHost {
    // The dialogs' parent; null: the active window.
    QWidget* parent = nullptr;
    // Writes the program's settings (the device list of the communication dialog is saved as
    // soon as a device is edited).
    std::function<void()> saveSettings;
};

void RegisterVelmoraDialogs(platform::qt::ViewRegistry& registry, VelmoraDialogHost host);
