#include "app/gui/comm_dialogs.h"

#include "controls/dialogkit/dialog_kit.h"
#include "link/serial_link.h"
#include "platform/qt/qt_ui_services.h"
#include "platform/ui_services.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <charconv>

using platform::qt::FromQString;
using platform::qt::ToQString;

namespace comm {

namespace {

constexpr int kComPorts = 8;

platform::MsgResult Ask(const std::string& text, const std::string& caption,
                        platform::MsgButtons buttons, platform::MsgIcon icon) {
    platform::MessageBoxRequest request;
    request.text = text;
    request.caption = caption.empty() ? platform::DefaultCaption() : caption;
    request.buttons = buttons;
    request.icon = icon;
    return platform::Ui().MessageBox(request);
}

// A device name another device holds: Yes replaces that one, No asks for a name again.
platform::MsgResult AskOverwrite() {
    return Ask("Name already exists, do you wish to overwrite?", std::string(),
               platform::MsgButtons::YesNoCancel, platform::MsgIcon::Question);
}

// The text as paragraphs: a single line break becomes a blank, so that the box wraps the lines
// to its own width; an empty line still parts two paragraphs.
std::string AsParagraphs(std::string text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool single = text[i] == '\n' && (i == 0 || text[i - 1] != '\n') &&
                            (i + 1 == text.size() || text[i + 1] != '\n');
        if (single)
            text[i] = ' ';
    }
    return text;
}

// The list index of the device shown as `name`: the last one of that name, -1 for none.
int DeviceIndexByName(const CQuenlowList& devices, const std::string& name) {
    int found = -1;
    for (int i = 0; i < int(devices.GetCount()); ++i)
        if (devices.GetAt(i)->m_strName == name)
            found = i;
    return found;
}

} // namespace

std::optional<std::uint32_t> ParseDottedAddress(const std::string& text) {
    std::uint32_t address = 0;
    const char* p = text.data();
    const char* end = text.data() + text.size();
    for (int part = 0; part < 4; ++part) {
        if (part > 0) {
            if (p == end || *p != '.')
                return std::nullopt;
            ++p;
        }
        unsigned value = 0;
        const auto [next, error] = std::from_chars(p, end, value);
        if (error != std::errc() || next == p || value > 255)
            return std::nullopt;
        address = (address << 8) | value;
        p = next;
    }
    if (p != end)
        return std::nullopt;
    return address;
}

std::string DottedAddress(std::uint32_t address) {
    return std::to_string((address >> 24) & 0xFF) + "." + std::to_string((address >> 16) & 0xFF) +
           "." + std::to_string((address >> 8) & 0xFF) + "." + std::to_string(address & 0xFF);
}

// ---- Address control ----

CIPAddressCtrl::CIPAddressCtrl(QWidget* parent) : QWidget(parent) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    for (int i = 0; i < 4; ++i) {
        auto* field = new QLineEdit(this);
        field->setObjectName(QStringLiteral("field_%1").arg(i));
        auto* validator = new QIntValidator(0, 255, field);
        // The fields are read back with the C locale's digits: no grouping of the user's.
        validator->setLocale(QLocale::c());
        field->setValidator(validator);
        field->setMaxLength(3);
        field->setAlignment(Qt::AlignCenter);
        field->setFixedWidth(field->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 8);
        connect(field, &QLineEdit::textChanged, this, [this] {
            if (changed)
                changed();
        });
        fields_[std::size_t(i)] = field;
        layout->addWidget(field);
        if (i < 3)
            layout->addWidget(new QLabel(QStringLiteral("."), this));
    }
    layout->addStretch();
}

void CIPAddressCtrl::SetAddress(std::uint32_t address) {
    for (int i = 0; i < 4; ++i)
        fields_[std::size_t(i)]->setText(QString::number((address >> (24 - 8 * i)) & 0xFF));
}

void CIPAddressCtrl::ClearAddress() {
    for (QLineEdit* field : fields_)
        field->clear();
}

std::uint32_t CIPAddressCtrl::Address() const {
    std::uint32_t address = 0;
    for (QLineEdit* field : fields_)
        address = (address << 8) | (field->text().toUInt() & 0xFF);
    return address;
}

// ---- Device dialog ----

