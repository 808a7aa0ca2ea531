// Name-to-code lookups of a script's resources, the label lookups that turn a jump target into
// a count of events to pass over, and the search for an identical event code already stored by
// the size-optimised compile. Callers normalise names (NormalizeName) first; the lookups
// compare the text as given, without regard to case, and the first entry of a name wins.
#pragma once

#include <string_view>

class CVLDoc;

// Equality without regard to case (letters of Windows-1252), as names are compared.
bool EqualsNoCase(std::string_view a, std::string_view b);

// Codes: input 128 + index, output index, flag 64 + index, variable index, sequence, data
// string and LCD string their list positions; -1 when no entry has the name.
int FindInput(const CVLDoc& doc, std::string_view name);
int FindOutput(const CVLDoc& doc, std::string_view name);
int FindFlag(const CVLDoc& doc, std::string_view name);
int FindVariable(const CVLDoc& doc, std::string_view name);
int FindSequence(const CVLDoc& doc, std::string_view name);
int FindDataString(const CVLDoc& doc, std::string_view name);
int FindLcdString(const CVLDoc& doc, std::string_view name);

// In the compiler's current sequence, forward from its current event (skipped events neither
// counted nor found): the number of events to pass over to reach the label.
// Byte form: 0-127; -1 empty label or not found ahead; -2 too far; -3 label defined twice.
int FindLabelByteOffset(std::string_view label);
// Word form: 0-32768; 0 also for an empty label, one not found or one too far; -3 label
// defined twice.
int FindLabelWordOffset(std::string_view label);

// The image offset of the first stored event code equal to the current event's compiled
// bytes, or -1.
int FindIdenticalCompiledEvent();

// The kinds of resource an event operand can name, as the timeline colours them and the cross
// reference lists them.
enum OperandKind : int {
    kOperandNone = 0,
    kOperandInput = 1,
    kOperandOutput = 2,
    kOperandFlag = 3,
    kOperandVariable = 4,
    kOperandPort = 5,
    kOperandLcdString = 6,
    kOperandDataString = 7,
    kOperandSequence = 8,
};
// What `name` names in the script, trying input, output, flag, variable, port, sequence, data
// string and LCD string in that order (the first match wins): the kind, with `index` the plain
// 0-based index within its table; kOperandNone with index -1 when nothing matches.
int GetOperandKind(const CVLDoc& doc, std::string_view name, int& index);
