// The waits of a transfer on the user-interface thread pump paint about every 50 ms, and never
// leave 100 ms without a paint: reply waits and their time-outs against a silent unit, the
// preamble's pauses, the pacing between packets, draining and the archive's pause. The status
// popup's wait does not pump.
#include "link/controller_protocol.h"
#include "link/delay_ticks.h"
#include "link/serial_link.h"

#include "tests/link/link_fixtures.h"
#include "tests/support/scripted_ui.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

TEST(PaintPump, EveryTransferWaitPumpsAndThePopupWaitDoesNot) {
    testing_support::EmulatorOptions options;
    options.silent = true;
    link_tests::EmulatedPort port(options);
    ASSERT_TRUE(port.started);
    CSerialLink link;
    ASSERT_EQ(link.Open(ComPortIndex(0), Framing::EightBit, kControllerBaud), "");
    const std::vector<std::uint8_t> bytes(64, 0x55);

    const struct {
        const char* name;
        std::function<void()> wait;
        bool pumps;
    } cases[] = {
        {"a reply that never comes", [&] { EXPECT_EQ(link.ReadByte(400), -2); }, true},
        {"the pacing between packets",
         [&] { EXPECT_TRUE(showlink::SendBulkStream(link, bytes.data(), 64, 8, 1)); }, true},
        {"a transfer's pause", [] { DelayTicksPumped(8); }, true},
        {"a request the unit never answers, tried twice",
         [&] {
             std::string line;
             EXPECT_EQ(showlink::SendAndReadLine(link, 300, showlink::kRequestTries,
                                                 {showlink::kCmdFirmwareVersion}, line,
                                                 [](const std::string&) {}),
                       -2);
         },
         true},
        {"a byte the unit never sends",
         [&] {
             EXPECT_EQ(showlink::SendAndReadByte(link, 300, 1, {showlink::kCmdMemorySize},
                                                 [](const std::string&) {}),
                       -2);
         },
         true},
        {"draining a quiet line and waiting for the output",
         [&] {
             link.Drain();
             EXPECT_TRUE(link.WriteRaw(std::vector<std::uint8_t>(256, 0x55)));
             EXPECT_TRUE(link.WaitUntilSent());
             link.Drain();
         },
         true},
        {"the status popup's wait", [] { DelayTicks(8); }, false},
    };
    for (const auto& c : cases) {
        testing_support::ScriptedUi ui;
        const auto start = Clock::now();
        c.wait();
        const auto took =
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
        if (!c.pumps) {
            EXPECT_EQ(ui.paintPumps, 0) << c.name;
            continue;
        }
        // One pump for each 50 ms the wait lasted, at the least.
        EXPECT_GE(took.count(), 300) << c.name;
        EXPECT_GE(ui.paintPumps, took / platform::kPaintPumpPeriod)
            << c.name << " " << took.count();
        EXPECT_LE(ui.LongestPaintGap(start, Clock::now()).count(), 100) << c.name;
    }
}

} // namespace
