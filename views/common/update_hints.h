// The hint numbers a script's views send each other through the document's UpdateAllViews
// (sender none, so the view that made the change hears it too). The hint object is none
// unless said.
#pragma once

namespace hints {

// Any edit of the script's content that needs only a repaint of the other views.
inline constexpr long kRepaint = 0;
// The skip mark of one event was toggled in the timeline's event grid; object: the event's
// index (an int).
inline constexpr long kSkipToggled = 2;
// The graphical timeline's selection of event boxes changed; object: the list of selected
// boxes.
inline constexpr long kTimelineSelection = 3;
// The way event times are shown changed (frames, timecode start, a sequence's timecode).
inline constexpr long kTimeDisplay = 4;
// Event times were changed on the graphical timeline (a drag or a nudge).
inline constexpr long kTimesMoved = 5;
// The timeline's event grid changed the sequence's events; object: 0, or the index of the
// inserted or first pasted event.
inline constexpr long kGridEventsChanged = 6;
// The graphical timeline pasted or deleted events.
inline constexpr long kTimelineEventsChanged = 7;

} // namespace hints
