#include "reproducer/smpte_commands.h"

#include <algorithm>
#include <charconv>
#include <cmath>

const std::uint16_t kSmpteClockWordA[kSmpteClockRows][kSmpteUnitTypes] = {
    {1024, 256, 256, 0}, {1280, 256, 256, 0}, {3671, 256, 256, 0}, {1024, 256, 256, 0},
    {1024, 256, 256, 0}, {0, 0, 0, 0},        {0, 0, 0, 0},        {1024, 256, 256, 0},
};
const std::uint16_t kSmpteClockWordB[kSmpteClockRows][kSmpteUnitTypes] = {
    {1323, 743, 743, 0},  {1512, 813, 813, 0}, {3445, 1023, 1023, 0}, {960, 1024, 1024, 0},
    {882, 1115, 1115, 0}, {0, 0, 0, 0},        {0, 0, 0, 0},          {882, 1115, 1115, 0},
};
const std::uint8_t kSmpteClockFlags[kSmpteClockRows] = {0x40, 0x00, 0x00, 0x50,
                                                        0x60, 0x00, 0x00, 0x00};
const std::uint8_t kSmpteClockCodes[kSmpteClockRows] = {1, 0, 0, 2, 3, 4, 5, 6};
const double kSmpteClockRatesKHz[kSmpteClockRows] = {32, 35, 44.056, 44.1, 48, 64, 88.2, 96};

namespace {

constexpr std::uint8_t kDefaultClockRow = 4;

std::uint8_t Row(std::uint8_t clockIndex) {
    return clockIndex < kSmpteClockRows ? clockIndex : kDefaultClockRow;
}

std::uint8_t Type(std::uint8_t unitType) {
    return unitType < kSmpteUnitTypes ? unitType : 0;
}

void PutWord(std::uint8_t* at, std::uint32_t word) {
    at[0] = static_cast<std::uint8_t>(word >> 8);
    at[1] = static_cast<std::uint8_t>(word);
}

std::uint32_t Word(const std::uint8_t* at) {
    return (std::uint32_t{at[0]} << 8) | at[1];
}

} // namespace

std::uint8_t ReelvoxSmpteModeByte(const ReelvoxSmpteValues& values) {
    std::uint8_t code = 2;
    if (values.GeneratesWithVideoSync()) {
        static const std::uint8_t kCodes[] = {0, 0, 1, 2, 2, 2};
        code = values.frameRate < 6 ? kCodes[values.frameRate] : 2;
    } else {
        static const std::uint8_t kCodes[] = {0, 0, 1, 3, 4, 2};
        code = values.frameRate < 6 ? kCodes[values.frameRate] : 2;
    }
    return static_cast<std::uint8_t>(code | (values.stopOnSmpteStop ? 0x40 : 0));
}

std::uint8_t ReelvoxSmpteFlagsByte(const ReelvoxSmpteValues& values) {
    std::uint8_t flags = 0;
    flags |= values.timecodeOutput ? 0x80 : 0;
    flags |= values.videoSync ? 0x40 : 0;
    flags |= values.midiControl ? 0x20 : 0;
    flags |= values.transition != 1 ? 0x10 : 0;
    flags |= values.startOnPower ? 0x08 : 0;
    flags |= values.smpteReset ? 0x04 : 0;
    flags |= values.muteOnIdle ? 0x02 : 0;
    flags |= values.generating ? 0x01 : 0;
    return flags;
}

double ReelvoxSampleClockRate(std::uint8_t unitType, std::uint8_t clockIndex) {
    if (unitType == 3) {
        return clockIndex < kSmpteClockRows ? kSmpteClockRatesKHz[clockIndex] : 0.0;
    }
    if (clockIndex >= kSmpteClockRows) {
        return 0.0;
    }
    const std::uint8_t u = Type(unitType);
    const double a = kSmpteClockWordA[clockIndex][u];
    const double b = kSmpteClockWordB[clockIndex][u];
    if (u == 1) {
        if (a == 0) {
            return 0.0;
        }
        return b / a * (clockIndex == 3 ? 11025.0 : 11020.626953125);
    }
    return b == 0 ? 0.0 : a / b * 41343.75;
}

