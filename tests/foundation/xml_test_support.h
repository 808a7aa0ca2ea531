// Small helpers shared by the XML tests: build nodes, parse text into a node, write a node out.
#pragma once

#include "foundation/byte_buffer.h"
#include "foundation/text_string.h"
#include "foundation/xml_node.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>

namespace xml_test {

// Appends a child of the type whose value is the text (as text) after the parent's cursor.
inline QORXML_c* Add(QORXML_c& parent, std::uint8_t type, std::string_view text) {
    auto node = std::make_unique<QORXML_c>();
    node->SetNodeType(type);
    node->Value()->SetText(text.data(), static_cast<std::int32_t>(text.size()), QOR_FALSE);
    node->SetParent(&parent);
    QORXML_c* raw = node.get();
    if (parent.Children()->InsertAfter(raw) != QOR_OK) {
        return nullptr;
    }
    node.release();
    return raw;
}

// An attribute with a text child holding the value.
inline QORXML_c* AddAttribute(QORXML_c& parent, std::string_view name, std::string_view value) {
    QORXML_c* attribute = Add(parent, QOR_XML_ATTRIBUTE, name);
    Add(*attribute, QOR_XML_TEXT, value);
    return attribute;
}

inline std::string Text(QORXML_c* node) {
    if (node == nullptr || node->ValueObject() == nullptr) {
        return "<none>";
    }
    return std::string(node->ValueObject()->GetText(nullptr)->View());
}

inline std::int32_t ParseInto(QORXML_c& node, std::string_view text, QORBuffer_c* keep = nullptr) {
    QORBuffer_c local;
    QORBuffer_c& buffer = keep != nullptr ? *keep : local;
    if (!text.empty()) {
        buffer.Resize(static_cast<std::int32_t>(text.size()));
        buffer.CopyIn(static_cast<std::int32_t>(text.size()), text.data());
    }
    return node.Parse(&buffer);
}

// Writes the node into a buffer sized by WrittenSize, checking the count against the bytes.
inline std::string Written(QORXML_c& node) {
    const std::int32_t size = node.WrittenSize();
    QORBuffer_c out;
    if (size > 0) {
        out.Resize(size);
    }
    const std::int32_t written = node.Write(&out);
    EXPECT_EQ(written, size);
    return size > 0
               ? std::string(reinterpret_cast<const char*>(out.Data()), static_cast<size_t>(size))
               : std::string();
}

// The children of a node in list order.
inline std::vector<QORXML_c*> ChildrenOf(QORXML_c& node) {
    std::vector<QORXML_c*> out;
    if (QORList_c* list = node.ChildList(); list != nullptr) {
        for (QORListNode_c* n = list->First(); n != nullptr; n = n->next) {
            out.push_back(QORXMLNodeOf(n));
        }
    }
    return out;
}

inline QORXML_c* CursorChild(QORXML_c& node) {
    return node.ChildList() != nullptr ? QORXMLNodeOf(node.ChildList()->CursorNode()) : nullptr;
}

} // namespace xml_test
