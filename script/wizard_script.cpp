#include "script/wizard_script.h"

#include "platform/ui_services.h"
#include "script/product.h"
#include "script/protocol_list.h"

#include <algorithm>
#include <new>

namespace {

const char* const kMsgNoMemoryEvent =
    "Not enough memory to allocate Event ( *pEvent ).  Aborting File Construction...";
const char* const kMsgNoMemorySeq =
    "Not enough memory to allocate Sequence ( *pSeq ).  Aborting File Construction...";
const char* const kMsgNoMemoryEventList = "Not enough memory to allocate Event List ( "
                                          "pSeq->*m_poEventList ).  Aborting File Construction...";
const char* const kMsgNoMemoryLcd =
    "Not enough memory to allocate LCD String ( *pLcdStr ).  Aborting File Construction...";

constexpr int kLcdWidth = 40;
constexpr int kFirstReadyFlag = 4; // flags 1 to 3 are the day/night flags

std::string Numbered(const char* prefix, int i, const char* suffix = "") {
    return prefix + std::to_string(i) + suffix;
}

// A full LCD line: the show name and the mode in double quotes, padded to 40 characters
// counting the opening quote.
std::string ModeLine(const std::string& showName, const char* mode) {
    std::string text = "\"" + showName + mode;
    if (text.size() < static_cast<std::size_t>(kLcdWidth))
        text.append(static_cast<std::size_t>(kLcdWidth) - text.size(), ' ');
    return text + "\"";
}

} // namespace

int BoundWizardPlayers(const CProduct& product, int players) {
    const int ports = std::min<int>(product.m_wPorts, CProduct::kMaxPorts);
    const int flags = std::min<int>(product.m_wFlags, CProduct::kMaxFlags);
    const int room = std::max(0, std::min(ports - 1, flags - (kFirstReadyFlag - 1)));
    if (players <= room)
        return std::max(players, 0);
    // Port 0 is the MIDI port: the serial ports of the players are the ones after it.
    platform::ShowMessage(
        "The " + product.m_strName + " has only " + std::to_string(std::max(0, ports - 1)) +
        " serial ports and " + std::to_string(flags) + " flags.  That's room for " +
        std::to_string(room) + " video players.\n\nResetting to " + std::to_string(room) + "...");
    return room;
}

CScriptWizard::CScriptWizard(CProduct& product, const CProList* protocols)
    : m_Product(product), m_pProtocols(protocols) {}

void CScriptWizard::Fail(const char* message) {
    m_bFailed = true;
    platform::ShowMessage(message);
}

void CScriptWizard::WizardAddSequence(const std::string& name, std::uint16_t level,
                                      const std::string& description) {
    if (m_bFailed)
        return;
    try {
        auto sequence = std::make_unique<CSeq>(name, level);
        sequence->m_strDescription = description;
        m_Sequences.push_back(std::move(sequence));
        m_pCurrent = m_Sequences.back().get();
    } catch (const std::bad_alloc&) {
        Fail(kMsgNoMemorySeq);
    }
}

void CScriptWizard::WizardAddEvent(const std::string& label, const std::string& time,
                                   const std::string& event, const std::string& data1,
                                   const std::string& data2, const std::string& data3,
                                   const std::string& data4) {
    if (m_bFailed || !m_pCurrent)
        return;
    std::unique_ptr<CEvnt> added;
    try {
        added = std::make_unique<CEvnt>();
        added->m_strLabel = label;
        added->m_strTime = time;
        added->m_strEvent = event;
        added->m_strData1 = data1;
        added->m_strData2 = data2;
        added->m_strData3 = data3;
        added->m_strData4 = data4;
    } catch (const std::bad_alloc&) {
        Fail(kMsgNoMemoryEvent);
        return;
    }
    try {
        m_pCurrent->m_poEventList.push_back(std::move(added));
    } catch (const std::bad_alloc&) {
        Fail(kMsgNoMemoryEventList); // the list could not grow
    }
}

void CScriptWizard::WizardAddLcdString(const std::string& name, const std::string& data,
                                       const std::string& comment) {
    if (m_bFailed)
        return;
    try {
        m_LcdStrings.push_back(std::make_unique<CLcdStr>(name, data, comment));
    } catch (const std::bad_alloc&) {
        Fail(kMsgNoMemoryLcd);
    }
}

