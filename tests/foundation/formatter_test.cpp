#include "foundation/formatter.h"
#include "foundation/variant_value.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <variant>
#include <vector>

namespace {

using Arg = std::variant<std::int32_t, const char*>;

std::string FormatWith(QORBinaryString_c& f, const std::string& format,
                       const std::vector<Arg>& args) {
    f.Arguments()->Clear();
    for (const Arg& a : args) {
        if (std::holds_alternative<std::int32_t>(a)) {
            f.AddIntArg(std::get<std::int32_t>(a));
        } else {
            QORString_c text;
            text.Assign(std::get<const char*>(a));
            f.AddTextArg(&text);
        }
    }
    f.FormatText()->Assign(format.data(), static_cast<std::int32_t>(format.size()));
    QORBuffer_c* out = f.Format();
    if (out == nullptr) {
        return "<null>";
    }
    if (out->Data() == nullptr) {
        return {};
    }
    EXPECT_EQ(out->Data()[out->Size()], 0);
    return std::string(reinterpret_cast<const char*>(out->Data()),
                       static_cast<std::size_t>(out->Remaining()));
}

TEST(Formatter, Conversions) {
    struct Case {
        std::string format;
        std::vector<Arg> args;
        std::string output;
    };
    const Case cases[] = {
        {"SetCommPort: %s\\r\\n", {"COM3"}, "SetCommPort: COM3\r\n"},
        {"%5d", {42}, "   42"},
        {"%05d", {42}, "00042"},
        {"%d", {-7}, "-7"},
        {"%u", {-1}, "4294967295"},
        {"%d", {INT32_MIN}, "-2147483648"},
        {"%.3f", {"2.5"}, "2.500"},
        {"%f", {"2.5"}, "2.50"},
        {"%f", {3}, "3.00"},
        {"%.0f", {"2.56"}, "2.6"},
        {"%X", {"AB"}, "4142"},
        {"%X", {-2}, "FE"},
        {"%X", {300}, "012C"},
        {"%X", {100000}, "000186A0"},
        {"%p", {258}, std::string("\x01\x02", 2)},
        {"%4p", {1}, std::string("\x00\x00\x00\x01", 4)},
        {"%p", {"ab"}, "ab"},
        {"%s", {77}, "77"},
        {"%d", {"yes"}, "1"},
        {"%d", {"12"}, "12"},
        {"[%d]", {"nope"}, "[]"},
        {"[%4d]", {"nope"}, "[    ]"},
        {"a%%b", {1}, "ab"},
        {"\\%", {}, "%"},
        {"%s-%s", {"x", "y"}, "x-y"},
        {"%-5d|", {3}, "5d|"},      // no flags: the - is an unknown letter
        {"%s %s %s", {"a"}, "a  "}, // later conversions see no argument
        {"%s%3s|", {"a"}, "a   |"}, // ...or only their fill
        {"%q%s", {"a", "b"}, "b"},  // an unknown letter still uses up its argument
        {"plain text", {}, "plain text"},
        {"a\\qb", {}, "ab"},
        {"\\x41", {}, "A"},
        {"\\x4", {}, "4"}, // too short for \x: backslash and x are dropped
        {"50%5", {1}, "50"},
        {"%5.1f", {"2.25"}, "  2.3"},
        {"%s", {""}, ""},
        {"", {}, ""},
        {"%d", {}, ""},
    };
    for (const Case& c : cases) {
        QORBinaryString_c f;
        EXPECT_EQ(FormatWith(f, c.format, c.args), c.output) << c.format;
    }
}

TEST(Formatter, IntArgumentTypes) {
    struct Case {
        std::int32_t number;
        std::uint8_t type;
    };
    const Case cases[] = {{127, QOR_TYPE_INT8},     {-127, QOR_TYPE_INT8},
                          {-128, QOR_TYPE_INT16},   {32767, QOR_TYPE_INT16},
                          {-32768, QOR_TYPE_INT32}, {40000, QOR_TYPE_INT32}};
    for (const Case& c : cases) {
        QORBinaryString_c f;
        f.AddIntArg(c.number);
        auto* v = dynamic_cast<QORValue_c*>(f.Arguments()->Current());
        ASSERT_NE(v, nullptr);
        EXPECT_EQ(v->Type(), c.type) << c.number;
        EXPECT_EQ(v->Tag(), QOR_ARG_VALUE);
        EXPECT_EQ(v->GetInt(), c.number);
    }
    QORBinaryString_c f;
    f.AddTextArg(nullptr);
    auto* s = dynamic_cast<QORString_c*>(f.Arguments()->Current());
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->Tag(), QOR_ARG_STRING);
    EXPECT_EQ(s->Length(), 0);
}

TEST(Formatter, BufferAndDoubleArguments) {
    QORBinaryString_c f;
    auto buffer = std::make_unique<QORBuffer_c>();
    buffer->SetTag(QOR_ARG_BUFFER);
    buffer->Resize(5);
    buffer->CopyIn(5, "\x09\x01\x02\x03\x04");
    f.Arguments()->InsertAfter(buffer.release());
    auto value = std::make_unique<QORValue_c>();
    value->SetTag(QOR_ARG_VALUE);
    value->SetDouble(1.0);
    f.Arguments()->InsertAfter(value.release());
    f.FormatText()->Assign("%u %X");
    QORBuffer_c* out = f.Format();
    ASSERT_NE(out, nullptr);
    // The last four bytes, the last most significant; the double in memory order.
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(out->Data()),
                          static_cast<std::size_t>(out->Remaining())),
              std::to_string(0x04030201u) + " 000000000000F03F");
}

TEST(Formatter, RepeatedFormatStartsAfresh) {
    QORBinaryString_c f;
    EXPECT_EQ(FormatWith(f, "%d", {5}), "5");
    f.FormatText()->Assign("x%d");
    ASSERT_NE(f.Format(), nullptr);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(f.Output()->Data()), 2), "x5");
}

} // namespace
