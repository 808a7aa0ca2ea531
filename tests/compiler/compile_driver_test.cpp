// The compile driver's run: outcome lines and boxes, the image file, aborts and the hand-off
// to the download.
#include "compile_fixture.h"

#include "compiler/popup_request.h"

namespace compile_testing {
namespace {

namespace fs = std::filesystem;

class DriverTest : public CompileTest {
protected:
    void SetUp() override {
        CompileTest::SetUp();
        CSeq& main = AddSequence("Main");
        AddEvent(main, "00:00.00", "Nop");
        AddEvent(main, "00:01.00", "On", "Output1");
    }
    // Changes mark their sequence for compiling, as the editors do.
    void BreakScript() {
        doc_->m_poSeqList[0]->m_poEventList[0]->m_strTime = "1.2.3";
        doc_->m_poSeqList[0]->m_nNeedsCompile = 1;
    }
    void WarnScript() { doc_->m_poSeqList[0]->m_poEventList[0]->m_strSkip = "REM"; }
    std::string LastText() const { return view_.lines.empty() ? "" : view_.lines.back().text; }
};

TEST_F(DriverTest, ErrorsLeaveTheImageFileUntouchedButFillTheDocument) {
    WriteBinary(ImageFile(), "old image");
    BreakScript();
    app_.App().m_bNoCompilerPopups = false;
    Compile();

    EXPECT_EQ(ReadBinary(ImageFile()), "old image");
    EXPECT_EQ(view_.Find("Writing Show1.DAT"), nullptr);
    EXPECT_EQ(doc_->m_nCompiledOK, 0);
    // The document still holds the checksummed image of this run.
    const std::vector<std::uint8_t> image = DocImage();
    ASSERT_GT(image.size(), 4u);
    EXPECT_EQ(image[2] | (image[3] << 8), static_cast<int>(image.size()) - 2);
    std::uint32_t sum = 0;
    for (std::size_t i = 2; i < image.size(); ++i)
        sum += image[i];
    EXPECT_EQ(image[0] | (image[1] << 8), static_cast<int>(sum & 0xFFFF));

    ASSERT_NE(view_.Find("Show1.ksf compiled with 1 Error(s), 0 Warning(s)"), nullptr);
    EXPECT_EQ(LastText(), "Script Compiled with Errors.  Fix the errors and compile again.");
    EXPECT_EQ(view_.lines.back().colour, kColourRed);
    EXPECT_EQ(ui_.Texts(), std::vector<std::string>{
                               "Script Compiled with Errors.\nFix the errors and compile again."});
}

TEST_F(DriverTest, WarningsStillWriteTheImageAndSetCompiledOk) {
    WriteBinary(ImageFile(), "old image");
    WarnScript();
    Compile();
    EXPECT_NE(ReadBinary(ImageFile()), "old image");
    EXPECT_EQ(ReadBinary(ImageFile()).size(), doc_->m_wImageLength);
    EXPECT_EQ(doc_->m_nCompiledOK, 1);
    EXPECT_NE(view_.Find("Script Compiled Ok, but with Warnings."), nullptr);
    EXPECT_NE(view_.Find("Show1.ksf compiled with 0 Error(s), 1 Warning(s)"), nullptr);
    // No boxes with the popups switched off.
    EXPECT_TRUE(ui_.boxes.empty());
}

TEST_F(DriverTest, ImageFileGoesBesideTheScriptOrIntoTheCurrentFolder) {
    doc_->SetPathName((folder_.Path() / "missing" / "Show1.ksf").string());
    Compile();
    const std::string unwritten = "Unable to write " +
                                  (folder_.Path() / "missing" / "Show1.DAT").string() +
                                  ": No such file or directory";
    ASSERT_NE(view_.Find(unwritten), nullptr);
    EXPECT_EQ(view_.Find(unwritten)->colour, kColourRed);
    EXPECT_NE(view_.Find("Show1.ksf compiled with 1 Error(s), 0 Warning(s)"), nullptr);
    // The summary follows the count, and no download is offered.
    EXPECT_EQ(LastText(), "Script Compiled with Errors.  Fix the errors and compile again.");
    EXPECT_EQ(doc_->m_nCompiledOK, 0);

    const fs::path saved = fs::current_path();
    fs::create_directory(folder_.Path() / "cwd");
    fs::current_path(folder_.Path() / "cwd");
    CVLDoc untitled(app_.App());
    ASSERT_TRUE(untitled.InitNewScript("Harnel4"));
    untitled.SetTitle("Untitled.ksf");
    compiler::CompileMain(untitled);
    fs::current_path(saved);
    EXPECT_TRUE(fs::exists(folder_.Path() / "cwd" / "Untitled.DAT"));
    // No temporary files are left behind.
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder_.Path() / "cwd"))
        ++entries;
    EXPECT_EQ(entries, 1);
}

