#include "views/sequences/cue_list.h"

#include "controls/dialogkit/dialog_kit.h"
#include "link/live_commands.h"
#include "platform/qt/qt_ui_services.h"
#include "platform/ui_services.h"
#include "script/time_conversions.h"
#include "script/vl_doc.h"
#include "views/common/sequence_dialogs.h"
#include "views/common/update_hints.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <cstdio>

using platform::qt::ToQString;

namespace {

constexpr std::uint8_t kStartSequence = 24;
constexpr std::uint8_t kResetSequence = 27;
constexpr const char* kHardwareError = "Hardware error transmitting serial message";

CSeq* SequenceOf(const QListWidgetItem* item) {
    return item ? reinterpret_cast<CSeq*>(item->data(Qt::UserRole).value<quintptr>()) : nullptr;
}

QListWidgetItem* MakeItem(const QString& text, CSeq* seq) {
    auto* item = new QListWidgetItem(text);
    item->setData(Qt::UserRole, QVariant::fromValue(reinterpret_cast<quintptr>(seq)));
    return item;
}

// Inserts in order of the texts without regard to case (after equal ones), or at the end.
void AddItem(QListWidget* list, QListWidgetItem* item, bool sorted) {
    int at = list->count();
    if (sorted) {
        at = 0;
        while (at < list->count() &&
               list->item(at)->text().compare(item->text(), Qt::CaseInsensitive) <= 0)
            ++at;
    }
    list->insertItem(at, item);
}

void SelectRow(QListWidget* list, int row) {
    list->clearSelection();
    if (row >= 0 && row < list->count()) {
        list->setCurrentRow(row);
        list->item(row)->setSelected(true);
    }
}

int SelectedRow(const QListWidget* list) {
    const auto selected = list->selectedItems();
    return selected.isEmpty() ? -1 : list->row(selected.front());
}

int IndexOf(const CVLDoc& doc, const CSeq* seq) {
    for (std::size_t i = 0; i < doc.m_poSeqList.size(); ++i)
        if (doc.m_poSeqList[i].get() == seq)
            return static_cast<int>(i);
    return -1;
}

void Box(const std::string& text) {
    platform::Ui().MessageBox({text, platform::DefaultCaption(), platform::MsgButtons::Ok});
}

} // namespace

QString CDCueList::TriggerRow(const CSeq& seq) {
    char time[32];
    std::snprintf(time, sizeof time, "%02d:%02d:%02d.%02d ", seq.m_anSmpteStart[0],
                  seq.m_anSmpteStart[1], seq.m_anSmpteStart[2], seq.m_anSmpteStart[3]);
    return QString::fromLatin1(time) + ToQString(seq.m_strName);
}

