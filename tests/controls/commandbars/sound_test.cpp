#include "controls/commandbars/sound.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

namespace {

// Records what the player played; can hold the sound thread inside a sound.
struct Recorder {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::string> played;
    bool hold = false;
    bool inside = false;

    void Play(const char* alias) {
        std::unique_lock lock(mutex);
        played.push_back(alias ? alias : "<purge>");
        inside = true;
        changed.notify_all();
        changed.wait(lock, [this] { return !hold; });
        inside = false;
    }
    bool WaitFor(std::size_t count) {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, std::chrono::seconds(5),
                                [&] { return played.size() >= count; });
    }
    void Release() {
        std::lock_guard lock(mutex);
        hold = false;
        changed.notify_all();
    }
};

class SoundTest : public ::testing::Test {
protected:
    void SetUp() override {
        CGVPMenuSoundPlayer::SetSoundFunction([this](const char* alias) { recorder.Play(alias); });
    }
    void TearDown() override { CGVPMenuSoundPlayer::SetSoundFunction(nullptr); }
    Recorder recorder;
};

} // namespace

TEST_F(SoundTest, PlaysOffThreadAndStops) {
    CGVPMenuSoundPlayer player;
    EXPECT_FALSE(player.IsRunning());
    player.Play(CGVPMenuSoundPlayer::MenuPopup);
    ASSERT_TRUE(recorder.WaitFor(1));
    EXPECT_TRUE(player.IsRunning());
    player.StopThread();
    EXPECT_FALSE(player.IsRunning());
    ASSERT_EQ(recorder.played.size(), 2u);
    EXPECT_EQ(recorder.played[0], "MenuPopup");
    EXPECT_EQ(recorder.played[1], "<purge>");
    // The next request starts a new thread.
    player.Play(CGVPMenuSoundPlayer::MenuCommand);
    ASSERT_TRUE(recorder.WaitFor(3));
    EXPECT_EQ(recorder.played[2], "MenuCommand");
}

TEST_F(SoundTest, LaterRequestReplacesOneNotYetPlayedAndStopIsNeverLost) {
    CGVPMenuSoundPlayer player;
    recorder.hold = true;
    player.Play(CGVPMenuSoundPlayer::MenuCommand);
    {
        std::unique_lock lock(recorder.mutex);
        ASSERT_TRUE(recorder.changed.wait_for(lock, std::chrono::seconds(5),
                                              [&] { return recorder.inside; }));
    }
    // While the first sound plays, two requests: only the later one is played next.
    player.Play(CGVPMenuSoundPlayer::MenuCommand);
    player.Play(CGVPMenuSoundPlayer::MenuPopup);
    recorder.Release();
    ASSERT_TRUE(recorder.WaitFor(2));
    EXPECT_EQ(recorder.played[1], "MenuPopup");

    // A stop requested while a sound plays ends the thread when the sound returns.
    recorder.hold = true;
    player.Play(CGVPMenuSoundPlayer::MenuCommand);
    {
        std::unique_lock lock(recorder.mutex);
        ASSERT_TRUE(recorder.changed.wait_for(lock, std::chrono::seconds(5),
                                              [&] { return recorder.inside; }));
    }
    std::thread release([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        recorder.Release();
    });
    player.StopThread();
    release.join();
    EXPECT_FALSE(player.IsRunning());
    EXPECT_EQ(recorder.played.back(), "<purge>");
}

TEST_F(SoundTest, DisabledOrUnknownRequestsAreIgnored) {
    CGVPMenuSoundPlayer player;
    player.SetEnabled(false);
    player.Play(CGVPMenuSoundPlayer::MenuCommand);
    player.SetEnabled(true);
    player.Play(7);
    EXPECT_FALSE(player.IsRunning());
    EXPECT_TRUE(recorder.played.empty());
}
