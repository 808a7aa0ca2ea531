#include "reproducer/show_xml.h"

#include "reproducer/show_document.h"

#include <new>
#include <string_view>

namespace {

ShowXML_c* AsShow(QORXML_c* node) {
    return dynamic_cast<ShowXML_c*>(node);
}

// The text child that holds a field, when the node is live and has one.
ShowXML_c* LiveTextChild(ShowXML_c* node) {
    if (node == nullptr || !node->IsLive()) {
        return nullptr;
    }
    return AsShow(node->FirstChildOfType(QOR_XML_TEXT));
}

// Makes the history of a node's value when it has none, committing its current value.
void EnsureHistory(ShowXML_c* node) {
    if (ShowXMLValue_c* value = node->HistoryValue(); value != nullptr) {
        value->History();
    }
}

// Puts the cursor on the last child, so that an insertion after it appends.
void CursorToEnd(QORXML_c* node) {
    QORList_c* list = node->Children();
    if (list != nullptr && list->Last() != nullptr) {
        list->SelectNode(list->Last());
    }
}

} // namespace

std::unique_ptr<QORObject_c> ShowXMLValue_c::Create() const {
    return std::unique_ptr<QORObject_c>(new (std::nothrow) ShowXMLValue_c());
}

void ShowXMLValue_c::ClearType() {
    m_type = QOR_TYPE_NONE;
}

void ShowXMLValue_c::RestoreText() {
    if (m_type != QOR_TYPE_NONE) {
        return;
    }
    // The kept text is the name or text the node had before it was cleared.
    QORString_c* text = GetText(nullptr);
    if (text != nullptr && m_textValid == QOR_TRUE) {
        m_type = QOR_TYPE_TEXT;
        InvalidateAllBut(QOR_TYPE_TEXT);
        return;
    }
    SetText(nullptr);
}

std::unique_ptr<QORObject_c> ShowXML_c::Create() const {
    return std::unique_ptr<QORObject_c>(new (std::nothrow) ShowXML_c());
}

QORValue_c* ShowXML_c::Value() {
    if (!m_value) {
        m_value.reset(new (std::nothrow) ShowXMLValue_c());
    } else if (dynamic_cast<ShowXMLValue_c*>(m_value.get()) == nullptr) {
        // A value made by other code: carry it over into a value that keeps history.
        std::unique_ptr<ShowXMLValue_c> kept(new (std::nothrow) ShowXMLValue_c());
        if (!kept) {
            return nullptr;
        }
        kept->Assign(m_value.get());
        m_value = std::move(kept);
    }
    return m_value.get();
}

ShowXMLValue_c* ShowXML_c::HistoryValue() {
    return static_cast<ShowXMLValue_c*>(Value());
}

ShowXML_c* ShowXML_c::FindAttribute(QORXML_c* node, const QORString_c* name) {
    if (node == nullptr || name == nullptr) {
        return nullptr;
    }
    if (node->NodeType() != QOR_XML_DECLARATION && node->NodeType() != QOR_XML_ELEMENT) {
        return nullptr;
    }
    return AsShow(
        node->FindByName(name, QOR_XML_ATTRIBUTE, QOR_FALSE, QOR_FALSE, QOR_TRUE, QOR_TRUE));
}

ShowXML_c* ShowXML_c::FindAttribute(QORXML_c* node, const char* name) {
    if (name == nullptr) {
        return nullptr;
    }
    if (node == nullptr) {
        return nullptr;
    }
    if (node->NodeType() != QOR_XML_DECLARATION && node->NodeType() != QOR_XML_ELEMENT) {
        return nullptr;
    }
    return AsShow(node->FindByName(std::string_view(name), QOR_XML_ATTRIBUTE, QOR_FALSE, QOR_FALSE,
                                   QOR_TRUE, QOR_TRUE));
}

ShowXML_c* ShowXML_c::FindOrCreateAttribute(QORXML_c* node, const QORString_c* name) {
    if (node == nullptr || name == nullptr) {
        return nullptr;
    }
    if (ShowXML_c* found = FindAttribute(node, name); found != nullptr) {
        return found;
    }
    if (node->NodeType() != QOR_XML_DECLARATION && node->NodeType() != QOR_XML_ELEMENT) {
        return nullptr;
    }
    CursorToEnd(node);
    ShowXML_c* attribute = InsertChild(node, QOR_TYPE_TEXT, QOR_FALSE);
    if (attribute == nullptr) {
        return nullptr;
    }
    attribute->SetNodeType(QOR_XML_ATTRIBUTE);
    attribute->Value()->SetString(name);
    ShowXML_c* text = InsertChild(attribute, QOR_TYPE_TEXT, QOR_FALSE);
    if (text == nullptr) {
        delete attribute; // unlinks itself from the node
        return nullptr;
    }
    text->SetNodeType(QOR_XML_TEXT);
    text->Value()->SetText("");
    return attribute;
}

