// The script source file writer: the file as a whole, the resource sections and the sequence
// sections with their event tables. Every line goes through the document's bounded line writer.
#include "script/script_file.h"
#include "script/vl_doc.h"

#include "platform/paths.h"
#include "script/text_utils.h"
#include "script/time_conversions.h"

#include <algorithm>
#include <cstring>
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

std::string_view TrimmedSlow(std::string_view text) {
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && IsWhite(text[first]))
        ++first;
    while (last > first && IsWhite(text[last - 1]))
        --last;
    return text.substr(first, last - first);
}

// The text without its leading and trailing white space; most texts have none.
std::string_view TrimmedView(std::string_view text) {
    if (text.empty() || (!IsWhite(text.front()) && !IsWhite(text.back())))
        return text;
    return TrimmedSlow(text);
}

std::size_t TrimmedLength(std::string_view text) {
    return TrimmedView(text).size();
}

// Puts `text` at `out` as it stands, or in the name form NormalizeName makes of a trimmed
// text (white space outside double quotes becomes '_'), then `blanks` blanks; answers the end.
char* PutText(char* out, std::string_view text, bool nameForm, std::size_t blanks = 0) {
    if (!nameForm) {
        if (!text.empty())
            std::memcpy(out, text.data(), text.size());
        out += text.size();
    } else {
        bool inQuotes = false;
        for (char c : text) {
            if (c == '"')
                inQuotes = !inQuotes;
            else if (!inQuotes && IsWhite(c))
                c = '_';
            *out++ = c;
        }
    }
    std::memset(out, ' ', blanks);
    return out + blanks;
}

// A line's first text must not read as a section header ('[') or a comment line (';'): such
// leading characters become blanks. The reader drops a '[' inside a label anyway, and a value
// so never ends its sequence or hides its row.
void KeepFirstTextAValue(char* text, std::size_t length) {
    for (char* end = text + length; text < end; ++text) {
        if (*text == '[' || *text == ';')
            *text = ' ';
        else if (*text != ' ' && *text != '\t')
            return;
    }
}

// A string's name as the key of its line: the name form without the leading characters that
// would make the line a header or a comment; `fallback` when nothing is left.
std::string KeyForm(std::string_view name, const std::string& fallback) {
    std::string key = NameForm(name);
    const std::size_t first = key.find_first_not_of("[;");
    if (first == std::string::npos)
        return fallback;
    key.erase(0, first);
    return key;
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

bool ScriptFileWriter::WriteScript(std::uint32_t flags, int first, int last) {
    doc_.SetWriteOk(true);
    if (flags & CVLDoc::kWriteFull) {
        doc_.WriteLine("; KSF Velmora source file, Brevant Inc. ");
        WriteWindowPlacement();
    }
    if (flags & CVLDoc::kWriteUnit) {
        WriteUnitSection(flags);
        if (flags & CVLDoc::kWriteFull) {
            WriteCompilerSection();
            WriteConnectionSection();
        }
        WriteSmpteSection();
    }
    if (flags & CVLDoc::kWriteInputs)
        WriteInputs();
    if (flags & CVLDoc::kWriteOutputs)
        WriteOutputs();
    if (flags & CVLDoc::kWriteFlags)
        WriteFlags();
    if (flags & CVLDoc::kWriteVars)
        WriteVars();
    if (flags & CVLDoc::kWritePorts)
        WritePorts();
    if (flags & CVLDoc::kWriteDataStrings)
        WriteDataStrings();
    if (flags & CVLDoc::kWriteLcdStrings)
        WriteLcdStrings();
    if (flags & CVLDoc::kWriteSequences)
        WriteSequences(first, last, flags);
    doc_.TerminateWriteBuffer();
    return doc_.WriteOk();
}

// ---- [Inputs], [Outputs], [Flags], [Vars] ----

void ScriptFileWriter::WriteResourceNames(const char* sectionName, const char* keyWord,
                                          const char* defaultWord, const CProductResource* entries,
                                          std::size_t count) {
    doc_.WriteLine(std::nullopt);
    doc_.WriteLine("[" + std::string(sectionName) + "]");
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
        doc_.WriteLine(keyWord + TwoDigitText(static_cast<long long>(i + 1)), value);
    }
}

void ScriptFileWriter::WriteInputs() {
    const CProduct* p = doc_.m_pProduct.get();
    WriteResourceNames("Inputs", "Input", "input", p ? p->m_Inputs.data() : nullptr,
                       p ? Count(p->m_Inputs, p->m_wInputs) : 0);
}

