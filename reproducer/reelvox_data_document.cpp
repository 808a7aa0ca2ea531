#include "reproducer/reelvox_data_document.h"

#include "foundation/byte_buffer.h"
#include "foundation/text_string.h"
#include "foundation/xml_text.h"
#include "reproducer/cobranet_elements.h"
#include "reproducer/port_info_elements.h"
#include "reproducer/reelvox_fields.h"
#include "reproducer/reproducer_elements.h"
#include "reproducer/smpte_settings_element.h"

namespace {

constexpr const char* kStateWords[] = {"none", "smpte", "video_settings", "cobranet", "complete"};

} // namespace

// ---------------------------------------------------------------------------------------------

std::unique_ptr<QORObject_c> ReelvoxDataState_c::Create() const {
    return std::make_unique<ReelvoxDataState_c>();
}

std::uint8_t ReelvoxDataState_c::Bind(ShowXML_c* node) {
    m_enabled = nullptr;
    const std::uint8_t status = ShowResource_c::Bind(node);
    if (status != QOR_OK) {
        return status;
    }
    if (node->NodeType() != QOR_XML_ELEMENT) {
        Attach(nullptr);
        return QOR_ERROR;
    }
    SetElementName("state");
    return QOR_OK;
}

ShowXML_c* ReelvoxDataState_c::EnabledNode() {
    if (m_enabled == nullptr && m_element != nullptr) {
        m_enabled = ShowXML_c::FindAttribute(m_element, "eb");
        if (m_enabled == nullptr) {
            m_enabled = ShowXML_c::FindAttribute(m_element, "enabled");
        }
        if (m_enabled == nullptr) {
            m_enabled = ShowXML_c::FindOrCreateAttribute(m_element, "eb");
        }
    }
    return m_enabled;
}

std::uint8_t ReelvoxDataState_c::SetEnabled(std::uint8_t flag) {
    return reelvox_fields::WriteTextBool(EnabledNode(), this, flag);
}

std::uint8_t ReelvoxDataState_c::IsEnabled() {
    return reelvox_fields::TextBool(EnabledNode());
}

// ---------------------------------------------------------------------------------------------

ReelvoxDataStates_c::ReelvoxDataStates_c() {
    SetItemName("state");
}

std::unique_ptr<QORObject_c> ReelvoxDataStates_c::Create() const {
    return std::make_unique<ReelvoxDataStates_c>();
}

std::unique_ptr<ShowResource_c> ReelvoxDataStates_c::CreateChild(ShowXML_c* /*templateNode*/) {
    return std::make_unique<ReelvoxDataState_c>();
}

std::uint8_t ReelvoxDataStates_c::Bind(ShowXML_c* parent) {
    return BindInParent(parent, "states");
}

std::uint8_t ReelvoxDataStates_c::Rebind() {
    return RebindFromParent();
}

std::uint8_t ReelvoxDataStates_c::SetEnabled(std::uint8_t kind, std::uint8_t flag) {
    if (kind > REELVOX_STATE_COMPLETE) {
        return QOR_ERROR;
    }
    auto* state = dynamic_cast<ReelvoxDataState_c*>(FindByName(kStateWords[kind], QOR_TRUE));
    if (state == nullptr) {
        return QOR_ERROR;
    }
    return state->SetEnabled(flag);
}

std::uint8_t ReelvoxDataStates_c::IsEnabled(std::uint8_t kind) {
    if (kind > REELVOX_STATE_COMPLETE) {
        return QOR_FALSE;
    }
    auto* state = dynamic_cast<ReelvoxDataState_c*>(FindByName(kStateWords[kind], QOR_FALSE));
    return state != nullptr ? state->IsEnabled() : QOR_FALSE;
}

// ---------------------------------------------------------------------------------------------

ReelvoxData_c::ReelvoxData_c() = default;

ReelvoxData_c::~ReelvoxData_c() = default;

std::unique_ptr<QORObject_c> ReelvoxData_c::Create() const {
    return std::make_unique<ReelvoxData_c>();
}

void ReelvoxData_c::DeleteSections() {
    m_cobranets.reset();
    m_repros.reset();
    m_smpte.reset();
    m_states.reset();
    m_port.reset();
    m_info.reset();
    m_ignoreErrors = nullptr;
}

std::uint8_t ReelvoxData_c::Bind(ShowXML_c* node) {
    DeleteSections();
    Attach(node);
    if (node == nullptr) {
        return QOR_ERROR;
    }
    if (node->NodeType() != QOR_XML_DECLARATION) {
        Attach(nullptr);
        return QOR_ERROR;
    }
    ShowXML_c* root = ShowXML_c::FindOrCreateElement(node, "reelvox", nullptr);
    if (root == nullptr) {
        return QOR_ERROR;
    }

    m_info = std::make_unique<ShowDataInfo_c>();
    m_info->SetOwner(Owner());
    std::uint8_t status = m_info->Bind(root);
    if (status != QOR_OK) {
        return status;
    }
    ShowXML_c* portElement = ShowXML_c::FindOrCreateElement(root, "port", nullptr);
    if (portElement == nullptr) {
        return QOR_ERROR;
    }
    m_port = std::make_unique<ProductDataPort_c>();
    m_port->SetOwner(Owner());
    if ((status = m_port->Bind(portElement)) != QOR_OK) {
        return status;
    }
    m_states = std::make_unique<ReelvoxDataStates_c>();
    m_states->SetOwner(Owner());
    if ((status = m_states->Bind(root)) != QOR_OK) {
        return status;
    }
    m_smpte = std::make_unique<ReelvoxDataSMPTEInterface_c>();
    m_smpte->SetOwner(Owner());
    if ((status = m_smpte->Bind(root)) != QOR_OK) {
        return status;
    }
    m_repros = std::make_unique<ReelvoxDataReproducers_c>();
    m_repros->SetOwner(Owner());
    if ((status = m_repros->Bind(root)) != QOR_OK) {
        return status;
    }
    m_cobranets = std::make_unique<ReelvoxDataCobraNets_c>();
    m_cobranets->SetOwner(Owner());
    return m_cobranets->Bind(root);
}

