// Typed rules of resources. A resource element may hold a "rules" child whose child elements are
// rules: the element name is the rule's kind keyword, its attributes the kind's settings. A
// resource variable owns the binder of its rules. A rule checks a value text (Check) or a
// resource's value, annotating the resource with what the text stands for (CheckNode); the check
// context and the label scope offer the collections that names are looked up in.
#pragma once

#include "reproducer/show_resources.h"

#include <cstdint>
#include <memory>

class ShowResourceRules_c;
class ShowRuleContext_c;
class ShowRuleLabelScope_c;

// Kind numbers (the index into the kind table; a rule keeps its kind in its tag byte).
enum ShowRuleKind : std::uint8_t {
    kShowRuleNone = 0,
    kShowRuleInteger = 1,
    kShowRuleString = 2,
    kShowRuleBool = 3,
    kShowRuleTimecode = 4,
    kShowRuleLCDString = 5,
    kShowRuleDateTime = 6,
    kShowRuleVariable = 7,
    kShowRuleOutput = 8,
    kShowRuleInput = 9,
    kShowRuleSequence = 10,
    kShowRulePercent = 11,
    kShowRuleLabel = 12,
    kShowRuleDecimal = 13,
    kShowRuleButton = 14,
    kShowRuleOption = 15,
    kShowRuleDevice = 16,
};
constexpr std::uint8_t kShowRuleKindCount = 17;

// The kind's keyword ("none" for 0 and for numbers beyond the table).
const char* ShowRuleKindName(std::uint8_t kind);
// The type code a kind writes into "ty" (0 for none; the option kind's 16).
std::int32_t ShowRuleTypeCode(std::uint8_t kind);
// The value type written into "vt" for a variable whose first rule is of the kind.
std::int32_t ShowRuleValueType(std::uint8_t kind);
// The kind whose keyword equals the text ignoring ASCII case over the whole length; 0 for none,
// an unknown name or null.
std::uint8_t ShowRuleKindFromName(const QORString_c* text);
std::uint8_t ShowRuleKindFromName(const char* text);

// A resource that owns the binder of its "rules" child.
class ShowResourceVariable_c : public ShowResource_c {
public:
    ShowResourceVariable_c();
    ~ShowResourceVariable_c() override;

    std::unique_ptr<QORObject_c> Create() const override;
    // The resource binding, then the rules binder when the element holds "rules". The answer is
    // the resource binding's.
    std::uint8_t Bind(ShowXML_c* element) override;
    // The base search, then the variable itself for its value text node. Rules are not searched.
    ShowXMLInterface_c* FindBinding(const QORXML_c* node) override;

    // The rules binder, made and bound on first use (which creates "rules" when missing); null
    // when it cannot be bound.
    ShowResourceRules_c* Rules();
    // The rules binder without making it.
    ShowResourceRules_c* RulesBinder() const { return m_rules.get(); }
    // The kind of the first rule; 0 without rules.
    std::uint8_t ValueKind();

private:
    std::unique_ptr<ShowResourceRules_c> m_rules;
};

// A resource variable that stands for an input or output of the system.
class ShowResourceIO_c : public ShowResourceVariable_c {
public:
    std::unique_ptr<QORObject_c> Create() const override;
    std::uint8_t Bind(ShowXML_c* element) override;
};

// The "rules" collection: every child element is a rule, made by the kind factory.
class ShowResourceRules_c : public ShowResources_c {
public:
    ShowResourceRules_c() = default;

    std::unique_ptr<QORObject_c> Create() const override;
    // Binds the first "rules" child of the parent element, creating it when missing. 254 for a
    // null node, a node that is not an element or a rule that fails to bind.
    std::uint8_t Bind(ShowXML_c* parent) override;
    // Binds again to the parent of the "rules" element.
    std::uint8_t Rebind() override;
    // The factory: the rule class of the element's name, or a plain resource for any other.
    std::unique_ptr<ShowResource_c> CreateChild(ShowXML_c* childElement) override;
};

// The base of the rule kinds.
class ShowResourceRule_c : public ShowResource_c {
public:
    ShowResourceRule_c() = default;

    std::unique_ptr<QORObject_c> Create() const override;
    // The resource binding; the node must be an element, named "rule" here (kinds rename it to
    // their keyword).
    std::uint8_t Bind(ShowXML_c* element) override;
    // Whether the value text is acceptable: 2 or 254 (the base: 0 while unbound, 254 for null).
    // The reserved argument is passed on and read by no kind.
    virtual std::uint8_t Check(const QORString_c* text, ShowRuleLabelScope_c* scope, void* reserved,
                               ShowRuleContext_c* context);
    // Whether the resource's value is acceptable, annotating the resource. 254 for null.
    virtual std::uint8_t CheckNode(ShowResource_c* resource, ShowRuleLabelScope_c* scope,
                                   void* reserved, ShowRuleContext_c* context);

    std::uint8_t Kind() const { return Tag(); }

protected:
    // Binds as a rule and names the element with the kind's keyword.
    std::uint8_t BindAs(ShowXML_c* element, std::uint8_t kind);
};

