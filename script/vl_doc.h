// The script document: one show-control script with its model (sequences, data and LCD
// strings, the private product copy), its unit, compiler and window settings, the buffer of its
// last compiled image, and the file buffer through which its source file is read and written.
// Every document registers itself in the application's list of open scripts while it lives.
#pragma once

#include "platform/doc_template.h"
#include "platform/document.h"
#include "reproducer/reelvox_system.h"
#include "script/app_services.h"
#include "script/ini_scanner.h"
#include "script/line_writer.h"
#include "script/product.h"
#include "script/sequence.h"
#include "script/text_resources.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class AppServices;
class CDocList;

class CVLDoc : public platform::Document {
public:
    // Size of the compiled-image buffer.
    static constexpr std::size_t kShowSize = 65535;
    // The product a script gets when nobody chose one.
    static constexpr const char* kDefaultProduct = "Harnel16";

    // Flag words of WriteScript.
    static constexpr std::uint32_t kWriteFull = 0x8000; // file form: what the reader reads
    static constexpr std::uint32_t kWriteUnit = 0x0001; // [Unit] (+[Compiler], [Connection])
    static constexpr std::uint32_t kWriteInputs = 0x0002;
    static constexpr std::uint32_t kWriteOutputs = 0x0004;
    static constexpr std::uint32_t kWriteFlags = 0x0008;
    static constexpr std::uint32_t kWriteVars = 0x0010;
    static constexpr std::uint32_t kWritePorts = 0x0020;
    static constexpr std::uint32_t kWriteLcdStrings = 0x0040;
    static constexpr std::uint32_t kWriteDataStrings = 0x0080;
    static constexpr std::uint32_t kWriteSequences = 0x0100;
    static constexpr std::uint32_t kWriteAll = 0xFFFF;

    // The views whose frames keep a stored placement, in the order of the position table.
    // The maximized and minimized flags exist for all but CompileError.
    enum WindowKind {
        kWinInput = 0,
        kWinOutput,
        kWinFlag,
        kWinVar,
        kWinPort,
        kWinDataString,
        kWinLcdString,
        kWinXRef,
        kWinSmpte,
        kWinSequenceList,
        kWinCompile,
        kWinCompileError,
        kWindowKinds
    };
    static constexpr int kWindowStateKinds = kWinCompileError; // 11

    // The groups of stored column widths: where each starts in m_awColWidths and how many
    // widths it has.
    struct ColGroup {
        std::size_t first;
        std::size_t count;
    };
    static constexpr ColGroup kColSequenceList{0, 5};
    static constexpr ColGroup kColInput{5, 2};
    static constexpr ColGroup kColOutput{7, 2};
    static constexpr ColGroup kColFlag{9, 2};
    static constexpr ColGroup kColVar{11, 2};
    static constexpr ColGroup kColPort{13, 4};
    static constexpr ColGroup kColDataString{17, 3};
    static constexpr ColGroup kColLcdString{20, 3};
    static constexpr ColGroup kColXRef{23, 8};
    static constexpr ColGroup kColSmpte{31, 3};
    static constexpr std::size_t kColWidthCount = 34;

    using SeqList = std::vector<std::unique_ptr<CSeq>>;
    using DataStrList = std::vector<std::unique_ptr<CDataStr>>;
    using LcdStrList = std::vector<std::unique_ptr<CLcdStr>>;

    // Registers in the program's list of open scripts; allocates the image buffer.
    explicit CVLDoc(AppServices& services);
    // A script outside any program (tools, tests of the model alone): every service it asks
    // for throws MissingService.
    CVLDoc();
    // Leaves the list of open scripts; the model goes with the document.
    ~CVLDoc() override;

    // ---- Framework overrides ----
    // Stores the flag, refreshes the status bar and clears compiled OK.
    void SetModifiedFlag(bool modified = true) override;
    bool OnNewDocument() override;
    bool OnOpenDocument(const std::string& path) override;
    bool OnSaveDocument(const std::string& path) override;
    void OnCloseDocument() override;
    // Answers whether the frame `frame` (a View::FrameId) may close. Asks to save a modified
    // script only when no view of it lives in another frame.
    bool CanCloseFrame(const void* frame);
    // The framework's save question for a modified script: Yes saves (false when the save
    // fails), No discards, Cancel answers false. True at once when not modified.
    bool SaveModified();
    // Command "&Save": saves to the path when it can be read and written, else as Save As.
    bool OnFileSave();
    // Command "Save &As...": asks for a path, saves there and retitles the views.
    bool OnFileSaveAs();
    // Whether the framework should add the path of the last successful open to its list of
    // recent files (not for an imported DOS script, which has not been saved yet).
    bool AddToRecentFiles() const { return m_bAddToRecentFiles; }
    void SetAddToRecentFiles(bool add) { m_bAddToRecentFiles = add; }

    // What the script reaches of the program it runs in.
    AppServices& Services() const;

    // ---- Commands ----
    void CompileScript();
    void OnConfigureScript();
    void OnConfigureUnit();
    void OnCompilerOptions();
    // "S&MPTE...": edits the SMPTE settings; marks the script modified only when one changed.
    void OnConfigureSmpte();

