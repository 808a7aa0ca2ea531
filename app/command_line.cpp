#include "app/command_line.h"

#include <filesystem>
#include <system_error>

namespace {

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool Exists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::exists(path, ec);
}

// A '/' argument is a switch only when it cannot be a path: "/c", "/E", "/cshow.ksf", or "/c"
// glued to an absolute path ("/c/shows/a.ksf") while no folder "/c" exists; "/export/show.ksf"
// and "/cues/show.ksf" stay paths.
bool IsSlashSwitch(const std::string& argument) {
    if (argument.size() < 2 || argument[0] != '/' || Exists(argument))
        return false;
    const char letter = Lower(argument[1]);
    if (letter == 'e')
        return argument.size() == 2;
    if (letter != 'c')
        return false;
    const std::size_t slash = argument.find('/', 1);
    return slash == std::string::npos || (slash == 2 && !Exists(argument.substr(0, 2)));
}

} // namespace

CommandLineInfo ParseCommandLine(const std::vector<std::string>& arguments) {
    CommandLineInfo info;
    if (arguments.empty())
        return info;
    const std::string& first = arguments[0];
    auto extra = [&](std::size_t used) {
        if (arguments.size() > used) {
            info.kind = CommandLineInfo::kError;
            info.error = "unexpected argument \"" + arguments[used] + "\"";
        }
    };
    if (first == "--help" || first == "-h") {
        info.kind = CommandLineInfo::kHelp;
        return info;
    }
    const bool dashSwitch = first.size() >= 2 && first[0] == '-' && first[1] != '-';
    if (dashSwitch || IsSlashSwitch(first)) {
        const char letter = Lower(first[1]);
        if (letter == 'e') {
            info.kind = CommandLineInfo::kNoDocument;
            extra(1);
            return info;
        }
        if (letter == 'c') {
            info.kind = CommandLineInfo::kCompile;
            if (first.size() > 2) {
                info.path = first.substr(2);
                extra(1);
            } else if (arguments.size() > 1) {
                info.path = arguments[1];
                extra(2);
            } else {
                info.kind = CommandLineInfo::kError;
                info.error = "-c needs the script file to compile";
            }
            return info;
        }
        info.kind = CommandLineInfo::kError;
        info.error = "unknown option \"" + first + "\"";
        return info;
    }
    if (first.size() >= 2 && first[0] == '-' && first[1] == '-') {
        info.kind = CommandLineInfo::kError;
        info.error = "unknown option \"" + first + "\"";
        return info;
    }
    info.kind = CommandLineInfo::kOpen;
    info.path = first;
    extra(1);
    return info;
}

CommandLineInfo ParseCommandLine(int argc, const char* const* argv) {
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i)
        arguments.emplace_back(argv[i]);
    return ParseCommandLine(arguments);
}

std::string UsageText() {
    return "Usage: velmora [FILE | -e | -c FILE | --help]\n"
           "\n"
           "  FILE       open the script FILE\n"
           "  -e, /e     start without a document\n"
           "  -c FILE    compile FILE and download it to the show controller with the\n"
           "  /c FILE    stored settings, then exit; no window opens and nothing waits for a\n"
           "             person: messages go to standard error as \"caption: text\" and are\n"
           "             answered with their default button, compile lines go to standard\n"
           "             output\n"
           "  --help     show this text\n"
           "\n"
           "Exit status of -c:\n"
           "  0  compiled and downloaded\n"
           "  1  the file could not be opened as a script\n"
           "  2  compile errors, the image could not be written, or the compile was aborted\n"
           "  3  compiled, but not downloaded (offline, refused or failed)\n"
           "  4  start-up failed\n"
           "\n"
           "Settings: $XDG_CONFIG_HOME/velmora/velmora.ini (default ~/.config); its section\n"
           "[Serial Ports] maps COMn to a device, e.g. COM1=/dev/ttyUSB0.\n";
}
