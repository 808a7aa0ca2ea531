// A sequence of a script: its settings, its four triggers and its events in the order the
// user keeps them.
#pragma once

#include "script/byte_string.h"
#include "script/event.h"
#include "script/trigger.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CVLDoc;

using CEvntList = std::vector<std::unique_ptr<CEvnt>>;

class CSeq {
public:
    enum TriggerIndex { Start = 0, Stop = 1, Pause = 2, Reset = 3 };

    CSeq(std::string name, std::uint16_t level);
    virtual ~CSeq();
    CSeq(const CSeq&) = delete;
    CSeq& operator=(const CSeq&) = delete;

    // Edits one trigger (0 start, 1 stop, 2 pause, 3 reset) in the sequence trigger dialog.
    // The dialog writes the io name, variable and value itself; on OK this stores the combine,
    // comparison and goes-on choice, marks the sequence for compiling and answers true, and
    // the caller then marks the document modified. On Cancel nothing changes.
    bool EditTrigger(CVLDoc* document, int index);

    // Orders the events by time in whole frames at the script's frame rate; events of equal
    // time keep their order.
    void SortEventsByTime(double frameRate);

    // Rewrites every time but the first in MM:SS.FF and answers whether the times were in
    // order; with raise, a time earlier than its predecessor is raised to it.
    bool CheckEventOrder(double frameRate, bool raise);

    // "Start: ", "Stop: ", "Pause: " or "Reset: " and the trigger's condition, or "none".
    std::string GetTriggerText(int index) const;
    // One line summing up every trigger that is set; empty when none is.
    std::string GetTimecodeText() const;

    std::array<std::int32_t, 4> m_anWindowPos{-1, -1, -1, -1}; // x, y, width, height
    std::string m_strName;
    std::string m_strDescription;
    ByteString m_bsHeader;                                  // compiled header
    std::array<std::int32_t, 4> m_anSmpteStart{0, 0, 0, 0}; // hours, minutes, seconds, frames
    std::array<std::int32_t, 4> m_anChaseStart{0, 0, 0, 0};
    double m_dChaseStart = 0.0;                  // timeline editor's working copy, not stored
    std::string m_strChaseStart = "00:00:00.00"; // the same as text, not stored
    std::int32_t m_nLooping = 0;
    std::int32_t m_nAutoStart = 0;
    std::int32_t m_nRestart = 0;
    std::int32_t m_nSmpteStartOn = 0;
    std::int32_t m_nChaseOn = 0;
    std::int32_t m_nChaseMode = 0; // 0 run once, otherwise jam sync
    std::int32_t m_nFreezeWhileWaiting = 0;
    std::int32_t m_nMaximized = 0;
    std::int32_t m_nMinimized = 0;
    std::int32_t m_nNeedsCompile = 1;
    std::uint16_t m_wRestartLockout = 0; // frames
    std::uint16_t m_wLevel;              // 1 no indentation, 2 to 6 one to five levels
    // Row number, Label, Time, Event, Data1-Data4, Comment.
    std::array<std::uint16_t, 9> m_awEventColWidths{400,  2265, 2085, 3475, 2340,
                                                    2340, 2340, 2340, 7500};
    std::array<CTrigger, 4> m_aTriggers;
    CEvntList m_poEventList;
};
