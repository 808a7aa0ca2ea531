#include "foundation/xml_node.h"
#include "tests/foundation/xml_test_support.h"

#include <gtest/gtest.h>

#include <string>

using xml_test::ChildrenOf;
using xml_test::ParseInto;
using xml_test::Text;
using xml_test::Written;

namespace {

QORXML_c* Child(QORXML_c* node, size_t index) {
    const std::vector<QORXML_c*> children = ChildrenOf(*node);
    return index < children.size() ? children[index] : nullptr;
}

TEST(XmlReader, ReadsADocumentIntoTheTree) {
    QORXML_c root;
    const std::string text = "<?xml version=\"1.0\"?><a x=\"1\" y=2><b/>text</a>";
    EXPECT_EQ(ParseInto(root, text), static_cast<std::int32_t>(text.size()));

    EXPECT_EQ(Text(&root), "xml");
    QORXML_c* version = Child(&root, 0);
    ASSERT_NE(version, nullptr);
    EXPECT_EQ(version->NodeType(), QOR_XML_ATTRIBUTE);
    EXPECT_EQ(Text(version), "version");
    EXPECT_EQ(Text(Child(version, 0)), "1.0");
    EXPECT_EQ(Child(version, 0)->ValueObject()->Type(), QOR_TYPE_DOUBLE);

    QORXML_c* a = Child(&root, 1);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->NodeType(), QOR_XML_ELEMENT);
    EXPECT_EQ(a->Parent(), &root);
    const std::vector<QORXML_c*> kids = ChildrenOf(*a);
    ASSERT_EQ(kids.size(), 4u); // x, y, b, text in document order
    EXPECT_EQ(Text(kids[0]), "x");
    QORValue_c* x = Child(kids[0], 0)->ValueObject();
    EXPECT_EQ(x->Type(), QOR_TYPE_UINT32);
    EXPECT_EQ(x->GetInt(nullptr), 1);
    EXPECT_EQ(Text(kids[1]), "y");
    EXPECT_EQ(Text(Child(kids[1], 0)), "2");
    EXPECT_EQ(kids[2]->NodeType(), QOR_XML_ELEMENT);
    EXPECT_EQ(Text(kids[2]), "b");
    EXPECT_EQ(kids[3]->NodeType(), QOR_XML_TEXT);
    EXPECT_EQ(Text(kids[3]), "text");
    EXPECT_EQ(kids[3]->ValueObject()->Type(), QOR_TYPE_TEXT);

    EXPECT_EQ(Written(root), "<?xml version=\"1.0\" ?><a x=\"1\" y=\"2\" ><b/>text</a>");
}

// Each input read into a document node, then written: the normal form the writer gives it, and
// whether the parse answered -2.
TEST(XmlReader, NormalisesForgivingInput) {
    struct Case {
        const char* input;
        const char* written;
        bool fails;
    };
    const Case cases[] = {
        // repeated attribute: the last one wins
        {"<?xml?><a x=\"1\" x=\"2\"/>", "<?xml?><a x=\"2\" />", false},
        {"<?xml?><a x&amp;y=\"1\" x&amp;y=\"2\"/>", "<?xml?><a x&amp;y=\"2\" />", false},
        // a backslash before a quote does not close the value and stays in it
        {"<?xml?><a x=\"say \\\"hi\\\"\"/>", "<?xml?><a x=\"say \\&quot;hi\\&quot;\" />", false},
        // only the five entities are decoded; others stay as they are (and are escaped back)
        {"<?xml?><a>x &lt; y &amp;&amp; z</a>", "<?xml?><a>x &lt; y &amp;&amp; z</a>", false},
        {"<?xml?><a>&nbsp;&#65;&ab;&</a>", "<?xml?><a>&amp;nbsp;&amp;#65;&amp;ab;&amp;</a>", false},
        // text outside every element is dropped; text is trimmed and goes after the elements
        {"lead<?xml?>mid<a> x <b/> y </a>tail", "<?xml?><a><b/>xy</a>", false},
        // no declaration: the elements are read but the root writes nothing
        {"<a><b/></a>", "", false},
        // a second processing instruction renames the root and adds its attributes
        {"<?xml version=\"1.0\"?><?xml-stylesheet href=\"a\"?>",
         "<?xml-stylesheet version=\"1.0\" href=\"a\" ?>", false},
        {"<?xml a=\"1\" b=\"2\"?><a/><?pi a=\"3\" a=\"4\"?><b/>", "<?pi b=\"2\" a=\"4\" ?><a/><b/>",
         false},
        // a child that fails does not end its parent
        {"<?xml?><a><b></a>", "<?xml?><a><b/></a>", false},
        // names lose the bytes before their first letter; </> closes any element
        {"<?xml?><_1a><  b></></_1a>", "<?xml?><a><b/></a>", false},
        // end tags match ignoring case and may carry white space
        {"<?xml?><Ab></aB ><c/>", "<?xml?><Ab/><c/>", false},
        // comments: dashes and white space trimmed; a declaration-like comment; empty ones go
        {"<?xml?><!-- note --><!DOCTYPE x><!----><a><!--in--></a>",
         "<?xml?><!-- note --><!-- DOCTYPE x --><a><!-- in --></a>", false},
        // unquoted values run to white space or '>'; a lone name has no value
        {"<?xml?><a x=1/ y = 2 z >", "<?xml?><a x=\"1/\" y=\"2\" z=\"\" />", false},
        // a name with '>' in it: attribute names run to '=' or white space
        {"<?xml?><a b><c/></a>", "<?xml?><a b&gt;&lt;c/&gt;&lt;/a&gt;=\"\" />", false},
        // an empty quoted value has no text; an empty name is not written
        {"<?xml?><a x=\"\" =\"v\"/>", "<?xml?><a x=\"\" />", false},
        // blank values keep their text
        {"<?xml?><a x=\"  \"/>", "<?xml?><a x=\"  \" />", false},
        // failures in the root's own passes
        {"<?xml?></b>", "<?xml?>", true},
        {"<?xml?><a/><!", "<?xml?><a/>", true},
        {"<?xml", "<?xml?>", true},
        {"<?xml a=\"1\">", "<?xml a=\"1\" ?>", true},
        // the element's own failures stay with the element
        {"<?xml?><a x=\"open", "<?xml?><a x=\"\" />", false},
        {"<?xml?><a x=open", "<?xml?><a x=\"\" />", false},
        {"<?xml?><a><!-- open", "<?xml?><a/>", false},
        {"<?xml?><a", "<?xml?><a/>", false},
        // a '?' inside an element ends that element; its end tag then fails the root
        {"<?xml?><a><?pi?><b/></a>", "<?xml?><a/><b/>", true},
        {"", "", false},
        {"no tags at all", "", false},
        {"<", "", false},
    };
    for (const Case& c : cases) {
        QORXML_c root;
        const std::int32_t answer = ParseInto(root, c.input);
        EXPECT_EQ(answer == QOR_COUNT_ERROR, c.fails) << c.input << " answered " << answer;
        EXPECT_EQ(Written(root), c.written) << c.input;
    }
}

