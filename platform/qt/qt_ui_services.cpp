#include "platform/qt/qt_ui_services.h"

#include "platform/cp1252.h"
#include "platform/qt/title_width.h"

#include <QApplication>
#include <QCoreApplication>
#include <QGridLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QSpacerItem>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <vector>

namespace platform::qt {

QString ToQString(const std::string& bytes) {
    return QString::fromStdString(Cp1252ToUtf8(bytes));
}

std::string FromQString(const QString& text) {
    return Utf8ToCp1252(text.toStdString());
}

namespace {

struct ButtonAnswer {
    QMessageBox::StandardButton button;
    MsgResult result;
};

std::vector<ButtonAnswer> ButtonsOf(MsgButtons buttons) {
    switch (buttons) {
    case MsgButtons::OkCancel:
        return {{QMessageBox::Ok, MsgResult::Ok}, {QMessageBox::Cancel, MsgResult::Cancel}};
    case MsgButtons::YesNo:
        return {{QMessageBox::Yes, MsgResult::Yes}, {QMessageBox::No, MsgResult::No}};
    case MsgButtons::YesNoCancel:
        return {{QMessageBox::Yes, MsgResult::Yes},
                {QMessageBox::No, MsgResult::No},
                {QMessageBox::Cancel, MsgResult::Cancel}};
    case MsgButtons::RetryCancel:
        return {{QMessageBox::Retry, MsgResult::Retry}, {QMessageBox::Cancel, MsgResult::Cancel}};
    case MsgButtons::AbortRetryIgnore:
        return {{QMessageBox::Abort, MsgResult::Abort},
                {QMessageBox::Retry, MsgResult::Retry},
                {QMessageBox::Ignore, MsgResult::Ignore}};
    case MsgButtons::Ok:
    default:
        return {{QMessageBox::Ok, MsgResult::Ok}};
    }
}

QMessageBox::Icon IconOf(MsgIcon icon) {
    switch (icon) {
    case MsgIcon::Exclamation:
        return QMessageBox::Warning;
    case MsgIcon::Information:
        return QMessageBox::Information;
    case MsgIcon::Question:
        return QMessageBox::Question;
    case MsgIcon::Stop:
        return QMessageBox::Critical;
    case MsgIcon::None:
    default:
        return QMessageBox::NoIcon;
    }
}

// Takes the override cursors away while the user is asked something, and puts them back after:
// a box shown in the middle of a wait gets the ordinary pointer.
class CursorLift {
public:
    CursorLift() {
        while (const QCursor* cursor = QApplication::overrideCursor()) {
            shapes_.push_back(cursor->shape());
            QApplication::restoreOverrideCursor();
        }
    }
    ~CursorLift() {
        for (auto it = shapes_.rbegin(); it != shapes_.rend(); ++it)
            QApplication::setOverrideCursor(QCursor(*it));
    }
    CursorLift(const CursorLift&) = delete;
    CursorLift& operator=(const CursorLift&) = delete;

private:
    std::vector<Qt::CursorShape> shapes_;
};

} // namespace

QtUiServices::QtUiServices(QWidget* parent) : parent_(parent) {}

QtUiServices::~QtUiServices() {
    EndBusy();
}

MsgResult QtUiServices::MessageBox(const MessageBoxRequest& request) {
    EndBusy();
    const CursorLift lift;
    QMessageBox box(IconOf(request.icon), ToQString(request.caption), ToQString(request.text),
                    QMessageBox::NoButton, parent_);
    const std::vector<ButtonAnswer> buttons = ButtonsOf(request.buttons);
    for (const ButtonAnswer& answer : buttons)
        box.addButton(answer.button);
    const std::size_t defaultIndex =
        request.defaultButton >= 0 &&
                static_cast<std::size_t>(request.defaultButton) < buttons.size()
            ? static_cast<std::size_t>(request.defaultButton)
            : 0;
    box.setDefaultButton(buttons[defaultIndex].button);
    // Escape answers Cancel where there is one, else the default.
    QMessageBox::StandardButton escape = buttons[defaultIndex].button;
    for (const ButtonAnswer& answer : buttons)
        if (answer.result == MsgResult::Cancel)
            escape = answer.button;
    box.setEscapeButton(escape);
    // The box sizes itself to its text; a short text under a long caption would cut the caption.
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
        const QMargins margins = grid->contentsMargins();
        grid->addItem(new QSpacerItem(std::max(0, TitleWidth(box) - margins.left() - margins.right()),
                                      0, QSizePolicy::Fixed, QSizePolicy::Minimum),
                      grid->rowCount(), 0, 1, grid->columnCount());
    }
    const int chosen = box.exec();
    for (const ButtonAnswer& answer : buttons)
        if (answer.button == chosen)
            return answer.result;
    return buttons[defaultIndex].result;
}

