#include "reproducer/reelvox_system.h"

#include "foundation/history_value.h"
#include "foundation/object_list.h"
#include "foundation/serial_port.h"
#include "foundation/status.h"
#include "foundation/thread.h"
#include "reproducer/port_info_elements.h"
#include "reproducer/reelvox_data_document.h"
#include "reproducer/reproducer_elements.h"
#include "reproducer/reproducer_units.h"
#include "reproducer/smpte_interface.h"

namespace {
// Port type indexes of the configuration's port element.
constexpr std::uint8_t kPortNull = 0;
constexpr std::uint8_t kPortProgrammer = 1;
constexpr std::uint8_t kPortSerial = 2;
constexpr std::uint8_t kPortEthernet = 3;

// The download steps a new configuration starts with: SMPTE and video on, CobraNet off.
void EnableDefaultSteps(ReelvoxDataDocument_c& document) {
    ReelvoxData_c* root = document.Root();
    ReelvoxDataStates_c* states = root != nullptr ? root->States() : nullptr;
    if (states != nullptr) {
        states->SetEnabled(REELVOX_STATE_SMPTE, QOR_TRUE);
        states->SetEnabled(REELVOX_STATE_VIDEO_SETTINGS, QOR_TRUE);
        states->SetEnabled(REELVOX_STATE_COBRANET, QOR_FALSE);
    }
}

// A tree copy carries values, not their histories; a copied node must still see a later edit
// as a change, exactly as a node of a freshly built tree does. Walks both trees in step.
bool CopyHistories(const QORXML_c& from, QORXML_c& to) {
    auto* source = dynamic_cast<const QORHistoryValue_c*>(from.ValueObject());
    auto* target = dynamic_cast<QORHistoryValue_c*>(to.ValueObject());
    if ((source == nullptr) != (target == nullptr) ||
        (source != nullptr && source->CopyTo(target) != QOR_OK)) {
        return false;
    }
    const QORList_c* sources = from.ChildList();
    const QORList_c* targets = to.ChildList();
    const QORListNode_c* next = targets != nullptr ? targets->First() : nullptr;
    for (const QORListNode_c* item = sources != nullptr ? sources->First() : nullptr;
         item != nullptr; item = item->next) {
        const QORXML_c* child = QORXMLNodeOf(item);
        if (child == nullptr || !child->IsLive()) {
            continue;
        }
        QORXML_c* copy = next != nullptr ? QORXMLNodeOf(next) : nullptr;
        if (copy == nullptr || !CopyHistories(*child, *copy)) {
            return false;
        }
        next = next->next;
    }
    return next == nullptr;
}

// The configuration at its defaults, built once: binding a new tree section by section costs
// far more than copying a finished one, and every script document starts from it.
const ReelvoxDataDocument_c& DefaultConfiguration() {
    static const std::unique_ptr<ReelvoxDataDocument_c> defaults = [] {
        auto document = std::make_unique<ReelvoxDataDocument_c>();
        document->New();
        EnableDefaultSteps(*document);
        return document;
    }();
    return *defaults;
}

// Replaces the document's tree by a copy of the defaults (or another finished configuration), as
// building them anew would leave it: the same nodes, values and histories, and the modified bit
// the build sets.
bool CopyDefaults(const ReelvoxDataDocument_c& defaults, ReelvoxDataDocument_c& document) {
    document.New();
    if (defaults.XMLRoot() == nullptr || document.XMLRoot() == nullptr ||
        defaults.XMLRoot()->CopyTo(document.XMLRoot()) != QOR_OK ||
        !CopyHistories(*defaults.XMLRoot(), *document.XMLRoot())) {
        return false;
    }
    document.SetFlags(static_cast<std::uint8_t>(
        document.Flags() | (defaults.Flags() & ReelvoxDataDocument_c::kModified)));
    return true;
}
} // namespace

