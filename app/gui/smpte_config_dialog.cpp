#include "app/gui/smpte_config_dialog.h"

#include "controls/dialogkit/dialog_kit.h"
#include "link/reproducer_download.h"
#include "platform/qt/qt_ui_services.h"
#include "platform/ui_services.h"
#include "script/time_conversions.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

using platform::qt::FromQString;
using platform::qt::ToQString;

namespace config {

namespace {

constexpr int kMaxTimeText = 23;
constexpr int kTembrel = 2;

// The sample clocks of index 0-4. Index 2 is the clock it sends, 44.056 kHz.
const char* const kSampleClocks[] = {"32.000", "35.000", "44.056", "44.100", "48.000"};

void Box(const std::string& text) {
    platform::MessageBoxRequest box;
    box.text = text;
    box.caption = kSmpteCaption;
    box.icon = platform::MsgIcon::Exclamation;
    platform::Ui().MessageBox(box);
}

// The frames of a second at a frame-rate index: 24 at 23.976 and 24 fps, 25 at 25, else 30.
int FramesPerSecond(int rateIndex) {
    if (rateIndex <= 1)
        return 24;
    return rateIndex == 2 ? 25 : 30;
}

QLabel* Label(const QString& text, int id, QWidget* parent) {
    return dialogs::Named(new QLabel(text, parent), id);
}

} // namespace

CSmpteDialog::CSmpteDialog(CSmpteDlg& request, QWidget* parent)
    : ExchangeDialog(parent), request_(request), m_(request) {
    placement = dialogs::CentreOnDesktop;
    setWindowTitle(QString::fromLatin1(kSmpteCaption));

    auto* connection = new QGroupBox(QStringLiteral("SMPTE Connection"), this);
    notUsed_ = dialogs::MakeRadio(
        QStringLiteral("SMPTE is not used in this Script, or it is configured by the reproducer "
                       "system's own program"),
        337, connection);
    used_ = dialogs::MakeRadio(
        QStringLiteral("SMPTE is used in this Script, and it is configured by Velmora only"), 338,
        connection);
    auto* connectionColumn = new QVBoxLayout(connection);
    connectionColumn->addWidget(notUsed_);
    connectionColumn->addWidget(used_);

    deviceGroup_ = dialogs::Named(new QGroupBox(QStringLiteral("Device Type"), this), 490);
    device_ = dialogs::Named(new QComboBox(deviceGroup_), 488);
    device_->setEditable(true);
    device_->setInsertPolicy(QComboBox::NoInsert);
    device_->addItems({QStringLiteral("Reelvox"), QStringLiteral("Reelvox (Legacy Mode)"),
                       QStringLiteral("Tembrel")});
    sampleClock_ = dialogs::Named(new QComboBox(deviceGroup_), 491);
    sampleClock_->setEditable(true);
    sampleClock_->setInsertPolicy(QComboBox::NoInsert);
    sampleClockLabel_ = Label(QStringLiteral("Sample Clock"), 333, deviceGroup_);
    khzLabel_ = Label(QStringLiteral("Khz"), 332, deviceGroup_);
    frameRate_ = dialogs::Named(new QComboBox(deviceGroup_), 1108);
    frameRate_->addItems({QStringLiteral("23.976 FPS"), QStringLiteral("24 FPS"),
                          QStringLiteral("25 FPS"), QStringLiteral("29.97 Non-Drop FPS"),
                          QStringLiteral("29.97 Drop FPS"), QStringLiteral("30 FPS")});
    frameRateLabel_ = Label(QStringLiteral("SMPTE Frame Rate"), 340, deviceGroup_);
    auto* deviceGrid = new QGridLayout(deviceGroup_);
    deviceGrid->addWidget(device_, 0, 0, 1, 3);
    deviceGrid->addWidget(sampleClockLabel_, 1, 0);
    deviceGrid->addWidget(sampleClock_, 1, 1);
    deviceGrid->addWidget(khzLabel_, 1, 2);
    deviceGrid->addWidget(frameRateLabel_, 2, 0);
    deviceGrid->addWidget(frameRate_, 2, 1, 1, 2);

    modeGroup_ =
        dialogs::Named(new QGroupBox(QStringLiteral("SMPTE Read/Generate Options"), this), 341);
    mode_ = dialogs::Named(new QComboBox(modeGroup_), 1004);
    mode_->addItems({QStringLiteral("Generate SMPTE-No Genlock to Video"),
                     QStringLiteral("Generate SMPTE-Genlock to Video"),
                     QStringLiteral("Read External SMPTE")});
    powerUp_ = dialogs::MakeCheck(QStringLiteral("Enable SMPTE on Power Up"), 1006, modeGroup_);
    genlock_ = dialogs::Named(new QGroupBox(QStringLiteral("Genlock to"), modeGroup_), 489);
    pal_ = dialogs::MakeRadio(QStringLiteral("PAL"), 486, genlock_);
    ntsc_ = dialogs::MakeRadio(QStringLiteral("NTSC"), 487, genlock_);
    auto* genlockRow = new QHBoxLayout(genlock_);
    genlockRow->addWidget(pal_);
    genlockRow->addWidget(ntsc_);
    auto* modeColumn = new QVBoxLayout(modeGroup_);
    modeColumn->addWidget(mode_);
    modeColumn->addWidget(powerUp_);
    modeColumn->addWidget(genlock_);

    generation_ =
        dialogs::Named(new QGroupBox(QStringLiteral("SMPTE Generation Options"), this), 1116);
    preroll_ = dialogs::Named(new QLineEdit(generation_), 1123);
    prerollLabel_ = Label(QStringLiteral("Preroll Time"), 1124, generation_);
    start_ = dialogs::Named(new QLineEdit(generation_), 1017);
    startLabel_ = Label(QStringLiteral("Start Time"), 1085, generation_);
    end_ = dialogs::Named(new QLineEdit(generation_), 1018);
    endLabel_ = Label(QStringLiteral("End Time"), 1118, generation_);
    for (QLineEdit* time : {preroll_, start_, end_})
        time->setMaxLength(kMaxTimeText);
    endBehaviour_ = dialogs::Named(new QComboBox(generation_), 1119);
    endBehaviour_->addItems(
        {QStringLiteral("Stop at End Time"), QStringLiteral("Loop at End Time")});
    endBehaviourLabel_ = Label(QStringLiteral("SMPTE End Behavior"), 1122, generation_);
    mute_ = dialogs::MakeCheck(QStringLiteral("Mute SMPTE When Stopped"), 1015, generation_);
    restart_ = dialogs::MakeCheck(QStringLiteral("Start Button Restarts SMPTE Even While Running"),
                                  1008, generation_);
    auto* generationGrid = new QGridLayout(generation_);
    generationGrid->addWidget(startLabel_, 0, 0);
    generationGrid->addWidget(start_, 0, 1);
    generationGrid->addWidget(endLabel_, 1, 0);
    generationGrid->addWidget(end_, 1, 1);
    generationGrid->addWidget(endBehaviourLabel_, 2, 0);
    generationGrid->addWidget(endBehaviour_, 2, 1);
    generationGrid->addWidget(prerollLabel_, 3, 0);
    generationGrid->addWidget(preroll_, 3, 1);
    generationGrid->addWidget(mute_, 4, 0, 1, 2);
    generationGrid->addWidget(restart_, 5, 0, 1, 2);

    portGroup_ = dialogs::Named(new QGroupBox(QStringLiteral("Show Control Port"), this), 484);
    midi_ = dialogs::MakeRadio(QStringLiteral("MIDI"), 472, portGroup_);
    rs232_ = dialogs::MakeRadio(QStringLiteral("RS-232"), 473, portGroup_);
    useMtc_ = dialogs::MakeCheck(QStringLiteral("Use MTC"), 1010, portGroup_);
    timeStamp_ = dialogs::MakeCheck(QStringLiteral("Enable Time Stamp"), 471, portGroup_);
    auto* portGrid = new QGridLayout(portGroup_);
    portGrid->addWidget(midi_, 0, 0);
    portGrid->addWidget(useMtc_, 0, 1);
    portGrid->addWidget(rs232_, 1, 0);
    portGrid->addWidget(timeStamp_, 1, 1);

    dropoutGroup_ =
        dialogs::Named(new QGroupBox(QStringLiteral("RS-232 Timecode Options"), this), 483);
    dropout_ = dialogs::Named(new QComboBox(dropoutGroup_), 339);
    dropout_->setEditable(true);
    dropout_->setInsertPolicy(QComboBox::NoInsert);
    dropoutLabel_ = Label(QStringLiteral("Dropout Tolerance"), 330, dropoutGroup_);
    framesLabel_ = Label(QStringLiteral("Frames"), 293, dropoutGroup_);
    auto* dropoutRow = new QHBoxLayout(dropoutGroup_);
    dropoutRow->addWidget(dropoutLabel_);
    dropoutRow->addWidget(dropout_);
    dropoutRow->addWidget(framesLabel_);

    configureNow_ = dialogs::MakeButton(QStringLiteral("Configure Now"), 334, this);
    enableNow_ = dialogs::MakeButton(QStringLiteral("Enable Now"), 335, this);
    disableNow_ = dialogs::MakeButton(QStringLiteral("Disable Now"), 336, this);
    QDialogButtonBox* buttons = dialogs::OkCancel(*this);
    buttons->addButton(configureNow_, QDialogButtonBox::ActionRole);
    buttons->addButton(enableNow_, QDialogButtonBox::ActionRole);
    buttons->addButton(disableNow_, QDialogButtonBox::ActionRole);

    auto* columns = new QGridLayout;
    columns->addWidget(deviceGroup_, 0, 0);
    columns->addWidget(modeGroup_, 1, 0);
    columns->addWidget(portGroup_, 2, 0);
    columns->addWidget(generation_, 0, 1, 2, 1);
    columns->addWidget(dropoutGroup_, 2, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(connection);
    layout->addLayout(columns);
    layout->addWidget(buttons);

    connect(notUsed_, &QRadioButton::clicked, this, [this] { ApplyRules(false); });
    connect(used_, &QRadioButton::clicked, this, [this] { ApplyRules(true); });
    connect(device_, &QComboBox::activated, this, [this](int index) { OnDeviceChanged(index); });
    connect(sampleClock_, &QComboBox::activated, this, [this](int index) {
        if (m_.device != kTembrel)
            m_.clockFrequency = index;
    });
    connect(mode_, &QComboBox::activated, this, [this](int index) { OnModeChanged(index); });
    connect(endBehaviour_, &QComboBox::activated, this,
            [this](int index) { OnEndBehaviour(index); });
    connect(start_, &QLineEdit::textChanged, this, [this] { OnStartTimeEdited(); });
    connect(midi_, &QRadioButton::clicked, this, [this] { OnPort(true); });
    connect(rs232_, &QRadioButton::clicked, this, [this] { OnPort(false); });
    connect(pal_, &QRadioButton::clicked, this, [this] { m_.ntscGenlock = 0; });
    connect(ntsc_, &QRadioButton::clicked, this, [this] { m_.ntscGenlock = 1; });
    connect(timeStamp_, &QCheckBox::clicked, this, [this] { OnTimeStamp(); });
    connect(dropout_, &QComboBox::activated, this, [this](int index) {
        m_.dropoutTolerance = std::uint16_t(dropout_->itemText(index).toInt());
    });
    connect(dropout_->lineEdit(), &QLineEdit::textEdited, this,
            [this](const QString& text) { OnDropoutText(text); });
    connect(configureNow_, &QPushButton::clicked, this, [this] { OnConfigureNow(); });
    connect(enableNow_, &QPushButton::clicked, this, [this] { OnEnableNow(true); });
    connect(disableNow_, &QPushButton::clicked, this, [this] { OnEnableNow(false); });
}

bool CSmpteDialog::Generates() const {
    return m_.mode == CSmpteDlg::kGenerateNoVideoSync || m_.mode == CSmpteDlg::kGenerateVideoSync;
}

void CSmpteDialog::DoDataExchange(dialogs::DataExchange& dx) {
    if (dx.IsReading())
        ReadControls();
    else
        ShowControls();
}

void CSmpteDialog::ShowControls() {
    filling_ = true;
    (m_.smpteUsed ? used_ : notUsed_)->setChecked(true);
    device_->setCurrentIndex(m_.device >= 0 && m_.device < device_->count() ? m_.device : -1);
    if (m_.controlPort == CSmpteDlg::kMidiPort)
        midi_->setChecked(true);
    else if (m_.controlPort == CSmpteDlg::kShowControlPort)
        rs232_->setChecked(true);
    (m_.ntscGenlock ? ntsc_ : pal_)->setChecked(true);
    mode_->setCurrentIndex(m_.mode);
    endBehaviour_->setCurrentIndex(m_.transition ? 1 : 0);
    frameRate_->setCurrentIndex(
        m_.frameRate >= 0 && m_.frameRate < frameRate_->count() ? m_.frameRate : -1);
    powerUp_->setChecked(m_.enabledOnPowerUp);
    mute_->setChecked(m_.muteWhenStopped);
    restart_->setChecked(m_.startButtonRestarts);
    useMtc_->setChecked(m_.useMtc);
    timeStamp_->setChecked(m_.enableTimeStamp);
    dropout_->clear();
    for (int frames = 2; frames <= 255; ++frames)
        dropout_->addItem(QString::number(frames));
    dropout_->setEditText(QString::number(m_.dropoutTolerance));
    preroll_->setText(ToQString(m_.preroll));
    start_->setText(ToQString(m_.start));
    end_->setText(ToQString(m_.end));
    if (!m_.transition)
        preroll_->setText(start_->text().left(kMaxTimeText));
    filling_ = false;
}

void CSmpteDialog::OnValuesShown() {
    khzLabel_->setEnabled(false);
    ApplyRules(m_.smpteUsed != 0);
}

void CSmpteDialog::ReadControls() {
    m_.smpteUsed = used_->isChecked() ? 1 : 0;
    m_.device = device_->currentIndex();
    m_.frameRate = frameRate_->currentIndex();
    m_.mode = mode_->currentIndex();
    m_.transition = endBehaviour_->currentIndex() == 1 ? 1 : 0;
    m_.enabledOnPowerUp = powerUp_->isChecked() ? 1 : 0;
    m_.muteWhenStopped = mute_->isChecked() ? 1 : 0;
    m_.startButtonRestarts = restart_->isChecked() ? 1 : 0;
    m_.useMtc = useMtc_->isChecked() ? 1 : 0;
    m_.enableTimeStamp = timeStamp_->isChecked() ? 1 : 0;
    m_.ntscGenlock = ntsc_->isChecked() ? 1 : 0;
    if (midi_->isChecked())
        m_.controlPort = CSmpteDlg::kMidiPort;
    else if (rs232_->isChecked())
        m_.controlPort = CSmpteDlg::kShowControlPort;
    m_.preroll = FromQString(preroll_->text().left(kMaxTimeText));
    m_.start = FromQString(start_->text().left(kMaxTimeText));
    m_.end = FromQString(end_->text().left(kMaxTimeText));
}

void CSmpteDialog::ApplyRules(bool used) {
    ReadControls();
    const bool reelvox = m_.device != kTembrel && m_.device >= 0;
    const bool generates = used && Generates();
    const bool midi = m_.controlPort == CSmpteDlg::kMidiPort;
    const bool rs232 = m_.controlPort == CSmpteDlg::kShowControlPort;
    for (QWidget* control : std::initializer_list<QWidget*>{
             deviceGroup_, device_, frameRate_, frameRateLabel_, modeGroup_, mode_, powerUp_,
             genlock_, pal_, ntsc_, portGroup_, midi_, rs232_, configureNow_, enableNow_,
             disableNow_})
        control->setEnabled(used);
    sampleClock_->setEnabled(used && reelvox);
    sampleClockLabel_->setEnabled(used && reelvox);
    for (QWidget* control :
         std::initializer_list<QWidget*>{generation_, start_, startLabel_, end_, endLabel_,
                                         endBehaviour_, endBehaviourLabel_, mute_, restart_})
        control->setEnabled(generates);
    preroll_->setEnabled(generates && m_.transition == 1);
    prerollLabel_->setEnabled(generates && m_.transition == 1);
    useMtc_->setEnabled(used && midi);
    timeStamp_->setEnabled(used && rs232);
    const bool dropout = used && rs232 && m_.enableTimeStamp;
    for (QWidget* control :
         std::initializer_list<QWidget*>{dropoutGroup_, dropout_, dropoutLabel_, framesLabel_})
        control->setEnabled(dropout);
    FillSampleClocks();
}

void CSmpteDialog::FillSampleClocks() {
    QSignalBlocker quiet(sampleClock_);
    sampleClock_->clear();
    if (m_.device == kTembrel || m_.device < 0)
        return;
    for (const char* clock : kSampleClocks)
        sampleClock_->addItem(QString::fromLatin1(clock));
    sampleClock_->setCurrentIndex(
        m_.clockFrequency >= 0 && m_.clockFrequency < sampleClock_->count() ? m_.clockFrequency
                                                                            : -1);
}

void CSmpteDialog::OnDeviceChanged(int index) {
    m_.device = index;
    ApplyRules(true);
}

void CSmpteDialog::OnModeChanged(int index) {
    m_.mode = index;
    ApplyRules(used_->isChecked());
}

void CSmpteDialog::OnEndBehaviour(int index) {
    m_.transition = index == 1 ? 1 : 0;
    const bool editable = used_->isChecked() && Generates() && m_.transition == 1;
    preroll_->setEnabled(editable);
    prerollLabel_->setEnabled(editable);
    if (!m_.transition)
        preroll_->setText(start_->text().left(kMaxTimeText));
}

void CSmpteDialog::OnStartTimeEdited() {
    if (filling_)
        return;
    m_.preroll = FromQString(start_->text().left(kMaxTimeText));
    preroll_->setText(ToQString(m_.preroll));
}

void CSmpteDialog::OnPort(bool midi) {
    m_.controlPort = midi ? CSmpteDlg::kMidiPort : CSmpteDlg::kShowControlPort;
    useMtc_->setEnabled(midi);
    timeStamp_->setEnabled(!midi);
    ApplyRules(used_->isChecked());
}

void CSmpteDialog::OnTimeStamp() {
    m_.enableTimeStamp = timeStamp_->isChecked() ? 1 : 0;
    EnableDropout();
}

void CSmpteDialog::EnableDropout() {
    const bool on = timeStamp_->isChecked() && rs232_->isChecked();
    for (QWidget* control :
         std::initializer_list<QWidget*>{dropoutGroup_, dropout_, dropoutLabel_, framesLabel_})
        control->setEnabled(on);
}

void CSmpteDialog::OnDropoutText(const QString& text) {
    // A field emptied to type anew keeps the tolerance it had.
    if (text.trimmed().isEmpty())
        return;
    const int value = text.trimmed().toInt();
    if (value <= 1) {
        m_.dropoutTolerance = 2;
        dropout_->setEditText(QStringLiteral("2"));
    } else if (value >= 256) {
        m_.dropoutTolerance = 255;
        dropout_->setEditText(QStringLiteral("255"));
    } else {
        m_.dropoutTolerance = std::uint16_t(value);
    }
}

std::string CSmpteDialog::CheckTimes() const {
    const struct {
        const std::string& text;
        const char* name;
    } times[] = {{m_.preroll, "Preroll"}, {m_.start, "Start"}, {m_.end, "End"}};
    for (const auto& time : times) {
        const ByteString bytes = TimeTextToBytes(time.text);
        // A frame beyond the chosen rate would run silently into the next second.
        if (bytes.size() != 4 || bytes[3] >= FramesPerSecond(m_.frameRate))
            return std::string("Timecode  ") + time.name + " Time Invalid.  Please Re-enter...";
    }
    return {};
}

bool CSmpteDialog::Validate() {
    if (const std::string problem = CheckTimes(); !problem.empty()) {
        // A download asked for by Configure Now waits for the next Configure Now.
        m_.configureNow = 0;
        Box(problem);
        return false;
    }
    if (m_.dropoutTolerance < 2 || m_.dropoutTolerance > 255) {
        m_.configureNow = 0;
        m_.dropoutTolerance = 5;
        Box(kDropoutMessage);
        dropout_->setEditText(QStringLiteral("5"));
        return false;
    }
    request_ = m_;
    return true;
}

void CSmpteDialog::OnConfigureNow() {
    m_.configureNow = 1;
    accept();
}

void CSmpteDialog::OnEnableNow(bool on) {
    // The unit is switched with the script's stored settings: nothing typed here goes out.
    if (request_.document)
        showlink::EnableSmpteNow(*request_.document, on);
}

bool RunSmpteDialog(CSmpteDlg& request, QWidget* parent) {
    CSmpteDialog dialog(request, parent);
    return dialog.Run() == QDialog::Accepted;
}

} // namespace config
