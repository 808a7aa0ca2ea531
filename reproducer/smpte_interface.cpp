#include "reproducer/smpte_interface.h"

#include "foundation/byte_buffer.h"
#include "foundation/checksum.h"
#include "foundation/smpte_timecode.h"
#include "foundation/status.h"
#include "foundation/text_string.h"
#include "foundation/thread.h"
#include "foundation/xml_node.h"
#include "foundation/xml_text.h"
#include "reproducer/port_info_elements.h"
#include "reproducer/reelvox_data_document.h"
#include "reproducer/reelvox_system.h"
#include "reproducer/reproducer_elements.h"
#include "reproducer/reproducer_units.h"
#include "reproducer/smpte_settings_element.h"
#include "reproducer/timecode_trigger_elements.h"

#include <charconv>
#include <string>
#include <string_view>

namespace {

constexpr std::uint8_t kBool(bool b) {
    return b ? QOR_TRUE : QOR_FALSE;
}

ReelvoxSMPTEInterface_c* Self(void* interface) {
    return static_cast<ReelvoxSMPTEInterface_c*>(interface);
}

} // namespace

ReelvoxSMPTEInterface_c::ReelvoxSMPTEInterface_c()
    : m_triggerTable(std::make_unique<ReelvoxTriggerTable_c>()),
      m_reply(QORBuffer_c::New(kReplyCapacity)) {
    if (!m_reply) {
        m_reply = std::make_unique<QORBuffer_c>();
    }
    SetState(SMPTE_STEP_DISABLE);
    m_triggerTable->Bind(this, nullptr, nullptr);
    m_parsers[0] = std::make_unique<ReelvoxReplyParser_c>(&ParseTextReply, this);
    m_parsers[1] = std::make_unique<ReelvoxReplyParser_c>(&ParseShortReply, this);
    m_parsers[2] = std::make_unique<ReelvoxReplyParser_c>(&ParseStatusTable, this);
    m_parsers[3] = std::make_unique<ReelvoxReplyParser_c>(&ParseSettingsReply, this);
    Reload();
}

ReelvoxSMPTEInterface_c::~ReelvoxSMPTEInterface_c() = default;

ReelvoxReplyParser_c* ReelvoxSMPTEInterface_c::Parser(std::int32_t which) const {
    return which >= 0 && which < 4 ? m_parsers[static_cast<std::size_t>(which)].get() : nullptr;
}

std::array<std::uint8_t, 3> ReelvoxSMPTEInterface_c::StatusEntry(std::int32_t index) const {
    return index >= 0 && index < kSmpteStatusTableLength
               ? m_statusTable[static_cast<std::size_t>(index)]
               : std::array<std::uint8_t, 3>{};
}

ReelvoxDataSMPTEInterface_c* ReelvoxSMPTEInterface_c::Element() {
    BindPendingDocument();
    if (m_element == nullptr && m_document != nullptr) {
        ReelvoxData_c* root = m_document->Root();
        ReelvoxDataSMPTEInterface_c* smpte = root != nullptr ? root->SMPTE() : nullptr;
        m_element = smpte != nullptr && smpte->Element() != nullptr ? smpte : nullptr;
    }
    return m_element;
}

void ReelvoxSMPTEInterface_c::BindOwnerDocumentLater() {
    std::lock_guard lock(m_bindMutex);
    m_element = nullptr;
    m_document = nullptr;
    m_bindPending.store(true, std::memory_order_release);
}

void ReelvoxSMPTEInterface_c::BindPendingDocument() {
    if (!m_bindPending.load(std::memory_order_acquire)) {
        return;
    }
    std::lock_guard lock(m_bindMutex);
    // Binding uses the interface itself: its own calls find the document already set.
    if (m_binding || !m_bindPending.load(std::memory_order_relaxed)) {
        return;
    }
    m_binding = true;
    BindDocument(m_owner != nullptr ? m_owner->Document() : nullptr);
    m_binding = false;
}

ReelvoxTriggerTable_c* ReelvoxSMPTEInterface_c::TriggerTable() {
    BindPendingDocument();
    return m_triggerTable.get();
}

void ReelvoxSMPTEInterface_c::BindDocument(ReelvoxDataDocument_c* document) {
    m_element = nullptr;
    m_document = document;
    Element();
    m_triggerTable->Bind(this, SettingsTimecode(),
                         m_owner != nullptr ? m_owner->Document() : document);
    SetUnitType(GetUnitType());
    // Cleared last: another thread that sees it clear finds the binding complete.
    m_bindPending.store(false, std::memory_order_release);
}

void ReelvoxSMPTEInterface_c::Reload() {
    if (ReelvoxDataSMPTEInterface_c* element = Element()) {
        const std::uint8_t bits = GetBitsCapable();
        const std::uint8_t type = GetUnitType();
        element->Element()->RemoveChildren();
        ShowXML_c* parent = static_cast<ShowXML_c*>(element->Element()->Parent());
        element->Bind(parent);
        BindDocument(m_document);
        if (ReelvoxDataSMPTEInterface_c* again = Element()) {
            again->SetBitsCapable(bits);
            again->SetUnitType(type);
        }
    }
    m_replyBytes = {0, 0};
}

