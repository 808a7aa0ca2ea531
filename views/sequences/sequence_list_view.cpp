#include "views/sequences/sequence_list_view.h"

#include "views/sequences/event_view.h"

#include "platform/qt/mdi_template.h"
#include "platform/qt/qt_ui_services.h"
#include "script/sequence.h"
#include "script/text_utils.h"
#include "script/vl_doc.h"

#include <QListWidget>
#include <array>
#include <cstdio>

SequenceListView::SequenceListView(CVLDoc& doc, ViewServices& services, QWidget* parent)
    : CVLView(doc, services, parent),
      list_(new QListWidget(this)) { // the list is owned by the view
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    setFocusProxy(list_);
}

void SequenceListView::OnInitialUpdate() {
    OnUpdate(nullptr, 0, nullptr);
}

std::string SequenceListView::FrameCaption() const {
    const CVLDoc* doc = GetVLDoc();
    return doc ? doc->ViewTitle(*this) : std::string();
}

void SequenceListView::OnUpdate(platform::View* /*sender*/, long /*hint*/, void* /*object*/) {
    list_->clear();
    const CVLDoc* doc = GetVLDoc();
    if (!doc)
        return;
    QStringList names;
    names.reserve(qsizetype(doc->m_poSeqList.size()));
    for (const auto& sequence : doc->m_poSeqList)
        names << platform::qt::ToQString(sequence->m_strName);
    list_->addItems(names);
}

std::string SequencePropertyText(const CSeq& s, unsigned id) {
    auto timecode = [](const char* label, const std::array<std::int32_t, 4>& t) {
        char text[64];
        std::snprintf(text, sizeof text, "%s: %2.2d:%2.2d:%2.2d.%2.2d", label, t[0], t[1], t[2],
                      t[3]);
        return std::string(text);
    };
    switch (id) {
    case vl_ids::kAutostart:
        return s.m_nAutoStart ? "Autostart Enabled" : "Autostart Disabled";
    case vl_ids::kLoop:
        return s.m_nLooping ? "Loop Enabled" : "Loop Disabled";
    case vl_ids::kRestart:
        return s.m_nRestart ? "Restart in " + std::to_string(s.m_wRestartLockout) + " frames..."
                            : "Restart Disabled...";
    case vl_ids::kTimecodeStart:
        if (s.m_nSmpteStartOn)
            return timecode("Timecode Trigger", s.m_anSmpteStart);
        if (s.m_nChaseOn)
            return timecode("Timecode Chase", s.m_anChaseStart);
        return "Timecode Disabled...";
    default:
        if (id >= vl_ids::kStartTrigger && id <= vl_ids::kResetTrigger)
            return DoubleAmpersands(s.GetTriggerText(int(id - vl_ids::kStartTrigger)));
        return {};
    }
}

bool SequenceListView::OnUpdateCommand(unsigned id, platform::qt::CommandUi& ui) {
    const CVLDoc* doc = GetVLDoc();
    if (!doc || id < vl_ids::kAutostart || id > vl_ids::kResetTrigger || doc->m_poSeqList.empty())
        return CVLView::OnUpdateCommand(id, ui);
    const int row = list_->currentRow();
    const CSeq& sequence =
        *doc->m_poSeqList[row >= 0 && std::size_t(row) < doc->m_poSeqList.size() ? row : 0];
    ui.SetText(platform::qt::ToQString(SequencePropertyText(sequence, id)));
    // The text only: whether the item acts is left to the handlers further on.
    return false;
}

void SequenceListView::resizeEvent(QResizeEvent* event) {
    CVLView::resizeEvent(event);
    list_->setGeometry(rect());
}

void RegisterScriptViews(platform::qt::ViewRegistry& registry, ViewServices& services) {
    RegisterTypedView<SequenceListView, CVLDoc>(registry, "CSeqListView", services);
    RegisterEventViews(registry, services);
}
