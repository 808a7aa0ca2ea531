#include "reelvox_config_fixture.h"

#include "reproducer/cobranet_elements.h"
#include "reproducer/port_info_elements.h"
#include "reproducer/reproducer_elements.h"
#include "reproducer/smpte_settings_element.h"

#include <gtest/gtest.h>

using reelvox_test::AttributeText;
using reelvox_test::CountChildren;
using reelvox_test::Declared;
using reelvox_test::LoadText;
using reelvox_test::Path;
using reelvox_test::SaveText;

TEST(ReelvoxDataDocument, BindingAnEmptyDocumentCreatesEverySectionWithDefaults) {
    ReelvoxDataDocument_c document;
    ASSERT_NE(document.Root(), nullptr);
    ShowXML_c* root = Path(document.XMLRoot(), {"reelvox"});
    ASSERT_NE(root, nullptr);
    for (const char* section : {"info", "port", "states", "smpte", "repros", "cobranets"}) {
        EXPECT_NE(Path(root, {section}), nullptr) << section;
    }
    EXPECT_EQ(CountChildren(Path(root, {"cobranets"}), "cobranet"), 2);
    EXPECT_EQ(CountChildren(Path(root, {"repros"}), "repro"), 0);
    EXPECT_EQ(AttributeText(Path(root, {"repros"}), "max"), "16");
    // ignore_errors appears only once it is read or written.
    EXPECT_EQ(AttributeText(root, "ignore_errors"), "<missing>");
    EXPECT_EQ(document.Root()->IgnoreErrors(), QOR_FALSE);
    EXPECT_EQ(AttributeText(root, "ignore_errors"), "");
    EXPECT_EQ(document.Root()->SetIgnoreErrors(QOR_TRUE), QOR_OK);
    EXPECT_EQ(AttributeText(root, "ignore_errors"), "true");
}

TEST(ReelvoxDataDocument, SavedConfigurationLoadsBackToTheSameText) {
    ReelvoxDataDocument_c first;
    ReelvoxData_c* root = first.Root();
    ASSERT_NE(root, nullptr);
    root->SetIgnoreErrors(QOR_TRUE);
    root->States()->SetEnabled(REELVOX_STATE_SMPTE, QOR_TRUE);
    root->SMPTE()->SetUnitType(3);
    root->SMPTE()->SetClockFreq(7);
    first.ReproducerElement(2)->SetProduct(8);
    const std::string text = SaveText(first);
    ASSERT_FALSE(text.empty());

    ReelvoxDataDocument_c second;
    ASSERT_GT(LoadText(second, text), 0);
    ASSERT_NE(second.Root(), nullptr);
    EXPECT_EQ(second.Root()->IgnoreErrors(), QOR_TRUE);
    EXPECT_EQ(second.Root()->States()->IsEnabled(REELVOX_STATE_SMPTE), QOR_TRUE);
    EXPECT_EQ(second.Root()->SMPTE()->UnitType(), 3);
    EXPECT_EQ(second.Root()->SMPTE()->ClockFreq(), 7);
    EXPECT_EQ(second.ReproducerElement(2)->Product(), 8);
    EXPECT_EQ(SaveText(second), text);
}

TEST(ReelvoxDataDocument, LoadRebindsTheNewTree) {
    ReelvoxDataDocument_c document;
    ASSERT_NE(document.Root(), nullptr);
    EXPECT_EQ(document.Root()->SMPTE()->UnitType(), 0);
    LoadText(document, Declared("<reelvox><smpte mode=\"read\" unit_type=\"big\" /></reelvox>"));
    ASSERT_NE(document.Root(), nullptr);
    EXPECT_EQ(document.Root()->SMPTE()->UnitType(), 1);
    EXPECT_EQ(document.Root()->SMPTE()->Mode(), REELVOX_MODE_READ);
}