QORSMPTETimecode_c* ReelvoxSMPTEInterface_c::SettingsTimecode() {
    ReelvoxDataSMPTEInterface_c* element = Element();
    return element != nullptr ? element->WorkingTimecode() : nullptr;
}

// ---- settings -------------------------------------------------------------------------------

std::uint8_t ReelvoxSMPTEInterface_c::SetFrameRate(std::uint8_t index) {
    auto* e = Element();
    return e != nullptr && index <= 5 ? e->SetFrameRate(index) : QOR_ERROR;
}
std::uint8_t ReelvoxSMPTEInterface_c::GetFrameRate() {
    auto* e = Element();
    return e != nullptr ? e->FrameRate() : 5;
}
std::uint8_t ReelvoxSMPTEInterface_c::SetStart(const QORSMPTETimecode_c* t) {
    auto* e = Element();
    return e != nullptr ? e->SetStart(t) : QOR_ERROR;
}
std::uint8_t ReelvoxSMPTEInterface_c::GetStart(QORSMPTETimecode_c* t) {
    auto* e = Element();
    return e != nullptr ? e->GetStart(t) : QOR_ERROR;
}
std::uint8_t ReelvoxSMPTEInterface_c::SetEnd(const QORSMPTETimecode_c* t) {
    auto* e = Element();
    return e != nullptr ? e->SetEnd(t) : QOR_ERROR;
}
std::uint8_t ReelvoxSMPTEInterface_c::GetEnd(QORSMPTETimecode_c* t) {
    auto* e = Element();
    return e != nullptr ? e->GetEnd(t) : QOR_ERROR;
}
std::uint8_t ReelvoxSMPTEInterface_c::SetPreroll(const QORSMPTETimecode_c* t) {
    auto* e = Element();
    return e != nullptr ? e->SetPreroll(t) : QOR_ERROR;
}
std::uint8_t ReelvoxSMPTEInterface_c::GetPreroll(QORSMPTETimecode_c* t) {
    auto* e = Element();
    return e != nullptr ? e->GetPreroll(t) : QOR_ERROR;
}
std::uint8_t ReelvoxSMPTEInterface_c::SetGenerate(std::uint8_t flag) {
    auto* e = Element();
    return e != nullptr ? e->SetMode(flag == QOR_TRUE ? REELVOX_MODE_GENERATE : REELVOX_MODE_READ)
                        : QOR_ERROR;
}
std::uint8_t ReelvoxSMPTEInterface_c::IsGenerating() {
    auto* e = Element();
    if (e == nullptr) {
        return QOR_FALSE;
    }
    const std::uint8_t mode = e->Mode();
    return kBool(mode == REELVOX_MODE_GENERATE || mode == REELVOX_MODE_GEN_VID_SYNC);
}
std::uint8_t ReelvoxSMPTEInterface_c::GetStopOnSmpteStop() {
    auto* e = Element();
    return e != nullptr ? e->StopOnSmpteStop() : QOR_FALSE;
}
std::uint8_t ReelvoxSMPTEInterface_c::SetVideoSync(std::uint8_t flag) {
    auto* e = Element();
    if (e == nullptr) {
        return QOR_ERROR;
    }
    e->SetVideoSync(flag);
    return QOR_OK;
}
std::uint8_t ReelvoxSMPTEInterface_c::GetVideoSync() {
    auto* e = Element();
    return e != nullptr ? e->VideoSync() : QOR_FALSE;
}
std::uint8_t ReelvoxSMPTEInterface_c::SetTimecodeOutput(std::uint8_t flag) {
    auto* e = Element();
    return e != nullptr ? e->SetTimecodeOutput(flag) : QOR_ERROR;
}
std::uint8_t ReelvoxSMPTEInterface_c::GetTimecodeOutput() {
    auto* e = Element();
    return e != nullptr ? e->TimecodeOutput() : QOR_FALSE;
}
std::uint8_t ReelvoxSMPTEInterface_c::SetStartOnPower(std::uint8_t flag) {
    auto* e = Element();
    return e != nullptr ? e->SetStartOnPower(flag) : QOR_ERROR;
}
std::uint8_t ReelvoxSMPTEInterface_c::GetStartOnPower() {
    auto* e = Element();
    return e != nullptr ? e->StartOnPower() : QOR_FALSE;
}
std::uint8_t ReelvoxSMPTEInterface_c::SetSmpteReset(std::uint8_t flag) {
    auto* e = Element();
    return e != nullptr ? e->SetSmpteReset(flag) : QOR_ERROR;
}
std::uint8_t ReelvoxSMPTEInterface_c::GetSmpteReset() {
    auto* e = Element();
    return e != nullptr ? e->SmpteReset() : QOR_FALSE;
}
std::uint8_t ReelvoxSMPTEInterface_c::SetMuteOnIdle(std::uint8_t flag) {
    auto* e = Element();
    return e != nullptr ? e->SetMuteOnIdle(flag) : QOR_ERROR;
}
std::uint8_t ReelvoxSMPTEInterface_c::GetMuteOnIdle() {
    auto* e = Element();
    return e != nullptr ? e->MuteOnIdle() : QOR_FALSE;
}
std::uint8_t ReelvoxSMPTEInterface_c::SetControlSource(std::uint8_t index) {
    auto* e = Element();
    return e != nullptr ? e->SetControlSource(index <= 3 ? index : 0) : QOR_ERROR;
}
std::uint8_t ReelvoxSMPTEInterface_c::GetControlSource() {
    auto* e = Element();
    return e != nullptr ? e->ControlSource() : 0;
}
std::uint8_t ReelvoxSMPTEInterface_c::SetTransition(std::uint8_t index) {
    auto* e = Element();
    return e != nullptr && index <= 1 ? e->SetTransition(index) : QOR_ERROR;
}
std::uint8_t ReelvoxSMPTEInterface_c::GetTransition() {
    auto* e = Element();
    return e != nullptr ? e->Transition() : 0;
}
std::uint8_t ReelvoxSMPTEInterface_c::SetVideoFormat(std::uint8_t index) {
    auto* e = Element();
    return e != nullptr && index <= 1 ? e->SetVideoFormat(index) : QOR_ERROR;
}
std::uint8_t ReelvoxSMPTEInterface_c::GetVideoFormat() {
    auto* e = Element();
    return e != nullptr ? e->VideoFormat() : 0;
}
std::uint8_t ReelvoxSMPTEInterface_c::SetClockFreq(std::uint8_t index) {
    auto* e = Element();
    return e != nullptr && index < kSmpteClockRows ? e->SetClockFreq(index) : QOR_ERROR;
}
std::uint8_t ReelvoxSMPTEInterface_c::GetClockFreq() {
    auto* e = Element();
    const std::uint8_t index = e != nullptr ? e->ClockFreq() : 4;
    return index < kSmpteClockRows ? index : 4;
}
std::uint8_t ReelvoxSMPTEInterface_c::SetBitsCapable(std::uint8_t flag) {
    auto* e = Element();
    return e != nullptr ? e->SetBitsCapable(flag == 1 ? 1 : 0) : QOR_ERROR;
}
std::uint8_t ReelvoxSMPTEInterface_c::GetBitsCapable() {
    auto* e = Element();
    return e != nullptr ? e->BitsCapable() : 1;
}
std::uint8_t ReelvoxSMPTEInterface_c::GetUnitType() {
    auto* e = Element();
    const std::uint8_t type = e != nullptr ? e->UnitType() : 0;
    return type <= 3 ? type : 0;
}
std::uint8_t ReelvoxSMPTEInterface_c::GetUnitNumber() {
    auto* e = Element();
    return e != nullptr ? e->UnitNumber() : 0;
}
std::uint8_t ReelvoxSMPTEInterface_c::GetUnitGroups(std::uint8_t* flags) {
    auto* e = Element();
    if (e == nullptr || flags == nullptr || e->UnitGroups(flags) != 9) {
        return QOR_ERROR;
    }
    flags[0] = QOR_TRUE; // group 1 always takes part
    return QOR_OK;
}
std::uint8_t ReelvoxSMPTEInterface_c::GetSplayDelay() {
    auto* e = Element();
    return e != nullptr ? e->SplayDelay() : 0;
}
std::uint8_t ReelvoxSMPTEInterface_c::GetSmpteLv() {
    auto* e = Element();
    return e != nullptr ? e->SmpteLv() : 0;
}
std::uint8_t ReelvoxSMPTEInterface_c::GetVersionText(QORString_c* text) {
    auto* e = Element();
    if (e == nullptr || text == nullptr) {
        return QOR_ERROR;
    }
    return ShowXMLInterface_c::GetNodeText(e->VersionElement(), text);
}

