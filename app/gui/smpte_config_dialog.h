// "Configure SMPTE" (dialog 166): whether and how the script configures the SMPTE interface of
// its reproducer system, on the core's request; Enable Now and Disable Now switch the unit at
// once, Configure Now closes as OK and asks for the configuration's download.
#pragma once

#include "controls/dialogkit/data_exchange.h"
#include "platform/qt/exchange_dialog.h"
#include "script/smpte_dialog.h"

#include <string>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace config {

inline constexpr const char* kSmpteCaption = "Configure SMPTE";
inline constexpr const char* kDropoutMessage =
    "RS-232 Frame Dropout Value must be between 2-255 frames";

// The dialog works on its own copy of the request, which the buttons and the enabling rules
// change as they go; OK with valid times stores it in the request.
class CSmpteDialog : public platform::qt::ExchangeDialog<dialogs::DataExchange> {
public:
    explicit CSmpteDialog(CSmpteDlg& request, QWidget* parent = nullptr);

    // The dialog's values as it holds them now.
    const CSmpteDlg& Values() const { return m_; }

    // The enabling rules, with SMPTE used or not.
    void ApplyRules(bool used);
    void OnConfigureNow();
    void OnEnableNow(bool on);

protected:
    void DoDataExchange(dialogs::DataExchange& dx) override;
    void OnValuesShown() override;
    // The times and the dropout tolerance are checked; when they pass the request takes the
    // dialog's values.
    bool Validate() override;

private:
    void ShowControls();
    void ReadControls();
    bool Generates() const;
    void OnDeviceChanged(int index);
    void OnModeChanged(int index);
    void OnEndBehaviour(int index);
    void OnStartTimeEdited();
    void OnPort(bool midi);
    void OnTimeStamp();
    void OnDropoutText(const QString& text);
    void EnableDropout();
    void FillSampleClocks();
    // The first invalid time's message, or none.
    std::string CheckTimes() const;

    CSmpteDlg& request_;
    CSmpteDlg m_;
    bool filling_ = false;

    QRadioButton* notUsed_;
    QRadioButton* used_;
    QComboBox* device_;
    QGroupBox* deviceGroup_;
    QComboBox* sampleClock_;
    QLabel* sampleClockLabel_;
    QLabel* khzLabel_;
    QComboBox* frameRate_;
    QLabel* frameRateLabel_;
    QComboBox* mode_;
    QGroupBox* modeGroup_;
    QCheckBox* powerUp_;
    QGroupBox* genlock_;
    QRadioButton* pal_;
    QRadioButton* ntsc_;
    QGroupBox* generation_;
    QLineEdit* preroll_;
    QLabel* prerollLabel_;
    QLineEdit* start_;
    QLabel* startLabel_;
    QLineEdit* end_;
    QLabel* endLabel_;
    QComboBox* endBehaviour_;
    QLabel* endBehaviourLabel_;
    QCheckBox* mute_;
    QCheckBox* restart_;
    QGroupBox* portGroup_;
    QRadioButton* midi_;
    QRadioButton* rs232_;
    QCheckBox* useMtc_;
    QCheckBox* timeStamp_;
    QGroupBox* dropoutGroup_;
    QComboBox* dropout_;
    QLabel* dropoutLabel_;
    QLabel* framesLabel_;
    QPushButton* configureNow_;
    QPushButton* enableNow_;
    QPushButton* disableNow_;
};

// The handler of the SMPTE request.
bool RunSmpteDialog(CSmpteDlg& request, QWidget* parent);

} // namespace config
