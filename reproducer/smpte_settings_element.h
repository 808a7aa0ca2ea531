// The `smpte` element: the timecode settings any SMPTE timecode element has, and the settings of
// the SMPTE interface unit with its trigger collection.
#pragma once

#include "foundation/smpte_timecode.h"
#include "reproducer/show_xml.h"

#include <array>
#include <cstdint>
#include <memory>

class QORString_c;
class ReelvoxDataTriggers_c;

// Modes of the interface.
constexpr std::uint8_t REELVOX_MODE_DISABLED = 0;
constexpr std::uint8_t REELVOX_MODE_READ = 1;
constexpr std::uint8_t REELVOX_MODE_GENERATE = 2;
constexpr std::uint8_t REELVOX_MODE_GEN_VID_SYNC = 3;

// Sample-clock frequencies by index, in kHz.
constexpr std::int32_t REELVOX_CLOCK_COUNT = 8;
constexpr std::array<double, REELVOX_CLOCK_COUNT> REELVOX_CLOCK_KHZ = {32.0, 35.0, 44.056, 44.1,
                                                                       48.0, 64.0, 88.2,   96.0};
// The index a clock frequency that matches no table entry reads as.
constexpr std::uint8_t REELVOX_CLOCK_DEFAULT_INDEX = 4;

class ShowDataTimecodeSMPTE_c : public ShowXMLInterface_c {
public:
    ShowDataTimecodeSMPTE_c();

    std::unique_ptr<QORObject_c> Create() const override;
    // Binds to the `smpte` child of the parent element (created when missing); the working
    // timecode takes the element's frame rate.
    std::uint8_t Bind(ShowXML_c* parent) override;
    // Binds again to the parent of the bound element.
    std::uint8_t Rebind() override;

    std::uint8_t SetMode(std::uint8_t index);
    std::uint8_t Mode();
    std::uint8_t SetStartOnPower(std::uint8_t flag);
    std::uint8_t StartOnPower();
    std::uint8_t SetSmpteReset(std::uint8_t flag);
    std::uint8_t SmpteReset();
    std::uint8_t SetMuteOnIdle(std::uint8_t flag);
    std::uint8_t MuteOnIdle();
    // Null writes "00:00:00.00". The timecode must have the working frame rate.
    std::uint8_t SetPreroll(const QORSMPTETimecode_c* timecode);
    std::uint8_t SetStart(const QORSMPTETimecode_c* timecode);
    std::uint8_t SetEnd(const QORSMPTETimecode_c* timecode);
    // Parsed at the given timecode's own rate.
    std::uint8_t GetPreroll(QORSMPTETimecode_c* timecode);
    std::uint8_t GetStart(QORSMPTETimecode_c* timecode);
    std::uint8_t GetEnd(QORSMPTETimecode_c* timecode);
    std::uint8_t SetTransition(std::uint8_t index);
    std::uint8_t Transition();
    // Changing the rate keeps the digits of preroll, start and end.
    std::uint8_t SetFrameRate(std::uint8_t index);
    // 0-5; a text that is no frame rate reads 5.
    std::uint8_t FrameRate();

    // The element's working timecode (owned), at the element's frame rate.
    QORSMPTETimecode_c* WorkingTimecode() { return &m_timecode; }

protected:
    enum Field : std::uint8_t {
        kMode,
        kStartOnPower,
        kSmpteReset,
        kMuteOnIdle,
        kTransition,
        kPreroll,
        kStart,
        kEnd,
        kFrameRate,
        kTimecodeFieldCount
    };
    ShowXML_c* TimecodeNode(Field field);
    // Forgets the cached nodes.
    void ForgetTimecodeNodes();

private:
    std::uint8_t WriteTime(Field field, const QORSMPTETimecode_c* timecode);
    std::uint8_t ReadTime(Field field, QORSMPTETimecode_c* timecode);

    std::array<ShowXML_c*, kTimecodeFieldCount> m_nodes{};
    QORSMPTETimecode_c m_timecode;
};

class ReelvoxDataSMPTEInterface_c : public ShowDataTimecodeSMPTE_c {
public:
    ReelvoxDataSMPTEInterface_c();
    ~ReelvoxDataSMPTEInterface_c() override;

    std::unique_ptr<QORObject_c> Create() const override;
    // The timecode Bind, the trigger collection, then the interface defaults of a new element.
    std::uint8_t Bind(ShowXML_c* parent) override;
    void SetChangeTracking(std::uint8_t tracking) override;
    ShowXMLInterface_c* FindBinding(const QORXML_c* node) override;

    // Kind 0 ip_address, 1 subnet_mask, 2 gateway; a text shorter than 7 characters reads as
    // the kind's default.
    std::uint8_t AddressField(std::uint8_t kind, QORString_c* text);
    ShowXML_c* VersionElement();
    ShowXML_c* SmpteVersionElement();
    // 0-49, a value outside written back clamped.
    std::uint8_t UnitNumber();
    std::uint8_t EnableUnitGroup(std::uint8_t group);
    std::uint8_t IsUnitGroupEnabled(std::uint8_t group);
    // Bytes 0-8 = IsUnitGroupEnabled of groups 1-9: 9, or 254 for a null buffer.
    std::int32_t UnitGroups(std::uint8_t* buffer);
    std::uint8_t SetPhaseLock(std::uint8_t index);
    std::uint8_t SetVideoFormat(std::uint8_t index);
    std::uint8_t VideoFormat();
    std::uint8_t SetClockFreq(std::uint8_t index);
    // The index whose table value equals the kHz exactly, 8 for none.
    static std::uint8_t ClockFreqIndex(double kilohertz);
    // The stored frequency's index; a text that names no table entry reads 4.
    std::uint8_t ClockFreq();
    void SetVideoSync(std::uint8_t flag);
    std::uint8_t VideoSync();
    std::uint8_t SetControlSource(std::uint8_t index);
    std::uint8_t ControlSource();
    std::uint8_t SetUnitType(std::uint8_t index);
    std::uint8_t UnitType();
    std::uint8_t SplayDelay();
    std::uint8_t SmpteLv();
    std::uint8_t SetBitsCapable(std::uint8_t index);
    std::uint8_t BitsCapable();
    // Word booleans of the unit's outputs.
    std::uint8_t SetTimecodeOutput(std::uint8_t flag);
    std::uint8_t TimecodeOutput();
    std::uint8_t SetStopOnSmpteStop(std::uint8_t flag);
    std::uint8_t StopOnSmpteStop();
    // 3 when the rate index may be used with the current video sync, else 253.
    std::uint8_t RateAllowed(std::uint8_t rateIndex) const;

    ReelvoxDataTriggers_c* Triggers() { return m_triggers.get(); }

private:
    enum InterfaceField : std::uint8_t {
        kIpAddress,
        kSubnetMask,
        kGateway,
        kVersion,
        kSmpteVersion,
        kUnitNumber,
        kSplayDelay,
        kUnitGroups,
        kPhaseLock,
        kVideoFormat,
        kClockFreq,
        kControlSource,
        kBitsCapable,
        kUnitType,
        kSmpteLv,
        kInterfaceFieldCount
    };
    ShowXML_c* InterfaceNode(InterfaceField field);
    std::int32_t ClampedInt(InterfaceField field, std::int32_t low, std::int32_t high);
    void ComputeAllowedRates();

    std::array<ShowXML_c*, kInterfaceFieldCount> m_interfaceNodes{};
    std::array<std::uint8_t, 6> m_allowedRates{};
    std::unique_ptr<ReelvoxDataTriggers_c> m_triggers;
};
