#include "foundation/variant_value.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Text(QORValue_c& v) {
    return std::string(v.GetText()->View());
}

std::string Bytes(QORValue_c& v, std::uint8_t* status = nullptr) {
    QORBuffer_c* b = v.GetBytes(status);
    return std::string(reinterpret_cast<const char*>(b->Data() ? b->Data() : b->Cursor()),
                       static_cast<std::size_t>(b->ReadableEnd()));
}

TEST(Value, NewValueIsNoneWithEveryFormValid) {
    QORValue_c v;
    EXPECT_EQ(v.Type(), QOR_TYPE_NONE);
    EXPECT_EQ(v.Decimals(), 2);
    std::uint8_t s = 0;
    EXPECT_EQ(v.GetInt(&s), 0);
    EXPECT_EQ(s, QOR_OK);
    EXPECT_EQ(Text(v), "");
}

TEST(Value, IntegerSettersAndTheirBytes) {
    struct Case {
        void (*set)(QORValue_c&);
        std::uint8_t type;
        std::int32_t integer;
        const char* text;
        std::string bytes;
    };
    const Case cases[] = {
        {[](QORValue_c& v) { v.SetInt8(-2); }, 3, -2, "-2", "\xfe"},
        {[](QORValue_c& v) { v.SetUInt8(0xFE); }, 4, 254, "254", "\xfe"},
        {[](QORValue_c& v) { v.SetInt16(258); }, 5, 258, "258", "\x01\x02"},
        {[](QORValue_c& v) { v.SetUInt16(0xFFFF); }, 6, 65535, "65535", "\xff\xff"},
        {[](QORValue_c& v) { v.SetInt32(-1); }, 7, -1, "-1", "\xff\xff\xff\xff"},
        {[](QORValue_c& v) { v.SetUInt32(4294967295u); }, 8, -1, "4294967295", "\xff\xff\xff\xff"},
        {[](QORValue_c& v) { v.SetInt32(INT32_MIN); }, 7, INT32_MIN, "-2147483648",
         std::string("\x80\x00\x00\x00", 4)},
    };
    for (const Case& c : cases) {
        QORValue_c v;
        c.set(v);
        EXPECT_EQ(v.Type(), c.type);
        EXPECT_EQ(v.GetInt(), c.integer);
        EXPECT_EQ(Bytes(v), c.bytes) << c.text;
        EXPECT_EQ(Text(v), c.text);
    }
}

TEST(Value, UnsignedKeepsItsSignInDouble) {
    QORValue_c v;
    v.SetUInt32(4294967295u);
    EXPECT_EQ(Text(v), "4294967295");
    EXPECT_DOUBLE_EQ(v.GetDouble(), 4294967295.0);
    QORValue_c detected;
    detected.SetText("4294967295", -1, QOR_TRUE);
    EXPECT_EQ(detected.GetInt(), -1); // the 32-bit pattern
    EXPECT_DOUBLE_EQ(detected.GetDouble(), 4294967295.0);
    QORValue_c one;
    one.SetUInt32(1);
    EXPECT_EQ(detected.Compare(&one, 0, QOR_TRUE, 0), QOR_CMP_ONE);
    QORValue_c w;
    w.SetInt32(-1);
    EXPECT_DOUBLE_EQ(w.GetDouble(), -1.0);
}

TEST(Value, TextIsTriedBeforeTheIntegerForBytes) {
    QORValue_c v;
    v.SetText("255", -1, QOR_TRUE);
    EXPECT_EQ(v.Type(), QOR_TYPE_UINT32);
    std::uint8_t s = 0;
    EXPECT_EQ(Bytes(v, &s), "\xff");
    EXPECT_EQ(s, QOR_OK);
    QORValue_c d;
    d.SetDouble(1.5);
    EXPECT_EQ(Bytes(d, &s), "");
    EXPECT_EQ(s, QOR_ERROR);
}