Reelvox_c::Reelvox_c()
    : m_ackParser(std::make_unique<ReelvoxReplyParser_c>(&ParseAck, this)),
      m_serial(std::make_unique<ReelvoxSerial_c>()), m_udp(std::make_unique<ReelvoxUDP_c>()),
      m_document(std::make_unique<ReelvoxDataDocument_c>()) {
    SetState(REELVOX_SYSTEM_COMPLETE);
}

Reelvox_c::~Reelvox_c() {
    m_ackParser.reset();
    m_serial.reset();
    m_udp.reset();
    m_interface.reset();
    for (auto& repro : m_reproducers) {
        repro.reset();
    }
    for (auto& device : m_cobranets) {
        device.reset();
    }
    m_document.reset();
}

void Reelvox_c::ResetDevices(const ReelvoxDataDocument_c* prototype) {
    m_interface.reset();
    for (auto& repro : m_reproducers) {
        repro.reset();
    }
    for (auto& device : m_cobranets) {
        device.reset();
    }
    // A script document resets its system on every open and often twice: the configuration
    // is laid out when something first looks at it.
    std::lock_guard lock(m_documentMutex);
    m_prototype = prototype;
    m_resetPending.store(true, std::memory_order_release);
}

ReelvoxDataDocument_c* Reelvox_c::Document() const {
    if (m_resetPending.load(std::memory_order_acquire)) {
        std::lock_guard lock(m_documentMutex);
        if (m_resetPending.load(std::memory_order_relaxed)) {
            if (!CopyDefaults(m_prototype != nullptr ? *m_prototype : DefaultConfiguration(),
                              *m_document)) {
                m_document->New();
            }
            EnableDefaultSteps(*m_document);
            m_resetPending.store(false, std::memory_order_release);
        }
    }
    return m_document.get();
}

void Reelvox_c::SetIgnoreErrors(std::uint8_t flag) {
    if (ReelvoxData_c* root = Document()->Root()) {
        root->SetIgnoreErrors(flag == QOR_TRUE ? QOR_TRUE : QOR_FALSE);
    }
}

std::uint8_t Reelvox_c::AttachSMPTEInterface(std::unique_ptr<ReelvoxSMPTEInterface_c> interface) {
    if (m_interface || !interface) {
        return QOR_ERROR;
    }
    m_interface = std::move(interface);
    m_interface->SetOwner(this);
    m_interface->BindOwnerDocumentLater();
    return QOR_OK;
}

std::int32_t Reelvox_c::ReproducerCount() {
    ReelvoxData_c* root = Document()->Root();
    ReelvoxDataReproducers_c* repros = root != nullptr ? root->Reproducers() : nullptr;
    if (repros == nullptr || repros->Element() == nullptr) {
        return 0;
    }
    const std::int32_t count = repros->Max();
    return count < 0 ? 0 : count;
}

void Reelvox_c::SetReproducerCount(std::uint8_t count) {
    ReelvoxData_c* root = Document()->Root();
    ReelvoxDataReproducers_c* repros = root != nullptr ? root->Reproducers() : nullptr;
    if (repros == nullptr || repros->Element() == nullptr || repros->SetMax(count) != QOR_OK) {
        return;
    }
    for (std::int32_t unit = kMaxReproducers; unit > count; --unit) {
        m_reproducers[static_cast<std::size_t>(unit)].reset();
        if (ShowResource_c* item = repros->ItemAt(unit - 1, QOR_FALSE)) {
            if (repros->Select(item) == QOR_OK) {
                repros->RemoveCurrent();
            }
        }
    }
}

std::uint8_t Reelvox_c::AttachReproducer(std::uint8_t unit,
                                         std::unique_ptr<ReelvoxReproducer_c> repro) {
    if (unit == 0 || unit > kMaxReproducers || unit > ReproducerCount() || !repro ||
        m_reproducers[unit]) {
        return QOR_ERROR;
    }
    ReelvoxReproducer_c* adopted = repro.get();
    m_reproducers[unit] = std::move(repro);
    adopted->SetOwner(this);
    adopted->SetDocument(Document());
    adopted->SetUnit(unit);
    if (m_interface) {
        if (m_interface->GetUnitType() == 1) {
            adopted->SetProduct(REELVOX_PRODUCT_LEGACY);
        } else if (adopted->Product() == REELVOX_PRODUCT_LEGACY) {
            adopted->SetProduct(REELVOX_PRODUCT_AUTO_DETECT);
        }
    }
    return QOR_OK;
}

