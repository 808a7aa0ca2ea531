#include "views/reports/cmp_error_dlg.h"

#include "platform/qt/qt_ui_services.h"
#include "script/view_kind.h"
#include "script/vl_doc.h"
#include "views/reports/popup_dialog.h"

#include <QEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QMoveEvent>
#include <QPushButton>
#include <QScreen>
#include <algorithm>
#include <cstring>
#include <vector>

using platform::qt::ToQString;

namespace {

// Dialog units to pixels by the dialog font's average character.
struct DialogUnits {
    int baseX, baseY;
    explicit DialogUnits(const QFont& font) {
        QFontMetrics metrics(font);
        baseX = std::max(1, metrics.horizontalAdvance(QStringLiteral(
                                "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) /
                                52);
        baseY = std::max(1, metrics.height());
    }
    QRect Rect(int x, int y, int w, int h) const {
        return QRect(x * baseX / 4, y * baseY / 8, w * baseX / 4, h * baseY / 8);
    }
};

} // namespace

CCmpErrorDlg::CCmpErrorDlg(CVLDoc& doc, QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowStaysOnTopHint),
      doc_(doc) {
    setWindowTitle(QStringLiteral("Compiler Error Message"));
    setModal(false);
    const DialogUnits du(font());
    close_ = new QPushButton(QStringLiteral("Close"), this);
    close_->setObjectName(QStringLiteral("ctl_2"));
    close_->setGeometry(du.Rect(116, 4, 60, 14));
    back_ = new QPushButton(QStringLiteral("Back to Error List"), this);
    back_->setObjectName(QStringLiteral("ctl_351"));
    back_->setGeometry(du.Rect(116, 20, 60, 14));
    auto label = [&](const char* name, QRect rect) {
        auto* l = new QLabel(this);
        l->setObjectName(QString::fromLatin1(name));
        l->setGeometry(rect);
        l->setTextFormat(Qt::PlainText);
        return l;
    };
    location_ = label("ctl_352", du.Rect(4, 10, 104, 8));
    eventLine_ = label("ctl_353", du.Rect(4, 18, 104, 8));
    message1_ = label("ctl_342", du.Rect(4, 40, 172, 8));
    message2_ = label("ctl_1093", du.Rect(4, 48, 172, 8));
    FitToText();
    connect(close_, &QPushButton::clicked, this, [this] { OnCancel(); });
    connect(back_, &QPushButton::clicked, this, [this] { OnBackToErrorList(); });
    close_->setDefault(true);
}

void CCmpErrorDlg::CreateModeless() {
    const auto stored = doc_.m_anWindowPos[CVLDoc::kWinCompileError];
    placed_ = true;
    // Shown first: the window's frame, which the centring counts, exists from then on.
    show();
    // Records hold x, y, width, height; y -1: never placed.
    if (stored[1] == -1) {
        QScreen* screen = QGuiApplication::primaryScreen();
        const QRect desktop = screen ? screen->geometry() : QRect(0, 0, 1024, 768);
        move(reports::CPopupDlg::CentredOn(desktop, frameGeometry().size()));
    } else {
        move(stored[0], stored[1]);
    }
    close_->setFocus();
}

void CCmpErrorDlg::FitToText() {
    // The layout in dialog units is the least; a line wider than its label widens the label and
    // the dialog, since a clipped word can turn a message into its opposite.
    const DialogUnits du(font());
    const QFontMetrics metrics(font());
    auto needed = [&](const QLabel* label, int units) {
        return std::max(du.Rect(0, 0, units, 0).width(),
                        metrics.horizontalAdvance(label->text()) + 2 * metrics.averageCharWidth());
    };
    const int lineHeight = std::max(du.Rect(0, 0, 0, 8).height(), metrics.height());
    const int left = du.Rect(4, 0, 0, 0).x();
    const int top = std::max(needed(location_, 104), needed(eventLine_, 104));
    const int message = std::max(needed(message1_, 172), needed(message2_, 172));
    location_->setGeometry(left, du.Rect(0, 10, 0, 0).y(), top, lineHeight);
    eventLine_->setGeometry(left, du.Rect(0, 18, 0, 0).y(), top, lineHeight);
    message1_->setGeometry(left, du.Rect(0, 40, 0, 0).y(), message, lineHeight);
    message2_->setGeometry(left, du.Rect(0, 40, 0, 0).y() + lineHeight, message, lineHeight);
    const int buttonX = left + top + du.Rect(8, 0, 0, 0).x();
    const QRect close = du.Rect(0, 4, 60, 14);
    const QRect back = du.Rect(0, 20, 60, 14);
    close_->setGeometry(buttonX, close.y(), close.width(), close.height());
    back_->setGeometry(buttonX, back.y(), back.width(), back.height());
    const int margin = du.Rect(6, 0, 0, 0).x();
    const int width = std::max(
        {du.Rect(0, 0, 182, 0).width(), buttonX + close.width() + margin, left + message + margin});
    const int height =
        std::max(du.Rect(0, 0, 0, 62).height(), message2_->geometry().bottom() + 1 + margin);
    setFixedSize(width, height);
}

void CCmpErrorDlg::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        FitToText();
}

void CCmpErrorDlg::SetLocationLine(const std::string& text) {
    location_->setText(ToQString(text));
    FitToText();
}

void CCmpErrorDlg::SetEventLine(const std::string& text) {
    eventLine_->setText(ToQString(text));
    FitToText();
}

std::pair<std::string, std::string> CCmpErrorDlg::SplitMessage(const std::string& text) {
    if (text.size() <= 60)
        return {text, std::string()};
    const std::size_t blank = text.find_last_of(' ', 59);
    if (blank == std::string::npos)
        return {text, std::string()};
    return {text.substr(0, blank), text.substr(blank + 1)};
}

void CCmpErrorDlg::SetMessageText(const std::string& text) {
    const auto [first, rest] = SplitMessage(text);
    message1_->setText(ToQString(first));
    message2_->setText(ToQString(rest));
    FitToText();
}

void CCmpErrorDlg::OnCancel() {
    doc_.CloseCompileErrorDialog();
}

void CCmpErrorDlg::OnBackToErrorList() {
    CVLDoc& doc = doc_;
    std::vector<platform::View*> compileViews;
    for (platform::View* view : doc.Views())
        if (HasRole(*view, &ViewKind::compileOutput))
            compileViews.push_back(view);
    for (platform::View* view : compileViews)
        view->ActivateFrame();
    if (compileViews.empty()) {
        if (platform::ViewTemplate* compileTemplate = doc.Services().CompileTemplate())
            compileTemplate->CreateViewFrame(doc);
    }
    doc.CloseCompileErrorDialog();
}

void CCmpErrorDlg::moveEvent(QMoveEvent* event) {
    QDialog::moveEvent(event);
    if (placed_)
        StorePosition();
}

void CCmpErrorDlg::StorePosition() {
    const QRect frame = frameGeometry();
    doc_.m_anWindowPos[CVLDoc::kWinCompileError] = {frame.x(), frame.y(), frame.width(),
                                                    frame.height()};
}

CmpErrorDlgHandle::~CmpErrorDlgHandle() {
    if (dialog_) {
        dialog_->hide();
        dialog_->deleteLater();
    }
}

CCmpErrorDlg* ErrorDialogOf(const CVLDoc& doc) {
    const auto* handle = dynamic_cast<const CmpErrorDlgHandle*>(doc.m_pCompileErrorDlg.get());
    return handle ? handle->Dialog() : nullptr;
}