TEST_F(DriverTest, ImageNeverReplacesTheScriptItself) {
    // The image of "Show.DAT" is "Show.DAT"; "show.dat" differs only in case.
    for (const std::string script : {"Show.DAT", "show.dat"}) {
        SCOPED_TRACE(script);
        const fs::path path = folder_.Path() / script;
        WriteBinary(path, "[Script]\nthe user's only copy\n");
        doc_->SetPathName(path.string());
        doc_->m_nCompiledOK = 0;
        Compile();
        EXPECT_EQ(ReadBinary(path), "[Script]\nthe user's only copy\n");
        const std::string name = path.stem().string();
        const CompileMessage* failure = view_.Find("Unable to write " + name + ".DAT");
        ASSERT_NE(failure, nullptr);
        EXPECT_EQ(failure->colour, kColourRed);
        EXPECT_EQ(view_.Find("Writing " + name + ".DAT"), nullptr);
        EXPECT_EQ(doc_->m_nCompiledOK, 0);
        EXPECT_EQ(LastText(), "Script Compiled with Errors.  Fix the errors and compile again.");
        fs::remove(path);
    }
    // The same file under another name (a link) is refused as well.
    const fs::path script = folder_.Path() / "Linked.ksf";
    WriteBinary(script, "script");
    fs::create_symlink(script, folder_.Path() / "Alias.DAT");
    doc_->SetPathName((folder_.Path() / "Alias.ksf").string());
    ASSERT_FALSE(compiler::IsScriptFile(*doc_, folder_.Path() / "Alias.DAT"));
    doc_->SetPathName((folder_.Path() / "Alias.DAT").string());
    EXPECT_TRUE(compiler::IsScriptFile(*doc_, script));
}

TEST_F(DriverTest, AbortDuringTheSequenceLoopKeepsThePreviousImage) {
    AddEvent(AddSequence("Second"), "00:00.00", "Nop");
    Compile();
    const std::vector<std::uint8_t> previous = DocImage();
    const std::string previousFile = ReadBinary(ImageFile());

    doc_->m_poSeqList[0]->m_poEventList[1]->m_strData1 = "Output2";
    doc_->m_poSeqList[0]->m_nNeedsCompile = 1;
    int runningSeen = -1;
    ui_.onPump = [&](int) {
        runningSeen = doc_->m_nCompileRunning;
        doc_->m_nAbortRequested = 1;
    };
    Compile();

    EXPECT_EQ(runningSeen, 1);
    EXPECT_EQ(ui_.pumps, 3) << "one sequence ran after the earlier run's two";
    EXPECT_EQ(DocImage(), previous);
    EXPECT_EQ(ReadBinary(ImageFile()), previousFile);
    EXPECT_EQ(doc_->m_nAbortRequested, 0);
    EXPECT_EQ(doc_->m_nCompileRunning, 0);
    EXPECT_EQ(LastText(), "Compiling Sequences...");
    ASSERT_EQ(ui_.dialogNames, std::vector<std::string>{"CPopupDlg"});
}

