#include "link/script_archive.h"

#include "compiler/compiler_state.h"
#include "compiler/diagnostics.h"
#include "link/lzss_compressor.h"
#include "link/comm_dialog.h"
#include "link/controller_protocol.h"
#include "link/delay_ticks.h"
#include "link/log_format.h"
#include "link/serial_link.h"
#include "link/transfer_session.h"
#include "link/vl_doc_link.h"
#include "platform/doc_template.h"
#include "platform/ui_services.h"
#include "script/app_services.h"
#include "script/download_settings.h"
#include "script/vl_doc.h"

#include <algorithm>
#include <new>

namespace showlink {

namespace {

constexpr std::int32_t kColourGreen = 0x00C800; // (0, 200, 0)

const char* const kFileBufferMemory =
    "Not enough memory to allocate File Buffer ( *m_hpbBuffer ).  Aborting File Construction...";

// The lines and boxes of one archive operation, as the settings of the moment allow them.
class ArchiveLog {
public:
    explicit ArchiveLog(const CommSettings& settings) : settings_(settings) {}

    void Line(const std::string& text, std::int32_t colour = kColourDefault) const {
        ::PostCompileMessage(text, colour);
    }
    void Verbose(const std::string& text, std::int32_t colour = kColourDefault) const {
        if (settings_.verbose) {
            Line(text, colour);
        }
    }
    void Box(const std::string& text) const {
        if (!settings_.noCompilerPopups) {
            platform::ShowMessage(text);
        }
    }
    // A red line and the same text as a box.
    void Failure(const std::string& text) const {
        Line(text, kColourRed);
        Box(text);
    }
    ReplyReporter Reporter() const {
        return [](const std::string& text) { ::PostCompileMessage(text, kColourRed); };
    }

private:
    const CommSettings& settings_;
};

void PutWord(std::uint8_t* at, std::uint16_t value) {
    at[0] = static_cast<std::uint8_t>(value & 0xFF);
    at[1] = static_cast<std::uint8_t>(value >> 8);
}

std::uint16_t GetWord(const std::uint8_t* at) {
    return static_cast<std::uint16_t>(at[0] | (at[1] << 8));
}

bool IsControl(unsigned char c) {
    return c < 0x20 || c == 0x7F;
}

} // namespace

std::uint16_t ArchiveChecksum(const std::uint8_t* bytes, std::size_t count) {
    unsigned sum = 0;
    for (std::size_t i = 0; i < count; ++i) {
        sum += bytes[i];
    }
    return static_cast<std::uint16_t>(sum & 0xFFFF);
}

std::array<std::uint8_t, kArchiveHeaderSize>
MakeArchiveHeader(const std::vector<std::uint8_t>& packed, const std::string& scriptName) {
    std::array<std::uint8_t, kArchiveHeaderSize> header{};
    PutWord(&header[0], ArchiveChecksum(packed.data(), packed.size()));
    PutWord(&header[2], static_cast<std::uint16_t>(packed.size()));
    header[4] = kArchiveVersion;
    header[5] = kArchiveMode;
    header[6] = static_cast<std::uint8_t>(kArchiveNameField);
    const std::string name = scriptName + ".KSF";
    std::copy_n(name.begin(), std::min(name.size(), kArchiveNameField), header.begin() + 7);
    return header;
}

ArchiveHeader ReadArchiveHeader(const std::uint8_t* header) {
    ArchiveHeader result;
    result.checksum = GetWord(header);
    result.compressedLength = GetWord(header + 2);
    result.version = header[4];
    result.mode = header[5];
    result.nameLength = header[6];
    const std::size_t length = std::min<std::size_t>(result.nameLength, kArchiveNameField);
    for (std::size_t i = 0; i < length; ++i) {
        if (header[7 + i] != 0) {
            result.name.push_back(static_cast<char>(header[7 + i]));
        }
    }
    return result;
}

std::optional<std::vector<std::uint8_t>> PackArchiveText(std::string_view text) {
    std::vector<std::uint8_t> packed(kArchivePackCapacity);
    CYNCompressor compressor;
    const std::ptrdiff_t count =
        compressor.PackBuffer(reinterpret_cast<const std::uint8_t*>(text.data()), text.size(),
                              packed.data(), packed.size());
    if (count < 0) {
        return std::nullopt;
    }
    packed.resize(static_cast<std::size_t>(count));
    return packed;
}

std::optional<std::string> ExpandArchiveText(const std::uint8_t* packed, std::size_t count) {
    std::vector<std::uint8_t> expanded(kArchiveExpandCapacity);
    CYNCompressor compressor;
    const std::ptrdiff_t length =
        compressor.UnpackBuffer(packed, count, expanded.data(), expanded.size());
    if (length < 0) {
        return std::nullopt;
    }
    return std::string(expanded.begin(), expanded.begin() + length);
}

std::string PlainArchiveFileName(std::string_view storedName) {
    const std::size_t cut = storedName.find_last_of("/\\:");
    if (cut != std::string_view::npos) {
        storedName.remove_prefix(cut + 1);
    }
    std::string name;
    for (char c : storedName) {
        if (!IsControl(static_cast<unsigned char>(c))) {
            name.push_back(c);
        }
    }
    // Only dots and blanks would name the folder itself, or nothing a file system keeps.
    if (name.find_first_not_of(". ") == std::string::npos) {
        return kRetrievedScriptName;
    }
    return name;
}

bool StoreArchive(CVLDoc& doc, CSerialLink& link) {
    const CommSettings settings = doc.Services().Settings();
    const ArchiveLog log(settings);
    platform::WaitCursor wait;
    // The lines go to this script's compile view (the download's, when it called).
    if (CompileMessageSink* view = FindCompileView(doc)) {
        DirectCompileMessages(view);
    }
    const std::string scriptName = doc.GetScriptName();

    bool written = false;
    try {
        written =
            doc.WriteScriptToBuffer(CVLDoc::kWriteAll, 1, static_cast<int>(doc.m_poSeqList.size()));
    } catch (const std::bad_alloc&) {
        doc.FreeFileBuffer();
        platform::ShowMessage(kFileBufferMemory);
        return false;
    }
    if (!written) {
        doc.FreeFileBuffer();
        log.Failure("Script could not be archived successfully!");
        return false;
    }
    if (doc.m_dUnitVersion < kArchiveFirmware) {
        doc.FreeFileBuffer();
        log.Failure("This Show Controller has firmware revision " +
                    FormatFixed(doc.m_dUnitVersion) +
                    ", and the required firmware revision is 5.61 or higher\n\nThe Script could "
                    "not be archived successfully!");
        return false;
    }

    const std::string_view text = doc.WrittenText();
    log.Line("");
    log.Verbose(
        Format("  Uncompressed Archive size is %lu", static_cast<unsigned long>(text.size())));
    log.Line("Compressing KSF file into PKZIP format.  This may take a moment...", kColourBlue);
    std::optional<std::vector<std::uint8_t>> packed;
    try {
        packed = PackArchiveText(text);
    } catch (const std::bad_alloc&) {
        doc.FreeFileBuffer();
        platform::ShowMessage(kFileBufferMemory);
        return false;
    }
    doc.FreeFileBuffer();
    if (!packed) {
        // The packed form would not fit its buffer: nothing goes to the controller.
        log.Failure("Script could not be archived successfully!");
        return false;
    }
    log.Line("Compression complete.", kColourBlue);

    const auto total = static_cast<long>(packed->size() + kArchiveHeaderSize);
    const long space = static_cast<long>(doc.m_nUnitEepromSize) - doc.m_wImageLength;
    log.Verbose(Format("  Compressed Archive size is %ld", total));
    log.Verbose(Format("  Space available in EEPROM for Archive is %ld", space));
    if (space < total) {
        log.Line("There is not enough room for the Archive. Script could not be archived "
                 "successfully!",
                 kColourRed);
        log.Box("There is not enough room for the Archive.\n\nScript could not be archived "
                "successfully!");
        return false;
    }

    const auto header = MakeArchiveHeader(*packed, scriptName);
    log.Verbose(Format("  Checksum to store is %4.4X",
                       static_cast<unsigned>(ArchiveChecksum(packed->data(), packed->size()))));
    log.Verbose("  Requesting Store Archive from Show Control Unit", kColourBlue);

    link.Drain();
    const int answer = SendAndReadByte(link, kArchiveReplyTimeout, kRequestTries,
                                       {kCmdStoreArchive, static_cast<std::uint8_t>(total & 0xFF),
                                        static_cast<std::uint8_t>((total >> 8) & 0xFF)},
                                       log.Reporter());
    if (answer < 0) {
        return false;
    }
    log.Verbose(Format("  Store Archive Request Byte Returned [%2.2X]", answer));
    if (answer == kNak) {
        log.Line("Error: Store Archive request denied by Show Control Unit", kColourRed);
        return false;
    }
    if (answer != kAck) {
        log.Line("Error: Store Archive received unknown response from Show Control Unit",
                 kColourRed);
        return false;
    }
    log.Verbose("  Store Archive request acknowledged", kColourGreen);
    log.Line("");
    log.Line("Storing Archive in Show Control Unit...", kColourBlue);

    // The header goes unpaced; the pacing counts the packed bytes only.
    if (!SendBulkStream(link, header.data(), header.size(), settings.serialBandwidth, 0) ||
        !SendBulkStream(link, packed->data(), packed->size(), settings.serialBandwidth,
                        settings.serialDelay)) {
        log.Line("Error: Hardware error transmitting message to Show Control Unit", kColourRed);
        return false;
    }

    link.WaitUntilSent();
    const int completion = link.ReadByte(kArchiveReplyTimeout);
    if (completion == kReplyTimedOut) {
        log.Line("Error: Store Archive Failed, Timed out receiving response from Show Control "
                 "Unit!",
                 kColourRed);
        log.Box("Store Archive Failed, Timed out receiving response from Show Control Unit!");
        return false;
    }
    if (completion == kReplyFailed) {
        log.Line("Error: Store Archive Failed, Hardware error receiving response from Show "
                 "Control Unit",
                 kColourRed);
        log.Box("Store Archive Failed, Hardware error receiving response from Show Control Unit");
        return false;
    }
    log.Verbose(Format("  Store Archive Completion Status Byte Returned [%2.2X]", completion));
    if (completion == kNak) {
        log.Line("Error: Store Archive Failed, NACKed by Show Control Unit!", kColourRed);
        log.Box("Store Archive Failed, NACKed by Show Control Unit!");
        return false;
    }
    if (completion != kAck) {
        log.Line("Error: Store Archive Failed, Unknown Response from Show Control Unit!",
                 kColourRed);
        log.Box("Store Archive Failed, Unknown Response from Show Control Unit!");
        return false;
    }
    log.Line(Format("%s.KSF successfully archived!", scriptName.c_str()));
    log.Box("Archive Successfully Stored!  Don't forget to save backup copies of your KSF and "
            "unique, user created PCL files!!!");
    return true;
}

bool RetrieveArchive(CVLDoc& doc) {
    if (doc.m_nCreatedForUpload != 1) {
        return false;
    }
    CompileMessageSink* view = FindCompileView(doc);
    if (!view) {
        if (platform::ViewTemplate* compileTemplate = doc.Services().CompileTemplate()) {
            compileTemplate->CreateViewFrame(doc);
        }
        view = FindCompileView(doc);
    }
    if (!view) {
        return false;
    }
    DirectCompileMessages(view);
    view->ClearMessages();
    ::PostCompileMessage("Ready to Retrieve Archive...");

    AppServices& app = doc.Services();
    if (!RunCommDialog(app, "Please select method of retrieval", std::string(),
                       CommDialogMode::Retrieve)) {
        return true;
    }
    const CommSettings settings = app.Settings();
    const ArchiveLog log(settings);
    TransferSession session(
        settings,
        [](const std::string& text, LogColour colour) {
            ::PostCompileMessage(text, colour == LogColour::Red    ? kColourRed
                                       : colour == LogColour::Blue ? kColourBlue
                                                                   : kColourDefault);
        },
        "  ", kArchiveReplyTimeout);
    const ReplyReporter report = session.Reporter();
    session.AnnounceOpening();
    if (!session.Open(0)) {
        return false;
    }
    session.AnnounceSettings();
    platform::WaitCursor wait;
    const std::optional<std::string> versionLine = session.RequestFirmware();
    if (!versionLine) {
        return false;
    }
    ParseFirmwareVersion(*versionLine, doc.m_dUnitVersion);
    session.Verbose("Version Bytes Returned [" + HexBytes(*versionLine) + "]");
    if (doc.m_dUnitVersion < kArchiveFirmware) {
        log.Failure("Show Controller firmware revision is " + FormatFixed(doc.m_dUnitVersion) +
                    ", but 5.61 or higher is required to archive.");
        return false;
    }

    const int memoryKb = session.RequestMemory();
    if (memoryKb < 0) {
        return false;
    }
    doc.m_nUnitEepromSize = memoryKb * 1024;
    CSerialLink& link = session.Link();
    log.Verbose(Format("  Show Control Unit has a %dK EEPROM", memoryKb));
    log.Verbose(Format("  Total EEPROM size: %ld", static_cast<long>(doc.m_nUnitEepromSize)));

    link.Drain();
    log.Verbose("  Requesting Archive from Show Control Unit");
    const int totalLow =
        SendAndReadByte(link, kArchiveReplyTimeout, kRequestTries, {kCmdReadArchive}, report);
    if (totalLow < 0) {
        return false;
    }
    const int totalHigh = ReadReplyByte(link, kArchiveReplyTimeout, report);
    if (totalHigh < 0) {
        return false;
    }
    const int total = totalLow | (totalHigh << 8);
    if (total == 0) {
        log.Box("No Archive stored in this Show Controller!");
        log.Line("No Archive stored in this Show Controller!", kColourRed);
        return false;
    }
    log.Verbose(Format("  The Archive Size is %d", total));

    std::array<std::uint8_t, kArchiveHeaderSize> headerBytes{};
    for (auto& byte : headerBytes) {
        const int value = ReadReplyByte(link, kArchiveReplyTimeout, report);
        if (value < 0) {
            return false;
        }
        byte = static_cast<std::uint8_t>(value);
    }
    const ArchiveHeader header = ReadArchiveHeader(headerBytes.data());
    log.Verbose(Format("  The Stored Checksum is %4.4X", static_cast<unsigned>(header.checksum)));
    log.Verbose(
        Format("  The Stored Script Length is %d", static_cast<int>(header.compressedLength)));
    log.Verbose(Format("  The Stored Version is [%2.2X]", static_cast<unsigned>(header.version)));
    log.Verbose(Format("  The Stored Mode Byte is [%2.2X]", static_cast<unsigned>(header.mode)));
    log.Verbose(
        Format("  The Stored Script Name Length is %d", static_cast<int>(header.nameLength)));
    log.Verbose(Format("  The Stored File Name is %s", header.name.c_str()));

    log.Line("");
    log.Line("Retrieving Archive from Show Control Unit...", kColourBlue);
    DelayTicksPumped(18);

    std::vector<std::uint8_t> packed;
    try {
        packed.reserve(header.compressedLength);
    } catch (const std::bad_alloc&) {
        platform::ShowMessage(kFileBufferMemory);
        return false;
    }
    unsigned sum = 0;
    for (std::size_t i = 0; i < header.compressedLength; ++i) {
        const int value = ReadReplyByte(link, kArchiveReplyTimeout, report);
        if (value < 0) {
            return false;
        }
        packed.push_back(static_cast<std::uint8_t>(value));
        sum = (sum + static_cast<unsigned>(value)) & 0xFFFF;
    }
    session.Close();
    log.Line("");

    if (sum != header.checksum) {
        log.Line("This file IS NOT a valid Archive file!", kColourRed);
        log.Box("Retrieval Failed");
        return false;
    }
    log.Verbose("  The Checksum passed validation");
    log.Line("Archive successfully Retrieved", kColourGreen);
    log.Line("");
    log.Verbose(Format("  Compressed Archive size is %lu", static_cast<unsigned long>(total)));
    log.Line("Decompressing KSF file from PKZIP format.  This may take a while.", kColourBlue);
    std::optional<std::string> text;
    try {
        text = ExpandArchiveText(packed.data(), packed.size());
    } catch (const std::bad_alloc&) {
        platform::ShowMessage(kFileBufferMemory);
        return false;
    }

    const std::string path = PlainArchiveFileName(header.name);
    bool rebuilt = false;
    if (text) {
        // An archive that expands past its buffer is no script: it takes the failure path.
        log.Line("Decompression complete.", kColourBlue);
        log.Verbose(Format("  Decompressed Archive size is %d", static_cast<int>(text->size())));
        try {
            doc.LoadFileBuffer(*text);
        } catch (const std::bad_alloc&) {
            platform::ShowMessage(kFileBufferMemory);
            return false;
        }
        text.reset();
        rebuilt = doc.ReadScript(path);
    }
    doc.FreeFileBuffer();
    if (!rebuilt) {
        log.Box("The Script could not be removed from the Archive!");
        log.Line("The Script could not be removed from the Archive!", kColourRed);
        return false;
    }
    doc.SetModifiedFlag(false);
    doc.SetPathName(path);
    doc.SetAddToRecentFiles(true);
    doc.UpdateViewTitles();
    platform::ShowMessage("Retrieval Successful");
    return true;
}

} // namespace showlink
