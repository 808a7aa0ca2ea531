#include "views/sequences/clock_dialog.h"

#include "controls/dialogkit/dialog_kit.h"
#include "platform/ui_services.h"
#include "script/app_services.h"
#include "script/download_settings.h"
#include "script/time_conversions.h"
#include "script/vl_doc.h"

#include <QApplication>
#include <QCheckBox>
#include <QCursor>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QWhatsThis>

namespace {

void Box(const std::string& text) {
    platform::Ui().MessageBox({text, platform::DefaultCaption(), platform::MsgButtons::Ok});
}

} // namespace

std::string OpenControllerLinkText(CSerialLink& link, CVLDoc& doc) {
    const CommSettings& settings = doc.Services().Settings();
    if (settings.serialPort < 0 || settings.serialPort > 0xFFFF)
        return "Opening serial port: Only Com1 - Com8 are supported";
    return link.Open(ComPortIndex(static_cast<std::uint16_t>(settings.serialPort)),
                     FramingFromSetting(settings.serialBitMode), kControllerBaud);
}

ClockDialog::ClockDialog(CVLDoc& doc, ClockIds ids, QWidget* parent)
    : QDialog(parent), doc_(doc), clock_([this](double frames) {
          currentTime_->setText(
              QString::fromStdString(FramesToTimecodeText(frames, doc_.GetFrameRate())));
      }),
      startTime_(dialogs::Named(new QLineEdit(QStringLiteral("00:00:00.00"), this), ids.startTime)),
      currentTime_(
          dialogs::Named(new QLineEdit(QStringLiteral("00:00:00.00"), this), ids.currentTime)),
      startButton_(dialogs::MakeButton(QStringLiteral("Start Timer"), ids.startButton, this)),
      pauseButton_(dialogs::MakeButton(QStringLiteral("Pause Timer"), ids.pauseButton, this)),
      resetButton_(dialogs::MakeButton(QStringLiteral("Reset to Start"), ids.resetButton, this)),
      sendSmpte_(dialogs::MakeCheck(QStringLiteral("Send SMPTE"), ids.sendSmpte, this)) {
    startButton_->setDefault(true);
    startButton_->setAutoDefault(true);
    pauseButton_->setAutoDefault(false);
    resetButton_->setAutoDefault(false);
    connect(startButton_, &QPushButton::clicked, this, [this] { OnStartTimer(); });
    connect(pauseButton_, &QPushButton::clicked, this, [this] { OnPauseTimer(); });
    connect(resetButton_, &QPushButton::clicked, this, [this] { OnResetToStart(); });
    connect(sendSmpte_, &QCheckBox::clicked, this, [this] { FocusList(); });
    SetHelp(startTime_, tr("The time the clock goes back to with Reset to Start."));
    SetHelp(currentTime_, tr("The clock's time; Start Timer runs on from it."));
    SetHelp(startButton_, tr("Runs the clock from the Current Time, at the next second."));
    SetHelp(pauseButton_, tr("Stops the clock where it is."));
    SetHelp(resetButton_, tr("Stops the clock and puts the Start Time back."));
    SetHelp(sendSmpte_,
            tr("Sets and enables the controller's SMPTE time at Start, disables it at Pause."));
    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(help, &QShortcut::activated, this, [this] {
        QWidget* over = QApplication::widgetAt(QCursor::pos());
        if (!over || !isAncestorOf(over) || over->whatsThis().isEmpty())
            over = QApplication::focusWidget();
        if (over && !over->whatsThis().isEmpty())
            QWhatsThis::showText(over->mapToGlobal(over->rect().center()), over->whatsThis(), over);
    });
}

ClockDialog::~ClockDialog() {
    clock_.Stop();
    link_.Close();
}

void ClockDialog::SetHelp(QWidget* control, const QString& text) {
    control->setWhatsThis(text);
}

void ClockDialog::AddClockControls(QGridLayout& grid, int row) {
    grid.addWidget(new QLabel(tr("Start Time"), this), row, 0);
    grid.addWidget(startTime_, row, 1);
    grid.addWidget(new QLabel(tr("Current Time"), this), row + 1, 0);
    grid.addWidget(currentTime_, row + 1, 1);
    grid.addWidget(startButton_, row, 2);
    grid.addWidget(pauseButton_, row + 1, 2);
    grid.addWidget(resetButton_, row + 2, 2);
    grid.addWidget(sendSmpte_, row + 2, 1);
}

void ClockDialog::OpenLink() {
    const std::string error = OpenControllerLinkText(link_, doc_);
    if (!error.empty())
        Box(error);
    link_.SetAddress(0xFF);
}

bool ClockDialog::SendSmpte(const std::vector<std::uint8_t>& message) {
    link_.SetUnit(kSmpteUnit);
    return link_.SendCommand(message);
}

void ClockDialog::OnStartTimer() {
    platform::WaitCursor wait;
    const std::string current = currentTime_->text().toStdString();
    if (sendSmpte_->isChecked()) {
        std::uint16_t h = 0, m = 0, s = 0, f = 0;
        if (ParseTimecodeText(current, h, m, s, f) != 0) {
            // Not a time of day: nothing is sent and the clock does not start.
            Box(kInvalidTime);
            return;
        }
        if (!SendSmpte({14}))
            Box("Serial Message 'Enable SMPTE': Hardware error transmitting message.");
        if (!SendSmpte({22, static_cast<std::uint8_t>(h), static_cast<std::uint8_t>(m),
                        static_cast<std::uint8_t>(s), static_cast<std::uint8_t>(f)}))
            Box("Serial Message 'Set SMPTE Time': Hardware error transmitting message.  "
                "Aborting...");
    }
    clock_.Start(TimeTextToFrames(current, doc_.GetFrameRate()), doc_.GetFrameRate());
    FocusList();
}

void ClockDialog::OnPauseTimer() {
    clock_.Stop();
    if (sendSmpte_->isChecked() && !SendSmpte({13}))
        Box("Serial Message 'Disable SMPTE': Hardware error transmitting message.  Aborting...");
    FocusList();
}

void ClockDialog::OnResetToStart() {
    OnPauseTimer();
    const double rate = doc_.GetFrameRate();
    const double frames = TimeTextToFrames(startTime_->text().toStdString(), rate);
    clock_.SetFrames(frames);
    const QString text = QString::fromStdString(FramesToTimecodeText(frames, rate));
    startTime_->setText(text);
    currentTime_->setText(text);
    FocusList();
}

void ClockDialog::done(int result) {
    clock_.Stop();
    link_.Close();
    QDialog::done(result);
}
