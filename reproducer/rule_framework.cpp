#include "reproducer/rule_framework.h"

#include "platform/paths.h"
#include "reproducer/rule_kinds.h"

#include <new>
#include <string_view>

namespace {

std::string_view NameOf(const QORXML_c* node) {
    if (node == nullptr || node->ValueObject() == nullptr) {
        return {};
    }
    const QORString_c* text = node->ValueObject()->GetText(nullptr);
    return text != nullptr ? text->View() : std::string_view();
}

struct KindEntry {
    const char* keyword;
    std::int32_t typeCode;
    std::int32_t valueType;
};

constexpr KindEntry kKinds[kShowRuleKindCount] = {
    {"none", 0, 0},       {"integer", 3, 3},     {"string", 5, 5},     {"bool", 2, 2},
    {"timecode", 13, 13}, {"lcdstring", 14, 14}, {"datetime", 15, 15}, {"variable", 6, 6},
    {"output", 8, 8},     {"input", 7, 7},       {"sequence", 10, 10}, {"percent", 11, 11},
    {"label", 12, 12},    {"decimal", 4, 4},     {"button", 9, 9},     {"option", 16, 16},
    {"device", 17, 0},
};

// An item of a context collection that keeps the element name of its collection.
class ContextItem_c : public ShowResource_c {
public:
    explicit ContextItem_c(std::string_view name) { m_name.Assign(name.data(), Length(name)); }
    std::unique_ptr<QORObject_c> Create() const override {
        return std::unique_ptr<QORObject_c>(new (std::nothrow) ContextItem_c(m_name.View()));
    }
    std::uint8_t Bind(ShowXML_c* node) override {
        const std::uint8_t status = ShowResource_c::Bind(node);
        if (status == QOR_OK) {
            SetElementName(m_name.Chars());
        }
        return status;
    }
    static std::int32_t Length(std::string_view text) {
        return static_cast<std::int32_t>(text.size());
    }

private:
    QORString_c m_name;
};

class ContextVariable_c : public ShowResourceVariable_c {
public:
    explicit ContextVariable_c(std::string_view name) {
        m_name.Assign(name.data(), static_cast<std::int32_t>(name.size()));
    }
    std::unique_ptr<QORObject_c> Create() const override {
        return std::unique_ptr<QORObject_c>(new (std::nothrow) ContextVariable_c(m_name.View()));
    }
    std::uint8_t Bind(ShowXML_c* node) override {
        const std::uint8_t status = ShowResourceVariable_c::Bind(node);
        if (status == QOR_OK) {
            SetElementName(m_name.Chars());
        }
        return status;
    }

private:
    QORString_c m_name;
};

} // namespace

// ---------------------------------------------------------------------------------------------

const char* ShowRuleKindName(std::uint8_t kind) {
    return kind < kShowRuleKindCount ? kKinds[kind].keyword : kKinds[0].keyword;
}

std::int32_t ShowRuleTypeCode(std::uint8_t kind) {
    return kind < kShowRuleKindCount ? kKinds[kind].typeCode : 0;
}

std::int32_t ShowRuleValueType(std::uint8_t kind) {
    return kind < kShowRuleKindCount ? kKinds[kind].valueType : 0;
}

std::uint8_t ShowRuleKindFromName(const char* text) {
    if (text == nullptr) {
        return kShowRuleNone;
    }
    for (std::uint8_t kind = 0; kind < kShowRuleKindCount; ++kind) {
        if (platform::EqualsNoCase(text, kKinds[kind].keyword)) {
            return kind;
        }
    }
    return kShowRuleNone;
}

std::uint8_t ShowRuleKindFromName(const QORString_c* text) {
    if (text == nullptr) {
        return kShowRuleNone;
    }
    const std::string_view view = text->View();
    for (std::uint8_t kind = 0; kind < kShowRuleKindCount; ++kind) {
        if (platform::EqualsNoCase(view, kKinds[kind].keyword)) {
            return kind;
        }
    }
    return kShowRuleNone;
}

// ---------------------------------------------------------------------------------------------

