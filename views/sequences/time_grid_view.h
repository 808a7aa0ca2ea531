// The timeline frame's event grid: the event editor with the differences that keep the
// graphical timeline beside it in step. Every change it makes to the events tells the timeline
// (hint 6, after the event lists' own hint); it follows the timeline's selection, drags and
// pastes; Insert raises out-of-order times; the Time Wizard truncates frame counts; its columns
// are not fitted; it leaves the frame's title to the frame.
#pragma once

#include "views/sequences/event_view.h"

class CVwTimeGrid : public CEvntView {
public:
    using CEvntView::CEvntView;

    const char* ViewClassName() const override { return "CVwTimeGrid"; }
    void OnUpdate(platform::View* sender, long hint, void* object) override;

    void EventsChanged(int event) override;
    void EventTextChanged() override;
    void CellEdited() override;
    void EventsCopied() override;
    void EventPicked() override;
    bool RaisesOrderOnInsert() const override { return true; }
    timewizard::FrameConversion WizardConversion() const override {
        return timewizard::FrameConversion::Truncate;
    }
    void SkipMarkToggled(int row) override;
    bool FitsColumns() const override { return false; }

protected:
    void OnDraw() override {}

private:
    // Hint 6 for this grid's sequence.
    void SendGridChanged(int event);
};

// Registers the timeline grid as "CVwTimeGrid".
void RegisterTimeGridView(platform::qt::ViewRegistry& registry, ViewServices& services);
