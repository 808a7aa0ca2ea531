// Lumaquill's sender against the controller emulator at 9600 baud: the time from a value change
// to its last frame on the controller, with the dialog's 500 ms timer taking the snapshot, and
// the length of one cycle of eight channels.
#include "lumaquill/dmx_sender.h"
#include "platform/serial_device.h"
#include "tests/support/controller_emulator.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <random>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

struct Bench {
    testing_support::ControllerEmulator emulator{[] {
        testing_support::EmulatorOptions options;
        options.baud = 9600;
        return options;
    }()};
    platform::SerialPortLookup previous;

    Bench() {
        if (!emulator.Start()) {
            return;
        }
        const std::string path = emulator.SlavePath();
        previous =
            platform::SetSerialPortLookup([path](int n) { return n == 1 ? path : std::string(); });
    }
    ~Bench() { platform::SetSerialPortLookup(previous); }

    // Waits until the controller holds the snapshot's channels; answers when the last of
    // them arrived.
    Clock::time_point WaitFor(const dmx::DmxSnapshot& s) {
        const auto limit = Clock::now() + 5s;
        for (;;) {
            const auto values = emulator.ChannelValues();
            bool all = true;
            for (int k = 0; k < dmx::kChannels; ++k) {
                all = all && values[static_cast<std::size_t>(s.baseChannel + k - 1)] == s.values[k];
            }
            if (all || Clock::now() > limit) {
                return emulator.LastChannelCommandAt();
            }
            std::this_thread::sleep_for(200us);
        }
    }
};

dmx::DmxSnapshot Values(int seed) {
    dmx::DmxSnapshot s;
    for (int k = 0; k < dmx::kChannels; ++k) {
        s.values[k] = (seed * 31 + k * 7) % 256;
    }
    s.baseChannel = 1;
    return s;
}

// The user moves a slider at a random moment of the timer's period; the timer takes the
// snapshot at its next tick and the sender sends it.
void BM_ValueChangeToLastFrame(benchmark::State& state) {
    Bench bench;
    dmx::DmxSender sender;
    std::mutex mutex;
    std::condition_variable wake;
    bool quit = false;
    dmx::DmxSnapshot shown;
    std::thread timer([&] {
        std::unique_lock lock(mutex);
        while (!wake.wait_for(lock, 500ms, [&] { return quit; })) {
            if (sender.TakeChanged()) {
                sender.Publish(shown);
            }
        }
    });
    std::mt19937 random(7);
    double worst = 0;
    int seed = 0;
    for (auto _ : state) {
        std::this_thread::sleep_for(std::chrono::milliseconds(random() % 500));
        const dmx::DmxSnapshot next = Values(++seed);
        Clock::time_point changed;
        {
            std::lock_guard lock(mutex);
            shown = next;
            changed = Clock::now();
            sender.MarkChanged();
        }
        const double seconds = std::chrono::duration<double>(bench.WaitFor(next) - changed).count();
        worst = std::max(worst, seconds);
        state.SetIterationTime(seconds);
    }
    {
        std::lock_guard lock(mutex);
        quit = true;
    }
    wake.notify_all();
    timer.join();
    state.counters["worst_ms"] = worst * 1000;
}
BENCHMARK(BM_ValueChangeToLastFrame)
    ->UseManualTime()
    ->Iterations(20)
    ->Unit(benchmark::kMillisecond);

// One cycle: open, eight channel commands, close; timed to the last frame on the controller.
void BM_EightChannelCycle(benchmark::State& state) {
    Bench bench;
    dmx::DmxSender sender;
    int seed = 0;
    double worst = 0;
    for (auto _ : state) {
        const dmx::DmxSnapshot next = Values(++seed);
        const auto start = Clock::now();
        sender.Publish(next);
        const double seconds = std::chrono::duration<double>(bench.WaitFor(next) - start).count();
        worst = std::max(worst, seconds);
        state.SetIterationTime(seconds);
        while (sender.Busy()) {
            std::this_thread::sleep_for(1ms);
        }
        std::this_thread::sleep_for(20ms); // the controller has read the last byte
    }
    state.counters["worst_ms"] = worst * 1000;
}
BENCHMARK(BM_EightChannelCycle)->UseManualTime()->Iterations(30)->Unit(benchmark::kMillisecond);

} // namespace
