#include "script/clipboard_block.h"
#include "script/sequence_clipboard.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace {

using clipboard::ReadSequencesBlock;
using clipboard::SequencesBlock;
using clipboard::WriteSequencesBlock;
using Status = SequencesBlock::Status;

std::unique_ptr<CSeq> MakeSequence(const std::string& name, int events) {
    auto seq = std::make_unique<CSeq>(name, 1);
    seq->m_strDescription = "About " + name;
    for (int i = 0; i < events; ++i) {
        auto event = std::make_unique<CEvnt>();
        event->m_strLabel = "L" + std::to_string(i);
        event->m_strTime = "00:0" + std::to_string(i) + ".00";
        event->m_strEvent = "Output On";
        event->m_strData1 = name;
        event->m_strComment = "c";
        seq->m_poEventList.push_back(std::move(event));
    }
    return seq;
}

std::vector<std::uint8_t> Block(const std::vector<const CSeq*>& seqs) {
    return WriteSequencesBlock(seqs);
}

// Each case sets fields of a sequence, writes and reads it, and checks what came back.
TEST(SequencesBlock, PropertiesTriggersAndEventsComeBack) {
    struct Case {
        const char* what;
        void (*set)(CSeq&);
        void (*check)(const CSeq&);
    } cases[] = {
        {"flags and level",
         [](CSeq& s) {
             s.m_wLevel = 4;
             s.m_nAutoStart = 1;
             s.m_nLooping = 5; // any non-zero is on
             s.m_nFreezeWhileWaiting = 1;
             s.m_nRestart = 1;
             s.m_wRestartLockout = 65535;
             s.m_nMaximized = 1;
         },
         [](const CSeq& s) {
             EXPECT_EQ(s.m_wLevel, 4);
             EXPECT_EQ(s.m_nAutoStart, 1);
             EXPECT_EQ(s.m_nLooping, 1);
             EXPECT_EQ(s.m_nFreezeWhileWaiting, 1);
             EXPECT_EQ(s.m_nRestart, 1);
             EXPECT_EQ(s.m_wRestartLockout, 65535);
             EXPECT_EQ(s.m_nMaximized, 1);
             EXPECT_EQ(s.m_nMinimized, 0);
         }},
        {"window position -1 and SMPTE hour 23",
         [](CSeq& s) {
             s.m_anWindowPos = {-1, 20, 300, -1};
             s.m_nSmpteStartOn = 1;
             s.m_anSmpteStart = {23, 59, 58, 29};
             s.m_awEventColWidths[8] = 9999;
         },
         [](const CSeq& s) {
             EXPECT_EQ(s.m_anWindowPos, (std::array<std::int32_t, 4>{-1, 20, 300, -1}));
             EXPECT_EQ(s.m_nSmpteStartOn, 1);
             EXPECT_EQ(s.m_anSmpteStart, (std::array<std::int32_t, 4>{23, 59, 58, 29}));
             EXPECT_EQ(s.m_awEventColWidths[8], 9999);
         }},
        {"chase, offset and compile flag are not carried",
         [](CSeq& s) {
             s.m_nChaseOn = 1;
             s.m_nChaseMode = 1;
             s.m_anChaseStart = {1, 2, 3, 4};
             s.m_dChaseStart = 500;
             s.m_strChaseStart = "00:00:16.20";
             s.m_nNeedsCompile = 0;
         },
         [](const CSeq& s) {
             EXPECT_EQ(s.m_nChaseOn, 0);
             EXPECT_EQ(s.m_nChaseMode, 0);
             EXPECT_EQ(s.m_anChaseStart, (std::array<std::int32_t, 4>{0, 0, 0, 0}));
             EXPECT_EQ(s.m_dChaseStart, 0.0);
             EXPECT_EQ(s.m_strChaseStart, "00:00:00.00");
             EXPECT_EQ(s.m_nNeedsCompile, 1);
         }},
        {"triggers",
         [](CSeq& s) {
             s.m_aTriggers[0].m_strIoName = "Door";
             s.m_aTriggers[0].m_nGoesOn = 0;
             s.m_aTriggers[3].m_strVariable = "Count";
             s.m_aTriggers[3].m_wCombine = CTrigger::Or;
             s.m_aTriggers[3].m_wComparison = CTrigger::LE;
             s.m_aTriggers[3].m_strValue = "12";
         },
         [](const CSeq& s) {
             EXPECT_EQ(s.m_aTriggers[0].m_strIoName, "Door");
             EXPECT_EQ(s.m_aTriggers[0].m_nGoesOn, 0);
             EXPECT_EQ(s.m_aTriggers[1].m_nGoesOn, 1);
             EXPECT_EQ(s.m_aTriggers[3].m_strVariable, "Count");
             EXPECT_EQ(s.m_aTriggers[3].m_wCombine, CTrigger::Or);
             EXPECT_EQ(s.m_aTriggers[3].m_wComparison, CTrigger::LE);
             EXPECT_EQ(s.m_aTriggers[3].m_strValue, "12");
         }},
        {"a text of 255 bytes whole, a longer one cut",
         [](CSeq& s) {
             s.m_strName = std::string(255, 'n');
             s.m_strDescription = std::string(300, 'd');
         },
         [](const CSeq& s) {
             EXPECT_EQ(s.m_strName, std::string(255, 'n'));
             EXPECT_EQ(s.m_strDescription, std::string(255, 'd'));
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto seq = MakeSequence("Main", 2);
        c.set(*seq);
        const SequencesBlock read = ReadSequencesBlock(Block({seq.get()}));
        ASSERT_EQ(read.status, Status::Ok);
        ASSERT_EQ(read.sequences.size(), 1u);
        c.check(*read.sequences[0]);
    }
}

TEST(SequencesBlock, SequencesKeepTheirOrderAndEvents) {
    auto a = MakeSequence("A", 1), b = MakeSequence("B", 3), c = MakeSequence("C", 0);
    const auto bytes = Block({a.get(), b.get(), c.get()});
    EXPECT_EQ(bytes[0], 0);
    EXPECT_EQ(bytes[1], 3);
    const SequencesBlock read = ReadSequencesBlock(bytes);
    ASSERT_EQ(read.status, Status::Ok);
    ASSERT_EQ(read.sequences.size(), 3u);
    const CSeq& second = *read.sequences[1];
    EXPECT_EQ(second.m_strName, "B");
    EXPECT_EQ(second.m_strDescription, "About B");
    ASSERT_EQ(second.m_poEventList.size(), 3u);
    EXPECT_EQ(second.m_poEventList[2]->m_strLabel, "L2");
    EXPECT_EQ(second.m_poEventList[2]->m_strTime, "00:02.00");
    EXPECT_EQ(second.m_poEventList[2]->m_strData1, "B");
    EXPECT_EQ(second.m_poEventList[2]->m_strData4, "");
    EXPECT_TRUE(read.sequences[2]->m_poEventList.empty());
    // Written again, the block is the same.
    std::vector<const CSeq*> again;
    for (const auto& seq : read.sequences)
        again.push_back(seq.get());
    EXPECT_EQ(Block(again), bytes);
}

// The layout byte by byte for an unnamed sequence without events: tag, count, two empty texts,
// the 45-byte property block, four trigger records of 8 bytes, the event count.
TEST(SequencesBlock, LayoutOfTheSmallestRecord) {
    CSeq seq("", 2);
    seq.m_anWindowPos = {-1, 1, 2, 3};
    seq.m_nAutoStart = 1;
    seq.m_anSmpteStart = {1, 2, 3, 4};
    const auto bytes = Block({&seq});
    ASSERT_EQ(bytes.size(), 2u + 2 + 45 + 4 * 8 + 2);
    const std::uint8_t* p = bytes.data() + 4;
    EXPECT_EQ(std::vector<std::uint8_t>(p, p + 4), (std::vector<std::uint8_t>{0xFF, 0xFF, 1, 0}));
    EXPECT_EQ(p[28], 2); // Level
    EXPECT_EQ(p[29], 0);
    EXPECT_EQ(p[30], 1); // AutoStart
    EXPECT_EQ(p[37], 1); // hours of the SMPTE start
    EXPECT_EQ(p[43], 4); // its frames
    const std::uint8_t* trigger = p + 45;
    // Empty io name, goes on, AND, empty variable, EQ, empty value.
    EXPECT_EQ(std::vector<std::uint8_t>(trigger, trigger + 8),
              (std::vector<std::uint8_t>{0, 1, 0, 0, 0, 0, 0, 0}));
}

TEST(SequencesBlock, ReadFlagsAreOnOnlyAtOneAndLevelsAreClamped) {
    CSeq seq("S", 1);
    auto bytes = Block({&seq});
    const std::size_t props = 2 + 2 + 1; // tag, count, name "S", empty description
    bytes[props + 1 + 30] = 2;           // AutoStart byte neither 0 nor 1
    bytes[props + 1 + 28] = 9;           // Level 9
    auto read = ReadSequencesBlock(bytes);
    ASSERT_EQ(read.status, Status::Ok);
    EXPECT_EQ(read.sequences[0]->m_nAutoStart, 0);
    EXPECT_EQ(read.sequences[0]->m_wLevel, 6);
    bytes[props + 1 + 28] = 0;
    EXPECT_EQ(ReadSequencesBlock(bytes).sequences[0]->m_wLevel, 1);
}

TEST(SequencesBlock, ShortForgedAndForeignBlocksGiveNothing) {
    auto a = MakeSequence("A", 2), b = MakeSequence("B", 2);
    const auto good = Block({a.get(), b.get()});
    // Every cut short of the whole block ends inside a record.
    for (std::size_t n = 0; n < good.size(); ++n) {
        const auto read = ReadSequencesBlock(std::span(good.data(), n));
        EXPECT_EQ(read.status, Status::Damaged) << n;
        EXPECT_TRUE(read.sequences.empty());
    }
    // A count beyond the records, a text length beyond the block.
    auto forged = good;
    forged[1] = 3;
    EXPECT_EQ(ReadSequencesBlock(forged).status, Status::Damaged);
    forged = good;
    forged[good.size() - 2] = 200; // the length of the last event's comment "c"
    EXPECT_EQ(ReadSequencesBlock(forged).status, Status::Damaged);
    // Bytes after the last record are the block's slack.
    forged = good;
    forged.resize(good.size() + 100, 0xCD);
    EXPECT_EQ(ReadSequencesBlock(forged).sequences.size(), 2u);

    const std::vector<std::uint8_t> events{1, 0}, strings{2, 0}, empty{0, 0};
    EXPECT_EQ(ReadSequencesBlock(events).status, Status::EventsBlock);
    EXPECT_EQ(ReadSequencesBlock(strings).status, Status::UnknownTag);
    const auto none = ReadSequencesBlock(empty);
    EXPECT_EQ(none.status, Status::Ok);
    EXPECT_TRUE(none.sequences.empty());
}

TEST(SequencesBlock, WhatFitsAndWhatWouldBeCut) {
    std::vector<std::unique_ptr<CSeq>> owned;
    std::vector<const CSeq*> seqs;
    for (int i = 0; i < 256; ++i) {
        owned.push_back(MakeSequence("S", 0));
        seqs.push_back(owned.back().get());
    }
    EXPECT_FALSE(clipboard::SequencesFitBlock(seqs));
    seqs.pop_back();
    EXPECT_TRUE(clipboard::SequencesFitBlock(seqs));
    auto big = MakeSequence("Big", 0);
    for (int i = 0; i < 65536; ++i)
        big->m_poEventList.push_back(std::make_unique<CEvnt>());
    const CSeq* bigOne[] = {big.get()};
    EXPECT_FALSE(clipboard::SequencesFitBlock(bigOne));
    big->m_poEventList.pop_back();
    EXPECT_TRUE(clipboard::SequencesFitBlock(bigOne));

    auto seq = MakeSequence("A", 2);
    const CSeq* one[] = {seq.get()};
    EXPECT_FALSE(clipboard::SequencesBlockCutsText(one));
    seq->m_aTriggers[2].m_strValue = std::string(256, 'v');
    EXPECT_TRUE(clipboard::SequencesBlockCutsText(one));
    seq->m_aTriggers[2].m_strValue.clear();
    seq->m_poEventList[1]->m_strData4 = std::string(256, 'x');
    EXPECT_TRUE(clipboard::SequencesBlockCutsText(one));
}

} // namespace
