// A silent unit never freezes the window: while a download waits for replies that never come,
// time-outs included, the window keeps painting, a paint at least every 100 ms, through the
// window's own paint pump, and shows the busy cursor until the download is over.
#include "link/script_transfer.h"
#include "platform/qt/qt_ui_services.h"
#include "platform/ui_services.h"
#include "tests/link/link_fixtures.h"
#include "tests/support/qt_test_app.h"

#include <QApplication>
#include <QPainter>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <gtest/gtest.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Asks for a paint every few milliseconds and notes when each one comes.
class Ticker : public QWidget {
public:
    Ticker() {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, this, [this] { update(); });
        timer_.start();
    }
    std::vector<Clock::time_point> paints;
    int busyPaints = 0;

protected:
    void paintEvent(QPaintEvent*) override {
        paints.push_back(Clock::now());
        const QCursor* cursor = QApplication::overrideCursor();
        busyPaints += cursor && cursor->shape() == Qt::WaitCursor;
        QPainter(this).fillRect(rect(), paints.size() % 2 ? Qt::white : Qt::gray);
    }

private:
    QTimer timer_;
};

struct SilentUnit : ::testing::Test, testsupport::QtAppFirst {};

TEST_F(SilentUnit, TheWindowPaintsThroughEveryTimeOut) {
    platform::qt::QtUiServices ui;
    platform::UiServices* previous = platform::SetUi(&ui);
    Ticker window;
    window.resize(200, 100);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    testing_support::EmulatorOptions silent;
    silent.silent = true;
    link_tests::EmulatedPort port(silent);
    ASSERT_TRUE(port.started);
    link_tests::MemoryApplication app;
    app.settings.serialTimeout = 1000;
    app.settings.serialDelay = 0;
    link_tests::FakeScript script;
    script.firmware = 9.0;

    window.paints.clear();
    window.busyPaints = 0;
    const auto start = Clock::now();
    EXPECT_FALSE(showlink::DownloadCompiledScript(script, app));
    const auto end = Clock::now();
    platform::SetUi(previous);

    const auto texts = script.Texts();
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "Error: Timed out receiving response"), 2);
    ASSERT_GE(end - start, std::chrono::milliseconds(1500));
    ASSERT_FALSE(window.paints.empty());
    auto previousPaint = start;
    auto longest = Clock::duration::zero();
    for (const auto& paint : window.paints) {
        longest = std::max(longest, paint - previousPaint);
        previousPaint = paint;
    }
    longest = std::max(longest, end - previousPaint);
    EXPECT_LE(std::chrono::duration_cast<std::chrono::milliseconds>(longest).count(), 100);
    EXPECT_EQ(window.busyPaints, int(window.paints.size())) << "busy through the whole wait";
    // Back in the event loop, the ordinary pointer returns.
    QTest::qWait(300);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

} // namespace
