// Resources of linked scripts: a port whose protocol text is "script->protocol" is wired to
// another controller with a script of its own, and events sent through it may name that
// script's inputs, outputs, flags, variables, ports and sequences. The linked script must be
// open to look them up; it is found among the open scripts, or opened after asking.
#pragma once

#include "platform/ui_services.h"
#include "script/dialog_requests.h"

#include <functional>
#include <string>
#include <string_view>

class CVLDoc;

// The open script that the current event's port (named by its first parameter) is linked to,
// or null. May ask to open it; Cancel sets the document's abort flag.
CVLDoc* ResolveLinkedScript(CVLDoc& doc);

// Within the compile of one event a script the user declined (or could not locate) is asked
// about once; the compile of each event starts by forgetting that answer.
void ForgetDeclinedLinkedScript();

// Codes of the linked script's resources, coded as the local lookups code them; -1 without a
// linked script or such a name. A successful lookup sets the compiler's linked-resources flag.
int FindRemoteInput(CVLDoc& doc, std::string_view name);
int FindRemoteOutput(CVLDoc& doc, std::string_view name);
int FindRemoteFlag(CVLDoc& doc, std::string_view name);
int FindRemoteVariable(CVLDoc& doc, std::string_view name);
int FindRemotePort(CVLDoc& doc, std::string_view name);
int FindRemoteSequence(CVLDoc& doc, std::string_view name);
