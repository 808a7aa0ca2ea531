#include "controls/commandbars/sound.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

// No sound device is assumed; a program or a test installs a player of its own. Replaced on
// the user-interface thread while a sound thread may be reading it.
std::mutex g_functionMutex;
CGVPMenuSoundPlayer::SoundFunction& SoundFunctionSlot() {
    static CGVPMenuSoundPlayer::SoundFunction function = [](const char*) {};
    return function;
}

void PlaySound(const char* alias) {
    CGVPMenuSoundPlayer::SoundFunction function;
    {
        std::lock_guard lock(g_functionMutex);
        function = SoundFunctionSlot();
    }
    function(alias);
}

} // namespace

void CGVPMenuSoundPlayer::SetSoundFunction(SoundFunction function) {
    std::lock_guard lock(g_functionMutex);
    SoundFunctionSlot() = function ? std::move(function) : [](const char*) {};
}

CGVPMenuSoundPlayer::CGVPMenuSoundPlayer() = default;

CGVPMenuSoundPlayer::~CGVPMenuSoundPlayer() {
    StopThread();
}

bool CGVPMenuSoundPlayer::IsRunning() const {
    std::lock_guard lock(m_mutex);
    return m_thread.joinable();
}

void CGVPMenuSoundPlayer::Play(int code) {
    if (!m_enabled || (code != MenuCommand && code != MenuPopup))
        return;
    if (!IsRunning())
        StartThread();
    {
        std::lock_guard lock(m_mutex);
        m_state = code;
    }
    m_wake.notify_one();
}

void CGVPMenuSoundPlayer::StartThread() {
    std::lock_guard lock(m_mutex);
    if (m_thread.joinable())
        return;
    m_state = Idle;
    try {
        m_thread = std::thread([this] { Run(); });
    } catch (const std::system_error&) {
        // Without a thread there is no sound; nothing else depends on it.
    }
}

void CGVPMenuSoundPlayer::StopThread() {
    std::thread thread;
    {
        std::lock_guard lock(m_mutex);
        if (!m_thread.joinable())
            return;
        m_state = Stop;
        thread = std::move(m_thread);
    }
    m_wake.notify_one();
    thread.join();
    m_state = Idle;
}

void CGVPMenuSoundPlayer::Run() {
    // Below normal priority: sounds must not compete with the user interface.
    setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), 5);
    for (;;) {
        int code;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return m_state.load() != Idle; });
            code = m_state.load();
        }
        if (code == Stop)
            break;
        PlaySound(code == MenuCommand ? "MenuCommand" : "MenuPopup");
        // Only the request just played is cleared: a stop or a newer request stays.
        int expected = code;
        m_state.compare_exchange_strong(expected, Idle);
    }
    PlaySound(nullptr);
}
