// The two-line status popup the compiler shows when a compile ends early. The user interface
// shows it with its title and message for `delayTicks` ticks of 55 ms and then closes it.
#pragma once

#include "platform/ui_services.h"

#include <string>

struct CPopupDlg : platform::DialogRequest {
    static constexpr const char* kDialogName = "CPopupDlg";
    const char* DialogName() const override { return kDialogName; }
    std::string title;
    std::string message;
    int delayTicks = 0;
};
