// Protocol files are written by hand, and events by users: whatever a parameter text, a
// command byte line or an '@' call holds, the encoders, the expression evaluator and the
// parameter functions answer bytes or nothing, never read out of bounds, overflow or hang.
#include "compiler/compiler_state.h"
#include "compiler/param_functions.h"
#include "compiler/parameter_encoders.h"
#include "compiler/template_expressions.h"
#include "script/protocol.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 2048)
        return 0;
    const std::string text(reinterpret_cast<const char*>(data), size);

    DataStringToBytes(text);
    FrameStringToDigits(text);
    TimeStringToDigits(text);
    TrackStringToDigits(text);
    IpAddressToBytes(text);
    QornetValueToBytes(text);

    // The text as parameter values, message so far, and byte line of the current command.
    CCmnd command("Fuzz:Fuzz");
    command.m_strBytes[0] = text;
    command.m_strBytes[1] = "@complex(Byte1)";
    ResetCompilerState();
    CompilerState& state = GetCompilerState();
    state.currentCommand = &command;
    state.message.assign(text.begin(), text.end());
    for (ByteString& value : CurrentParamValues())
        value.assign(text.begin(), text.end());

    std::uint16_t value = 0;
    EvaluateExpressionText(text, EvaluateParamCall, value);
    for (int number = 0; number < kParamFunctionCount; ++number) {
        DispatchParamFunction(text, number);
        DispatchParamFunction(std::string(ParamFunctionName(number)) + "(" + text + ")", number);
    }
    DispatchParamFunction("@complex(Byte1)", kParamFunctionComplex);
    DispatchParamFunction("@complex(Byte2)", kParamFunctionComplex);
    ResetCompilerState();
    return 0;
}
