// The resource tables in the real main window: the View menu's commands open them under their
// titles, compile messages lead to their rows, and a product change reaches the open tables.
#include "script/dialog_requests.h"
#include "script/product.h"
#include "tests/app/gui/main_window_fixture.h"
#include "views/gridbase/vl_cel_ctrl.h"
#include "views/reports/compile_view.h"
#include "views/resources/name_views.h"
#include "views/resources/port_view.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace {

namespace pq = platform::qt;

struct ResourceTables : guitest::MainWindowFixture {
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(StartWindow([this](CVLFrame&) { ScriptUi(); }));
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        doc_ = OpenScript();
        QCoreApplication::processEvents();
    }
    template <typename T = platform::View> T* ViewOf(const char* viewClass) {
        for (platform::View* view : doc_->Views())
            if (std::string_view(view->ViewClassName()) == viewClass)
                return dynamic_cast<T*>(view);
        return nullptr;
    }
    std::string TitleOf(const char* viewClass) {
        auto* framed = ViewOf<pq::FramedView>(viewClass);
        return framed && framed->Frame() ? framed->Frame()->windowTitle().toStdString() : "";
    }

    CVLDoc* doc_ = nullptr;
};

TEST_F(ResourceTables, TheViewMenuOpensEveryTable) {
    ASSERT_NE(doc_, nullptr);
    const struct {
        unsigned id;
        const char* viewClass;
        const char* title;
    } tables[] = {
        {vl_ids::kInputs, "CInputView", "Inputs of Fountain"},
        {vl_ids::kOutputs, "COutputView", "Outputs of Fountain"},
        {vl_ids::kFlags, "CFlagView", "Flags of Fountain"},
        {vl_ids::kVariables, "CVarView", "Vars of Fountain"},
        {vl_ids::kPorts, "CPortView", "Ports of Fountain"},
        {vl_ids::kDataStrings, "CDataStrView", "Data Strings of Fountain"},
        {vl_ids::kLcdStrings, "CLcdStrView", "LCD Strings of Fountain"},
        {vl_ids::kXReference, "CXRefView",
         "Cross Reference of Fountain - Double Left or Right Click Column Header to Sort Up or "
         "Down"},
        {vl_ids::kSmpteTriggers, "CsmpteView",
         "Timecode Triggers of Fountain - Double Left or Right Click Column Header to Sort Up "
         "or Down"},
    };
    for (const auto& table : tables) {
        ASSERT_TRUE(window->RouteCommand(table.id)) << table.viewClass;
        QCoreApplication::processEvents();
        ASSERT_NE(ViewOf(table.viewClass), nullptr) << table.viewClass;
        EXPECT_EQ(TitleOf(table.viewClass), table.title);
        auto* framed = ViewOf<pq::FramedView>(table.viewClass);
        EXPECT_EQ(window->MdiArea()->activeSubWindow(), framed->Frame());
    }
    auto* inputs = ViewOf<CInputView>("CInputView");
    EXPECT_EQ(inputs->Cel().GetRowCount(), 128);
    std::string name;
    inputs->Cel().CopyCellText(0, 1, name);
    EXPECT_EQ(name, "Door_Open");
    // A second View command brings the open table forward.
    const std::size_t views = doc_->Views().size();
    ASSERT_TRUE(window->RouteCommand(vl_ids::kInputs));
    EXPECT_EQ(doc_->Views().size(), views);
    EXPECT_EQ(window->MdiArea()->activeSubWindow(), ViewOf<pq::FramedView>("CInputView")->Frame());
}

// A compile message of each resource kind opens its table at the resource's row.
TEST_F(ResourceTables, CompileMessagesLeadToTheirRows) {
    ASSERT_NE(doc_, nullptr);
    ASSERT_TRUE(window->RouteCommand(vl_ids::kCompileScript));
    QCoreApplication::processEvents();
    auto* compile = ViewOf<CCompileView>("CCompileView");
    ASSERT_NE(compile, nullptr);
    const struct {
        int kind;
        int resource;
        const char* viewClass;
    } cases[] = {{2, 1, "CInputView"}, {3, 3, "COutputView"}, {4, 0, "CFlagView"},
                 {5, 2, "CVarView"},   {6, 1, "CPortView"},   {7, 0, "CDataStrView"},
                 {8, 1, "CLcdStrView"}};
    doc_->m_poDataStrList.push_back(std::make_unique<CDataStr>("Hello", "\"hi\"", ""));
    for (const auto& c : cases) {
        compile->AddMessage("Error: something", c.kind, c.resource, -1, -1, 0x0000FF);
        compile->Cel().NotifyCellDoubleClick(0, compile->Cel().GetRowCount() - 1, {}, {}, 0);
        QCoreApplication::processEvents();
        auto* table = ViewOf<CVLView>(c.viewClass);
        ASSERT_NE(table, nullptr) << c.viewClass;
        EXPECT_EQ(table->Grid()->GetActiveRow(), c.resource) << c.viewClass;
        doc_->CloseCompileErrorDialog();
    }
}

// Configure Unit's product change shows the new product's entries in the open tables.
TEST_F(ResourceTables, AProductChangeReachesOpenTables) {
    ASSERT_NE(doc_, nullptr);
    ASSERT_TRUE(window->RouteCommand(vl_ids::kInputs));
    ASSERT_TRUE(window->RouteCommand(vl_ids::kPorts));
    QCoreApplication::processEvents();
    scripted->QueueDialog([](platform::DialogRequest& request) {
        static_cast<CCfgUnitDlg&>(request).product = "Harnel4";
        return true;
    });
    doc_->OnConfigureUnit();
    EXPECT_EQ(ViewOf<CInputView>("CInputView")->Cel().GetRowCount(), doc_->m_pProduct->m_wInputs);
    EXPECT_EQ(doc_->m_pProduct->m_strName, "Harnel4");
    EXPECT_EQ(ViewOf<CPortView>("CPortView")->Cel().GetRowCount(), doc_->m_pProduct->m_wPorts);
}

} // namespace
