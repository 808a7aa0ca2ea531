#include "foundation/xml_node.h"

#include "foundation/text_string.h"
#include "platform/paths.h"

#include <cstring>
#include <new>
#include <string_view>
#include <vector>

namespace {

std::string_view TextOf(QORValue_c* value) {
    if (value == nullptr) {
        return {};
    }
    const QORString_c* text = value->GetText(nullptr);
    return text != nullptr ? text->View() : std::string_view();
}

// Gives the target the source's type and, where the type allows, the source's exact text: the
// text "007" of an unsigned number stays "007" rather than becoming "7".
void CopyValue(QORValue_c& source, QORValue_c& target) {
    const std::uint8_t type = source.Type();
    target.SetString(source.GetText(nullptr), QOR_FALSE);
    if (type == QOR_TYPE_NONE) {
        target.Reset(QOR_TYPE_NONE);
        return;
    }
    if (type == QOR_TYPE_TEXT) {
        return;
    }
    if (type == QOR_TYPE_DOUBLE || type == QOR_TYPE_INT32 || type == QOR_TYPE_UINT32) {
        // Detection keeps the text form valid and only sets the type.
        target.DetectNumericType();
        if (target.Type() == type) {
            return;
        }
    }
    target.ConvertTo(type);
}

} // namespace

QORXML_c* QORXMLNodeOf(const QORListNode_c* node) {
    return node != nullptr ? dynamic_cast<QORXML_c*>(node->object) : nullptr;
}

QORXML_c::QORXML_c() {
    SetNodeType(QOR_XML_DECLARATION);
}

QORXML_c::~QORXML_c() {
    ReleaseChildLinks();
    m_children.reset();
    if (m_parent != nullptr) {
        m_parent->DetachChild(this);
        m_parent = nullptr;
    }
    m_value.reset();
}

std::unique_ptr<QORObject_c> QORXML_c::Create() const {
    return std::unique_ptr<QORObject_c>(new (std::nothrow) QORXML_c());
}

QORValue_c* QORXML_c::Value() {
    if (!m_value) {
        m_value.reset(new (std::nothrow) QORValue_c());
    }
    return m_value.get();
}

QORList_c* QORXML_c::Children() {
    if (!m_children) {
        m_children.reset(new (std::nothrow) QORList_c());
    }
    return m_children.get();
}

bool QORXML_c::IsLive() const {
    return NodeType() != QOR_XML_UNTYPED && m_value && m_value->Type() != QOR_TYPE_NONE;
}

std::unique_ptr<QORXML_c> QORXML_c::MakeNode() const {
    std::unique_ptr<QORObject_c> made = Create();
    auto* node = dynamic_cast<QORXML_c*>(made.get());
    if (node == nullptr) {
        return nullptr;
    }
    made.release();
    return std::unique_ptr<QORXML_c>(node);
}

QORXML_c* QORXML_c::AddChild(std::uint8_t type) {
    QORList_c* list = Children();
    if (list == nullptr) {
        return nullptr;
    }
    std::unique_ptr<QORXML_c> node = MakeNode();
    if (!node || list->InsertAfter(node.get()) != QOR_OK) {
        return nullptr;
    }
    QORXML_c* child = node.release();
    child->m_parent = this;
    child->SetNodeType(type);
    return child;
}

void QORXML_c::ReleaseChildLinks() {
    if (!m_children) {
        return;
    }
    for (QORListNode_c* node = m_children->First(); node != nullptr; node = node->next) {
        QORXML_c* child = QORXMLNodeOf(node);
        if (child != nullptr && child->m_parent == this) {
            child->m_parent = nullptr;
        }
    }
}

void QORXML_c::UnlinkNode(QORListNode_c* node) {
    QORList_c* list = m_children.get();
    QORListNode_c* cursor = list->CursorNode();
    list->SelectNode(node);
    const std::uint8_t ownership = list->Ownership();
    list->SetOwnership(QOR_BORROWS);
    // Any direction but 249: the next node, or the previous one at the end.
    list->RemoveCurrent(0);
    list->SetOwnership(ownership);
    if (cursor != node) {
        list->SelectNode(cursor);
    }
}

