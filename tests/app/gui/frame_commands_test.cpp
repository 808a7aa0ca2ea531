// The main window's own commands on real widgets: the view commands of the active script, the
// commands it hands to the active table by the table's class, the compiled image's dump and
// retrieval, the check marks and the tools of a script.
#include "app/gui/comm_dialogs.h"
#include "app/gui/velmora_templates.h"
#include "app/gui/vl_frame.h"
#include "app/gui/vl_resources.h"
#include "controls/commandbars/aux_data.h"
#include "controls/commandbars/control_popup.h"
#include "controls/commandbars/controls.h"
#include "controls/commandbars/menu_bar.h"
#include "controls/commandbars/mouse_manager.h"
#include "controls/commandbars/popup_bar.h"
#include "controls/toolbox/status_bar.h"
#include "link/dat_doc.h"
#include "link/script_archive.h"
#include "platform/qt/qt_ui_services.h"
#include "platform/serial_device.h"
#include "script/dialog_requests.h"
#include "script/text_utils.h"
#include "script/vl_doc.h"
#include "tests/app/app_test_support.h"
#include "tests/app/gui/gui_test_support.h"
#include "tests/app/gui/main_window_fixture.h"
#include "tests/support/controller_emulator.h"
#include "tests/support/pdf_text.h"
#include "tests/support/qt_test_app.h"
#include "tests/support/scripted_ui.h"
#include "views/common/column_fit_view.h"
#include "views/common/update_hints.h"
#include "views/common/vl_view.h"
#include "views/gridbase/print_services.h"
#include "views/gridbase/vl_cel_ctrl.h"
#include "views/reports/compile_view.h"
#include "views/reports/list_views.h"
#include "views/sequences/seq_list_view.h"

#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <iterator>
#include <memory>
#include <regex>
#include <set>

namespace {

namespace fs = std::filesystem;
using namespace vl_ids;

// A table view under any of the program's class names, with a small grid: the cross reference
// is a table that is not edited, the inputs one that is.
class TableView : public CVLView, public ColumnFitView {
public:
    TableView(const char* name, CVLDoc& doc, ViewServices& services)
        : CVLView(doc, services), name_(name) {
        const bool edited = std::string_view(name) != "CXRefView";
        TableCommands table;
        table.autoSize = [this] { AutoSizeColumns(); };
        if (edited)
            table.replace = [this] { ReplaceInGrid(); };
        table.printSubtitle = edited ? "Inputs" : "Cross Reference";
        OfferTableCommands(std::move(table));
        CreateGrid(new VLCELCtrl);
        Grid()->SetColumnCount(2);
        Grid()->SetRowCount(2);
        Grid()->WriteCellText(0, 0, "Pump_Jets");
        resize(400, 300);
    }
    const char* ViewClassName() const override { return name_; }
    void AutoSizeColumns() override { ++fits; }
    void OnUpdate(platform::View* sender, long hint, void* object) override {
        hints.push_back(hint);
        CVLView::OnUpdate(sender, hint, object);
    }
    int fits = 0;
    std::vector<long> hints;

private:
    const char* name_;
};

// The update of one command as a menu item would take it.
struct ItemUi : platform::qt::CommandUi {
    explicit ItemUi(unsigned id) : CommandUi(id) {}
    void Enable(bool on) override {
        enabled = on;
        enableChanged = true;
    }
    void SetCheck(int state) override { check = state; }
    void SetText(const QString&) override {}
    bool enabled = true;
    int check = -1;
};

struct FrameCommands : guitest::MainWindowFixture {
    // The profile sends COM1 to `com1` (none: nowhere) and the other ports nowhere.
    void Start(const std::string& com1 = "", const std::string& download = "") {
        WriteProfile(com1.empty() ? std::map<int, std::string>{}
                                  : std::map<int, std::string>{{1, com1}},
                     "[Download]\n" + download);
        ASSERT_NO_FATAL_FAILURE(StartWindow([this](CVLFrame& frame) {
            for (const char* name : {"CInputView", "CXRefView"})
                frame.Views().RegisterView(name,
                                           [name, this](platform::Document& document,
                                                        QWidget*) -> platform::qt::CreatedView {
                                               auto* doc = dynamic_cast<CVLDoc*>(&document);
                                               if (!doc)
                                                   return {};
                                               auto* view =
                                                   new TableView(name, *doc, window->Services());
                                               return {view, view};
                                           });
            // A view class that makes no view, as a template's view that cannot be made.
            frame.Views().RegisterView(
                "COutputView",
                [](platform::Document&, QWidget*) -> platform::qt::CreatedView { return {}; });
        }));
    }

    ItemUi Update(unsigned id) {
        ItemUi ui(id);
        window->DoUpdate(ui, true);
        return ui;
    }

    template <typename View> std::vector<View*> Views() const {
        std::vector<View*> views;
        for (QMdiSubWindow* frame : window->MdiArea()->subWindowList())
            if (auto* view = dynamic_cast<View*>(frame->widget()))
                views.push_back(view);
        return views;
    }

