#include "reproducer/rule_kinds.h"

#include "platform/paths.h"
#include "reproducer/regex_rule.h"

#include "foundation/conversions.h"
#include "foundation/smpte_timecode.h"

#include <cstdint>
#include <new>
#include <string_view>

namespace annotation = show_rule_annotation;

namespace {

// Whether the first digit run of the text (the one the number parsers read) lies beyond a signed
// 32-bit number. The parsers wrap such runs silently; a wrapped number is no number at all.
bool DigitRunOverflows(std::string_view text) {
    size_t i = 0;
    bool negative = false;
    while (i < text.size() && (text[i] < '0' || text[i] > '9')) {
        negative = text[i] == '-';
        ++i;
    }
    std::uint64_t magnitude = 0;
    const std::uint64_t limit = negative ? 2147483648ull : 2147483647ull;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        magnitude = magnitude * 10u + static_cast<std::uint64_t>(text[i] - '0');
        if (magnitude > limit) {
            return true;
        }
    }
    return false;
}

// The integer of a setting attribute: a missing, empty or unreadable text reads 0; a number
// beyond 32 bits is refused.
bool ReadIntSetting(ShowXML_c* node, std::int32_t* value) {
    *value = 0;
    QORString_c text;
    if (ShowXMLInterface_c::GetNodeText(node, &text) != QOR_OK || text.Length() <= 0) {
        return true;
    }
    if (DigitRunOverflows(text.View())) {
        return false;
    }
    std::int32_t number = 0;
    if (ShowXMLInterface_c::GetNodeInt(node, &number) == QOR_OK) {
        *value = number;
    }
    return true;
}

ShowXML_c* CachedAttribute(ShowXML_c* element, const char* name, ShowXML_c** cache) {
    if (*cache == nullptr && element != nullptr) {
        *cache = ShowXML_c::FindOrCreateAttribute(element, name);
    }
    return *cache;
}

void ReadAttributeText(ShowXML_c* node, QORString_c* out) {
    ShowXMLInterface_c::GetNodeText(node, out);
}

// The value kinds' CheckNode: a variable of the kind's value type passes as it is; otherwise the
// text must be a literal of the kind.
std::uint8_t ValueCheckNode(ShowResourceRule_c* rule, std::int32_t typeCode,
                            ShowResource_c* resource, ShowRuleLabelScope_c* scope, void* reserved,
                            ShowRuleContext_c* context) {
    if (resource == nullptr) {
        return QOR_ERROR;
    }
    ShowDataRuleVariable_c variable;
    if (variable.CheckNode(resource, scope, reserved, context) == QOR_OK &&
        annotation::ReadInt(resource, "vt") == typeCode) {
        return QOR_OK;
    }
    QORString_c text;
    resource->GetText(&text);
    const std::uint8_t status = rule->Check(&text, scope, reserved, context);
    if (status == QOR_OK) {
        annotation::WriteInt(resource, "ty", typeCode);
        annotation::Clear(resource, "rp");
    }
    return status;
}

// The item a reference kind's text names, or null.
ShowResource_c* FindReference(std::uint8_t kind, const QORString_c* text,
                              ShowRuleContext_c* context) {
    if (context == nullptr || text == nullptr) {
        return nullptr;
    }
    switch (kind) {
    case kShowRuleSequence:
        return context->Sequences() != nullptr ? context->Sequences()->FindByName(text, QOR_FALSE)
                                               : nullptr;
    case kShowRuleDevice:
        return context->Devices() != nullptr ? context->Devices()->FindByName(text, QOR_FALSE)
                                             : nullptr;
    default:
        break;
    }
    if (context->Devices() == nullptr) {
        return nullptr;
    }
    QORList_c found;
    if (ShowFindShowController(context->Devices(), &found) != 1) {
        return nullptr;
    }
    auto* device = dynamic_cast<ShowRuleDevice_c*>(found.Current());
    if (device == nullptr) {
        return nullptr;
    }
    ShowResources_c* items = kind == kShowRuleButton  ? device->Buttons()
                             : kind == kShowRuleInput ? device->Inputs()
                                                      : device->Outputs();
    return items != nullptr ? items->FindByName(text, QOR_FALSE) : nullptr;
}

