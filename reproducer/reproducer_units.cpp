#include "reproducer/reproducer_units.h"

#include "foundation/status.h"
#include "foundation/text_string.h"
#include "foundation/thread.h"
#include "reproducer/cobranet_elements.h"
#include "reproducer/reelvox_data_document.h"
#include "reproducer/reelvox_system.h"
#include "reproducer/reproducer_elements.h"
#include "reproducer/show_xml.h"
#include "reproducer/smpte_interface.h"

#include <string>

namespace {

// Products 3, 4, 5, 8, 9 and 11 take the colorspace command; 9 and 11 the output format.
constexpr bool kColorspace[12] = {false, false, false, true, true,  true,
                                  false, false, true,  true, false, true};
constexpr bool kOutputFormat[12] = {false, false, false, false, false, false,
                                    false, false, false, true,  false, true};

ReelvoxReproducer_c* Repro(void* reproducer) {
    return static_cast<ReelvoxReproducer_c*>(reproducer);
}

} // namespace

bool ReelvoxProductTakesColorspace(std::uint8_t product) {
    return product < 12 && kColorspace[product];
}

bool ReelvoxProductTakesOutputFormat(std::uint8_t product) {
    return product < 12 && kOutputFormat[product];
}

ReelvoxReproducer_c::ReelvoxReproducer_c() : m_reply(QORBuffer_c::New(1024)) {
    if (!m_reply) {
        m_reply = std::make_unique<QORBuffer_c>();
    }
    m_parsers[0] = std::make_unique<ReelvoxReplyParser_c>(&ParseTextReply, this);
    m_parsers[1] = std::make_unique<ReelvoxReplyParser_c>(&ParseStatusByte, this);
    m_parsers[2] = std::make_unique<ReelvoxReplyParser_c>(&ParseStatusReply, this);
    m_parsers[3] = std::make_unique<ReelvoxReplyParser_c>(&ParseAckReply, this);
}

ReelvoxReproducer_c::~ReelvoxReproducer_c() = default;

std::uint8_t ReelvoxReproducer_c::SetUnit(std::uint8_t unit) {
    const std::int32_t count =
        m_owner != nullptr ? m_owner->ReproducerCount() : Reelvox_c::kMaxReproducers;
    const bool inRange = unit >= 1 && unit <= count && unit <= Reelvox_c::kMaxReproducers;
    m_element = nullptr;
    std::uint8_t status = QOR_ERROR;
    if (m_addressing == kUnitAddressing) {
        m_unit = inRange ? unit : 0;
        if (inRange && m_document != nullptr) {
            m_element = m_document->ReproducerElement(unit);
        }
        status = m_element != nullptr ? QOR_OK : QOR_ERROR;
    } else if (m_addressing == kGroupAddressing) {
        m_unit = inRange ? unit : 0;
        status = QOR_OK;
    }
    if (m_owner != nullptr && m_owner->SMPTEInterface() != nullptr &&
        m_owner->SMPTEInterface()->GetUnitType() == 1) {
        SetProduct(REELVOX_PRODUCT_LEGACY);
    }
    return status;
}

std::uint8_t ReelvoxReproducer_c::SetProduct(std::uint8_t index) {
    return m_element != nullptr ? m_element->SetProduct(index) : QOR_ERROR;
}

std::uint8_t ReelvoxReproducer_c::Product() {
    return m_element != nullptr ? m_element->Product() : REELVOX_PRODUCT_AUTO_DETECT;
}

std::uint8_t ReelvoxReproducer_c::Destination() const {
    if (m_addressing == kGroupAddressing) {
        return m_unit == 0 ? kReelvoxAllReproducers
                           : static_cast<std::uint8_t>((m_unit + 49) | 0x80);
    }
    return static_cast<std::uint8_t>((m_unit - 1) | 0x80);
}

std::int32_t ReelvoxReproducer_c::VideoCommand(std::uint8_t command) {
    if (m_owner == nullptr || (m_addressing == kUnitAddressing && m_unit == 0)) {
        return 0;
    }
    const std::int32_t sent = m_owner->SendFrame(&m_commandData, Destination(), command, 1);
    return sent > 0 ? sent : 0;
}

std::int32_t ReelvoxReproducer_c::SendColorspace() {
    m_commandData = m_element != nullptr ? m_element->Colorspace() : 0;
    return VideoCommand(kReproducerColorspace);
}

std::int32_t ReelvoxReproducer_c::SendOutputFormat() {
    m_commandData = m_element != nullptr ? m_element->OutputFormat() : 0;
    return VideoCommand(kReproducerOutputFormat);
}

std::uint8_t ReelvoxReproducer_c::ParseTextReply(void* input, void* reproducer) {
    ReelvoxReproducer_c* self = Repro(reproducer);
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
    if (self->m_element == nullptr)
        return QOR_ERROR;
    return ShowXMLInterface_c::SetNodeText(self->m_element->VersionElement(), self->m_element,
                                           &text);
}