    TableView* ActiveTable() const {
        QMdiSubWindow* frame = window->MdiArea()->currentSubWindow();
        return frame ? dynamic_cast<TableView*>(frame->widget()) : nullptr;
    }
};

TEST_F(FrameCommands, ViewCommandsNeedAScriptAndBringAnOpenViewForward) {
    Start();
    testing_support::ScriptedUi ui;
    EXPECT_TRUE(window->RouteCommand(kInputs));
    EXPECT_TRUE(window->RouteCommand(kXReference));
    EXPECT_EQ(ui.Texts(), (std::vector<std::string>{"Command failed.", "Command failed."}));
    EXPECT_TRUE(window->MdiArea()->subWindowList().empty());
    ui.Clear();

    CVLDoc* doc = OpenScript();
    ASSERT_NE(doc, nullptr);
    QMdiSubWindow* sequences = window->MdiArea()->currentSubWindow();
    sequences->showMaximized();
    EXPECT_TRUE(window->RouteCommand(kInputs));
    ASSERT_EQ(Views<TableView>().size(), 1u);
    TableView* inputs = ActiveTable();
    ASSERT_NE(inputs, nullptr);
    // A table window first shows maximised when the active child was.
    EXPECT_TRUE(window->MdiArea()->currentSubWindow()->isMaximized());
    EXPECT_STREQ(inputs->ViewClassName(), "CInputView");

    // Behind the sequence list, then asked for again: the same frame comes forward.
    window->MdiArea()->setActiveSubWindow(sequences);
    sequences->showNormal();
    EXPECT_TRUE(window->RouteCommand(kInputs));
    EXPECT_EQ(Views<TableView>().size(), 1u);
    EXPECT_EQ(ActiveTable(), inputs);

    // A template whose view does not exist opens nothing and says nothing.
    EXPECT_TRUE(window->RouteCommand(kOutputs));
    EXPECT_EQ(window->MdiArea()->subWindowList().size(), 2u);
    EXPECT_TRUE(window->RouteCommand(kXReference));
    EXPECT_EQ(Views<TableView>().size(), 2u);
    EXPECT_TRUE(ui.Texts().empty());

    // Enabling by the script's product.
    CProduct& product = *doc->m_pProduct;
    product.m_wInputs = 16;
    product.m_wPorts = 0;
    const struct {
        unsigned id;
        const char* lcd;
        bool enabled;
    } cases[] = {
        {kInputs, "40x2", true},      {kPorts, "40x2", false},     {kLcdStrings, "40x2", true},
        {kLcdStrings, "NONE", false}, {kLcdStrings, "", false},    {kDataStrings, "", true},
        {kSmpteTriggers, "", true},   {kXReference, "None", true},
    };
    for (const auto& c : cases) {
        product.m_strLcd = c.lcd;
        EXPECT_EQ(Update(c.id).enabled, c.enabled) << c.id << " " << c.lcd;
    }
    product.m_wInputs = 0;
    EXPECT_FALSE(Update(kInputs).enabled);
}

TEST_F(FrameCommands, TheCompileViewsGridFollowsTheProgramsSettingsAndNumbering) {
    Start();
    testing_support::ScriptedUi ui;
    CVLDoc* doc = OpenScript();
    ASSERT_NE(doc, nullptr);
    for (const bool hints : {false, true}) {
        app.m_bSpreadsheetHints = hints;
        const std::int32_t next = app.m_nNextGridId;
        auto* compile = dynamic_cast<CCompileView*>(window->CreateViewFrame(*doc));
        ASSERT_NE(compile, nullptr);
        EXPECT_EQ(compile->Cel().Info().cellTips, hints);
        EXPECT_EQ(app.m_nNextGridId, next + 1) << "the grid takes the program's next number";
        compile->Frame()->close();
    }
}

TEST_F(FrameCommands, TheCompileViewLeadsToTheViewItsMessageNames) {
    Start();
    testing_support::ScriptedUi ui;
    CVLDoc* doc = OpenScript();
    ASSERT_NE(doc, nullptr);
    doc->m_pProduct->m_wInputs = 16;
    auto* compile = dynamic_cast<CCompileView*>(window->CreateViewFrame(*doc));
    ASSERT_NE(compile, nullptr);
    // An input: its table opens with the named row active, and comes forward when asked again.
    compile->AddMessage("Error: input 2", 2, 1, -1, -1, 0x0000FF);
    compile->GoToMessage();
    ASSERT_EQ(Views<TableView>().size(), 1u);
    TableView* inputs = Views<TableView>().front();
    EXPECT_STREQ(inputs->ViewClassName(), "CInputView");
    EXPECT_EQ(inputs->Grid()->GetActiveRow(), 1);
    window->MdiArea()->setActiveSubWindow(compile->Frame());
    compile->GoToMessage();
    EXPECT_EQ(Views<TableView>().size(), 1u);
    EXPECT_EQ(ActiveTable(), inputs);
    // A sequence: the sequence list comes forward.
    ASSERT_FALSE(doc->m_poSeqList.empty());
    compile->AddMessage("Error: sequence", 9, 0, -1, -1, 0x0000FF);
    compile->GoToMessage();
    auto* list = dynamic_cast<CSeqListView*>(window->MdiArea()->currentSubWindow()->widget());
    EXPECT_NE(list, nullptr);
    doc->CloseCompileErrorDialog();
}

TEST_F(FrameCommands, AHintReachesEveryViewOfItsScriptTheSenderIncluded) {
    Start();
    CVLDoc* doc = OpenScript();
    ASSERT_NE(doc, nullptr);
    EXPECT_TRUE(window->RouteCommand(kInputs));
    EXPECT_TRUE(window->RouteCommand(kXReference));
    const std::vector<TableView*> tables = Views<TableView>();
    ASSERT_EQ(tables.size(), 2u);
    for (TableView* table : tables)
        table->hints.clear();
    auto* list = dynamic_cast<CSeqListView*>(
        platform::qt::MdiDocTemplate::ViewOfFrame(window->MdiArea()->subWindowList().front()));
    ASSERT_NE(list, nullptr);

    // The inputs view changed the script: it sends with no sender and hears its own hint.
    doc->m_poSeqList.front()->m_strName = "Renamed";
    doc->UpdateAllViews(nullptr, hints::kTimeDisplay);
    for (TableView* table : tables)
        EXPECT_EQ(table->hints, std::vector<long>{hints::kTimeDisplay});
    // Hint 4 rebuilds the sequence list from the script.
    EXPECT_STREQ(list->Cel()->ReadCellText(2, 0), "Renamed");
}

TEST_F(FrameCommands, TableCommandsReachTheActiveTable) {
    Start();
    testing_support::ScriptedUi ui;
    EXPECT_FALSE(Update(kAutoSizeColumns).enabled) << "no script";
    EXPECT_FALSE(Update(kPrintGrid).enabled);
    CVLDoc* doc = OpenScript();
    ASSERT_NE(doc, nullptr);
    doc->m_strAuthor1 = "Stage Crew";
    EXPECT_TRUE(Update(kAutoSizeColumns).enabled);

    // The cross reference is not edited: Replace only finds.
    window->RouteCommand(kXReference);
    TableView* xref = ActiveTable();
    ASSERT_NE(xref, nullptr);
    doc->SetModifiedFlag(false);
    EXPECT_TRUE(window->RouteCommand(kEditReplace));
    EXPECT_TRUE(xref->Grid()->IsFindDialogOpen());
    EXPECT_FALSE(doc->IsModified());
    EXPECT_TRUE(window->RouteCommand(kAutoSizeColumns));
    EXPECT_EQ(xref->fits, 1);

    // Print Grid: the script's name, its first author and the table's own subtitle.
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("grid.pdf"));
    window->Services().Printing().askPrintGrid = [](QWidget*) { return 100; };
    window->Services().Printing().askPrinter = [&pdf](QPrinter& printer, QWidget*, bool) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    };
    // Every job starts from the printer Print Setup set up.
    window->Printer().setPageOrientation(QPageLayout::Landscape);
    EXPECT_TRUE(window->RouteCommand(kPrintGrid));
    const std::string text = testing_support::PdfText(pdf.toStdString());
    for (const char* part : {"Fountain", "Cross Reference", "Stage Crew", "Pump_Jets"})
        EXPECT_NE(text.find(part), std::string::npos) << part << "\n" << text;
    const std::string info = testing_support::CommandOutput("pdfinfo '" + pdf.toStdString() + "'");
    int width = 0, height = 0;
    const auto at = info.find("Page size:");
    ASSERT_NE(at, std::string::npos);
    std::sscanf(info.c_str() + at, "Page size: %d x %d", &width, &height);
    EXPECT_GT(width, height) << info;

    // An edited table: Replace opens the replace dialog and takes the script as changed.
    window->RouteCommand(kInputs);
    TableView* inputs = ActiveTable();
    ASSERT_NE(inputs, xref);
    EXPECT_TRUE(window->RouteCommand(kEditFind));
    EXPECT_TRUE(inputs->Grid()->IsFindDialogOpen());
    EXPECT_FALSE(doc->IsModified()) << "Find changes nothing";
    inputs->Grid()->FindDialogClosed();
    EXPECT_TRUE(window->RouteCommand(kEditReplace));
    EXPECT_TRUE(doc->IsModified());
    EXPECT_TRUE(ui.Texts().empty());
}

