// The program's command line, read from argv as a Linux program reads it: "-c FILE" or
// "/c FILE" (either case; the file may follow the switch without a blank) compiles and downloads
// FILE and ends; "-e" or "/e" starts without a document; "--help" prints the usage; anything
// else is a file to open. A path such as "/export/show.ksf" is a path, never a switch.
#pragma once

#include <string>
#include <vector>

struct CommandLineInfo {
    enum Kind {
        kNone,       // nothing given: maybe a new script (setting "New File At Startup")
        kNoDocument, // -e
        kCompile,    // -c FILE
        kOpen,       // FILE
        kHelp,       // --help
        kError,      // not understood; `error` says why
    };
    Kind kind = kNone;
    std::string path;
    std::string error;
};

CommandLineInfo ParseCommandLine(const std::vector<std::string>& arguments);
CommandLineInfo ParseCommandLine(int argc, const char* const* argv);

// The text of "velmora --help".
std::string UsageText();