double ReelvoxSMPTEInterface_c::FirmwareVersion() {
    QORString_c text;
    if (GetVersionText(&text) != QOR_OK) {
        return 0.0;
    }
    const std::string_view view = text.View();
    const std::size_t v = view.find('V');
    if (v == std::string_view::npos) {
        return 0.0;
    }
    double version = 0.0;
    const char* begin = view.data() + v + 1;
    const auto [end, ec] = std::from_chars(begin, view.data() + view.size(), version);
    return ec == std::errc() && end != begin ? version : 0.0;
}

double ReelvoxSMPTEInterface_c::SampleClockRate() {
    return ReelvoxSampleClockRate(Element() != nullptr ? GetUnitType() : 0, GetClockFreq());
}

ReelvoxSmpteValues ReelvoxSMPTEInterface_c::Values() {
    ReelvoxSmpteValues v;
    auto* e = Element();
    if (e == nullptr) {
        return v;
    }
    v.unitType = GetUnitType();
    v.frameRate = GetFrameRate();
    v.clockIndex = GetClockFreq();
    v.videoFormat = GetVideoFormat();
    v.bitsCapable = GetBitsCapable() == 1;
    const std::uint8_t mode = e->Mode();
    v.generating = mode == REELVOX_MODE_GENERATE || mode == REELVOX_MODE_GEN_VID_SYNC;
    v.videoSync = GetVideoSync() == QOR_TRUE;
    v.stopOnSmpteStop = GetStopOnSmpteStop() == QOR_TRUE;
    v.timecodeOutput = GetTimecodeOutput() == QOR_TRUE;
    v.midiControl = GetControlSource() == 1;
    v.transition = GetTransition();
    v.startOnPower = GetStartOnPower() == QOR_TRUE;
    v.smpteReset = GetSmpteReset() == QOR_TRUE;
    v.muteOnIdle = GetMuteOnIdle() == QOR_TRUE;
    return v;
}

