// A small script for the event editor's tests: its own services with an event protocol and a
// port protocol that share the category "Play", a product with two ports (the first wired to
// the port protocol), inputs, outputs, flags and variables, and a few strings and sequences.
#pragma once

#include "script/doc_list.h"
#include "script/protocol_list.h"
#include "script/vl_doc.h"

#include <memory>
#include <string>

namespace eventtest {

inline std::unique_ptr<CCmnd> Command(const std::string& name, const std::string& description,
                                      std::initializer_list<const char*> params = {}) {
    auto command = std::make_unique<CCmnd>(name);
    command->m_strDescription = description;
    for (const char* p : params)
        command->m_Params[static_cast<std::size_t>(command->m_nParamCount++)].m_strDescription = p;
    return command;
}

struct FixtureServices : AppServices {
    FixtureServices() {
        events.m_strMaker = "Brevant";
        events.m_strModel = "Events";
        events.m_poCmndList.push_back(Command("Nop", "Does nothing"));
        events.m_poCmndList.push_back(Command("On", "Turns an output on", {"The output"}));
        events.m_poCmndList.push_back(Command("Start", "Starts a sequence", {"The sequence"}));
        events.m_poCmndList.push_back(Command("Play", "Plays the internal player", {"Player"}));
        auto deck = std::make_unique<CProtocol>();
        deck->m_strMaker = "Acme";
        deck->m_strModel = "Deck";
        deck->m_poCmndList.push_back(Command("Play:Fwd", "Plays forward", {"Port", "Speed"}));
        deck->m_poCmndList.push_back(Command("Play:Fwd", "Plays forward", {"Port", "Speed"}));
        deck->m_poCmndList.push_back(Command("Play:Rev", "", {"Port"}));
        deck->m_poCmndList.push_back(Command("Eject", "Ejects the medium", {"Port"}));
        protocols.AddTail(std::move(deck));
    }
    CProList& Protocols() override { return protocols; }
    CProtocol* EventProtocol() override { return &events; }
    CDocList& OpenDocuments() override { return documents; }
    int PopupDelayTicks() const override { return 0; }

    CProtocol events;
    CProList protocols;
    CDocList documents;
};

// A script of the fixture: product with two ports (Deck on "Acme_Deck", Spare on "None"),
// two inputs, outputs, a flag and a variable; a data string, an LCD string, sequences Intro
// and Show.
inline std::unique_ptr<CVLDoc> MakeScript(FixtureServices& services) {
    auto doc = std::make_unique<CVLDoc>(services);
    doc->SetTitle("Show.ksf");
    auto product = std::make_unique<CProduct>();
    product->m_wPorts = 2;
    product->m_Ports[0].m_strName = "Deck";
    product->m_Ports[0].m_strComment = "The tape deck";
    product->m_Ports[0].m_strProtocol = "Acme_Deck";
    product->m_Ports[1].m_strName = "Spare";
    product->m_Ports[1].m_strProtocol = "None";
    product->m_wInputs = 2;
    product->m_Inputs[0] = {"Button", "Start button\nat the door\nleft side", 0};
    product->m_Inputs[1] = {"Lamp", "An input named like an output", 0};
    product->m_wOutputs = 2;
    product->m_Outputs[0] = {"Lamp", "The lamp", 0};
    product->m_Outputs[1] = {"Fan", "", 0};
    product->m_wFlags = 1;
    product->m_Flags[0] = {"Ready", "Set when ready", 0};
    product->m_wVars = 1;
    product->m_Vars[0] = {"Count", "Visitors", 0};
    doc->m_pProduct = std::move(product);
    doc->m_poDataStrList.push_back(std::make_unique<CDataStr>("Hello", "\"hi\"", "Greeting"));
    doc->m_poLcdStrList.push_back(std::make_unique<CLcdStr>("Welcome", "\"W\"", "On the LCD"));
    doc->m_poSeqList.push_back(std::make_unique<CSeq>("Intro", 1));
    doc->m_poSeqList.back()->m_strDescription = "The opening";
    doc->m_poSeqList.push_back(std::make_unique<CSeq>("Show", 1));
    return doc;
}

} // namespace eventtest
