#include "views/resources/name_views.h"

#include "platform/qt/colors.h"
#include "platform/qt/virtual_keys.h"
#include "script/product.h"

#include <cstdio>

namespace {

using platform::qt::RGB;

const NameKind kKinds[4] = {
    {"CInputView",
     {"Input Name", "Input Comment"},
     RGB(157, 255, 182),
     "Inputs",
     CVLDoc::kColInput},
    {"COutputView",
     {"Output Name", "Output Comment"},
     RGB(255, 196, 196),
     "Outputs",
     CVLDoc::kColOutput},
    {"CFlagView", {"Flag Name", "Flag Comment"}, RGB(255, 200, 160), "Flags", CVLDoc::kColFlag},
    {"CVarView", {"Var Name", "Var Comment"}, RGB(200, 255, 255), "Variables", CVLDoc::kColVar},
};

} // namespace

// ---- NameCel ----

NameCel::NameCel(CNameView& view) : EditedCel(view), view_(view) {}

bool NameCel::ClearField(int c, int r) {
    // The entry empties with its cell: a find dialog's copy-back would otherwise store the
    // empty text later, unannounced.
    CProductResource* entry = view_.Entry(r);
    if (!entry)
        return false;
    (c == 0 ? entry->m_strName : entry->m_strComment).clear();
    return true;
}

void NameCel::OnTableKey(int key, int c, int r, int n) {
    using namespace platform::qt;
    switch (key) {
    case VK_RETURN:
    case VK_TAB:
        if (c == 0)
            MoveActiveCell(1, r);
        else if (c == 1 && r < n - 1)
            MoveActiveCell(0, r + 1);
        break;
    default:
        break;
    }
}

bool NameCel::AllowEditFinish(int column, int row, CELEdit*, std::string& text, bool cancelled) {
    if (cancelled)
        return true;
    if (CProductResource* entry = view_.Entry(row)) {
        if (column == 0)
            entry->m_strName = text;
        else if (column == 1)
            entry->m_strComment = text;
    }
    view_.MarkChanged();
    return true;
}

int NameCel::GetCellTipText(int column, int, int section, std::string& text) {
    if (section != 1)
        return 0;
    text = column == 0 ? "Use this name in the data column of sequence events" : "Documentation";
    return 1;
}

bool NameCel::NotifyFindDialogClosed() {
    for (int k = 0; k < view_.EntryCount(); ++k) {
        CProductResource* entry = view_.Entry(k);
        std::string text;
        CopyCellText(0, k, text);
        entry->m_strName = text;
        text.clear();
        CopyCellText(1, k, text);
        entry->m_strComment = text;
    }
    view_.MarkChanged();
    return true;
}

// ---- CNameView ----

CNameView::CNameView(CVLDoc& doc, ViewServices& services, int kind, QWidget* parent)
    : CResourceView(doc, services, parent), kind_(kind), cel_(new NameCel(*this)) {
    CreateGrid(cel_);
    OfferTableCommands({[this] { AutoSizeColumns(); }, [this] { ReplaceInGrid(); },
                        std::string(kKinds[kind_].printSubtitle)});
}

const NameKind& CNameView::Kind() const {
    return kKinds[kind_];
}

const char* CNameView::ViewClassName() const {
    return kKinds[kind_].viewClass;
}

CVLDoc::ColGroup CNameView::WidthGroup() const {
    return kKinds[kind_].widths;
}

int CNameView::EntryCount() const {
    const CVLDoc& doc = Doc();
    if (!doc.m_pProduct)
        return 0;
    const CProduct& p = *doc.m_pProduct;
    const int counts[4] = {std::min<int>(p.m_wInputs, CProduct::kMaxInputs),
                           std::min<int>(p.m_wOutputs, CProduct::kMaxOutputs),
                           std::min<int>(p.m_wFlags, CProduct::kMaxFlags),
                           std::min<int>(p.m_wVars, CProduct::kMaxVars)};
    return counts[kind_];
}

CProductResource* CNameView::Entry(int row) const {
    CVLDoc& doc = Doc();
    if (!doc.m_pProduct || row < 0 || row >= EntryCount())
        return nullptr;
    CProduct& p = *doc.m_pProduct;
    const auto k = std::size_t(row);
    switch (kind_) {
    case 0:
        return &p.m_Inputs[k];
    case 1:
        return &p.m_Outputs[k];
    case 2:
        return &p.m_Flags[k];
    default:
        return &p.m_Vars[k];
    }
}

void CNameView::OnInitialUpdate() {
    SetDefaultCell(*cel_, Kind().background);
    cel_->SetColumnCount(2, false);
    cel_->WriteCellText(0, -1, Kind().headings[0]);
    cel_->WriteCellText(1, -1, Kind().headings[1]);
    FillGrid();
    ApplyColumnWidths(WidthGroup());
    OnDraw();
}

void CNameView::FillGrid() {
    const int column = cel_->GetActiveColumn(), row = cel_->GetActiveRow();
    const int count = EntryCount();
    cel_->SetRowCount(count, false);
    for (int k = 0; k < count; ++k) {
        char heading[16];
        std::snprintf(heading, sizeof heading, "%2.2d", k + 1);
        cel_->WriteCellText(-1, k, heading);
        const CProductResource* entry = Entry(k);
        cel_->WriteCellText(0, k, entry->m_strName);
        cel_->WriteCellText(1, k, entry->m_strComment);
    }
    if (column >= 0 && row >= 0 && row < count)
        cel_->MoveActiveCell(column, row);
    cel_->RepaintAll();
}

void CNameView::OnUpdate(platform::View* sender, long hint, void* object) {
    if (hint == 0 && !cel_->IsEditing())
        FillGrid();
    CResourceView::OnUpdate(sender, hint, object);
}
