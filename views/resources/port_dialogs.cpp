#include "views/resources/port_dialogs.h"

#include "compiler/config_compile.h"
#include "controls/dialogkit/dialog_kit.h"
#include "platform/document.h"
#include "platform/paths.h"
#include "platform/qt/qt_ui_services.h"
#include "script/dialog_requests.h"
#include "script/doc_list.h"
#include "script/product.h"
#include "script/protocol_list.h"
#include "script/text_utils.h"
#include "script/vl_doc.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

using platform::qt::FromQString;
using platform::qt::ToQString;

namespace {

constexpr const char* kNone = "None";
constexpr const char* kEventProtocol = "Brevant_Events";
constexpr const char* kFieldsMessage = "All protocol fields must be filled";
constexpr const char* kFieldsCaption = "Edit Port Protocol Configuration";

void Box(const std::string& text, const char* caption) {
    platform::MessageBoxRequest request;
    request.text = text;
    request.caption = caption;
    request.icon = platform::MsgIcon::Exclamation;
    platform::Ui().MessageBox(request);
}

// A sorted list box orders its entries without regard to case.
void AddSorted(QComboBox* box, const std::string& text) {
    const QString item = ToQString(text);
    int at = 0;
    while (at < box->count() && box->itemText(at).compare(item, Qt::CaseInsensitive) <= 0)
        ++at;
    box->insertItem(at, item);
}

// Selects the first entry that begins with `text` (no case); -1 when none does.
int SelectStarting(QComboBox* box, const std::string& text) {
    const QString start = ToQString(text);
    for (int i = 0; i < box->count(); ++i)
        if (box->itemText(i).startsWith(start, Qt::CaseInsensitive)) {
            box->setCurrentIndex(i);
            return i;
        }
    box->setCurrentIndex(-1);
    return -1;
}

CProductPort& PortOf(CVLDoc& doc, int port) {
    return doc.m_pProduct->m_Ports[std::size_t(port)];
}

QComboBox* MakeList(int id, QWidget* parent) {
    auto* box = dialogs::Named(new QComboBox(parent), id);
    box->setMinimumWidth(200);
    return box;
}

// The protocol the port names (a "->" reference by its part after the last '>').
CProtocol* FindProtocolNamed(const CVLDoc& doc, const std::string& name) {
    CProtocol* found = nullptr;
    if (!doc.Services().Protocols().FindProtocol(name, found, false))
        return nullptr;
    return found;
}

// Selects the port's own protocol in `list`; a "->" reference is remembered so that it is
// stored again while its protocol stays the one chosen.
void SelectPortProtocol(const CVLDoc& doc, const std::string& named, QComboBox* list,
                        std::string& protocol, std::string& reference, std::string& referenced) {
    if (CProtocol* found = FindProtocolNamed(doc, named)) {
        protocol = found->GetDisplayName();
        if (HasArrow(named)) {
            reference = named;
            referenced = protocol;
        }
    } else {
        protocol = kNone;
    }
    list->setCurrentIndex(list->findText(ToQString(protocol)));
}

// A port with a fixed protocol puts the list back to it; true when it did.
bool RefuseFixedProtocol(CVLDoc& doc, int port, QComboBox* list, const std::string& protocol,
                         bool& filling) {
    if (!PortOf(doc, port).m_nFixedProtocol)
        return false;
    Box("The Protocol cannot be changed on this port", "Edit Port Configuration");
    filling = true;
    list->setCurrentIndex(list->findText(ToQString(protocol)));
    filling = false;
    return true;
}

// A port linked to another script keeps its link while its protocol stays the one chosen.
std::string StoredProtocol(const std::string& protocol, const std::string& reference,
                           const std::string& referenced) {
    return !reference.empty() && protocol == referenced ? reference : protocol;
}

} // namespace

std::vector<std::string> SplitList(const std::string& list) {
    std::vector<std::string> items;
    std::size_t start = 0;
    while (start <= list.size()) {
        std::size_t end = list.find(',', start);
        if (end == std::string::npos)
            end = list.size();
        std::string item = NormalizeName(std::string_view(list).substr(start, end - start), false);
        if (!item.empty())
            items.push_back(item);
        start = end + 1;
    }
    return items;
}

const CProductPort* ProductPortDefinition(const CVLDoc& doc, int port) {
    if (!doc.m_pProduct || port < 0 || port >= CProduct::kMaxPorts)
        return nullptr;
    CProdList& products = doc.Services().Products();
    std::optional<CProdList::Position> position = doc.m_posProduct;
    if (!position || *position >= products.GetCount())
        position = products.FindByName(doc.m_pProduct->m_strName);
    if (!position)
        return nullptr;
    return &products.GetAt(*position).m_Ports[std::size_t(port)];
}

