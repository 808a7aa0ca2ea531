// The SMPTE interface unit of the reproducer system (destination 254). Its settings live in the
// configuration's "smpte" element; the object sends them to the unit, runs the ordered download
// with a record of the step that failed, and applies the consequences of the unit type.
#pragma once
#include "foundation/byte_buffer.h"
#include "foundation/state.h"
#include "reproducer/reelvox_frame.h"
#include "reproducer/smpte_commands.h"
#include "reproducer/trigger_table.h"
#include <array>
#include <atomic>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <mutex>
#include <utility>

class QORSMPTETimecode_c;
class QORString_c;
class Reelvox_c;
class ReelvoxDataDocument_c;
class ReelvoxDataSMPTEInterface_c;

// Download steps (the interface's state during a download).
constexpr std::int16_t SMPTE_STEP_DISABLE = 0;
constexpr std::int16_t SMPTE_STEP_DEFAULTS = 1;
constexpr std::int16_t SMPTE_STEP_PREROLL = 2;
constexpr std::int16_t SMPTE_STEP_UNIT_NUMBER = 3;
constexpr std::int16_t SMPTE_STEP_UNIT_GROUPS = 4;
constexpr std::int16_t SMPTE_STEP_REPRO_GROUPS = 5;
constexpr std::int16_t SMPTE_STEP_SAMPLE_CLOCK = 6;
constexpr std::int16_t SMPTE_STEP_TRIGGERS = 7;
constexpr std::int16_t SMPTE_STEP_DONE = 8;
// States while a settings image comes in.
constexpr std::int16_t SMPTE_IMAGE_RECEIVING = 12;
constexpr std::int16_t SMPTE_IMAGE_REFUSED = 13;
constexpr std::int16_t SMPTE_IMAGE_TOO_LONG = 14;
constexpr std::int16_t SMPTE_IMAGE_CHECKSUM = 15;
constexpr std::int16_t SMPTE_IMAGE_DECODING = 16;

class ReelvoxSMPTEInterface_c : public QORState_c, public ReelvoxTriggerTableOwner_c {
public:
    static constexpr std::int32_t kReplyCapacity = 1024;

    ReelvoxSMPTEInterface_c();
    ~ReelvoxSMPTEInterface_c() override;
    ReelvoxSMPTEInterface_c(const ReelvoxSMPTEInterface_c&) = delete;
    ReelvoxSMPTEInterface_c& operator=(const ReelvoxSMPTEInterface_c&) = delete;

    void SetOwner(Reelvox_c* owner) { m_owner = owner; }
    Reelvox_c* Owner() const { return m_owner; }
    void BindDocument(ReelvoxDataDocument_c* document);
    // Binds to the owner's configuration when the interface is first used, so that attaching
    // to a system whose configuration is not laid out yet does not lay it out.
    void BindOwnerDocumentLater();
    void Reload();
    QORSMPTETimecode_c* SettingsTimecode();
    ReelvoxTriggerTable_c* TriggerTable();

    std::uint8_t Download(std::uint8_t ignoreErrors, std::uint8_t skipUnitSetup,
                          std::uint8_t triggers);
    std::uint16_t FailedStep() const { return m_failedStep.load(); }

    std::uint8_t SetUnitType(std::uint8_t type);
    std::uint8_t GetUnitType();
    double SampleClockRate();
    double FirmwareVersion();
    std::int32_t SettingsXmlSize();
    std::int32_t WriteSettingsXml(std::uint8_t* destination, std::int32_t capacity);

