#include "link/script_transfer.h"

#include "link/controller_protocol.h"
#include "link/log_format.h"
#include "tests/link/link_fixtures.h"
#include "tests/support/fast_waits.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

namespace {

using link_tests::EmulatedPort;
using link_tests::FakeScript;
using link_tests::MemoryApplication;
using showlink::LogColour;
using testing_support::EmulatorOptions;

struct Download : ::testing::Test {
    // Time-outs and pauses run ten times faster (declared first: it outlives the peers).
    platform::FastWaits fastWaits_{testing_support::kFastWaitFactor};

    testing_support::ScriptedUi ui;
    MemoryApplication app;
    FakeScript script;

    void SetUp() override {
        app.settings.serialTimeout = 500;
        app.settings.serialDelay = 0;
        app.settings.serialBandwidth = 256;
    }
    std::vector<std::string> BoxTexts() const { return ui.Texts(); }
};

TEST_F(Download, ImageArrivesWithBanksPatchedInBothFramings) {
    for (int bitMode : {1, 0}) {
        FakeScript fresh(400);
        EmulatorOptions options;
        options.memoryKb = 64;
        EmulatedPort port(options);
        ASSERT_TRUE(port.started);
        app.settings.serialBitMode = bitMode;
        const auto before = fresh.Image();

        ASSERT_TRUE(showlink::DownloadCompiledScript(fresh, app));

        const auto stored = port.emulator.StoredImage();
        ASSERT_EQ(stored.size(), 400u);
        EXPECT_EQ(stored[showlink::kImageBankOffset], 8);
        EXPECT_EQ(showlink::StoredChecksum(stored.data(), stored.size()),
                  showlink::ComputedChecksum(stored.data(), stored.size()));
        EXPECT_EQ(showlink::StoredChecksum(stored.data(), 2),
                  static_cast<std::uint16_t>(showlink::StoredChecksum(before.data(), 2) + 8));
        EXPECT_EQ(fresh.memory, 65536);
        EXPECT_DOUBLE_EQ(fresh.firmware, 5.80);
        // Every request went to address 0xFF and the script's unit, in the chosen framing.
        const auto requests = port.emulator.Requests();
        ASSERT_EQ(requests.size(), 3u);
        EXPECT_EQ(requests[2].message, (std::vector<std::uint8_t>{0x40, 400 & 0xFF, 400 >> 8}));
        for (const auto& r : requests) {
            EXPECT_EQ(r.nineBit, bitMode == 1);
            EXPECT_EQ(r.unit, 3);
            EXPECT_TRUE(r.checksumOk);
            if (r.nineBit) {
                EXPECT_EQ(r.address, 0xFF);
            }
        }
        EXPECT_EQ(fresh.runningChanges, (std::vector<bool>{true, false}));
        EXPECT_TRUE(fresh.Has("SHOW.DAT successfully downloaded!"));
        EXPECT_EQ(fresh.ColourOf("Download Successful! Don't forget to save backup copies of your "
                                 "KSF and unique, user created PCL files!!!"),
                  LogColour::Blue);
        EXPECT_EQ(fresh.Texts().back(), "Closing serial communications on Com1");
        EXPECT_TRUE(fresh.Has(bitMode ? "  Download Mode set to Brevant 9-bit"
                                      : "  Download Mode set to Brevant 8-bit"));
    }
    // No result boxes by default; the archive question is asked each time (default answer No).
    EXPECT_EQ(
        BoxTexts(),
        (std::vector<std::string>(
            2, "Download Successful!\n\nDo you want to compress and store SHOW.KSF as well?")));
}

TEST_F(Download, VerboseLogOfASuccessfulDownload) {
    EmulatedPort port;
    ASSERT_TRUE(port.started);
    app.settings.verbose = true;
    app.settings.serialTimeout = 3000;
    app.settings.noCompilerPopups = false;
    app.settings.noArchiveOffer = true;
    script.SetImage(300);
    const auto checksum = showlink::StoredChecksum(script.image.data(), 2);
    ASSERT_TRUE(showlink::DownloadCompiledScript(script, app));

    const auto texts = script.Texts();
    auto at = [&](const std::string& t) {
        return std::find(texts.begin(), texts.end(), t) - texts.begin();
    };
    const std::vector<std::string> ordered = {
        "Opening serial communications on Com1",
        "  Download Mode set to Brevant 9-bit",
        "  Timeout set to 3 Seconds",
        "  Packet Size set to 256 bytes",
        "  Packet Pacing set to 0 ms",
        "  Requesting firmware version from Show Control Unit",
        "Version of Show Control Unit is [Ver 5.80]",
        "  Version Bytes Returned [56 65 72 20 35 2E 38 30 ]",
        "  Requesting EEPROM size from Show Control Unit",
        "  Memory Size Byte Returned [40]",
        showlink::Format("  Show Control Unit has %4x checksum before EEbanks accounted", checksum),
        showlink::Format("  Show Control Unit has %x checksum after EEbanks accounted",
                         (checksum + 8) & 0xFFFF),
        "  Show Control Unit has a 64K EEPROM, which is 8 8K banks",
        "  Compiled script: 300.  Space available: 65536",
        "  Requesting download from Show Control Unit",
        "  Download Request Byte Returned [AA]",
        "  Download request acknowledged",
        "Downloading to Show Control Unit...",
        "  Download Completion Status Byte Returned [AA]",
        "SHOW.DAT successfully downloaded!",
        "Closing serial communications on Com1",
    };
    for (std::size_t i = 0; i < ordered.size(); ++i) {
        ASSERT_LT(at(ordered[i]), static_cast<std::ptrdiff_t>(texts.size())) << ordered[i];
        if (i > 0) {
            EXPECT_LT(at(ordered[i - 1]), at(ordered[i])) << ordered[i];
        }
    }
    EXPECT_EQ(texts.front(), "");
    EXPECT_EQ(texts[1].rfind("  Negotiating Windows", 0), 0u);
    EXPECT_EQ(BoxTexts(), (std::vector<std::string>{
                              "Download Successful!\n\nDon't forget to save backup copies of your "
                              "KSF and unique, user created PCL files!!!"}));
}

TEST_F(Download, ArchiveOfferStoresOverTheOpenLinkOrReminds) {
    {
        EmulatedPort port;
        ASSERT_TRUE(port.started);
        ui.QueueAnswer(platform::MsgResult::Yes);
        ASSERT_TRUE(showlink::DownloadCompiledScript(script, app));
        EXPECT_EQ(script.archiveStoredOpen, std::optional<bool>(true));
    }
    {
        EmulatedPort port;
        ASSERT_TRUE(port.started);
        FakeScript other;
        app.settings.noCompilerPopups = false;
        ui.Clear();
        ui.QueueAnswer(platform::MsgResult::Ok);
        ui.QueueAnswer(platform::MsgResult::No);
        ASSERT_TRUE(showlink::DownloadCompiledScript(other, app));
        const char* reminder =
            "Don't forget to save backup copies of your KSF and unique, user-created PCL files.";
        EXPECT_TRUE(other.Has(reminder));
        EXPECT_EQ(BoxTexts().back(), reminder);
        EXPECT_FALSE(other.archiveStoredOpen.has_value());
    }
}

TEST_F(Download, RefusalsAndShortagesStopBeforeTheStream) {
    struct Case {
        const char* name;
        EmulatorOptions options;
        std::size_t imageLength;
        std::string lastLine;
        LogColour colour;
    };
    EmulatorOptions nak;
    nak.nakRequest = true;
    EmulatorOptions small;
    small.memoryKb = 32;
    const Case cases[] = {
        {"nak", nak, 300, "Error: Download request denied by Show Control Unit", LogColour::Red},
        {"too large", small, 40000, "Error: Compiled script is larger than the space available",
         LogColour::Default},
    };
    for (const auto& c : cases) {
        EmulatedPort port(c.options);
        ASSERT_TRUE(port.started);
        FakeScript s(c.imageLength);
        EXPECT_FALSE(showlink::DownloadCompiledScript(s, app)) << c.name;
        ASSERT_FALSE(s.lines.empty());
        EXPECT_EQ(s.lines.back().text, c.lastLine) << c.name;
        EXPECT_EQ(s.lines.back().colour, c.colour) << c.name;
        EXPECT_TRUE(port.emulator.StoredImage().empty()) << c.name;
        EXPECT_FALSE(s.Has("Closing serial communications on Com1")) << c.name;
    }
    // The oversized image never reached a request.
    EmulatedPort port(small);
    ASSERT_TRUE(port.started);
    FakeScript big(40000);
    EXPECT_FALSE(showlink::DownloadCompiledScript(big, app));
    const auto requests = port.emulator.Requests();
    ASSERT_FALSE(requests.empty()) << "the controller was asked about its memory first";
    for (const auto& r : requests) {
        ASSERT_FALSE(r.message.empty());
        EXPECT_NE(r.message[0], showlink::kCmdWriteImage);
    }
}

TEST_F(Download, UnknownAnswersAndShortVersionLines) {
    {
        EmulatorOptions odd;
        odd.requestAnswer = 0x12;
        EmulatedPort port(odd);
        ASSERT_TRUE(port.started);
        FakeScript s;
        EXPECT_FALSE(showlink::DownloadCompiledScript(s, app));
        EXPECT_EQ(s.lines.back().text,
                  "Error: Download request received unknown response from Show Control Unit");
        EXPECT_EQ(s.lines.back().colour, LogColour::Red);
    }
    {
        EmulatorOptions odd;
        odd.completionAnswer = 0x12;
        EmulatedPort port(odd);
        ASSERT_TRUE(port.started);
        FakeScript s;
        app.settings.noCompilerPopups = false;
        EXPECT_FALSE(showlink::DownloadCompiledScript(s, app));
        const auto n = s.lines.size();
        EXPECT_EQ(s.lines[n - 2].text,
                  "Error: Download Failed, Unknown Response from Show Control Unit!");
        EXPECT_EQ(s.lines[n - 1].text, "Closing serial communications on Com1");
        EXPECT_EQ(ui.Texts(), std::vector<std::string>{
                                  "Download Failed, Unknown Response from Show Control Unit!"});
        app.settings.noCompilerPopups = true;
    }
    {
        EmulatorOptions terse;
        terse.firmwareLine = "5.6";
        EmulatedPort port(terse);
        ASSERT_TRUE(port.started);
        FakeScript s;
        EXPECT_FALSE(showlink::DownloadCompiledScript(s, app));
        EXPECT_EQ(s.lines.back().text, "Version of Show Control Unit is [5.6]");
        EXPECT_EQ(port.emulator.Requests().size(), 1u);
    }
}

TEST_F(Download, FirmwareGateNamesTheCommandThatNeedsNewerFirmware) {
    EmulatorOptions old;
    old.firmwareLine = "Ver 5.50";
    EmulatedPort port(old);
    ASSERT_TRUE(port.started);
    script.required = {5.61, "5.61", "Sound:Play Track", true};
    EXPECT_FALSE(showlink::DownloadCompiledScript(script, app));
    const auto n = script.lines.size();
    ASSERT_GE(n, 3u);
    EXPECT_EQ(script.lines[n - 3].text, "Error: [Sound:Play Track]");
    EXPECT_EQ(script.lines[n - 2].text,
              "       This external command or protocol requires Firmware [V5.61] and above");
    EXPECT_EQ(script.lines[n - 1].text, "       Download Terminated!");
    for (std::size_t i = n - 3; i < n; ++i) {
        EXPECT_EQ(script.lines[i].colour, LogColour::Red);
    }
    EXPECT_DOUBLE_EQ(script.firmware, 5.50);
}

TEST_F(Download, SilentControllerTimesOutTwiceAndStops) {
    EmulatorOptions silent;
    silent.silent = true;
    EmulatedPort port(silent);
    ASSERT_TRUE(port.started);
    script.firmware = 9.0; // reset at the start of the transfer
    EXPECT_FALSE(showlink::DownloadCompiledScript(script, app));
    const auto texts = script.Texts();
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "Error: Timed out receiving response"), 2);
    EXPECT_EQ(script.ColourOf("Error: Timed out receiving response"), LogColour::Red);
    EXPECT_DOUBLE_EQ(script.firmware, 0.0);
}

