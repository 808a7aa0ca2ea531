#include "reproducer/rule_framework.h"
#include "reproducer/rule_kinds.h"
#include "reproducer/show_document.h"
#include "show_test_support.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

namespace annotation = show_rule_annotation;
using Items = ShowRuleCollection_c::Items;

constexpr const char* kDeclaration = "<?xml version=\"1.0\" encoding=\"utf-8\" ?>";

// Globals Gain (integer) and When (datetime); sequences Intro and Outro; devices Dev0 (not the
// show controller), Dev1 (the show controller, with a button and two variables) and Dev2; labels
// Top, an empty one and Bottom.
constexpr const char* kContext =
    "<globals><variable name=\"Gain\"><rules><integer/></rules></variable>"
    "<variable name=\"When\"><rules><datetime/></rules></variable></globals>"
    "<sequences><sequence name=\"Intro\"/><sequence name=\"Outro\"/></sequences>"
    "<devices><device name=\"Dev0\" show_controller=\"false\"/>"
    "<device name=\"Dev1\" show_controller=\"1\"><buttons><button name=\"Go\"/></buttons>"
    "<inputs><input name=\"In1\"/></inputs><outputs><output name=\"Out1\"/>"
    "<output name=\"Out2\"/></outputs>"
    "<variables><variable name=\"Other\"/><variable name=\"Level\"><rules><integer/></rules>"
    "</variable></variables></device>"
    "<device name=\"Dev2\" show_controller=\"true\"/></devices>"
    "<labels><item lb=\"Top\"/><item lb=\"\"/><item lb=\"Bottom\"/></labels>";

class Rules : public ::testing::Test {
protected:
    // Loads the context with a holder element whose rules are given.
    void Open(const std::string& rules) {
        show_test::Load(document, std::string(kDeclaration) + "<show>" + kContext +
                                      "<holder><rules>" + rules + "</rules></holder></show>");
        top = show_test::TopElement(document);
        ASSERT_NE(top, nullptr);
        for (ShowResources_c* collection :
             {static_cast<ShowResources_c*>(&globals), static_cast<ShowResources_c*>(&sequences),
              static_cast<ShowResources_c*>(&devices), static_cast<ShowResources_c*>(&labels)}) {
            collection->SetOwner(&document);
            ASSERT_EQ(collection->Bind(top), QOR_OK);
        }
        holder.SetOwner(&document);
        ASSERT_EQ(holder.Bind(ShowXML_c::FindElement(top, "holder")), QOR_OK);
    }

    ShowResourceRule_c* Rule(std::int32_t index = 0) {
        if (holder.Rules() == nullptr) {
            return nullptr;
        }
        return dynamic_cast<ShowResourceRule_c*>(holder.Rules()->ItemAt(index, QOR_FALSE));
    }

    std::uint8_t Check(const char* text, ShowRuleContext_c* ctx = nullptr) {
        QORString_c value;
        value.Assign(text);
        return Rule()->Check(&value, &scope, nullptr, ctx != nullptr ? ctx : &context);
    }

    // A resource holding the text, bound to a new element of the document.
    ShowResource_c* Subject(const char* text) {
        auto resource = std::make_unique<ShowResource_c>();
        resource->SetOwner(&document);
        resource->Bind(ShowXML_c::CreateElement("value", top, text));
        subjects.push_back(std::move(resource));
        return subjects.back().get();
    }

    std::uint8_t CheckNode(ShowResource_c* subject, ShowRuleContext_c* ctx = nullptr) {
        return Rule()->CheckNode(subject, &scope, nullptr, ctx != nullptr ? ctx : &context);
    }

    static bool Has(ShowResource_c* subject, const char* name) {
        return ShowXML_c::FindAttribute(subject->Element(), name) != nullptr;
    }

    ShowDocument_c document;
    ShowXML_c* top = nullptr;
    ShowRuleCollection_c globals{"globals", "variable", Items::Variables};
    ShowRuleCollection_c sequences{"sequences", "sequence", Items::Plain};
    ShowRuleCollection_c devices{"devices", "device", Items::Devices};
    ShowRuleCollection_c labels{"labels", "item", Items::Plain};
    ShowRuleContext_c context{&globals, &sequences, &devices};
    ShowRuleLabelScope_c scope{&labels};
    ShowResourceVariable_c holder;
    std::vector<std::unique_ptr<ShowResource_c>> subjects;
};

