#include "reproducer/show_resources.h"

#include "platform/paths.h"
#include "reproducer/show_document.h"

#include <new>
#include <string_view>

namespace {

std::string_view TextOf(QORValue_c* value) {
    if (value == nullptr) {
        return {};
    }
    const QORString_c* text = value->GetText(nullptr);
    return text != nullptr ? text->View() : std::string_view();
}

ShowResource_c* ItemOf(const QORListNode_c* node) {
    return node != nullptr ? dynamic_cast<ShowResource_c*>(node->object) : nullptr;
}

bool IsLiveItem(const ShowResource_c* item) {
    return item != nullptr && item->Element() != nullptr && item->Element()->IsLive();
}

} // namespace

// ---------------------------------------------------------------------------------------------

std::unique_ptr<QORObject_c> ShowDataGUI_c::Create() const {
    return std::unique_ptr<QORObject_c>(new (std::nothrow) ShowDataGUI_c());
}

void ShowDataGUI_c::SetChangeTracking(std::uint8_t /*tracking*/) {
    // Edits of GUI data never mark the document modified, whatever the resource passes on.
    m_changeTracking = QOR_FALSE;
}

std::uint8_t ShowDataGUI_c::Bind(ShowXML_c* resourceElement) {
    if (resourceElement == nullptr || resourceElement->NodeType() != QOR_XML_ELEMENT) {
        Attach(nullptr);
        return QOR_ERROR;
    }
    ShowXML_c* gui = ShowXML_c::FindOrCreateElement(resourceElement, "gui", nullptr);
    if (gui == nullptr) {
        Attach(nullptr);
        return QOR_ERROR;
    }
    Attach(gui);
    gui->SetFlags(static_cast<std::uint8_t>(gui->Flags() | QOR_XML_HIDDEN | QOR_XML_WRITE_HIDDEN));
    m_changeTracking = QOR_FALSE;
    return QOR_OK;
}

std::uint8_t ShowDataGUI_c::Rebind() {
    if (m_element == nullptr) {
        return QOR_ERROR;
    }
    return Bind(dynamic_cast<ShowXML_c*>(m_element->Parent()));
}

// ---------------------------------------------------------------------------------------------

ShowResources_c::ShowResources_c() : m_itemName(new (std::nothrow) QORValue_c()) {
    if (m_itemName) {
        m_itemName->SetText("");
    }
}

ShowResources_c::~ShowResources_c() = default;

std::unique_ptr<QORObject_c> ShowResources_c::Create() const {
    return std::unique_ptr<QORObject_c>(new (std::nothrow) ShowResources_c());
}

void ShowResources_c::SetItemName(const char* name) {
    if (m_itemName) {
        m_itemName->SetText(name);
    }
}

QORList_c* ShowResources_c::Children() {
    if (!m_items) {
        m_items.reset(new (std::nothrow) QORList_c());
    }
    return m_items.get();
}

std::unique_ptr<ShowResource_c> ShowResources_c::CreateChild(ShowXML_c* /*templateNode*/) {
    return std::unique_ptr<ShowResource_c>(new (std::nothrow) ShowResource_c());
}

void ShowResources_c::SetChangeTracking(std::uint8_t tracking) {
    m_changeTracking = tracking;
    if (!m_items) {
        return;
    }
    for (QORListNode_c* node = m_items->First(); node != nullptr; node = node->next) {
        if (ShowResource_c* item = ItemOf(node); item != nullptr) {
            item->SetChangeTracking(tracking);
        }
    }
}

std::uint8_t ShowResources_c::Bind(ShowXML_c* element) {
    m_items.reset();
    if (element == nullptr) {
        Attach(nullptr);
        return QOR_ERROR;
    }
    Attach(element);
    QORList_c* items = Children();
    if (items == nullptr) {
        return QOR_ERROR;
    }
    const std::string_view itemName = TextOf(m_itemName.get());
    const QORList_c* children = element->ChildList();
    if (children == nullptr) {
        return QOR_OK;
    }
    for (const QORListNode_c* node = children->First(); node != nullptr; node = node->next) {
        auto* child = dynamic_cast<ShowXML_c*>(QORXMLNodeOf(node));
        // A removed item stays out: binding would name its element and so bring it back.
        if (child == nullptr || child->NodeType() != QOR_XML_ELEMENT || !child->IsLive()) {
            continue;
        }
        if (!itemName.empty() && !platform::EqualsNoCase(TextOf(child->ValueObject()), itemName)) {
            continue;
        }
        std::unique_ptr<ShowResource_c> item = CreateChild(child);
        if (!item) {
            return QOR_ERROR;
        }
        item->SetOwner(m_owner);
        if (item->Bind(child) != QOR_OK || items->InsertAfter(item.get()) != QOR_OK) {
            return QOR_ERROR;
        }
        item.release()->SetCollection(this); // the owning items list holds it
    }
    return QOR_OK;
}