bool QtUiServices::RunDialog(DialogRequest& request) {
    const auto it = handlers_.find(request.DialogName());
    if (it != handlers_.end() && it->second) {
        EndBusy();
        const CursorLift lift;
        return it->second(request);
    }
    // Answering Cancel in silence would look like the user's choice.
    MessageBoxRequest box;
    box.text = std::string("The dialog ") + request.DialogName() +
               " is missing from this program: the command cannot go on.";
    box.caption = DefaultCaption();
    box.icon = MsgIcon::Stop;
    MessageBox(box);
    return false;
}

void QtUiServices::SetStatusText(const std::string& text) {
    if (statusSink_)
        statusSink_(ToQString(text));
}

void QtUiServices::BeginWaitCursor() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

void QtUiServices::EndWaitCursor() {
    QApplication::restoreOverrideCursor();
}

void QtUiServices::PumpMessages() {
    QCoreApplication::processEvents();
}

namespace {

bool IsUserInput(QEvent::Type type) {
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonRelease:
    case QEvent::NonClientAreaMouseButtonDblClick:
    case QEvent::NonClientAreaMouseMove:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::InputMethod:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TouchCancel:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::TabletMove:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        return true;
    default:
        return false;
    }
}

// Eats user input for the length of a paint pump: what the user does during a transfer starts
// nothing, then or afterwards.
class InputEater : public QObject {
protected:
    bool eventFilter(QObject*, QEvent* event) override { return IsUserInput(event->type()); }
};

} // namespace

void QtUiServices::PumpPaint() {
    QCoreApplication* app = QCoreApplication::instance();
    // Only the user-interface thread has windows to paint; a pump within a pump adds nothing.
    if (!app || QThread::currentThread() != app->thread() || pumpingPaint_)
        return;
    if (!busyShown_) {
        busyShown_ = true;
        QApplication::setOverrideCursor(Qt::WaitCursor);
        if (!busyEnd_) {
            busyEnd_ = std::make_unique<QTimer>();
            busyEnd_->setSingleShot(true);
            busyEnd_->setInterval(100);
            QObject::connect(busyEnd_.get(), &QTimer::timeout, [this] {
                // Inside a pump the wait goes on: look again later.
                if (pumpingPaint_)
                    busyEnd_->start();
                else
                    EndBusy();
            });
        }
        busyEnd_->start();
    }
    pumpingPaint_ = true;
    InputEater eater;
    app->installEventFilter(&eater);
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    app->removeEventFilter(&eater);
    pumpingPaint_ = false;
}

void QtUiServices::EndBusy() {
    if (!busyShown_)
        return;
    busyShown_ = false;
    if (busyEnd_)
        busyEnd_->stop();
    if (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
}

void QtUiServices::SetDialogHandler(const std::string& dialogName, DialogHandler handler) {
    handlers_[dialogName] = std::move(handler);
}

bool QtUiServices::HasDialogHandler(const std::string& dialogName) const {
    const auto it = handlers_.find(dialogName);
    return it != handlers_.end() && it->second;
}

} // namespace platform::qt
