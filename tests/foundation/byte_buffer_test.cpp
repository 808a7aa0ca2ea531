#include "foundation/byte_buffer.h"
#include "foundation/object_list.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

std::string Readable(const QORBuffer_c& b) {
    if (b.Cursor() == nullptr) {
        return {};
    }
    return std::string(reinterpret_cast<const char*>(b.Cursor()),
                       static_cast<std::size_t>(b.Remaining()));
}

void Fill(QORBuffer_c& b, const std::string& text) {
    ASSERT_EQ(b.Resize(static_cast<std::int32_t>(text.size())), QOR_OK);
    b.CopyIn(static_cast<std::int32_t>(text.size()), text.data());
}

TEST(Buffer, NewBufferIsEmptyAndOwning) {
    QORBuffer_c b;
    EXPECT_EQ(b.Size(), 0);
    EXPECT_EQ(b.Data(), nullptr);
    EXPECT_EQ(b.Cursor(), nullptr);
    EXPECT_EQ(b.Ownership(), QOR_OWNS);
    EXPECT_EQ(b.Tag(), 0);
}

TEST(Buffer, ResizeKeepsContentZeroTerminatesAndRewinds) {
    QORBuffer_c b;
    Fill(b, "hello");
    b.Seek(3);
    EXPECT_EQ(b.Resize(5), QOR_OK); // same size: content kept, cursor back at the start
    EXPECT_EQ(b.Position(), 0);
    EXPECT_EQ(Readable(b), "hello");
    EXPECT_EQ(b.Resize(3), QOR_OK);
    EXPECT_STREQ(reinterpret_cast<const char*>(b.Data()), "hel");
    EXPECT_EQ(b.Resize(6), QOR_OK);
    EXPECT_EQ(std::memcmp(b.Data(), "hel\0\0\0", 7), 0);
    EXPECT_EQ(b.Resize(0), QOR_OK);
    EXPECT_EQ(b.Data(), nullptr);
    EXPECT_EQ(b.Size(), 0);
}

TEST(Buffer, WriteNeverGrowsAndReadStopsAtReadableEnd) {
    QORBuffer_c b;
    Fill(b, "abcdef");
    b.Seek(3);
    EXPECT_EQ(b.Write("XYZUV", 5), 3);
    EXPECT_EQ(b.Size(), 6);
    EXPECT_EQ(b.Remaining(), 0);
    b.Rewind(-1);
    char out[10] = {};
    EXPECT_EQ(b.Read(out, 4), 4);
    EXPECT_STREQ(out, "abcX");
    EXPECT_EQ(b.Read(out, 10), 2);
    EXPECT_EQ(b.Read(out, 10), 0); // the end of the data
    EXPECT_EQ(b.Read(nullptr, 1), 0);
}

TEST(Buffer, SeekClampsWithStatus) {
    QORBuffer_c b;
    Fill(b, "abcd");
    b.Rewind(3); // readable end 3 of size 4
    EXPECT_EQ(b.Seek(-4), QOR_ERROR);
    EXPECT_EQ(b.Position(), 0);
    EXPECT_EQ(b.Seek(9), QOR_ERROR);
    EXPECT_EQ(b.Position(), 3);
    EXPECT_EQ(b.Remaining(), 0);
    EXPECT_EQ(b.Seek(1), QOR_OK);
    EXPECT_EQ(Readable(b), "bc");
    QORBuffer_c empty;
    EXPECT_EQ(empty.Seek(0), QOR_ERROR);
}

TEST(Buffer, SeekByteNextPrev) {
    QORBuffer_c b;
    Fill(b, "a=b;c");
    EXPECT_EQ(b.SeekByte(';'), 3);
    EXPECT_EQ(b.SeekByte(';'), 3); // the byte under the cursor counts
    EXPECT_EQ(b.SeekByte('='), -2);
    EXPECT_EQ(b.Position(), 3);
    EXPECT_EQ(b.Next(), QOR_OK);
    EXPECT_EQ(b.Next(), QOR_OK);
    EXPECT_EQ(b.Next(), QOR_ERROR); // nothing remains
    b.Rewind(-1);
    EXPECT_EQ(b.Prev(), QOR_ERROR);
}

TEST(Buffer, CopyInCopyOutAreBoundedBySize) {
    QORBuffer_c b;
    ASSERT_EQ(b.Resize(4), QOR_OK);
    EXPECT_EQ(b.CopyIn(10, "0123456789"), 4);
    EXPECT_EQ(Readable(b), "0123");
    EXPECT_EQ(b.CopyIn(2, "ab"), 2);
    EXPECT_EQ(Readable(b), "ab");
    char out[8] = {};
    EXPECT_EQ(b.CopyOut(8, out), 4);
    EXPECT_STREQ(out, "ab23");
}

