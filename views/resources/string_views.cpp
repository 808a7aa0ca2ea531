#include "views/resources/string_views.h"

#include "compiler/parameter_encoders.h"
#include "controls/grid/cel_parts.h"
#include "platform/paths.h"
#include "platform/qt/colors.h"
#include "platform/qt/virtual_keys.h"
#include "script/clipboard_block.h"
#include "script/text_resources.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <new>
#include <span>

namespace {

using platform::MsgButtons;
using platform::MsgResult;

constexpr int kMaxStrings = 32767;
constexpr const char* kHeadings[3] = {"String Name", "String Data", "String Comment"};

const StringTableKind kKinds[2] = {
    {"CDataStrView", 0xE6E6E6, "Place text in quotes, preface hex values with 'h'",
     "Delete Data Strings",
     "Not enough memory to allocate Data String ( *pDataStr ).  Aborting File Construction...",
     "Data Strings", CVLDoc::kColDataString, false},
    {"CLcdStrView", 0xC8DCF0, "Place text in quotes, use h0D for new line. Right click for wizard",
     "Delete LCD Strings",
     "Not enough memory to allocate LCD String ( *pLcdStr ).  Aborting File Construction...",
     "LCD Strings", CVLDoc::kColLcdString, true},
};

MsgResult ShowMessageBox(const std::string& text, const char* caption,
                         MsgButtons buttons = MsgButtons::Ok) {
    platform::MessageBoxRequest request;
    request.text = text;
    request.caption = caption;
    request.buttons = buttons;
    return platform::Ui().MessageBox(request);
}

std::string Format(const char* format, int a, int b = 0) {
    char text[128];
    std::snprintf(text, sizeof text, format, a, b);
    return text;
}

// Either list of the script, as the same operations see it.
template <typename F> auto WithList(CVLDoc& doc, bool lcd, F f) {
    return lcd ? f(doc.m_poLcdStrList) : f(doc.m_poDataStrList);
}

} // namespace

// ---- StrCel ----

StrCel::StrCel(CStringView& view) : EditedCel(view), view_(view) {}

void StrCel::NotifySideHeadingLeftClick(int, int row, int down, const QRect&, const QPoint&, int) {
    // The data table selects on the release as well as the press; the LCD table on the press.
    if (down || !view_.Kind().lcd)
        SelectWholeRow(row);
}

bool StrCel::ClearField(int c, int r) {
    if (r >= view_.StringCount())
        return false;
    view_.SetField(r, c, "");
    return true;
}

void StrCel::OnTableKey(int key, int c, int r, int n) {
    using namespace platform::qt;
    switch (key) {
    case VK_TAB:
        if (c < 2)
            MoveActiveCell(c + 1, r);
        else if (r < n - 1)
            MoveActiveCell(0, r + 1);
        break;
    case VK_RETURN:
        if (r == n - 1)
            view_.AppendString();
        break;
    case VK_ESCAPE:
        view_.CloseFrameSoon();
        break;
    case VK_INSERT:
    case VK_F1 + 5:
        view_.OnInsertString();
        break;
    case VK_F1 + 4:
        view_.OnDeleteStrings();
        break;
    default:
        break;
    }
}

void StrCel::NotifyCharTyped(int& ch, int processed) {
    if (processed)
        return;
    if (ch == 19)
        view_.OnInsertString();
    else if (ch == 4)
        view_.OnDeleteStrings();
    else if (StartsEdit(ch))
        EditActiveCellWithKey(ch);
}

bool StrCel::AllowEditStart(int, int row, CELEdit*&) {
    if (row == GetRowCount() - 1)
        view_.AppendString();
    return true;
}

bool StrCel::AllowEditFinish(int column, int row, CELEdit*, std::string& text, bool cancelled) {
    if (cancelled)
        return true;
    if (row >= 0 && row < view_.StringCount() && column >= 0 && column <= 2)
        view_.SetField(row, column, text);
    view_.MarkChanged();
    return true;
}