TEST_F(FrameCommands, ImageDumpChecksAndScriptTools) {
    Start();
    testing_support::ScriptedUi ui;
    const auto image = install.Root() / "SCRIPTS/Show.DAT";
    std::ofstream(image, std::ios::binary) << std::string("\x03\x00\x01\x02", 4);
    EXPECT_FALSE(Update(kFilePrint).enabled) << "no document";

    // On a script, View Compiled Data does nothing.
    ASSERT_NE(OpenScript(), nullptr);
    const auto before = window->MdiArea()->subWindowList().size();
    EXPECT_TRUE(window->RouteCommand(kViewCompiledData));
    EXPECT_EQ(window->MdiArea()->subWindowList().size(), before);

    // On an image it opens the dump once, then brings it forward.
    ASSERT_TRUE(window->OpenFile(image.string()));
    QMdiSubWindow* main = window->MdiArea()->currentSubWindow();
    EXPECT_TRUE(window->RouteCommand(kViewCompiledData));
    ASSERT_EQ(Views<CDatHexView>().size(), 1u);
    EXPECT_EQ(Views<CDatHexView>()[0]->Lines().size(), 3u);
    window->MdiArea()->setActiveSubWindow(main);
    EXPECT_TRUE(window->RouteCommand(kViewCompiledData));
    EXPECT_EQ(Views<CDatHexView>().size(), 1u);
    EXPECT_EQ(window->MdiArea()->currentSubWindow()->widget(), Views<CDatHexView>()[0]);
    // An image opened from disk asks for no retrieval.
    QCoreApplication::processEvents();
    EXPECT_TRUE(ui.dialogNames.empty());

    // The settings' check marks; the views toggle them.
    app.m_bEventsInFrames = true;
    app.m_bTimecodeStartAdded = false;
    EXPECT_EQ(Update(kEventsInFrames).check, 1);
    EXPECT_EQ(Update(kEventsWithTimecode).check, 0);
    EXPECT_FALSE(Update(kMonitor).enabled);

    // The cue list and the wizard are the sequence views' tools; the routing of a tool with
    // them taken away: disabled until one exists, then run on the active script.
    EXPECT_TRUE(window->HasHandler(kRealTimeWizard));
    window->Tools().Unregister(kCueList);
    window->Tools().Unregister(kRealTimeWizard);
    EXPECT_FALSE(Update(kCueList).enabled);
    EXPECT_FALSE(window->HasHandler(kRealTimeWizard));
    CVLDoc* ranOn = nullptr;
    window->Tools().Register<CVLDoc>(kCueList, [&ranOn](CVLDoc& doc, QWidget*) { ranOn = &doc; });
    EXPECT_FALSE(Update(kCueList).enabled) << "an image is active";
    ui.Clear();
    EXPECT_TRUE(window->RouteCommand(kCueList));
    EXPECT_EQ(ui.Texts(), std::vector<std::string>{"Command failed."});
    for (QMdiSubWindow* frame : window->MdiArea()->subWindowList())
        if (dynamic_cast<CVLView*>(frame->widget()))
            window->MdiArea()->setActiveSubWindow(frame);
    EXPECT_TRUE(Update(kCueList).enabled);
    EXPECT_TRUE(window->RouteCommand(kCueList));
    EXPECT_EQ(ranOn, app.ActiveScript());
    EXPECT_NE(ranOn, nullptr);
}

// "&File Status" on an image shows its sizes and checksum through the program's own dialog.
TEST_F(FrameCommands, FileStatusOfAnImageShowsItsDialog) {
    Start();
    const auto image = install.Root() / "SCRIPTS/Show.DAT";
    std::ofstream(image, std::ios::binary) << std::string("\x03\x00\x01\x02", 4);
    ASSERT_TRUE(window->OpenFile(image.string()));
    ASSERT_TRUE(Update(kFileStatus).enabled);
    QString title, size;
    guitest::WhenModal([&](QDialog& d) {
        title = d.windowTitle();
        if (auto* label = guitest::Control<QLabel>(d, 378))
            size = label->text();
        d.reject();
    });
    EXPECT_TRUE(window->RouteCommand(kFileStatus));
    EXPECT_EQ(title, "DAT File Status");
    EXPECT_TRUE(size.startsWith("The Size is ")) << size.toStdString();
}

// Every dialog request the core can make (each declares its kDialogName) has its handler in the
// program, except those of the dialogs not built yet, whose commands stay greyed; a request of
// theirs reports the missing dialog.
TEST_F(FrameCommands, EveryDialogTheCoreRequestsHasItsHandler) {
    Start();
    const std::set<std::string> notBuilt;
    std::set<std::string> requests;
    const std::regex declared(R"re(kDialogName\s*=\s*"([A-Za-z]+)")re");
    for (const char* folder :
         {"platform", "foundation", "reproducer", "script", "compiler", "link", "app"}) {
        for (const auto& entry :
             fs::recursive_directory_iterator(fs::path(VELMORA_SOURCE_DIR) / folder)) {
            if (entry.path().extension() != ".h")
                continue;
            std::ifstream in(entry.path());
            const std::string text((std::istreambuf_iterator<char>(in)),
                                   std::istreambuf_iterator<char>());
            for (std::sregex_iterator m(text.begin(), text.end(), declared), end; m != end; ++m)
                requests.insert((*m)[1]);
        }
    }
    EXPECT_GE(requests.size(), 13u);
    for (const std::string& name : requests)
        EXPECT_EQ(window->UiServices().HasDialogHandler(name), notBuilt.count(name) == 0) << name;
}

