// Every command of every shipped protocol compiles for an event written the way a user would
// write it for that command: internal commands from the events protocol, the others sent out
// of a port set to their protocol.
#include "tests/compiler/event_compile_fixture.h"

#include "compiler/name_lookups.h"
#include "compiler/param_functions.h"
#include "script/text_utils.h"
#include "script/value_parsers.h"

#include <clocale>
#include <locale>

namespace event_compile_testing {
namespace {

// The lower bound of a "byte" or "word" range, or 1 without one.
std::string RangeSample(const std::string& range) {
    const std::size_t comma = range.find(',');
    if (comma == std::string::npos)
        return "1";
    return std::to_string(ParseWordValue(NormalizeName(range.substr(0, comma), false)));
}

class ShippedProtocols : public EventCompileTest {
protected:
    // A text that the first Or-group of the parameter accepts: the keys of its "contains"
    // terms, then what its other term takes.
    std::string Sample(const CParam& param) {
        const COr& group = param.m_Or[0];
        std::string keys;
        std::string rest;
        for (int a = 0; a < group.m_nTermCount; ++a) {
            const CAnd& term = group.m_And[static_cast<std::size_t>(a)];
            if (term.m_nType == kTypeContains)
                keys += term.m_strArg.substr(0, 1);
            else
                rest = TermSample(term);
        }
        return keys + rest;
    }

    std::string TermSample(const CAnd& term) {
        switch (term.m_nType) {
        case kTypeInput:
            return "Button";
        case kTypeOutput:
            return "Lamp";
        case kTypeFlag:
            return "Ready";
        case kTypeVar:
            return "Count";
        case kTypePort:
        case kTypePortTypeRemote:
            return "Link";
        case kTypeSequence:
            return "Default";
        case kTypeRemoteOutput:
            return "FarLamp";
        case kTypeRemoteFlag:
            return "FarFlag";
        case kTypeRemoteVar:
            return "FarVar";
        case kTypeRemoteSequence:
            return "FarShow";
        case kTypeRemoteInput:
            return remote_->m_pProduct->m_Inputs[0].m_strName;
        case kTypeRemotePort:
            return remote_->m_pProduct->m_Ports[0].m_strName;
        case kTypeDataString:
            return "Hello";
        case kTypeLcdString:
            return "Banner";
        case kTypeString:
            return term.m_strArg.empty() ? "65,66" : term.m_strArg;
        case kTypeByte:
        case kTypeWord:
            return RangeSample(term.m_strArg);
        case kTypeByteLabel:
        case kTypeWordLabel:
            return "Here";
        case kTypeByteTime:
            return "1.5";
        case kTypeWordTime:
            return "00:10.00";
        case kTypeTime:
            return "01:02:03.04";
        case kTypeFrameString:
            return "1234";
        case kTypeTimeString:
            return "1:02:03.04";
        case kTypeTrackString:
            return "12-3";
        case kTypeIpAddress:
            return "10.0.0.1";
        case kTypeQornetValue:
            return "300";
        default:
            return "?";
        }
    }

    // Compiles every command; answers a line per command that failed.
    std::vector<std::string> CompileEveryCommand() {
        std::vector<std::string> failures;
        int commands = 0;
        for (const auto& protocol : app_.App().m_poProList) {
            if (!protocol->LoadCommands()) {
                failures.push_back("cannot load " + protocol->m_strPath);
                continue;
            }
            const bool internal = protocol.get() == app_.App().m_posEventProtocol;
            if (!internal) {
                // The 9-bit bus reaches another controller: its port links to that script.
                SetLinkProtocol(EqualsNoCase(protocol->m_strProtocol, "Brevant9")
                                    ? "Remote.ksf->" + protocol->GetDisplayName()
                                    : protocol->GetDisplayName());
            }
            for (const auto& command : protocol->m_poCmndList) {
                ++commands;
                Sequence().m_poEventList.clear();
                std::vector<std::string> params;
                for (int p = 0; p < command->m_nParamCount; ++p)
                    params.push_back(Sample(command->m_Params[static_cast<std::size_t>(p)]));
                CEvnt& event = AddEvent(command->GetCategory(), params);
                AddEvent("Nop", {});
                AddEvent("Nop", {}, "Here");

                sink_.lines.clear();
                GetCompilerState().errorCount = 0;
                const ByteString body = CompileFull(event);
                const std::string what = protocol->GetDisplayName() + " " + command->GetName();
                if (GetCompilerState().errorCount != 0 || body.empty())
                    failures.push_back(what + ":\n" + sink_.All());

                // The command itself accepts the event (an earlier variant of the category
                // may have taken it above) and its message yields bytes.
                SetCursor(event);
                GetCompilerState().currentCommand = command.get();
                if (!MatchEventParameters(*main_, 0) ||
                    EvaluateTemplate(*main_, command->m_strMessage).empty())
                    failures.push_back(what + ": its own parameters or message");

                ByteString alone;
                if (!CompileAlone(event, alone) || alone.empty())
                    failures.push_back(what + ": compiled alone");
            }
        }
        if (commands < 100)
            failures.push_back("only " + std::to_string(commands) + " commands walked");
        return failures;
    }
};

TEST_F(ShippedProtocols, EveryCommandCompiles) {
    const std::vector<std::string> failures = CompileEveryCommand();
    EXPECT_TRUE(failures.empty()) << testing::PrintToString(failures);
    EXPECT_TRUE(ui_.boxes.empty());
}

struct DecimalComma : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
    char do_thousands_sep() const override { return '.'; }
    std::string do_grouping() const override { return "\3"; }
};

// Versions ("6.4"), rates (29.97) and values are read without the locale's help.
TEST_F(ShippedProtocols, DecimalCommaLocaleChangesNothing) {
    auto compileAll = [this] {
        std::vector<ByteString> bodies;
        main_->m_wFrameRate = 2; // 29.97
        for (const char* text : {"1.5", "00:10.00"}) {
            Sequence().m_poEventList.clear();
            CEvnt& event = AddEvent("T", {text});
            SetCursor(event);
            CCmnd command("T:T");
            command.m_nParamCount = 1;
            command.m_Params[0].m_strText = text[1] == '.' ? "bytetime" : "wordtime";
            command.m_Params[0].ParseTypes();
            GetCompilerState().currentCommand = &command;
            MatchEventParameters(*main_, 0);
            bodies.push_back(CurrentParamValues()[0]);
        }
        GetCompilerState().highestFirmware = 0;
        CompileEveryCommand();
        bodies.push_back(
            ByteString{static_cast<std::uint8_t>(GetCompilerState().highestFirmware * 10)});
        return bodies;
    };
    const std::vector<ByteString> expected = compileAll();
    ASSERT_EQ(expected[0], (ByteString{34}));         // 1 x 29.97 + 5 frames, cut
    ASSERT_EQ(expected[1], (ByteString{0x2C, 0x01})); // 10 x 29.97 = 299.7, rounded
    const std::locale saved;
    const std::string savedC = std::setlocale(LC_ALL, nullptr);
    std::locale::global(std::locale(std::locale::classic(), new DecimalComma));
    EXPECT_EQ(compileAll(), expected);
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr) {
        EXPECT_EQ(compileAll(), expected);
    }
    std::locale::global(saved);
    std::setlocale(LC_ALL, savedC.c_str());
}

} // namespace
} // namespace event_compile_testing