std::uint8_t ShowResources_c::BindInParent(ShowXML_c* parent, const char* listName) {
    if (parent == nullptr || parent->NodeType() != QOR_XML_ELEMENT) {
        m_items.reset();
        Attach(nullptr);
        return QOR_ERROR;
    }
    ShowXML_c* list = ShowXML_c::FindOrCreateElement(parent, listName, nullptr);
    if (list == nullptr) {
        m_items.reset();
        Attach(nullptr);
        return QOR_ERROR;
    }
    return ShowResources_c::Bind(list);
}

std::uint8_t ShowResources_c::RebindFromParent() {
    if (m_element == nullptr) {
        return QOR_ERROR;
    }
    return Bind(dynamic_cast<ShowXML_c*>(m_element->Parent()));
}

ShowXMLInterface_c* ShowResources_c::FindBinding(const QORXML_c* node) {
    if (ShowXMLInterface_c* found = ShowXMLInterface_c::FindBinding(node); found != nullptr) {
        return found;
    }
    if (m_element == nullptr || !m_items) {
        return nullptr;
    }
    for (QORListNode_c* item = m_items->First(); item != nullptr; item = item->next) {
        ShowResource_c* resource = ItemOf(item);
        if (!IsLiveItem(resource)) {
            continue;
        }
        if (ShowXMLInterface_c* found = resource->FindBinding(node); found != nullptr) {
            m_items->SelectNode(item);
            return found;
        }
    }
    return nullptr;
}

std::int32_t ShowResources_c::LiveCount() {
    std::int32_t count = 0;
    if (m_items) {
        for (QORListNode_c* node = m_items->First(); node != nullptr; node = node->next) {
            if (IsLiveItem(ItemOf(node))) {
                ++count;
            }
        }
    }
    return count;
}

ShowResource_c* ShowResources_c::Current() const {
    return m_items ? ItemOf(m_items->CursorNode()) : nullptr;
}

std::uint8_t ShowResources_c::SelectItem(ShowResource_c* item) {
    if (item == nullptr || !m_items || m_items->Select(item) != QOR_OK) {
        return QOR_ERROR;
    }
    if (m_element != nullptr && item->Element() != nullptr) {
        m_element->SelectChild(item->Element());
    }
    return QOR_OK;
}

ShowResource_c* ShowResources_c::First() {
    if (!m_items) {
        return nullptr;
    }
    for (QORListNode_c* node = m_items->First(); node != nullptr; node = node->next) {
        ShowResource_c* item = ItemOf(node);
        if (IsLiveItem(item)) {
            SelectItem(item);
            return item;
        }
    }
    return nullptr;
}

std::uint8_t ShowResources_c::Next() {
    if (!m_items || m_items->CursorNode() == nullptr) {
        return QOR_ERROR;
    }
    for (QORListNode_c* node = m_items->CursorNode()->next; node != nullptr; node = node->next) {
        ShowResource_c* item = ItemOf(node);
        if (IsLiveItem(item)) {
            return SelectItem(item);
        }
    }
    m_items->SelectNode(m_items->Last());
    return QOR_ERROR;
}

std::uint8_t ShowResources_c::Previous() {
    if (!m_items || m_items->CursorNode() == nullptr) {
        return QOR_ERROR;
    }
    for (QORListNode_c* node = m_items->CursorNode()->prev; node != nullptr; node = node->prev) {
        ShowResource_c* item = ItemOf(node);
        if (IsLiveItem(item)) {
            return SelectItem(item);
        }
    }
    m_items->SelectNode(m_items->First());
    return QOR_ERROR;
}

ShowResource_c* ShowResources_c::ItemAt(std::int32_t index, std::uint8_t create) {
    if (index < 0 || m_element == nullptr) {
        return nullptr;
    }
    std::int32_t position = 0;
    if (m_items) {
        for (QORListNode_c* node = m_items->First(); node != nullptr; node = node->next) {
            ShowResource_c* item = ItemOf(node);
            if (!IsLiveItem(item)) {
                continue;
            }
            if (position == index) {
                SelectItem(item);
                return item;
            }
            ++position;
        }
    }
    if (create != QOR_TRUE || Children() == nullptr) {
        return nullptr;
    }
    // New items go at the end of the list and of the collection element.
    if (m_items->Last() != nullptr) {
        m_items->SelectNode(m_items->Last());
    }
    if (QORList_c* children = m_element->Children();
        children != nullptr && children->Last() != nullptr) {
        children->SelectNode(children->Last());
    }
    ShowResource_c* added = nullptr;
    for (; position <= index; ++position) {
        added = AddItem(QOR_FALSE, nullptr);
        if (added == nullptr) {
            return nullptr;
        }
    }
    return added;
}

