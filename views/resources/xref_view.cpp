#include "views/resources/xref_view.h"

#include "compiler/name_lookups.h"
#include "controls/dialogkit/dialog_kit.h"
#include "controls/grid/cel_cell.h"
#include "controls/grid/cel_mem.h"
#include "controls/grid/cel_parts.h"
#include "platform/paths.h"
#include "platform/qt/qt_ui_services.h"
#include "platform/ui_services.h"
#include "script/event.h"
#include "script/view_kind.h"
#include "views/common/update_hints.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <numeric>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace {

constexpr const char* kHeadings[8] = {"Type",     "#",      "Name",       "Used in Seq#",
                                      "Seq Name", "Event#", "Event Type", "Comment"};
constexpr const char* kTips[8] = {"Resource Type: Input, Output, Flag, Var, Port, LCD or Data",
                                  "Resource Number (within its Type)",
                                  "Resource Name",
                                  "Number of Sequence in which Resource Appears",
                                  "Name of Sequence in which Resource Appears",
                                  "Number of Event in Sequence where Resource Appears",
                                  "Type of Event in Sequence where Resource Appears",
                                  "Documentation"};
constexpr const char* kTriggerNames[4] = {"Start Trigger", "Stop Trigger", "Pause Trigger",
                                          "Reset Trigger"};
constexpr int kNumericMatch = 19;

struct KindLook {
    int kind;
    const char* type;
    COLORREF colour;
};
constexpr KindLook kLooks[] = {
    {1, "Input", 0xB6FF9D}, {2, "Output", 0xC4C4FF}, {3, "Flag", 0xA0C8FF},
    {4, "Var", 0xFFFFC8},   {5, "Port", 0xFFDCFF},   {6, "LCD", 0xC8DCF0},
    {7, "Data", 0xE6E6E6},  {8, "Seq", 0xE6FFE6},    {kNumericMatch, "Var(Num Match)", 0xFFFFC8},
};

const KindLook* LookOf(int kind) {
    for (const KindLook& look : kLooks)
        if (look.kind == kind)
            return &look;
    return nullptr;
}

std::string Format(const char* format, int value) {
    char text[32];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

bool HasLetter(const std::string& text) {
    for (const char c : text)
        if (std::isalpha(static_cast<unsigned char>(c)))
            return true;
    return false;
}

} // namespace

// ---- XRefRows ----

// The rows of the cross reference as the build finds them: a few numbers and the places of
// their texts in one buffer. The grid asks for the cells it paints, sorts and searches; each
// is made from its row then, so 51,000 rows cost no 400,000 stored cells. Headings and any
// cell stored by other means stay in the sheet memory this extends.
class XRefRows : public CELMem {
public:
    struct Text {
        std::uint32_t at = 0;
        std::uint32_t size = 0;
    };
    struct Row {
        int kind;
        int index;
        int sequence;
        Text name, sequenceName, place, eventType, comment;
    };

    void Clear() {
        rows_.clear();
        texts_.clear();
    }
    void Reserve(std::size_t rows) {
        rows_.reserve(rows);
        texts_.reserve(rows * 24);
    }
    Text Keep(std::string_view text) {
        Text kept{static_cast<std::uint32_t>(texts_.size()),
                  static_cast<std::uint32_t>(text.size())};
        texts_.append(text);
        return kept;
    }
    void Add(const Row& row) { rows_.push_back(row); }
    int Count() const { return static_cast<int>(rows_.size()); }

    int GetCell(int column, int row, CELCell& cell) override {
        if (CellAt(column, row) || row < 0 || row >= Count() || column < -1 || column > 7)
            return CELMem::GetCell(column, row, cell);
        if (column == -1) {
            cell.SetText(Format("%5.5d", row + 1));
            return 0;
        }
        const Row& r = rows_[static_cast<std::size_t>(row)];
        cell.SetText(ColumnText(r, column));
        if (const KindLook* look = LookOf(r.kind))
            cell.SetBackground(look->colour);
        return 0;
    }

    int FindPreviousTextColumn(int& column, int row) override {
        if (row < 0 || row >= Count() || column < 0)
            return CELMem::FindPreviousTextColumn(column, row);
        const Row& r = rows_[static_cast<std::size_t>(row)];
        for (int c = std::min(column, 7); c >= 0; --c) {
            if (c != column && !ColumnText(r, c).empty()) {
                column = c;
                return 0;
            }
        }
        return 1;
    }

