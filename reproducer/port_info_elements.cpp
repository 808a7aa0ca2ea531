#include "reproducer/port_info_elements.h"

#include "platform/paths.h"
#include <new>
#include <string_view>

namespace {

constexpr const char* kPortTypeNames[kPortTypeCount] = {
    "null", "programmer", "serial", "ethernet", "dmx512", "midi", "usb",
};

// A direct child element of the name, or a new one holding the default text.
ShowXML_c* ChildElement(ShowXML_c* parent, const char* name, const char* defaultText) {
    return ShowXML_c::FindOrCreateElement(parent, name, defaultText);
}

} // namespace

const char* ProductDataPortTypeName(std::uint8_t type) {
    return type < kPortTypeCount ? kPortTypeNames[type] : nullptr;
}

std::uint8_t ProductDataPortTypeFromName(const QORString_c* text) {
    if (text == nullptr) {
        return kPortTypeNull;
    }
    for (std::uint8_t type = 0; type < kPortTypeCount; ++type) {
        if (platform::EqualsNoCase(text->View(), kPortTypeNames[type])) {
            return type;
        }
    }
    return kPortTypeNull;
}

// ---------------------------------------------------------------------------------------------

std::unique_ptr<QORObject_c> ProductDataPort_c::Create() const {
    return std::unique_ptr<QORObject_c>(new (std::nothrow) ProductDataPort_c());
}

std::uint8_t ProductDataPort_c::Bind(ShowXML_c* element) {
    m_type = nullptr;
    const std::uint8_t status = ShowResourceVariable_c::Bind(element);
    if (status != QOR_OK) {
        return status;
    }
    if (element->NodeType() != QOR_XML_ELEMENT) {
        Attach(nullptr);
        return QOR_ERROR;
    }
    SetElementName("port");
    return QOR_OK;
}

ShowXML_c* ProductDataPort_c::TypeAttribute() {
    if (m_type == nullptr && m_element != nullptr) {
        m_type = ShowXML_c::FindOrCreateAttribute(m_element, "type");
    }
    return m_type;
}

std::uint8_t ProductDataPort_c::Type() {
    QORString_c text;
    GetNodeText(TypeAttribute(), &text);
    return ProductDataPortTypeFromName(&text);
}

std::uint8_t ProductDataPort_c::SetType(std::uint8_t type) {
    const char* name = ProductDataPortTypeName(type);
    if (name == nullptr) {
        return QOR_ERROR;
    }
    return SetNodeText(TypeAttribute(), this, name);
}

// ---------------------------------------------------------------------------------------------

ShowDataInfoAuthors_c::ShowDataInfoAuthors_c() {
    SetTag(11);
}

std::unique_ptr<QORObject_c> ShowDataInfoAuthors_c::Create() const {
    return std::unique_ptr<QORObject_c>(new (std::nothrow) ShowDataInfoAuthors_c());
}

std::uint8_t ShowDataInfoAuthors_c::Bind(ShowXML_c* infoElement) {
    if (infoElement == nullptr || infoElement->NodeType() != QOR_XML_ELEMENT) {
        Attach(nullptr);
        return QOR_ERROR;
    }
    ShowXML_c* authors = ChildElement(infoElement, "authors", nullptr);
    Attach(authors);
    return authors != nullptr ? QOR_OK : QOR_ERROR;
}

std::uint8_t ShowDataInfoAuthors_c::Rebind() {
    if (m_element == nullptr) {
        return QOR_ERROR;
    }
    return Bind(dynamic_cast<ShowXML_c*>(m_element->Parent()));
}

// ---------------------------------------------------------------------------------------------

ShowDataInfo_c::ShowDataInfo_c() {
    SetTag(10);
}

ShowDataInfo_c::~ShowDataInfo_c() = default;

std::unique_ptr<QORObject_c> ShowDataInfo_c::Create() const {
    return std::unique_ptr<QORObject_c>(new (std::nothrow) ShowDataInfo_c());
}

void ShowDataInfo_c::SetChangeTracking(std::uint8_t tracking) {
    m_changeTracking = tracking;
    if (m_authors) {
        m_authors->SetChangeTracking(tracking);
    }
}

std::uint8_t ShowDataInfo_c::Bind(ShowXML_c* parent) {
    m_authors.reset();
    m_description = nullptr;
    m_version = nullptr;
    if (parent == nullptr || parent->NodeType() != QOR_XML_ELEMENT) {
        Attach(nullptr);
        return QOR_ERROR;
    }
    ShowXML_c* info = ChildElement(parent, "info", nullptr);
    if (info == nullptr) {
        Attach(nullptr);
        return QOR_ERROR;
    }
    Attach(info);
    std::unique_ptr<ShowDataInfoAuthors_c> authors(new (std::nothrow) ShowDataInfoAuthors_c());
    if (!authors) {
        return QOR_ERROR;
    }
    authors->SetOwner(m_owner);
    const std::uint8_t status = authors->Bind(info);
    if (status == QOR_ERROR) {
        return QOR_ERROR;
    }
    m_authors = std::move(authors);
    return status;
}

std::uint8_t ShowDataInfo_c::Rebind() {
    if (m_element == nullptr) {
        return QOR_ERROR;
    }
    return Bind(dynamic_cast<ShowXML_c*>(m_element->Parent()));
}

ShowXML_c* ShowDataInfo_c::Description() {
    if (m_description == nullptr && m_element != nullptr) {
        m_description = ChildElement(m_element, "description", "");
    }
    return m_description;
}

ShowXML_c* ShowDataInfo_c::Version() {
    if (m_version == nullptr && m_element != nullptr) {
        m_version = ChildElement(m_element, "version", "1.0");
    }
    return m_version;
}

ShowXMLInterface_c* ShowDataInfo_c::FindBinding(const QORXML_c* node) {
    if (ShowXMLInterface_c* found = ShowXMLInterface_c::FindBinding(node); found != nullptr) {
        return found;
    }
    if (m_element == nullptr || node == nullptr) {
        return nullptr;
    }
    if (node == Version() || node == Description()) {
        return this;
    }
    return m_authors ? m_authors->FindBinding(node) : nullptr;
}
