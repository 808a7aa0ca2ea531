#include "reelvox_config_fixture.h"

#include "foundation/smpte_timecode.h"
#include "reproducer/smpte_settings_element.h"
#include "reproducer/timecode_trigger_elements.h"

#include <gtest/gtest.h>

using reelvox_test::AttributeText;
using reelvox_test::Declared;
using reelvox_test::ElementText;
using reelvox_test::LoadText;
using reelvox_test::Path;

namespace {

ReelvoxDataSMPTEInterface_c* LoadSmpte(ReelvoxDataDocument_c& document, const std::string& smpte) {
    LoadText(document, Declared("<reelvox>" + smpte + "</reelvox>"));
    return document.Root() != nullptr ? document.Root()->SMPTE() : nullptr;
}

} // namespace

TEST(SmpteSettingsElement, NewElementGetsTheInterfaceDefaults) {
    ReelvoxDataDocument_c document;
    ReelvoxDataSMPTEInterface_c* smpte = document.Root()->SMPTE();
    ShowXML_c* element = Path(document.XMLRoot(), {"reelvox", "smpte"});
    EXPECT_EQ(AttributeText(element, "mode"), "gen_vid_sync");
    EXPECT_EQ(AttributeText(element, "video_sync"), "true");
    EXPECT_EQ(AttributeText(element, "unit_number"), "1");
    EXPECT_EQ(ElementText(Path(element, {"frame_rate"})), "29.97");
    for (const char* time : {"preroll", "start", "end"}) {
        EXPECT_EQ(ElementText(Path(element, {time})), "00:00:00.00") << time;
    }
    EXPECT_EQ(AttributeText(Path(element, {"end"}), "transition"), "loop");
    EXPECT_EQ(AttributeText(Path(element, {"triggers"}), "max"), "256");
    EXPECT_EQ(smpte->FrameRate(), 3);
    EXPECT_EQ(smpte->SmpteReset(), QOR_TRUE);
    EXPECT_EQ(smpte->StartOnPower(), QOR_FALSE);
    EXPECT_EQ(smpte->ClockFreq(), REELVOX_CLOCK_DEFAULT_INDEX);
    EXPECT_EQ(smpte->BitsCapable(), 1);
    EXPECT_EQ(smpte->UnitType(), 0);
    EXPECT_EQ(smpte->RateAllowed(3), QOR_TRUE);
    EXPECT_EQ(smpte->RateAllowed(5), QOR_FALSE);
}

TEST(SmpteSettingsElement, AnElementWithAModeKeepsItsFrameRate) {
    ReelvoxDataDocument_c document;
    ReelvoxDataSMPTEInterface_c* smpte = LoadSmpte(document, "<smpte mode=\"generate\" />");
    ASSERT_NE(smpte, nullptr);
    EXPECT_EQ(smpte->FrameRate(), 5);
    EXPECT_EQ(AttributeText(Path(document.XMLRoot(), {"reelvox", "smpte"}), "video_sync"),
              "<missing>");
    EXPECT_EQ(smpte->Mode(), REELVOX_MODE_GENERATE);
}

TEST(SmpteSettingsElement, IntegersOutsideTheirRangeAreClampedAndWrittenBack) {
    ReelvoxDataDocument_c document;
    ReelvoxDataSMPTEInterface_c* smpte = LoadSmpte(
        document, "<smpte mode=\"read\" unit_number=\"75\" splay_delay=\"-3\" smpte_lv=\"9\" />");
    ShowXML_c* element = Path(document.XMLRoot(), {"reelvox", "smpte"});
    EXPECT_EQ(smpte->UnitNumber(), 49);
    EXPECT_EQ(AttributeText(element, "unit_number"), "49");
    EXPECT_EQ(smpte->SplayDelay(), 0);
    EXPECT_EQ(AttributeText(element, "splay_delay"), "0");
    EXPECT_EQ(smpte->SmpteLv(), 4);
}

TEST(SmpteSettingsElement, VideoSyncLimitsTheFrameRates) {
    struct Case {
        std::uint8_t rate;
        std::uint8_t after;
    };
    const Case cases[] = {{1, 0}, {5, 3}, {4, 3}, {2, 2}, {0, 0}, {3, 3}};
    for (const Case& c : cases) {
        ReelvoxDataDocument_c document;
        ReelvoxDataSMPTEInterface_c* smpte = LoadSmpte(document, "<smpte mode=\"read\" />");
        ASSERT_EQ(smpte->SetFrameRate(c.rate), QOR_OK);
        smpte->SetVideoSync(QOR_TRUE);
        EXPECT_EQ(smpte->FrameRate(), c.after) << int(c.rate);
        EXPECT_EQ(smpte->VideoSync(), QOR_TRUE);
        smpte->SetVideoSync(QOR_FALSE);
        EXPECT_EQ(smpte->VideoSync(), QOR_FALSE);
        EXPECT_EQ(smpte->RateAllowed(1), QOR_TRUE);
    }
}