std::uint8_t ReelvoxReproducer_c::ParseStatusByte(void* input, void* reproducer) {
    ReelvoxReproducer_c* self = Repro(reproducer);
    if (input == nullptr) {
        return QOR_OK;
    }
    std::uint8_t byte = 0;
    if (static_cast<QORBuffer_c*>(input)->Read(&byte, 1) != 1) {
        return 0;
    }
    if (self->m_element == nullptr) {
        return QOR_ERROR;
    }
    return self->m_element->SetOsd(byte <= 4 ? byte : 0);
}

std::uint8_t ReelvoxReproducer_c::ParseStatusReply(void* input, void* reproducer) {
    ReelvoxReproducer_c* self = Repro(reproducer);
    if (input == nullptr) {
        self->m_replyCount = 0;
        return QOR_OK;
    }
    auto* buffer = static_cast<QORBuffer_c*>(input);
    std::uint8_t byte = 0;
    while (buffer->Read(&byte, 1) == 1) {
        std::uint8_t* reply = self->m_reply->Data();
        reply[self->m_replyCount++] = byte;
        if (self->m_replyCount < 5) {
            continue;
        }
        self->m_replyCount = 0;
        // A wrong check byte is passed over, as the unit sends the status again.
        const std::uint8_t check = static_cast<std::uint8_t>(
            static_cast<std::uint8_t>(reply[0] + reply[1] + reply[2] + reply[3]) >> 1);
        if (check == reply[4]) {
            std::uint8_t& status = (reply[3] & 1) ? self->m_status2 : self->m_status1;
            status = reply[2] == 2 ? QOR_TRUE : QOR_FALSE;
        }
        if (buffer->Remaining() < 2) {
            return QOR_OK;
        }
    }
    return 0;
}

std::uint8_t ReelvoxReproducer_c::ParseAckReply(void* input, void*) {
    if (input == nullptr) {
        return QOR_OK;
    }
    std::uint8_t byte = 0;
    if (static_cast<QORBuffer_c*>(input)->Read(&byte, 1) != 1) {
        return 0;
    }
    return byte == kReelvoxAccepted ? QOR_OK : QOR_ERROR;
}

// ---- CobraNet -------------------------------------------------------------------------------

std::uint8_t QORFormatHexNumber(QORString_c* text, std::uint32_t number) {
    if (text == nullptr) {
        return QOR_ERROR;
    }
    static const char kDigits[] = "0123456789ABCDEF";
    std::string digits;
    do {
        digits.insert(digits.begin(), kDigits[number & 0xF]);
        number >>= 4;
    } while (number != 0);
    const std::string result = "0x" + digits;
    return text->Assign(result.c_str(), static_cast<std::int32_t>(result.size()), QOR_FALSE) < 0
               ? QOR_ERROR
               : QOR_OK;
}

std::uint32_t ReelvoxCobraNetChannelFormat(std::uint8_t res, std::uint8_t sr, std::uint8_t lat) {
    if (res == 0 || sr == 0 || lat == 0 || res > 3 || sr > 2 || lat > 3) {
        return 0;
    }
    std::uint32_t value = static_cast<std::uint32_t>(res + 3) * 0x10000;
    if (sr == 2) {
        value += 0x100000;
    }
    static const std::uint32_t kLatency48[] = {0x4000, 0x2000, 0x1000};
    static const std::uint32_t kLatency96[] = {0x8000, 0x4000, 0x2000};
    value += (sr == 1 ? kLatency48 : kLatency96)[lat - 1];
    return value;
}

std::uint32_t ReelvoxCobraNetRateMode(std::uint8_t sr, std::uint8_t lat) {
    if (sr == 0 || lat == 0 || sr > 2 || lat > 3) {
        return 0;
    }
    static const std::uint32_t k48[] = {0x600, 0x500, 0x400};
    static const std::uint32_t k96[] = {0x701, 0x601, 0x501};
    return (sr == 1 ? k48 : k96)[lat - 1];
}

std::int32_t ReelvoxCobraNet_c::SendText(const char* text) {
    if (m_owner == nullptr || text == nullptr) {
        return QOR_COUNT_ERROR;
    }
    const std::int32_t index = m_element != nullptr ? m_element->DeviceIndex() : 2;
    std::string data = " ";
    data += static_cast<char>('1' + (index >= 0 && index <= 1 ? index : 2));
    data += ' ';
    data += text;
    data += '\r';
    if (data.size() + 4 > static_cast<std::size_t>(kReelvoxFrameCapacity)) {
        return QOR_COUNT_ERROR;
    }
    return m_owner->SendFrame(reinterpret_cast<const std::uint8_t*>(data.data()), kReelvoxCobraNet,
                              kCobraNetText, static_cast<std::int32_t>(data.size()));
}

std::int32_t ReelvoxCobraNet_c::Acknowledged(std::int32_t sent) {
    if (sent <= 0) {
        return QOR_COUNT_ERROR;
    }
    return ReelvoxCommandAnswer(sent, m_owner->WaitResponse(kReelvoxAckTimeout));
}