struct LiteralCase {
    const char* rules;
    const char* text;
    std::uint8_t expected;
};

class Literals : public Rules, public ::testing::WithParamInterface<LiteralCase> {};

TEST_P(Literals, Check) {
    const LiteralCase& c = GetParam();
    Open(c.rules);
    ASSERT_NE(Rule(), nullptr);
    EXPECT_EQ(Check(c.text), c.expected) << c.rules << " on \"" << c.text << "\"";
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, Literals,
    ::testing::Values(
        LiteralCase{"<integer/>", "-2147483647", QOR_OK},
        LiteralCase{"<integer/>", "2147483647", QOR_OK},
        LiteralCase{"<integer/>", "-2147483648", QOR_ERROR},
        LiteralCase{"<integer/>", "2147483648", QOR_ERROR},
        LiteralCase{"<integer/>", "4294967297", QOR_ERROR}, // would wrap to 1
        LiteralCase{"<integer/>", "99999999999999999999", QOR_ERROR},
        LiteralCase{"<integer/>", "12a", QOR_ERROR},
        LiteralCase{"<integer min=\"1\" max=\"10\"/>", "10", QOR_OK},
        LiteralCase{"<integer min=\"1\" max=\"10\"/>", "0", QOR_ERROR},
        LiteralCase{"<integer min=\"1\" max=\"99999999999\"/>", "5", QOR_ERROR},
        LiteralCase{"<decimal/>", "0.0", QOR_OK}, LiteralCase{"<decimal/>", "0.5", QOR_ERROR},
        LiteralCase{"<decimal min=\"1\" max=\"5\"/>", "2.5", QOR_OK},
        LiteralCase{"<decimal min=\"1\" max=\"5\"/>", "5.5", QOR_ERROR},
        LiteralCase{"<decimal min=\"1\" max=\"5\"/>", "x", QOR_ERROR},
        LiteralCase{"<percent/>", "50%", QOR_OK}, LiteralCase{"<percent/>", "100%", QOR_OK},
        LiteralCase{"<percent/>", "101%", QOR_ERROR}, LiteralCase{"<percent/>", "-1%", QOR_ERROR},
        LiteralCase{"<percent/>", "%", QOR_ERROR}, LiteralCase{"<percent/>", "50", QOR_ERROR},
        LiteralCase{"<bool/>", "TRUE", QOR_OK}, LiteralCase{"<bool/>", "off", QOR_OK},
        LiteralCase{"<bool/>", "Yes", QOR_OK}, LiteralCase{"<bool/>", "disabled", QOR_OK},
        LiteralCase{"<bool/>", "0", QOR_OK}, LiteralCase{"<bool/>", "maybe", QOR_ERROR},
        LiteralCase{"<timecode/>", "00:01:02.03", QOR_OK},
        LiteralCase{"<timecode/>", "ab", QOR_ERROR},
        LiteralCase{"<datetime/>", "2020-01-01", QOR_ERROR},
        LiteralCase{"<lcdstring/>", "clr", QOR_OK}, LiteralCase{"<lcdstring/>", ",", QOR_OK},
        LiteralCase{"<lcdstring/>", "\"Hi\",clr", QOR_OK},
        LiteralCase{"<lcdstring/>", "\"a\"b\"", QOR_OK},
        LiteralCase{"<lcdstring/>", "CLR", QOR_ERROR}, LiteralCase{"<lcdstring/>", "", QOR_ERROR},
        LiteralCase{"<lcdstring/>", "x,clr", QOR_ERROR},
        LiteralCase{"<lcdstring/>", "clr,x", QOR_ERROR},
        LiteralCase{"<string regexp=\"^A\"/>", "h42 h41", QOR_ERROR},
        LiteralCase{"<string regexp=\"^A\"/>", "h41 h42", QOR_OK},
        LiteralCase{"<string/>", "\"any\" 1 2", QOR_OK}, LiteralCase{"<string/>", "", QOR_OK},
        LiteralCase{"<string/>", "hZ", QOR_ERROR},
        LiteralCase{"<string regexp=\"(\"/>", "h41", QOR_ERROR},
        LiteralCase{"<option match=\"Local\"/>", "LOCAL", QOR_OK},
        LiteralCase{"<option match=\"Local\"/>", "Loca", QOR_ERROR},
        LiteralCase{"<option/>", "", QOR_ERROR}, LiteralCase{"<variable/>", "Gain", QOR_OK},
        LiteralCase{"<variable/>", "dev1.LEVEL", QOR_OK},
        LiteralCase{"<variable/>", "Dev1.Missing", QOR_ERROR},
        LiteralCase{"<variable/>", "Level", QOR_ERROR}, LiteralCase{"<button/>", "go", QOR_OK},
        LiteralCase{"<button/>", "Stop", QOR_ERROR}, LiteralCase{"<input/>", "In1", QOR_OK},
        LiteralCase{"<output/>", "Out2", QOR_OK}, LiteralCase{"<sequence/>", "Outro", QOR_OK},
        LiteralCase{"<sequence/>", "Go", QOR_ERROR}, LiteralCase{"<device/>", "Dev2", QOR_OK},
        LiteralCase{"<label/>", "bottom", QOR_OK}, LiteralCase{"<label/>", "", QOR_ERROR}));