ShowResourceVariable_c::ShowResourceVariable_c() = default;
ShowResourceVariable_c::~ShowResourceVariable_c() = default;

std::unique_ptr<QORObject_c> ShowResourceVariable_c::Create() const {
    return std::unique_ptr<QORObject_c>(new (std::nothrow) ShowResourceVariable_c());
}

std::uint8_t ShowResourceVariable_c::Bind(ShowXML_c* element) {
    m_rules.reset();
    const std::uint8_t status = ShowResource_c::Bind(element);
    if (status == QOR_OK && ShowXML_c::FindElement(element, "rules") != nullptr) {
        Rules();
    }
    return status;
}

ShowResourceRules_c* ShowResourceVariable_c::Rules() {
    if (m_rules || m_element == nullptr) {
        return m_rules.get();
    }
    std::unique_ptr<ShowResourceRules_c> rules(new (std::nothrow) ShowResourceRules_c());
    if (!rules) {
        return nullptr;
    }
    rules->SetOwner(m_owner);
    if (rules->Bind(m_element) != QOR_OK) {
        return nullptr;
    }
    m_rules = std::move(rules);
    return m_rules.get();
}

ShowXMLInterface_c* ShowResourceVariable_c::FindBinding(const QORXML_c* node) {
    if (ShowXMLInterface_c* found = ShowXMLInterface_c::FindBinding(node); found != nullptr) {
        return found;
    }
    if (m_element != nullptr && node != nullptr && node == TextNode()) {
        return this;
    }
    return nullptr;
}

std::uint8_t ShowResourceVariable_c::ValueKind() {
    if (!m_rules) {
        return kShowRuleNone;
    }
    QORList_c* items = m_rules->Children();
    if (items == nullptr) {
        return kShowRuleNone;
    }
    for (QORListNode_c* node = items->First(); node != nullptr; node = node->next) {
        auto* item = dynamic_cast<ShowResource_c*>(node->object);
        if (item != nullptr && item->Element() != nullptr && item->Element()->IsLive()) {
            QORString_c name;
            const std::string_view view = NameOf(item->Element());
            name.Assign(view.data(), static_cast<std::int32_t>(view.size()));
            return ShowRuleKindFromName(&name);
        }
    }
    return kShowRuleNone;
}

std::unique_ptr<QORObject_c> ShowResourceIO_c::Create() const {
    return std::unique_ptr<QORObject_c>(new (std::nothrow) ShowResourceIO_c());
}

std::uint8_t ShowResourceIO_c::Bind(ShowXML_c* element) {
    return ShowResourceVariable_c::Bind(element);
}

// ---------------------------------------------------------------------------------------------

std::unique_ptr<QORObject_c> ShowResourceRules_c::Create() const {
    return std::unique_ptr<QORObject_c>(new (std::nothrow) ShowResourceRules_c());
}

std::uint8_t ShowResourceRules_c::Bind(ShowXML_c* parent) {
    return BindInParent(parent, "rules");
}

std::uint8_t ShowResourceRules_c::Rebind() {
    return RebindFromParent();
}

std::unique_ptr<ShowResource_c> ShowResourceRules_c::CreateChild(ShowXML_c* childElement) {
    std::unique_ptr<ShowResource_c> rule;
    if (childElement != nullptr) {
        const std::string_view name = NameOf(childElement);
        // The factory's own order of keywords; the first that equals the name decides.
        static constexpr std::uint8_t kOrder[] = {
            kShowRuleInteger,  kShowRuleBool,    kShowRuleVariable, kShowRuleLCDString,
            kShowRuleDateTime, kShowRuleOutput,  kShowRulePercent,  kShowRuleString,
            kShowRuleLabel,    kShowRuleInput,   kShowRuleSequence, kShowRuleTimecode,
            kShowRuleDevice,   kShowRuleDecimal, kShowRuleButton,   kShowRuleOption,
        };
        for (std::uint8_t kind : kOrder) {
            if (platform::EqualsNoCase(name, kKinds[kind].keyword)) {
                rule = ShowMakeRule(kind);
                break;
            }
        }
    }
    if (!rule) {
        rule.reset(new (std::nothrow) ShowResource_c());
    }
    return rule;
}

