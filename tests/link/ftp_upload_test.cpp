#include "link/ftp_upload.h"

#include "link/script_transfer.h"
#include "tests/link/link_fixtures.h"
#include "tests/support/ftp_server.h"

#include <gtest/gtest.h>

namespace {

using showlink::LogColour;

using testing_support::FtpServer;

struct Ftp : ::testing::Test {
    void SetUp() override {
        if (!testing_support::PythonHasFtpServer()) {
            GTEST_SKIP() << testing_support::kFtpPython
                         << " has no pyftpdlib module (Debian package python3-pyftpdlib)";
        }
        devices.AddTail({"Stage Left", "show", "127.0.0.1", "secret"});
        devices.AddTail({"Wrong Login", "show", "127.0.0.1", "guess"});
        devices.AddTail({"Bad Address", "show", "127.0.0.1/../etc", "secret"});
    }
    showlink::TransferLog Log() {
        return [this](const std::string& text, LogColour colour) {
            lines.push_back({text, colour});
        };
    }
    std::vector<std::string> Texts() const {
        std::vector<std::string> out;
        for (const auto& l : lines) {
            out.push_back(l.text);
        }
        return out;
    }

    CQuenlowList devices;
    std::vector<link_tests::LoggedLine> lines;
};

std::vector<std::uint8_t> BinaryImage() {
    std::vector<std::uint8_t> image(5000);
    for (std::size_t i = 0; i < image.size(); ++i) {
        image[i] = static_cast<std::uint8_t>(i % 7 == 0 ? 0x0D : (i % 11 == 0 ? 0x0A : i));
    }
    return image;
}

TEST_F(Ftp, UploadSendsTheImageInBinaryAsLoadDat) {
    FtpServer server(true);
    ASSERT_TRUE(server.ready);
    testing_support::ScriptedUi ui;
    const auto image = BinaryImage();
    EXPECT_TRUE(showlink::UploadByFtp(devices, 0, "SHOW.dat", image.data(), image.size(), Log(),
                                      server.port));
    EXPECT_EQ(server.Uploaded(), image);
    EXPECT_EQ(Texts(),
              (std::vector<std::string>{"", "Opening FTP Connection with Stage Left...",
                                        "Connected to Stage Left! Downloading SHOW.dat...",
                                        "SHOW.dat was successfully downloaded to Stage Left!",
                                        "FTP Session Closed."}));
    for (const auto& l : lines) {
        EXPECT_EQ(l.colour, LogColour::Default);
    }
    EXPECT_GT(ui.paintPumps, 0) << "the session's waits repaint the windows";
}

TEST_F(Ftp, RefusedLoginAndRefusedPutAreRedLines) {
    FtpServer server(false); // read-only: the put is refused
    ASSERT_TRUE(server.ready);
    const auto image = BinaryImage();
    EXPECT_FALSE(showlink::UploadByFtp(devices, 1, "SHOW.dat", image.data(), image.size(), Log(),
                                       server.port));
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1].text, "Opening FTP Connection with Wrong Login...");
    EXPECT_EQ(lines[2].text.rfind("ERROR: ", 0), 0u);
    EXPECT_GT(lines[2].text.size(), 7u);
    EXPECT_EQ(lines[2].colour, LogColour::Red);

    lines.clear();
    EXPECT_FALSE(showlink::UploadByFtp(devices, 0, "SHOW.dat", image.data(), image.size(), Log(),
                                       server.port));
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back().text, "Failed to download SHOW.dat to Stage Left!");
    EXPECT_EQ(lines.back().colour, LogColour::Red);
    EXPECT_TRUE(server.Uploaded().empty());
}

TEST_F(Ftp, UnknownDeviceOrAddressSendsNothing) {
    const std::uint8_t byte = 1;
    for (int index : {-1, 3, 2}) {
        lines.clear();
        EXPECT_FALSE(showlink::UploadByFtp(devices, index, "SHOW.dat", &byte, 1, Log(), 1));
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines.back().colour, LogColour::Red);
        EXPECT_EQ(lines.back().text.rfind("ERROR: ", 0), 0u);
    }
}

TEST_F(Ftp, CompileDownloadByEthernetNeverOpensTheSerialPort) {
    FtpServer server(true);
    ASSERT_TRUE(server.ready);
    testing_support::ScriptedUi ui;
    link_tests::MemoryApplication app;
    link_tests::EmulatedPort port;
    app.devices = devices;
    app.settings.commMethod = 1;
    app.settings.ethernetDevice = 0;
    link_tests::FakeScript script(1234);
    const int previous = showlink::SetFtpPort(server.port);
    EXPECT_TRUE(showlink::DownloadCompiledScript(script, app));
    showlink::SetFtpPort(previous);
    EXPECT_EQ(server.Uploaded(), script.Image()); // from memory, unpatched
    EXPECT_TRUE(script.Has("SHOW.dat was successfully downloaded to Stage Left!"));
    EXPECT_TRUE(port.emulator.Requests().empty());

    app.settings.ethernetDevice = 7;
    link_tests::FakeScript other;
    EXPECT_FALSE(showlink::DownloadCompiledScript(other, app));
    ASSERT_EQ(other.lines.size(), 1u);
    EXPECT_EQ(other.lines[0].colour, LogColour::Red);
}

} // namespace
