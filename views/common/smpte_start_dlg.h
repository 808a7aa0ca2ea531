// "Timecode Start Time": the time of day at which timecode starts a sequence, and the time from
// which the sequence chases incoming timecode, each set by typing or by its spinner.
#pragma once

#include <QDialog>
#include <array>
#include <functional>
#include <string>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QScrollBar;
namespace dialogs {
class DataExchange;
}

class CSmpteStartDlg : public QDialog {
public:
    explicit CSmpteStartDlg(QWidget* parent = nullptr);

    int exec() override;
    void accept() override;

    // The last frame number of a second at a frame-rate code (0 24, 1 25, 2 29.97, 3 30 fps).
    static int LastFrame(int frameRateCode);
    // Carries and borrows a time (hours, minutes, seconds, frames) back into range.
    static void Normalise(std::array<int, 4>& time, int lastFrame);

    std::string m_strName;
    int m_nFrameRate = 3;
    bool m_bTriggerOn = false;
    bool m_bChaseOn = false;
    int m_nChaseMode = 0;             // 0 reset, 1 jam sync
    std::array<int, 4> m_anTrigger{}; // hours, minutes, seconds, frames
    std::array<int, 4> m_anChase{};
    // 0 none, 1-4 the trigger's hours to frames, 5-8 the chase's.
    int FocusedField() const { return focus_; }

    // Told when the close box closes the dialog (which then cancels).
    std::function<void()> closeBox;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void DoDataExchange(dialogs::DataExchange& dx);
    int FieldMax(int field) const; // field 0-7
    int& FieldValue(int field);
    void SetFocusField(int field); // 0-7
    void SetSpinner(int field);
    void ApplyEnabling();
    void OnEdited(int field);
    void OnSpinner(int group, int action);
    void ShowAll();

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
