#include "foundation/xml_node.h"
#include "foundation/xml_text.h"
#include "tests/foundation/xml_test_support.h"

#include <gtest/gtest.h>

using xml_test::Add;
using xml_test::AddAttribute;
using xml_test::ChildrenOf;
using xml_test::CursorChild;
using xml_test::Text;

namespace {

std::unique_ptr<QORString_c> Name(const char* text) {
    auto s = std::make_unique<QORString_c>();
    s->Assign(text, -1, QOR_FALSE);
    return s;
}

// root(decl "xml") -> config -> [attr name="Main", gui(hidden) -> [deep], item -> [leaf]]
struct Tree {
    QORXML_c root;
    QORXML_c* config;
    QORXML_c* nameAttr;
    QORXML_c* gui;
    QORXML_c* deep;
    QORXML_c* item;
    QORXML_c* leaf;

    Tree() {
        root.Value()->SetText("xml", -1, QOR_FALSE);
        config = Add(root, QOR_XML_ELEMENT, "config");
        nameAttr = AddAttribute(*config, "Name", "Main");
        gui = Add(*config, QOR_XML_ELEMENT, "gui");
        gui->SetFlags(QOR_XML_HIDDEN);
        deep = Add(*gui, QOR_XML_ELEMENT, "deep");
        item = Add(*config, QOR_XML_ELEMENT, "item");
        leaf = Add(*item, QOR_XML_ELEMENT, "leaf");
    }
};

TEST(XmlNode, NewNodeIsAnEmptyDeclarationThatOwnsNothingYet) {
    QORXML_c node;
    EXPECT_EQ(node.NodeType(), QOR_XML_DECLARATION);
    EXPECT_EQ(node.Flags(), 0);
    EXPECT_EQ(node.Parent(), nullptr);
    EXPECT_EQ(node.ChildList(), nullptr);
    EXPECT_EQ(node.ValueObject(), nullptr);
    EXPECT_FALSE(node.IsLive());
    ASSERT_NE(node.Value(), nullptr);
    EXPECT_EQ(node.Value()->Type(), QOR_TYPE_NONE);
    EXPECT_FALSE(node.IsLive()); // a value of type none does not make it live
    node.Value()->SetText("", 0, QOR_FALSE);
    EXPECT_TRUE(node.IsLive()); // the empty text does

    std::unique_ptr<QORObject_c> made = node.Create();
    auto* created = dynamic_cast<QORXML_c*>(made.get());
    ASSERT_NE(created, nullptr);
    EXPECT_EQ(created->NodeType(), QOR_XML_DECLARATION);
    EXPECT_EQ(created->ValueObject(), nullptr);
}

TEST(XmlNode, DeletingAChildInAnyWayKeepsTheParentListConsistent) {
    QORXML_c parent;
    QORXML_c* a = Add(parent, QOR_XML_ELEMENT, "a");
    QORXML_c* b = Add(parent, QOR_XML_ELEMENT, "b");
    QORXML_c* c = Add(parent, QOR_XML_ELEMENT, "c");
    Add(*b, QOR_XML_ELEMENT, "grandchild");

    // Through its own destructor: it unlinks itself.
    parent.SelectChild(b);
    std::unique_ptr<QORXML_c> owned(b);
    owned.reset();
    EXPECT_EQ(ChildrenOf(parent), (std::vector<QORXML_c*>{a, c}));
    EXPECT_EQ(parent.ChildList()->Count(), 2);

    // Through the list: the list unlinks first, the child finds nothing left to detach.
    parent.SelectChild(a);
    EXPECT_EQ(parent.ChildList()->RemoveCurrent(0), QOR_OK);
    EXPECT_EQ(ChildrenOf(parent), (std::vector<QORXML_c*>{c}));

    EXPECT_EQ(parent.RemoveChildren(), 1);
    EXPECT_EQ(parent.ChildList()->Count(), 0);
    EXPECT_EQ(parent.RemoveChildren(), 0);
}

TEST(XmlNode, DetachChildKeepsTheChildAndMovesTheCursorOnlyWhenItStoodOnIt) {
    QORXML_c parent;
    QORXML_c* a = Add(parent, QOR_XML_ELEMENT, "a");
    QORXML_c* b = Add(parent, QOR_XML_ELEMENT, "b");
    QORXML_c* c = Add(parent, QOR_XML_ELEMENT, "c");

    parent.SelectChild(a);
    parent.DetachChild(b);
    std::unique_ptr<QORXML_c> detached(b);
    EXPECT_EQ(b->Parent(), &parent); // left to the caller
    EXPECT_EQ(CursorChild(parent), a);
    EXPECT_EQ(ChildrenOf(parent), (std::vector<QORXML_c*>{a, c}));

    parent.SelectChild(a);
    parent.DetachChild(a); // cursor on it: to the next node
    std::unique_ptr<QORXML_c> first(a);
    EXPECT_EQ(CursorChild(parent), c);
    a->SetParent(nullptr);
    b->SetParent(nullptr);

    QORXML_c* d = Add(parent, QOR_XML_ELEMENT, "d");
    parent.DetachChild(d); // cursor on the last: to the previous one
    std::unique_ptr<QORXML_c> last(d);
    d->SetParent(nullptr);
    EXPECT_EQ(CursorChild(parent), c);
}

TEST(XmlNode, FindByNameFollowsSelfChildrenDeepAndHidden) {
    Tree t;
    const auto leaf = Name("LEAF");
    const auto deep = Name("deep");
    const auto name = Name("name");
    const auto config = Name("config");

    struct Case {
        const char* what;
        const QORString_c* name;
        std::uint8_t type, deep, self, children, hidden;
        QORXML_c* expected;
    };
    const Case cases[] = {
        {"self matches ignoring case", config.get(), QOR_XML_ELEMENT, 253, 3, 253, 253, t.config},
        {"self only: children not searched", leaf.get(), 0, 253, 3, 253, 253, nullptr},
        {"direct children only", leaf.get(), 0, 253, 253, 3, 253, nullptr},
        {"whole subtree", leaf.get(), 0, 3, 253, 3, 253, t.leaf},
        {"type filter", leaf.get(), QOR_XML_ATTRIBUTE, 3, 253, 3, 253, nullptr},
        {"attribute by name", name.get(), QOR_XML_ATTRIBUTE, 253, 253, 3, 253, t.nameAttr},
        {"below a hidden node", deep.get(), 0, 3, 253, 3, 253, nullptr},
        {"below a hidden node, hidden asked for", deep.get(), 0, 3, 253, 3, 3, t.deep},
        {"null name matches nothing", nullptr, 0, 3, 3, 3, 3, nullptr},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(t.config->FindByName(c.name, c.type, c.deep, c.self, c.children, c.hidden),
                  c.expected)
            << c.what;
    }

    // A hidden node itself is not found, but its siblings are.
    const auto gui = Name("gui");
    const auto item = Name("item");
    EXPECT_EQ(t.config->FindByName(gui.get(), 0, 253, 253, 3, 253), nullptr);
    EXPECT_EQ(t.config->FindByName(gui.get(), 0, 253, 253, 3, 3), t.gui);
    EXPECT_EQ(t.config->FindByName(item.get(), 0, 253, 253, 3, 253), t.item);
}

// New children go in after the cursor, so where a search leaves it decides where they go.
TEST(XmlNode, SearchesLeaveTheCursorOnTheAnsweringChildOrTheLast) {
    Tree t;
    const auto leaf = Name("leaf");
    const auto none = Name("none");
    t.config->SelectChild(t.nameAttr);
    EXPECT_EQ(t.config->FindByName(leaf.get(), 0, 3, 253, 3, 3), t.leaf);
    EXPECT_EQ(CursorChild(*t.config), t.item); // the child whose search answered
    t.config->SelectChild(t.nameAttr);
    EXPECT_EQ(t.config->FindByName(none.get(), 0, 3, 253, 3, 3), nullptr);
    EXPECT_EQ(CursorChild(*t.config), t.item); // the last child

    QORValue_c leafValue;
    leafValue.SetText("leaf", -1, QOR_FALSE);
    QORValue_c noValue;
    noValue.SetText("none", -1, QOR_FALSE);
    t.config->SelectChild(t.item);
    QORXML_c* tail = Add(*t.config, QOR_XML_ELEMENT, "tail");
    for (QORXML_c* start : {t.nameAttr, t.gui, tail}) {
        t.config->SelectChild(start);
        EXPECT_EQ(t.config->FindByValue(&leafValue, 0, 3, 253, 3, 3), t.leaf);
        EXPECT_EQ(CursorChild(*t.config), t.item);
        t.config->SelectChild(start);
        EXPECT_EQ(t.config->FindByValue(&noValue, 0, 3, 253, 3, 3), nullptr);
        EXPECT_EQ(CursorChild(*t.config), tail);
        t.config->SelectChild(start);
        EXPECT_EQ(t.config->FindByName(leaf.get(), 0, 3, 253, 3, 3), t.leaf);
        EXPECT_EQ(CursorChild(*t.config), t.item);
    }

    // A search over a leaf makes its empty children list.
    QORXML_c* fresh = Add(*t.item, QOR_XML_ELEMENT, "fresh");
    EXPECT_EQ(fresh->ChildList(), nullptr);
    EXPECT_EQ(fresh->FindByName(leaf.get(), 0, 253, 253, 3, 3), nullptr);
    EXPECT_NE(fresh->ChildList(), nullptr);
}

TEST(XmlNode, EmptyNameMatchesEmptyTextAndClearedNodesAreNotFound) {
    QORXML_c parent;
    QORXML_c* empty = Add(parent, QOR_XML_ELEMENT, "");
    const QORString_c blank;
    EXPECT_EQ(parent.FindByName(&blank, 0, 253, 253, 3, 3), empty);

    // Clearing a value removes the node, and what is below it, from every search.
    QORXML_c* item = Add(parent, QOR_XML_ELEMENT, "item");
    Add(*item, QOR_XML_ELEMENT, "inner");
    item->Value()->Reset(QOR_TYPE_NONE);
    const auto itemName = Name("item");
    const auto inner = Name("inner");
    EXPECT_EQ(parent.FindByName(itemName.get(), 0, 3, 253, 3, 3), nullptr);
    EXPECT_EQ(parent.FindByName(inner.get(), 0, 3, 253, 3, 3), nullptr);
}

TEST(XmlNode, FindByValueComparesInTheNodeValuesOwnType) {
    QORXML_c parent;
    QORXML_c* word = Add(parent, QOR_XML_TEXT, "Tm");
    QORXML_c* number = Add(parent, QOR_XML_TEXT, "007");
    number->Value()->DetectNumericType();

    QORValue_c tm;
    tm.SetText("tm", -1, QOR_FALSE);
    EXPECT_EQ(parent.FindByValue(&tm, 0, 253, 253, 3, 3), word);
    QORValue_c seven;
    seven.SetUInt32(7);
    EXPECT_EQ(parent.FindByValue(&seven, 0, 253, 253, 3, 3), number); // 007 equals 7 as a number
    EXPECT_EQ(parent.FindByValue(&seven, QOR_XML_ELEMENT, 253, 253, 3, 3), nullptr);
    EXPECT_EQ(parent.FindByValue(nullptr, 0, 253, 253, 3, 3), nullptr);
}

TEST(XmlNode, FindAncestorWalksUpAndStopsAtHiddenOrRemovedNodes) {
    Tree t;
    QORValue_c config;
    config.SetText("CONFIG", -1, QOR_FALSE);
    EXPECT_EQ(t.leaf->FindAncestor(&config, QOR_XML_ELEMENT), t.config);
    EXPECT_EQ(t.leaf->FindAncestor(&config, 0), t.config);
    EXPECT_EQ(t.leaf->FindAncestor(&config, QOR_XML_ATTRIBUTE), nullptr);
    EXPECT_EQ(t.deep->FindAncestor(&config, 0), nullptr); // the hidden gui ends the walk
    t.item->Value()->Reset(QOR_TYPE_NONE);
    EXPECT_EQ(t.leaf->FindAncestor(&config, 0), nullptr); // so does a removed item
    EXPECT_EQ(t.root.FindAncestor(&config, 0), nullptr);
}

TEST(XmlNode, FirstChildOfTypeSkipsNodesThatAreNotLive) {
    QORXML_c parent;
    QORXML_c* cleared = Add(parent, QOR_XML_TEXT, "x");
    cleared->Value()->Reset(QOR_TYPE_NONE);
    QORXML_c* element = Add(parent, QOR_XML_ELEMENT, "e");
    QORXML_c* text = Add(parent, QOR_XML_TEXT, "t");
    QORXML_c* last = Add(parent, QOR_XML_COMMENT, "c");

    parent.SelectChild(element);
    EXPECT_EQ(parent.FirstChildOfType(QOR_XML_TEXT), text);
    EXPECT_EQ(CursorChild(parent), text);
    EXPECT_EQ(parent.FirstChildValue(QOR_XML_TEXT), text->ValueObject());
    EXPECT_EQ(parent.FirstChildOfType(0), element);
    EXPECT_EQ(parent.FirstChildOfType(QOR_XML_RAW_TEXT), nullptr);
    EXPECT_EQ(CursorChild(parent), last);
    EXPECT_EQ(parent.FirstChildValue(QOR_XML_RAW_TEXT), nullptr);

    QORXML_c leaf;
    EXPECT_EQ(leaf.FirstChildOfType(0), nullptr);
    EXPECT_EQ(leaf.ChildList(), nullptr);
}

TEST(XmlNode, PreviousSiblingAndSelectChildPlaceTheParentsCursor) {
    QORXML_c parent;
    QORXML_c* a = Add(parent, QOR_XML_ELEMENT, "a");
    QORXML_c* b = Add(parent, QOR_XML_ELEMENT, "b");
    QORXML_c* c = Add(parent, QOR_XML_ELEMENT, "c");

    EXPECT_EQ(c->PreviousSibling(), b);
    EXPECT_EQ(CursorChild(parent), b);
    parent.SelectChild(c);
    EXPECT_EQ(a->PreviousSibling(), nullptr);
    EXPECT_EQ(CursorChild(parent), a); // left on the first child itself
    EXPECT_EQ(parent.PreviousSibling(), nullptr);

    QORXML_c stranger;
    EXPECT_EQ(parent.SelectChild(&stranger), QOR_ERROR);
    EXPECT_EQ(parent.SelectChild(b), QOR_OK);
    EXPECT_EQ(CursorChild(parent), b);
    EXPECT_EQ(stranger.SelectChild(b), QOR_ERROR); // no children list
}

TEST(XmlNode, RemoveAttributeComparesWithCaseAndKeepsTheCursor) {
    QORXML_c element;
    element.SetNodeType(QOR_XML_ELEMENT);
    QORXML_c* upper = AddAttribute(element, "Name", "1");
    QORXML_c* lower = AddAttribute(element, "name", "2");
    QORXML_c* child = Add(element, QOR_XML_ELEMENT, "name"); // not an attribute
    QORXML_c* longer = AddAttribute(element, "names", "3");
    QORXML_c* again = AddAttribute(element, "name", "4");

    element.SelectChild(longer);
    EXPECT_EQ(element.RemoveAttribute("name", -1, again), 1);
    EXPECT_EQ(ChildrenOf(element), (std::vector<QORXML_c*>{upper, child, longer, again}));
    EXPECT_EQ(CursorChild(element), longer);
    EXPECT_EQ(element.RemoveAttribute("name", 4, nullptr), 1);
    EXPECT_EQ(CursorChild(element), longer);
    EXPECT_EQ(element.RemoveAttribute(static_cast<const char*>(nullptr), -1, nullptr), 0);
    const auto name = Name("Name");
    EXPECT_EQ(element.RemoveAttribute(name.get(), nullptr), 1);
    EXPECT_EQ(ChildrenOf(element), (std::vector<QORXML_c*>{child, longer}));
    (void)lower;
}

TEST(XmlNode, CopiedLeafHasNoChildrenListButATargetListStillGetsItsCursorAtTheEnd) {
    QORXML_c leaf;
    leaf.SetNodeType(QOR_XML_TEXT);
    leaf.Value()->SetText("t", -1, QOR_FALSE);
    QORXML_c bare;
    ASSERT_EQ(leaf.CopyTo(&bare), QOR_OK);
    EXPECT_EQ(Text(&bare), "t");
    EXPECT_EQ(bare.ChildList(), nullptr);

    QORXML_c parent;
    QORXML_c* first = Add(parent, QOR_XML_ELEMENT, "first");
    QORXML_c* last = Add(parent, QOR_XML_ELEMENT, "last");
    parent.SelectChild(first);
    ASSERT_EQ(leaf.CopyTo(&parent), QOR_OK);
    EXPECT_EQ(ChildrenOf(parent), (std::vector<QORXML_c*>{first, last}));
    EXPECT_EQ(CursorChild(parent), last);
}

TEST(XmlNode, CopyToReplacesSameNamedAttributesAndAppendsAfterExistingChildren) {
    QORXML_c source;
    source.SetNodeType(QOR_XML_ELEMENT);
    source.SetFlags(QOR_XML_HIDDEN | QOR_XML_WRITE_HIDDEN);
    source.Value()->SetText("src", -1, QOR_FALSE);
    AddAttribute(source, "a", "new");
    QORXML_c* removed = Add(source, QOR_XML_ELEMENT, "gone");
    removed->Value()->Reset(QOR_TYPE_NONE);
    QORXML_c* kid = Add(source, QOR_XML_ELEMENT, "kid");
    Add(*kid, QOR_XML_TEXT, "inner");

    QORXML_c target;
    target.Value()->SetText("old", -1, QOR_FALSE);
    QORXML_c* keep = Add(target, QOR_XML_ELEMENT, "keep");
    AddAttribute(target, "a", "old");
    QORXML_c* other = AddAttribute(target, "A", "other case stays");
    target.SelectChild(keep);

    ASSERT_EQ(source.CopyTo(&target), QOR_OK);
    EXPECT_EQ(target.NodeType(), QOR_XML_ELEMENT);
    EXPECT_EQ(target.Flags(), QOR_XML_HIDDEN | QOR_XML_WRITE_HIDDEN);
    EXPECT_EQ(Text(&target), "src");
    const std::vector<QORXML_c*> children = ChildrenOf(target);
    ASSERT_EQ(children.size(), 4u); // keep, A, then the copies of a and kid
    EXPECT_EQ(children[0], keep);
    EXPECT_EQ(children[1], other);
    EXPECT_EQ(Text(children[2]), "a");
    EXPECT_EQ(Text(ChildrenOf(*children[2]).at(0)), "new");
    EXPECT_EQ(Text(children[3]), "kid");
    EXPECT_EQ(children[3]->Parent(), &target);
    EXPECT_EQ(Text(ChildrenOf(*children[3]).at(0)), "inner");
    EXPECT_EQ(CursorChild(target), children[3]);

    QORXML_c noValue;
    EXPECT_EQ(noValue.CopyTo(&target), QOR_ERROR);
    EXPECT_EQ(source.CopyTo(nullptr), QOR_ERROR);
}

TEST(XmlNode, CopyKeepsTheValueTypeAndItsExactText) {
    struct Case {
        const char* text;
        std::uint8_t type;
    };
    const Case cases[] = {
        {"007", QOR_TYPE_UINT32},  {"-007", QOR_TYPE_INT32}, {"4.2", QOR_TYPE_DOUBLE},
        {" 42 ", QOR_TYPE_UINT32}, {"007", QOR_TYPE_TEXT},   {"", QOR_TYPE_TEXT},
    };
    for (const Case& c : cases) {
        QORXML_c source;
        source.SetNodeType(QOR_XML_TEXT);
        source.Value()->SetText(c.text, -1, QOR_FALSE);
        if (c.type != QOR_TYPE_TEXT) {
            source.Value()->DetectNumericType();
        }
        ASSERT_EQ(source.Value()->Type(), c.type) << c.text;
        std::unique_ptr<QORObject_c> clone = source.Clone();
        auto* copy = dynamic_cast<QORXML_c*>(clone.get());
        ASSERT_NE(copy, nullptr);
        EXPECT_EQ(copy->Value()->Type(), c.type) << c.text;
        EXPECT_EQ(Text(copy), c.text);
    }

    // Values set as numbers keep their type and text form too.
    QORXML_c number;
    number.SetNodeType(QOR_XML_TEXT);
    number.Value()->SetInt16(-5);
    QORXML_c copy;
    ASSERT_EQ(number.CopyTo(&copy), QOR_OK);
    EXPECT_EQ(copy.Value()->Type(), number.Value()->Type());
    EXPECT_EQ(Text(&copy), "-5");
    EXPECT_EQ(copy.Value()->GetInt(nullptr), -5);
}

TEST(XmlNode, CopyIntoItsOwnSubtreeCopiesTheTreeAsItWas) {
    QORXML_c root;
    root.SetNodeType(QOR_XML_ELEMENT);
    root.Value()->SetText("r", -1, QOR_FALSE);
    AddAttribute(root, "a", "1");
    QORXML_c* child = Add(root, QOR_XML_ELEMENT, "c");

    ASSERT_EQ(root.CopyTo(child), QOR_OK);
    EXPECT_EQ(xml_test::Written(root), "<r a=\"1\" ><r a=\"1\" ><c/></r></r>");
    ASSERT_EQ(root.CopyTo(&root), QOR_OK);
    EXPECT_EQ(xml_test::Written(root),
              "<r a=\"1\" ><r a=\"1\" ><c/></r><r a=\"1\" ><c/></r></r>"); // a replaced, kids added
}

} // namespace
