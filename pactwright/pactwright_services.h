// What Pactwright's views are made with, and the hints by which the views of one document keep
// in step.
#pragma once

#include "script/protocol.h"
#include "views/gridbase/print_services.h"

namespace pactwright {

struct PactwrightServices {
    CCmnd* scratch = nullptr;                 // the command clipboard, shared by all documents
    views::PrintServices* printing = nullptr; // the print dialogs
    int nextGridId = 1000;                    // each grid window takes one
};

// UpdateAllViews hints.
enum : long {
    // Commands were removed, renamed or the device's Description changed: every tree is
    // rebuilt and every grid shows its command under its new number, or the device.
    kHintRebuild = 1,
    // A command was appended (the object is the CCmnd): the trees add it.
    kHintCommandAdded = 2,
    // A command's rows changed (the object is the CCmnd, null for the device): a grid that
    // shows it fills again.
    kHintItemChanged = 3,
};

} // namespace pactwright