CDCueList::CDCueList(CVLDoc& doc, QWidget* parent)
    : ClockDialog(doc, {425, 424, 5, 4, 3, 426}, parent),
      sequences_(dialogs::Named(new QListWidget(this), 418)),
      deck_(dialogs::Named(new QListWidget(this), 417)),
      triggers_(dialogs::Named(new QListWidget(this), 419)),
      sendTriggers_(dialogs::MakeCheck(tr("Send Triggers"), 430, this)) {
    setWindowTitle(ToQString("CueList for " + doc.GetScriptName()));
    deck_->setDragDropMode(QAbstractItemView::InternalMove);
    deck_->setDefaultDropAction(Qt::MoveAction);
    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(tr("Sequences"), this), 0, 0);
    grid->addWidget(new QLabel(tr("Cues on Deck"), this), 0, 2);
    grid->addWidget(new QLabel(tr("SMPTE Triggers"), this), 0, 4);
    grid->addWidget(sequences_, 1, 0, 4, 1);
    grid->addWidget(deck_, 1, 2, 4, 1);
    grid->addWidget(triggers_, 1, 4, 4, 1);
    QPushButton* toDeck = dialogs::MakeButton(QStringLiteral("->"), 420, this);
    QPushButton* fromDeck = dialogs::MakeButton(QStringLiteral("<-"), 421, this);
    QPushButton* fire = dialogs::MakeButton(QStringLiteral("->"), 422, this);
    QPushButton* unfire = dialogs::MakeButton(QStringLiteral("<-"), 423, this);
    grid->addWidget(toDeck, 2, 1);
    grid->addWidget(fromDeck, 3, 1);
    grid->addWidget(fire, 2, 3);
    grid->addWidget(unfire, 3, 3);
    auto* clock = new QGridLayout;
    grid->addLayout(clock, 5, 0, 1, 5);
    AddClockControls(*clock, 0);
    clock->addWidget(sendTriggers_, 3, 1);
    QPushButton* startSeq = dialogs::MakeButton(tr("Start Seq"), 6, this);
    QPushButton* resetSeq = dialogs::MakeButton(tr("Reset Seq"), 7, this);
    QPushButton* close = dialogs::MakeButton(tr("Close"), 2, this);
    clock->addWidget(startSeq, 0, 3);
    clock->addWidget(resetSeq, 1, 3);
    clock->addWidget(close, 2, 3);
    for (QPushButton* button : {toDeck, fromDeck, fire, unfire, startSeq, resetSeq, close})
        button->setAutoDefault(false);
    connect(toDeck, &QPushButton::clicked, this, [this] { OnToDeck(); });
    connect(fromDeck, &QPushButton::clicked, this, [this] { OnFromDeck(); });
    connect(fire, &QPushButton::clicked, this, [this] { OnFireCue(); });
    connect(unfire, &QPushButton::clicked, this, [this] { OnUnfireCue(); });
    connect(startSeq, &QPushButton::clicked, this, [this] { OnStartSeq(); });
    connect(resetSeq, &QPushButton::clicked, this, [this] { OnResetSeq(); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    SetHelp(sequences_, tr("The sequences without an SMPTE start trigger."));
    SetHelp(deck_, tr("The cues to fire, in the order you drag them to."));
    SetHelp(triggers_, tr("The sequences with an SMPTE start trigger, in time order."));
    SetHelp(toDeck, tr("Puts the selected sequence on deck."));
    SetHelp(fromDeck, tr("Takes the selected cue off deck."));
    SetHelp(fire, tr("Fires the selected cue: its start trigger is the Current Time."));
    SetHelp(unfire, tr("Takes a fired cue back to the deck, without its trigger."));
    SetHelp(sendTriggers_, tr("Starts each fired sequence on the controller at once."));
    SetHelp(startSeq, tr("Starts the selected sequence on the controller now."));
    SetHelp(resetSeq, tr("Resets the selected sequence on the controller now."));
    for (QListWidget* list : {sequences_, deck_, triggers_})
        list->installEventFilter(this);

    for (const auto& seq : doc.m_poSeqList) {
        if (seq->m_nSmpteStartOn)
            AddItem(triggers_, MakeItem(TriggerRow(*seq), seq.get()), true);
        else
            AddItem(sequences_, MakeItem(ToQString(seq->m_strName), seq.get()), true);
    }
    SelectRow(sequences_, 0);
    OpenLink();
    Link().SetUnit(kSmpteUnit);
    for (QListWidget* list : {sequences_, deck_, triggers_})
        list->setMinimumSize(170, 200);
    dialogs::CentreOnParent(*this);
}

bool CDCueList::eventFilter(QObject* watched, QEvent* event) {
    // One selection among the three lists: the list taking the focus keeps its own.
    if (event->type() == QEvent::FocusIn)
        for (QListWidget* list : {sequences_, deck_, triggers_})
            if (list != watched)
                list->clearSelection();
    return ClockDialog::eventFilter(watched, event);
}

void CDCueList::FocusList() {
    deck_->setFocus(Qt::OtherFocusReason);
}

void CDCueList::MoveItem(QListWidget* from, QListWidget* to, bool sorted, const QString& text) {
    const int row = SelectedRow(from);
    if (row < 0)
        return;
    CSeq* seq = SequenceOf(from->item(row));
    auto* item = MakeItem(text, seq);
    AddItem(to, item, sorted);
    delete from->takeItem(row);
    for (QListWidget* list : {sequences_, deck_, triggers_})
        if (list != from && list != to)
            list->clearSelection();
    if (from->count() > 0) {
        SelectRow(from, std::min(row, from->count() - 1));
        to->clearSelection();
    } else {
        SelectRow(to, 0);
    }
}

void CDCueList::OnToDeck() {
    if (QListWidgetItem* item = sequences_->currentItem(); item && item->isSelected())
        MoveItem(sequences_, deck_, false, item->text());
}

void CDCueList::OnFromDeck() {
    if (QListWidgetItem* item = deck_->currentItem(); item && item->isSelected())
        MoveItem(deck_, sequences_, true, item->text());
}

void CDCueList::ScriptChanged(CSeq& seq) {
    CVLDoc& doc = Document();
    doc.SetModifiedFlag();
    seq.m_nNeedsCompile = 1;
    hints::SendRepaint(doc);
    RefreshSequenceViews(doc);
}

void CDCueList::OnFireCue() {
    const int row = SelectedRow(deck_);
    CSeq* seq = row >= 0 ? SequenceOf(deck_->item(row)) : nullptr;
    if (!seq)
        return;
    std::uint16_t h = 0, m = 0, s = 0, f = 0;
    if (ParseTimecodeText(CurrentTimeEdit()->text().toStdString(), h, m, s, f) != 0) {
        Box(kInvalidTime);
        return;
    }
    seq->m_anSmpteStart = {h, m, s, f};
    seq->m_nSmpteStartOn = 1;
    MoveItem(deck_, triggers_, true, TriggerRow(*seq));
    sequences_->clearSelection();
    if (sendTriggers_->isChecked()) {
        const int index = IndexOf(Document(), seq);
        if (index > showlink::kMaxLiveSequenceIndex) {
            // The trigger stays; the index would wrap and start another sequence.
            char text[160];
            std::snprintf(text, sizeof text,
                          "Sequence %d cannot be started now: only the first %d sequences of a "
                          "script can be addressed by a live command.",
                          index + 1, showlink::kMaxLiveSequenceIndex + 1);
            Box(text);
        } else {
            Link().SetUnit(static_cast<std::uint8_t>(Document().m_wAddress & 0xFF));
            if (!Link().SendCommand({kStartSequence, static_cast<std::uint8_t>(index)}))
                Box(kHardwareError);
            Link().SetUnit(kSmpteUnit);
        }
    }
    ScriptChanged(*seq);
}

void CDCueList::OnUnfireCue() {
    const int row = SelectedRow(triggers_);
    CSeq* seq = row >= 0 ? SequenceOf(triggers_->item(row)) : nullptr;
    if (!seq)
        return;
    seq->m_nSmpteStartOn = 0;
    MoveItem(triggers_, deck_, false, ToQString(seq->m_strName));
    sequences_->clearSelection();
    ScriptChanged(*seq);
}

int CDCueList::GetSelectedSequenceIndex() const {
    for (QListWidget* list : {sequences_, deck_, triggers_}) {
        const int row = SelectedRow(list);
        if (row >= 0)
            return IndexOf(Document(), SequenceOf(list->item(row)));
    }
    return -1;
}

void CDCueList::SequenceCommand(std::uint8_t command) {
    const int index = GetSelectedSequenceIndex();
    if (index < 0)
        return;
    if (!Link().IsOpen()) {
        // Only then: the live command opens the same port itself.
        if (command == kStartSequence)
            showlink::StartSequenceNow(Document(), index);
        else
            showlink::ResetSequenceNow(Document(), index);
        return;
    }
    if (index > showlink::kMaxLiveSequenceIndex) {
        char text[160];
        std::snprintf(text, sizeof text,
                      "Sequence %d cannot be %s now: only the first %d sequences of a script can "
                      "be addressed by a live command.",
                      index + 1, command == kStartSequence ? "started" : "reset",
                      showlink::kMaxLiveSequenceIndex + 1);
        Box(text);
        return;
    }
    Link().SetUnit(static_cast<std::uint8_t>(Document().m_wAddress & 0xFF));
    if (!Link().SendCommand({command, static_cast<std::uint8_t>(index)}))
        Box(kHardwareError);
    Link().SetUnit(kSmpteUnit);
}

void CDCueList::OnStartSeq() {
    SequenceCommand(kStartSequence);
}

void CDCueList::OnResetSeq() {
    SequenceCommand(kResetSequence);
}

void CDCueList::closeEvent(QCloseEvent* event) {
    if (deck_->count() > 0 &&
        platform::Ui().MessageBox({"There are still Cues On-Deck! These will be returned to the "
                                   "regular sequence list if you exit now.",
                                   platform::DefaultCaption(), platform::MsgButtons::OkCancel}) !=
            platform::MsgResult::Ok) {
        event->ignore();
        return;
    }
    ClockDialog::closeEvent(event);
}
