// "Configure SMPTE" as a typed request: the script's SMPTE settings and the choices of its
// SMPTE interface, in and out, and whether the configuration is to be downloaded at once.
#pragma once

#include "platform/ui_services.h"

#include <cstdint>
#include <string>

class CVLDoc;

struct CSmpteDlg : platform::DialogRequest {
    static constexpr const char* kDialogName = "CSmpteDlg";
    const char* DialogName() const override { return kDialogName; }

    // Which port the interface is controlled through.
    enum ControlPort { kNoPort = -1, kShowControlPort = 0, kMidiPort = 1 };
    // How the timecode is made.
    enum Mode { kGenerateNoVideoSync = 0, kGenerateVideoSync = 1, kReadExternal = 2 };

    int smpteUsed = 0;                  // check box: the script configures SMPTE
    int device = 2;                     // 0 all reproducer models, 1 legacy, 2 Tembrel
    std::uint16_t dropoutTolerance = 5; // frames
    int enabledOnPowerUp = 0;           // check box
    int startButtonRestarts = 1;        // check box
    int transition = 0;                 // 1: do not stop at the end time
    int controlPort = kShowControlPort;
    int useMtc = 0;                      // with the MIDI port
    int enableTimeStamp = 0;             // with the show control port
    int muteWhenStopped = 0;             // check box
    std::string preroll = "00:00:00.00"; // HH:MM:SS.FF
    std::string start = "00:00:00.00";
    std::string end = "00:00:00.00";
    int frameRate = 5;      // 0 23.976, 1 24, 2 25, 3 29.97 ND, 4 29.97 DF, 5 30
    int clockFrequency = 4; // 0 32.0, 1 35.0, 2 44.056, 3 44.1, 4 48.0 kHz
    int ntscGenlock = 1;    // check box: video format 0
    int mode = kGenerateNoVideoSync;
    int configureNow = 0; // download the configuration once the dialog closes
    // The script, for the dialog's immediate SMPTE switch (none: the switch sends nothing).
    CVLDoc* document = nullptr;
};
