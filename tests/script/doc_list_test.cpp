#include "script/doc_list.h"

#include "app/vl_app.h"
#include "script/vl_doc.h"
#include "tests/support/app_fixture.h"
#include "tests/support/scripted_ui.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class DocListTest : public ::testing::Test {
protected:
    testing_support::ScriptedUi ui;
    testing_support::AppFixture app;
    CDocList& List() { return app.App().m_poDocList; }
};

TEST_F(DocListTest, DocumentsJoinOnConstructionAndLeaveOnDestruction) {
    auto first = std::make_unique<CVLDoc>(app.App());
    auto second = std::make_unique<CVLDoc>(app.App());
    ASSERT_EQ(List().GetCount(), 2u);
    EXPECT_EQ(List().GetAt(0), first.get());
    EXPECT_EQ(List().GetAt(1), second.get());

    first.reset();
    ASSERT_EQ(List().GetCount(), 1u);
    EXPECT_EQ(List().GetAt(0), second.get());
    second.reset();
    EXPECT_TRUE(List().IsEmpty());
}

TEST_F(DocListTest, FindsByTitleWithoutCaseFirstOpenedWins) {
    CVLDoc upper(app.App());
    CVLDoc lower(app.App());
    upper.SetPathName("/shows/one/Show.ksf");
    lower.SetPathName("/shows/two/show.KSF");

    EXPECT_EQ(List().FindScriptByName("SHOW.ksf"), &upper);
    EXPECT_EQ(List().FindScriptByName("show.ksf"), &upper);
    // The title, not the path, names a script.
    EXPECT_EQ(List().FindScriptByName("/shows/two/show.KSF"), nullptr);
    EXPECT_EQ(List().FindScriptByName("show"), nullptr);
}

// A port stores a linked script's title with '_' for its blanks: that form finds the script
// open, and marking it for compilation reaches the script that links to it.
TEST_F(DocListTest, ATitleWithBlanksIsFoundAndMarkedByItsUnderscoredForm) {
    CVLDoc linked(app.App());
    linked.InitNewScript(CVLDoc::kDefaultProduct);
    linked.SetTitle("Main Stage.ksf");
    CVLDoc linking(app.App());
    linking.InitNewScript(CVLDoc::kDefaultProduct);
    linking.SetTitle("Lobby.ksf");
    linking.m_pProduct->m_Ports[1].m_strProtocol = "main_stage.KSF->Brevant_Remote";

    EXPECT_EQ(List().FindScriptByName("Main_Stage.ksf"), &linked);
    EXPECT_EQ(List().FindScriptByName(" main stage.ksf "), &linked);
    EXPECT_EQ(List().FindScriptByName("MainStage.ksf"), nullptr);

    for (auto& sequence : linking.m_poSeqList)
        sequence->m_nNeedsCompile = 0;
    linking.m_nCompiledOK = 1;
    linked.MarkForCompile();
    EXPECT_EQ(linking.m_nCompiledOK, 0);
    ASSERT_FALSE(linking.m_poSeqList.empty());
    EXPECT_EQ(linking.m_poSeqList.front()->m_nNeedsCompile, 1);
}

TEST_F(DocListTest, RemovingAnUnknownDocumentChangesNothing) {
    CVLDoc registered(app.App());
    CDocList other;
    other.Remove(&registered);
    EXPECT_TRUE(other.IsEmpty());

    List().Remove(nullptr);
    ASSERT_EQ(List().GetCount(), 1u);
    // Removing twice takes the entry once; the document's own leaving then finds nothing.
    List().Remove(&registered);
    EXPECT_TRUE(List().IsEmpty());
    List().Remove(&registered);
    EXPECT_TRUE(List().IsEmpty());
}

TEST_F(DocListTest, DocumentOutlivingItsListLeavesSafely) {
    auto app2 = std::make_unique<CVLApp>();
    auto document = std::make_unique<CVLDoc>(*app2);
    EXPECT_EQ(app2->m_poDocList.GetCount(), 1u);
    app2.reset();     // the list goes first
    document.reset(); // must not touch the dead list
    EXPECT_TRUE(List().IsEmpty());
}

} // namespace
