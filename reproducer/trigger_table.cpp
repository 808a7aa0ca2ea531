#include "reproducer/trigger_table.h"

#include "foundation/smpte_timecode.h"
#include "foundation/text_string.h"
#include "reproducer/reelvox_data_document.h"
#include "reproducer/reelvox_fields.h"
#include "reproducer/smpte_settings_element.h"
#include "reproducer/timecode_trigger_elements.h"

#include <string>

namespace {

constexpr std::uint8_t kControllerMarker = 0xFE;
constexpr std::uint8_t kStartSeqCommand = 24;
constexpr std::uint8_t kSetVarCommand = 40;
constexpr std::uint8_t kRefusal = 0x55;
constexpr std::int32_t kMaxEntryRecord = 12;

std::uint8_t RecordChecksum(const std::uint8_t* bytes, std::size_t count) {
    std::uint8_t sum = 0;
    for (std::size_t i = 0; i < count; ++i) {
        sum = static_cast<std::uint8_t>(sum + bytes[i]);
    }
    return static_cast<std::uint8_t>(sum >> 1);
}

// Primary and secondary trade places on the big unit.
std::uint8_t UnitSocket(std::uint8_t socket, std::uint8_t unitType) {
    if (unitType != 1) {
        return socket;
    }
    if (socket == REELVOX_SOCKET_PRIMARY) {
        return REELVOX_SOCKET_SECONDARY;
    }
    if (socket == REELVOX_SOCKET_SECONDARY) {
        return REELVOX_SOCKET_PRIMARY;
    }
    return socket;
}

} // namespace

// ---------------------------------------------------------------------------------------------

void ReelvoxTrigger_c::Attach(ReelvoxTriggerTable_c* table, ReelvoxDataDocument_c* document,
                              ReelvoxDataTrigger_c* trigger, QORSMPTETimecode_c* timecode) {
    m_table = table;
    m_document = document;
    m_trigger = trigger;
    m_timecode = timecode;
    if (m_trigger != nullptr) {
        m_trigger->SetTimecode(timecode);
    }
}

std::uint8_t ReelvoxTrigger_c::UnitType() {
    return m_table != nullptr ? m_table->UnitType() : 0;
}

const std::uint8_t* ReelvoxTrigger_c::Encode(std::int32_t* length) {
    if (length != nullptr) {
        *length = 0;
    }
    const std::uint8_t action = m_trigger != nullptr ? m_trigger->Action() : 0;
    if (action == REELVOX_ACTION_UNKNOWN || action > REELVOX_ACTION_SET_VAR) {
        return nullptr;
    }
    std::size_t n = 0;
    if (action == REELVOX_ACTION_START_SEQ || action == REELVOX_ACTION_SET_VAR) {
        std::uint8_t address = 0;
        // A record for an address beyond the field's range would start another controller.
        if (m_trigger->EncodableUnitAddress(&address) != QOR_OK) {
            return nullptr;
        }
        m_record[n++] = kControllerMarker;
        m_record[n++] = address;
        if (action == REELVOX_ACTION_START_SEQ) {
            m_record[n++] = kStartSeqCommand;
            m_record[n++] = static_cast<std::uint8_t>(Sequence() - 1);
        } else {
            m_record[n++] = kSetVarCommand;
            m_record[n++] = static_cast<std::uint8_t>(Variable() - 1);
            m_record[n++] = VariableValue();
        }
    } else {
        const std::uint8_t location = m_trigger->Location();
        const std::int32_t number = m_trigger->LocationNumber();
        if (location == 0) {
            m_record[n++] = static_cast<std::uint8_t>((number - 1) | 0x80);
        } else if (location == 1) {
            m_record[n++] = static_cast<std::uint8_t>((number + 49) | 0x80);
        } else {
            m_record[n++] = 0xBF;
        }
        const std::uint8_t socket = UnitSocket(m_trigger->Socket(), UnitType());
        QORSMPTETimecode_c offset;
        if (m_timecode != nullptr) {
            offset.SetFrameRate(m_timecode->FrameRateIndex(), 0);
        }
        m_trigger->GetOffset(&offset);
        std::uint8_t time[4] = {};
        if (offset.ToBytes(time, 4) != 4) {
            return nullptr;
        }
        const std::int32_t name = Name();
        const auto nameHigh = static_cast<std::uint8_t>((name >> 7) & 0x07);
        const auto nameLow = static_cast<std::uint8_t>(name & 0x7F);
        const std::uint8_t loop = Loop() == QOR_TRUE ? 0x10 : 0x00;
        const bool left = Left() == QOR_TRUE;
        const bool right = Right() == QOR_TRUE;
        auto appendTime = [&]() {
            for (std::uint8_t byte : time) {
                m_record[n++] = byte;
            }
        };
        switch (action) {
        case REELVOX_ACTION_PLAY:
        case REELVOX_ACTION_PLAY_NEXT:
            if (left && right) {
                if (action == REELVOX_ACTION_PLAY_NEXT) {
                    m_record[n++] = 22;
                } else if (offset.FrameCount() != 0) {
                    m_record[n++] = 4;
                    appendTime();
                } else {
                    m_record[n++] = 1;
                }
                m_record[n++] = static_cast<std::uint8_t>(socket | loop | nameHigh);
            } else {
                m_record[n++] = 13;
                m_record[n++] =
                    static_cast<std::uint8_t>(socket | loop | (left ? 0x00 : 0x08) | nameHigh);
            }
            m_record[n++] = nameLow;
            break;
        case REELVOX_ACTION_PAUSE:
            m_record[n++] = 15;
            break;
        case REELVOX_ACTION_STILL:
            m_record[n++] = 24;
            break;
        case REELVOX_ACTION_STOP:
            m_record[n++] = 8;
            break;
        case REELVOX_ACTION_SEARCH:
            m_record[n++] = 7;
            appendTime();
            m_record[n++] = static_cast<std::uint8_t>(socket | nameHigh);
            m_record[n++] = nameLow;
            break;
        default:
            return nullptr;
        }
    }
    m_record[n] = RecordChecksum(m_record.data(), n);
    ++n;
    if (length != nullptr) {
        *length = static_cast<std::int32_t>(n);
    }
    return m_record.data();
}