// "Upload DAT from Unit" opens an image view, which asks its own document's retrieval once the
// event loop comes back: the controller's image fills it.
// Its own suite: it waits on a controller in real time (rerun when a loaded machine is late).
using ImageRetrieval = FrameCommands;

TEST_F(ImageRetrieval, UploadDatFromUnitFillsTheNewImageView) {
    testing_support::EmulatorOptions options;
    options.image.assign(700, 0x5A);
    std::uint16_t sum = 0;
    for (std::size_t i = 2; i < options.image.size(); ++i)
        sum = std::uint16_t(sum + options.image[i]);
    options.image[0] = std::uint8_t(sum & 0xFF);
    options.image[1] = std::uint8_t(sum >> 8);
    testing_support::ControllerEmulator emulator(options);
    ASSERT_TRUE(emulator.Start());
    Start(emulator.SlavePath(), "SerialPort=0\nSerialTimeout=1000\n");
    testing_support::ScriptedUi ui;
    ui.QueueDialog([](platform::DialogRequest& request) {
        return std::string(request.DialogName()) == "CCfgCommDlg";
    });
    EXPECT_TRUE(window->RouteCommand(kUploadDat));
    ASSERT_EQ(Views<CDatView>().size(), 1u);
    CDatView* view = Views<CDatView>()[0];
    auto* doc = dynamic_cast<CDatDoc*>(view->GetDocument());
    ASSERT_NE(doc, nullptr);
    EXPECT_TRUE(ui.dialogNames.empty()) << "not before the event loop comes back";
    QElapsedTimer clock;
    clock.start();
    while (doc->Image() != options.image && clock.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_EQ(doc->Image(), options.image);
    EXPECT_EQ(ui.dialogNames, std::vector<std::string>{"CCfgCommDlg"});
    const std::vector<std::string> lines = view->Lines();
    auto has = [&lines](const std::string& text) {
        return std::find(lines.begin(), lines.end(), text) != lines.end();
    };
    EXPECT_TRUE(has("DAT file successfully Retrieved"));
    EXPECT_TRUE(has("The Size is 700"));
    emulator.Stop();

    // The retrieved image has no file yet: Save asks for its name and writes the bytes.
    const std::string saved = (install.Root() / "SCRIPTS/Retrieved.dat").string();
    ui.QueueDialog([&saved](platform::DialogRequest& request) {
        static_cast<CSaveAsDlg&>(request).path = saved;
        return true;
    });
    EXPECT_TRUE(Update(kFileSave).enabled);
    EXPECT_TRUE(Update(kFileSaveAs).enabled);
    EXPECT_TRUE(window->RouteCommand(kFileSave));
    EXPECT_EQ(ui.dialogNames.back(), "CSaveAsDlg");
    EXPECT_EQ(doc->GetPathName(), saved);
    EXPECT_EQ(view->Frame()->windowTitle(), QStringLiteral("Retrieved.dat"));
    EXPECT_TRUE(window->RouteCommand(kFileClose));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(Views<CDatView>().empty());

    // Opened again it holds the same bytes, and it joined the recent files.
    ASSERT_TRUE(window->OpenFile(saved));
    ASSERT_EQ(Views<CDatView>().size(), 1u);
    auto* reopened = dynamic_cast<CDatDoc*>(Views<CDatView>()[0]->GetDocument());
    ASSERT_NE(reopened, nullptr);
    EXPECT_EQ(reopened->Image(), options.image);
    ASSERT_FALSE(app.RecentFiles().Entries().empty());
    EXPECT_EQ(app.RecentFiles().Entries().front(), saved);
}

} // namespace

namespace {

// "Upload Script from Unit": once the script is back under its own name every window's title
// carries that name, and the status bar leaves its reading text.
// Its own suite: it waits on a controller in real time.
using ScriptUpload = FrameCommands;

TEST_F(ScriptUpload, EveryTitleFollowsTheRetrievedName) {
    std::ifstream source(install.Root() / "SCRIPTS/Fountain.ksf", std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(source), {}};
    const auto packed = showlink::PackArchiveText(text);
    ASSERT_TRUE(packed.has_value());
    const auto header = showlink::MakeArchiveHeader(*packed, "LOBBY");
    testing_support::EmulatorOptions options;
    options.archive.assign(header.begin(), header.end());
    options.archive.insert(options.archive.end(), packed->begin(), packed->end());
    testing_support::ControllerEmulator emulator(options);
    ASSERT_TRUE(emulator.Start());
    Start(emulator.SlavePath(), "SerialPort=0\nSerialTimeout=1000\n");
    QString told;
    guitest::WhenModal([&told](QDialog& dialog) {
        guitest::Click(dialog, 1);
        guitest::WhenModal([&told](QDialog& box) {
            told = qobject_cast<QMessageBox*>(&box) ? static_cast<QMessageBox&>(box).text() : "";
            box.accept();
        });
    });
    EXPECT_TRUE(window->RouteCommand(kUploadScript));
    EXPECT_EQ(told, QStringLiteral("Retrieval Successful"));
    CVLDoc* doc = app.ActiveScript();
    ASSERT_NE(doc, nullptr);
    const std::string name = doc->GetScriptName();
    ASSERT_NE(name, "Script1") << "the retrieval gave the script its name";
    const auto children = window->MdiArea()->subWindowList();
    ASSERT_GE(children.size(), 2);
    for (QMdiSubWindow* child : children) {
        const std::string title = child->windowTitle().toStdString();
        EXPECT_NE(title.find(name), std::string::npos) << title;
        EXPECT_EQ(title.find("Script1"), std::string::npos) << title;
    }
    EXPECT_EQ(window->StatusBar()->GetPaneText(0), QStringLiteral("Ready"));
    emulator.Stop();
}

// Communications from the menu runs the real dialog in settings mode; Cancel keeps everything.
TEST_F(FrameCommands, CommunicationsOkTakesTheDialogAndCancelChangesNothing) {
    Start("", "CommMethod=1\nEthernetDevice=1\nNumQuenlows=2\nQuenlowName1=Stage\n"
              "QuenlowIP1=10.0.0.5\nQuenlowName2=Booth\nQuenlowIP2=10.0.0.6\n");
    ASSERT_EQ(app.Devices().GetCount(), 2u);
    auto profileText = [this] {
        std::ifstream in(install.Profile());
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    };
    const std::string before = profileText();
    QString title, okText, message;
    bool ethernet = false, serialEnabled = true;
    guitest::WhenModal([&](QDialog& dialog) {
        title = dialog.windowTitle();
        okText = guitest::Control<QPushButton>(dialog, 1)->text();
        message = guitest::Control<QLabel>(dialog, 367)->text();
        ethernet = guitest::Control<QRadioButton>(dialog, 370)->isChecked();
        serialEnabled = guitest::Control<QRadioButton>(dialog, 369)->isEnabled();
        guitest::Click(dialog, 466); // delete the chosen device
        EXPECT_EQ(guitest::Control<QComboBox>(dialog, 454)->count(), 1);
        guitest::Click(dialog, 2);
    });
    EXPECT_TRUE(window->RouteCommand(kCommunications));
    EXPECT_EQ(title, QStringLiteral("Communication Settings"));
    EXPECT_EQ(okText, QStringLiteral("Set"));
    EXPECT_EQ(message, QStringLiteral("Select communication options below."));
    EXPECT_TRUE(ethernet) << "no serial port here, but devices";
    EXPECT_FALSE(serialEnabled);
    EXPECT_EQ(app.Devices().GetCount(), 2u);
    EXPECT_EQ(profileText(), before);

    guitest::WhenModal([](QDialog& dialog) {
        guitest::Click(dialog, 466);
        guitest::Control<QCheckBox>(dialog, 471)->setChecked(true);
        guitest::Click(dialog, 1);
    });
    EXPECT_TRUE(window->RouteCommand(kCommunications));
    ASSERT_EQ(app.Devices().GetCount(), 1u);
    EXPECT_EQ(app.Devices().GetAt(0)->m_strName, "Stage");
    EXPECT_EQ(app.m_nEthernetDevice, 0);
    EXPECT_EQ(app.m_nNumQuenlows, 1);
    EXPECT_TRUE(app.m_bVerboseMessages);
    EXPECT_NE(profileText().find("NumQuenlows=1"), std::string::npos) << profileText();
}

// The dialog itself, with no serial port on the machine.
struct CommDialogs : ::testing::Test, testsupport::QtAppFirst {
    CommDialogs() {
        previous = platform::SetSerialPortLookup([](int) { return std::string("/nonexistent"); });
        for (const char* name : {"Stage", "Booth", "Lobby"}) {
            CQuenlowOb device;
            device.m_strName = name;
            device.m_strIP = "10.0.0.1";
            request.m_devices.AddTail(device);
        }
        request.m_strTitleSuffix = " to a Harnel16";
    }
    ~CommDialogs() override { platform::SetSerialPortLookup(previous); }