std::uint8_t ReelvoxSMPTEInterface_c::SetUnitType(std::uint8_t type) {
    ReelvoxDataSMPTEInterface_c* e = Element();
    if (e == nullptr) {
        return QOR_ERROR;
    }
    std::uint8_t status = QOR_OK;
    if (type <= 3 && type != GetUnitType()) {
        std::int32_t count = 0;
        std::uint8_t product = REELVOX_PRODUCT_AUTO_DETECT;
        if (type == 1) {
            e->SetBitsCapable(0);
            if (m_owner != nullptr) {
                m_owner->SetReproducerCount(20);
                m_owner->SetIgnoreErrors(QOR_TRUE);
            }
            product = REELVOX_PRODUCT_LEGACY;
            count = 20;
        } else if (type == 0 || type == 3) {
            count = m_owner != nullptr ? m_owner->ReproducerCount() : 0;
            if (count >= 20 && m_owner != nullptr) {
                m_owner->SetReproducerCount(16);
                count = 16;
            }
        }
        for (std::int32_t unit = count; m_owner != nullptr && unit >= 1; --unit) {
            ReelvoxReproducer_c* repro = m_owner->Reproducer(static_cast<std::uint8_t>(unit));
            if (repro != nullptr && repro->Product() != REELVOX_PRODUCT_NOT_INSTALLED) {
                repro->SetProduct(product);
            }
        }
        status = e->SetUnitType(type);
    }
    ApplyTriggerMaximum(GetUnitType());
    return status;
}

void ReelvoxSMPTEInterface_c::ApplyTriggerMaximum(std::uint8_t type) {
    std::int32_t maximum = 64;
    if (type == 0 || type == 2) {
        maximum = 250;
    } else if (type == 3) {
        maximum = 256;
    }
    m_triggerTable->SetMaxTriggers(maximum);
}

std::int32_t ReelvoxSMPTEInterface_c::SettingsXmlSize() {
    ReelvoxDataSMPTEInterface_c* e = Element();
    if (e == nullptr) {
        return 0;
    }
    QORXMLSetWriteHidden(QOR_TRUE);
    const std::int32_t size = e->Element()->WrittenSize();
    QORXMLSetWriteHidden(QOR_FALSE);
    return size;
}

std::int32_t ReelvoxSMPTEInterface_c::WriteSettingsXml(std::uint8_t* destination,
                                                       std::int32_t capacity) {
    ReelvoxDataSMPTEInterface_c* e = Element();
    if (e == nullptr) {
        return QOR_COUNT_ERROR;
    }
    QORBuffer_c memory;
    if (destination != nullptr && capacity > 0) {
        memory.Attach(destination, capacity, QOR_BORROWS);
    }
    QORXMLSetWriteHidden(QOR_TRUE);
    const std::int32_t written = e->Element()->Write(&memory);
    QORXMLSetWriteHidden(QOR_FALSE);
    memory.Attach(nullptr, 0, QOR_BORROWS);
    return written;
}

// ---- commands -------------------------------------------------------------------------------

std::int32_t ReelvoxSMPTEInterface_c::Command(std::uint8_t command, const std::uint8_t* data,
                                              std::int32_t length) {
    if (m_owner == nullptr) {
        return 0;
    }
    const std::int32_t sent = m_owner->SendFrame(data, kReelvoxSmpteInterface, command, length);
    if (sent <= 0) {
        return 0;
    }
    return ReelvoxCommandAnswer(sent, m_owner->WaitResponse(kReelvoxAckTimeout));
}

std::int32_t ReelvoxSMPTEInterface_c::SendTriggerCommand(std::uint8_t command,
                                                         const std::uint8_t* data,
                                                         std::int32_t length,
                                                         std::uint32_t timeoutMs) {
    if (m_owner == nullptr) {
        return 0;
    }
    const std::int32_t sent = m_owner->SendFrame(data, kReelvoxSmpteInterface, command, length);
    if (sent <= 0) {
        return 0;
    }
    return ReelvoxCommandAnswer(sent, m_owner->WaitResponse(timeoutMs));
}

std::int32_t ReelvoxSMPTEInterface_c::SendSubTypes(
    std::initializer_list<std::pair<std::uint8_t, std::uint8_t>> list) {
    std::int32_t total = 0;
    for (const auto& [subType, value] : list) {
        const std::int32_t answer = SendSetting(subType, value);
        if (answer <= 0) {
            return QOR_COUNT_ERROR;
        }
        total += answer;
    }
    return total;
}

bool ReelvoxSMPTEInterface_c::ReadTimecodeBytes(int which, std::uint8_t rateIndex,
                                                std::uint8_t* out) {
    QORSMPTETimecode_c timecode;
    timecode.SetFrameRate(rateIndex, QOR_FALSE);
    std::uint8_t status = QOR_ERROR;
    switch (which) {
    case 0:
        status = GetPreroll(&timecode);
        break;
    case 1:
        status = GetStart(&timecode);
        break;
    case 2:
        status = GetEnd(&timecode);
        break;
    default:
        break;
    }
    return status == QOR_OK && timecode.ToBytes(out, 4) == 4;
}

