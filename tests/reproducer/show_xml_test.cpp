#include "reproducer/show_document.h"
#include "reproducer/show_xml.h"
#include "show_test_support.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using show_test::Modified;
using show_test::Save;

constexpr const char* kDeclaration = "<?xml version=\"1.0\" encoding=\"utf-8\" ?>";

// A loaded document with one element bound by a plain binder owned by the document.
class BoundElement : public ::testing::Test {
protected:
    void SetUp() override {
        show_test::Load(document, std::string(kDeclaration) +
                                      "<cfg Name=\"first\" on=\"1\" off=\"false\" word=\"yes\" >"
                                      "<!--note--></cfg>");
        element = show_test::TopElement(document);
        ASSERT_NE(element, nullptr);
        binder.SetOwner(&document);
        ASSERT_EQ(binder.Bind(element), QOR_OK);
    }

    std::string Attribute(const char* name) {
        QORString_c text;
        ShowXMLInterface_c::GetNodeText(ShowXML_c::FindAttribute(element, name), &text);
        return std::string(text.View());
    }

    ShowDocument_c document;
    ShowXML_c* element = nullptr;
    ShowXMLInterface_c binder;
};

TEST_F(BoundElement, SetNodeTextReportsEachRealChange) {
    ShowXML_c* name = ShowXML_c::FindAttribute(element, "name");
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(ShowXMLInterface_c::SetNodeText(name, &binder, "first"), QOR_OK);
    EXPECT_FALSE(Modified(document));
    EXPECT_EQ(ShowXMLInterface_c::SetNodeText(name, &binder, "second"), QOR_OK);
    EXPECT_TRUE(Modified(document));
    Save(document);
    EXPECT_EQ(ShowXMLInterface_c::SetNodeText(name, &binder, "first"), QOR_OK);
    EXPECT_TRUE(Modified(document)) << "setting the first text back is another change";
    EXPECT_EQ(ShowXMLInterface_c::SetNodeText(nullptr, &binder, "x"), QOR_ERROR);
}

TEST_F(BoundElement, ChangesAreNotReportedWhileTrackingIsOff) {
    binder.SetChangeTracking(QOR_FALSE);
    ShowXML_c* name = ShowXML_c::FindAttribute(element, "name");
    EXPECT_EQ(ShowXMLInterface_c::SetNodeText(name, &binder, "other"), QOR_OK);
    EXPECT_FALSE(Modified(document));
    EXPECT_EQ(Attribute("name"), "other");
}

TEST_F(BoundElement, DefaultsOfNewNodesAreNoChange) {
    ShowXML_c* made = ShowXML_c::FindOrCreateAttribute(element, "fresh");
    ASSERT_NE(made, nullptr);
    const std::int32_t value = 7;
    EXPECT_EQ(ShowXMLInterface_c::SetNodeInt(made, &value, &binder), QOR_OK);
    EXPECT_FALSE(Modified(document));
    EXPECT_EQ(Attribute("fresh"), "7");
    const std::int32_t other = 8;
    EXPECT_EQ(ShowXMLInterface_c::SetNodeInt(made, &other, &binder), QOR_OK);
    EXPECT_TRUE(Modified(document));
}

TEST_F(BoundElement, SetNodeIntWritesZeroIntoAnEmptyText) {
    ShowXML_c* made = ShowXML_c::FindOrCreateAttribute(element, "count");
    EXPECT_EQ(ShowXMLInterface_c::SetNodeInt(made, nullptr, &binder), QOR_OK);
    EXPECT_EQ(Attribute("count"), "0");
    std::int32_t out = -1;
    EXPECT_EQ(ShowXMLInterface_c::GetNodeInt(made, &out), QOR_OK);
    EXPECT_EQ(out, 0);
}

TEST_F(BoundElement, FindAttributeIgnoresCase) {
    ShowXML_c* found = ShowXML_c::FindAttribute(element, "NAME");
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(ShowXML_c::FindOrCreateAttribute(element, "name"), found);
    EXPECT_EQ(Save(document).find("name="), std::string::npos) << "no second attribute";
    EXPECT_EQ(ShowXML_c::FindAttribute(element, static_cast<const char*>(nullptr)), nullptr);
    EXPECT_EQ(ShowXML_c::FindAttribute(found, "x"), nullptr) << "attributes have no attributes";
}

TEST_F(BoundElement, GetBoolAttributeReadsNumbersAndWords) {
    struct Case {
        const char* name;
        std::uint8_t expected;
    };
    ShowXML_c* made = ShowXML_c::FindOrCreateAttribute(element, "t");
    ShowXMLInterface_c::SetNodeText(made, &binder, "true");
    const Case cases[] = {
        {"t", QOR_TRUE},    {"on", QOR_TRUE},    {"word", QOR_TRUE},
        {"off", QOR_FALSE}, {"name", QOR_FALSE}, {"missing", QOR_FALSE},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ShowXMLInterface_c::GetBoolAttribute(&binder, c.name), c.expected) << c.name;
    }
    ShowXMLInterface_c unbound;
    EXPECT_EQ(ShowXMLInterface_c::GetBoolAttribute(&unbound, "on"), QOR_FALSE);
    EXPECT_EQ(ShowXMLInterface_c::SetBoolAttribute("on", &unbound, QOR_TRUE, QOR_FALSE), QOR_ERROR);
}

