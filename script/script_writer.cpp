// The script source file writer: the file as a whole, the resource sections and the sequence
// sections with their event tables. Every line goes through the document's bounded line writer.
#include "script/vl_doc.h"

#include "platform/paths.h"
#include "script/text_utils.h"
#include "script/time_conversions.h"

#include <algorithm>
#include <string>

namespace {

std::string NameForm(std::string_view text) {
    return NormalizeName(text, true);
}
std::string Trimmed(std::string_view text) {
    return NormalizeName(text, false);
}

// The white space that NormalizeName trims and converts.
inline bool IsWhite(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Appends the name form (with convertBlanks) or the trimmed form of `text`, as NormalizeName
// makes them, without a text of its own: the event table calls this for every field.
void AppendForm(std::string& out, std::string_view text, bool convertBlanks) {
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && IsWhite(text[first]))
        ++first;
    while (last > first && IsWhite(text[last - 1]))
        --last;
    const std::size_t at = out.size();
    out.append(text.substr(first, last - first));
    if (!convertBlanks)
        return;
    bool inQuotes = false;
    for (std::size_t i = at; i < out.size(); ++i) {
        char& c = out[i];
        if (c == '"')
            inQuotes = !inQuotes;
        else if (!inQuotes && IsWhite(c))
            c = '_';
    }
}

std::size_t TrimmedLength(std::string_view text) {
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && IsWhite(text[first]))
        ++first;
    while (last > first && IsWhite(text[last - 1]))
        --last;
    return last - first;
}

// Fills a column: `width` minus `length` blanks (none when the text fills the column).
void Pad(std::string& line, std::size_t width, std::size_t length) {
    if (width > length)
        line.append(width - length, ' ');
}

std::string TimeText(const std::array<std::int32_t, 4>& time) {
    return TwoDigitText(time[0]) + ':' + TwoDigitText(time[1]) + ':' + TwoDigitText(time[2]) + '.' +
           TwoDigitText(time[3]);
}

std::string TriggerText(const CTrigger& trigger) {
    static constexpr std::array<const char*, 6> kComparisons{" EQ ", " NE ", " GT ",
                                                             " LT ", " GE ", " LE "};
    std::string text;
    if (!trigger.m_strIoName.empty()) {
        text += NameForm(trigger.m_strIoName);
        text += trigger.m_nGoesOn ? " GOES ON" : " GOES OFF";
        if (!trigger.m_strVariable.empty()) {
            if (trigger.m_wCombine == CTrigger::And)
                text += ", AND ";
            else if (trigger.m_wCombine == CTrigger::Or)
                text += ", OR ";
        }
    }
    if (!trigger.m_strVariable.empty()) {
        text += NameForm(trigger.m_strVariable);
        if (trigger.m_wComparison < kComparisons.size())
            text += kComparisons[trigger.m_wComparison];
        text += NameForm(trigger.m_strValue);
    }
    return text;
}

// A heading column: the word and the blanks that fill the column, or only blanks when the
// column is narrower than six characters.
void HeadingColumn(std::string& line, std::size_t width, const char* word) {
    if (width >= 6) {
        line += word;
        line.append(width - 5, ' ');
    } else {
        line.append(width, ' ');
    }
}

void RuleColumn(std::string& line, std::size_t width) {
    line.append(width - 1, '-');
    line += ' ';
}

template <typename Array> std::size_t Count(const Array& entries, std::uint16_t count) {
    return std::min<std::size_t>(count, entries.size());
}

} // namespace

bool CVLDoc::WriteScript(std::uint32_t flags, int first, int last) {
    SetWriteOk(true);
    if (flags & kWriteFull) {
        WriteLine("; KSF Velmora source file, Brevant Inc. ");
        WriteWindowPlacement();
    }
    if (flags & kWriteUnit) {
        WriteUnitSection(flags);
        if (flags & kWriteFull) {
            WriteCompilerSection();
            WriteConnectionSection();
        }
        WriteSmpteSection();
    }
    if (flags & kWriteInputs)
        WriteInputs();
    if (flags & kWriteOutputs)
        WriteOutputs();
    if (flags & kWriteFlags)
        WriteFlags();
    if (flags & kWriteVars)
        WriteVars();
    if (flags & kWritePorts)
        WritePorts();
    if (flags & kWriteDataStrings)
        WriteDataStrings();
    if (flags & kWriteLcdStrings)
        WriteLcdStrings();
    if (flags & kWriteSequences)
        WriteSequences(first, last, flags);
    TerminateWriteBuffer();
    return WriteOk();
}

