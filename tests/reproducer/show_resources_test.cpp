#include "reproducer/show_document.h"
#include "reproducer/show_resources.h"
#include "show_test_support.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using show_test::Modified;
using show_test::Save;

constexpr const char* kDeclaration = "<?xml version=\"1.0\" encoding=\"utf-8\" ?>";

// An item that keeps the element name it was bound with, as the element classes do with their own.
class NamedItem : public ShowResource_c {
public:
    std::uint8_t Bind(ShowXML_c* node) override {
        const std::string name = node != nullptr && node->ValueObject() != nullptr
                                     ? std::string(node->ValueObject()->GetText()->View())
                                     : std::string();
        const std::uint8_t status = ShowResource_c::Bind(node);
        if (status == QOR_OK) {
            SetElementName(name.empty() ? "trigger" : name.c_str());
        }
        return status;
    }
};

// A collection class as the configuration's are made: named items, bound from the parent.
class Triggers : public ShowResources_c {
public:
    Triggers() { SetItemName("trigger"); }
    std::unique_ptr<ShowResource_c> CreateChild(ShowXML_c*) override {
        return std::make_unique<NamedItem>();
    }
    std::uint8_t Bind(ShowXML_c* parent) override { return BindInParent(parent, "triggers"); }
    std::uint8_t Rebind() override { return RebindFromParent(); }
};

class Collection : public ::testing::Test {
protected:
    void Open(const std::string& body) {
        show_test::Load(document, std::string(kDeclaration) + "<root>" + body + "</root>");
        root = show_test::TopElement(document);
        ASSERT_NE(root, nullptr);
        triggers.SetOwner(&document);
        ASSERT_EQ(triggers.Bind(root), QOR_OK);
    }

    std::vector<std::string> Names() {
        std::vector<std::string> names;
        for (ShowResource_c* item = triggers.First(); item != nullptr;) {
            QORString_c name;
            item->GetName(&name);
            names.emplace_back(name.View());
            if (triggers.Next() != QOR_OK) {
                break;
            }
            item = triggers.Current();
        }
        return names;
    }

    std::string Body() {
        const std::string text = Save(document);
        const std::string head = std::string(kDeclaration);
        return text.substr(head.size());
    }

    ShowDocument_c document;
    ShowXML_c* root = nullptr;
    Triggers triggers;
};

TEST_F(Collection, BindsOnlyItemElementsInDocumentOrder) {
    Open("<triggers><trigger name=\"a\"/><Trigger name=\"b\"/><!-- c --><state name=\"s\"/>"
         "</triggers>");
    EXPECT_EQ(triggers.LiveCount(), 2);
    EXPECT_EQ(triggers.Children()->Count(), 2);
    EXPECT_EQ(Names(), (std::vector<std::string>{"a", "b"}));
    EXPECT_FALSE(Modified(document)) << "binding names elements as they are";
}

TEST_F(Collection, BindingCreatesAMissingListElement) {
    Open("");
    EXPECT_EQ(triggers.LiveCount(), 0);
    EXPECT_EQ(triggers.First(), nullptr);
    EXPECT_EQ(triggers.Next(), QOR_ERROR);
    EXPECT_EQ(triggers.RemoveCurrent(), QOR_ERROR);
    EXPECT_EQ(triggers.CopyCurrent(), QOR_ERROR);
    EXPECT_EQ(Body(), "<root><triggers/></root>");
    ShowXMLInterface_c* none = nullptr;
    EXPECT_EQ(triggers.Bind(nullptr), QOR_ERROR);
    EXPECT_EQ(triggers.FindBinding(root), none);
}

TEST_F(Collection, RemoveCurrentClearsTheElementButKeepsTheBinder) {
    Open("<triggers><trigger name=\"a\"/><trigger name=\"b\"/><trigger name=\"c\"/></triggers>");
    ASSERT_NE(triggers.FindByName("b", QOR_FALSE), nullptr);
    EXPECT_EQ(triggers.RemoveCurrent(), QOR_OK);
    EXPECT_TRUE(Modified(document));
    EXPECT_EQ(triggers.LiveCount(), 2);
    EXPECT_EQ(triggers.Children()->Count(), 3);
    EXPECT_EQ(triggers.FindByName("b", QOR_FALSE), nullptr);
    EXPECT_EQ(Body(), "<root><triggers><trigger name=\"a\" /><trigger name=\"c\" /></triggers>"
                      "</root>");
    // Rebinding does not bring the removed item back.
    EXPECT_EQ(triggers.Rebind(), QOR_OK);
    EXPECT_EQ(Names(), (std::vector<std::string>{"a", "c"}));
}