std::int32_t ReelvoxSMPTEInterface_c::SendDisable() {
    return Command(kSmpteDisable, nullptr, 0);
}

std::int32_t ReelvoxSMPTEInterface_c::SendEnable() {
    return Command(kSmpteEnable, nullptr, 0);
}

std::int32_t ReelvoxSMPTEInterface_c::SendDefaults() {
    if (Element() == nullptr) {
        return QOR_COUNT_ERROR;
    }
    const ReelvoxSmpteValues values = Values();
    if (values.unitType == 3) {
        if (FirmwareVersion() >= 1.14) {
            return SendSubTypes({{2, 255},
                                 {3, 255},
                                 {15, 1},
                                 {15, 2},
                                 {14, 255},
                                 {13, 255},
                                 {12, 255},
                                 {11, 255},
                                 {10, 255},
                                 {9, 255},
                                 {8, 255},
                                 {20, 255},
                                 {21, 255}});
        }
        return SendSubTypes({{2, 255},
                             {3, 255},
                             {15, 1},
                             {15, 2},
                             {14, 255},
                             {13, 255},
                             {12, 255},
                             {11, 255},
                             {10, 255},
                             {9, 255},
                             {8, 255}});
    }
    m_frameData[0] = ReelvoxSmpteModeByte(values);
    // A timecode that cannot be written fails the command rather than shift the flags byte.
    if (!ReadTimecodeBytes(1, values.frameRate, &m_frameData[1]) ||
        !ReadTimecodeBytes(2, values.frameRate, &m_frameData[5])) {
        return 0;
    }
    m_frameData[9] = ReelvoxSmpteFlagsByte(values);
    return Command(kSmpteDefaults, m_frameData.data(), 10);
}

std::int32_t ReelvoxSMPTEInterface_c::SendPreroll() {
    if (Element() == nullptr) {
        return QOR_COUNT_ERROR;
    }
    if (GetUnitType() == 3) {
        return SendSetting(15, 0);
    }
    if (!ReadTimecodeBytes(0, GetFrameRate(), m_frameData.data())) {
        return 0;
    }
    return Command(kSmptePreroll, m_frameData.data(), 4);
}

std::int32_t ReelvoxSMPTEInterface_c::SendUnitNumber() {
    if (Element() == nullptr) {
        return QOR_COUNT_ERROR;
    }
    if (GetUnitType() == 3) {
        return SendSetting(7, 255);
    }
    m_frameData[0] = static_cast<std::uint8_t>(GetUnitNumber() + 9);
    return Command(kSmpteUnitNumber, m_frameData.data(), 1);
}

std::int32_t ReelvoxSMPTEInterface_c::SendUnitGroups() {
    std::uint8_t flags[9];
    if (GetUnitGroups(flags) != QOR_OK) {
        return QOR_COUNT_ERROR;
    }
    if (GetUnitType() == 3) {
        return SendSetting(1, 255);
    }
    std::array<bool, 9> groups{};
    for (int g = 0; g < 9; ++g) {
        groups[static_cast<std::size_t>(g)] = flags[g] == QOR_TRUE;
    }
    const auto data = ReelvoxUnitGroupsData(groups);
    return Command(kSmpteUnitGroups, data.data(), static_cast<std::int32_t>(data.size()));
}

std::int32_t ReelvoxSMPTEInterface_c::SendReproducerGroups(std::uint8_t unit) {
    if (m_owner == nullptr) {
        return QOR_COUNT_ERROR;
    }
    if (unit < 1 || unit > Reelvox_c::kMaxReproducers) {
        return 0;
    }
    if (GetUnitType() == 3) {
        const std::int32_t answer = SendSetting(6, static_cast<std::uint8_t>(unit - 1));
        return answer <= 0 ? QOR_COUNT_ERROR : answer;
    }
    ReelvoxReproducer_c* repro = m_owner->Reproducer(unit);
    ReelvoxDataReproducer_c* element = repro != nullptr ? repro->Element() : nullptr;
    if (element == nullptr) {
        return 0;
    }
    m_frameData[0] = static_cast<std::uint8_t>((unit - 1) | 0x80);
    if (element->Groups(&m_frameData[1]) != 13) {
        return 0;
    }
    return Command(kSmpteReproducerGroups, m_frameData.data(), 14);
}

std::int32_t ReelvoxSMPTEInterface_c::SendSampleClock() {
    if (Element() == nullptr) {
        return QOR_COUNT_ERROR;
    }
    const ReelvoxSmpteValues values = Values();
    if (values.unitType == 3) {
        return SendSubTypes({{5, 255}, {4, 255}});
    }
    const auto data = ReelvoxSampleClockData(values);
    std::copy(data.begin(), data.end(), m_frameData.begin());
    return Command(kSmpteSampleClock, m_frameData.data(), kSmpteSampleClockLength);
}

