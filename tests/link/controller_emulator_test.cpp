// The controller emulator itself, as the program for trying downloads by hand runs it.
#include "link/controller_protocol.h"
#include "link/serial_link.h"
#include "tests/link/link_fixtures.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

using namespace showlink;

std::vector<std::uint8_t> Image(std::size_t n) {
    std::vector<std::uint8_t> image(n);
    for (std::size_t i = 0; i < n; ++i)
        image[i] = static_cast<std::uint8_t>(i * 7);
    return image;
}

// A reply nobody reads fills the terminal's buffer; a stop (the program's SIGINT or SIGTERM)
// must still end the emulator instead of waiting in the write for good.
TEST(EmulatorStop, StopsWhileBlockedWritingAReply) {
    testing_support::EmulatorOptions options;
    options.image = Image(65535);
    link_tests::EmulatedPort port(options);
    ASSERT_TRUE(port.started);
    CSerialLink link;
    ASSERT_EQ(link.Open(ComPortIndex(0), Framing::EightBit, kControllerBaud), "");
    link.SetAddress(kAddressAll);
    ASSERT_TRUE(link.SendCommand({kCmdReadImage}));
    // Long enough for the reply to fill the buffer and block.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const auto start = std::chrono::steady_clock::now();
    port.emulator.Stop();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    link.Close();
}

// The length words of the image replies never wrap: an image held beyond 65535 bytes is
// answered as 65535 bytes.
TEST(EmulatorStop, ImageLengthDoesNotWrap) {
    for (const std::size_t size : {std::size_t{65535}, std::size_t{65536}, std::size_t{70000}}) {
        SCOPED_TRACE(size);
        testing_support::EmulatorOptions options;
        options.image = Image(size);
        link_tests::EmulatedPort port(options);
        ASSERT_TRUE(port.started);
        CSerialLink link;
        ASSERT_EQ(link.Open(ComPortIndex(0), Framing::EightBit, kControllerBaud), "");
        link.SetAddress(kAddressAll);
        const int low = SendAndReadByte(link, 2000, 1, {kCmdUsedSize}, {});
        const int high = ReadReplyByte(link, 2000, {});
        EXPECT_EQ(low | (high << 8), 65535);
        link.Close();
    }
}

} // namespace
