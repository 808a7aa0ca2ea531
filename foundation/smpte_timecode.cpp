#include "foundation/smpte_timecode.h"

#include <string>

#include "foundation/conversions.h"
#include "foundation/text_string.h"

#include <array>
#include <charconv>

namespace {

constexpr std::array<double, 6> kRates = {23.976, 24.0, 25.0, 29.97, 29.97, 30.0};

// Drop-frame labels: a day of labels holds fewer frames than the 30 x 86400 the count wraps at.
constexpr std::uint32_t kDropFramesPerTenMinutes = 17982;
constexpr std::uint32_t kDropFramesPerMinute = 1798; // every minute but the tenth
constexpr std::uint32_t kDropLabelDay = kDropFramesPerTenMinutes * 6 * 24;

struct Label {
    std::uint32_t hours, minutes, seconds, frames;
};

Label PlainLabel(std::uint32_t count, std::uint32_t rate) {
    Label l{};
    if (rate == 0) {
        return l;
    }
    l.hours = count / (rate * 3600);
    count %= rate * 3600;
    l.minutes = count / (rate * 60);
    count %= rate * 60;
    l.seconds = count / rate;
    l.frames = count % rate;
    return l;
}

// The label reached by counting `count` frames from midnight with drop-frame numbering, where
// 24 hours of labels wrap to 0. Closed form: each ten minutes after the first skip 18 numbers,
// each minute after the first of a ten-minute block 2.
Label DropLabel(std::uint32_t count) {
    const std::uint32_t n = count % kDropLabelDay;
    const std::uint32_t tens = n / kDropFramesPerTenMinutes;
    const std::uint32_t rest = n % kDropFramesPerTenMinutes;
    std::uint32_t number = n + 18 * tens;
    if (rest >= 2) {
        number += 2 * ((rest - 2) / kDropFramesPerMinute);
    }
    return PlainLabel(number, 30);
}

} // namespace

double QORFrameRateOfIndex(std::uint8_t index) {
    return index < kRates.size() ? kRates[index] : 0;
}

std::uint8_t QORFrameRateIndexOf(double rate) {
    constexpr std::array<std::uint8_t, 5> indexes = {0, 1, 2, 3, 5};
    for (auto index : indexes) {
        if (rate == kRates[index]) {
            return index;
        }
    }
    return 255;
}

std::uint8_t QORParseFrameRate(const QORString_c* text) {
    if (text == nullptr) {
        return 255;
    }
    std::uint8_t status = 2;
    const double rate = QORTextToUDouble(text->Chars(), text->Length(), &status);
    if (status == 254) {
        return 255;
    }
    const std::uint8_t index = QORFrameRateIndexOf(rate);
    const auto chars = text->View();
    if (index == 5 && !chars.empty() && (chars.back() == 'D' || chars.back() == 'd')) {
        return 4;
    }
    return index;
}

std::uint8_t QORFrameRateText(QORString_c* text, std::uint8_t index) {
    if (text == nullptr) {
        return 254;
    }
    if (index == 4) {
        return text->Assign("30.0D", -1, 253) == -2 ? 254 : 2;
    }
    const double rate = QORFrameRateOfIndex(index);
    if (rate <= 0) {
        return 254;
    }
    char digits[32] = {};
    std::int32_t count = 0;
    if (QORDoubleToText(&count, digits, sizeof digits, 3, rate) == nullptr) {
        return 254;
    }
    // Trailing zeros go, but the one right after the point stays.
    while (count > 2 && digits[count - 1] == '0' && digits[count - 2] != '.') {
        --count;
    }
    return text->Assign(digits, count, 253) == -2 ? 254 : 2;
}

std::uint32_t QORDropFrameCount(std::uint32_t hours, std::uint32_t minutes, std::uint32_t frames,
                                std::uint32_t seconds) {
    const std::uint32_t n = (((hours * 60 + minutes) * 60 + seconds) * 30 + frames) % 2592000;
    const std::uint32_t h = n / 108000;
    const std::uint32_t m = (n % 108000) / 1800;
    const std::uint32_t s = (n % 1800) / 30;
    const std::uint32_t f = n % 30;
    const std::uint32_t t = 60 * h + m;
    return (60 * t + s) * 30 + f - 2 * (t - t / 10);
}

std::unique_ptr<QORObject_c> QORSMPTETimecode_c::Create() const {
    return std::make_unique<QORSMPTETimecode_c>();
}

std::uint8_t QORSMPTETimecode_c::CopyTo(QORObject_c* target) const {
    auto* other = dynamic_cast<QORSMPTETimecode_c*>(target);
    if (other == nullptr || QORObject_c::CopyTo(target) != 2) {
        return 254;
    }
    other->SetFrameRate(m_rateIndex, m_drop);
    other->SetFrameCount(m_count);
    return 2;
}