    testing_support::ScriptedUi ui;
    CommDialogRequest request;
    platform::SerialPortLookup previous;
};

TEST_F(CommDialogs, DevicesAreAddedAndDeletedOnTheCopy) {
    request.m_nMethod = 0;
    request.m_nDevice = 2;
    comm::CCfgCommDlg dialog(request, {});
    dialog.OnInitDialog();
    auto* devices = guitest::Control<QComboBox>(dialog, 454);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Downloading through Lobby to a Harnel16"));
    EXPECT_EQ(dialog.Data().m_nMethod, 1);
    EXPECT_FALSE(guitest::Control<QComboBox>(dialog, 468)->isEnabled());
    EXPECT_EQ(devices->currentText(), QStringLiteral("Lobby"));

    // Deleting the last entry selects the new last one, and that device is the choice.
    dialog.OnDeleteDevice();
    EXPECT_EQ(devices->currentText(), QStringLiteral("Booth"));
    EXPECT_EQ(dialog.Data().m_nDevice, 1);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Downloading through Booth to a Harnel16"));

    // A name already there, answered No: the device dialog again with what was typed.
    QString reopenedWith;
    guitest::WhenModal([&](QDialog& first) {
        guitest::Control<QLineEdit>(first, 464)->setText(QStringLiteral("Stage"));
        guitest::WhenModal([&](QDialog& second) {
            reopenedWith = guitest::Control<QLineEdit>(second, 464)->text();
            guitest::Click(second, 2);
        });
        guitest::Click(first, 1);
    });
    ui.QueueAnswer(platform::MsgResult::No);
    dialog.OnAddDevice();
    EXPECT_EQ(reopenedWith, QStringLiteral("Stage"));
    EXPECT_EQ(ui.Texts(),
              std::vector<std::string>{"Name already exists, do you wish to overwrite?"});
    EXPECT_EQ(dialog.Data().m_devices.GetCount(), 2u);

    // Deleting the rest goes back to the serial method.
    dialog.OnDeleteDevice();
    dialog.OnDeleteDevice();
    EXPECT_TRUE(dialog.Data().m_devices.IsEmpty());
    EXPECT_EQ(dialog.Data().m_nMethod, 0);
    EXPECT_EQ(dialog.Data().m_nDevice, -1);
    EXPECT_TRUE(guitest::Control<QRadioButton>(dialog, 369)->isChecked());
    EXPECT_FALSE(guitest::Control<QRadioButton>(dialog, 370)->isEnabled());
    EXPECT_EQ(request.m_devices.GetCount(), 3u) << "the request changes only on OK";
}

TEST_F(CommDialogs, DeviceDialogKeepsTheAddressAsDottedTextAndNeedsAName) {
    CQuenlowOb values;
    values.m_strName = "Stage";
    values.m_strIP = "192.168.1.20";
    comm::CCommQuenlowDlg device(values);
    QStringList fields;
    guitest::WhenModal([&](QDialog& dialog) {
        auto* address = guitest::Control<comm::CIPAddressCtrl>(dialog, 460);
        for (int i = 0; i < 4; ++i)
            fields << address->Field(i)->text();
        address->Field(3)->setText(QStringLiteral("77"));
        guitest::Control<QLineEdit>(dialog, 464)->clear();
        guitest::Click(dialog, 1);
        EXPECT_TRUE(dialog.isVisible()) << "no name: the dialog stays";
        guitest::Control<QLineEdit>(dialog, 464)->setText(QStringLiteral("Booth"));
        guitest::Click(dialog, 1);
    });
    EXPECT_EQ(device.exec(), QDialog::Accepted);
    EXPECT_EQ(fields, (QStringList{"192", "168", "1", "20"}));
    EXPECT_EQ(values.m_strIP, "192.168.1.77");
    EXPECT_EQ(values.m_strName, "Booth");
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "You must enter a Device Name!");
    EXPECT_EQ(ui.boxes[0].caption, "Insufficient Data");
}

