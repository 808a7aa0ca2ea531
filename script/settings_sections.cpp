// The settings sections of the script source file: [Unit], [Compiler], [Connection],
// [WindowPlacement].
#include "script/script_file.h"
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

void ScriptFileWriter::WriteUnitSection(std::uint32_t flags) {
    const bool full = (flags & CVLDoc::kWriteFull) != 0;
    doc_.WriteLine(std::nullopt);
    doc_.WriteLine("[Unit]");
    if (full) {
        doc_.WriteLine("FileFormat", "1.0");
        doc_.WriteLine("FileFormatType", "Ascii");
    }
    if (!doc_.m_strDescription.empty())
        doc_.WriteLine("Description", doc_.m_strDescription);
    if (!doc_.m_strVersion.empty())
        doc_.WriteLine("Version", doc_.m_strVersion);
    if (!doc_.m_strAuthor1.empty())
        doc_.WriteLine("Author1", doc_.m_strAuthor1);
    if (!doc_.m_strAuthor2.empty())
        doc_.WriteLine("Author2", doc_.m_strAuthor2);
    if (!doc_.m_strAuthor3.empty())
        doc_.WriteLine("Author3", doc_.m_strAuthor3);
    if (full && doc_.m_nWriteProtected)
        doc_.WriteLine("WriteProtected", "YES");
    if (full && !doc_.m_nWriteHeaders)
        doc_.WriteLine("WriteHeaders", "NO");
    doc_.WriteLine("Type", doc_.m_pProduct ? std::string_view(doc_.m_pProduct->m_strName)
                                           : std::string_view());
    doc_.WriteIntLine("Address", doc_.m_wAddress);
    doc_.WriteLine("FrameRate", FrameRateText(doc_.m_wFrameRate));
    doc_.WriteLine("ClockSource", doc_.m_wClockSource == 1 ? "External" : "Processor");
    if (doc_.m_wClockSource == 1)
        doc_.WriteLine("ExternalFrequency", doc_.m_strExternalFrequency);
}

bool ScriptFileReader::QuerySyntaxError(const std::string& path, const std::string& text) {
    return ShowMessage("Error Reading " + path + ".\nSyntax Error:  " + text + "\n" +
                           "\nSelect YES to continue reading file anyway\nSelect NO to abort "
                           "reading file",
                       MsgButtons::YesNo, MsgIcon::Exclamation) == MsgResult::Yes;
}

bool ScriptFileReader::ReadUnitSection(const std::string& path) {
    doc_.SetStatusProgress("Reading KSF File:  Loading Unit Setup", -1);
    doc_.FindSection("Unit", false);

    std::string type = doc_.ReadKey("Type", "");
    const CProdList& products = doc_.Services().Products();
    if (auto pos = products.FindByNameNoCase(type)) {
        // The product's own spelling, so that a type written in another case opens with it.
        type = products.GetAt(*pos).m_strName;
    } else if (!QuerySyntaxError(path, "Expected Valid [Unit] Type")) {
        doc_.InitNewScript(CVLDoc::kDefaultProduct);
        return false;
    } else {
        ShowDefaulting("Defaulting Unit Type to Harnel16");
        type = CVLDoc::kDefaultProduct;
    }
    // The new-script defaults would put their own format text over the file's.
    const std::string fileFormat = doc_.m_strFileFormat;
    if (!doc_.InitNewScript(type))
        return false;
    doc_.m_strFileFormat = fileFormat;
    // Making the product may have read other files: look at [Unit] again.
    doc_.FindSection("Unit", false);

    doc_.m_strDescription = doc_.ReadKey("Description", "");
    doc_.m_strVersion = doc_.ReadKey("Version", "");
    doc_.m_strAuthor1 = doc_.ReadKey("Author1", "");
    doc_.m_strAuthor2 = doc_.ReadKey("Author2", "");
    doc_.m_strAuthor3 = doc_.ReadKey("Author3", "");
    doc_.m_nWriteProtected =
        IsOneOfNoCase(doc_.ReadKey("WriteProtected", "No"), {"YES", "ENABLED", "TRUE"}) ? 1 : 0;
    doc_.m_nWriteHeaders =
        IsOneOfNoCase(doc_.ReadKey("WriteHeaders", "YES"), {"NO", "DISABLED", "FALSE"}) ? 0 : 1;

    // Checked as read, before it is narrowed: 65536 must not pass as address 0.
    const int address = doc_.ReadIntKey("Address", 256);
    if (address < 0 || address > 255) {
        if (!QuerySyntaxError(path, "Expected Valid [Unit] Address ( 0 - 255 )"))
            return false;
        ShowDefaulting("Defaulting Unit Address to 0");
        doc_.m_wAddress = 0;
    } else {
        doc_.m_wAddress = static_cast<std::uint16_t>(address);
    }

    const double rate = doc_.ReadDoubleKey("FrameRate", 0.0);
    const auto known =
        std::find_if(kFrameRates.begin(), kFrameRates.end(),
                     [rate](const FrameRateEntry& entry) { return entry.rate == rate; });
    if (known != kFrameRates.end()) {
        doc_.m_wFrameRate = static_cast<std::uint16_t>(known - kFrameRates.begin());
    } else {
        if (!QuerySyntaxError(path, "Expected Valid [Unit] FrameRate ( 24, 25, 29.97, or 30 )"))
            return false;
        ShowDefaulting("Defaulting Frame Rate to 30 fps");
        doc_.m_wFrameRate = 3;
    }

    const std::string clock = doc_.ReadKey("ClockSource", "");
    if (EqualsNoCase(clock, "PROCESSOR")) {
        doc_.m_wClockSource = 0;
        doc_.m_strExternalFrequency = "0";
    } else if (EqualsNoCase(clock, "EXTERNAL")) {
        doc_.m_wClockSource = 1;
        doc_.m_strExternalFrequency = doc_.ReadKey("ExternalFrequency", "8000.0");
        const double hz = IniScanner::TextToDouble(doc_.m_strExternalFrequency);
        if (!(hz >= 0.0 && hz <= 6120.0)) {
            if (!QuerySyntaxError(path,
                                  "Expected Valid [Unit] ExternalFrequency ( 0 Hz - 6120 Hz )"))
                return false;
            ShowDefaulting("Defaulting External Frequency to 59.94 Hz");
            doc_.m_strExternalFrequency = "59.94";
        }
    } else {
        if (!QuerySyntaxError(path, "Expecting Valid [Unit] ClockSource ( Processor or External )"))
            return false;
        ShowDefaulting("Defaulting Clock Source to Processor");
        doc_.m_wClockSource = 0;
    }
    return true;
}

