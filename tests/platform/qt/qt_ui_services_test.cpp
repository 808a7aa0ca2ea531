// A dialog request that reaches no handler is the program's fault and says so; a handler
// registered by the request's type gets the request as that type.
#include "platform/qt/mdi_template.h"
#include "platform/qt/qt_ui_services.h"
#include "platform/qt/title_width.h"
#include "tests/support/qt_test_app.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <vector>

namespace {

// Once the next message box is up, `answer` looks at it and presses one of its buttons.
void AnswerTheNextBox(std::function<void(QMessageBox&)> answer) {
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, answer = std::move(answer)] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        answer(*box);
    });
    timer->start();
}

struct AskName : platform::DialogRequest {
    static constexpr const char* kDialogName = "CAskNameDlg";
    const char* DialogName() const override { return kDialogName; }
    std::string name;
};

// Records its boxes instead of showing them.
class RecordingUi : public platform::qt::QtUiServices {
public:
    platform::MsgResult MessageBox(const platform::MessageBoxRequest& request) override {
        boxes.push_back(request);
        return platform::DefaultAnswer(request);
    }
    std::vector<platform::MessageBoxRequest> boxes;
};

TEST(DialogHandlers, ARequestWithoutAHandlerNamesTheMissingDialog) {
    testsupport::QtApp();
    RecordingUi ui;
    AskName request;
    EXPECT_FALSE(ui.RunDialog(request));
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_NE(ui.boxes[0].text.find("CAskNameDlg"), std::string::npos) << ui.boxes[0].text;
    EXPECT_EQ(ui.boxes[0].icon, platform::MsgIcon::Stop);
    EXPECT_FALSE(ui.HasDialogHandler(AskName::kDialogName));

    platform::qt::ViewRegistry registry;
    registry.RegisterDialog<AskName>([](AskName& asked) {
        asked.name = "Fountain";
        return true;
    });
    registry.InstallDialogs(ui);
    EXPECT_TRUE(ui.HasDialogHandler(AskName::kDialogName));
    EXPECT_TRUE(ui.RunDialog(request));
    EXPECT_EQ(request.name, "Fountain");
    EXPECT_EQ(ui.boxes.size(), 1u);
}

// Counts what reaches it.
class CountingWidget : public QWidget {
public:
    int paints = 0;
    int inputs = 0;

protected:
    void paintEvent(QPaintEvent*) override { ++paints; }
    void keyPressEvent(QKeyEvent*) override { ++inputs; }
    void mousePressEvent(QMouseEvent*) override { ++inputs; }
};

// The paint pump repaints and runs timers; the input that came meanwhile is dropped, never
// delivered later; from another thread it does nothing.
TEST(PaintPumpUi, PaintsAndTimersGoThroughInputIsDropped) {
    testsupport::QtApp();
    platform::qt::QtUiServices ui;
    CountingWidget widget;
    widget.resize(100, 60);
    widget.show();
    QCoreApplication::processEvents();
    widget.paints = 0;

    bool fired = false;
    QTimer::singleShot(0, [&fired] { fired = true; });
    widget.update();
    QCoreApplication::postEvent(&widget,
                                new QKeyEvent(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier));
    QCoreApplication::postEvent(&widget, new QMouseEvent(QEvent::MouseButtonPress, QPointF(5, 5),
                                                         QPointF(5, 5), Qt::LeftButton,
                                                         Qt::LeftButton, Qt::NoModifier));

    // Another thread's call changes nothing here.
    std::thread other([&ui] { ui.PumpPaint(); });
    other.join();
    EXPECT_EQ(widget.paints, 0);
    EXPECT_FALSE(fired);

    ui.PumpPaint();
    EXPECT_GT(widget.paints, 0);
    EXPECT_TRUE(fired);
    EXPECT_EQ(widget.inputs, 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(widget.inputs, 0) << "dropped, not delayed";

    // The full pump still delivers input.
    QCoreApplication::postEvent(&widget,
                                new QKeyEvent(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier));
    ui.PumpMessages();
    EXPECT_EQ(widget.inputs, 1);
}

// A wait that pumps shows the busy cursor until the event loop runs again; a box asked in the
// middle of it gets the ordinary pointer, and the wait cursors held around it come back after.
TEST(PaintPumpUi, APumpingWaitShowsTheBusyCursorButNotOverABox) {
    testsupport::QtApp();
    platform::qt::QtUiServices ui;
    const auto shape = [] {
        const QCursor* cursor = QApplication::overrideCursor();
        return cursor ? int(cursor->shape()) : -1;
    };
    ASSERT_EQ(shape(), -1);
    ui.PumpPaint();
    EXPECT_EQ(shape(), int(Qt::WaitCursor));
    ui.PumpPaint(); // the same wait: one cursor
    ui.BeginWaitCursor();

    int inBox = 0;
    AnswerTheNextBox([&](QMessageBox& box) {
        inBox = shape();
        box.button(QMessageBox::Ok)->click();
    });
    platform::MessageBoxRequest request;
    request.text = "Timed out receiving response";
    EXPECT_EQ(ui.MessageBox(request), platform::MsgResult::Ok);
    EXPECT_EQ(inBox, -1);
    EXPECT_EQ(shape(), int(Qt::WaitCursor)) << "the held wait cursor is back";
    ui.EndWaitCursor();
    EXPECT_EQ(shape(), -1);

    ui.PumpPaint();
    EXPECT_EQ(shape(), int(Qt::WaitCursor));
    QTest::qWait(300);
    EXPECT_EQ(shape(), -1) << "the wait is over once the event loop runs";
}

} // namespace

// A box with a short text under a long caption is as wide as its caption; the answer is the
// button pressed.
TEST(MessageBoxes, AShortTextKeepsTheWholeCaption) {
    testsupport::QtApp();
    platform::qt::QtUiServices ui;
    platform::MessageBoxRequest request;
    request.text = "Sure?";
    request.caption = "Delete Data Strings from the Script Being Edited";
    request.buttons = platform::MsgButtons::YesNo;
    int width = -1, needed = 0;
    AnswerTheNextBox([&](QMessageBox& box) {
        width = box.width();
        needed = platform::qt::TitleWidth(box);
        box.button(QMessageBox::No)->click();
    });
    EXPECT_EQ(ui.MessageBox(request), platform::MsgResult::No);
    EXPECT_GT(needed, 0);
    EXPECT_GE(width, needed);
}
