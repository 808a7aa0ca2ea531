#include "platform/qt/frame_kit.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMdiSubWindow>
#include <QMimeData>
#include <QPointer>
#include <QUrl>
#include <vector>

namespace platform::qt {

void DeleteMdiChildren(QMdiArea& area) {
    std::vector<QPointer<QMdiSubWindow>> children;
    for (QMdiSubWindow* child : area.findChildren<QMdiSubWindow*>())
        children.emplace_back(child);
    for (const QPointer<QMdiSubWindow>& child : children)
        delete child.data();
}

void AcceptFileDrag(QDragEnterEvent& event) {
    if (event.mimeData()->hasUrls())
        event.acceptProposedAction();
}

void OpenDroppedFiles(QDropEvent& event, const std::function<void(const std::string&)>& open) {
    for (const QUrl& url : event.mimeData()->urls())
        if (url.isLocalFile())
            open(url.toLocalFile().toStdString());
    event.acceptProposedAction();
}

} // namespace platform::qt
