// The sequence sections of the script source file: the sequences' options, their triggers and
// their event rows, in the current form and in the two older forms that keep the event rows
// in a section of their own.
#include "script/vl_doc.h"

#include "platform/paths.h"
#include "platform/ui_services.h"
#include "script/key_line_index.h"
#include "script/text_utils.h"

#include <algorithm>
#include <climits>
#include <new>
#include <string>

namespace {

using platform::EqualsNoCase;

void ShowWarning(const std::string& text) {
    platform::ShowMessage(text, platform::MsgButtons::Ok, platform::MsgIcon::Exclamation);
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Reads "%d:%d:%d.%d" as the C library's scanner does: each number may follow white space and
// carry a sign; the reading stops at the first number or separator that is not there, and the
// numbers not reached keep their values.
void ScanTime(std::string_view text, std::array<std::int32_t, 4>& time) {
    static constexpr char kSeparators[] = {':', ':', '.'};
    std::size_t i = 0;
    for (std::size_t field = 0; field < time.size(); ++field) {
        while (i < text.size() && IsNameWhiteSpace(text[i]))
            ++i;
        bool negative = false;
        if (i < text.size() && (text[i] == '+' || text[i] == '-'))
            negative = text[i++] == '-';
        if (i >= text.size() || !IsDigit(text[i]))
            return;
        long long value = 0;
        for (; i < text.size() && IsDigit(text[i]); ++i)
            value = std::min<long long>(value * 10 + (text[i] - '0'), INT_MAX);
        time[field] = static_cast<std::int32_t>(negative ? -value : value);
        if (field + 1 < time.size()) {
            if (i >= text.size() || text[i] != kSeparators[field])
                return;
            ++i;
        }
    }
}

int ComparisonIndex(std::string_view word) {
    static constexpr std::array<std::string_view, 6> kWords{"EQ", "NE", "GT", "LT", "GE", "LE"};
    for (std::size_t i = 0; i < kWords.size(); ++i)
        if (EqualsNoCase(word, kWords[i]))
            return static_cast<int>(i);
    return -1;
}

bool IsTrue(const KeyLineIndex& keys, std::string_view key) {
    return EqualsNoCase(keys.Text(key, "FALSE"), "TRUE");
}

bool IsEnabled(const KeyLineIndex& keys, std::string_view key) {
    return EqualsNoCase(keys.Text(key, "Disabled"), "Enabled");
}

// States of the event-row machine.
enum class R {
    RowStart,
    Label,
    BeforeTime,
    Time,
    BeforeEvent,
    Event,
    BeforeData1,
    Data1,
    BeforeData2,
    Data2,
    BeforeData3,
    Data3,
    BeforeData4,
    Data4,
    Comment,
    CommentLine
};

// The field a run of plain characters extends in this state; null where every character
// needs the machine.
std::string* RunField(R state, std::string& label, std::string& time, std::string& event,
                      std::array<std::string, 4>& data, std::string& comment) {
    switch (state) {
    case R::Label:
        return &label;
    case R::Time:
        return &time;
    case R::Event:
        return &event;
    case R::Data1:
        return &data[0];
    case R::Data2:
        return &data[1];
    case R::Data3:
        return &data[2];
    case R::Data4:
        return &data[3];
    case R::Comment:
        return &comment;
    default:
        return nullptr;
    }
}

// The end of the run that starts at `pos`: the first character the machine must see itself.
std::size_t RunEnd(const char* text, std::size_t pos, std::size_t size, R state, bool quoted) {
    auto until = [&](auto stops) {
        while (pos < size && !stops(text[pos]))
            ++pos;
        return pos;
    };
    switch (state) {
    case R::Label:
    case R::Time:
    case R::Event:
        return until([](char c) {
            return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == ';' || c == '[';
        });
    case R::Data1:
    case R::Data2:
    case R::Data3:
        if (quoted)
            return until([](char c) { return c == '"' || c == '\n' || c == '\r'; });
        return until([](char c) {
            return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == ';' || c == '"';
        });
    case R::Data4:
        return until(
            [](char c) { return c == '\t' || c == '\n' || c == '\r' || c == ';' || c == '"'; });
    case R::Comment:
        return until([](char c) { return c == '\n' || c == '\r'; });
    default:
        return pos;
    }
}

// The end of the characters at `pos` that leave the machine as it is: blanks and tabs where
// a field is awaited, anything but a line end in a comment line.
std::size_t SkipEnd(const char* text, std::size_t pos, std::size_t size, R state) {
    switch (state) {
    case R::CommentLine:
        while (pos < size && text[pos] != '\r' && text[pos] != '\n')
            ++pos;
        return pos;
    case R::RowStart:
    case R::BeforeTime:
    case R::BeforeEvent:
    case R::BeforeData1:
    case R::BeforeData2:
    case R::BeforeData3:
    case R::BeforeData4:
        while (pos < size && (text[pos] == ' ' || text[pos] == '\t'))
            ++pos;
        return pos;
    default:
        return pos;
    }
}

} // namespace

bool CVLDoc::ParseTrigger(CSeq& sequence, int index, std::string_view text) {
    if (index < 0 || index >= static_cast<int>(sequence.m_aTriggers.size()))
        return true;
    CTrigger& trigger = sequence.m_aTriggers[static_cast<std::size_t>(index)];

    enum class State { Name, AfterName, AfterOnOff, AfterComparison };
    State state = State::Name;
    bool onOffSeen = false;
    bool comparisonSeen = false;
    std::string pending;
    auto hand = [&](std::string word) {
        switch (state) {
        case State::Name:
            pending = std::move(word);
            state = State::AfterName;
            break;
        case State::AfterName:
            if (!onOffSeen && (EqualsNoCase(word, "ON") || EqualsNoCase(word, "OFF"))) {
                trigger.m_strIoName = pending;
                trigger.m_nGoesOn = EqualsNoCase(word, "ON") ? 1 : 0;
                onOffSeen = true;
                state = State::AfterOnOff;
            } else if (int comparison = ComparisonIndex(word); !comparisonSeen && comparison >= 0) {
                trigger.m_strVariable = pending;
                trigger.m_wComparison = static_cast<std::uint16_t>(comparison);
                comparisonSeen = true;
                state = State::AfterComparison;
            } // any other word, such as GOES, is passed over
            break;
        case State::AfterOnOff:
            if (EqualsNoCase(word, "AND")) {
                trigger.m_wCombine = CTrigger::And;
                state = State::Name;
            } else if (EqualsNoCase(word, "OR")) {
                trigger.m_wCombine = CTrigger::Or;
                state = State::Name;
            }
            break;
        case State::AfterComparison:
            trigger.m_strValue = std::move(word);
            state = State::Name;
            break;
        }
    };

    // Words are separated by blanks and tabs; a comma is dropped wherever it stands. When only
    // separators follow the last word, an empty word is handed over as well.
    auto isSeparator = [](char c) { return c == ' ' || c == '\t'; };
    auto skipSeparators = [&](std::size_t i) {
        while (i < text.size() && (isSeparator(text[i]) || text[i] == ','))
            ++i;
        return i;
    };
    std::size_t i = skipSeparators(0);
    while (i < text.size()) {
        std::string word;
        for (; i < text.size() && !isSeparator(text[i]); ++i)
            if (text[i] != ',')
                word += text[i];
        hand(std::move(word));
        if (i >= text.size())
            break;
        i = skipSeparators(i + 1);
        if (i >= text.size())
            hand(std::string());
    }
    return true;
}

bool CVLDoc::FindWholeSection(std::string_view name) {
    for (;;) {
        const std::size_t before = ReadPosition();
        const std::string header = NextSectionName(true);
        if (header.empty() && ReadPosition() == before)
            return false;
        if (EqualsNoCase(header, name))
            return true;
    }
}

bool CVLDoc::ReadSequences(const std::string& path) {
    m_posCurrentSeq = nullptr;
    m_poSeqList.clear();

    // The form, once per file: the older forms keep the event rows in sections of their own.
    // One walk over the headers tells them apart (a setup section wins over a properties one).
    auto beginsWith = [](std::string_view header, std::string_view word) {
        return header.size() >= word.size() && EqualsNoCase(header.substr(0, word.size()), word);
    };
    std::string_view word = "Sequence";
    SetReadPosition(0);
    for (;;) {
        const std::size_t before = ReadPosition();
        const std::string header = NextSectionName(true);
        if (header.empty() && ReadPosition() == before)
            break;
        if (beginsWith(header, "SequenceSetup")) {
            word = "SequenceSetup";
            break;
        }
        if (beginsWith(header, "SequenceProperties")) {
            word = "SequenceProperties";
        } else if (word == "Sequence" && beginsWith(header, "Sequence") &&
                   !beginsWith(header, "SequenceEvents")) {
            // A section of the current form before any of the older forms: the file is of the
            // current form, and the walk need not cross its event tables.
            break;
        }
    }
    const bool separateEvents = word != "Sequence";
    SetReadPosition(0);
    const std::string_view text(FileBufferData(), FileBufferSize());
    if (text.empty())
        return true;

    static constexpr std::array<const char*, 4> kTriggerKeys{"StartTrigger", "StopTrigger",
                                                             "PauseTrigger", "ResetTrigger"};
    int progress = 10;
    bool anyFound = false;
    KeyLineIndex keys;
    while (ReadPosition() < text.size()) {
        progress = std::min(progress + 1, 99);

        // The next options section: a header that begins with the form's word.
        std::string header;
        bool found = false;
        for (;;) {
            const std::size_t before = ReadPosition();
            header = NextSectionName(true);
            if (header.empty() && ReadPosition() == before)
                break;
            if (beginsWith(header, word)) {
                found = true;
                break;
            }
        }
        if (!found) {
            if (!anyFound) {
                ShowWarning("Did Not Find Any Sequences in " + path);
                return false;
            }
            return true;
        }
        anyFound = true;

        std::unique_ptr<CSeq> seq;
        try {
            seq = std::make_unique<CSeq>(std::string(), 1);
        } catch (const std::bad_alloc&) {
            ShowWarning("Not enough memory to allocate Sequence ( *pSeq ).  Aborting File "
                        "Construction...");
            return false;
        }
        // The word, ':' and a blank, then the name (of any length, one character too).
        if (header.size() > word.size() + 2)
            seq->m_strName = header.substr(word.size() + 2);
        const std::string& name = seq->m_strName;
        SetStatusProgress("Reading KSF File:  Loading Sequence [" + name + "]", progress);

        // All keys in one pass. In the current form they end at the line of the key "Events":
        // the event rows below it are no key lines.
        const std::size_t optionsStart = ReadPosition();
        keys.Scan(text, optionsStart, {.stopKey = separateEvents ? "" : "Events"});

        seq->m_strDescription = keys.Text("Description", "");
        seq->m_wLevel = static_cast<std::uint16_t>(keys.Int("Level", 1));
        seq->m_nAutoStart = IsEnabled(keys, "AutoStart");
        seq->m_nLooping = IsEnabled(keys, "Looping");
        seq->m_nFreezeWhileWaiting = IsEnabled(keys, "FreezeWhileWaiting");
        seq->m_nRestart = IsEnabled(keys, "Restart");
        const std::array<int, 4> position = SplitFourInts(keys.Text("EventsWindowPosition", ""));
        std::copy(position.begin(), position.end(), seq->m_anWindowPos.begin());
        seq->m_nMaximized = IsTrue(keys, "EventsWindowMaximized");
        seq->m_nMinimized = IsTrue(keys, "EventsWindowMinimized");
        const std::string widths = keys.Text("EventColWidths", "");
        for (std::size_t i = 0; i < seq->m_awEventColWidths.size(); ++i) {
            const std::uint16_t width = CommaFieldToInt(widths, static_cast<int>(i));
            if (width != 0)
                seq->m_awEventColWidths[i] = width;
        }
        if (seq->m_nRestart)
            seq->m_wRestartLockout = static_cast<std::uint16_t>(keys.Int("RestartLockout", 0));
        if (const std::string start = keys.Text("SmpteStartTrigger", ""); !start.empty()) {
            seq->m_nSmpteStartOn = 1;
            ScanTime(start, seq->m_anSmpteStart);
        }
        if (const std::string chase = keys.Text("TimecodeChaseStart", ""); !chase.empty()) {
            seq->m_nChaseOn = 1;
            ScanTime(chase, seq->m_anChaseStart);
        }
        if (const std::string mode = keys.Text("ChaseMode", ""); !mode.empty())
            seq->m_nChaseMode = mode == "JamSync" ? 1 : 0;
        for (std::size_t t = 0; t < kTriggerKeys.size(); ++t)
            if (const std::string trigger = keys.Text(kTriggerKeys[t], ""); !trigger.empty())
                ParseTrigger(*seq, static_cast<int>(t), trigger);

        bool rows = false;
        if (separateEvents) {
            // Matched on the whole name: a sequence whose name begins another's must not take
            // the other's rows.
            rows = FindWholeSection("SequenceEvents: " + name);
            if (!rows)
                ShowWarning("Did not find [SequenceEvents:" + name + "] section");
        } else if (keys.StopKeyFound()) {
            SetReadPosition(keys.StopLineEnd());
            rows = true;
        } else {
            ShowWarning("No events found for sequence " + name);
        }
        if (rows && !ReadEventRows(*seq))
            return false;
        // The next options section is looked for after this one, wherever its rows stood.
        if (separateEvents)
            SetReadPosition(optionsStart);
        m_poSeqList.push_back(std::move(seq));
    }
    return true;
}

bool CVLDoc::ReadEventRows(CSeq& sequence) {
    enum class Outcome { None, RowDone, SectionEnd, NoRow };

    const char* const text = FileBufferData();
    const std::size_t size = FileBufferSize();
    std::size_t pos = ReadPosition();

    std::string label, time, event, comment;
    std::array<std::string, 4> data;
    bool skip = false;
    bool quoted = false;

    while (pos < size) {
        label.clear(), time.clear(), event.clear(), comment.clear();
        for (std::string& d : data)
            d.clear();
        skip = false;
        R state = R::RowStart;
        Outcome outcome = Outcome::None;

        for (; pos < size; ++pos) {
            // Runs of characters that only extend the field being read are taken in one piece.
            // None of them follows a line feed, so none can be a line-start bracket.
            if (std::string* field = RunField(state, label, time, event, data, comment)) {
                const std::size_t end = RunEnd(text, pos, size, state, quoted);
                field->append(text + pos, end - pos);
                pos = end;
                if (pos >= size)
                    break;
            } else {
                // Blanks between fields, and the rest of a comment line, change nothing.
                const std::size_t end = SkipEnd(text, pos, size, state);
                if (end != pos) {
                    pos = end;
                    if (pos >= size)
                        break;
                }
            }
            char c = text[pos];
            const char previous = pos > 0 ? text[pos - 1] : '\n';
            // A '[' that begins a line, or the first character of a row, ends the section; it
            // stays unread for the next section search.
            if (c == '[' && (previous == '\n' || state == R::RowStart)) {
                outcome = Outcome::SectionEnd;
                break;
            }
            // A line feed that follows no carriage return ends its line as CR would.
            if (c == '\n' && previous != '\r')
                c = '\r';
            const bool white = c == ' ' || c == '\t' || c == '\n';
            if (c == '\r' && state != R::RowStart) {
                outcome = state == R::CommentLine ? Outcome::NoRow : Outcome::RowDone;
                ++pos;
                break;
            }
            if (state == R::CommentLine)
                continue;
            if (c == ';' && state != R::RowStart && state != R::Comment) {
                const bool inQuotes = quoted && (state == R::Data1 || state == R::Data2 ||
                                                 state == R::Data3 || state == R::Data4);
                if (!inQuotes) {
                    state = R::Comment;
                    continue;
                }
            }

            // `next` is where a field of `field` starts with c.
            auto start = [&](std::string& field, R next) {
                field.assign(1, c);
                state = next;
            };
            auto startData = [&](std::size_t n, R next) {
                quoted = c == '"';
                start(data[n], next);
            };
            auto inData = [&](std::size_t n, R after) {
                if (white && !quoted) {
                    state = after;
                    return;
                }
                if (c == '"')
                    quoted = !quoted;
                data[n] += c;
            };

            switch (state) {
            case R::RowStart:
                if (c == ' ' || c == '\t' || c == '\n' || c == '\r')
                    break;
                if (c == ';')
                    state = R::CommentLine;
                else if (c == '*')
                    skip = true;
                else if (IsDigit(c))
                    start(time, R::Time);
                else
                    start(label, R::Label);
                break;
            case R::Label:
                if (white)
                    state = R::BeforeTime;
                else if (c != '[')
                    label += c;
                break;
            case R::BeforeTime:
                if (!white && c != '[')
                    start(time, R::Time);
                break;
            case R::Time:
                if (white)
                    state = R::BeforeEvent;
                else if (c != '[')
                    time += c;
                break;
            case R::BeforeEvent:
                if (!white && c != '[')
                    start(event, R::Event);
                break;
            case R::Event:
                if (white)
                    state = R::BeforeData1;
                else if (c != '[')
                    event += c;
                break;
            case R::BeforeData1:
                if (!white && c != '[')
                    startData(0, R::Data1);
                break;
            case R::Data1:
                inData(0, R::BeforeData2);
                break;
            case R::BeforeData2:
                if (!white && c != '[')
                    startData(1, R::Data2);
                break;
            case R::Data2:
                inData(1, R::BeforeData3);
                break;
            case R::BeforeData3:
                if (!white && c != '[')
                    startData(2, R::Data3);
                break;
            case R::Data3:
                inData(2, R::BeforeData4);
                break;
            case R::BeforeData4:
                if (!white && c != '[')
                    startData(3, R::Data4);
                break;
            case R::Data4:
                // Inner blanks stay; a tab becomes a blank.
                if (c == '\n')
                    break;
                if (c == '"')
                    quoted = !quoted;
                data[3] += c == '\t' ? ' ' : c;
                break;
            case R::Comment:
                if (c != '\n')
                    comment += c;
                break;
            case R::CommentLine:
                break;
            }
        }
        // The end of the buffer ends a last row that has no line end.
        if (outcome == Outcome::None && state != R::RowStart && state != R::CommentLine)
            outcome = Outcome::RowDone;

        if (outcome == Outcome::RowDone) {
            try {
                auto row = std::make_unique<CEvnt>();
                row->m_strSkip = skip ? "*" : "";
                row->m_strLabel = std::move(label);
                row->m_strTime = std::move(time);
                row->m_strEvent = std::move(event);
                row->m_strData1 = std::move(data[0]);
                row->m_strData2 = std::move(data[1]);
                row->m_strData3 = std::move(data[2]);
                row->m_strData4 = std::move(data[3]);
                row->m_strComment = std::move(comment);
                sequence.m_poEventList.push_back(std::move(row));
            } catch (const std::bad_alloc&) {
                ShowWarning("Not enough memory to allocate Event ( *pEvent ).  Aborting File "
                            "Construction...");
                SetReadPosition(pos);
                return false;
            }
        } else if (outcome == Outcome::SectionEnd) {
            break;
        }
    }
    SetReadPosition(pos);
    return true;
}