TEST(Value, DoubleFormsAndRounding) {
    QORValue_c v;
    v.SetDouble(2.5);
    EXPECT_EQ(Text(v), "2.50");
    v.SetRoundingMode(QOR_ROUND_NEAREST);
    EXPECT_EQ(v.GetInt(), 3);
    EXPECT_EQ(Text(v), "2.50"); // the text was made first

    struct Case {
        std::uint8_t mode;
        double value;
        std::int32_t integer;
    };
    const Case cases[] = {{0, 2.5, 2},   {1, 2.1, 3},   {2, 2.9, 2},  {3, 2.5, 3},
                          {3, -2.5, -3}, {1, -2.5, -2}, {0, -2.9, -2}};
    for (const Case& c : cases) {
        QORValue_c w;
        w.SetRoundingMode(c.mode);
        w.SetDouble(c.value);
        EXPECT_EQ(w.GetInt(), c.integer) << int(c.mode) << " " << c.value;
        EXPECT_EQ(Text(w), std::to_string(c.integer)) << "integer text once GetInt ran first";
    }
    QORValue_c n;
    n.SetDecimals(3);
    n.SetDouble(-0.0625);
    EXPECT_EQ(Text(n), "-0.063");
}

TEST(Value, TextToIntegerAndBooleanWords) {
    struct Case {
        const char* text;
        std::int32_t integer;
        std::uint8_t status;
        std::uint8_t boolean;
    };
    const Case cases[] = {
        {"yes", 1, 2, 3},     {"Off", 0, 2, 253},   {"maybe", 0, 254, 253},
        {"ENABLED", 1, 2, 3}, {"-17", -17, 2, 253}, {"1.5", 1, 254, 253},
        {"true", 1, 2, 3},    {"1", 1, 2, 3},       {"", 0, 254, 253},
    };
    for (const Case& c : cases) {
        QORValue_c v;
        v.SetText(c.text);
        std::uint8_t s = 0;
        const std::int32_t got = v.GetInt(&s);
        EXPECT_EQ(s, c.status) << c.text;
        if (s == QOR_OK) {
            EXPECT_EQ(got, c.integer) << c.text;
        }
        EXPECT_EQ(v.GetBool(), c.boolean) << c.text;
    }
    QORValue_c v;
    v.SetText("1.5");
    EXPECT_DOUBLE_EQ(v.GetDouble(), 1.5);
    EXPECT_EQ(v.GetInt(), 1); // the double form now comes first
}

TEST(Value, ParseBoolWord) {
    QORString_c s;
    s.Assign("No");
    EXPECT_EQ(QORParseBoolWord(&s, 2), QOR_FALSE);
    EXPECT_EQ(QORParseBoolWord(&s, 1), QOR_ERROR);
    EXPECT_EQ(QORParseBoolWord(&s, 5), QOR_FALSE);
    s.Assign("yess");
    EXPECT_EQ(QORParseBoolWord(&s, 5), QOR_ERROR);
    EXPECT_EQ(QORParseBoolWord(nullptr, 5), QOR_ERROR);
}

TEST(Value, DetectNumericType) {
    struct Case {
        const char* text;
        std::uint8_t type;
    };
    const Case cases[] = {
        {"42", 8},  {" 42 ", 8}, {"-42", 7},  {"4.2", 2},   {".5", 2},  {"-.5", 2},
        {"4 2", 1}, {"1e5", 1},  {"+5", 1},   {"1.2.3", 1}, {"-", 7},   {".", 2},
        {"", 0},    {"   ", 0},  {"4 .2", 1}, {"4. 2", 1},  {"--1", 1}, {"abc", 1},
    };
    for (const Case& c : cases) {
        QORValue_c v;
        v.SetText(c.text, -1, QOR_TRUE);
        EXPECT_EQ(v.Type(), c.type) << '"' << c.text << '"';
        EXPECT_EQ(Text(v), c.text);
    }
    QORValue_c i;
    i.SetInt16(5);
    EXPECT_EQ(i.DetectNumericType(), QOR_TYPE_INT16);
}