std::string ScriptReference(const CVLDoc& doc) {
    const std::string remote = doc.m_pProduct ? doc.m_pProduct->m_strRemoteProtocol : "";
    return NormalizeName(doc.GetTitle() + "->" + remote, true);
}

// ---- Serial ----

CEditSerialConfigDlg::CEditSerialConfigDlg(CVLDoc& doc, int port, QWidget* parent)
    : QDialog(parent), doc_(doc), port_(port) {
    setWindowTitle(QStringLiteral("Edit Serial Port Configuration"));
    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("Protocol"), this), 0, 0);
    protocolList_ = MakeList(146, this);
    grid->addWidget(protocolList_, 0, 1);
    const struct {
        const char* text;
        int label, id;
    } rows[4] = {{"Baud Rate", 244, 239},
                 {"Data Bits", 245, 141},
                 {"Stop Bits", 246, 142},
                 {"Parity", 247, 144}};
    for (int i = 0; i < 4; ++i) {
        labels_.push_back(
            dialogs::Named(new QLabel(QString::fromLatin1(rows[i].text), this), rows[i].label));
        settings_.push_back(MakeList(rows[i].id, this));
        grid->addWidget(labels_.back(), i + 1, 0);
        grid->addWidget(settings_.back(), i + 1, 1);
    }
    grid->addWidget(dialogs::OkCancel(*this), 5, 0, 1, 2);

    const CProductPort& current = PortOf(doc_, port_);
    const CProductPort* allowed = ProductPortDefinition(doc_, port_);
    const std::string lists[4] = {
        allowed ? allowed->m_strBaudRates : "", allowed ? allowed->m_strDataBitsList : "",
        allowed ? allowed->m_strStopBitsList : "", allowed ? allowed->m_strParityList : ""};
    filling_ = true;
    for (const auto& protocol : doc_.Services().Protocols()) {
        const std::string name = protocol->GetDisplayName();
        if (name == kEventProtocol ||
            !platform::EqualsNoCase(protocol->m_strInterface, current.m_strInterface) ||
            !platform::EqualsNoCase(protocol->m_strLocation, "local"))
            continue;
        const std::string* own[4] = {&protocol->m_strBaudRate, &protocol->m_strDataBits,
                                     &protocol->m_strStopBits, &protocol->m_strParity};
        bool eligible = true;
        for (int i = 0; i < 4 && eligible; ++i) {
            const auto values = SplitList(*own[i]);
            eligible = std::any_of(values.begin(), values.end(), [&](const std::string& v) {
                return ListContainsName(lists[i], v);
            });
        }
        if (eligible)
            AddSorted(protocolList_, name);
    }
    AddSorted(protocolList_, kNone);
    SelectPortProtocol(doc_, current.m_strProtocol, protocolList_, protocol_, reference_,
                       referenced_);
    filling_ = false;
    values_ = {current.m_strBaudRate, current.m_strDataBits, current.m_strStopBits,
               current.m_strParity};
    FillSettings();
    connect(protocolList_, &QComboBox::currentIndexChanged, this, [this] { OnProtocolChanged(); });
    dialogs::CentreOnDesktop(*this);
}

CProtocol* CEditSerialConfigDlg::FindChosen() const {
    return FindProtocolNamed(doc_, protocol_);
}