// A device of the check context: a resource whose element may carry "show_controller", with
// four collections of its own bound to its child elements "buttons", "inputs", "outputs" and
// "variables" (items "button", "input", "output", "variable"; the variables are resource
// variables).
class ShowRuleDevice_c : public ShowResource_c {
public:
    ShowRuleDevice_c();
    ~ShowRuleDevice_c() override;

    std::unique_ptr<QORObject_c> Create() const override;
    std::uint8_t Bind(ShowXML_c* element) override;
    void SetChangeTracking(std::uint8_t tracking) override;
    ShowXMLInterface_c* FindBinding(const QORXML_c* node) override;

    // 3 when "show_controller" exists and its text reads as the integer 1, else 253.
    std::uint8_t IsShowController();

    ShowResources_c* Buttons() const { return m_buttons.get(); }
    ShowResources_c* Inputs() const { return m_inputs.get(); }
    ShowResources_c* Outputs() const { return m_outputs.get(); }
    ShowResources_c* Variables() const { return m_variables.get(); }

private:
    std::unique_ptr<ShowResources_c> m_buttons;
    std::unique_ptr<ShowResources_c> m_inputs;
    std::unique_ptr<ShowResources_c> m_outputs;
    std::unique_ptr<ShowResources_c> m_variables;
};

// A collection bound from its parent element whose items are resource variables or devices:
// the shape of the check context's collections.
class ShowRuleCollection_c : public ShowResources_c {
public:
    enum class Items : std::uint8_t { Plain, Variables, Devices };

    ShowRuleCollection_c(const char* listName, const char* itemName, Items items);

    std::unique_ptr<QORObject_c> Create() const override;
    // Finds or creates the list element under the parent and binds to it.
    std::uint8_t Bind(ShowXML_c* parent) override;
    std::uint8_t Rebind() override;
    std::unique_ptr<ShowResource_c> CreateChild(ShowXML_c* templateNode) override;

private:
    QORString_c m_listName;
    Items m_items;
};

// What the rules look names up in. The collections are borrowed; any may be absent.
class ShowRuleContext_c {
public:
    ShowRuleContext_c() = default;
    ShowRuleContext_c(ShowResources_c* globals, ShowResources_c* sequences,
                      ShowResources_c* devices)
        : m_globals(globals), m_sequences(sequences), m_devices(devices) {}

    // Items are ShowResourceVariable_c.
    ShowResources_c* Globals() const { return m_globals; }
    ShowResources_c* Sequences() const { return m_sequences; }
    // Items are ShowRuleDevice_c.
    ShowResources_c* Devices() const { return m_devices; }
    void SetGlobals(ShowResources_c* globals) { m_globals = globals; }
    void SetSequences(ShowResources_c* sequences) { m_sequences = sequences; }
    void SetDevices(ShowResources_c* devices) { m_devices = devices; }

private:
    ShowResources_c* m_globals = nullptr;
    ShowResources_c* m_sequences = nullptr;
    ShowResources_c* m_devices = nullptr;
};

// The items whose "lb" labels the label kind looks up. The collection is borrowed.
class ShowRuleLabelScope_c {
public:
    ShowRuleLabelScope_c() = default;
    explicit ShowRuleLabelScope_c(ShowResources_c* items) : m_items(items) {}

    ShowResources_c* Items() const { return m_items; }
    void SetItems(ShowResources_c* items) { m_items = items; }

    // The item's "lb" text, found without creating it; the empty text when missing. An empty
    // label attribute is cleared. 2 with a label, 254 without.
    static std::uint8_t ReadLabel(ShowResource_c* item, QORString_c* out);

private:
    ShowResources_c* m_items = nullptr;
};

// The first device whose "show_controller" reads as 1 is appended to the result (made borrowing
// first when it owned its objects): 1 when one was found, else 0 with the list empty.
std::int32_t ShowFindShowController(ShowResources_c* devices, QORList_c* result);

// The number of earlier live siblings of the item's element with the same node type and an equal
// name; -2 without a live element or a parent. The parent's cursor is kept.
std::int32_t ShowRuleItemIndex(const ShowXMLInterface_c* item);

// The annotation attributes a check writes on the checked resource's element.
namespace show_rule_annotation {
// Writes the integer into the attribute ("ty" and "vt" are created hidden); an equal value
// changes nothing. 254 when the resource is unbound.
std::uint8_t WriteInt(ShowResource_c* resource, const char* name, std::int32_t value);
std::uint8_t WriteText(ShowResource_c* resource, const char* name, const QORString_c* text);
// Clears the attribute's value when it exists and has a type; creates nothing.
std::uint8_t Clear(ShowResource_c* resource, const char* name);
// Reads an integer attribute; "vt" is created hidden when missing. Missing or empty reads 0.
std::int32_t ReadInt(ShowResource_c* resource, const char* name);
// Reads a text attribute without creating it; the empty text when missing.
void ReadText(ShowResource_c* resource, const char* name, QORString_c* out);
} // namespace show_rule_annotation