TEST(XmlReader, NormalFormReadsBackToItself) {
    const char* texts[] = {
        "<?xml version=\"1.0\" encoding=\"utf-8\" ?>",
        "<?xml?><a x=\"1\" y=\"2\" ><b/>text</a>",
        "<?xml?><a&lt;b c&amp;d=\"&quot;q&apos;\" >x&gt;y</a&lt;b>",
        "<?xml?><!-- c --><r><!-- d --><e n=\"007\" >007</e>4.20</r>",
        "<?xml?><a x=\" 42 \" y=\"-1\" z=\"4.2\" ><b><c/></b></a>",
    };
    for (const char* text : texts) {
        QORXML_c root;
        EXPECT_NE(ParseInto(root, text), QOR_COUNT_ERROR) << text;
        EXPECT_EQ(Written(root), text);
    }
}

TEST(XmlReader, NumbersKeepTheirTextForm) {
    QORXML_c root;
    ParseInto(root, "<?xml?><a n=\"007\" m=-0.50>007</a>");
    QORXML_c* a = Child(&root, 0);
    QORXML_c* text = a->FirstChildOfType(QOR_XML_TEXT);
    EXPECT_EQ(text->ValueObject()->Type(), QOR_TYPE_UINT32);
    EXPECT_EQ(text->ValueObject()->GetInt(nullptr), 7);
    QORXML_c* m = Child(Child(a, 1), 0);
    EXPECT_EQ(m->ValueObject()->Type(), QOR_TYPE_DOUBLE);
    EXPECT_EQ(Written(root), "<?xml?><a n=\"007\" m=\"-0.50\" >007</a>");
}

TEST(XmlReader, LeavesTheCursorWhereParsingStopped) {
    QORBuffer_c buffer;
    QORXML_c element;
    element.SetNodeType(QOR_XML_ELEMENT);
    const std::string text = "<a><b/></a>trailing";
    EXPECT_EQ(ParseInto(element, text, &buffer), 11);
    EXPECT_EQ(buffer.Position(), 11);

    // Document content without a further '<' leaves the cursor where the pass began.
    QORBuffer_c tail;
    QORXML_c root;
    EXPECT_EQ(ParseInto(root, "<?x?> rest", &tail), 5);
    EXPECT_EQ(tail.Position(), 5);

    // An end tag that does not match stops where the comparison stopped.
    QORBuffer_c mismatch;
    QORXML_c e2;
    e2.SetNodeType(QOR_XML_ELEMENT);
    EXPECT_EQ(ParseInto(e2, "<ab></ax>", &mismatch), QOR_COUNT_ERROR);
    EXPECT_EQ(mismatch.Position(), 7);
}

