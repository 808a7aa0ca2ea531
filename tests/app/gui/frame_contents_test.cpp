// Frames that hold more than a lone view, in the real main window: a child frame with its own
// toolbar (a combo and an edit) over a grid view, and the static splitter with two grid views.
// The main window's table commands reach the pane that has, or last had, the focus; the bars'
// commands take the whole routing; both kinds keep their placement where their owner says.
#include "controls/commandbars/aux_data.h"
#include "controls/commandbars/command_bars.h"
#include "controls/commandbars/control_combo_edit.h"
#include "controls/commandbars/controls.h"
#include "controls/commandbars/frame.h"
#include "controls/commandbars/splitter.h"
#include "controls/commandbars/tool_bar.h"
#include "platform/qt/placement.h"
#include "script/vl_doc.h"
#include "tests/app/gui/main_window_fixture.h"
#include "tests/support/scripted_ui.h"
#include "views/common/update_hints.h"
#include "views/common/vl_view.h"
#include "views/gridbase/vl_cel_ctrl.h"

#include <QMdiArea>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace {

namespace pq = platform::qt;
using namespace vl_ids;

constexpr unsigned kModeCombo = 32938;
constexpr unsigned kStartEdit = 1125;

// A grid view that offers the table commands under its own name.
class PaneView : public CVLView {
public:
    PaneView(std::string name, CVLDoc& doc, ViewServices& services)
        : CVLView(doc, services), name_(std::move(name)) {
        TableCommands table;
        table.autoSize = [this] { ++fits; };
        table.replace = [this] { ReplaceInGrid(); };
        table.printSubtitle = name_;
        OfferTableCommands(std::move(table));
        CreateGrid(new VLCELCtrl);
        Grid()->SetColumnCount(2);
        Grid()->SetRowCount(2);
        Grid()->WriteCellText(0, 0, name_);
    }
    const char* ViewClassName() const override { return name_.c_str(); }
    void OnUpdate(platform::View* sender, long hint, void* object) override {
        hints.push_back(hint);
        CVLView::OnUpdate(sender, hint, object);
    }
    int fits = 0;
    std::vector<long> hints;

private:
    std::string name_;
};

// A child frame with a toolbar holding a combo and an edit; it handles the combo's command.
class BarsFrame : public CGVPMDIChildWnd {
public:
    explicit BarsFrame(pq::CommandTarget& mainFrame) {
        SetUpCommandBars();
        SetMainFrame(&mainFrame);
        CGVPToolBar* bar = GetCommandBars()->AddToolBar(QStringLiteral("Standard"), 0);
        auto* combo = CGVPControlComboBox::CreateObject();
        combo->AddString(QStringLiteral("Timecode - Internal"));
        combo->AddString(QStringLiteral("Timecode - Jam Sync"));
        bar->GetControls()->AddControl(combo, kModeCombo);
        bar->GetControls()->AddControl(CGVPControlEdit::CreateObject(), kStartEdit);
    }
    bool OnCommand(unsigned id) override {
        if (id != kModeCombo)
            return false;
        ++modeCommands;
        return true;
    }
    bool HasCommandHandler(unsigned id) const override { return id == kModeCombo; }
    int modeCommands = 0;
};

struct FrameContents : guitest::MainWindowFixture {
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(StartWindow(
            [this](CVLFrame& frame) {
                for (const char* name : {"Left Pane", "Right Pane"})
                    frame.Views().RegisterView(
                        name,
                        [name, this](platform::Document& document, QWidget*) -> pq::CreatedView {
                            auto* doc = dynamic_cast<CVLDoc*>(&document);
                            if (!doc)
                                return {};
                            auto* view = new PaneView(name, *doc, window->Services());
                            return {view, view};
                        });
            },
            true));
        doc = OpenScript();
        ASSERT_NE(doc, nullptr);
    }
    void TearDown() override {
        templates.clear();
        MainWindowFixture::TearDown();
    }

    // A template whose frames keep their placement in `placement`, outside the script.
    pq::MdiDocTemplate& MakeTemplate(pq::MdiDocTemplate::ContentFactory content) {
        templates.push_back(std::make_unique<pq::MdiDocTemplate>(
            *window->MdiArea(), window->Views(), pq::TemplateResources{149, false, false, {}},
            "Left Pane", [this](platform::Document&) {
                auto* frame = new pq::PlacementFrame(QSize(500, 300));
                frame->storedPlacement = [this] { return placement; };
                frame->savePlacement = [this](const pq::PlacementRecord& r) { placement = r; };
                return frame;
            }));
        templates.back()->SetContent(std::move(content));
        return *templates.back();
    }
    pq::MdiDocTemplate& BarsTemplate() {
        return MakeTemplate([this](pq::MdiChildFrame&, const pq::MdiDocTemplate::ViewMaker& make) {
            auto* content = new BarsFrame(*window);
            bars = content;
            content->SetCentralWidget(make("Left Pane", content));
            return content;
        });
    }
    pq::MdiDocTemplate& SplitTemplate() {
        return MakeTemplate([](pq::MdiChildFrame&, const pq::MdiDocTemplate::ViewMaker& make) {
            auto* splitter = new CGVSplitterWnd;
            splitter->CreateStatic(1, 2);
            splitter->SetPane(0, 0, make("Left Pane", splitter));
            splitter->SetPane(0, 1, make("Right Pane", splitter));
            return splitter;
        });
    }
    PaneView* Pane(const char* name) const {
        for (platform::View* view : doc->Views())
            if (std::string_view(view->ViewClassName()) == name)
                return dynamic_cast<PaneView*>(view);
        return nullptr;
    }
    pq::MdiChildFrame* ActiveFrame() const {
        return dynamic_cast<pq::MdiChildFrame*>(window->MdiArea()->activeSubWindow());
    }

    CVLDoc* doc = nullptr;
    std::vector<std::unique_ptr<pq::MdiDocTemplate>> templates;
    pq::PlacementRecord placement;
    BarsFrame* bars = nullptr;
};