std::int32_t ReelvoxSMPTEInterface_c::SendSetting(std::uint8_t subType, std::uint8_t value) {
    ReelvoxDataSMPTEInterface_c* e = Element();
    if (e == nullptr || subType > kSmpteHighestSubType) {
        return 0;
    }
    std::uint8_t* d = m_frameData.data();
    d[0] = subType;
    std::int32_t length = 1;
    auto boolByte = [](std::uint8_t flag) -> std::uint8_t { return flag == QOR_TRUE ? 1 : 0; };
    auto reproElement = [this](std::uint8_t index) -> ReelvoxDataReproducer_c* {
        if (m_owner == nullptr || index >= Reelvox_c::kMaxReproducers) {
            return nullptr;
        }
        ReelvoxReproducer_c* repro = m_owner->Reproducer(static_cast<std::uint8_t>(index + 1));
        return repro != nullptr ? repro->Element() : nullptr;
    };
    switch (subType) {
    case 0:
        return 0; // the settings hold no such text
    case 1: {
        std::uint8_t flags[9];
        if (GetUnitGroups(flags) != QOR_OK) {
            return 0;
        }
        std::uint8_t k = 0;
        for (std::uint8_t g = 0; g < 9; ++g) {
            if (flags[g] == QOR_TRUE) {
                d[2 + k++] = g;
            }
        }
        d[1] = k;
        length = 2 + k;
        break;
    }
    case 2:
        d[length++] = GetFrameRate();
        break;
    case 3:
        d[length++] = boolByte(GetStopOnSmpteStop());
        break;
    case 4:
        d[length++] = GetClockFreq();
        break;
    case 5:
        d[length++] = GetVideoFormat();
        break;
    case 6: {
        ReelvoxDataReproducer_c* repro = reproElement(value);
        std::uint8_t groups[13];
        if (repro == nullptr || repro->Groups(groups) != 13) {
            return 0;
        }
        d[1] = value;
        std::uint8_t k = 0;
        for (std::uint8_t g = 0; g < 13; ++g) {
            if (groups[g] == 1) {
                d[3 + k++] = g;
            }
        }
        d[2] = k;
        length = 3 + k;
        break;
    }
    case 7:
        d[length++] = static_cast<std::uint8_t>(GetUnitNumber() - 1);
        break;
    case 8:
        d[length++] = boolByte(GetMuteOnIdle());
        break;
    case 9:
        d[length++] = boolByte(GetSmpteReset());
        break;
    case 10:
        d[length++] = boolByte(GetStartOnPower());
        break;
    case 11:
        d[length++] = GetTransition();
        break;
    case 12:
        d[length++] = GetControlSource();
        break;
    case 13: {
        const ReelvoxSmpteValues v = Values();
        d[length++] = !v.generating ? 0 : (v.GeneratesWithVideoSync() ? 2 : 1);
        break;
    }
    case 14:
        d[length++] = boolByte(GetTimecodeOutput());
        break;
    case 15:
        if (value > 2 || !ReadTimecodeBytes(value, 5, &d[2])) {
            return 0;
        }
        d[1] = value;
        length = 6;
        break;
    case 16:
    case 17:
    case 18: {
        QORString_c text;
        // A missing text reads as the field's default address.
        e->AddressField(static_cast<std::uint8_t>(subType - 16), &text);
        if (!ReelvoxParseAddress(text.View(), &d[1])) {
            return 0;
        }
        length = 5;
        break;
    }
    case 19: {
        ReelvoxDataReproducer_c* repro = reproElement(value);
        if (repro == nullptr) {
            return 0;
        }
        d[1] = value;
        d[2] = repro->Colorspace();
        length = 3;
        break;
    }
    case 20:
        d[length++] = GetSplayDelay();
        break;
    case 21:
        d[length++] = GetSmpteLv();
        break;
    case 22: {
        ReelvoxDataReproducer_c* repro = reproElement(value);
        if (repro == nullptr) {
            return 0;
        }
        d[1] = value;
        d[2] = repro->OutputFormat();
        length = 3;
        break;
    }
    default:
        return 0;
    }
    if (m_owner == nullptr) {
        return QOR_COUNT_ERROR;
    }
    const std::int32_t sent = m_owner->SendFrame(d, kReelvoxSmpteInterface, kSmpteSetting, length);
    if (sent <= 0) {
        return sent;
    }
    const std::uint8_t status = m_owner->WaitResponse(kReelvoxAckTimeout);
    BindPendingDocument();
    ReelvoxData_c* root = m_document != nullptr ? m_document->Root() : nullptr;
    // After a time-out nothing more is sent; after a new address the unit is elsewhere.
    if ((status == QOR_TIMEOUT || subType == 16) && root != nullptr && root->Port() != nullptr) {
        root->Port()->SetType(0);
    }
    return ReelvoxCommandAnswer(sent, status);
}

// ---- download -------------------------------------------------------------------------------

