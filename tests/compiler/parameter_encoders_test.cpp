#include "compiler/parameter_encoders.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using Encoder = ByteString (*)(std::string_view);

struct Case {
    const char* name;
    Encoder encoder;
    std::string text;
    ByteString expected;
};

ByteString Chars(std::string_view text) {
    return ByteString(text.begin(), text.end());
}

void PrintTo(const Case& c, std::ostream* os) {
    *os << c.name << "(" << c.text << ")";
}

class EncoderTable : public testing::TestWithParam<Case> {};

TEST_P(EncoderTable, Encodes) {
    const Case& c = GetParam();
    EXPECT_EQ(c.encoder(c.text), c.expected) << c.name << " of [" << c.text << "]";
}

const Case kCases[] = {
    // Data strings: separators, notations, quotes, words and unparseable elements.
    {"data", DataStringToBytes, "", {}},
    {"data", DataStringToBytes, "65 66 67", {0x41, 0x42, 0x43}},
    {"data", DataStringToBytes, "65,66,67", {0x41, 0x42, 0x43}},
    {"data", DataStringToBytes, "65_66_67", {0x41, 0x42, 0x43}},
    {"data", DataStringToBytes, "\"AB CD\"", Chars("AB CD")},
    {"data", DataStringToBytes, "h0D, 10, #1010, 50%", {0x0D, 0x0A, 0x0A, 0x7F}},
    {"data", DataStringToBytes, "1, , 2", {0x01, 0x02}},
    {"data", DataStringToBytes, "300", {0x2C, 0x01}},
    {"data", DataStringToBytes, "\",\"", {0x2C}},
    {"data", DataStringToBytes, "xyz", {}},
    {"data", DataStringToBytes, "1 \"open", {0x01}},
    {"data", DataStringToBytes, "99999999999999999999", {}},
    // Frame strings.
    {"frame", FrameStringToDigits, "123456", Chars("123456")},
    {"frame", FrameStringToDigits, "7", Chars("7")},
    {"frame", FrameStringToDigits, "1234567", {}},
    {"frame", FrameStringToDigits, "12a", {}},
    {"frame", FrameStringToDigits, "", {}},
    // Time strings: which fields were written decides the width.
    {"time", TimeStringToDigits, "1:02:03.04", Chars("01020304")},
    {"time", TimeStringToDigits, "2:03.04", Chars("020304")},
    {"time", TimeStringToDigits, "3.04", Chars("0304")},
    {"time", TimeStringToDigits, "0:00:00.00", Chars("00000000")},
    {"time", TimeStringToDigits, "24:00:00.00", {}},
    {"time", TimeStringToDigits, "1:60.00", {}},
    {"time", TimeStringToDigits, "12", {}},
    {"time", TimeStringToDigits, "1.2.3", {}},
    {"time", TimeStringToDigits, "1:2:3:4:5", {}},
    {"time", TimeStringToDigits, "00000000000000000000001:00.00", Chars("010000")},
    {"time", TimeStringToDigits, "99999999999999999999:00.00", {}},
    // Track strings.
    {"track", TrackStringToDigits, "12-3", Chars("1203")},
    {"track", TrackStringToDigits, "100-1", {}},
    {"track", TrackStringToDigits, "12", {}},
    {"track", TrackStringToDigits, "1-2-3", Chars("0203")},
    {"track", TrackStringToDigits, "-", Chars("0000")},
    {"track", TrackStringToDigits, "1-x", {}},
    // Addresses.
    {"ip", IpAddressToBytes, "192.168.0.1", {0xC0, 0xA8, 0x00, 0x01}},
    {"ip", IpAddressToBytes, "10.1", {0x0A, 0x01, 0x00, 0x00}},
    {"ip", IpAddressToBytes, "10. 1 .2.3", {0x0A, 0x01, 0x02, 0x03}},
    {"ip", IpAddressToBytes, "1.2.3.4.5", {}},
    {"ip", IpAddressToBytes, "1.2.3.4.", {}},
    {"ip", IpAddressToBytes, "256.0.0.0", {}},
    {"ip", IpAddressToBytes, "1.a.2.3", {}},
    {"ip", IpAddressToBytes, "", {}},
    // Network values: the shortest of the four forms.
    {"qornet", QornetValueToBytes, "252", {0xFC}},
    {"qornet", QornetValueToBytes, "253", {0xFF, 0x00, 0xFD}},
    {"qornet", QornetValueToBytes, "65535", {0xFF, 0xFF, 0xFF}},
    {"qornet", QornetValueToBytes, "65536", {0xFE, 0x01, 0x00, 0x00}},
    {"qornet", QornetValueToBytes, "h1000000", {0xFD, 0x01, 0x00, 0x00, 0x00}},
    {"qornet", QornetValueToBytes, "4294967295", {0xFD, 0xFF, 0xFF, 0xFF, 0xFF}},
    {"qornet", QornetValueToBytes, "4294967296", {}},
    {"qornet", QornetValueToBytes, "123456789012345678901234567890", {}},
    {"qornet", QornetValueToBytes, "50%", {0x7F}},
    {"qornet", QornetValueToBytes, "100%", {0xFD, 0xFF, 0xFF, 0xFF, 0xFF}},
    {"qornet", QornetValueToBytes, "0%", {0x00}},
    {"qornet", QornetValueToBytes, "101%", {}},
    {"qornet", QornetValueToBytes, "10.0.0.1", {0xFD, 0x0A, 0x00, 0x00, 0x01}},
    {"qornet", QornetValueToBytes, "#101", {}},
    {"qornet", QornetValueToBytes, "", {}},
};

INSTANTIATE_TEST_SUITE_P(ParameterEncoders, EncoderTable, testing::ValuesIn(kCases));

} // namespace
