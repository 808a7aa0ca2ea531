// The settings sections of the script source file: [Unit], [Compiler], [Connection],
// [WindowPlacement].
#include "script/vl_doc.h"

#include "platform/paths.h"
#include "platform/ui_services.h"
#include "script/download_settings.h"
#include "script/ini_scanner.h"
#include "script/product.h"
#include "script/text_utils.h"
#include "script/time_conversions.h"

#include <algorithm>
#include <array>
#include <string>

namespace {

using platform::EqualsNoCase;
using platform::MsgButtons;
using platform::MsgIcon;
using platform::MsgResult;
using platform::ShowMessage;

void ShowDefaulting(const std::string& text) {
    ShowMessage(text, MsgButtons::Ok, MsgIcon::Information);
}

bool IsOneOfNoCase(std::string_view text, std::initializer_list<std::string_view> words) {
    for (std::string_view word : words)
        if (EqualsNoCase(text, word))
            return true;
    return false;
}

std::string FourInts(const std::array<std::int32_t, 4>& values) {
    return std::to_string(values[0]) + ", " + std::to_string(values[1]) + ", " +
           std::to_string(values[2]) + ", " + std::to_string(values[3]);
}

bool HasPosition(const std::array<std::int32_t, 4>& values) {
    for (std::int32_t v : values)
        if (v == -1)
            return false;
    return true;
}

// Names of the window kinds as the position, maximized and minimized keys spell them, in the
// order of CVLDoc::WindowKind.
constexpr std::array<const char*, CVLDoc::kWindowKinds> kWindowKeyNames{
    "Input",     "Output", "Flag",  "Var",          "Port",    "DataString",
    "LCDString", "XRef",   "smpte", "SequenceList", "Compile", "CompileError"};

struct WidthKey {
    const char* key;
    CVLDoc::ColGroup group;
};

} // namespace

// ---- [Unit] ----

void CVLDoc::WriteUnitSection(std::uint32_t flags) {
    const bool full = (flags & kWriteFull) != 0;
    WriteLine("\r\n[Unit]");
    if (full) {
        WriteLine("FileFormat", "1.0");
        WriteLine("FileFormatType", "Ascii");
    }
    if (!m_strDescription.empty())
        WriteLine("Description", m_strDescription);
    if (!m_strVersion.empty())
        WriteLine("Version", m_strVersion);
    if (!m_strAuthor1.empty())
        WriteLine("Author1", m_strAuthor1);
    if (!m_strAuthor2.empty())
        WriteLine("Author2", m_strAuthor2);
    if (!m_strAuthor3.empty())
        WriteLine("Author3", m_strAuthor3);
    if (full && m_nWriteProtected)
        WriteLine("WriteProtected", "YES");
    if (full && !m_nWriteHeaders)
        WriteLine("WriteHeaders", "NO");
    WriteLine("Type", m_pProduct ? std::string_view(m_pProduct->m_strName) : std::string_view());
    WriteIntLine("Address", m_wAddress);
    WriteLine("FrameRate", FrameRateText(m_wFrameRate));
    WriteLine("ClockSource", m_wClockSource == 1 ? "External" : "Processor");
    if (m_wClockSource == 1)
        WriteLine("ExternalFrequency", m_strExternalFrequency);
}

bool CVLDoc::QuerySyntaxError(const std::string& path, const std::string& text) {
    return ShowMessage("Error Reading " + path + ".\nSyntax Error:  " + text + "\n" +
                           "\nSelect YES to continue reading file anyway\nSelect NO to abort "
                           "reading file",
                       MsgButtons::YesNo, MsgIcon::Exclamation) == MsgResult::Yes;
}