TEST(Value, ConvertTo) {
    QORValue_c v;
    v.SetText("enabled");
    EXPECT_EQ(v.ConvertTo(QOR_TYPE_BOOL), QOR_OK);
    EXPECT_EQ(v.Type(), QOR_TYPE_BOOL);
    EXPECT_EQ(Text(v), "on");

    v.SetText("300");
    EXPECT_EQ(v.ConvertTo(QOR_TYPE_UINT8), QOR_OK);
    EXPECT_EQ(v.GetInt(), 44); // cut to the width
    EXPECT_EQ(Text(v), "44");

    v.SetInt32(-5);
    EXPECT_EQ(v.ConvertTo(QOR_TYPE_DOUBLE), QOR_OK);
    EXPECT_EQ(Text(v), "-5.00");

    v.SetText("h41 42");
    EXPECT_EQ(v.ConvertTo(QOR_TYPE_BYTES), QOR_OK);
    EXPECT_EQ(Text(v), "\"A*\"");

    EXPECT_EQ(v.ConvertTo(11), QOR_ERROR);
    EXPECT_EQ(v.ConvertTo(QOR_TYPE_BYTES), QOR_OK); // already that type

    // A failed conversion answers 254 and leaves no form; the value then resets to none.
    v.SetText("abc");
    EXPECT_EQ(v.ConvertTo(QOR_TYPE_INT32), QOR_ERROR);
    std::uint8_t s = 0;
    EXPECT_EQ(v.GetInt(&s), 0);
    EXPECT_EQ(s, QOR_OK);
    EXPECT_EQ(v.Type(), QOR_TYPE_NONE);

    v.SetText("xyz");
    EXPECT_EQ(v.ConvertTo(QOR_TYPE_DOUBLE), QOR_ERROR);
}

TEST(Value, BytesForm) {
    QORBuffer_c source;
    source.Resize(3);
    source.CopyIn(3, "a\x01z");
    source.Seek(2); // SetBytes copies from the start up to the readable end
    QORValue_c v;
    v.SetBytes(&source);
    EXPECT_EQ(v.Type(), QOR_TYPE_BYTES);
    EXPECT_EQ(Bytes(v), "a\x01z");
    EXPECT_EQ(Text(v), "\"a\"h01\"z\"");
    std::uint8_t s = 0;
    v.SetBytes(&source);
    v.GetInt(&s);
    EXPECT_EQ(s, QOR_ERROR);
    v.GetDouble(&s);
    EXPECT_EQ(s, QOR_ERROR);
    v.SetBytes(v.Bytes()); // from itself
    EXPECT_EQ(Bytes(v), "a\x01z");
    v.SetBytes(nullptr);
    EXPECT_EQ(Bytes(v), "");
}

TEST(Value, Compare) {
    struct Case {
        const char* a;
        const char* b;
        std::uint8_t type, mode, prefix, answer;
    };
    const Case cases[] = {
        {"5", "7", 7, 3, 0, 255},        {"7", "5", 7, 3, 0, 1},
        {"abc", "ABC", 1, 3, 0, 1},      {"abc", "ABC", 1, 253, 0, 0},
        {"abcdef", "abc", 1, 3, 3, 0},   {"abcdef", "abd", 1, 3, 3, 255},
        {"ab", "abc", 1, 3, 0, 255},     {"-1", "1", 8, 3, 0, 1},
        {"-1", "1", 7, 3, 0, 255},       {"255", "1", 3, 3, 0, 255},
        {"255", "1", 4, 3, 0, 1},        {"2.5", "2.25", 2, 3, 0, 1},
        {"x", "abc", 2, 3, 0, 254},      {"h0102", "h0102", 10, 3, 0, 0},
        {"h0102", "h01", 10, 3, 0, 254}, {"h0102", "h01", 10, 3, 3, 0},
        {"h01", "h0102", 10, 3, 3, 254}, {"h0203", "h0103", 10, 3, 0, 1},
        {"on", "on", 9, 3, 0, 254},
    };
    for (const Case& c : cases) {
        QORValue_c a, b;
        a.SetText(c.a);
        b.SetText(c.b);
        EXPECT_EQ(a.Compare(&b, c.type, c.mode, c.prefix), c.answer)
            << c.a << " " << c.b << " type " << int(c.type);
    }
    QORValue_c a;
    EXPECT_EQ(a.Compare(nullptr, 1, 3, 0), 254);
    a.SetInt32(5);
    QORValue_c b;
    b.SetInt32(7);
    EXPECT_EQ(a.Compare(&b, 0, 3, 0), 255);
}