std::uint8_t ReferenceCheckNode(std::uint8_t kind, ShowResource_c* resource,
                                ShowRuleContext_c* context) {
    if (resource == nullptr) {
        return QOR_ERROR;
    }
    QORString_c text;
    resource->GetText(&text);
    ShowResource_c* item = FindReference(kind, &text, context);
    annotation::WriteInt(resource, "ix", item != nullptr ? ShowRuleItemIndex(item) : -1);
    if (item == nullptr) {
        return QOR_ERROR;
    }
    annotation::WriteInt(resource, "ty", ShowRuleTypeCode(kind));
    annotation::Clear(resource, "rp");
    return QOR_OK;
}

} // namespace

// Definitions shared by every kind: construction with the kind number, Create, and Bind, which
// forgets the cached settings and names the element with the keyword.
#define SHOW_RULE_KIND_BASICS(Class, Kind, ResetCaches)                                            \
    Class::Class() {                                                                               \
        SetTag(Kind);                                                                              \
    }                                                                                              \
    std::unique_ptr<QORObject_c> Class::Create() const {                                           \
        return std::unique_ptr<QORObject_c>(new (std::nothrow) Class());                           \
    }                                                                                              \
    std::uint8_t Class::Bind(ShowXML_c* element) {                                                 \
        ResetCaches;                                                                               \
        return BindAs(element, Kind);                                                              \
    }

SHOW_RULE_KIND_BASICS(ShowDataRuleInteger_c, kShowRuleInteger, (m_min = m_max = nullptr))
SHOW_RULE_KIND_BASICS(ShowDataRuleDecimal_c, kShowRuleDecimal, (m_min = m_max = nullptr))
SHOW_RULE_KIND_BASICS(ShowDataRulePercent_c, kShowRulePercent, (void)0)
SHOW_RULE_KIND_BASICS(ShowDataRuleBool_c, kShowRuleBool, (void)0)
SHOW_RULE_KIND_BASICS(ShowDataRuleTimecode_c, kShowRuleTimecode, (void)0)
SHOW_RULE_KIND_BASICS(ShowDataRuleDateTime_c, kShowRuleDateTime, (void)0)
SHOW_RULE_KIND_BASICS(ShowDataRuleString_c, kShowRuleString, (m_regexp = nullptr))
SHOW_RULE_KIND_BASICS(ShowDataRuleLCDString_c, kShowRuleLCDString, (void)0)
SHOW_RULE_KIND_BASICS(ShowDataRuleOption_c, kShowRuleOption, (m_match = m_replace = nullptr))
SHOW_RULE_KIND_BASICS(ShowDataRuleVariable_c, kShowRuleVariable, (void)0)
SHOW_RULE_KIND_BASICS(ShowDataRuleLabel_c, kShowRuleLabel, (void)0)
SHOW_RULE_KIND_BASICS(ShowDataRuleButton_c, kShowRuleButton, (void)0)
SHOW_RULE_KIND_BASICS(ShowDataRuleInput_c, kShowRuleInput, (void)0)
SHOW_RULE_KIND_BASICS(ShowDataRuleOutput_c, kShowRuleOutput, (void)0)
SHOW_RULE_KIND_BASICS(ShowDataRuleSequence_c, kShowRuleSequence, (void)0)
SHOW_RULE_KIND_BASICS(ShowDataRuleDevice_c, kShowRuleDevice, (void)0)

#undef SHOW_RULE_KIND_BASICS