// ---------------------------------------------------------------------------------------------

std::unique_ptr<QORObject_c> ShowResourceRule_c::Create() const {
    return std::unique_ptr<QORObject_c>(new (std::nothrow) ShowResourceRule_c());
}

std::uint8_t ShowResourceRule_c::Bind(ShowXML_c* element) {
    const std::uint8_t status = ShowResource_c::Bind(element);
    if (status != QOR_OK) {
        return status;
    }
    if (element->NodeType() != QOR_XML_ELEMENT) {
        Attach(nullptr);
        return QOR_ERROR;
    }
    SetElementName("rule");
    return QOR_OK;
}

std::uint8_t ShowResourceRule_c::BindAs(ShowXML_c* element, std::uint8_t kind) {
    const std::uint8_t status = ShowResourceRule_c::Bind(element);
    if (status == QOR_OK) {
        SetElementName(ShowRuleKindName(kind));
    }
    return status;
}

std::uint8_t ShowResourceRule_c::Check(const QORString_c* text, ShowRuleLabelScope_c* /*scope*/,
                                       void* /*reserved*/, ShowRuleContext_c* /*context*/) {
    if (m_element == nullptr) {
        return 0;
    }
    return text == nullptr ? QOR_ERROR : QOR_OK;
}

std::uint8_t ShowResourceRule_c::CheckNode(ShowResource_c* resource, ShowRuleLabelScope_c* scope,
                                           void* reserved, ShowRuleContext_c* context) {
    if (resource == nullptr) {
        return QOR_ERROR;
    }
    QORString_c text;
    resource->GetText(&text);
    return Check(&text, scope, reserved, context);
}

// ---------------------------------------------------------------------------------------------

ShowRuleDevice_c::ShowRuleDevice_c() = default;
ShowRuleDevice_c::~ShowRuleDevice_c() = default;

std::unique_ptr<QORObject_c> ShowRuleDevice_c::Create() const {
    return std::unique_ptr<QORObject_c>(new (std::nothrow) ShowRuleDevice_c());
}

std::uint8_t ShowRuleDevice_c::Bind(ShowXML_c* element) {
    m_buttons.reset();
    m_inputs.reset();
    m_outputs.reset();
    m_variables.reset();
    const std::uint8_t status = ShowResource_c::Bind(element);
    if (status != QOR_OK) {
        return status;
    }
    if (element->NodeType() != QOR_XML_ELEMENT) {
        Attach(nullptr);
        return QOR_ERROR;
    }
    SetElementName("device");
    struct Part {
        std::unique_ptr<ShowResources_c>* slot;
        const char* list;
        const char* item;
        ShowRuleCollection_c::Items items;
    };
    const Part parts[] = {
        {&m_buttons, "buttons", "button", ShowRuleCollection_c::Items::Plain},
        {&m_inputs, "inputs", "input", ShowRuleCollection_c::Items::Plain},
        {&m_outputs, "outputs", "output", ShowRuleCollection_c::Items::Plain},
        {&m_variables, "variables", "variable", ShowRuleCollection_c::Items::Variables},
    };
    for (const Part& part : parts) {
        std::unique_ptr<ShowResources_c> collection(
            new (std::nothrow) ShowRuleCollection_c(part.list, part.item, part.items));
        if (!collection) {
            return QOR_ERROR;
        }
        collection->SetOwner(m_owner);
        collection->SetChangeTracking(m_changeTracking);
        const std::uint8_t bound = collection->Bind(element);
        *part.slot = std::move(collection);
        if (bound != QOR_OK) {
            return bound;
        }
    }
    return QOR_OK;
}

void ShowRuleDevice_c::SetChangeTracking(std::uint8_t tracking) {
    ShowResource_c::SetChangeTracking(tracking);
    for (ShowResources_c* collection :
         {m_buttons.get(), m_inputs.get(), m_outputs.get(), m_variables.get()}) {
        if (collection != nullptr) {
            collection->SetChangeTracking(tracking);
        }
    }
}

