#include "foundation/object.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Copies fail on purpose, to show that Clone leaves nothing behind.
class FailingCopy_c : public QORObject_c {
public:
    static int alive;
    FailingCopy_c() { ++alive; }
    ~FailingCopy_c() override { --alive; }
    std::unique_ptr<QORObject_c> Create() const override {
        return std::make_unique<FailingCopy_c>();
    }
    std::uint8_t CopyTo(QORObject_c* target) const override {
        QORObject_c::CopyTo(target);
        return QOR_ERROR;
    }
};
int FailingCopy_c::alive = 0;

// A subclass without its own Create clones into a bare object.
class Stateful_c : public QORObject_c {
public:
    int state = 7;
};

class RecordingWriter_c : public QORWriter_c {
public:
    int calls = 0;
    std::string bytes;
    std::int32_t Write(const void* source, std::int32_t length) override {
        ++calls;
        bytes.append(static_cast<const char*>(source), static_cast<std::size_t>(length));
        return length;
    }
};

TEST(Object, CopyToNullTargetFailsAndTagTravels) {
    QORObject_c a;
    a.SetTag(9);
    EXPECT_EQ(a.CopyTo(nullptr), QOR_ERROR);
    QORObject_c b;
    EXPECT_EQ(a.CopyTo(&b), QOR_OK);
    EXPECT_EQ(b.Tag(), 9);
}

TEST(Object, CloneWhoseCopyFailsLeavesNoObject) {
    FailingCopy_c source;
    EXPECT_EQ(source.Clone(), nullptr);
    EXPECT_EQ(FailingCopy_c::alive, 1);
}

TEST(Object, CloneOfClassWithoutCreateIsBareObjectWithTag) {
    Stateful_c s;
    s.SetTag(5);
    std::unique_ptr<QORObject_c> copy = s.Clone();
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->Tag(), 5);
    EXPECT_EQ(dynamic_cast<Stateful_c*>(copy.get()), nullptr);
}

TEST(Writer, WriteTextSkipsNullAndEmpty) {
    RecordingWriter_c w;
    EXPECT_EQ(QORWriter_c::WriteText(&w, nullptr), 0);
    EXPECT_EQ(QORWriter_c::WriteText(&w, ""), 0);
    EXPECT_EQ(w.calls, 0);
    EXPECT_EQ(QORWriter_c::WriteText(&w, "abc"), 3);
    EXPECT_EQ(w.bytes, "abc");
}

TEST(ByteOrder, LittleEndianHostAndSwap) {
    EXPECT_EQ(QORHostByteOrder(), QOR_OK);
    EXPECT_EQ(QORByteSwap32(0x11223344u), 0x44332211u);
}

} // namespace