void CScriptWizard::Build(const std::string& showName, int players) {
    NameResources(players);
    AddLcdStrings(showName);
    AddSequences(players);
}

void CScriptWizard::NameResources(int players) {
    CProduct& p = m_Product;
    const int flags = std::min<int>(p.m_wFlags, CProduct::kMaxFlags);
    const int ports = std::min<int>(p.m_wPorts, CProduct::kMaxPorts);
    if (p.m_wInputs >= 1)
        p.m_Inputs[0].m_strName = "Day/Night_Button";
    if (flags >= 1)
        p.m_Flags[0].m_strName = "In_Daymode";
    if (flags >= 2)
        p.m_Flags[1].m_strName = "Going_To_Daymode";
    for (int i = 1; i <= players; ++i) {
        const int flag = kFirstReadyFlag + i - 1; // 1-based
        if (flag <= flags)
            p.m_Flags[static_cast<std::size_t>(flag - 1)].m_strName = Numbered("PLN", i, "_Ready");
        if (i < ports) {
            CProductPort& port = p.m_Ports[static_cast<std::size_t>(i)];
            port.m_strName = Numbered("PLN", i);
            port.m_strProtocol = "Brevant_Pelvane_2";
        }
    }
    if (players >= 1 && ports > 1 && m_pProtocols) {
        CProtocol* protocol = nullptr;
        if (m_pProtocols->FindProtocol(p.m_Ports[1].m_strProtocol, protocol, false) && protocol)
            protocol->LoadCommands();
    }
}

void CScriptWizard::AddLcdStrings(const std::string& showName) {
    WizardAddLcdString("Nightmode_Msg", ModeLine(showName, ": Night"), "");
    WizardAddLcdString("Daymode_Msg", ModeLine(showName, ": Day"), "");
    WizardAddLcdString("Clear_Line1_Msg", "\"                                        \"", "");
    WizardAddLcdString("Clear_Line2_Msg", "h0d, \"                                        \"", "");
    WizardAddLcdString("Go_Day_Msg", "h0d, \"Going to Daymode                        \"", "");
    WizardAddLcdString("Go_Night_Msg", "h0d, \"Going to Nightmode                      \"", "");
    WizardAddLcdString("PowerUp_PLNs_Msg", "h0d, \"Waiting for PLN Power up...             \"", "");
    WizardAddLcdString("Waiting_PLNs_Msg", "h0d, \"Waiting for PLN Initialization...       \"", "");
    WizardAddLcdString("PLNs_Ready_Msg", "h0d, \"PLNs are Ready                          \"", "");
    WizardAddLcdString("Running_Show_Msg", "h0d, \"Main Show is Running                    \"", "");
}

