#include "reproducer/smpte_settings_element.h"

#include "foundation/conversions.h"
#include "foundation/text_string.h"
#include "reproducer/reelvox_fields.h"
#include "reproducer/timecode_trigger_elements.h"

#include <string>

namespace {

constexpr const char* kModeWords[] = {"disabled", "read", "generate", "gen_vid_sync"};
constexpr const char* kTransitionWords[] = {"stop", "loop"};
constexpr const char* kPhaseLockWords[] = {"no", "yes"};
constexpr const char* kVideoFormatWords[] = {"ntsc", "pal"};
constexpr const char* kControlSourceWords[] = {"show_control", "midi", "ascii", "debug"};
constexpr const char* kUnitTypeWords[] = {"compact", "big", "smpte", "ZELK3"};
constexpr const char* kAddressDefaults[] = {"192.168.0.254", "255.255.255.0", "0.0.0.0"};
constexpr const char* kZeroTime = "00:00:00.00";

} // namespace

// ---------------------------------------------------------------------------------------------

ShowDataTimecodeSMPTE_c::ShowDataTimecodeSMPTE_c() {
    SetTag(21);
}

std::unique_ptr<QORObject_c> ShowDataTimecodeSMPTE_c::Create() const {
    return std::make_unique<ShowDataTimecodeSMPTE_c>();
}

void ShowDataTimecodeSMPTE_c::ForgetTimecodeNodes() {
    m_nodes.fill(nullptr);
}

ShowXML_c* ShowDataTimecodeSMPTE_c::TimecodeNode(Field field) {
    if (field >= kTimecodeFieldCount || m_element == nullptr) {
        return nullptr;
    }
    ShowXML_c*& cache = m_nodes[field];
    if (cache != nullptr) {
        return cache;
    }
    switch (field) {
    case kMode:
        return reelvox_fields::Attribute(this, cache, "mode");
    case kStartOnPower:
        return reelvox_fields::Attribute(this, cache, "start_on_power");
    case kSmpteReset: {
        const bool existed = reelvox_fields::HasAttribute(m_element, "smpte_reset");
        reelvox_fields::Attribute(this, cache, "smpte_reset");
        if (!existed) {
            reelvox_fields::WriteText(cache, this, "true");
        }
        return cache;
    }
    case kMuteOnIdle:
        return reelvox_fields::Attribute(this, cache, "mute_on_idle");
    case kTransition: {
        ShowXML_c* end = TimecodeNode(kEnd);
        if (end != nullptr) {
            cache = ShowXML_c::FindOrCreateAttribute(end, "transition");
        }
        return cache;
    }
    case kPreroll:
        return reelvox_fields::ChildElement(this, cache, "preroll", kZeroTime);
    case kStart:
        return reelvox_fields::ChildElement(this, cache, "start", kZeroTime);
    case kEnd:
        return reelvox_fields::ChildElement(this, cache, "end", kZeroTime);
    case kFrameRate:
        return reelvox_fields::ChildElement(this, cache, "frame_rate", "30.0");
    default:
        return nullptr;
    }
}

std::uint8_t ShowDataTimecodeSMPTE_c::Bind(ShowXML_c* parent) {
    ForgetTimecodeNodes();
    Attach(nullptr);
    if (parent == nullptr || parent->NodeType() != QOR_XML_ELEMENT) {
        return QOR_ERROR;
    }
    ShowXML_c* element = ShowXML_c::FindOrCreateElement(parent, "smpte", nullptr);
    if (element == nullptr) {
        return QOR_ERROR;
    }
    Attach(element);
    m_timecode.SetFrameRate(FrameRate(), 0);
    return QOR_OK;
}

std::uint8_t ShowDataTimecodeSMPTE_c::Rebind() {
    if (m_element == nullptr) {
        return QOR_ERROR;
    }
    return Bind(static_cast<ShowXML_c*>(m_element->Parent()));
}

std::uint8_t ShowDataTimecodeSMPTE_c::SetMode(std::uint8_t index) {
    if (index > 3) {
        return QOR_ERROR;
    }
    return reelvox_fields::WriteText(TimecodeNode(kMode), this, kModeWords[index]);
}

