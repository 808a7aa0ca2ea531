#include "reproducer/timecode_trigger_elements.h"

#include "foundation/smpte_timecode.h"
#include "foundation/text_string.h"
#include "foundation/variant_value.h"
#include "reproducer/reelvox_fields.h"

#include <algorithm>
#include <vector>

namespace {

constexpr const char* kActionWords[] = {"unknown", "play",   "play_next", "pause",  "still",
                                        "stop",    "search", "start_seq", "set_var"};
constexpr const char* kLocationWords[] = {"repro", "group", "all"};

struct FieldShape {
    const char* name;
    bool element;
};

constexpr FieldShape kFields[ReelvoxDataTrigger_c::kFieldCount] = {{"tm", true},
                                                                   {"offset", true},
                                                                   {"name", false},
                                                                   {"number", false},
                                                                   {"action", false},
                                                                   {"location", false},
                                                                   {"location_number", false},
                                                                   {"socket", false},
                                                                   {"unit_address", false},
                                                                   {"seq", false},
                                                                   {"var", false},
                                                                   {"var_value", false}};

} // namespace

std::uint8_t ReelvoxActionIndex(const char* word) {
    if (word == nullptr) {
        return REELVOX_ACTION_UNKNOWN;
    }
    const int index = reelvox_fields::WordIndex(word, kActionWords, 9);
    return index < 0 ? REELVOX_ACTION_UNKNOWN : static_cast<std::uint8_t>(index);
}

const char* ReelvoxActionWord(std::uint8_t index) {
    return index <= 8 ? kActionWords[index] : kActionWords[0];
}

// ---------------------------------------------------------------------------------------------

std::unique_ptr<QORObject_c> ReelvoxDataTrigger_c::Create() const {
    return std::make_unique<ReelvoxDataTrigger_c>();
}

ShowXML_c* ReelvoxDataTrigger_c::FieldNode(Field field) {
    if (field >= kFieldCount) {
        return nullptr;
    }
    ShowXML_c*& cache = m_nodes[field];
    if (field == kName) {
        // The trigger's name is the resource name attribute.
        if (cache == nullptr) {
            cache = NameAttribute();
        }
        return cache;
    }
    if (kFields[field].element) {
        return reelvox_fields::ChildElement(this, cache, kFields[field].name, "00:00:00.00");
    }
    return reelvox_fields::Attribute(this, cache, kFields[field].name);
}

std::uint8_t ReelvoxDataTrigger_c::Bind(ShowXML_c* node) {
    m_nodes.fill(nullptr);
    const std::uint8_t status = ShowResource_c::Bind(node);
    if (status != QOR_OK) {
        return status;
    }
    if (node->NodeType() != QOR_XML_ELEMENT) {
        Attach(nullptr);
        return QOR_ERROR;
    }
    SetElementName("trigger");

    if (ShowXML_c::FindTmElement(node) == nullptr) {
        QORString_c text;
        text.Assign("00:00:00.01");
        if (m_timecode != nullptr) {
            m_timecode->FromText(&text);
            m_timecode->ToText(&text);
        }
        m_nodes[kTm] = ShowXML_c::CreateElement("tm", node, text.Chars());
    }
    if (!reelvox_fields::HasAttribute(node, "name")) {
        reelvox_fields::WriteText(FieldNode(kName), this, "1");
    }
    if (!reelvox_fields::HasAttribute(node, "action")) {
        SetAction(REELVOX_ACTION_PLAY);
    }
    if (!reelvox_fields::HasAttribute(node, "left")) {
        SetBoolAttribute("left", this, QOR_TRUE, QOR_FALSE);
    }
    if (!reelvox_fields::HasAttribute(node, "right")) {
        SetBoolAttribute("right", this, QOR_TRUE, QOR_FALSE);
    }
    return QOR_OK;
}

std::uint8_t ReelvoxDataTrigger_c::WriteTime(Field field, const QORSMPTETimecode_c* timecode) {
    if (timecode == nullptr) {
        return QOR_ERROR;
    }
    QORString_c text;
    if (m_timecode != nullptr) {
        if (timecode == m_timecode || timecode->FrameRateIndex() != m_timecode->FrameRateIndex()) {
            return QOR_ERROR;
        }
        timecode->CopyTo(m_timecode);
        m_timecode->ToText(&text);
    } else {
        timecode->ToText(&text);
    }
    return reelvox_fields::WriteText(FieldNode(field), this, text.Chars());
}

std::uint8_t ReelvoxDataTrigger_c::ReadTime(Field field, QORSMPTETimecode_c* timecode) {
    if (timecode == nullptr) {
        return QOR_ERROR;
    }
    ShowXML_c* node = FieldNode(field);
    if (node == nullptr) {
        return QOR_ERROR;
    }
    QORString_c text;
    const std::uint8_t status = GetNodeText(node, &text);
    if (status == QOR_OK) {
        timecode->FromText(&text);
    }
    return status;
}

