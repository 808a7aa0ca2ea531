#include "script/vl_doc.h"

#include "app/vl_app.h"
#include "script/dialog_requests.h"
#include "tests/support/app_fixture.h"
#include "tests/support/scripted_ui.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;
using platform::MsgResult;

namespace {

// A view as the frames hold them: a class name, a frame it lives in, and a record of what
// the document asked of it.
class TestView : public platform::View {
public:
    TestView(const char* viewClass, const void* frame, std::string subject = {})
        : viewClass_(viewClass), frame_(frame), subject_(std::move(subject)) {}

    const char* ViewClassName() const override { return viewClass_; }
    const void* FrameId() const override { return frame_; }
    void SetFrameTitle(const std::string& title) override { title_ = title; }
    void CloseFrame() override { ++closes_; }
    void ActivateFrame() override { ++activations_; }
    std::string ViewSubject() const override { return subject_; }
    void OnUpdate(platform::View*, long, void*) override { ++updates_; }

    std::string title_;
    int closes_ = 0;
    int activations_ = 0;
    int updates_ = 0;

private:
    const char* viewClass_;
    const void* frame_;
    std::string subject_;
};

class TempDir {
public:
    TempDir() {
        std::string pattern = (fs::temp_directory_path() / "vl_doc_test.XXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
    }
    ~TempDir() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    fs::path operator/(const std::string& name) const { return path_ / name; }
    const fs::path& Path() const { return path_; }

private:
    fs::path path_;
};

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteFile(const fs::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

class VLDocTest : public ::testing::Test {
protected:
    void SetUp() override { savedDir_ = fs::current_path(); }
    void TearDown() override { fs::current_path(savedDir_); }

    // A new script for `product`, the user's prompts cleared.
    std::unique_ptr<CVLDoc> NewScript(const std::string& product = "Harnel16") {
        auto document = std::make_unique<CVLDoc>(app.App());
        EXPECT_TRUE(document->InitNewScript(product));
        ui.Clear();
        return document;
    }

    testing_support::ScriptedUi ui;
    testing_support::AppFixture app;
    fs::path savedDir_;
};

TEST_F(VLDocTest, ConstructionDefaults) {
    CVLDoc document(app.App());
    EXPECT_EQ(document.m_hpbShow.size(), 65535u);
    EXPECT_EQ(document.m_pProduct, nullptr);
    EXPECT_TRUE(document.m_poSeqList.empty());
    EXPECT_EQ(document.m_nCompiledOK, 0);
    EXPECT_EQ(document.m_nCreatedForUpload, 0);
    for (const auto& position : document.m_anWindowPos)
        EXPECT_EQ(position, (std::array<std::int32_t, 4>{-1, -1, -1, -1}));
    for (int flag : document.m_anMaximized)
        EXPECT_EQ(flag, 0);
    // Spot checks of the width groups: first and last of the sequence list, ports, SMPTE.
    EXPECT_EQ(document.m_awColWidths[CVLDoc::kColSequenceList.first], 5155);
    EXPECT_EQ(document.m_awColWidths[CVLDoc::kColSequenceList.first + 3], 5165);
    EXPECT_EQ(document.m_awColWidths[CVLDoc::kColPort.first + 1], 5960);
    EXPECT_EQ(document.m_awColWidths[CVLDoc::kColXRef.first + 2], 0);
    EXPECT_EQ(document.m_awColWidths[CVLDoc::kColSmpte.first + 1], 8500);
    EXPECT_EQ(CVLDoc::kColSmpte.first + CVLDoc::kColSmpte.count, CVLDoc::kColWidthCount);
}

TEST_F(VLDocTest, InitNewScriptSetsDefaultsAndCopiesProduct) {
    CVLDoc document(app.App());
    document.m_strDescription = "old";
    document.m_wFrameRate = 0;
    document.m_nMessages = 0;
    ASSERT_TRUE(document.InitNewScript("Harnel4"));
    EXPECT_TRUE(ui.boxes.empty());

    EXPECT_EQ(document.m_strFileFormat, "Ver 1.0");
    EXPECT_EQ(document.m_strDescription, "");
    EXPECT_EQ(document.m_strExternalFrequency, "0");
    EXPECT_EQ(document.m_wFrameRate, 3);
    EXPECT_EQ(document.m_wClockSource, 0);
    EXPECT_EQ(document.m_nWriteHeaders, 1);
    EXPECT_EQ(document.m_nMessages, 1);
    EXPECT_EQ(document.m_nOptimization, 0);

    ASSERT_NE(document.m_pProduct, nullptr);
    EXPECT_EQ(document.m_pProduct->m_strName, "Harnel4");
    EXPECT_EQ(document.m_pProduct->m_wPorts, 5);
    ASSERT_TRUE(document.m_posProduct.has_value());
    EXPECT_EQ(app.App().m_poProdList.GetAt(*document.m_posProduct).m_strName, "Harnel4");

    ASSERT_EQ(document.m_poSeqList.size(), 1u);
    const CSeq& sequence = *document.m_poSeqList.front();
    EXPECT_EQ(sequence.m_strName, "Default");
    EXPECT_EQ(sequence.m_wLevel, 1);
    EXPECT_EQ(sequence.m_poEventList.size(), 1u);

    // A second set-up keeps what the script has and appends another default sequence.
    ASSERT_TRUE(document.InitNewScript("Harnel16"));
    EXPECT_EQ(document.m_pProduct->m_strName, "Harnel16");
    EXPECT_EQ(document.m_poSeqList.size(), 2u);
}

TEST_F(VLDocTest, InitNewScriptProductLookup) {
    CVLDoc document(app.App());
    // A name that matches only without regard to case still opens with that product.
    ASSERT_TRUE(document.InitNewScript("hARNEL4"));
    EXPECT_EQ(document.m_pProduct->m_strName, "Harnel4");
    EXPECT_TRUE(ui.boxes.empty());

    CVLDoc unknown(app.App());
    EXPECT_FALSE(unknown.InitNewScript("Harnel99"));
    EXPECT_EQ(ui.Texts(), std::vector<std::string>{"Harnel99 Product was not found in list of "
                                                   "*.CFG files.  Aborting File Construction..."});
    EXPECT_TRUE(unknown.m_poSeqList.empty());
}

TEST_F(VLDocTest, InitNewScriptLoadsThePortProtocols) {
    CProduct& listed = app.App().m_poProdList.GetAt(*app.App().m_poProdList.FindByName("Harnel4"));
    listed.m_Ports[1].m_strProtocol = "Orvane_Lumen_24";
    CProtocol* protocol = nullptr;
    ASSERT_TRUE(app.App().m_poProList.FindProtocol("Orvane_Lumen_24", protocol, false));
    ASSERT_FALSE(protocol->IsLoaded());

    auto document = NewScript("Harnel4");
    EXPECT_TRUE(protocol->IsLoaded());
    EXPECT_FALSE(protocol->m_poCmndList.empty());
}

TEST_F(VLDocTest, FrameRateAndScriptName) {
    CVLDoc document(app.App());
    const std::pair<std::uint16_t, double> rates[] = {{0, 24.0}, {1, 25.0}, {2, 29.97},
                                                      {3, 30.0}, {4, 30.0}, {65535, 30.0}};
    for (auto [code, rate] : rates) {
        document.m_wFrameRate = code;
        EXPECT_DOUBLE_EQ(document.GetFrameRate(), rate) << code;
    }

    const std::pair<const char*, const char*> names[] = {
        {"/shows/Show.ksf", "Show"}, {"/shows/a.b.KSF", "a.b"}, {"/shows/.ksf", ".ksf"},
        {"/shows/plain", "plain"},   {"/shows/x.", "x"},        {"C:\\shows\\old.ksf", "old"}};
    for (auto [path, name] : names) {
        document.SetPathName(path);
        EXPECT_EQ(document.GetScriptName(), name) << path;
    }
}

TEST_F(VLDocTest, MarkForCompileReachesOnlyScriptsLinkingToThisOne) {
    auto a = NewScript();
    auto b = NewScript();
    auto c = NewScript();
    a->SetPathName("/shows/A.ksf");
    b->SetPathName("/shows/B.ksf");
    c->SetPathName("/shows/C.ksf");
    b->m_pProduct->m_Ports[3].m_strProtocol = "a.KSF->Orvane_Lumen_24";
    c->m_pProduct->m_Ports[2].m_strProtocol = "B.ksf->Tessaline_MIDI_Sound_Desk_8";
    for (CVLDoc* document : {a.get(), b.get(), c.get()}) {
        document->m_nCompiledOK = 1;
        for (auto& sequence : document->m_poSeqList)
            sequence->m_nNeedsCompile = 0;
    }

    a->MarkForCompile();
    EXPECT_EQ(a->m_nCompiledOK, 0);
    EXPECT_EQ(a->m_poSeqList[0]->m_nNeedsCompile, 1);
    EXPECT_EQ(b->m_nCompiledOK, 0);
    EXPECT_EQ(b->m_poSeqList[0]->m_nNeedsCompile, 1);
    // C links to B only: one level deep.
    EXPECT_EQ(c->m_nCompiledOK, 1);
    EXPECT_EQ(c->m_poSeqList[0]->m_nNeedsCompile, 0);

    // The pass is over: marking B now reaches C.
    b->MarkForCompile();
    EXPECT_EQ(c->m_poSeqList[0]->m_nNeedsCompile, 1);
}

TEST_F(VLDocTest, StatusProgressNeedsAViewAndShowsTheModifiedMark) {
    auto document = NewScript();
    document->SetStatusProgress("Reading", 50);
    document->SetModifiedFlag(true);
    EXPECT_TRUE(ui.statusTexts.empty());
    EXPECT_TRUE(ui.progress.empty());
    EXPECT_TRUE(ui.paneTexts.empty());

    TestView view("CSeqListView", &ui);
    document->AddView(&view);
    document->SetStatusProgress("Reading KSF File:  Loading Unit Setup", 250);
    ASSERT_EQ(ui.statusTexts, std::vector<std::string>{"Reading KSF File:  Loading Unit Setup"});
    ASSERT_EQ(ui.progress.size(), 1u);
    EXPECT_EQ(ui.progress[0].pane, 1);
    EXPECT_EQ(ui.progress[0].range, 100);
    EXPECT_EQ(ui.progress[0].pos, 100);
    ASSERT_EQ(ui.paneTexts.size(), 1u);
    EXPECT_EQ(ui.paneTexts[0].pane, 2);
    EXPECT_EQ(ui.paneTexts[0].text, "MOD");
    EXPECT_EQ(ui.paneTexts[0].colour, platform::kPaneTextRed);

    // An empty text leaves the pane's text; a negative percent resets the meter.
    ui.Clear();
    document->SetStatusProgress("", -1);
    EXPECT_TRUE(ui.statusTexts.empty());
    ASSERT_EQ(ui.progress.size(), 1u);
    EXPECT_EQ(ui.progress[0].pos, 0);

    // Clearing the modified flag takes the mark away and clears compiled OK.
    ui.Clear();
    document->m_nCompiledOK = 1;
    document->SetModifiedFlag(false);
    EXPECT_EQ(document->m_nCompiledOK, 0);
    ASSERT_EQ(ui.paneTexts.size(), 1u);
    EXPECT_EQ(ui.paneTexts[0].text, "   ");
    EXPECT_EQ(ui.paneTexts[0].colour, platform::kPaneTextDefault);
    document->RemoveView(&view);
}

TEST_F(VLDocTest, CanCloseFrameAsksOnlyForTheLastFrame) {
    auto document = NewScript();
    int frameA = 0, frameB = 0;
    TestView list("CSeqListView", &frameA);
    TestView inputs("CInputView", &frameB);
    document->AddView(&list);
    document->AddView(&inputs);
    document->SetModifiedFlag(true);

    // Another frame still shows the script.
    EXPECT_TRUE(document->CanCloseFrame(&frameA));
    EXPECT_TRUE(ui.boxes.empty());

    // Two views of one frame: that frame is the last one.
    document->RemoveView(&inputs);
    TestView events("CEvntView", &frameA);
    document->AddView(&events);
    ui.QueueAnswer(MsgResult::Cancel);
    EXPECT_FALSE(document->CanCloseFrame(&frameA));
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].buttons, platform::MsgButtons::YesNoCancel);
    ui.QueueAnswer(MsgResult::No);
    EXPECT_TRUE(document->CanCloseFrame(&frameA));
    EXPECT_TRUE(document->IsModified());