TEST_F(Rules, FactoryMakesOneItemPerChildElement) {
    Open("<Integer/><foo/><option/>");
    ShowResourceRules_c* rules = holder.Rules();
    ASSERT_NE(rules, nullptr);
    ASSERT_EQ(rules->LiveCount(), 3);
    EXPECT_NE(dynamic_cast<ShowDataRuleInteger_c*>(Rule(0)), nullptr);
    EXPECT_EQ(Rule(0)->Kind(), kShowRuleInteger);
    EXPECT_EQ(Rule(1), nullptr) << "an unknown keyword gives a plain resource";
    EXPECT_NE(rules->ItemAt(1, QOR_FALSE), nullptr);
    EXPECT_NE(dynamic_cast<ShowDataRuleOption_c*>(Rule(2)), nullptr);
    EXPECT_EQ(show_test::TextOf(Rule(0)->Element()), "integer");
    EXPECT_EQ(holder.ValueKind(), kShowRuleInteger);
}

TEST(RuleFramework, KindFromName) {
    QORString_c upper;
    upper.Assign("INTEGER");
    EXPECT_EQ(ShowRuleKindFromName(&upper), kShowRuleInteger);
    EXPECT_EQ(ShowRuleKindFromName("none"), kShowRuleNone);
    EXPECT_EQ(ShowRuleKindFromName("integers"), kShowRuleNone);
    EXPECT_EQ(ShowRuleKindFromName(static_cast<const char*>(nullptr)), kShowRuleNone);
    EXPECT_EQ(ShowRuleKindFromName("Device"), kShowRuleDevice);
    EXPECT_EQ(ShowRuleValueType(kShowRuleDevice), 0);
    EXPECT_EQ(ShowRuleTypeCode(kShowRuleDevice), 17);
}

TEST(RuleFramework, UnboundBaseRuleAnswersZero) {
    ShowResourceRule_c rule;
    QORString_c text;
    text.Assign("x");
    EXPECT_EQ(rule.Check(&text, nullptr, nullptr, nullptr), 0);
    EXPECT_EQ(rule.CheckNode(nullptr, nullptr, nullptr, nullptr), QOR_ERROR);
}

TEST_F(Rules, VariableWithoutRulesHasNoRulesBinder) {
    Open("");
    ShowResourceVariable_c* other = dynamic_cast<ShowResourceVariable_c*>(
        dynamic_cast<ShowRuleDevice_c*>(devices.FindByName("Dev1", QOR_FALSE))
            ->Variables()
            ->FindByName("Other", QOR_FALSE));
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(other->RulesBinder(), nullptr);
    EXPECT_EQ(other->ValueKind(), kShowRuleNone);
}