std::uint8_t ReelvoxTrigger_c::Send() {
    std::int32_t length = 0;
    const std::uint8_t* record = Encode(&length);
    if (record == nullptr || m_table == nullptr) {
        return QOR_ERROR;
    }
    if (length < 1 || length > 255 || 6 + length > kPacketSize) {
        return QOR_ERROR;
    }
    const std::uint8_t action = m_trigger->Action();
    const std::uint8_t kind =
        (action == REELVOX_ACTION_START_SEQ || action == REELVOX_ACTION_SET_VAR)
            ? REELVOX_KIND_CONTROLLER
            : REELVOX_KIND_REPRODUCER;
    QORSMPTETimecode_c time;
    if (m_timecode != nullptr) {
        time.SetFrameRate(m_timecode->FrameRateIndex(), 0);
    }
    m_trigger->GetTime(&time);
    if (time.ToBytes(m_packet.data(), 4) != 4) {
        return QOR_ERROR;
    }
    m_packet[4] = kind;
    m_packet[5] = static_cast<std::uint8_t>(length);
    for (std::int32_t i = 0; i < length; ++i) {
        m_packet[static_cast<std::size_t>(6 + i)] = record[i];
    }
    return m_table->SendCommand(REELVOX_TABLE_ADD, m_packet.data(), 6 + length,
                                REELVOX_TABLE_TIMEOUT_MS)
               ? QOR_OK
               : QOR_ERROR;
}

