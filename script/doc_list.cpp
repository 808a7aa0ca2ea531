#include "script/doc_list.h"

#include "platform/paths.h"
#include "script/text_utils.h"
#include "script/vl_doc.h"

#include <algorithm>

CDocList::~CDocList() {
    for (const auto& entry : m_List)
        if (entry->m_pDoc && entry->m_pDoc->m_pDocList == this)
            entry->m_pDoc->m_pDocList = nullptr;
}

void CDocList::Add(CVLDoc* document) {
    m_List.push_back(std::make_unique<CDocOb>(document));
}

void CDocList::Remove(CVLDoc* document) {
    auto it = std::find_if(m_List.begin(), m_List.end(),
                           [document](const auto& entry) { return entry->m_pDoc == document; });
    if (it != m_List.end())
        m_List.erase(it);
}

CVLDoc* CDocList::FindScriptByName(std::string_view name) const {
    for (const auto& entry : m_List)
        if (entry->m_pDoc && ScriptTitlesMatch(entry->m_pDoc->GetTitle(), name))
            return entry->m_pDoc;
    return nullptr;
}
