#include "app/command_line.h"

#include <gtest/gtest.h>

namespace {

struct Case {
    std::vector<std::string> args;
    CommandLineInfo::Kind kind;
    std::string path;
};

TEST(CommandLine, ParsesSwitchesAndPaths) {
    const Case cases[] = {
        {{}, CommandLineInfo::kNone, ""},
        {{"-e"}, CommandLineInfo::kNoDocument, ""},
        {{"/E"}, CommandLineInfo::kNoDocument, ""},
        {{"-c", "show.ksf"}, CommandLineInfo::kCompile, "show.ksf"},
        {{"-C", "show.ksf"}, CommandLineInfo::kCompile, "show.ksf"},
        {{"/c", "my show.ksf"}, CommandLineInfo::kCompile, "my show.ksf"},
        {{"/C", "/export/show.ksf"}, CommandLineInfo::kCompile, "/export/show.ksf"},
        // The file may follow the switch without a blank; nothing of it is lost.
        {{"-cshow.ksf"}, CommandLineInfo::kCompile, "show.ksf"},
        {{"/cshow.ksf"}, CommandLineInfo::kCompile, "show.ksf"},
        {{"/C/shows/a.ksf"}, CommandLineInfo::kCompile, "/shows/a.ksf"},
        // Paths that begin like a switch stay paths.
        {{"/export/show.ksf"}, CommandLineInfo::kOpen, "/export/show.ksf"},
        {{"/cues/show.ksf"}, CommandLineInfo::kOpen, "/cues/show.ksf"},
        {{"/etc"}, CommandLineInfo::kOpen, "/etc"},
        {{"show.ksf"}, CommandLineInfo::kOpen, "show.ksf"},
        {{"--help"}, CommandLineInfo::kHelp, ""},
        // Errors, never a read beyond the arguments.
        {{"-c"}, CommandLineInfo::kError, ""},
        {{"/c"}, CommandLineInfo::kError, ""},
        {{"-x"}, CommandLineInfo::kError, ""},
        {{"--verbose"}, CommandLineInfo::kError, ""},
        {{"a.ksf", "b.ksf"}, CommandLineInfo::kError, ""},
    };
    for (const Case& c : cases) {
        const CommandLineInfo info = ParseCommandLine(c.args);
        std::string joined;
        for (const auto& a : c.args)
            joined += "[" + a + "]";
        EXPECT_EQ(info.kind, c.kind) << joined;
        if (c.kind != CommandLineInfo::kError)
            EXPECT_EQ(info.path, c.path) << joined;
        else
            EXPECT_FALSE(info.error.empty()) << joined;
    }
}

TEST(CommandLine, UsageNamesEveryExitStatus) {
    const std::string usage = UsageText();
    for (const char* line :
         {"0  compiled and downloaded", "1  the file could not be opened", "2  compile errors",
          "3  compiled, but not downloaded", "4  start-up failed"})
        EXPECT_NE(usage.find(line), std::string::npos) << line;
}

} // namespace