// The device dialog stores only what OK reads: an address left alone keeps its text, and a
// refused OK followed by Cancel leaves the device as it was.
TEST_F(CommDialogs, DeviceDialogChangesTheDeviceOnlyOnOk) {
    struct Case {
        const char* name;
        const char* address;
        std::function<void(QDialog&)> steps;
        int result;
        const char* storedAddress;
        const char* storedName;
    };
    const Case cases[] = {
        {"an empty address left alone", "", [](QDialog& d) { guitest::Click(d, 1); },
         QDialog::Accepted, "", "Stage"},
        {"a text that is no address, left alone", "lobby.local",
         [](QDialog& d) { guitest::Click(d, 1); }, QDialog::Accepted, "lobby.local", "Stage"},
        {"one field edited", "lobby.local",
         [](QDialog& d) {
             guitest::Control<comm::CIPAddressCtrl>(d, 460)->Field(0)->setText("10");
             guitest::Click(d, 1);
         },
         QDialog::Accepted, "10.0.0.0", "Stage"},
        {"no name refused, then Cancel", "10.0.0.1",
         [](QDialog& d) {
             guitest::Control<QLineEdit>(d, 464)->clear();
             guitest::Control<comm::CIPAddressCtrl>(d, 460)->Field(3)->setText("9");
             guitest::Click(d, 1);
             EXPECT_TRUE(d.isVisible());
             guitest::Click(d, 2);
         },
         QDialog::Rejected, "10.0.0.1", "Stage"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CQuenlowOb values;
        values.m_strName = "Stage";
        values.m_strLogin = "show";
        values.m_strIP = c.address;
        comm::CCommQuenlowDlg device(values);
        guitest::WhenModal(c.steps);
        EXPECT_EQ(device.Run(), c.result);
        EXPECT_EQ(values.m_strIP, c.storedAddress);
        EXPECT_EQ(values.m_strName, c.storedName);
        EXPECT_EQ(values.m_strLogin, "show");
    }
}

TEST_F(CommDialogs, AdvancedCancelKeepsTheSettings) {
    request.m_nTimeout = 1000;
    request.m_nPacketSize = 64;
    request.m_nPacing = 2;
    request.m_nBitMode = 1;
    comm::CCfgCommDlg dialog(request, {});
    dialog.OnInitDialog();
    guitest::WhenModal([](QDialog& advanced) {
        guitest::Control<QComboBox>(advanced, 261)->setCurrentIndex(4);
        guitest::Control<QComboBox>(advanced, 264)->setCurrentIndex(0);
        guitest::Control<QComboBox>(advanced, 267)->setCurrentIndex(0);
        guitest::Control<QRadioButton>(advanced, 467)->setChecked(true);
        guitest::Click(advanced, 2);
    });
    dialog.OnAdvanced();
    EXPECT_EQ(dialog.Data().m_nTimeout, 1000);
    EXPECT_EQ(dialog.Data().m_nPacketSize, 64);
    EXPECT_EQ(dialog.Data().m_nPacing, 2);
    EXPECT_EQ(dialog.Data().m_nBitMode, 1);
}

// The Tips of the Advanced dialog come as paragraphs the box wraps, not as broken lines.
TEST_F(CommDialogs, AdvancedTipsAreParagraphs) {
    comm::CCfgCommDlg dialog(request, {});
    dialog.OnInitDialog();
    guitest::WhenModal([](QDialog& advanced) {
        guitest::Click(advanced, 269);
        guitest::Click(advanced, 2);
    });
    dialog.OnAdvanced();
    ASSERT_EQ(ui.boxes.size(), 1u);
    const std::string& text = ui.boxes[0].text;
    EXPECT_EQ(ui.boxes[0].caption, "Advanced Communication Tips");
    EXPECT_EQ(text.rfind("If you are downloading directly to a Show Controller, the optimum "
                         "selection is 256 byte Packet Size",
                         0),
              0u)
        << text;
    // Four paragraphs, no break inside one.
    std::size_t breaks = 0;
    for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 2)) {
        ASSERT_LT(at + 1, text.size());
        EXPECT_EQ(text[at + 1], '\n') << text.substr(0, at);
        ++breaks;
    }
    EXPECT_EQ(breaks, 3u);
}

TEST_F(CommDialogs, AdvancedLeavesAnUnofferedTimeoutAsItIs) {
    request.m_nTimeout = 2000;
    request.m_nPacketSize = 128;
    request.m_nBitMode = 1;
    comm::CCfgCommDlg dialog(request, {});
    dialog.OnInitDialog();
    int shownTimeout = 0, shownPacket = -1;
    guitest::WhenModal([&](QDialog& advanced) {
        shownTimeout = guitest::Control<QComboBox>(advanced, 261)->currentIndex();
        shownPacket = guitest::Control<QComboBox>(advanced, 264)->currentIndex();
        guitest::Control<QComboBox>(advanced, 264)->setCurrentIndex(5);
        guitest::Control<QRadioButton>(advanced, 467)->setChecked(true);
        guitest::Click(advanced, 1);
    });
    dialog.OnAdvanced();
    EXPECT_EQ(shownTimeout, -1);
    EXPECT_EQ(shownPacket, 4);
    EXPECT_EQ(dialog.Data().m_nTimeout, 2000);
    EXPECT_EQ(dialog.Data().m_nPacketSize, 256);
    EXPECT_EQ(dialog.Data().m_nBitMode, 0);
}

// What the main frame's keys did while a modal window had the keyboard.
struct FrameKeysSeen {
    bool menuTracked = false; // Alt or a mnemonic reached the menu bar
    bool otherModal = false;  // an accelerator opened a window of its own
};

// Alt, Alt+F then C (the File menu's Close), and Ctrl+O, typed into the open modal window.
FrameKeysSeen PressFrameKeys(CVLFrame& frame, QWidget& modal) {
    FrameKeysSeen seen;
    // A window opened by a key would wait for a person: it is noted and sent away.
    QTimer watch;
    watch.setInterval(5);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        QWidget* now = QApplication::activeModalWidget();
        if (now && now != &modal) {
            seen.otherModal = true;
            if (auto* dialog = qobject_cast<QDialog*>(now))
                dialog->reject();
        }
    });
    watch.start();
    QWidget* target = QApplication::focusWidget();
    if (!target || target->window() != &modal)
        target = &modal;
    auto* mouse = CGVPMouseManager::GetMouseManager();
    auto note = [&] {
        QCoreApplication::processEvents();
        seen.menuTracked |= frame.GetMenuBar()->IsTrackingMode() || mouse->IsTracking();
    };
    QTest::keyClick(target, Qt::Key_Alt);
    note();
    QTest::keyClick(target, Qt::Key_F, Qt::AltModifier);
    note();
    QTest::keyClick(target, Qt::Key_C);
    note();
    QTest::keyClick(target, Qt::Key_O, Qt::ControlModifier);
    QTest::qWait(30);
    watch.stop();
    mouse->EndTracking();
    return seen;
}