// ---- [Compiler] ----

void ScriptFileWriter::WriteCompilerSection() {
    doc_.WriteLine(std::nullopt);
    doc_.WriteLine("[Compiler]");
    doc_.WriteLine("Optimization", doc_.m_nOptimization == 1 ? "Size" : "Speed");
    doc_.WriteLine("Messages", doc_.m_nMessages == 1 ? "Verbose" : "Minimal");
    doc_.WriteLine("ErrorDetection", doc_.m_nErrorDetection == 1 ? "Maximum" : "Normal");
}

bool ScriptFileReader::ReadCompilerSection() {
    doc_.SetStatusProgress("Reading KSF File:  Loading Compiler Configuration", -1);
    if (!doc_.FindSection("Compiler", false))
        return true;
    doc_.m_nOptimization = EqualsNoCase(doc_.ReadKey("Optimization", "Speed"), "Size") ? 1 : 0;
    doc_.m_nMessages = EqualsNoCase(doc_.ReadKey("Messages", "Verbose"), "Minimal") ? 0 : 1;
    doc_.m_nErrorDetection =
        EqualsNoCase(doc_.ReadKey("ErrorDetection", "Normal"), "Maximum") ? 1 : 0;
    return true;
}

// ---- [Connection] ----

void ScriptFileWriter::WriteConnectionSection() {
    const CommSettings& settings = doc_.Services().Settings();
    doc_.WriteLine(std::nullopt);
    doc_.WriteLine("[Connection]");
    if (settings.serialPort == CommSettings::kSerialOffline) {
        doc_.WriteLine("Method", "Offline");
        return;
    }
    doc_.WriteLine("Method", "Serial");
    doc_.WriteLine("ComPort", "Com" + std::to_string(settings.serialPort + 1));
    if (const std::string timeout = TimeoutText(settings.serialTimeout); !timeout.empty())
        doc_.WriteLine("Timeout", timeout);
    static constexpr std::array<const char*, 5> kPacing{"0 ms", "50 ms", "100 ms", "150 ms",
                                                        "200 ms"};
    if (settings.serialDelay >= 0 && settings.serialDelay < static_cast<int>(kPacing.size()))
        doc_.WriteLine("Pacing", kPacing[static_cast<std::size_t>(settings.serialDelay)]);
    doc_.WriteIntLine("PacketSize", settings.serialBandwidth);
}

bool ScriptFileReader::ReadConnectionSection() {
    // Informational only: a script never changes the application's download settings.
    doc_.SetStatusProgress("Reading KSF File:  Loading Connection", -1);
    return true;
}

// ---- [WindowPlacement] ----

