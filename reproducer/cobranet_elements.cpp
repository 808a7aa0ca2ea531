#include "reproducer/cobranet_elements.h"

#include "foundation/text_string.h"
#include "foundation/variant_value.h"
#include "reproducer/reelvox_fields.h"

#include <string>

namespace {

constexpr std::int32_t kBundlesPerDevice = 4;
constexpr std::int32_t kChannelsPerBundle = 8;
constexpr std::int32_t kReprosPerDevice = 8;
constexpr std::int32_t kNoDevice = 2;

std::string NodeName(const QORXML_c* node) {
    QORValue_c* value = node != nullptr ? node->ValueObject() : nullptr;
    if (value == nullptr || value->Type() == QOR_TYPE_NONE) {
        return {};
    }
    QORString_c* text = value->GetText();
    return text != nullptr ? std::string(text->View()) : std::string();
}

// The position of the nearest enclosing `cobranet` element (the node itself included) among its
// live, equally named siblings; 2 when there is none.
std::int32_t DeviceIndexOf(const QORXML_c* node) {
    const QORXML_c* device = node;
    while (device != nullptr && !(device->NodeType() == QOR_XML_ELEMENT &&
                                  reelvox_fields::EqualsNoCase(NodeName(device), "cobranet"))) {
        device = device->Parent();
    }
    if (device == nullptr || !device->IsLive() || device->Parent() == nullptr) {
        return kNoDevice;
    }
    const std::string name = NodeName(device);
    QORList_c* siblings = device->Parent()->ChildList();
    std::int32_t index = 0;
    for (QORListNode_c* entry = siblings != nullptr ? siblings->First() : nullptr; entry != nullptr;
         entry = entry->next) {
        const QORXML_c* sibling = QORXMLNodeOf(entry);
        if (sibling == device) {
            return index;
        }
        if (sibling != nullptr && sibling->IsLive() && sibling->NodeType() == device->NodeType() &&
            NodeName(sibling) == name) {
            ++index;
        }
    }
    return kNoDevice;
}

bool InDeviceRange(std::int32_t device, std::int32_t repro) {
    return repro >= device * kReprosPerDevice + 1 && repro <= device * kReprosPerDevice + 8;
}

bool BindAsElement(ShowResource_c* resource, ShowXML_c* node, std::uint8_t* status) {
    *status = resource->ShowResource_c::Bind(node);
    if (*status != QOR_OK) {
        return false;
    }
    if (node->NodeType() != QOR_XML_ELEMENT) {
        *status = QOR_ERROR;
        return false;
    }
    return true;
}

} // namespace

// ---------------------------------------------------------------------------------------------

std::unique_ptr<QORObject_c> ReelvoxDataCobraNetChannel_c::Create() const {
    return std::make_unique<ReelvoxDataCobraNetChannel_c>();
}

std::uint8_t ReelvoxDataCobraNetChannel_c::Bind(ShowXML_c* node) {
    m_repro = nullptr;
    m_channel = nullptr;
    std::uint8_t status = QOR_OK;
    if (!BindAsElement(this, node, &status)) {
        if (status == QOR_ERROR && node != nullptr) {
            Attach(nullptr);
        }
        return status;
    }
    SetElementName("channel");
    return QOR_OK;
}

std::uint8_t ReelvoxDataCobraNetChannel_c::SetSide(std::uint8_t flag) {
    return reelvox_fields::WriteText(reelvox_fields::Attribute(this, m_channel, "channel"), this,
                                     flag != 0 ? "right" : "left");
}

std::uint8_t ReelvoxDataCobraNetChannel_c::IsRight() {
    return reelvox_fields::EqualsNoCase(
               reelvox_fields::Text(reelvox_fields::Attribute(this, m_channel, "channel")), "right")
               ? 1
               : 0;
}

std::uint8_t ReelvoxDataCobraNetChannel_c::SetRepro(std::int32_t unit) {
    return reelvox_fields::WriteInt(reelvox_fields::Attribute(this, m_repro, "repro"), this, unit);
}

