// A time of day in SMPTE frames: one count of frames since midnight, read and written as hours,
// minutes, seconds and frames in one of six frame rates, 29.97 drop frame among them.
#pragma once

#include "foundation/object.h"

#include <cstdint>
#include <memory>

class QORString_c;

class QORSMPTETimecode_c : public QORObject_c {
public:
    QORSMPTETimecode_c() = default;

    std::unique_ptr<QORObject_c> Create() const override;
    // The rate, the counting and the count (reduced by the target's day length); 254 for a
    // target that is missing or not a timecode.
    std::uint8_t CopyTo(QORObject_c* target) const override;

    // Index 0 to 5 (others change nothing but the drop byte); drop 0 keeps the counting. With
    // drop counting 3 the label stays across the change, otherwise the count stays.
    void SetFrameRate(std::uint8_t index, std::uint8_t drop);
    void SetTime(std::uint32_t hours, std::uint32_t minutes, std::uint32_t seconds,
                 std::uint32_t frames);
    // Adds a label (fields may exceed their ranges); answers the whole days carried.
    std::uint32_t AddTime(std::uint32_t hours, std::uint32_t minutes, std::uint32_t frames,
                          std::uint32_t seconds);
    // Hours, minutes, seconds, frames, a byte each: 4, or -2 for less room.
    std::int32_t ToBytes(std::uint8_t* destination, std::int32_t length) const;
    std::int32_t FromBytes(const std::uint8_t* bytes);
    // Sets the other's count from this label in the other's rate and counting: 4, or -2.
    std::int32_t CopyTimeTo(QORSMPTETimecode_c* other) const;
    // HH:MM:SS.FF; 254 (with the empty text) when the string is missing.
    std::uint8_t ToText(QORString_c* text) const;
    // Up to four digit groups from the right (frames, seconds, minutes, hours) separated by '.',
    // ':', ';' or a blank; 254 for a missing string or a stray character (the rest still counts).
    std::uint8_t FromText(const QORString_c* text);

    std::uint32_t FrameCount() const { return m_count; }
    // Sets the count, reduced by the day length.
    void SetFrameCount(std::uint32_t count);
    std::uint8_t FrameRateIndex() const { return m_rateIndex; }
    std::uint8_t DropCounting() const { return m_drop; }
    // Frames in a day at the current rate.
    std::uint32_t DayLength() const;

private:
    bool DropLabels() const { return m_rateIndex == 4 && m_drop == 3; }
    std::uint32_t WholeRate() const;

    std::uint32_t m_count = 0;
    std::uint8_t m_drop = 3;
    std::uint8_t m_rateIndex = 5;
};

// Frames per second of a rate index; 0 outside 0 to 5.
double QORFrameRateOfIndex(std::uint8_t index);
// 0, 1, 2, 3, 5 for exactly 23.976, 24, 25, 29.97, 30; 255 otherwise.
std::uint8_t QORFrameRateIndexOf(double rate);
// The rate index a text names: 30D and 30.0D give 4 (drop frame); 255 when none.
std::uint8_t QORParseFrameRate(const QORString_c* text);
// The text of a rate index ("30.0D" for drop frame); 254 for a missing string or rate.
std::uint8_t QORFrameRateText(QORString_c* text, std::uint8_t index);
// The count of a drop-frame label: two frame numbers are skipped at the start of every minute
// except each tenth. Out-of-range fields are normalised first.
std::uint32_t QORDropFrameCount(std::uint32_t hours, std::uint32_t minutes, std::uint32_t frames,
                                std::uint32_t seconds);