std::uint8_t ReelvoxDataTrigger_c::SetTime(const QORSMPTETimecode_c* timecode) {
    return WriteTime(kTm, timecode);
}

std::uint8_t ReelvoxDataTrigger_c::SetOffset(const QORSMPTETimecode_c* timecode) {
    return WriteTime(kOffset, timecode);
}

std::uint8_t ReelvoxDataTrigger_c::GetTime(QORSMPTETimecode_c* timecode) {
    return ReadTime(kTm, timecode);
}

std::uint8_t ReelvoxDataTrigger_c::GetOffset(QORSMPTETimecode_c* timecode) {
    return ReadTime(kOffset, timecode);
}

std::uint8_t ReelvoxDataTrigger_c::SetAction(std::uint8_t index) {
    return reelvox_fields::WriteText(FieldNode(kAction), this, ReelvoxActionWord(index));
}

std::uint8_t ReelvoxDataTrigger_c::Action() {
    const int index =
        reelvox_fields::WordIndex(reelvox_fields::Text(FieldNode(kAction)), kActionWords, 9);
    return index < 0 ? REELVOX_ACTION_UNKNOWN : static_cast<std::uint8_t>(index);
}

std::uint8_t ReelvoxDataTrigger_c::SetLocation(std::uint8_t index) {
    if (index > 2) {
        return QOR_ERROR;
    }
    return reelvox_fields::WriteText(FieldNode(kLocation), this, kLocationWords[index]);
}

std::uint8_t ReelvoxDataTrigger_c::Location() {
    const std::string text = reelvox_fields::Text(FieldNode(kLocation));
    if (reelvox_fields::EqualsNoCase(text, "group")) {
        return 1;
    }
    if (reelvox_fields::EqualsNoCase(text, "all")) {
        return 2;
    }
    return 0;
}

std::uint8_t ReelvoxDataTrigger_c::SetLocationNumber(std::int32_t number) {
    return reelvox_fields::WriteInt(FieldNode(kLocationNumber), this, number);
}

std::int32_t ReelvoxDataTrigger_c::LocationNumber() {
    const std::int32_t number = reelvox_fields::IntOr0(FieldNode(kLocationNumber));
    return number == 0 ? 1 : number;
}

std::uint8_t ReelvoxDataTrigger_c::SetName(QORValue_c* value) {
    if (value == nullptr) {
        return QOR_ERROR;
    }
    QORString_c* text = value->GetText();
    return reelvox_fields::WriteText(FieldNode(kName), this, text != nullptr ? text->Chars() : "");
}

void ReelvoxDataTrigger_c::GetName(QORValue_c* value) {
    if (value == nullptr) {
        return;
    }
    const std::string text = reelvox_fields::Text(FieldNode(kName));
    value->SetText(text.c_str(), static_cast<std::int32_t>(text.size()));
}

std::uint8_t ReelvoxDataTrigger_c::SetSocket(std::uint8_t bits) {
    const char* word = nullptr;
    switch (bits) {
    case REELVOX_SOCKET_SECONDARY:
        word = "secondary";
        break;
    case REELVOX_SOCKET_BOTH:
        word = "both";
        break;
    case REELVOX_SOCKET_PRIMARY:
        word = "primary";
        break;
    default:
        return QOR_ERROR;
    }
    return reelvox_fields::WriteText(FieldNode(kSocket), this, word);
}

std::uint8_t ReelvoxDataTrigger_c::Socket() {
    const std::string text = reelvox_fields::Text(FieldNode(kSocket));
    if (reelvox_fields::EqualsNoCase(text, "both")) {
        return REELVOX_SOCKET_BOTH;
    }
    if (reelvox_fields::EqualsNoCase(text, "secondary")) {
        return REELVOX_SOCKET_SECONDARY;
    }
    return REELVOX_SOCKET_PRIMARY;
}

std::uint8_t ReelvoxDataTrigger_c::UnitAddress() {
    std::int32_t value = 0;
    if (!reelvox_fields::Int(FieldNode(kUnitAddress), &value)) {
        return 0;
    }
    const auto low = static_cast<std::int8_t>(static_cast<std::uint8_t>(value & 0xFF));
    if (low < 0) {
        return REELVOX_MAX_UNIT_ADDRESS;
    }
    if (low > REELVOX_MAX_UNIT_ADDRESS) {
        return 0;
    }
    return static_cast<std::uint8_t>(low);
}