TEST_F(Download, NoisyLineIsDrainedBetweenRequests) {
    EmulatorOptions noisy;
    noisy.noisy = true;
    EmulatedPort port(noisy);
    ASSERT_TRUE(port.started);
    EXPECT_TRUE(showlink::DownloadCompiledScript(script, app));
    EXPECT_EQ(port.emulator.StoredImage(), script.Image());
}

TEST_F(Download, DroppedLineIsAHardwareErrorNotASuccess) {
    EmulatorOptions drop;
    drop.dropAfterStreamBytes = 100;
    EmulatedPort port(drop);
    ASSERT_TRUE(port.started);
    script.SetImage(3000);
    EXPECT_FALSE(showlink::DownloadCompiledScript(script, app));
    // Whether the write or the next read meets the dead line first depends on the pty's buffer.
    EXPECT_THAT(script.lines.back().text,
                testing::AnyOf(
                    "Error: Hardware error transmitting message to Show Control Unit",
                    "Error: Download Failed, Hardware error receiving response from Show Control "
                    "Unit"));
    EXPECT_EQ(script.lines.back().colour, LogColour::Red);
    EXPECT_EQ(script.runningChanges, (std::vector<bool>{true, false}));
}

TEST_F(Download, CompletionOutcomesShowTheirBoxesWhenPopupsAreOn) {
    app.settings.noCompilerPopups = false;
    EmulatorOptions nakCompletion;
    nakCompletion.nakCompletion = true;
    EmulatedPort port(nakCompletion);
    ASSERT_TRUE(port.started);
    EXPECT_FALSE(showlink::DownloadCompiledScript(script, app));
    EXPECT_EQ(script.lines.back().text, "Error: Download Failed, NACKed by Show Control Unit!");
    EXPECT_EQ(BoxTexts(),
              std::vector<std::string>{"Download Failed, NACKed by Show Control Unit!"});
}

