// The "VelmoraSeqs" clipboard block: whole sequences with their properties, triggers and events.
// Tag 0, a one-byte count, then one record per sequence. The timecode chase, the start offset
// and the needs-compile flag are not carried.
#pragma once

#include "script/sequence.h"

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace clipboard {

inline constexpr const char* kSequencesFormat = "VelmoraSeqs";
inline constexpr std::uint8_t kSequencesTag = 0;
inline constexpr std::uint8_t kEventsTag = 1;
// The most sequences a block counts, and a script holds after a paste.
inline constexpr std::size_t kMaxBlockSequences = 255;
inline constexpr std::size_t kMaxRecordEvents = 65535;

// Whether the sequences fit one block: at most 255 of them, each with at most 65535 events.
bool SequencesFitBlock(std::span<const CSeq* const> sequences);
// Whether writing them would cut a text to 255 bytes.
bool SequencesBlockCutsText(std::span<const CSeq* const> sequences);
// The block of the sequences, which must fit (SequencesFitBlock).
std::vector<std::uint8_t> WriteSequencesBlock(std::span<const CSeq* const> sequences);

struct SequencesBlock {
    enum class Status {
        Ok,
        EventsBlock, // tag 1: events without their sequences
        UnknownTag,
        Damaged, // ends inside a record
    };
    Status status = Status::Damaged;
    // Every record, read whole before anything is handed out: flagged for compiling, the chase
    // off, the Level brought into 1-6.
    std::vector<std::unique_ptr<CSeq>> sequences;
};
SequencesBlock ReadSequencesBlock(std::span<const std::uint8_t> block);

} // namespace clipboard
