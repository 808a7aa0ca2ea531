// The sequence sections of the script source file: the sequences' options, their triggers and
// their event rows, in the current form and in the two older forms that keep the event rows
// in a section of their own.
#include "script/script_file.h"
#include "script/vl_doc.h"

#include "platform/paths.h"
#include "platform/ui_services.h"
#include "script/key_line_index.h"
#include "script/text_utils.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <memory>
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

// The characters that end a run of an event row's field, as classes.
enum : std::uint8_t {
    kLineEnd = 1, // CR or LF: a line feed after no carriage return ends its line as CR would
    kBlank = 2,   // a blank or a tab
    kTab = 4,
    kSemicolon = 8,
    kBracket = 16,
    kQuote = 32
};

constexpr std::array<std::uint8_t, 256> kRowClasses = [] {
    std::array<std::uint8_t, 256> classes{};
    classes['\r'] = classes['\n'] = kLineEnd;
    classes[' '] = kBlank;
    classes['\t'] = kBlank | kTab;
    classes[';'] = kSemicolon;
    classes['['] = kBracket;
    classes['"'] = kQuote;
    return classes;
}();

std::uint8_t RowClass(char c) {
    return kRowClasses[static_cast<unsigned char>(c)];
}

// Where the reading of a field stopped: at a blank after it (the next field may follow), at
// the ';' of a comment, past the row's line end, or at the end of the buffer. Field: the
// blanks before a field were passed and `pos` stands at its first character.
enum class Stop { Field, Blank, Comment, RowEnd, BufferEnd };

// The rows are read field by field: each field is taken in runs of characters up to the next
// one of the classes `stops`, which the reader then looks at itself.
class RowFields {
public:
    RowFields(const char* text, std::size_t size, std::size_t pos)
        : text_(text), size_(size), pos_(pos) {}

    std::size_t Position() const { return pos_; }

    // Blanks, line ends and '*' marks before a row. False at the end of the buffer; else
    // `pos` stands at the row's first character.
    bool SkipToRow(bool& skip) {
        for (; pos_ < size_; ++pos_) {
            const char c = text_[pos_];
            if (c == '*')
                skip = true;
            else if (!(RowClass(c) & (kBlank | kLineEnd)))
                return true;
        }
        return false;
    }
    char Current() const { return text_[pos_]; }

    // A line that only holds a comment, with its line end.
    void SkipLine() {
        pos_ = RunEnd(kLineEnd);
        if (pos_ < size_)
            ++pos_;
    }

    // Label, time or event: up to a blank; a '[' in it is dropped.
    Stop ReadWord(std::string& word) {
        for (;;) {
            Append(word, RunEnd(kLineEnd | kBlank | kSemicolon | kBracket));
            if (pos_ >= size_)
                return Stop::BufferEnd;
            const std::uint8_t c = RowClass(text_[pos_++]);
            if (c & kBracket)
                continue;
            return c & kBlank ? Stop::Blank : c & kSemicolon ? Stop::Comment : Stop::RowEnd;
        }
    }

    // The blanks (and any '[') before a field.
    Stop SkipToField() {
        while (pos_ < size_ && (RowClass(text_[pos_]) & (kBlank | kBracket)))
            ++pos_;
        if (pos_ >= size_)
            return Stop::BufferEnd;
        const std::uint8_t c = RowClass(text_[pos_]);
        if (c & kSemicolon) {
            ++pos_;
            return Stop::Comment;
        }
        if (c & kLineEnd) {
            ++pos_;
            return Stop::RowEnd;
        }
        return Stop::Field;
    }

    // Data1 to Data3 end at a blank outside double quotes; the last, Data4, keeps its inner
    // blanks and has its tabs made blanks. A ';' inside quotes belongs to the data.
    Stop ReadData(std::string& data, bool last) {
        bool quoted = text_[pos_] == '"';
        data.push_back(text_[pos_++]);
        for (;;) {
            const std::uint8_t stops = last     ? kLineEnd | kTab | kSemicolon | kQuote
                                       : quoted ? kLineEnd | kQuote
                                                : kLineEnd | kBlank | kSemicolon | kQuote;
            Append(data, RunEnd(stops));
            if (pos_ >= size_)
                return Stop::BufferEnd;
            const std::uint8_t c = RowClass(text_[pos_++]);
            if (c & kLineEnd)
                return Stop::RowEnd;
            if (c & kQuote) {
                quoted = !quoted;
                data.push_back('"');
            } else if (c & kSemicolon) {
                if (!quoted)
                    return Stop::Comment;
                data.push_back(';');
            } else if (last) {
                data.push_back(' ');
            } else {
                return Stop::Blank;
            }
        }
    }

    // The comment, to the line end.
    Stop ReadComment(std::string& comment) {
        Append(comment, RunEnd(kLineEnd));
        if (pos_ >= size_)
            return Stop::BufferEnd;
        ++pos_;
        return Stop::RowEnd;
    }

private:
    std::size_t RunEnd(std::uint8_t stops) const {
        std::size_t end = pos_;
        while (end < size_ && !(RowClass(text_[end]) & stops))
            ++end;
        return end;
    }
    void Append(std::string& field, std::size_t end) {
        field.append(text_ + pos_, end - pos_);
        pos_ = end;
    }

    const char* text_;
    std::size_t size_;
    std::size_t pos_;
};

} // namespace

