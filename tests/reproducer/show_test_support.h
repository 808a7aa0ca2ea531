// Helpers for the XML binding tests: load a document from text, save it back to text.
#pragma once

#include "reproducer/show_document.h"

#include "foundation/byte_buffer.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace show_test {

inline std::int32_t Load(ShowDocument_c& document, std::string_view text) {
    QORBuffer_c buffer;
    if (!text.empty()) {
        buffer.Resize(static_cast<std::int32_t>(text.size()));
        buffer.CopyIn(static_cast<std::int32_t>(text.size()), text.data());
    }
    return document.Load(&buffer);
}

inline std::string Save(ShowDocument_c& document) {
    QORBuffer_c buffer;
    const std::int32_t written = document.Save(&buffer);
    if (written <= 0) {
        return {};
    }
    return std::string(reinterpret_cast<const char*>(buffer.Data()), static_cast<size_t>(written));
}

// The document's first top-level element.
inline ShowXML_c* TopElement(ShowDocument_c& document) {
    QORList_c* list = document.XMLRoot()->ChildList();
    for (QORListNode_c* node = list != nullptr ? list->First() : nullptr; node != nullptr;
         node = node->next) {
        auto* child = dynamic_cast<ShowXML_c*>(node->object);
        if (child != nullptr && child->NodeType() == QOR_XML_ELEMENT && child->IsLive()) {
            return child;
        }
    }
    return nullptr;
}

inline std::string TextOf(QORXML_c* node) {
    if (node == nullptr || node->ValueObject() == nullptr) {
        return "<none>";
    }
    return std::string(node->ValueObject()->GetText(nullptr)->View());
}

inline bool Modified(const ShowDocument_c& document) {
    return document.IsModified() == QOR_TRUE;
}

} // namespace show_test
