// The "VelmoraEvents" clipboard block: events of one sequence in grid order. Tag 1, a 16-bit
// count, then one event record each (the record the sequences block carries too).
#pragma once

#include "script/event.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace clipboard {

inline constexpr const char* kEventsFormat = "VelmoraEvents";
// The most events a block counts.
inline constexpr std::size_t kMaxBlockEvents = 65535;
// The most events a sequence holds after a paste, its empty grid row included.
inline constexpr std::size_t kMaxPasteRows = 32767;

// Whether writing the events would cut a text to 255 bytes.
bool EventsBlockCutsText(std::span<const CEvnt* const> events);
// The block of at most kMaxBlockEvents events, every record at its real size.
std::vector<std::uint8_t> WriteEventsBlock(std::span<const CEvnt* const> events);

struct EventsBlock {
    enum class Status {
        Ok,
        SequencesBlock, // tag 0
        UnknownTag,
        Damaged, // short, or ends inside a record
    };
    Status status = Status::Damaged;
    // Every record, read whole before anything is handed out.
    std::vector<std::unique_ptr<CEvnt>> events;
};
EventsBlock ReadEventsBlock(std::span<const std::uint8_t> block);

} // namespace clipboard