// ---- [Inputs], [Outputs], [Flags], [Vars] ----

void CVLDoc::WriteResourceNames(const char* sectionName, const char* keyWord,
                                const char* defaultWord, const CProductResource* entries,
                                std::size_t count) {
    WriteLine("\r\n[" + std::string(sectionName) + "]");
    if (count == 0)
        return;
    auto isDefault = [&](std::size_t i) {
        return entries[i].m_strComment.empty() &&
               entries[i].m_strName == defaultWord + std::to_string(i + 1);
    };
    std::size_t width = 0;
    for (std::size_t i = 0; i < count; ++i)
        if (!isDefault(i))
            width = std::max(width, entries[i].m_strName.size());
    for (std::size_t i = 0; i < count; ++i) {
        if (isDefault(i))
            continue;
        const CProductResource& entry = entries[i];
        std::string value = NameForm(entry.m_strName);
        if (!entry.m_strComment.empty()) {
            Pad(value, width, entry.m_strName.size());
            value += " ;";
            value += entry.m_strComment;
        }
        WriteLine(keyWord + TwoDigitText(static_cast<long long>(i + 1)), value);
    }
}

void CVLDoc::WriteInputs() {
    const CProduct* p = m_pProduct.get();
    WriteResourceNames("Inputs", "Input", "input", p ? p->m_Inputs.data() : nullptr,
                       p ? Count(p->m_Inputs, p->m_wInputs) : 0);
}

void CVLDoc::WriteOutputs() {
    const CProduct* p = m_pProduct.get();
    WriteResourceNames("Outputs", "Output", "output", p ? p->m_Outputs.data() : nullptr,
                       p ? Count(p->m_Outputs, p->m_wOutputs) : 0);
}

void CVLDoc::WriteFlags() {
    const CProduct* p = m_pProduct.get();
    WriteResourceNames("Flags", "Flag", "flag", p ? p->m_Flags.data() : nullptr,
                       p ? Count(p->m_Flags, p->m_wFlags) : 0);
}

void CVLDoc::WriteVars() {
    const CProduct* p = m_pProduct.get();
    WriteResourceNames("Vars", "Var", "var", p ? p->m_Vars.data() : nullptr,
                       p ? Count(p->m_Vars, p->m_wVars) : 0);
}

// ---- [Ports] ----

void CVLDoc::WritePorts() {
    const CProduct* p = m_pProduct.get();
    const std::size_t count = p ? Count(p->m_Ports, p->m_wPorts) : 0;
    if (count == 0)
        return; // not even the header
    WriteLine("\r\n[Ports]");

    std::size_t wName = 0, wBaud = 0, wProtocol = 0, wError = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const CProductPort& port = p->m_Ports[i];
        wName = std::max(wName, port.m_strName.size());
        wBaud = std::max(wBaud, port.m_strBaudRate.size());
        wProtocol = std::max(wProtocol, port.m_strProtocol.size());
        wError = std::max(wError, port.m_strErrorSequence.size());
    }
    auto orBlank = [](const std::string& text) { return text.empty() ? std::string(" ") : text; };

    for (std::size_t i = 0; i < count; ++i) {
        const CProductPort& port = p->m_Ports[i];
        std::string value = NameForm(port.m_strName);
        Pad(value, wName, port.m_strName.size());
        value += ',';
        value += port.m_strBaudRate;
        Pad(value, wBaud, port.m_strBaudRate.size());
        value += ',';
        value += orBlank(port.m_strParity);
        value += ',';
        value += orBlank(port.m_strDataBits);
        value += ',';
        if (platform::EqualsNoCase(port.m_strInterface, "Serial"))
            value += orBlank(port.m_strStopBits);
        else if (platform::EqualsNoCase(port.m_strInterface, "SCSI"))
            value += orBlank(port.m_strScsiAddress);
        value += ',';
        value += NameForm(port.m_strProtocol);
        Pad(value, wProtocol, port.m_strProtocol.size());
        if (!port.m_strErrorSequence.empty()) {
            value += ',';
            value += NameForm(port.m_strErrorSequence);
            Pad(value, wError + 1, port.m_strErrorSequence.size());
        }
        if (!port.m_strComment.empty()) {
            if (port.m_strErrorSequence.empty())
                value.append(wError == 0 ? 1 : wError + 2, ' ');
            value += ';';
            value += port.m_strComment;
        }
        WriteLine("Port" + TwoDigitText(static_cast<long long>(i)), value);
    }
}