std::int32_t ReelvoxTrigger_c::Decode(const std::uint8_t* entry, std::int32_t available) {
    std::int32_t used = QOR_COUNT_ERROR;
    [&]() {
        if (m_trigger == nullptr || entry == nullptr || available < 4) {
            return;
        }
        QORSMPTETimecode_c time;
        if (m_timecode != nullptr) {
            time.SetFrameRate(m_timecode->FrameRateIndex(), 0);
        }
        time.FromBytes(entry);
        m_trigger->SetTime(&time);
        if (available < 7) {
            return;
        }
        const std::uint8_t kind = entry[4];
        const std::int32_t length = entry[5];
        if (kind != REELVOX_KIND_CONTROLLER && kind != REELVOX_KIND_REPRODUCER && kind != 255) {
            return;
        }
        if (length > kMaxEntryRecord || 6 + length > available) {
            return;
        }
        const std::int32_t skip = kind == REELVOX_KIND_CONTROLLER ? 1 : 0;
        const std::uint8_t* record = entry + 6 + skip;
        // Record bytes before the checksum.
        const std::int32_t body = length - skip - 1;
        if (body < 2) {
            return;
        }
        const std::uint8_t first = record[0];
        const std::uint8_t command = record[1];
        std::uint8_t f = 0;
        std::uint8_t g = 0;
        std::uint8_t action = REELVOX_ACTION_UNKNOWN;
        if (kind != REELVOX_KIND_CONTROLLER) {
            switch (command) {
            case 1:
            case 13:
            case 22:
                if (body < 4) {
                    return;
                }
                f = record[2];
                g = record[3];
                break;
            case 4:
            case 7: {
                if (body < 8) {
                    return;
                }
                QORSMPTETimecode_c offset;
                if (m_timecode != nullptr) {
                    offset.SetFrameRate(m_timecode->FrameRateIndex(), 0);
                }
                offset.FromBytes(record + 2);
                m_trigger->SetOffset(&offset);
                f = record[6];
                g = record[7];
                break;
            }
            case 8:
            case 15:
            case 24:
                break;
            default:
                return;
            }
            switch (command) {
            case 7:
                action = REELVOX_ACTION_SEARCH;
                break;
            case 8:
                action = REELVOX_ACTION_STOP;
                break;
            case 1:
            case 4:
            case 13:
                action = REELVOX_ACTION_PLAY;
                break;
            case 15:
                action = REELVOX_ACTION_PAUSE;
                break;
            case 22:
                action = REELVOX_ACTION_PLAY_NEXT;
                break;
            default:
                action = REELVOX_ACTION_STILL;
                break;
            }
        } else {
            if (first > REELVOX_MAX_UNIT_ADDRESS) {
                return;
            }
            if (command == kStartSeqCommand) {
                if (body < 3) {
                    return;
                }
                SetUnitAddress(first);
                SetSequence(static_cast<std::uint8_t>(record[2] + 1));
                action = REELVOX_ACTION_START_SEQ;
            } else if (command == kSetVarCommand) {
                if (body < 4) {
                    return;
                }
                SetUnitAddress(first);
                SetVariable(static_cast<std::uint8_t>(record[2] + 1));
                SetVariableValue(record[3]);
                action = REELVOX_ACTION_SET_VAR;
            } else {
                return;
            }
        }

        const std::uint8_t target = first & 0x7F;
        if (target < 20) {
            SetLocation(static_cast<std::uint8_t>(target + 1), 0);
        } else if (target >= 50 && target < 63) {
            SetLocation(static_cast<std::uint8_t>(target - 49), 1);
        } else {
            SetLocation(0, 2);
        }
        SetName((f & 0x07) * 128 + (g & 0x7F));
        std::uint8_t socket = f & 0x60;
        if (socket == 0x60) {
            socket = REELVOX_SOCKET_PRIMARY;
        }
        m_trigger->SetSocket(UnitSocket(socket, UnitType()));
        if ((f & 0x10) != 0) {
            ShowXMLInterface_c::SetBoolAttribute("loop", m_trigger, QOR_TRUE, QOR_FALSE);
        } else {
            ShowXMLInterface_c::SetBoolAttribute("loop", m_trigger, QOR_FALSE, QOR_FALSE);
        }
        m_trigger->SetAction(action);
        if (kind != REELVOX_KIND_CONTROLLER) {
            const bool leftOff = command == 13 && (f & 0x08) != 0;
            const bool rightOff = command == 13 && (f & 0x08) == 0;
            ShowXMLInterface_c::SetBoolAttribute("left", m_trigger, leftOff ? QOR_FALSE : QOR_TRUE,
                                                 leftOff ? QOR_TRUE : QOR_FALSE);
            ShowXMLInterface_c::SetBoolAttribute("right", m_trigger,
                                                 rightOff ? QOR_FALSE : QOR_TRUE,
                                                 rightOff ? QOR_TRUE : QOR_FALSE);
        }
        used = 6 + length;
    }();
    if (m_table != nullptr && m_table->Triggers() != nullptr) {
        m_table->Triggers()->Sort();
    }
    return used;
}

