#include "pactwright/core/command_edits.h"
#include "pactwright/core/command_tree_model.h"

#include <gtest/gtest.h>

namespace {

using pactwright::CommandTreeModel;
using pactwright::TreeNode;

// "text#item" per node, children in parentheses.
std::string Shape(const TreeNode& node) {
    std::string s = node.text + "#" + std::to_string(node.item);
    if (!node.children.empty()) {
        s += "(";
        for (std::size_t i = 0; i < node.children.size(); ++i)
            s += (i ? " " : "") + Shape(node.children[i]);
        s += ")";
    }
    return s;
}

std::unique_ptr<CProtocol> Protocol(std::initializer_list<const char*> names) {
    auto p = std::make_unique<CProtocol>();
    p->m_strDescription = "Dev";
    for (const char* name : names)
        p->m_poCmndList.push_back(std::make_unique<CCmnd>(name));
    return p;
}

TEST(CommandTree, BuildsCategoriesAndSortsOnlyTheRoot) {
    struct Case {
        std::vector<const char*> names;
        const char* shape;
    } cases[] = {
        {{}, "Dev#0"},
        {{"MessageOut"}, "Dev#0(MessageOut#1)"},
        {{"Lamp:On:Off"}, "Dev#0(Lamp#-1(OnOff#1))"},
        {{"Cat:"}, "Dev#0(Cat#1)"},
        // Categories and top-level commands sorted without case; commands keep list order.
        {{"play:Zed", "Play:B", "Play:A", "apple", "Zoo:X"},
         "Dev#0(apple#4 play#-1(Zed#1) Play#-1(B#2 A#3) Zoo#-1(X#5))"},
        // A command whose category is a top-level command's text goes under that command.
        {{"Foo", "Foo:Bar"}, "Dev#0(Foo#1(Bar#2))"},
        // Categories match with case.
        {{"a:1", "A:2", "a:3"}, "Dev#0(a#-1(1#1 3#3) A#-1(2#2))"},
    };
    for (const auto& c : cases) {
        CProtocol p;
        p.m_strDescription = "Dev";
        for (const char* name : c.names)
            p.m_poCmndList.push_back(std::make_unique<CCmnd>(name));
        CommandTreeModel model;
        model.Fill(p);
        EXPECT_EQ(Shape(model.Root()), c.shape);
    }
}

TEST(CommandTree, AddingANodeAppendsAndSortingPlacesIt) {
    auto owned = Protocol({"Lamp:On", "Zoo:X"});
    CProtocol& p = *owned;
    CommandTreeModel model;
    model.Fill(p);
    p.m_poCmndList.push_back(pactwright::MakeNewCommand());
    model.AddCommandNode(2, *p.m_poCmndList[2]);
    EXPECT_EQ(Shape(model.Root()), "Dev#0(Lamp#-1(On#1) Zoo#-1(X#2) New Command#3)");
    model.SortRoot();
    EXPECT_EQ(Shape(model.Root()), "Dev#0(Lamp#-1(On#1) New Command#3 Zoo#-1(X#2))");
    p.m_poCmndList.push_back(std::make_unique<CCmnd>("Lamp:Off"));
    model.AddCommandNode(3, *p.m_poCmndList[3]);
    EXPECT_EQ(Shape(model.Root().children[0]), "Lamp#-1(On#1 Off#4)");
}

TEST(CommandEdits, CopyTakesEveryTextAndBothCounts) {
    auto from = pactwright::MakeMessageOutCommand();
    from->m_strBytes[19] = "last";
    from->m_nByteCount = 20;
    from->m_strRetries = "2";
    CCmnd to("New Command");
    pactwright::CopyCommandTexts(*from, to);
    EXPECT_EQ(to.m_strName, "MessageOut");
    EXPECT_EQ(to.m_strMessage, "@string(param2)");
    EXPECT_EQ(to.m_Params[0].m_strText, "port, \"A valid Port\"");
    EXPECT_EQ(to.m_nParamCount, 2);
    EXPECT_EQ(to.m_nByteCount, 20);
    EXPECT_EQ(to.m_strBytes[19], "last");
    EXPECT_EQ(to.m_strRetries, "2");
    auto made = pactwright::MakeNewCommand();
    EXPECT_EQ(made->m_strDescription, "Description of Command");
    EXPECT_EQ(made->m_strMessage, "Message goes here");
    EXPECT_EQ(made->m_nParamCount + made->m_nByteCount, 0);
}

} // namespace