std::uint8_t ShowDataTimecodeSMPTE_c::Mode() {
    const int index =
        reelvox_fields::WordIndex(reelvox_fields::Text(TimecodeNode(kMode)), kModeWords, 4);
    return index < 0 ? 0 : static_cast<std::uint8_t>(index);
}

std::uint8_t ShowDataTimecodeSMPTE_c::SetStartOnPower(std::uint8_t flag) {
    return reelvox_fields::WriteTextBool(TimecodeNode(kStartOnPower), this, flag);
}

std::uint8_t ShowDataTimecodeSMPTE_c::StartOnPower() {
    return reelvox_fields::TextBool(TimecodeNode(kStartOnPower));
}

std::uint8_t ShowDataTimecodeSMPTE_c::SetSmpteReset(std::uint8_t flag) {
    return reelvox_fields::WriteTextBool(TimecodeNode(kSmpteReset), this, flag);
}

std::uint8_t ShowDataTimecodeSMPTE_c::SmpteReset() {
    return reelvox_fields::TextBool(TimecodeNode(kSmpteReset));
}

std::uint8_t ShowDataTimecodeSMPTE_c::SetMuteOnIdle(std::uint8_t flag) {
    return reelvox_fields::WriteTextBool(TimecodeNode(kMuteOnIdle), this, flag);
}

std::uint8_t ShowDataTimecodeSMPTE_c::MuteOnIdle() {
    return reelvox_fields::TextBool(TimecodeNode(kMuteOnIdle));
}

std::uint8_t ShowDataTimecodeSMPTE_c::WriteTime(Field field, const QORSMPTETimecode_c* timecode) {
    if (timecode == nullptr || timecode == &m_timecode ||
        timecode->FrameRateIndex() != m_timecode.FrameRateIndex()) {
        return QOR_ERROR;
    }
    ShowXML_c* node = TimecodeNode(field);
    if (node == nullptr) {
        return QOR_ERROR;
    }
    timecode->CopyTo(&m_timecode);
    QORString_c text;
    m_timecode.ToText(&text);
    return reelvox_fields::WriteText(node, this, text.Chars());
}

std::uint8_t ShowDataTimecodeSMPTE_c::ReadTime(Field field, QORSMPTETimecode_c* timecode) {
    if (timecode == nullptr) {
        return QOR_ERROR;
    }
    ShowXML_c* node = TimecodeNode(field);
    if (node == nullptr) {
        return QOR_ERROR;
    }
    QORString_c text;
    const std::uint8_t status = GetNodeText(node, &text);
    if (status == QOR_OK) {
        timecode->FromText(&text);
    }
    return status;
}

std::uint8_t ShowDataTimecodeSMPTE_c::SetPreroll(const QORSMPTETimecode_c* timecode) {
    if (timecode == nullptr) {
        return reelvox_fields::WriteText(TimecodeNode(kPreroll), this, kZeroTime);
    }
    return WriteTime(kPreroll, timecode);
}

std::uint8_t ShowDataTimecodeSMPTE_c::SetStart(const QORSMPTETimecode_c* timecode) {
    return WriteTime(kStart, timecode);
}

std::uint8_t ShowDataTimecodeSMPTE_c::SetEnd(const QORSMPTETimecode_c* timecode) {
    return WriteTime(kEnd, timecode);
}

std::uint8_t ShowDataTimecodeSMPTE_c::GetPreroll(QORSMPTETimecode_c* timecode) {
    return ReadTime(kPreroll, timecode);
}

std::uint8_t ShowDataTimecodeSMPTE_c::GetStart(QORSMPTETimecode_c* timecode) {
    return ReadTime(kStart, timecode);
}

std::uint8_t ShowDataTimecodeSMPTE_c::GetEnd(QORSMPTETimecode_c* timecode) {
    return ReadTime(kEnd, timecode);
}