    // ---- Other operations ----
    // New-script defaults and the private product copy of `productName`, plus one sequence
    // "Default". False (after its message) when the product is unknown or memory runs out.
    bool InitNewScript(const std::string& productName);
    // The SMPTE step of a new script: settings at their defaults and a new SMPTE interface
    // attached to the reproducer system. False (after its message) when no interface could be
    // attached; the script setup goes on without one.
    bool InitSmpteSettings();
    // Makes the private product copy follow the list's product `productName`.
    void ApplyProduct(const std::string& productName);
    // Marks every sequence for compiling, and the open scripts that link to this one.
    void MarkForCompile();
    // 24, 25, 29.97 or 30 by the frame-rate code (30 for any unknown code).
    double GetFrameRate() const;
    // The title without its last extension.
    std::string GetScriptName() const;
    // Shows a status text (when not empty) and progress (negative: reset) on the status bar,
    // with the modified mark. Nothing happens while the document has no view.
    void SetStatusProgress(const std::string& text, int percent);
    // The title of a view's frame by its class ("Sequences of Show"); empty for a class that
    // has none of its own.
    std::string ViewTitle(const platform::View& view) const;
    void UpdateViewTitles();
    void CloseAllFrames();
    void CloseCompileErrorDialog();
    // The 0-based index of the script's port of that name (no case), or -1.
    int FindPort(std::string_view portName) const;
    // Imports a DOS script (.ksx) from the file buffer; the product comes from its card type.
    bool ImportDosScript(const std::string& path);
    // The path an imported DOS script takes: the listing's ".ksx" (any case) becomes ".KSF", so
    // that saving never overwrites the listing. Other paths are answered unchanged.
    static std::string ImportedScriptPath(const std::string& listingPath);
    // Builds a starting script with the Script Wizard.
    bool RunScriptWizard();

    // ---- File buffer ----
    // Takes `text` as the file buffer and puts the read position at its start (opening a
    // file, retrieving an archive; tests).
    void LoadFileBuffer(std::string_view text);
    // Frees the file buffer; the reading and writing faces then see an empty buffer.
    void FreeFileBuffer();
    const char* FileBufferData() const { return m_hpbBuffer.data(); }
    std::size_t FileBufferSize() const { return m_Scanner.Size(); }

    // Reading face over the file buffer (the INI scanner's rules).
    bool FindSection(std::string_view name, bool continueSearch);
    std::string NextSectionName(bool continueSearch);
    std::string ReadKey(std::string_view key, std::string_view defaultText) const;
    std::string ReadNextKey(std::string_view key, std::string_view defaultText);
    int ReadIntKey(std::string_view key, std::uint16_t defaultValue) const;
    double ReadDoubleKey(std::string_view key, double defaultValue) const;
    // The read position: bytes consumed since the buffer start.
    std::size_t ReadPosition() const { return m_Scanner.Position(); }
    void SetReadPosition(std::size_t position) { m_Scanner.SetPosition(position); }

    // Writing face: makes a write buffer of `capacity` bytes (0: a counting pass without a
    // buffer) with the cursor at its start and the running total 0.
    void BeginWriteBuffer(std::size_t capacity);
    // Bounded line writer: "key=value\r\n", "key\r\n" (no value) or "\r\n" (no key).
    void WriteLine(std::optional<std::string_view> key,
                   std::optional<std::string_view> value = std::nullopt);
    void WriteIntLine(std::string_view key, int number);
    // The write-ok flag of the current pass (WriteScript sets it at the start).
    void SetWriteOk(bool ok) { m_Writer.SetWriteOk(ok); }
    bool WriteOk() const { return m_Writer.WriteOk(); }
    // Stores a NUL at the write cursor when the buffer has room for it (it always has while
    // every line fitted).
    void TerminateWriteBuffer();
    // Bytes asked for so far in this pass (counts past the capacity).
    std::size_t WriteTotal() const { return m_Writer.Total(); }
    std::size_t WriteCapacity() const { return m_Writer.Capacity(); }
    // The bytes written into the buffer so far.
    std::string_view WrittenText() const;
    // Writes the script with WriteScript into a write buffer sized for it: a counting pass
    // first, then the real pass into a buffer of exactly the size needed (plus the NUL).
    // The text is then WrittenText(). False only when the real pass did not fit; throws
    // std::bad_alloc when the buffer cannot be had.
    bool WriteScriptToBuffer(std::uint32_t flags, int first, int last);

    // ---- Source file (ScriptFileReader and ScriptFileWriter do the work) ----
    // Reads the script from the file buffer; `path` serves in messages.
    bool ReadScript(const std::string& path);
    // Writes the sections `flags` chooses, sequences first to last (1-based), into the write
    // buffer; stores a NUL at the cursor; answers the write-ok flag.
    bool WriteScript(std::uint32_t flags, int first, int last);

