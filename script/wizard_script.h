// The skeleton script of the Script Wizard: a show of video players on serial ports, with day
// and night modes switched by a button, the players' start-up, a looping main show, and the
// LCD texts and resource names that go with them.
#pragma once

#include "script/sequence.h"
#include "script/text_resources.h"

#include <memory>
#include <string>
#include <vector>

class CProduct;
class CProList;

// The most players a product can hold: one serial port after port 0 and one ready flag after
// flag 3 for each. Answers the count to use, after a message when it had to be lowered.
int BoundWizardPlayers(const CProduct& product, int players);

class CScriptWizard {
public:
    // Names go into the product (the script's private copy); the protocol of the players' ports
    // is loaded from the protocol list when it holds it.
    CScriptWizard(CProduct& product, const CProList* protocols);
    CScriptWizard(const CScriptWizard&) = delete;
    CScriptWizard& operator=(const CScriptWizard&) = delete;

    // Names the resources and builds the LCD strings and the sequences for `players` players
    // (already bounded to what the product holds).
    void Build(const std::string& showName, int players);

    // Each addition is skipped once an allocation has failed.
    void WizardAddSequence(const std::string& name, std::uint16_t level,
                           const std::string& description);
    void WizardAddEvent(const std::string& label, const std::string& time, const std::string& event,
                        const std::string& data1 = {}, const std::string& data2 = {},
                        const std::string& data3 = {}, const std::string& data4 = {});
    void WizardAddLcdString(const std::string& name, const std::string& data,
                            const std::string& comment);

    bool Failed() const { return m_bFailed; }

    std::vector<std::unique_ptr<CLcdStr>> m_LcdStrings;
    std::vector<std::unique_ptr<CSeq>> m_Sequences;

private:
    void NameResources(int players);
    void AddLcdStrings(const std::string& showName);
    void AddSequences(int players);
    void Fail(const char* message);

    CProduct& m_Product;
    const CProList* m_pProtocols;
    CSeq* m_pCurrent = nullptr;
    bool m_bFailed = false;
};