bool CVLDoc::ReadUnitSection(const std::string& path) {
    SetStatusProgress("Reading KSF File:  Loading Unit Setup", -1);
    FindSection("Unit", false);

    std::string type = ReadKey("Type", "");
    const CProdList& products = Services().Products();
    if (auto pos = products.FindByNameNoCase(type)) {
        // The product's own spelling, so that a type written in another case opens with it.
        type = products.GetAt(*pos).m_strName;
    } else if (!QuerySyntaxError(path, "Expected Valid [Unit] Type")) {
        InitNewScript(kDefaultProduct);
        return false;
    } else {
        ShowDefaulting("Defaulting Unit Type to Harnel16");
        type = kDefaultProduct;
    }
    // The new-script defaults would put their own format text over the file's.
    const std::string fileFormat = m_strFileFormat;
    if (!InitNewScript(type))
        return false;
    m_strFileFormat = fileFormat;
    // Making the product may have read other files: look at [Unit] again.
    FindSection("Unit", false);

    m_strDescription = ReadKey("Description", "");
    m_strVersion = ReadKey("Version", "");
    m_strAuthor1 = ReadKey("Author1", "");
    m_strAuthor2 = ReadKey("Author2", "");
    m_strAuthor3 = ReadKey("Author3", "");
    m_nWriteProtected =
        IsOneOfNoCase(ReadKey("WriteProtected", "No"), {"YES", "ENABLED", "TRUE"}) ? 1 : 0;
    m_nWriteHeaders =
        IsOneOfNoCase(ReadKey("WriteHeaders", "YES"), {"NO", "DISABLED", "FALSE"}) ? 0 : 1;

    // Checked as read, before it is narrowed: 65536 must not pass as address 0.
    const int address = ReadIntKey("Address", 256);
    if (address < 0 || address > 255) {
        if (!QuerySyntaxError(path, "Expected Valid [Unit] Address ( 0 - 255 )"))
            return false;
        ShowDefaulting("Defaulting Unit Address to 0");
        m_wAddress = 0;
    } else {
        m_wAddress = static_cast<std::uint16_t>(address);
    }

    const double rate = ReadDoubleKey("FrameRate", 0.0);
    const auto known =
        std::find_if(kFrameRates.begin(), kFrameRates.end(),
                     [rate](const FrameRateEntry& entry) { return entry.rate == rate; });
    if (known != kFrameRates.end()) {
        m_wFrameRate = static_cast<std::uint16_t>(known - kFrameRates.begin());
    } else {
        if (!QuerySyntaxError(path, "Expected Valid [Unit] FrameRate ( 24, 25, 29.97, or 30 )"))
            return false;
        ShowDefaulting("Defaulting Frame Rate to 30 fps");
        m_wFrameRate = 3;
    }

    const std::string clock = ReadKey("ClockSource", "");
    if (EqualsNoCase(clock, "PROCESSOR")) {
        m_wClockSource = 0;
        m_strExternalFrequency = "0";
    } else if (EqualsNoCase(clock, "EXTERNAL")) {
        m_wClockSource = 1;
        m_strExternalFrequency = ReadKey("ExternalFrequency", "8000.0");
        const double hz = IniScanner::TextToDouble(m_strExternalFrequency);
        if (!(hz >= 0.0 && hz <= 6120.0)) {
            if (!QuerySyntaxError(path,
                                  "Expected Valid [Unit] ExternalFrequency ( 0 Hz - 6120 Hz )"))
                return false;
            ShowDefaulting("Defaulting External Frequency to 59.94 Hz");
            m_strExternalFrequency = "59.94";
        }
    } else {
        if (!QuerySyntaxError(path, "Expecting Valid [Unit] ClockSource ( Processor or External )"))
            return false;
        ShowDefaulting("Defaulting Clock Source to Processor");
        m_wClockSource = 0;
    }
    return true;
}

// ---- [Compiler] ----

void CVLDoc::WriteCompilerSection() {
    WriteLine("\r\n[Compiler]");
    WriteLine("Optimization", m_nOptimization == 1 ? "Size" : "Speed");
    WriteLine("Messages", m_nMessages == 1 ? "Verbose" : "Minimal");
    WriteLine("ErrorDetection", m_nErrorDetection == 1 ? "Maximum" : "Normal");
}

bool CVLDoc::ReadCompilerSection() {
    SetStatusProgress("Reading KSF File:  Loading Compiler Configuration", -1);
    if (!FindSection("Compiler", false))
        return true;
    m_nOptimization = EqualsNoCase(ReadKey("Optimization", "Speed"), "Size") ? 1 : 0;
    m_nMessages = EqualsNoCase(ReadKey("Messages", "Verbose"), "Minimal") ? 0 : 1;
    m_nErrorDetection = EqualsNoCase(ReadKey("ErrorDetection", "Normal"), "Maximum") ? 1 : 0;
    return true;
}

// ---- [Connection] ----

void CVLDoc::WriteConnectionSection() {
    const CommSettings& settings = Services().Settings();
    WriteLine("\r\n[Connection]");
    if (settings.serialPort == CommSettings::kSerialOffline) {
        WriteLine("Method", "Offline");
        return;
    }
    WriteLine("Method", "Serial");
    WriteLine("ComPort", "Com" + std::to_string(settings.serialPort + 1));
    if (const std::string timeout = TimeoutText(settings.serialTimeout); !timeout.empty())
        WriteLine("Timeout", timeout);
    static constexpr std::array<const char*, 5> kPacing{"0 ms", "50 ms", "100 ms", "150 ms",
                                                        "200 ms"};
    if (settings.serialDelay >= 0 && settings.serialDelay < static_cast<int>(kPacing.size()))
        WriteLine("Pacing", kPacing[static_cast<std::size_t>(settings.serialDelay)]);
    WriteIntLine("PacketSize", settings.serialBandwidth);
}

bool CVLDoc::ReadConnectionSection() {
    // Informational only: a script never changes the application's download settings.
    SetStatusProgress("Reading KSF File:  Loading Connection", -1);
    return true;
}