TEST_F(Collection, RemovingTheLastMovesToThePreviousLiveItem) {
    Open("<triggers><trigger name=\"a\"/><trigger name=\"b\"/></triggers>");
    triggers.ItemAt(1, QOR_FALSE);
    EXPECT_EQ(triggers.RemoveCurrent(), QOR_OK);
    QORString_c name;
    ASSERT_NE(triggers.Current(), nullptr);
    triggers.Current()->GetName(&name);
    EXPECT_EQ(name.View(), "a");
}

TEST_F(Collection, AddItemBeforeTheCurrentItem) {
    Open("<triggers><trigger name=\"a\"/><trigger name=\"b\"/></triggers>");
    ShowResource_c* second = triggers.ItemAt(1, QOR_FALSE);
    ASSERT_NE(second, nullptr);
    ShowResource_c* added = triggers.AddItem(QOR_TOWARDS_FRONT, nullptr);
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(triggers.Current(), added);
    EXPECT_TRUE(Modified(document));
    added->SetName("new");
    EXPECT_EQ(Names(), (std::vector<std::string>{"a", "new", "b"}));
    EXPECT_EQ(Body(), "<root><triggers><trigger name=\"a\" /><trigger name=\"new\" />"
                      "<trigger name=\"b\" /></triggers></root>");
}

TEST_F(Collection, ItemAtCreatesUpToThePositionOnlyWhenAsked) {
    Open("<triggers><trigger name=\"a\"/></triggers>");
    EXPECT_EQ(triggers.ItemAt(3, QOR_FALSE), nullptr);
    EXPECT_EQ(triggers.LiveCount(), 1);
    ShowResource_c* last = triggers.ItemAt(3, QOR_TRUE);
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(triggers.LiveCount(), 4);
    EXPECT_EQ(triggers.ItemAt(3, QOR_FALSE), last);
    EXPECT_EQ(last->SiblingIndex(), 3);
    EXPECT_EQ(triggers.ItemAt(-1, QOR_TRUE), nullptr);
}

TEST_F(Collection, FindByNameIgnoresCaseAndCreatesWhenAsked) {
    Open("<triggers><trigger name=\"MAIN\"/><trigger/></triggers>");
    ShowResource_c* main = triggers.FindByName("Main", QOR_FALSE);
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(triggers.Current(), main);
    EXPECT_EQ(triggers.FindByName("Mai", QOR_FALSE), nullptr);
    EXPECT_EQ(triggers.FindByName(static_cast<const QORString_c*>(nullptr), QOR_TRUE), nullptr);
    ShowResource_c* made = triggers.FindByName("Other", QOR_TRUE);
    ASSERT_NE(made, nullptr);
    EXPECT_NE(Body().find("<trigger name=\"Other\" />"), std::string::npos);
    // The looked-at element without a name gained an empty one.
    EXPECT_NE(Body().find("<trigger name=\"\" />"), std::string::npos);
}

TEST_F(Collection, CopyRemoveAndAddMovesAnItem) {
    Open("<triggers><trigger name=\"a\"><tm>1</tm></trigger><trigger name=\"b\"/></triggers>");
    triggers.FindByName("a", QOR_FALSE);
    ASSERT_EQ(triggers.CopyCurrent(), QOR_OK);
    ASSERT_EQ(triggers.RemoveCurrent(), QOR_OK);
    ShowResource_c* moved = triggers.AddItem(QOR_FALSE, triggers.CopyNode());
    ASSERT_NE(moved, nullptr);
    EXPECT_EQ(Names(), (std::vector<std::string>{"b", "a"}));
    EXPECT_EQ(Body(), "<root><triggers><trigger name=\"b\" /><trigger name=\"a\" ><tm>1</tm>"
                      "</trigger></triggers></root>");
}