    // A stable sort by the grid's own comparison of the cells: each distinct cell of a sort
    // column is compared once among the others, and the rows then sort by its rank.
    int SortBy(const int* columns, int count, int flags) override {
        if (rows_.size() < 2 || !columns || count <= 0)
            return 0;
        CELCtrl* grid = Grid();
        std::vector<std::vector<int>> ranks;
        for (int k = 0; k < count; ++k)
            ranks.push_back(Ranks(grid, columns[k], flags));
        std::vector<std::size_t> order(rows_.size());
        std::iota(order.begin(), order.end(), 0);
        std::stable_sort(order.begin(), order.end(), [&](std::size_t x, std::size_t y) {
            for (const auto& rank : ranks)
                if (rank[x] != rank[y])
                    return rank[x] < rank[y];
            return false;
        });
        std::vector<Row> sorted;
        sorted.reserve(rows_.size());
        for (std::size_t i : order)
            sorted.push_back(rows_[i]);
        rows_ = std::move(sorted);
        return 0;
    }

    int FindNext(const std::string& text, int& column, int& row, int flags) override {
        const int rowCount = Grid() ? Grid()->GetRowCount() : Count();
        const int lastRow = rowCount - 1;
        const int lastColumn = (Grid() ? Grid()->GetColumnCount() : 8) - 1;
        if (rowCount <= 0 || lastColumn < 0)
            return 1;
        const bool up = (flags & 4) != 0;
        const bool allColumns = (flags & 8) != 0;
        const bool anywhere = (flags & 1) != 0;
        const bool noCase = (flags & 2) != 0;
        auto upper = [](std::string_view s) {
            std::string out(s);
            for (char& c : out)
                c = static_cast<char>(UpperCp1252(static_cast<unsigned char>(c)));
            return out;
        };
        const std::string wanted = noCase ? upper(text) : text;
        int c = column, r = row;
        auto nextRow = [&]() {
            r += up ? -1 : 1;
            if (r > lastRow)
                r = 0;
            if (r < 0)
                r = lastRow;
            if (allColumns)
                c = up ? lastColumn : 0;
        };
        auto nextColumn = [&]() -> bool {
            c += up ? -1 : 1;
            if (c > lastColumn || c < 0) {
                nextRow();
                return true;
            }
            return false;
        };
        if (allColumns)
            nextColumn();
        else
            nextRow();
        auto matches = [&](std::string_view s) {
            if (anywhere)
                return (noCase ? upper(s) : std::string(s)).find(wanted) != std::string::npos;
            return !s.empty() && upper(s) == upper(text);
        };
        for (int counter = 0; counter < rowCount + 1;) {
            const bool inRows = r >= 0 && r < Count();
            CELCell stored;
            bool found = false;
            if (r >= 0 && CellAt(c, r)) {
                CELMem::GetCell(c, r, stored);
                const char* t = stored.GetValueText();
                found = t && matches(t);
            } else if (inRows && c >= 0 && c <= 7) {
                found = matches(ColumnText(rows_[static_cast<std::size_t>(r)], c));
            }
            if (found) {
                column = c;
                row = r;
                return 0;
            }
            if (!allColumns) {
                nextRow();
                ++counter;
            } else if (nextColumn()) {
                ++counter;
            }
        }
        return 1;
    }

private:
    std::string_view View(Text text) const {
        return std::string_view(texts_).substr(text.at, text.size);
    }
    std::string ColumnText(const Row& r, int column) const {
        switch (column) {
        case 0: {
            const KindLook* look = LookOf(r.kind);
            return look ? look->type : "";
        }
        case 1:
            return Format("%3d", r.index + 1);
        case 2:
            return std::string(View(r.name));
        case 3:
            return Format("%3d", r.sequence + 1);
        case 4:
            return std::string(View(r.sequenceName));
        case 5:
            return std::string(View(r.place));
        case 6:
            return std::string(View(r.eventType));
        case 7:
            return std::string(View(r.comment));
        default:
            return {};
        }
    }