std::int32_t ReelvoxDataCobraNetChannel_c::Repro() {
    return reelvox_fields::IntOr0(reelvox_fields::Attribute(this, m_repro, "repro"));
}

std::int32_t ReelvoxDataCobraNetChannel_c::DeviceIndex() {
    return DeviceIndexOf(m_element);
}

std::int32_t ReelvoxDataCobraNetChannel_c::AudioChannel() {
    std::int32_t repro = Repro();
    if (repro == 0) {
        return 0;
    }
    const std::int32_t device = DeviceIndex();
    if (device >= kNoDevice || !InDeviceRange(device, repro)) {
        return 0;
    }
    while (repro > kReprosPerDevice) {
        repro -= kReprosPerDevice;
    }
    const std::int32_t pair = repro - 1;
    return IsRight() != 0 ? 2 * pair + 2 : 2 * pair + 1;
}

// ---------------------------------------------------------------------------------------------

ReelvoxDataCobraNetChannels_c::ReelvoxDataCobraNetChannels_c() {
    SetItemName("channel");
}

std::unique_ptr<QORObject_c> ReelvoxDataCobraNetChannels_c::Create() const {
    return std::make_unique<ReelvoxDataCobraNetChannels_c>();
}

std::uint8_t ReelvoxDataCobraNetChannels_c::Bind(ShowXML_c* bundleElement) {
    return BindInParent(bundleElement, "channels");
}

std::uint8_t ReelvoxDataCobraNetChannels_c::Rebind() {
    return RebindFromParent();
}

std::unique_ptr<ShowResource_c>
ReelvoxDataCobraNetChannels_c::CreateChild(ShowXML_c* /*templateNode*/) {
    return std::make_unique<ReelvoxDataCobraNetChannel_c>();
}

// ---------------------------------------------------------------------------------------------

ReelvoxDataCobraNetBundle_c::ReelvoxDataCobraNetBundle_c() = default;
ReelvoxDataCobraNetBundle_c::~ReelvoxDataCobraNetBundle_c() = default;

std::unique_ptr<QORObject_c> ReelvoxDataCobraNetBundle_c::Create() const {
    return std::make_unique<ReelvoxDataCobraNetBundle_c>();
}

std::uint8_t ReelvoxDataCobraNetBundle_c::Bind(ShowXML_c* node) {
    m_channels.reset();
    m_number = nullptr;
    std::uint8_t status = QOR_OK;
    if (!BindAsElement(this, node, &status)) {
        if (status == QOR_ERROR && node != nullptr) {
            Attach(nullptr);
        }
        return status;
    }
    SetElementName("bundle");
    m_channels = std::make_unique<ReelvoxDataCobraNetChannels_c>();
    m_channels->SetOwner(Owner());
    m_channels->SetChangeTracking(ChangeTracking());
    return m_channels->Bind(m_element);
}

void ReelvoxDataCobraNetBundle_c::SetChangeTracking(std::uint8_t tracking) {
    ShowResource_c::SetChangeTracking(tracking);
    if (m_channels) {
        m_channels->SetChangeTracking(tracking);
    }
}

ShowXMLInterface_c* ReelvoxDataCobraNetBundle_c::FindBinding(const QORXML_c* node) {
    if (ShowXMLInterface_c* found = ShowResource_c::FindBinding(node)) {
        return found;
    }
    return m_channels ? m_channels->FindBinding(node) : nullptr;
}

std::uint8_t ReelvoxDataCobraNetBundle_c::SetNumber(std::int32_t number) {
    return reelvox_fields::WriteInt(reelvox_fields::Attribute(this, m_number, "number"), this,
                                    number);
}

std::int32_t ReelvoxDataCobraNetBundle_c::Number() {
    return reelvox_fields::IntOr0(reelvox_fields::Attribute(this, m_number, "number"));
}