    // Settings (booleans 3/253).
    std::uint8_t SetFrameRate(std::uint8_t index);
    std::uint8_t GetFrameRate();
    std::uint8_t SetStart(const QORSMPTETimecode_c* timecode);
    std::uint8_t GetStart(QORSMPTETimecode_c* timecode);
    std::uint8_t SetEnd(const QORSMPTETimecode_c* timecode);
    std::uint8_t GetEnd(QORSMPTETimecode_c* timecode);
    std::uint8_t SetPreroll(const QORSMPTETimecode_c* timecode);
    std::uint8_t GetPreroll(QORSMPTETimecode_c* timecode);
    std::uint8_t SetGenerate(std::uint8_t flag);
    std::uint8_t IsGenerating();
    std::uint8_t GetStopOnSmpteStop();
    std::uint8_t SetVideoSync(std::uint8_t flag);
    std::uint8_t GetVideoSync();
    std::uint8_t SetTimecodeOutput(std::uint8_t flag);
    std::uint8_t GetTimecodeOutput();
    std::uint8_t SetStartOnPower(std::uint8_t flag);
    std::uint8_t GetStartOnPower();
    std::uint8_t SetSmpteReset(std::uint8_t flag);
    std::uint8_t GetSmpteReset();
    std::uint8_t SetMuteOnIdle(std::uint8_t flag);
    std::uint8_t GetMuteOnIdle();
    std::uint8_t SetControlSource(std::uint8_t index);
    std::uint8_t GetControlSource();
    std::uint8_t SetTransition(std::uint8_t index);
    std::uint8_t GetTransition();
    std::uint8_t SetVideoFormat(std::uint8_t index);
    std::uint8_t GetVideoFormat();
    std::uint8_t SetClockFreq(std::uint8_t index);
    std::uint8_t GetClockFreq();
    std::uint8_t SetBitsCapable(std::uint8_t flag);
    std::uint8_t GetBitsCapable();
    std::uint8_t GetUnitNumber();
    // Nine flags (3/253) for groups 1-9: 2, or 254 without element or buffer.
    std::uint8_t GetUnitGroups(std::uint8_t* flags);
    std::uint8_t GetSplayDelay();
    std::uint8_t GetSmpteLv();
    std::uint8_t GetVersionText(QORString_c* text);

    // Commands: the frame length when accepted, 0 not sent, -2 refused, -5 time-out.
    std::int32_t SendDisable();
    std::int32_t SendEnable();
    std::int32_t SendDefaults();
    std::int32_t SendPreroll();
    std::int32_t SendUnitNumber();
    std::int32_t SendUnitGroups();
    std::int32_t SendReproducerGroups(std::uint8_t unit);
    std::int32_t SendSampleClock();
    std::int32_t SendSetting(std::uint8_t subType, std::uint8_t value);

    std::int32_t SendTriggerCommand(std::uint8_t command, const std::uint8_t* data,
                                    std::int32_t length, std::uint32_t timeoutMs) override;

    // Reply parsers (input: the transport's receive buffer, none to reset; argument: this).
    static std::uint8_t ParseTextReply(void* input, void* interface);
    static std::uint8_t ParseShortReply(void* input, void* interface);
    static std::uint8_t ParseStatusTable(void* input, void* interface);
    static std::uint8_t ParseSettingsReply(void* input, void* interface);
    std::uint8_t ParseSettingsImage(const std::uint8_t* image, std::int32_t length);
    std::uint8_t StoreVersionReply(const QORString_c* text);
    void SetRequestByte(std::uint8_t request) { m_request = request; }
    ReelvoxReplyParser_c* Parser(std::int32_t which) const;
    std::array<std::uint8_t, 2> ReplyBytes() const { return m_replyBytes; }
    std::array<std::uint8_t, 3> StatusEntry(std::int32_t index) const;

private:
    void BindPendingDocument();
    ReelvoxDataSMPTEInterface_c* Element();
    ReelvoxSmpteValues Values();
    std::int32_t Command(std::uint8_t command, const std::uint8_t* data, std::int32_t length);
    // Each sub-type in turn; stops at the first that fails with -2, else the sum.
    std::int32_t SendSubTypes(std::initializer_list<std::pair<std::uint8_t, std::uint8_t>> list);
    bool ReadTimecodeBytes(int which, std::uint8_t rateIndex, std::uint8_t* out);
    void ApplyTriggerMaximum(std::uint8_t type);

    Reelvox_c* m_owner = nullptr;
    std::unique_ptr<ReelvoxTriggerTable_c> m_triggerTable;
    std::atomic<std::uint16_t> m_failedStep{8};
    std::array<std::array<std::uint8_t, 3>, kSmpteStatusTableLength> m_statusTable{};
    std::array<std::uint8_t, 2> m_replyBytes{};
    std::array<std::unique_ptr<ReelvoxReplyParser_c>, 4> m_parsers;
    std::unique_ptr<QORBuffer_c> m_reply;
    std::array<std::uint8_t, 24> m_frameData{};
    ReelvoxDataDocument_c* m_document = nullptr;
    ReelvoxDataSMPTEInterface_c* m_element = nullptr;
    // Set while the owner's configuration waits to be bound; the download thread may be the
    // first to use the interface.
    std::atomic<bool> m_bindPending{false};
    std::recursive_mutex m_bindMutex;
    bool m_binding = false;
    std::uint8_t m_request = 0;
    std::int32_t m_replyCount = 0;
};