std::uint8_t ReelvoxTrigger_c::SetStartSequence(std::uint8_t unitAddress, std::uint8_t sequence) {
    if (m_trigger == nullptr || unitAddress > REELVOX_MAX_UNIT_ADDRESS) {
        return QOR_ERROR;
    }
    SetLocation(1, 0);
    SetName(1);
    QORSMPTETimecode_c zero;
    if (m_timecode != nullptr) {
        zero.SetFrameRate(m_timecode->FrameRateIndex(), 0);
    }
    m_trigger->SetOffset(&zero);
    m_trigger->SetAction(REELVOX_ACTION_START_SEQ);
    if (reelvox_fields::HasAttribute(m_trigger->Element(), "loop")) {
        ShowXMLInterface_c::SetBoolAttribute("loop", m_trigger, QOR_FALSE, QOR_FALSE);
    }
    SetSequence(sequence);
    SetUnitAddress(unitAddress);
    return QOR_OK;
}

std::uint8_t ReelvoxTrigger_c::SetTimecode(const QORSMPTETimecode_c* timecode) {
    if (m_trigger == nullptr || timecode == nullptr) {
        return QOR_ERROR;
    }
    return m_trigger->SetTime(timecode);
}

std::uint8_t ReelvoxTrigger_c::GetTimecode(QORSMPTETimecode_c* timecode) {
    if (timecode == nullptr) {
        return QOR_ERROR;
    }
    if (m_trigger == nullptr) {
        timecode->SetTime(0, 0, 0, 0);
        return QOR_ERROR;
    }
    if (m_timecode != nullptr) {
        timecode->SetFrameRate(m_timecode->FrameRateIndex(), 3);
    }
    return m_trigger->GetTime(timecode);
}

std::uint8_t ReelvoxTrigger_c::SetOffset(const QORSMPTETimecode_c* timecode) {
    if (m_trigger == nullptr || timecode == nullptr) {
        return QOR_ERROR;
    }
    return m_trigger->SetOffset(timecode);
}

std::uint8_t ReelvoxTrigger_c::GetOffset(QORSMPTETimecode_c* timecode) {
    if (timecode == nullptr) {
        return QOR_ERROR;
    }
    if (m_trigger == nullptr) {
        timecode->SetTime(0, 0, 0, 0);
        return QOR_ERROR;
    }
    if (m_timecode != nullptr) {
        timecode->SetFrameRate(m_timecode->FrameRateIndex(), 3);
    }
    return m_trigger->GetOffset(timecode);
}

std::uint8_t ReelvoxTrigger_c::SetAction(std::uint8_t index) {
    return m_trigger != nullptr ? m_trigger->SetAction(index) : QOR_ERROR;
}

std::uint8_t ReelvoxTrigger_c::SetLocation(std::uint8_t number, std::uint8_t kind) {
    if (m_trigger == nullptr) {
        return QOR_ERROR;
    }
    std::uint8_t answer = QOR_OK;
    std::uint8_t location = kind;
    std::int32_t written = number;
    switch (kind) {
    case 0:
        if (number == 0) {
            written = 20;
            answer = QOR_ERROR;
        } else if (number > 20) {
            written = 1;
            answer = QOR_ERROR;
        }
        break;
    case 1:
        if (number == 0) {
            written = 13;
            answer = QOR_ERROR;
        } else if (number > 13) {
            written = 1;
            answer = QOR_ERROR;
        }
        break;
    case 2:
        written = 0;
        break;
    default:
        location = 0;
        written = 1;
        answer = QOR_ERROR;
        break;
    }
    if (m_trigger->SetLocation(location) != QOR_OK ||
        m_trigger->SetLocationNumber(written) != QOR_OK) {
        return QOR_ERROR;
    }
    return answer;
}

std::uint8_t ReelvoxTrigger_c::SetName(std::int32_t name) {
    if (m_trigger == nullptr) {
        return QOR_ERROR;
    }
    if (name < 0) {
        name = 1023;
    } else if (name > 1023) {
        name = 0;
    }
    const std::string text = std::to_string(name);
    return reelvox_fields::WriteText(m_trigger->FieldNode(ReelvoxDataTrigger_c::kName), m_trigger,
                                     text.c_str());
}

std::int32_t ReelvoxTrigger_c::Name() {
    return m_trigger != nullptr
               ? reelvox_fields::IntOr0(m_trigger->FieldNode(ReelvoxDataTrigger_c::kName))
               : 0;
}