void ScriptFileWriter::WriteWindowPlacement() {
    // Position, then the maximized and minimized flags, which only mean something with it.
    auto writePosition = [this](int kind) {
        const auto& position = doc_.m_anWindowPos[static_cast<std::size_t>(kind)];
        if (!HasPosition(position))
            return;
        const std::string name = kWindowKeyNames[static_cast<std::size_t>(kind)];
        doc_.WriteLine(name + "WindowPosition", FourInts(position));
        if (kind >= CVLDoc::kWindowStateKinds)
            return;
        if (doc_.m_anMaximized[static_cast<std::size_t>(kind)])
            doc_.WriteLine(name + "WindowMaximized", "TRUE");
        if (doc_.m_anMinimized[static_cast<std::size_t>(kind)])
            doc_.WriteLine(name + "WindowMinimized", "TRUE");
    };
    auto writeWidths = [this](const char* key, CVLDoc::ColGroup group) {
        std::string value;
        for (std::size_t i = 0; i < group.count; ++i) {
            if (i)
                value += ", ";
            value += std::to_string(doc_.m_awColWidths[group.first + i]);
        }
        doc_.WriteLine(key, value);
    };

    doc_.WriteLine(std::nullopt);
    doc_.WriteLine("[WindowPlacement]");
    writePosition(CVLDoc::kWinInput);
    writeWidths("InputColWidths", CVLDoc::kColInput);
    writePosition(CVLDoc::kWinOutput);
    writeWidths("OutputColWidths", CVLDoc::kColOutput);
    writePosition(CVLDoc::kWinFlag);
    writeWidths("FlagColWidths", CVLDoc::kColFlag);
    writePosition(CVLDoc::kWinVar);
    writeWidths("VariableColWidths", CVLDoc::kColVar);
    writePosition(CVLDoc::kWinPort);
    writeWidths("PortColWidths", CVLDoc::kColPort);
    writePosition(CVLDoc::kWinDataString);
    writeWidths("DataStringColWidths", CVLDoc::kColDataString);
    writePosition(CVLDoc::kWinLcdString);
    writeWidths("LcdStringColWidths", CVLDoc::kColLcdString);
    writeWidths("XRefColWidths", CVLDoc::kColXRef);
    writePosition(CVLDoc::kWinSequenceList);
    writeWidths("SequenceColWidths", CVLDoc::kColSequenceList);
    writeWidths("smpteColWidths", CVLDoc::kColSmpte);
    writePosition(CVLDoc::kWinCompile);
    writePosition(CVLDoc::kWinCompileError);
    // The reader takes the flags of these two views as well; writing them keeps them.
    writePosition(CVLDoc::kWinXRef);
    writePosition(CVLDoc::kWinSmpte);
    if (doc_.m_nViewTimeLine)
        doc_.WriteLine("ViewTimeLine", "TRUE");
}

bool ScriptFileReader::ReadWindowPlacementSection() {
    doc_.SetStatusProgress("Reading KSF File:  Loading Window Placements", -1);
    if (!doc_.FindSection("WindowPlacement", false))
        return true;

    static constexpr std::array<CVLDoc::WindowKind, CVLDoc::kWindowKinds> kPositionOrder{
        CVLDoc::kWinInput,        CVLDoc::kWinOutput,       CVLDoc::kWinFlag,
        CVLDoc::kWinVar,          CVLDoc::kWinPort,         CVLDoc::kWinDataString,
        CVLDoc::kWinLcdString,    CVLDoc::kWinSequenceList, CVLDoc::kWinCompile,
        CVLDoc::kWinCompileError, CVLDoc::kWinSmpte,        CVLDoc::kWinXRef};
    for (CVLDoc::WindowKind kind : kPositionOrder) {
        const std::string name = kWindowKeyNames[kind];
        doc_.m_anWindowPos[kind] = [](const std::array<int, 4>& v) {
            return std::array<std::int32_t, 4>{v[0], v[1], v[2], v[3]};
        }(SplitFourInts(doc_.ReadKey(name + "WindowPosition", "")));
    }
    for (CVLDoc::WindowKind kind : kPositionOrder) {
        if (kind >= CVLDoc::kWindowStateKinds)
            continue;
        const std::string name = kWindowKeyNames[kind];
        doc_.m_anMaximized[kind] =
            EqualsNoCase(doc_.ReadKey(name + "WindowMaximized", "FALSE"), "TRUE");
        doc_.m_anMinimized[kind] =
            EqualsNoCase(doc_.ReadKey(name + "WindowMinimized", "FALSE"), "TRUE");
    }
    doc_.m_nViewTimeLine = EqualsNoCase(doc_.ReadKey("ViewTimeLine", "FALSE"), "TRUE") ? 1 : 0;

    static constexpr std::array<WidthKey, 10> kWidthKeys{{
        {"SequenceColWidths", CVLDoc::kColSequenceList},
        {"InputColWidths", CVLDoc::kColInput},
        {"OutputColWidths", CVLDoc::kColOutput},
        {"FlagColWidths", CVLDoc::kColFlag},
        {"VariableColWidths", CVLDoc::kColVar},
        {"PortColWidths", CVLDoc::kColPort},
        {"DataStringColWidths", CVLDoc::kColDataString},
        {"LcdStringColWidths", CVLDoc::kColLcdString},
        {"XRefColWidths", CVLDoc::kColXRef},
        {"smpteColWidths", CVLDoc::kColSmpte},
    }};
    for (const WidthKey& width : kWidthKeys) {
        const std::string text = doc_.ReadKey(width.key, "");
        for (std::size_t i = 0; i < width.group.count; ++i) {
            // 0 is no width: the stored one stays.
            const std::uint16_t value = CommaFieldToInt(text, static_cast<int>(i));
            if (value != 0)
                doc_.m_awColWidths[width.group.first + i] = value;
        }
    }
    return true;
}