    // ---- Model ----
    std::int32_t m_nCreatedForUpload = 0;
    std::vector<std::uint8_t> m_hpbShow; // kShowSize bytes, empty when it could not be had
    std::unique_ptr<CProduct> m_pProduct;
    DataStrList m_poDataStrList;
    LcdStrList m_poLcdStrList;
    SeqList m_poSeqList; // in the user's order

    std::string m_strDescription; // lines joined with '~'
    std::string m_strVersion;
    std::string m_strFileFormat;
    std::string m_strFileFormatType;
    std::string m_strAuthor1;
    std::string m_strAuthor2;
    std::string m_strAuthor3;
    std::string m_strExternalFrequency; // Hz, as text
    std::string m_strWork;              // scratch text of the writer and the DOS import

    std::uint16_t m_wAddress = 0;     // 0-255
    std::uint16_t m_wFrameRate = 3;   // 0 = 24, 1 = 25, 2 = 29.97, 3 = 30 fps
    std::uint16_t m_wClockSource = 0; // 0 processor, 1 external
    double m_dUnitVersion = 0.0;      // firmware of the controller last talked to
    std::int32_t m_nUnitEepromSize = 0;

    std::array<std::uint16_t, kColWidthCount> m_awColWidths{
        5155, 8500, 0,    5165, 0,          // sequence list
        3875, 8500,                         // inputs
        3875, 8500,                         // outputs
        3875, 8500,                         // flags
        3875, 8500,                         // variables
        3875, 5960, 3765, 8500,             // ports
        3875, 8500, 8500,                   // data strings
        3875, 8500, 8500,                   // LCD strings
        3875, 8500, 0,    0,    0, 0, 0, 0, // cross reference
        3875, 8500, 0};                     // SMPTE triggers

    std::unique_ptr<platform::ModelessWindow> m_pCompileErrorDlg;
    CSeq* m_posCurrentSeq = nullptr; // sequence being opened or compiled; not owned
    std::optional<CProdList::Position> m_posProduct;
    std::int32_t m_nReaderLine = 0;
    std::int32_t m_nWriteProtected = 0;
    std::int32_t m_nWriteHeaders = 1;
    std::int32_t m_nCompiledOK = 0;
    std::int32_t m_nOptimization = 0;   // 0 speed, 1 size
    std::int32_t m_nMessages = 1;       // 0 minimal, 1 verbose
    std::int32_t m_nErrorDetection = 0; // 0 normal, 1 maximum
    std::int32_t m_nViewTimeLine = 0;

    // x, y, width, height per window kind; -1 = none stored.
    std::array<std::array<std::int32_t, 4>, kWindowKinds> m_anWindowPos = NoWindowPositions();
    std::array<std::int32_t, kWindowStateKinds> m_anMaximized{};
    std::array<std::int32_t, kWindowStateKinds> m_anMinimized{};

    std::int32_t m_nCompileRunning = 0;
    std::int32_t m_nAbortRequested = 0;
    // Dialogs and transfers that work on this script and let the user interface run meanwhile;
    // the script is not closed while any holds it.
    std::int32_t m_nHoldCount = 0;
    // Nothing may close the script now: a compile, transfer or dialog works on it.
    bool IsHeld() const { return m_nCompileRunning != 0 || m_nHoldCount > 0; }

    // The reproducer system; its SMPTE interface carries the script's SMPTE settings.
    Reelvox_c m_Reelvox;
    std::int32_t m_nSmpteUsed = 0;   // 1: the script configures SMPTE ([Smpte] is written)
    std::int32_t m_nSmpteDevice = 2; // 0 all reproducer models, 1 legacy, 2 Tembrel
    std::uint16_t m_wChaseDropoutTolerance = 5; // frames
    std::uint16_t m_wImageLength = 0;

private:
    friend class CDocList;

    static constexpr std::array<std::array<std::int32_t, 4>, kWindowKinds> NoWindowPositions() {
        std::array<std::array<std::int32_t, 4>, kWindowKinds> positions{};
        for (auto& position : positions)
            position = {-1, -1, -1, -1};
        return positions;
    }

    // Saves to `path`, or asks for one first when it is empty; retitles the views after a
    // save under another name.
    bool DoSave(const std::string& path, bool askForPath);

    // The file buffer: the text being read, or the write buffer while writing.
    std::vector<char> m_hpbBuffer;
    IniScanner m_Scanner;
    LineWriter m_Writer;

    AppServices* m_pServices = nullptr;
    CDocList* m_pDocList = nullptr; // the list this document registered in
    bool m_bAddToRecentFiles = false;
    int m_nStatusPercent = 0; // last progress shown

    // The reader and the writer work on the buffers and the model directly.
    friend class ScriptFileReader;
    friend class ScriptFileWriter;
};

// Holds a script open for a scope (see m_nHoldCount).
class CVLDocHold {
public:
    explicit CVLDocHold(CVLDoc& doc) : doc_(doc) { ++doc_.m_nHoldCount; }
    ~CVLDocHold() { --doc_.m_nHoldCount; }
    CVLDocHold(const CVLDocHold&) = delete;
    CVLDocHold& operator=(const CVLDocHold&) = delete;

private:
    CVLDoc& doc_;
};