TEST(Buffer, AttachBorrowsAndRefusesWhenHoldingStorage) {
    std::uint8_t outside[3] = {'x', 'y', 'z'};
    QORBuffer_c b;
    EXPECT_EQ(b.Attach(outside, 3, QOR_BORROWS), QOR_OK);
    EXPECT_EQ(Readable(b), "xyz");
    std::uint8_t other[1] = {'q'};
    EXPECT_EQ(b.Attach(other, 1, QOR_BORROWS), QOR_ERROR);
    EXPECT_EQ(b.Data(), outside);
    EXPECT_EQ(b.Attach(nullptr, 0, QOR_BORROWS), QOR_OK);
    EXPECT_EQ(b.Size(), 0);
    // Growing a borrowed buffer copies into owned storage and leaves the outside bytes alone.
    ASSERT_EQ(b.Attach(outside, 3, QOR_BORROWS), QOR_OK);
    EXPECT_EQ(b.Resize(4), QOR_OK);
    EXPECT_EQ(b.Ownership(), QOR_OWNS);
    b.Zero();
    EXPECT_EQ(outside[0], 'x');
}

TEST(Buffer, PrependFillAndZero) {
    QORBuffer_c b;
    Fill(b, "42");
    EXPECT_EQ(b.PrependFill(3, '0'), QOR_OK);
    EXPECT_EQ(Readable(b), "00042");
    EXPECT_EQ(b.Data()[5], 0);
    EXPECT_EQ(b.PrependFill(0, '0'), QOR_ERROR);
    QORBuffer_c empty;
    EXPECT_EQ(empty.PrependFill(2, 'x'), QOR_OK);
    EXPECT_EQ(Readable(empty), "xx");
    EXPECT_EQ(b.Zero(), 5);
    EXPECT_EQ(std::string(5, '\0'), Readable(b));
}

TEST(Buffer, CopyToCopiesUpToReadableEnd) {
    QORBuffer_c a;
    Fill(a, "abcdef");
    a.SetTag(3);
    a.Rewind(4);
    QORBuffer_c b;
    Fill(b, "zz");
    EXPECT_EQ(a.CopyTo(&b), QOR_OK);
    EXPECT_EQ(Readable(b), "abcd");
    EXPECT_EQ(b.Tag(), 3);
    a.Rewind(0);
    EXPECT_EQ(a.CopyTo(&b), QOR_OK);
    EXPECT_EQ(b.Size(), 0);
    std::unique_ptr<QORObject_c> clone = a.Clone();
    ASSERT_NE(dynamic_cast<QORBuffer_c*>(clone.get()), nullptr);
    std::unique_ptr<QORBuffer_c> made = QORBuffer_c::New(7);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->Remaining(), 7);
}

std::vector<std::string> Pieces(const QORList_c& list) {
    std::vector<std::string> out;
    for (QORListNode_c* n = list.First(); n != nullptr; n = n->next) {
        out.push_back(Readable(*static_cast<QORBuffer_c*>(n->object)));
    }
    return out;
}

TEST(Buffer, SplitCases) {
    struct Case {
        const char* text;
        std::int32_t answer;
        std::vector<std::string> pieces;
    };
    const Case cases[] = {
        {"a.b..c", 4, {"a", "b", "", "c"}},
        {"a.b.", 2, {"a", "b"}},
        {".a", 2, {"", "a"}},
        {"abc", 1, {"abc"}},
        {"", 0, {}},
    };
    for (const Case& c : cases) {
        QORBuffer_c b;
        Fill(b, c.text);
        QORList_c list;
        EXPECT_EQ(b.Split(&list, '.'), c.answer) << c.text;
        EXPECT_EQ(Pieces(list), c.pieces) << c.text;
        EXPECT_EQ(b.Position(), 0);
    }
}

TEST(Buffer, SplitStartsAtCursorAndRefusesBorrowingList) {
    QORBuffer_c b;
    Fill(b, "x;y;z");
    b.Seek(2);
    QORList_c list;
    EXPECT_EQ(b.Split(&list, ";"), 2);
    EXPECT_EQ(Pieces(list), (std::vector<std::string>{"y", "z"}));
    QORList_c borrowing;
    borrowing.SetOwnership(QOR_BORROWS);
    EXPECT_EQ(b.Split(&borrowing, ';'), -2);
    EXPECT_EQ(b.Split(nullptr, ';'), -2);
    EXPECT_EQ(b.Split(&list, static_cast<const char*>(nullptr)), -2);
}

} // namespace