    // Not modified: no question.
    ui.Clear();
    document->SetModifiedFlag(false);
    EXPECT_TRUE(document->CanCloseFrame(&frameA));
    EXPECT_TRUE(ui.boxes.empty());
    document->RemoveView(&list);
    document->RemoveView(&events);
}

TEST_F(VLDocTest, ConfigureScriptStoresLineBreaksAsTildes) {
    auto document = NewScript();
    document->m_strDescription = "first~second";
    document->m_nWriteProtected = 1;
    TestView view("CSeqListView", &ui);
    document->AddView(&view);

    std::string shown;
    int shownProtected = 0;
    ui.QueueDialog([&](platform::DialogRequest& request) {
        auto& dialog = dynamic_cast<CCfgScriptDlg&>(request);
        shown = dialog.description;
        shownProtected = dialog.writeProtected;
        // A dialog may hand back CR LF, LF or CR line ends; none loses a character.
        dialog.description = "one\r\ntwo\nthree\rfour";
        dialog.version = "2.1";
        dialog.author1 = std::string(300, 'a');
        dialog.writeHeaders = 0;
        return true;
    });
    for (auto& sequence : document->m_poSeqList)
        sequence->m_nNeedsCompile = 0;
    document->OnConfigureScript();

    EXPECT_EQ(shown, "first\r\nsecond");
    EXPECT_EQ(shownProtected, 1);
    EXPECT_EQ(document->m_strDescription, "one~two~three~four");
    EXPECT_EQ(document->m_strVersion, "2.1");
    EXPECT_EQ(document->m_strAuthor1.size(), 256u);
    EXPECT_EQ(document->m_nWriteHeaders, 0);
    EXPECT_TRUE(document->IsModified());
    EXPECT_EQ(document->m_poSeqList[0]->m_nNeedsCompile, 1);
    EXPECT_GE(view.updates_, 1);

    // Cancel changes nothing.
    document->SetModifiedFlag(false);
    document->OnConfigureScript();
    EXPECT_EQ(document->m_strDescription, "one~two~three~four");
    EXPECT_FALSE(document->IsModified());
    document->RemoveView(&view);
}

TEST_F(VLDocTest, ConfigureUnitAppliesAnotherProduct) {
    auto document = NewScript("Harnel16");
    document->m_pProduct->m_Inputs[0].m_strName = "DoorSwitch";
    std::vector<std::string> offered;
    std::string current;
    ui.QueueDialog([&](platform::DialogRequest& request) {
        auto& dialog = dynamic_cast<CCfgUnitDlg&>(request);
        offered = dialog.products;
        current = dialog.product;
        dialog.product = "Harnel4";
        dialog.address = 12;
        dialog.frameRate = 1;
        dialog.clockSource = 1;
        dialog.externalFrequency = "59.94";
        return true;
    });
    document->OnConfigureUnit();

    EXPECT_EQ(offered, app.App().m_poProdList.Names());
    EXPECT_EQ(current, "Harnel16");
    EXPECT_EQ(document->m_pProduct->m_strName, "Harnel4");
    EXPECT_EQ(document->m_pProduct->m_wPorts, 5);
    EXPECT_EQ(document->m_pProduct->m_Inputs[0].m_strName, "DoorSwitch"); // the script's own
    EXPECT_EQ(app.App().m_poProdList.GetAt(*document->m_posProduct).m_strName, "Harnel4");
    EXPECT_EQ(document->m_wAddress, 12);
    EXPECT_EQ(document->m_wFrameRate, 1);
    EXPECT_EQ(document->m_wClockSource, 1);
    EXPECT_EQ(document->m_strExternalFrequency, "59.94");
    EXPECT_TRUE(document->IsModified());
}

TEST_F(VLDocTest, CompilerOptionsSaveSettingsAndMarkModifiedEvenUnchanged) {
    auto document = NewScript();
    int saves = 0;
    app.App().SetSaveSettingsHook([&](CVLApp&) { ++saves; });
    app.App().m_bNoCompilerPopups = true;
    ui.QueueDialog([](platform::DialogRequest& request) {
        auto& dialog = dynamic_cast<CCfgCompilerDlg&>(request);
        EXPECT_EQ(dialog.noCompilerPopups, 1);
        EXPECT_EQ(dialog.verboseMessages, 1);
        return true;
    });
    document->OnCompilerOptions();
    EXPECT_EQ(saves, 1);
    EXPECT_TRUE(document->IsModified());

    ui.QueueDialog([](platform::DialogRequest& request) {
        auto& dialog = dynamic_cast<CCfgCompilerDlg&>(request);
        dialog.optimization = 1;
        dialog.verboseMessages = 0;
        dialog.maxDetection = 1;
        dialog.noCompilerPopups = 0;
        dialog.noArchiveOffer = 1;
        return true;
    });
    document->OnCompilerOptions();
    EXPECT_EQ(document->m_nOptimization, 1);
    EXPECT_EQ(document->m_nMessages, 0);
    EXPECT_EQ(document->m_nErrorDetection, 1);
    EXPECT_FALSE(app.App().m_bNoCompilerPopups);
    EXPECT_TRUE(app.App().m_bNoArchiveOffer);
    EXPECT_EQ(saves, 2);
}

TEST_F(VLDocTest, NewDocumentModes) {
    CVLApp& application = app.App();
    {
        application.m_wNewDocMode = CVLApp::kNewAskProduct;
        std::vector<std::string> offered;
        ui.QueueDialog([&](platform::DialogRequest& request) {
            auto& dialog = dynamic_cast<CNewScriptDlg&>(request);
            offered = dialog.products;
            dialog.product = "Harnel2";
            return true;
        });
        CVLDoc document(app.App());
        ASSERT_TRUE(document.OnNewDocument());
        EXPECT_EQ(offered, application.m_poProdList.Names());
        EXPECT_EQ(document.m_pProduct->m_strName, "Harnel2");
        EXPECT_EQ(document.m_nCreatedForUpload, 0);
    }
    {
        CVLDoc cancelled(app.App()); // no dialog answer queued: Cancel
        EXPECT_FALSE(cancelled.OnNewDocument());
        EXPECT_EQ(cancelled.m_pProduct, nullptr);
    }
    for (std::uint16_t mode : {1, 7}) {
        application.m_wNewDocMode = mode;
        CVLDoc document(app.App());
        ASSERT_TRUE(document.OnNewDocument());
        EXPECT_EQ(document.m_pProduct->m_strName, "Harnel16");
        EXPECT_EQ(document.m_nCreatedForUpload, 0);
    }
    {
        application.m_wNewDocMode = CVLApp::kNewUploadFromUnit;
        CVLDoc document(app.App());
        ASSERT_TRUE(document.OnNewDocument());
        EXPECT_EQ(document.m_pProduct->m_strName, "Harnel16");
        EXPECT_EQ(document.m_nCreatedForUpload, 1);
    }
    {
        application.m_wNewDocMode = CVLApp::kNewScriptWizard;
        ui.Clear();
        CVLDoc document(app.App());
        EXPECT_FALSE(document.OnNewDocument()); // the wizard's dialog is cancelled
        EXPECT_EQ(ui.dialogNames, std::vector<std::string>{"CScriptGenDlg"});
        EXPECT_TRUE(ui.Texts().empty());
    }
}

TEST_F(VLDocTest, CompileUsesTheCompileViewOrTheTemplate) {
    auto document = NewScript();
    std::vector<CVLDoc*> compiled;
    app.App().entries.compile = [&](CVLDoc& which) { compiled.push_back(&which); };

    // No compile view and no template: nothing is compiled.
    document->m_nCompiledOK = 1;
    document->m_poSeqList[0]->m_nNeedsCompile = 0;
    document->CompileScript();
    EXPECT_TRUE(compiled.empty());
    EXPECT_EQ(document->m_nCompiledOK, 0);
    EXPECT_EQ(document->m_poSeqList[0]->m_nNeedsCompile, 1);

    struct Template : platform::ViewTemplate {
        std::vector<std::unique_ptr<TestView>> made;
        bool fail = false;
        platform::View* CreateViewFrame(platform::Document& doc) override {
            if (fail)
                return nullptr;
            made.push_back(std::make_unique<TestView>("CCompileView", this));
            doc.AddView(made.back().get());
            return made.back().get();
        }
    } compileTemplate;
    app.App().m_pCompileTmp = &compileTemplate;

    compileTemplate.fail = true;
    document->CompileScript();
    EXPECT_TRUE(compiled.empty());

    compileTemplate.fail = false;
    document->CompileScript();
    ASSERT_EQ(compiled, std::vector<CVLDoc*>{document.get()});
    ASSERT_EQ(compileTemplate.made.size(), 1u);

    // The second compile finds the view and brings it forward.
    document->CompileScript();
    EXPECT_EQ(compiled.size(), 2u);
    EXPECT_EQ(compileTemplate.made.size(), 1u);
    EXPECT_EQ(compileTemplate.made[0]->activations_, 1);

    app.App().m_pCompileTmp = nullptr;
    document->RemoveView(compileTemplate.made[0].get());
}

TEST_F(VLDocTest, ViewTitlesFollowTheViewClass) {
    auto document = NewScript();
    document->SetPathName("/shows/Finale.ksf");
    const std::pair<const char*, const char*> cases[] = {
        {"CSeqListView", "Sequences of Finale"},
        {"CInputView", "Inputs of Finale"},
        {"COutputView", "Outputs of Finale"},
        {"CFlagView", "Flags of Finale"},
        {"CVarView", "Vars of Finale"},
        {"CPortView", "Ports of Finale"},
        {"CDataStrView", "Data Strings of Finale"},
        {"CLcdStrView", "LCD Strings of Finale"},
        {"CXRefView", "Cross Reference of Finale - Double Left or Right Click Column Header to "
                      "Sort Up or Down"},
        {"CsmpteView", "Timecode Triggers of Finale - Double Left or Right Click Column Header "
                       "to Sort Up or Down"},
        {"CEvntView", "[Opening Act] of Finale"},
        {"CCompileView", ""}};
    std::vector<std::unique_ptr<TestView>> views;
    for (auto [viewClass, title] : cases) {
        views.push_back(std::make_unique<TestView>(viewClass, &ui, "Opening Act"));
        document->AddView(views.back().get());
    }
    document->UpdateViewTitles();
    for (std::size_t i = 0; i < views.size(); ++i) {
        EXPECT_EQ(views[i]->title_, cases[i].second);
        EXPECT_EQ(views[i]->updates_, 1);
    }

    document->CloseAllFrames();
    for (const auto& view : views)
        EXPECT_EQ(view->closes_, 1);
    for (const auto& view : views)
        document->RemoveView(view.get());
}

TEST_F(VLDocTest, OpenMissingFileOpensNothing) {
    TempDir dir;
    CVLDoc document(app.App());
    EXPECT_FALSE(document.OnOpenDocument((dir / "gone.ksf").string()));
    EXPECT_EQ(ui.Texts(), std::vector<std::string>{"That file doesn't seem to exist any more."});
    EXPECT_EQ(document.GetPathName(), "");
    // A folder is no script either: the message names it and the reason.
    ui.Clear();
    EXPECT_FALSE(document.OnOpenDocument(dir.Path().string()));
    EXPECT_EQ(ui.Texts(), std::vector<std::string>{"That file doesn't seem to exist any more.\n" +
                                                   dir.Path().string() + ": Is a directory"});
}

TEST_F(VLDocTest, FailedReadLeavesNoDocumentRegistered) {
    TempDir dir;
    const fs::path file = dir / "broken.ksf";
    WriteFile(file, "no sections at all\r\n");
    auto document = std::make_unique<CVLDoc>(app.App());
    EXPECT_FALSE(document->OnOpenDocument(file.string()));
    ASSERT_FALSE(ui.boxes.empty());
    EXPECT_EQ(ui.boxes.back().text, "File " + file.string() + " could not be read successfully!");
    EXPECT_EQ(document->FileBufferSize(), 0u);
    document.reset(); // the caller gives the document up
    EXPECT_TRUE(app.App().m_poDocList.IsEmpty());
}

TEST_F(VLDocTest, DosScriptIsChosenByTheFilesOwnExtension) {
    TempDir dir;
    const fs::path listing = dir / "old.Ksx";
    WriteFile(listing, "DOS listing\r\n");
    app.App().m_bImportKsx = false; // no flag left from an earlier File Open decides
    CVLDoc document(app.App());
    EXPECT_FALSE(document.OnOpenDocument(listing.string()));
    // Imported, not read: the one-line listing ends before its end line.
    ASSERT_FALSE(ui.boxes.empty());
    EXPECT_EQ(ui.boxes.back().text, "Error Reading " + listing.string() +
                                        ".\nLine 5:  End of Script \"*TOVA  *END\" not found\n");
    EXPECT_TRUE(fs::exists(listing));
}

TEST(VLDocImport, ImportedScriptNeverTakesTheListingsName) {
    const std::pair<const char*, const char*> cases[] = {
        {"C:\\shows\\old.ksx", "C:\\shows\\old.KSF"},
        {"/shows/old.Ksx", "/shows/old.KSF"},
        {"/shows/old.KSX", "/shows/old.KSF"},
        {"/shows/old.ksf", "/shows/old.ksf"},
        {"ksx", "ksx"}};
    for (auto [listing, script] : cases)
        EXPECT_EQ(CVLDoc::ImportedScriptPath(listing), script) << listing;
}

TEST_F(VLDocTest, SaveAndOpenRoundTrip) {
    TempDir dir;
    const fs::path file = dir / "Show.ksf";
    {
        auto document = NewScript("Harnel4");
        document->m_strDescription = "Opening night";
        document->SetModifiedFlag(true);
        ASSERT_TRUE(document->OnSaveDocument(file.string()));
        EXPECT_TRUE(ui.boxes.empty());
        EXPECT_FALSE(document->IsModified());
        EXPECT_EQ(document->FileBufferSize(), 0u);
        EXPECT_TRUE(document->WrittenText().empty()); // the buffer lives only for the save
    }
    const std::string text = ReadFile(file);
    EXPECT_NE(text.find("Opening night"), std::string::npos);
    EXPECT_EQ(text.find('\0'), std::string::npos); // the final NUL is not part of the file

    fs::current_path(fs::temp_directory_path());
    CVLDoc reopened(app.App());
    ASSERT_TRUE(reopened.OnOpenDocument(file.string()));
    EXPECT_EQ(reopened.GetPathName(), file.string());
    EXPECT_EQ(reopened.GetTitle(), "Show.ksf");
    EXPECT_EQ(reopened.GetScriptName(), "Show");
    EXPECT_FALSE(reopened.IsModified());
    EXPECT_TRUE(reopened.AddToRecentFiles());
    EXPECT_EQ(reopened.m_pProduct->m_strName, "Harnel4");
    EXPECT_EQ(reopened.m_strDescription, "Opening night");
    EXPECT_EQ(fs::current_path(), dir.Path()); // the script's folder becomes current
    EXPECT_EQ(reopened.FileBufferSize(), 0u);
}

TEST_F(VLDocTest, UnitTypeInOtherCaseOpensWithThatProduct) {
    TempDir dir;
    const fs::path file = dir / "Case.ksf";
    ASSERT_TRUE(NewScript("Harnel4")->OnSaveDocument(file.string()));
    std::string text = ReadFile(file);
    const std::size_t type = text.find("Type=Harnel4\r\n");
    ASSERT_NE(type, std::string::npos);
    text.replace(type, 12, "Type=HARNEL4");
    WriteFile(file, text);

    ui.Clear();
    CVLDoc document(app.App());
    ASSERT_TRUE(document.OnOpenDocument(file.string()));
    EXPECT_EQ(document.m_pProduct->m_strName, "Harnel4");
    EXPECT_TRUE(ui.boxes.empty()) << ui.Texts().front();
}

TEST_F(VLDocTest, SaveSizesItsBufferFromTheScript) {
    TempDir dir;
    const fs::path file = dir / "Long.ksf";
    auto document = NewScript();
    // Far beyond any estimate from the sequence and event counts.
    document->m_strDescription = std::string(200000, 'x');
    for (int i = 0; i < 50; ++i)
        document->m_poSeqList.push_back(std::make_unique<CSeq>(std::string(3000, 's'), 1));
    ASSERT_TRUE(document->OnSaveDocument(file.string()));
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_GT(fs::file_size(file), 350000u);

    // The same text whatever the pass: what was written is exactly what was counted.
    ASSERT_TRUE(document->WriteScriptToBuffer(CVLDoc::kWriteAll, 1, 51));
    EXPECT_EQ(document->WrittenText().size(), document->WriteTotal());
    EXPECT_EQ(document->WriteCapacity(), document->WriteTotal() + 1);
    EXPECT_EQ(ReadFile(file), std::string(document->WrittenText()));
    document->FreeFileBuffer();
}

TEST_F(VLDocTest, FailedSaveKeepsTheOldFileAndTheModifiedFlag) {
    TempDir dir;
    auto document = NewScript();
    document->SetModifiedFlag(true);
    const fs::path nowhere = dir / "missing" / "Show.ksf";
    EXPECT_FALSE(document->OnSaveDocument(nowhere.string()));
    EXPECT_EQ(ui.Texts(), std::vector<std::string>{"File " + nowhere.string() +
                                                   " could not be opened for writing!"});
    EXPECT_TRUE(document->IsModified());
    EXPECT_EQ(document->FileBufferSize(), 0u);

    // A target that cannot be replaced (a folder) leaves it as it was.
    ui.Clear();
    const fs::path folder = dir / "Folder.ksf";
    fs::create_directory(folder);
    WriteFile(folder / "inside", "kept");
    EXPECT_FALSE(document->OnSaveDocument(folder.string()));
    EXPECT_EQ(ui.Texts(),
              std::vector<std::string>{"File " + folder.string() +
                                       " could not be written to successfully!\n\nThe Drive "
                                       "could be full.  Try another Drive!"});
    EXPECT_TRUE(document->IsModified());
    EXPECT_EQ(ReadFile(folder / "inside"), "kept");
    // No temporary file is left behind.
    int entries = 0;
    for (const auto& entry : fs::directory_iterator(dir.Path())) {
        (void)entry;
        ++entries;
    }
    EXPECT_EQ(entries, 1);
}

TEST_F(VLDocTest, SaveReplacesTheFileKeepingItsMode) {
    TempDir dir;
    const fs::path file = dir / "Show.ksf";
    WriteFile(file, "old text");
    ::chmod(file.c_str(), 0640);
    auto document = NewScript();
    ASSERT_TRUE(document->OnSaveDocument(file.string()));
    EXPECT_NE(ReadFile(file), "old text");
    struct stat st {};
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST_F(VLDocTest, SaveQuestionSavesThroughSaveAsWhenThereIsNoPath) {
    TempDir dir;
    auto document = NewScript();
    int frame = 0;
    TestView view("CSeqListView", &frame);
    document->AddView(&view);
    document->SetModifiedFlag(true);

    const fs::path chosen = dir / "Chosen.ksf";
    ui.QueueAnswer(MsgResult::Yes);
    ui.QueueDialog([&](platform::DialogRequest& request) {
        auto& dialog = dynamic_cast<CSaveAsDlg&>(request);
        dialog.path = chosen.string();
        return true;
    });
    EXPECT_TRUE(document->CanCloseFrame(&frame));
    EXPECT_EQ(ui.dialogNames, std::vector<std::string>{"CSaveAsDlg"});
    EXPECT_TRUE(fs::exists(chosen));
    EXPECT_EQ(document->GetPathName(), chosen.string());
    EXPECT_FALSE(document->IsModified());
    EXPECT_EQ(view.title_, "Sequences of Chosen");

    // Save now writes to the path without asking.
    ui.Clear();
    document->SetModifiedFlag(true);
    EXPECT_TRUE(document->OnFileSave());
    EXPECT_TRUE(ui.dialogNames.empty());
    EXPECT_FALSE(document->IsModified());

    // Save As cancelled: nothing saved, still modified.
    document->SetModifiedFlag(true);
    EXPECT_FALSE(document->OnFileSaveAs());
    EXPECT_TRUE(document->IsModified());
    document->RemoveView(&view);
}

TEST_F(VLDocTest, CloseDocumentClearsTheModifiedFlag) {
    auto document = NewScript();
    document->SetModifiedFlag(true);
    document->OnCloseDocument();
    EXPECT_FALSE(document->IsModified());
}

} // namespace
