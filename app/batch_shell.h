// The windows of a command-line compile: none. A script gets no frame, and its compile view
// prints every line to standard output, so the run needs no display.
#pragma once

#include "app/command_line.h"
#include "app/my_multi_doc_template.h"
#include "app/vl_app.h"
#include "compiler/diagnostics.h"
#include "platform/doc_template.h"
#include "platform/document.h"

#include <cstdio>
#include <memory>
#include <optional>
#include <vector>

// A compile view that prints its lines.
class ConsoleCompileView : public platform::View, public CompileMessageSink {
public:
    explicit ConsoleCompileView(std::FILE* out) : out_(out) {}
    const char* ViewClassName() const override { return "CCompileView"; }
    void ClearMessages() override {}
    void AddMessage(const std::string& text, int kind, int resource, int event, int param,
                    std::int32_t colour) override;

private:
    std::FILE* out_;
};

class BatchShell : public AppShell, public DocFrameFactory, public platform::ViewTemplate {
public:
    explicit BatchShell(std::FILE* out = stdout) : out_(out) {}

    DocFrameFactory& ScriptFrames() override { return *this; }
    platform::ViewTemplate* CompileTemplate() override { return this; }
    bool CreateMainFrame() override { return true; }
    platform::Document* ActiveDocument() override { return active_; }

    bool CreateFrame(CVLDoc& /*doc*/) override { return true; }
    void DestroyFrames(CVLDoc& doc) override;
    void InitialUpdateFrame(CVLDoc& doc, bool visible) override;

    platform::View* CreateViewFrame(platform::Document& document) override;

private:
    std::FILE* out_;
    platform::Document* active_ = nullptr;
    std::vector<std::unique_ptr<ConsoleCompileView>> views_;
};

// What the program does without a window: the usage text, a bad command line and a command-line
// compile (-c). Returns the exit status, or nothing when the window has to open.
std::optional<int> RunWithoutWindow(CVLApp& app, const CommandLineInfo& info);