void CEditSerialConfigDlg::FillSettings() {
    for (int i = 0; i < 4; ++i) {
        settings_[std::size_t(i)]->setEnabled(true);
        labels_[std::size_t(i)]->setEnabled(true);
    }
    CProtocol* protocol = FindChosen();
    const CProductPort& port = PortOf(doc_, port_);
    if (!protocol || !platform::EqualsNoCase(port.m_strInterface, "Serial")) {
        if (!protocol)
            protocol_ = kNone;
        for (int i = 0; i < 4; ++i) {
            settings_[std::size_t(i)]->setEnabled(false);
            labels_[std::size_t(i)]->setEnabled(false);
        }
        return;
    }
    const CProductPort* allowed = ProductPortDefinition(doc_, port_);
    const std::string lists[4] = {
        allowed ? allowed->m_strBaudRates : "", allowed ? allowed->m_strDataBitsList : "",
        allowed ? allowed->m_strStopBitsList : "", allowed ? allowed->m_strParityList : ""};
    const std::string* own[4] = {&protocol->m_strBaudRate, &protocol->m_strDataBits,
                                 &protocol->m_strStopBits, &protocol->m_strParity};
    allowed_ = true;
    filling_ = true;
    for (int i = 0; i < 4; ++i) {
        QComboBox* box = settings_[std::size_t(i)];
        box->clear();
        const auto values = SplitList(*own[i]);
        for (const std::string& value : values)
            if (ListContainsName(lists[i], value))
                AddSorted(box, value);
        if (box->count() == 0 || values.empty())
            allowed_ = false;
        std::string& current = values_[std::size_t(i)];
        if (SelectStarting(box, current) < 0 && values.size() == 1 && allowed_ &&
            box->count() > 0) {
            box->setCurrentIndex(0);
            current = FromQString(box->itemText(0));
        }
    }
    filling_ = false;
    if (!allowed_)
        Box("This protocol is not allowed on this port.  Please select another one.",
            "Protocol Wizard");
}

void CEditSerialConfigDlg::OnProtocolChanged() {
    if (filling_ || RefuseFixedProtocol(doc_, port_, protocolList_, protocol_, filling_))
        return;
    protocol_ = FromQString(protocolList_->currentText());
    FillSettings();
}

void CEditSerialConfigDlg::accept() {
    CProductPort& port = PortOf(doc_, port_);
    if (CProtocol* protocol = FindChosen()) {
        const std::string* own[4] = {&protocol->m_strBaudRate, &protocol->m_strDataBits,
                                     &protocol->m_strStopBits, &protocol->m_strParity};
        bool bad = false;
        for (int i = 0; i < 4; ++i) {
            QComboBox* box = settings_[std::size_t(i)];
            const std::string chosen = FromQString(box->currentText());
            if (box->currentIndex() < 0 || !ListContainsName(*own[i], chosen))
                bad = true;
            else
                values_[std::size_t(i)] = chosen;
        }
        if (bad && platform::EqualsNoCase(port.m_strInterface, "Serial")) {
            Box(kFieldsMessage, kFieldsCaption);
            return;
        }
    }
    port.m_strProtocol = StoredProtocol(protocol_, reference_, referenced_);
    port.m_strBaudRate = values_[0];
    port.m_strDataBits = values_[1];
    port.m_strStopBits = values_[2];
    port.m_strParity = values_[3];
    QDialog::accept();
}

// ---- SCSI ----

CEditScsiConfigDlg::CEditScsiConfigDlg(CVLDoc& doc, int port, QWidget* parent)
    : QDialog(parent), doc_(doc), port_(port) {
    setWindowTitle(QStringLiteral("Edit SCSI Port Configuration"));
    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("Protocol"), this), 0, 0);
    protocolList_ = MakeList(146, this);
    grid->addWidget(protocolList_, 0, 1);
    grid->addWidget(dialogs::Named(new QLabel(QStringLiteral("SCSI Address"), this), 244), 1, 0);
    addressList_ = MakeList(253, this);
    grid->addWidget(addressList_, 1, 1);
    grid->addWidget(dialogs::OkCancel(*this), 2, 0, 1, 2);

    const CProductPort& current = PortOf(doc_, port_);
    filling_ = true;
    for (const auto& protocol : doc_.Services().Protocols()) {
        const std::string name = protocol->GetDisplayName();
        if (name != kEventProtocol &&
            platform::EqualsNoCase(protocol->m_strInterface, current.m_strInterface))
            AddSorted(protocolList_, name);
    }
    AddSorted(protocolList_, kNone);
    SelectPortProtocol(doc_, current.m_strProtocol, protocolList_, protocol_, reference_,
                       referenced_);
    filling_ = false;
    address_ = current.m_strScsiAddress;
    FillAddresses();
    connect(protocolList_, &QComboBox::currentIndexChanged, this, [this] { OnProtocolChanged(); });
    dialogs::CentreOnDesktop(*this);
}

CProtocol* CEditScsiConfigDlg::FindChosen() const {
    return FindProtocolNamed(doc_, protocol_);
}