std::uint8_t QORXML_c::CopyTo(QORObject_c* target) const {
    auto* to = dynamic_cast<QORXML_c*>(target);
    if (to == nullptr) {
        return QOR_ERROR;
    }
    // Copying into this node or into its own subtree would read children while they are being
    // replaced or appended: copy from a snapshot instead.
    for (const QORXML_c* up = to; up != nullptr; up = up->m_parent) {
        if (up == this) {
            std::unique_ptr<QORObject_c> snapshot = Clone();
            if (!snapshot) {
                return QOR_ERROR;
            }
            return snapshot->CopyTo(target);
        }
    }
    if (QORObject_c::CopyTo(to) != QOR_OK) {
        return QOR_ERROR;
    }
    to->m_flags = m_flags;
    if (!m_value) {
        return QOR_ERROR;
    }
    QORValue_c* value = to->Value();
    if (value == nullptr) {
        return QOR_ERROR;
    }
    CopyValue(*m_value, *value);

    // A leaf copied onto a leaf gets no children list, as a leaf built anew has none: a copied
    // tree is mostly leaves, and the lists were a good share of its allocations.
    if (!m_children && !to->m_children) {
        return QOR_OK;
    }
    QORList_c* list = to->Children();
    if (list == nullptr) {
        return QOR_ERROR;
    }
    if (list->Last() != nullptr) {
        list->SelectNode(list->Last());
    }
    std::uint8_t status = QOR_OK;
    if (!m_children) {
        return status;
    }
    for (QORListNode_c* node = m_children->First(); node != nullptr; node = node->next) {
        QORXML_c* child = QORXMLNodeOf(node);
        if (child == nullptr || !child->IsLive()) {
            continue;
        }
        if (child->NodeType() == QOR_XML_ATTRIBUTE) {
            const std::string_view name = TextOf(child->m_value.get());
            to->RemoveAttribute(name.data(), static_cast<std::int32_t>(name.size()), nullptr);
        }
        std::unique_ptr<QORObject_c> clone = child->Clone();
        auto* copy = dynamic_cast<QORXML_c*>(clone.get());
        if (copy == nullptr || list->InsertAfter(copy) != QOR_OK) {
            status = QOR_ERROR;
            continue;
        }
        clone.release();
        copy->m_parent = to;
    }
    return status;
}

template <typename Matches>
QORXML_c* QORXML_c::Find(const Matches& matches, std::uint8_t type, std::uint8_t deep,
                         std::uint8_t self, std::uint8_t children, std::uint8_t hidden) {
    if (self == QOR_TRUE) {
        // A node that is not live has been removed from the document, and its subtree with it.
        if (!IsLive()) {
            return nullptr;
        }
        if ((m_flags & QOR_XML_HIDDEN) != 0 && hidden != QOR_TRUE) {
            return nullptr;
        }
        if ((type == QOR_XML_UNTYPED || type == NodeType()) && matches(*this)) {
            return this;
        }
    }
    if (children != QOR_TRUE) {
        return nullptr;
    }
    QORList_c* list = Children();
    if (list == nullptr) {
        return nullptr;
    }
    for (QORListNode_c* node = list->First(); node != nullptr; node = node->next) {
        QORXML_c* child = QORXMLNodeOf(node);
        if (child == nullptr) {
            continue;
        }
        QORXML_c* found = child->Find(matches, type, deep, QOR_TRUE, deep, hidden);
        if (found != nullptr) {
            list->SelectNode(node);
            return found;
        }
    }
    if (list->Last() != nullptr) {
        list->SelectNode(list->Last());
    }
    return nullptr;
}

QORXML_c* QORXML_c::FindByName(const QORString_c* name, std::uint8_t type, std::uint8_t deep,
                               std::uint8_t self, std::uint8_t children, std::uint8_t hidden) {
    return Find(
        [name](const QORXML_c& node) {
            return name != nullptr &&
                   platform::EqualsNoCase(TextOf(node.m_value.get()), name->View());
        },
        type, deep, self, children, hidden);
}

QORXML_c* QORXML_c::FindByName(std::string_view name, std::uint8_t type, std::uint8_t deep,
                               std::uint8_t self, std::uint8_t children, std::uint8_t hidden) {
    return Find(
        [name](const QORXML_c& node) {
            return platform::EqualsNoCase(TextOf(node.m_value.get()), name);
        },
        type, deep, self, children, hidden);
}

