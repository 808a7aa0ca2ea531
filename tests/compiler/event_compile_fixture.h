// A script with named resources, a linked second script and the shipped protocols, for the
// event compile tests; lines reported go to a recording compile view.
#pragma once

#include "app/vl_app.h"
#include "compiler/compiler_state.h"
#include "compiler/diagnostics.h"
#include "compiler/event_compile.h"
#include "script/vl_doc.h"
#include "tests/support/app_fixture.h"
#include "tests/support/scripted_ui.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace event_compile_testing {

class RecordingSink : public CompileMessageSink {
public:
    void ClearMessages() override { lines.clear(); }
    void AddMessage(const std::string& text, int kind, int resource, int event, int param,
                    std::int32_t colour) override {
        lines.push_back({text, colour, kind, resource, event, param});
    }
    std::string All() const;
    bool Has(const std::string& text) const;
    std::vector<CompileMessage> lines;
};

class EventCompileTest : public testing::Test {
public:
    void SetUp() override;
    void TearDown() override;

    CSeq& Sequence() { return *main_->m_poSeqList.front(); }
    // Appends an event to the sequence; Data4 holds the parameters from the fourth on.
    CEvnt& AddEvent(const std::string& name, const std::vector<std::string>& params,
                    const std::string& label = "");
    // Points the compiler at an event of the sequence.
    void SetCursor(CEvnt& event);
    // Compiles as a full compile does after the time: answers the body.
    ByteString CompileFull(CEvnt& event);
    // Compiles alone as the live commands do; false when an error was counted.
    bool CompileAlone(CEvnt& event, ByteString& body);
    // Reads a protocol file written from `text` and adds it to the application's list.
    CProtocol* AddProtocol(const std::string& fileName, const std::string& text);
    // Port 1 ("Link") talks the protocol of that text.
    void SetLinkProtocol(const std::string& protocolText);

    testing_support::AppFixture app_;
    testing_support::ScriptedUi ui_;
    std::unique_ptr<CVLDoc> main_;
    std::unique_ptr<CVLDoc> remote_;
    RecordingSink sink_;
    std::filesystem::path tempDir_;
};

} // namespace event_compile_testing