std::uint8_t ReelvoxTrigger_c::ReadByteField(std::uint8_t field, std::uint8_t missing) {
    std::int32_t value = 0;
    if (!reelvox_fields::Int(m_trigger->FieldNode(static_cast<ReelvoxDataTrigger_c::Field>(field)),
                             &value)) {
        return missing;
    }
    return static_cast<std::uint8_t>(value & 0xFF);
}

std::uint8_t ReelvoxTrigger_c::SetSequence(std::uint8_t sequence) {
    if (m_trigger == nullptr) {
        return QOR_ERROR;
    }
    return reelvox_fields::WriteInt(m_trigger->FieldNode(ReelvoxDataTrigger_c::kSeq), m_trigger,
                                    sequence == 0 ? 255 : sequence);
}

std::uint8_t ReelvoxTrigger_c::Sequence() {
    if (m_trigger == nullptr) {
        return 1;
    }
    const std::uint8_t value = ReadByteField(ReelvoxDataTrigger_c::kSeq, 1);
    return value == 0 ? 1 : value;
}

std::uint8_t ReelvoxTrigger_c::SetVariable(std::uint8_t variable) {
    if (m_trigger == nullptr) {
        return QOR_ERROR;
    }
    return reelvox_fields::WriteInt(m_trigger->FieldNode(ReelvoxDataTrigger_c::kVar), m_trigger,
                                    variable == 0 ? 255 : variable);
}

std::uint8_t ReelvoxTrigger_c::Variable() {
    if (m_trigger == nullptr) {
        return 1;
    }
    const std::uint8_t value = ReadByteField(ReelvoxDataTrigger_c::kVar, 1);
    return value == 0 ? 1 : value;
}

std::uint8_t ReelvoxTrigger_c::SetVariableValue(std::uint8_t value) {
    if (m_trigger == nullptr) {
        return QOR_ERROR;
    }
    return reelvox_fields::WriteInt(m_trigger->FieldNode(ReelvoxDataTrigger_c::kVarValue),
                                    m_trigger, value);
}

std::uint8_t ReelvoxTrigger_c::VariableValue() {
    if (m_trigger == nullptr) {
        return 0;
    }
    return ReadByteField(ReelvoxDataTrigger_c::kVarValue, 1);
}

std::uint8_t ReelvoxTrigger_c::SetUnitAddress(std::uint8_t address) {
    if (m_trigger == nullptr || address > REELVOX_MAX_UNIT_ADDRESS) {
        return QOR_ERROR;
    }
    return reelvox_fields::WriteInt(m_trigger->FieldNode(ReelvoxDataTrigger_c::kUnitAddress),
                                    m_trigger, address);
}

std::uint8_t ReelvoxTrigger_c::Loop() {
    return m_trigger != nullptr ? ShowXMLInterface_c::GetBoolAttribute(m_trigger, "loop")
                                : QOR_FALSE;
}

std::uint8_t ReelvoxTrigger_c::Left() {
    return m_trigger != nullptr ? ShowXMLInterface_c::GetBoolAttribute(m_trigger, "left")
                                : QOR_FALSE;
}

std::uint8_t ReelvoxTrigger_c::Right() {
    return m_trigger != nullptr ? ShowXMLInterface_c::GetBoolAttribute(m_trigger, "right")
                                : QOR_FALSE;
}

// ---------------------------------------------------------------------------------------------

ReelvoxTriggerTable_c::ReelvoxTriggerTable_c() {
    SetState(REELVOX_TABLE_STATE_CLEAR_REPRO);
    m_uploadParser.SetFunction(&ReelvoxTriggerTable_c::UploadCallback, nullptr);
    m_uploadParser.SetArgument(this);
    Reload();
}

ReelvoxTriggerTable_c::~ReelvoxTriggerTable_c() = default;

std::uint8_t ReelvoxTriggerTable_c::UploadCallback(void* userData, void* argument) {
    auto* table = static_cast<ReelvoxTriggerTable_c*>(argument);
    if (table == nullptr) {
        return QOR_ERROR;
    }
    return table->UploadReply(static_cast<QORBuffer_c*>(userData));
}

void ReelvoxTriggerTable_c::Bind(ReelvoxTriggerTableOwner_c* owner, QORSMPTETimecode_c* timecode,
                                 ReelvoxDataDocument_c* document) {
    m_owner = owner;
    m_timecode = timecode;
    m_document = document;
    m_encoder.Attach(this, document, nullptr, timecode);
    ResolveTriggers();
}