ReelvoxClockDividerPair ReelvoxClockDivider(double rate, std::uint8_t unitType,
                                            std::uint8_t clockIndex) {
    if (!(rate > 0)) {
        return {};
    }
    double k = 5760.0;
    if (unitType == 1) {
        k = clockIndex == 3 ? 5880.0 : 940426.8333333334 / 160.0;
    }
    const double v = k / rate - 6.0;
    const double whole = std::trunc(v);
    const double f = 256.0 - (v - whole) * 256.0;
    if (f == 256.0) {
        return {static_cast<std::int32_t>(whole) - 1, 0};
    }
    return {static_cast<std::int32_t>(whole), static_cast<std::int32_t>(std::floor(f + 0.5))};
}

std::array<std::uint8_t, kSmpteSampleClockLength>
ReelvoxSampleClockData(const ReelvoxSmpteValues& values) {
    std::array<std::uint8_t, kSmpteSampleClockLength> data{};
    const std::uint8_t u = Type(values.unitType);
    const std::uint8_t c = Row(values.clockIndex);
    const std::uint8_t r = values.frameRate;
    data[0] = values.videoSync ? 1 : 0;
    PutWord(&data[1], kSmpteClockWordA[c][u]);
    PutWord(&data[3], kSmpteClockWordB[c][u]);
    std::uint8_t format = values.videoFormat == 1 ? 0x80 : 0;
    format |= kSmpteClockFlags[c];
    if (values.bitsCapable) {
        format |= kSmpteClockCodes[c];
    }
    data[5] = format;
    const double rate = ReelvoxSampleClockRate(u, c);
    const double frameRates[4] = {r == 0 ? 23.976 : 24.0, 25.0, 29.97, 30.0};
    for (std::size_t i = 0; i < 4; ++i) {
        const auto word = static_cast<std::uint32_t>(std::trunc(rate / frameRates[i] * 10.0));
        PutWord(&data[6 + 2 * i], word & 0xFFFF);
    }
    const bool pulled = values.GeneratesWithVideoSync();
    double dividerRates[4] = {(u == 2 && r == 0) ? 23.976 : 24.0, 25.0, 29.97, 30.0};
    for (std::size_t i = 0; i < 4; ++i) {
        if (pulled) {
            dividerRates[i] *= 1.001;
        }
        ReelvoxClockDividerPair pair = ReelvoxClockDivider(dividerRates[i], u, c);
        if (u == 2 && i == 0) {
            if (dividerRates[0] == 23.976 * 1.001) {
                pair.fraction = 194;
            } else if (pair.fraction == 256) {
                pair.fraction = 255;
            }
        }
        data[14 + 2 * i] = static_cast<std::uint8_t>(pair.whole & 0xFF);
        data[15 + 2 * i] = static_cast<std::uint8_t>(pair.fraction & 0xFF);
    }
    return data;
}

std::vector<std::uint8_t> ReelvoxUnitGroupsData(const std::array<bool, 9>& groups) {
    std::vector<std::uint8_t> data{0};
    for (int g = 1; g <= 9; ++g) {
        if (g == 1 || groups[static_cast<std::size_t>(g - 1)]) {
            data.push_back(static_cast<std::uint8_t>(49 + g));
        }
    }
    data[0] = static_cast<std::uint8_t>(data.size() - 1);
    return data;
}