std::uint8_t ShowDataTimecodeSMPTE_c::SetTransition(std::uint8_t index) {
    if (index > 1) {
        return QOR_ERROR;
    }
    return reelvox_fields::WriteText(TimecodeNode(kTransition), this, kTransitionWords[index]);
}

std::uint8_t ShowDataTimecodeSMPTE_c::Transition() {
    return reelvox_fields::EqualsNoCase(reelvox_fields::Text(TimecodeNode(kTransition)), "loop")
               ? 1
               : 0;
}

std::uint8_t ShowDataTimecodeSMPTE_c::SetFrameRate(std::uint8_t index) {
    const std::uint8_t remembered = m_timecode.FrameRateIndex();
    QORString_c rateText;
    if (index > 5 || QORFrameRateText(&rateText, index) != QOR_OK) {
        return QOR_ERROR;
    }
    const std::uint8_t status =
        reelvox_fields::WriteText(TimecodeNode(kFrameRate), this, rateText.Chars());
    if (status != QOR_OK) {
        return status;
    }
    if (index != remembered) {
        for (Field field : {kPreroll, kStart, kEnd}) {
            ShowXML_c* node = TimecodeNode(field);
            if (node == nullptr) {
                continue;
            }
            m_timecode.SetFrameRate(remembered, 0);
            QORString_c text;
            GetNodeText(node, &text);
            m_timecode.FromText(&text);
            // The clock digits stay; only the rate they count in changes.
            m_timecode.SetFrameRate(index, 3);
            m_timecode.ToText(&text);
            reelvox_fields::WriteText(node, this, text.Chars());
        }
        m_timecode.SetFrameRate(index, 0);
    }
    return status;
}

std::uint8_t ShowDataTimecodeSMPTE_c::FrameRate() {
    const std::string text = reelvox_fields::Text(TimecodeNode(kFrameRate));
    QORString_c string;
    string.Assign(text.c_str());
    const std::uint8_t index = QORParseFrameRate(&string);
    if (index > 5) {
        return 5;
    }
    m_timecode.SetFrameRate(index, 0);
    return index;
}

// ---------------------------------------------------------------------------------------------

ReelvoxDataSMPTEInterface_c::ReelvoxDataSMPTEInterface_c() = default;
ReelvoxDataSMPTEInterface_c::~ReelvoxDataSMPTEInterface_c() = default;

std::unique_ptr<QORObject_c> ReelvoxDataSMPTEInterface_c::Create() const {
    return std::make_unique<ReelvoxDataSMPTEInterface_c>();
}

std::uint8_t ReelvoxDataSMPTEInterface_c::Bind(ShowXML_c* parent) {
    m_interfaceNodes.fill(nullptr);
    m_allowedRates.fill(0);
    m_triggers.reset();
    std::uint8_t status = ShowDataTimecodeSMPTE_c::Bind(parent);
    if (status != QOR_OK) {
        return status;
    }
    m_triggers = std::make_unique<ReelvoxDataTriggers_c>();
    m_triggers->SetOwner(Owner());
    status = m_triggers->Bind(m_element);
    if (status != QOR_OK) {
        return status;
    }
    if (!reelvox_fields::HasAttribute(m_element, "unit_number")) {
        reelvox_fields::WriteInt(InterfaceNode(kUnitNumber), this, 1);
    }
    if (!reelvox_fields::HasAttribute(m_element, "mode")) {
        SetMode(REELVOX_MODE_GEN_VID_SYNC);
        SetBoolAttribute("video_sync", this, QOR_TRUE, QOR_FALSE);
        SetFrameRate(3);
    }
    ShowXML_c* end = TimecodeNode(kEnd);
    if (end != nullptr && !reelvox_fields::HasAttribute(end, "transition")) {
        SetTransition(1);
    }
    ComputeAllowedRates();
    return status;
}

void ReelvoxDataSMPTEInterface_c::SetChangeTracking(std::uint8_t tracking) {
    ShowDataTimecodeSMPTE_c::SetChangeTracking(tracking);
    if (m_triggers) {
        m_triggers->SetChangeTracking(tracking);
    }
}