std::unique_ptr<ShowResourceRule_c> ShowMakeRule(std::uint8_t kind) {
    ShowResourceRule_c* rule = nullptr;
    switch (kind) {
    case kShowRuleInteger:
        rule = new (std::nothrow) ShowDataRuleInteger_c();
        break;
    case kShowRuleString:
        rule = new (std::nothrow) ShowDataRuleString_c();
        break;
    case kShowRuleBool:
        rule = new (std::nothrow) ShowDataRuleBool_c();
        break;
    case kShowRuleTimecode:
        rule = new (std::nothrow) ShowDataRuleTimecode_c();
        break;
    case kShowRuleLCDString:
        rule = new (std::nothrow) ShowDataRuleLCDString_c();
        break;
    case kShowRuleDateTime:
        rule = new (std::nothrow) ShowDataRuleDateTime_c();
        break;
    case kShowRuleVariable:
        rule = new (std::nothrow) ShowDataRuleVariable_c();
        break;
    case kShowRuleOutput:
        rule = new (std::nothrow) ShowDataRuleOutput_c();
        break;
    case kShowRuleInput:
        rule = new (std::nothrow) ShowDataRuleInput_c();
        break;
    case kShowRuleSequence:
        rule = new (std::nothrow) ShowDataRuleSequence_c();
        break;
    case kShowRulePercent:
        rule = new (std::nothrow) ShowDataRulePercent_c();
        break;
    case kShowRuleLabel:
        rule = new (std::nothrow) ShowDataRuleLabel_c();
        break;
    case kShowRuleDecimal:
        rule = new (std::nothrow) ShowDataRuleDecimal_c();
        break;
    case kShowRuleButton:
        rule = new (std::nothrow) ShowDataRuleButton_c();
        break;
    case kShowRuleOption:
        rule = new (std::nothrow) ShowDataRuleOption_c();
        break;
    case kShowRuleDevice:
        rule = new (std::nothrow) ShowDataRuleDevice_c();
        break;
    default:
        break;
    }
    return std::unique_ptr<ShowResourceRule_c>(rule);
}

// ---------------------------------------------------------------------------------------------
// Integer

std::uint8_t ShowDataRuleInteger_c::Bound(const char* name, std::int32_t fallback,
                                          ShowXML_c** cache, std::int32_t* value) {
    *value = 0;
    if (m_element == nullptr) {
        return QOR_ERROR;
    }
    ShowXML_c* node = *cache;
    if (node == nullptr) {
        QORString_c text;
        text.Assign(name);
        // Only visible bounds count; a found one is looked up again on the next use.
        node = dynamic_cast<ShowXML_c*>(m_element->FindByName(&text, QOR_XML_ATTRIBUTE, QOR_FALSE,
                                                              QOR_FALSE, QOR_TRUE, QOR_FALSE));
        if (node == nullptr) {
            node = ShowXML_c::FindOrCreateAttribute(m_element, name);
            if (node == nullptr) {
                return QOR_ERROR;
            }
            SetNodeInt(node, &fallback, this);
            *cache = node;
        }
    }
    return ReadIntSetting(node, value) ? QOR_OK : QOR_ERROR;
}

std::uint8_t ShowDataRuleInteger_c::Min(std::int32_t* value) {
    return Bound("min", -2147483647, &m_min, value);
}

std::uint8_t ShowDataRuleInteger_c::Max(std::int32_t* value) {
    return Bound("max", 2147483647, &m_max, value);
}

std::uint8_t ShowDataRuleInteger_c::Check(const QORString_c* text, ShowRuleLabelScope_c*, void*,
                                          ShowRuleContext_c*) {
    if (text == nullptr) {
        return QOR_ERROR;
    }
    std::int32_t max = 0;
    std::int32_t min = 0;
    if (Max(&max) != QOR_OK || Min(&min) != QOR_OK) {
        return QOR_ERROR;
    }
    std::uint8_t status = QOR_ERROR;
    const std::int32_t value = QORTextToInt(text->Chars(), text->Length(), &status);
    if (status != QOR_OK || DigitRunOverflows(text->View())) {
        return QOR_ERROR;
    }
    return value >= min && value <= max ? QOR_OK : QOR_ERROR;
}

std::uint8_t ShowDataRuleInteger_c::CheckNode(ShowResource_c* resource, ShowRuleLabelScope_c* scope,
                                              void* reserved, ShowRuleContext_c* context) {
    return ValueCheckNode(this, 3, resource, scope, reserved, context);
}