int StrCel::GetCellTipText(int column, int, int section, std::string& text) {
    if (section != 1 || column < 0 || column > 2)
        return 0;
    text = column == 0   ? "Use this name in the data column of sequence events"
           : column == 1 ? view_.Kind().dataTip
                         : "Documentation";
    return 1;
}

bool StrCel::NotifyFindDialogClosed() {
    for (int i = 0; i < view_.StringCount(); ++i)
        for (int c = 0; c < 3; ++c) {
            std::string text;
            CopyCellText(c, i, text);
            view_.SetField(i, c, text);
        }
    view_.MarkChanged();
    return true;
}

// ---- LcdCel ----

void LcdCel::NotifyCellRightClick(int column, int row, int down, const QRect&, const QPoint& point,
                                  int) {
    if (!down || column < 0 || row < 0 || row >= GetRowCount() - 1)
        return;
    ClearBlockSelection();
    RepaintAll();
    MoveActiveCell(0, row);
    TrackGridPopup(0, row, 1, CellArea()->mapToGlobal(point));
}

GVPMenuPtr LcdCel::BuildPopupMenu(int, int row, int) {
    if (row < 0 || row >= GetRowCount() - 1)
        return nullptr;
    auto menu = std::make_shared<GVPMenu>();
    menu->Item(QStringLiteral("LCD Wizard"), kLcdWizard)
        .Separator()
        .Item(QStringLiteral("Help"), kHelp)
        .Item(QStringLiteral("Properties"), kProperties);
    return menu;
}

bool LcdCel::OnUpdatePopupCommand(unsigned id, platform::qt::CommandUi& ui) {
    if (id == kHelp || id == kProperties) {
        ui.Enable(false);
        return true;
    }
    return false;
}

void LcdCel::OnCommand(int id) {
    if (id == int(kLcdWizard))
        static_cast<CLcdStrView&>(view_).OnLcdWizard();
}

// ---- CStringView ----

CStringView::CStringView(CVLDoc& doc, ViewServices& services, bool lcd, QWidget* parent)
    : CResourceView(doc, services, parent), lcd_(lcd),
      cel_(lcd ? static_cast<StrCel*>(new LcdCel(*this)) : new DataStrCel(*this)) {
    CreateGrid(cel_);
    OfferTableCommands({[this] { AutoSizeColumns(); }, [this] { ReplaceInGrid(); },
                        std::string(Kind().printSubtitle)});
    auto stringRow = [this](platform::qt::CommandUi& ui) {
        ui.Enable(cel_->GetActiveRow() >= 0 && cel_->GetActiveRow() + 1 < cel_->GetRowCount());
    };
    Commands()
        .On(
            vl_ids::kInsertString, [this] { OnInsertString(); }, stringRow)
        .On(
            vl_ids::kDeleteStrings, [this] { OnDeleteStrings(); }, stringRow)
        .On(vl_ids::kEditCopy, [this] { OnCopy(); })
        .On(vl_ids::kEditCut, [this] { OnCut(); })
        .On(
            vl_ids::kEditPaste, [this] { OnPaste(); },
            [](platform::qt::CommandUi& ui) { ui.Enable(CanPaste()); });
    if (lcd)
        Commands().On(
            vl_ids::kLcdWizard, [this] { static_cast<CLcdStrView*>(this)->OnLcdWizard(); },
            [this](platform::qt::CommandUi& ui) {
                ui.Enable(static_cast<CLcdStrView*>(this)->CanRunLcdWizard());
            });
}

const StringTableKind& CStringView::Kind() const {
    return kKinds[lcd_ ? 1 : 0];
}

const char* CStringView::ViewClassName() const {
    return Kind().viewClass;
}

std::vector<int> CStringView::MinimumWidths() const {
    return {75, 75, 100};
}

CVLDoc::ColGroup CStringView::WidthGroup() const {
    return Kind().widths;
}