ShowXML_c* ShowXML_c::FindOrCreateAttribute(QORXML_c* node, const char* name) {
    if (name == nullptr) {
        return nullptr;
    }
    // Found by the characters themselves; a text is made only to create the attribute.
    if (ShowXML_c* found = FindAttribute(node, name); found != nullptr) {
        return found;
    }
    QORString_c text;
    text.Assign(name);
    return FindOrCreateAttribute(node, &text);
}

ShowXML_c* ShowXML_c::CreateElement(const QORString_c* name, QORXML_c* parent,
                                    const QORString_c* text) {
    if (parent == nullptr) {
        return nullptr;
    }
    CursorToEnd(parent);
    ShowXML_c* element = InsertChild(parent, QOR_TYPE_TEXT, QOR_FALSE);
    if (element == nullptr) {
        return nullptr;
    }
    element->SetNodeType(QOR_XML_ELEMENT);
    QORValue_c* value = element->Value();
    if (value == nullptr) {
        delete element;
        return nullptr;
    }
    value->SetString(name); // null gives the empty text
    if (text != nullptr) {
        ShowXML_c* child = InsertChild(element, QOR_TYPE_TEXT, QOR_FALSE);
        if (child == nullptr || child->Value() == nullptr) {
            delete element;
            return nullptr;
        }
        child->SetNodeType(QOR_XML_TEXT);
        child->Value()->SetString(text);
    }
    return element;
}

ShowXML_c* ShowXML_c::CreateElement(const char* name, QORXML_c* parent, const char* text) {
    QORString_c nameText;
    QORString_c valueText;
    if (name != nullptr) {
        nameText.Assign(name);
    }
    if (text != nullptr) {
        valueText.Assign(text);
    }
    return CreateElement(name != nullptr ? &nameText : nullptr, parent,
                         text != nullptr ? &valueText : nullptr);
}

ShowXML_c* ShowXML_c::InsertChild(QORXML_c* node, std::uint8_t valueType, std::uint8_t direction) {
    if (node == nullptr) {
        return nullptr;
    }
    QORList_c* list = node->Children();
    if (list == nullptr) {
        return nullptr;
    }
    std::unique_ptr<ShowXML_c> child(new (std::nothrow) ShowXML_c());
    if (!child || child->Value() == nullptr) {
        return nullptr;
    }
    child->SetNodeType(QOR_XML_UNTYPED);
    child->Value()->ConvertTo(valueType);
    const std::uint8_t inserted = direction == QOR_TOWARDS_FRONT ? list->InsertBefore(child.get())
                                                                 : list->InsertAfter(child.get());
    if (inserted != QOR_OK) {
        return nullptr;
    }
    child->SetParent(node);
    return child.release(); // the owning children list holds it
}

ShowXML_c* ShowXML_c::FindTmElement(QORXML_c* node) {
    if (node == nullptr ||
        (node->NodeType() != QOR_XML_DECLARATION && node->NodeType() != QOR_XML_ELEMENT)) {
        return nullptr;
    }
    return FindElement(node, "tm");
}

ShowXML_c* ShowXML_c::FindElement(QORXML_c* parent, const char* name) {
    if (parent == nullptr || name == nullptr) {
        return nullptr;
    }
    return AsShow(parent->FindByName(std::string_view(name), QOR_XML_ELEMENT, QOR_FALSE, QOR_FALSE,
                                     QOR_TRUE, QOR_TRUE));
}

ShowXML_c* ShowXML_c::FindOrCreateElement(QORXML_c* parent, const char* name,
                                          const char* defaultText, bool* created) {
    if (created != nullptr) {
        *created = false;
    }
    if (ShowXML_c* found = FindElement(parent, name); found != nullptr) {
        return found;
    }
    ShowXML_c* made = CreateElement(name, parent, defaultText);
    if (made != nullptr && created != nullptr) {
        *created = true;
    }
    return made;
}

// ---------------------------------------------------------------------------------------------