TEST_F(BoundElement, SetBoolAttributeClearsAndRecreates) {
    EXPECT_EQ(ShowXMLInterface_c::SetBoolAttribute("on", &binder, QOR_FALSE, QOR_FALSE), QOR_OK);
    EXPECT_TRUE(Modified(document));
    EXPECT_EQ(Save(document).find(" on="), std::string::npos);
    EXPECT_EQ(ShowXML_c::FindAttribute(element, "on"), nullptr);

    EXPECT_EQ(ShowXMLInterface_c::SetBoolAttribute("on", &binder, QOR_TRUE, QOR_FALSE), QOR_OK);
    const std::string text = Save(document);
    EXPECT_NE(text.find("on=\"true\" >"), std::string::npos) << text;
    EXPECT_EQ(text.find("on=\"1\""), std::string::npos) << "the cleared one stays unwritten";

    EXPECT_EQ(ShowXMLInterface_c::SetBoolAttribute("off", &binder, QOR_FALSE, QOR_TRUE), QOR_OK);
    EXPECT_EQ(Attribute("off"), "false");
}

TEST_F(BoundElement, ClearedNodesAreNoLongerFound) {
    ShowXML_c* name = ShowXML_c::FindAttribute(element, "name");
    EXPECT_EQ(ShowXMLInterface_c::ClearNodeValue(name, &binder), QOR_OK);
    EXPECT_TRUE(Modified(document));
    EXPECT_EQ(ShowXML_c::FindAttribute(element, "name"), nullptr);
    QORString_c out;
    EXPECT_EQ(ShowXMLInterface_c::GetNodeText(name, &out), QOR_ERROR);
    EXPECT_EQ(ShowXMLInterface_c::ClearNodeValue(name, &binder), QOR_OK) << "already cleared";

    // Writing through a kept node brings it back under its own name.
    EXPECT_EQ(ShowXMLInterface_c::SetNodeText(name, &binder, "back"), QOR_OK);
    EXPECT_EQ(ShowXML_c::FindAttribute(element, "name"), name);
    EXPECT_NE(Save(document).find("Name=\"back\""), std::string::npos);
}

TEST_F(BoundElement, FindBindingCoversElementAttributesTheirTextsAndComments) {
    ShowXML_c* name = ShowXML_c::FindAttribute(element, "name");
    EXPECT_EQ(binder.FindBinding(element), &binder);
    EXPECT_EQ(binder.FindBinding(name), &binder);
    EXPECT_EQ(binder.FindBinding(name->FirstChildOfType(QOR_XML_TEXT)), &binder);
    EXPECT_EQ(binder.FindBinding(element->FirstChildOfType(QOR_XML_COMMENT)), &binder);
    EXPECT_EQ(binder.FindBinding(document.XMLRoot()), nullptr);
    ShowXMLInterface_c unbound;
    EXPECT_EQ(unbound.FindBinding(element), nullptr);
    EXPECT_EQ(unbound.Rebind(), QOR_ERROR);
}

TEST_F(BoundElement, CopyToPlacesTheCopyRightAfterTheSource) {
    ShowXMLInterface_c copy;
    EXPECT_EQ(binder.CopyTo(&copy), QOR_OK);
    ASSERT_NE(copy.Element(), nullptr);
    EXPECT_NE(copy.Element(), element);
    EXPECT_EQ(copy.Owner(), &document);
    const std::string one =
        "<cfg Name=\"first\" on=\"1\" off=\"false\" word=\"yes\" ><!-- note --></cfg>";
    EXPECT_EQ(Save(document), std::string(kDeclaration) + one + one);
    EXPECT_EQ(binder.CopyTo(nullptr), QOR_ERROR);
}

TEST(ShowXML, CreateElementAndFindTm) {
    ShowDocument_c document;
    ShowXML_c* top = ShowXML_c::CreateElement("trigger", document.XMLRoot(), nullptr);
    ASSERT_NE(top, nullptr);
    ShowXML_c* tm = ShowXML_c::CreateElement("TM", top, "00:00:01.00");
    ASSERT_NE(tm, nullptr);
    EXPECT_EQ(ShowXML_c::FindTmElement(top), tm);
    EXPECT_EQ(ShowXML_c::FindTmElement(tm->FirstChildOfType(QOR_XML_TEXT)), nullptr);
    EXPECT_EQ(ShowXML_c::CreateElement("x", nullptr, nullptr), nullptr);
    EXPECT_EQ(Save(document),
              std::string(kDeclaration) + "<trigger><TM>00:00:01.00</TM></trigger>");
}

TEST(ShowXML, TreesKeepTheirNodeClass) {
    ShowDocument_c document;
    show_test::Load(document, std::string(kDeclaration) + "<a b=\"c\"><d>e</d></a>");
    ShowXML_c* a = show_test::TopElement(document);
    ASSERT_NE(a, nullptr);
    ShowXML_c* d = ShowXML_c::FindElement(a, "D");
    ASSERT_NE(d, nullptr);
    EXPECT_NE(dynamic_cast<ShowXML_c*>(d->FirstChildOfType(QOR_XML_TEXT)), nullptr);
    EXPECT_NE(d->HistoryValue(), nullptr);
}

} // namespace
