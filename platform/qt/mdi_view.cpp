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

void MdiView::SetFrameTitle(const std::string& title) {
    if (frame_)
        frame_->setWindowTitle(ToQString(title));
}

void MdiView::CloseFrame() {
    if (frame_) {
        // Closing on the document's behalf: nothing left to ask.
        frame_->canClose = nullptr;
        frame_->close();
    }
}

void MdiView::ActivateFrame() {
    if (!frame_)
        return;
    if (QMdiArea* area = frame_->mdiArea())
        area->setActiveSubWindow(frame_);
    frame_->show();
}

} // namespace platform::qt
