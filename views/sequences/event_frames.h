// The two frames of a sequence's events: the event frame around the event editor and the
// timeline frame around the graphical timeline and its event grid. Both carry toolbar 188 with
// the sequence's timecode mode and start, keep their placement in the sequence's own record
// (so the two share it), and each can replace itself by the other.
#pragma once

#include "app/command_ids.h"
#include "controls/commandbars/frame.h"
#include "platform/qt/mdi_template.h"
#include "platform/qt/placement.h"

#include <QSize>
#include <functional>
#include <string>

class CGVPControlComboBox;
class CGVPControlEdit;
class CSeq;
class CVLDoc;
class QWidget;
class ViewServices;

// What the timeline frame asks of its timeline pane; the timeline view implements it.
class TimelinePane {
public:
    virtual ~TimelinePane() = default;
    virtual int ZoomLevel() const = 0;
    // Sets the zoom (1-9) and rebuilds the boxes.
    virtual void SetZoomLevel(int level) = 0;
    virtual bool HasSelection() const = 0;
    // Moves the selected events by `frames` (1 later, -1 earlier).
    virtual void NudgeSelection(int frames) = 0;
};

inline constexpr QSize kEventFrameSize{780, 170};
inline constexpr QSize kTimelineFrameSize{780, 500};

// Toolbar 188 and string 8 as resources (called once with the program's other resources).
void RegisterEventFrameResources();

// The content of the event frames ("CEvntView") and the timeline frames ("CVwTimeline"): the
// bars around the event editor, or the splitter of the timeline and its event grid.
void RegisterSequenceFrames(platform::qt::ViewRegistry& registry, ViewServices& services);

// The frame window: the sequence's placement record, titled "[name] of script" on activation.
// Its bars route what they do not handle to `mainFrame`.
class SequenceFrame : public platform::qt::PlacementFrame {
public:
    SequenceFrame(CVLDoc& doc, CSeq& seq, QSize defaultSize,
                  platform::qt::CommandTarget& mainFrame);
    CVLDoc& Document() const { return doc_; }
    CSeq& Sequence() const { return seq_; }
    platform::qt::CommandTarget& MainFrame() const { return mainFrame_; }
    std::string Title() const;

private:
    CVLDoc& doc_;
    CSeq& seq_;
    platform::qt::CommandTarget& mainFrame_;
};

// The bars and commands both frames share, around their content.
class SequenceFrameBars : public CGVPMDIChildWnd {
public:
    // `switchFrame` replaces this frame by the other kind on the same sequence; answers false
    // when nothing was opened. `otherAvailable` tells whether the other kind can be made.
    struct Hooks {
        std::function<bool()> switchFrame;
        std::function<bool()> otherAvailable;
        // Clears the program's "Events with Timecode Start" in memory (mode Internal).
        std::function<void()> clearStartAdded;
    };
    SequenceFrameBars(CVLDoc& doc, CSeq& seq, platform::qt::CommandTarget& mainFrame, Hooks hooks);

    bool OnCreateControl(GVP_CREATE_CONTROL_INFO& info) override;
    bool OnCommand(unsigned id) override;
    bool HasCommandHandler(unsigned id) const override;
    bool OnUpdateCommand(unsigned id, platform::qt::CommandUi& ui) override;

    // The combo's choice: 0 internal, 1 jam sync, 2 reset mode.
    void ChooseMode(int index);
    // A start typed into the edit.
    void EnterStart(const std::string& text);
    // Sets the sequence's start from an HH:MM:SS.FF text and tells the views.
    void SetStart(const std::string& text);
    CGVPControlComboBox* ModeCombo() const { return combo_; }
    CGVPControlEdit* StartEdit() const { return edit_; }
    bool HasToolBar() const { return toolBar_; }

protected:
    virtual bool IsTimeline() const = 0;
    // Order check and question before a switch; false stops it.
    virtual bool MaySwitch() { return true; }
    void Switch();

    CVLDoc& doc_;
    CSeq& seq_;
    Hooks hooks_;
    CGVPControlComboBox* combo_ = nullptr;
    CGVPControlEdit* edit_ = nullptr;
    bool toolBar_ = false;
};

class CEvntMDIChildWnd : public SequenceFrameBars {
public:
    CEvntMDIChildWnd(CVLDoc& doc, CSeq& seq, platform::qt::CommandTarget& mainFrame, Hooks hooks);

protected:
    bool IsTimeline() const override { return false; }
    bool MaySwitch() override;
};

class CFrTimeline : public SequenceFrameBars {
public:
    CFrTimeline(CVLDoc& doc, CSeq& seq, platform::qt::CommandTarget& mainFrame, Hooks hooks);
    // The splitter's panes: the timeline (column 0) and the event grid (column 1).
    void SetPanes(QWidget* timeline, QWidget* grid);

    bool OnCommand(unsigned id) override;
    bool HasCommandHandler(unsigned id) const override;
    bool OnUpdateCommand(unsigned id, platform::qt::CommandUi& ui) override;

protected:
    bool IsTimeline() const override { return true; }

private:
    TimelinePane* timeline_ = nullptr;
    platform::qt::CommandTarget* grid_ = nullptr;
};

// The string 8 question before a switch to the timeline.
extern const char* const kOutOfOrderQuestion;
