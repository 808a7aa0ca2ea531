#include "pactwright/core/command_tree_model.h"
#include "pactwright/core/item_rows.h"
#include "pactwright/core/protocol_listing.h"

#include <gtest/gtest.h>

namespace {

using namespace pactwright;

std::string Headings(const std::vector<GridRow>& rows) {
    std::string s;
    for (const auto& row : rows)
        s += (s.empty() ? "" : ",") + row.heading;
    return s;
}

std::unique_ptr<CProtocol> OneCommand(int params, int bytes) {
    auto owned = std::make_unique<CProtocol>();
    CProtocol& p = *owned;
    auto c = std::make_unique<CCmnd>("Lamp:On");
    for (int n = 0; n < params; ++n)
        c->m_Params[static_cast<std::size_t>(n)].m_strText = "p" + std::to_string(n + 1);
    for (int n = 0; n < bytes; ++n)
        c->m_strBytes[static_cast<std::size_t>(n)] = "b" + std::to_string(n + 1);
    c->m_nParamCount = params;
    c->m_nByteCount = bytes;
    p.m_poCmndList.push_back(std::move(c));
    return owned;
}

TEST(ItemRows, ShowsTheDeviceACategoryNoteOrACommand) {
    auto owned = OneCommand(10, 20);
    CProtocol& p = *owned;
    p.m_strPath = "/x.pcl";
    const auto device = RowsOfItem(p, kDeviceItem);
    ASSERT_EQ(device.size(), 18u);
    EXPECT_EQ(Headings(device),
              "Description,File Name,Version,Location,Date,Author,Maker,Model,Supported,Interface,"
              "Type,Data Bits,Stop Bits,Parity,Baud Rate,Address,Protocol,BrevantType");
    EXPECT_EQ(device[1].data, "/x.pcl");
    const auto note = RowsOfItem(p, kCategoryItem);
    ASSERT_EQ(note.size(), 1u);
    EXPECT_EQ(note[0].heading, "This is a Command Category.");
    EXPECT_EQ(note[0].data, "Expand its tree and select a specific command.");
    const auto full = RowsOfItem(p, 1);
    EXPECT_EQ(full.size(), 38u); // 7 fixed, 10 + 20, Message
    EXPECT_EQ(full[16].heading, "Param10");
    EXPECT_EQ(full[37].heading, "Message");
    EXPECT_EQ(Headings(RowsOfItem(*OneCommand(1, 1), 1)),
              "Name,Description,Supported,MsgAck,CmpAck,Timeout,Retries,Param1,Byte1,Message");
    EXPECT_TRUE(RowsOfItem(p, 2).empty());
}

TEST(ItemRows, StoresEditsByRowAndHeading) {
    struct Case {
        int item, row;
        const char* heading;
        const char* text;
        bool stored, rebuild;
        std::string CProtocol::*device;
        std::string CCmnd::*command;
        const char* expected;
    } cases[] = {
        {0, 0, "Description", "Dev", true, true, &CProtocol::m_strDescription, nullptr, "Dev"},
        {0, 1, "File Name", "/y.pcl", true, false, &CProtocol::m_strPath, nullptr, "/y.pcl"},
        {0, 17, "BrevantType", "Show", true, false, &CProtocol::m_strBrevantType, nullptr, "Show"},
        {0, 9, "Interface", "a\r\nb\nc\rd", true, false, &CProtocol::m_strInterface, nullptr,
         "a b c d"},
        {1, 0, "Name", "Lamp:Off", true, true, nullptr, &CCmnd::m_strName, "Lamp:Off"},
        {1, 0, "Name", "Bad]Name", false, false, nullptr, &CCmnd::m_strName, "Lamp:On"},
        {1, 0, "Name", "", false, false, nullptr, &CCmnd::m_strName, "Lamp:On"},
        {1, 3, "MsgAck", "h06", true, false, nullptr, &CCmnd::m_strMessageAck, "h06"},
        {1, 6, "Retries", "4", true, false, nullptr, &CCmnd::m_strRetries, "4"},
        {1, 9, "Message", "h01", true, false, nullptr, &CCmnd::m_strMessage, "h01"},
        {1, 9, "Other", "x", false, false, nullptr, &CCmnd::m_strMessage, ""},
        {-1, 0, "This is a Command Category.", "x", false, false, nullptr, nullptr, ""},
        {7, 0, "Name", "x", false, false, nullptr, nullptr, ""},
    };
    for (const auto& c : cases) {
        auto owned = OneCommand(1, 1);
        CProtocol& p = *owned;
        const StoreResult r = StoreItemText(p, c.item, c.row, c.heading, c.text);
        EXPECT_EQ(r.stored, c.stored) << c.heading << " " << c.text;
        EXPECT_EQ(r.rebuildTree, c.rebuild) << c.heading << " " << c.text;
        if (c.device) {
            EXPECT_EQ(p.*c.device, c.expected);
        }
        if (c.command) {
            EXPECT_EQ(*p.m_poCmndList[0].*c.command, c.expected) << c.heading << " " << c.text;
        }
        EXPECT_EQ(r.refusal.empty(), std::string(c.heading) != "Name" || c.stored || c.item != 1);
    }
    auto owned = OneCommand(10, 20);
    CProtocol& p = *owned;
    EXPECT_TRUE(StoreItemText(p, 1, 16, "Param10", "last").stored);
    EXPECT_TRUE(StoreItemText(p, 1, 36, "Byte20", "end").stored);
    EXPECT_EQ(p.m_poCmndList[0]->m_Params[9].m_strText, "last");
    EXPECT_EQ(p.m_poCmndList[0]->m_strBytes[19], "end");
}

TEST(ItemRows, AddsAndRemovesParametersAndByteLines) {
    auto owned = OneCommand(3, 20);
    CProtocol& p = *owned;
    CCmnd& c = *p.m_poCmndList[0];
    ASSERT_TRUE(RemoveParam(c, ParamNumber("Param2")));
    EXPECT_EQ(c.m_nParamCount, 2);
    EXPECT_EQ(c.m_Params[1].m_strText, "p3");
    EXPECT_EQ(c.m_Params[2].m_strText, "");
    EXPECT_FALSE(AddByte(c)); // twenty in use
    ASSERT_TRUE(RemoveByte(c, ByteNumber("Byte20")));
    EXPECT_EQ(c.m_nByteCount, 19);
    ASSERT_TRUE(AddByte(c));
    EXPECT_EQ(c.m_strBytes[19], "New Byte");
    ASSERT_TRUE(AddParam(c));
    EXPECT_EQ(c.m_Params[2].m_strText, "New Param");
    for (const char* heading : {"Param", "Param0", "Param11", "Param1x", "Byte21", "Name"})
        EXPECT_EQ(ParamNumber(heading) + ByteNumber(heading), 0) << heading;
}

TEST(Listing, LabelsEveryLineAndOpensEachCommandWithASectionLine) {
    auto owned = OneCommand(2, 1);
    CProtocol& p = *owned;
    p.m_strDescription = "Dev";
    p.m_strBrevantType = "Show Controller";
    p.m_poCmndList[0]->m_strMessage = "h01";
    const std::string listing = BuildListing(p);
    EXPECT_EQ(listing.substr(0, 21), "[   Protocol:   Dev\r\n");
    EXPECT_NE(listing.find("\r\n  BrevantType:  Show Controller\r\n\r\n[                     "
                           "Lamp:On\r\n  Description: \r\n"),
              std::string::npos);
    EXPECT_NE(listing.find("  Param01:     p1\r\n  Param02:     p2\r\n  Byte01:      b1\r\n"
                           "  Message:     h01\r\n"),
              std::string::npos);
    CProtocol empty;
    const std::string lines = BuildListing(empty);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), '\n'), 18);
}

} // namespace
