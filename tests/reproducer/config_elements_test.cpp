#include "reelvox_config_fixture.h"

#include "foundation/variant_value.h"
#include "reproducer/cobranet_elements.h"
#include "reproducer/reproducer_elements.h"
#include "reproducer/smpte_settings_element.h"
#include "reproducer/timecode_trigger_elements.h"

#include <gtest/gtest.h>

#include <vector>

using reelvox_test::AttributeText;
using reelvox_test::CountChildren;
using reelvox_test::Declared;
using reelvox_test::ElementText;
using reelvox_test::LoadText;
using reelvox_test::Path;

namespace {

ReelvoxDataTriggers_c* LoadTriggers(ReelvoxDataDocument_c& document, const std::string& body) {
    LoadText(document, Declared("<reelvox><smpte mode=\"read\"><triggers>" + body +
                                "</triggers></smpte>"
                                "</reelvox>"));
    return document.Root() != nullptr ? document.Root()->SMPTE()->Triggers() : nullptr;
}

ReelvoxDataTrigger_c* TriggerAt(ReelvoxDataTriggers_c* triggers, int index) {
    return dynamic_cast<ReelvoxDataTrigger_c*>(triggers->ItemAt(index, QOR_FALSE));
}

} // namespace

TEST(TriggerElements, ABareTriggerGainsItsDefaults) {
    ReelvoxDataDocument_c document;
    ReelvoxDataTriggers_c* triggers = LoadTriggers(document, "<trigger />");
    ASSERT_NE(triggers, nullptr);
    ShowXML_c* element = Path(document.XMLRoot(), {"reelvox", "smpte", "triggers"});
    EXPECT_EQ(AttributeText(element, "max"), "256");
    ShowXML_c* trigger = Path(element, {"trigger"});
    EXPECT_EQ(ElementText(Path(trigger, {"tm"})), "00:00:00.01");
    EXPECT_EQ(AttributeText(trigger, "name"), "1");
    EXPECT_EQ(AttributeText(trigger, "action"), "play");
    EXPECT_EQ(AttributeText(trigger, "left"), "true");
    EXPECT_EQ(AttributeText(trigger, "right"), "true");
    EXPECT_EQ(AttributeText(trigger, "number"), "1");
}

TEST(TriggerElements, SortKeepsEqualTimesInOrderAndNumbers) {
    ReelvoxDataDocument_c document;
    ReelvoxDataTriggers_c* triggers =
        LoadTriggers(document, "<trigger name=\"10\"><tm>00:00:05.00</tm></trigger>"
                               "<trigger name=\"20\"><tm>00:00:01.00</tm></trigger>"
                               "<trigger name=\"30\"><tm>00:00:01.00</tm></trigger>"
                               "<trigger name=\"40\"><tm>00:00:00.10</tm></trigger>");
    ASSERT_NE(triggers, nullptr);
    const std::vector<std::string> names = {"40", "20", "30", "10"};
    // Binder order and element order agree.
    ShowXML_c* element = Path(document.XMLRoot(), {"reelvox", "smpte", "triggers"});
    std::vector<std::string> elementNames;
    for (QORListNode_c* entry = element->ChildList()->First(); entry != nullptr;
         entry = entry->next) {
        QORXML_c* child = QORXMLNodeOf(entry);
        if (child->NodeType() == QOR_XML_ELEMENT) {
            elementNames.push_back(AttributeText(child, "name"));
        }
    }
    EXPECT_EQ(elementNames, names);
    for (int i = 0; i < 4; ++i) {
        ReelvoxDataTrigger_c* trigger = TriggerAt(triggers, i);
        ASSERT_NE(trigger, nullptr);
        EXPECT_EQ(AttributeText(trigger->Element(), "name"), names[static_cast<std::size_t>(i)]);
        EXPECT_EQ(AttributeText(trigger->Element(), "number"), std::to_string(i + 1));
    }
    EXPECT_EQ(AttributeText(element, "max"), "256");
}

