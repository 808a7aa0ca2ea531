// The program's command line without its window, for the ThreadSanitizer build, which compiles
// no widget: help, a bad command line and -c take the program's own path (RunWithoutWindow).
#include "app/batch_shell.h"
#include "app/command_line.h"
#include "app/vl_app.h"
#include "platform/ui_services.h"

#include <cstdio>
#include <optional>

int main(int argc, char** argv) {
    const CommandLineInfo info = ParseCommandLine(argc, argv);
    platform::SetDefaultCaption("Velmora");
    CVLApp app;
    if (const std::optional<int> status = RunWithoutWindow(app, info))
        return *status;
    std::fputs("velmora_batch: this build has no window; use -c FILE\n", stderr);
    return CVLApp::kBatchStartupFailed;
}
