// What the compile driver takes from outside the compiler: the hand-off to the download (the
// link installs it), the local clock of the late-night remarks (tests fix it), the popup delay
// and the script's SMPTE dropout tolerance. Each is a settable function with a plain default.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

class CVLDoc;

// The link's side of "compile and download". Without an installed hand-off no port and no
// networked device are known, and a clean compile reports the link as offline.
struct DownloadHandOff {
    // Serial ports present on this machine.
    std::function<int()> countComPorts;
    // Networked devices configured.
    std::function<int()> networkedDeviceCount;
    // Asks how to send, showing the compile result as the dialog's message; true to go ahead.
    std::function<bool(CVLDoc&, const std::string& message)> chooseCommMethod;
    // Sends the document's compiled image; its outcome is reported by the link itself.
    std::function<void(CVLDoc&)> downloadCompiledScript;
};

// Installs the hand-off; answers the previous one.
DownloadHandOff SetDownloadHandOff(DownloadHandOff handOff);
const DownloadHandOff& GetDownloadHandOff();

// The local time the compile reads for its remarks.
struct CompileClockTime {
    int hour = 0;   // 0-23
    int second = 0; // 0-59
};
using CompileClock = std::function<CompileClockTime()>;
// Installs a clock (an empty function restores the system's local clock); answers the previous.
CompileClock SetCompileClock(CompileClock clock);
CompileClockTime CompileLocalTime();

// How long status popups stay up, in ticks of 55 ms (the "Popup Window Delay" setting).
int GetPopupDelayTicks();
void SetPopupDelayTicks(int ticks);

// The script's SMPTE chase dropout tolerance; until a source is installed, the setting's
// default of 5.
using DropoutToleranceSource = std::function<std::uint16_t(const CVLDoc&)>;
DropoutToleranceSource SetDropoutToleranceSource(DropoutToleranceSource source);
std::uint16_t GetDropoutTolerance(const CVLDoc& doc);