ShowXMLInterface_c* ReelvoxDataSMPTEInterface_c::FindBinding(const QORXML_c* node) {
    if (ShowXMLInterface_c* found = ShowDataTimecodeSMPTE_c::FindBinding(node)) {
        return found;
    }
    return m_triggers ? m_triggers->FindBinding(node) : nullptr;
}

ShowXML_c* ReelvoxDataSMPTEInterface_c::InterfaceNode(InterfaceField field) {
    if (field >= kInterfaceFieldCount || m_element == nullptr) {
        return nullptr;
    }
    ShowXML_c*& cache = m_interfaceNodes[field];
    switch (field) {
    case kIpAddress:
        return reelvox_fields::ChildElement(this, cache, "ip_address", "");
    case kSubnetMask:
        return reelvox_fields::ChildElement(this, cache, "subnet_mask", "");
    case kGateway:
        return reelvox_fields::ChildElement(this, cache, "gateway", "");
    case kVersion:
        return reelvox_fields::ChildElement(this, cache, "version", "");
    case kSmpteVersion:
        return reelvox_fields::ChildElement(this, cache, "smpte_version", "");
    case kUnitGroups:
        return reelvox_fields::ChildElement(this, cache, "unit_groups", nullptr);
    case kUnitNumber:
        return reelvox_fields::Attribute(this, cache, "unit_number");
    case kSplayDelay:
        return reelvox_fields::Attribute(this, cache, "splay_delay");
    case kPhaseLock:
        return reelvox_fields::Attribute(this, cache, "phase_lock");
    case kVideoFormat:
        return reelvox_fields::Attribute(this, cache, "video_format");
    case kClockFreq:
        return reelvox_fields::Attribute(this, cache, "clock_freq");
    case kControlSource:
        return reelvox_fields::Attribute(this, cache, "control_source");
    case kBitsCapable:
        return reelvox_fields::Attribute(this, cache, "bits_capable");
    case kUnitType:
        return reelvox_fields::Attribute(this, cache, "unit_type");
    case kSmpteLv:
        return reelvox_fields::Attribute(this, cache, "smpte_lv");
    default:
        return nullptr;
    }
}

std::uint8_t ReelvoxDataSMPTEInterface_c::AddressField(std::uint8_t kind, QORString_c* text) {
    if (text == nullptr) {
        return QOR_ERROR;
    }
    if (kind > 2) {
        text->Clear();
        return QOR_ERROR;
    }
    const std::uint8_t status =
        GetNodeText(InterfaceNode(static_cast<InterfaceField>(kIpAddress + kind)), text);
    if (text->Length() < 7) {
        text->Assign(kAddressDefaults[kind]);
    }
    return status;
}

ShowXML_c* ReelvoxDataSMPTEInterface_c::VersionElement() {
    return InterfaceNode(kVersion);
}

ShowXML_c* ReelvoxDataSMPTEInterface_c::SmpteVersionElement() {
    return InterfaceNode(kSmpteVersion);
}

std::int32_t ReelvoxDataSMPTEInterface_c::ClampedInt(InterfaceField field, std::int32_t low,
                                                     std::int32_t high) {
    ShowXML_c* node = InterfaceNode(field);
    const std::int32_t value = reelvox_fields::IntOr0(node);
    const std::int32_t clamped = value < low ? low : (value > high ? high : value);
    if (clamped != value) {
        reelvox_fields::WriteInt(node, this, clamped);
    }
    return clamped;
}

std::uint8_t ReelvoxDataSMPTEInterface_c::UnitNumber() {
    return static_cast<std::uint8_t>(ClampedInt(kUnitNumber, 0, 49));
}

std::uint8_t ReelvoxDataSMPTEInterface_c::SplayDelay() {
    return static_cast<std::uint8_t>(ClampedInt(kSplayDelay, 0, 127));
}

std::uint8_t ReelvoxDataSMPTEInterface_c::SmpteLv() {
    return static_cast<std::uint8_t>(ClampedInt(kSmpteLv, 0, 4));
}