TEST(SmpteSettingsElement, ChangingTheFrameRateKeepsTheTimeTexts) {
    ReelvoxDataDocument_c document;
    ReelvoxDataSMPTEInterface_c* smpte = LoadSmpte(
        document, "<smpte mode=\"read\"><frame_rate>30.0</frame_rate><preroll>00:00:05.20</preroll>"
                  "<start>01:02:03.04</start><end>10:00:00.29</end></smpte>");
    ShowXML_c* element = Path(document.XMLRoot(), {"reelvox", "smpte"});
    ASSERT_EQ(smpte->SetFrameRate(2), QOR_OK);
    EXPECT_EQ(ElementText(Path(element, {"frame_rate"})), "25.0");
    EXPECT_EQ(ElementText(Path(element, {"preroll"})), "00:00:05.20");
    EXPECT_EQ(ElementText(Path(element, {"start"})), "01:02:03.04");
    EXPECT_EQ(smpte->SetFrameRate(9), QOR_ERROR);
    EXPECT_EQ(ElementText(Path(element, {"frame_rate"})), "25.0");

    QORSMPTETimecode_c start;
    start.SetFrameRate(2, 0);
    EXPECT_EQ(smpte->GetStart(&start), QOR_OK);
    QORString_c text;
    start.ToText(&text);
    EXPECT_EQ(text.View(), "01:02:03.04");

    // Times of another rate are refused; the working timecode itself too.
    QORSMPTETimecode_c other;
    other.SetFrameRate(5, 0);
    other.SetTime(0, 0, 1, 0);
    EXPECT_EQ(smpte->SetEnd(&other), QOR_ERROR);
    EXPECT_EQ(smpte->SetEnd(smpte->WorkingTimecode()), QOR_ERROR);
    start.SetTime(0, 0, 2, 24);
    EXPECT_EQ(smpte->SetEnd(&start), QOR_OK);
    EXPECT_EQ(ElementText(Path(element, {"end"})), "00:00:02.24");
    EXPECT_EQ(smpte->SetPreroll(nullptr), QOR_OK);
    EXPECT_EQ(ElementText(Path(element, {"preroll"})), "00:00:00.00");
    EXPECT_EQ(smpte->SetStart(nullptr), QOR_ERROR);
}

TEST(SmpteSettingsElement, UnitGroupsKeepOnlyTrueWords) {
    ReelvoxDataDocument_c document;
    ReelvoxDataSMPTEInterface_c* smpte = LoadSmpte(
        document, "<smpte mode=\"read\"><unit_groups 5=\"no\" 6=\"on\" 7=\"maybe\" /></smpte>");
    ShowXML_c* groups = Path(document.XMLRoot(), {"reelvox", "smpte", "unit_groups"});
    EXPECT_EQ(smpte->IsUnitGroupEnabled(1), QOR_TRUE);
    EXPECT_EQ(smpte->IsUnitGroupEnabled(5), QOR_FALSE);
    EXPECT_EQ(AttributeText(groups, "5"), "<missing>");
    EXPECT_EQ(smpte->IsUnitGroupEnabled(6), QOR_TRUE);
    EXPECT_EQ(smpte->IsUnitGroupEnabled(7), QOR_ERROR);
    EXPECT_EQ(smpte->IsUnitGroupEnabled(10), QOR_FALSE);
    EXPECT_EQ(smpte->EnableUnitGroup(9), QOR_OK);
    EXPECT_EQ(smpte->EnableUnitGroup(10), QOR_ERROR);
    EXPECT_EQ(AttributeText(groups, "9"), "yes");
    std::uint8_t flags[9] = {};
    EXPECT_EQ(smpte->UnitGroups(flags), 9);
    const std::uint8_t expected[9] = {3, 253, 253, 253, 253, 3, 253, 253, 3};
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(flags[i], expected[i]) << i;
    }
}

TEST(SmpteSettingsElement, AddressFieldsFallBackToTheirDefaults) {
    ReelvoxDataDocument_c document;
    ReelvoxDataSMPTEInterface_c* smpte =
        LoadSmpte(document, "<smpte mode=\"read\"><ip_address>10.1</ip_address>"
                            "<gateway>10.0.0.1</gateway></smpte>");
    QORString_c text;
    smpte->AddressField(0, &text);
    EXPECT_EQ(text.View(), "192.168.0.254");
    smpte->AddressField(1, &text);
    EXPECT_EQ(text.View(), "255.255.255.0");
    smpte->AddressField(2, &text);
    EXPECT_EQ(text.View(), "10.0.0.1");
    EXPECT_EQ(smpte->AddressField(3, &text), QOR_ERROR);
    EXPECT_EQ(text.View(), "");
}

