// Conversions between time texts, frame counts and the four time bytes, shared by the compiler
// and the editors. Event times read MM:SS.FF, timecodes HH:MM:SS.FF; a frame count is a double
// because 29.97 frames per second give fractional counts.
#pragma once

#include "script/byte_string.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// A script's frame-rate codes 0 to 3: the rate and the text the files and listings write.
struct FrameRateEntry {
    double rate;
    const char* text;
};
inline constexpr std::array<FrameRateEntry, 4> kFrameRates{
    {{24.0, "24"}, {25.0, "25"}, {29.97, "29.97"}, {30.0, "30"}}};
// The code an unknown code or rate runs as: 30 frames per second.
inline constexpr std::uint16_t kDefaultFrameRateCode = 3;

// The frame rate of a script's frame-rate code: 0 24, 1 25, 2 29.97, anything else 30.
double FrameRateFromCode(std::uint16_t code);
// Its text ("24", "25", "29.97", "30"); "30" for an unknown code.
const char* FrameRateText(std::uint16_t code);

double HmsfToFrames(std::uint8_t hours, std::uint8_t minutes, std::uint8_t seconds,
                    std::uint8_t frames, double rate);

// Rounds by the first decimal digit only: 2.45 gives 2, 2.5 gives 3; negatives go to floor.
double RoundHalfUp(double x);

// MM:SS.FF; whole hours are dropped. At 29.97 a count above 29 is corrected by 1/0.999.
std::string FramesToMinSecText(double frames, double rate);
// HH:MM:SS.FF; hours are not wrapped at 24.
std::string FramesToTimecodeText(double frames, double rate);

// Reads up to four right-aligned fields (HH:MM:SS.FF, MM:SS.FF, SS.FF, HH:MM:SS:FF).
// Answers 0 on success, 1 on failure; the outputs hold the fields read even when their range
// check fails (an out-of-range field reads as 65535 at most).
// The digit fields of a time text, right-aligned: each ':' shifts the fields read so far one
// place left, '.' starts the frames; blanks are skipped. None for another character, a
// separator out of order, or no separator at all.
std::optional<std::array<std::string, 4>> SplitTimeFields(std::string_view text);

int ParseTimecodeText(std::string_view text, std::uint16_t& hours, std::uint16_t& minutes,
                      std::uint16_t& seconds, std::uint16_t& frames);

// Reads the fields from the right: frames after the last '.', then ':'-separated seconds,
// minutes and hours. No range check: callers check what they store.
double TimeTextToFrames(std::string_view text, double rate);
double EventTimeToFrames(std::string_view text, double rate);

// Hours, minutes, seconds, frames; empty when the text is not a valid time of day.
ByteString TimeTextToBytes(std::string_view text);

// How the event views show times; the defaults are the application's ("Time", "Added").
struct TimeEntrySettings {
    bool eventsInFrames = false;
    bool startTimecodeAdded = true;
};

// What a user typed into an event-time cell as the stored MM:SS.FF text; empty when invalid.
std::string NormalizeTimeEntry(std::string_view text, double rate, int startOffset,
                               const TimeEntrySettings& settings);
// What a user typed into a start-timecode field as HH:MM:SS.FF; empty when invalid.
std::string NormalizeTimeEntryForDoc(std::string_view text, double rate);

// A number printed with at least two digits, as "%2.2d" prints it.
std::string TwoDigitText(long long value);