ShowResource_c* ShowResources_c::FindByName(const QORString_c* name, std::uint8_t create) {
    if (name == nullptr) {
        return nullptr;
    }
    if (m_items) {
        QORString_c text;
        for (QORListNode_c* node = m_items->First(); node != nullptr; node = node->next) {
            ShowResource_c* item = ItemOf(node);
            if (!IsLiveItem(item)) {
                continue;
            }
            if (GetNodeText(item->NameAttribute(), &text) == QOR_OK &&
                platform::EqualsNoCase(text.View(), name->View())) {
                SelectItem(item);
                return item;
            }
        }
    }
    if (create != QOR_TRUE) {
        return nullptr;
    }
    ShowResource_c* item = AddItem(QOR_FALSE, nullptr);
    if (item != nullptr) {
        item->SetName(name);
    }
    return item;
}

ShowResource_c* ShowResources_c::FindByName(const char* name, std::uint8_t create) {
    if (name == nullptr) {
        return nullptr;
    }
    QORString_c text;
    text.Assign(name);
    return FindByName(&text, create);
}

ShowResource_c* ShowResources_c::AddItem(std::uint8_t direction, ShowXML_c* templateNode) {
    if (m_element == nullptr || Children() == nullptr) {
        return nullptr;
    }
    ShowResource_c* current = Current();
    if (IsLiveItem(current)) {
        m_element->SelectChild(current->Element());
    }
    ShowXML_c* node = ShowXML_c::InsertChild(m_element, QOR_TYPE_NONE, direction);
    if (node == nullptr) {
        return nullptr;
    }
    // The empty value is the baseline, so the naming below shows as a change.
    node->HistoryValue()->History();
    if (templateNode != nullptr) {
        templateNode->CopyTo(node);
    }
    std::unique_ptr<ShowResource_c> item = CreateChild(templateNode);
    if (!item) {
        delete node; // unlinks itself from the collection element
        return nullptr;
    }
    item->SetOwner(m_owner);
    item->Bind(node);
    const std::uint8_t inserted = direction == QOR_TOWARDS_FRONT ? m_items->InsertBefore(item.get())
                                                                 : m_items->InsertAfter(item.get());
    if (inserted != QOR_OK) {
        item.reset();
        delete node;
        return nullptr;
    }
    ShowResource_c* added = item.release(); // the owning items list holds it
    added->SetCollection(this);
    if (m_changeTracking == QOR_TRUE && m_owner != nullptr &&
        node->HistoryValue()->Commit() == QOR_OK) {
        m_owner->NodeChanged(node);
    }
    return added;
}

std::uint8_t ShowResources_c::RemoveCurrent() {
    ShowResource_c* current = Current();
    if (!IsLiveItem(current)) {
        return QOR_ERROR;
    }
    ShowXML_c* element = current->Element();
    m_element->SelectChild(element);
    ShowXMLValue_c* value = element->HistoryValue();
    value->ClearType();
    if (m_owner != nullptr && value->Commit() == QOR_OK) {
        m_owner->NodeChanged(element);
    }
    if (Next() != QOR_OK) {
        Previous();
    }
    return QOR_OK;
}

std::uint8_t ShowResources_c::CopyCurrent() {
    m_copy.reset();
    ShowResource_c* current = Current();
    if (!IsLiveItem(current)) {
        return QOR_ERROR;
    }
    ShowXML_c* element = current->Element();
    m_element->SelectChild(element);
    std::unique_ptr<QORObject_c> made = element->Create();
    auto* copy = dynamic_cast<ShowXML_c*>(made.get());
    if (copy == nullptr || element->CopyTo(copy) != QOR_OK) {
        return QOR_ERROR;
    }
    made.release();
    m_copy.reset(copy);
    return QOR_OK;
}

std::uint8_t ShowResources_c::Select(ShowResource_c* item) {
    if (item == nullptr) {
        if (m_items && m_items->Last() != nullptr) {
            m_items->SelectNode(m_items->Last());
        }
        return QOR_ERROR;
    }
    return SelectItem(item);
}

