// The communication dialogs: "Download Connection" (the method, the serial port, the networked
// devices and verbose logging, in download, retrieve or settings mode), its "Advanced
// Communications" dialog for the serial link's time-out, packet size, pacing and framing, and
// the device dialog that edits one networked device.
#pragma once

#include "link/comm_dialog.h"

#include <QDialog>
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

// "Add/Edit Quenlow Configuration" (dialog 185): the four texts of one device.
class CCommQuenlowDlg : public QDialog {
public:
    explicit CCommQuenlowDlg(QWidget* parent = nullptr);
    int exec() override;
    void accept() override;

    std::string m_strName;
    std::string m_strLogin;
    std::string m_strIP;
    std::string m_strPassword;

private:
    QLineEdit* name_;
    CIPAddressCtrl* address_;
    QLineEdit* login_;
    QLineEdit* password_;
};

// "Advanced Communications" (dialog 157): the combo boxes' indexes (-1: no selection) and the
// framing (1 for the 9-bit radio, 0 for the 8-bit one).
class CAdvCommDlg : public QDialog {
public:
    explicit CAdvCommDlg(QWidget* parent = nullptr);
    int exec() override;
    void accept() override;
    void OnTips();

    int m_nTimeout = -1;
    int m_nPacketSize = -1;
    int m_nPacing = -1;
    int m_nBitMode = 1;

private:
    QComboBox* timeout_;
    QComboBox* packetSize_;
    QComboBox* pacing_;
    QRadioButton* nineBit_;
    QRadioButton* eightBit_;
};

// "Download Connection" (dialog 103) on a copy of the request's fields; OK copies them back.
class CCfgCommDlg : public QDialog {
public:
    // `saveSettings` runs after a device was edited (the edit reaches the profile at once).
    CCfgCommDlg(CommDialogRequest& request, std::function<void()> saveSettings,
                QWidget* parent = nullptr);
    int exec() override;
    void accept() override;

    // The fields as the dialog holds them now.
    const CommDialogRequest& Data() const { return data_; }

    void OnInitDialog();
    void UpdateTitle();
    void RefillDeviceCombo();
    void OnAdvanced();
    void OnAddDevice();
    void OnEditDevice();
    void OnDeleteDevice();

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