ReelvoxReproducer_c* Reelvox_c::Reproducer(std::uint8_t unit) {
    if (unit == 0 || unit > kMaxReproducers || unit > ReproducerCount()) {
        return nullptr;
    }
    if (!m_reproducers[unit]) {
        AttachReproducer(unit, std::make_unique<ReelvoxReproducer_c>());
    }
    return m_reproducers[unit].get();
}

ReelvoxCobraNet_c* Reelvox_c::CobraNet(std::uint8_t slot) const {
    return slot < 2 ? m_cobranets[slot].get() : nullptr;
}

std::uint8_t Reelvox_c::AttachCobraNet(std::uint8_t slot,
                                       std::unique_ptr<ReelvoxCobraNet_c> device) {
    if (slot >= 2 || !device || m_cobranets[slot]) {
        return QOR_ERROR;
    }
    device->SetOwner(this);
    m_cobranets[slot] = std::move(device);
    return QOR_OK;
}

// ---- transports -----------------------------------------------------------------------------

Reelvox_c::Transport Reelvox_c::SelectedTransport() {
    ReelvoxData_c* root = Document()->Root();
    ProductDataPort_c* port = root != nullptr ? root->Port() : nullptr;
    if (port == nullptr || port->Element() == nullptr) {
        return Transport::None;
    }
    switch (port->Type()) {
    case kPortProgrammer:
    case kPortSerial:
        return Transport::Serial;
    case kPortEthernet:
        return Transport::UDP;
    default:
        return Transport::None;
    }
}

std::uint8_t Reelvox_c::SetSerialPort(QORSerial_c* port) {
    const std::uint8_t status = m_serial->SetPort(port);
    if (status != QOR_OK) {
        return status;
    }
    ReelvoxData_c* root = Document()->Root();
    if (root != nullptr && root->Port() != nullptr) {
        root->Port()->SetType(m_serial->Port() != nullptr ? kPortSerial : kPortNull);
    }
    return QOR_OK;
}

std::int32_t Reelvox_c::SendFrame(const std::uint8_t* data, std::uint8_t destination,
                                  std::uint8_t command, std::int32_t length) {
    switch (SelectedTransport()) {
    case Transport::Serial:
        return m_serial->Send(kReelvoxStartByte, destination, command, data, length);
    case Transport::UDP:
        return m_udp->Send(kReelvoxStartByte, destination, command, data, length);
    case Transport::None:
        break;
    }
    return QOR_COUNT_ERROR;
}

std::uint8_t Reelvox_c::WaitResponse(std::uint32_t timeoutMs) {
    switch (SelectedTransport()) {
    case Transport::Serial:
        return m_serial->Receive(m_ackParser.get(), timeoutMs);
    case Transport::UDP:
        return m_udp->Receive(m_ackParser.get(), timeoutMs);
    case Transport::None:
        break;
    }
    return QOR_ERROR;
}

std::int32_t Reelvox_c::CloseTransport() {
    switch (SelectedTransport()) {
    case Transport::Serial:
        return m_serial->Close();
    case Transport::UDP:
        return m_udp->Close();
    case Transport::None:
        break;
    }
    return QOR_COUNT_ERROR;
}

std::uint8_t Reelvox_c::ParseAck(void* input, void* system) {
    if (input == nullptr) {
        return QOR_OK;
    }
    auto* buffer = static_cast<QORBuffer_c*>(input);
    std::uint8_t byte = 0;
    if (buffer->Read(&byte, 1) != 1) {
        return 0;
    }
    const std::uint8_t status = byte == kReelvoxAccepted ? QOR_OK : QOR_ERROR;
    if (system != nullptr) {
        static_cast<Reelvox_c*>(system)->m_lastAck = status;
    }
    return status;
}

