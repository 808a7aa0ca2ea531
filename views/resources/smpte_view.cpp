#include "views/resources/smpte_view.h"

#include "controls/dialogkit/dialog_kit.h"
#include "controls/grid/cel_parts.h"
#include "platform/qt/help.h"
#include "platform/qt/qt_ui_services.h"
#include "platform/ui_services.h"
#include "views/common/search_list_box.h"
#include "views/common/sequence_dialogs.h"

#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <cstdio>
#include <cstdlib>

using platform::qt::ToQString;

namespace {

constexpr const char* kHeadings[3] = {"Time", "Used in Seq#", "Seq Name"};
constexpr const char* kTips[3] = {"Time of day at which timecode starts the sequence",
                                  "Number of the sequence that timecode starts",
                                  "Name of the sequence that timecode starts"};

std::string Format(const char* format, int value) {
    char text[32];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

} // namespace

// ---- DCAddSmpteTrigger ----

DCAddSmpteTrigger::DCAddSmpteTrigger(CVLDoc& doc, QWidget* parent) : QDialog(parent), doc_(doc) {
    setWindowTitle(QStringLiteral("Add SMPTE Trigger"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(
        dialogs::Named(new QLabel(QStringLiteral("Add SMPTE Trigger to Sequence:"), this), 412));
    // Sequence names have no origin prefix.
    list_ = dialogs::Named(new CSearchListBox(this, QStringList{QString()}), 413);
    list_->setSortingEnabled(true);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    layout->addWidget(list_, 1);
    comment_ = dialogs::Named(new QLabel(QStringLiteral("Comment"), this), 414);
    comment_->setWordWrap(true);
    layout->addWidget(comment_);
    auto* buttons = new QDialogButtonBox(this);
    auto* ok = buttons->addButton(QStringLiteral("Ok"), QDialogButtonBox::AcceptRole);
    dialogs::Named(ok, 1);
    dialogs::Named(buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole), 2);
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    for (const auto& sequence : doc_.m_poSeqList)
        list_->addItem(ToQString(sequence->m_strName));
    list_->setCurrentRow(-1);
    resize(306, 262);
    dialogs::CentreOnDesktop(*this);
    OnSelectionChanged();
    connect(list_, &QListWidget::itemSelectionChanged, this, [this] { OnSelectionChanged(); });
    connect(list_, &QListWidget::itemDoubleClicked, this, [this] { accept(); });
}

void DCAddSmpteTrigger::OnSelectionChanged() {
    // The selection, not the current row: the list takes a current row with the focus alone.
    const QList<QListWidgetItem*> selected = list_->selectedItems();
    const std::string name =
        selected.isEmpty() ? std::string() : platform::qt::FromQString(selected.front()->text());
    comment_->clear();
    for (std::size_t i = 0; i < doc_.m_poSeqList.size(); ++i)
        if (doc_.m_poSeqList[i]->m_strName == name) {
            answer_ = int(i) + 1;
            comment_->setText(ToQString(doc_.m_poSeqList[i]->m_strDescription));
            break;
        }
    // The dialog grows with the lines of the description it shows.
    const int lines = int(comment_->text().count(u'\n'));
    const QRect desktop = QGuiApplication::primaryScreen()
                              ? QGuiApplication::primaryScreen()->availableGeometry()
                              : QRect(0, 0, 800, 600);
    const int height = 262 + 16 * lines;
    setGeometry(desktop.left() + desktop.width() / 2 - width() / 2,
                desktop.top() + desktop.height() / 2 - 150, width(), height);
}

// ---- smpteCel ----

smpteCel::smpteCel(CsmpteView& view) : ResourceCel(view), view_(view) {}

GVPMenuPtr smpteCel::BuildPopupMenu(int, int, int section) {
    if (section != 1)
        return nullptr;
    auto menu = std::make_shared<GVPMenu>();
    menu->Item(QStringLiteral("Add SMPTE Trigger"), kAddTrigger)
        .Separator()
        .Item(QStringLiteral("Help"), kHelp);
    return menu;
}

void smpteCel::OnCommand(int id) {
    if (id == int(kAddTrigger)) {
        view_.AddTrigger();
    } else if (id == int(kHelp)) {
        platform::qt::OpenHelp(view_.Doc().Services().InstallDirectory());
    }
}

void smpteCel::NotifyCellRightClick(int column, int row, int down, const QRect&,
                                    const QPoint& point, int) {
    if (down && column >= 0 && row >= 0)
        TrackGridPopup(column, row, 1, CellArea()->mapToGlobal(point));
}

void smpteCel::NotifyCellDoubleClick(int, int row, const QRect&, const QPoint&, int) {
    std::string text;
    if (row < 0 || row >= GetRowCount())
        return;
    CopyCellText(1, row, text);
    const int number = std::atoi(text.c_str());
    if (number >= 1 && number <= 256)
        view_.EditTimecodeTrigger(number);
}

void smpteCel::NotifySideHeadingDoubleClick(int column, int row, const QRect& rect,
                                            const QPoint& point, int processed) {
    NotifyCellDoubleClick(column, row, rect, point, processed);
}

int smpteCel::GetCellTipText(int column, int, int section, std::string& text) {
    if (section != 1 || column < 0 || column > 2)
        return 0;
    text = kTips[column];
    return 1;
}

// ---- CsmpteView ----

CsmpteView::CsmpteView(CVLDoc& doc, ViewServices& services, QWidget* parent)
    : CResourceView(doc, services, parent), cel_(new smpteCel(*this)) {
    CreateGrid(cel_);
    // The table is read-only: Replace only finds.
    OfferTableCommands({[this] { AutoSizeColumns(); }, nullptr, std::string("Timecode Triggers")});
}

void CsmpteView::OnInitialUpdate() {
    SetDefaultCell(*cel_, 0xFFFFFF, true);
    FitRowHeadings(*cel_, "00000");
    cel_->SetColumnCount(3, false);
    for (int c = 0; c < 3; ++c)
        cel_->WriteCellText(c, -1, kHeadings[c]);
    FillGrid();
    AutoSizeColumns();
    OnDraw();
}

void CsmpteView::FillGrid() {
    CVLDoc& doc = Doc();
    platform::WaitCursor wait;
    // A trigger switched off since the last fill leaves no row behind.
    cel_->SetRowCount(0, false);
    cel_->SetRowCount(1, false);
    int j = 0;
    for (std::size_t k = 0; k < doc.m_poSeqList.size(); ++k) {
        const CSeq& sequence = *doc.m_poSeqList[k];
        if (sequence.m_nSmpteStartOn != 1)
            continue;
        const auto& t = sequence.m_anSmpteStart;
        char time[48];
        std::snprintf(time, sizeof time, "%2.2d:%2.2d:%2.2d.%2.2d", t[0], t[1], t[2], t[3]);
        cel_->SetRowCount(j + 1, false);
        cel_->WriteCellText(-1, j, Format("%5.5d", j + 1));
        cel_->WriteCellText(0, j, time);
        cel_->WriteCellText(1, j, Format("%3d", int(k) + 1));
        cel_->WriteCellText(2, j, sequence.m_strName);
        ++j;
    }
    cel_->SortRowsByColumn(0, 1);
    cel_->RepaintAll();
}

void CsmpteView::EditTimecodeTrigger(int number) {
    CVLDoc& doc = Doc();
    if (number < 1 || number > int(doc.m_poSeqList.size()))
        return;
    EditSequenceTimecodeStart(doc, *doc.m_poSeqList[std::size_t(number - 1)], window());
}

void CsmpteView::AddTrigger() {
    CVLDoc& doc = Doc();
    DCAddSmpteTrigger dialog(doc, window());
    if (dialog.exec() == QDialog::Accepted && dialog.Answer() > 0)
        EditTimecodeTrigger(dialog.Answer());
    FillGrid();
}