std::uint8_t ShowXMLInterface_c::CopyTo(QORObject_c* target) const {
    auto* other = dynamic_cast<ShowXMLInterface_c*>(target);
    if (other == nullptr || QORObject_c::CopyTo(target) != QOR_OK) {
        return QOR_ERROR;
    }
    other->m_owner = m_owner;
    other->m_element = nullptr;
    if (m_element == nullptr) {
        return QOR_OK;
    }
    QORXML_c* parent = m_element->Parent();
    if (m_element->NodeType() != QOR_XML_ELEMENT || parent == nullptr) {
        return QOR_ERROR;
    }
    std::unique_ptr<QORObject_c> made = m_element->Clone();
    auto* clone = dynamic_cast<ShowXML_c*>(made.get());
    QORList_c* list = parent->Children();
    if (clone == nullptr || list == nullptr || parent->SelectChild(m_element) != QOR_OK ||
        list->InsertAfter(clone) != QOR_OK) {
        return QOR_ERROR;
    }
    made.release(); // the parent's children list holds it
    clone->SetParent(parent);
    other->m_element = clone;
    other->Rebind();
    return QOR_OK;
}

std::unique_ptr<QORObject_c> ShowXMLInterface_c::Create() const {
    return std::unique_ptr<QORObject_c>(new (std::nothrow) ShowXMLInterface_c());
}

void ShowXMLInterface_c::SetChangeTracking(std::uint8_t tracking) {
    m_changeTracking = tracking;
}

std::uint8_t ShowXMLInterface_c::Bind(ShowXML_c* node) {
    if (node == nullptr) {
        return QOR_ERROR;
    }
    Attach(node);
    return QOR_OK;
}

std::uint8_t ShowXMLInterface_c::Rebind() {
    if (m_element == nullptr) {
        return QOR_ERROR;
    }
    return Bind(m_element);
}

ShowXMLInterface_c* ShowXMLInterface_c::FindBinding(const QORXML_c* node) {
    if (m_element == nullptr || node == nullptr) {
        return nullptr;
    }
    if (node == m_element) {
        return this;
    }
    const QORList_c* list = m_element->ChildList();
    if (list == nullptr) {
        return nullptr;
    }
    for (const QORListNode_c* item = list->First(); item != nullptr; item = item->next) {
        QORXML_c* child = QORXMLNodeOf(item);
        if (child == nullptr) {
            continue;
        }
        const std::uint8_t type = child->NodeType();
        if (type == QOR_XML_COMMENT && child == node) {
            return this;
        }
        if (type != QOR_XML_ATTRIBUTE) {
            continue;
        }
        if (child == node) {
            return this;
        }
        // The attribute's value text: its first live child.
        if (const QORList_c* texts = child->ChildList(); texts != nullptr) {
            for (const QORListNode_c* t = texts->First(); t != nullptr; t = t->next) {
                QORXML_c* text = QORXMLNodeOf(t);
                if (text != nullptr && text->IsLive()) {
                    if (text == node) {
                        return this;
                    }
                    break;
                }
            }
        }
    }
    return nullptr;
}

void ShowXMLInterface_c::SetElementName(const char* name) {
    if (m_element != nullptr && m_element->Value() != nullptr) {
        m_element->Value()->SetText(name);
    }
}

std::uint8_t ShowXMLInterface_c::GetNodeText(ShowXML_c* node, QORString_c* out) {
    if (out == nullptr) {
        return QOR_ERROR;
    }
    ShowXML_c* text = LiveTextChild(node);
    if (text == nullptr) {
        out->Clear();
        return QOR_ERROR;
    }
    EnsureHistory(text);
    const QORString_c* value = text->Value()->GetText(nullptr);
    out->Assign(value->Chars(), value->Length(), QOR_FALSE);
    return QOR_OK;
}

std::uint8_t ShowXMLInterface_c::GetNodeInt(ShowXML_c* node, std::int32_t* out) {
    if (out == nullptr) {
        return QOR_ERROR;
    }
    ShowXML_c* text = LiveTextChild(node);
    if (text == nullptr) {
        *out = 0;
        return QOR_ERROR;
    }
    EnsureHistory(text);
    std::uint8_t status = QOR_OK;
    *out = text->Value()->GetInt(&status);
    return status;
}

namespace {

// The node's first live text child, made (before the cursor) when it has none. The node itself
// becomes live again when it had been cleared.
ShowXML_c* TextChildForWrite(ShowXML_c* node) {
    ShowXMLValue_c* value = node->HistoryValue();
    if (value == nullptr) {
        return nullptr;
    }
    value->RestoreText();
    if (ShowXML_c* text = AsShow(node->FirstChildOfType(QOR_XML_TEXT)); text != nullptr) {
        return text;
    }
    ShowXML_c* text = ShowXML_c::InsertChild(node, QOR_TYPE_TEXT, QOR_TOWARDS_FRONT);
    if (text != nullptr) {
        text->SetNodeType(QOR_XML_TEXT);
    }
    return text;
}

} // namespace

