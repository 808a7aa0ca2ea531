// What the Real Time Wizard and the cue list share: a running clock shown in "Current Time",
// started from it and reset to "Start Time", optionally setting, enabling and disabling the
// SMPTE time of the controller's SMPTE interface, over the dialog's own serial link to the
// controller, which is open while the dialog exists. F1 over a control shows a short text.
#pragma once

#include "link/serial_link.h"
#include "views/sequences/show_clock.h"

#include <QDialog>
#include <string>

class CVLDoc;
class QCheckBox;
class QGridLayout;
class QLineEdit;
class QPushButton;

class ClockDialog : public QDialog {
public:
    // The control ids of the clock's controls in the dialog's resource.
    struct ClockIds {
        int startTime, currentTime, startButton, pauseButton, resetButton, sendSmpte;
    };
    static constexpr std::uint8_t kSmpteUnit = 0xFE;
    static constexpr const char* kInvalidTime =
        "Invalid Timecode Time. Time must be between 0 and 24 hours";

    ClockDialog(CVLDoc& doc, ClockIds ids, QWidget* parent);
    ~ClockDialog() override;

    CVLDoc& Document() const { return doc_; }
    ShowClock& Clock() { return clock_; }
    CSerialLink& Link() { return link_; }
    QLineEdit* StartTimeEdit() const { return startTime_; }
    QLineEdit* CurrentTimeEdit() const { return currentTime_; }
    QCheckBox* SendSmpteCheck() const { return sendSmpte_; }

    void OnStartTimer();
    void OnPauseTimer();
    void OnResetToStart();

protected:
    // Opens the link on the application's serial port and bit mode (a failure's text in a box;
    // the dialog goes on) and addresses every controller.
    void OpenLink();
    // The clock's controls laid out in rows from `row` of `grid`.
    void AddClockControls(QGridLayout& grid, int row);
    // Gives the focus back to the dialog's list.
    virtual void FocusList() = 0;
    // The short help of F1 over a control.
    void SetHelp(QWidget* control, const QString& text);
    void done(int result) override;

private:
    // Sends one SMPTE message to the SMPTE interface; false on a hardware error.
    bool SendSmpte(const std::vector<std::uint8_t>& message);

    CVLDoc& doc_;
    CSerialLink link_;
    ShowClock clock_;
    QLineEdit* startTime_;
    QLineEdit* currentTime_;
    QPushButton* startButton_;
    QPushButton* pauseButton_;
    QPushButton* resetButton_;
    QCheckBox* sendSmpte_;
};

// The application's serial settings, as the dialogs open their link with them.
std::string OpenControllerLinkText(CSerialLink& link, CVLDoc& doc);
