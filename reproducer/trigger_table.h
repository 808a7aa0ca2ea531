// The SMPTE interface unit's timecode trigger table: the download of the configuration's trigger
// elements to the unit, the encoder between a trigger element and the unit's trigger record,
// and the reading of a table the unit uploads.
#pragma once

#include "foundation/byte_buffer.h"
#include "foundation/callback.h"
#include "foundation/state.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>

class QORSMPTETimecode_c;
class ReelvoxDataDocument_c;
class ReelvoxDataTrigger_c;
class ReelvoxDataTriggers_c;
class ReelvoxTriggerTable_c;

// Table commands to the interface unit and their reply time-outs.
constexpr std::uint8_t REELVOX_TABLE_CLEAR = 0;
constexpr std::uint8_t REELVOX_TABLE_ADD = 1;
constexpr std::uint8_t REELVOX_TABLE_SORT = 2;
constexpr std::uint8_t REELVOX_TABLE_STORE = 3;
constexpr std::uint8_t REELVOX_TABLE_ABORT = 4;
constexpr std::uint32_t REELVOX_TABLE_CLEAR_TIMEOUT_MS = 15000;
constexpr std::uint32_t REELVOX_TABLE_TIMEOUT_MS = 3000;
// Trigger packet kinds.
constexpr std::uint8_t REELVOX_KIND_CONTROLLER = 0;
constexpr std::uint8_t REELVOX_KIND_REPRODUCER = 253;
// Table states.
constexpr std::int16_t REELVOX_TABLE_STATE_CLEAR_REPRO = 0;
constexpr std::int16_t REELVOX_TABLE_STATE_CLEAR_CONTROLLER = 1;
constexpr std::int16_t REELVOX_TABLE_STATE_SENDING = 2;
constexpr std::int16_t REELVOX_TABLE_STATE_SORTING = 3;
constexpr std::int16_t REELVOX_TABLE_STATE_STORING = 4;
constexpr std::int16_t REELVOX_TABLE_STATE_DONE = 5;

// What the table needs from the interface device that owns it.
class ReelvoxTriggerTableOwner_c {
public:
    virtual ~ReelvoxTriggerTableOwner_c() = default;
    // Sends one frame with the command and data to the SMPTE interface unit (destination 254)
    // and waits up to the time-out for its acknowledgement. The device command answer: the
    // frame length when accepted, 0 when not sent, -2 refused, -5 time-out.
    virtual std::int32_t SendTriggerCommand(std::uint8_t command, const std::uint8_t* data,
                                            std::int32_t length, std::uint32_t timeoutMs) = 0;
};

class ReelvoxTrigger_c {
public:
    static constexpr std::int32_t kRecordSize = 9;
    static constexpr std::int32_t kPacketSize = 260;

    ReelvoxTrigger_c() = default;
    virtual ~ReelvoxTrigger_c() = default;

    // Binds the encoder to a trigger element; the trigger takes the working timecode.
    void Attach(ReelvoxTriggerTable_c* table, ReelvoxDataDocument_c* document,
                ReelvoxDataTrigger_c* trigger, QORSMPTETimecode_c* timecode);
    ReelvoxDataTrigger_c* Trigger() const { return m_trigger; }

    // The trigger record and its length (checksum included), or null when the trigger cannot be
    // encoded (unknown action, an offset without bytes, a unit address out of range).
    const std::uint8_t* Encode(std::int32_t* length);
    // Sends the trigger as command 1 and waits for its acknowledgement: 2 or 254.
    std::uint8_t Send();
    // Reads one uploaded table entry into the trigger: the bytes used, or -2.
    std::int32_t Decode(const std::uint8_t* entry, std::int32_t available);