TEST(ReelvoxDataDocument, StatesReadBothAttributeNamesAndDoNotGrowOnRead) {
    ReelvoxDataDocument_c document;
    LoadText(document, Declared("<reelvox><states><state name=\"smpte\" enabled=\"TRUE\" />"
                                "<state name=\"cobranet\" eb=\"false\" /></states></reelvox>"));
    ReelvoxDataStates_c* states = document.Root()->States();
    EXPECT_EQ(states->IsEnabled(REELVOX_STATE_SMPTE), QOR_TRUE);
    EXPECT_EQ(states->IsEnabled(REELVOX_STATE_COBRANET), QOR_FALSE);
    ShowXML_c* element = Path(document.XMLRoot(), {"reelvox", "states"});
    EXPECT_EQ(states->IsEnabled(REELVOX_STATE_VIDEO_SETTINGS), QOR_FALSE);
    EXPECT_EQ(states->IsEnabled(9), QOR_FALSE);
    EXPECT_EQ(CountChildren(element, "state"), 2);

    EXPECT_EQ(states->SetEnabled(REELVOX_STATE_VIDEO_SETTINGS, QOR_TRUE), QOR_OK);
    EXPECT_EQ(states->SetEnabled(5, QOR_TRUE), QOR_ERROR);
    EXPECT_EQ(CountChildren(element, "state"), 3);
    EXPECT_NE(SaveText(document).find("<state name=\"video_settings\" eb=\"true\""),
              std::string::npos);
    // The state written under the old name keeps it.
    states->SetEnabled(REELVOX_STATE_SMPTE, QOR_FALSE);
    EXPECT_NE(SaveText(document).find("enabled=\"false\""), std::string::npos);
}

TEST(ReelvoxDataDocument, TransportKindsWriteTheirPortTypes) {
    struct Case {
        std::uint8_t kind;
        std::uint8_t status;
        const char* type;
    };
    const Case cases[] = {{0, QOR_OK, "null"},
                          {1, QOR_OK, "serial"},
                          {2, QOR_OK, "ethernet"},
                          {7, QOR_ERROR, "null"}};
    ReelvoxDataDocument_c document;
    ShowXML_c* port = Path(document.XMLRoot(), {"reelvox", "port"});
    for (const Case& c : cases) {
        EXPECT_EQ(document.Root()->SetTransport(c.kind), c.status) << int(c.kind);
        port = Path(document.XMLRoot(), {"reelvox", "port"});
        EXPECT_EQ(AttributeText(port, "type"), c.type) << int(c.kind);
    }
}

TEST(ReelvoxDataDocument, ReproducerElementCreatesUnitsUpToTheOneAskedFor) {
    ReelvoxDataDocument_c document;
    EXPECT_EQ(document.ReproducerElement(0), nullptr);
    ReelvoxDataReproducer_c* third = document.ReproducerElement(3);
    ASSERT_NE(third, nullptr);
    EXPECT_EQ(CountChildren(Path(document.XMLRoot(), {"reelvox", "repros"}), "repro"), 3);
    EXPECT_EQ(document.ReproducerElement(3), third);
}

TEST(ReelvoxDataDocument, ABorrowedBufferTooSmallIsNotReportedSaved) {
    ReelvoxDataDocument_c document;
    ASSERT_NE(document.Root(), nullptr);
    SaveText(document);
    ASSERT_EQ(document.IsModified(), QOR_FALSE);
    document.Root()->SetIgnoreErrors(QOR_TRUE);
    document.Root()->SetIgnoreErrors(QOR_FALSE);
    ASSERT_EQ(document.IsModified(), QOR_TRUE);

    std::uint8_t small[32] = {};
    QORBuffer_c buffer;
    buffer.Attach(small, sizeof small, QOR_BORROWS);
    EXPECT_EQ(document.Save(&buffer), QOR_COUNT_ERROR);
    EXPECT_EQ(document.IsModified(), QOR_TRUE);

    const std::string text = SaveText(document);
    std::string room(text.size(), '\0');
    QORBuffer_c exact;
    exact.Attach(reinterpret_cast<std::uint8_t*>(room.data()),
                 static_cast<std::int32_t>(room.size()), QOR_BORROWS);
    EXPECT_EQ(document.Save(&exact), static_cast<std::int32_t>(text.size()));
    EXPECT_EQ(room, text);
}
