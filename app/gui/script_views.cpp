#include "app/gui/script_views.h"

#include "platform/qt/qt_ui_services.h"
#include "script/vl_doc.h"

#include <QListWidget>

SequenceListView::SequenceListView(QWidget* parent)
    : CVLView(parent), list_(new QListWidget(this)) { // the list is owned by the view
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    setFocusProxy(list_);
}

void SequenceListView::OnUpdate(platform::View* /*sender*/, long /*hint*/, void* /*object*/) {
    list_->clear();
    const CVLDoc* doc = GetVLDoc();
    if (!doc)
        return;
    for (const auto& sequence : doc->m_poSeqList)
        list_->addItem(platform::qt::ToQString(sequence->m_strName));
}

void SequenceListView::resizeEvent(QResizeEvent* event) {
    CVLView::resizeEvent(event);
    list_->setGeometry(rect());
}

QSize SequenceListView::sizeHint() const {
    return list_->sizeHint();
}
