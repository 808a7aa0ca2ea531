// The script source file reader: the top level and the resource sections ([Inputs], [Outputs],
// [Flags], [Vars], [Ports], [DataStrings], [LcdStrings]).
#include "script/vl_doc.h"

#include "platform/paths.h"
#include "platform/ui_services.h"
#include "script/key_line_index.h"
#include "script/protocol_list.h"
#include "script/text_utils.h"
#include "script/time_conversions.h"

#include <algorithm>
#include <charconv>
#include <new>
#include <string>

namespace {

using platform::EqualsNoCase;
using platform::MsgButtons;
using platform::MsgIcon;
using platform::ShowMessage;

void ShowWarning(const std::string& text) {
    ShowMessage(text, MsgButtons::Ok, MsgIcon::Exclamation);
}

// "%2.2f" without the C locale's decimal separator.
std::string TwoDecimals(double value) {
    char text[400];
    auto [end, ec] = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 2);
    if (ec != std::errc())
        return "0.00";
    return std::string(text, end);
}

template <typename Array> std::size_t Count(const Array& entries, std::uint16_t count) {
    return std::min<std::size_t>(count, entries.size());
}

} // namespace

bool CVLDoc::ReadScript(const std::string& path) {
    SetReadPosition(0);
    m_nReaderLine = 0;

    if (!FindSection("Unit", false)) {
        ShowWarning("Error Reading " + path +
                    ".\nFailed to find [Unit] Section.\nFile must not be a Velmora KSF file.\n");
        return false;
    }
    m_strFileFormat = ReadKey("FileFormat", "");
    m_strFileFormatType = ReadKey("FileFormatType", "Ascii");
    const double format = ReadDoubleKey("FileFormat", 0.0);
    if (format == 1.0) {
        if (!ReadWindowPlacementSection())
            return false;
    } else if (format > 1.0) {
        ShowWarning("Warning Reading " + path + ".\n[Unit] FileFormat=" + TwoDecimals(format) +
                    ".\nFile Format is newer than this version of Velmora.\nClick OK to attempt "
                    "to read anyway.\n");
        SetStatusProgress("Reading Resources...", 10);
    } else {
        ShowWarning("Error Reading " + path + ".\n[Unit] FileFormat=" + TwoDecimals(format) +
                    ", which is an unknown file format\n");
        return false;
    }

    const bool read = ReadUnitSection(path) && ReadCompilerSection() && ReadConnectionSection() &&
                      KsfReadSmpte100() && ReadInputs(path) && ReadOutputs(path) &&
                      ReadFlags(path) && ReadVars(path) && ReadPorts(path) &&
                      ReadDataStrings(path) && ReadLcdStrings(path) && ReadSequences(path);
    if (!read)
        return false;
    SetStatusProgress(std::string(), -1);
    return true;
}

// ---- [Inputs], [Outputs], [Flags], [Vars] ----

bool CVLDoc::ReadResourceNames(const char* sectionName, const char* keyWord, const char* statusText,
                               const char* missingText, CProductResource* entries,
                               std::size_t count, const std::string& path) {
    SetStatusProgress(statusText, -1);
    if (!FindSection(sectionName, false)) {
        ShowWarning("Warning Reading " + path + ".\n" + missingText);
        return true;
    }
    // One pass over the section for all its keys. A line holding only a comment counts, so
    // that an entry without a name keeps its comment.
    KeyLineIndex keys;
    keys.Scan(std::string_view(FileBufferData(), FileBufferSize()), ReadPosition(),
              {.stopKey = {}, .commentOnlyValues = true});
    for (std::size_t i = 0; i < count; ++i) {
        CProductResource& entry = entries[i];
        if (const std::string* text =
                keys.Find(keyWord + TwoDigitText(static_cast<long long>(i + 1)))) {
            const std::size_t semicolon = text->find(';');
            if (semicolon == std::string::npos) {
                entry.m_strName = *text;
                entry.m_strComment.clear();
            } else {
                entry.m_strName = text->substr(0, semicolon);
                entry.m_strComment = text->substr(semicolon + 1);
            }
        }
        entry.m_strName = NormalizeName(entry.m_strName, true);
    }
    return true;
}