void ReelvoxTriggerTable_c::ResolveTriggers() {
    m_triggers = nullptr;
    if (m_document != nullptr) {
        ReelvoxData_c* root = m_document->Root();
        ReelvoxDataSMPTEInterface_c* smpte = root != nullptr ? root->SMPTE() : nullptr;
        m_triggers = smpte != nullptr ? smpte->Triggers() : nullptr;
    }
    m_maximum = m_triggers != nullptr ? m_triggers->Max() : 0;
}

std::uint8_t ReelvoxTriggerTable_c::UnitType() const {
    if (m_document == nullptr) {
        return 0;
    }
    ReelvoxData_c* root = m_document->Root();
    ReelvoxDataSMPTEInterface_c* smpte = root != nullptr ? root->SMPTE() : nullptr;
    return smpte != nullptr ? smpte->UnitType() : 0;
}

bool ReelvoxTriggerTable_c::SendCommand(std::uint8_t command, const std::uint8_t* data,
                                        std::int32_t length, std::uint32_t timeoutMs) {
    if (m_owner == nullptr) {
        return false;
    }
    return m_owner->SendTriggerCommand(command, data, length, timeoutMs) > 0;
}

std::uint8_t ReelvoxTriggerTable_c::Download(std::uint8_t clearController) {
    m_currentTrigger.store(0);
    SetState(REELVOX_TABLE_STATE_CLEAR_REPRO);
    const std::uint8_t clearRepro = REELVOX_KIND_REPRODUCER;
    if (!SendCommand(REELVOX_TABLE_CLEAR, &clearRepro, 1, REELVOX_TABLE_CLEAR_TIMEOUT_MS)) {
        return QOR_ERROR;
    }
    if (clearController == QOR_TRUE) {
        SetState(REELVOX_TABLE_STATE_CLEAR_CONTROLLER);
        const std::uint8_t clearShow = REELVOX_KIND_CONTROLLER;
        if (!SendCommand(REELVOX_TABLE_CLEAR, &clearShow, 1, REELVOX_TABLE_CLEAR_TIMEOUT_MS)) {
            return QOR_ERROR;
        }
    }
    if (m_triggers == nullptr) {
        return QOR_ERROR;
    }
    SetState(REELVOX_TABLE_STATE_SENDING);
    bool accepted = true;
    const std::int32_t count = m_triggers->Count();
    for (std::int32_t i = 0; i < count && accepted; ++i) {
        auto* trigger = dynamic_cast<ReelvoxDataTrigger_c*>(m_triggers->ItemAt(i, QOR_FALSE));
        if (trigger == nullptr) {
            continue;
        }
        m_currentTrigger.store(i + 1);
        m_encoder.Attach(this, m_document, trigger, m_timecode);
        accepted = m_encoder.Send() == QOR_OK;
    }
    if (!accepted) {
        // The refused trigger's number stays readable for the report of the failure.
        SendCommand(REELVOX_TABLE_ABORT, nullptr, 0, REELVOX_TABLE_TIMEOUT_MS);
        return QOR_ERROR;
    }
    m_currentTrigger.store(0);
    SetState(REELVOX_TABLE_STATE_SORTING);
    if (SendCommand(REELVOX_TABLE_SORT, nullptr, 0, REELVOX_TABLE_TIMEOUT_MS)) {
        SetState(REELVOX_TABLE_STATE_STORING);
        if (SendCommand(REELVOX_TABLE_STORE, nullptr, 0, REELVOX_TABLE_TIMEOUT_MS)) {
            SetState(REELVOX_TABLE_STATE_DONE);
            return QOR_OK;
        }
    }
    SendCommand(REELVOX_TABLE_ABORT, nullptr, 0, REELVOX_TABLE_TIMEOUT_MS);
    return QOR_ERROR;
}

std::int32_t ReelvoxTriggerTable_c::Reload() {
    m_maximum = 0;
    // The encoder's trigger goes with the elements.
    m_encoder.Attach(this, m_document, nullptr, m_timecode);
    if (m_triggers == nullptr || m_triggers->Element() == nullptr) {
        return 0;
    }
    m_triggers->Element()->RemoveChildren();
    m_triggers->Rebind();
    if (m_document != nullptr) {
        ResolveTriggers();
    }
    m_maximum = m_triggers != nullptr ? m_triggers->Max() : 0;
    return m_maximum;
}