// ---------------------------------------------------------------------------------------------
// Decimal

std::uint8_t ShowDataRuleDecimal_c::Check(const QORString_c* text, ShowRuleLabelScope_c*, void*,
                                          ShowRuleContext_c*) {
    if (text == nullptr || m_element == nullptr) {
        return QOR_ERROR;
    }
    std::int32_t max = 0;
    std::int32_t min = 0;
    if (!ReadIntSetting(CachedAttribute(m_element, "max", &m_max), &max) ||
        !ReadIntSetting(CachedAttribute(m_element, "min", &m_min), &min)) {
        return QOR_ERROR;
    }
    std::uint8_t status = QOR_ERROR;
    const double value = QORTextToDouble(text->Chars(), text->Length(), &status);
    if (status != QOR_OK) {
        return QOR_ERROR;
    }
    return value >= static_cast<double>(min) && value <= static_cast<double>(max) ? QOR_OK
                                                                                  : QOR_ERROR;
}

std::uint8_t ShowDataRuleDecimal_c::CheckNode(ShowResource_c* resource, ShowRuleLabelScope_c* scope,
                                              void* reserved, ShowRuleContext_c* context) {
    return ValueCheckNode(this, 4, resource, scope, reserved, context);
}

// ---------------------------------------------------------------------------------------------
// Percent

std::uint8_t ShowDataRulePercent_c::Check(const QORString_c* text, ShowRuleLabelScope_c*, void*,
                                          ShowRuleContext_c*) {
    if (text == nullptr || text->Length() < 2 || text->View().back() != '%') {
        return QOR_ERROR;
    }
    std::uint8_t status = QOR_ERROR;
    const double value = QORTextToDouble(text->Chars(), text->Length(), &status);
    if (status != QOR_OK) {
        return QOR_ERROR;
    }
    const double fraction = value / 100.0;
    return fraction >= 0.0 && fraction <= 1.0 ? QOR_OK : QOR_ERROR;
}

std::uint8_t ShowDataRulePercent_c::CheckNode(ShowResource_c* resource, ShowRuleLabelScope_c* scope,
                                              void* reserved, ShowRuleContext_c* context) {
    return ValueCheckNode(this, 11, resource, scope, reserved, context);
}

// ---------------------------------------------------------------------------------------------
// Bool

std::uint8_t ShowDataRuleBool_c::Check(const QORString_c* text, ShowRuleLabelScope_c*, void*,
                                       ShowRuleContext_c*) {
    if (text == nullptr) {
        return QOR_ERROR;
    }
    // Index 5 tries every pair of words; a true and a false word pass alike.
    return QORParseBoolWord(text, 5) == QOR_ERROR ? QOR_ERROR : QOR_OK;
}

std::uint8_t ShowDataRuleBool_c::CheckNode(ShowResource_c* resource, ShowRuleLabelScope_c* scope,
                                           void* reserved, ShowRuleContext_c* context) {
    return ValueCheckNode(this, 2, resource, scope, reserved, context);
}

// ---------------------------------------------------------------------------------------------
// Timecode

std::uint8_t ShowDataRuleTimecode_c::Check(const QORString_c* text, ShowRuleLabelScope_c*, void*,
                                           ShowRuleContext_c*) {
    if (text == nullptr) {
        return QOR_ERROR;
    }
    QORSMPTETimecode_c timecode;
    timecode.SetFrameRate(5, QOR_TRUE);
    return timecode.FromText(text) == QOR_OK ? QOR_OK : QOR_ERROR;
}

std::uint8_t ShowDataRuleTimecode_c::CheckNode(ShowResource_c* resource,
                                               ShowRuleLabelScope_c* scope, void* reserved,
                                               ShowRuleContext_c* context) {
    return ValueCheckNode(this, 13, resource, scope, reserved, context);
}

// ---------------------------------------------------------------------------------------------
// Datetime: no literal form, so only a datetime variable passes.

