#include "script/event_clipboard.h"

#include "script/clipboard_block.h"
#include "script/sequence_clipboard.h"

#include <algorithm>

namespace clipboard {

bool EventsBlockCutsText(std::span<const CEvnt* const> events) {
    return std::any_of(events.begin(), events.end(),
                       [](const CEvnt* event) { return EventRecordCutsText(*event); });
}

std::vector<std::uint8_t> WriteEventsBlock(std::span<const CEvnt* const> events) {
    BlockWriter out;
    out.Byte(kEventsTag);
    const std::size_t count = std::min(events.size(), kMaxBlockEvents);
    out.Word(static_cast<std::uint16_t>(count));
    for (std::size_t i = 0; i < count; ++i)
        WriteEventRecord(out, *events[i]);
    return out.Take();
}

EventsBlock ReadEventsBlock(std::span<const std::uint8_t> block) {
    EventsBlock result;
    BlockReader in(block);
    std::uint8_t tag = 0;
    if (!in.Byte(tag))
        return result;
    if (tag != kEventsTag) {
        result.status = tag == kSequencesTag ? EventsBlock::Status::SequencesBlock
                                             : EventsBlock::Status::UnknownTag;
        return result;
    }
    std::uint16_t count = 0;
    if (!in.Word(count))
        return result;
    std::vector<std::unique_ptr<CEvnt>> events;
    events.reserve(std::min<std::size_t>(count, block.size() / 9 + 1));
    for (std::uint16_t i = 0; i < count; ++i) {
        auto event = std::make_unique<CEvnt>();
        if (!ReadEventRecord(in, *event))
            return result;
        events.push_back(std::move(event));
    }
    result.events = std::move(events);
    result.status = EventsBlock::Status::Ok;
    return result;
}

} // namespace clipboard
