// Events kept in the shared blocks of event_storage: every event its own slot, texts intact
// while its neighbours come and go, and blocks reused by the next script rather than grown.
#include "script/event.h"
#include "script/event_storage.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

std::vector<std::unique_ptr<CEvnt>> MakeEvents(int count, const std::string& tag) {
    std::vector<std::unique_ptr<CEvnt>> events;
    for (int i = 0; i < count; ++i) {
        events.push_back(std::make_unique<CEvnt>());
        events.back()->m_strComment = tag + " event number " + std::to_string(i);
    }
    return events;
}

TEST(EventStorage, EventsKeepTheirTextsWhileOthersComeAndGoAndBlocksAreReused) {
    // More events than one block holds, so the scripts span several.
    auto first = MakeEvents(4000, "first");
    std::set<const CEvnt*> distinct;
    for (const auto& event : first)
        distinct.insert(event.get());
    EXPECT_EQ(distinct.size(), first.size());

    // Every other event deleted, a second script made in the gaps: no text is disturbed.
    for (std::size_t i = 0; i < first.size(); i += 2)
        first[i].reset();
    auto second = MakeEvents(3000, "second");
    for (std::size_t i = 1; i < first.size(); i += 2)
        EXPECT_EQ(first[i]->m_strComment, "first event number " + std::to_string(i));
    for (std::size_t i = 0; i < second.size(); ++i)
        EXPECT_EQ(second[i]->m_strComment, "second event number " + std::to_string(i));

    // Closing both and opening scripts of the same size again needs no new block.
    first.clear();
    second.clear();
    auto again = MakeEvents(5000, "again");
    const std::size_t blocks = event_storage::BlockCount();
    again.clear();
    for (int round = 0; round < 3; ++round) {
        again = MakeEvents(5000, "again");
        again.clear();
    }
    EXPECT_EQ(event_storage::BlockCount(), blocks);

    // A copy is an event of its own.
    CEvnt original;
    original.m_strLabel = "Cue1";
    auto copy = std::make_unique<CEvnt>(original);
    EXPECT_EQ(copy->m_strLabel, "Cue1");
}

#if defined(__SANITIZE_ADDRESS__)
TEST(EventStorageDeathTest, UseOfADeletedEventIsCaught) {
    EXPECT_DEATH(
        {
            auto* event = new CEvnt;
            CEvnt* dangling = event;
            delete event;
            volatile char c = reinterpret_cast<volatile char*>(dangling)[16];
            (void)c;
        },
        "use-after-poison");
}
#endif

} // namespace