std::uint8_t ShowDataRuleDateTime_c::Check(const QORString_c*, ShowRuleLabelScope_c*, void*,
                                           ShowRuleContext_c*) {
    return QOR_ERROR;
}

std::uint8_t ShowDataRuleDateTime_c::CheckNode(ShowResource_c* resource,
                                               ShowRuleLabelScope_c* scope, void* reserved,
                                               ShowRuleContext_c* context) {
    return ValueCheckNode(this, 15, resource, scope, reserved, context);
}

// ---------------------------------------------------------------------------------------------
// String

ShowXML_c* ShowDataRuleString_c::Pattern() {
    return CachedAttribute(m_element, "regexp", &m_regexp);
}

std::uint8_t ShowDataRuleString_c::Check(const QORString_c* text, ShowRuleLabelScope_c*, void*,
                                         ShowRuleContext_c*) {
    if (text == nullptr) {
        return QOR_ERROR;
    }
    QORBuffer_c bytes;
    const std::uint8_t parsed = QORParseBinaryText(text->Length(), text->Chars(), &bytes);
    if (parsed != QOR_OK) {
        return parsed;
    }
    if (bytes.ReadableEnd() == 0) {
        return QOR_OK;
    }
    QORString_c pattern;
    ReadAttributeText(Pattern(), &pattern);
    if (pattern.Length() <= 0) {
        return QOR_OK;
    }
    QORBuffer_c code;
    QORBuffer_c study;
    ShowRegexCompile(&code, &pattern, &study);
    bytes.Rewind(QOR_WHOLE);
    return ShowRegexMatch(&study, &bytes, nullptr, &code) == QOR_OK ? QOR_OK : QOR_ERROR;
}

std::uint8_t ShowDataRuleString_c::CheckNode(ShowResource_c* resource, ShowRuleLabelScope_c* scope,
                                             void* reserved, ShowRuleContext_c* context) {
    return ValueCheckNode(this, 5, resource, scope, reserved, context);
}

// ---------------------------------------------------------------------------------------------
// LCD string: quoted runs, the word clr and commas, covering the whole text.

std::uint8_t ShowDataRuleLCDString_c::Check(const QORString_c* text, ShowRuleLabelScope_c*, void*,
                                            ShowRuleContext_c*) {
    if (text == nullptr || text->Length() <= 0) {
        return QOR_ERROR;
    }
    QORString_c pattern;
    pattern.Assign("([\"].+[\"]|[c][l][r]|[,])+");
    QORBuffer_c code;
    QORBuffer_c study;
    if (ShowRegexCompile(&code, &pattern, &study) != QOR_OK) {
        return QOR_ERROR;
    }
    QORBuffer_c subject;
    if (subject.Resize(text->Length()) != QOR_OK) {
        return QOR_ERROR;
    }
    subject.CopyIn(text->Length(), text->Chars());
    QORList_c captures;
    if (ShowRegexMatch(&study, &subject, &captures, &code) != QOR_OK) {
        return QOR_ERROR;
    }
    auto* whole =
        captures.First() != nullptr ? dynamic_cast<QORValue_c*>(captures.First()->object) : nullptr;
    if (whole == nullptr) {
        return QOR_ERROR;
    }
    const QORBuffer_c* matched = whole->GetBytes(nullptr);
    QORString_c matchedText;
    if (matched != nullptr && matched->ReadableEnd() > 0) {
        matchedText.Assign(reinterpret_cast<const char*>(matched->Data()), matched->ReadableEnd(),
                           QOR_FALSE);
    }
    return QORCompareText(text->Chars(), &matchedText, QOR_TRUE, text->Length(), text->Length()) ==
                   QOR_CMP_EQUAL
               ? QOR_OK
               : QOR_ERROR;
}

std::uint8_t ShowDataRuleLCDString_c::CheckNode(ShowResource_c* resource,
                                                ShowRuleLabelScope_c* scope, void* reserved,
                                                ShowRuleContext_c* context) {
    return ValueCheckNode(this, 14, resource, scope, reserved, context);
}

// ---------------------------------------------------------------------------------------------
// Option

