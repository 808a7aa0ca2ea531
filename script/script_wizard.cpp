// The document's side of the Script Wizard: the dialog, the product and the unit settings; the
// skeleton itself is built by CScriptWizard.
#include "platform/ui_services.h"
#include "script/dialog_requests.h"
#include "script/protocol_list.h"
#include "script/vl_doc.h"
#include "script/wizard_script.h"

#include <algorithm>

bool CVLDoc::RunScriptWizard() {
    CScriptGenDlg dialog;
    if (!platform::Ui().RunDialog(dialog))
        return false;

    // The dialog holds the count to 1-16; a count from elsewhere is held there too.
    int players =
        std::clamp(dialog.players, CScriptGenDlg::kMinPlayers, CScriptGenDlg::kMaxPlayers);
    const std::string product = dialog.product == 1 ? "Harnel4" : "Harnel16";
    if (product == "Harnel4" && players > 4) {
        platform::ShowMessage("The Harnel4 has only 4 serial ports.  That's why it's called a "
                              "Harnel4.\n\nResetting to 4...");
        players = 4;
    }
    if (!InitNewScript(product))
        return false;
    players = BoundWizardPlayers(*m_pProduct, players);

    m_strDescription = "\"" + dialog.showName + "\", created by Script Wizard";
    m_strVersion = "1.00";
    m_strAuthor1 = dialog.author;
    m_wFrameRate = 2;
    if (dialog.synchronisation == 1) {
        m_wClockSource = 1;
        m_strExternalFrequency = "59.94";
    } else {
        m_wClockSource = 0;
        m_strExternalFrequency = "0";
    }

    m_poLcdStrList.clear();
    m_posCurrentSeq = nullptr;
    m_poSeqList.clear();

    CScriptWizard wizard(*m_pProduct, &Services().Protocols());
    wizard.Build(dialog.showName, players);
    m_poLcdStrList = std::move(wizard.m_LcdStrings);
    m_poSeqList = std::move(wizard.m_Sequences);

    SetModifiedFlag(true);
    return true;
}
