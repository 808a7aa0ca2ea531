#include "lumaquill/lumaquill_dlg.h"

#include "controls/dialogkit/dialog_kit.h"
#include "platform/ui_services.h"

#include <QCheckBox>
#include <QContextMenuEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QStyleOptionSlider>
#include <QStylePainter>
#include <QTimer>
#include <QVBoxLayout>
#include <QWhatsThis>
#include <algorithm>

namespace lumaquill {

namespace {

constexpr int kTop = 0;
constexpr int kBottom = 255;

// A channel's slider: position 0 at the top is the value 255. Its filled part shows the value
// (empty at 0, full at 255), which the inverted position alone would turn upside down: the
// groove and handle are drawn as by a plain slider holding the value itself, at the same place.
class ChannelSlider : public QSlider {
public:
    explicit ChannelSlider(QWidget* parent) : QSlider(Qt::Vertical, parent) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QStylePainter painter(this);
        QStyleOptionSlider option;
        initStyleOption(&option);
        QStyleOptionSlider value = option;
        value.upsideDown = !option.upsideDown;
        value.sliderPosition = option.maximum - option.sliderPosition + option.minimum;
        value.sliderValue = option.maximum - option.sliderValue + option.minimum;
        value.subControls = QStyle::SC_SliderGroove | QStyle::SC_SliderHandle;
        if (option.activeSubControls & QStyle::SC_SliderHandle)
            value.activeSubControls = QStyle::SC_SliderHandle;
        painter.drawComplexControl(QStyle::CC_Slider, value);
        // The ticks as the positions place them.
        option.subControls = QStyle::SC_SliderTickmarks;
        painter.drawComplexControl(QStyle::CC_Slider, option);
    }
};

// Control ids.
constexpr int kIdSlider = 1000;
constexpr std::array<int, dmx::kChannels> kIdSet = {1008, 1010, 1011, 1012, 1013, 1014, 1015, 1016};
constexpr int kIdGroup = 1017;
constexpr int kIdSetAll = 1025;
constexpr int kIdEnable = 1026;
constexpr int kIdValue = 1034;
constexpr int kIdGroupAll = 1042;
constexpr int kIdBase = 1043;
constexpr int kIdLabel = 1044;
constexpr int kIdPercent = 1052;
constexpr int kIdValueDisplay = 1053;
constexpr int kIdPort = 1055;
constexpr int kIdEnableAll = 1059;
constexpr int kIdBlackout = 1060;
constexpr int kIdBaseUp = 1061;
constexpr int kIdBaseDown = 1062;
constexpr int kIdHelp = 1063;

using dialogs::Named;

int ValueOfPosition(int position, bool percent) {
    const int value = kBottom - position;
    return percent ? value * 100 / 255 : value;
}

// A light bulb stands for the dimmer channels; the theme decides its look.
QIcon ProgramIcon() {
    for (const char* name : {"display-brightness", "display-brightness-symbolic", "weather-clear",
                             "weather-clear-symbolic"}) {
        const QIcon icon = QIcon::fromTheme(QString::fromLatin1(name));
        if (!icon.isNull()) {
            return icon;
        }
    }
    return {};
}

} // namespace

CLumaquillDlg::CLumaquillDlg(dmx::DmxSender& sender, QWidget* parent)
    : QDialog(parent), sender_(sender) {
    setWindowTitle(QStringLiteral("Lumaquill"));
    BuildControls();
    OnInitDialog();
}

CLumaquillDlg::~CLumaquillDlg() {
    ShutDown();
}

