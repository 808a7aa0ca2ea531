#include "platform/qt/mdi_view.h"

#include "platform/qt/qt_ui_services.h"

#include <QCloseEvent>
#include <QMdiArea>

namespace platform::qt {

MdiChildFrame::MdiChildFrame(QWidget* parent) : QMdiSubWindow(parent) {
    setAttribute(Qt::WA_DeleteOnClose);
}

void MdiChildFrame::closeEvent(QCloseEvent* event) {
    if (canClose && !canClose()) {
        event->ignore();
        return;
    }
    event->accept();
    if (closed) {
        auto tell = std::move(closed);
        closed = nullptr;
        tell();
    }
    QMdiSubWindow::closeEvent(event);
}

void SetFrameTitleOf(MdiChildFrame* frame, const std::string& title) {
    if (frame)
        frame->setWindowTitle(ToQString(title));
}

void CloseFrameOf(MdiChildFrame* frame) {
    if (frame) {
        // Closing on the document's behalf: nothing left to ask.
        frame->canClose = nullptr;
        frame->close();
    }
}

void ActivateFrameOf(MdiChildFrame* frame) {
    if (!frame)
        return;
    if (QMdiArea* area = frame->mdiArea())
        area->setActiveSubWindow(frame);
    frame->show();
}

} // namespace platform::qt