TEST_F(Rules, FindShowControllerTakesTheFirstTrueDevice) {
    Open("");
    QORList_c found;
    EXPECT_EQ(ShowFindShowController(&devices, &found), 1);
    ASSERT_EQ(found.Count(), 1);
    EXPECT_EQ(found.Current(), devices.FindByName("Dev1", QOR_FALSE));
    EXPECT_EQ(found.Ownership(), QOR_BORROWS);
    EXPECT_EQ(ShowFindShowController(&sequences, &found), 0);
    EXPECT_EQ(found.Count(), 1) << "a borrowing list is not cleared";
    EXPECT_EQ(ShowFindShowController(nullptr, nullptr), 0);
}

TEST_F(Rules, IntegerBoundsAreCreatedWithTheirDefaults) {
    Open("<integer/>");
    EXPECT_EQ(Check("5"), QOR_OK);
    const std::string text = show_test::Save(document);
    EXPECT_NE(text.find("<integer max=\"2147483647\" min=\"-2147483647\" />"), std::string::npos)
        << text;
}

TEST_F(Rules, ValueKindLiteralIsAnnotated) {
    Open("<integer/>");
    ShowResource_c* subject = Subject("42");
    EXPECT_EQ(CheckNode(subject), QOR_OK);
    EXPECT_EQ(annotation::ReadInt(subject, "ty"), 3);
    EXPECT_FALSE(Has(subject, "rp"));
    // "ty" and "vt" are hidden from plain searches.
    QORString_c ty;
    ty.Assign("ty");
    EXPECT_EQ(subject->Element()->FindByName(&ty, QOR_XML_ATTRIBUTE, QOR_FALSE, QOR_FALSE, QOR_TRUE,
                                             QOR_FALSE),
              nullptr);
    EXPECT_EQ(CheckNode(Subject("x")), QOR_ERROR);
}

TEST_F(Rules, ValueKindAcceptsAVariableOfItsType) {
    Open("<integer/>");
    ShowResource_c* level = Subject("Dev1.Level");
    EXPECT_EQ(CheckNode(level), QOR_OK);
    EXPECT_EQ(annotation::ReadInt(level, "ty"), 6);
    EXPECT_EQ(annotation::ReadInt(level, "vt"), 3);
    EXPECT_EQ(annotation::ReadInt(level, "ix"), 1);
    EXPECT_EQ(annotation::ReadInt(level, "dx"), 1);

    // A variable of another type that is no literal either keeps its variable annotations.
    ShowResource_c* when = Subject("When");
    EXPECT_EQ(CheckNode(when), QOR_ERROR);
    EXPECT_EQ(annotation::ReadInt(when, "ty"), 6);
    EXPECT_EQ(annotation::ReadInt(when, "vt"), 15);
    EXPECT_EQ(annotation::ReadInt(when, "ix"), 1);
    EXPECT_FALSE(Has(when, "dx"));
}

TEST_F(Rules, DatetimePassesOnlyThroughADatetimeVariable) {
    Open("<datetime/>");
    EXPECT_EQ(CheckNode(Subject("When")), QOR_OK);
    EXPECT_EQ(CheckNode(Subject("Gain")), QOR_ERROR);
    EXPECT_EQ(CheckNode(Subject("2020-01-01")), QOR_ERROR);
}

TEST_F(Rules, VariableKindAnnotatesGlobalsAndDeviceVariables) {
    Open("<variable/>");
    ShowResource_c* gain = Subject("Gain");
    annotation::WriteInt(gain, "dx", 4);
    QORString_c old;
    old.Assign("old");
    annotation::WriteText(gain, "rp", &old);
    EXPECT_EQ(CheckNode(gain), QOR_OK);
    EXPECT_EQ(annotation::ReadInt(gain, "ty"), 6);
    EXPECT_EQ(annotation::ReadInt(gain, "vt"), 3);
    EXPECT_EQ(annotation::ReadInt(gain, "ix"), 0);
    EXPECT_FALSE(Has(gain, "dx"));
    EXPECT_FALSE(Has(gain, "rp"));

    ShowResource_c* missing = Subject("Nothing");
    annotation::WriteText(missing, "rp", &old);
    EXPECT_EQ(CheckNode(missing), QOR_ERROR);
    EXPECT_FALSE(Has(missing, "rp")) << "rp is cleared found or not";
    EXPECT_FALSE(Has(missing, "ty"));
    EXPECT_EQ(CheckNode(Subject("Gain"), nullptr), QOR_OK) << "nullptr means the fixture's";
    ShowRuleContext_c empty;
    EXPECT_EQ(CheckNode(Subject("Gain"), &empty), QOR_ERROR);
}

