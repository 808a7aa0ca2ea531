// The one dialog of Lumaquill: eight channel sliders with their value fields, Set, Grp and Ena
// controls, the base channel, the port and display choices, Blackout and Help. Its timer hands
// the values to the sender twice a second when they changed; the dialog never touches the link.
#pragma once

#include "controls/dialogkit/data_exchange.h"
#include "lumaquill/dmx_sender.h"
#include "lumaquill/lumaquill_help.h"

#include <QDialog>
#include <array>
#include <map>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSlider;
class QTimer;

namespace lumaquill {

class CLumaquillDlg : public QDialog {
public:
    static constexpr int kTimerPeriodMs = 500;
    static constexpr unsigned kMaxBaseChannel = 505;

    explicit CLumaquillDlg(dmx::DmxSender& sender, QWidget* parent = nullptr);
    ~CLumaquillDlg() override;

    // The handlers, as the controls call them; public so that tests can run a timer tick.
    void OnTimer();
    void OnSet(int k);
    void OnSetAll();
    void OnBaseUp();
    void OnBaseDown();
    void OnBaseChanged();
    void OnPercent();
    void OnValue();
    void OnBlackout();
    void OnEnableAll();
    void OnGroupAll();
    void OnHelpButton();

    // Reads the controls into the members (quiet: a failed check shows no message). False when
    // a check failed.
    bool ReadDialog(bool quiet = false);
    // The snapshot the timer hands to the sender.
    dmx::DmxSnapshot TakeSnapshot() const;

    unsigned BaseChannel() const { return m_nBase; }
    bool PercentMode() const { return m_bPercentMode; }
    int RememberedPosition(int k) const { return m_nRemembered[static_cast<std::size_t>(k)]; }
    // The help text last shown as a popup (empty when none was).
    const QString& LastPopupHelp() const { return lastPopupHelp_; }
    // The topic of a control's kind; false for a control without one.
    bool TopicOf(const QWidget* control, HelpTopic& topic) const;

    void done(int result) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    void OnInitDialog();
    void DoDataExchange(dialogs::DataExchange& dx);
    void OnVScroll(int k);
    int GetSliderDelta(int k);
    void MoveGroupedSliders(int k, int delta);
    void UpdateValueFields();
    // Moves a slider the program's way: no rules run for it.
    void MoveSlider(int k, int position);
    void ShowTitleAndLabels();
    void ShowPopupHelp(QWidget* control, const QPoint& globalPos);
    void ShutDown();

    dmx::DmxSender& sender_;

    // Members of the data exchange.
    unsigned m_nBase = 1;
    std::array<int, dmx::kChannels> m_nValues{};
    std::array<bool, dmx::kChannels> m_bEnable{};
    std::array<bool, dmx::kChannels> m_bGroup{};
    int m_nDisplay = 0; // 0 percent, 1 value
    int m_nPort = 0;    // COM1 to COM4
    bool m_bGroupAll = false;
    bool m_bEnableAll = false;
    // How the value fields show the values now.
    bool m_bPercentMode = true;
    std::array<int, dmx::kChannels> m_nRemembered{};

    std::array<QSlider*, dmx::kChannels> sliders_{};
    std::array<QLineEdit*, dmx::kChannels> valueFields_{};
    std::array<QPushButton*, dmx::kChannels> setButtons_{};
    std::array<QCheckBox*, dmx::kChannels> groupBoxes_{};
    std::array<QCheckBox*, dmx::kChannels> enableBoxes_{};
    std::array<QLabel*, dmx::kChannels> channelLabels_{};
    // A user's action on the slider is under way; its value change runs the rules.
    std::array<bool, dmx::kChannels> userAction_{};
    QLineEdit* baseField_ = nullptr;
    QPushButton* baseUp_ = nullptr;
    QPushButton* baseDown_ = nullptr;
    std::array<QRadioButton*, 4> portButtons_{};
    QRadioButton* percentButton_ = nullptr;
    QRadioButton* valueButton_ = nullptr;
    QPushButton* blackout_ = nullptr;
    QPushButton* setAll_ = nullptr;
    QCheckBox* groupAll_ = nullptr;
    QCheckBox* enableAll_ = nullptr;
    QPushButton* help_ = nullptr;
    QTimer* timer_ = nullptr;

    std::map<const QWidget*, HelpTopic> topics_;
    bool initialised_ = false;
    bool messageOpen_ = false;
    bool shutDown_ = false;
    QString lastPopupHelp_;
};

} // namespace lumaquill
