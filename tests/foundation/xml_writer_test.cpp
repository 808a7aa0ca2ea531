#include "foundation/xml_node.h"
#include "foundation/xml_text.h"
#include "tests/foundation/xml_test_support.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

using xml_test::Add;
using xml_test::AddAttribute;
using xml_test::Written;

namespace {

// Turns the write-hidden switch on for one scope, as the saving operations do.
class WriteHiddenOn {
public:
    WriteHiddenOn() { QORXMLSetWriteHidden(QOR_TRUE); }
    ~WriteHiddenOn() { QORXMLSetWriteHidden(QOR_FALSE); }
};

QORXML_c* Document(QORXML_c& root) {
    root.Value()->SetText("xml", -1, QOR_FALSE);
    return &root;
}

TEST(XmlWriter, WritesEveryNodeKindInItsCompactForm) {
    struct Case {
        const char* what;
        std::function<void(QORXML_c&)> build;
        const char* written;
    };
    const Case cases[] = {
        {"new document",
         [](QORXML_c& r) {
             Document(r);
             AddAttribute(r, "version", "1.0")->SetFlags(QOR_XML_HIDDEN);
             AddAttribute(r, "encoding", "utf-8")->SetFlags(QOR_XML_HIDDEN);
         },
         "<?xml version=\"1.0\" encoding=\"utf-8\" ?>"},
        {"declaration groups: raw text, comments, elements",
         [](QORXML_c& r) {
             Document(r);
             Add(r, QOR_XML_ELEMENT, "a");
             Add(r, QOR_XML_COMMENT, "c");
             Add(r, QOR_XML_RAW_TEXT, "<raw & unescaped>");
             Add(r, QOR_XML_TEXT, "document text is not written");
         },
         "<?xml?><raw & unescaped><!-- c --><a/>"},
        {"element groups: text after the elements",
         [](QORXML_c& r) {
             Document(r);
             QORXML_c* a = Add(r, QOR_XML_ELEMENT, "a");
             Add(*a, QOR_XML_TEXT, "t1");
             Add(*a, QOR_XML_ELEMENT, "b");
             AddAttribute(*a, "x", "1");
             Add(*a, QOR_XML_TEXT, "t2");
             Add(*a, QOR_XML_COMMENT, "k");
             Add(*a, QOR_XML_RAW_TEXT, "r");
         },
         "<?xml?><a x=\"1\" >r<!-- k --><b/>t1t2</a>"},
        {"the five characters are escaped in names and texts",
         [](QORXML_c& r) {
             Document(r);
             QORXML_c* e = Add(r, QOR_XML_ELEMENT, "e<&>");
             AddAttribute(*e, "n'", "\"v\"");
             Add(*e, QOR_XML_TEXT, "a<b>&'\"");
             Add(*e, QOR_XML_COMMENT, "c&d");
         },
         "<?xml?><e&lt;&amp;&gt; n&apos;=\"&quot;v&quot;\" ><!-- c&amp;d -->"
         "a&lt;b&gt;&amp;&apos;&quot;</e&lt;&amp;&gt;>"},
        {"content that writes nothing gives an empty element",
         [](QORXML_c& r) {
             Document(r);
             QORXML_c* e = Add(r, QOR_XML_ELEMENT, "e");
             Add(*e, QOR_XML_COMMENT, "");
             Add(*e, QOR_XML_RAW_TEXT, "");
             Add(*e, QOR_XML_TEXT, "");
             Add(*e, QOR_XML_ELEMENT, "gone")->Value()->Reset(QOR_TYPE_NONE);
             Add(*e, QOR_XML_DECLARATION, "not content");
         },
         "<?xml?><e/>"},
        {"attributes: nameless, cleared and valueless ones",
         [](QORXML_c& r) {
             Document(r);
             QORXML_c* e = Add(r, QOR_XML_ELEMENT, "e");
             AddAttribute(*e, "", "nameless");
             AddAttribute(*e, "cleared", "x")->Value()->Reset(QOR_TYPE_NONE);
             Add(*e, QOR_XML_ATTRIBUTE, "bare");
             QORXML_c* twice = Add(*e, QOR_XML_ATTRIBUTE, "two");
             Add(*twice, QOR_XML_TEXT, "a");
             Add(*twice, QOR_XML_TEXT, "b");
         },
         "<?xml?><e bare=\"\" two=\"ab\" />"},
        {"numbers keep their text form",
         [](QORXML_c& r) {
             Document(r);
             QORXML_c* e = Add(r, QOR_XML_ELEMENT, "e");
             QORXML_c* n = AddAttribute(*e, "n", "x");
             xml_test::ChildrenOf(*n)[0]->Value()->SetInt32(-12);
             Add(*e, QOR_XML_TEXT, "")->Value()->SetDouble(2.5);
         },
         "<?xml?><e n=\"-12\" >2.50</e>"},
        {"a root without a value writes nothing", [](QORXML_c& r) { Add(r, QOR_XML_ELEMENT, "a"); },
         ""},
        {"an untyped node writes nothing",
         [](QORXML_c& r) {
             Document(r);
             r.SetNodeType(QOR_XML_UNTYPED);
         },
         ""},
        {"a node of an unknown type is written as a comment",
         [](QORXML_c& r) {
             Document(r);
             Add(r, 7, "odd");
             r.SetNodeType(9);
         },
         "<!-- xml -->"},
    };
    for (const Case& c : cases) {
        QORXML_c root;
        c.build(root);
        EXPECT_EQ(Written(root), c.written) << c.what;
    }
}

TEST(XmlWriter, WriteHiddenNodesAreWrittenAndCountedOnlyWhileTheSwitchIsOn) {
    EXPECT_EQ(QORXMLWriteHidden(), QOR_FALSE);
    QORXML_c root;
    Document(root);
    QORXML_c* config = Add(root, QOR_XML_ELEMENT, "config");
    AddAttribute(*config, "a", "1");
    AddAttribute(*config, "secret", "2")->SetFlags(QOR_XML_WRITE_HIDDEN);
    QORXML_c* gui = Add(*config, QOR_XML_ELEMENT, "gui");
    gui->SetFlags(QOR_XML_HIDDEN | QOR_XML_WRITE_HIDDEN);
    AddAttribute(*gui, "x", "10");
    Add(*gui, QOR_XML_ELEMENT, "inner");

    EXPECT_EQ(Written(root), "<?xml?><config a=\"1\" />");
    {
        WriteHiddenOn on;
        EXPECT_EQ(Written(root),
                  "<?xml?><config a=\"1\" secret=\"2\" ><gui x=\"10\" ><inner/></gui></config>");
    }
    // Only 3 turns it on.
    QORXMLSetWriteHidden(QOR_OK);
    EXPECT_EQ(Written(root), "<?xml?><config a=\"1\" />");
    QORXMLSetWriteHidden(QOR_FALSE);

    // A write-hidden attribute alone leaves no attribute list behind.
    QORXML_c lone;
    lone.SetNodeType(QOR_XML_ELEMENT);
    lone.Value()->SetText("e", -1, QOR_FALSE);
    AddAttribute(lone, "h", "1")->SetFlags(QOR_XML_WRITE_HIDDEN);
    EXPECT_EQ(Written(lone), "<e/>");
}

TEST(XmlWriter, AShortWriterContributesWhatItTook) {
    QORXML_c root;
    Document(root);
    AddAttribute(*Add(root, QOR_XML_ELEMENT, "element"), "attribute", "value");
    const std::int32_t size = root.WrittenSize();
    ASSERT_EQ(size, static_cast<std::int32_t>(Written(root).size()));

    QORBuffer_c small;
    small.Resize(10);
    EXPECT_EQ(root.Write(&small), 10);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(small.Data()), 10), "<?xml?><el");
    EXPECT_EQ(root.Write(nullptr), 0);
}

} // namespace
