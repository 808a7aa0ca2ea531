// The hints a script's views send each other through the document's UpdateAllViews (sender
// none, so the view that made the change hears it too), sent and read through the typed helpers
// below, never as a bare number and pointer. The hints of one sequence carry the sequence beside
// what they say of it, so a view of another sequence leaves them alone: an index alone would
// name an event of whichever sequence the receiver shows.
#pragma once

class CEventBoxList;
class CSeq;

namespace platform {
class Document;
}

namespace hints {

// Any edit of the script's content that needs only a repaint of the other views.
inline constexpr long kRepaint = 0;
// The skip mark of one event was toggled in the timeline's event grid.
inline constexpr long kSkipToggled = 2;
// The graphical timeline's selection of event boxes changed.
inline constexpr long kTimelineSelection = 3;
// The way event times are shown changed (frames, timecode start, a sequence's timecode).
inline constexpr long kTimeDisplay = 4;
// Event times were changed on the graphical timeline (a drag or a nudge).
inline constexpr long kTimesMoved = 5;
// The timeline's event grid changed the sequence's events.
inline constexpr long kGridEventsChanged = 6;
// The graphical timeline pasted or deleted events.
inline constexpr long kTimelineEventsChanged = 7;
// The event list of one sequence changed (events added, removed, moved or replaced): every event
// editor, timeline grid and timeline of that sequence rebuilds. Sent by every change of a
// sequence's events, before the hints above that the same change sends.
inline constexpr long kEventListChanged = 8;

// The objects of the hints of one sequence.
struct SkipToggled {
    static constexpr long kHint = kSkipToggled;
    const CSeq* sequence;
    int event; // its index in the sequence
};
struct TimelineSelection {
    static constexpr long kHint = kTimelineSelection;
    const CSeq* sequence;
    const CEventBoxList* boxes; // the selected boxes
};
struct TimesMoved {
    static constexpr long kHint = kTimesMoved;
    const CSeq* sequence;
};
struct GridEventsChanged {
    static constexpr long kHint = kGridEventsChanged;
    const CSeq* sequence;
    int event; // 0, or the index of the inserted or first pasted event
};
struct TimelineEventsChanged {
    static constexpr long kHint = kTimelineEventsChanged;
    const CSeq* sequence;
};
struct EventListChanged {
    static constexpr long kHint = kEventListChanged;
    const CSeq* sequence;
};

// Sending; every view of `document` has had the hint when these return.
void SendRepaint(platform::Document& document);
void SendTimeDisplay(platform::Document& document);
void SendSkipToggled(platform::Document& document, const CSeq& sequence, int event);
void SendTimelineSelection(platform::Document& document, const CSeq& sequence,
                           const CEventBoxList& boxes);
void SendTimesMoved(platform::Document& document, const CSeq& sequence);
void SendGridEventsChanged(platform::Document& document, const CSeq& sequence, int event);
void SendTimelineEventsChanged(platform::Document& document, const CSeq& sequence);
void SendEventListChanged(platform::Document& document, const CSeq& sequence);

// Receiving: the object of a hint of kind `Hint`, null when the hint is another one.
template <typename Hint> const Hint* As(long hint, const void* object) {
    return hint == Hint::kHint ? static_cast<const Hint*>(object) : nullptr;
}
// The sequence a hint concerns; null for the hints of the whole script (0 and 4).
const CSeq* SequenceOf(long hint, const void* object);
// Whether a view that shows `shown` (null: no one sequence) takes the hint: a hint of another
// sequence is not its concern.
bool Concerns(long hint, const void* object, const CSeq* shown);

} // namespace hints