CCommQuenlowDlg::CCommQuenlowDlg(CQuenlowOb& device, QWidget* parent)
    : DataExchangeDialog(parent), device_(device) {
    placement = dialogs::CentreOnParent;
    setWindowTitle(QStringLiteral("Add/Edit Quenlow Configuration"));
    auto* form = new QFormLayout;
    name_ = dialogs::Named(new QLineEdit(this), 464);
    address_ = dialogs::Named(new CIPAddressCtrl(this), 460);
    login_ = dialogs::Named(new QLineEdit(this), 461);
    password_ = dialogs::Named(new QLineEdit(this), 462);
    password_->setEchoMode(QLineEdit::Password);
    form->addRow(QStringLiteral("Name"), name_);
    form->addRow(QStringLiteral("IP Address"), address_);
    form->addRow(QStringLiteral("Login"), login_);
    form->addRow(QStringLiteral("Password"), password_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(dialogs::OkCancel(*this));
}

void CCommQuenlowDlg::DoDataExchange(dialogs::DataExchange& dx) {
    dx.Text(name_, device_.m_strName);
    dx.Text(login_, device_.m_strLogin);
    dx.Text(password_, device_.m_strPassword);
    if (dx.IsReading()) {
        if (addressEdited_)
            device_.m_strIP = DottedAddress(address_->Address());
        return;
    }
    address_->changed = nullptr;
    // A text that is no address leaves the fields blank.
    if (const std::optional<std::uint32_t> address = ParseDottedAddress(device_.m_strIP))
        address_->SetAddress(*address);
    else
        address_->ClearAddress();
    addressEdited_ = false;
    address_->changed = [this] { addressEdited_ = true; };
}

void CCommQuenlowDlg::accept() {
    if (name_->text().isEmpty()) {
        Ask("You must enter a Device Name!", "Insufficient Data", platform::MsgButtons::Ok,
            platform::MsgIcon::Exclamation);
        name_->setFocus();
        return;
    }
    DataExchangeDialog::accept();
}

// ---- Advanced dialog ----

CAdvCommDlg::CAdvCommDlg(CommDialogRequest& settings, QWidget* parent)
    : DataExchangeDialog(parent), settings_(settings) {
    placement = dialogs::CentreOnDesktop;
    setWindowTitle(QStringLiteral("Advanced Communications"));
    timeout_ = dialogs::Named(new QComboBox(this), 261);
    timeout_->addItems({QStringLiteral("1/2 Second ( faster, less reliable )"),
                        QStringLiteral("1 Second"), QStringLiteral("3 Seconds *"),
                        QStringLiteral("10 Seconds"),
                        QStringLiteral("30 Seconds ( slower, more reliable )")});
    packetSize_ = dialogs::Named(new QComboBox(this), 264);
    packetSize_->addItems({QStringLiteral("8 bytes ( slower, more reliable )"),
                           QStringLiteral("16 bytes"), QStringLiteral("32 bytes"),
                           QStringLiteral("64 bytes"), QStringLiteral("128 bytes *"),
                           QStringLiteral("256 bytes ( faster, less reliable )")});
    pacing_ = dialogs::Named(new QComboBox(this), 267);
    pacing_->addItems({QStringLiteral("0 ms ( faster, less reliable )"), QStringLiteral("50 ms"),
                       QStringLiteral("100 ms"), QStringLiteral("150 ms *"),
                       QStringLiteral("200 ms ( slower, more reliable )")});
    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Serial Port Timeout"), this), 0, 0);
    grid->addWidget(timeout_, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Download Data Packet Size"), this), 1, 0);
    grid->addWidget(packetSize_, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("Packet Pacing ( Delay between Packets )"), this), 2,
                    0);
    grid->addWidget(pacing_, 2, 1);

    auto* mode = new QGroupBox(QStringLiteral("Download Mode"), this);
    auto* radios = new QVBoxLayout(mode);
    nineBit_ = dialogs::MakeRadio(QStringLiteral("Brevant 9-bit"), 466, mode);
    eightBit_ = dialogs::MakeRadio(QStringLiteral("Brevant 8-bit"), 467, mode);
    radios->addWidget(nineBit_);
    radios->addWidget(eightBit_);

    QPushButton* tips = dialogs::MakeButton(QStringLiteral("Tips"), 269, this);
    connect(tips, &QPushButton::clicked, this, [this] { OnTips(); });
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(mode);
    bottom->addStretch();
    bottom->addWidget(tips, 0, Qt::AlignBottom);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(bottom);
    layout->addWidget(dialogs::OkCancel(*this));
}

void CAdvCommDlg::DoDataExchange(dialogs::DataExchange& dx) {
    if (!dx.IsReading()) {
        timeout_->setCurrentIndex(showlink::TimeoutIndex(settings_.m_nTimeout));
        packetSize_->setCurrentIndex(showlink::PacketSizeIndex(settings_.m_nPacketSize));
        pacing_->setCurrentIndex(
            settings_.m_nPacing >= 0 && settings_.m_nPacing <= 4 ? settings_.m_nPacing : -1);
    } else {
        settings_.m_nTimeout =
            showlink::TimeoutForIndex(timeout_->currentIndex(), settings_.m_nTimeout);
        settings_.m_nPacketSize =
            showlink::PacketSizeForIndex(packetSize_->currentIndex(), settings_.m_nPacketSize);
        // A pacing left without a selection keeps its value rather than becoming -1.
        if (pacing_->currentIndex() >= 0)
            settings_.m_nPacing = pacing_->currentIndex();
    }
    int framing = settings_.m_nBitMode == 1 ? 0 : 1; // the radios' order: 9-bit, 8-bit
    dx.Radio({nineBit_, eightBit_}, framing);
    if (dx.IsReading())
        settings_.m_nBitMode = framing == 0 ? 1 : 0;
}

void CAdvCommDlg::OnTips() {
    Ask(AsParagraphs(
            "If you are downloading directly to a Show Controller, the optimum selection\n"
            "is 256 byte Packet Size and 0 ms Pacing.  If you are downloading through\n"
            "a Reelvox or Tembrel, select the defaults for Packet Size and Pacing.\n\n"
            "The Timeout doesn't matter that much, and should generally be left\n"
            "at 3 seconds.\n\n"
            "If you are using a USB to Serial adapter, you most likely need to use\n"
            "the Brevant 8-bit Mode instead of Brevant 9-bit.  Before doing so, you might\n"
            "want to verify that the firmware of your Show Controller is capable of doing this.\n"
            "If not, a firmware upgrade will be required to use this feature.\n\n"
            "Troubleshooting:  If you are having problems, first try changing the method\n"
            "of communication, then try increasing the timeout, then try decreasing the\n"
            "packet size and increasing the pacing."),
        "Advanced Communication Tips", platform::MsgButtons::Ok, platform::MsgIcon::None);
}

// ---- Communication dialog ----

CCfgCommDlg::CCfgCommDlg(CommDialogRequest& request, std::function<void()> saveSettings,
                         QWidget* parent)
    : DataExchangeDialog(parent), request_(request), data_(request),
      saveSettings_(std::move(saveSettings)) {
    placement = dialogs::CentreOnDesktop;
    setWindowTitle(QStringLiteral("Download Connection"));
    message_ =
        dialogs::Named(new QLabel(QStringLiteral("Do you want to Download Now?"), this), 367);
    message_->setWordWrap(true);

    auto* method = new QGroupBox(QStringLiteral("Method"), this);
    auto* methodRow = new QHBoxLayout(method);
    serial_ = dialogs::MakeRadio(QStringLiteral("Serial"), 369, method);
    ethernet_ = dialogs::MakeRadio(QStringLiteral("Ethernet"), 370, method);
    methodRow->addWidget(serial_);
    methodRow->addWidget(ethernet_);
    connect(serial_, &QRadioButton::clicked, this, [this] { OnMethod(0); });
    connect(ethernet_, &QRadioButton::clicked, this, [this] { OnMethod(1); });

    auto* serialBox = new QGroupBox(QStringLiteral("Serial Settings"), this);
    auto* serialRow = new QHBoxLayout(serialBox);
    ports_ = dialogs::Named(new QComboBox(serialBox), 468);
    advanced_ = dialogs::MakeButton(QStringLiteral("Advanced"), 260, serialBox);
    serialRow->addWidget(new QLabel(QStringLiteral("COM Port"), serialBox));
    serialRow->addWidget(ports_, 1);
    serialRow->addWidget(advanced_);
    connect(ports_, &QComboBox::activated, this, [this] { OnPortChosen(); });
    connect(advanced_, &QPushButton::clicked, this, [this] { OnAdvanced(); });

    auto* ethernetBox = new QGroupBox(QStringLiteral("Ethernet Settings"), this);
    auto* ethernetGrid = new QGridLayout(ethernetBox);
    devices_ = dialogs::Named(new QComboBox(ethernetBox), 454);
    devices_->setMinimumContentsLength(20);
    add_ = dialogs::MakeButton(QStringLiteral("Add"), 470, ethernetBox);
    edit_ = dialogs::MakeButton(QStringLiteral("Edit"), 465, ethernetBox);
    delete_ = dialogs::MakeButton(QStringLiteral("Delete"), 466, ethernetBox);
    ethernetGrid->addWidget(new QLabel(QStringLiteral("Device"), ethernetBox), 0, 0);
    ethernetGrid->addWidget(devices_, 0, 1, 1, 3);
    ethernetGrid->addWidget(add_, 1, 1);
    ethernetGrid->addWidget(edit_, 1, 2);
    ethernetGrid->addWidget(delete_, 1, 3);
    connect(devices_, &QComboBox::activated, this, [this] { OnDeviceChosen(); });
    connect(add_, &QPushButton::clicked, this, [this] { OnAddDevice(); });
    connect(edit_, &QPushButton::clicked, this, [this] { OnEditDevice(); });
    connect(delete_, &QPushButton::clicked, this, [this] { OnDeleteDevice(); });

    verbose_ = dialogs::MakeCheck(QStringLiteral("Download Messages Verbose"), 471, this);

    QDialogButtonBox* buttons = dialogs::OkCancel(*this);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    ok_->setText(QStringLiteral("Download"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(message_);
    layout->addWidget(method);
    layout->addWidget(serialBox);
    layout->addWidget(ethernetBox);
    layout->addWidget(verbose_);
    layout->addWidget(buttons);
}

void CCfgCommDlg::DoDataExchange(dialogs::DataExchange& dx) {
    if (!dx.IsReading()) {
        OnInitDialog();
        return;
    }
    dx.Check(verbose_, data_.m_bVerbose);
    request_.m_nPort = data_.m_nPort;
    request_.m_nTimeout = data_.m_nTimeout;
    request_.m_nPacing = data_.m_nPacing;
    request_.m_nPacketSize = data_.m_nPacketSize;
    request_.m_nBitMode = data_.m_nBitMode;
    request_.m_nMethod = data_.m_nMethod;
    request_.m_nDevice = data_.m_nDevice;
    request_.m_devices = data_.m_devices;
    request_.m_bVerbose = data_.m_bVerbose;
}

void CCfgCommDlg::EnableDevices(bool on) {
    devices_->setEnabled(on);
    delete_->setEnabled(on);
    edit_->setEnabled(on);
    ethernet_->setEnabled(on);
}

void CCfgCommDlg::OnInitDialog() {
    verbose_->setChecked(data_.m_bVerbose);
    (data_.m_nMethod == 1 ? ethernet_ : serial_)->setChecked(true);

    if (!data_.m_devices.IsEmpty()) {
        EnableDevices(true);
        RefillDeviceCombo();
    } else {
        devices_->clear();
        EnableDevices(false);
        serial_->setChecked(true);
        data_.m_nMethod = 0;
        UpdateTitle();
        data_.m_nDevice = -1;
    }

    ports_->clear();
    for (int i = 0; i < kComPorts; ++i)
        if (ProbeComPort(i))
            ports_->addItem(QStringLiteral("COM%1").arg(i + 1));
    if (ports_->count() > 0) {
        ports_->setEnabled(true);
        advanced_->setEnabled(true);
        serial_->setEnabled(true);
        int at = ports_->findText(QStringLiteral("COM%1").arg(data_.m_nPort + 1));
        if (at < 0) {
            at = 0;
            data_.m_nPort = ports_->itemText(0).mid(3).toInt() - 1;
        }
        ports_->setCurrentIndex(at);
    } else {
        ports_->setEnabled(false);
        advanced_->setEnabled(false);
        if (!data_.m_devices.IsEmpty()) {
            ethernet_->setChecked(true);
            data_.m_nMethod = 1;
        }
        serial_->setEnabled(false);
    }

    UpdateTitle();
    if (data_.m_bSettingsOnly)
        ok_->setText(QStringLiteral("Set"));
    else if (data_.m_bRetrieve)
        ok_->setText(QStringLiteral("Retrieve"));
    message_->setText(ToQString(data_.m_strMessage));
}

void CCfgCommDlg::UpdateTitle() {
    setWindowTitle(ToQString(data_.Title()));
}

void CCfgCommDlg::RefillDeviceCombo() {
    devices_->clear();
    for (int i = 0; i < int(data_.m_devices.GetCount()); ++i)
        devices_->addItem(ToQString(data_.m_devices.GetAt(i)->m_strName));
    if (devices_->count() == 0)
        return;
    const CQuenlowOb* device = data_.m_devices.GetAt(data_.m_nDevice);
    const int at = device ? devices_->findText(ToQString(device->m_strName)) : -1;
    if (at >= 0) {
        devices_->setCurrentIndex(at);
    } else {
        devices_->setCurrentIndex(0);
        data_.m_nDevice = 0;
    }
}

void CCfgCommDlg::OnMethod(int method) {
    data_.m_nMethod = method;
    UpdateTitle();
}

void CCfgCommDlg::OnPortChosen() {
    const QString text = ports_->currentText();
    if (text.size() > 3)
        data_.m_nPort = text.mid(3).toInt() - 1;
    UpdateTitle();
}

void CCfgCommDlg::OnDeviceChosen() {
    data_.m_nDevice = DeviceIndexByName(data_.m_devices, FromQString(devices_->currentText()));
    UpdateTitle();
}

void CCfgCommDlg::OnAdvanced() {
    CAdvCommDlg dialog(data_, this);
    dialog.Run();
}

bool CCfgCommDlg::RunDeviceDialog(CQuenlowOb& device) {
    CCommQuenlowDlg dialog(device, this);
    return dialog.Run() == QDialog::Accepted;
}

void CCfgCommDlg::OnAddDevice() {
    CQuenlowOb device;
    for (;;) {
        if (!RunDeviceDialog(device))
            return;
        if (devices_->findText(ToQString(device.m_strName)) < 0)
            break;
        const platform::MsgResult answer = AskOverwrite();
        if (answer == platform::MsgResult::Cancel)
            return;
        if (answer == platform::MsgResult::Yes) {
            const int existing = DeviceIndexByName(data_.m_devices, device.m_strName);
            if (existing >= 0)
                data_.m_devices.RemoveAt(existing);
            break;
        }
        // No: the device dialog again, with what was typed.
    }
    data_.m_devices.AddTail(device);
    data_.m_nDevice = int(data_.m_devices.GetCount()) - 1;
    RefillDeviceCombo();
    EnableDevices(true);
    UpdateTitle();
}

void CCfgCommDlg::OnEditDevice() {
    int index = DeviceIndexByName(data_.m_devices, FromQString(devices_->currentText()));
    CQuenlowOb* device = data_.m_devices.GetAt(index);
    if (!device)
        return;
    CQuenlowOb edited = *device;
    for (;;) {
        if (!RunDeviceDialog(edited))
            return;
        // Names stay unique: a name another device holds gets Add's question.
        const int other = DeviceIndexByName(data_.m_devices, edited.m_strName);
        if (other < 0 || other == index)
            break;
        const platform::MsgResult answer = AskOverwrite();
        if (answer == platform::MsgResult::Cancel)
            return;
        if (answer == platform::MsgResult::Yes) {
            data_.m_devices.RemoveAt(other);
            if (other < index)
                --index;
            break;
        }
        // No: the device dialog again, with what was typed.
    }
    *data_.m_devices.GetAt(index) = edited;
    if (saveSettings_)
        saveSettings_();
    // The combo box shows the edited name, so that choosing and deleting by name still work.
    data_.m_nDevice = index;
    RefillDeviceCombo();
    UpdateTitle();
}

void CCfgCommDlg::OnDeleteDevice() {
    const int position = devices_->currentIndex();
    const std::string name = FromQString(devices_->currentText());
    if (position < 0)
        return;
    for (int i = int(data_.m_devices.GetCount()) - 1; i >= 0; --i)
        if (data_.m_devices.GetAt(i)->m_strName == name)
            data_.m_devices.RemoveAt(i);
    RefillDeviceCombo();
    if (data_.m_devices.IsEmpty()) {
        EnableDevices(false);
        serial_->setChecked(true);
        data_.m_nMethod = 0;
        data_.m_nDevice = -1;
    } else {
        const int at = position < devices_->count() ? position : devices_->count() - 1;
        devices_->setCurrentIndex(at);
        // The chosen device is the one shown.
        data_.m_nDevice = DeviceIndexByName(data_.m_devices, FromQString(devices_->itemText(at)));
    }
    UpdateTitle();
}

bool RunCommDialog(CommDialogRequest& request, QWidget* parent,
                   std::function<void()> saveSettings) {
    CCfgCommDlg dialog(request, std::move(saveSettings), parent);
    return dialog.Run() == QDialog::Accepted;
}

} // namespace comm