    // Each row's rank among the distinct cells of `column` (text and colour), in the order
    // the grid's comparison gives them; cells that compare equal share a rank.
    std::vector<int> Ranks(CELCtrl* grid, int column, int flags) const {
        std::unordered_map<std::string, int> distinct;
        std::vector<int> keyOf(rows_.size());
        std::vector<std::unique_ptr<CELCell>> cells;
        for (std::size_t i = 0; i < rows_.size(); ++i) {
            const Row& r = rows_[i];
            std::string key = ColumnText(r, column);
            key.push_back('\0');
            key.push_back(static_cast<char>(r.kind));
            auto [at, added] = distinct.try_emplace(std::move(key), int(cells.size()));
            if (added) {
                auto cell = std::make_unique<CELCell>();
                if (column >= 0 && column <= 7) {
                    cell->SetText(ColumnText(r, column));
                    if (const KindLook* look = LookOf(r.kind))
                        cell->SetBackground(look->colour);
                } else {
                    cell.reset();
                }
                cells.push_back(std::move(cell));
            }
            keyOf[i] = at->second;
        }
        auto compare = [&](int a, int b) {
            const CELCell* x = cells[std::size_t(a)].get();
            const CELCell* y = cells[std::size_t(b)].get();
            return grid ? grid->CompareCellsForSort(x, y, flags) : CompareCellsDefault(x, y, flags);
        };
        std::vector<int> byOrder(cells.size());
        std::iota(byOrder.begin(), byOrder.end(), 0);
        std::stable_sort(byOrder.begin(), byOrder.end(),
                         [&](int a, int b) { return compare(b, a) > 0; });
        std::vector<int> rankOf(cells.size());
        int rank = 0;
        for (std::size_t i = 0; i < byOrder.size(); ++i) {
            if (i > 0 && compare(byOrder[i - 1], byOrder[i]) != 0)
                ++rank;
            rankOf[std::size_t(byOrder[i])] = rank;
        }
        std::vector<int> ranks(rows_.size());
        for (std::size_t i = 0; i < rows_.size(); ++i)
            ranks[i] = rankOf[std::size_t(keyOf[i])];
        return ranks;
    }

    std::vector<Row> rows_;
    std::string texts_;
};

// ---- DCXRefProgressDlg ----

DCXRefProgressDlg::DCXRefProgressDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Generating Resource Cross Reference ..."));
    setWindowModality(Qt::ApplicationModal);
    auto* layout = new QVBoxLayout(this);
    stage_ = dialogs::Named(
        new QLabel(QStringLiteral("Searching Through Sequences for Resources ..."), this), 406);
    bar_ = dialogs::Named(new QProgressBar(this), 405);
    bar_->setRange(0, 100);
    bar_->setValue(1);
    entry_ = dialogs::Named(new QLabel(QStringLiteral("The Resources Found Are Listed Here"), this),
                            407);
    layout->addWidget(stage_);
    layout->addWidget(bar_);
    layout->addWidget(entry_);
    auto* cancel = dialogs::MakeButton(QStringLiteral("Cancel"), 2, this);
    connect(cancel, &QPushButton::clicked, this, [this] { cancel_ = true; });
    layout->addWidget(cancel, 0, Qt::AlignHCenter);
    resize(360, 150);
    dialogs::CentreOnDesktop(*this);
    show();
}

void DCXRefProgressDlg::Pump() {
    // The label shows the last entry found; it changes only where the dialog can paint.
    if (entryChanged_) {
        entry_->setText(platform::qt::ToQString(entryText_));
        entryChanged_ = false;
    }
    QCoreApplication::processEvents();
}

bool DCXRefProgressDlg::CheckCancel() {
    Pump();
    const bool cancel = cancel_;
    cancel_ = false;
    return cancel;
}

void DCXRefProgressDlg::SetProgress(int percent) {
    Pump();
    bar_->setValue(percent);
}

void DCXRefProgressDlg::SetStage(const std::string& text) {
    stage_->setText(platform::qt::ToQString(text));
    if (entryChanged_) {
        entry_->setText(platform::qt::ToQString(entryText_));
        entryChanged_ = false;
    }
}

void DCXRefProgressDlg::SetEntry(const std::string& text) {
    entryText_ = text;
    entryChanged_ = true;
}

// ---- XRefCel ----

XRefCel::XRefCel(CXRefView& view) : ResourceCel(view), view_(view) {}

void XRefCel::NotifySideHeadingLeftClick(int, int row, int down, const QRect&, const QPoint&, int) {
    if (!down || row < 0 || row >= GetRowCount())
        return;
    ClearBlockSelection();
    RepaintAll();
    MoveActiveCell(0, row);
    SelectBlock(0, row, 7, row);
}

