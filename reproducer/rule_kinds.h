// The sixteen rule kinds. Value kinds accept a literal of their type or the name of a variable
// of that value type; reference kinds accept the name of an item of a context collection; the
// label kind a label of the scope; the variable kind a variable's name; the option kind one
// fixed word, optionally replaced.
#pragma once

#include "reproducer/rule_framework.h"

#include <cstdint>
#include <memory>

// A new unbound rule of the kind, its kind number in its tag byte; null for 0, an unknown kind or
// when memory is short.
std::unique_ptr<ShowResourceRule_c> ShowMakeRule(std::uint8_t kind);

// Declares a kind class: its Create, Bind, Check and CheckNode.
#define SHOW_RULE_KIND_COMMON(Class)                                                               \
public:                                                                                            \
    Class();                                                                                       \
    std::unique_ptr<QORObject_c> Create() const override;                                          \
    std::uint8_t Bind(ShowXML_c* element) override;                                                \
    std::uint8_t Check(const QORString_c* text, ShowRuleLabelScope_c* scope, void* reserved,       \
                       ShowRuleContext_c* context) override;                                       \
    std::uint8_t CheckNode(ShowResource_c* resource, ShowRuleLabelScope_c* scope, void* reserved,  \
                           ShowRuleContext_c* context) override;

class ShowDataRuleInteger_c : public ShowResourceRule_c {
    SHOW_RULE_KIND_COMMON(ShowDataRuleInteger_c)
    // The bounds, found among the visible attributes or created with their defaults
    // (-2147483647 and 2147483647). 254 with 0 when a bound is not a 32-bit integer.
    std::uint8_t Min(std::int32_t* value);
    std::uint8_t Max(std::int32_t* value);

private:
    std::uint8_t Bound(const char* name, std::int32_t fallback, ShowXML_c** cache,
                       std::int32_t* value);
    ShowXML_c* m_min = nullptr;
    ShowXML_c* m_max = nullptr;
};

class ShowDataRuleDecimal_c : public ShowResourceRule_c {
    SHOW_RULE_KIND_COMMON(ShowDataRuleDecimal_c)

private:
    ShowXML_c* m_min = nullptr;
    ShowXML_c* m_max = nullptr;
};

class ShowDataRulePercent_c : public ShowResourceRule_c {
    SHOW_RULE_KIND_COMMON(ShowDataRulePercent_c)
};

class ShowDataRuleBool_c : public ShowResourceRule_c {
    SHOW_RULE_KIND_COMMON(ShowDataRuleBool_c)
};

class ShowDataRuleTimecode_c : public ShowResourceRule_c {
    SHOW_RULE_KIND_COMMON(ShowDataRuleTimecode_c)
};

class ShowDataRuleDateTime_c : public ShowResourceRule_c {
    SHOW_RULE_KIND_COMMON(ShowDataRuleDateTime_c)
};

class ShowDataRuleString_c : public ShowResourceRule_c {
    SHOW_RULE_KIND_COMMON(ShowDataRuleString_c)
    // The "regexp" attribute, created empty when missing; cached.
    ShowXML_c* Pattern();

private:
    ShowXML_c* m_regexp = nullptr;
};

class ShowDataRuleLCDString_c : public ShowResourceRule_c {
    SHOW_RULE_KIND_COMMON(ShowDataRuleLCDString_c)
};

class ShowDataRuleOption_c : public ShowResourceRule_c {
    SHOW_RULE_KIND_COMMON(ShowDataRuleOption_c)
    // The "match" and "replace" attributes, created empty when missing; cached.
    ShowXML_c* Match();
    ShowXML_c* Replace();

private:
    ShowXML_c* m_match = nullptr;
    ShowXML_c* m_replace = nullptr;
};

class ShowDataRuleVariable_c : public ShowResourceRule_c {
    SHOW_RULE_KIND_COMMON(ShowDataRuleVariable_c)
    // The variable the text names: a global one, or Device.Variable among the devices. 2 with
    // the variable (and its device, null for a global), or 254.
    static std::uint8_t Resolve(const QORString_c* text, ShowRuleContext_c* context,
                                ShowResource_c** variable, ShowResource_c** device);
};

class ShowDataRuleLabel_c : public ShowResourceRule_c {
    SHOW_RULE_KIND_COMMON(ShowDataRuleLabel_c)
};

class ShowDataRuleButton_c : public ShowResourceRule_c {
    SHOW_RULE_KIND_COMMON(ShowDataRuleButton_c)
};

class ShowDataRuleInput_c : public ShowResourceRule_c {
    SHOW_RULE_KIND_COMMON(ShowDataRuleInput_c)
};

class ShowDataRuleOutput_c : public ShowResourceRule_c {
    SHOW_RULE_KIND_COMMON(ShowDataRuleOutput_c)
};

class ShowDataRuleSequence_c : public ShowResourceRule_c {
    SHOW_RULE_KIND_COMMON(ShowDataRuleSequence_c)
};

class ShowDataRuleDevice_c : public ShowResourceRule_c {
    SHOW_RULE_KIND_COMMON(ShowDataRuleDevice_c)
};

#undef SHOW_RULE_KIND_COMMON