std::optional<ReelvoxSmpteImage>
ReelvoxDecodeSettingsImage(const std::uint8_t* image, std::int32_t length, std::uint8_t unitType,
                           std::uint8_t currentClockIndex, bool bitsCapable,
                           std::int32_t reproducerCount) {
    if (image == nullptr || length < kSmpteSettingsImageLength) {
        return std::nullopt;
    }
    ReelvoxSmpteImage out;
    // The group bytes end where the timecodes begin.
    const std::int32_t groupBytes = std::min<std::int32_t>(image[0], 15);
    for (std::int32_t i = 1; i <= groupBytes; ++i) {
        const std::uint8_t b = image[i];
        if (b >= 50 && b <= 58) {
            out.unitGroups[static_cast<std::size_t>(b - 50)] = true;
        }
    }
    if (image[32] == 1 || image[32] == 0) {
        out.phaseLock = image[32] == 1;
    }
    const std::uint8_t mode = image[777];
    static const std::uint8_t kRates[] = {1, 2, 5, 3, 4};
    std::uint8_t candidate = (mode & 0x0F) < 5 ? kRates[mode & 0x0F] : 5;
    out.stopOnSmpteStop = (mode & 0x40) != 0;
    out.videoFormat = (image[37] & 0x80) ? 1 : 0;

    std::uint8_t clock = currentClockIndex;
    if (bitsCapable) {
        static const std::uint8_t kByCode[] = {4, 0, 3, 4, 5, 6, 7, 4};
        clock = kByCode[image[37] & 0x07];
        out.clockIndex = clock;
    } else {
        const std::uint32_t wordB = Word(&image[35]);
        if (unitType == 0) {
            clock = wordB == 1323   ? 0
                    : wordB == 1512 ? 1
                    : wordB == 3445 ? 2
                    : wordB == 960  ? 3
                                    : 4;
            out.clockIndex = clock;
        } else if (unitType == 1 || unitType == 2) {
            clock = wordB == 743 ? 0 : wordB == 813 ? 1 : wordB == 1023 ? 2 : wordB == 1024 ? 3 : 4;
            out.clockIndex = clock;
        }
    }
    if (candidate == 1) {
        const double rate = ReelvoxSampleClockRate(unitType, clock);
        const auto word = static_cast<std::uint32_t>(std::trunc(rate / 23.976 * 10.0)) & 0xFFFF;
        if (Word(&image[38]) == word) {
            candidate = 0;
        }
    }
    const std::int32_t records = std::clamp(reproducerCount, 0, 20);
    for (std::int32_t i = 0; i < records; ++i) {
        const std::uint8_t* record = image + 256 + 16 * i;
        ReelvoxSmpteImage::Reproducer repro;
        repro.index = record[0] & 0x7F;
        if (repro.index >= 20) {
            continue;
        }
        for (int g = 0; g < 13; ++g) {
            repro.groups[static_cast<std::size_t>(g)] = record[1 + g] == 1;
        }
        out.reproducers.push_back(repro);
    }
    if (image[775] >= 9 && image[775] - 9 < 50) {
        out.unitNumber = static_cast<std::uint8_t>(image[775] - 9);
    }
    const std::uint8_t flags = image[776];
    out.muteOnIdle = (flags & 0x02) != 0;
    out.smpteReset = (flags & 0x04) != 0;
    out.startOnPower = (flags & 0x08) != 0;
    out.transition = (flags & 0x10) ? 0 : 1;
    out.midiControl = (flags & 0x20) != 0;
    out.timecodeOutput = (flags & 0x80) != 0;
    if ((flags & 0x01) == 0) {
        out.mode = ReelvoxSmpteImage::Mode::Read;
    } else if ((flags & 0x40) == 0) {
        out.mode = ReelvoxSmpteImage::Mode::Generate;
    } else {
        out.mode = ReelvoxSmpteImage::Mode::GenVidSync;
        out.videoSync = true;
        candidate = candidate <= 1 ? 0 : candidate == 2 ? 2 : 3;
    }
    out.frameRate = candidate;
    std::copy_n(image + 16, 4, out.start.begin());
    std::copy_n(image + 20, 4, out.end.begin());
    std::copy_n(image + 24, 4, out.preroll.begin());
    return out;
}

bool ReelvoxParseAddress(std::string_view text, std::uint8_t* out) {
    for (int piece = 0; piece < 4; ++piece) {
        const std::size_t dot = text.find('.');
        if ((piece < 3) == (dot == std::string_view::npos)) {
            return false;
        }
        const std::string_view part = text.substr(0, dot);
        unsigned value = 0;
        const auto [end, ec] = std::from_chars(part.data(), part.data() + part.size(), value);
        if (part.empty() || part.size() > 3 || ec != std::errc() ||
            end != part.data() + part.size() || value > 255) {
            return false;
        }
        out[piece] = static_cast<std::uint8_t>(value);
        text = dot == std::string_view::npos ? std::string_view() : text.substr(dot + 1);
    }
    return true;
}
