// The compiler's working state: one record shared by the configuration, sequence and event
// compilers and by the reporters. One compilation (or one single-event compile for a live
// command) runs at a time on the user-interface thread, so the record is process-wide; tests
// reset it through ResetCompilerState.
#pragma once

#include "script/byte_string.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class CVLDoc;
class CSeq;
class CEvnt;
class CCmnd;
class CompileMessageSink;

// The largest show image the controller accepts.
inline constexpr std::size_t kMaxImageSize = 65535;

// The compiler version the banner shows and the image header stores (times 100).
inline constexpr const char* kCompilerVersionText = "1.02";
inline constexpr std::uint16_t kCompilerVersionCode = 102;

// No command of this firmware version or above is compiled.
inline constexpr double kDefaultFirmwareLimit = 99.99;

// One distinct event code stored by the size-optimised compile: where it stands in the image
// and a copy of its bytes, so later identical events can point at it.
struct COriginalEvent {
    std::uint16_t m_wOffset = 0;
    ByteString m_bsCode;
};

// Kinds of resource names in the fixed order of the duplicate-name check.
enum NameKind : int {
    kNameInput = 0,
    kNameOutput,
    kNameFlag,
    kNameVariable,
    kNamePort,
    kNameDataString,
    kNameLcdString,
    kNameSequence,
    kNameKindCount
};

struct CompilerState {
    // The image under construction and the count of bytes written so far (the append position;
    // never above kMaxImageSize). Only ShowImageWriter writes into it.
    std::array<std::uint8_t, kMaxImageSize> image{};
    std::int32_t imageLength = 0;

    // Counted in 32 bits so that a huge script cannot wrap them back to "no errors".
    std::uint32_t errorCount = 0;
    std::uint32_t warningCount = 0;
    // Event bytes the size variant did not store again.
    std::uint32_t bytesSaved = 0;

    // Where the lines of this run go (none: lines are counted but not shown), and the script
    // being compiled (the reporters find the current sequence's index in it).
    CompileMessageSink* compileView = nullptr;
    CVLDoc* document = nullptr;

    // The cursor shared by the sequence and event compilers and the reporters.
    int currentSequenceIndex = 0;
    CSeq* currentSequence = nullptr;
    int currentEventIndex = 0; // position in the event list, skipped events included
    CEvnt* currentEvent = nullptr;
    CCmnd* currentCommand = nullptr;

    // The out-of-order check: the latest event time seen (frames) and the event that set it.
    double lastEventTime = 0.0;
    int lastEventIndex = 0;

    // The 0-based index of the resource a resource reporter names.
    int resourceIndex = 0;

    // Commands of this firmware version or above are refused.
    double firmwareLimit = kDefaultFirmwareLimit;
    // The highest "Supported" version among the commands compiled, its text, the command that
    // asks for it and whether it came from a device protocol (the download checks them).
    double highestFirmware = 0.0;
    std::string highestFirmwareText;
    std::string highestFirmwareCommand;
    bool highestFirmwareExternal = false;

    // Set when an event used a resource of another open script.
    bool linkedResources = false;

    // Start indexes of the duplicate-name check, one per NameKind.
    std::array<int, kNameKindCount> duplicateStart{};

    // The event codes stored so far by the size variant, in the order they were made.
    std::vector<std::unique_ptr<COriginalEvent>> originalEvents;
    // The same codes by their bytes (the first offset of each), kept up to date by the
    // identical-event search, which indexes whatever was appended to the list since.
    std::unordered_map<std::string, std::uint16_t> originalIndex;
    std::size_t originalIndexed = 0;

    // The last formatted diagnostic (at most kMaxMessageText characters).
    std::string messageText;

    // The command message being built by the template evaluation; the parameter functions that
    // look at "the message so far" read it.
    ByteString message;

    // Set only while a complex-expression function tokenises its line: only then do operators
    // and parentheses count as expression syntax.
    bool expressionsAllowed = false;
};

// The process-wide state.
CompilerState& GetCompilerState();

// Back to a freshly constructed state (tests; a compile resets what it needs itself).
void ResetCompilerState();