// While a box, a dialog or a file dialog is open, the frame behind it takes none of its keys.
TEST_F(FrameCommands, FrameKeysDoNothingWhileAModalWindowIsOpen) {
    Start();
    CVLDoc* doc = OpenScript();
    ASSERT_NE(doc, nullptr);
    QApplication::setActiveWindow(window.get());
    // The keys do reach the frame when nothing blocks it.
    QWidget* own = QApplication::focusWidget() ? QApplication::focusWidget() : window.get();
    QTest::keyClick(own, Qt::Key_Alt);
    EXPECT_TRUE(window->GetMenuBar()->IsTrackingMode());
    CGVPMouseManager::GetMouseManager()->EndTracking();
    // To the frame: Escape in the sequence list closes the list's window.
    QTest::keyClick(window.get(), Qt::Key_Escape);

    const struct {
        const char* kind;
        std::function<void()> open;
    } modals[] = {
        {"message box", [] { platform::ShowMessage("Keys typed here are the box's own."); }},
        {"dialog", [this] { window->RouteCommand(kCommunications); }},
        {"file dialog", [this] { window->RouteCommand(kFileOpen); }},
    };
    for (const auto& modal : modals) {
        FrameKeysSeen seen;
        bool opened = false;
        guitest::WhenModal([&](QDialog& dialog) {
            opened = true;
            seen = PressFrameKeys(*window, dialog);
            dialog.reject();
        });
        modal.open();
        EXPECT_TRUE(opened) << modal.kind;
        EXPECT_FALSE(seen.menuTracked) << modal.kind;
        EXPECT_FALSE(seen.otherModal) << modal.kind;
        EXPECT_EQ(app.ScriptTemplate()->Documents().size(), 1u) << modal.kind;
        EXPECT_TRUE(window->isVisible()) << modal.kind;
    }
}

// The texts update handlers give reach the items of the menu as it is opened and drawn: the
// user tools show their names, not the resource's placeholder.
TEST_F(FrameCommands, MenuItemsShowTheTextsTheirUpdatesGive) {
    Start();
    app.m_strToolName1 = "&Calculator";
    app.m_strToolPath1 = "/usr/bin/true";
    app.m_strToolName2 = "";
    QApplication::setActiveWindow(window.get());
    CGVPMenuBar* bar = window->GetMenuBar();
    ASSERT_NE(bar, nullptr);
    QWidget* own = QApplication::focusWidget() ? QApplication::focusWidget() : window.get();
    QTest::keyClick(own, Qt::Key_T, Qt::AltModifier);
    auto* tools = dynamic_cast<CGVPControlPopup*>(bar->GetControl(bar->GetPopupedIndex()));
    ASSERT_NE(tools, nullptr);
    auto* popup = dynamic_cast<CGVPPopupBar*>(tools->GetCommandBar());
    ASSERT_TRUE(popup && popup->isVisible());
    QCoreApplication::processEvents();
    CGVPControl* first = popup->GetControls()->FindControlById(kUserTool1);
    CGVPControl* second = popup->GetControls()->FindControlById(kUserTool2);
    ASSERT_TRUE(first && second);
    EXPECT_EQ(first->GetCaption(), QStringLiteral("&Calculator"));
    EXPECT_TRUE(first->GetEnabled());
    EXPECT_EQ(second->GetCaption(), QStringLiteral("User Defined Tool 2"));
    EXPECT_FALSE(second->GetEnabled());
    // Drawn whole: the popup is as wide as its longest item.
    EXPECT_GE(popup->width(), popup->fontMetrics().horizontalAdvance(QStringLiteral("Calculator")));
    CGVPMouseManager::GetMouseManager()->EndTracking();
}

// Edit > Sequence Properties shows the current sequence's settings, not resource names.
TEST_F(FrameCommands, SequencePropertiesShowTheSequencesSettings) {
    Start();
    CVLDoc* doc = OpenScript();
    ASSERT_NE(doc, nullptr);
    ASSERT_FALSE(doc->m_poSeqList.empty());
    CSeq& sequence = *doc->m_poSeqList[0];
    sequence.m_nAutoStart = 1;
    sequence.m_nLooping = 0;
    sequence.m_nRestart = 1;
    sequence.m_wRestartLockout = 30;
    sequence.m_nSmpteStartOn = 1;
    sequence.m_anSmpteStart = {1, 2, 3, 4};
    QApplication::setActiveWindow(window.get());
    CGVPMenuBar* bar = window->GetMenuBar();
    QWidget* own = QApplication::focusWidget() ? QApplication::focusWidget() : window.get();
    QTest::keyClick(own, Qt::Key_E, Qt::AltModifier);
    auto* edit = dynamic_cast<CGVPControlPopup*>(bar->GetControl(bar->GetPopupedIndex()));
    ASSERT_NE(edit, nullptr);
    auto* popup = dynamic_cast<CGVPPopupBar*>(edit->GetCommandBar());
    ASSERT_NE(popup, nullptr);
    CGVPControlPopup* properties = nullptr;
    for (int i = 0; i < popup->GetControlCount(); ++i)
        if (popup->GetControl(i)->GetCaption() == QStringLiteral("&Sequence Properties"))
            properties = dynamic_cast<CGVPControlPopup*>(popup->GetControl(i));
    ASSERT_NE(properties, nullptr);
    popup->ClickControl(properties, true);
    auto* sub = dynamic_cast<CGVPPopupBar*>(properties->GetCommandBar());
    ASSERT_TRUE(sub && sub->isVisible());
    QCoreApplication::processEvents();
    const std::pair<unsigned, QString> shown[] = {
        {kAutostart, "Autostart Enabled"},
        {kLoop, "Loop Disabled"},
        {kRestart, "Restart in 30 frames..."},
        {kTimecodeStart, "Timecode Trigger: 01:02:03.04"},
        {kStartTrigger, platform::qt::ToQString(DoubleAmpersands(sequence.GetTriggerText(0)))},
    };
    for (const auto& [id, text] : shown) {
        CGVPControl* item = sub->GetControls()->FindControlById(id);
        ASSERT_NE(item, nullptr) << id;
        EXPECT_EQ(item->GetCaption(), text) << id;
    }
    for (int i = 0; i < sub->GetControlCount(); ++i)
        EXPECT_FALSE(sub->GetControl(i)->GetCaption().startsWith(QStringLiteral("PM_")))
            << sub->GetControl(i)->GetCaption().toStdString();
    CGVPMouseManager::GetMouseManager()->EndTracking();
}