ShowXML_c* ShowDataRuleOption_c::Match() {
    return CachedAttribute(m_element, "match", &m_match);
}

ShowXML_c* ShowDataRuleOption_c::Replace() {
    return CachedAttribute(m_element, "replace", &m_replace);
}

std::uint8_t ShowDataRuleOption_c::Check(const QORString_c* text, ShowRuleLabelScope_c*, void*,
                                         ShowRuleContext_c*) {
    if (text == nullptr || text->Length() <= 0) {
        return QOR_ERROR;
    }
    QORString_c match;
    ReadAttributeText(Match(), &match);
    return match.Length() > 0 && platform::EqualsNoCase(text->View(), match.View()) ? QOR_OK
                                                                                    : QOR_ERROR;
}

std::uint8_t ShowDataRuleOption_c::CheckNode(ShowResource_c* resource, ShowRuleLabelScope_c* scope,
                                             void* reserved, ShowRuleContext_c* context) {
    if (resource == nullptr) {
        return QOR_ERROR;
    }
    QORString_c replacement;
    ReadAttributeText(Replace(), &replacement);
    QORString_c text;
    resource->GetText(&text);
    const std::uint8_t status = Check(&text, scope, reserved, context);
    if (status != QOR_OK) {
        return status;
    }
    if (replacement.Length() > 0) {
        annotation::WriteText(resource, "rp", &replacement);
        annotation::WriteInt(resource, "ty", 0);
    } else {
        annotation::WriteInt(resource, "ty", 16);
    }
    return status;
}

// ---------------------------------------------------------------------------------------------
// Variable

std::uint8_t ShowDataRuleVariable_c::Resolve(const QORString_c* text, ShowRuleContext_c* context,
                                             ShowResource_c** variable, ShowResource_c** device) {
    *variable = nullptr;
    *device = nullptr;
    if (context == nullptr || text == nullptr) {
        return QOR_ERROR;
    }
    if (context->Globals() != nullptr) {
        if (ShowResource_c* found = context->Globals()->FindByName(text, QOR_FALSE);
            found != nullptr) {
            *variable = found;
            return QOR_OK;
        }
    }
    const std::string_view whole = text->View();
    const size_t dot = whole.find('.');
    if (context->Devices() == nullptr || dot == std::string_view::npos) {
        return QOR_ERROR;
    }
    QORString_c deviceName;
    QORString_c variableName;
    deviceName.Assign(whole.data(), static_cast<std::int32_t>(dot), QOR_FALSE);
    variableName.Assign(whole.data() + dot + 1, static_cast<std::int32_t>(whole.size() - dot - 1),
                        QOR_FALSE);
    auto* owner =
        dynamic_cast<ShowRuleDevice_c*>(context->Devices()->FindByName(&deviceName, QOR_FALSE));
    if (owner == nullptr || owner->Variables() == nullptr) {
        return QOR_ERROR;
    }
    ShowResource_c* found = owner->Variables()->FindByName(&variableName, QOR_FALSE);
    if (found == nullptr) {
        return QOR_ERROR;
    }
    *variable = found;
    *device = owner;
    return QOR_OK;
}

std::uint8_t ShowDataRuleVariable_c::Check(const QORString_c* text, ShowRuleLabelScope_c*, void*,
                                           ShowRuleContext_c* context) {
    ShowResource_c* variable = nullptr;
    ShowResource_c* device = nullptr;
    return Resolve(text, context, &variable, &device);
}

std::uint8_t ShowDataRuleVariable_c::CheckNode(ShowResource_c* resource, ShowRuleLabelScope_c*,
                                               void*, ShowRuleContext_c* context) {
    if (resource == nullptr) {
        return QOR_ERROR;
    }
    QORString_c text;
    resource->GetText(&text);
    ShowResource_c* variable = nullptr;
    ShowResource_c* device = nullptr;
    const std::uint8_t status = Resolve(&text, context, &variable, &device);
    if (status == QOR_OK) {
        auto* typed = dynamic_cast<ShowResourceVariable_c*>(variable);
        annotation::WriteInt(resource, "ty", 6);
        annotation::WriteInt(resource, "vt",
                             ShowRuleValueType(typed != nullptr ? typed->ValueKind() : 0));
        annotation::WriteInt(resource, "ix", ShowRuleItemIndex(variable));
        if (device != nullptr) {
            annotation::WriteInt(resource, "dx", ShowRuleItemIndex(device));
        } else {
            annotation::Clear(resource, "dx");
        }
    }
    annotation::Clear(resource, "rp");
    return status;
}

