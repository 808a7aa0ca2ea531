// "Velmora General Options" (dialog 143) and "Configure Compiler" (dialog 139). Both open
// centred on the desktop, show the settings they are given and store them on OK; Cancel
// changes nothing.
#pragma once

#include "controls/dialogkit/data_exchange.h"
#include "platform/qt/exchange_dialog.h"
#include "views/common/cell_tips_view.h"

#include <cstdint>
#include <functional>

class CVLDoc;
class QButtonGroup;
class QCheckBox;
class QRadioButton;
struct CCfgCompilerDlg;

namespace options {

// "Popup Window Delay" in ticks of 55 ms and the radio button that shows it; a value the
// dialog does not offer shows as "1 Second *".
int PopupDelayIndex(std::uint16_t ticks);
// The ticks of a radio index; outside 0-4 the delay stays `current`.
std::uint16_t PopupDelayTicks(int index, std::uint16_t current);

// The program's settings the general options edit, as the application keeps them.
struct GeneralOptionFields {
    bool& newFileAtStartup;
    bool& alwaysPopupEventList;
    bool& spreadsheetHints;
    std::uint16_t& popupDelay; // ticks of 55 ms
};

class COptionsGeneralDlg : public platform::qt::ExchangeDialog<dialogs::DataExchange> {
public:
    explicit COptionsGeneralDlg(GeneralOptionFields options, QWidget* parent = nullptr);

protected:
    void DoDataExchange(dialogs::DataExchange& dx) override;

private:
    GeneralOptionFields options_;
    QCheckBox* newFile_;
    QCheckBox* popupEvents_;
    QCheckBox* hints_;
    QButtonGroup* delay_;
};

// The command: runs the dialog on the program's settings. On OK they are stored and
// `saveSettings` writes them; then the first view of the active script (if any) that has cell
// tips takes the new hints setting. Answers whether OK was pressed.
bool OnGeneralOptions(GeneralOptionFields options, const std::function<void()>& saveSettings,
                      CVLDoc* activeScript, QWidget* parent = nullptr);

class CCfgCompilerDialog : public platform::qt::ExchangeDialog<dialogs::DataExchange> {
public:
    explicit CCfgCompilerDialog(CCfgCompilerDlg& request, QWidget* parent = nullptr);

protected:
    void DoDataExchange(dialogs::DataExchange& dx) override;

private:
    CCfgCompilerDlg& request_;
    QRadioButton* speed_;
    QRadioButton* size_;
    QCheckBox* verbose_;
    QCheckBox* maxDetection_;
    QCheckBox* noArchive_;
    QCheckBox* noPopups_;
};

// The handler of the script's compiler-options request: the dialog on the request; OK stores
// its values there.
bool RunCompilerDialog(CCfgCompilerDlg& request, QWidget* parent = nullptr);

} // namespace options
