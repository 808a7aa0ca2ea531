#include "foundation/object_list.h"
#include "foundation/text_string.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Counts live instances so that ownership is visible.
class Counted_c : public QORObject_c {
public:
    static int alive;
    explicit Counted_c(int id = 0) : id(id) { ++alive; }
    ~Counted_c() override { --alive; }
    std::unique_ptr<QORObject_c> Create() const override { return std::make_unique<Counted_c>(); }
    std::uint8_t CopyTo(QORObject_c* target) const override {
        std::uint8_t status = QORObject_c::CopyTo(target);
        if (status == QOR_OK) {
            static_cast<Counted_c*>(target)->id = id;
        }
        return status;
    }
    int id;
};
int Counted_c::alive = 0;

std::vector<int> Ids(const QORList_c& list) {
    std::vector<int> ids;
    for (QORListNode_c* n = list.First(); n != nullptr; n = n->next) {
        ids.push_back(n->object != nullptr ? static_cast<Counted_c*>(n->object)->id : -1);
    }
    return ids;
}

int CurrentId(const QORList_c& list) {
    return static_cast<Counted_c*>(list.Current())->id;
}

TEST(List, InsertOnEmptyListMakesTheOnlyNode) {
    for (bool after : {true, false}) {
        QORList_c list;
        auto* o = new Counted_c(1);
        EXPECT_EQ(after ? list.InsertAfter(o) : list.InsertBefore(o), QOR_OK);
        EXPECT_EQ(list.First(), list.Last());
        EXPECT_EQ(list.CursorNode(), list.First());
        EXPECT_EQ(list.Current(), o);
        EXPECT_EQ(list.Count(), 1);
    }
    EXPECT_EQ(Counted_c::alive, 0);
}

TEST(List, InsertMovesCursorAndKeepsOrder) {
    QORList_c list;
    list.InsertAfter(new Counted_c(1));
    list.InsertAfter(new Counted_c(3));
    list.InsertBefore(new Counted_c(2));
    list.InsertAfter(nullptr);
    EXPECT_EQ(Ids(list), (std::vector<int>{1, 2, -1, 3}));
    EXPECT_EQ(list.CurrentIndex(), 2);
    EXPECT_EQ(list.HasNext(), QOR_TRUE);
    ASSERT_EQ(list.SelectIndex(3), QOR_OK);
    EXPECT_EQ(list.HasNext(), QOR_FALSE);
    EXPECT_EQ(list.SelectIndex(4), QOR_ERROR);
    EXPECT_EQ(list.CurrentIndex(), 3);
}

TEST(List, RemoveCurrentDirections) {
    QORList_c list;
    for (int i = 1; i <= 4; ++i) {
        list.InsertAfter(new Counted_c(i));
    }
    list.SelectIndex(0);
    EXPECT_EQ(list.RemoveCurrent(QOR_TOWARDS_FRONT), QOR_OK); // no previous: the next one
    EXPECT_EQ(CurrentId(list), 2);
    list.SelectIndex(2);
    EXPECT_EQ(list.RemoveCurrent(0), QOR_OK); // no next: the previous one
    EXPECT_EQ(CurrentId(list), 3);
    EXPECT_EQ(list.Last()->object, list.Current());
    list.SelectIndex(1);
    list.RemoveCurrent(QOR_TOWARDS_FRONT);
    EXPECT_EQ(CurrentId(list), 2);
    EXPECT_EQ(list.RemoveCurrent(0), QOR_OK);
    EXPECT_EQ(list.Current(), nullptr);
    EXPECT_EQ(list.First(), nullptr);
    EXPECT_EQ(list.RemoveCurrent(0), QOR_ERROR);
    EXPECT_EQ(list.CurrentIndex(), -2);
    EXPECT_EQ(Counted_c::alive, 0);
}

TEST(List, BorrowingListKeepsObjectsAlive) {
    Counted_c a(1), b(2), c(3);
    {
        QORList_c list;
        list.SetOwnership(QOR_BORROWS);
        list.InsertAfter(&a);
        list.InsertAfter(&b);
        list.InsertAfter(&c);
        list.RemoveCurrent(0);
        list.Clear();
        list.InsertAfter(&a);
    }
    EXPECT_EQ(Counted_c::alive, 3);
}