std::int32_t ReelvoxCobraNet_c::SendVariable(std::uint32_t variable, std::uint32_t value) {
    if (m_owner == nullptr) {
        return QOR_COUNT_ERROR;
    }
    QORString_c name;
    QORString_c number;
    if (QORFormatHexNumber(&name, variable) != QOR_OK ||
        QORFormatHexNumber(&number, value) != QOR_OK) {
        return QOR_COUNT_ERROR;
    }
    const std::string text = std::string(name.View()) + " " + std::string(number.View());
    return Acknowledged(SendText(text.c_str()));
}

std::int32_t ReelvoxCobraNet_c::SendKeyValue(const char* key, const char* value) {
    if (m_owner == nullptr || key == nullptr || value == nullptr) {
        return QOR_COUNT_ERROR;
    }
    std::string text = key;
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    text += ' ';
    text += value;
    return Acknowledged(SendText(text.c_str()));
}

std::int32_t ReelvoxCobraNet_c::SendIpAddress() {
    QORString_c address;
    if (m_element == nullptr ||
        ShowXMLInterface_c::GetNodeText(m_element->IpAddressNode(), &address) != QOR_OK ||
        address.Length() == 0) {
        return QOR_COUNT_ERROR;
    }
    const std::string text(address.View());
    const std::int32_t answer = SendKeyValue("ipmonstaticip", text.c_str());
    if (answer <= 0) {
        return answer;
    }
    return SendKeyValue("ipmoncurrentip", text.c_str());
}

std::uint8_t ReelvoxCobraNet_c::ConductorPriority() {
    if (m_element == nullptr || m_element->DeviceIndex() != 0) {
        return 0;
    }
    std::int32_t value = 0;
    ShowXMLInterface_c::GetNodeInt(m_element->ConductorNode(), &value);
    return static_cast<std::uint8_t>(value);
}

std::uint8_t ReelvoxCobraNet_c::Download(std::uint8_t ignoreErrors) {
    const std::uint8_t sr = m_element != nullptr ? m_element->SampleRate() : 1;
    const std::uint8_t lat = m_element != nullptr ? m_element->Latency() : 1;
    const std::uint8_t res = m_element != nullptr ? m_element->Resolution() : 2;
    std::uint8_t result = QOR_OK;
    auto goOn = [&] {
        return !QORCurrentThreadStopRequested() && (ignoreErrors == QOR_TRUE || result == QOR_OK);
    };
    auto check = [&](std::int32_t answer) {
        if (answer < 1) {
            m_failedStep = static_cast<std::uint16_t>(GetState());
            result = QOR_ERROR;
        }
    };
    const std::uint32_t format = ReelvoxCobraNetChannelFormat(res, sr, lat);
    ReelvoxDataCobraNetBundles_c* bundles = m_element != nullptr ? m_element->Bundles() : nullptr;
    for (m_bundle = 0; m_bundle < 4 && goOn(); ++m_bundle) {
        auto* bundle =
            bundles != nullptr
                ? static_cast<ReelvoxDataCobraNetBundle_c*>(bundles->ItemAt(m_bundle, QOR_TRUE))
                : nullptr;
        ReelvoxDataCobraNetChannels_c* channels = bundle != nullptr ? bundle->Channels() : nullptr;
        const std::int32_t n = channels != nullptr ? channels->LiveCount() : 0;
        const std::uint32_t base = 0x1000u * m_bundle;
        SetState(1);
        m_cursor = 7;
        if (n <= 7) {
            for (; m_cursor >= n && goOn(); --m_cursor) {
                check(SendVariable(0x50300 + base + static_cast<std::uint32_t>(m_cursor), 0));
                check(SendVariable(0x50200 + base + static_cast<std::uint32_t>(m_cursor), 0));
            }
        }
        SetState(2);
        for (std::int32_t c = m_cursor; c >= 0 && goOn(); --c) {
            auto* channel =
                channels != nullptr
                    ? static_cast<ReelvoxDataCobraNetChannel_c*>(channels->ItemAt(c, QOR_FALSE))
                    : nullptr;
            if (channel == nullptr) {
                check(0);
                continue;
            }
            check(SendVariable(0x50300 + base + static_cast<std::uint32_t>(c), format));
            check(SendVariable(0x50200 + base + static_cast<std::uint32_t>(c),
                               static_cast<std::uint32_t>(channel->AudioChannel())));
        }
        SetState(3);
        if (goOn()) {
            check(SendVariable(0x50105 + base, static_cast<std::uint32_t>(n)));
        }
        if (goOn()) {
            const std::int32_t number = bundle != nullptr ? bundle->Number() : 0;
            check(
                SendVariable(0x50100 + base, static_cast<std::uint32_t>(number > 0 ? number : 0)));
        }
    }
    SetState(4);
    if (goOn()) {
        check(SendVariable(0x2100, ReelvoxCobraNetRateMode(sr, lat)));
    }
    if (goOn()) {
        check(SendVariable(0x10002, ConductorPriority()));
    }
    if (goOn()) {
        check(SendVariable(0x1100, 1));
    }
    SetState(5);
    if (goOn()) {
        check(SendIpAddress());
    }
    if (QORCurrentThreadStopRequested() || (result != QOR_OK && ignoreErrors != QOR_TRUE)) {
        return QOR_ERROR;
    }
    SetState(6);
    return QOR_OK;
}
