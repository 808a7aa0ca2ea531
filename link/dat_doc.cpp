#include "link/dat_doc.h"

#include "link/comm_dialog.h"
#include "link/controller_protocol.h"
#include "link/log_format.h"
#include "link/script_transfer.h"
#include "link/serial_link.h"
#include "link/transfer_session.h"
#include "platform/file_handle.h"
#include "platform/replace_file.h"
#include "script/app_services.h"
#include "script/dialog_requests.h"
#include "script/download_settings.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

using namespace showlink;

namespace {

constexpr double kRetrieveFirmware = 5.61;

} // namespace

CDatDoc::CDatDoc(AppServices& services) : CDatDoc() {
    m_pServices = &services;
}

AppServices& CDatDoc::Services() const {
    if (!m_pServices)
        throw MissingService("program");
    return *m_pServices;
}

CDatDoc::CDatDoc() : m_hpbDat(new (std::nothrow) std::uint8_t[kBufferSize]()) {
    if (!m_hpbDat) {
        platform::ShowMessage("Not enough memory to allocate Show Memory to DAT file ( *m_hpbDat "
                              ").  Aborting File Construction...");
    }
}

CDatDoc::~CDatDoc() = default;

bool CDatDoc::OnNewDocument() {
    m_wDatLength = 0;
    m_nFileSize = 0;
    m_wStoredChecksum = 0;
    m_dFirmware = 0.0;
    m_lMemorySize = 0;
    m_bChecksumValid = 1;
    return true;
}

namespace {

bool DatImageValid(const std::uint8_t* bytes, std::size_t size) {
    // An image holds its checksum word and at least one byte it sums; nothing longer than the
    // controller's largest image is one, whatever its first word says.
    if (size < 3 || size > CDatDoc::kBufferSize) {
        return false;
    }
    return StoredChecksum(bytes, size) == ComputedChecksum(bytes, size);
}

} // namespace

void CDatDoc::UpdateValidity(std::size_t fullSize) {
    const std::uint8_t* image = m_hpbDat.get();
    m_nFileSize = fullSize;
    m_wStoredChecksum = showlink::StoredChecksum(image, m_wDatLength);
    m_bChecksumValid = fullSize == m_wDatLength && DatImageValid(image, m_wDatLength) ? 1 : 0;
}

void CDatDoc::LoadImage(const std::uint8_t* bytes, std::size_t count) {
    if (!m_hpbDat) {
        return;
    }
    const std::size_t n = std::min(count, kBufferSize);
    std::copy(bytes, bytes + n, m_hpbDat.get());
    m_wDatLength = static_cast<std::uint16_t>(n);
    UpdateValidity(count);
}

std::vector<std::uint8_t> CDatDoc::Image() const {
    if (!m_hpbDat) {
        return {};
    }
    return {m_hpbDat.get(), m_hpbDat.get() + m_wDatLength};
}

bool CDatDoc::OnOpenDocument(const std::string& path) {
    if (!m_hpbDat) {
        return false;
    }
    struct stat st {};
    std::string reason;
    const platform::FileHandle file = platform::OpenRegularFile(path, &reason, &st);
    if (!file.IsOpen()) {
        platform::ShowMessage("Unable to open " + path + ": " + reason);
        return false;
    }
    const int fd = file.Get();
    std::vector<std::uint8_t> bytes(kBufferSize);
    std::size_t count = 0;
    while (count < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + count, bytes.size() - count);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            const int error = errno;
            platform::ShowMessage("Unable to open " + path + ": " + std::strerror(error));
            return false;
        }
        if (n == 0) {
            break;
        }
        count += static_cast<std::size_t>(n);
    }
    // The real size, so a longer file is shown as such and never passes as an image.
    const auto size = std::max(count, static_cast<std::size_t>(st.st_size));
    std::copy_n(bytes.data(), count, m_hpbDat.get());
    m_wDatLength = static_cast<std::uint16_t>(count);
    UpdateValidity(size);
    SetPathName(path);
    SetModifiedFlag(false);
    return true;
}

bool CDatDoc::OnSaveDocument(const std::string& path) {
    if (!m_hpbDat) {
        return false;
    }
    // Replaced, never truncated in place: a failed save leaves the old file whole.
    const std::string_view bytes(reinterpret_cast<const char*>(m_hpbDat.get()), m_wDatLength);
    if (platform::ReplaceFile(path, bytes) != platform::ReplaceResult::Ok) {
        return false;
    }
    SetPathName(path);
    SetModifiedFlag(false);
    return true;
}

