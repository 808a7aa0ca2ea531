// The communication dialogs: "Download Connection" (the method, the serial port, the networked
// devices and verbose logging, in download, retrieve or settings mode), its "Advanced
// Communications" dialog for the serial link's time-out, packet size, pacing and framing, and
// the device dialog that edits one networked device.
#pragma once

#include "controls/dialogkit/data_exchange.h"
#include "link/comm_dialog.h"
#include "platform/qt/exchange_dialog.h"

#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace comm {

// The dotted text's address, none when the text is not four numbers 0-255 joined by points.
std::optional<std::uint32_t> ParseDottedAddress(const std::string& text);
std::string DottedAddress(std::uint32_t address);

// An address in four fields of 0-255 (control 460 of the device dialog).
class CIPAddressCtrl : public QWidget {
public:
    explicit CIPAddressCtrl(QWidget* parent = nullptr);
    void SetAddress(std::uint32_t address);
    // Empties the four fields.
    void ClearAddress();
    // A blank field counts as 0.
    std::uint32_t Address() const;
    QLineEdit* Field(int index) const { return fields_[std::size_t(index)]; }
    // Told whenever a field's text changes.
    std::function<void()> changed;

private:
    std::array<QLineEdit*, 4> fields_{};
};

using DataExchangeDialog = platform::qt::ExchangeDialog<dialogs::DataExchange>;

// "Add/Edit Quenlow Configuration" (dialog 185): the four texts of one device, stored in it on
// OK. The address text changes only when one of its fields was edited.
class CCommQuenlowDlg : public DataExchangeDialog {
public:
    explicit CCommQuenlowDlg(CQuenlowOb& device, QWidget* parent = nullptr);
    // A device needs a name: without one OK says so and keeps the dialog open.
    void accept() override;

protected:
    void DoDataExchange(dialogs::DataExchange& dx) override;

private:
    CQuenlowOb& device_;
    bool addressEdited_ = false;
    QLineEdit* name_;
    CIPAddressCtrl* address_;
    QLineEdit* login_;
    QLineEdit* password_;
};

// "Advanced Communications" (dialog 157): the serial link's time-out, packet size and pacing,
// each chosen from a list, and the framing (1 for the 9-bit radio, 0 for the 8-bit one). A value
// the lists do not offer shows no selection and stays as it is.
class CAdvCommDlg : public DataExchangeDialog {
public:
    explicit CAdvCommDlg(CommDialogRequest& settings, QWidget* parent = nullptr);
    void OnTips();

protected:
    void DoDataExchange(dialogs::DataExchange& dx) override;

private:
    CommDialogRequest& settings_;
    QComboBox* timeout_;
    QComboBox* packetSize_;
    QComboBox* pacing_;
    QRadioButton* nineBit_;
    QRadioButton* eightBit_;
};

// "Download Connection" (dialog 103). Its buttons work on a copy of the request's fields, so
// that Cancel leaves the request as it was; OK stores the copy in the request.
class CCfgCommDlg : public DataExchangeDialog {
public:
    // `saveSettings` runs after a device was edited (the edit reaches the profile at once).
    CCfgCommDlg(CommDialogRequest& request, std::function<void()> saveSettings,
                QWidget* parent = nullptr);

    // The fields as the dialog holds them now.
    const CommDialogRequest& Data() const { return data_; }

    void OnInitDialog();
    void UpdateTitle();
    void RefillDeviceCombo();
    void OnAdvanced();
    void OnAddDevice();
    void OnEditDevice();
    void OnDeleteDevice();

protected:
    void DoDataExchange(dialogs::DataExchange& dx) override;

private:
    void EnableDevices(bool on);
    void OnMethod(int method);
    void OnPortChosen();
    void OnDeviceChosen();
    // Runs the device dialog; false on Cancel.
    bool RunDeviceDialog(CQuenlowOb& device);

    CommDialogRequest& request_;
    CommDialogRequest data_;
    std::function<void()> saveSettings_;
    bool filling_ = false;

    QPushButton* ok_;
    QLabel* message_;
    QRadioButton* serial_;
    QRadioButton* ethernet_;
    QComboBox* ports_;
    QPushButton* advanced_;
    QComboBox* devices_;
    QPushButton* add_;
    QPushButton* edit_;
    QPushButton* delete_;
    QCheckBox* verbose_;
};

// The handler of the communication dialog request.
bool RunCommDialog(CommDialogRequest& request, QWidget* parent,
                   std::function<void()> saveSettings = {});

} // namespace comm