TEST(Value, AssignAndCloneKeepTypeAndSettings) {
    struct Case {
        void (*set)(QORValue_c&);
        std::uint8_t type;
        const char* text;
    };
    const Case cases[] = {
        {[](QORValue_c& v) { v.SetText("hi"); }, 1, "hi"},
        {[](QORValue_c& v) { v.SetDouble(1.25); }, 2, "1.250"},
        {[](QORValue_c& v) { v.SetUInt16(40000); }, 6, "40000"},
        {[](QORValue_c& v) { v.SetInt8(-3); }, 3, "-3"},
        {[](QORValue_c& v) {
             v.SetText("yes");
             v.ConvertTo(QOR_TYPE_BOOL);
         },
         9, "on"},
        {[](QORValue_c& v) {
             v.SetText("h00 hff");
             v.ConvertTo(QOR_TYPE_BYTES);
         },
         10, "h00hFF"},
        {[](QORValue_c& v) { v.Reset(QOR_TYPE_NONE); }, 0, ""},
    };
    for (const Case& c : cases) {
        QORValue_c source;
        source.SetDecimals(3);
        source.SetRoundingMode(QOR_ROUND_NEAREST);
        c.set(source);
        source.SetTag(1);
        std::unique_ptr<QORObject_c> copy = source.Clone();
        auto* v = dynamic_cast<QORValue_c*>(copy.get());
        ASSERT_NE(v, nullptr);
        EXPECT_EQ(v->Type(), c.type);
        EXPECT_EQ(v->Tag(), 1);
        EXPECT_EQ(v->Decimals(), 3);
        EXPECT_EQ(v->RoundingMode(), QOR_ROUND_NEAREST);
        EXPECT_EQ(Text(*v), c.text);
    }
    QORValue_c v;
    v.SetText("self");
    EXPECT_EQ(v.Assign(&v), QOR_OK);
    EXPECT_EQ(Text(v), "self");
    EXPECT_EQ(v.Assign(nullptr), QOR_ERROR);
}

TEST(Value, ResetMarksOnlyTheTypesForm) {
    QORValue_c v;
    v.SetText("12");
    v.Reset(QOR_TYPE_DOUBLE);
    EXPECT_TRUE(v.DoubleValid());
    EXPECT_FALSE(v.TextValid());
    EXPECT_EQ(Text(v), "0.00");
    v.Reset(QOR_TYPE_UINT16);
    EXPECT_TRUE(v.IntValid());
    EXPECT_EQ(Text(v), "0");
}

TEST(Value, TakesItsOwnTextAndDropsTheOtherForms) {
    QORValue_c value;
    value.SetInt32(42);
    value.SetString(value.GetText()); // the text made from the number, then taken as text
    EXPECT_EQ(value.Type(), QOR_TYPE_TEXT);
    EXPECT_FALSE(value.IntValid());
    EXPECT_EQ(value.GetText()->View(), "42");
    value.SetString(value.GetText());
    EXPECT_EQ(value.GetText()->View(), "42");
    value.SetText(nullptr);
    EXPECT_EQ(value.GetText()->View(), "");
    EXPECT_EQ(value.GetText()->Buffer()->Ownership(), QOR_BORROWS);
    value.SetInt32(7);
    EXPECT_EQ(value.GetText()->View(), "7");
}

} // namespace