TEST_F(Download, OpenFailureAndReproducerFailureStopEarly) {
    // COM2 maps to a path that does not exist.
    EmulatedPort port;
    ASSERT_TRUE(port.started);
    app.settings.serialPort = 1;
    EXPECT_FALSE(showlink::DownloadCompiledScript(script, app));
    EXPECT_EQ(script.lines.back().text,
              "Error: Opening serial port: Invalid handle retrieved opening port "
              "(/nonexistent/port: No such file or directory)");
    EXPECT_EQ(script.lines.back().colour, LogColour::Red);

    FakeScript smpte;
    smpte.smpte = true;
    smpte.reproducerResult = 251;
    app.settings.serialPort = 0;
    ui.QueueAnswer(platform::MsgResult::Yes);
    EXPECT_FALSE(showlink::DownloadCompiledScript(smpte, app));
    EXPECT_EQ(smpte.reproducerCalls, std::vector<bool>{true});
    EXPECT_TRUE(port.emulator.Requests().empty());
}

TEST(ImagePatch, BankByteAndChecksumStayConsistentOnRepeatedPatches) {
    FakeScript s(100);
    std::uint8_t* image = s.image.data();
    for (int kb : {64, 64, 32, 255}) {
        const int banks = showlink::PatchMemoryBanks(image, 100, kb);
        EXPECT_EQ(banks, kb / 8);
        EXPECT_EQ(image[showlink::kImageBankOffset], kb / 8);
        EXPECT_EQ(showlink::StoredChecksum(image, 100), showlink::ComputedChecksum(image, 100));
    }
    // Images too short to hold a checksum word read the missing bytes as 0.
    std::uint8_t one[showlink::kImageBufferSize] = {0x34, 0x12};
    EXPECT_EQ(showlink::StoredChecksum(one, 1), 0x34);
    EXPECT_EQ(showlink::StoredChecksum(one, 0), 0);
    EXPECT_EQ(showlink::ComputedChecksum(one, 2), 0);
}

} // namespace