ShowXMLInterface_c* ShowRuleDevice_c::FindBinding(const QORXML_c* node) {
    if (ShowXMLInterface_c* found = ShowXMLInterface_c::FindBinding(node); found != nullptr) {
        return found;
    }
    for (ShowResources_c* collection :
         {m_buttons.get(), m_inputs.get(), m_outputs.get(), m_variables.get()}) {
        if (collection != nullptr) {
            if (ShowXMLInterface_c* found = collection->FindBinding(node); found != nullptr) {
                return found;
            }
        }
    }
    return nullptr;
}

std::uint8_t ShowRuleDevice_c::IsShowController() {
    return GetBoolAttribute(this, "show_controller");
}

ShowRuleCollection_c::ShowRuleCollection_c(const char* listName, const char* itemName, Items items)
    : m_items(items) {
    m_listName.Assign(listName != nullptr ? listName : "");
    SetItemName(itemName);
}

std::unique_ptr<QORObject_c> ShowRuleCollection_c::Create() const {
    QORString_c item;
    if (QORValue_c* name = const_cast<ShowRuleCollection_c*>(this)->ItemName(); name != nullptr) {
        item.Assign(name->GetText(nullptr)->Chars());
    }
    return std::unique_ptr<QORObject_c>(
        new (std::nothrow) ShowRuleCollection_c(m_listName.Chars(), item.Chars(), m_items));
}

std::uint8_t ShowRuleCollection_c::Bind(ShowXML_c* parent) {
    return BindInParent(parent, m_listName.Chars());
}

std::uint8_t ShowRuleCollection_c::Rebind() {
    return RebindFromParent();
}

std::unique_ptr<ShowResource_c> ShowRuleCollection_c::CreateChild(ShowXML_c* /*templateNode*/) {
    std::string_view item;
    if (QORValue_c* name = ItemName(); name != nullptr) {
        item = name->GetText(nullptr)->View();
    }
    switch (m_items) {
    case Items::Variables:
        return std::unique_ptr<ShowResource_c>(new (std::nothrow) ContextVariable_c(item));
    case Items::Devices:
        return std::unique_ptr<ShowResource_c>(new (std::nothrow) ShowRuleDevice_c());
    case Items::Plain:
    default:
        return std::unique_ptr<ShowResource_c>(new (std::nothrow) ContextItem_c(item));
    }
}

std::uint8_t ShowRuleLabelScope_c::ReadLabel(ShowResource_c* item, QORString_c* out) {
    if (out == nullptr) {
        return QOR_ERROR;
    }
    out->Clear();
    if (item == nullptr || item->Element() == nullptr) {
        return QOR_ERROR;
    }
    ShowXML_c* label = ShowXML_c::FindAttribute(item->Element(), "lb");
    if (label == nullptr) {
        return QOR_ERROR;
    }
    if (ShowXMLInterface_c::GetNodeText(label, out) != QOR_OK || out->Length() <= 0) {
        // An empty label is no label: it is cleared so it is not written.
        ShowXMLInterface_c::ClearNodeValue(label, item);
        out->Clear();
        return QOR_ERROR;
    }
    return QOR_OK;
}

// ---------------------------------------------------------------------------------------------

std::int32_t ShowFindShowController(ShowResources_c* devices, QORList_c* result) {
    if (result != nullptr && result->Ownership() == QOR_OWNS) {
        result->Clear();
        result->SetOwnership(QOR_BORROWS);
    }
    if (devices == nullptr || devices->Element() == nullptr) {
        return 0;
    }
    QORList_c* items = devices->Children();
    if (items == nullptr) {
        return 0;
    }
    for (QORListNode_c* node = items->First(); node != nullptr; node = node->next) {
        auto* item = dynamic_cast<ShowResource_c*>(node->object);
        if (item == nullptr || item->Element() == nullptr || !item->Element()->IsLive()) {
            continue;
        }
        devices->Element()->SelectChild(item->Element());
        if (ShowXMLInterface_c::GetBoolAttribute(item, "show_controller") == QOR_TRUE) {
            if (result != nullptr) {
                result->InsertAfter(item);
            }
            return 1;
        }
    }
    return 0;
}