std::uint8_t ReelvoxSMPTEInterface_c::Download(std::uint8_t ignoreErrors,
                                               std::uint8_t skipUnitSetup, std::uint8_t triggers) {
    m_failedStep.store(SMPTE_STEP_DONE);
    SetState(SMPTE_STEP_DISABLE);
    const std::uint8_t unitType = GetUnitType();
    // Runs one step: false when the download must stop, with the answer in `result`.
    std::uint8_t result = QOR_OK;
    auto step = [&](std::int16_t number, auto&& send, bool onlyNegativeFails = false) {
        if (QORCurrentThreadStopRequested()) {
            result = QOR_ERROR;
            return false;
        }
        SetState(number);
        const std::int32_t answer = send();
        const bool failed = onlyNegativeFails ? answer < 0 : answer <= 0;
        if (!failed) {
            return true;
        }
        m_failedStep.store(static_cast<std::uint16_t>(number));
        if (ignoreErrors == QOR_TRUE) {
            return true;
        }
        result = answer == QOR_COUNT_TIMEOUT ? QOR_TIMEOUT : QOR_ERROR;
        return false;
    };
    if (!step(SMPTE_STEP_DISABLE, [this] { return SendDisable(); }) ||
        !step(SMPTE_STEP_DEFAULTS, [this] { return SendDefaults(); }) ||
        !step(SMPTE_STEP_PREROLL, [this] { return SendPreroll(); })) {
        return result;
    }
    if (skipUnitSetup == QOR_FALSE) {
        if (!step(SMPTE_STEP_UNIT_NUMBER, [this] { return SendUnitNumber(); })) {
            return result;
        }
        if (unitType != 2) {
            if (!step(SMPTE_STEP_UNIT_GROUPS, [this] { return SendUnitGroups(); })) {
                return result;
            }
            for (std::uint8_t unit = 1; unit <= Reelvox_c::kMaxReproducers; ++unit) {
                if (!step(
                        SMPTE_STEP_REPRO_GROUPS,
                        [this, unit] { return SendReproducerGroups(unit); }, true)) {
                    return result;
                }
            }
        }
    }
    if (!step(SMPTE_STEP_SAMPLE_CLOCK, [this] { return SendSampleClock(); })) {
        return result;
    }
    if (triggers == QOR_TRUE || skipUnitSetup == QOR_FALSE) {
        if (QORCurrentThreadStopRequested()) {
            return QOR_ERROR;
        }
        SetState(SMPTE_STEP_TRIGGERS);
        const std::uint8_t answer = m_triggerTable->Download(QOR_TRUE);
        if (answer != QOR_OK) {
            return answer;
        }
    }
    SetState(SMPTE_STEP_DONE);
    return QOR_OK;
}

// ---- replies --------------------------------------------------------------------------------

std::uint8_t ReelvoxSMPTEInterface_c::StoreVersionReply(const QORString_c* text) {
    ReelvoxDataSMPTEInterface_c* e = Element();
    if (e == nullptr || text == nullptr) {
        return QOR_ERROR;
    }
    ShowXML_c* node = nullptr;
    if (m_request == 'B') {
        node = e->VersionElement();
    } else if (m_request == 'G') {
        node = e->SmpteVersionElement();
    }
    if (node == nullptr) {
        return QOR_ERROR;
    }
    return ShowXMLInterface_c::SetNodeText(node, e, text);
}

std::uint8_t ReelvoxSMPTEInterface_c::ParseTextReply(void* input, void* interface) {
    ReelvoxSMPTEInterface_c* self = Self(interface);
    if (input == nullptr) {
        self->m_replyCount = 0;
        return QOR_OK;
    }
    QORString_c text;
    switch (ReelvoxCollectTextReply(*static_cast<QORBuffer_c*>(input), *self->m_reply,
                                    self->m_replyCount, text)) {
    case ReelvoxTextReply::Partial:
        return 0;
    case ReelvoxTextReply::Bad:
        return QOR_ERROR;
    case ReelvoxTextReply::Complete:
        break;
    }
    return self->StoreVersionReply(&text);
}

std::uint8_t ReelvoxSMPTEInterface_c::ParseShortReply(void* input, void* interface) {
    ReelvoxSMPTEInterface_c* self = Self(interface);
    if (input == nullptr) {
        self->m_replyCount = 0;
        return QOR_OK;
    }
    auto* buffer = static_cast<QORBuffer_c*>(input);
    std::uint8_t byte = 0;
    while (buffer->Read(&byte, 1) == 1) {
        if (self->m_replyCount == 0 && byte == 'U') {
            return QOR_ERROR;
        }
        std::uint8_t* reply = self->m_reply->Data();
        reply[self->m_replyCount++] = byte;
        if (self->m_replyCount == 3) {
            self->m_replyCount = 0;
            if (reply[0] != kReelvoxAccepted) {
                return QOR_ERROR;
            }
            self->m_replyBytes = {reply[1], reply[2]};
            return QOR_OK;
        }
    }
    return 0;
}