TEST(TriggerElements, FieldReadsFollowTheirTables) {
    ReelvoxDataDocument_c document;
    ReelvoxDataTriggers_c* triggers = LoadTriggers(
        document, "<trigger action=\"PLAY\" socket=\"Both\" unit_address=\"200\" "
                  "location_number=\"0\" location=\"Group\" />"
                  "<trigger action=\"jump\" unit_address=\"60\" location=\"ALL\" />"
                  "<trigger socket=\"secondary\" unit_address=\"49\" location_number=\"7\" />");
    ReelvoxDataTrigger_c* first = TriggerAt(triggers, 0);
    ReelvoxDataTrigger_c* second = TriggerAt(triggers, 1);
    ReelvoxDataTrigger_c* third = TriggerAt(triggers, 2);
    EXPECT_EQ(first->Action(), REELVOX_ACTION_PLAY);
    EXPECT_EQ(first->Socket(), REELVOX_SOCKET_BOTH);
    EXPECT_EQ(first->UnitAddress(), 49);
    EXPECT_EQ(first->LocationNumber(), 1);
    EXPECT_EQ(first->Location(), 1);
    EXPECT_EQ(second->Action(), REELVOX_ACTION_UNKNOWN);
    EXPECT_EQ(second->Socket(), REELVOX_SOCKET_PRIMARY);
    EXPECT_EQ(second->UnitAddress(), 0);
    EXPECT_EQ(second->Location(), 2);
    EXPECT_EQ(third->Socket(), REELVOX_SOCKET_SECONDARY);
    EXPECT_EQ(third->UnitAddress(), 49);
    EXPECT_EQ(third->LocationNumber(), 7);
    EXPECT_EQ(third->Location(), 0);

    // Addresses that would wrap to another controller are not encodable.
    std::uint8_t address = 99;
    EXPECT_EQ(first->EncodableUnitAddress(&address), QOR_ERROR);
    EXPECT_EQ(second->EncodableUnitAddress(&address), QOR_ERROR);
    EXPECT_EQ(third->EncodableUnitAddress(&address), QOR_OK);
    EXPECT_EQ(address, 49);

    EXPECT_EQ(first->SetSocket(16), QOR_ERROR);
    EXPECT_EQ(first->SetSocket(REELVOX_SOCKET_SECONDARY), QOR_OK);
    EXPECT_EQ(first->Socket(), REELVOX_SOCKET_SECONDARY);
    EXPECT_EQ(first->SetAction(12), QOR_OK);
    EXPECT_EQ(AttributeText(first->Element(), "action"), "unknown");
    EXPECT_EQ(first->SetLocation(3), QOR_ERROR);
    QORValue_c name;
    name.SetInt32(700);
    EXPECT_EQ(first->SetName(&name), QOR_OK);
    QORValue_c back;
    first->GetName(&back);
    EXPECT_EQ(back.GetInt(), 700);
}

TEST(ReproducerElements, ProductsGroupsAndFormats) {
    ReelvoxDataDocument_c document;
    LoadText(document,
             Declared("<reelvox><repros max=\"4\"><repro product=\"auto detect\" />"
                      "<repro product=\"Ostrel24 D\" output_format=\"720P (50)\" "
                      "colorspace=\"rgsb\"><groups 2=\"0\" 3=\"enabled\" /></repro>"
                      "<repro product=\"\" output_format=\"1080i\" /></repros></reelvox>"));
    ASSERT_NE(document.Root(), nullptr);
    EXPECT_EQ(document.Root()->Reproducers()->Max(), 4);
    EXPECT_EQ(document.ReproducerElement(1)->Product(), REELVOX_PRODUCT_AUTO_DETECT);
    ReelvoxDataReproducer_c* second = document.ReproducerElement(2);
    EXPECT_EQ(second->Product(), 8);
    EXPECT_EQ(second->OutputFormat(), 5);
    EXPECT_EQ(second->Colorspace(), 1);
    EXPECT_EQ(second->IsInGroup(2), QOR_FALSE);
    EXPECT_EQ(AttributeText(Path(second->Element(), {"groups"}), "2"), "<missing>");
    EXPECT_EQ(second->IsInGroup(3), QOR_TRUE);
    EXPECT_EQ(second->SetGroup(13, QOR_TRUE), QOR_OK);
    EXPECT_EQ(second->SetGroup(14, QOR_TRUE), QOR_ERROR);
    EXPECT_EQ(AttributeText(Path(second->Element(), {"groups"}), "13"), "yes");
    std::uint8_t groups[13] = {};
    EXPECT_EQ(second->Groups(groups), 13);
    EXPECT_EQ(groups[2], 1);
    EXPECT_EQ(groups[12], 1);
    EXPECT_EQ(groups[1], 0);
    EXPECT_EQ(second->Groups(nullptr), QOR_COUNT_ERROR);
    second->SetGroup(3, QOR_FALSE);
    EXPECT_EQ(second->IsInGroup(3), QOR_FALSE);

    ReelvoxDataReproducer_c* third = document.ReproducerElement(3);
    EXPECT_EQ(third->Product(), REELVOX_PRODUCT_AUTO_DETECT);
    EXPECT_EQ(third->OutputFormat(), 0);
    EXPECT_EQ(third->SetProduct(40), QOR_OK);
    EXPECT_EQ(AttributeText(third->Element(), "product"), "Auto Detect");
    EXPECT_EQ(third->SetOsd(9), QOR_OK);
    EXPECT_EQ(AttributeText(third->Element(), "osd"), "Off");
    EXPECT_EQ(third->SetOsd(4), QOR_OK);
    EXPECT_EQ(AttributeText(third->Element(), "osd"), "Activity Log");
}

