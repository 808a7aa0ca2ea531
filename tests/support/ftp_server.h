// A real FTP server (pyftpdlib) on 127.0.0.1 serving a fresh folder to one user, "show" with
// password "secret", for the tests of the network download.
#pragma once

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace testing_support {

inline constexpr const char* kFtpPython = "/usr/bin/python3";

inline bool PythonHasFtpServer() {
    const std::string command = std::string(kFtpPython) + " -c 'import pyftpdlib' >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}

inline int FreeLocalPort() {
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

inline bool LocalPortAccepts(int port) {
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool ok = ::connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(s);
    return ok;
}

class FtpServer {
public:
    explicit FtpServer(bool writable) {
        folder = std::filesystem::path(::testing::TempDir()) /
                 ("ftp-" + std::to_string(::getpid()) + "-" + std::to_string(FreeLocalPort()));
        std::filesystem::create_directories(folder);
        port = FreeLocalPort();
        pid_ = ::fork();
        if (pid_ == 0) {
            const std::string portText = std::to_string(port);
            const std::string dir = folder.string();
            std::freopen("/dev/null", "w", stderr);
            std::vector<const char*> args = {
                kFtpPython,  "-m", "pyftpdlib", "-i", "127.0.0.1", "-p", portText.c_str(), "-d",
                dir.c_str(), "-u", "show",      "-P", "secret"};
            if (writable)
                args.push_back("-w");
            args.push_back(nullptr);
            ::execv(kFtpPython, const_cast<char* const*>(args.data()));
            ::_exit(127);
        }
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
        while (pid_ > 0 && std::chrono::steady_clock::now() < deadline) {
            if (LocalPortAccepts(port)) {
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
    FtpServer(const FtpServer&) = delete;
    FtpServer& operator=(const FtpServer&) = delete;

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

} // namespace testing_support
