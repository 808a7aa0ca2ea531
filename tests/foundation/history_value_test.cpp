#include "foundation/history_value.h"
#include "foundation/text_string.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<std::int32_t> Entries(QORHistoryValue_c& v) {
    std::vector<std::int32_t> out;
    for (auto* node = v.History()->First(); node != nullptr; node = node->next) {
        out.push_back(static_cast<QORValue_c*>(node->object)->GetInt());
    }
    return out;
}

TEST(HistoryValue, CommitRecordsOnlyChanges) {
    QORHistoryValue_c v;
    v.SetText("abc");
    EXPECT_EQ(v.Commit(), 0) << "making the history records the value";
    EXPECT_EQ(v.History()->Count(), 1);
    EXPECT_EQ(v.Commit(), 0);
    v.SetText("ABC");
    EXPECT_EQ(v.Commit(), 2) << "texts compare with case";
    v.SetInt32(5);
    EXPECT_EQ(v.Commit(), 2);
    v.SetInt32(5);
    EXPECT_EQ(v.Commit(), 0);
    EXPECT_EQ(v.History()->Count(), 3);
    auto* newest = dynamic_cast<QORValue_c*>(v.History()->First()->object);
    ASSERT_NE(newest, nullptr);
    EXPECT_EQ(dynamic_cast<QORHistoryValue_c*>(newest), nullptr) << "entries are plain values";
}

TEST(HistoryValue, DepthLimitsTheEntries) {
    QORHistoryValue_c v;
    v.SetInt32(1);
    v.SetDepth(2);
    for (int i = 1; i <= 4; ++i) {
        v.SetInt32(i);
        v.Commit();
    }
    EXPECT_EQ(Entries(v), (std::vector<std::int32_t>{4, 3, 2}));
    v.SetDepth(1);
    EXPECT_EQ(Entries(v), (std::vector<std::int32_t>{4}));
    v.SetDepth(-7);
    EXPECT_EQ(v.Depth(), -1);
    v.SetDepth(0);
    v.SetInt32(9);
    EXPECT_EQ(v.Commit(), 254);
    EXPECT_EQ(v.History()->Count(), 0);
}

TEST(HistoryValue, CopyTakesValueDepthAndHistory) {
    QORHistoryValue_c v;
    v.SetDepth(3);
    for (int i = 1; i <= 3; ++i) {
        v.SetInt32(i);
        v.Commit();
    }
    auto clone = v.Clone();
    auto* copy = dynamic_cast<QORHistoryValue_c*>(clone.get());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->GetInt(), 3);
    EXPECT_EQ(copy->Depth(), 3);
    EXPECT_EQ(Entries(*copy), Entries(v));
    QORValue_c plain;
    EXPECT_EQ(v.CopyTo(&plain), 254);
}

} // namespace