TEST(CobraNetElements, DefaultChannelPlanOfTwoDevices) {
    ReelvoxDataDocument_c document;
    ReelvoxDataCobraNets_c* cobranets = document.Root()->CobraNets();
    ASSERT_EQ(cobranets->LiveCount(), 2);
    auto* first = dynamic_cast<ReelvoxDataCobraNet_c*>(cobranets->ItemAt(0, QOR_FALSE));
    auto* second = dynamic_cast<ReelvoxDataCobraNet_c*>(cobranets->ItemAt(1, QOR_FALSE));
    EXPECT_EQ(AttributeText(first->Element(), "ip_address"), "192.168.0.252");
    EXPECT_EQ(AttributeText(first->Element(), "conductor"), "0");
    EXPECT_EQ(AttributeText(second->Element(), "ip_address"), "192.168.0.253");
    EXPECT_EQ(AttributeText(second->Element(), "conductor"), "<missing>");
    for (ReelvoxDataCobraNet_c* device : {first, second}) {
        EXPECT_EQ(device->Resolution(), 2);
        EXPECT_EQ(device->SampleRate(), 1);
        EXPECT_EQ(device->Latency(), 1);
        EXPECT_EQ(device->Bundles()->LiveCount(), 4);
    }
    // Bundle numbers and the reproducers of each bundle.
    struct Expect {
        ReelvoxDataCobraNet_c* device;
        int bundle;
        int number;
        int firstRepro; // 0: no repro written
    };
    const Expect plan[] = {{first, 0, 256, 1},  {first, 1, 257, 5},  {first, 2, 258, 0},
                           {first, 3, 259, 0},  {second, 0, 260, 9}, {second, 1, 261, 13},
                           {second, 2, 262, 0}, {second, 3, 263, 0}};
    for (const Expect& e : plan) {
        auto* bundle =
            dynamic_cast<ReelvoxDataCobraNetBundle_c*>(e.device->Bundles()->ItemAt(e.bundle, 253));
        ASSERT_NE(bundle, nullptr);
        EXPECT_EQ(bundle->Number(), e.number);
        ASSERT_EQ(bundle->Channels()->LiveCount(), 8);
        for (int k = 0; k < 8; ++k) {
            auto* channel =
                dynamic_cast<ReelvoxDataCobraNetChannel_c*>(bundle->Channels()->ItemAt(k, 253));
            EXPECT_EQ(channel->IsRight(), k % 2);
            EXPECT_EQ(channel->Repro(), e.firstRepro == 0 ? 0 : e.firstRepro + k / 2);
            const int expectedAudio =
                e.firstRepro == 0 ? 0 : ((e.firstRepro - 1) % 8 + k / 2) * 2 + 1 + k % 2;
            EXPECT_EQ(channel->AudioChannel(), expectedAudio) << e.number << " " << k;
        }
    }
}

TEST(CobraNetElements, ExistingBundlesStayAndAThirdDeviceHasNoAudioChannels) {
    ReelvoxDataDocument_c document;
    LoadText(document, Declared("<reelvox><cobranets><cobranet latency=\"2\"><bundles>"
                                "<bundle number=\"300\" /><bundle number=\"301\" /></bundles>"
                                "</cobranet><cobranet latency=\"3\" /><cobranet />"
                                "</cobranets></reelvox>"));
    ReelvoxDataCobraNets_c* cobranets = document.Root()->CobraNets();
    ASSERT_EQ(cobranets->LiveCount(), 3);
    auto* first = dynamic_cast<ReelvoxDataCobraNet_c*>(cobranets->ItemAt(0, 253));
    EXPECT_EQ(first->Latency(), 2);
    ASSERT_EQ(first->Bundles()->LiveCount(), 4);
    const int numbers[] = {300, 301, 258, 259};
    for (int i = 0; i < 4; ++i) {
        auto* bundle = dynamic_cast<ReelvoxDataCobraNetBundle_c*>(first->Bundles()->ItemAt(i, 253));
        EXPECT_EQ(bundle->Number(), numbers[i]);
    }
    auto* existing = dynamic_cast<ReelvoxDataCobraNetBundle_c*>(first->Bundles()->ItemAt(0, 253));
    EXPECT_EQ(existing->Channels()->LiveCount(), 0);

    auto* second = dynamic_cast<ReelvoxDataCobraNet_c*>(cobranets->ItemAt(1, 253));
    EXPECT_EQ(second->Latency(), 0);
    auto* third = dynamic_cast<ReelvoxDataCobraNet_c*>(cobranets->ItemAt(2, 253));
    EXPECT_EQ(third->DeviceIndex(), 2);
    EXPECT_EQ(AttributeText(third->Element(), "ip_address"), "");
    auto* bundle = dynamic_cast<ReelvoxDataCobraNetBundle_c*>(third->Bundles()->ItemAt(0, 253));
    EXPECT_EQ(bundle->Number(), 264);
    auto* channel = dynamic_cast<ReelvoxDataCobraNetChannel_c*>(bundle->Channels()->ItemAt(0, 253));
    EXPECT_EQ(channel->Repro(), 17);
    EXPECT_EQ(channel->AudioChannel(), 0);

    // A reproducer outside the device's range has no audio channel.
    auto* secondBundle =
        dynamic_cast<ReelvoxDataCobraNetBundle_c*>(second->Bundles()->ItemAt(1, 253));
    auto* right =
        dynamic_cast<ReelvoxDataCobraNetChannel_c*>(secondBundle->Channels()->ItemAt(1, 253));
    EXPECT_EQ(right->Repro(), 13);
    EXPECT_EQ(right->AudioChannel(), 10);
    right->SetRepro(5);
    EXPECT_EQ(right->AudioChannel(), 0);
}