std::uint8_t ReelvoxDataSMPTEInterface_c::EnableUnitGroup(std::uint8_t group) {
    if (group == 1) {
        return QOR_OK;
    }
    if (group < 2 || group > 9) {
        return QOR_ERROR;
    }
    ShowXML_c* groups = InterfaceNode(kUnitGroups);
    if (groups == nullptr) {
        return QOR_ERROR;
    }
    const std::string name = std::to_string(group);
    return reelvox_fields::WriteText(ShowXML_c::FindOrCreateAttribute(groups, name.c_str()), this,
                                     "yes");
}

std::uint8_t ReelvoxDataSMPTEInterface_c::IsUnitGroupEnabled(std::uint8_t group) {
    if (group == 1) {
        return QOR_TRUE;
    }
    if (group < 2 || group > 9) {
        return QOR_FALSE;
    }
    return reelvox_fields::GroupMember(InterfaceNode(kUnitGroups), group);
}

std::int32_t ReelvoxDataSMPTEInterface_c::UnitGroups(std::uint8_t* buffer) {
    if (buffer == nullptr) {
        return QOR_ERROR;
    }
    for (std::uint8_t group = 1; group <= 9; ++group) {
        buffer[group - 1] = IsUnitGroupEnabled(group);
    }
    return 9;
}

std::uint8_t ReelvoxDataSMPTEInterface_c::SetPhaseLock(std::uint8_t index) {
    if (index > 1) {
        return QOR_ERROR;
    }
    return reelvox_fields::WriteText(InterfaceNode(kPhaseLock), this, kPhaseLockWords[index]);
}

std::uint8_t ReelvoxDataSMPTEInterface_c::SetVideoFormat(std::uint8_t index) {
    if (index > 1) {
        return QOR_ERROR;
    }
    return reelvox_fields::WriteText(InterfaceNode(kVideoFormat), this, kVideoFormatWords[index]);
}

std::uint8_t ReelvoxDataSMPTEInterface_c::VideoFormat() {
    return reelvox_fields::EqualsNoCase(reelvox_fields::Text(InterfaceNode(kVideoFormat)), "pal")
               ? 1
               : 0;
}

std::uint8_t ReelvoxDataSMPTEInterface_c::SetClockFreq(std::uint8_t index) {
    if (index >= REELVOX_CLOCK_COUNT) {
        return QOR_ERROR;
    }
    char text[32] = {};
    std::int32_t count = 0;
    if (QORDoubleToText(&count, text, sizeof text, 3, REELVOX_CLOCK_KHZ[index]) == nullptr) {
        return QOR_ERROR;
    }
    return reelvox_fields::WriteText(InterfaceNode(kClockFreq), this, text);
}

std::uint8_t ReelvoxDataSMPTEInterface_c::ClockFreqIndex(double kilohertz) {
    for (std::int32_t i = 0; i < REELVOX_CLOCK_COUNT; ++i) {
        if (REELVOX_CLOCK_KHZ[static_cast<std::size_t>(i)] == kilohertz) {
            return static_cast<std::uint8_t>(i);
        }
    }
    return REELVOX_CLOCK_COUNT;
}

std::uint8_t ReelvoxDataSMPTEInterface_c::ClockFreq() {
    const std::string text = reelvox_fields::Text(InterfaceNode(kClockFreq));
    if (text.empty()) {
        return REELVOX_CLOCK_DEFAULT_INDEX;
    }
    std::uint8_t status = QOR_ERROR;
    const double kilohertz =
        QORTextToDouble(text.c_str(), static_cast<std::int32_t>(text.size()), &status);
    const std::uint8_t index = ClockFreqIndex(kilohertz);
    // The clock word tables only have rows for the listed frequencies.
    return index < REELVOX_CLOCK_COUNT ? index : REELVOX_CLOCK_DEFAULT_INDEX;
}

