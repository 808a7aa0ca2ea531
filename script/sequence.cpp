#include "script/sequence.h"

#include "script/dialog_requests.h"
#include "script/time_conversions.h"
#include "script/vl_doc.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

// An event's time in whole frames, truncated toward zero as the ordering compares them.
long long TruncatedFrames(double frames) {
    if (std::isnan(frames))
        return 0;
    return static_cast<long long>(std::clamp(frames, -9.0e18, 9.0e18));
}

std::string TimeText(const std::array<std::int32_t, 4>& time) {
    return TwoDigitText(time[0]) + ':' + TwoDigitText(time[1]) + ':' + TwoDigitText(time[2]) + '.' +
           TwoDigitText(time[3]) + ' ';
}

} // namespace

CSeq::CSeq(std::string name, std::uint16_t level) : m_strName(std::move(name)), m_wLevel(level) {
    for (CTrigger& trigger : m_aTriggers) {
        trigger.m_nGoesOn = 1;
        trigger.m_wCombine = CTrigger::And;
        trigger.m_wComparison = CTrigger::EQ;
    }
}

CSeq::~CSeq() = default;

bool CSeq::EditTrigger(CVLDoc* document, int index) {
    if (index < 0 || index >= static_cast<int>(m_aTriggers.size()))
        return false;
    CTrigger& trigger = m_aTriggers[static_cast<std::size_t>(index)];
    CSeqTriggerDlg dialog;
    dialog.document = document;
    dialog.sequence = this;
    dialog.triggerIndex = index;
    dialog.combine = trigger.m_wCombine;
    dialog.comparison = trigger.m_wComparison;
    dialog.goesOff = trigger.m_nGoesOn == 0 ? 1 : 0;
    if (!platform::Ui().RunDialog(dialog))
        return false;
    trigger.m_wCombine = dialog.combine;
    trigger.m_wComparison = dialog.comparison;
    trigger.m_nGoesOn = dialog.goesOff == 0 ? 1 : 0;
    // The trigger is part of the script's text and of its image: both must be saved and built.
    m_nNeedsCompile = 1;
    if (document)
        document->SetModifiedFlag(true);
    return true;
}

void CSeq::SortEventsByTime(double frameRate) {
    std::vector<std::pair<long long, std::unique_ptr<CEvnt>>> keyed;
    keyed.reserve(m_poEventList.size());
    for (auto& event : m_poEventList)
        keyed.emplace_back(TruncatedFrames(TimeTextToFrames(event->m_strTime, frameRate)),
                           std::move(event));
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t i = 0; i < keyed.size(); ++i)
        m_poEventList[i] = std::move(keyed[i].second);
}

bool CSeq::CheckEventOrder(double frameRate, bool raise) {
    bool inOrder = true;
    for (std::size_t i = 1; i < m_poEventList.size(); ++i) {
        const double previous = TimeTextToFrames(m_poEventList[i - 1]->m_strTime, frameRate);
        double current = TimeTextToFrames(m_poEventList[i]->m_strTime, frameRate);
        if (TruncatedFrames(current) < TruncatedFrames(previous)) {
            inOrder = false;
            if (raise)
                current = previous;
        }
        // Written from the exact count: the truncated one would move a time at 29.97 on every
        // check (00:01.00 is 29.97 frames, which truncated reads back as 00:00.29).
        m_poEventList[i]->m_strTime = FramesToMinSecText(current, frameRate);
    }
    return inOrder;
}

std::string CSeq::GetTriggerText(int index) const {
    static const char* const kPrefixes[] = {"Start: ", "Stop: ", "Pause: ", "Reset: "};
    static const char* const kComparisons[] = {" eq ", " neq ", " gt ", " lt ", " ge ", " le "};
    if (index < 0 || index >= static_cast<int>(m_aTriggers.size()))
        return {};
    const CTrigger& trigger = m_aTriggers[static_cast<std::size_t>(index)];
    std::string text = kPrefixes[index];
    if (!trigger.IsSet())
        return text + "none";
    if (!trigger.m_strIoName.empty()) {
        text += trigger.m_strIoName;
        text += trigger.m_nGoesOn ? " goes on" : " goes off";
        if (!trigger.m_strVariable.empty())
            text += trigger.m_wCombine == CTrigger::And ? ", and " : ", or ";
    }
    if (!trigger.m_strVariable.empty()) {
        text += trigger.m_strVariable;
        // A comparison outside the six known ones is shown without a name.
        text += trigger.m_wComparison <= CTrigger::LE ? kComparisons[trigger.m_wComparison] : " ";
        text += trigger.m_strValue.empty() ? "(var/literal missing)" : trigger.m_strValue;
    }
    return text;
}

std::string CSeq::GetTimecodeText() const {
    std::string text;
    auto add = [&text](const std::string& part) {
        if (!text.empty())
            text += "; ";
        text += part;
    };
    if (m_aTriggers[Start].IsSet())
        add(GetTriggerText(Start));
    if (m_nSmpteStartOn == 1)
        add("Timecode Trigger: " + TimeText(m_anSmpteStart));
    if (m_nChaseOn == 1)
        add("Timecode Chase: " + TimeText(m_anChaseStart));
    for (int index : {Stop, Pause, Reset})
        if (m_aTriggers[static_cast<std::size_t>(index)].IsSet())
            add(GetTriggerText(index));
    return text;
}
