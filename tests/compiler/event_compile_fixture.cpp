#include "tests/compiler/event_compile_fixture.h"

#include "compiler/param_functions.h"

#include <fstream>
#include <unistd.h>

namespace event_compile_testing {

std::string RecordingSink::All() const {
    std::string all;
    for (const CompileMessage& line : lines)
        all += line.text + "\n";
    return all;
}

bool RecordingSink::Has(const std::string& text) const {
    for (const CompileMessage& line : lines)
        if (line.text == text)
            return true;
    return false;
}

void EventCompileTest::SetUp() {
    ResetCompilerState();
    tempDir_ = std::filesystem::temp_directory_path() /
               ("velmora_event_compile_" + std::to_string(::getpid()) + "_" +
                testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(tempDir_);

    main_ = std::make_unique<CVLDoc>(app_.App());
    main_->SetTitle("Main.ksf");
    ASSERT_TRUE(main_->InitNewScript("Harnel16"));
    main_->m_wAddress = 3;
    CProduct& product = *main_->m_pProduct;
    product.m_Inputs[0].m_strName = "Button";
    product.m_Outputs[0].m_strName = "Lamp";
    product.m_Outputs[1].m_strName = "Siren";
    product.m_Flags[2].m_strName = "Ready";
    product.m_Vars[0].m_strName = "Count";
    product.m_Ports[1].m_strName = "Link";
    product.m_Ports[1].m_strRemap.clear();
    product.m_Ports[2].m_strName = "Aux";
    main_->m_poDataStrList.push_back(std::make_unique<CDataStr>("Hello", "\"Hi\",13", ""));
    main_->m_poLcdStrList.push_back(std::make_unique<CLcdStr>("Banner", "\"Welcome\"", ""));
    Sequence().m_poEventList.clear();

    remote_ = std::make_unique<CVLDoc>(app_.App());
    remote_->SetTitle("Remote.ksf");
    ASSERT_TRUE(remote_->InitNewScript("Harnel16"));
    remote_->m_wAddress = 7;
    remote_->m_pProduct->m_Outputs[0].m_strName = "FarLamp";
    remote_->m_pProduct->m_Flags[0].m_strName = "FarFlag";
    remote_->m_pProduct->m_Vars[0].m_strName = "FarVar";
    remote_->m_poSeqList.front()->m_strName = "FarShow";

    CompilerState& state = GetCompilerState();
    state.document = main_.get();
    state.compileView = &sink_;
}

void EventCompileTest::TearDown() {
    ResetCompilerState();
    main_.reset();
    remote_.reset();
    std::error_code ec;
    std::filesystem::remove_all(tempDir_, ec);
}

CEvnt& EventCompileTest::AddEvent(const std::string& name, const std::vector<std::string>& params,
                                  const std::string& label) {
    auto event = std::make_unique<CEvnt>();
    event->m_strEvent = name;
    event->m_strLabel = label;
    std::string* fields[] = {&event->m_strData1, &event->m_strData2, &event->m_strData3};
    for (std::size_t i = 0; i < params.size(); ++i) {
        if (i < 3) {
            *fields[i] = params[i];
        } else {
            if (!event->m_strData4.empty())
                event->m_strData4 += ' ';
            event->m_strData4 += params[i];
        }
    }
    Sequence().m_poEventList.push_back(std::move(event));
    return *Sequence().m_poEventList.back();
}

void EventCompileTest::SetCursor(CEvnt& event) {
    CompilerState& state = GetCompilerState();
    state.document = main_.get();
    state.currentSequence = &Sequence();
    state.currentSequenceIndex = 0;
    state.currentEvent = &event;
    state.currentEventIndex = 0;
    for (std::size_t i = 0; i < Sequence().m_poEventList.size(); ++i)
        if (Sequence().m_poEventList[i].get() == &event)
            state.currentEventIndex = static_cast<int>(i);
}

ByteString EventCompileTest::CompileFull(CEvnt& event) {
    SetCursor(event);
    event.m_bsCompiled = {0x00, 0x00};
    if (CompilePortEvent(*main_))
        CompileInternalEvent(*main_, 1);
    else
        CompileExternalEvent(*main_, 1);
    return ByteString(event.m_bsCompiled.begin() + 2, event.m_bsCompiled.end());
}

bool EventCompileTest::CompileAlone(CEvnt& event, ByteString& body) {
    int index = 0;
    for (std::size_t i = 0; i < Sequence().m_poEventList.size(); ++i)
        if (Sequence().m_poEventList[i].get() == &event)
            index = static_cast<int>(i);
    const bool ok = CompileSingleEvent(*main_, Sequence(), 0, event, index);
    body = event.m_bsCompiled;
    return ok;
}

CProtocol* EventCompileTest::AddProtocol(const std::string& fileName, const std::string& text) {
    const std::filesystem::path path = tempDir_ / fileName;
    std::ofstream(path, std::ios::binary) << text;
    auto protocol = std::make_unique<CProtocol>();
    if (!protocol->ReadDevice(path.string()))
        return nullptr;
    return app_.App().m_poProList.AddTail(std::move(protocol));
}

void EventCompileTest::SetLinkProtocol(const std::string& protocolText) {
    main_->m_pProduct->m_Ports[1].m_strProtocol = protocolText;
}

} // namespace event_compile_testing
