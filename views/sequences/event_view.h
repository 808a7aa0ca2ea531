// The event editor: the events of one sequence as a grid, one row per event and an empty last
// row where new events are typed. The timeline frame's event grid is the same view and grid;
// what differs between the two is behind the hooks of CEvntView.
#pragma once

#include "script/time_wizard.h"
#include "views/common/cell_tips_view.h"
#include "views/common/column_fit_view.h"
#include "views/common/vl_view.h"
#include "views/gridbase/vl_cel_ctrl.h"

#include <array>
#include <string>
#include <vector>

class CEvnt;
class CSeq;
class CEvntView;
namespace platform::qt {
class ViewRegistry;
}

// The grid of an event view: validation of labels and times, appending past the end, the skip
// mark, the column popups with their wizards, and the copy back after find and replace.
class EventCel : public VLCELCtrl {
public:
    static constexpr int kColumns = 9;

    explicit EventCel(CEvntView& view);

    void NotifyColumnSized(int column, int& width) override;
    void NotifyCellLeftClick(int column, int row, int down, const QRect& rect, const QPoint& point,
                             int processed) override;
    void NotifyCellDoubleClick(int column, int row, const QRect& rect, const QPoint& point,
                               int processed) override;
    void NotifyKeyPressed(int& key, int processed) override;
    void NotifyCharTyped(int& ch, int processed) override;
    bool AllowEditStart(int column, int row, CELEdit*& editor) override;
    bool AllowEditFinish(int column, int row, CELEdit* editor, std::string& text,
                         bool cancelled) override;
    bool AllowEditContinue(int column, int row, int& nextColumn, int& nextRow) override;
    int GetCellTipText(int column, int row, int section, std::string& text) override;
    bool NotifyFindDialogClosed() override;
    GVPMenuPtr BuildPopupMenu(int column, int row, int section) override;
    void OnCommand(int id) override;

    // The items of the popup last built for a column (separators not counted).
    int ItemCount(int column) const { return itemCounts_[static_cast<std::size_t>(column)]; }
    // Runs a popup command on the active row's event, as a pick from the column's popup does.
    void RunPopupCommand(int id);

    // The event of a grid row; null for the empty last row and rows outside the grid.
    CEvnt* EventAt(int row) const;

private:
    // Appends a new event and shows it with a new empty row (the typing and edit rules).
    bool AppendEvent();
    void OpenEventsList(int row, int initialChar);
    void RunTimeWizard();
    bool StoreTime(CEvnt& event, std::string& text);

    CEvntView& view_;
    std::array<int, kColumns> itemCounts_{};
};

class CEvntView : public CVLView, public ColumnFitView, public CellTipsView {
public:
    CEvntView(CVLDoc& doc, ViewServices& services, QWidget* parent = nullptr);
    ~CEvntView() override;

    const char* ViewClassName() const override { return "CEvntView"; }
    // The sequence's name: what the compile view and the cross reference look views up by.
    std::string ViewSubject() const override;
    const CSeq* ShownSequence() const override { return seq_; }
    CSeq* Sequence() const { return seq_; }
    EventCel& Cel() const { return *cel_; }

    void OnInitialUpdate() override;
    void OnUpdate(platform::View* sender, long hint, void* object) override;
    // "[" + the sequence's name + "] of " + the script's name.
    std::string FrameCaption() const override;

    void FillGrid();
    void FillRow(int row);
    // The Time cell's text of an event by the display settings.
    std::string TimeCellText(const CEvnt& event) const;
    // The start offset added to shown times, in whole frames (0 while times are shown plain).
    int ShownStartOffset() const;

    void AutoSizeColumns() override;
    void EnableCellTips(bool enable) override;
    void StoreEventColumnWidths();

    void OnInsertEvent();
    void OnDeleteEvents();
    // Answers false when the user cancelled.
    bool DeleteEvents(bool ask);
    void OnExecuteEventNow();
    // Copy and Cut: the selected events as a "VelmoraEvents" block on the clipboard. Answers
    // false when nothing was copied (nothing selected, refused, or declined).
    bool CopyEvents(bool cut);
    // The clipboard's events before the selected run, replacing it when the user agrees.
    void PasteEvents();
    static bool ClipboardOffersEvents();
    // The event rows whose cell in the active column is selected, in order.
    std::vector<int> SelectedEventRows() const;
    void ToggleEventsInFrames();
    void ToggleTimecodeStart();
    void SetIndentation(int level);
    void ToggleAutoStart();
    void ToggleLoop();
    void EditTrigger(int index);
    // The timecode start dialog; the shown times follow an accepted start.
    void EditTimecodeStart();

    // The document modified and the sequence flagged for compilation.
    void MarkChanged();
    // Shows the status popup "Sequence Properties" with the sequence's name and `state`.
    void ShowStatus(const std::string& state);

    // ---- What the timeline grid does differently ----
    // After every change of the sequence's events: every event grid of the sequence rebuilds.
    // `event` is the inserted or first pasted event, else 0.
    virtual void EventsChanged(int event);
    // After a change of one event's texts made in a popup or the skip mark.
    virtual void EventTextChanged();
    // After an in-place edit was stored (the event editor says nothing).
    virtual void CellEdited() {}
    virtual bool RaisesOrderOnInsert() const { return false; }
    virtual timewizard::FrameConversion WizardConversion() const {
        return timewizard::FrameConversion::RoundHalfUp;
    }
    // After the skip mark of event row `row` was toggled by a click.
    virtual void SkipMarkToggled(int /*row*/) { EventTextChanged(); }
    // Whether "AutoSize Columns" fits this grid's columns.
    virtual bool FitsColumns() const { return true; }
    // After the timecode start dialog was accepted: the shown times follow the new start.
    virtual void TimecodeStartChanged();

protected:
    void OnDraw() override;
    ViewSettings Settings() const { return Services().Settings(); }

private:
    friend class EventCel;
    void DeclareCommands();
    // The Sequence Properties item's text of the shown sequence.
    platform::qt::CommandMap::Updater PropertyText(unsigned id) const;

    CSeq* seq_ = nullptr;
    EventCel* cel_;
    bool sendingEventsChanged_ = false; // this view's own change: its editor stays
};

// Registers the event editor as "CEvntView" and the dialogs its grid opens.
void RegisterEventViews(platform::qt::ViewRegistry& registry, ViewServices& services);