// ---- [WindowPlacement] ----

void CVLDoc::WriteWindowPlacement() {
    // Position, then the maximized and minimized flags, which only mean something with it.
    auto writePosition = [this](int kind) {
        const auto& position = m_anWindowPos[static_cast<std::size_t>(kind)];
        if (!HasPosition(position))
            return;
        const std::string name = kWindowKeyNames[static_cast<std::size_t>(kind)];
        WriteLine(name + "WindowPosition", FourInts(position));
        if (kind >= kWindowStateKinds)
            return;
        if (m_anMaximized[static_cast<std::size_t>(kind)])
            WriteLine(name + "WindowMaximized", "TRUE");
        if (m_anMinimized[static_cast<std::size_t>(kind)])
            WriteLine(name + "WindowMinimized", "TRUE");
    };
    auto writeWidths = [this](const char* key, ColGroup group) {
        std::string value;
        for (std::size_t i = 0; i < group.count; ++i) {
            if (i)
                value += ", ";
            value += std::to_string(m_awColWidths[group.first + i]);
        }
        WriteLine(key, value);
    };

    WriteLine("\r\n[WindowPlacement]");
    writePosition(kWinInput);
    writeWidths("InputColWidths", kColInput);
    writePosition(kWinOutput);
    writeWidths("OutputColWidths", kColOutput);
    writePosition(kWinFlag);
    writeWidths("FlagColWidths", kColFlag);
    writePosition(kWinVar);
    writeWidths("VariableColWidths", kColVar);
    writePosition(kWinPort);
    writeWidths("PortColWidths", kColPort);
    writePosition(kWinDataString);
    writeWidths("DataStringColWidths", kColDataString);
    writePosition(kWinLcdString);
    writeWidths("LcdStringColWidths", kColLcdString);
    writeWidths("XRefColWidths", kColXRef);
    writePosition(kWinSequenceList);
    writeWidths("SequenceColWidths", kColSequenceList);
    writeWidths("smpteColWidths", kColSmpte);
    writePosition(kWinCompile);
    writePosition(kWinCompileError);
    // The reader takes the flags of these two views as well; writing them keeps them.
    writePosition(kWinXRef);
    writePosition(kWinSmpte);
    if (m_nViewTimeLine)
        WriteLine("ViewTimeLine", "TRUE");
}

bool CVLDoc::ReadWindowPlacementSection() {
    SetStatusProgress("Reading KSF File:  Loading Window Placements", -1);
    if (!FindSection("WindowPlacement", false))
        return true;

    static constexpr std::array<WindowKind, kWindowKinds> kPositionOrder{
        kWinInput,     kWinOutput,       kWinFlag,    kWinVar,          kWinPort,  kWinDataString,
        kWinLcdString, kWinSequenceList, kWinCompile, kWinCompileError, kWinSmpte, kWinXRef};
    for (WindowKind kind : kPositionOrder) {
        const std::string name = kWindowKeyNames[kind];
        m_anWindowPos[kind] = [](const std::array<int, 4>& v) {
            return std::array<std::int32_t, 4>{v[0], v[1], v[2], v[3]};
        }(SplitFourInts(ReadKey(name + "WindowPosition", "")));
    }
    for (WindowKind kind : kPositionOrder) {
        if (kind >= kWindowStateKinds)
            continue;
        const std::string name = kWindowKeyNames[kind];
        m_anMaximized[kind] = EqualsNoCase(ReadKey(name + "WindowMaximized", "FALSE"), "TRUE");
        m_anMinimized[kind] = EqualsNoCase(ReadKey(name + "WindowMinimized", "FALSE"), "TRUE");
    }
    m_nViewTimeLine = EqualsNoCase(ReadKey("ViewTimeLine", "FALSE"), "TRUE") ? 1 : 0;

    static constexpr std::array<WidthKey, 10> kWidthKeys{{
        {"SequenceColWidths", kColSequenceList},
        {"InputColWidths", kColInput},
        {"OutputColWidths", kColOutput},
        {"FlagColWidths", kColFlag},
        {"VariableColWidths", kColVar},
        {"PortColWidths", kColPort},
        {"DataStringColWidths", kColDataString},
        {"LcdStringColWidths", kColLcdString},
        {"XRefColWidths", kColXRef},
        {"smpteColWidths", kColSmpte},
    }};
    for (const WidthKey& width : kWidthKeys) {
        const std::string text = ReadKey(width.key, "");
        for (std::size_t i = 0; i < width.group.count; ++i) {
            // 0 is no width: the stored one stays.
            const std::uint16_t value = CommaFieldToInt(text, static_cast<int>(i));
            if (value != 0)
                m_awColWidths[width.group.first + i] = value;
        }
    }
    return true;
}
