// The bytes of the SMPTE interface unit's commands and of its settings image, as plain
// functions of the settings they carry. The interface object reads the settings from its
// configuration element and hands them here.
#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

// Command numbers of the SMPTE interface unit.
enum ReelvoxSmpteCommand : std::uint8_t {
    kSmpteUnitNumber = 6,
    kSmpteUnitGroups = 7,
    kSmpteSampleClock = 8,
    kSmpteDefaults = 9,
    kSmpteDisable = 13,
    kSmpteEnable = 14,
    kSmpteReproducerGroups = 17,
    kSmptePreroll = 23,
    kSmpteSetting = 68,
};

constexpr std::int32_t kSmpteClockRows = 8;
constexpr std::int32_t kSmpteUnitTypes = 4;
constexpr std::int32_t kSmpteSampleClockLength = 22;
constexpr std::int32_t kSmpteSettingsImageLength = 785;
constexpr std::int32_t kSmpteStatusTableLength = 34;
constexpr std::int32_t kSmpteHighestSubType = 22;

// Clock word tables by clock index and unit type, the flag bits and bits-capable codes by
// clock index, and the clock rates in kHz.
extern const std::uint16_t kSmpteClockWordA[kSmpteClockRows][kSmpteUnitTypes];
extern const std::uint16_t kSmpteClockWordB[kSmpteClockRows][kSmpteUnitTypes];
extern const std::uint8_t kSmpteClockFlags[kSmpteClockRows];
extern const std::uint8_t kSmpteClockCodes[kSmpteClockRows];
extern const double kSmpteClockRatesKHz[kSmpteClockRows];

// Settings as the commands need them.
struct ReelvoxSmpteValues {
    std::uint8_t unitType = 0;   // 0-3
    std::uint8_t frameRate = 5;  // rate index 0-5
    std::uint8_t clockIndex = 4; // 0-7
    std::uint8_t videoFormat = 0;
    bool bitsCapable = true;
    bool generating = false; // mode "generate" or "gen_vid_sync"
    bool videoSync = false;
    bool stopOnSmpteStop = false;
    bool timecodeOutput = false;
    bool midiControl = false; // control_source "midi"
    std::uint8_t transition = 0;
    bool startOnPower = false;
    bool smpteReset = false;
    bool muteOnIdle = false;
    // Generating with video sync: both the mode and the video_sync setting say so.
    bool GeneratesWithVideoSync() const { return generating && videoSync; }
};

std::uint8_t ReelvoxSmpteModeByte(const ReelvoxSmpteValues& values);
std::uint8_t ReelvoxSmpteFlagsByte(const ReelvoxSmpteValues& values);

// The sample rate the clock words stand for (Hz; kHz from the rate table for type 3); 0 for
// indexes outside the tables.
double ReelvoxSampleClockRate(std::uint8_t unitType, std::uint8_t clockIndex);

// The divider of a frame rate as (whole, fraction) before they are cut to bytes; the fraction
// may be 256.
struct ReelvoxClockDividerPair {
    std::int32_t whole = 0;
    std::int32_t fraction = 0;
};
ReelvoxClockDividerPair ReelvoxClockDivider(double rate, std::uint8_t unitType,
                                            std::uint8_t clockIndex);

// The 22 data bytes of the sample-clock command of units 0-2. Clock indexes and unit types
// outside the tables are read as the default row 4 and type 0.
std::array<std::uint8_t, kSmpteSampleClockLength>
ReelvoxSampleClockData(const ReelvoxSmpteValues& values);

// Data of the unit-groups command: k, then 49 + g for each member group in ascending order.
// `groups[g - 1]` tells membership of group g (1-9); group 1 is always a member.
std::vector<std::uint8_t> ReelvoxUnitGroupsData(const std::array<bool, 9>& groups);

// What a settings image says, before it is written to the configuration.
struct ReelvoxSmpteImage {
    std::array<bool, 9> unitGroups{};
    std::optional<bool> phaseLock;
    std::uint8_t frameRate = 5;
    bool stopOnSmpteStop = false;
    std::uint8_t videoFormat = 0;
    std::optional<std::uint8_t> clockIndex; // none: unchanged
    struct Reproducer {
        std::uint8_t index = 0; // 0-19
        std::array<bool, 13> groups{};
    };
    std::vector<Reproducer> reproducers;
    std::optional<std::uint8_t> unitNumber;
    bool muteOnIdle = false;
    bool smpteReset = false;
    bool startOnPower = false;
    std::uint8_t transition = 1;
    bool midiControl = false;
    bool timecodeOutput = false;
    bool videoSync = false;
    enum class Mode { Read, Generate, GenVidSync } mode = Mode::Read;
    std::array<std::uint8_t, 4> start{}, end{}, preroll{};
};

// Decodes an image of at least 785 bytes for a unit of the given type and clock setting, with
// `reproducerCount` configured reproducers (at most 20 records are read). None for a short image.
std::optional<ReelvoxSmpteImage>
ReelvoxDecodeSettingsImage(const std::uint8_t* image, std::int32_t length, std::uint8_t unitType,
                           std::uint8_t currentClockIndex, bool bitsCapable,
                           std::int32_t reproducerCount);

// An IPv4 address of exactly four decimal pieces of at most 255 each into four bytes; false
// (with `out` partly written) for anything else.
bool ReelvoxParseAddress(std::string_view text, std::uint8_t* out);
