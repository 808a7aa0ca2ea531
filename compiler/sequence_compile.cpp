#include "compiler/sequence_compile.h"

#include "compiler/compiler_state.h"
#include "compiler/config_compile.h"
#include "compiler/diagnostics.h"
#include "compiler/event_compile.h"
#include "compiler/name_lookups.h"
#include "compiler/show_image.h"
#include "script/text_utils.h"
#include "script/time_conversions.h"
#include "script/value_parsers.h"
#include "script/vl_doc.h"

#include <algorithm>
#include <array>
#include <climits>

namespace {

constexpr std::array<const char*, 4> kTriggerNames = {"Start", "Stop", "Pause", "Reset"};

const char* SequenceName(const CompilerState& state) {
    return state.currentSequence ? state.currentSequence->m_strName.c_str() : "";
}

// Every image append of this file goes through here: on a refused write the size error is
// posted once and the run is ended as an abort.
class RecordAppender {
public:
    RecordAppender(CVLDoc& doc, CompilerState& state) : doc_(doc), image_(state) {}

    bool Byte(std::uint8_t value) { return Check(image_.AppendByte(value)); }
    bool Word(std::uint16_t value) { return Check(image_.AppendWord(value)); }
    bool Bytes(const ByteString& bytes) {
        for (std::uint8_t value : bytes) {
            if (!Byte(value))
                return false;
        }
        return true;
    }
    // A code offset that does not fit a word can never be part of an image.
    bool Offset(long long offset) {
        if (offset < 0 || offset > 0xFFFF)
            return Check(false);
        return Word(static_cast<std::uint16_t>(offset));
    }
    ShowImageWriter& Image() { return image_; }

private:
    bool Check(bool written) {
        if (!written) {
            ReportUnitError(ImageSizeErrorText());
            doc_.m_nAbortRequested = 1;
        }
        return written;
    }

