// Small helpers for the configuration tests: load a document from XML text, save it back as
// text, and find elements by path.
#pragma once

#include "foundation/byte_buffer.h"
#include "foundation/text_string.h"
#include "reproducer/reelvox_data_document.h"
#include "reproducer/show_xml.h"

#include <cstring>
#include <string>

namespace reelvox_test {

inline std::int32_t LoadText(ReelvoxDataDocument_c& document, const std::string& text) {
    QORBuffer_c buffer;
    buffer.Resize(static_cast<std::int32_t>(text.size()));
    buffer.CopyIn(static_cast<std::int32_t>(text.size()), text.data());
    return document.Load(&buffer);
}

inline std::string SaveText(ReelvoxDataDocument_c& document) {
    QORBuffer_c buffer;
    const std::int32_t count = document.Save(&buffer);
    if (count <= 0) {
        return {};
    }
    return std::string(reinterpret_cast<const char*>(buffer.Data()),
                       static_cast<std::size_t>(count));
}

inline std::string Declared(const std::string& body) {
    return "<?xml version=\"1.0\" encoding=\"utf-8\" ?>" + body;
}

// The element at the path of child element names below the node (null when missing).
inline ShowXML_c* Path(QORXML_c* node, std::initializer_list<const char*> names) {
    for (const char* name : names) {
        if (node == nullptr) {
            return nullptr;
        }
        node = ShowXML_c::FindElement(node, name);
    }
    return static_cast<ShowXML_c*>(node);
}

inline std::string AttributeText(QORXML_c* element, const char* name) {
    ShowXML_c* attribute = element != nullptr ? ShowXML_c::FindAttribute(element, name) : nullptr;
    if (attribute == nullptr) {
        return "<missing>";
    }
    QORString_c text;
    ShowXMLInterface_c::GetNodeText(attribute, &text);
    return std::string(text.View());
}

inline std::string ElementText(QORXML_c* element) {
    if (element == nullptr) {
        return "<missing>";
    }
    QORString_c text;
    ShowXMLInterface_c::GetNodeText(static_cast<ShowXML_c*>(element), &text);
    return std::string(text.View());
}

inline int CountChildren(QORXML_c* element, const char* name) {
    int count = 0;
    QORList_c* children = element != nullptr ? element->ChildList() : nullptr;
    for (QORListNode_c* entry = children != nullptr ? children->First() : nullptr; entry != nullptr;
         entry = entry->next) {
        QORXML_c* child = QORXMLNodeOf(entry);
        if (child == nullptr || !child->IsLive() || child->NodeType() != QOR_XML_ELEMENT) {
            continue;
        }
        QORString_c* text = child->ValueObject()->GetText();
        if (text != nullptr && text->View() == name) {
            ++count;
        }
    }
    return count;
}

} // namespace reelvox_test
