#include "views/sequences/sequence_list_view.h"

#include "platform/qt/mdi_template.h"
#include "platform/qt/qt_ui_services.h"
#include "script/vl_doc.h"

#include <QListWidget>

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

void SequenceListView::resizeEvent(QResizeEvent* event) {
    CVLView::resizeEvent(event);
    list_->setGeometry(rect());
}

void RegisterScriptViews(platform::qt::ViewRegistry& registry, ViewServices& services) {
    RegisterTypedView<SequenceListView, CVLDoc>(registry, "CSeqListView", services);
}
