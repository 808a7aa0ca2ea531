// The cue list (dialog 184): sequences put on deck and fired on a running clock, each fired
// sequence getting an SMPTE start trigger at the clock's time and, with "Send Triggers",
// started on the controller at once. Fired cues can be taken back to the deck; Start Seq and
// Reset Seq act on the controller directly. Every entry keeps its sequence (names may repeat).
#pragma once

#include "views/sequences/clock_dialog.h"

class CSeq;
class QListWidget;
class QListWidgetItem;
class QCheckBox;

class CDCueList : public ClockDialog {
public:
    CDCueList(CVLDoc& doc, QWidget* parent = nullptr);

    QListWidget* SequencesList() const { return sequences_; }
    QListWidget* DeckList() const { return deck_; }
    QListWidget* TriggersList() const { return triggers_; }
    QCheckBox* SendTriggersCheck() const { return sendTriggers_; }

    void OnToDeck();
    void OnFromDeck();
    void OnFireCue();
    void OnUnfireCue();
    void OnStartSeq();
    void OnResetSeq();
    // The sequence selected in Sequences, else on deck, else in SMPTE Triggers; -1 when none.
    int GetSelectedSequenceIndex() const;
    // "%02d:%02d:%02d.%02d %s": the trigger time and the name.
    static QString TriggerRow(const CSeq& seq);

protected:
    void FocusList() override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Moves the selected item of `from` to `to` (in order when `sorted`, else at the end) with
    // `text`; the source keeps a selection, or the destination's first item when it emptied.
    void MoveItem(QListWidget* from, QListWidget* to, bool sorted, const QString& text);
    // Sends a live sequence command over the dialog's link, or through a link of its own when
    // the dialog's could not be opened.
    void SequenceCommand(std::uint8_t command);
    void ScriptChanged(CSeq& seq);

    QListWidget* sequences_;
    QListWidget* deck_;
    QListWidget* triggers_;
    QCheckBox* sendTriggers_;
};
