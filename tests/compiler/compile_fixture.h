// A script document built in code, with a recording compile view, the shipped products and
// protocols, a scripted user interface and a folder of its own for the image file.
#pragma once

#include "compiler/compile_main.h"
#include "compiler/compiler_state.h"
#include "compiler/diagnostics.h"
#include "platform/document.h"
#include "script/vl_doc.h"
#include "tests/support/app_fixture.h"
#include "tests/support/scripted_ui.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace compile_testing {

// The compile view as the compiler sees it: a view of class "CCompileView" taking lines.
class RecordingCompileView : public platform::View, public CompileMessageSink {
public:
    const char* ViewClassName() const override { return "CCompileView"; }
    void ClearMessages() override {
        lines.clear();
        ++clears;
    }
    void AddMessage(const std::string& text, int kind, int resource, int event, int param,
                    std::int32_t colour) override {
        lines.push_back({text, colour, kind, resource, event, param});
    }

    // The first line with exactly this text, or null.
    const CompileMessage* Find(const std::string& text) const {
        for (const auto& line : lines) {
            if (line.text == text)
                return &line;
        }
        return nullptr;
    }
    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const auto& line : lines)
            texts.push_back(line.text);
        return texts;
    }

    std::vector<CompileMessage> lines;
    int clears = 0;
};

// A user interface whose message pump can run an action, as a close of the compile window
// during the sequence loop does.
class PumpingUi : public testing_support::ScriptedUi {
public:
    void PumpMessages() override {
        ++pumps;
        if (onPump)
            onPump(pumps);
    }
    std::function<void(int)> onPump;
};

class TempFolder {
public:
    TempFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "compile_test.XXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

inline std::string ReadBinary(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

inline void WriteBinary(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

class CompileTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetCompilerState();
        app_.App().entries.localTime = [this] { return clockTime; };
        app_.App().m_bNoCompilerPopups = true;
        doc_ = std::make_unique<CVLDoc>(app_.App());
        ASSERT_TRUE(doc_->InitNewScript("Harnel4"));
        doc_->m_poSeqList.clear();
        doc_->SetPathName((folder_.Path() / "Show1.ksf").string());
        doc_->m_nMessages = 0;
        doc_->m_nErrorDetection = 0;
        doc_->m_nOptimization = 0;
        doc_->AddView(&view_);
    }
    void TearDown() override {
        doc_->RemoveView(&view_);
        doc_.reset();
        ResetCompilerState();
    }

    CSeq& AddSequence(const std::string& name) {
        doc_->m_poSeqList.push_back(std::make_unique<CSeq>(name, 1));
        return *doc_->m_poSeqList.back();
    }
    static CEvnt& AddEvent(CSeq& sequence, const std::string& time, const std::string& event,
                           const std::string& data1 = {}) {
        auto item = std::make_unique<CEvnt>();
        item->m_strTime = time;
        item->m_strEvent = event;
        item->m_strData1 = data1;
        sequence.m_poEventList.push_back(std::move(item));
        return *sequence.m_poEventList.back();
    }

    void Compile() { compiler::CompileMain(*doc_); }

    std::vector<std::uint8_t> DocImage() const {
        return {doc_->m_hpbShow.begin(), doc_->m_hpbShow.begin() + doc_->m_wImageLength};
    }
    std::filesystem::path ImageFile() const { return folder_.Path() / "Show1.DAT"; }

    testing_support::AppFixture app_;
    PumpingUi ui_;
    TempFolder folder_;
    RecordingCompileView view_;
    std::unique_ptr<CVLDoc> doc_;
    LocalClockTime clockTime{12, 0};
};

} // namespace compile_testing
