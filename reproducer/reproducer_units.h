// Device objects of the reproducers and of the CobraNet devices. Their settings live in the
// configuration ("repro" and "cobranet" elements); the objects turn them into frames.
#pragma once
#include "foundation/byte_buffer.h"
#include "foundation/state.h"
#include "reproducer/reelvox_frame.h"
#include <array>
#include <cstdint>
#include <memory>

class QORString_c;
class Reelvox_c;
class ReelvoxDataCobraNet_c;
class ReelvoxDataDocument_c;
class ReelvoxDataReproducer_c;

constexpr std::uint8_t kReproducerColorspace = 23;
constexpr std::uint8_t kReproducerOutputFormat = 33;
constexpr std::uint8_t kCobraNetText = 82;

// Whether a product takes the colorspace (23) and the output-format (33) commands.
bool ReelvoxProductTakesColorspace(std::uint8_t product);
bool ReelvoxProductTakesOutputFormat(std::uint8_t product);

class ReelvoxReproducer_c : public QORState_c {
public:
    static constexpr std::uint8_t kUnitAddressing = 253;
    static constexpr std::uint8_t kGroupAddressing = 3;

    ReelvoxReproducer_c();
    ~ReelvoxReproducer_c() override;
    ReelvoxReproducer_c(const ReelvoxReproducer_c&) = delete;
    ReelvoxReproducer_c& operator=(const ReelvoxReproducer_c&) = delete;

    void SetOwner(Reelvox_c* owner) { m_owner = owner; }
    void SetDocument(ReelvoxDataDocument_c* document) { m_document = document; }
    void SetAddressing(std::uint8_t addressing) { m_addressing = addressing; }
    std::uint8_t SetUnit(std::uint8_t unit);
    std::uint8_t Unit() const { return m_unit; }
    virtual std::uint8_t SetProduct(std::uint8_t index);
    virtual std::uint8_t Product();
    ReelvoxDataReproducer_c* Element() const { return m_element; }

    // Video commands: not acknowledged; the frame length, or 0 when not sent.
    std::int32_t SendColorspace();
    std::int32_t SendOutputFormat();
    std::uint8_t CommandData() const { return m_commandData; }
    std::uint8_t Destination() const;

    static std::uint8_t ParseTextReply(void* input, void* reproducer);
    static std::uint8_t ParseStatusByte(void* input, void* reproducer);
    static std::uint8_t ParseStatusReply(void* input, void* reproducer);
    static std::uint8_t ParseAckReply(void* input, void* reproducer);
    std::uint8_t Status1() const { return m_status1; }
    std::uint8_t Status2() const { return m_status2; }

private:
    std::int32_t VideoCommand(std::uint8_t command);

    std::uint8_t m_addressing = kUnitAddressing;
    std::uint8_t m_unit = 0;
    std::uint8_t m_status1 = 253;
    std::uint8_t m_status2 = 253;
    std::uint8_t m_commandData = 0;
    Reelvox_c* m_owner = nullptr;
    std::array<std::unique_ptr<ReelvoxReplyParser_c>, 4> m_parsers;
    std::unique_ptr<QORBuffer_c> m_reply;
    std::int32_t m_replyCount = 0;
    ReelvoxDataDocument_c* m_document = nullptr;
    ReelvoxDataReproducer_c* m_element = nullptr;
};

class ReelvoxCobraNet_c : public QORState_c {
public:
    ReelvoxCobraNet_c() = default;
    void SetOwner(Reelvox_c* owner) { m_owner = owner; }
    void SetElement(ReelvoxDataCobraNet_c* element) { m_element = element; }
    std::uint8_t Download(std::uint8_t ignoreErrors);
    std::uint8_t ConductorPriority();
    std::int32_t SendVariable(std::uint32_t variable, std::uint32_t value);
    std::int32_t SendKeyValue(const char* key, const char* value);
    std::int32_t SendIpAddress();
    std::int32_t SendText(const char* text);
    std::uint16_t FailedStep() const { return m_failedStep; }

private:
    std::int32_t Acknowledged(std::int32_t sent);

    Reelvox_c* m_owner = nullptr;
    ReelvoxDataCobraNet_c* m_element = nullptr;
    std::uint16_t m_failedStep = 0;
    std::int32_t m_cursor = 0;
    std::uint8_t m_bundle = 0;
};

// "0x" and the upper-case hexadecimal digits without leading zeros ("0x0" for zero): 2, or 254
// without text.
std::uint8_t QORFormatHexNumber(QORString_c* text, std::uint32_t number);
// Channel format and rate-mode values of the CobraNet variables from the element's codes.
std::uint32_t ReelvoxCobraNetChannelFormat(std::uint8_t res, std::uint8_t sr, std::uint8_t lat);
std::uint32_t ReelvoxCobraNetRateMode(std::uint8_t sr, std::uint8_t lat);
