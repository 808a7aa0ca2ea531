// The Time Wizard's arithmetic on a sequence's event times: which events the grid's selection
// hands it, and the new times of add, subtract, fill and expand-or-compress. Every entry and
// every result is checked before any time is given back, so a refused run changes nothing.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace timewizard {

enum Choice { kAdd = 0, kSubtract = 1, kFill = 2, kScale = 3 };

// How a time text becomes a whole frame count: the event editor rounds, the timeline grid
// truncates, so its times never move past the box the user dragged.
enum class FrameConversion { RoundHalfUp, Truncate };

// The events the wizard works on, 0-based; `first` is the last event when no Time cell is
// selected among the others.
struct EventRun {
    int first = 0;
    int last = 0;
    bool Several() const { return first != last; }
};
// `timeSelected(row)` tells whether the Time cell of event row `row` is in the block selection.
// The sequence has `eventCount` events (at least one).
EventRun SelectedRun(int eventCount, const std::function<bool(int)>& timeSelected);

// What the dialog gives back after OK.
struct Request {
    int choice = kAdd;
    std::string firstText;     // time to add or subtract, fill start, new length or "n%"
    std::string incrementText; // fill increment
    bool skipZero = false;
    bool roundToSecond = false;
};

struct Settings {
    double rate = 30.0;
    bool eventsInFrames = false; // the dialog's entries are frame counts
    FrameConversion conversion = FrameConversion::RoundHalfUp;
};

struct NewTime {
    int event; // 0-based
    std::string time;
};

// Either the new times of the changed events, or the stop message (range sentence included),
// shown under "Time Wizard" with no event changed.
struct Outcome {
    std::vector<NewTime> times;
    std::string stopMessage;
    bool Stopped() const { return !stopMessage.empty(); }
};

// `times` are the stored Time texts of all the sequence's events.
Outcome Plan(const std::vector<std::string>& times, EventRun run, const Request& request,
             const Settings& settings);

// The MM:SS.FF text of the last frame an event time can have at `rate`, as the messages list it.
std::string MaxEventTimeText(double rate);

// "Range is ( 0 - 65535 ) or ( 00:00.00 - 45:30.15 ).  Event Wizard aborted..." and its
// siblings at 25, 29.97 and 30 frames per second.
std::string RangeSentence(double rate);

} // namespace timewizard
