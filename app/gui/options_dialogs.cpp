#include "app/gui/options_dialogs.h"

#include "controls/dialogkit/dialog_kit.h"
#include "script/dialog_requests.h"
#include "script/view_kind.h"
#include "script/vl_doc.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QVBoxLayout>
#include <cstring>

namespace options {

namespace {

constexpr std::uint16_t kDelayTicks[] = {4, 9, 18, 36, 72};

} // namespace

int PopupDelayIndex(std::uint16_t ticks) {
    for (int i = 0; i < 5; ++i)
        if (kDelayTicks[i] == ticks)
            return i;
    return 2;
}

std::uint16_t PopupDelayTicks(int index, std::uint16_t current) {
    return index >= 0 && index < 5 ? kDelayTicks[index] : current;
}

COptionsGeneralDlg::COptionsGeneralDlg(GeneralOptionFields options, QWidget* parent)
    : ExchangeDialog(parent), options_(options) {
    placement = dialogs::CentreOnDesktop;
    setWindowTitle(QStringLiteral("Velmora General Options"));
    auto* layout = new QVBoxLayout(this);
    newFile_ = dialogs::MakeCheck(QStringLiteral("Always Create New File at Startup"), 235, this);
    popupEvents_ = dialogs::MakeCheck(QStringLiteral("Always Popup Event List"), 295, this);
    hints_ = dialogs::MakeCheck(QStringLiteral("Display Spreadsheet Hints"), 296, this);
    layout->addWidget(newFile_);
    layout->addWidget(popupEvents_);
    layout->addWidget(hints_);
    auto* group =
        new QGroupBox(QStringLiteral("Length of Time Popup Windows Stay on Screen"), this);
    auto* radios = new QVBoxLayout(group);
    delay_ = new QButtonGroup(this);
    const char* texts[] = {"1/4 Second", "1/2 Second", "1 Second *", "2 Seconds", "4 Seconds"};
    for (int i = 0; i < 5; ++i) {
        QRadioButton* radio = dialogs::MakeRadio(QString::fromLatin1(texts[i]), 382 + i, group);
        delay_->addButton(radio, i);
        radios->addWidget(radio);
    }
    layout->addWidget(group);
    layout->addWidget(dialogs::OkCancel(*this));
}

void COptionsGeneralDlg::DoDataExchange(dialogs::DataExchange& dx) {
    dx.Check(newFile_, options_.newFileAtStartup);
    dx.Check(popupEvents_, options_.alwaysPopupEventList);
    dx.Check(hints_, options_.spreadsheetHints);
    // With no button checked the delay stays as it was.
    int delay = dx.IsReading() ? -1 : PopupDelayIndex(options_.popupDelay);
    const auto radio = [this](int id) { return static_cast<QRadioButton*>(delay_->button(id)); };
    dx.Radio({radio(0), radio(1), radio(2), radio(3), radio(4)}, delay);
    if (dx.IsReading())
        options_.popupDelay = PopupDelayTicks(delay, options_.popupDelay);
}

bool OnGeneralOptions(GeneralOptionFields options, const std::function<void()>& saveSettings,
                      CVLDoc* activeScript, QWidget* parent) {
    COptionsGeneralDlg dialog(options, parent);
    if (dialog.Run() != QDialog::Accepted)
        return false;
    if (saveSettings)
        saveSettings();
    if (activeScript) {
        // Only the first grid view of the script follows at once; the others when remade.
        for (platform::View* view : activeScript->Views()) {
            if (!HasRole(*view, &ViewKind::cellTips))
                continue;
            if (auto* tips = dynamic_cast<CellTipsView*>(view))
                tips->EnableCellTips(options.spreadsheetHints);
            break;
        }
    }
    return true;
}

CCfgCompilerDialog::CCfgCompilerDialog(CCfgCompilerDlg& request, QWidget* parent)
    : ExchangeDialog(parent), request_(request) {
    placement = dialogs::CentreOnDesktop;
    setWindowTitle(QStringLiteral("Configure Compiler"));
    auto* layout = new QVBoxLayout(this);
    auto* group = new QGroupBox(QStringLiteral("Compiler Optimization"), this);
    auto* radios = new QVBoxLayout(group);
    speed_ = dialogs::MakeRadio(QStringLiteral("Optimize for Speed"), 222, group);
    size_ = dialogs::MakeRadio(QStringLiteral("Optimize for Size"), 223, group);
    radios->addWidget(speed_);
    radios->addWidget(size_);
    layout->addWidget(group);
    verbose_ = dialogs::MakeCheck(QStringLiteral("Compiler Messages Verbose"), 231, this);
    maxDetection_ = dialogs::MakeCheck(QStringLiteral("Maximize Problem Detection"), 353, this);
    noArchive_ = dialogs::MakeCheck(QStringLiteral("Don't Offer to Archive Script"), 416, this);
    noPopups_ = dialogs::MakeCheck(QStringLiteral("Don't Display Any Compiler Popups"), 415, this);
    for (QCheckBox* check : {verbose_, maxDetection_, noArchive_, noPopups_})
        layout->addWidget(check);
    layout->addWidget(dialogs::OkCancel(*this));
}

void CCfgCompilerDialog::DoDataExchange(dialogs::DataExchange& dx) {
    // Read with no button checked, the optimisation counts as for size.
    int optimization = dx.IsReading() ? -1 : (request_.optimization ? 1 : 0);
    dx.Radio({speed_, size_}, optimization);
    const auto flag = [&dx](QCheckBox* box, int& member) {
        bool on = member != 0;
        dx.Check(box, on);
        if (dx.IsReading())
            member = on ? 1 : 0;
    };
    flag(verbose_, request_.verboseMessages);
    flag(maxDetection_, request_.maxDetection);
    flag(noArchive_, request_.noArchiveOffer);
    flag(noPopups_, request_.noCompilerPopups);
    if (dx.IsReading())
        request_.optimization = optimization != 0 ? 1 : 0;
}

bool RunCompilerDialog(CCfgCompilerDlg& request, QWidget* parent) {
    CCfgCompilerDialog dialog(request, parent);
    return dialog.Run() == QDialog::Accepted;
}

} // namespace options
