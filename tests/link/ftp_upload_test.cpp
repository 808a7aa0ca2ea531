#include "link/ftp_upload.h"

#include "link/script_transfer.h"
#include "tests/link/link_fixtures.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

using showlink::LogColour;

constexpr const char* kPython = "/usr/bin/python3";

bool PythonHasFtpServer() {
    const std::string command = std::string(kPython) + " -c 'import pyftpdlib' >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}

int FreePort() {
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::getsockname(s, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(s);
    return ntohs(address.sin_port);
}

bool Accepts(int port) {
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool ok = ::connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(s);
    return ok;
}

// A real FTP server on 127.0.0.1 serving a fresh folder, with one user.
class FtpServer {
public:
    FtpServer(bool writable) {
        folder = std::filesystem::path(::testing::TempDir()) /
                 ("ftp-" + std::to_string(::getpid()) + "-" + std::to_string(FreePort()));
        std::filesystem::create_directories(folder);
        port = FreePort();
        pid_ = ::fork();
        if (pid_ == 0) {
            const std::string portText = std::to_string(port);
            const std::string dir = folder.string();
            std::freopen("/dev/null", "w", stderr);
            std::vector<const char*> args = {
                kPython, "-m",        "pyftpdlib", "-i",   "127.0.0.1", "-p",    portText.c_str(),
                "-d",    dir.c_str(), "-u",        "show", "-P",        "secret"};
            if (writable) {
                args.push_back("-w");
            }
            args.push_back(nullptr);
            ::execv(kPython, const_cast<char* const*>(args.data()));
            ::_exit(127);
        }
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
        while (pid_ > 0 && std::chrono::steady_clock::now() < deadline) {
            if (Accepts(port)) {
                ready = true;
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }
    ~FtpServer() {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            int status = 0;
            ::waitpid(pid_, &status, 0);
        }
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
    std::vector<std::uint8_t> Uploaded() const {
        std::ifstream in(folder / "load.dat", std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }

    std::filesystem::path folder;
    int port = 0;
    bool ready = false;

private:
    pid_t pid_ = -1;
};

struct Ftp : ::testing::Test {
    void SetUp() override {
        if (!PythonHasFtpServer()) {
            GTEST_SKIP() << kPython
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