void XRefCel::NotifyCellDoubleClick(int, int row, const QRect&, const QPoint&, int) {
    view_.GoToEntry(row);
}

void XRefCel::NotifySideHeadingDoubleClick(int, int row, const QRect&, const QPoint&, int) {
    view_.GoToEntry(row);
}

int XRefCel::GetCellTipText(int column, int, int section, std::string& text) {
    if (section != 1 || column < 0 || column > 7)
        return 0;
    text = kTips[column];
    return 1;
}

// ---- CXRefView ----

CXRefView::CXRefView(CVLDoc& doc, ViewServices& services, QWidget* parent)
    : CResourceView(doc, services, parent), rows_(std::make_unique<XRefRows>()),
      cel_(new XRefCel(*this)) {
    CreateGrid(cel_);
    cel_->SetDataSource(rows_.get());
    // The cross reference is read-only: Replace only finds.
    OfferTableCommands({[this] { AutoSizeColumns(); }, nullptr, std::string("Cross Reference")});
}

CXRefView::~CXRefView() {
    // The grid outlives this object's members as a child widget: it goes back to its own memory.
    cel_->SetDataSource(nullptr);
}

void CXRefView::OnInitialUpdate() {
    BuildCrossReference();
    AutoSizeColumns();
    OnDraw();
}

void CXRefView::BuildCrossReference(XRefProgress* progress) {
    CVLDoc& doc = Doc();
    std::unique_ptr<DCXRefProgressDlg> dialog;
    if (!progress) {
        dialog = std::make_unique<DCXRefProgressDlg>(window());
        progress = dialog.get();
    }
    SetDefaultCell(*cel_, 0xFFFFFF, true);
    FitRowHeadings(*cel_, "00000");
    cel_->SetColumnCount(8, false);
    for (int c = 0; c < 8; ++c)
        cel_->WriteCellText(c, -1, kHeadings[c]);
    cel_->SetRowCount(0, false);
    cel_->SetRowCount(1, false);
    progress->SetStage("Searching Sequences for Resources ...");
    rows_->Clear();
    entries_ = 0;
    const int count = int(doc.m_poSeqList.size());
    std::size_t events = 0;
    for (const auto& sequence : doc.m_poSeqList)
        events += sequence->m_poEventList.size();
    rows_->Reserve(events + 12 * std::size_t(count));

    // An operand's kind and index depend only on its text while the build runs (the dialog
    // keeps the script from changing): each distinct text is looked up by name once.
    struct Operand {
        int kind;
        int index;
    };
    struct TextHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const {
            return std::hash<std::string_view>{}(text);
        }
    };
    std::unordered_map<std::string, Operand, TextHash, std::equal_to<>> operands;
    auto operandOf = [&](const std::string& text) {
        if (auto found = operands.find(std::string_view(text)); found != operands.end())
            return found->second;
        Operand operand{};
        operand.index = -1;
        operand.kind = GetOperandKind(doc, text, operand.index);
        operands.emplace(text, operand);
        return operand;
    };

    bool cancelled = false;
    for (int s = 0; s < count; ++s) {
        if (progress->CheckCancel()) {
            cancelled = true;
            break;
        }
        progress->SetProgress(95 * s / count);
        // The dialog keeps the other windows from input; a script shorter than it was is still
        // never read past its end.
        if (s >= int(doc.m_poSeqList.size()))
            break;
        const CSeq& sequence = *doc.m_poSeqList[std::size_t(s)];
        const int before = rows_->Count();
        const XRefRows::Text sequenceName = rows_->Keep(sequence.m_strName);
        const XRefRows::Text none = rows_->Keep("");
        auto add = [&](int kind, int index, const std::string& name, XRefRows::Text place,
                       XRefRows::Text eventType, XRefRows::Text comment) {
            rows_->Add(
                {kind, index, s, rows_->Keep(name), sequenceName, place, eventType, comment});
        };
        for (int t = 0; t < 4; ++t) {
            const CTrigger& trigger = sequence.m_aTriggers[std::size_t(t)];
            if (trigger.m_strIoName.empty())
                continue;
            const XRefRows::Text place = rows_->Keep(
                std::string(kTriggerNames[t]) + (trigger.m_nGoesOn ? " Goes On" : " Goes Off"));
            if (const int input = FindInput(doc, trigger.m_strIoName); input >= 0)
                add(kOperandInput, input - 128, trigger.m_strIoName, place, none, none);
            else if (const int output = FindOutput(doc, trigger.m_strIoName); output >= 0)
                add(kOperandOutput, output, trigger.m_strIoName, place, none, none);
            else
                add(kOperandNone, -1, trigger.m_strIoName, place, none, none);
        }
        for (int t = 0; t < 4; ++t) {
            const CTrigger& trigger = sequence.m_aTriggers[std::size_t(t)];
            if (!trigger.m_strVariable.empty())
                add(kOperandVariable, FindVariable(doc, trigger.m_strVariable),
                    trigger.m_strVariable, rows_->Keep(kTriggerNames[t]), none, none);
        }
        for (int t = 0; t < 4; ++t) {
            const CTrigger& trigger = sequence.m_aTriggers[std::size_t(t)];
            if (!trigger.m_strValue.empty())
                add(HasLetter(trigger.m_strValue) ? kOperandVariable : kNumericMatch,
                    FindVariable(doc, trigger.m_strValue), trigger.m_strValue,
                    rows_->Keep(kTriggerNames[t]), none, none);
        }
        int number = 0;
        for (const auto& event : sequence.m_poEventList) {
            ++number;
            bool named = false;
            XRefRows::Text place, eventType, comment;
            for (const std::string* operand :
                 {&event->m_strData1, &event->m_strData2, &event->m_strData3, &event->m_strData4}) {
                if (operand->empty() || !std::isalpha(static_cast<unsigned char>((*operand)[0])))
                    continue;
                const Operand found = operandOf(*operand);
                if (found.kind == kOperandNone)
                    continue;
                // The event's own texts are kept once for all the resources it names.
                if (!named) {
                    char text[32];
                    std::snprintf(text, sizeof text, "%6d%s", number,
                                  event->m_strSkip.empty() ? "" : " (Commented Out)");
                    place = rows_->Keep(text);
                    eventType = rows_->Keep(event->m_strEvent);
                    comment = rows_->Keep(event->m_strComment);
                    named = true;
                }
                add(found.kind, found.index, *operand, place, eventType, comment);
            }
        }
        entries_ = rows_->Count();
        if (cel_->GetRowCount() < entries_)
            cel_->SetRowCount(entries_, false);
        for (int e = before + 1; e <= entries_; ++e) {
            char line[64];
            std::snprintf(line, sizeof line, "Found Resource %d in Sequence %d", e, s + 1);
            progress->SetEntry(line);
        }
    }
    entries_ = rows_->Count();
    if (entries_ > 0)
        cel_->SetRowCount(entries_, false);
    if (!cancelled) {
        progress->SetStage("Sorting Resources (this may take a moment)...");
        progress->SetEntry(" ");
        platform::WaitCursor wait;
        // Stable: the rows of one type keep the order in which they were found. The row
        // headings number the rows as they then stand.
        cel_->SortRowsByColumn(0, 1);
    }
    cel_->RepaintAll();
}