// ---- [DataStrings], [LcdStrings] ----

namespace {

template <typename List> void NameUnnamed(List& list, const char* defaultWord) {
    for (std::size_t i = 0; i < list.size(); ++i)
        if (list[i]->m_strName.empty())
            list[i]->m_strName = defaultWord + std::to_string(i + 1);
}

template <typename List, typename Write> void WriteStrings(const List& list, Write&& writeLine) {
    std::size_t wName = 0, wData = 0;
    for (const auto& item : list) {
        wName = std::max(wName, item->m_strName.size());
        wData = std::max(wData, item->m_strData.size());
    }
    // The blanks stand between '=' and the data, so that the data texts line up.
    for (const auto& item : list) {
        std::string value;
        Pad(value, wName, item->m_strName.size());
        value += Trimmed(item->m_strData);
        if (!item->m_strComment.empty()) {
            Pad(value, wData, item->m_strData.size());
            value += " ;";
            value += item->m_strComment;
        }
        writeLine(NameForm(item->m_strName), value);
    }
}

} // namespace

void CVLDoc::WriteDataStrings() {
    WriteLine("\r\n[DataStrings]");
    if (m_poDataStrList.empty())
        return;
    NameUnnamed(m_poDataStrList, "datastring");
    WriteStrings(m_poDataStrList, [this](const std::string& key, const std::string& value) {
        WriteLine(key, value);
    });
}

void CVLDoc::WriteLcdStrings() {
    WriteLine("\r\n[LcdStrings]");
    if (m_poLcdStrList.empty())
        return;
    NameUnnamed(m_poLcdStrList, "lcdstring");
    WriteStrings(m_poLcdStrList, [this](const std::string& key, const std::string& value) {
        WriteLine(key, value);
    });
}

// ---- Sequences ----

void CVLDoc::WriteBanner(std::string_view text, std::uint32_t flags) {
    if (!(flags & kWriteFull)) {
        WriteLine(std::nullopt);
        WriteLine("[" + std::string(text) + "]");
        return;
    }
    const std::size_t n = text.size();
    const std::string stars = "; " + std::string(n + 4, '*');
    const std::string blanks = "; * " + std::string(n, ' ') + " *";
    WriteLine(std::nullopt);
    WriteLine(stars);
    WriteLine(blanks);
    WriteLine("; * " + std::string(text) + " *");
    WriteLine(blanks);
    WriteLine(stars);
    WriteLine(std::nullopt);
}

void CVLDoc::WriteSequences(int first, int last, std::uint32_t flags) {
    if (first < 1 || last > static_cast<int>(m_poSeqList.size()))
        return;
    const bool full = (flags & kWriteFull) != 0;
    auto enabled = [this](const char* key, std::int32_t on) {
        if (on)
            WriteLine(key, "Enabled");
    };
    static constexpr std::array<const char*, 4> kTriggerKeys{"StartTrigger", "StopTrigger",
                                                             "PauseTrigger", "ResetTrigger"};

    for (int number = first; number <= last; ++number) {
        CSeq& seq = *m_poSeqList[static_cast<std::size_t>(number - 1)];
        if (m_nWriteHeaders)
            WriteBanner("Sequence " + std::to_string(number) + ":  " + seq.m_strName, flags);
        else
            WriteLine(std::nullopt);

        if (full) {
            WriteLine("[Sequence: " + NameForm(seq.m_strName) + "]");
            if (std::none_of(seq.m_anWindowPos.begin(), seq.m_anWindowPos.end(),
                             [](std::int32_t v) { return v == -1; }))
                WriteLine("EventsWindowPosition", std::to_string(seq.m_anWindowPos[0]) + ", " +
                                                      std::to_string(seq.m_anWindowPos[1]) + ", " +
                                                      std::to_string(seq.m_anWindowPos[2]) + ", " +
                                                      std::to_string(seq.m_anWindowPos[3]));
            if (seq.m_nMaximized)
                WriteLine("EventsWindowMaximized", "TRUE");
            if (seq.m_nMinimized)
                WriteLine("EventsWindowMinimized", "TRUE");
            std::string widths;
            for (std::size_t i = 0; i < seq.m_awEventColWidths.size(); ++i) {
                if (i)
                    widths += ", ";
                widths += std::to_string(seq.m_awEventColWidths[i]);
            }
            WriteLine("EventColWidths", widths);
        }
        if (!seq.m_strDescription.empty())
            WriteLine("Description", seq.m_strDescription);
        if (full && seq.m_wLevel != 1)
            WriteIntLine("Level", seq.m_wLevel);
        enabled("AutoStart", seq.m_nAutoStart);
        enabled("Looping", seq.m_nLooping);
        enabled("FreezeWhileWaiting", seq.m_nFreezeWhileWaiting);
        enabled("Restart", seq.m_nRestart);
        if (seq.m_wRestartLockout != 0)
            WriteIntLine("RestartLockout", seq.m_wRestartLockout);
        if (seq.m_nSmpteStartOn)
            WriteLine("SmpteStartTrigger", TimeText(seq.m_anSmpteStart));
        if (seq.m_nChaseOn) {
            WriteLine("TimecodeChaseStart", TimeText(seq.m_anChaseStart));
            WriteLine("ChaseMode", seq.m_nChaseMode ? "JamSync" : "RunOnce");
        }
        for (std::size_t t = 0; t < kTriggerKeys.size(); ++t)
            if (seq.m_aTriggers[t].IsSet())
                WriteLine(kTriggerKeys[t], TriggerText(seq.m_aTriggers[t]));
        if (full)
            WriteLine("Events", "Standard");
        WriteLine(std::nullopt);
        WriteEventTable(seq, flags);
    }
}

