#include "script/sequence_clipboard.h"

#include "script/clipboard_block.h"

#include <algorithm>

namespace clipboard {

namespace {

std::uint16_t Low16(std::int32_t value) {
    return static_cast<std::uint16_t>(static_cast<std::uint32_t>(value) & 0xFFFFu);
}

std::uint8_t Flag(std::int32_t value) {
    return value != 0 ? 1 : 0;
}

void WriteTrigger(BlockWriter& out, const CTrigger& trigger) {
    out.Text(trigger.m_strIoName);
    out.Byte(Flag(trigger.m_nGoesOn));
    out.Word(trigger.m_wCombine);
    out.Text(trigger.m_strVariable);
    out.Word(trigger.m_wComparison);
    out.Text(trigger.m_strValue);
}

bool ReadTrigger(BlockReader& in, CTrigger& trigger) {
    std::uint8_t goesOn = 0;
    if (!in.Text(trigger.m_strIoName) || !in.Byte(goesOn) || !in.Word(trigger.m_wCombine) ||
        !in.Text(trigger.m_strVariable) || !in.Word(trigger.m_wComparison) ||
        !in.Text(trigger.m_strValue))
        return false;
    trigger.m_nGoesOn = goesOn == 1 ? 1 : 0;
    return true;
}

void WriteProperties(BlockWriter& out, const CSeq& seq) {
    for (std::int32_t position : seq.m_anWindowPos)
        out.Word(Low16(position));
    out.Byte(Flag(seq.m_nMaximized));
    out.Byte(Flag(seq.m_nMinimized));
    for (std::uint16_t width : seq.m_awEventColWidths)
        out.Word(width);
    out.Word(seq.m_wLevel);
    out.Byte(Flag(seq.m_nAutoStart));
    out.Byte(Flag(seq.m_nLooping));
    out.Byte(Flag(seq.m_nFreezeWhileWaiting));
    out.Byte(Flag(seq.m_nRestart));
    out.Word(seq.m_wRestartLockout);
    out.Byte(Flag(seq.m_nSmpteStartOn));
    for (std::int32_t part : seq.m_anSmpteStart)
        out.Word(Low16(part));
}

bool ReadProperties(BlockReader& in, CSeq& seq) {
    std::uint16_t word = 0;
    std::uint8_t flags[7] = {};
    for (std::int32_t& position : seq.m_anWindowPos) {
        if (!in.Word(word))
            return false;
        position = static_cast<std::int16_t>(word); // -1 comes back as -1
    }
    if (!in.Byte(flags[0]) || !in.Byte(flags[1]))
        return false;
    for (std::uint16_t& width : seq.m_awEventColWidths)
        if (!in.Word(width))
            return false;
    std::uint16_t level = 0;
    if (!in.Word(level) || !in.Byte(flags[2]) || !in.Byte(flags[3]) || !in.Byte(flags[4]) ||
        !in.Byte(flags[5]) || !in.Word(seq.m_wRestartLockout) || !in.Byte(flags[6]))
        return false;
    for (std::int32_t& part : seq.m_anSmpteStart) {
        if (!in.Word(word))
            return false;
        part = word;
    }
    const auto on = [](std::uint8_t byte) { return byte == 1 ? 1 : 0; };
    seq.m_nMaximized = on(flags[0]);
    seq.m_nMinimized = on(flags[1]);
    seq.m_wLevel = std::clamp<std::uint16_t>(level, 1, 6);
    seq.m_nAutoStart = on(flags[2]);
    seq.m_nLooping = on(flags[3]);
    seq.m_nFreezeWhileWaiting = on(flags[4]);
    seq.m_nRestart = on(flags[5]);
    seq.m_nSmpteStartOn = on(flags[6]);
    return true;
}

std::unique_ptr<CSeq> ReadSequence(BlockReader& in) {
    auto seq = std::make_unique<CSeq>(std::string(), 1);
    if (!in.Text(seq->m_strName) || !in.Text(seq->m_strDescription) || !ReadProperties(in, *seq))
        return nullptr;
    for (CTrigger& trigger : seq->m_aTriggers)
        if (!ReadTrigger(in, trigger))
            return nullptr;
    std::uint16_t events = 0;
    if (!in.Word(events))
        return nullptr;
    for (std::uint16_t i = 0; i < events; ++i) {
        auto event = std::make_unique<CEvnt>();
        if (!ReadEventRecord(in, *event))
            return nullptr;
        seq->m_poEventList.push_back(std::move(event));
    }
    seq->m_nNeedsCompile = 1;
    return seq;
}

} // namespace

bool SequencesFitBlock(std::span<const CSeq* const> sequences) {
    if (sequences.size() > kMaxBlockSequences)
        return false;
    return std::all_of(sequences.begin(), sequences.end(), [](const CSeq* seq) {
        return seq->m_poEventList.size() <= kMaxRecordEvents;
    });
}

bool SequencesBlockCutsText(std::span<const CSeq* const> sequences) {
    const auto cuts = [](const std::string& text) { return text.size() > kMaxBlockText; };
    for (const CSeq* seq : sequences) {
        if (cuts(seq->m_strName) || cuts(seq->m_strDescription))
            return true;
        for (const CTrigger& t : seq->m_aTriggers)
            if (cuts(t.m_strIoName) || cuts(t.m_strVariable) || cuts(t.m_strValue))
                return true;
        for (const auto& event : seq->m_poEventList)
            if (EventRecordCutsText(*event))
                return true;
    }
    return false;
}

std::vector<std::uint8_t> WriteSequencesBlock(std::span<const CSeq* const> sequences) {
    BlockWriter out;
    out.Byte(kSequencesTag);
    out.Byte(static_cast<std::uint8_t>(std::min(sequences.size(), kMaxBlockSequences)));
    for (std::size_t s = 0; s < sequences.size() && s < kMaxBlockSequences; ++s) {
        const CSeq& seq = *sequences[s];
        out.Text(seq.m_strName);
        out.Text(seq.m_strDescription);
        WriteProperties(out, seq);
        for (const CTrigger& trigger : seq.m_aTriggers)
            WriteTrigger(out, trigger);
        const std::size_t events = std::min(seq.m_poEventList.size(), kMaxRecordEvents);
        out.Word(static_cast<std::uint16_t>(events));
        for (std::size_t e = 0; e < events; ++e)
            WriteEventRecord(out, *seq.m_poEventList[e]);
    }
    return out.Take();
}

SequencesBlock ReadSequencesBlock(std::span<const std::uint8_t> block) {
    SequencesBlock result;
    BlockReader in(block);
    std::uint8_t tag = 0;
    std::uint8_t count = 0;
    if (!in.Byte(tag))
        return result;
    if (tag == kEventsTag) {
        result.status = SequencesBlock::Status::EventsBlock;
        return result;
    }
    if (tag != kSequencesTag) {
        result.status = SequencesBlock::Status::UnknownTag;
        return result;
    }
    if (!in.Byte(count))
        return result;
    for (std::uint8_t s = 0; s < count; ++s) {
        std::unique_ptr<CSeq> seq = ReadSequence(in);
        if (!seq) {
            result.sequences.clear();
            return result;
        }
        result.sequences.push_back(std::move(seq));
    }
    result.status = SequencesBlock::Status::Ok;
    return result;
}

} // namespace clipboard