bool CDatDoc::OnFileSave() {
    return DoSave(GetPathName(), GetPathName().empty());
}

bool CDatDoc::OnFileSaveAs() {
    return DoSave(GetPathName(), true);
}

bool CDatDoc::DoSave(const std::string& path, bool askForPath) {
    std::string target = path;
    if (askForPath) {
        CSaveAsDlg dialog;
        dialog.filter = "Compiled files (*.dat)";
        dialog.defaultExtension = ".dat";
        dialog.path = path.empty() ? GetTitle() + ".dat" : path;
        if (!platform::Ui().RunDialog(dialog) || dialog.path.empty()) {
            return false;
        }
        target = dialog.path;
    }
    const std::string before = GetTitle();
    if (!OnSaveDocument(target)) {
        platform::ShowMessage("Failed to save document.", platform::MsgButtons::Ok,
                              platform::MsgIcon::Exclamation);
        return false;
    }
    if (GetTitle() != before) {
        for (platform::View* view : Views()) {
            view->SetFrameTitle(GetTitle());
        }
    }
    return true;
}

DatListView* CDatDoc::FindListView() const {
    for (platform::View* view : Views()) {
        if (auto* list = dynamic_cast<DatListView*>(view)) {
            return list;
        }
    }
    return nullptr;
}

void CDatDoc::LogLine(const std::string& text) {
    if (DatListView* view = FindListView()) {
        view->AddLine(text);
    }
}

void CDatDoc::BeginLog() {
    if (DatListView* view = FindListView()) {
        view->ClearLines();
    }
}

CDatStatusDlg CDatDoc::StatusTexts() const {
    CDatStatusDlg texts;
    texts.m_strSize = Format("The Size is %zu", m_nFileSize);
    if (m_bChecksumValid) {
        texts.m_strChecksum =
            Format("The Checksum is %4.4X", static_cast<unsigned>(m_wStoredChecksum));
        texts.m_strValidation = "The Checksum passed validation";
    } else {
        texts.m_strValidation = "This file IS NOT a valid DAT file!";
    }
    return texts;
}

void CDatDoc::OnFileStatus() {
    CDatStatusDlg dialog = StatusTexts();
    platform::Ui().RunDialog(dialog);
}

TransferSession CDatDoc::MakeSession(const CommSettings& settings) {
    return TransferSession(
        settings, [this](const std::string& text, LogColour) { LogLine(text); }, "* ",
        settings.serialTimeout);
}

bool CDatDoc::ReadVersion(TransferSession& session) {
    const std::optional<std::string> line = session.RequestFirmware();
    if (!line)
        return false;
    ParseFirmwareVersion(*line, m_dFirmware);
    session.Verbose("Version Bytes Returned [" + HexBytes(*line) + "]");
    return true;
}

bool CDatDoc::ReadMemorySize(TransferSession& session) {
    const int kb = session.RequestMemory();
    if (kb < 0)
        return false;
    m_lMemorySize = kb * 1024;
    return true;
}

void CDatDoc::OnDownload() {
    if (!m_hpbDat) {
        return;
    }
    BeginLog();
    LogLine("Ready to Download...");
    AppServices& app = Services();
    if (!RunCommDialog(app, "Please select method of download", std::string())) {
        return;
    }
    const CommSettings settings = app.Settings();
    platform::WaitCursor wait;
    m_dFirmware = 0.0;
    TransferSession session = MakeSession(settings);
    session.AnnounceOpening();
    if (!session.Open(0)) {
        return;
    }
    session.AnnounceSettings();
    if (!ReadVersion(session) || !ReadMemorySize(session)) {
        return;
    }
    session.Verbose(Format("Show Control Unit has a %dK EEPROM", m_lMemorySize / 1024));
    session.Verbose(Format("Compiled script: %u.  Space available: %ld",
                           static_cast<unsigned>(m_wDatLength), static_cast<long>(m_lMemorySize)));
    if (m_wDatLength > m_lMemorySize) {
        LogLine("Error: Compiled script is larger than the space available");
        return;
    }
    if (!session.RequestWrite(m_wDatLength) || !session.Stream(m_hpbDat.get(), m_wDatLength)) {
        return;
    }
    auto fail = [&](const std::string& text) {
        LogLine("Error: " + text);
        platform::ShowMessage(text);
    };
    const int completion = session.ReadCompletion(fail);
    if (completion < 0) {
        return;
    }
    if (completion == kNak) {
        fail("Download Failed, NACKed by Show Control Unit!");
        return;
    }
    if (completion == kAck) {
        LogLine(Format("%s successfully downloaded!", GetTitle().c_str()));
        platform::ShowMessage("Download Successful!");
    } else {
        fail("Download Failed, Unknown Response from Show Control Unit!");
    }
    session.Close();
}