std::int32_t ReelvoxDataCobraNetBundle_c::DeviceIndex() {
    return DeviceIndexOf(m_element);
}

// ---------------------------------------------------------------------------------------------

ReelvoxDataCobraNetBundles_c::ReelvoxDataCobraNetBundles_c() {
    SetItemName("bundle");
}

std::unique_ptr<QORObject_c> ReelvoxDataCobraNetBundles_c::Create() const {
    return std::make_unique<ReelvoxDataCobraNetBundles_c>();
}

std::unique_ptr<ShowResource_c>
ReelvoxDataCobraNetBundles_c::CreateChild(ShowXML_c* /*templateNode*/) {
    return std::make_unique<ReelvoxDataCobraNetBundle_c>();
}

std::uint8_t ReelvoxDataCobraNetBundles_c::Rebind() {
    return RebindFromParent();
}

std::uint8_t ReelvoxDataCobraNetBundles_c::Bind(ShowXML_c* cobranetElement) {
    const std::uint8_t status = BindInParent(cobranetElement, "bundles");
    if (status != QOR_OK) {
        return status;
    }
    // New bundles follow the channel plan: device d carries reproducers 8d + 1 to 8d + 8, four
    // to a bundle, left and right of each in turn.
    for (std::int32_t position = LiveCount(); position < kBundlesPerDevice; ++position) {
        auto* bundle = dynamic_cast<ReelvoxDataCobraNetBundle_c*>(ItemAt(position, QOR_TRUE));
        if (bundle == nullptr) {
            return QOR_ERROR;
        }
        const std::int32_t device = bundle->DeviceIndex();
        bundle->SetNumber(256 + kBundlesPerDevice * device + position);
        ReelvoxDataCobraNetChannels_c* channels = bundle->Channels();
        if (channels == nullptr) {
            continue;
        }
        std::int32_t repro = kReprosPerDevice * device + 4 * position + 1;
        for (std::int32_t k = 0; k < kChannelsPerBundle; ++k) {
            auto* channel =
                dynamic_cast<ReelvoxDataCobraNetChannel_c*>(channels->ItemAt(k, QOR_TRUE));
            if (channel == nullptr) {
                break;
            }
            if (device >= kNoDevice || InDeviceRange(device, repro)) {
                channel->SetRepro(repro);
            }
            const bool right = (k % 2) != 0;
            channel->SetSide(right ? 1 : 0);
            if (right) {
                ++repro;
            }
        }
    }
    return status;
}

// ---------------------------------------------------------------------------------------------

ReelvoxDataCobraNet_c::ReelvoxDataCobraNet_c() = default;
ReelvoxDataCobraNet_c::~ReelvoxDataCobraNet_c() = default;

std::unique_ptr<QORObject_c> ReelvoxDataCobraNet_c::Create() const {
    return std::make_unique<ReelvoxDataCobraNet_c>();
}

ShowXML_c* ReelvoxDataCobraNet_c::Node(Field field) {
    static constexpr const char* kNames[kCount] = {"conductor", "latency", "resolution",
                                                   "sample_rate", "ip_address"};
    if (field >= kCount) {
        return nullptr;
    }
    return reelvox_fields::Attribute(this, m_nodes[field], kNames[field]);
}