void CXRefView::GoToEntry(int row) {
    CVLDoc& doc = Doc();
    if (row < 0 || row >= cel_->GetRowCount())
        return;
    std::string sequenceText, placeText;
    cel_->CopyCellText(3, row, sequenceText);
    cel_->CopyCellText(5, row, placeText);
    if (sequenceText.empty() || placeText.empty())
        return;
    const int number = std::atoi(sequenceText.c_str());
    const int event = std::atoi(placeText.c_str());
    if (number < 1 || number > int(doc.m_poSeqList.size()))
        return;
    CSeq* sequence = doc.m_poSeqList[std::size_t(number - 1)].get();
    if (event > 0) {
        if (platform::View* shown = EventEditorOf(doc, sequence->m_strName))
            shown->ActivateFrame();
        else
            Services().OpenView(doc, kEventEditorKind, sequence);
        auto* editor = dynamic_cast<CVLView*>(EventEditorOf(doc, sequence->m_strName));
        if (!editor || !editor->Grid())
            return;
        VLCELCtrl& grid = *editor->Grid();
        grid.ClearBlockSelection();
        grid.RepaintAll();
        grid.MoveActiveCell(4, event - 1);
        return;
    }
    for (int t = 0; t < 4; ++t) {
        const std::size_t length = std::strlen(kTriggerNames[t]);
        if (placeText.compare(0, length, kTriggerNames[t]) == 0) {
            sequence->EditTrigger(&doc, t);
            hints::SendRepaint(doc);
            return;
        }
    }
}