// Runs `step` on the next modal window of type T (polling until one is open).
template <typename T> void WhenModalOf(std::function<void(T&)> step) {
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, step = std::move(step)] {
        if (auto* window = qobject_cast<T*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            step(*window);
        }
    });
    timer->start();
}

// Save As to "Show.KSF" beside an existing "Show.ksf": the same file, so the overwrite question
// comes; No asks for another name, Yes replaces the file there is (no second file appears).
TEST_F(FrameCommands, SaveAsAsksBeforeReplacingANameThatDiffersOnlyInCase) {
    Start();
    CVLDoc* doc = OpenScript();
    ASSERT_NE(doc, nullptr);
    const fs::path folder = install.Root() / "SCRIPTS";
    { std::ofstream(folder / "Show.ksf") << "old"; }
    const QString typed = QString::fromStdString((folder / "Show.KSF").string());
    for (const bool replace : {false, true}) {
        QString question;
        int fileDialogs = 0;
        std::function<void(QFileDialog&)> pick = [&](QFileDialog& dialog) {
            ++fileDialogs;
            if (fileDialogs > 1 && !replace) {
                dialog.reject(); // asked again for a name: give up
                return;
            }
            WhenModalOf<QMessageBox>([&](QMessageBox& box) {
                question = box.text();
                box.button(replace ? QMessageBox::Yes : QMessageBox::No)->click();
                if (!replace)
                    WhenModalOf<QFileDialog>(pick);
            });
            dialog.selectFile(typed);
            static_cast<QDialog&>(dialog).accept(); // the file dialog's own checks run
        };
        WhenModalOf<QFileDialog>(pick);
        EXPECT_TRUE(window->RouteCommand(kFileSaveAs));
        EXPECT_EQ(question, QStringLiteral("Show.ksf already exists.\nDo you want to replace it?"))
            << replace;
        EXPECT_EQ(fileDialogs, replace ? 1 : 2);
        EXPECT_FALSE(fs::exists(folder / "Show.KSF")) << "never a second file";
        std::ifstream in(folder / "Show.ksf");
        const std::string text{std::istreambuf_iterator<char>(in), {}};
        if (replace) {
            EXPECT_NE(text, "old");
            EXPECT_EQ(doc->GetPathName(), (folder / "Show.ksf").string());
        } else {
            EXPECT_EQ(text, "old");
        }
    }
}

// Cascade moves the children, it does not shrink them to their title bars (nor stores such a
// size); a maximised child shows in the main title and draws no caption of its own; the main
// window starts inside the screen.
TEST_F(FrameCommands, CascadeAndMaximiseKeepUsableWindows) {
    Start();
    const QRect screen = window->screen()->availableGeometry();
    EXPECT_LE(window->width(), screen.width());
    EXPECT_LE(window->height(), screen.height());
    CVLDoc* doc = OpenScript();
    ASSERT_NE(doc, nullptr);
    EXPECT_TRUE(window->RouteCommand(kInputs));
    EXPECT_TRUE(window->RouteCommand(kXReference));
    const auto children = window->MdiArea()->subWindowList();
    ASSERT_EQ(children.size(), 3);
    EXPECT_TRUE(window->RouteCommand(kWindowCascade));
    QCoreApplication::processEvents();
    for (QMdiSubWindow* child : children) {
        EXPECT_GE(child->width(), 200) << child->windowTitle().toStdString();
        EXPECT_GE(child->height(), 150) << child->windowTitle().toStdString();
    }
    EXPECT_GE(doc->m_anWindowPos[CVLDoc::kWinSequenceList][2], 200);
    EXPECT_GE(doc->m_anWindowPos[CVLDoc::kWinSequenceList][3], 150);

    QMdiSubWindow* sequences = nullptr;
    for (QMdiSubWindow* child : children)
        if (child->windowTitle() == QStringLiteral("Sequences of Fountain"))
            sequences = child;
    ASSERT_NE(sequences, nullptr);
    window->MdiArea()->setActiveSubWindow(sequences);
    auto settle = [] {
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        platform::qt::IdleUpdater::Instance().RunNow();
    };
    sequences->showMaximized();
    settle();
    EXPECT_TRUE(sequences->isMaximized());
    EXPECT_TRUE(sequences->isVisible());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Velmora - [Sequences of Fountain]"));
    EXPECT_EQ(sequences->widget()->mapTo(sequences, QPoint(0, 0)), QPoint(0, 0))
        << "no caption above the content";
    sequences->showNormal();
    settle();
    EXPECT_TRUE(sequences->isVisible());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Velmora"));
    EXPECT_GT(sequences->widget()->mapTo(sequences, QPoint(0, 0)).y(), 0) << "its caption is back";
}

// "Compile Script and Download": the frame's keys behind the download dialog leave the script
// open, and neither a close request nor the frame's own close frees it while the dialog and the
// download run.
// Its own suite: it downloads to a controller in real time.
using ModalDownload = FrameCommands;

TEST_F(ModalDownload, TheScriptBehindTheDownloadDialogStaysAndTheDownloadRuns) {
    testing_support::ControllerEmulator emulator;
    ASSERT_TRUE(emulator.Start());
    Start(emulator.SlavePath(), "SerialPort=0\nSerialTimeout=1000\nNoArchiveOffer=TRUE\n");
    CVLDoc* doc = OpenScript();
    ASSERT_NE(doc, nullptr);
    FrameKeysSeen seen;
    std::size_t openDuringDialog = 0;
    bool frameStayed = false;
    guitest::WhenModal([&](QDialog& dialog) {
        seen = PressFrameKeys(*window, dialog);
        app.CloseDocument(doc);
        window->close();
        frameStayed = window->isVisible();
        openDuringDialog = app.ScriptTemplate()->Documents().size();
        guitest::Click(dialog, 1);
    });
    EXPECT_TRUE(window->RouteCommand(kCompileScript));
    EXPECT_FALSE(seen.menuTracked);
    EXPECT_FALSE(seen.otherModal);
    EXPECT_EQ(openDuringDialog, 1u);
    EXPECT_TRUE(frameStayed);
    ASSERT_EQ(app.ScriptTemplate()->Documents().size(), 1u);
    EXPECT_EQ(app.ScriptTemplate()->Documents()[0].get(), doc);
    const std::vector<std::uint8_t> image(doc->m_hpbShow.begin(),
                                          doc->m_hpbShow.begin() + doc->m_wImageLength);
    ASSERT_FALSE(image.empty());
    EXPECT_EQ(emulator.StoredImage(), image);
    // Once the download is over the script closes as ever.
    app.CloseDocument(doc);
    EXPECT_TRUE(app.ScriptTemplate()->Documents().empty());
}

} // namespace