void CDatDoc::RetrieveFromUnit() {
    if (!m_bRetrievePending) {
        return;
    }
    m_bRetrievePending = 0;
    if (!m_hpbDat) {
        return;
    }
    BeginLog();
    LogLine("Ready to Retrieve...");
    AppServices& app = Services();
    if (!RunCommDialog(app, "Please select the method of retrieval", std::string(),
                       CommDialogMode::Retrieve)) {
        return;
    }
    const CommSettings settings = app.Settings();
    const int timeout = settings.serialTimeout;
    platform::WaitCursor wait;
    m_dFirmware = 0.0;
    TransferSession session = MakeSession(settings);
    session.AnnounceOpening();
    if (!session.Open(0)) {
        return;
    }
    session.AnnounceSettings();
    if (!ReadVersion(session)) {
        return;
    }
    CSerialLink& link = session.Link();
    const ReplyReporter report = session.Reporter();
    auto verbose = [&](const std::string& text) { session.Verbose(text); };
    if (m_dFirmware < kRetrieveFirmware) {
        platform::ShowMessage(
            "This Show Controller has firmware revision " + FormatFixed(m_dFirmware) +
            ", and the required firmware revision is 5.61 or higher\n\nThe Script could not be "
            "archived successfully!");
        return;
    }
    if (!ReadMemorySize(session)) {
        return;
    }
    verbose(Format("Show Control Unit has a %dK EEPROM", m_lMemorySize / 1024));
    verbose(Format("Total EEPROM size: %ld", static_cast<long>(m_lMemorySize)));

    link.Drain();
    verbose("Requesting existing DAT size from Show Control Unit");
    const int usedLow = SendAndReadByte(link, timeout, kRequestTries, {kCmdUsedSize}, report);
    if (usedLow < 0) {
        return;
    }
    const int usedHigh = ReadReplyByte(link, timeout, report);
    if (usedHigh < 0) {
        return;
    }
    const long used = usedLow | (usedHigh << 8);
    verbose(Format("EEPROM space used for Show: %ld", used + 2));
    if (used == 0) {
        platform::ShowMessage("No Show to Retrieve!");
        return;
    }

    link.Drain();
    LogLine("");
    LogLine("Retrieving DAT from Show Control Unit...");
    const int lengthLow = SendAndReadByte(link, timeout, kRequestTries, {kCmdReadImage}, report);
    if (lengthLow < 0) {
        return;
    }
    const int lengthHigh = ReadReplyByte(link, timeout, report);
    if (lengthHigh < 0) {
        return;
    }
    const auto length = static_cast<std::size_t>(lengthLow | (lengthHigh << 8));
    // Read aside first: a broken transfer leaves the document's image as it was.
    std::vector<std::uint8_t> received;
    received.reserve(length);
    for (std::size_t i = 0; i < length; ++i) {
        const int byte = ReadReplyByte(link, timeout, report);
        if (byte < 0) {
            return;
        }
        received.push_back(static_cast<std::uint8_t>(byte));
    }
    std::copy(received.begin(), received.end(), m_hpbDat.get());
    m_wDatLength = static_cast<std::uint16_t>(length);
    UpdateValidity(length);
    LogLine("");
    session.Close();
    if (m_bChecksumValid) {
        LogLine("DAT file successfully Retrieved");
        LogLine(Format("The Size is %u", static_cast<unsigned>(m_wDatLength)));
        LogLine(Format("The Checksum is %4.4X", static_cast<unsigned>(m_wStoredChecksum)));
        LogLine("The Checksum passed validation");
        platform::ShowMessage("Retrieval Successful");
    } else {
        LogLine("This file IS NOT a valid DAT file!");
        platform::ShowMessage("Retrieval Failed");
    }
}