QORXML_c* QORXML_c::FindByValue(QORValue_c* value, std::uint8_t type, std::uint8_t deep,
                                std::uint8_t self, std::uint8_t children, std::uint8_t hidden) {
    return Find(
        [value](const QORXML_c& node) {
            return value != nullptr &&
                   node.m_value->Compare(value, 0, QOR_FALSE, QOR_FALSE) == QOR_CMP_EQUAL;
        },
        type, deep, self, children, hidden);
}

QORXML_c* QORXML_c::FindAncestor(QORValue_c* value, std::uint8_t type) const {
    for (QORXML_c* up = m_parent; up != nullptr; up = up->m_parent) {
        // The walk ends at a removed or hidden ancestor without an answer.
        if (!up->IsLive() || (up->m_flags & QOR_XML_HIDDEN) != 0) {
            return nullptr;
        }
        if (type != QOR_XML_UNTYPED && up->NodeType() != type) {
            continue;
        }
        if (value != nullptr &&
            value->Compare(up->m_value.get(), 0, QOR_FALSE, QOR_FALSE) == QOR_CMP_EQUAL) {
            return up;
        }
    }
    return nullptr;
}

QORXML_c* QORXML_c::FirstChildOfType(std::uint8_t type) {
    QORList_c* list = m_children.get();
    if (list == nullptr) {
        return nullptr;
    }
    for (QORListNode_c* node = list->First(); node != nullptr; node = node->next) {
        QORXML_c* child = QORXMLNodeOf(node);
        if (child != nullptr && child->IsLive() &&
            (type == QOR_XML_UNTYPED || child->NodeType() == type)) {
            list->SelectNode(node);
            return child;
        }
    }
    if (list->Last() != nullptr) {
        list->SelectNode(list->Last());
    }
    return nullptr;
}

QORValue_c* QORXML_c::FirstChildValue(std::uint8_t type) {
    QORXML_c* child = FirstChildOfType(type);
    return child != nullptr ? child->Value() : nullptr;
}

QORXML_c* QORXML_c::PreviousSibling() const {
    if (m_parent == nullptr || !m_parent->m_children) {
        return nullptr;
    }
    QORList_c* list = m_parent->m_children.get();
    for (QORListNode_c* node = list->First(); node != nullptr; node = node->next) {
        if (node->object == this) {
            if (node->prev == nullptr) {
                list->SelectNode(node);
                return nullptr;
            }
            list->SelectNode(node->prev);
            return QORXMLNodeOf(node->prev);
        }
    }
    return nullptr;
}

std::uint8_t QORXML_c::SelectChild(const QORXML_c* child) {
    if (!m_children || child == nullptr) {
        return QOR_ERROR;
    }
    return m_children->Select(child) == QOR_OK ? QOR_OK : QOR_ERROR;
}

std::int32_t QORXML_c::RemoveAttribute(const char* name, std::int32_t length,
                                       const QORXML_c* keep) {
    if (name == nullptr || !m_children) {
        return 0;
    }
    const std::string_view wanted(name,
                                  length < 0 ? std::strlen(name) : static_cast<size_t>(length));
    std::int32_t removed = 0;
    QORListNode_c* node = m_children->First();
    while (node != nullptr) {
        QORListNode_c* next = node->next;
        QORXML_c* child = QORXMLNodeOf(node);
        if (child != nullptr && child != keep && child->NodeType() == QOR_XML_ATTRIBUTE &&
            child->m_value && TextOf(child->m_value.get()) == wanted) {
            UnlinkNode(node);
            child->m_parent = nullptr;
            std::unique_ptr<QORXML_c> gone(child); // unlinked from the owning list: ours now
            ++removed;
        }
        node = next;
    }
    return removed;
}

std::int32_t QORXML_c::RemoveAttribute(const QORString_c* name, const QORXML_c* keep) {
    if (name == nullptr) {
        return 0;
    }
    const std::string_view text = name->View();
    return RemoveAttribute(text.data(), static_cast<std::int32_t>(text.size()), keep);
}

std::int32_t QORXML_c::RemoveChildren() {
    if (!m_children) {
        return 0;
    }
    const std::int32_t count = m_children->Count();
    ReleaseChildLinks();
    m_children->Clear();
    return count;
}

void QORXML_c::DetachChild(const QORXML_c* child) {
    if (!m_children || child == nullptr) {
        return;
    }
    for (QORListNode_c* node = m_children->First(); node != nullptr; node = node->next) {
        if (node->object == child) {
            UnlinkNode(node);
            return;
        }
    }
}