int CStringView::StringCount() const {
    CVLDoc& doc = Doc();
    return WithList(doc, lcd_, [](auto& list) { return int(list.size()); });
}

StringRecord CStringView::StringAt(int index) const {
    CVLDoc& doc = Doc();
    return WithList(doc, lcd_, [index](auto& list) {
        const auto& s = *list[std::size_t(index)];
        return StringRecord{s.m_strName, s.m_strData, s.m_strComment};
    });
}

void CStringView::SetField(int index, int column, const std::string& text) {
    CVLDoc& doc = Doc();
    if (index < 0 || index >= StringCount())
        return;
    WithList(doc, lcd_, [&](auto& list) {
        auto& s = *list[std::size_t(index)];
        (column == 0 ? s.m_strName : column == 1 ? s.m_strData : s.m_strComment) = text;
        return 0;
    });
}

void CStringView::InsertStrings(int before, const std::vector<StringRecord>& records) {
    CVLDoc& doc = Doc();
    WithList(doc, lcd_, [&](auto& list) {
        using Str = typename std::decay_t<decltype(list)>::value_type::element_type;
        std::vector<std::unique_ptr<Str>> made;
        made.reserve(records.size());
        for (const StringRecord& r : records)
            made.push_back(std::make_unique<Str>(r.name, r.data, r.comment));
        const auto at =
            list.begin() + std::clamp<std::ptrdiff_t>(before, 0, std::ptrdiff_t(list.size()));
        list.insert(at, std::make_move_iterator(made.begin()), std::make_move_iterator(made.end()));
        return 0;
    });
}

void CStringView::EraseStrings(int first, int last) {
    CVLDoc& doc = Doc();
    WithList(doc, lcd_, [&](auto& list) {
        list.erase(list.begin() + first, list.begin() + last + 1);
        return 0;
    });
}

void CStringView::OnInitialUpdate() {
    SetDefaultCell(*cel_, Kind().background);
    FillGrid();
    ApplyColumnWidths(WidthGroup());
    OnDraw();
}

void CStringView::FillGrid() {
    cel_->EnableBlockSelection(1);
    cel_->SetColumnCount(3, false);
    for (int c = 0; c < 3; ++c)
        cel_->WriteCellText(c, -1, kHeadings[c]);
    const int s = StringCount();
    cel_->SetRowCount(s + 1, false);
    for (int i = 0; i < s; ++i) {
        const StringRecord record = StringAt(i);
        cel_->WriteCellText(-1, i, Format("%3.3d", i + 1));
        cel_->WriteCellText(0, i, record.name);
        cel_->WriteCellText(1, i, record.data);
        cel_->WriteCellText(2, i, record.comment);
    }
    for (int c = -1; c < 3; ++c)
        cel_->WriteCellText(c, s, "");
    cel_->RepaintAll();
}

void CStringView::AfterStructureChange() {
    FillGrid();
    update();
    repaint();
    cel_->ClearBlockSelection();
    cel_->RepaintAll();
}

bool CStringView::SelectedRun(int to, int& first, int& last) const {
    const int c = cel_->GetActiveColumn();
    first = -1;
    for (int r = 0; r <= to; ++r)
        if (cel_->IsCellSelected(c, r, nullptr)) {
            first = r;
            break;
        }
    if (first < 0)
        return false;
    last = first;
    while (last + 1 <= to && cel_->IsCellSelected(c, last + 1, nullptr))
        ++last;
    return true;
}

void CStringView::AppendString() {
    InsertStrings(StringCount(), {StringRecord{}});
    FillGrid();
    MarkChanged();
}

void CStringView::OnInsertString() {
    const int row = cel_->GetActiveRow();
    const int column = cel_->GetActiveColumn();
    if (row < 0 || row >= StringCount())
        return;
    InsertStrings(row, {StringRecord{}});
    AfterStructureChange();
    cel_->MoveActiveCell(std::max(column, 0), row + 1);
    MarkChanged();
}