// ---------------------------------------------------------------------------------------------
// Label

std::uint8_t ShowDataRuleLabel_c::Check(const QORString_c* text, ShowRuleLabelScope_c* scope, void*,
                                        ShowRuleContext_c*) {
    if (text == nullptr || scope == nullptr || scope->Items() == nullptr) {
        return QOR_ERROR;
    }
    QORList_c* items = scope->Items()->Children();
    if (items == nullptr) {
        return QOR_ERROR;
    }
    QORString_c label;
    for (QORListNode_c* node = items->First(); node != nullptr; node = node->next) {
        auto* item = dynamic_cast<ShowResource_c*>(node->object);
        if (item == nullptr || item->Element() == nullptr || !item->Element()->IsLive()) {
            continue;
        }
        if (ShowRuleLabelScope_c::ReadLabel(item, &label) == QOR_OK &&
            platform::EqualsNoCase(label.View(), text->View())) {
            return QOR_OK;
        }
    }
    return QOR_ERROR;
}

std::uint8_t ShowDataRuleLabel_c::CheckNode(ShowResource_c* resource, ShowRuleLabelScope_c* scope,
                                            void*, ShowRuleContext_c*) {
    if (resource == nullptr || scope == nullptr) {
        return QOR_ERROR;
    }
    QORString_c text;
    resource->GetText(&text);
    std::int32_t index = -1;
    QORList_c* items = scope->Items() != nullptr ? scope->Items()->Children() : nullptr;
    if (items != nullptr) {
        QORString_c label;
        std::int32_t count = 0;
        for (QORListNode_c* node = items->First(); node != nullptr; node = node->next, ++count) {
            auto* item = dynamic_cast<ShowResource_c*>(node->object);
            if (item == nullptr || item->Element() == nullptr || !item->Element()->IsLive()) {
                continue;
            }
            if (ShowRuleLabelScope_c::ReadLabel(item, &label) == QOR_OK &&
                platform::EqualsNoCase(label.View(), text.View())) {
                index = count;
                break;
            }
        }
    }
    annotation::WriteInt(resource, "ix", index);
    if (index < 0) {
        return QOR_ERROR;
    }
    annotation::WriteInt(resource, "ty", 12);
    annotation::Clear(resource, "rp");
    return QOR_OK;
}

// ---------------------------------------------------------------------------------------------
// Reference kinds

#define SHOW_RULE_REFERENCE(Class, Kind)                                                           \
    std::uint8_t Class::Check(const QORString_c* text, ShowRuleLabelScope_c*, void*,               \
                              ShowRuleContext_c* context) {                                        \
        return FindReference(Kind, text, context) != nullptr ? QOR_OK : QOR_ERROR;                 \
    }                                                                                              \
    std::uint8_t Class::CheckNode(ShowResource_c* resource, ShowRuleLabelScope_c*, void*,          \
                                  ShowRuleContext_c* context) {                                    \
        return ReferenceCheckNode(Kind, resource, context);                                        \
    }

SHOW_RULE_REFERENCE(ShowDataRuleButton_c, kShowRuleButton)
SHOW_RULE_REFERENCE(ShowDataRuleInput_c, kShowRuleInput)
SHOW_RULE_REFERENCE(ShowDataRuleOutput_c, kShowRuleOutput)
SHOW_RULE_REFERENCE(ShowDataRuleSequence_c, kShowRuleSequence)
SHOW_RULE_REFERENCE(ShowDataRuleDevice_c, kShowRuleDevice)

#undef SHOW_RULE_REFERENCE
