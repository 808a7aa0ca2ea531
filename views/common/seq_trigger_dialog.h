// "Sequence Trigger": the program's answer to the script model's request to edit one trigger
// of a sequence. The three drop-downs list the product's inputs and variables; the dialog loads
// and stores the trigger's three names itself and hands the radio choices back in the request.
#pragma once

#include "controls/dialogkit/data_exchange.h"
#include "platform/qt/exchange_dialog.h"
#include "views/common/io_object.h"

#include <array>
#include <functional>
#include <memory>
#include <vector>

class QComboBox;
class QRadioButton;
struct CSeqTriggerDlg;
namespace platform::qt {
class ViewRegistry;
}

class CSeqTriggerDialog : public platform::qt::ExchangeDialog<dialogs::DataExchange> {
public:
    CSeqTriggerDialog(CSeqTriggerDlg& request, QWidget* parent = nullptr);
    ~CSeqTriggerDialog() override;

    static const char* TitlePrefix(int triggerIndex);

protected:
    // Shows the trigger's names and the request's choices; on OK stores the names in the
    // trigger and the choices in the request.
    void DoDataExchange(dialogs::DataExchange& dx) override;
    void OnValuesShown() override;

private:
    void FillLists();
    void ShowNames();
    void StoreNames();
    void OnChosen(int box, int index);
    void ApplyEnabling();

    CSeqTriggerDlg& request_;
    // The entries of each drop-down: 214 input, 215 variable, 216 variable or literal.
    std::array<std::vector<std::unique_ptr<CIOObject>>, 3> lists_;
    std::array<QComboBox*, 3> boxes_{};
    std::array<int, 3> chosen_{-1, -1, -1}; // the entry chosen since the last typing
    std::array<QRadioButton*, 2> edge_{};
    std::array<QRadioButton*, 2> combine_{};
    std::array<QRadioButton*, 6> comparison_{};
};

// Answers the trigger request with the dialog above, parented by `parent()`.
void RegisterSequenceDialogs(platform::qt::ViewRegistry& registry,
                             std::function<QWidget*()> parent);