std::uint8_t ReelvoxDataTrigger_c::EncodableUnitAddress(std::uint8_t* address) {
    *address = 0;
    ShowXML_c* node = FieldNode(kUnitAddress);
    if (node == nullptr) {
        return QOR_ERROR;
    }
    if (reelvox_fields::Text(node).empty()) {
        return QOR_OK;
    }
    std::int32_t value = 0;
    if (!reelvox_fields::Int(node, &value) || value < 0 || value > REELVOX_MAX_UNIT_ADDRESS) {
        return QOR_ERROR;
    }
    *address = static_cast<std::uint8_t>(value);
    return QOR_OK;
}

// ---------------------------------------------------------------------------------------------

ReelvoxDataTriggers_c::ReelvoxDataTriggers_c() {
    SetItemName("trigger");
}

std::unique_ptr<QORObject_c> ReelvoxDataTriggers_c::Create() const {
    return std::make_unique<ReelvoxDataTriggers_c>();
}

std::unique_ptr<ShowResource_c> ReelvoxDataTriggers_c::CreateChild(ShowXML_c* /*templateNode*/) {
    return std::make_unique<ReelvoxDataTrigger_c>();
}

std::uint8_t ReelvoxDataTriggers_c::Bind(ShowXML_c* smpteElement) {
    m_max = nullptr;
    const std::uint8_t status = BindInParent(smpteElement, "triggers");
    if (status != QOR_OK) {
        return status;
    }
    if (!reelvox_fields::HasAttribute(Element(), "max")) {
        SetMax(256);
    }
    Sort();
    return status;
}

std::uint8_t ReelvoxDataTriggers_c::Rebind() {
    return RebindFromParent();
}

std::uint8_t ReelvoxDataTriggers_c::SetMax(std::int32_t count) {
    return reelvox_fields::WriteInt(reelvox_fields::Attribute(this, m_max, "max"), this, count);
}

std::int32_t ReelvoxDataTriggers_c::Max() {
    const std::int32_t max = reelvox_fields::IntOr0(reelvox_fields::Attribute(this, m_max, "max"));
    return max < 0 ? 0 : max;
}

std::int32_t ReelvoxDataTriggers_c::Count() {
    return LiveCount();
}

void ReelvoxDataTriggers_c::Sort() {
    ShowXML_c* listElement = Element();
    QORList_c* items = Children();
    if (listElement == nullptr || items == nullptr) {
        return;
    }
    ShowResource_c* current = Current();

    // The list slots of the live items, and the tree slots of their elements, in order.
    struct Entry {
        ReelvoxDataTrigger_c* trigger;
        std::uint32_t frames;
    };
    std::vector<QORListNode_c*> itemSlots;
    std::vector<Entry> entries;
    for (QORListNode_c* node = items->First(); node != nullptr; node = node->next) {
        auto* trigger = dynamic_cast<ReelvoxDataTrigger_c*>(node->object);
        if (trigger == nullptr || trigger->Element() == nullptr || !trigger->Element()->IsLive()) {
            continue;
        }
        QORSMPTETimecode_c scratch;
        scratch.SetFrameRate(5, 0);
        QORString_c text;
        if (GetNodeText(trigger->FieldNode(ReelvoxDataTrigger_c::kTm), &text) == QOR_OK) {
            scratch.FromText(&text);
        }
        itemSlots.push_back(node);
        entries.push_back({trigger, scratch.FrameCount()});
    }
    std::vector<QORListNode_c*> elementSlots;
    if (QORList_c* children = listElement->ChildList(); children != nullptr) {
        for (QORListNode_c* node = children->First(); node != nullptr; node = node->next) {
            for (const Entry& entry : entries) {
                if (node->object == entry.trigger->Element()) {
                    elementSlots.push_back(node);
                    break;
                }
            }
        }
    }
    // Equal times keep their order.
    std::stable_sort(entries.begin(), entries.end(),
                     [](const Entry& a, const Entry& b) { return a.frames < b.frames; });
    // Permute the objects among their own slots, so nothing else in either list moves.
    if (elementSlots.size() == entries.size()) {
        for (std::size_t i = 0; i < entries.size(); ++i) {
            itemSlots[i]->object = entries[i].trigger;
            elementSlots[i]->object = entries[i].trigger->Element();
        }
    }
    std::int32_t number = 1;
    for (QORListNode_c* node = items->First(); node != nullptr; node = node->next) {
        auto* trigger = dynamic_cast<ReelvoxDataTrigger_c*>(node->object);
        if (trigger == nullptr || trigger->Element() == nullptr || !trigger->Element()->IsLive()) {
            continue;
        }
        reelvox_fields::WriteInt(trigger->FieldNode(ReelvoxDataTrigger_c::kNumber), trigger,
                                 number++);
    }
    if (current != nullptr) {
        Select(current);
    }
}
