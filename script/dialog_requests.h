// Typed requests for the modal dialogs the script model opens through the user-interface
// services. Each carries the dialog's fields in and out.
#pragma once

#include "platform/ui_services.h"

#include <cstdint>
#include <string>

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

// The Script Wizard's questions. The caller sets the defaults before showing it and reads the
// answers after Create (OK); the dialog refuses a longer show name and a player count outside
// 1 to 16.
struct CScriptGenDlg : platform::DialogRequest {
    const char* DialogName() const override { return "CScriptGenDlg"; }

    static constexpr int kMaxShowName = 25;
    static constexpr int kMinPlayers = 1;
    static constexpr int kMaxPlayers = 16;

    std::string showName;    // "Show Name"
    std::string author;      // "Your Name"
    int synchronisation = 1; // 0 "Internal ( Processor )", 1 "External ( PLNs or Sync Gen )"
    int product = 0;         // 0 "Harnel16", 1 "Harnel4"
    int players = 2;         // "Number of Video Players"
};