bool CVLDoc::ReadInputs(const std::string& path) {
    CProduct* p = m_pProduct.get();
    return ReadResourceNames("Inputs", "Input", "Reading KSF File:  Loading Inputs",
                             "Failed to find [Inputs] Section.\nInputs will be set to defaults\n",
                             p ? p->m_Inputs.data() : nullptr,
                             p ? Count(p->m_Inputs, p->m_wInputs) : 0, path);
}

bool CVLDoc::ReadOutputs(const std::string& path) {
    CProduct* p = m_pProduct.get();
    return ReadResourceNames("Outputs", "Output", "Reading KSF File:  Loading Outputs",
                             "Failed to find [Outputs] Section.\nOutputs will be set to defaults\n",
                             p ? p->m_Outputs.data() : nullptr,
                             p ? Count(p->m_Outputs, p->m_wOutputs) : 0, path);
}

bool CVLDoc::ReadFlags(const std::string& path) {
    CProduct* p = m_pProduct.get();
    return ReadResourceNames("Flags", "Flag", "Reading KSF File:  Loading Flags",
                             "Failed to find [Flags] Section.\nFlags will be set to defaults\n",
                             p ? p->m_Flags.data() : nullptr,
                             p ? Count(p->m_Flags, p->m_wFlags) : 0, path);
}

bool CVLDoc::ReadVars(const std::string& path) {
    CProduct* p = m_pProduct.get();
    return ReadResourceNames("Vars", "Var", "Reading KSF File:  Loading Variables",
                             "Failed to find [Vars] Section.\nVariables will be set to defaults\n",
                             p ? p->m_Vars.data() : nullptr, p ? Count(p->m_Vars, p->m_wVars) : 0,
                             path);
}

// ---- [Ports] ----

bool CVLDoc::ReadPorts(const std::string& path) {
    SetStatusProgress("Reading KSF File:  Loading Ports", -1);
    if (!FindSection("Ports", false)) {
        ShowWarning("Warning Reading " + path +
                    ".\nFailed to find [Ports] Section.\nPorts will be set to defaults\n");
        return true;
    }
    CProduct* p = m_pProduct.get();
    const std::size_t count = p ? Count(p->m_Ports, p->m_wPorts) : 0;
    KeyLineIndex keys;
    keys.Scan(std::string_view(FileBufferData(), FileBufferSize()), ReadPosition(), {});

    enum Field { Name, Baud, Parity, DataBits, Fifth, Protocol, ErrorSequence, Comment, kFields };
    for (std::size_t i = 0; i < count; ++i) {
        const std::string* text = keys.Find("Port" + TwoDigitText(static_cast<long long>(i)));
        if (!text)
            continue; // the port stays as the product defines it
        std::array<std::string, kFields> fields;
        int field = Name;
        for (char c : *text) {
            if (c == ',' && field < ErrorSequence) {
                ++field;
            } else if (c == ';' && (field == Protocol || field == ErrorSequence)) {
                field = Comment;
            } else {
                fields[static_cast<std::size_t>(field)] += c;
            }
        }

        CProductPort& port = p->m_Ports[i];
        port.m_strName = NormalizeName(fields[Name], true);
        port.m_strBaudRate = NormalizeName(fields[Baud], true);
        port.m_strParity = NormalizeName(fields[Parity], true);
        port.m_strDataBits = NormalizeName(fields[DataBits], true);
        port.m_strStopBits = NormalizeName(fields[Fifth], true);
        port.m_strProtocol = NormalizeName(fields[Protocol], true);
        port.m_strErrorSequence = NormalizeName(fields[ErrorSequence], true);
        port.m_strComment = fields[Comment];

        // The writer puts a SCSI port's address in the fifth field whatever its protocol, so
        // the port's own interface decides first; a SCSI protocol on another port does too.
        bool scsi = EqualsNoCase(port.m_strInterface, "SCSI");
        CProtocol* protocol = nullptr;
        if (Services().Protocols().FindProtocol(port.m_strProtocol, protocol, false)) {
            protocol->LoadCommands();
            scsi = scsi || EqualsNoCase(protocol->m_strInterface, "SCSI");
        }
        if (scsi) {
            port.m_strScsiAddress = std::move(port.m_strStopBits);
            port.m_strStopBits.clear();
        }
    }
    return true;
}

// ---- [DataStrings], [LcdStrings] ----