void CVLDoc::WriteEventTable(CSeq& sequence, std::uint32_t flags) {
    // Each column one wider than its longest text.
    std::size_t wLabel = 0, wEvent = 0, w1 = 0, w2 = 0, w3 = 0, w4 = 0;
    for (const auto& event : sequence.m_poEventList) {
        wLabel = std::max(wLabel, event->m_strLabel.size());
        wEvent = std::max(wEvent, event->m_strEvent.size());
        w1 = std::max(w1, event->m_strData1.size());
        w2 = std::max(w2, event->m_strData2.size());
        w3 = std::max(w3, event->m_strData3.size());
        w4 = std::max(w4, TrimmedLength(event->m_strData4));
    }
    ++wLabel, ++wEvent, ++w1, ++w2, ++w3, ++w4;

    if (m_nWriteHeaders) {
        std::string heading = ";";
        HeadingColumn(heading, wLabel, "Label");
        heading += "Time     ";
        HeadingColumn(heading, wEvent, "Event");
        HeadingColumn(heading, w1, "Data1");
        HeadingColumn(heading, w2, "Data2");
        HeadingColumn(heading, w3, "Data3");
        HeadingColumn(heading, w4, "Data4");
        heading += "Comment";
        WriteLine(heading);
        if (flags & kWriteFull) {
            std::string rule = ";";
            RuleColumn(rule, wLabel);
            rule += "-------- ";
            RuleColumn(rule, wEvent);
            RuleColumn(rule, w1);
            RuleColumn(rule, w2);
            RuleColumn(rule, w3);
            rule.append(w4 - 1, '-');
            rule += " -------";
            WriteLine(rule);
        }
    }

    std::string row;
    for (const auto& event : sequence.m_poEventList) {
        const CEvnt& e = *event;
        row.clear();
        row += e.m_strSkip.empty() ? ' ' : '*';
        AppendForm(row, e.m_strLabel, true);
        Pad(row, wLabel, e.m_strLabel.size());
        row += e.m_strTime;
        row += ' ';
        AppendForm(row, e.m_strEvent, true);
        Pad(row, wEvent, e.m_strEvent.size());
        AppendForm(row, e.m_strData1, true);
        Pad(row, w1, e.m_strData1.size());
        AppendForm(row, e.m_strData2, true);
        Pad(row, w2, e.m_strData2.size());
        AppendForm(row, e.m_strData3, true);
        Pad(row, w3, e.m_strData3.size());
        const std::size_t data4 = TrimmedLength(e.m_strData4);
        AppendForm(row, e.m_strData4, false);
        Pad(row, w4, data4);
        if (!e.m_strComment.empty()) {
            row += ';';
            row += e.m_strComment;
        }
        WriteLine(row);
    }
}