TEST(SmpteSettingsElement, ClockFrequencies) {
    EXPECT_EQ(ReelvoxDataSMPTEInterface_c::ClockFreqIndex(44.1), 3);
    EXPECT_EQ(ReelvoxDataSMPTEInterface_c::ClockFreqIndex(44.1000001), 8);
    ReelvoxDataDocument_c document;
    ReelvoxDataSMPTEInterface_c* smpte = document.Root()->SMPTE();
    ShowXML_c* element = Path(document.XMLRoot(), {"reelvox", "smpte"});
    EXPECT_EQ(smpte->SetClockFreq(3), QOR_OK);
    EXPECT_EQ(AttributeText(element, "clock_freq"), "44.100");
    EXPECT_EQ(smpte->ClockFreq(), 3);
    EXPECT_EQ(smpte->SetClockFreq(2), QOR_OK);
    EXPECT_EQ(AttributeText(element, "clock_freq"), "44.056");
    EXPECT_EQ(smpte->SetClockFreq(8), QOR_ERROR);
    EXPECT_EQ(smpte->ClockFreq(), 2);
    // A frequency outside the table (another tool's, or a damaged file) reads as the default.
    for (const char* text : {"50.000", "junk", "-1"}) {
        ReelvoxDataDocument_c loaded;
        ReelvoxDataSMPTEInterface_c* read =
            LoadSmpte(loaded, std::string("<smpte mode=\"read\" clock_freq=\"") + text + "\" />");
        EXPECT_EQ(read->ClockFreq(), REELVOX_CLOCK_DEFAULT_INDEX) << text;
    }
}

TEST(SmpteSettingsElement, WordTablesReadUnknownTextsAsZero) {
    ReelvoxDataDocument_c document;
    ReelvoxDataSMPTEInterface_c* smpte = LoadSmpte(
        document, "<smpte mode=\"Generate\" unit_type=\"zelk3\" video_format=\"PAL\" "
                  "control_source=\"serial\" bits_capable=\"16\"><end transition=\"LOOP\" />"
                  "</smpte>");
    EXPECT_EQ(smpte->Mode(), REELVOX_MODE_GENERATE);
    EXPECT_EQ(smpte->UnitType(), 3);
    EXPECT_EQ(smpte->VideoFormat(), 1);
    EXPECT_EQ(smpte->ControlSource(), 0);
    EXPECT_EQ(smpte->BitsCapable(), 0);
    EXPECT_EQ(smpte->Transition(), 1);
    EXPECT_EQ(smpte->SetUnitType(4), QOR_ERROR);
    EXPECT_EQ(smpte->SetControlSource(4), QOR_ERROR);
    EXPECT_EQ(smpte->SetTransition(2), QOR_ERROR);
    EXPECT_EQ(smpte->SetBitsCapable(2), QOR_ERROR);
    EXPECT_EQ(smpte->SetBitsCapable(1), QOR_OK);
    EXPECT_EQ(smpte->BitsCapable(), 1);
    EXPECT_EQ(smpte->SetTimecodeOutput(QOR_TRUE), QOR_OK);
    EXPECT_EQ(smpte->TimecodeOutput(), QOR_TRUE);
    EXPECT_EQ(smpte->SetTimecodeOutput(QOR_FALSE), QOR_OK);
    EXPECT_EQ(smpte->TimecodeOutput(), QOR_FALSE);
}

TEST(SmpteSettingsElement, ANodeThatIsNoElementLeavesTheBinderUnbound) {
    ShowXML_c attribute;
    attribute.SetNodeType(QOR_XML_ATTRIBUTE);
    ReelvoxDataSMPTEInterface_c smpte;
    EXPECT_EQ(smpte.Bind(&attribute), QOR_ERROR);
    EXPECT_EQ(smpte.Bind(nullptr), QOR_ERROR);
    EXPECT_EQ(smpte.Element(), nullptr);
    EXPECT_EQ(smpte.SetMode(1), QOR_ERROR);
    EXPECT_EQ(smpte.UnitNumber(), 0);
    EXPECT_EQ(smpte.ClockFreq(), REELVOX_CLOCK_DEFAULT_INDEX);
    EXPECT_EQ(smpte.Triggers(), nullptr);
}