    CVLDoc& doc_;
    ShowImageWriter image_;
};

std::size_t CountActiveEvents(const CSeq& sequence) {
    return static_cast<std::size_t>(
        std::count_if(sequence.m_poEventList.begin(), sequence.m_poEventList.end(),
                      [](const auto& event) { return event && event->m_strSkip.empty(); }));
}

// Steps shared by both variants: the cursor, the sequence's own checks and its two sequence
// table entries. Answers the record's offset.
std::size_t StartSequence(CVLDoc& doc, bool forSize) {
    CompilerState& state = GetCompilerState();
    const std::size_t index = static_cast<std::size_t>(state.currentSequenceIndex);
    CSeq& sequence = *doc.m_poSeqList[index];
    state.currentSequence = &sequence;

    if (sequence.m_strName.empty())
        ReportSequenceWarning(
            FormatCompileText("Sequence %d has no name", state.currentSequenceIndex + 1));
    if (doc.m_nMessages) {
        const bool compiling = forSize || sequence.m_nNeedsCompile;
        PostCompileMessage(FormatCompileText(compiling ? "Compiling sequence %s"
                                                       : "Linking already compiled sequence %s",
                                             sequence.m_strName.c_str()));
    }
    if (sequence.m_nChaseOn) {
        if (sequence.m_nLooping) {
            ReportSequenceWarning("Sequence cannot be looped. It is currently in Timecode Chase "
                                  "Mode.");
            sequence.m_nLooping = 0;
        }
        if (sequence.m_nRestart) {
            ReportSequenceWarning("Sequence cannot Restart. It is currently in Timecode Chase "
                                  "Mode.");
            sequence.m_nRestart = 0;
        }
    }

    ShowImageWriter image(state);
    const std::size_t record = image.Length();
    const std::size_t count = doc.m_poSeqList.size();
    image.PutWord(show_image::kSequenceTable + 2 * index, static_cast<std::uint16_t>(record));
    image.PutWord(show_image::kSequenceTable + 2 * count + 2 * index,
                  static_cast<std::uint16_t>(record + show_image::kSequenceHeaderSize));
    return record;
}

// Compiles every event of the current sequence; false when the run was aborted meanwhile.
bool CompileEvents(CVLDoc& doc) {
    CompilerState& state = GetCompilerState();
    CSeq& sequence = *state.currentSequence;
    state.lastEventTime = 0.0;
    state.lastEventIndex = 0;
    state.currentEventIndex = 0;
    for (std::size_t i = 0; i < sequence.m_poEventList.size(); ++i) {
        CEvnt* event = sequence.m_poEventList[i].get();
        state.currentEventIndex = static_cast<int>(i);
        state.currentEvent = event;
        if (!event)
            continue;
        if (!event->m_strSkip.empty()) {
            ReportEventWarning("This event is REM'd out.  Event not compiled.");
        } else {
            CompileEventTime(doc);
            if (CompilePortEvent(doc))
                CompileInternalEvent(doc, 1);
            else
                CompileExternalEvent(doc, 1);
        }
        if (doc.m_nAbortRequested)
            return false;
    }
    return true;
}

bool AppendHeader(RecordAppender& out, const CSeq& sequence) {
    ByteString header = sequence.m_bsHeader;
    header.resize(show_image::kSequenceHeaderSize, 0);
    return out.Bytes(header);
}

int IoCode(CVLDoc& doc, int trigger) {
    const CTrigger& condition = GetCompilerState().currentSequence->m_aTriggers[trigger];
    const std::string name = NormalizeName(condition.m_strIoName, true);
    if (name.empty())
        return 0xFF;
    int code = FindInput(doc, name);
    if (code < 0)
        code = FindOutput(doc, name);
    if (code < 0) {
        ReportSequenceError(FormatCompileText(
            "Sequence %s Setup, %s Trigger: [%s] is not a valid input or output name",
            SequenceName(GetCompilerState()), kTriggerNames[trigger],
            condition.m_strIoName.c_str()));
        return 0xFF;
    }
    return code;
}

std::uint8_t VariableByte(CVLDoc& doc, int trigger) {
    const CTrigger& condition = GetCompilerState().currentSequence->m_aTriggers[trigger];
    const std::string name = NormalizeName(condition.m_strVariable, true);
    if (name.empty())
        return 0xFF;
    const int code = FindVariable(doc, name);
    if (code < 0) {
        ReportSequenceError(
            FormatCompileText("Sequence %s Setup, %s Trigger: [%s] is not a valid variable name",
                              SequenceName(GetCompilerState()), kTriggerNames[trigger],
                              condition.m_strVariable.c_str()));
        return 0xFF;
    }
    return static_cast<std::uint8_t>(code);
}

std::uint8_t CompareValueByte(CVLDoc& doc, int trigger) {
    const CTrigger& condition = GetCompilerState().currentSequence->m_aTriggers[trigger];
    const std::string value = NormalizeName(condition.m_strValue, true);
    if (value.empty())
        return 0xFF;
    const int variable = FindVariable(doc, value);
    if (variable >= 0)
        return static_cast<std::uint8_t>(variable);
    return static_cast<std::uint8_t>(ReadLeadingInt(value) & 0xFF);
}

const char* InvalidTimeFormat(std::uint16_t frameRateCode) {
    switch (frameRateCode) {
    case 0:
        return "[%s] is not a valid time ( 00:00.00 - 45:30.15 )";
    case 1:
        return "[%s] is not a valid time ( 00:00.00 - 43:41.10 )";
    case 2:
        return "[%s] is not a valid time ( 00:00.00 - 36:26.20 )";
    default:
        return "[%s] is not a valid time ( 00:00.00 - 36:24.15 )";
    }
}

} // namespace