void CStringView::OnDeleteStrings() {
    int first = 0, last = 0;
    if (!SelectedRun(StringCount() - 1, first, last))
        return;
    const std::string question =
        first == last ? Format("Delete String %d.  Are you sure?", first + 1)
                      : Format("Delete Strings %d - %d.  Are you sure?", first + 1, last + 1);
    if (ShowMessageBox(question, Kind().deleteCaption, MsgButtons::OkCancel) != MsgResult::Ok)
        return;
    EraseStrings(first, last);
    AfterStructureChange();
    MarkChanged();
}

bool CStringView::CopyRun(int& first, int& last) {
    // Nothing selected copies nothing; a selection of just the last string still copies it.
    if (!SelectedRun(StringCount() - 1, first, last))
        return false;
    std::vector<StringRecord> run;
    for (int i = first; i <= last; ++i)
        run.push_back(StringAt(i));
    if (StringsNeedCutting(run) && ShowMessageBox(clipboard::kCutTextsQuestion, "Copy to Clipboard",
                                                  MsgButtons::YesNo) != MsgResult::Yes)
        return false;
    auto* data = new QMimeData; // the clipboard takes it
    const std::vector<std::uint8_t> block = EncodeStringsBlock(run);
    data->setData(QString::fromLatin1(kStringsClipboardFormat),
                  QByteArray(reinterpret_cast<const char*>(block.data()), qsizetype(block.size())));
    QApplication::clipboard()->setMimeData(data);
    return true;
}

void CStringView::OnCopy() {
    int first = 0, last = 0;
    CopyRun(first, last);
}

void CStringView::OnCut() {
    int first = 0, last = 0;
    if (!CopyRun(first, last))
        return;
    EraseStrings(first, last);
    AfterStructureChange();
    MarkChanged();
}

bool CStringView::CanPaste() {
    const QMimeData* data = QApplication::clipboard()->mimeData();
    return data && data->hasFormat(QString::fromLatin1(kStringsClipboardFormat));
}

void CStringView::OnPaste() {
    constexpr const char* kCaption = "Paste from Clipboard";
    const int strings = StringCount();
    int first = 0, last = 0;
    if (!SelectedRun(strings, first, last))
        first = last = strings; // the empty last row: the paste appends
    bool replace = false;
    if (last > first)
        replace = ShowMessageBox("Are you sure you want to replace the current selection?",
                                 kCaption, MsgButtons::YesNo) == MsgResult::Yes;
    const QMimeData* data = QApplication::clipboard()->mimeData();
    if (!data) {
        ShowMessageBox("Could not open Clipboard", kCaption);
        return;
    }
    if (!data->hasFormat(QString::fromLatin1(kStringsClipboardFormat))) {
        ShowMessageBox("Error obtaining data from Clipboard", kCaption);
        return;
    }
    const QByteArray bytes = data->data(QString::fromLatin1(kStringsClipboardFormat));
    const std::span<const std::uint8_t> block(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                              std::size_t(bytes.size()));
    // Every length is checked against the block before the list changes.
    const auto records = DecodeStringsBlock(block);
    if (!records) {
        ShowMessageBox("Unknown data.  Cannot Paste into Strings", kCaption);
        return;
    }
    const int replaced = replace ? std::min(last, strings - 1) - first + 1 : 0;
    const int count = int(records->size());
    if (count + (strings - replaced) + 1 > kMaxStrings) {
        ShowMessageBox(Format("Pasting %d strings would exceed 32767 strings", count), kCaption);
        return;
    }
    if (replaced > 0)
        EraseStrings(first, first + replaced - 1);
    InsertStrings(first, *records);
    AfterStructureChange();
    MarkChanged();
}

// ---- LCD wizard ----