CVLDoc::StringLineState CVLDoc::AddDataString() {
    try {
        m_poDataStrList.push_back(std::make_unique<CDataStr>(
            NormalizeName(m_strLineName, true), NormalizeName(m_strLineData, false),
            NormalizeName(m_strLineComment, false)));
    } catch (const std::bad_alloc&) {
        ShowWarning("Not enough memory to allocate Data String ( *pDataStr ).  Aborting File "
                    "Construction...");
        return StringLineState::Error;
    }
    return StringLineState::LineStart;
}

CVLDoc::StringLineState CVLDoc::AddLcdString() {
    try {
        m_poLcdStrList.push_back(std::make_unique<CLcdStr>(NormalizeName(m_strLineName, true),
                                                           NormalizeName(m_strLineData, false),
                                                           NormalizeName(m_strLineComment, false)));
    } catch (const std::bad_alloc&) {
        ShowWarning("Not enough memory to allocate LCD String ( *pLcdStr ).  Aborting File "
                    "Construction...");
        return StringLineState::Error;
    }
    return StringLineState::LineStart;
}

bool CVLDoc::ReadStringLines(bool lcdStrings) {
    using S = StringLineState;
    const char* const text = FileBufferData();
    const std::size_t size = FileBufferSize();
    std::size_t pos = ReadPosition();
    S state = S::LineStart;
    auto add = [&]() { return lcdStrings ? AddLcdString() : AddDataString(); };

    for (; pos < size && state != S::End && state != S::Error; ++pos) {
        char c = text[pos];
        const char previous = pos > 0 ? text[pos - 1] : '\n';
        // A line feed that follows no carriage return ends its line as CR would.
        if (c == '\n' && previous != '\r')
            c = '\r';
        switch (state) {
        case S::LineStart:
            if (c == ' ' || c == '\t' || c == '\n' || c == '\r')
                break;
            if (c == ';') {
                state = S::SkipLine;
            } else if (c == '[' && (previous == '\r' || previous == '\n')) {
                state = S::End;
                --pos; // the header stays unread
            } else {
                m_strLineName.assign(1, c);
                m_strLineData.clear();
                m_strLineComment.clear();
                state = S::Name;
            }
            break;
        case S::Name:
            if (c == '\r')
                state = S::LineStart; // no '=': the line is dropped
            else if (c == '=')
                state = S::BeforeData;
            else
                m_strLineName += c;
            break;
        case S::BeforeData:
            if (c == ' ' || c == '\t' || c == '\n') {
            } else if (c == '\r') {
                state = S::LineStart; // no data: dropped
            } else if (c == ';') {
                state = S::SkipLine; // only a comment: dropped
            } else {
                m_bLineQuoted = c == '"';
                m_strLineData.assign(1, c);
                state = S::Data;
            }
            break;
        case S::Data:
            if (c == '\r') {
                m_strLineComment.clear();
                state = add();
            } else if (c == ';' && !m_bLineQuoted) {
                m_strLineComment.clear();
                state = S::Comment;
            } else {
                if (c == '"')
                    m_bLineQuoted = !m_bLineQuoted;
                m_strLineData += c;
            }
            break;
        case S::Comment:
            if (c == '\r')
                state = add();
            else
                m_strLineComment += c;
            break;
        case S::SkipLine:
            if (c == '\r')
                state = S::LineStart;
            break;
        case S::End:
        case S::Error:
            break;
        }
    }
    // The end of the buffer ends a last line that has no line end.
    if (state == S::Data || state == S::Comment)
        state = add();
    return state != S::Error;
}

bool CVLDoc::ReadDataStrings(const std::string& path) {
    SetStatusProgress("Loading KSF File:  Loading Data Strings", -1);
    if (!FindSection("DataStrings", false)) {
        ShowWarning("Warning Reading " + path +
                    ".\nFailed to find [Data Strings] Section.\nData Strings will be assumed to "
                    "be empty\n");
        return true;
    }
    m_poDataStrList.clear();
    return ReadStringLines(false);
}

bool CVLDoc::ReadLcdStrings(const std::string& path) {
    SetStatusProgress("Loading KSF File:  Loading LCD Strings", -1);
    if (!FindSection("LcdStrings", false)) {
        ShowWarning("Warning Reading " + path +
                    ".\nFailed to find [Lcd Strings] Section.\nLCD Strings will be assumed to be "
                    "empty\n");
        return true;
    }
    m_poLcdStrList.clear();
    return ReadStringLines(true);
}
