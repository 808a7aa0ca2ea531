#include "script/time_conversions.h"

#include "script/text_utils.h"
#include "script/value_parsers.h"

#include <array>
#include <cmath>
#include <limits>
#include <optional>

namespace {

int NominalFramesPerSecond(double rate) {
    if (rate == 24.0)
        return 24;
    if (rate == 25.0)
        return 25;
    return 30;
}

// Truncates toward zero; counts beyond the range of long long (or not a number) are clamped,
// since only nonsense input produces them and a conversion must never be undefined.
long long TruncateCount(double x) {
    if (std::isnan(x))
        return 0;
    constexpr double limit = 9.0e18;
    if (x >= limit)
        return static_cast<long long>(limit);
    if (x <= -limit)
        return -static_cast<long long>(limit);
    return static_cast<long long>(x);
}

struct MinSecFrames {
    long long minutes, seconds, frames;
};

MinSecFrames SplitWithinHour(long long count, int d) {
    const long long t = count % (static_cast<long long>(d) * 3600);
    const long long r = t % (d * 60);
    return {t / (d * 60), r / d, r % d};
}

bool AllDigits(std::string_view text) {
    for (char c : text)
        if (c < '0' || c > '9')
            return false;
    return true;
}

// A digit run read as hhmmssff after padding to eight digits with leading zeros; only the
// last eight digits count.
double PackedDigitsToFrames(std::string_view digits, double rate) {
    std::string padded(digits);
    if (padded.size() < 8)
        padded.insert(0, 8 - padded.size(), '0');
    const std::string last = padded.substr(padded.size() - 8);
    const std::string timecode = last.substr(0, 2) + ':' + last.substr(2, 2) + ':' +
                                 last.substr(4, 2) + '.' + last.substr(6, 2);
    return TimeTextToFrames(timecode, rate);
}

// A decimal digit string as a count; runaway strings give a count far beyond any range.
double DigitsToCount(std::string_view digits) {
    double value = 0;
    for (char c : digits) {
        value = value * 10 + (c - '0');
        if (value > 1e12)
            return 1e12;
    }
    return value;
}

} // namespace

double FrameRateFromCode(std::uint16_t code) {
    return kFrameRates[code < kFrameRates.size() ? code : kDefaultFrameRateCode].rate;
}

const char* FrameRateText(std::uint16_t code) {
    return kFrameRates[code < kFrameRates.size() ? code : kDefaultFrameRateCode].text;
}

double HmsfToFrames(std::uint8_t hours, std::uint8_t minutes, std::uint8_t seconds,
                    std::uint8_t frames, double rate) {
    return hours * 3600 * rate + minutes * 60 * rate + seconds * rate + frames;
}

double RoundHalfUp(double x) {
    // Beyond 2^52 every double is integral already (and inf or NaN stay as they are).
    if (!(std::fabs(x) < 4.0e15))
        return x;
    const long long t = static_cast<long long>(x * 10);
    return (t % 10 < 5) ? std::floor(x) : std::ceil(x);
}

std::string TwoDigitText(long long value) {
    std::string text;
    unsigned long long magnitude;
    if (value < 0) {
        text += '-';
        magnitude = 0ULL - static_cast<unsigned long long>(value);
    } else {
        magnitude = static_cast<unsigned long long>(value);
    }
    std::string digits;
    do {
        digits.insert(digits.begin(), static_cast<char>('0' + magnitude % 10));
        magnitude /= 10;
    } while (magnitude != 0);
    if (digits.size() < 2)
        digits.insert(0, 2 - digits.size(), '0');
    return text + digits;
}

std::string FramesToMinSecText(double frames, double rate) {
    const int d = NominalFramesPerSecond(rate);
    if (rate == 29.97 && frames > d - 1)
        frames = static_cast<double>(TruncateCount(RoundHalfUp(frames / 0.999)));
    const MinSecFrames parts = SplitWithinHour(TruncateCount(frames), d);
    return TwoDigitText(parts.minutes) + ':' + TwoDigitText(parts.seconds) + '.' +
           TwoDigitText(parts.frames);
}

std::string FramesToTimecodeText(double frames, double rate) {
    const int d = NominalFramesPerSecond(rate);
    if (rate == 29.97 && frames > 29)
        frames = frames / 0.999;
    const long long hours = TruncateCount(frames / (d * 3600.0));
    const MinSecFrames parts = SplitWithinHour(TruncateCount(frames), d);
    auto field = [](long long v) { return TwoDigitText(static_cast<std::uint16_t>(v)); };
    return field(hours) + ':' + field(parts.minutes) + ':' + field(parts.seconds) + '.' +
           field(parts.frames);
}

std::optional<std::array<std::string, 4>> SplitTimeFields(std::string_view text) {
    std::array<std::string, 4> fields; // hours, minutes, seconds, frames being filled
    int separators = 0;
    auto shiftLeft = [&fields] {
        fields[0] = std::move(fields[1]);
        fields[1] = std::move(fields[2]);
        fields[2] = std::move(fields[3]);
        fields[3].clear();
    };
    for (char c : text) {
        if (c == '.') {
            if (separators > 2)
                return std::nullopt;
            shiftLeft();
            separators = 3;
        } else if (c == ':') {
            if (separators == 3)
                return std::nullopt;
            shiftLeft();
            ++separators;
        } else if (IsNameWhiteSpace(c)) {
            continue;
        } else if (c >= '0' && c <= '9') {
            fields[3] += c;
        } else {
            return std::nullopt;
        }
    }
    if (separators == 0)
        return std::nullopt;
    return fields;
}

