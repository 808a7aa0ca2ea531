// The timecode triggers of the SMPTE interface: the `triggers` collection under `smpte`, kept in
// time order and numbered, and the `trigger` element with every field the unit's trigger record
// carries.
#pragma once

#include "reproducer/show_resources.h"

#include <array>
#include <cstdint>
#include <memory>

class QORSMPTETimecode_c;
class QORValue_c;

// Trigger actions (index of the `action` word).
constexpr std::uint8_t REELVOX_ACTION_UNKNOWN = 0;
constexpr std::uint8_t REELVOX_ACTION_PLAY = 1;
constexpr std::uint8_t REELVOX_ACTION_PLAY_NEXT = 2;
constexpr std::uint8_t REELVOX_ACTION_PAUSE = 3;
constexpr std::uint8_t REELVOX_ACTION_STILL = 4;
constexpr std::uint8_t REELVOX_ACTION_STOP = 5;
constexpr std::uint8_t REELVOX_ACTION_SEARCH = 6;
constexpr std::uint8_t REELVOX_ACTION_START_SEQ = 7;
constexpr std::uint8_t REELVOX_ACTION_SET_VAR = 8;

// Socket values, the socket bits of the wire record.
constexpr std::uint8_t REELVOX_SOCKET_SECONDARY = 0;
constexpr std::uint8_t REELVOX_SOCKET_BOTH = 32;
constexpr std::uint8_t REELVOX_SOCKET_PRIMARY = 64;

// Highest show-controller address a trigger record can carry.
constexpr std::int32_t REELVOX_MAX_UNIT_ADDRESS = 49;

class ReelvoxDataTrigger_c : public ShowResource_c {
public:
    ReelvoxDataTrigger_c() = default;

    std::unique_ptr<QORObject_c> Create() const override;
    // Binds the element, names it `trigger` and writes the defaults of missing fields: `tm`
    // "00:00:00.01", `name` 1, `action` "play", `left` and `right` "true".
    std::uint8_t Bind(ShowXML_c* node) override;

    // The working timecode that gives the trigger its frame rate (borrowed; may be null).
    void SetTimecode(QORSMPTETimecode_c* timecode) { m_timecode = timecode; }
    QORSMPTETimecode_c* Timecode() const { return m_timecode; }

    std::uint8_t SetTime(const QORSMPTETimecode_c* timecode);
    std::uint8_t SetOffset(const QORSMPTETimecode_c* timecode);
    std::uint8_t GetTime(QORSMPTETimecode_c* timecode);
    std::uint8_t GetOffset(QORSMPTETimecode_c* timecode);

    // An index above 8 writes "unknown".
    std::uint8_t SetAction(std::uint8_t index);
    std::uint8_t Action();
    std::uint8_t SetLocation(std::uint8_t index);
    std::uint8_t Location();
    std::uint8_t SetLocationNumber(std::int32_t number);
    std::int32_t LocationNumber();
    std::uint8_t SetName(QORValue_c* value);
    void GetName(QORValue_c* value);
    std::uint8_t SetSocket(std::uint8_t bits);
    std::uint8_t Socket();
    // 0-49; values outside read wrapped (a negative byte 49, above 49 0). Use
    // EncodableUnitAddress where the address goes out to a controller.
    std::uint8_t UnitAddress();
    // The stored address when it lies in 0-49 (an empty text is 0): 2; anything else 254, so a
    // record never reaches another controller than the one named.
    std::uint8_t EncodableUnitAddress(std::uint8_t* address);

    // Field nodes for the encoder (found or created on first use, kept for the binding).
    enum Field : std::uint8_t {
        kTm,
        kOffset,
        kName,
        kNumber,
        kAction,
        kLocation,
        kLocationNumber,
        kSocket,
        kUnitAddress,
        kSeq,
        kVar,
        kVarValue,
        kFieldCount
    };
    ShowXML_c* FieldNode(Field field);

private:
    std::uint8_t WriteTime(Field field, const QORSMPTETimecode_c* timecode);
    std::uint8_t ReadTime(Field field, QORSMPTETimecode_c* timecode);

    std::array<ShowXML_c*, kFieldCount> m_nodes{};
    QORSMPTETimecode_c* m_timecode = nullptr;
};

class ReelvoxDataTriggers_c : public ShowResources_c {
public:
    ReelvoxDataTriggers_c();

    std::unique_ptr<QORObject_c> Create() const override;
    // Binds to the `triggers` child of the `smpte` element (created when missing), writes `max`
    // 256 when it has none, and sorts.
    std::uint8_t Bind(ShowXML_c* smpteElement) override;
    std::uint8_t Rebind() override;
    std::unique_ptr<ShowResource_c> CreateChild(ShowXML_c* templateNode) override;

    std::uint8_t SetMax(std::int32_t count);
    // Negative reads 0.
    std::int32_t Max();
    // Stable sort of the trigger elements by `tm`, then `number` = 1..n.
    void Sort();
    // Number of live trigger items.
    std::int32_t Count();

private:
    ShowXML_c* m_max = nullptr;
};

// Index of a trigger action word (without regard to case), 0 for none.
std::uint8_t ReelvoxActionIndex(const char* word);
const char* ReelvoxActionWord(std::uint8_t index);
