// The running clock of the Real Time Wizard and the cue list: started from a time in frames,
// it waits for the next second of the wall clock, then advances by the frames of 55 ms on every
// tick and takes up the wall clock again at each new second, so timer jitter never gathers
// beyond a second. The wall clock and the timers can be replaced, so tests never wait.
#pragma once

#include <QTimer>
#include <cstdint>
#include <functional>

class ShowClock {
public:
    // Milliseconds of the wall clock.
    using WallClock = std::function<std::int64_t()>;
    enum class State { Stopped, Waiting, Running };
    static constexpr int kTickMs = 55;

    // `show` gets the running time in frames after every tick.
    explicit ShowClock(std::function<void(double frames)> show);

    void SetWallClock(WallClock now) { now_ = std::move(now); }
    // Without timers nothing happens by itself: the caller calls Poll and Tick.
    void SetTimersEnabled(bool on) { timersEnabled_ = on; }

    // Starts (or restarts) from `frames` at `rate` frames a second: the clock waits for the
    // wall clock's next second, which becomes its origin.
    void Start(double frames, double rate);
    void Stop();
    State GetState() const { return state_; }
    double Frames() const { return running_; }
    void SetFrames(double frames) { running_ = frames; }

    // The wait: the origin is taken once the seconds of the wall clock have changed.
    void Poll();
    // One tick of the running clock.
    void Tick();

private:
    void ArmWait();

    std::function<void(double)> show_;
    WallClock now_;
    bool timersEnabled_ = true;
    QTimer waitTimer_;
    QTimer tickTimer_;
    State state_ = State::Stopped;
    double start_ = 0;
    double running_ = 0;
    double rate_ = 30;
    std::int64_t startSecond_ = 0;
    std::int64_t origin_ = 0;
    std::int64_t lastSecond_ = 0;
};
