// Compiling one event: finding the command of the events protocol or of the port's device
// protocol that accepts the event's parameters, and appending the event's body (the command's
// message, or a frame that has the controller send it out of a port) to the event's compiled
// bytes. Runs on the compiler's cursor (CompilerState): the current sequence, event and command.
#pragma once

#include "compiler/param_functions.h"
#include "script/byte_string.h"

#include <string_view>

class CVLDoc;
class CSeq;
class CEvnt;

// TRUE (1) when the current event is to be compiled as internal: its first parameter names no
// port of the script, or some events-protocol command of the event's category accepts its
// parameters in a trial match. FALSE (0): the event goes through the port's device protocol.
int CompilePortEvent(CVLDoc& doc);
// CompilePortEvent for one event of a sequence outside a compile run (the DOS import): the
// compiler's cursor is lent to the event and put back afterwards.
int CheckPortEventOf(CVLDoc& doc, CSeq& sequence, CEvnt& event);

// Append the current event's body to its compiled bytes. report 1: problems become compile
// lines; report 0 (single-event compile): nothing is reported, the caller reads the error count.
void CompileInternalEvent(CVLDoc& doc, int report);
void CompileExternalEvent(CVLDoc& doc, int report);

// TRUE when every parameter of the current command accepts its event parameter and the event
// has no parameter beyond them; fills CurrentParamValues().
int MatchEventParameters(CVLDoc& doc, int report);

// The bytes of a command template ("Message" line) and of one of its items.
ByteString EvaluateTemplate(CVLDoc& doc, std::string_view text);
ByteString EvaluateTemplateItem(CVLDoc& doc, std::string_view item);

// The compile of one event alone, as the live "Download Event" command and the real-time
// wizard do it: resets the cursor, counts and firmware limit, compiles without report. Answers
// true when no error was counted; the event's compiled bytes then hold its body.
bool CompileSingleEvent(CVLDoc& doc, CSeq& sequence, int sequenceIndex, CEvnt& event,
                        int eventIndex);
