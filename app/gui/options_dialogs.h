// "Velmora General Options" (dialog 143) and "Configure Compiler" (dialog 139). Both open
// centred on the desktop; the commands copy the values in before and out after, and OK writes
// the profile at once while Cancel changes nothing.
#pragma once

#include "views/common/cell_tips_view.h"

#include <QDialog>
#include <cstdint>

class CVLApp;
class CVLDoc;
class QButtonGroup;
class QCheckBox;
struct CCfgCompilerDlg;

namespace options {

// "Popup Window Delay" in ticks of 55 ms and the radio button that shows it; a value the
// dialog does not offer shows as "1 Second *".
int PopupDelayIndex(std::uint16_t ticks);
// The ticks of a radio index; outside 0-4 the delay stays `current`.
std::uint16_t PopupDelayTicks(int index, std::uint16_t current);

class COptionsGeneralDlg : public QDialog {
public:
    explicit COptionsGeneralDlg(QWidget* parent = nullptr);
    int m_bNewFileAtStartup = 0;
    int m_bAlwaysPopupEventList = 0;
    int m_bSpreadsheetHints = 1;
    int m_nPopupDelay = -1; // radio index
    int exec() override;
    void accept() override;

private:
    QCheckBox* newFile_;
    QCheckBox* popupEvents_;
    QCheckBox* hints_;
    QButtonGroup* delay_;
};

// The command: runs the dialog on the application's settings. On OK the settings are stored
// and written; then the first view of the active script (if any) that has cell tips takes the
// new hints setting. Answers whether OK was pressed.
bool OnGeneralOptions(CVLApp& app, CVLDoc* activeScript, QWidget* parent = nullptr);

class CCfgCompilerDialog : public QDialog {
public:
    explicit CCfgCompilerDialog(QWidget* parent = nullptr);
    int m_nOptimization = -1;
    int m_bVerbose = 0;
    int m_bMaxDetection = 0;
    int m_bNoArchiveOffer = 0;
    int m_bNoCompilerPopups = 1;
    int exec() override;
    void accept() override;

private:
    QButtonGroup* optimization_;
    QCheckBox* verbose_;
    QCheckBox* maxDetection_;
    QCheckBox* noArchive_;
    QCheckBox* noPopups_;
};

// The handler of the script's compiler-options request: the dialog with the request's values;
// OK copies them back.
bool RunCompilerDialog(CCfgCompilerDlg& request, QWidget* parent = nullptr);

} // namespace options
