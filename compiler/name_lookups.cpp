#include "compiler/name_lookups.h"

#include "compiler/compiler_state.h"
#include "script/text_utils.h"
#include "script/vl_doc.h"

#include <algorithm>

namespace {

// Lower case of a Windows-1252 letter; names are stored in that code page.
unsigned char LowerLetter(unsigned char c) {
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7))
        return static_cast<unsigned char>(c + 0x20);
    if (c == 0x8A || c == 0x8C || c == 0x8E)
        return static_cast<unsigned char>(c + 0x10);
    if (c == 0x9F)
        return 0xFF;
    return c;
}

template <typename Table> int FindInTable(const Table& table, int count, std::string_view name) {
    const int limit = std::min<int>(count, static_cast<int>(table.size()));
    for (int i = 0; i < limit; ++i) {
        if (EqualsNoCase(table[static_cast<std::size_t>(i)].m_strName, name))
            return i;
    }
    return -1;
}

template <typename List> int FindInList(const List& list, std::string_view name) {
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (list[i] && EqualsNoCase(list[i]->m_strName, name))
            return static_cast<int>(i);
    }
    return -1;
}

int WithBase(int index, int base) {
    return index < 0 ? -1 : base + index;
}

// Counts the definitions of a label in the current sequence (up to two) and the events to pass
// over from the current event to the first one ahead that carries it; -1 when none does.
struct LabelSearch {
    int definitions = 0;
    long long distance = -1;
};

LabelSearch SearchLabel(std::string_view label) {
    LabelSearch result;
    const CompilerState& state = GetCompilerState();
    if (!state.currentSequence)
        return result;
    const CEvntList& events = state.currentSequence->m_poEventList;
    for (const auto& event : events) {
        if (event && event->m_strSkip.empty() && EqualsNoCase(event->m_strLabel, label)) {
            if (++result.definitions >= 2)
                return result;
        }
    }
    long long passed = 0;
    for (std::size_t i = static_cast<std::size_t>(std::max(state.currentEventIndex, -1) + 1);
         i < events.size(); ++i) {
        const CEvnt* event = events[i].get();
        if (!event || !event->m_strSkip.empty())
            continue;
        if (EqualsNoCase(event->m_strLabel, label)) {
            result.distance = passed;
            return result;
        }
        ++passed;
    }
    return result;
}

} // namespace

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (LowerLetter(static_cast<unsigned char>(a[i])) !=
            LowerLetter(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

int FindInput(const CVLDoc& doc, std::string_view name) {
    if (!doc.m_pProduct)
        return -1;
    return WithBase(FindInTable(doc.m_pProduct->m_Inputs, doc.m_pProduct->m_wInputs, name), 128);
}

int FindOutput(const CVLDoc& doc, std::string_view name) {
    if (!doc.m_pProduct)
        return -1;
    return FindInTable(doc.m_pProduct->m_Outputs, doc.m_pProduct->m_wOutputs, name);
}

int FindFlag(const CVLDoc& doc, std::string_view name) {
    if (!doc.m_pProduct)
        return -1;
    return WithBase(FindInTable(doc.m_pProduct->m_Flags, doc.m_pProduct->m_wFlags, name), 64);
}

int FindVariable(const CVLDoc& doc, std::string_view name) {
    if (!doc.m_pProduct)
        return -1;
    return FindInTable(doc.m_pProduct->m_Vars, doc.m_pProduct->m_wVars, name);
}

int FindSequence(const CVLDoc& doc, std::string_view name) {
    return FindInList(doc.m_poSeqList, name);
}

int FindDataString(const CVLDoc& doc, std::string_view name) {
    return FindInList(doc.m_poDataStrList, name);
}

int FindLcdString(const CVLDoc& doc, std::string_view name) {
    return FindInList(doc.m_poLcdStrList, name);
}

int FindLabelByteOffset(std::string_view label) {
    if (label.empty())
        return -1;
    const LabelSearch search = SearchLabel(label);
    if (search.definitions >= 2)
        return -3;
    if (search.distance < 0)
        return -1;
    return search.distance <= 127 ? static_cast<int>(search.distance) : -2;
}

int FindLabelWordOffset(std::string_view label) {
    if (label.empty())
        return 0;
    const LabelSearch search = SearchLabel(label);
    if (search.definitions >= 2)
        return -3;
    if (search.distance < 0 || search.distance > 32768)
        return 0;
    return static_cast<int>(search.distance);
}

int FindIdenticalCompiledEvent() {
    CompilerState& state = GetCompilerState();
    if (!state.currentEvent)
        return -1;
    // A list emptied since the last search starts the index over.
    if (state.originalIndexed > state.originalEvents.size()) {
        state.originalIndex.clear();
        state.originalIndexed = 0;
    }
    for (; state.originalIndexed < state.originalEvents.size(); ++state.originalIndexed) {
        const COriginalEvent* original = state.originalEvents[state.originalIndexed].get();
        if (original) {
            state.originalIndex.try_emplace(
                std::string(original->m_bsCode.begin(), original->m_bsCode.end()),
                original->m_wOffset);
        }
    }
    const ByteString& code = state.currentEvent->m_bsCompiled;
    const auto found = state.originalIndex.find(std::string(code.begin(), code.end()));
    return found == state.originalIndex.end() ? -1 : found->second;
}

int GetOperandKind(const CVLDoc& doc, std::string_view name, int& index) {
    const std::string normal = NormalizeName(name, true);
    struct Lookup {
        int (*find)(const CVLDoc&, std::string_view);
        int kind;
        int base; // the code's offset from the plain index
    };
    static constexpr Lookup kOrder[] = {
        {FindInput, kOperandInput, 128},
        {FindOutput, kOperandOutput, 0},
        {FindFlag, kOperandFlag, 64},
        {FindVariable, kOperandVariable, 0},
        {[](const CVLDoc& d, std::string_view n) { return d.FindPort(n); }, kOperandPort, 0},
        {FindSequence, kOperandSequence, 0},
        {FindDataString, kOperandDataString, 0},
        {FindLcdString, kOperandLcdString, 0},
    };
    for (const Lookup& lookup : kOrder) {
        const int code = lookup.find(doc, normal);
        if (code >= 0) {
            index = code - lookup.base;
            return lookup.kind;
        }
    }
    index = -1;
    return kOperandNone;
}
