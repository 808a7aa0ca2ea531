// The application's list of open scripts, independent of the framework's templates: the
// compiler finds linked scripts in it by name, and marking a script for compiling reaches the
// scripts that link to it. The list owns its entries, never the documents.
#pragma once

#include <cstddef>
#include <memory>
#include <string_view>
#include <vector>

class CVLDoc;

class CDocOb {
public:
    explicit CDocOb(CVLDoc* document) : m_pDoc(document) {}
    CVLDoc* m_pDoc; // not owned
};

class CDocList {
public:
    CDocList() = default;
    // Drops every entry; documents still registered forget the list.
    ~CDocList();
    CDocList(const CDocList&) = delete;
    CDocList& operator=(const CDocList&) = delete;

    // Appends an entry for the document (the document's constructor does this).
    void Add(CVLDoc* document);
    // Removes the first entry for the document; nothing when there is none.
    void Remove(CVLDoc* document);
    // The first document, in the order of registration, whose title equals `name` as the
    // "->" references compare titles (ScriptTitlesMatch); null when there is none.
    CVLDoc* FindScriptByName(std::string_view name) const;

    std::size_t GetCount() const { return m_List.size(); }
    bool IsEmpty() const { return m_List.empty(); }
    CVLDoc* GetAt(std::size_t index) const { return m_List.at(index)->m_pDoc; }

private:
    std::vector<std::unique_ptr<CDocOb>> m_List;
};
