// The renaming table of the DOS script import: pairs of an old event name and the name the
// event protocol uses now, read from Utilities/IMPORT.FLT. The application keeps one table for
// the whole run; the import fills it the first time it needs it.
//
// File format: one pair a line, ended by CR (a LF after it is white space). The old name runs
// to a blank, tab, LF or comma; blanks, tabs and LFs after that are skipped and the new name
// runs to a blank, tab, LF or the CR (a comma there belongs to the new name). The rest of the
// line is ignored. A line whose first character after white space is ';' is a remark; so is
// everything from a ';' that follows an unfinished pair. A pair is stored only when its CR is
// read.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

class CImport {
public:
    CImport(std::string oldName, std::string newName)
        : m_strOldName(std::move(oldName)), m_strNewName(std::move(newName)) {}
    virtual ~CImport() = default;

    std::string m_strOldName;
    std::string m_strNewName;
};

class CImportTable {
public:
    CImportTable() = default;
    CImportTable(const CImportTable&) = delete;
    CImportTable& operator=(const CImportTable&) = delete;

    // Reads the file under the wait cursor. False, without a message, when it cannot be opened
    // or a read error interrupts it; the pairs stored before an error stay.
    bool LoadFile(const std::string& path);

    // Runs the parser over the bytes of a whole file.
    void Parse(std::string_view bytes);

    // The new name of the first pair whose old name equals `name` without regard to case, or
    // null when no pair does.
    const std::string* Lookup(std::string_view name) const;

    // Whether a load of the whole run succeeded; the import loads the table once and renames
    // nothing from a table whose load failed.
    bool IsLoaded() const { return m_bLoaded; }
    void SetLoaded(bool loaded) { m_bLoaded = loaded; }

    void RemoveAll() { m_List.clear(); }
    std::size_t GetCount() const { return m_List.size(); }
    const std::vector<std::unique_ptr<CImport>>& Pairs() const { return m_List; }

private:
    enum State { kLineStart, kOldName, kSeparator, kNewName, kAfterNewName, kComment };

    void BeginParse();
    void ParseByte(char c);
    // Ends a line: stores the pair when one is complete, and always starts the next line with
    // empty names, so that a malformed line cannot leak into the next pair.
    void EndLine(bool store);

    std::vector<std::unique_ptr<CImport>> m_List;
    bool m_bLoaded = false;

    State m_State = kLineStart;
    std::string m_strOld;
    std::string m_strNew;
};
