// What the event wizards and the resource list show, worked out from the script without a
// window: the event names the script can use with their variations, the help of a data field,
// and the script's resources with their comments.
#pragma once

#include <string>
#include <string_view>
#include <vector>

class CEvnt;
class CProtocol;
class CVLDoc;

namespace eventwizard {

// Entries of a type-ahead list in the order a sorted list box shows them (no case).
void InsertSorted(std::vector<std::string>& entries, std::string entry);
// The first entry beginning with `prefix` (no case); -1 when none does.
int FindPrefix(const std::vector<std::string>& entries, std::string_view prefix);
// The first entry equal to `text` (no case); -1 when none is.
int FindExact(const std::vector<std::string>& entries, std::string_view text);
// The first entry that begins with one of `prefixes` followed by `typed`, trying the prefixes in
// their order; -1 when none does.
int FindTyped(const std::vector<std::string>& entries, const std::vector<std::string>& prefixes,
              std::string_view typed);

// ---- "Event Wizard - Available Events List" (148) ----
inline constexpr std::string_view kInternal = "INT: ";
inline constexpr std::string_view kExternal = "EXT: ";
inline constexpr std::string_view kBoth = "I&E: ";
inline constexpr const char* kAllEventsLabel = "All Available Internal/External Events";

struct EventsList {
    std::vector<std::string> entries;
    std::string label;
    const CProtocol* specific = nullptr; // the protocol of the port Data1 names, or none
    int highlighted = -1;                // the event's current name, or -1
};
// Adds the categories of `protocol`'s commands, merging names both kinds have into "I&E: ".
void AddProtocolEvents(std::vector<std::string>& entries, const CProtocol& protocol, bool builtIn);
// The list for `event` of `doc`: the internal events, then the protocol of the port its first
// parameter names, or every port's protocol when it names none.
EventsList BuildEventsList(CVLDoc& doc, const CEvnt& event);
// The variations of `entry` (a list entry with its prefix) as field 325 shows them.
std::string VariationsText(CVLDoc& doc, const CProtocol* specific, std::string_view entry);

// ---- "Event Wizard - Data Field" (165) ----
struct DataHelp {
    std::string label;
    std::string text;
};
DataHelp DataFieldHelp(CVLDoc& doc, const CEvnt& event, int parameter);

// ---- "Resource List" (176) ----
// The prefixes in the list's order, and the order the preset name is looked for in.
inline constexpr const char* kResourcePrefixes[] = {
    "Data:  ", "Flag:  ", "Input: ", "LCD:   ", "Output:", "Port:  ", "Seq:   ", "Var:   "};
inline constexpr const char* kPresetOrder[] = {
    "Input: ", "Output:", "Flag:  ", "Var:   ", "Port:  ", "LCD:   ", "Data:  ", "Seq:   "};
struct ResourceList {
    std::vector<std::string> entries; // sorted as the list shows them
    int highlighted = -1;
    bool showComment = false; // a preset name was found: its comment shows at once
};
ResourceList BuildResourceList(const CVLDoc& doc, std::string_view preset,
                               std::string_view eventName);
// The comment of a list entry ("Output:Lamp"); empty when it names nothing.
std::string ResourceComment(const CVLDoc& doc, std::string_view entry);
// The dialog's height for a comment: 262 pixels and 16 for every line feed.
int ResourceDialogHeight(std::string_view comment);

} // namespace eventwizard