void ScriptFileWriter::WriteOutputs() {
    const CProduct* p = doc_.m_pProduct.get();
    WriteResourceNames("Outputs", "Output", "output", p ? p->m_Outputs.data() : nullptr,
                       p ? Count(p->m_Outputs, p->m_wOutputs) : 0);
}

void ScriptFileWriter::WriteFlags() {
    const CProduct* p = doc_.m_pProduct.get();
    WriteResourceNames("Flags", "Flag", "flag", p ? p->m_Flags.data() : nullptr,
                       p ? Count(p->m_Flags, p->m_wFlags) : 0);
}

void ScriptFileWriter::WriteVars() {
    const CProduct* p = doc_.m_pProduct.get();
    WriteResourceNames("Vars", "Var", "var", p ? p->m_Vars.data() : nullptr,
                       p ? Count(p->m_Vars, p->m_wVars) : 0);
}

// ---- [Ports] ----

void ScriptFileWriter::WritePorts() {
    const CProduct* p = doc_.m_pProduct.get();
    const std::size_t count = p ? Count(p->m_Ports, p->m_wPorts) : 0;
    if (count == 0)
        return; // not even the header
    doc_.WriteLine(std::nullopt);
    doc_.WriteLine("[Ports]");

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
        doc_.WriteLine("Port" + TwoDigitText(static_cast<long long>(i)), value);
    }
}

// ---- [DataStrings], [LcdStrings] ----

namespace {

template <typename List> void NameUnnamed(List& list, const char* defaultWord) {
    for (std::size_t i = 0; i < list.size(); ++i)
        if (list[i]->m_strName.empty())
            list[i]->m_strName = defaultWord + std::to_string(i + 1);
}

template <typename List, typename Write>
void WriteStrings(const List& list, const char* defaultWord, Write&& writeLine) {
    std::size_t wName = 0, wData = 0;
    for (const auto& item : list) {
        wName = std::max(wName, item->m_strName.size());
        wData = std::max(wData, item->m_strData.size());
    }
    // The blanks stand between '=' and the data, so that the data texts line up.
    std::size_t number = 0;
    for (const auto& item : list) {
        ++number;
        std::string value;
        Pad(value, wName, item->m_strName.size());
        value += Trimmed(item->m_strData);
        if (!item->m_strComment.empty()) {
            Pad(value, wData, item->m_strData.size());
            value += " ;";
            value += item->m_strComment;
        }
        writeLine(KeyForm(item->m_strName, defaultWord + std::to_string(number)), value);
    }
}

} // namespace

void ScriptFileWriter::WriteDataStrings() {
    doc_.WriteLine(std::nullopt);
    doc_.WriteLine("[DataStrings]");
    if (doc_.m_poDataStrList.empty())
        return;
    NameUnnamed(doc_.m_poDataStrList, "datastring");
    WriteStrings(
        doc_.m_poDataStrList, "datastring",
        [this](const std::string& key, const std::string& value) { doc_.WriteLine(key, value); });
}

void ScriptFileWriter::WriteLcdStrings() {
    doc_.WriteLine(std::nullopt);
    doc_.WriteLine("[LcdStrings]");
    if (doc_.m_poLcdStrList.empty())
        return;
    NameUnnamed(doc_.m_poLcdStrList, "lcdstring");
    WriteStrings(
        doc_.m_poLcdStrList, "lcdstring",
        [this](const std::string& key, const std::string& value) { doc_.WriteLine(key, value); });
}

// ---- Sequences ----

void ScriptFileWriter::WriteBanner(std::string_view text, std::uint32_t flags) {
    if (!(flags & CVLDoc::kWriteFull)) {
        doc_.WriteLine(std::nullopt);
        doc_.WriteLine("[" + std::string(text) + "]");
        return;
    }
    const std::size_t n = text.size();
    const std::string stars = "; " + std::string(n + 4, '*');
    const std::string blanks = "; * " + std::string(n, ' ') + " *";
    doc_.WriteLine(std::nullopt);
    doc_.WriteLine(stars);
    doc_.WriteLine(blanks);
    doc_.WriteLine("; * " + std::string(text) + " *");
    doc_.WriteLine(blanks);
    doc_.WriteLine(stars);
    doc_.WriteLine(std::nullopt);
}

