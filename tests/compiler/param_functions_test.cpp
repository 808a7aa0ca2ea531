#include "compiler/compiler_state.h"
#include "compiler/param_functions.h"
#include "script/protocol.h"

#include <gtest/gtest.h>

#include <string>

namespace {

ByteString Chars(std::string_view text) {
    return ByteString(text.begin(), text.end());
}

// The parameter values, message and byte lines a command's items see.
class ParamFunctions : public testing::Test {
protected:
    void SetUp() override {
        ResetCompilerState();
        for (ByteString& value : CurrentParamValues())
            value.clear();
        CurrentLengthBytePosition() = -1;
        GetCompilerState().currentCommand = &command_;
    }
    void TearDown() override { ResetCompilerState(); }

    void Param(int n, ByteString value) {
        CurrentParamValues()[static_cast<std::size_t>(n - 1)] = value;
    }
    void Message(ByteString message) { GetCompilerState().message = std::move(message); }
    void ByteLine(int n, std::string text) {
        command_.m_strBytes[static_cast<std::size_t>(n - 1)] = std::move(text);
    }
    // What a message item yields: the first function that answers.
    static ByteString Item(std::string_view call) {
        for (int number = 0; number < kParamFunctionCount; ++number) {
            ByteString result = DispatchParamFunction(call, number);
            if (!result.empty())
                return result;
        }
        return {};
    }

    CCmnd command_{"Test:Command"};
};

TEST_F(ParamFunctions, ParameterValueFunctions) {
    Param(1, {1, 2, 3, 4});  // a time
    Param(2, Chars("1203")); // a track string
    Param(3, {0});
    Param(4, {0x7F});
    Param(5, {0x80});
    Param(6, {0xFF});
    Param(7, {0xF0, 0x41, 0xF2});
    Param(8, {0x07, 0x00});
    Param(9, {0x2C, 0x01});
    struct {
        const char* call;
        ByteString expected;
    } cases[] = {
        {"@BYTE(param1)", {1}},
        {"@byte(Param1", {}},
        {"@byte(Param10)", {}},
        {"@byte(Param11)", {}},
        {"@byte(1)", {}},
        {"@word(Param1)", {1, 2}},
        {"@word(Param3)", {}},
        {"@length(Param1)", {4}},
        {"@length(Param10)", {0}},
        {"@string(Param2)", Chars("1203")},
        {"@hour(Param1)", {1}},
        {"@minute(Param1)", {2}},
        {"@second(Param1)", {3}},
        {"@frame(Param1)", {4}},
        {"@frame(Param3)", {}},
        {"@track(Param2)", {12}},
        {"@trackindex(Param2)", {3}},
        {"@trackindex(Param3)", {}},
        {"@index(Param3)", {0xFF}},
        {"@index(Param10)", {}},
        {"@barco(Param4)", {0x7F}},
        {"@barco(Param5)", {0x80, 0x00}},
        {"@barco(Param6)", {0x80, 0x7F}},
        {"@qornet(Param7)", {0xF0, 0x00, 0x41, 0xF0, 0x02}},
        {"@decstring(Param8,3)", Chars("007")},
        {"@decstring(Param8,6)", {}},
        {"@decstring(Param8,0)", {}},
        {"@decstring(Param8)", {}},
        {"@hexstring(Param9,2)", Chars("12C")},
        {"@hexstring(Param10,2)", {}},
        {"@lsb(Param9)", {0x2C}},
        {"@msb(Param9)", {0x01}},
        {"@msb(Param4)", {}},
        {"@lsb(h1234)", {}},
        {"@unitaddress()", {0}},
        {"@unitaddress(1)", {}},
        {"@nosuch(Param1)", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Item(c.call), c.expected) << c.call;
}

TEST_F(ParamFunctions, MessageFunctions) {
    Message({0x02, 0x10, 0x20});
    struct {
        const char* call;
        ByteString expected;
    } cases[] = {
        {"@checksum(2,3)", {0x30}},
        {"@checksum(2, 3)", {}}, // arguments are not trimmed outside expressions
        {"@checksum(3,2)", {}},
        {"@checksum(1,4)", {}},
        {"@checksum(0,1)", {}},
        {"@checksum(1,)", {}},
        {"@checksum(1)", {}},
        {"@msg(1)", {0x02}},
        {"@msg(0)", {}},
        {"@msg(4)", {}},
        {"@msgposition()", {4}},
        {"@msgposition(1)", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Item(c.call), c.expected) << c.call;

    EXPECT_EQ(Item("@msglength(2)"), (ByteString{0x00}));
    EXPECT_EQ(CurrentLengthBytePosition(), 1);
    EXPECT_EQ(Item("@msglength(0)"), ByteString{});
}

TEST_F(ParamFunctions, ComplexByteLines) {
    Param(1, {65});
    Param(2, {3});
    Param(3, {0x34, 0x12});
    Param(4, Chars("42"));
    Param(5, {0x80, 0x81});
    Message({0x02, 0x10, 0x20});
    struct {
        const char* line;
        ByteString expected;
    } cases[] = {
        {"@byte(Param1)+1", {66}},
        {"h90 + @byte(Param2) - 1", {0x92}},
        {"@lsb(h1234)", {0x34}},
        {"@msb(h1234)", {0x12}},
        {"@lsb(Param3) ^ @msb(Param3)", {0x26}},
        {"@barco(h7F + 1)", {}}, // two bytes cannot stand inside an expression
        {"@checksum(2, 3)", {0x30}},
        {"@msg(1+1)", {0x10}},
        {"@decstring(h100 + 1, 3)", Chars("257")}, // a lone multi-byte call passes through
        {"@string(Param4)", Chars("42")},
        {"@string(Param5)", {}}, // raw bytes are no value text
        {"(1+1", {}},
        {"", {}},
        {"@complex(Byte1)", {}},
    };
    for (const auto& c : cases) {
        ByteLine(1, c.line);
        EXPECT_EQ(Item("@complex(Byte1)"), c.expected) << c.line;
        EXPECT_FALSE(GetCompilerState().expressionsAllowed) << c.line;
    }
    ByteLine(2, "@decstring(Param2, 2)");
    EXPECT_EQ(Item("@complex(Byte2)"), Chars("03"));
    EXPECT_EQ(Item("@complex(Byte21)"), ByteString{});
    EXPECT_EQ(Item("@complex(Param1)"), ByteString{});
}

TEST_F(ParamFunctions, ReferencesAndEscapes) {
    EXPECT_EQ(FindParamReference("Param1"), 0);
    EXPECT_EQ(FindParamReference(" PARAM10 "), 9);
    EXPECT_EQ(FindParamReference("Param0"), -1);
    EXPECT_EQ(FindParamReference("Param 1"), -1);
    EXPECT_EQ(FindByteLineReference("byte20"), 19);
    EXPECT_EQ(FindByteLineReference("byte21"), -1);
    EXPECT_EQ(EscapeF0Bytes({0xEF, 0xF0, 0xF1, 0xF2, 0xF3}),
              (ByteString{0xEF, 0xF0, 0x00, 0xF0, 0x01, 0xF0, 0x02, 0xF3}));
    EXPECT_EQ(ParamFunctionName(13), "@complex");
    EXPECT_EQ(DispatchParamFunction("@byte(Param1)", 1), ByteString{});
}

} // namespace
