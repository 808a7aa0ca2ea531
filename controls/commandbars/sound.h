// Menu sounds played off the user-interface thread, so that executing a command or opening a
// menu never waits for the audio device.
#pragma once

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

class CGVPMenuSoundPlayer {
public:
    enum State { Idle = 0, MenuCommand = 1, MenuPopup = 2, Stop = 3 };

    CGVPMenuSoundPlayer();
    ~CGVPMenuSoundPlayer();
    CGVPMenuSoundPlayer(const CGVPMenuSoundPlayer&) = delete;
    CGVPMenuSoundPlayer& operator=(const CGVPMenuSoundPlayer&) = delete;

    // 1 "MenuCommand", 2 "MenuPopup". A request not yet played may be replaced by a newer one.
    void Play(int code);
    void StartThread();
    // Joins the thread; the next Play starts a new one.
    void StopThread();
    void SetEnabled(bool enabled) { m_enabled = enabled; }
    bool IsEnabled() const { return m_enabled; }
    bool IsRunning() const;

    // Plays one sound by its alias, synchronously on the sound thread. No sound device is
    // assumed: the default is silent.
    using SoundFunction = std::function<void(const char* alias)>;
    static void SetSoundFunction(SoundFunction function);

private:
    void Run();

    std::atomic<int> m_state{Idle};
    std::atomic<bool> m_enabled{true};
    std::thread m_thread;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
};

// The process-wide player (exists between toolkit start-up and exit; may be null).
CGVPMenuSoundPlayer* GetMenuSoundPlayer();