void CLumaquillDlg::BuildControls() {
    auto* channels = new QGridLayout;
    channels->setHorizontalSpacing(6);
    channels->setVerticalSpacing(4);
    for (int k = 0; k < dmx::kChannels; ++k) {
        const auto i = static_cast<std::size_t>(k);
        auto* label = Named(new QLabel(QString::number(k + 1), this), kIdLabel + k);
        label->setAlignment(Qt::AlignCenter);
        QSlider* slider = Named(new ChannelSlider(this), kIdSlider + k);
        // Position 0 at the top, 255 at the bottom: the value is 255 minus the position.
        slider->setInvertedAppearance(true);
        slider->setInvertedControls(true);
        slider->setMinimumHeight(200);
        auto* field = Named(new QLineEdit(this), kIdValue + k);
        field->setFixedWidth(44);
        field->setAlignment(Qt::AlignRight);
        auto* set = Named(new QPushButton(QStringLiteral("Set"), this), kIdSet[i]);
        set->setFixedWidth(44);
        auto* group = Named(new QCheckBox(QStringLiteral("Grp"), this), kIdGroup + k);
        auto* enable = Named(new QCheckBox(QStringLiteral("Ena"), this), kIdEnable + k);

        channels->addWidget(label, 0, k, Qt::AlignHCenter);
        channels->addWidget(slider, 1, k, Qt::AlignHCenter);
        channels->addWidget(field, 2, k, Qt::AlignHCenter);
        channels->addWidget(set, 3, k, Qt::AlignHCenter);
        channels->addWidget(group, 4, k, Qt::AlignLeft);
        channels->addWidget(enable, 5, k, Qt::AlignLeft);

        channelLabels_[i] = label;
        sliders_[i] = slider;
        valueFields_[i] = field;
        setButtons_[i] = set;
        groupBoxes_[i] = group;
        enableBoxes_[i] = enable;

        // Only the user's own actions (drag, keys, wheel, track clicks) run the slider rules; a
        // slider the program moves notifies nothing.
        connect(slider, &QAbstractSlider::actionTriggered, this, [this, slider, i](int) {
            userAction_[i] = slider->sliderPosition() != slider->value();
        });
        connect(slider, &QAbstractSlider::valueChanged, this, [this, k, i](int) {
            if (userAction_[i]) {
                userAction_[i] = false;
                OnVScroll(k);
            }
        });
        connect(set, &QPushButton::clicked, this, [this, k] { OnSet(k); });

        topics_[slider] = HelpTopic::Slider;
        topics_[field] = HelpTopic::ValueField;
        topics_[set] = HelpTopic::Set;
        topics_[group] = HelpTopic::Group;
        topics_[enable] = HelpTopic::Enable;
    }

    auto* side = new QVBoxLayout;
    side->addWidget(new QLabel(QStringLiteral("Base Addr"), this));
    auto* baseRow = new QHBoxLayout;
    baseField_ = Named(new QLineEdit(this), kIdBase);
    baseField_->setFixedWidth(52);
    baseField_->setAlignment(Qt::AlignRight);
    baseUp_ = Named(new QPushButton(QStringLiteral("+"), this), kIdBaseUp);
    baseDown_ = Named(new QPushButton(QStringLiteral("-"), this), kIdBaseDown);
    baseUp_->setFixedWidth(28);
    baseDown_->setFixedWidth(28);
    baseRow->addWidget(baseField_);
    baseRow->addWidget(baseUp_);
    baseRow->addWidget(baseDown_);
    baseRow->addStretch();
    side->addLayout(baseRow);

    auto* portBox = new QGroupBox(QStringLiteral("Port"), this);
    auto* portGrid = new QGridLayout(portBox);
    for (int p = 0; p < 4; ++p) {
        auto* button =
            Named(new QRadioButton(QStringLiteral("COM%1").arg(p + 1), portBox), kIdPort + p);
        portGrid->addWidget(button, p / 2, p % 2);
        portButtons_[static_cast<std::size_t>(p)] = button;
        topics_[button] = HelpTopic::Port;
    }
    side->addWidget(portBox);

    auto* displayBox = new QGroupBox(QStringLiteral("Display"), this);
    auto* displayRow = new QHBoxLayout(displayBox);
    percentButton_ = Named(new QRadioButton(QStringLiteral("Percent"), displayBox), kIdPercent);
    valueButton_ = Named(new QRadioButton(QStringLiteral("Value"), displayBox), kIdValueDisplay);
    displayRow->addWidget(percentButton_);
    displayRow->addWidget(valueButton_);
    side->addWidget(displayBox);

    groupAll_ = Named(new QCheckBox(QStringLiteral("Grp All"), this), kIdGroupAll);
    enableAll_ = Named(new QCheckBox(QStringLiteral("Ena All"), this), kIdEnableAll);
    side->addWidget(groupAll_);
    side->addWidget(enableAll_);
    side->addStretch();
    setAll_ = Named(new QPushButton(QStringLiteral("Set All"), this), kIdSetAll);
    setAll_->setDefault(true);
    blackout_ = Named(new QPushButton(QStringLiteral("Blackout"), this), kIdBlackout);
    help_ = Named(new QPushButton(QStringLiteral("Help"), this), kIdHelp);
    side->addWidget(setAll_);
    side->addWidget(blackout_);
    side->addWidget(help_);

    auto* top = new QHBoxLayout(this);
    top->addLayout(channels, 1);
    top->addSpacing(8);
    top->addLayout(side);

    topics_[setAll_] = HelpTopic::SetAll;
    topics_[groupAll_] = HelpTopic::GroupAll;
    topics_[baseField_] = HelpTopic::BaseChannel;
    topics_[baseUp_] = HelpTopic::BaseChannel;
    topics_[baseDown_] = HelpTopic::BaseChannel;
    topics_[percentButton_] = HelpTopic::Percent;
    topics_[valueButton_] = HelpTopic::Value;
    topics_[enableAll_] = HelpTopic::EnableAll;
    topics_[blackout_] = HelpTopic::Blackout;
    for (QWidget* w : findChildren<QWidget*>()) {
        w->installEventFilter(this);
    }
    installEventFilter(this);

    connect(setAll_, &QPushButton::clicked, this, [this] { OnSetAll(); });
    connect(baseUp_, &QPushButton::clicked, this, [this] { OnBaseUp(); });
    connect(baseDown_, &QPushButton::clicked, this, [this] { OnBaseDown(); });
    connect(baseField_, &QLineEdit::textChanged, this, [this] { OnBaseChanged(); });
    connect(percentButton_, &QRadioButton::clicked, this, [this] { OnPercent(); });
    connect(valueButton_, &QRadioButton::clicked, this, [this] { OnValue(); });
    connect(blackout_, &QPushButton::clicked, this, [this] { OnBlackout(); });
    connect(enableAll_, &QCheckBox::clicked, this, [this] { OnEnableAll(); });
    connect(groupAll_, &QCheckBox::clicked, this, [this] { OnGroupAll(); });
    connect(help_, &QPushButton::clicked, this, [this] { OnHelpButton(); });

    timer_ = new QTimer(this);
    timer_->setInterval(kTimerPeriodMs);
    connect(timer_, &QTimer::timeout, this, [this] { OnTimer(); });
}

