#include "script/event_clipboard.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace {

using clipboard::EventsBlock;
using clipboard::ReadEventsBlock;
using clipboard::WriteEventsBlock;
using Status = EventsBlock::Status;
using Bytes = std::vector<std::uint8_t>;

CEvnt Event(std::vector<std::string> texts) {
    CEvnt e;
    std::string* fields[] = {&e.m_strSkip,  &e.m_strLabel, &e.m_strTime,
                             &e.m_strEvent, &e.m_strData1, &e.m_strData2,
                             &e.m_strData3, &e.m_strData4, &e.m_strComment};
    for (std::size_t i = 0; i < texts.size(); ++i)
        *fields[i] = texts[i];
    return e;
}

Bytes Record(const std::vector<std::string>& texts) {
    Bytes out;
    for (std::size_t i = 0; i < 9; ++i) {
        const std::string text = i < texts.size() ? texts[i] : "";
        out.push_back(static_cast<std::uint8_t>(text.size()));
        out.insert(out.end(), text.begin(), text.end());
    }
    return out;
}

Bytes Block(std::uint8_t tag, std::uint16_t count, const std::vector<Bytes>& records) {
    Bytes out{tag, static_cast<std::uint8_t>(count & 0xFF), static_cast<std::uint8_t>(count >> 8)};
    for (const Bytes& r : records)
        out.insert(out.end(), r.begin(), r.end());
    return out;
}

// One table both ways: the events written give exactly the block, and the block reads back
// to the same texts.
TEST(EventsBlock, OneTableBothWays) {
    const std::vector<std::string> go{"", "Go", "00:01.00", "On", "Lamp", "", "", "", "first"};
    const std::vector<std::string> skipped{"*", "",  "00:02.15", "Start", "Intro",
                                           "2", "3", "4",        ""};
    struct Case {
        const char* what;
        std::vector<std::vector<std::string>> events;
    } cases[] = {
        {"no events", {}},
        {"one event", {go}},
        {"two in grid order", {go, skipped}},
        {"a time is the stored text", {{"", "", "-00:01.00", "Nop"}}},
    };
    for (const auto& c : cases) {
        std::vector<CEvnt> events;
        std::vector<Bytes> records;
        for (const auto& texts : c.events) {
            events.push_back(Event(texts));
            records.push_back(Record(texts));
        }
        std::vector<const CEvnt*> pointers;
        for (const CEvnt& e : events)
            pointers.push_back(&e);
        const Bytes block = Block(1, static_cast<std::uint16_t>(events.size()), records);
        EXPECT_EQ(WriteEventsBlock(pointers), block) << c.what;
        const EventsBlock read = ReadEventsBlock(block);
        ASSERT_EQ(read.status, Status::Ok) << c.what;
        ASSERT_EQ(read.events.size(), events.size()) << c.what;
        for (std::size_t i = 0; i < events.size(); ++i) {
            EXPECT_EQ(read.events[i]->m_strLabel, events[i].m_strLabel) << c.what;
            EXPECT_EQ(read.events[i]->m_strTime, events[i].m_strTime) << c.what;
            EXPECT_EQ(read.events[i]->m_strData4, events[i].m_strData4) << c.what;
            EXPECT_EQ(read.events[i]->m_strComment, events[i].m_strComment) << c.what;
            EXPECT_EQ(read.events[i]->m_strSkip, events[i].m_strSkip) << c.what;
        }
    }
}

TEST(EventsBlock, LongTextsAreCutAndAnnounced) {
    CEvnt e;
    e.m_strComment = std::string(300, 'c');
    const CEvnt* pointer = &e;
    EXPECT_TRUE(clipboard::EventsBlockCutsText({&pointer, 1}));
    const EventsBlock read = ReadEventsBlock(WriteEventsBlock({&pointer, 1}));
    ASSERT_EQ(read.events.size(), 1u);
    EXPECT_EQ(read.events[0]->m_strComment, std::string(255, 'c'));
    // A block holds every record at its real size: nine texts of 255 bytes each.
    CEvnt full = Event(std::vector<std::string>(9, std::string(255, 'x')));
    const CEvnt* fullPointer = &full;
    EXPECT_EQ(WriteEventsBlock({&fullPointer, 1}).size(), 3u + 9 + 9 * 255);
    EXPECT_FALSE(clipboard::EventsBlockCutsText({&fullPointer, 1}));
}

TEST(EventsBlock, RefusedBlocksHandOutNothing) {
    const Bytes one = Record({"", "A", "00:01.00", "On"});
    struct Case {
        const char* what;
        Bytes block;
        Status status;
    } cases[] = {
        {"empty", {}, Status::Damaged},
        {"tag only", {1}, Status::Damaged},
        {"half a count", {1, 2}, Status::Damaged},
        {"count beyond the records", Block(1, 2, {one}), Status::Damaged},
        {"record cut short", Block(1, 1, {Bytes(one.begin(), one.end() - 1)}), Status::Damaged},
        {"length past the end", Block(1, 1, {{200, 'a'}}), Status::Damaged},
        {"a sequences block", Block(0, 1, {one}), Status::SequencesBlock},
        {"a strings block", Block(2, 1, {one}), Status::UnknownTag},
    };
    for (const auto& c : cases) {
        const EventsBlock read = ReadEventsBlock(c.block);
        EXPECT_EQ(read.status, c.status) << c.what;
        EXPECT_TRUE(read.events.empty()) << c.what;
    }
}

} // namespace