void ScriptFileWriter::WriteSequences(int first, int last, std::uint32_t flags) {
    if (first < 1 || last > static_cast<int>(doc_.m_poSeqList.size()))
        return;
    const bool full = (flags & CVLDoc::kWriteFull) != 0;
    auto enabled = [this](const char* key, std::int32_t on) {
        if (on)
            doc_.WriteLine(key, "Enabled");
    };
    static constexpr std::array<const char*, 4> kTriggerKeys{"StartTrigger", "StopTrigger",
                                                             "PauseTrigger", "ResetTrigger"};

    for (int number = first; number <= last; ++number) {
        CSeq& seq = *doc_.m_poSeqList[static_cast<std::size_t>(number - 1)];
        if (doc_.m_nWriteHeaders)
            WriteBanner("Sequence " + std::to_string(number) + ":  " + seq.m_strName, flags);
        else
            doc_.WriteLine(std::nullopt);

        if (full) {
            doc_.WriteLine("[Sequence: " + NameForm(seq.m_strName) + "]");
            if (std::none_of(seq.m_anWindowPos.begin(), seq.m_anWindowPos.end(),
                             [](std::int32_t v) { return v == -1; }))
                doc_.WriteLine("EventsWindowPosition",
                               std::to_string(seq.m_anWindowPos[0]) + ", " +
                                   std::to_string(seq.m_anWindowPos[1]) + ", " +
                                   std::to_string(seq.m_anWindowPos[2]) + ", " +
                                   std::to_string(seq.m_anWindowPos[3]));
            if (seq.m_nMaximized)
                doc_.WriteLine("EventsWindowMaximized", "TRUE");
            if (seq.m_nMinimized)
                doc_.WriteLine("EventsWindowMinimized", "TRUE");
            std::string widths;
            for (std::size_t i = 0; i < seq.m_awEventColWidths.size(); ++i) {
                if (i)
                    widths += ", ";
                widths += std::to_string(seq.m_awEventColWidths[i]);
            }
            doc_.WriteLine("EventColWidths", widths);
        }
        if (!seq.m_strDescription.empty())
            doc_.WriteLine("Description", seq.m_strDescription);
        if (full && seq.m_wLevel != 1)
            doc_.WriteIntLine("Level", seq.m_wLevel);
        enabled("AutoStart", seq.m_nAutoStart);
        enabled("Looping", seq.m_nLooping);
        enabled("FreezeWhileWaiting", seq.m_nFreezeWhileWaiting);
        enabled("Restart", seq.m_nRestart);
        if (seq.m_wRestartLockout != 0)
            doc_.WriteIntLine("RestartLockout", seq.m_wRestartLockout);
        if (seq.m_nSmpteStartOn)
            doc_.WriteLine("SmpteStartTrigger", TimeText(seq.m_anSmpteStart));
        if (seq.m_nChaseOn) {
            doc_.WriteLine("TimecodeChaseStart", TimeText(seq.m_anChaseStart));
            doc_.WriteLine("ChaseMode", seq.m_nChaseMode ? "JamSync" : "RunOnce");
        }
        for (std::size_t t = 0; t < kTriggerKeys.size(); ++t)
            if (seq.m_aTriggers[t].IsSet())
                doc_.WriteLine(kTriggerKeys[t], TriggerText(seq.m_aTriggers[t]));
        if (full)
            doc_.WriteLine("Events", "Standard");
        doc_.WriteLine(std::nullopt);
        WriteEventTable(seq, flags);
    }
}

