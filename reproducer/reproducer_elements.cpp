#include "reproducer/reproducer_elements.h"

#include "reproducer/reelvox_fields.h"

#include <string>

namespace {

constexpr const char* kProductTexts[] = {"Not Installed",   "Ostrel5 16bit",   "Marrik2 MPEG1",
                                         "Dravelin2 MPEG2", "Dravelin2 SDI",   "Ostrel16 V",
                                         "Ostrel24 24bit",  "Ostrel24 Record", "Ostrel24 D",
                                         "Ostrel HD",       "Legacy Support",  "Auto Detect"};
constexpr const char* kOutputFormats[] = {
    "1080i (29.97)", "720p (59.94)", "480p (59.94)", "480i (29.97)",  "1080i (25)",
    "720p (50)",     "576p (50)",    "576i (25)",    "1080p (59.94)", "1080p (50)"};
constexpr const char* kOsdWords[] = {"Off", "System", "Video", "Audio", "Activity Log"};

} // namespace

const char* ReelvoxProductText(std::uint8_t index) {
    return kProductTexts[index <= REELVOX_PRODUCT_AUTO_DETECT ? index
                                                              : REELVOX_PRODUCT_AUTO_DETECT];
}

std::unique_ptr<QORObject_c> ReelvoxDataReproducer_c::Create() const {
    return std::make_unique<ReelvoxDataReproducer_c>();
}

std::uint8_t ReelvoxDataReproducer_c::Bind(ShowXML_c* node) {
    m_nodes.fill(nullptr);
    const std::uint8_t status = ShowResource_c::Bind(node);
    if (status != QOR_OK) {
        return status;
    }
    if (node->NodeType() != QOR_XML_ELEMENT) {
        Attach(nullptr);
        return QOR_ERROR;
    }
    SetElementName("repro");
    return QOR_OK;
}

ShowXML_c* ReelvoxDataReproducer_c::Node(Field field) {
    if (field >= kCount) {
        return nullptr;
    }
    ShowXML_c*& cache = m_nodes[field];
    switch (field) {
    case kProduct:
        return reelvox_fields::Attribute(this, cache, "product");
    case kGroups:
        return reelvox_fields::ChildElement(this, cache, "groups", nullptr);
    case kVersion:
        return reelvox_fields::ChildElement(this, cache, "version", "");
    case kColorspace:
        return reelvox_fields::Attribute(this, cache, "colorspace");
    case kOutputFormat:
        return reelvox_fields::Attribute(this, cache, "output_format");
    case kOsd:
        return reelvox_fields::Attribute(this, cache, "osd");
    default:
        return nullptr;
    }
}

std::uint8_t ReelvoxDataReproducer_c::SetProduct(std::uint8_t index) {
    return reelvox_fields::WriteText(Node(kProduct), this, ReelvoxProductText(index));
}

std::uint8_t ReelvoxDataReproducer_c::Product() {
    const int index =
        reelvox_fields::WordIndex(reelvox_fields::Text(Node(kProduct)), kProductTexts, 12);
    return index < 0 ? REELVOX_PRODUCT_AUTO_DETECT : static_cast<std::uint8_t>(index);
}

std::uint8_t ReelvoxDataReproducer_c::SetGroup(std::uint8_t group, std::uint8_t flag) {
    if (group < 1 || group > 13) {
        return QOR_ERROR;
    }
    ShowXML_c* groups = Node(kGroups);
    if (groups == nullptr) {
        return QOR_ERROR;
    }
    const std::string name = std::to_string(group);
    if (flag == QOR_TRUE) {
        return reelvox_fields::WriteText(ShowXML_c::FindOrCreateAttribute(groups, name.c_str()),
                                         this, "yes");
    }
    groups->RemoveAttribute(name.c_str(), QOR_WHOLE, nullptr);
    return QOR_OK;
}

std::uint8_t ReelvoxDataReproducer_c::IsInGroup(std::uint8_t group) {
    if (group < 1 || group > 13) {
        return QOR_FALSE;
    }
    return reelvox_fields::GroupMember(Node(kGroups), group);
}

std::int32_t ReelvoxDataReproducer_c::Groups(std::uint8_t* buffer) {
    if (buffer == nullptr) {
        return QOR_COUNT_ERROR;
    }
    for (std::uint8_t group = 1; group <= 13; ++group) {
        buffer[group - 1] = IsInGroup(group) == QOR_TRUE ? 1 : 0;
    }
    return 13;
}

ShowXML_c* ReelvoxDataReproducer_c::VersionElement() {
    return Node(kVersion);
}

std::uint8_t ReelvoxDataReproducer_c::Colorspace() {
    return reelvox_fields::EqualsNoCase(reelvox_fields::Text(Node(kColorspace)), "RGsB") ? 1 : 0;
}

std::uint8_t ReelvoxDataReproducer_c::OutputFormat() {
    const int index =
        reelvox_fields::WordIndex(reelvox_fields::Text(Node(kOutputFormat)), kOutputFormats, 10);
    return index < 0 ? 0 : static_cast<std::uint8_t>(index);
}

std::uint8_t ReelvoxDataReproducer_c::SetOsd(std::uint8_t index) {
    return reelvox_fields::WriteText(Node(kOsd), this, kOsdWords[index <= 4 ? index : 0]);
}

// ---------------------------------------------------------------------------------------------

ReelvoxDataReproducers_c::ReelvoxDataReproducers_c() {
    SetItemName("repro");
}

std::unique_ptr<QORObject_c> ReelvoxDataReproducers_c::Create() const {
    return std::make_unique<ReelvoxDataReproducers_c>();
}

std::unique_ptr<ShowResource_c> ReelvoxDataReproducers_c::CreateChild(ShowXML_c* /*templateNode*/) {
    return std::make_unique<ReelvoxDataReproducer_c>();
}

std::uint8_t ReelvoxDataReproducers_c::Bind(ShowXML_c* parent) {
    m_max = nullptr;
    const std::uint8_t status = BindInParent(parent, "repros");
    if (status == QOR_OK && !reelvox_fields::HasAttribute(Element(), "max")) {
        SetMax(16);
    }
    return status;
}

std::uint8_t ReelvoxDataReproducers_c::Rebind() {
    return RebindFromParent();
}

std::uint8_t ReelvoxDataReproducers_c::SetMax(std::uint8_t count) {
    return reelvox_fields::WriteInt(reelvox_fields::Attribute(this, m_max, "max"), this, count);
}

std::int32_t ReelvoxDataReproducers_c::Max() {
    const std::int32_t max = reelvox_fields::IntOr0(reelvox_fields::Attribute(this, m_max, "max"));
    return max < 0 ? 0 : max;
}
