// The dialogs that set up one port of a script: its serial settings with a device protocol,
// its SCSI address with a protocol, or a link to another open script's controller. The serial
// and SCSI dialogs store into the port themselves on OK; the product wizard answers the text
// the port takes.
#pragma once

#include "platform/ui_services.h"

#include <QDialog>
#include <string>
#include <vector>

class CProtocol;
struct CProductPort;
class CVLDoc;
class QComboBox;
class QLabel;
class QListWidget;
namespace platform {
class View;
}

// The requests the port table runs them through.
struct EditSerialConfigRequest : platform::DialogRequest {
    static constexpr const char* kDialogName = "CEditSerialConfigDlg";
    const char* DialogName() const override { return kDialogName; }
    CVLDoc* document = nullptr;
    int port = 0;
};
struct EditScsiConfigRequest : platform::DialogRequest {
    static constexpr const char* kDialogName = "CEditScsiConfigDlg";
    const char* DialogName() const override { return kDialogName; }
    CVLDoc* document = nullptr;
    int port = 0;
};
struct ProductWizRequest : platform::DialogRequest {
    static constexpr const char* kDialogName = "CProductWizDlg";
    const char* DialogName() const override { return kDialogName; }
    CVLDoc* document = nullptr;         // the script of the port: not listed
    platform::View* returnTo = nullptr; // its window, active again after Browse
    std::string protocol;               // in: the port's protocol; out: the chosen reference
};

// The allowed values of a port as the script's product file lists them (the script's copy
// keeps only the current values).
const CProductPort* ProductPortDefinition(const CVLDoc& doc, int port);
// The items of a comma-separated list, trimmed, empty items left out.
std::vector<std::string> SplitList(const std::string& list);

class CEditSerialConfigDlg : public QDialog {
public:
    CEditSerialConfigDlg(CVLDoc& doc, int port, QWidget* parent = nullptr);

    QComboBox* ProtocolList() const { return protocolList_; }
    QComboBox* Setting(int i) const {
        return settings_[std::size_t(i)];
    } // baud, data, stop, parity
    // The protocol list's selection changed (also the double click).
    void OnProtocolChanged();
    void accept() override;

private:
    void FillSettings();
    CProtocol* FindChosen() const;

    CVLDoc& doc_;
    int port_;
    std::string protocol_;
    std::string reference_; // the port's "->" protocol, kept while its protocol stays chosen
    std::string referenced_;
    std::vector<std::string> values_; // baud, data bits, stop bits, parity
    bool allowed_ = true;
    bool filling_ = false;
    QComboBox* protocolList_;
    std::vector<QComboBox*> settings_;
    std::vector<QLabel*> labels_;
};

class CEditScsiConfigDlg : public QDialog {
public:
    CEditScsiConfigDlg(CVLDoc& doc, int port, QWidget* parent = nullptr);

    QComboBox* ProtocolList() const { return protocolList_; }
    QComboBox* AddressList() const { return addressList_; }
    void OnProtocolChanged();
    void accept() override;

private:
    void FillAddresses();
    CProtocol* FindChosen() const;

    CVLDoc& doc_;
    int port_;
    std::string protocol_;
    std::string reference_;
    std::string referenced_;
    std::string address_;
    bool filling_ = false;
    QComboBox* protocolList_;
    QComboBox* addressList_;
};

class CProductWizDlg : public QDialog {
public:
    explicit CProductWizDlg(ProductWizRequest& request, QWidget* parent = nullptr);

    QListWidget* Scripts() const { return list_; }
    QLabel* ListLabel() const { return label_; }
    void Browse();
    void accept() override;

private:
    void FillList();
    void OnSelectionChanged();

    ProductWizRequest& request_;
    QListWidget* list_;
    QLabel* label_;
};

// The normalised reference of an open script as a port names it: its title, "->" and its
// product's remote protocol, blanks turned to '_'.
std::string ScriptReference(const CVLDoc& doc);