std::uint32_t QORSMPTETimecode_c::WholeRate() const {
    return static_cast<std::uint32_t>(QORCeil(QORFrameRateOfIndex(m_rateIndex)));
}

std::uint32_t QORSMPTETimecode_c::DayLength() const {
    return WholeRate() * 86400;
}

void QORSMPTETimecode_c::SetFrameCount(std::uint32_t count) {
    const std::uint32_t day = DayLength();
    m_count = day == 0 ? 0 : count % day;
}

void QORSMPTETimecode_c::SetFrameRate(std::uint8_t index, std::uint8_t drop) {
    if (drop != 0) {
        m_drop = drop;
    }
    if (index > 5 || index == m_rateIndex) {
        return;
    }
    if (m_drop == 3) {
        std::uint8_t label[4] = {};
        ToBytes(label, 4);
        m_rateIndex = index;
        FromBytes(label);
    } else {
        m_rateIndex = index;
        SetFrameCount(m_count);
    }
}

void QORSMPTETimecode_c::SetTime(std::uint32_t hours, std::uint32_t minutes, std::uint32_t seconds,
                                 std::uint32_t frames) {
    m_count = 0;
    AddTime(hours, minutes, frames, seconds);
}

std::uint32_t QORSMPTETimecode_c::AddTime(std::uint32_t hours, std::uint32_t minutes,
                                          std::uint32_t frames, std::uint32_t seconds) {
    const std::uint32_t addend =
        DropLabels() ? QORDropFrameCount(hours, minutes, frames, seconds)
                     : frames + WholeRate() * (seconds + 60 * minutes + 3600 * hours);
    const std::uint32_t sum = m_count + addend;
    const std::uint32_t day = DayLength();
    if (day == 0) {
        m_count = 0;
        return 0;
    }
    m_count = sum % day;
    return sum / day;
}

std::int32_t QORSMPTETimecode_c::ToBytes(std::uint8_t* destination, std::int32_t length) const {
    if (destination == nullptr || length < 4) {
        return -2;
    }
    const Label l = DropLabels() ? DropLabel(m_count) : PlainLabel(m_count, WholeRate());
    destination[0] = static_cast<std::uint8_t>(l.hours);
    destination[1] = static_cast<std::uint8_t>(l.minutes);
    destination[2] = static_cast<std::uint8_t>(l.seconds);
    destination[3] = static_cast<std::uint8_t>(l.frames);
    return 4;
}

std::int32_t QORSMPTETimecode_c::FromBytes(const std::uint8_t* bytes) {
    if (bytes == nullptr) {
        return -2;
    }
    m_count = 0;
    AddTime(bytes[0], bytes[1], bytes[3], bytes[2]);
    return 4;
}

std::int32_t QORSMPTETimecode_c::CopyTimeTo(QORSMPTETimecode_c* other) const {
    if (other == nullptr) {
        return -2;
    }
    std::uint8_t label[4] = {};
    ToBytes(label, 4);
    return other->FromBytes(label);
}

std::uint8_t QORSMPTETimecode_c::ToText(QORString_c* text) const {
    if (text == nullptr) {
        return 254;
    }
    std::uint8_t label[4] = {};
    ToBytes(label, 4);
    // Each field is at most three digits, so "HH:MM:SS.FF" never passes 15 characters.
    std::string out;
    const char separators[] = {':', ':', '.'};
    for (int i = 0; i < 4; ++i) {
        if (label[i] < 10) {
            out += '0';
        }
        out += std::to_string(static_cast<unsigned>(label[i]));
        if (i < 3) {
            out += separators[i];
        }
    }
    if (text->Assign(out.data(), static_cast<std::int32_t>(out.size()), 253) == -2) {
        text->Clear();
        return 254;
    }
    return 2;
}

std::uint8_t QORSMPTETimecode_c::FromText(const QORString_c* text) {
    if (text == nullptr) {
        return 254;
    }
    const auto chars = text->View();
    std::size_t end = chars.size();
    while (end > 0 && (chars[end - 1] == '\t' || chars[end - 1] == '\n' || chars[end - 1] == '\r' ||
                       chars[end - 1] == ' ')) {
        --end;
    }
    std::uint8_t status = 2;
    std::uint32_t groups[4] = {}; // frames, seconds, minutes, hours
    int group = 0;
    std::uint32_t place = 1;
    for (std::size_t i = end; i > 0 && group < 4; --i) {
        const char c = chars[i - 1];
        if (c >= '0' && c <= '9') {
            groups[group] += static_cast<std::uint32_t>(c - '0') * place;
            place *= 10;
        } else if (c == '.' || c == ':' || c == ';' || c == ' ') {
            ++group;
            place = 1;
        } else {
            status = 254;
        }
    }
    m_count = 0;
    AddTime(groups[3], groups[2], groups[0], groups[1]);
    return status;
}
