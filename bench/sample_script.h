// The sample script the benchmarks measure with: `sequences` sequences of `events` events each,
// with labels, times, outputs, a data string and some comments, as a show programmer's script
// would hold them.
#pragma once

#include "script/vl_doc.h"

#include <memory>
#include <string>

namespace bench_support {

inline void FillSampleScript(CVLDoc& doc, int sequences, int events, int outputs) {
    doc.InitNewScript("Harnel16");
    doc.m_poSeqList.clear();
    doc.m_poDataStrList.push_back(std::make_unique<CDataStr>("Hello", "\"Hi there\"", "x"));
    for (int s = 1; s <= sequences; ++s) {
        auto seq = std::make_unique<CSeq>("Scene_" + std::to_string(s), 1);
        seq->m_nLooping = s % 2;
        seq->m_aTriggers[0].m_strIoName = "Input" + std::to_string(s % outputs + 1);
        for (int e = 0; e < events; ++e) {
            auto event = std::make_unique<CEvnt>();
            event->m_strLabel = e % 10 ? "" : "Cue" + std::to_string(e);
            event->m_strTime = "00:" + std::to_string(10 + e % 50) + ".0" + std::to_string(e % 10);
            event->m_strEvent = e % 3 ? "SetOutput" : "SendString";
            event->m_strData1 = e % 3 ? "Output" + std::to_string(e % outputs + 1) : "Port1";
            event->m_strData2 = e % 3 ? "On" : "Hello";
            event->m_strComment = e % 4 ? "" : "from the stage manager";
            seq->m_poEventList.push_back(std::move(event));
        }
        doc.m_poSeqList.push_back(std::move(seq));
    }
}

} // namespace bench_support
