// Closing the dialog while its sender is in the middle of a cycle: the dialog goes at once, the
// sender stops before its next frame and is joined, and the link is closed after it. Not in the
// ThreadSanitizer run: Qt's own thread pool is not instrumented and reports races of its own.
#include "tests/lumaquill/lumaquill_fixture.h"
#include "tests/lumaquill/slow_line.h"

#include <QElapsedTimer>

namespace {

using namespace lumaquill_tests;
using namespace std::chrono_literals;

TEST(LumaquillClose, ClosingDuringACycleStopsTheSenderBetweenFrames) {
    auto state = std::make_shared<testing_support::RecordingState>();
    std::atomic<int> written{0};
    // Six bytes of 4 ms: a cycle of eight channels takes about 200 ms.
    DialogFixture f(std::make_unique<dmx::DmxSender>(std::make_unique<dmx::CSerialLink>(
                        std::make_unique<SlowLine>(state, 4ms, written))),
                    state);
    f.Click(kEnableAll);
    f.Click(kGroupAll);
    f.Drag(0, 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return written.load() >= 2; }, 3000));
    QElapsedTimer clock;
    clock.start();
    QTest::keyClick(f.dialog.get(), Qt::Key_Escape);
    EXPECT_LT(clock.elapsed(), 100); // at most the frame under way is finished
    EXPECT_FALSE(f.dialog->isVisible());
    EXPECT_FALSE(f.sender->Busy() && f.sender->Cycles() == 0);
    const int sent = written.load();
    EXPECT_EQ(sent % 6, 0) << "a frame was cut";
    EXPECT_LT(sent, 48);
    EXPECT_EQ(state->records.back().kind, testing_support::SerialRecord::Kind::Close);
    // The timer is gone with the dialog: nothing more is sent.
    f.Drag(1, 0);
    QTest::qWait(700);
    EXPECT_EQ(written.load(), sent);
}

} // namespace
