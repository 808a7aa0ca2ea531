// Compile-message lines and the compiler's reporters. Every line a compile, download, retrieval
// or archive operation shows in a script's compile view passes through PostCompileMessage; the
// reporters format a problem, count it, colour it and tag it with what it concerns so the view
// can open the right editor for it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace platform {
class Document;
}

// What a line is about; the view opens the matching editor for the line.
enum CompileMessageKind : int {
    kMsgPlain = 0, // progress, summary, results, image-size errors
    kMsgUnit = 1,  // unit configuration
    kMsgInput = 2,
    kMsgOutput = 3,
    kMsgFlag = 4,
    kMsgVariable = 5,
    kMsgPort = 6,
    kMsgDataString = 7,
    kMsgLcdString = 8,
    kMsgSequence = 9,
    kMsgEvent = 10,
    kMsgParameter = 11,
};

// Colours: red in bits 0-7, green 8-15, blue 16-23; -1 is the view's default black.
inline constexpr std::int32_t kColourDefault = -1;
inline constexpr std::int32_t kColourRed = 0x0000FF;    // errors, failures
inline constexpr std::int32_t kColourOrange = 0x4080FF; // warnings, cautions, user aborts
inline constexpr std::int32_t kColourBlue = 0xFF0000;   // success

// The title of the message dialog a unit-configuration line opens.
inline constexpr const char* kUnitMessageDialogTitle = "Edit Configuration | Unit";

// Formatted lines are cut to this many characters.
inline constexpr std::size_t kMaxMessageText = 1024;

// One line as the view receives it. Indexes are 0-based, -1 for none.
struct CompileMessage {
    std::string text;
    std::int32_t colour = kColourDefault;
    int kind = kMsgPlain;
    int resource = -1;
    int event = -1;
    int param = -1;
};

// The receiving end of the lines: the document's compile view implements it (a view whose
// class is "CCompileView"); tests record the lines.
class CompileMessageSink {
public:
    // A view that goes away stops receiving lines (the compiler state keeps its view between
    // runs for the download's lines).
    virtual ~CompileMessageSink();
    // No rows, redrawn at once.
    virtual void ClearMessages() = 0;
    // Appends one row and makes it the current one.
    virtual void AddMessage(const std::string& text, int kind, int resource, int event, int param,
                            std::int32_t colour) = 0;
};

// The first of the document's views whose class is "CCompileView" and that takes lines;
// none when the document has no compile view.
CompileMessageSink* FindCompileView(const platform::Document& document);

// printf-style formatting of a diagnostic, cut to kMaxMessageText characters. The formats use
// %s, %d, %u and %c only, which no locale changes.
std::string FormatCompileText(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Makes `view` the compile view the lines below go to (the link's transfers log there too).
void DirectCompileMessages(CompileMessageSink* view);

// Appends a line to the compile view registered in the compiler state; nothing without one.
void PostCompileMessage(std::string_view text, std::int32_t colour = kColourDefault,
                        int kind = kMsgPlain, int resource = -1, int event = -1, int param = -1);

// The reporters. Each takes the message without its "Error: " or "Warning: " prefix.
// Unit and configuration errors: red, no indexes (kinds 0 and 1).
void ReportUnitError(std::string_view text);
void ReportConfigurationError(std::string_view text);
// Sequence lines carry the index of the first sequence with the current sequence's name; with
// no such sequence the line is counted but not posted. An error marks the current sequence for
// compiling.
void ReportSequenceWarning(std::string_view text);
void ReportSequenceError(std::string_view text);
// Resource lines carry the compiler state's resource index.
void ReportPortError(std::string_view text);
void ReportInputWarning(std::string_view text);
void ReportOutputWarning(std::string_view text);
void ReportFlagWarning(std::string_view text);
void ReportVariableWarning(std::string_view text);
void ReportPortWarning(std::string_view text);
void ReportDataStringWarning(std::string_view text);
void ReportLcdStringWarning(std::string_view text);
// "Error: Sequence %s, Event %d: %s" on the current event; marks the sequence for compiling.
void ReportEventError(std::string_view text);
// "Warning: Sequence %s, Event %d: %s"; an empty text is posted but not counted.
void ReportEventWarning(std::string_view text);
// Detail lines below an event error; they count nothing but mark the sequence for compiling.
// "       Event [command] - description was not found as parameter n" (param 0-based).
void ReportParameterNotFound(std::string_view commandName, std::string_view description, int param);
// "       Event [command] is only supported by SCU Version x firmware and above", for the
// compiler state's current command.
void ReportFirmwareRequirement();