void CLumaquillDlg::OnInitDialog() {
    {
        dialogs::DataExchange dx = dialogs::DataExchange::Showing();
        DoDataExchange(dx);
    }
    const QIcon icon = ProgramIcon();
    if (!icon.isNull()) {
        setWindowIcon(icon);
    }
    for (int k = 0; k < dmx::kChannels; ++k) {
        QSlider* slider = sliders_[static_cast<std::size_t>(k)];
        slider->setRange(kTop, kBottom);
        slider->setTickPosition(QSlider::TicksBothSides);
        slider->setTickInterval(25);
        MoveSlider(k, kBottom);
    }
    m_nRemembered.fill(kBottom);
    m_bPercentMode = true;
    sender_.TakeChanged();
    portButtons_[0]->setChecked(true);
    initialised_ = true;
    ShowTitleAndLabels();
    timer_->start();
}

void CLumaquillDlg::DoDataExchange(dialogs::DataExchange& dx) {
    dx.Unsigned(baseField_, m_nBase, 1, kMaxBaseChannel);
    for (std::size_t k = 0; k < dmx::kChannels; ++k) {
        dx.Integer(valueFields_[k], m_nValues[k], 0, 255);
    }
    for (std::size_t k = 0; k < dmx::kChannels; ++k) {
        dx.Check(enableBoxes_[k], m_bEnable[k]);
    }
    for (std::size_t k = 0; k < dmx::kChannels; ++k) {
        dx.Check(groupBoxes_[k], m_bGroup[k]);
    }
    dx.Radio({percentButton_, valueButton_}, m_nDisplay);
    dx.Radio({portButtons_[0], portButtons_[1], portButtons_[2], portButtons_[3]}, m_nPort);
    dx.Check(groupAll_, m_bGroupAll);
    dx.Check(enableAll_, m_bEnableAll);
}

