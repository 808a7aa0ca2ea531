#include "app/gui/options_dialogs.h"

#include "app/vl_app.h"
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

COptionsGeneralDlg::COptionsGeneralDlg(QWidget* parent) : QDialog(parent) {
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

int COptionsGeneralDlg::exec() {
    newFile_->setChecked(m_bNewFileAtStartup != 0);
    popupEvents_->setChecked(m_bAlwaysPopupEventList != 0);
    hints_->setChecked(m_bSpreadsheetHints != 0);
    if (QAbstractButton* radio = delay_->button(m_nPopupDelay))
        radio->setChecked(true);
    dialogs::CentreOnDesktop(*this);
    return QDialog::exec();
}

void COptionsGeneralDlg::accept() {
    m_bNewFileAtStartup = newFile_->isChecked();
    m_bAlwaysPopupEventList = popupEvents_->isChecked();
    m_bSpreadsheetHints = hints_->isChecked();
    m_nPopupDelay = delay_->checkedId();
    QDialog::accept();
}

bool OnGeneralOptions(CVLApp& app, CVLDoc* activeScript, QWidget* parent) {
    COptionsGeneralDlg dialog(parent);
    dialog.m_bNewFileAtStartup = app.m_bNewFileAtStartup;
    dialog.m_bAlwaysPopupEventList = app.m_bAlwaysPopupEventList;
    dialog.m_bSpreadsheetHints = app.m_bSpreadsheetHints;
    dialog.m_nPopupDelay = PopupDelayIndex(app.m_wPopupDelay);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    app.m_bNewFileAtStartup = dialog.m_bNewFileAtStartup != 0;
    app.m_bAlwaysPopupEventList = dialog.m_bAlwaysPopupEventList != 0;
    app.m_bSpreadsheetHints = dialog.m_bSpreadsheetHints != 0;
    app.m_wPopupDelay = PopupDelayTicks(dialog.m_nPopupDelay, app.m_wPopupDelay);
    app.SaveSettings();
    if (activeScript) {
        // Only the first grid view of the script follows at once; the others when remade.
        for (platform::View* view : activeScript->Views()) {
            if (!HasRole(*view, &ViewKind::cellTips))
                continue;
            if (auto* tips = dynamic_cast<CellTipsView*>(view))
                tips->EnableCellTips(app.m_bSpreadsheetHints);
            break;
        }
    }
    return true;
}

CCfgCompilerDialog::CCfgCompilerDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Configure Compiler"));
    auto* layout = new QVBoxLayout(this);
    auto* group = new QGroupBox(QStringLiteral("Compiler Optimization"), this);
    auto* radios = new QVBoxLayout(group);
    optimization_ = new QButtonGroup(this);
    QRadioButton* speed = dialogs::MakeRadio(QStringLiteral("Optimize for Speed"), 222, group);
    QRadioButton* size = dialogs::MakeRadio(QStringLiteral("Optimize for Size"), 223, group);
    optimization_->addButton(speed, 0);
    optimization_->addButton(size, 1);
    radios->addWidget(speed);
    radios->addWidget(size);
    layout->addWidget(group);
    verbose_ = dialogs::MakeCheck(QStringLiteral("Compiler Messages Verbose"), 231, this);
    maxDetection_ = dialogs::MakeCheck(QStringLiteral("Maximize Problem Detection"), 353, this);
    noArchive_ = dialogs::MakeCheck(QStringLiteral("Don't Offer to Archive Script"), 416, this);
    noPopups_ = dialogs::MakeCheck(QStringLiteral("Don't Display Any Compiler Popups"), 415, this);
    for (QCheckBox* check : {verbose_, maxDetection_, noArchive_, noPopups_})
        layout->addWidget(check);
    layout->addWidget(dialogs::OkCancel(*this));
}

int CCfgCompilerDialog::exec() {
    if (QAbstractButton* radio = optimization_->button(m_nOptimization))
        radio->setChecked(true);
    verbose_->setChecked(m_bVerbose != 0);
    maxDetection_->setChecked(m_bMaxDetection != 0);
    noArchive_->setChecked(m_bNoArchiveOffer != 0);
    noPopups_->setChecked(m_bNoCompilerPopups != 0);
    dialogs::CentreOnDesktop(*this);
    return QDialog::exec();
}

void CCfgCompilerDialog::accept() {
    m_nOptimization = optimization_->checkedId();
    m_bVerbose = verbose_->isChecked();
    m_bMaxDetection = maxDetection_->isChecked();
    m_bNoArchiveOffer = noArchive_->isChecked();
    m_bNoCompilerPopups = noPopups_->isChecked();
    QDialog::accept();
}

bool RunCompilerDialog(CCfgCompilerDlg& request, QWidget* parent) {
    CCfgCompilerDialog dialog(parent);
    dialog.m_nOptimization = request.optimization ? 1 : 0;
    dialog.m_bVerbose = request.verboseMessages;
    dialog.m_bMaxDetection = request.maxDetection;
    dialog.m_bNoArchiveOffer = request.noArchiveOffer;
    dialog.m_bNoCompilerPopups = request.noCompilerPopups;
    if (dialog.exec() != QDialog::Accepted)
        return false;
    request.optimization = dialog.m_nOptimization != 0 ? 1 : 0;
    request.verboseMessages = dialog.m_bVerbose;
    request.maxDetection = dialog.m_bMaxDetection;
    request.noArchiveOffer = dialog.m_bNoArchiveOffer;
    request.noCompilerPopups = dialog.m_bNoCompilerPopups;
    return true;
}

} // namespace options
