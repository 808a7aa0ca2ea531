// The velmora program run in batch mode, in a temporary folder of its own with a profile of its
// own: what the batch suites share.
#pragma once

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace batch_testing {

namespace fs = std::filesystem;

struct RunResult {
    int status = -1;
    std::string out;
    std::string err;
    std::chrono::steady_clock::duration took{};
};

inline std::string Slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// The folder holds a copy of the example script and the profile under config/velmora.
class BatchFolder : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "velmora-batch-XXXXXX").string();
        dir_ = ::mkdtemp(pattern.data());
        fs::create_directories(dir_ / "config/velmora");
        fs::copy_file(fs::path(VELMORA_SOURCE_DIR) / "data/SCRIPTS/Fountain.ksf",
                      dir_ / "Fountain.ksf");
    }
    void TearDown() override {
        // A test may have taken permissions away; the folder goes all the same.
        std::error_code ec;
        fs::permissions(dir_, fs::perms::owner_all, ec);
        for (const auto& entry : fs::recursive_directory_iterator(dir_, ec))
            fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(dir_);
    }

    fs::path ProfilePath() const { return dir_ / "config/velmora/velmora.ini"; }

    // COM1 goes where `com1` says, COM2 to COM8 nowhere, so the machine's own ports play no part.
    void WriteProfile(const std::string& com1, const std::string& download = "") {
        std::ofstream profile(ProfilePath(), std::ios::binary);
        profile << "[Serial Ports]\n";
        for (int n = 1; n <= 8; ++n)
            profile << "COM" << n << "=" << (n == 1 && !com1.empty() ? com1 : "/nonexistent/tty")
                    << "\n";
        profile << "[Download]\n" << download;
    }

    // Runs velmora with the arguments; `prefix` goes before the program (another user, limits).
    // A run that hangs is ended after 60 s and fails the test through its status and time.
    RunResult Velmora(const std::string& arguments, const std::string& prefix = "") {
        const std::string program = prefix + " '" VELMORA_PROGRAM "' " + arguments;
        // The program's output goes through pipes, so a file-size limit of the run touches only
        // what the program itself writes.
        const std::string command = "cd '" + dir_.string() + "' && export XDG_CONFIG_HOME='" +
                                    (dir_ / "config").string() + "' && { { (trap '' XFSZ; exec " +
                                    "timeout -s KILL 60 " + program +
                                    "); echo $? > status.txt; } | cat > out.txt; } 2>&1 | cat > "
                                    "err.txt";
        RunResult run;
        const auto start = std::chrono::steady_clock::now();
        const int raw = std::system(command.c_str());
        run.took = std::chrono::steady_clock::now() - start;
        EXPECT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 0) << command;
        const std::string status = Slurp(dir_ / "status.txt");
        run.status = status.empty() ? -1 : std::stoi(status);
        run.out = Slurp(dir_ / "out.txt");
        run.err = Slurp(dir_ / "err.txt");
        return run;
    }

    fs::path dir_;
};

} // namespace batch_testing