void CEditScsiConfigDlg::FillAddresses() {
    addressList_->setEnabled(true);
    CProtocol* protocol = FindChosen();
    if (!protocol) {
        protocol_ = kNone;
        addressList_->setEnabled(false);
        return;
    }
    filling_ = true;
    addressList_->clear();
    const auto values = SplitList(protocol->m_strAddress);
    for (const std::string& value : values)
        AddSorted(addressList_, value);
    const int at = addressList_->findText(ToQString(address_), Qt::MatchFixedString);
    if (at >= 0)
        addressList_->setCurrentIndex(at);
    else if (values.size() == 1)
        addressList_->setCurrentIndex(0);
    else
        addressList_->setCurrentIndex(-1);
    filling_ = false;
}

void CEditScsiConfigDlg::OnProtocolChanged() {
    if (filling_ || RefuseFixedProtocol(doc_, port_, protocolList_, protocol_, filling_))
        return;
    protocol_ = FromQString(protocolList_->currentText());
    FillAddresses();
}

void CEditScsiConfigDlg::accept() {
    CProductPort& port = PortOf(doc_, port_);
    if (CProtocol* protocol = FindChosen()) {
        const std::string chosen = FromQString(addressList_->currentText());
        if (addressList_->currentIndex() < 0 || !ListContainsName(protocol->m_strAddress, chosen)) {
            Box(kFieldsMessage, kFieldsCaption);
            return;
        }
        address_ = chosen;
    }
    port.m_strProtocol = StoredProtocol(protocol_, reference_, referenced_);
    port.m_strScsiAddress = address_;
    QDialog::accept();
}

// ---- Product wizard ----

CProductWizDlg::CProductWizDlg(ProductWizRequest& request, QWidget* parent)
    : QDialog(parent), request_(request) {
    setWindowTitle(QStringLiteral("QOR Product Wizard"));
    auto* layout = new QVBoxLayout(this);
    label_ = dialogs::Named(
        new QLabel(QStringLiteral("Other Scripts currently loaded in Velmora"), this), 356);
    layout->addWidget(label_);
    list_ = dialogs::Named(new QListWidget(this), 354);
    list_->setSortingEnabled(true);
    layout->addWidget(list_);
    auto* group =
        new QGroupBox(QStringLiteral("Open another Script, not currently loaded in Velmora"), this);
    auto* groupLayout = new QVBoxLayout(group);
    auto* browse = dialogs::MakeButton(QStringLiteral("Browse"), 355, group);
    groupLayout->addWidget(browse);
    layout->addWidget(group);
    layout->addWidget(dialogs::OkCancel(*this));
    FillList();
    connect(list_, &QListWidget::currentRowChanged, this, [this] { OnSelectionChanged(); });
    connect(list_, &QListWidget::itemDoubleClicked, this, [this] { accept(); });
    connect(browse, &QPushButton::clicked, this, [this] { Browse(); });
    dialogs::CentreOnDesktop(*this);
}

void CProductWizDlg::FillList() {
    list_->clear();
    if (request_.document) {
        const CDocList& scripts = request_.document->Services().OpenDocuments();
        for (std::size_t i = 0; i < scripts.GetCount(); ++i) {
            const CVLDoc* other = scripts.GetAt(i);
            if (other && other != request_.document)
                list_->addItem(ToQString(ScriptReference(*other)));
        }
    }
    const QString start = ToQString(NormalizeName(request_.protocol, true));
    list_->setCurrentRow(-1);
    for (int i = 0; i < list_->count(); ++i)
        if (list_->item(i)->text().startsWith(start, Qt::CaseInsensitive)) {
            list_->setCurrentRow(i);
            break;
        }
    const bool any = list_->count() > 0;
    label_->setEnabled(any);
    list_->setEnabled(any);
}

void CProductWizDlg::OnSelectionChanged() {
    QListWidgetItem* item = list_->currentItem();
    if (!item || !request_.document)
        return;
    const std::string title = TextBeforeLastArrow(FromQString(item->text()));
    if (const CVLDoc* script =
            request_.document->Services().OpenDocuments().FindScriptByName(title))
        request_.protocol = ScriptReference(*script);
}

void CProductWizDlg::accept() {
    if (!list_->currentItem()) {
        Box("Please select a Script or click Cancel", "QOR Product Wizard");
        return;
    }
    OnSelectionChanged();
    QDialog::accept();
}

void CProductWizDlg::Browse() {
    if (!request_.document)
        return;
    CFileOpenDlg open;
    open.title = "Open File";
    open.filterName = "Velmora files(*.ksf)";
    open.filterMask = "*.ksf";
    if (!platform::Ui().RunDialog(open) || open.path.empty())
        return;
    request_.document->Services().OpenScript(open.path);
    if (request_.returnTo)
        request_.returnTo->ActivateFrame();
    FillList();
}