// ---- download -------------------------------------------------------------------------------

std::uint8_t Reelvox_c::EndDownload(std::uint8_t result) {
    CloseTransport();
    return result;
}

std::uint8_t Reelvox_c::VideoStep(std::uint8_t unitType) {
    std::uint8_t result = QOR_OK;
    for (std::int32_t unit = 1; unit <= ReproducerCount() && unit <= kMaxReproducers; ++unit) {
        if (QORCurrentThreadStopRequested()) {
            return QOR_ERROR;
        }
        ReelvoxReproducer_c* repro = m_reproducers[static_cast<std::size_t>(unit)].get();
        if (repro == nullptr) {
            continue;
        }
        const std::uint8_t product = repro->Product();
        const auto index = static_cast<std::uint8_t>(unit - 1);
        if (ReelvoxProductTakesColorspace(product)) {
            const std::int32_t answer =
                unitType == 0 ? repro->SendColorspace() : m_interface->SendSetting(19, index);
            if (answer <= 0) {
                result = QOR_ERROR;
            }
        }
        if (ReelvoxProductTakesOutputFormat(product)) {
            const std::int32_t answer =
                unitType == 0 ? repro->SendOutputFormat() : m_interface->SendSetting(22, index);
            if (answer <= 0) {
                result = QOR_ERROR;
            }
        }
    }
    return result;
}

std::uint8_t Reelvox_c::Download(std::uint8_t cobranet, std::uint8_t skipUnitSetup,
                                 std::uint8_t triggers) {
    ReelvoxData_c* root = Document()->Root();
    ReelvoxDataStates_c* states = root != nullptr ? root->States() : nullptr;
    // Nothing can be told about the steps without the states element: that is no success.
    if (states == nullptr || states->Element() == nullptr) {
        return EndDownload(QOR_ERROR);
    }
    if (states->IsEnabled(REELVOX_STATE_SMPTE) == QOR_TRUE) {
        SetState(REELVOX_SYSTEM_SMPTE);
        if (!m_interface) {
            return EndDownload(QOR_ERROR);
        }
        const std::uint8_t ignore = root->IgnoreErrors() == QOR_TRUE ? QOR_TRUE : QOR_FALSE;
        const std::uint8_t r = m_interface->Download(ignore, skipUnitSetup, triggers);
        if (r != QOR_OK) {
            return EndDownload(r);
        }
    }
    if (QORCurrentThreadStopRequested()) {
        return EndDownload(QOR_ERROR);
    }
    if (states->IsEnabled(REELVOX_STATE_VIDEO_SETTINGS) == QOR_TRUE) {
        // The video settings go through the interface's unit type; without one they fail.
        const std::uint8_t unitType = m_interface ? m_interface->GetUnitType() : 0;
        if (!m_interface) {
            SetState(REELVOX_SYSTEM_VIDEO);
            return EndDownload(QOR_ERROR);
        }
        if (unitType == 0 || unitType == 3) {
            SetState(REELVOX_SYSTEM_VIDEO);
            const std::uint8_t r = VideoStep(unitType);
            if (r != QOR_OK) {
                return EndDownload(r);
            }
        }
    }
    if (cobranet == QOR_TRUE && states->IsEnabled(REELVOX_STATE_COBRANET) == QOR_TRUE) {
        SetState(REELVOX_SYSTEM_COBRANET);
        std::uint8_t result = QOR_OK;
        const std::uint8_t ignore = root->IgnoreErrors() == QOR_TRUE ? QOR_TRUE : QOR_FALSE;
        for (auto& device : m_cobranets) {
            if (device && device->Download(ignore) != QOR_OK) {
                result = QOR_ERROR;
            }
        }
        if (result != QOR_OK) {
            return EndDownload(result);
        }
    }
    if (QORCurrentThreadStopRequested()) {
        return EndDownload(QOR_ERROR);
    }
    SetState(REELVOX_SYSTEM_COMPLETE);
    return EndDownload(QOR_OK);
}
