// The script source file (.ksf): the reader takes the sections of a document's file buffer into
// its model, the writer puts the model into the document's write buffer. Each works on one
// document for one pass.
#pragma once

#include "script/vl_doc.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

class ScriptFileReader {
public:
    explicit ScriptFileReader(CVLDoc& doc) : doc_(doc) {}
    ScriptFileReader(const ScriptFileReader&) = delete;
    ScriptFileReader& operator=(const ScriptFileReader&) = delete;

    // The whole file; each section below reads from the file buffer, `path` serving in
    // messages.
    bool ReadScript(const std::string& path);
    bool ReadWindowPlacementSection();
    bool ReadUnitSection(const std::string& path);
    bool ReadCompilerSection();
    bool ReadConnectionSection();
    // [Smpte]: SMPTE used exactly when the section exists. False only without an interface.
    bool KsfReadSmpte100();
    // The Yes/No syntax-error question of the [Unit] reader; true for Yes.
    bool QuerySyntaxError(const std::string& path, const std::string& text);
    bool ReadInputs(const std::string& path);
    bool ReadOutputs(const std::string& path);
    bool ReadFlags(const std::string& path);
    bool ReadVars(const std::string& path);
    bool ReadPorts(const std::string& path);
    bool ReadDataStrings(const std::string& path);
    bool ReadLcdStrings(const std::string& path);
    bool ReadSequences(const std::string& path);
    bool ParseTrigger(CSeq& sequence, int index, std::string_view text);

    // States of the line machine of the data-string and LCD-string sections.
    enum class StringLineState { LineStart, Name, BeforeData, Data, Comment, SkipLine, End, Error };
    // Creates and appends one string record from the collected texts; answers the next state.
    StringLineState AddDataString();
    StringLineState AddLcdString();

private:
    // [Inputs], [Outputs], [Flags] and [Vars]: one reader for the four. Keys are `keyWord` and
    // the entry's number (Input01, ...).
    bool ReadResourceNames(const char* sectionName, const char* keyWord, const char* statusText,
                           const char* missingText, CProductResource* entries, std::size_t count,
                           const std::string& path);
    // The line machine of [DataStrings] and [LcdStrings] and the texts it collects.
    bool ReadStringLines(bool lcdStrings);
    // Reads the event rows of a sequence from the read position to the end of its section.
    // False (after its message) when an event cannot be allocated.
    bool ReadEventRows(CSeq& sequence);
    // Finds, from the read position, the next header whose whole name is `name` (no case).
    bool FindWholeSection(std::string_view name);

    CVLDoc& doc_;
    std::string m_strLineName;
    std::string m_strLineData;
    std::string m_strLineComment;
    bool m_bLineQuoted = false;
};

class ScriptFileWriter {
public:
    explicit ScriptFileWriter(CVLDoc& doc) : doc_(doc) {}
    ScriptFileWriter(const ScriptFileWriter&) = delete;
    ScriptFileWriter& operator=(const ScriptFileWriter&) = delete;

    // Writes the sections `flags` chooses, sequences first to last (1-based), into the write
    // buffer; stores a NUL at the cursor; answers the write-ok flag.
    bool WriteScript(std::uint32_t flags, int first, int last);
    void WriteBanner(std::string_view text, std::uint32_t flags);
    void WriteWindowPlacement();
    void WriteUnitSection(std::uint32_t flags);
    void WriteCompilerSection();
    void WriteConnectionSection();
    // [Smpte], only when the script uses SMPTE.
    void WriteSmpteSection();
    void WriteInputs();
    void WriteOutputs();
    void WriteFlags();
    void WriteVars();
    void WritePorts();
    void WriteDataStrings();
    void WriteLcdStrings();
    void WriteSequences(int first, int last, std::uint32_t flags);
    void WriteEventTable(CSeq& sequence, std::uint32_t flags);

private:
    // [Inputs], [Outputs], [Flags] and [Vars]: an entry whose name is `defaultWord` and its
    // number (input1, ...) and that has no comment is not written.
    void WriteResourceNames(const char* sectionName, const char* keyWord, const char* defaultWord,
                            const CProductResource* entries, std::size_t count);

    CVLDoc& doc_;
};
