// The document of compiled show images (.dat files): loads and saves the image bytes, tells
// whether the image's checksum word holds, and moves images to and from a controller over the
// serial link, logging into its list view.
#pragma once

#include "link/transfer_session.h"
#include "script/app_services.h"

#include "platform/document.h"
#include "platform/ui_services.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CSerialLink;

// The list view of an image document: lines of text, also the log of its transfers.
class DatListView : public platform::View {
public:
    const char* ViewClassName() const override { return "CDatView"; }
    virtual void AddLine(const std::string& text) = 0;
    virtual void ClearLines() = 0;
};

// The "DAT File Status" dialog: three lines, top to bottom.
struct CDatStatusDlg : platform::DialogRequest {
    static constexpr const char* kDialogName = "CDatStatusDlg";
    const char* DialogName() const override { return kDialogName; }
    std::string m_strSize;
    std::string m_strChecksum;
    std::string m_strValidation;
};

class CDatDoc : public platform::Document {
public:
    static constexpr std::size_t kBufferSize = 65535;

    // Takes the settings from the program's services.
    explicit CDatDoc(AppServices& services);
    // An image document outside any program: the transfers need services and throw.
    CDatDoc();
    ~CDatDoc() override;

    bool OnNewDocument() override;
    // Reads the file (at most 65535 bytes); on success the document takes its path.
    bool OnOpenDocument(const std::string& path) override;
    // Writes exactly the image bytes held, replacing the file only once they are all written;
    // on success the document takes the path.
    bool OnSaveDocument(const std::string& path) override;
    // "&Save": to the document's file; an image without one (retrieved) asks for its name.
    bool OnFileSave();
    // "Save &As...": asks for a name, then saves there.
    bool OnFileSaveAs();

    // Takes an image as a loaded file gives it (cut at 65535 bytes).
    void LoadImage(const std::uint8_t* bytes, std::size_t count);
    // The image bytes held.
    std::vector<std::uint8_t> Image() const;

    void RequestRetrieve() { m_bRetrievePending = 1; }
    bool RetrievePending() const { return m_bRetrievePending != 0; }
    // Appends a line to the document's list view; nothing when it has none.
    void LogLine(const std::string& text);

    // "&Download DAT": sends the image unchanged.
    void OnDownload();
    // Retrieves the controller's image when a retrieval was requested (once).
    void RetrieveFromUnit();
    // "&File Status": the modal status dialog.
    void OnFileStatus();
    // The three lines the status dialog shows.
    CDatStatusDlg StatusTexts() const;

    std::uint16_t DatLength() const { return m_wDatLength; }
    // The size of the file the image came from, also beyond the 65535 bytes held.
    std::size_t FileSize() const { return m_nFileSize; }
    std::uint16_t StoredChecksum() const { return m_wStoredChecksum; }
    bool ChecksumValid() const { return m_bChecksumValid != 0; }
    double Firmware() const { return m_dFirmware; }
    std::int32_t MemorySize() const { return m_lMemorySize; }
    bool HasBuffer() const { return m_hpbDat != nullptr; }

private:
    bool DoSave(const std::string& path, bool askForPath);
    AppServices& Services() const;
    AppServices* m_pServices = nullptr;
    DatListView* FindListView() const;
    // Empties the list view at the start of a transfer.
    void BeginLog();
    // `fullSize`: the size of the whole file or reply, which may exceed what the buffer holds.
    void UpdateValidity(std::size_t fullSize);
    // Opens the link as the settings ask; logs and answers false on failure.
    showlink::TransferSession MakeSession(const CommSettings& settings);
    bool ReadVersion(showlink::TransferSession& session);
    bool ReadMemorySize(showlink::TransferSession& session);

    std::int32_t m_bRetrievePending = 0;
    std::unique_ptr<std::uint8_t[]> m_hpbDat;
    std::uint16_t m_wDatLength = 0;
    std::size_t m_nFileSize = 0;
    std::uint16_t m_wStoredChecksum = 0;
    std::int32_t m_bChecksumValid = 1;
    double m_dFirmware = 0.0;
    std::int32_t m_lMemorySize = 0;
};