std::uint8_t EncodeTriggerCondition(CVLDoc& doc, int trigger) {
    CompilerState& state = GetCompilerState();
    if (!state.currentSequence || trigger < 0 || trigger > 3)
        return 0;
    const CTrigger& condition = state.currentSequence->m_aTriggers[trigger];
    const char* sequenceName = SequenceName(state);
    const char* triggerName = kTriggerNames[trigger];
    const std::string variable = NormalizeName(condition.m_strVariable, true);
    const std::string value = NormalizeName(condition.m_strValue, true);
    const std::string io = NormalizeName(condition.m_strIoName, true);

    if (variable.empty() && !value.empty()) {
        ReportSequenceError(FormatCompileText(
            "Sequence %s Setup, %s Trigger: There is no variable to compare to %s", sequenceName,
            triggerName, condition.m_strValue.c_str()));
        return 0;
    }
    if (!variable.empty() && value.empty()) {
        ReportSequenceError(FormatCompileText(
            "Sequence %s Setup, %s Trigger: variable %s has no variable/literal to compare to",
            sequenceName, triggerName, condition.m_strVariable.c_str()));
        return 0;
    }

    int result = 0;
    if (!value.empty()) {
        if (FindVariable(doc, value) >= 0) {
            result |= 0x80;
        } else {
            bool overflow = false;
            const int number = ReadLeadingInt(value, &overflow);
            if (overflow || number < 0 || number > 255) {
                ReportSequenceError(FormatCompileText(
                    trigger == 0 ? "Sequence %s Setup, %s Trigger: variable/literal %s is invalid."
                                 : "Sequence %s Setup, %s Trigger: variable/literal %s is invalid",
                    sequenceName, triggerName, condition.m_strValue.c_str()));
            } else if (!ParseWholeDecimal(value)) {
                // Compiled as the number its leading digits give, but the user should know.
                ReportSequenceWarning(FormatCompileText(
                    "Sequence %s Setup, %s Trigger: [%s] is neither a variable name nor a "
                    "decimal number; it is compared as %d",
                    sequenceName, triggerName, condition.m_strValue.c_str(), number));
            }
        }
    }

    if (!io.empty() || !variable.empty()) {
        if (condition.m_wCombine == CTrigger::Or)
            result += 6;
        else if (condition.m_wCombine != CTrigger::And)
            ReportSequenceError(FormatCompileText(
                "Internal Error: Sequence %s Setup, ( AND, OR ) Out of Range Integer",
                sequenceName));
    }
    if (variable.empty())
        return static_cast<std::uint8_t>(result);
    if (io.empty())
        result += 6;
    static constexpr std::array<int, 6> kComparisonCodes = {1, 2, 5, 3, 6, 4};
    if (condition.m_wComparison < kComparisonCodes.size())
        result += kComparisonCodes[condition.m_wComparison];
    else
        ReportSequenceError(FormatCompileText(
            "Internal Error: Sequence %s Setup, ( EQ, NEQ, GT, LT, GE, LE ) Out of Range Integer",
            sequenceName));
    return static_cast<std::uint8_t>(result & 0xFF);
}

