// The import of scripts of the older DOS product (.ksx listings): the unit page, the input,
// output, flag, variable, serial-port and data-string pages, and one page per sequence with
// its triggers, flags and events. Old events are converted to the current vocabulary and
// renamed through the renaming table.
//
// The importer reads the listing held in memory and builds what it finds; the script document
// sets up its product when the card type is read and takes the rest over at the end.
#pragma once

#include "script/sequence.h"
#include "script/text_resources.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class CImportTable;
class AppServices;
class CProdList;
class CProList;
class CProduct;
class CProtocol;

// What the import needs from the script it fills.
class DosImportHost {
public:
    virtual ~DosImportHost() = default;
    // Sets the script up for the product of exactly that name (new-script defaults and the
    // private product copy). Answers the script's private product, or null after the set-up
    // has shown why it failed.
    virtual CProduct* SetUpProduct(const std::string& productName) = 0;
    // Status text (an empty text leaves it) and progress in per cent (negative: reset).
    virtual void SetStatusProgress(const std::string& text, int percent) = 0;
    // The compiler's port-event check of an event of the sequence: 1 or 0. Called only when
    // the event protocol is loaded.
    virtual int CompilePortEvent(CSeq& sequence, CEvnt& event) = 0;
};

// The unit settings and lists read from the listing. The resource and port names go straight
// into the script's private product.
struct DosScript {
    std::string dosVersion; // "n.nn" of the listing's first line
    std::string description;
    std::uint16_t address = 0;
    std::uint16_t frameRateCode = 3; // 0 24, 1 25, 2 29.97, 3 30 frames per second
    std::uint16_t clockSource = 0;   // 0 processor, 1 external
    std::string externalFrequency = "0";
    std::vector<std::unique_ptr<CDataStr>> dataStrings;
    std::vector<std::unique_ptr<CSeq>> sequences;
    // The import reached the data-string page, and the sequence pages: the script's lists are
    // replaced by the ones above.
    bool dataStringsRead = false;
    bool sequencesRead = false;
};

class CDosImport {
public:
    // The program's lists come from `services`: the products, the protocols, the event
    // protocol, the renaming table and the installation folder.
    CDosImport(std::string_view buffer, DosImportHost& host, AppServices& services);
    CDosImport(const CDosImport&) = delete;
    CDosImport& operator=(const CDosImport&) = delete;

    // Imports the listing. True when its end line was reached; false after a No at a prompt,
    // a failed product set-up, or a listing that ends before its end line (with a message).
    // What was read so far stays in Result() either way.
    bool ImportDosScript(const std::string& path);

    DosScript& Result() { return m_Script; }
    CProduct* Product() const { return m_pProduct; }

    // The next line without its LF and CRs; empty at the end of the listing.
    std::string ReadImportLine();
    // The syntax prompt; true when the user chose to go on.
    bool ImportSyntaxError(const std::string& path, const std::string& text);

    bool ImportDosSequence(const std::string& path);
    bool ImportDosTrigger(int index, CSeq& sequence, const std::string& path);
    void ConvertDosEvent(CSeq& sequence, CEvnt& event);
    void ConvertUnitParam(CEvnt& event);
    void ConvertPlayParam(CEvnt& event, int port);

    std::uint32_t LineNumber() const { return m_nLine; }
    const std::string& CurrentLine() const { return m_strLine; }

    // Sequences imported since the program started; nameless ones are numbered after it.
    static std::uint16_t ImportedSequenceCount();

private:
    bool ImportUnitSetup(const std::string& path);
    bool ImportResourcePage(const std::string& path, int page);
    bool ImportPorts(const std::string& path);
    bool ImportDataStrings(const std::string& path);
    bool ImportSequences(const std::string& path);
    bool ImportSequenceFlags(CSeq& sequence, const std::string& path);

    // Checks the current line's label; false when the user chose No.
    bool CheckLabel(const std::string& path, std::string_view label, const std::string& prompt);
    // The prompt followed, on Yes, by the default's information box.
    bool DefaultPrompt(const std::string& path, const std::string& text,
                       const std::string& defaultMessage);
    // The listing ends, or runs on, without its end line: one message naming the file; false.
    bool ReportMissingEnd(const std::string& path);
    void SkipLines(int count);
    void LoadImportTable();
    int FindPort(std::string_view name) const;

    std::string_view m_Buffer;
    DosImportHost& m_Host;
    AppServices& m_Services;
    DosScript m_Script;
    CProduct* m_pProduct = nullptr;
    bool m_bRename = false; // the renaming table is loaded

    std::size_t m_nPos = 0;
    std::uint32_t m_nLine = 0;
    std::string m_strLine;
    bool m_bPastEnd = false;  // a line was asked for after the last one
    bool m_bEndShown = false; // the message about the missing end line was shown
    // The user chose to go on after a syntax error: the answer holds for the rest of the file,
    // so a damaged file asks once instead of once per line.
    bool m_bGoOnAnswered = false;
    std::uint32_t m_nProgressStep = 1;
    int m_nProgress = 0;
};
