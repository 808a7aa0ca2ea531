#include "compiler/name_lookups.h"
#include "script/text_resources.h"
#include "script/vl_doc.h"
#include "tests/support/app_fixture.h"
#include "tests/support/scripted_ui.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

// One name of each kind, and names shared between kinds to show which kind wins.
struct OperandKindTest : ::testing::Test {
    OperandKindTest() {
        doc.InitNewScript(CVLDoc::kDefaultProduct);
        CProduct& product = *doc.m_pProduct;
        product.m_Inputs[4].m_strName = "Door";
        product.m_Outputs[2].m_strName = "Lamp";
        product.m_Outputs[3].m_strName = "Door"; // an input of the same name comes first
        product.m_Flags[6].m_strName = "Armed";
        product.m_Vars[9].m_strName = "Count";
        product.m_Ports[3].m_strName = "Projector";
        doc.m_poSeqList.push_back(std::make_unique<CSeq>("Intro", 1));
        doc.m_poSeqList.push_back(std::make_unique<CSeq>("Both", 1));
        doc.m_poDataStrList.push_back(std::make_unique<CDataStr>("Hello", "\"hi\"", ""));
        doc.m_poDataStrList.push_back(std::make_unique<CDataStr>("Both", "1", ""));
        doc.m_poLcdStrList.push_back(std::make_unique<CLcdStr>("Welcome", "\"w\"", ""));
        doc.m_poLcdStrList.push_back(std::make_unique<CLcdStr>("Hello", "\"w\"", ""));
    }
    testing_support::ScriptedUi ui;
    testing_support::AppFixture app;
    CVLDoc doc{app.App()};
};

TEST_F(OperandKindTest, FirstMatchInTheTimelineOrderWithPlainIndexes) {
    struct Case {
        const char* name;
        int kind;
        int index;
    };
    const int lastSequence = int(doc.m_poSeqList.size()) - 1;
    const Case cases[] = {
        {"door", kOperandInput, 4},  // input before output; code 128 + 4 turned back
        {"Lamp", kOperandOutput, 2}, //
        {"ARMED", kOperandFlag, 6},  // code 64 + 6 turned back
        {"Count", kOperandVariable, 9},
        {"Projector", kOperandPort, 3},
        {"Both", kOperandSequence, lastSequence}, // sequence before data string
        {"Hello", kOperandDataString, 0},         // data string before LCD string
        {"Welcome", kOperandLcdString, 0},
        {" Welcome ", kOperandLcdString, 0}, // normalised as the compiler reads it
        {"Nothing", kOperandNone, -1},
        {"", kOperandNone, -1},
    };
    for (const Case& c : cases) {
        int index = 123;
        EXPECT_EQ(GetOperandKind(doc, c.name, index), c.kind) << c.name;
        EXPECT_EQ(index, c.index) << c.name;
    }
}

} // namespace
