#include "app/gui/script_views.h"

#include "platform/qt/qt_ui_services.h"
#include "script/vl_doc.h"

#include <QBrush>
#include <QColor>
#include <QCoreApplication>

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

CompileListView::CompileListView(QWidget* parent) : QListWidget(parent) {
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setUniformItemSizes(true);
}

void CompileListView::ClearMessages() {
    clear();
    QCoreApplication::processEvents();
}

void CompileListView::AddMessage(const std::string& text, int /*kind*/, int /*resource*/,
                                 int /*event*/, int /*param*/, std::int32_t colour) {
    auto* item = new QListWidgetItem(platform::qt::ToQString(text), this); // owned by the list
    if (colour >= 0) {
        // Colours are stored red in the low byte, blue in the high one.
        item->setForeground(
            QBrush(QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF)));
    }
    setCurrentItem(item);
    scrollToItem(item);
}