TEST(XmlReader, AddsNodesAfterTheChildrenCursor) {
    QORXML_c element;
    element.SetNodeType(QOR_XML_ELEMENT);
    QORXML_c* x = xml_test::Add(element, QOR_XML_ELEMENT, "x");
    QORXML_c* y = xml_test::Add(element, QOR_XML_ELEMENT, "y");
    element.SelectChild(x);
    ParseInto(element, "<e><n/><m/></e>");
    const std::vector<QORXML_c*> kids = ChildrenOf(element);
    ASSERT_EQ(kids.size(), 4u);
    EXPECT_EQ(kids[0], x);
    EXPECT_EQ(Text(kids[1]), "n");
    EXPECT_EQ(Text(kids[2]), "m");
    EXPECT_EQ(kids[3], y);
    EXPECT_EQ(xml_test::CursorChild(element), kids[2]);
}

TEST(XmlReader, EachNodeTypeParsesItsOwnPart) {
    struct Case {
        std::uint8_t type;
        const char* input;
        std::int32_t answer;
        const char* value; // the node's own value text afterwards
    };
    const Case cases[] = {
        {QOR_XML_COMMENT, "-- hello -->x", 12, "hello"},
        {QOR_XML_COMMENT, "-->", 3, ""},
        {QOR_XML_COMMENT, " no end", QOR_COUNT_ERROR, "<none>"},
        {QOR_XML_ELEMENT, "<e k=v/>", 8, "e"},
        {QOR_XML_ATTRIBUTE, " k = \"v\" ", 8, "k"},
        {QOR_XML_ATTRIBUTE, "flag", 4, "flag"},
        {QOR_XML_TEXT, " \"quoted value\"", 15, "quoted value"},
        {QOR_XML_TEXT, "12>", 2, "12"},
        {QOR_XML_TEXT, "12", QOR_COUNT_ERROR, "<none>"},
        {QOR_XML_UNTYPED, "<a/>", QOR_COUNT_ERROR, "<none>"},
        {QOR_XML_RAW_TEXT, "<a/>", QOR_COUNT_ERROR, "<none>"},
    };
    for (const Case& c : cases) {
        QORXML_c node;
        node.SetNodeType(c.type);
        EXPECT_EQ(ParseInto(node, c.input), c.answer) << c.input;
        EXPECT_EQ(Text(&node), c.value) << c.input;
    }
    QORXML_c node;
    EXPECT_EQ(node.Parse(nullptr), QOR_COUNT_ERROR);
    QORBuffer_c empty;
    EXPECT_EQ(node.Parse(&empty), 0);
}

TEST(XmlReader, NestingDepthIsCapped) {
    auto nested = [](int depth) {
        std::string text = "<?xml?>";
        for (int i = 0; i < depth; ++i) {
            text += "<e>";
        }
        text += "x";
        for (int i = 0; i < depth; ++i) {
            text += "</e>";
        }
        return text;
    };
    QORXML_c deepest;
    const std::string allowed = nested(QOR_XML_MAX_DEPTH);
    EXPECT_EQ(ParseInto(deepest, allowed), static_cast<std::int32_t>(allowed.size()));
    EXPECT_EQ(Written(deepest), allowed);

    // One level more fails the whole parse; what was built stays and is still well formed.
    QORXML_c tooDeep;
    QORBuffer_c buffer;
    const std::string refused = nested(QOR_XML_MAX_DEPTH + 1);
    EXPECT_EQ(ParseInto(tooDeep, refused, &buffer), QOR_COUNT_ERROR);
    EXPECT_EQ(buffer.Position(), 7 + 3 * QOR_XML_MAX_DEPTH); // on the refused '<'
    std::string built = "<?xml?>";
    for (int i = 0; i < QOR_XML_MAX_DEPTH - 1; ++i) {
        built += "<e>";
    }
    built += "<e/>";
    for (int i = 0; i < QOR_XML_MAX_DEPTH - 1; ++i) {
        built += "</e>";
    }
    EXPECT_EQ(Written(tooDeep), built);

    // Processing instructions are capped the same way.
    std::string instructions = "<a/>";
    for (int i = 0; i < QOR_XML_MAX_INSTRUCTIONS; ++i) {
        instructions += "<?xml n=\"" + std::to_string(i) + "\"?>";
    }
    QORXML_c many;
    EXPECT_EQ(ParseInto(many, instructions), static_cast<std::int32_t>(instructions.size()));
    instructions += "<?xml?><b/>";
    QORXML_c tooMany;
    EXPECT_EQ(ParseInto(tooMany, instructions), QOR_COUNT_ERROR);
    EXPECT_EQ(Written(tooMany), "<?xml n=\"63\" ?><a/>");

    // Far deeper input ends the same way, without exhausting the stack.
    QORXML_c huge;
    EXPECT_EQ(ParseInto(huge, nested(100000)), QOR_COUNT_ERROR);
}

} // namespace