std::uint8_t ReelvoxDataCobraNet_c::Bind(ShowXML_c* node) {
    m_bundles.reset();
    m_nodes.fill(nullptr);
    std::uint8_t status = QOR_OK;
    if (!BindAsElement(this, node, &status)) {
        if (status == QOR_ERROR && node != nullptr) {
            Attach(nullptr);
        }
        return status;
    }
    SetElementName("cobranet");
    m_bundles = std::make_unique<ReelvoxDataCobraNetBundles_c>();
    m_bundles->SetOwner(Owner());
    m_bundles->SetChangeTracking(ChangeTracking());
    status = m_bundles->Bind(m_element);
    if (status != QOR_OK) {
        return status;
    }
    const std::int32_t device = DeviceIndex();
    if (device == 0 && !reelvox_fields::HasAttribute(m_element, "conductor")) {
        reelvox_fields::WriteInt(Node(kConductor), this, 0);
    }
    if (!reelvox_fields::HasAttribute(m_element, "resolution")) {
        reelvox_fields::WriteInt(Node(kResolution), this, 20);
    }
    if (!reelvox_fields::HasAttribute(m_element, "sample_rate")) {
        reelvox_fields::WriteInt(Node(kSampleRate), this, 48);
    }
    if (!reelvox_fields::HasAttribute(m_element, "latency")) {
        reelvox_fields::WriteInt(Node(kLatency), this, 5);
    }
    if (!reelvox_fields::HasAttribute(m_element, "ip_address")) {
        const char* address = device == 0 ? "192.168.0.252" : (device == 1 ? "192.168.0.253" : "");
        reelvox_fields::WriteText(Node(kIpAddress), this, address);
    }
    return status;
}

void ReelvoxDataCobraNet_c::SetChangeTracking(std::uint8_t tracking) {
    ShowResource_c::SetChangeTracking(tracking);
    if (m_bundles) {
        m_bundles->SetChangeTracking(tracking);
    }
}

ShowXMLInterface_c* ReelvoxDataCobraNet_c::FindBinding(const QORXML_c* node) {
    if (ShowXMLInterface_c* found = ShowResource_c::FindBinding(node)) {
        return found;
    }
    return m_bundles ? m_bundles->FindBinding(node) : nullptr;
}

std::uint8_t ReelvoxDataCobraNet_c::Resolution() {
    std::int32_t value = 0;
    if (!reelvox_fields::Int(Node(kResolution), &value)) {
        return 0;
    }
    return value == 16 ? 1 : (value == 20 ? 2 : (value == 24 ? 3 : 0));
}

std::uint8_t ReelvoxDataCobraNet_c::SampleRate() {
    std::int32_t value = 0;
    if (!reelvox_fields::Int(Node(kSampleRate), &value)) {
        return 0;
    }
    return value == 48 ? 1 : (value == 96 ? 2 : 0);
}

std::uint8_t ReelvoxDataCobraNet_c::Latency() {
    std::int32_t value = 0;
    if (!reelvox_fields::Int(Node(kLatency), &value)) {
        return 0;
    }
    return value == 1 ? 3 : (value == 2 ? 2 : (value == 5 ? 1 : 0));
}

ShowXML_c* ReelvoxDataCobraNet_c::ConductorNode() {
    return Node(kConductor);
}

ShowXML_c* ReelvoxDataCobraNet_c::IpAddressNode() {
    return Node(kIpAddress);
}

std::int32_t ReelvoxDataCobraNet_c::DeviceIndex() {
    return DeviceIndexOf(m_element);
}

// ---------------------------------------------------------------------------------------------

ReelvoxDataCobraNets_c::ReelvoxDataCobraNets_c() {
    SetItemName("cobranet");
}

std::unique_ptr<QORObject_c> ReelvoxDataCobraNets_c::Create() const {
    return std::make_unique<ReelvoxDataCobraNets_c>();
}

std::unique_ptr<ShowResource_c> ReelvoxDataCobraNets_c::CreateChild(ShowXML_c* /*templateNode*/) {
    return std::make_unique<ReelvoxDataCobraNet_c>();
}

std::uint8_t ReelvoxDataCobraNets_c::Rebind() {
    return RebindFromParent();
}

std::uint8_t ReelvoxDataCobraNets_c::Bind(ShowXML_c* parent) {
    const std::uint8_t status = BindInParent(parent, "cobranets");
    if (status != QOR_OK) {
        return status;
    }
    if (LiveCount() < 2 && ItemAt(1, QOR_TRUE) == nullptr) {
        return QOR_ERROR;
    }
    return status;
}