void CompileSequenceHeader(CVLDoc& doc) {
    CompilerState& state = GetCompilerState();
    CSeq& sequence = *state.currentSequence;
    ByteString header(show_image::kSequenceHeaderSize, 0);

    const std::size_t events = CountActiveEvents(sequence);
    header[0] = static_cast<std::uint8_t>(events & 0xFF);
    header[1] = static_cast<std::uint8_t>((events >> 8) & 0xFF);

    std::uint8_t options = 0;
    if (sequence.m_nRestart)
        options |= 0x01;
    if (sequence.m_nLooping)
        options |= 0x02;
    if (sequence.m_nAutoStart)
        options |= 0x04;
    if (sequence.m_nFreezeWhileWaiting)
        options |= 0x08;
    for (int t = 0; t < 4; ++t) {
        if (sequence.m_aTriggers[t].m_nGoesOn)
            options |= static_cast<std::uint8_t>(0x10 << t);
    }
    header[2] = options;

    header[21] = !sequence.m_nChaseOn ? 0 : (sequence.m_nChaseMode ? 3 : 1);
    const auto& chase = sequence.m_anChaseStart;
    const double frames =
        HmsfToFrames(static_cast<std::uint8_t>(chase[0]), static_cast<std::uint8_t>(chase[1]),
                     static_cast<std::uint8_t>(chase[2]), static_cast<std::uint8_t>(chase[3]),
                     doc.GetFrameRate());
    const long long whole = static_cast<long long>(std::clamp(frames, -1.0e15, 1.0e15));
    header[22] = static_cast<std::uint8_t>(whole & 0xFF);
    header[23] = static_cast<std::uint8_t>((whole >> 8) & 0xFF);
    header[24] = static_cast<std::uint8_t>((whole >> 16) & 0xFF);

    header[3] = static_cast<std::uint8_t>(sequence.m_wRestartLockout & 0xFF);
    header[4] = static_cast<std::uint8_t>(sequence.m_wRestartLockout >> 8);

    for (int t = 0; t < 4; ++t) {
        header[5 + 2 * t] = EncodeTriggerCondition(doc, t);
        header[6 + 2 * t] = static_cast<std::uint8_t>(IoCode(doc, t));
    }
    for (int t = 0; t < 4; ++t) {
        header[14 + 2 * t] = VariableByte(doc, t);
        header[13 + 2 * t] = CompareValueByte(doc, t);
    }
    sequence.m_bsHeader = std::move(header);
}

void CompileEventTime(CVLDoc& doc) {
    CompilerState& state = GetCompilerState();
    CEvnt& event = *state.currentEvent;
    const std::string& text = event.m_strTime;

    enum class Field { Minutes, Seconds, Frames };
    Field field = Field::Minutes;
    std::string collected, minutes, seconds, frames;
    for (char c : text) {
        if (c >= '0' && c <= '9') {
            (field == Field::Minutes ? collected : field == Field::Seconds ? seconds : frames) += c;
        } else if (field == Field::Minutes && c == ':') {
            minutes = std::move(collected);
            collected.clear();
            field = Field::Seconds;
        } else if (field == Field::Minutes && c == '.') {
            seconds = std::move(collected);
            collected.clear();
            field = Field::Frames;
        } else if (field == Field::Seconds && (c == ':' || c == '.')) {
            field = Field::Frames;
        } else {
            ReportEventError(FormatCompileText("[%s] is not a valid time", text.c_str()));
        }
    }
    if (field == Field::Minutes)
        frames = std::move(collected);

    const long long m = ReadLeadingInt(minutes);
    const long long s = ReadLeadingInt(seconds);
    const long long f = ReadLeadingInt(frames);
    long long time = 0;
    if (m == 0 && s == 0) {
        if (f < 0 || f > 65535)
            ReportEventError(
                FormatCompileText("[%s] is not a valid time ( 0 - 65535 ) frames", text.c_str()));
        time = f & 0xFFFF;
    } else {
        const double rate = doc.GetFrameRate();
        const double total = static_cast<double>(m) * 60.0 * rate + static_cast<double>(s) * rate +
                             static_cast<double>(f);
        if (total > 65535.0)
            ReportEventError(FormatCompileText(InvalidTimeFormat(doc.m_wFrameRate), text.c_str()));
        time = static_cast<long long>(std::clamp(RoundHalfUp(total), -1.0e15, 1.0e15)) & 0xFFFF;
    }

    if (doc.m_nErrorDetection && time > 0) {
        const double current = static_cast<double>(time);
        if (state.lastEventTime > current) {
            ReportEventWarning(FormatCompileText(
                "Time is earlier than Event %d's time (Time possibly out of order)",
                state.lastEventIndex + 1));
        }
        if (current > state.lastEventTime) {
            state.lastEventTime = current;
            state.lastEventIndex = state.currentEventIndex;
        }
    }
    event.m_bsCompiled = {static_cast<std::uint8_t>(time & 0xFF),
                          static_cast<std::uint8_t>((time >> 8) & 0xFF)};
}