TEST_F(DriverTest, AbortPopupCarriesTitleMessageAndDelay) {
    app_.App().m_wPopupDelay = 4;
    struct PopupUi : PumpingUi {
        bool RunDialog(platform::DialogRequest& request) override {
            if (auto* popup = dynamic_cast<CPopupDlg*>(&request))
                shown = *popup;
            return PumpingUi::RunDialog(request);
        }
        CPopupDlg shown;
    } ui;
    ui.onPump = [&](int) { doc_->m_nAbortRequested = 1; };
    Compile();
    EXPECT_EQ(ui.shown.title, "Compile and Download");
    EXPECT_EQ(ui.shown.message, "Compile aborted by user!");
    EXPECT_EQ(ui.shown.delayTicks, 4);
}

TEST_F(DriverTest, LateNightRemarkPrecedesTheResultText) {
    app_.App().m_bNoCompilerPopups = false;
    clockTime = {2, 40};
    Compile();
    ASSERT_EQ(ui_.boxes.size(), 1u);
    EXPECT_EQ(ui_.boxes[0].text, "This would be working by now if they hadn't lied to you about "
                                 "the serial protocol, right?\n\nScript Compiled Successfully");

    ui_.Clear();
    clockTime = {5, 40};
    Compile();
    ASSERT_EQ(ui_.boxes.size(), 1u);
    EXPECT_EQ(ui_.boxes[0].text, "Script Compiled Successfully");

    ui_.Clear();
    BreakScript();
    clockTime = {4, 4};
    Compile();
    ASSERT_EQ(ui_.boxes.size(), 1u);
    EXPECT_EQ(ui_.boxes[0].text,
              "Do you have any idea what time it is?\nYou should be sleeping right now!\n\n"
              "Script Compiled with Errors.\nFix the errors and compile again.");
    EXPECT_EQ(LastText(), "Script Compiled with Errors.  Fix the errors and compile again.");
}

TEST(LateNightRemarkTest, OnlyElevenSecondsOfTheSmallHoursHaveOne) {
    int remarks = 0;
    for (int hour = 0; hour < 24; ++hour) {
        for (int second = 0; second < 60; ++second) {
            if (!compiler::LateNightRemark(hour, second).empty())
                ++remarks;
        }
    }
    EXPECT_EQ(remarks, 44);
    EXPECT_EQ(compiler::LateNightRemark(1, 58),
              "What the heck are you doing up?  It's not like you have a deadline!\n\n");
    EXPECT_TRUE(compiler::LateNightRemark(0, 4).empty());
}

TEST_F(DriverTest, CleanCompileHandsTheImageToTheDownload) {
    std::string offered;
    int downloads = 0;
    bool agree = true;
    AppServices::Entries& entries = app_.App().entries;
    entries.countComPorts = [] { return 1; };
    entries.chooseCommMethod = [&](CVLDoc& doc, const std::string& text) {
        EXPECT_EQ(&doc, doc_.get());
        offered = text;
        return agree;
    };
    entries.downloadCompiledScript = [&](CVLDoc& doc) {
        EXPECT_EQ(doc.m_nCompiledOK, 1);
        ++downloads;
        return true;
    };
    Compile();
    EXPECT_EQ(offered, "Script Compiled Successfully");
    EXPECT_EQ(downloads, 1);
    EXPECT_EQ(view_.Find("Script not Downloaded, Communications Offline"), nullptr);

    agree = false;
    Compile();
    EXPECT_EQ(downloads, 1);
    EXPECT_EQ(LastText(), "Script Not Downloaded, User Aborted Download.");
    EXPECT_EQ(view_.lines.back().colour, kColourOrange);

    // Errors never reach the download.
    offered.clear();
    BreakScript();
    Compile();
    EXPECT_TRUE(offered.empty());
}