TEST_F(FrameContents, BarsFrameRoutesItsViewAndItsOwnCommands) {
    testing_support::ScriptedUi ui;
    ASSERT_NE(BarsTemplate().OpenView(*doc), nullptr);
    PaneView* view = Pane("Left Pane");
    ASSERT_NE(view, nullptr);
    ASSERT_NE(bars, nullptr);
    EXPECT_EQ(view->Frame(), ActiveFrame());

    // The main window's commands reach the view inside the bars, and the bars' own command.
    EXPECT_TRUE(window->RouteCommand(kAutoSizeColumns));
    EXPECT_EQ(view->fits, 1);
    EXPECT_TRUE(window->RouteCommand(kModeCombo));
    EXPECT_EQ(bars->modeCommands, 1);
    // The bars' controls take the same routing from the view up: a view command and their own.
    EXPECT_TRUE(bars->RouteCommand(kAutoSizeColumns));
    EXPECT_EQ(view->fits, 2);
    EXPECT_TRUE(bars->RouteCommand(kModeCombo));
    EXPECT_EQ(bars->modeCommands, 2);
    EXPECT_TRUE(bars->HasHandler(kGeneralOptions)) << "the main window's commands are reached";

    // The toolbar holds its fields above the view.
    QTest::qWait(10);
    window->MdiArea()->activeSubWindow()->resize(500, 300);
    bars->RecalcLayout();
    EXPECT_GT(view->geometry().top(), 0);
    EXPECT_GT(view->height(), 100);

    view->CloseFrame();
    EXPECT_EQ(Pane("Left Pane"), nullptr) << "detached with its frame";
    EXPECT_FALSE(doc->Views().empty()) << "the sequence list keeps the script";
}

TEST_F(FrameContents, SplitterPanesFollowTheFocus) {
    testing_support::ScriptedUi ui;
    ASSERT_NE(SplitTemplate().OpenView(*doc), nullptr);
    PaneView* left = Pane("Left Pane");
    PaneView* right = Pane("Right Pane");
    ASSERT_TRUE(left && right);
    EXPECT_EQ(left->Frame(), right->Frame());

    doc->UpdateAllViews(nullptr, hints::kTimeDisplay, nullptr);
    EXPECT_EQ(left->hints, std::vector<long>{hints::kTimeDisplay});
    EXPECT_EQ(right->hints, std::vector<long>{hints::kTimeDisplay});

    // The first pane until the user clicks another; then the one clicked, and it stays so
    // while the focus is outside both panes.
    EXPECT_TRUE(window->RouteCommand(kAutoSizeColumns));
    EXPECT_EQ(left->fits, 1);
    QTest::mouseClick(right->Grid(), Qt::LeftButton, {}, QPoint(60, 30));
    EXPECT_TRUE(window->RouteCommand(kEditFind));
    EXPECT_TRUE(right->Grid()->IsFindDialogOpen());
    EXPECT_FALSE(left->Grid()->IsFindDialogOpen());
    right->Grid()->FindDialogClosed();
    EXPECT_TRUE(window->RouteCommand(kAutoSizeColumns));
    EXPECT_EQ(right->fits, 1);
    left->setFocus();
    EXPECT_TRUE(window->RouteCommand(kAutoSizeColumns));
    EXPECT_EQ(left->fits, 2);

    // Print Grid prints the focused pane's grid under its own subtitle.
    std::vector<std::string> printed;
    window->Services().Printing().askPrintGrid = [&](QWidget*) {
        printed.push_back("asked");
        return 2; // Cancel: nothing prints
    };
    EXPECT_TRUE(window->RouteCommand(kPrintGrid));
    EXPECT_EQ(printed.size(), 1u);

    left->CloseFrame();
    EXPECT_EQ(Pane("Left Pane"), nullptr);
    EXPECT_EQ(Pane("Right Pane"), nullptr) << "both panes leave with their frame";
}

TEST_F(FrameContents, BothKindsKeepTheirPlacementOutsideTheScript) {
    const auto windowTable = doc->m_anWindowPos;
    for (const bool split : {false, true}) {
        SCOPED_TRACE(split ? "splitter" : "bars");
        placement = {};
        pq::MdiDocTemplate& tmpl = split ? SplitTemplate() : BarsTemplate();
        ASSERT_NE(tmpl.OpenView(*doc), nullptr);
        pq::MdiChildFrame* frame = ActiveFrame();
        ASSERT_NE(frame, nullptr);
        frame->setGeometry(30, 40, 420, 260);
        EXPECT_EQ(placement, (pq::PlacementRecord{30, 40, 420, 260, false, false}));
        frame->close();
        QApplication::processEvents();

        ASSERT_NE(tmpl.OpenView(*doc), nullptr);
        EXPECT_EQ(ActiveFrame()->geometry(), QRect(30, 40, 420, 260));
        ActiveFrame()->close();
        QApplication::processEvents();
    }
    EXPECT_EQ(doc->m_anWindowPos, windowTable) << "the script's window table is not used";
}

} // namespace