TEST_F(Rules, OptionWritesItsReplacement) {
    Open("<option match=\"Local\" replace=\"2\"/><option match=\"Remote\"/>");
    ShowResource_c* local = Subject("local");
    EXPECT_EQ(CheckNode(local), QOR_OK);
    QORString_c rp;
    annotation::ReadText(local, "rp", &rp);
    EXPECT_EQ(rp.View(), "2");
    EXPECT_EQ(annotation::ReadInt(local, "ty"), 0);
    EXPECT_TRUE(Has(local, "ty"));

    ShowResource_c* remote = Subject("remote");
    EXPECT_EQ(CheckNode(remote), QOR_ERROR);
    EXPECT_FALSE(Has(remote, "ty"));
    auto* second = dynamic_cast<ShowResourceRule_c*>(holder.Rules()->ItemAt(1, QOR_FALSE));
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->CheckNode(remote, &scope, nullptr, &context), QOR_OK);
    EXPECT_EQ(annotation::ReadInt(remote, "ty"), 16);
    EXPECT_FALSE(Has(remote, "rp"));
}

TEST_F(Rules, ReferenceKindsWriteTheItemIndex) {
    struct Case {
        const char* rule;
        const char* text;
        std::int32_t ix;
        std::int32_t ty;
    };
    const Case cases[] = {
        {"<button/>", "Go", 0, 9},    {"<input/>", "In1", 0, 7},
        {"<output/>", "Out2", 1, 8},  {"<sequence/>", "Outro", 1, 10},
        {"<device/>", "Dev2", 2, 17}, {"<button/>", "Nope", -1, -1},
    };
    for (const Case& c : cases) {
        subjects.clear();
        document.New();
        Open(c.rule);
        ShowResource_c* subject = Subject(c.text);
        EXPECT_EQ(CheckNode(subject), c.ty >= 0 ? QOR_OK : QOR_ERROR) << c.rule;
        EXPECT_EQ(annotation::ReadInt(subject, "ix"), c.ix) << c.rule;
        EXPECT_EQ(Has(subject, "ty"), c.ty >= 0) << c.rule;
        if (c.ty >= 0) {
            EXPECT_EQ(annotation::ReadInt(subject, "ty"), c.ty) << c.rule;
        }
    }
}

TEST_F(Rules, ButtonWithoutShowControllerWritesMinusOne) {
    Open("<button/>");
    ShowRuleCollection_c none{"nothing", "device", Items::Devices};
    none.Bind(top);
    ShowRuleContext_c noController{nullptr, nullptr, &none};
    ShowResource_c* subject = Subject("Go");
    EXPECT_EQ(CheckNode(subject, &noController), QOR_ERROR);
    EXPECT_TRUE(Has(subject, "ix"));
    EXPECT_EQ(annotation::ReadInt(subject, "ix"), -1);
}

TEST_F(Rules, LabelCountsEveryItemAndClearsEmptyLabels) {
    Open("<label/>");
    ShowResource_c* subject = Subject("BOTTOM");
    EXPECT_EQ(CheckNode(subject), QOR_OK);
    EXPECT_EQ(annotation::ReadInt(subject, "ix"), 2);
    EXPECT_EQ(annotation::ReadInt(subject, "ty"), 12);
    EXPECT_EQ(show_test::Save(document).find("lb=\"\""), std::string::npos);

    ShowResource_c* none = Subject("x");
    EXPECT_EQ(Rule()->CheckNode(none, nullptr, nullptr, &context), QOR_ERROR);
    EXPECT_FALSE(Has(none, "ix")) << "without a scope nothing is written";
}

TEST_F(Rules, ChecksOfDefaultsDoNotMarkTheDocument) {
    Open("<integer/><decimal/><string/><option/>");
    for (std::int32_t i = 0; i < 4; ++i) {
        QORString_c text;
        text.Assign("0");
        dynamic_cast<ShowResourceRule_c*>(holder.Rules()->ItemAt(i, QOR_FALSE))
            ->Check(&text, &scope, nullptr, &context);
    }
    EXPECT_FALSE(show_test::Modified(document));
}

} // namespace