void ReelvoxData_c::SetChangeTracking(std::uint8_t tracking) {
    ShowXMLInterface_c::SetChangeTracking(tracking);
    if (m_info) {
        m_info->SetChangeTracking(tracking);
    }
    if (m_port) {
        m_port->SetChangeTracking(tracking);
    }
    if (m_states) {
        m_states->SetChangeTracking(tracking);
    }
    if (m_smpte) {
        m_smpte->SetChangeTracking(tracking);
    }
    if (m_repros) {
        m_repros->SetChangeTracking(tracking);
    }
    if (m_cobranets) {
        m_cobranets->SetChangeTracking(tracking);
    }
}

ShowXMLInterface_c* ReelvoxData_c::FindBinding(const QORXML_c* node) {
    if (ShowXMLInterface_c* found = ShowXMLInterface_c::FindBinding(node)) {
        return found;
    }
    ShowXMLInterface_c* sections[] = {m_info.get(),  m_port.get(),   m_states.get(),
                                      m_smpte.get(), m_repros.get(), m_cobranets.get()};
    for (ShowXMLInterface_c* section : sections) {
        if (section != nullptr) {
            if (ShowXMLInterface_c* found = section->FindBinding(node)) {
                return found;
            }
        }
    }
    return nullptr;
}

std::uint8_t ReelvoxData_c::SetIgnoreErrors(std::uint8_t flag) {
    ShowXML_c* root = m_element != nullptr ? ShowXML_c::FindElement(m_element, "reelvox") : nullptr;
    if (m_ignoreErrors == nullptr && root != nullptr) {
        m_ignoreErrors = ShowXML_c::FindOrCreateAttribute(root, "ignore_errors");
    }
    return reelvox_fields::WriteTextBool(m_ignoreErrors, this, flag);
}

std::uint8_t ReelvoxData_c::IgnoreErrors() {
    ShowXML_c* root = m_element != nullptr ? ShowXML_c::FindElement(m_element, "reelvox") : nullptr;
    if (m_ignoreErrors == nullptr && root != nullptr) {
        m_ignoreErrors = ShowXML_c::FindOrCreateAttribute(root, "ignore_errors");
    }
    return reelvox_fields::TextBool(m_ignoreErrors);
}

std::uint8_t ReelvoxData_c::SetTransport(std::uint8_t kind) {
    if (!m_port) {
        return QOR_ERROR;
    }
    switch (kind) {
    case 0:
        return m_port->SetType(kPortTypeNull);
    case 1:
        return m_port->SetType(kPortTypeSerial);
    case 2:
        return m_port->SetType(kPortTypeEthernet);
    default:
        m_port->SetType(kPortTypeNull);
        return QOR_ERROR;
    }
}

// ---------------------------------------------------------------------------------------------

ReelvoxDataDocument_c::ReelvoxDataDocument_c() {
    QORString_c name;
    name.Assign("reelvox");
    SetTypeName(&name);
    name.Assign("rv");
    SetShortName(&name);
}

ReelvoxDataDocument_c::~ReelvoxDataDocument_c() {
    ReleaseBinding();
}

std::unique_ptr<QORObject_c> ReelvoxDataDocument_c::Create() const {
    return std::make_unique<ReelvoxDataDocument_c>();
}

void ReelvoxDataDocument_c::ReleaseBinding() {
    m_root.reset();
}

ReelvoxData_c* ReelvoxDataDocument_c::Root() {
    if (!m_root) {
        m_root = std::make_unique<ReelvoxData_c>();
        m_root->SetOwner(this);
        if (m_root->Bind(XMLRoot()) != QOR_OK) {
            m_root.reset();
        }
    }
    return m_root.get();
}

ReelvoxDataReproducer_c* ReelvoxDataDocument_c::ReproducerElement(std::uint8_t unit) {
    if (unit == 0) {
        return nullptr;
    }
    ReelvoxData_c* root = Root();
    ReelvoxDataReproducers_c* repros = root != nullptr ? root->Reproducers() : nullptr;
    if (repros == nullptr) {
        return nullptr;
    }
    return dynamic_cast<ReelvoxDataReproducer_c*>(repros->ItemAt(unit - 1, QOR_TRUE));
}

std::int32_t ReelvoxDataDocument_c::Save(QORBuffer_c* buffer) {
    if (buffer != nullptr && buffer->Ownership() != QOR_OWNS && XMLRoot() != nullptr) {
        // A borrowed buffer is never resized: a text that does not fit is not a saved document.
        const std::uint8_t previous = QORXMLWriteHidden();
        QORXMLSetWriteHidden(QOR_TRUE);
        const std::int32_t size = XMLRoot()->WrittenSize();
        QORXMLSetWriteHidden(previous);
        if (size > buffer->Remaining()) {
            return QOR_COUNT_ERROR;
        }
    }
    return ShowDocument_c::Save(buffer);
}
