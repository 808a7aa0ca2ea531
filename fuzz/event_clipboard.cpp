// A "VelmoraEvents" block from the clipboard may come from anywhere: reading it must end within
// the block, hand out nothing unless every record was whole, and what it reads must write back
// to a block that reads the same.
#include "script/event_clipboard.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const clipboard::EventsBlock read = clipboard::ReadEventsBlock({data, size});
    if (read.status != clipboard::EventsBlock::Status::Ok) {
        if (!read.events.empty())
            std::abort();
        return 0;
    }
    std::vector<const CEvnt*> events;
    for (const auto& event : read.events)
        events.push_back(event.get());
    const std::vector<std::uint8_t> once = clipboard::WriteEventsBlock(events);
    const clipboard::EventsBlock again = clipboard::ReadEventsBlock(once);
    if (again.status != clipboard::EventsBlock::Status::Ok || again.events.size() != events.size())
        std::abort();
    events.clear();
    for (const auto& event : again.events)
        events.push_back(event.get());
    if (clipboard::WriteEventsBlock(events) != once)
        std::abort();
    return 0;
}