int ParseTimecodeText(std::string_view text, std::uint16_t& hours, std::uint16_t& minutes,
                      std::uint16_t& seconds, std::uint16_t& frames) {
    const auto split = SplitTimeFields(text);
    if (!split)
        return 1;
    const std::array<std::string, 4>& fields = *split;

    // A runaway field reads as the largest value, so it fails the range check below instead
    // of wrapping into range.
    auto value = [](const std::string& digits) -> std::uint16_t {
        unsigned long v = 0;
        for (char c : digits) {
            v = v * 10 + static_cast<unsigned long>(c - '0');
            if (v > 65535)
                return 65535;
        }
        return static_cast<std::uint16_t>(v);
    };
    hours = value(fields[0]);
    minutes = value(fields[1]);
    seconds = value(fields[2]);
    frames = value(fields[3]);
    if (hours > 23 || minutes > 59 || seconds > 59 || frames > 29)
        return 1;
    return 0;
}

double TimeTextToFrames(std::string_view text, double rate) {
    std::string_view rest = text;
    std::string_view framesField, secondsField, minutesField, hoursField;
    if (const std::size_t dot = rest.rfind('.'); dot != std::string_view::npos) {
        framesField = rest.substr(dot + 1);
        rest = rest.substr(0, dot);
    }
    // Takes the field after the last ':' (or the whole rest when there is none).
    auto takeField = [&rest]() {
        std::string_view field;
        if (const std::size_t colon = rest.rfind(':'); colon != std::string_view::npos) {
            field = rest.substr(colon + 1);
            rest = rest.substr(0, colon);
        } else {
            field = rest;
            rest = {};
        }
        return field;
    };
    secondsField = takeField();
    minutesField = takeField();
    hoursField = rest;

    // Runaway digits clamp to the int range, so callers' range checks reject them.
    const long long hours = ReadLeadingInt(hoursField);
    const long long minutes = ReadLeadingInt(minutesField);
    const long long seconds = ReadLeadingInt(secondsField);
    const long long frames = ReadLeadingInt(framesField);
    return static_cast<double>(minutes * 60) * rate + static_cast<double>(hours * 3600) * rate +
           static_cast<double>(seconds) * rate + static_cast<double>(frames);
}

double EventTimeToFrames(std::string_view text, double rate) {
    return TimeTextToFrames(text, rate);
}

ByteString TimeTextToBytes(std::string_view text) {
    constexpr long kDot = -1;
    constexpr long kColon = -2;
    constexpr std::size_t kMaxTokens = 10;
    std::array<long, kMaxTokens> tokens{};
    std::size_t count = 0;
    auto push = [&](long token) {
        if (count < kMaxTokens)
            tokens[count++] = token;
    };

    bool inNumber = false;
    long number = 0;
    for (char c : text) {
        if (c >= '0' && c <= '9') {
            // Clamped: such a number is out of range for every field anyway.
            number = number > 1000000 ? number : number * 10 + (c - '0');
            inNumber = true;
        } else if (c == '.' || c == ':') {
            if (inNumber)
                push(number);
            inNumber = false;
            number = 0;
            push(c == '.' ? kDot : kColon);
        } else if (!IsNameWhiteSpace(c)) {
            return {};
        }
    }
    if (inNumber)
        push(number);

    enum class State { Frames, Seconds, Minutes, Hours };
    State state = State::Frames;
    std::optional<long> hours, minutes, seconds, frames;
    for (std::size_t i = count; i-- > 0;) {
        const long token = tokens[i];
        switch (state) {
        case State::Frames:
            if (token >= 0) {
                frames = token;
            } else if (token == kDot) {
                state = State::Seconds;
            } else {
                seconds = frames;
                frames = 0;
                state = State::Minutes;
            }
            break;
        case State::Seconds:
            if (token >= 0)
                seconds = token;
            else if (token == kColon)
                state = State::Minutes;
            else
                return {};
            break;
        case State::Minutes:
            if (token >= 0)
                minutes = token;
            else if (token == kColon)
                state = State::Hours;
            else
                return {};
            break;
        case State::Hours:
            if (token >= 0)
                hours = token;
            else
                return {};
            break;
        }
    }
    if (state == State::Frames)
        return {};
    const long h = hours.value_or(0), m = minutes.value_or(0), s = seconds.value_or(0),
               f = frames.value_or(0);
    if (h > 23 || m > 59 || s > 59 || f > 29)
        return {};
    return {static_cast<std::uint8_t>(h), static_cast<std::uint8_t>(m),
            static_cast<std::uint8_t>(s), static_cast<std::uint8_t>(f)};
}

std::string NormalizeTimeEntry(std::string_view text, double rate, int startOffset,
                               const TimeEntrySettings& settings) {
    const bool allDigits = AllDigits(text);
    double count;
    if (settings.eventsInFrames) {
        if (!allDigits)
            return {};
        count = DigitsToCount(text);
    } else {
        count = allDigits ? PackedDigitsToFrames(text, rate) : TimeTextToFrames(text, rate);
    }
    if (settings.startTimecodeAdded)
        count -= startOffset;
    if (!(count >= 0 && count <= 65535))
        return {};
    return FramesToMinSecText(count, rate);
}

std::string NormalizeTimeEntryForDoc(std::string_view text, double rate) {
    const double count =
        AllDigits(text) ? PackedDigitsToFrames(text, rate) : TimeTextToFrames(text, rate);
    if (!(count >= 0 && count < 86400 * rate))
        return {};
    return FramesToTimecodeText(count, rate);
}