bool CLumaquillDlg::ReadDialog(bool quiet) {
    // One message at a time: a reading while a message is open (the timer's) stays quiet.
    dialogs::DataExchange::MessageSink sink;
    if (!quiet && !messageOpen_) {
        sink = [this](const QString& text) {
            messageOpen_ = true;
            platform::ShowMessage(text.toStdString(), platform::MsgButtons::Ok,
                                  platform::MsgIcon::Exclamation);
            messageOpen_ = false;
        };
    }
    dialogs::DataExchange dx(dialogs::DataExchange::Direction::Read, std::move(sink));
    DoDataExchange(dx);
    return !dx.Failed();
}

void CLumaquillDlg::MoveSlider(int k, int position) {
    QSlider* slider = sliders_[static_cast<std::size_t>(k)];
    const QSignalBlocker quiet(slider);
    slider->setValue(position);
}

void CLumaquillDlg::ShowTitleAndLabels() {
    const auto base = static_cast<int>(m_nBase);
    setWindowTitle(QStringLiteral("Lorquin Channels %1 - %2").arg(base).arg(base + 7));
    for (int k = 0; k < dmx::kChannels; ++k) {
        channelLabels_[static_cast<std::size_t>(k)]->setText(QString::number(base + k));
    }
}

void CLumaquillDlg::OnSet(int k) {
    ReadDialog();
    const auto i = static_cast<std::size_t>(k);
    int value = m_nValues[i];
    int position = 0;
    if (m_bPercentMode) {
        value = std::min(value, 100);
        position = kBottom - value * 255 / 100;
    } else {
        position = kBottom - value;
    }
    MoveSlider(k, position);
    m_nRemembered[i] = sliders_[i]->value();
    sender_.MarkChanged();
}

void CLumaquillDlg::OnSetAll() {
    for (int k = 0; k < dmx::kChannels; ++k) {
        OnSet(k);
    }
}

void CLumaquillDlg::OnVScroll(int k) {
    ReadDialog();
    const int delta = GetSliderDelta(k);
    if (m_bGroup[static_cast<std::size_t>(k)]) {
        MoveGroupedSliders(k, delta);
    }
    UpdateValueFields();
    sender_.MarkChanged();
}

int CLumaquillDlg::GetSliderDelta(int k) {
    const auto i = static_cast<std::size_t>(k);
    const int position = sliders_[i]->value();
    const int delta = position - m_nRemembered[i];
    m_nRemembered[i] = position;
    return delta;
}

void CLumaquillDlg::MoveGroupedSliders(int k, int delta) {
    for (int j = 0; j < dmx::kChannels; ++j) {
        const auto i = static_cast<std::size_t>(j);
        if (j == k || !m_bGroup[i]) {
            continue;
        }
        // The slider stops at its ends; where it stopped is what its next move counts from.
        MoveSlider(j, std::clamp(sliders_[i]->value() + delta, kTop, kBottom));
        m_nRemembered[i] = sliders_[i]->value();
    }
}

void CLumaquillDlg::UpdateValueFields() {
    for (std::size_t k = 0; k < dmx::kChannels; ++k) {
        m_nValues[k] = ValueOfPosition(sliders_[k]->value(), m_bPercentMode);
        valueFields_[k]->setText(QString::number(m_nValues[k]));
    }
}

void CLumaquillDlg::OnBaseUp() {
    ReadDialog();
    if (m_nBase < kMaxBaseChannel) {
        ++m_nBase;
        baseField_->setText(QString::number(m_nBase));
    }
}

void CLumaquillDlg::OnBaseDown() {
    ReadDialog();
    if (m_nBase > 1) {
        --m_nBase;
        baseField_->setText(QString::number(m_nBase));
    }
}

void CLumaquillDlg::OnBaseChanged() {
    if (!initialised_) {
        return;
    }
    // A refused number is never used: the title and labels keep the last valid window.
    ReadDialog();
    ShowTitleAndLabels();
}

