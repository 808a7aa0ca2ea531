// "Timecode Start Time": the time of day at which timecode starts a sequence, and the time from
// which the sequence chases incoming timecode, each set by typing or by its spinner.
#pragma once

#include "controls/dialogkit/data_exchange.h"
#include "platform/qt/exchange_dialog.h"

#include <array>
#include <functional>
#include <string>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QScrollBar;

// What the dialog edits, and the sequence's name and the script's frame rate it shows them by.
struct TimecodeStart {
    std::string name;
    int frameRate = 3; // 0 24, 1 25, 2 29.97, 3 30 fps
    bool triggerOn = false;
    bool chaseOn = false;
    int chaseMode = 0;            // 0 reset, 1 jam sync
    std::array<int, 4> trigger{}; // hours, minutes, seconds, frames
    std::array<int, 4> chase{};
};

class CSmpteStartDlg : public platform::qt::ExchangeDialog<dialogs::DataExchange> {
public:
    // The times are shown when the dialog opens; typing and the spinners work on them.
    explicit CSmpteStartDlg(TimecodeStart& values, QWidget* parent = nullptr);

    // The last frame number of a second at a frame-rate code (0 24, 1 25, 2 29.97, 3 30 fps).
    static int LastFrame(int frameRateCode);
    // Carries and borrows a time (hours, minutes, seconds, frames) back into range.
    static void Normalise(std::array<int, 4>& time, int lastFrame);

    // 0 none, 1-4 the trigger's hours to frames, 5-8 the chase's.
    int FocusedField() const { return focus_; }

    // Told when the close box closes the dialog (which then cancels).
    std::function<void()> closeBox;

protected:
    void DoDataExchange(dialogs::DataExchange& dx) override;
    void OnValuesShown() override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int FieldMax(int field) const; // field 0-7
    int& FieldValue(int field);
    void SetFocusField(int field); // 0-7
    void SetSpinner(int field);
    void ApplyEnabling();
    void OnEdited(int field);
    void OnSpinner(int group, int action);
    void ShowAll();

    TimecodeStart& values_;
    int lastFrame_ = 29;
    int focus_ = 0;
    bool showing_ = false;
    QCheckBox* triggerOn_;
    QCheckBox* chaseOn_;
    std::array<QLineEdit*, 8> edits_{};
    std::array<QScrollBar*, 2> spinners_{};
    std::array<QGroupBox*, 2> groups_{};
    std::array<std::array<QLabel*, 5>, 2> labels_{};
    QRadioButton* resetMode_;
    QRadioButton* jamMode_;
};