TEST_F(DriverTest, LinkedResourcesCautionListsEveryOtherOpenScript) {
    CVLDoc other1(app_.App());
    other1.SetTitle("Lobby.ksf");
    CVLDoc other2(app_.App());
    other2.SetTitle("Stage.ksf");
    app_.App().m_bNoCompilerPopups = false;
    // The remote lookups of an event set the flag while the sequences compile.
    ui_.onPump = [](int) { GetCompilerState().linkedResources = true; };
    Compile();
    const std::string caution =
        "Caution!  This Script used resource information from the following Scripts:\n\n"
        "Lobby.ksf\nStage.ksf\n\nThese scripts need to be downloaded to their respective Show "
        "Control Units in order for this Script to work properly.";
    const CompileMessage* line = view_.Find(caution);
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->colour, kColourOrange);
    ASSERT_EQ(ui_.boxes.size(), 2u);
    EXPECT_EQ(ui_.boxes[0].text, caution);
    EXPECT_EQ(ui_.boxes[0].icon, platform::MsgIcon::Exclamation);
}

TEST_F(DriverTest, ImageBeyondTheMaximumSizeHaltsTheCompile) {
    // 255 sequences of 250 events that differ in time: each record is 25 + 2 + 500 + 750 bytes.
    doc_->m_poSeqList.clear();
    for (int s = 0; s < 255; ++s) {
        CSeq& sequence = AddSequence("S" + std::to_string(s));
        for (int e = 0; e < 250; ++e)
            AddEvent(sequence, std::to_string(e + 1), "Nop");
    }
    WriteBinary(ImageFile(), "old image");
    Compile();
    const CompileMessage* line = view_.Find(
        "Error: This compiled script has exceeded the maximum size of 65535 bytes.  Halting "
        "Compiler.");
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->kind, 0);
    EXPECT_EQ(line->colour, kColourRed);
    EXPECT_EQ(ui_.dialogNames, std::vector<std::string>{"CPopupDlg"});
    EXPECT_EQ(ReadBinary(ImageFile()), "old image");
    EXPECT_EQ(doc_->m_wImageLength, 0);
    EXPECT_LE(GetCompilerState().imageLength, 65535);
    EXPECT_EQ(doc_->m_nAbortRequested, 0);
}

TEST_F(DriverTest, MoreThan255SequencesEndWithTheSummaryAndOneError) {
    // The fixture's script holds one sequence already.
    for (const int total : {256, 300}) {
        SCOPED_TRACE(total);
        while (doc_->m_poSeqList.size() < static_cast<std::size_t>(total))
            AddSequence("S" + std::to_string(doc_->m_poSeqList.size()));
        view_.lines.clear();
        ui_.dialogNames.clear();
        Compile();
        std::vector<std::string> errors;
        for (const auto& line : view_.lines) {
            if (line.text.starts_with("Error: "))
                errors.push_back(line.text);
        }
        EXPECT_EQ(errors, std::vector<std::string>{
                              "Error: Internal Error: [" + std::to_string(total) +
                              "] is an invalid number of sequences.  A script can hold at most "
                              "255 sequences."});
        EXPECT_EQ(view_.Find("Compiling sequence S1"), nullptr);
        EXPECT_NE(view_.Find("Show1.ksf compiled with 1 Error(s), 0 Warning(s)"), nullptr);
        EXPECT_EQ(LastText(), "Script Compiled with Errors.  Fix the errors and compile again.");
        // No abort popup: the compile is over, not halted.
        EXPECT_TRUE(ui_.dialogNames.empty());
        EXPECT_EQ(doc_->m_nCompileRunning, 0);
        EXPECT_FALSE(fs::exists(ImageFile()));
    }
}

TEST_F(DriverTest, TheDocumentCompileCommandRunsTheDriver) {
    doc_->m_nCompiledOK = 1;
    doc_->m_poSeqList[0]->m_nNeedsCompile = 0;
    doc_->CompileScript();
    EXPECT_EQ(view_.clears, 1);
    EXPECT_TRUE(fs::exists(ImageFile()));
    EXPECT_EQ(doc_->m_nCompiledOK, 1);
    EXPECT_EQ(doc_->m_poSeqList[0]->m_nNeedsCompile, 0);
}

} // namespace
} // namespace compile_testing