void ReelvoxDataSMPTEInterface_c::SetVideoSync(std::uint8_t flag) {
    if (flag == QOR_TRUE) {
        SetBoolAttribute("video_sync", this, QOR_TRUE, QOR_FALSE);
    } else {
        SetBoolAttribute("video_sync", this, QOR_FALSE, QOR_FALSE);
    }
    const std::uint8_t rate = FrameRate();
    ComputeAllowedRates();
    if (rate < m_allowedRates.size() && m_allowedRates[rate] == QOR_FALSE) {
        SetFrameRate(rate == 1 ? 0 : 3);
    }
}

std::uint8_t ReelvoxDataSMPTEInterface_c::VideoSync() {
    return GetBoolAttribute(this, "video_sync");
}

void ReelvoxDataSMPTEInterface_c::ComputeAllowedRates() {
    m_allowedRates.fill(QOR_TRUE);
    if (VideoSync() == QOR_TRUE) {
        m_allowedRates[1] = QOR_FALSE;
        m_allowedRates[4] = QOR_FALSE;
        m_allowedRates[5] = QOR_FALSE;
    }
}

std::uint8_t ReelvoxDataSMPTEInterface_c::RateAllowed(std::uint8_t rateIndex) const {
    return rateIndex < m_allowedRates.size() ? m_allowedRates[rateIndex] : QOR_FALSE;
}

std::uint8_t ReelvoxDataSMPTEInterface_c::SetControlSource(std::uint8_t index) {
    if (index > 3) {
        return QOR_ERROR;
    }
    return reelvox_fields::WriteText(InterfaceNode(kControlSource), this,
                                     kControlSourceWords[index]);
}

std::uint8_t ReelvoxDataSMPTEInterface_c::ControlSource() {
    const int index = reelvox_fields::WordIndex(reelvox_fields::Text(InterfaceNode(kControlSource)),
                                                kControlSourceWords, 4);
    return index < 0 ? 0 : static_cast<std::uint8_t>(index);
}

std::uint8_t ReelvoxDataSMPTEInterface_c::SetUnitType(std::uint8_t index) {
    if (index > 3) {
        return QOR_ERROR;
    }
    return reelvox_fields::WriteText(InterfaceNode(kUnitType), this, kUnitTypeWords[index]);
}

std::uint8_t ReelvoxDataSMPTEInterface_c::UnitType() {
    const std::string text = reelvox_fields::Text(InterfaceNode(kUnitType));
    if (reelvox_fields::EqualsNoCase(text, "ZELK3")) {
        return 3;
    }
    if (reelvox_fields::EqualsNoCase(text, "big")) {
        return 1;
    }
    if (reelvox_fields::EqualsNoCase(text, "smpte")) {
        return 2;
    }
    return 0;
}

std::uint8_t ReelvoxDataSMPTEInterface_c::SetBitsCapable(std::uint8_t index) {
    if (index > 1) {
        return QOR_ERROR;
    }
    return reelvox_fields::WriteText(InterfaceNode(kBitsCapable), this, index == 1 ? "24" : "16");
}

std::uint8_t ReelvoxDataSMPTEInterface_c::BitsCapable() {
    std::int32_t value = 0;
    if (reelvox_fields::Int(InterfaceNode(kBitsCapable), &value) && value == 16) {
        return 0;
    }
    return 1;
}

std::uint8_t ReelvoxDataSMPTEInterface_c::SetTimecodeOutput(std::uint8_t flag) {
    return SetBoolAttribute("timecode_output", this, flag == QOR_TRUE ? QOR_TRUE : QOR_FALSE,
                            QOR_FALSE);
}

std::uint8_t ReelvoxDataSMPTEInterface_c::TimecodeOutput() {
    return GetBoolAttribute(this, "timecode_output");
}

std::uint8_t ReelvoxDataSMPTEInterface_c::SetStopOnSmpteStop(std::uint8_t flag) {
    return SetBoolAttribute("stop_on_smpte_stop", this, flag == QOR_TRUE ? QOR_TRUE : QOR_FALSE,
                            QOR_FALSE);
}

std::uint8_t ReelvoxDataSMPTEInterface_c::StopOnSmpteStop() {
    return GetBoolAttribute(this, "stop_on_smpte_stop");
}