// ---------------------------------------------------------------------------------------------

ShowResource_c::ShowResource_c() = default;
ShowResource_c::~ShowResource_c() = default;

std::unique_ptr<QORObject_c> ShowResource_c::Create() const {
    return std::unique_ptr<QORObject_c>(new (std::nothrow) ShowResource_c());
}

void ShowResource_c::SetChangeTracking(std::uint8_t tracking) {
    m_changeTracking = tracking;
    if (m_gui) {
        m_gui->SetChangeTracking(tracking);
    }
}

std::uint8_t ShowResource_c::Bind(ShowXML_c* node) {
    m_gui.reset();
    m_nameAttribute = nullptr;
    m_textNode = nullptr;
    if (node == nullptr) {
        Attach(nullptr);
        return QOR_ERROR;
    }
    Attach(node);
    if (QORValue_c* value = node->Value(); value != nullptr) {
        value->SetText("resource");
    }
    if (node->NodeType() == QOR_XML_UNTYPED) {
        node->SetNodeType(QOR_XML_ELEMENT);
    }
    if (ShowXML_c::FindElement(node, "gui") != nullptr) {
        GUI();
    }
    return QOR_OK;
}

ShowXML_c* ShowResource_c::NameAttribute() {
    if (m_nameAttribute == nullptr && m_element != nullptr) {
        m_nameAttribute = ShowXML_c::FindOrCreateAttribute(m_element, "name");
    }
    return m_nameAttribute;
}

std::uint8_t ShowResource_c::SetName(const QORString_c* name) {
    return SetNodeText(NameAttribute(), this, name);
}

std::uint8_t ShowResource_c::SetName(const char* name) {
    return SetNodeText(NameAttribute(), this, name);
}

std::uint8_t ShowResource_c::GetName(QORString_c* out) {
    return GetNodeText(NameAttribute(), out);
}

ShowXML_c* ShowResource_c::TextNode() {
    if (m_textNode != nullptr || m_element == nullptr) {
        return m_textNode;
    }
    auto* text = dynamic_cast<ShowXML_c*>(m_element->FirstChildOfType(QOR_XML_TEXT));
    if (text == nullptr) {
        text = ShowXML_c::InsertChild(m_element, QOR_TYPE_TEXT, QOR_TOWARDS_FRONT);
        if (text == nullptr) {
            return nullptr;
        }
        text->SetNodeType(QOR_XML_TEXT);
        text->HistoryValue()->History();
    }
    m_textNode = text;
    return m_textNode;
}

QORHistoryValue_c* ShowResource_c::TextValue() {
    ShowXML_c* node = TextNode();
    return node != nullptr ? node->HistoryValue() : nullptr;
}

void ShowResource_c::GetText(QORString_c* out) {
    if (out == nullptr) {
        return;
    }
    QORHistoryValue_c* value = TextValue();
    if (value == nullptr) {
        out->Clear();
        return;
    }
    const QORString_c* text = value->GetText(nullptr);
    out->Assign(text->Chars(), text->Length(), QOR_FALSE);
}

std::int32_t ShowResource_c::SiblingIndex() {
    if (m_element == nullptr || !m_element->IsLive() || m_element->Parent() == nullptr) {
        return -2;
    }
    const QORList_c* list = m_element->Parent()->ChildList();
    if (list == nullptr) {
        return -2;
    }
    const QORListNode_c* own = list->First();
    while (own != nullptr && own->object != m_element) {
        own = own->next;
    }
    if (own == nullptr) {
        return -2;
    }
    std::int32_t index = 0;
    for (const QORListNode_c* node = own->prev; node != nullptr; node = node->prev) {
        QORXML_c* sibling = QORXMLNodeOf(node);
        if (sibling != nullptr && sibling->IsLive() &&
            sibling->NodeType() == m_element->NodeType() &&
            sibling->ValueObject()->Compare(m_element->ValueObject(), 0, QOR_TRUE, QOR_FALSE) ==
                QOR_CMP_EQUAL) {
            ++index;
        }
    }
    return index;
}

ShowDataGUI_c* ShowResource_c::GUI() {
    if (m_gui) {
        return m_gui.get();
    }
    std::unique_ptr<ShowDataGUI_c> gui(new (std::nothrow) ShowDataGUI_c());
    if (!gui) {
        return nullptr;
    }
    gui->SetOwner(m_owner);
    if (gui->Bind(m_element) != QOR_OK) {
        return nullptr;
    }
    m_gui = std::move(gui);
    return m_gui.get();
}
