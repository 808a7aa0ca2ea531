// The script's set-up dialogs: "File New" (dialog 152, the product of a new script), "Configure
// Unit" (105), "Configure Script" (104) and the Script Wizard's questions (140). Each works on
// the core's request: its fields are shown when the dialog opens and written back only by an
// OK whose checks pass.
#pragma once

#include "controls/dialogkit/data_exchange.h"
#include "platform/qt/exchange_dialog.h"

#include <string>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QRadioButton;
struct CCfgScriptDlg;
struct CCfgUnitDlg;
struct CNewScriptDlg;
struct CScriptGenDlg;

namespace config {

// The unit type question of "Configure Unit".
inline constexpr const char* kUnitTypeQuestion =
    "Changing Unit Type Will Change All Configuration Parameters.  Continue?";
// The external frequencies the script reader and the compiler accept, in Hz.
inline constexpr double kMaxExternalFrequency = 6120.0;

using DataExchangeDialog = platform::qt::ExchangeDialog<dialogs::DataExchange>;

class CNewScriptDialog : public DataExchangeDialog {
public:
    explicit CNewScriptDialog(CNewScriptDlg& request, QWidget* parent = nullptr);
    // With no product to choose OK acts as Cancel.
    void accept() override;

protected:
    void DoDataExchange(dialogs::DataExchange& dx) override;

private:
    CNewScriptDlg& request_;
    QComboBox* products_;
};

class CCfgUnitDialog : public DataExchangeDialog {
public:
    explicit CCfgUnitDialog(CCfgUnitDlg& request, QWidget* parent = nullptr);
    // A changed unit type is asked about before anything is read.
    void accept() override;

protected:
    void DoDataExchange(dialogs::DataExchange& dx) override;
    void OnValuesShown() override;

private:
    void ShowUnitTypes();
    void EnableFrequency(bool on);

    CCfgUnitDlg& request_;
    std::string openingProduct_;
    std::string selectedProduct_;
    QListWidget* unitTypes_;
    QComboBox* frameRate_;
    QLineEdit* address_;
    QRadioButton* processor_;
    QRadioButton* external_;
    QComboBox* frequency_;
    QLabel* frequencyLabel_;
    QLabel* hzLabel_;
};

class CCfgScriptDialog : public DataExchangeDialog {
public:
    explicit CCfgScriptDialog(CCfgScriptDlg& request, QWidget* parent = nullptr);

protected:
    void DoDataExchange(dialogs::DataExchange& dx) override;
    void OnValuesShown() override;

private:
    CCfgScriptDlg& request_;
    QPlainTextEdit* description_;
    QLineEdit* version_;
    QLineEdit* authors_[3];
    QCheckBox* writeProtected_;
    QCheckBox* writeHeaders_;
};

class CScriptGenDialog : public DataExchangeDialog {
public:
    explicit CScriptGenDialog(CScriptGenDlg& request, QWidget* parent = nullptr);

protected:
    void DoDataExchange(dialogs::DataExchange& dx) override;
    void OnValuesShown() override;

private:
    CScriptGenDlg& request_;
    QLineEdit* showName_;
    QLineEdit* author_;
    QLineEdit* players_;
    QRadioButton* internal_;
    QRadioButton* external_;
    QRadioButton* harnel16_;
    QRadioButton* harnel4_;
};

// The handlers of the four requests.
bool RunNewScriptDialog(CNewScriptDlg& request, QWidget* parent);
bool RunCfgUnitDialog(CCfgUnitDlg& request, QWidget* parent);
bool RunCfgScriptDialog(CCfgScriptDlg& request, QWidget* parent);
bool RunScriptGenDialog(CScriptGenDlg& request, QWidget* parent);

} // namespace config