    // A show-controller start of the sequence; 254 (nothing written) when the unit address is
    // beyond what a record carries.
    std::uint8_t SetStartSequence(std::uint8_t unitAddress, std::uint8_t sequence);
    std::uint8_t SetTimecode(const QORSMPTETimecode_c* timecode);
    std::uint8_t GetTimecode(QORSMPTETimecode_c* timecode);
    std::uint8_t SetOffset(const QORSMPTETimecode_c* timecode);
    std::uint8_t GetOffset(QORSMPTETimecode_c* timecode);
    std::uint8_t SetAction(std::uint8_t index);
    // Kind 0 reproducer 1-20, 1 group 1-13, 2 all.
    std::uint8_t SetLocation(std::uint8_t number, std::uint8_t kind);
    std::uint8_t SetName(std::int32_t name);
    std::int32_t Name();
    std::uint8_t SetSequence(std::uint8_t sequence);
    std::uint8_t Sequence();
    std::uint8_t SetVariable(std::uint8_t variable);
    std::uint8_t Variable();
    std::uint8_t SetVariableValue(std::uint8_t value);
    std::uint8_t VariableValue();
    // 0-49; a larger address is refused with 254 and nothing is written.
    std::uint8_t SetUnitAddress(std::uint8_t address);
    std::uint8_t Loop();
    std::uint8_t Left();
    std::uint8_t Right();

private:
    std::uint8_t UnitType();
    std::uint8_t ReadByteField(std::uint8_t field, std::uint8_t missing);

    ReelvoxTriggerTable_c* m_table = nullptr;
    ReelvoxDataDocument_c* m_document = nullptr;
    ReelvoxDataTrigger_c* m_trigger = nullptr;
    QORSMPTETimecode_c* m_timecode = nullptr;
    std::array<std::uint8_t, kRecordSize> m_record{};
    std::array<std::uint8_t, kPacketSize> m_packet{};
};

class ReelvoxTriggerTable_c : public QORState_c {
public:
    ReelvoxTriggerTable_c();
    ~ReelvoxTriggerTable_c() override;

    // The interface device object gives the table its owner, the working timecode of the
    // `smpte` element and the document, then the triggers binder is resolved.
    void Bind(ReelvoxTriggerTableOwner_c* owner, QORSMPTETimecode_c* timecode,
              ReelvoxDataDocument_c* document);
    void ResolveTriggers();

    // Clears the unit's table (and the controller triggers too when flag is 3), sends every
    // trigger, sorts and stores: 2 or 254.
    std::uint8_t Download(std::uint8_t clearController);
    // Removes every trigger of the configuration and restores `max`: the kept maximum.
    std::int32_t Reload();
    // An encoder bound to a new trigger before the current one, or null when the table is full.
    ReelvoxTrigger_c* AddTrigger();
    std::int32_t TriggerCount();
    std::int32_t CurrentTriggerNumber() const { return m_currentTrigger.load(); }
    void SetMaxTriggers(std::int32_t count);
    std::int32_t MaxTriggers() const { return m_maximum; }

    // The reply parser of an uploaded table: 0 more bytes wanted, 2 loaded, 254 bad.
    std::uint8_t UploadReply(QORBuffer_c* input);
    std::uint8_t LoadUpload(QORBuffer_c* received);
    QORCallback_c* UploadParser() { return &m_uploadParser; }

    ReelvoxTriggerTableOwner_c* Owner() const { return m_owner; }
    ReelvoxDataDocument_c* Document() const { return m_document; }
    QORSMPTETimecode_c* Timecode() const { return m_timecode; }
    ReelvoxDataTriggers_c* Triggers() const { return m_triggers; }
    // The unit type from the configuration (0 without one).
    std::uint8_t UnitType() const;

    // Sends a table command: true when the unit acknowledged it.
    bool SendCommand(std::uint8_t command, const std::uint8_t* data, std::int32_t length,
                     std::uint32_t timeoutMs);

private:
    static std::uint8_t UploadCallback(void* userData, void* argument);
    void ResetUpload();

    ReelvoxTriggerTableOwner_c* m_owner = nullptr;
    ReelvoxDataDocument_c* m_document = nullptr;
    ReelvoxDataTriggers_c* m_triggers = nullptr;
    QORSMPTETimecode_c* m_timecode = nullptr;
    std::int32_t m_maximum = 0;
    std::atomic<std::int32_t> m_currentTrigger{0};
    QORBuffer_c m_received;
    QORCallback_c m_uploadParser;
    std::int32_t m_entriesLeft = 0;
    std::int32_t m_entryPosition = 0;
    std::int32_t m_recordLeft = 0;
    std::int32_t m_receivedCount = 0;
    ReelvoxTrigger_c m_encoder;
};