void CScriptWizard::AddSequences(int n) {
    const std::string t0 = "00:00.00";

    WizardAddSequence("AutoExec", 1, "Displays signon at power up");
    if (!m_bFailed)
        m_pCurrent->m_nAutoStart = 1;
    WizardAddEvent("", "00:02.00", "Display", "Nightmode_Msg");
    WizardAddEvent("", "00:02.00", "Display", "Clear_Line2_Msg");

    WizardAddSequence("Daymode/Nightmode", 1, "Toggles between running Daymode and Nightmode");
    if (!m_bFailed)
        m_pCurrent->m_aTriggers[CSeq::Start].m_strIoName = "Day/Night_Button";
    WizardAddEvent("", t0, "Start", "Reset_All_Sequences");
    WizardAddEvent("", "00:00.05", "IfOff", "Going_To_Daymode", "Go_Day");
    WizardAddEvent("Go_Night", t0, "Start", "Goto_Nightmode");
    WizardAddEvent("", t0, "Goto", "End");
    WizardAddEvent("Go_Day", t0, "Start", "Goto_Daymode");
    WizardAddEvent("End", "00:00.10", "Toggle", "Going_To_Daymode");

    WizardAddSequence("Goto_Daymode", 2, "Initializes PLNs and show");
    WizardAddEvent("", t0, "Display", "Go_Day_Msg");
    WizardAddEvent("", t0, "Display", "PowerUp_PLNs_Msg");
    for (int i = 1; i <= n; ++i)
        WizardAddEvent("", t0, "Off", Numbered("PLN", i, "_Ready"));
    for (int i = 1; i <= n; ++i)
        WizardAddEvent("", t0, "Start", Numbered("Prepare_PLN", i));
    WizardAddEvent("", t0, "Start", "Wait_For_PLNs_Ready");
    WizardAddEvent("", "00:30.00", "Display", "Waiting_PLNs_Msg");

    for (int i = 1; i <= n; ++i) {
        WizardAddSequence(Numbered("Prepare_PLN", i), 3, "Gets a PLN ready as fast as possible");
        WizardAddEvent("", t0, "UnMute", Numbered("PLN", i), "Video");
        WizardAddEvent("", t0, "On", Numbered("PLN", i, "_Ready"));
    }

    WizardAddSequence("Wait_For_PLNs_Ready", 3, "Waits for all PLNs to be ready");
    if (!m_bFailed)
        m_pCurrent->m_nLooping = 1;
    for (int i = 1; i <= n; ++i)
        WizardAddEvent("", t0, "IfOff", Numbered("PLN", i, "_Ready"), "TryAgain");
    WizardAddEvent("", t0, "Start", "PLNs_Are_Ready");
    WizardAddEvent("", t0, "Reset", "Goto_Daymode");
    WizardAddEvent("", t0, "Pause", "Wait_For_PLNs_Ready");
    WizardAddEvent("TryAgain", "00:00.10", "Nop");

    WizardAddSequence("PLNs_Are_Ready", 3, "Finishes initializing show after PLNs ready");
    WizardAddEvent("", t0, "On", "In_Daymode");
    WizardAddEvent("", t0, "Display", "Daymode_Msg");
    WizardAddEvent("", t0, "Display", "PLNs_Ready_Msg");
    for (int i = 1; i <= n; ++i)
        WizardAddEvent("", t0, "Start", Numbered("Search_PLN", i));
    WizardAddEvent("", "00:02.00", "Display", "Clear_Line2_Msg");
    WizardAddEvent("", "00:02.00", "Start", "MainShow");

    WizardAddSequence("Goto_Nightmode", 2, "Shuts down PLNs and uninitializes show");
    WizardAddEvent("", t0, "Display", "Go_Night_Msg");
    for (int i = 1; i <= n; ++i)
        WizardAddEvent("", t0, "Reset", Numbered("PLN", i));
    WizardAddEvent("", t0, "Off", "In_Daymode");
    WizardAddEvent("", "00:02.00", "Display", "Nightmode_Msg");
    WizardAddEvent("", "00:02.00", "Display", "Clear_Line2_Msg");

    WizardAddSequence("MainShow", 1, "Loops PLNs together");
    if (!m_bFailed)
        m_pCurrent->m_nLooping = 1;
    WizardAddEvent("", t0, "Display", "Running_Show_Msg");
    for (int i = 1; i <= n; ++i)
        WizardAddEvent("", t0, "Start", Numbered("Play_PLN", i));
    for (int i = 1; i <= n; ++i)
        WizardAddEvent("", "00:20.00", "Start", Numbered("Search_PLN", i));
    WizardAddEvent("", "00:20.10", "Nop");

    for (int i = 1; i <= n; ++i) {
        WizardAddSequence(Numbered("Search_PLN", i), 2, "Searches to main show clip");
        WizardAddEvent("", t0, "SelectClip", Numbered("PLN", i), "1");
    }
    for (int i = 1; i <= n; ++i) {
        WizardAddSequence(Numbered("Play_PLN", i), 2, "Plays PLN synchronously");
        WizardAddEvent("", t0, "Play", Numbered("PLN", i));
    }

    WizardAddSequence("Reset_All_Sequences", 1, "Resets all possibly running sequences");
    WizardAddEvent("", t0, "Reset", "Goto_Daymode");
    WizardAddEvent("", t0, "Reset", "Goto_Nightmode");
    for (int i = 1; i <= n; ++i) {
        WizardAddEvent("", t0, "Reset", Numbered("Prepare_PLN", i));
        WizardAddEvent("", t0, "Reset", Numbered("Search_PLN", i));
        WizardAddEvent("", t0, "Reset", Numbered("Play_PLN", i));
    }
    WizardAddEvent("", t0, "Reset", "Wait_For_PLNs_Ready");
    WizardAddEvent("", t0, "Reset", "PLNs_Are_Ready");
    WizardAddEvent("", t0, "Reset", "MainShow");
}
