#include "app/batch_shell.h"

#include "platform/terminal_text.h"
#include "platform/ui_services.h"
#include "script/vl_doc.h"

#include <algorithm>
#include <cstdio>

void ConsoleCompileView::AddMessage(const std::string& text, int /*kind*/, int /*resource*/,
                                    int /*event*/, int /*param*/, std::int32_t /*colour*/) {
    // Script lines and controller replies reach the terminal here.
    std::fprintf(out_, "%s\n", platform::TerminalSafe(text).c_str());
    std::fflush(out_);
}

void BatchShell::DestroyFrames(CVLDoc& doc) {
    if (active_ == &doc)
        active_ = nullptr;
    std::erase_if(views_, [&doc](const auto& view) { return view->GetDocument() == &doc; });
}

void BatchShell::InitialUpdateFrame(CVLDoc& doc, bool /*visible*/) {
    active_ = &doc;
}

platform::View* BatchShell::CreateViewFrame(platform::Document& document) {
    views_.push_back(std::make_unique<ConsoleCompileView>(out_));
    document.AddView(views_.back().get());
    return views_.back().get();
}

std::optional<int> RunWithoutWindow(CVLApp& app, const CommandLineInfo& info) {
    if (info.kind == CommandLineInfo::kHelp) {
        std::fputs(UsageText().c_str(), stdout);
        return 0;
    }
    if (info.kind == CommandLineInfo::kError) {
        std::fprintf(stderr, "velmora: %s\n\n%s", info.error.c_str(), UsageText().c_str());
        return CVLApp::kBatchStartupFailed;
    }
    if (info.kind != CommandLineInfo::kCompile)
        return std::nullopt;
    platform::ConsoleUi console;
    platform::UiServices* previous = platform::SetUi(&console);
    BatchShell shell;
    int status = CVLApp::kBatchStartupFailed;
    if (app.InitInstance(shell))
        status = app.ProcessCommandLine(info);
    app.ExitInstance();
    platform::SetUi(previous);
    return status;
}
