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