ReelvoxTrigger_c* ReelvoxTriggerTable_c::AddTrigger() {
    // The unit holds at most the maximum: one more would only be refused by it.
    if (m_triggers == nullptr || TriggerCount() >= m_maximum) {
        return nullptr;
    }
    auto* trigger =
        dynamic_cast<ReelvoxDataTrigger_c*>(m_triggers->AddItem(QOR_TOWARDS_FRONT, nullptr));
    if (trigger == nullptr) {
        return nullptr;
    }
    m_encoder.Attach(this, m_document, trigger, m_timecode);
    return &m_encoder;
}

std::int32_t ReelvoxTriggerTable_c::TriggerCount() {
    return m_triggers != nullptr ? m_triggers->Count() : 0;
}

void ReelvoxTriggerTable_c::SetMaxTriggers(std::int32_t count) {
    if (m_triggers != nullptr) {
        m_triggers->SetMax(count);
    }
    m_maximum = count < 0 ? 0 : count;
}

void ReelvoxTriggerTable_c::ResetUpload() {
    m_entriesLeft = 0;
    m_entryPosition = 0;
    m_recordLeft = 0;
    m_receivedCount = 0;
}

std::uint8_t ReelvoxTriggerTable_c::UploadReply(QORBuffer_c* input) {
    if (input == nullptr) {
        m_received.Resize(0);
        ResetUpload();
        return QOR_OK;
    }
    std::uint8_t byte = 0;
    if (m_receivedCount == 0) {
        if (input->Read(&byte, 1) != 1) {
            return 0;
        }
        if (byte == kRefusal) {
            return QOR_ERROR;
        }
        if (m_received.Resize(byte * 256 + 2) != QOR_OK) {
            return QOR_ERROR;
        }
        m_received.Data()[0] = byte;
        m_receivedCount = 1;
        m_entriesLeft = byte;
        m_entryPosition = 0;
        m_recordLeft = 0;
    }
    while (m_entriesLeft > 0 && input->Read(&byte, 1) == 1) {
        if (m_receivedCount >= m_received.Size()) {
            return QOR_ERROR;
        }
        m_received.Data()[m_receivedCount++] = byte;
        if (m_recordLeft > 0) {
            // The byte after the record starts the next entry; after the last entry it is the
            // table checksum.
            if (--m_recordLeft == 0) {
                --m_entriesLeft;
                m_entryPosition = 1;
            }
        } else {
            if (m_entryPosition == 5) {
                m_recordLeft = byte + 1;
            }
            ++m_entryPosition;
        }
    }
    if (m_entriesLeft > 0) {
        return 0;
    }
    const std::uint8_t* data = m_received.Data();
    std::uint8_t sum = 0;
    for (std::int32_t i = 0; i + 1 < m_receivedCount; ++i) {
        sum = static_cast<std::uint8_t>(sum + data[i]);
    }
    if (m_receivedCount < 2 && data[0] != 0) {
        return QOR_ERROR;
    }
    if (m_receivedCount >= 2 && sum != data[m_receivedCount - 1]) {
        return QOR_ERROR;
    }
    m_received.Rewind(m_receivedCount);
    return LoadUpload(&m_received);
}

std::uint8_t ReelvoxTriggerTable_c::LoadUpload(QORBuffer_c* received) {
    Reload();
    if (received == nullptr || received->Data() == nullptr || received->ReadableEnd() < 1) {
        return QOR_ERROR;
    }
    const std::uint8_t* data = received->Data();
    const std::int32_t total = received->ReadableEnd();
    const std::int32_t entries = data[0];
    if (entries > m_maximum) {
        return QOR_ERROR;
    }
    std::int32_t position = 1;
    for (std::int32_t e = 0; e < entries; ++e) {
        ReelvoxTrigger_c* encoder = AddTrigger();
        if (encoder == nullptr) {
            return QOR_ERROR;
        }
        ReelvoxDataTrigger_c* inserted = encoder->Trigger();
        const std::int32_t used = encoder->Decode(data + position, total - position);
        if (used < 0) {
            if (m_triggers->Select(inserted) == QOR_OK) {
                m_triggers->RemoveCurrent();
            }
            m_encoder.Attach(this, m_document, nullptr, m_timecode);
            return QOR_ERROR;
        }
        position += used;
    }
    return QOR_OK;
}