bool ScriptFileReader::ParseTrigger(CSeq& sequence, int index, std::string_view text) {
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

bool ScriptFileReader::FindWholeSection(std::string_view name) {
    for (;;) {
        const std::size_t before = doc_.ReadPosition();
        const std::string header = doc_.NextSectionName(true);
        if (header.empty() && doc_.ReadPosition() == before)
            return false;
        if (EqualsNoCase(header, name))
            return true;
    }
}

bool ScriptFileReader::ReadSequences(const std::string& path) {
    doc_.m_posCurrentSeq = nullptr;
    doc_.m_poSeqList.clear();

    // The form, once per file: the older forms keep the event rows in sections of their own.
    // One walk over the headers tells them apart (a setup section wins over a properties one).
    auto beginsWith = [](std::string_view header, std::string_view word) {
        return header.size() >= word.size() && EqualsNoCase(header.substr(0, word.size()), word);
    };
    std::string_view word = "Sequence";
    doc_.SetReadPosition(0);
    for (;;) {
        const std::size_t before = doc_.ReadPosition();
        const std::string header = doc_.NextSectionName(true);
        if (header.empty() && doc_.ReadPosition() == before)
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
    doc_.SetReadPosition(0);
    const std::string_view text(doc_.FileBufferData(), doc_.FileBufferSize());
    if (text.empty())
        return true;

    static constexpr std::array<const char*, 4> kTriggerKeys{"StartTrigger", "StopTrigger",
                                                             "PauseTrigger", "ResetTrigger"};
    int progress = 10;
    bool anyFound = false;
    KeyLineIndex keys;
    while (doc_.ReadPosition() < text.size()) {
        progress = std::min(progress + 1, 99);

        // The next options section: a header that begins with the form's word.
        std::string header;
        bool found = false;
        for (;;) {
            const std::size_t before = doc_.ReadPosition();
            header = doc_.NextSectionName(true);
            if (header.empty() && doc_.ReadPosition() == before)
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
        doc_.SetStatusProgress("Reading KSF File:  Loading Sequence [" + name + "]", progress);

        // All keys in one pass. In the current form they end at the line of the key "Events":
        // the event rows below it are no key lines.
        const std::size_t optionsStart = doc_.ReadPosition();
        keys.Scan(text, optionsStart, {.stopKey = separateEvents ? "" : "Events"});

        seq->m_strDescription = keys.Text("Description", "");
        // Numbers are taken into the range the program offers for them, never wrapped to 16
        // bits (Level=-1 would be 65535).
        seq->m_wLevel = static_cast<std::uint16_t>(std::clamp(keys.Int("Level", 1), 1, 6));
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
            seq->m_wRestartLockout =
                static_cast<std::uint16_t>(std::clamp(keys.Int("RestartLockout", 0), 0, 0xFFFF));
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
            doc_.SetReadPosition(keys.StopLineEnd());
            rows = true;
        } else {
            ShowWarning("No events found for sequence " + name);
        }
        if (rows && !ReadEventRows(*seq))
            return false;
        // The next options section is looked for after this one, wherever its rows stood.
        if (separateEvents)
            doc_.SetReadPosition(optionsStart);
        doc_.m_poSeqList.push_back(std::move(seq));
    }
    return true;
}

bool ScriptFileReader::ReadEventRows(CSeq& sequence) {
    RowFields row(doc_.FileBufferData(), doc_.FileBufferSize(), doc_.ReadPosition());
    for (;;) {
        // Before the row: '*' marks it commented out; a '[' ends the section (the header stays
        // unread for the next section search), a ';' makes the line a comment.
        bool skip = false;
        if (!row.SkipToRow(skip) || row.Current() == '[')
            break;
        if (row.Current() == ';') {
            row.SkipLine();
            continue;
        }

        std::unique_ptr<CEvnt> event;
        try {
            event = std::make_unique<CEvnt>();
        } catch (const std::bad_alloc&) {
            ShowWarning("Not enough memory to allocate Event ( *pEvent ).  Aborting File "
                        "Construction...");
            doc_.SetReadPosition(row.Position());
            return false;
        }
        CEvnt& e = *event;
        if (skip)
            e.m_strSkip = "*";
        e.m_strTime.clear();
        e.m_strEvent.clear();

        // The fields in their order; a row may end after any of them. A row that begins with
        // a digit has no label.
        std::array<std::string*, 3> words{&e.m_strLabel, &e.m_strTime, &e.m_strEvent};
        std::size_t word = IsDigit(row.Current()) ? 1 : 0;
        Stop stop = row.ReadWord(*words[word]);
        while (stop == Stop::Blank && ++word < words.size()) {
            stop = row.SkipToField();
            if (stop == Stop::Field)
                stop = row.ReadWord(*words[word]);
        }
        std::array<std::string*, 4> data{&e.m_strData1, &e.m_strData2, &e.m_strData3,
                                         &e.m_strData4};
        for (std::size_t n = 0; stop == Stop::Blank && n < data.size(); ++n) {
            stop = row.SkipToField();
            if (stop == Stop::Field)
                stop = row.ReadData(*data[n], n + 1 == data.size());
        }
        if (stop == Stop::Comment)
            row.ReadComment(e.m_strComment);

        try {
            sequence.m_poEventList.push_back(std::move(event));
        } catch (const std::bad_alloc&) {
            ShowWarning("Not enough memory to allocate Event ( *pEvent ).  Aborting File "
                        "Construction...");
            doc_.SetReadPosition(row.Position());
            return false;
        }
    }
    doc_.SetReadPosition(row.Position());
    return true;
}
