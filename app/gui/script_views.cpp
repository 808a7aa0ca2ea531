#include "app/gui/script_views.h"

#include "platform/qt/qt_ui_services.h"
#include "script/vl_doc.h"

SequenceListView::SequenceListView(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
}

void SequenceListView::OnUpdate(platform::View* /*sender*/, long /*hint*/, void* /*object*/) {
    clear();
    const auto* doc = dynamic_cast<const CVLDoc*>(GetDocument());
    if (!doc)
        return;
    for (const auto& sequence : doc->m_poSeqList)
        addItem(platform::qt::ToQString(sequence->m_strName));
}