void CLumaquillDlg::OnPercent() {
    ReadDialog();
    if (!m_bPercentMode) {
        for (std::size_t k = 0; k < dmx::kChannels; ++k) {
            m_nValues[k] = m_nValues[k] * 100 / 255;
            valueFields_[k]->setText(QString::number(m_nValues[k]));
        }
        m_bPercentMode = true;
    }
}

void CLumaquillDlg::OnValue() {
    ReadDialog();
    if (m_bPercentMode) {
        for (std::size_t k = 0; k < dmx::kChannels; ++k) {
            m_nValues[k] = m_nValues[k] * 255 / 100;
            valueFields_[k]->setText(QString::number(m_nValues[k]));
        }
        m_bPercentMode = false;
    }
}

void CLumaquillDlg::OnBlackout() {
    for (int k = 0; k < dmx::kChannels; ++k) {
        MoveSlider(k, kBottom);
    }
    m_nRemembered.fill(kBottom);
    UpdateValueFields();
    sender_.MarkChanged();
}

void CLumaquillDlg::OnEnableAll() {
    ReadDialog();
    // The box as the user left it, also when the reading stopped before it.
    m_bEnableAll = enableAll_->isChecked();
    for (std::size_t k = 0; k < dmx::kChannels; ++k) {
        m_bEnable[k] = m_bEnableAll;
        enableBoxes_[k]->setChecked(m_bEnableAll);
    }
}

void CLumaquillDlg::OnGroupAll() {
    ReadDialog();
    m_bGroupAll = groupAll_->isChecked();
    for (std::size_t k = 0; k < dmx::kChannels; ++k) {
        m_bGroup[k] = m_bGroupAll;
        groupBoxes_[k]->setChecked(m_bGroupAll);
    }
}

void CLumaquillDlg::OnTimer() {
    if (!sender_.TakeChanged()) {
        return;
    }
    // The members hold only valid values, and a refused field has had its message already.
    ReadDialog(true);
    sender_.Publish(TakeSnapshot());
}

dmx::DmxSnapshot CLumaquillDlg::TakeSnapshot() const {
    dmx::DmxSnapshot snapshot;
    for (std::size_t k = 0; k < dmx::kChannels; ++k) {
        snapshot.values[k] = m_bEnable[k] ? kBottom - sliders_[k]->value() : dmx::kNotSent;
    }
    snapshot.baseChannel = static_cast<int>(m_nBase);
    snapshot.port = m_nPort;
    return snapshot;
}

void CLumaquillDlg::OnHelpButton() {
    OpenHelpTopic(HelpTopic::BaseChannel);
}

bool CLumaquillDlg::TopicOf(const QWidget* control, HelpTopic& topic) const {
    const auto it = topics_.find(control);
    if (it == topics_.end()) {
        return false;
    }
    topic = it->second;
    return true;
}

void CLumaquillDlg::ShowPopupHelp(QWidget* control, const QPoint& globalPos) {
    HelpTopic topic{};
    if (!TopicOf(control, topic)) {
        OnHelpButton(); // the dialog's general help
        return;
    }
    const HelpTopicText& text = TopicText(topic);
    lastPopupHelp_ = QStringLiteral("%1\n\n%2")
                         .arg(QString::fromLatin1(text.title), QString::fromLatin1(text.text));
    QWhatsThis::showText(globalPos, lastPopupHelp_, control);
}

bool CLumaquillDlg::eventFilter(QObject* watched, QEvent* event) {
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1) {
        ShowPopupHelp(widget, widget->mapToGlobal(widget->rect().center()));
        return true;
    }
    HelpTopic topic{};
    if (widget && event->type() == QEvent::ContextMenu && TopicOf(widget, topic)) {
        ShowPopupHelp(widget, static_cast<QContextMenuEvent*>(event)->globalPos());
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void CLumaquillDlg::ShutDown() {
    if (shutDown_) {
        return;
    }
    shutDown_ = true;
    timer_->stop();
    QWhatsThis::hideText();
    // The worker sees the stop before its next frame and is joined; the link closes after it.
    sender_.Stop();
}

void CLumaquillDlg::done(int result) {
    ShutDown();
    QDialog::done(result);
}

} // namespace lumaquill
