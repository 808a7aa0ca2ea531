// Runs the controller emulator until interrupted and tells which device path to configure as
// a COM port ("Serial Ports" section of the profile, e.g. COM1=/dev/pts/7). Prints each request it
// receives and the DMX channel values that channel commands change, so a person can watch the
// programs drive it. With --reproducer it plays the reproducer system instead (the SMPTE
// interface unit and the reproducers) and prints each frame it receives, so Configure Now and
// Enable Now of the SMPTE dialog can be tried by hand.
#include "tests/support/controller_emulator.h"
#include "tests/support/reproducer_emulator.h"

#include <charconv>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

namespace {

volatile std::sig_atomic_t g_stop = 0;

void OnSignal(int) {
    g_stop = 1;
}

bool ParseInt(const char* text, int& value) {
    const char* end = text + std::strlen(text);
    const auto result = std::from_chars(text, end, value);
    return result.ec == std::errc() && result.ptr == end;
}

int Usage() {
    std::fprintf(stderr, "usage: controller-emulator [--firmware TEXT] [--memory KB] [--baud N]\n"
                         "                           [--image FILE] [--silent] [--noisy] [--nak]\n"
                         "                           [--nak-completion] [--drop-after N]\n"
                         "       controller-emulator --reproducer [--silent] [--refuse]\n");
    return 2;
}

// The reproducer system on its pty until interrupted, each frame it receives printed.
int RunReproducer(int argc, char** argv) {
    testing_support::ReproducerEmulatorOptions options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--reproducer") {
            continue;
        } else if (arg == "--silent") {
            options.defaultAnswer = testing_support::ReelvoxAnswer::Silent;
        } else if (arg == "--refuse") {
            options.defaultAnswer = testing_support::ReelvoxAnswer::Refuse;
        } else {
            return Usage();
        }
    }
    testing_support::ReproducerEmulator emulator(options);
    if (!emulator.Start()) {
        std::perror("controller-emulator: openpty");
        return 1;
    }
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    std::printf("Reproducer system listening on %s\n"
                "Add to the profile's [Serial Ports] section: COM1=%s\n",
                emulator.SlavePath().c_str(), emulator.SlavePath().c_str());
    std::fflush(stdout);
    std::size_t shown = 0;
    while (!g_stop) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        const auto frames = emulator.Frames();
        for (; shown < frames.size(); ++shown) {
            const testing_support::ReelvoxFrame& frame = frames[shown];
            std::string bytes;
            for (std::uint8_t byte : frame.bytes) {
                char hex[4];
                std::snprintf(hex, sizeof hex, " %02X", byte);
                bytes += hex;
            }
            std::printf("Frame to %u, command %u%s:%s\n", unsigned(frame.destination),
                        unsigned(frame.command), frame.checksumOk ? "" : " (bad checksum)",
                        bytes.c_str());
        }
        std::fflush(stdout);
    }
    emulator.Stop();
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--reproducer") == 0)
            return RunReproducer(argc, argv);
    }
    testing_support::EmulatorOptions options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--firmware" && hasValue) {
            options.firmwareLine = argv[++i];
        } else if (arg == "--memory" && hasValue) {
            if (!ParseInt(argv[++i], options.memoryKb)) {
                return Usage();
            }
        } else if (arg == "--baud" && hasValue) {
            if (!ParseInt(argv[++i], options.baud)) {
                return Usage();
            }
        } else if (arg == "--drop-after" && hasValue) {
            if (!ParseInt(argv[++i], options.dropAfterStreamBytes)) {
                return Usage();
            }
        } else if (arg == "--image" && hasValue) {
            std::ifstream file(argv[++i], std::ios::binary);
            if (!file) {
                std::fprintf(stderr, "controller-emulator: cannot read %s\n", argv[i]);
                return 1;
            }
            options.image.assign(std::istreambuf_iterator<char>(file), {});
            // The length word of the image replies holds no more.
            if (options.image.size() > 65535) {
                std::fprintf(stderr, "controller-emulator: %s is longer than 65535 bytes\n",
                             argv[i]);
                return 1;
            }
        } else if (arg == "--silent") {
            options.silent = true;
        } else if (arg == "--noisy") {
            options.noisy = true;
        } else if (arg == "--nak") {
            options.nakRequest = true;
        } else if (arg == "--nak-completion") {
            options.nakCompletion = true;
        } else {
            return Usage();
        }
    }
    testing_support::ControllerEmulator emulator(options);
    if (!emulator.Start()) {
        std::perror("controller-emulator: openpty");
        return 1;
    }
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    std::printf("Controller listening on %s\n"
                "Add to the profile's [Serial Ports] section: COM1=%s\n",
                emulator.SlavePath().c_str(), emulator.SlavePath().c_str());
    std::fflush(stdout);
    auto shown = emulator.ChannelValues();
    int commandsShown = 0;
    std::size_t requestsShown = 0;
    while (!g_stop) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        // Every framed request, so a person sees a live start or reset arrive with its index.
        const auto requests = emulator.Requests();
        for (; requestsShown < requests.size(); ++requestsShown) {
            const auto& request = requests[requestsShown];
            std::string bytes;
            for (std::size_t i = 0; i < request.message.size() && i < 16; ++i) {
                char hex[4];
                std::snprintf(hex, sizeof hex, " %02X", request.message[i]);
                bytes += hex;
            }
            if (request.message.size() > 16)
                bytes += " ...";
            std::printf("Request: unit %u, bytes%s%s\n", unsigned(request.unit), bytes.c_str(),
                        request.checksumOk ? "" : " (bad checksum)");
            std::fflush(stdout);
        }
        const int commands = emulator.ChannelCommands();
        if (commands == commandsShown) {
            continue;
        }
        commandsShown = commands;
        const auto values = emulator.ChannelValues();
        std::string line;
        for (std::size_t i = 0; i < values.size(); ++i) {
            if (values[i] != shown[i]) {
                line += " " + std::to_string(i + 1) + "=" + std::to_string(values[i]);
            }
        }
        shown = values;
        std::printf("DMX channels (%d commands):%s\n", commands,
                    line.empty() ? " unchanged" : line.c_str());
        std::fflush(stdout);
    }
    emulator.Stop();
    return 0;
}