std::int32_t ShowRuleItemIndex(const ShowXMLInterface_c* item) {
    if (item == nullptr) {
        return -2;
    }
    ShowXML_c* element = item->Element();
    if (element == nullptr || !element->IsLive() || element->Parent() == nullptr) {
        return -2;
    }
    const QORList_c* list = element->Parent()->ChildList();
    const QORListNode_c* own = list != nullptr ? list->First() : nullptr;
    while (own != nullptr && own->object != element) {
        own = own->next;
    }
    if (own == nullptr) {
        return -2;
    }
    std::int32_t index = 0;
    for (const QORListNode_c* node = own->prev; node != nullptr; node = node->prev) {
        QORXML_c* sibling = QORXMLNodeOf(node);
        if (sibling != nullptr && sibling->IsLive() && sibling->NodeType() == element->NodeType() &&
            element->ValueObject()->Compare(sibling->ValueObject(), 0, QOR_FALSE, QOR_FALSE) ==
                QOR_CMP_EQUAL) {
            ++index;
        }
    }
    return index;
}

// ---------------------------------------------------------------------------------------------

namespace show_rule_annotation {

namespace {

bool IsHiddenAnnotation(const char* name) {
    const std::string_view view = name;
    return view == "ty" || view == "vt";
}

ShowXML_c* AnnotationForWrite(ShowResource_c* resource, const char* name) {
    if (resource == nullptr || resource->Element() == nullptr || name == nullptr) {
        return nullptr;
    }
    if (ShowXML_c* found = ShowXML_c::FindAttribute(resource->Element(), name); found != nullptr) {
        return found;
    }
    ShowXML_c* made = ShowXML_c::FindOrCreateAttribute(resource->Element(), name);
    if (made != nullptr && IsHiddenAnnotation(name)) {
        made->SetFlags(static_cast<std::uint8_t>(made->Flags() | QOR_XML_HIDDEN));
    }
    return made;
}

} // namespace

std::uint8_t WriteInt(ShowResource_c* resource, const char* name, std::int32_t value) {
    ShowXML_c* attribute = AnnotationForWrite(resource, name);
    if (attribute == nullptr) {
        return QOR_ERROR;
    }
    return ShowXMLInterface_c::SetNodeInt(attribute, &value, resource);
}

std::uint8_t WriteText(ShowResource_c* resource, const char* name, const QORString_c* text) {
    ShowXML_c* attribute = AnnotationForWrite(resource, name);
    if (attribute == nullptr) {
        return QOR_ERROR;
    }
    return ShowXMLInterface_c::SetNodeText(attribute, resource, text);
}

std::uint8_t Clear(ShowResource_c* resource, const char* name) {
    if (resource == nullptr || resource->Element() == nullptr) {
        return QOR_ERROR;
    }
    ShowXML_c* attribute = ShowXML_c::FindAttribute(resource->Element(), name);
    if (attribute == nullptr) {
        return QOR_OK;
    }
    return ShowXMLInterface_c::ClearNodeValue(attribute, resource);
}

std::int32_t ReadInt(ShowResource_c* resource, const char* name) {
    if (resource == nullptr || resource->Element() == nullptr) {
        return 0;
    }
    ShowXML_c* attribute = ShowXML_c::FindAttribute(resource->Element(), name);
    // Reading "vt" makes it, hidden and empty.
    if (attribute == nullptr && std::string_view(name) == "vt") {
        attribute = AnnotationForWrite(resource, name);
    }
    std::int32_t value = 0;
    if (ShowXMLInterface_c::GetNodeInt(attribute, &value) != QOR_OK) {
        return 0;
    }
    return value;
}

void ReadText(ShowResource_c* resource, const char* name, QORString_c* out) {
    if (out == nullptr) {
        return;
    }
    if (resource == nullptr || resource->Element() == nullptr) {
        out->Clear();
        return;
    }
    ShowXMLInterface_c::GetNodeText(ShowXML_c::FindAttribute(resource->Element(), name), out);
}

} // namespace show_rule_annotation
