#include "views/sequences/show_clock.h"

#include <chrono>

ShowClock::ShowClock(std::function<void(double)> show)
    : show_(std::move(show)), now_([] {
          return std::chrono::duration_cast<std::chrono::milliseconds>(
                     std::chrono::system_clock::now().time_since_epoch())
              .count();
      }) {
    waitTimer_.setSingleShot(true);
    waitTimer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&waitTimer_, &QTimer::timeout, [this] { Poll(); });
    QObject::connect(&tickTimer_, &QTimer::timeout, [this] { Tick(); });
}

void ShowClock::Start(double frames, double rate) {
    tickTimer_.stop();
    start_ = running_ = frames;
    rate_ = rate;
    startSecond_ = now_() / 1000;
    state_ = State::Waiting;
    ArmWait();
}

void ShowClock::ArmWait() {
    if (!timersEnabled_)
        return;
    // Until just past the next whole second; Poll arms again should the timer come early.
    const std::int64_t ms = now_() % 1000;
    waitTimer_.start(static_cast<int>(1000 - ms) + 1);
}

void ShowClock::Stop() {
    waitTimer_.stop();
    tickTimer_.stop();
    state_ = State::Stopped;
}

void ShowClock::Poll() {
    if (state_ != State::Waiting)
        return;
    const std::int64_t second = now_() / 1000;
    if (second == startSecond_) {
        ArmWait();
        return;
    }
    origin_ = lastSecond_ = second;
    state_ = State::Running;
    if (timersEnabled_)
        tickTimer_.start(kTickMs);
}

void ShowClock::Tick() {
    if (state_ != State::Running)
        return;
    const std::int64_t second = now_() / 1000;
    if (second != lastSecond_) {
        lastSecond_ = second;
        running_ = start_ + static_cast<double>(second - origin_) * rate_;
    }
    running_ += kTickMs / 1000.0 * rate_;
    if (show_)
        show_(running_);
}