void CompileSequenceForSize(CVLDoc& doc) {
    CompilerState& state = GetCompilerState();
    const std::size_t record = StartSequence(doc, true);
    CSeq& sequence = *state.currentSequence;
    CompileSequenceHeader(doc);
    if (!CompileEvents(doc))
        return;
    sequence.m_nNeedsCompile = 1;

    RecordAppender out(doc, state);
    if (!AppendHeader(out, sequence))
        return;
    const std::size_t events = CountActiveEvents(sequence);
    long long codeOffset =
        static_cast<long long>(record + show_image::kSequenceHeaderSize + 2 * events + 2);
    for (std::size_t i = 0; i < sequence.m_poEventList.size(); ++i) {
        CEvnt* event = sequence.m_poEventList[i].get();
        if (!event || !event->m_strSkip.empty())
            continue;
        state.currentEventIndex = static_cast<int>(i);
        state.currentEvent = event;
        const int found = FindIdenticalCompiledEvent();
        if (found < 0) {
            if (!out.Offset(codeOffset))
                return;
            auto original = std::make_unique<COriginalEvent>();
            original->m_wOffset = static_cast<std::uint16_t>(codeOffset);
            original->m_bsCode = event->m_bsCompiled;
            state.originalEvents.push_back(std::move(original));
            codeOffset += static_cast<long long>(event->m_bsCompiled.size());
            event->m_nSharedCompile = 0;
        } else {
            if (!out.Offset(found))
                return;
            const std::size_t size = event->m_bsCompiled.size();
            state.bytesSaved = size > UINT32_MAX - state.bytesSaved
                                   ? UINT32_MAX
                                   : state.bytesSaved + static_cast<std::uint32_t>(size);
            event->m_nSharedCompile = 1;
            if (doc.m_nMessages) {
                PostCompileMessage(
                    FormatCompileText("%s %s %s %s %s Duplicate Event!", event->m_strTime.c_str(),
                                      event->m_strEvent.c_str(), event->m_strData1.c_str(),
                                      event->m_strData2.c_str(), event->m_strData3.c_str()));
            }
        }
    }
    if (!out.Word(0))
        return;
    for (const auto& event : sequence.m_poEventList) {
        if (!event || !event->m_strSkip.empty() || event->m_nSharedCompile ||
            event->m_bsCompiled.empty())
            continue;
        if (!out.Bytes(event->m_bsCompiled))
            return;
    }
}

void CompileSequenceForSpeed(CVLDoc& doc) {
    CompilerState& state = GetCompilerState();
    const std::size_t record = StartSequence(doc, false);
    CSeq& sequence = *state.currentSequence;
    // A sequence never compiled has nothing to reuse.
    if (sequence.m_nNeedsCompile || sequence.m_bsHeader.size() != show_image::kSequenceHeaderSize) {
        sequence.m_nNeedsCompile = 0;
        CompileSequenceHeader(doc);
        if (!CompileEvents(doc))
            return;
    }
    if (state.errorCount > 0)
        return;

    RecordAppender out(doc, state);
    if (!AppendHeader(out, sequence))
        return;
    const std::size_t events = CountActiveEvents(sequence);
    long long codeOffset =
        static_cast<long long>(record + show_image::kSequenceHeaderSize + 2 * events + 2);
    for (const auto& event : sequence.m_poEventList) {
        if (!event || !event->m_strSkip.empty())
            continue;
        if (!out.Offset(codeOffset))
            return;
        codeOffset += static_cast<long long>(event->m_bsCompiled.size());
    }
    if (!out.Word(0))
        return;
    for (const auto& event : sequence.m_poEventList) {
        if (!event || !event->m_strSkip.empty())
            continue;
        if (!out.Bytes(event->m_bsCompiled))
            return;
    }
}