TEST(List, SelectByObjectAndNode) {
    QORList_c list;
    auto* a = new Counted_c(1);
    auto* b = new Counted_c(2);
    list.InsertAfter(a);
    list.InsertAfter(b);
    EXPECT_EQ(list.Select(a), QOR_OK);
    EXPECT_EQ(list.Current(), a);
    Counted_c stranger;
    EXPECT_EQ(list.Select(&stranger), QOR_ERROR);
    EXPECT_EQ(list.Current(), a);
    EXPECT_EQ(list.SelectNode(list.Last()), QOR_OK);
    EXPECT_EQ(list.Current(), b);
    QORListNode_c foreign;
    EXPECT_EQ(list.SelectNode(&foreign), QOR_ERROR);
}

TEST(List, CopyToClonesInOrderAndKeepsBorrowing) {
    QORList_c source;
    source.InsertAfter(new Counted_c(1));
    source.InsertAfter(nullptr);
    source.InsertAfter(new Counted_c(3));
    QORList_c target;
    target.InsertAfter(new Counted_c(9));
    EXPECT_EQ(source.CopyTo(&target), QOR_OK);
    EXPECT_EQ(Ids(target), (std::vector<int>{1, -1, 3}));
    EXPECT_EQ(target.CursorNode(), target.Last());
    EXPECT_NE(target.First()->object, source.First()->object);
    EXPECT_EQ(target.Ownership(), QOR_OWNS);
    EXPECT_EQ(source.CopyTo(nullptr), QOR_ERROR);

    Counted_c kept(5);
    QORList_c borrowing;
    borrowing.SetOwnership(QOR_BORROWS);
    borrowing.InsertAfter(&kept);
    QORList_c copy;
    EXPECT_EQ(borrowing.CopyTo(&copy), QOR_OK);
    EXPECT_EQ(copy.Ownership(), QOR_BORROWS);
    ASSERT_NE(copy.Current(), &kept);
    EXPECT_EQ(CurrentId(copy), 5);
    // The borrowing copy does not free its clones; the test does.
    std::unique_ptr<QORObject_c> clone(copy.Current());
    copy.Clear();
}

TEST(Compare, TextAndByteCompares) {
    struct Case {
        const char* a;
        const char* b;
        int n;
        std::uint8_t textN, noCaseN, bytes;
    };
    const Case cases[] = {
        {"abc", "abd", 3, 1, 1, 255}, {"abd", "abc", 3, 255, 255, 1},
        {"abc", "abd", 2, 0, 0, 0},   {"Hello", "hELLO", 5, 1, 0, 255},
        {"a", "B", 1, 255, 255, 1},  // raw 'B' is below 'a'
        {"\x80", "a", 1, 1, 1, 1},   // signed: 0x80 sorts before ASCII; unsigned after
        {"ab", "abc", 5, 1, 1, 255}, // the shorter text ends first
        {"ab", "ab", 9, 0, 0, 0},    // both end together
    };
    for (const Case& c : cases) {
        EXPECT_EQ(QORCompareTextN(c.n, c.a, c.b), c.textN) << c.a << " " << c.b;
        EXPECT_EQ(QORCompareTextNoCaseN(c.a, c.b, c.n), c.noCaseN) << c.a << " " << c.b;
        EXPECT_EQ(QORCompareBytes(c.a, c.b, std::min<int>(c.n, 3)), c.bytes) << c.a << c.b;
    }
    EXPECT_EQ(QORCompareTextNoCase("Hello", "hELLO"), 0);
    EXPECT_EQ(QORCompareTextNoCase("Hello", "hELLOx"), 1);
    EXPECT_EQ(QORCompareTextN(3, nullptr, "a"), 254);
    EXPECT_EQ(QORCompareBytes("a", nullptr, 1), 254);
    EXPECT_EQ(QORCompareTextNoCase(nullptr, "a"), 254);
}

TEST(FileTime, ToSecondsSince1970) {
    const std::uint64_t t = 116444736000000000ULL + 12345ULL * 10000000ULL + 678ULL * 10000ULL;
    std::uint32_t ms = 0;
    std::int64_t seconds = 0;
    EXPECT_EQ(QORFileTimeToSeconds(&t, &ms, &seconds, 45), QOR_OK);
    EXPECT_EQ(ms, 678u);
    EXPECT_EQ(seconds, 12300);
    EXPECT_EQ(QORFileTimeToSeconds(&t, nullptr, &seconds, 0), QOR_OK);
    EXPECT_EQ(seconds, 12345);
    EXPECT_EQ(QORFileTimeToSeconds(nullptr, &ms, &seconds, 0), QOR_ERROR);
    EXPECT_EQ(QORFileTimeToSeconds(&t, &ms, nullptr, 0), QOR_ERROR);
}

} // namespace
