#include "views/common/update_hints.h"

#include "platform/document.h"

namespace hints {

namespace {

template <typename Hint> void Send(platform::Document& document, Hint hint) {
    // The object lives for the call only, as the receivers expect.
    document.UpdateAllViews(nullptr, Hint::kHint, &hint);
}

} // namespace

void SendRepaint(platform::Document& document) {
    document.UpdateAllViews(nullptr, kRepaint);
}

void SendTimeDisplay(platform::Document& document) {
    document.UpdateAllViews(nullptr, kTimeDisplay);
}

void SendSkipToggled(platform::Document& document, const CSeq& sequence, int event) {
    Send(document, SkipToggled{&sequence, event});
}

void SendTimelineSelection(platform::Document& document, const CSeq& sequence,
                           const CEventBoxList& boxes) {
    Send(document, TimelineSelection{&sequence, &boxes});
}

void SendTimesMoved(platform::Document& document, const CSeq& sequence) {
    Send(document, TimesMoved{&sequence});
}

void SendGridEventsChanged(platform::Document& document, const CSeq& sequence, int event) {
    Send(document, GridEventsChanged{&sequence, event});
}

void SendTimelineEventsChanged(platform::Document& document, const CSeq& sequence) {
    Send(document, TimelineEventsChanged{&sequence});
}

void SendEventListChanged(platform::Document& document, const CSeq& sequence) {
    Send(document, EventListChanged{&sequence});
}

const CSeq* SequenceOf(long hint, const void* object) {
    if (!object)
        return nullptr;
    // Every object of a sequence's hint starts with its sequence.
    switch (hint) {
    case kSkipToggled:
        return As<SkipToggled>(hint, object)->sequence;
    case kTimelineSelection:
        return As<TimelineSelection>(hint, object)->sequence;
    case kTimesMoved:
        return As<TimesMoved>(hint, object)->sequence;
    case kGridEventsChanged:
        return As<GridEventsChanged>(hint, object)->sequence;
    case kTimelineEventsChanged:
        return As<TimelineEventsChanged>(hint, object)->sequence;
    case kEventListChanged:
        return As<EventListChanged>(hint, object)->sequence;
    default:
        return nullptr;
    }
}

bool Concerns(long hint, const void* object, const CSeq* shown) {
    const CSeq* sequence = SequenceOf(hint, object);
    return !sequence || !shown || sequence == shown;
}

} // namespace hints
