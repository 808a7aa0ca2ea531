#include "app/batch_shell.h"

#include "platform/terminal_text.h"
#include "script/vl_doc.h"

#include <algorithm>

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