LcdLines DecodeLcdLines(const std::string& data, int width) {
    LcdLines lines;
    const ByteString bytes = DataStringToBytes(data);
    std::string* line = &lines.line1;
    bool second = false;
    for (const std::uint8_t byte : bytes) {
        if (byte == 13) {
            if (second) {
                lines.refusal =
                    "More than one carriage return was found.\nThis string cannot be edited by "
                    "LCD Wizard";
                return lines;
            }
            second = true;
            line = &lines.line2;
        } else if (byte < 0x20 || byte > 0x7E) {
            lines.refusal =
                "Special Characters were found.\nThis string cannot be edited by LCD Wizard";
            return lines;
        } else {
            line->push_back(static_cast<char>(byte));
        }
    }
    auto finish = [width](std::string& text, bool& force) {
        force = std::count(text.begin(), text.end(), ' ') == width;
        while (!text.empty() &&
               std::string_view(" \t\n\v\f\r").find(text.back()) != std::string_view::npos)
            text.pop_back();
    };
    finish(lines.line1, lines.forceBlank1);
    finish(lines.line2, lines.forceBlank2);
    return lines;
}

namespace {

// A line in quotes; a '"' of the line goes between quoted runs as h22, so the line decodes to
// the same bytes.
std::string Quoted(const std::string& line) {
    std::string out;
    std::size_t start = 0;
    bool firstPart = true;
    while (true) {
        const std::size_t quote = line.find('"', start);
        const std::string run =
            line.substr(start, quote == std::string::npos ? std::string::npos : quote - start);
        if (!run.empty() || (quote == std::string::npos && firstPart)) {
            out += (firstPart ? "" : ", ") + std::string("\"") + run + "\"";
            firstPart = false;
        }
        if (quote == std::string::npos)
            break;
        out += (firstPart ? "" : ", ") + std::string("h22");
        firstPart = false;
        start = quote + 1;
    }
    return out;
}

std::string Padded(std::string line, int width) {
    if (int(line.size()) < width)
        line.append(std::size_t(width) - line.size(), ' ');
    return line;
}

} // namespace

std::string EncodeLcdLines(const LcdWizardRequest& lines) {
    const bool one = !lines.line1.empty() || lines.forceBlank1;
    const bool two = !lines.line2.empty() || lines.forceBlank2;
    const std::string first = Quoted(Padded(lines.line1, lines.width));
    const std::string second = Quoted(Padded(lines.line2, lines.width));
    if (one && two)
        return first + ", h0d, " + second;
    if (one)
        return first;
    if (two)
        return "h0d, " + second;
    return {};
}

int CLcdStrView::DisplayWidth() const {
    const CVLDoc& doc = Doc();
    if (!doc.m_pProduct)
        return 0;
    if (platform::EqualsNoCase(doc.m_pProduct->m_strLcd, "40x2"))
        return 40;
    if (platform::EqualsNoCase(doc.m_pProduct->m_strLcd, "16x2"))
        return 16;
    return 0;
}

bool CLcdStrView::CanRunLcdWizard() const {
    const int row = cel_->GetActiveRow();
    return row >= 0 && row + 1 != cel_->GetRowCount();
}

void CLcdStrView::OnLcdWizard() {
    const int width = DisplayWidth();
    const int row = cel_->GetActiveRow();
    if (width == 0 || row < 0 || row >= StringCount())
        return;
    const LcdLines lines = DecodeLcdLines(StringAt(row).data, width);
    if (!lines.refusal.empty()) {
        ShowMessageBox(lines.refusal, "LCD Wizard");
        return;
    }
    LcdWizardRequest request;
    request.width = width;
    request.line1 = lines.line1;
    request.line2 = lines.line2;
    request.forceBlank1 = lines.forceBlank1;
    request.forceBlank2 = lines.forceBlank2;
    if (!platform::Ui().RunDialog(request))
        return;
    SetField(row, 1, EncodeLcdLines(request));
    FillGrid();
    update();
    repaint();
    MarkChanged();
}
