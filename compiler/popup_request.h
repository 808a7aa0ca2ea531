// The two-line status popup the compiler shows when a compile ends early, and the event editors
// with a detail line. The user interface shows it with its title and lines for `delayTicks` ticks
// of 55 ms and then closes it.
#pragma once

#include "platform/ui_services.h"

#include <string>

struct CPopupDlg : platform::DialogRequest {
    static constexpr const char* kDialogName = "CPopupDlg";
    const char* DialogName() const override { return kDialogName; }
    std::string title;
    std::string message;
    std::string detail; // the second line, empty for none
    int delayTicks = 0;
};
