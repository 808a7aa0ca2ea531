#include "compiler/diagnostics.h"

#include "compiler/compiler_state.h"
#include "compiler/name_lookups.h"
#include "platform/document.h"
#include "script/protocol.h"
#include "script/view_kind.h"
#include "script/vl_doc.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {

std::string CutText(std::string_view text) {
    return std::string(text.substr(0, kMaxMessageText));
}

// The index of the first sequence named as the current one; -1 when there is none (the line is
// then counted but not shown).
int CurrentSequenceIndex(const CompilerState& state) {
    if (!state.document || !state.currentSequence)
        return -1;
    return FindSequence(*state.document, state.currentSequence->m_strName);
}

void MarkCurrentSequence(CompilerState& state) {
    if (state.currentSequence)
        state.currentSequence->m_nNeedsCompile = 1;
}

void CountError(CompilerState& state) {
    if (state.errorCount < UINT32_MAX)
        ++state.errorCount;
}

void CountWarning(CompilerState& state) {
    if (state.warningCount < UINT32_MAX)
        ++state.warningCount;
}

void Post(CompilerState& state, std::string text, std::int32_t colour, int kind, int resource,
          int event, int param) {
    state.messageText = CutText(text);
    PostCompileMessage(state.messageText, colour, kind, resource, event, param);
}

std::string Prefixed(const char* prefix, std::string_view text) {
    std::string line(prefix);
    line.append(text);
    return line;
}

void ResourceWarning(std::string_view text, int kind) {
    CompilerState& state = GetCompilerState();
    CountWarning(state);
    Post(state, Prefixed("Warning: ", text), kColourOrange, kind, state.resourceIndex, -1, -1);
}

void SequenceLine(std::string line, std::int32_t colour, int kind, int event, int param) {
    CompilerState& state = GetCompilerState();
    const int sequence = CurrentSequenceIndex(state);
    state.messageText = CutText(line);
    if (sequence >= 0)
        PostCompileMessage(state.messageText, colour, kind, sequence, event, param);
}

std::string CurrentSequenceName(const CompilerState& state) {
    return state.currentSequence ? state.currentSequence->m_strName : std::string();
}

} // namespace

CompileMessageSink::~CompileMessageSink() {
    CompilerState& state = GetCompilerState();
    if (state.compileView == this)
        state.compileView = nullptr;
}

CompileMessageSink* FindCompileView(const platform::Document& document) {
    for (platform::View* view : document.Views()) {
        if (view && HasRole(*view, &ViewKind::compileOutput)) {
            if (auto* sink = dynamic_cast<CompileMessageSink*>(view))
                return sink;
        }
    }
    return nullptr;
}

std::string FormatCompileText(const char* format, ...) {
    char buffer[kMaxMessageText + 1];
    va_list args;
    va_start(args, format);
    const int written = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    if (written < 0)
        return std::string();
    return std::string(buffer);
}

void DirectCompileMessages(CompileMessageSink* view) {
    GetCompilerState().compileView = view;
}

void PostCompileMessage(std::string_view text, std::int32_t colour, int kind, int resource,
                        int event, int param) {
    CompileMessageSink* view = GetCompilerState().compileView;
    if (view)
        view->AddMessage(CutText(text), kind, resource, event, param, colour);
}

void ReportUnitError(std::string_view text) {
    CompilerState& state = GetCompilerState();
    CountError(state);
    Post(state, Prefixed("Error: ", text), kColourRed, kMsgPlain, -1, -1, -1);
}

void ReportConfigurationError(std::string_view text) {
    CompilerState& state = GetCompilerState();
    CountError(state);
    Post(state, Prefixed("Error: ", text), kColourRed, kMsgUnit, -1, -1, -1);
}

void ReportSequenceWarning(std::string_view text) {
    CompilerState& state = GetCompilerState();
    CountWarning(state);
    SequenceLine(Prefixed("Warning: ", text), kColourRed, kMsgSequence, -1, -1);
}

void ReportSequenceError(std::string_view text) {
    CompilerState& state = GetCompilerState();
    CountError(state);
    MarkCurrentSequence(state);
    SequenceLine(Prefixed("Error: ", text), kColourRed, kMsgSequence, -1, -1);
}

void ReportPortError(std::string_view text) {
    CompilerState& state = GetCompilerState();
    CountError(state);
    Post(state, Prefixed("Error: ", text), kColourRed, kMsgPort, state.resourceIndex, -1, -1);
}

void ReportInputWarning(std::string_view text) {
    ResourceWarning(text, kMsgInput);
}
void ReportOutputWarning(std::string_view text) {
    ResourceWarning(text, kMsgOutput);
}
void ReportFlagWarning(std::string_view text) {
    ResourceWarning(text, kMsgFlag);
}
void ReportVariableWarning(std::string_view text) {
    ResourceWarning(text, kMsgVariable);
}
void ReportPortWarning(std::string_view text) {
    ResourceWarning(text, kMsgPort);
}
void ReportDataStringWarning(std::string_view text) {
    ResourceWarning(text, kMsgDataString);
}
void ReportLcdStringWarning(std::string_view text) {
    ResourceWarning(text, kMsgLcdString);
}

void ReportEventError(std::string_view text) {
    CompilerState& state = GetCompilerState();
    CountError(state);
    MarkCurrentSequence(state);
    const std::string tail(text);
    SequenceLine(FormatCompileText("Error: Sequence %s, Event %d: %s",
                                   CurrentSequenceName(state).c_str(), state.currentEventIndex + 1,
                                   tail.c_str()),
                 kColourRed, kMsgEvent, state.currentEventIndex, -1);
}

void ReportEventWarning(std::string_view text) {
    CompilerState& state = GetCompilerState();
    if (!text.empty())
        CountWarning(state);
    const std::string tail(text);
    SequenceLine(FormatCompileText("Warning: Sequence %s, Event %d: %s",
                                   CurrentSequenceName(state).c_str(), state.currentEventIndex + 1,
                                   tail.c_str()),
                 kColourOrange, kMsgEvent, state.currentEventIndex, -1);
}

void ReportParameterNotFound(std::string_view commandName, std::string_view description,
                             int param) {
    CompilerState& state = GetCompilerState();
    MarkCurrentSequence(state);
    const std::string command(commandName);
    const std::string what(description);
    SequenceLine(FormatCompileText("       Event [%s] - %s was not found as parameter %d",
                                   command.c_str(), what.c_str(), param + 1),
                 kColourRed, kMsgParameter, state.currentEventIndex, param);
}

void ReportFirmwareRequirement() {
    CompilerState& state = GetCompilerState();
    MarkCurrentSequence(state);
    const std::string command = state.currentCommand ? state.currentCommand->GetName() : "";
    const std::string version = state.currentCommand ? state.currentCommand->m_strSupported : "";
    SequenceLine(FormatCompileText(
                     "       Event [%s] is only supported by SCU Version %s firmware and above",
                     command.c_str(), version.c_str()),
                 kColourRed, kMsgParameter, state.currentEventIndex, -1);
}