void ScriptFileWriter::WriteEventTable(CSeq& sequence, std::uint32_t flags) {
    // Each column one wider than its longest text, so every text is followed by at least
    // one blank: a row is as long as its trimmed texts and the column widths, less the
    // lengths its blanks go by. The counting pass (no buffer) sums that up in this one walk
    // over the events and makes no rows.
    const bool counting = doc_.m_Writer.Capacity() == 0;
    std::size_t wLabel = 0, wEvent = 0, w1 = 0, w2 = 0, w3 = 0, w4 = 0;
    std::size_t texts = 0;
    std::size_t lengths = 0;
    for (const auto& event : sequence.m_poEventList) {
        const CEvnt& e = *event;
        wLabel = std::max(wLabel, e.m_strLabel.size());
        wEvent = std::max(wEvent, e.m_strEvent.size());
        w1 = std::max(w1, e.m_strData1.size());
        w2 = std::max(w2, e.m_strData2.size());
        w3 = std::max(w3, e.m_strData3.size());
        w4 = std::max(w4, TrimmedLength(e.m_strData4));
        if (counting) {
            // The skip mark, the blank after the time and the line end; Data4 and its blanks
            // fill its column exactly.
            texts += 1 + TrimmedLength(e.m_strLabel) + e.m_strTime.size() + 1 +
                     TrimmedLength(e.m_strEvent) + TrimmedLength(e.m_strData1) +
                     TrimmedLength(e.m_strData2) + TrimmedLength(e.m_strData3) + 2;
            if (!e.m_strComment.empty())
                texts += 1 + e.m_strComment.size();
            lengths += e.m_strLabel.size() + e.m_strEvent.size() + e.m_strData1.size() +
                       e.m_strData2.size() + e.m_strData3.size();
        }
    }
    ++wLabel, ++wEvent, ++w1, ++w2, ++w3, ++w4;

    if (doc_.m_nWriteHeaders) {
        std::string heading = ";";
        HeadingColumn(heading, wLabel, "Label");
        heading += "Time     ";
        HeadingColumn(heading, wEvent, "Event");
        HeadingColumn(heading, w1, "Data1");
        HeadingColumn(heading, w2, "Data2");
        HeadingColumn(heading, w3, "Data3");
        HeadingColumn(heading, w4, "Data4");
        heading += "Comment";
        doc_.WriteLine(heading);
        if (flags & CVLDoc::kWriteFull) {
            std::string rule = ";";
            RuleColumn(rule, wLabel);
            rule += "-------- ";
            RuleColumn(rule, wEvent);
            RuleColumn(rule, w1);
            RuleColumn(rule, w2);
            RuleColumn(rule, w3);
            rule.append(w4 - 1, '-');
            rule += " -------";
            doc_.WriteLine(rule);
        }
    }

    if (counting) {
        // The rows counted as one line of their total length: the pass copies nothing.
        const std::size_t rows = sequence.m_poEventList.size();
        if (rows != 0)
            doc_.m_Writer.ClaimLine(texts + rows * (wLabel + wEvent + w1 + w2 + w3 + w4) - lengths);
        return;
    }

    // Each row is measured first and then put straight into the write buffer: the table is
    // the bulk of the file. A field's form is as long as its trimmed text; the blanks that
    // fill a column go by the text's own length.
    auto fill = [](std::size_t width, std::size_t length) {
        return width > length ? width - length : 0;
    };
    for (const auto& event : sequence.m_poEventList) {
        const CEvnt& e = *event;
        const std::string_view label = TrimmedView(e.m_strLabel);
        const std::string_view name = TrimmedView(e.m_strEvent);
        const std::string_view data1 = TrimmedView(e.m_strData1);
        const std::string_view data2 = TrimmedView(e.m_strData2);
        const std::string_view data3 = TrimmedView(e.m_strData3);
        const std::string_view data4 = TrimmedView(e.m_strData4);
        const std::size_t bLabel = fill(wLabel, e.m_strLabel.size());
        const std::size_t bEvent = fill(wEvent, e.m_strEvent.size());
        const std::size_t b1 = fill(w1, e.m_strData1.size());
        const std::size_t b2 = fill(w2, e.m_strData2.size());
        const std::size_t b3 = fill(w3, e.m_strData3.size());
        const std::size_t b4 = fill(w4, data4.size());
        std::size_t length = 1 + label.size() + bLabel + e.m_strTime.size() + 1 + name.size() +
                             bEvent + data1.size() + b1 + data2.size() + b2 + data3.size() + b3 +
                             data4.size() + b4 + 2;
        if (!e.m_strComment.empty())
            length += 1 + e.m_strComment.size();

        char* out = doc_.m_Writer.ClaimLine(length);
        if (!out)
            continue;
        char* const row = out;
        *out++ = e.m_strSkip.empty() ? ' ' : '*';
        out = PutText(out, label, true, bLabel);
        out = PutText(out, e.m_strTime, false, 1);
        out = PutText(out, name, true, bEvent);
        out = PutText(out, data1, true, b1);
        out = PutText(out, data2, true, b2);
        out = PutText(out, data3, true, b3);
        out = PutText(out, data4, false, b4);
        KeepFirstTextAValue(row + 1, static_cast<std::size_t>(out - row - 1));
        if (!e.m_strComment.empty()) {
            *out++ = ';';
            out = PutText(out, e.m_strComment, false);
        }
        LineWriter::KeepOnOneLine(row, static_cast<std::size_t>(out - row));
        out[0] = '\r';
        out[1] = '\n';
    }
}