std::uint8_t ShowXMLInterface_c::SetNodeText(ShowXML_c* node, ShowXMLInterface_c* binder,
                                             const QORString_c* text) {
    if (node == nullptr) {
        return QOR_ERROR;
    }
    ShowXML_c* child = TextChildForWrite(node);
    if (child == nullptr) {
        return QOR_ERROR;
    }
    const std::string_view wanted = text != nullptr ? text->View() : std::string_view();
    QORValue_c* value = child->Value();
    if (value->GetText(nullptr)->View() == wanted) {
        return QOR_OK;
    }
    value->SetText(wanted.data(), static_cast<std::int32_t>(wanted.size()), QOR_FALSE);
    return CommitNode(child, binder);
}

std::uint8_t ShowXMLInterface_c::SetNodeText(ShowXML_c* node, ShowXMLInterface_c* binder,
                                             const char* text) {
    QORString_c value;
    if (text != nullptr) {
        value.Assign(text);
    }
    return SetNodeText(node, binder, &value);
}

std::uint8_t ShowXMLInterface_c::SetNodeInt(ShowXML_c* node, const std::int32_t* value,
                                            ShowXMLInterface_c* binder) {
    if (node == nullptr) {
        return QOR_ERROR;
    }
    ShowXML_c* child = TextChildForWrite(node);
    if (child == nullptr) {
        return QOR_ERROR;
    }
    const std::int32_t wanted = value != nullptr ? *value : 0;
    QORValue_c* current = child->Value();
    std::uint8_t status = QOR_OK;
    // An empty or unreadable text is not the integer 0: it is written.
    if (current->GetInt(&status) == wanted && status == QOR_OK) {
        return QOR_OK;
    }
    current->SetInt32(wanted);
    return CommitNode(child, binder);
}

std::uint8_t ShowXMLInterface_c::ClearNodeValue(ShowXML_c* node, ShowXMLInterface_c* binder) {
    if (node == nullptr) {
        return QOR_ERROR;
    }
    ShowXMLValue_c* value = node->HistoryValue();
    if (value == nullptr || value->Type() == QOR_TYPE_NONE) {
        return QOR_OK;
    }
    value->ClearType();
    return CommitNode(node, binder);
}

std::uint8_t ShowXMLInterface_c::GetBoolAttribute(ShowXMLInterface_c* binder, const char* name) {
    if (binder == nullptr || binder->m_element == nullptr) {
        return QOR_FALSE;
    }
    ShowXML_c* attribute = ShowXML_c::FindAttribute(binder->m_element, name);
    QORString_c text;
    if (attribute == nullptr || GetNodeText(attribute, &text) != QOR_OK) {
        return QOR_FALSE;
    }
    QORValue_c value;
    value.SetString(&text);
    std::uint8_t status = QOR_OK;
    const std::int32_t number = value.GetInt(&status);
    return status == QOR_OK && number == 1 ? QOR_TRUE : QOR_FALSE;
}

std::uint8_t ShowXMLInterface_c::SetBoolAttribute(const char* name, ShowXMLInterface_c* binder,
                                                  std::uint8_t setTrue, std::uint8_t setFalse) {
    if (binder == nullptr || binder->m_element == nullptr) {
        return QOR_ERROR;
    }
    if (setTrue == QOR_TRUE || setFalse == QOR_TRUE) {
        ShowXML_c* attribute = ShowXML_c::FindOrCreateAttribute(binder->m_element, name);
        if (attribute == nullptr) {
            return QOR_ERROR;
        }
        return SetNodeText(attribute, binder, setTrue == QOR_TRUE ? "true" : "false");
    }
    ShowXML_c* attribute = ShowXML_c::FindAttribute(binder->m_element, name);
    if (attribute != nullptr) {
        ShowXMLValue_c* value = attribute->HistoryValue();
        if (value != nullptr) {
            value->ClearType();
            if (binder->m_owner != nullptr && value->Commit() == QOR_OK) {
                binder->m_owner->NodeChanged(attribute);
            }
        }
    }
    return QOR_OK;
}

std::uint8_t ShowXMLInterface_c::CommitNode(ShowXML_c* node, ShowXMLInterface_c* binder) {
    if (node == nullptr) {
        return QOR_ERROR;
    }
    if (binder != nullptr && binder->m_changeTracking == QOR_TRUE) {
        ShowXMLValue_c* value = node->HistoryValue();
        if (value != nullptr && value->Commit() == QOR_OK && binder->m_owner != nullptr) {
            binder->m_owner->NodeChanged(node);
        }
    }
    return QOR_OK;
}
