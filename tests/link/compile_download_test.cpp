// From "Compile Script and Download" to the controller: the compile driver hands a clean image
// to the link through its hand-off, and the emulated controller stores it with its banks.
#include "link/vl_doc_link.h"

#include "link/comm_dialog.h"
#include "link/script_transfer.h"
#include "tests/compiler/compile_fixture.h"
#include "tests/link/link_fixtures.h"
#include "tests/support/fast_waits.h"

#include <gtest/gtest.h>

namespace {

class CompileAndDownload : public compile_testing::CompileTest {
protected:
    // Time-outs and pauses run ten times faster (declared first: it outlives the peers).
    platform::FastWaits fastWaits_{testing_support::kFastWaitFactor};

    void SetUp() override {
        CompileTest::SetUp();
        CSeq& main = AddSequence("Main");
        AddEvent(main, "00:00.00", "Nop");
        AddEvent(main, "00:01.00", "On", "Output1");
        link.settings.serialTimeout = 1000;
        link.settings.serialDelay = 0;
        link.settings.noArchiveOffer = true;
        doc_->m_wAddress = 7;
        app_.App().entries.countComPorts = [] { return CountComPorts(); };
        app_.App().entries.storeArchive = nullptr;
    }

    link_tests::AppLink link{app_.App().m_Download, app_.App().m_bBatch};
};

TEST_F(CompileAndDownload, CleanCompileReachesTheController) {
    link_tests::EmulatedPort port;
    ASSERT_TRUE(port.started);
    ui_.QueueDialog([](platform::DialogRequest& r) {
        EXPECT_EQ(std::string(r.DialogName()), "CCfgCommDlg");
        auto& dialog = dynamic_cast<CommDialogRequest&>(r);
        EXPECT_EQ(dialog.m_strMessage, "Script Compiled Successfully");
        EXPECT_EQ(dialog.m_strTitleSuffix, " to a Harnel4");
        return true;
    });
    Compile();

    const auto image = DocImage();
    ASSERT_GT(image.size(), showlink::kImageBankOffset);
    EXPECT_EQ(image[showlink::kImageBankOffset], 8); // the document keeps the patched image
    EXPECT_EQ(port.emulator.StoredImage(), image);
    EXPECT_EQ(showlink::StoredChecksum(image.data(), image.size()),
              showlink::ComputedChecksum(image.data(), image.size()));
    EXPECT_EQ(doc_->m_nUnitEepromSize, 65536);
    EXPECT_DOUBLE_EQ(doc_->m_dUnitVersion, 5.80);
    EXPECT_EQ(doc_->m_nCompileRunning, 0);
    for (const auto& request : port.emulator.Requests()) {
        EXPECT_EQ(request.unit, 7);
    }
    ASSERT_NE(view_.Find("Show1.DAT successfully downloaded!"), nullptr);
    const auto* success = view_.Find("Download Successful! Don't forget to save backup copies of "
                                     "your KSF and unique, user created PCL files!!!");
    ASSERT_NE(success, nullptr);
    EXPECT_EQ(success->colour, kColourBlue);
    EXPECT_EQ(view_.lines.back().text, "Closing serial communications on Com1");
}

TEST_F(CompileAndDownload, ArchiveOfferOnlyWithAnArchiveStoreAndSmpteGoesFirst) {
    link_tests::EmulatedPort port;
    ASSERT_TRUE(port.started);
    link.settings.noArchiveOffer = false;
    link.commandLine = true; // no dialog
    Compile();
    for (const auto& box : ui_.Texts()) {
        EXPECT_EQ(box.find("compress and store"), std::string::npos);
    }

    int stored = 0;
    std::vector<bool> reproducer;
    doc_->m_nSmpteUsed = 1;
    app_.App().entries.downloadSmpte = [&](CVLDoc&, bool, bool, bool full) {
        reproducer.push_back(full);
        return 2;
    };
    app_.App().entries.storeArchive = [&](CVLDoc&, CSerialLink& serial) {
        stored += serial.IsOpen() ? 1 : 0;
    };
    ui_.QueueAnswer(platform::MsgResult::No);  // SMPTE: triggers only
    ui_.QueueAnswer(platform::MsgResult::Yes); // store the archive
    doc_->m_poSeqList[0]->m_nNeedsCompile = 1;
    Compile();
    EXPECT_EQ(reproducer, std::vector<bool>{false});
    EXPECT_EQ(stored, 1);
}

TEST_F(CompileAndDownload, FirmwareTheCompilerRecordedGatesTheDownload) {
    testing_support::EmulatorOptions old;
    old.firmwareLine = "Ver 5.50";
    link_tests::EmulatedPort port(old);
    ASSERT_TRUE(port.started);
    link.commandLine = true;
    Compile();
    ASSERT_EQ(doc_->m_nCompiledOK, 1);
    // A command of the script asked for 5.61 (as the event compiler records it).
    CompilerState& state = GetCompilerState();
    state.compileView = &view_;
    state.highestFirmware = 5.61;
    state.highestFirmwareText = "5.61";
    state.highestFirmwareCommand = "Internal:Wait";
    state.highestFirmwareExternal = false;
    view_.lines.clear();
    EXPECT_FALSE(showlink::DownloadCompiledScript(*doc_));
    const auto* terminated = view_.Find("       Download Terminated!");
    ASSERT_NE(terminated, nullptr);
    EXPECT_EQ(terminated->colour, kColourRed);
    EXPECT_NE(view_.Find("       This internal command requires Firmware [V5.61] and above"),
              nullptr);
    EXPECT_NE(view_.Find("Error: [Internal:Wait]"), nullptr);
    EXPECT_DOUBLE_EQ(doc_->m_dUnitVersion, 5.50);
}

} // namespace
