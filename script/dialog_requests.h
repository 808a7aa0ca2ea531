// Typed requests for the modal dialogs the script model opens through the user-interface
// services. Each carries the dialog's fields in and out.
#pragma once

#include "platform/ui_services.h"

#include <cstdint>

class CVLDoc;
class CSeq;

// Edits one trigger of a sequence. On OK the dialog has written the trigger's io name,
// variable and value texts into the sequence itself, and the fields below hold the choice.
struct CSeqTriggerDlg : platform::DialogRequest {
    const char* DialogName() const override { return "CSeqTriggerDlg"; }

    CVLDoc* document = nullptr;
    CSeq* sequence = nullptr;
    int triggerIndex = 0;         // 0 start, 1 stop, 2 pause, 3 reset
    std::uint16_t combine = 0;    // 0 AND, 1 OR
    std::uint16_t comparison = 0; // 0 EQ, 1 NE, 2 GT, 3 LT, 4 GE, 5 LE
    int goesOff = 0;              // 1: the io resource going off
};
