#include "views/reports/popup_dialog.h"

#include "link/delay_ticks.h"
#include "platform/qt/qt_ui_services.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

namespace reports {

namespace {

// Dialog units to pixels through the font's average character width and height.
QSize Units(const QFontMetrics& metrics, int x, int y) {
    const int baseX = metrics.averageCharWidth();
    const int baseY = metrics.height();
    return QSize(x * baseX / 4, y * baseY / 8);
}

} // namespace

CPopupDlg::CPopupDlg()
    : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    const QFontMetrics metrics(font());
    setFixedSize(Units(metrics, 206, 62));
    message_ = new QLabel(this);
    message_->setObjectName(QStringLiteral("ctl_342"));
    detail_ = new QLabel(this);
    detail_->setObjectName(QStringLiteral("ctl_1093"));
    const QSize origin = Units(metrics, 8, 26);
    const QSize line = Units(metrics, 192, 8);
    const int lineHeight = std::max(line.height(), metrics.height());
    message_->setGeometry(origin.width(), origin.height(), line.width(), lineHeight);
    const QSize second = Units(metrics, 8, 34);
    detail_->setGeometry(second.width(), second.height(), line.width(), lineHeight);
    // The template's Close button is there, but the pop-up shows none.
    close_ = new QPushButton(QStringLiteral("Close"), this);
    close_->setObjectName(QStringLiteral("ctl_2"));
    close_->setGeometry(0, 0, 0, 0);
    close_->hide();
}

QPoint CPopupDlg::CentredOn(const QRect& desktop, const QSize& own) {
    return QPoint(desktop.left() + desktop.width() / 2 - own.width() / 2,
                  desktop.top() + desktop.height() / 2 - own.height() / 2);
}

void CPopupDlg::CreateModeless() {
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(CentredOn(screen->geometry(), frameGeometry().size()));
    show();
    // Painted before the wait, which handles no messages.
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    repaint();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void CPopupDlg::SetMessage(const std::string& text) {
    message_->setText(platform::qt::ToQString(text));
}

void CPopupDlg::SetDetail(const std::string& text) {
    detail_->setText(platform::qt::ToQString(text));
}

void ShowPopup(const ::CPopupDlg& request) {
    CPopupDlg popup;
    popup.setWindowTitle(platform::qt::ToQString(request.title));
    popup.SetMessage(request.message);
    if (!request.detail.empty())
        popup.SetDetail(request.detail);
    popup.CreateModeless();
    DelayTicks(request.delayTicks);
}

} // namespace reports
