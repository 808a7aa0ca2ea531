// The requests through which the event grids open their dialogs, so that the program shows the
// dialogs and tests answer them. Each carries the dialog's fields in and out.
#pragma once

#include "platform/ui_services.h"

#include <string>

class CEvnt;
class CVLDoc;

// "Time Wizard" (159): the choice and its parameters, checked by the grid afterwards.
struct TimeWizardRequest : platform::DialogRequest {
    static constexpr const char* kDialogName = "CEvntWizTimeDlg";
    const char* DialogName() const override { return kDialogName; }
    bool severalEvents = false;
    int choice = -1; // 0 add, 1 subtract, 2 fill, 3 expand or compress
    std::string firstText;
    std::string incrementText;
    bool skipZero = false;
    bool wholeSeconds = false;
    std::string currentLength; // the last event's time text
    CVLDoc* document = nullptr;
    bool eventsInFrames = false;
};

// "Resource List" (176): on OK `name` is the picked resource's name.
struct ResourceListRequest : platform::DialogRequest {
    static constexpr const char* kDialogName = "DCResource";
    const char* DialogName() const override { return kDialogName; }
    CVLDoc* document = nullptr;
    std::string name; // preset in, result out
    std::string eventName;
    int initialChar = -1;
};

// "Event Wizard - Available Events List" (148): on OK the dialog has written the chosen name
// into the event's Event text.
struct EventsListRequest : platform::DialogRequest {
    static constexpr const char* kDialogName = "CAvailEventsListDlg";
    const char* DialogName() const override { return kDialogName; }
    CVLDoc* document = nullptr;
    CEvnt* event = nullptr;
    int initialChar = -1;
};

// "Event Wizard - Data Field" (165): help only.
struct DataFieldRequest : platform::DialogRequest {
    static constexpr const char* kDialogName = "CEWDataDlg";
    const char* DialogName() const override { return kDialogName; }
    CVLDoc* document = nullptr;
    CEvnt* event = nullptr;
    int parameter = 1; // 1-4
};

// "Remark Help" (153): 0 "REM this event", 1 "Do not REM this event".
struct RemarkRequest : platform::DialogRequest {
    static constexpr const char* kDialogName = "CEvntWizRemDlg";
    const char* DialogName() const override { return kDialogName; }
    int choice = -1;
};