std::uint8_t ReelvoxSMPTEInterface_c::ParseStatusTable(void* input, void* interface) {
    ReelvoxSMPTEInterface_c* self = Self(interface);
    if (input == nullptr) {
        self->m_replyCount = 0;
        return QOR_OK;
    }
    auto* buffer = static_cast<QORBuffer_c*>(input);
    std::uint8_t byte = 0;
    while (self->m_replyCount < kSmpteStatusTableLength && buffer->Read(&byte, 1) == 1) {
        self->m_reply->Data()[self->m_replyCount++] = byte;
    }
    if (self->m_replyCount < kSmpteStatusTableLength) {
        return 0;
    }
    const std::uint8_t* b = self->m_reply->Data();
    self->m_statusTable[0] = {b[0], 0, 32};
    for (std::size_t i = 1; i < kSmpteStatusTableLength; ++i) {
        self->m_statusTable[i] = {static_cast<std::uint8_t>(b[i] & 0x9F), 0,
                                  static_cast<std::uint8_t>((b[i] & 0x40) ? 0 : 64)};
    }
    self->m_replyCount = 0;
    return QOR_OK;
}

std::uint8_t ReelvoxSMPTEInterface_c::ParseSettingsReply(void* input, void* interface) {
    ReelvoxSMPTEInterface_c* self = Self(interface);
    if (input == nullptr) {
        self->m_replyCount = 0;
        return QOR_OK;
    }
    auto* buffer = static_cast<QORBuffer_c*>(input);
    self->SetState(SMPTE_IMAGE_RECEIVING);
    std::uint8_t byte = 0;
    while (buffer->Read(&byte, 1) == 1) {
        if (self->m_replyCount == 0 && byte == 'U') {
            self->SetState(SMPTE_IMAGE_REFUSED);
            return QOR_ERROR;
        }
        if (self->m_replyCount >= self->m_reply->Size()) {
            self->SetState(SMPTE_IMAGE_TOO_LONG);
            return QOR_ERROR;
        }
        self->m_reply->Data()[self->m_replyCount++] = byte;
        if (self->m_replyCount == kSmpteSettingsImageLength) {
            const std::uint8_t* image = self->m_reply->Data();
            QORChecksumByteSum_c sum;
            sum.Update(image, kSmpteSettingsImageLength - 1);
            self->m_replyCount = 0;
            if (*sum.Value() != image[kSmpteSettingsImageLength - 1]) {
                self->SetState(SMPTE_IMAGE_CHECKSUM);
                return QOR_ERROR;
            }
            return self->ParseSettingsImage(image, kSmpteSettingsImageLength);
        }
    }
    return 0;
}

std::uint8_t ReelvoxSMPTEInterface_c::ParseSettingsImage(const std::uint8_t* image,
                                                         std::int32_t length) {
    Reload();
    SetState(SMPTE_IMAGE_DECODING);
    ReelvoxDataSMPTEInterface_c* e = Element();
    if (e == nullptr) {
        return QOR_ERROR;
    }
    const std::int32_t count = m_owner != nullptr ? m_owner->ReproducerCount() : 0;
    const auto decoded = ReelvoxDecodeSettingsImage(image, length, GetUnitType(), GetClockFreq(),
                                                    GetBitsCapable() == 1, count);
    if (!decoded) {
        return QOR_ERROR;
    }
    const ReelvoxSmpteImage& d = *decoded;
    for (std::uint8_t g = 1; g <= 9; ++g) {
        if (d.unitGroups[g - 1]) {
            e->EnableUnitGroup(g);
        }
    }
    if (d.phaseLock) {
        e->SetPhaseLock(*d.phaseLock ? 1 : 0);
    }
    e->SetStopOnSmpteStop(kBool(d.stopOnSmpteStop));
    e->SetVideoFormat(d.videoFormat);
    if (d.clockIndex) {
        e->SetClockFreq(*d.clockIndex);
    }
    for (const auto& record : d.reproducers) {
        ReelvoxReproducer_c* repro =
            m_owner != nullptr ? m_owner->Reproducer(static_cast<std::uint8_t>(record.index + 1))
                               : nullptr;
        ReelvoxDataReproducer_c* element = repro != nullptr ? repro->Element() : nullptr;
        for (std::uint8_t g = 1; element != nullptr && g <= 13; ++g) {
            element->SetGroup(g, kBool(record.groups[g - 1]));
        }
    }
    e->SetMuteOnIdle(kBool(d.muteOnIdle));
    e->SetSmpteReset(kBool(d.smpteReset));
    e->SetStartOnPower(kBool(d.startOnPower));
    e->SetTransition(d.transition);
    e->SetControlSource(d.midiControl ? 1 : 0);
    e->SetTimecodeOutput(kBool(d.timecodeOutput));
    e->SetVideoSync(kBool(d.videoSync));
    switch (d.mode) {
    case ReelvoxSmpteImage::Mode::Read:
        e->SetMode(REELVOX_MODE_READ);
        break;
    case ReelvoxSmpteImage::Mode::Generate:
        e->SetMode(REELVOX_MODE_GENERATE);
        break;
    case ReelvoxSmpteImage::Mode::GenVidSync:
        e->SetMode(REELVOX_MODE_GEN_VID_SYNC);
        break;
    }
    e->SetFrameRate(d.frameRate);
    QORSMPTETimecode_c timecode;
    timecode.SetFrameRate(d.frameRate, QOR_FALSE);
    timecode.FromBytes(d.start.data());
    e->SetStart(&timecode);
    timecode.FromBytes(d.end.data());
    e->SetEnd(&timecode);
    timecode.FromBytes(d.preroll.data());
    e->SetPreroll(&timecode);
    return QOR_OK;
}
