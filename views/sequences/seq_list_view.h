// The sequence list: a script's main view, one grid row per sequence and an empty last row where
// a new sequence is typed. From it the user names, comments, indents and sets up sequences,
// inserts, deletes, copies, cuts and pastes them, opens their events and starts or resets them
// on the controller.
#pragma once

#include "views/common/cell_tips_view.h"
#include "views/common/column_fit_view.h"
#include "views/common/vl_view.h"
#include "views/gridbase/vl_cel_ctrl.h"

#include <cstdint>
#include <string>
#include <vector>

class CSeqListView;
namespace platform::qt {
class ViewRegistry;
}

// The texts of Edit > Sequence Properties for a sequence (ids 32844 to 32851); empty for any
// other id.
std::string SequencePropertyText(const CSeq& sequence, unsigned id);

// The popup's ids and texts, built for one sequence.
namespace seqpopup {
inline constexpr unsigned kFirst = 101;
inline constexpr unsigned kIndentFirst = 103; // to 108 for Level 1 to 6
inline constexpr unsigned kAutostart = 109;
inline constexpr unsigned kLoop = 110;
inline constexpr unsigned kRestart = 111;
inline constexpr unsigned kTimecode = 112;
inline constexpr unsigned kTriggerFirst = 113; // to 116: start, stop, pause, reset
inline constexpr unsigned kHelp = 117;
inline constexpr unsigned kEditEvents = 118;
} // namespace seqpopup

class SeqCel : public VLCELCtrl {
public:
    explicit SeqCel(CSeqListView& view) : view_(view) {}

    GVPMenuPtr BuildPropertyMenu(const CSeq& seq) const;
    GVPMenuPtr BuildPopupMenu(int column, int row, int section) override;
    bool OnUpdatePopupCommand(unsigned id, platform::qt::CommandUi& ui) override;
    void OnCommand(int id) override;

    void NotifyCellLeftClick(int column, int row, int down, const QRect& rect, const QPoint& point,
                             int processed) override;
    void NotifySideHeadingLeftClick(int column, int row, int down, const QRect& rect,
                                    const QPoint& point, int processed) override;
    void NotifySideHeadingRightClick(int column, int row, int down, const QRect& rect,
                                     const QPoint& point, int processed) override;
    void NotifyCellDoubleClick(int column, int row, const QRect& rect, const QPoint& point,
                               int processed) override;
    void NotifySideHeadingDoubleClick(int column, int row, const QRect& rect, const QPoint& point,
                                      int processed) override;
    void NotifyKeyPressed(int& key, int processed) override;
    void NotifyCharTyped(int& ch, int processed) override;
    bool AllowEditStart(int column, int row, CELEdit*& editor) override;
    bool AllowEditFinish(int column, int row, CELEdit* editor, std::string& text,
                         bool cancelled) override;
    bool AllowEditContinue(int column, int row, int& nextColumn, int& nextRow) override;
    void NotifyColumnSized(int column, int& width) override;
    int GetCellTipText(int column, int row, int section, std::string& text) override;
    bool NotifyFindDialogClosed() override;

private:
    CSeqListView& view_;
};

class CSeqListView : public CVLView, public ColumnFitView, public CellTipsView {
public:
    CSeqListView(CVLDoc& doc, ViewServices& services, QWidget* parent = nullptr);
    ~CSeqListView() override;

    const char* ViewClassName() const override { return "CSeqListView"; }
    void OnInitialUpdate() override;
    void OnUpdate(platform::View* sender, long hint, void* object) override;
    // "Sequences of " and the script's name.
    std::string FrameCaption() const override;
    bool OnUpdateCommand(unsigned id, platform::qt::CommandUi& ui) override;

    void FillGrid();
    // Writes one row (1-based) from its sequence.
    void FillRow(int row);
    void AutoSizeColumns() override;
    void EnableCellTips(bool enable) override;
    SeqCel* Cel() const { return cel_; }

    // The sequence of a grid row (0-based); null for the empty last row and beyond.
    CSeq* SequenceAt(int row) const;
    // The sequence of the grid's active row, null on the empty row.
    CSeq* ActiveSequence() const;
    // Sets the document's sequence-to-open position to the sequence of a row, and answers it.
    CSeq* SetSequenceToOpen(int row);

    // The commands, as the menu, the keys and the popup reach them.
    void OnInsertSequence();
    void OnDeleteSequences();
    void OnCopy();
    void OnCut();
    void OnPaste();
    void OpenEventsRouteA();
    void OpenEventsRouteB(int row);
    void SetLevel(CSeq& seq, int level);
    void ToggleAutoStart(CSeq& seq, bool hint);
    void ToggleLooping(CSeq& seq, bool hint);
    void EditRestart(CSeq& seq, bool fromPopup);
    void EditTimecode(CSeq& seq, bool fromPopup);
    void EditTrigger(CSeq& seq, int index);
    void StartNow();
    void ResetNow();
    void CycleLevel();
    void EraseActiveCell();
    // Appends a new sequence for the empty last row's editor; false when it could not be made.
    bool AppendForTyping();
    // The row of a sequence (0-based), -1 when it is not in the list.
    int RowOf(const CSeq* seq) const;

private:
    // A sequence's on/off setting flipped; the sequence is compiled again.
    void ToggleFlag(CSeq& seq, std::int32_t CSeq::*flag, bool hint);
    // One of the sequence's setting dialogs; its row is shown again when the popup opened it.
    void RunSequenceDialog(CSeq& seq, bool fromPopup, bool (*dialog)(CVLDoc&, CSeq&, QWidget*));
    // Removes the sequences of rows first..last (0-based): their views close, they leave the
    // sequence-to-open position.
    void RemoveRows(int first, int last);
    // A script keeps one sequence: an emptied list gets "Default"; then the grid is refilled.
    void RefillKeepingOneSequence();
    // The run of selected sequence rows for Copy and Cut; false with no sequence.
    bool CopyRun(int& first, int& last) const;
    bool WriteClipboard(bool cut, int first, int last);
    bool IsRowSelected(int row) const;

    SeqCel* cel_;
};

// Registers the sequence list as "CSeqListView" (the event editors register theirs here too).
void RegisterSequenceViews(platform::qt::ViewRegistry& registry, ViewServices& services);
// After "Upload Script from Unit" filled `doc`: each sequence list of it comes forward and
// shows the retrieved sequences, the script is marked modified, and every view repaints.
void ShowRetrievedScript(CVLDoc& doc);
