#include "reproducer/port_info_elements.h"
#include "reproducer/rule_kinds.h"
#include "reproducer/show_document.h"
#include "show_test_support.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using show_test::Modified;
using show_test::Save;

constexpr const char* kDeclaration = "<?xml version=\"1.0\" encoding=\"utf-8\" ?>";

class Elements : public ::testing::Test {
protected:
    void Open(const std::string& body) {
        show_test::Load(document, std::string(kDeclaration) + "<reelvox>" + body + "</reelvox>");
        root = show_test::TopElement(document);
        ASSERT_NE(root, nullptr);
    }

    std::string Body() { return Save(document).substr(std::string(kDeclaration).size()); }

    ShowDocument_c document;
    ShowXML_c* root = nullptr;
};

TEST_F(Elements, PortTypeReadsKeywordsIgnoringCase) {
    struct Case {
        const char* port;
        std::uint8_t type;
    };
    const Case cases[] = {
        {"<port type=\"Serial\"/>", kPortTypeSerial}, {"<port type=\"USB\"/>", kPortTypeUSB},
        {"<port type=\"rs232\"/>", kPortTypeNull},    {"<port type=\"serial2\"/>", kPortTypeNull},
        {"<port type=\"\"/>", kPortTypeNull},         {"<port/>", kPortTypeNull},
    };
    for (const Case& c : cases) {
        Open(c.port);
        ProductDataPort_c port;
        ASSERT_EQ(port.Bind(ShowXML_c::FindElement(root, "port")), QOR_OK) << c.port;
        EXPECT_EQ(port.Type(), c.type) << c.port;
    }
    EXPECT_NE(Body().find("<port type=\"\" />"), std::string::npos) << "a missing type is made";
    EXPECT_EQ(ProductDataPortTypeFromName(nullptr), kPortTypeNull);
}

TEST_F(Elements, SetTypeCommitsOnlyChanges) {
    Open("<port type=\"serial\"/>");
    ProductDataPort_c port;
    port.SetOwner(&document);
    ASSERT_EQ(port.Bind(ShowXML_c::FindElement(root, "PORT")), QOR_OK);
    EXPECT_EQ(port.SetType(kPortTypeSerial), QOR_OK);
    EXPECT_FALSE(Modified(document));
    EXPECT_EQ(port.SetType(kPortTypeEthernet), QOR_OK);
    EXPECT_TRUE(Modified(document));
    Save(document);
    EXPECT_EQ(port.SetType(kPortTypeEthernet), QOR_OK);
    EXPECT_FALSE(Modified(document));
    EXPECT_EQ(port.SetType(7), QOR_ERROR);
    EXPECT_EQ(Body(), "<reelvox><port type=\"ethernet\" /></reelvox>");
}

TEST_F(Elements, PortBindsItsRules) {
    Open("<port type=\"serial\"><rules><integer min=\"1\"/></rules></port><other/>");
    ProductDataPort_c port;
    ASSERT_EQ(port.Bind(ShowXML_c::FindElement(root, "port")), QOR_OK);
    ASSERT_NE(port.RulesBinder(), nullptr);
    EXPECT_EQ(port.RulesBinder()->LiveCount(), 1);
    EXPECT_NE(dynamic_cast<ShowDataRuleInteger_c*>(port.RulesBinder()->First()), nullptr);

    ProductDataPort_c plain;
    ASSERT_EQ(plain.Bind(ShowXML_c::FindElement(root, "other")), QOR_OK);
    EXPECT_EQ(plain.RulesBinder(), nullptr);
    EXPECT_EQ(show_test::TextOf(plain.Element()), "port") << "binding renames the element";

    ProductDataPort_c refused;
    EXPECT_EQ(refused.Bind(nullptr), QOR_ERROR);
    EXPECT_EQ(refused.Bind(ShowXML_c::FindAttribute(ShowXML_c::FindElement(root, "port"), "type")),
              QOR_ERROR);
    EXPECT_EQ(refused.Element(), nullptr);
    EXPECT_EQ(refused.Type(), kPortTypeNull);
}

TEST_F(Elements, InfoCreatesAuthorsAndTheRestOnlyWhenAsked) {
    Open("");
    ShowDataInfo_c info;
    info.SetOwner(&document);
    ASSERT_EQ(info.Bind(root), QOR_OK);
    EXPECT_EQ(info.Tag(), 10);
    ASSERT_NE(info.Authors(), nullptr);
    EXPECT_EQ(info.Authors()->Tag(), 11);
    EXPECT_EQ(Body(), "<reelvox><info><authors/></info></reelvox>");

    EXPECT_EQ(info.FindBinding(root), nullptr);
    EXPECT_EQ(Body(), "<reelvox><info><authors/><version>1.0</version><description/></info>"
                      "</reelvox>");
    EXPECT_EQ(info.FindBinding(info.Version()), &info);
    EXPECT_EQ(info.FindBinding(info.Authors()->Element()), info.Authors());
    EXPECT_FALSE(Modified(document));
}

TEST_F(Elements, InfoFindsExistingElementsIgnoringCase) {
    Open("<INFO><Version>2.0</Version><AUTHORS/></INFO>");
    ShowDataInfo_c info;
    ASSERT_EQ(info.Bind(root), QOR_OK);
    QORString_c version;
    EXPECT_EQ(ShowXMLInterface_c::GetNodeText(info.Version(), &version), QOR_OK);
    EXPECT_EQ(version.View(), "2.0");
    EXPECT_EQ(info.Rebind(), QOR_OK);
    EXPECT_EQ(Body(), "<reelvox><INFO><Version>2.0</Version><AUTHORS/></INFO></reelvox>");
    EXPECT_EQ(info.Bind(nullptr), QOR_ERROR);
    EXPECT_EQ(info.Bind(document.XMLRoot()), QOR_ERROR) << "the document node is no element";
    EXPECT_EQ(info.Description(), nullptr);
}

} // namespace
