// The sequence compile: the sequence table entries, the 25-byte sequence header with its four
// triggers, every event's time and body, and the sequence record appended to the image. The
// size variant stores each distinct event code once in the whole image; the speed variant
// reuses the compiled bytes of sequences not marked for compiling.
#pragma once

#include <cstdint>

class CVLDoc;

// Compile the sequence at the compiler state's current sequence index and append its record.
void CompileSequenceForSize(CVLDoc& doc);
void CompileSequenceForSpeed(CVLDoc& doc);

// Builds the current sequence's 25-byte header and stores it as its compiled header.
void CompileSequenceHeader(CVLDoc& doc);

// The condition byte of trigger 0 start, 1 stop, 2 pause or 3 reset of the current sequence.
std::uint8_t EncodeTriggerCondition(CVLDoc& doc, int trigger);

// Checks the current event's Time text and replaces its compiled bytes with the time word.
void CompileEventTime(CVLDoc& doc);
