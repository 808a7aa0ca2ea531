#include "script/dos_script_import.h"

#include "script/app_services.h"

#include "platform/paths.h"
#include "platform/ui_services.h"
#include "script/dos_line.h"
#include "script/import_table.h"
#include "script/product.h"
#include "script/protocol_list.h"
#include "script/text_utils.h"
#include "script/time_conversions.h"
#include "script/value_parsers.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <new>

namespace {

constexpr std::string_view kPageStart = "\f*TOVA\tSCRIPT";
constexpr std::string_view kEndLine = "\f*TOVA  *END";
constexpr std::string_view kTwentyTrack = "Brevant_Professional_Reelvox_(20_track)";
constexpr int kMaxSequencePasses = 257;
constexpr int kMaxDataStringLines = 4096;
// The name normaliser takes texts of at most this many characters; fields that run to the end
// of a line are cut there first.
constexpr std::size_t kMaxNormalized = 1023;

const char* const kMsgNoMemorySeq =
    "Not enough memory to allocate Sequence ( *pSeq ).  Aborting File Construction...";
const char* const kMsgNoMemoryEvent =
    "Not enough memory to allocate Event ( *pEvent ).  Aborting File Construction...";
const char* const kMsgNoMemoryDataStr =
    "Not enough memory to allocate Data String ( *pDataStr ).  Aborting File Construction...";

// Process-wide, never reset: nameless sequences are numbered across imports.
std::uint16_t g_importedSequences = 0;

std::string Normalized(std::string_view text) {
    return NormalizeName(text.substr(0, kMaxNormalized), true);
}

std::string Upper(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

std::string Format(const char* pattern, long long a) {
    std::string out;
    for (const char* p = pattern; *p; ++p) {
        if (p[0] == '%' && p[1] == 'd') {
            out += std::to_string(a);
            ++p;
        } else
            out += *p;
    }
    return out;
}

std::string Quoted(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

// A decimal number read as the C library's atof does (leading white space, sign, digits, one
// point, digits), without its locale. False when no digit was read.
bool LeadingNumber(std::string_view text, double& value) {
    std::size_t i = 0;
    while (i < text.size() && IsNameWhiteSpace(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    double result = 0.0;
    bool digits = false;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
        result = result * 10.0 + (text[i++] - '0');
        digits = true;
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        double scale = 0.1;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
            result += (text[i++] - '0') * scale;
            scale /= 10.0;
            digits = true;
        }
    }
    value = negative ? -result : result;
    return digits;
}

// The number a field holds as atoi reads it; values beyond int are clamped, so they are out of
// every range checked here rather than wrapping into one.
long long LeadingInt(std::string_view text) {
    return ReadLeadingInt(text);
}

bool RemoveFirst(std::string& code, char letter) {
    std::size_t at = code.find(letter);
    if (at == std::string::npos)
        return false;
    code.erase(at, 1);
    return true;
}

struct ResourcePage {
    const char* status;
    const char* pageLine;
    const char* prompt;
    const char* defaultMessage;
    const char* defaultName;
};

const std::array<ResourcePage, 4> kResourcePages = {{
    {"Importing KSX File:  Loading Inputs", "*INPUTS", "Expected Valid Input Name for Input %d",
     "Defaulting Input %d Name to \"input%d\"", "input%d"},
    {"Importing KSX File:  Loading Outputs", "*OUTPUTS", "Expected Valid Output Name for Output %d",
     "Defaulting Output %d Name to \"output%d\"", "output%d"},
    {"Importing KSX File:  Loading Flags", "*FLAGS", "Expected Valid Flags Name for Flags %d",
     "Defaulting Flag %d Name to \"flag%d\"", "flag%d"},
    {"Importing KSX File:  Loading Vars", "*STATE VARIABLES", "Expected Valid Var Name for Var %d",
     "Defaulting Var %d Name to \"var%d\"", "var%d"},
}};

} // namespace

CDosImport::CDosImport(std::string_view buffer, DosImportHost& host, AppServices& services)
    : m_Buffer(buffer), m_Host(host), m_Services(services) {}

std::uint16_t CDosImport::ImportedSequenceCount() {
    return g_importedSequences;
}

// ---------------------------------------------------------------------------------------------
// Line reader and prompts

std::string CDosImport::ReadImportLine() {
    ++m_nLine;
    if (m_nLine % m_nProgressStep == 0) {
        ++m_nProgress;
        m_Host.SetStatusProgress(std::string(), m_nProgress);
    }
    m_strLine.clear();
    if (m_nPos >= m_Buffer.size()) {
        m_bPastEnd = true;
        return m_strLine;
    }
    std::size_t end = m_Buffer.find('\n', m_nPos);
    std::string_view raw = m_Buffer.substr(
        m_nPos, end == std::string_view::npos ? std::string_view::npos : end - m_nPos);
    m_nPos = end == std::string_view::npos ? m_Buffer.size() : end + 1;
    m_strLine.reserve(raw.size());
    for (char c : raw)
        if (c != '\r')
            m_strLine += c;
    return m_strLine;
}

bool CDosImport::ImportSyntaxError(const std::string& path, const std::string& text) {
    // Past the end of the listing every later check would fail as well: one message naming
    // the file replaces the flood of prompts, and the import stops.
    if (m_bPastEnd)
        return ReportMissingEnd(path);
    if (m_bGoOnAnswered)
        return true;
    // A line of a damaged file may be huge: the box shows its start only.
    std::string box = "Error Reading " + path + ".\nLine " + std::to_string(m_nLine) + ": \" " +
                      m_strLine.substr(0, kMaxNormalized) + " \"\nSyntax Error:  " + text + "\n" +
                      "\nSelect YES to continue reading file anyway\nSelect NO to abort reading "
                      "file";
    m_bGoOnAnswered =
        platform::ShowMessage(box, platform::MsgButtons::YesNo, platform::MsgIcon::Exclamation) ==
        platform::MsgResult::Yes;
    return m_bGoOnAnswered;
}

bool CDosImport::ReportMissingEnd(const std::string& path) {
    if (!m_bEndShown) {
        m_bEndShown = true;
        platform::ShowMessage("Error Reading " + path + ".\nLine " + std::to_string(m_nLine) +
                                  ":  End of Script \"*TOVA  *END\" not found\n",
                              platform::MsgButtons::Ok, platform::MsgIcon::Exclamation);
    }
    return false;
}

bool CDosImport::DefaultPrompt(const std::string& path, const std::string& text,
                               const std::string& defaultMessage) {
    const bool asked = !m_bGoOnAnswered;
    if (!ImportSyntaxError(path, text))
        return false;
    // Once the user chose to read on, later defaults are taken without a box each.
    if (asked)
        platform::ShowMessage(defaultMessage, platform::MsgButtons::Ok,
                              platform::MsgIcon::Information);
    return true;
}

bool CDosImport::CheckLabel(const std::string& path, std::string_view label,
                            const std::string& prompt) {
    return DosHasLabel(m_strLine, label) || ImportSyntaxError(path, prompt);
}

void CDosImport::SkipLines(int count) {
    for (int i = 0; i < count; ++i)
        ReadImportLine();
}

int CDosImport::FindPort(std::string_view name) const {
    if (!m_pProduct)
        return -1;
    int ports = std::min<int>(m_pProduct->m_wPorts, CProduct::kMaxPorts);
    for (int p = 0; p < ports; ++p)
        if (platform::EqualsNoCase(m_pProduct->m_Ports[p].m_strName, name))
            return p;
    return -1;
}

void CDosImport::LoadImportTable() {
    CImportTable* table = m_Services.ImportTable();
    if (table && table->IsLoaded()) {
        m_bRename = true;
        return;
    }
    bool loaded = false;
    if (table) {
        auto file = platform::ResolveNoCase(m_Services.InstallDirectory(), "Utilities/IMPORT.FLT");
        table->RemoveAll();
        loaded = file && table->LoadFile(file->string());
        if (!loaded)
            table->RemoveAll(); // a failed load renames nothing; the next import tries again
        table->SetLoaded(loaded);
    }
    if (!loaded)
        platform::ShowMessage("Error Loading Utilities\\Import.Flt:  Invalid or Missing File");
    m_bRename = loaded;
}

// ---------------------------------------------------------------------------------------------
// The whole listing

bool CDosImport::ImportDosScript(const std::string& path) {
    LoadImportTable();

    // Lines end with LF; a listing that kept CR LF has as many CRs. The step is never 0.
    std::size_t lineEnds = std::max(std::count(m_Buffer.begin(), m_Buffer.end(), '\r'),
                                    std::count(m_Buffer.begin(), m_Buffer.end(), '\n'));
    m_nProgressStep = static_cast<std::uint32_t>(std::max<std::size_t>(1, lineEnds / 100));
    m_nProgress = 0;
    m_nPos = 0;
    m_nLine = 0;
    m_bPastEnd = false;
    m_bEndShown = false;
    m_bGoOnAnswered = false;

    m_Host.SetStatusProgress("Importing KSX File:  Loading Unit Setup", -1);
    ReadImportLine();

    return ImportUnitSetup(path) && ImportResourcePage(path, 0) && ImportResourcePage(path, 1) &&
           ImportResourcePage(path, 2) && ImportResourcePage(path, 3) && ImportPorts(path) &&
           ImportDataStrings(path) && ImportSequences(path);
}

bool CDosImport::ImportUnitSetup(const std::string& path) {
    // Line 1: the format version, n.nn at columns 8 to 11.
    {
        std::string_view field = DosField(m_strLine, 8, 11);
        double version = 0.0;
        bool ok = field.size() == 4 && field[1] == '.' && LeadingNumber(field, version) &&
                  version >= 1.0 && version <= 6.0;
        if (ok)
            m_Script.dosVersion = std::string(field);
        else {
            if (!DefaultPrompt(path, "Expected Version Number ( 1.00 - 6.00 )",
                               "Defaulting Version Number to 5.60"))
                return false;
            m_Script.dosVersion = "5.60";
        }
    }

    // Line 5: the card type selects the product.
    SkipLines(3);
    ReadImportLine();
    {
        if (!CheckLabel(path, "Card Type     - ", "Expected \"Card Type     - \""))
            return false;
        std::string name;
        if (m_strLine.size() > 16) {
            std::string wanted = Normalized(DosFieldFrom(m_strLine, 16));
            if (platform::EqualsNoCase(wanted, "CD_Pellucor"))
                wanted = "CD Pellucor";
            const CProdList& products = m_Services.Products();
            if (auto pos = products.FindByNameNoCase(wanted))
                name = products.GetAt(*pos).m_strName;
        }
        if (name.empty()) {
            if (!DefaultPrompt(path, "Expected Valid Card Type",
                               "Defaulting Card Type to Harnel16"))
                return false;
            name = "Harnel16";
        }
        m_pProduct = m_Host.SetUpProduct(name);
        if (!m_pProduct)
            return false;
    }

    // Line 6: the unit address.
    ReadImportLine();
    {
        if (!CheckLabel(path, "Card Address  - ", "Expected \"Card Address  - \""))
            return false;
        long long address = m_strLine.size() > 16 ? LeadingInt(DosFieldFrom(m_strLine, 16)) : -1;
        if (address >= 0 && address <= 255)
            m_Script.address = static_cast<std::uint16_t>(address);
        else {
            if (!DefaultPrompt(path, "Expected Card Address ( 0 - 255 )",
                               "Defaulting Card Address to 0"))
                return false;
            m_Script.address = 0;
        }
    }

    // Line 7: the frame rate.
    ReadImportLine();
    {
        if (!CheckLabel(path, "Timebase Rate - ", "Expected \"Timebase Rate - \""))
            return false;
        int code = -1;
        if (m_strLine.size() >= 17) {
            std::string rate = Normalized(DosFieldFrom(m_strLine, 16));
            for (std::size_t i = 0; i < kFrameRates.size(); ++i)
                if (rate == kFrameRates[i].text)
                    code = static_cast<int>(i);
        }
        if (code < 0) {
            if (!DefaultPrompt(path, "Expected Timebase Rate ( 24, 25, 29.97, or 30 fps )",
                               "Defaulting Timebase Rate to 30"))
                return false;
            code = 3;
        }
        m_Script.frameRateCode = static_cast<std::uint16_t>(code);
    }

    // Line 8: the clock source.
    ReadImportLine();
    {
        if (!CheckLabel(path, "Sync Source   - ", "Expected \"Sync Source   - \""))
            return false;
        std::string_view source = DosColumn(m_strLine, 16);
        if (m_strLine.size() >= 17 && (source == "P" || source == "E"))
            m_Script.clockSource = source == "E" ? 1 : 0;
        else {
            if (!DefaultPrompt(path, "Expected Sync Source of PROCESSOR or EXT/FM GEN",
                               "Defaulting Sync Source to PROCESSOR"))
                return false;
            m_Script.clockSource = 0;
        }
    }

    // Line 9: the external clock frequency, 0 to 120 Hz.
    ReadImportLine();
    {
        if (!CheckLabel(path, "Ext Sync Freq - ", "Expected \"Ext Sync Freq - \""))
            return false;
        double frequency = -1.0;
        bool ok = m_strLine.size() >= 17 && LeadingNumber(DosFieldFrom(m_strLine, 16), frequency) &&
                  frequency >= 0.0 && frequency <= 120.0;
        if (ok)
            m_Script.externalFrequency = Normalized(DosFieldFrom(m_strLine, 16));
        else {
            if (!DefaultPrompt(path, "Expected External Sync Frequency ( 0 - 120 Hz )",
                               "Defaulting External Sync Frequency to 0 Hz"))
                return false;
            m_Script.externalFrequency = m_Script.clockSource == 1 ? "59.94" : "0";
        }
    }

    // Line 11: the comment, continued up to the inputs page.
    SkipLines(1);
    ReadImportLine();
    if (!CheckLabel(path, "Comments      - ", "Expected \"Comments      - \""))
        return false;
    if (m_strLine.size() > 17)
        m_Script.description = std::string(DosFieldFrom(m_strLine, 16));
    ReadImportLine();
    for (int read = 1; m_strLine != "*INPUTS" && read < 10; ++read) {
        m_Script.description += ' ';
        m_Script.description += m_strLine;
        ReadImportLine();
    }
    return true;
}

bool CDosImport::ImportResourcePage(const std::string& path, int page) {
    const ResourcePage& info = kResourcePages[static_cast<std::size_t>(page)];
    m_Host.SetStatusProgress(info.status, -1);
    if (page > 0) {
        SkipLines(2);
        ReadImportLine();
    }
    if (!CheckLabel(path, info.pageLine, "Expected " + Quoted(info.pageLine)))
        return false;
    SkipLines(1);
    ReadImportLine();
    if (!CheckLabel(path, " #  Name", "Expected \" #  Name\""))
        return false;

    std::uint16_t count = 0;
    CProductResource* resources = nullptr;
    switch (page) {
    case 0:
        count = std::min<std::uint16_t>(m_pProduct->m_wInputs, CProduct::kMaxInputs);
        resources = m_pProduct->m_Inputs.data();
        break;
    case 1:
        count = std::min<std::uint16_t>(m_pProduct->m_wOutputs, CProduct::kMaxOutputs);
        resources = m_pProduct->m_Outputs.data();
        break;
    case 2:
        count = std::min<std::uint16_t>(m_pProduct->m_wFlags, CProduct::kMaxFlags);
        resources = m_pProduct->m_Flags.data();
        break;
    default:
        count = std::min<std::uint16_t>(m_pProduct->m_wVars, CProduct::kMaxVars);
        resources = m_pProduct->m_Vars.data();
        break;
    }
    for (int i = 1; i <= count; ++i) {
        ReadImportLine();
        std::string name;
        if (m_strLine.size() >= 5 && LeadingInt(DosField(m_strLine, 0, 3)) == i)
            name = Normalized(DosFieldFrom(m_strLine, 4));
        else {
            if (!DefaultPrompt(path, Format(info.prompt, i), Format(info.defaultMessage, i)))
                return false;
            name = Format(info.defaultName, i);
        }
        resources[i - 1].m_strName = name;
    }
    return true;
}

bool CDosImport::ImportPorts(const std::string& path) {
    m_Host.SetStatusProgress("Importing KSX File:  Loading Ports", -1);
    SkipLines(2);
    ReadImportLine();
    if (!CheckLabel(path, "*SERIAL PORTS", "Expected \"*SERIAL PORTS\""))
        return false;
    SkipLines(1);
    ReadImportLine();
    if (!CheckLabel(path, "Port  Name      Baud   P  D  S  Type",
                    "Expected \"Port  Name      Baud   P  D  S  Type\""))
        return false;

    const int ports = std::min<int>(m_pProduct->m_wPorts, CProduct::kMaxPorts);
    for (int p = 0; p < ports; ++p) {
        CProductPort& port = m_pProduct->m_Ports[static_cast<std::size_t>(p)];
        ReadImportLine();
        const std::string& line = m_strLine;

        if (line.size() >= 5 && LeadingInt(DosField(line, 0, 3)) == p)
            port.m_strName = Normalized(DosField(line, 6, 13));
        else {
            if (!DefaultPrompt(path, Format("Expected Valid Port Name for Port %d", p),
                               Format("Defaulting Port %d Name to \"port%d\"", p)))
                return false;
            port.m_strName = Format("port%d", p);
        }

        bool off = false;
        if (line.size() > 20) {
            port.m_strBaudRate = Normalized(DosField(line, 16, 20));
            if (platform::EqualsNoCase(port.m_strBaudRate, "OFF")) {
                off = true;
                port.m_strBaudRate = "9600";
            }
        } else {
            if (!DefaultPrompt(
                    path, Format("Expected Valid Port Baud Rate ( 0 - 34,800 ) for Port %d", p),
                    Format("Defaulting Port %d Baud Rate to 9600", p)))
                return false;
            port.m_strBaudRate = "9600";
        }

        if (line.size() > 23)
            port.m_strParity = Normalized(DosColumn(line, 23));
        else {
            if (!DefaultPrompt(path,
                               Format("Expected Valid Port Parity ( N, E, O ) for Port %d", p),
                               Format("Defaulting Port %d Parity to \"N\"", p)))
                return false;
            port.m_strParity = "N";
        }

        if (line.size() > 26)
            port.m_strDataBits = Normalized(DosColumn(line, 26));
        else {
            if (!DefaultPrompt(path,
                               Format("Expected Valid Port Data Bits ( 7, 8, 9 ) for Port %d", p),
                               Format("Defaulting Port %d Data Bits to 8", p)))
                return false;
            port.m_strDataBits = "8";
        }

        if (line.size() > 29)
            port.m_strStopBits = Normalized(DosColumn(line, 29));
        else {
            if (!DefaultPrompt(path,
                               Format("Expected Valid Port Stop Bits ( 0, 1, 2 ) for Port %d", p),
                               Format("Defaulting Port %d Stop Bits to 1", p)))
                return false;
            port.m_strStopBits = "1";
        }

        if (line.size() > 32) {
            std::string protocol = Normalized(DosFieldFrom(line, 32));
            if (off && !platform::EqualsNoCase(protocol, "SCSI_CD_Sony_55S"))
                protocol = "None";
            if (platform::EqualsNoCase(protocol, "TOVA")) {
                protocol = "Brevant_9_Bit_Control";
                port.m_strDataBits = "9";
            } else if (platform::EqualsNoCase(protocol, "DR_Backplane")) {
                protocol = "Brevant_Ostrel_Backplane";
                port.m_strDataBits = "9";
            } else if (platform::EqualsNoCase(protocol, "SCSI_CD_Sony_55S")) {
                protocol = "Sony_CD_55S/76S";
            } else if (platform::EqualsNoCase(protocol, "Digital_Reelvox")) {
                std::string question =
                    Format("Port %d was originally assigned to generic \"Digital Reelvox\".\n", p) +
                    "Is this a Professional Digital Reelvox?\n\n" +
                    "Choose \"Yes\" if this is a 20 track Professional Reelvox.\n" +
                    "Choose \"No\" if this is a 32 track Standard Reelvox.\n";
                bool professional =
                    platform::ShowMessage(question, platform::MsgButtons::YesNo,
                                          platform::MsgIcon::Question) == platform::MsgResult::Yes;
                protocol = professional ? "Brevant_Professional_Reelvox_(20_track)"
                                        : "Brevant_Digital_Reelvox_(32_track)";
                port.m_strDataBits = "9";
            }
            port.m_strProtocol = protocol;
            CProtocol* found = nullptr;
            if (m_Services.Protocols().FindProtocol(protocol, found, false) && found)
                found->LoadCommands();
        } else {
            if (!DefaultPrompt(path, Format("Expected Valid Port Protocol for Port %d", p),
                               Format("Defaulting Port %d Protocol to None", p)))
                return false;
            port.m_strProtocol = "None";
        }
    }
    return true;
}

bool CDosImport::ImportDataStrings(const std::string& path) {
    m_Host.SetStatusProgress("Importing KSX File:  Loading Data Strings", -1);
    SkipLines(2);
    ReadImportLine();
    if (!CheckLabel(path, "*STRINGS", "Expected \"*STRINGS\""))
        return false;
    const std::uint32_t pageLine = m_nLine;
    SkipLines(1);
    ReadImportLine();
    if (!CheckLabel(path, "Name      Data", "Expected \"Name      Data\""))
        return false;
    ReadImportLine();
    m_Script.dataStrings.clear();
    m_Script.dataStringsRead = true;
    while (!m_strLine.empty() && m_nLine - pageLine <= kMaxDataStringLines) {
        try {
            std::string data =
                m_strLine.size() > 10 ? std::string(DosFieldFrom(m_strLine, 10)) : std::string();
            m_Script.dataStrings.push_back(std::make_unique<CDataStr>(
                Normalized(DosField(m_strLine, 0, 7)), std::move(data), std::string()));
        } catch (const std::bad_alloc&) {
            platform::ShowMessage(kMsgNoMemoryDataStr);
            return false;
        }
        ReadImportLine();
    }
    return true;
}

bool CDosImport::ImportSequences(const std::string& path) {
    m_Script.sequences.clear();
    m_Script.sequencesRead = true;
    for (int pass = 0; pass < kMaxSequencePasses; ++pass) {
        const std::uint32_t start = m_nLine;
        do {
            if (m_strLine == kEndLine) {
                // A listing without sequence pages still gets the sequence every new script has.
                if (m_Script.sequences.empty()) {
                    try {
                        auto sequence = std::make_unique<CSeq>("Default", 1);
                        sequence->m_poEventList.push_back(std::make_unique<CEvnt>());
                        m_Script.sequences.push_back(std::move(sequence));
                    } catch (const std::bad_alloc&) {
                        platform::ShowMessage(kMsgNoMemorySeq);
                        return false;
                    }
                }
                return true;
            }
            if (m_bPastEnd)
                return ReportMissingEnd(path);
            if (DosHasLabel(m_strLine, kPageStart)) {
                if (!ImportDosSequence(path))
                    return false;
            } else
                ReadImportLine();
        } while (m_nLine - start < 10);
    }
    // Every pass used up without the end line: the listing is cut or not a listing.
    return ReportMissingEnd(path);
}

// ---------------------------------------------------------------------------------------------
// Sequence pages

bool CDosImport::ImportDosSequence(const std::string& path) {
    std::unique_ptr<CSeq> sequence;
    try {
        sequence = std::make_unique<CSeq>(std::string(), 1);
    } catch (const std::bad_alloc&) {
        platform::ShowMessage(kMsgNoMemorySeq);
        return false;
    }
    CSeq& seq = *sequence;

    // Line 6: the name.
    SkipLines(5);
    ReadImportLine();
    if (!CheckLabel(path, "Sequence Name  - ", "Expected \"Sequence Name  - "))
        return false;
    if (m_strLine.size() > 17)
        seq.m_strName = Normalized(DosFieldFrom(m_strLine, 17));
    else {
        const long long number = static_cast<long long>(g_importedSequences) + 1;
        if (!DefaultPrompt(path, "Expected \"Sequence Name  - ",
                           Format("Defaulting Sequence %d Name to \"sequence%d\"", number)))
            return false;
        seq.m_strName = Format("sequence%d", number);
    }
    const int ports = std::min<int>(m_pProduct->m_wPorts, CProduct::kMaxPorts);
    for (int p = 0; p < ports; ++p)
        if (platform::EqualsNoCase(seq.m_strName, Format("Error%d", p)))
            m_pProduct->m_Ports[static_cast<std::size_t>(p)].m_strErrorSequence = seq.m_strName;

    m_Host.SetStatusProgress("Importing KSX File:  Loading Sequence [" + seq.m_strName + "]", -1);

    // Line 7: the comment and its continuation lines.
    ReadImportLine();
    if (!CheckLabel(path, "Comments       - ", "Expected \"Comments      - \""))
        return false;
    if (m_strLine.size() > 17)
        seq.m_strDescription = NormalizeName(DosFieldFrom(m_strLine, 17), false);
    ReadImportLine();
    for (int read = 1; m_strLine != "*SEQUENCE CONFIGURATION" && read < 10; ++read) {
        if (!m_strLine.empty()) {
            seq.m_strDescription += ' ';
            seq.m_strDescription += m_strLine;
        }
        ReadImportLine();
    }

    SkipLines(3);
    for (int t = 0; t < 4; ++t)
        if (!ImportDosTrigger(t, seq, path))
            return false;
    if (!ImportSequenceFlags(seq, path))
        return false;

    SkipLines(2);
    ReadImportLine();
    if (!CheckLabel(path, "Label     Time(M:S.F)", "Expected \"Label     Time(M:S.F)\""))
        return false;
    ReadImportLine();

    if (!m_strLine.empty()) {
        while (m_strLine != kEndLine) {
            const std::string& line = m_strLine;
            if (line.size() >= 32) {
                std::unique_ptr<CEvnt> event;
                try {
                    event = std::make_unique<CEvnt>();
                    event->m_strLabel = Normalized(DosField(line, 0, 7));
                    event->m_strTime = Normalized(DosField(line, 10, 17));
                    event->m_strEvent = Normalized(DosField(line, 23, 30));
                    // A field is taken wherever the line reaches it: a listing whose trailing
                    // blanks were trimmed keeps its parameters.
                    event->m_strData1 = Normalized(DosField(line, 33, 40));
                    event->m_strData2 = Normalized(DosField(line, 43, 50));
                    event->m_strData3 = Normalized(DosField(line, 53, 60));
                    event->m_strComment = std::string(DosFieldFrom(line, 63));
                    ConvertDosEvent(seq, *event);
                    seq.m_poEventList.push_back(std::move(event));
                } catch (const std::bad_alloc&) {
                    platform::ShowMessage(kMsgNoMemoryEvent);
                    return false;
                }
            }
            ReadImportLine();
            if (m_strLine.empty())
                break;
        }
    }

    try {
        m_Script.sequences.push_back(std::move(sequence));
    } catch (const std::bad_alloc&) {
        platform::ShowMessage(kMsgNoMemorySeq);
        return false;
    }
    ++g_importedSequences;
    return true;
}

bool CDosImport::ImportSequenceFlags(CSeq& seq, const std::string& path) {
    struct Flag {
        std::string_view label;
        const char* labelPrompt;
        const char* valuePrompt;
        const char* defaultMessage;
        std::int32_t CSeq::*member;
    };
    static const Flag kRestart = {"Restart         - ", "Expected \"Restart       - ",
                                  "Expected Valid ENABLED or DISABLED Restart Value",
                                  "Defaulting Restart Flag to DISABLED", &CSeq::m_nRestart};
    static const std::array<Flag, 2> kAfter = {{
        {"Loop            - ", "Expected \"Loop           - ",
         "Expected Valid ENABLED or DISABLED Loop Value", "Defaulting Loop Flag to DISABLED",
         &CSeq::m_nLooping},
        {"Auto Start      - ", "Expected \"Auto Start     - ",
         "Expected Valid ENABLED or DISABLED AutoStart Value",
         "Defaulting AutoStart Flag to DISABLED", &CSeq::m_nAutoStart},
    }};
    auto readFlag = [&](const Flag& flag) {
        ReadImportLine();
        if (!CheckLabel(path, flag.label, flag.labelPrompt))
            return false;
        std::string_view value = DosColumn(m_strLine, 18);
        if (value == "E" || value == "D")
            seq.*flag.member = value == "E" ? 1 : 0;
        else {
            if (!DefaultPrompt(path, flag.valuePrompt, flag.defaultMessage))
                return false;
            seq.*flag.member = 0;
        }
        return true;
    };

    if (!readFlag(kRestart))
        return false;

    ReadImportLine();
    if (!CheckLabel(path, "Restart Lockout - ", "Expected \"Restart Lockout - \""))
        return false;
    long long lockout = m_strLine.size() > 17 ? LeadingInt(DosFieldFrom(m_strLine, 18)) : -1;
    if (lockout >= 0 && lockout <= 255)
        seq.m_wRestartLockout = static_cast<std::uint16_t>(lockout);
    else {
        if (!DefaultPrompt(path, "Expected Valid Restart Lockout Value ( 0 - 255 )",
                           "Defaulting Restart Lockout to 0"))
            return false;
        seq.m_wRestartLockout = 0;
    }

    for (const Flag& flag : kAfter)
        if (!readFlag(flag))
            return false;

    static const Flag kTrip = {"SMPTE Trip      - ", "Expected \"SMPTE Trip     - ",
                               "Expected Valid ENABLED or DISABLED SMPTE Trip Value",
                               "Defaulting SMPTE Trip Flag to DISABLED", &CSeq::m_nSmpteStartOn};
    if (!readFlag(kTrip))
        return false;

    // The trip time on the same line, after "Frame - " at column 28 or 27.
    const char* const kFramePrompt = "Expected \"Frame - ";
    const char* const kTimeDefault = "Defaulting SMPTE Trip time to 00:00:00.00";
    std::array<std::int32_t, 4> time{0, 0, 0, 0};
    if (m_strLine.size() > 45) {
        std::size_t column = 0;
        if (DosField(m_strLine, 28, 35) == "Frame - ")
            column = 36;
        else if (DosField(m_strLine, 27, 34) == "Frame - ")
            column = 35;
        else {
            if (!ImportSyntaxError(path, kFramePrompt))
                return false;
            column = 34;
        }
        std::string text = Normalized(DosFieldFrom(m_strLine, column));
        const long long hours = LeadingInt(DosField(text, 0, 1));
        const long long minutes = LeadingInt(DosField(text, 3, 4));
        const long long seconds = LeadingInt(DosField(text, 6, 7));
        const long long frames = LeadingInt(DosField(text, 9, 10));
        auto inRange = [](long long v, long long max) { return v >= 0 && v <= max; };
        if (inRange(hours, 59) && inRange(minutes, 59) && inRange(seconds, 59) &&
            inRange(frames, 29))
            time = {static_cast<std::int32_t>(hours), static_cast<std::int32_t>(minutes),
                    static_cast<std::int32_t>(seconds), static_cast<std::int32_t>(frames)};
        else if (!DefaultPrompt(path,
                                "Expected Valid SMPTE Trip Value ( 00:00:00.00 - 59:59:59.29 )",
                                kTimeDefault))
            return false;
    } else if (!DefaultPrompt(path, kFramePrompt, kTimeDefault))
        return false;
    seq.m_anSmpteStart = time;
    return true;
}

bool CDosImport::ImportDosTrigger(int index, CSeq& seq, const std::string& path) {
    static const std::array<std::string_view, 4> kLabels = {
        "Start Trigger   - ", "Stop Trigger    - ", "Pause Trigger   - ", "Reset Trigger   - "};
    CTrigger& trigger = seq.m_aTriggers[static_cast<std::size_t>(index)];
    const std::string_view label = kLabels[static_cast<std::size_t>(index)];

    ReadImportLine();
    if (!CheckLabel(path, label, "Expected " + Quoted(label)))
        return false;
    const std::string& line = m_strLine;
    auto nameOrNone = [](std::string text) { return text == "none" ? std::string() : text; };

    if (line.size() >= 26)
        trigger.m_strIoName = nameOrNone(Normalized(DosField(line, 18, 25)));
    else {
        if (!DefaultPrompt(path, "Expected Valid Trigger Input or Output Name",
                           "Defaulting Trigger Name to None"))
            return false;
        trigger.m_strIoName.clear();
    }

    std::string_view logic = line.size() >= 31 ? DosField(line, 28, 31) : std::string_view{};
    if (logic == "none" || logic == "and ")
        trigger.m_wCombine = CTrigger::And;
    else if (logic == "or  ")
        trigger.m_wCombine = CTrigger::Or;
    else {
        if (!DefaultPrompt(path, "Expected Valid Trigger Logic ( \"none\", \"and\", or \"or\" )",
                           "Defaulting Trigger Logic to None"))
            return false;
        trigger.m_wCombine = CTrigger::And;
    }

    if (line.size() >= 36)
        trigger.m_strVariable = nameOrNone(Normalized(DosField(line, 33, 40)));
    else {
        if (!DefaultPrompt(path, "Expected Valid Trigger Variable Name",
                           "Defaulting Trigger Variable Name to None"))
            return false;
        trigger.m_strVariable.clear();
    }

    static const std::array<std::string_view, 7> kComparisons = {"none", "eq  ", "ne  ", "gt  ",
                                                                 "lt  ", "ge  ", "le  "};
    std::string_view comparison = line.size() >= 46 ? DosField(line, 44, 47) : std::string_view{};
    int found = -1;
    for (std::size_t i = 0; i < kComparisons.size(); ++i)
        if (comparison == kComparisons[i])
            found = i == 0 ? 0 : static_cast<int>(i) - 1;
    if (found >= 0)
        trigger.m_wComparison = static_cast<std::uint16_t>(found);
    else {
        if (!DefaultPrompt(path,
                           "Expected Valid Trigger Variable Logic ( \"none\", \"eq\", \"ne\", "
                           "\"gt\", \"lt\", \"ge\", \"le\" )",
                           "Defaulting Trigger Variable Logic to None"))
            return false;
        trigger.m_wComparison = CTrigger::EQ;
    }

    if (line.size() >= 56)
        trigger.m_strValue = nameOrNone(Normalized(DosField(line, 48, 55)));
    else {
        if (!DefaultPrompt(path, "Expected Valid Trigger Variable Name or ( 0 - 255 )",
                           "Defaulting Trigger Variable Name to None"))
            return false;
        trigger.m_strValue.clear();
    }

    std::string_view sense = line.size() >= 68 ? DosField(line, 60, 68) : std::string_view{};
    if (sense == "Active On")
        trigger.m_nGoesOn = 1;
    else if (sense == "Active Of")
        trigger.m_nGoesOn = 0;
    else {
        if (!DefaultPrompt(path, "Expected Valid Trigger Sense ( ACTIVE ON or ACTIVE OFF )",
                           "Defaulting Trigger Sense to ACTIVE ON"))
            return false;
        trigger.m_nGoesOn = 1;
    }
    return true;
}

// ---------------------------------------------------------------------------------------------
// Event conversion

void CDosImport::ConvertDosEvent(CSeq& seq, CEvnt& event) {
    const std::string& name = event.m_strEvent;
    if (platform::EqualsNoCase(name, "APlay") || platform::EqualsNoCase(name, "APlyLoop")) {
        int port = FindPort(event.m_strData1);
        if (port >= 0) {
            ConvertUnitParam(event);
            ConvertPlayParam(event, port);
        }
        return;
    }
    if (platform::EqualsNoCase(name, "AStop") || platform::EqualsNoCase(name, "APause") ||
        platform::EqualsNoCase(name, "AMute") || platform::EqualsNoCase(name, "AUnMute"))
        ConvertUnitParam(event);
    if (platform::EqualsNoCase(name, "outport") || platform::EqualsNoCase(name, "ShwFlgs")) {
        long long bank = LeadingInt(event.m_strData1);
        if (bank == 0)
            event.m_strData1 = "Bank1";
        else if (bank == 1)
            event.m_strData1 = "Bank2";
    }

    CImportTable* table = m_Services.ImportTable();
    if (!m_bRename || !table)
        return;
    const std::string* renamed = table->Lookup(event.m_strEvent);
    if (!renamed)
        return;
    event.m_strEvent = *renamed;
    // Without an event protocol its command list is empty: no command accepts the event, so
    // the check answers 0 for an event addressed to a port, as the compiler's would.
    int accepted = m_Services.EventProtocol() ? m_Host.CompilePortEvent(seq, event)
                                              : (FindPort(event.m_strData1) >= 0 ? 0 : 1);
    if (accepted == 0)
        std::swap(event.m_strData2, event.m_strData3);
}

void CDosImport::ConvertUnitParam(CEvnt& event) {
    std::string unit = Upper(event.m_strData2);
    if (unit == "ALL")
        return;
    if (unit.find('R') != std::string::npos) {
        std::string rest;
        for (char c : unit)
            if (c != 'R')
                rest += c;
        event.m_strData2 = "R" + std::to_string(LeadingInt(rest) + 1);
    } else if (unit.find('G') != std::string::npos)
        event.m_strData2 = unit;
    else
        event.m_strData2 = "R" + std::to_string(LeadingInt(unit) + 1);
}

void CDosImport::ConvertPlayParam(CEvnt& event, int port) {
    const bool twentyTrack =
        m_pProduct && port >= 0 && port < CProduct::kMaxPorts &&
        platform::EqualsNoCase(m_pProduct->m_Ports[static_cast<std::size_t>(port)].m_strProtocol,
                               kTwentyTrack);
    std::string code = Upper(event.m_strData3);
    bool searched = false;
    if (RemoveFirst(code, 'T'))
        event.m_strData3 = twentyTrack ? "top" : "a";
    if (RemoveFirst(code, 'B'))
        event.m_strData3 = twentyTrack ? "bottom" : "b";
    if (RemoveFirst(code, 'C'))
        event.m_strData3 = "c";
    if (RemoveFirst(code, 'S'))
        searched = true;
    event.m_strData4 = code;
    if (platform::EqualsNoCase(event.m_strEvent, "APlay"))
        event.m_strEvent = searched ? "SPlay" : "Play";
    else
        event.m_strEvent = searched ? "SPlayAndLoop" : "PlayAndLoop";
}