TEST_F(Collection, SelectByIdentity) {
    Open("<triggers><trigger name=\"a\"/><trigger name=\"b\"/></triggers>");
    ShowResource_c* first = triggers.First();
    triggers.Next();
    EXPECT_EQ(triggers.Select(first), QOR_OK);
    EXPECT_EQ(triggers.Current(), first);
    ShowResource_c stranger;
    EXPECT_EQ(triggers.Select(&stranger), QOR_ERROR);
    EXPECT_EQ(triggers.Select(nullptr), QOR_ERROR);
    EXPECT_NE(triggers.Current(), first) << "null selects the last item";
}

TEST_F(Collection, FindBindingAsksTheLiveItems) {
    Open("<triggers><trigger name=\"a\"/><trigger name=\"b\"/></triggers>");
    ShowResource_c* b = triggers.FindByName("b", QOR_FALSE);
    triggers.First();
    EXPECT_EQ(triggers.FindBinding(b->NameAttribute()), b);
    EXPECT_EQ(triggers.Current(), b);
    EXPECT_EQ(triggers.FindBinding(triggers.Element()), &triggers);
}

TEST_F(Collection, GuiDataIsHiddenAndNeverAChange) {
    Open("<triggers><trigger name=\"a\"><gui x=\"1\"/></trigger></triggers>");
    ShowResource_c* item = triggers.First();
    ASSERT_NE(item, nullptr);
    ShowDataGUI_c* gui = item->GUI();
    ASSERT_NE(gui, nullptr);
    ASSERT_NE(gui->Element(), nullptr);
    triggers.SetChangeTracking(QOR_TRUE);
    ShowXML_c* x = ShowXML_c::FindAttribute(gui->Element(), "x");
    EXPECT_EQ(ShowXMLInterface_c::SetNodeText(x, gui, "2"), QOR_OK);
    EXPECT_FALSE(Modified(document));

    QORString_c name;
    name.Assign("gui");
    EXPECT_EQ(item->Element()->FindByName(&name, QOR_XML_ELEMENT, QOR_FALSE, QOR_FALSE, QOR_TRUE,
                                          QOR_FALSE),
              nullptr);
    // Saved all the same.
    EXPECT_NE(Body().find("<gui x=\"2\" />"), std::string::npos) << Body();
}

TEST_F(Collection, SiblingIndexCountsOnlyEquallyNamedSiblings) {
    Open("<triggers><bundle name=\"a\"/><bundle name=\"b\"/><other/><bundle name=\"c\"/>"
         "</triggers>");
    class All : public ShowResources_c { // no item name: every element child is an item
    public:
        std::unique_ptr<ShowResource_c> CreateChild(ShowXML_c*) override {
            return std::make_unique<NamedItem>();
        }
    } all;
    ASSERT_EQ(all.Bind(triggers.Element()), QOR_OK);
    EXPECT_EQ(all.LiveCount(), 4);
    EXPECT_EQ(all.ItemAt(3, QOR_FALSE)->SiblingIndex(), 2);
    EXPECT_EQ(all.ItemAt(2, QOR_FALSE)->SiblingIndex(), 0);
    ShowResource_c unbound;
    EXPECT_EQ(unbound.SiblingIndex(), -2);
}

TEST_F(Collection, ResourceTextNodeIsMadeOnce) {
    Open("<triggers><trigger name=\"a\">hello</trigger><trigger name=\"b\"/></triggers>");
    QORString_c text;
    triggers.ItemAt(0, QOR_FALSE)->GetText(&text);
    EXPECT_EQ(text.View(), "hello");
    ShowResource_c* b = triggers.ItemAt(1, QOR_FALSE);
    ShowXML_c* made = b->TextNode();
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(b->TextNode(), made);
    b->GetText(&text);
    EXPECT_EQ(text.View(), "");
    ShowResource_c unbound;
    unbound.GetText(&text);
    EXPECT_EQ(text.View(), "");
    EXPECT_EQ(unbound.TextValue(), nullptr);
}

} // namespace
