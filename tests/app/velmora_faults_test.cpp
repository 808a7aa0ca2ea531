// The velmora program in batch mode given broken, hostile and extreme input: every run ends
// promptly with its message and exit status, and leaves every file of the user as it was.
#include "tests/app/batch_run.h"
#include "tests/support/controller_emulator.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <sstream>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

using batch_testing::RunResult;
using batch_testing::Slurp;

// Every regular file under a folder with its bytes, and every folder, by relative path.
std::map<std::string, std::string> Snapshot(const fs::path& root) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        const std::string name = fs::relative(entry.path(), root).string();
        if (name == "out.txt" || name == "err.txt" || name == "status.txt")
            continue;
        if (entry.is_regular_file())
            files[name] = Slurp(entry.path());
        else
            files[name] = entry.is_directory() ? "<folder>" : "<special>";
    }
    return files;
}

class VelmoraFaults : public batch_testing::BatchFolder {
protected:
    void SetUp() override {
        BatchFolder::SetUp();
        script_ = Slurp(dir_ / "Fountain.ksf");
        WriteProfile("");
    }
    void TearDown() override {
        for (const fs::path& mount : mounts_)
            ::umount2(mount.c_str(), MNT_DETACH);
        BatchFolder::TearDown();
    }

    // A small tmpfs at `folder` where the machine allows one (root in most containers).
    bool MountTmpfs(const fs::path& folder, const std::string& options) {
        if (std::getenv("VELMORA_TEST_NO_MOUNT"))
            return false;
        if (::mount("tmpfs", folder.c_str(), "tmpfs", 0, options.c_str()) != 0)
            return false;
        mounts_.push_back(folder);
        return true;
    }

    std::string script_;
    std::vector<fs::path> mounts_;
};

constexpr auto kPrompt = std::chrono::seconds(20);

// A profile the program cannot read stays byte for byte after an open and a batch compile,
// and the user is told once which file and why.
TEST_F(VelmoraFaults, UnreadableProfileIsNeverReplaced) {
    const std::string text =
        "[General]\r\nPopup Window Delay=36\r\n; written by hand\r\n"
        "[Download]\r\nNumQuenlows=1\r\nQuenlowName1=Lobby\r\n"
        "QuenlowPassword1=secret\r\n[Serial Ports]\r\nCOM1=/nonexistent/tty\r\n"
        "COM2=/nonexistent/tty\r\n[Recent File List]\r\nFile1=/shows/a.ksf\r\n";
    std::ofstream(ProfilePath(), std::ios::binary) << text;
    fs::permissions(ProfilePath(), fs::perms::none);
    // Root reads any file: the run goes as an ordinary user then.
    std::string prefix;
    if (::geteuid() == 0) {
        prefix = "setpriv --reuid=65534 --regid=65534 --clear-groups --";
        for (const fs::path& folder : {dir_, dir_ / "config", dir_ / "config/velmora"})
            fs::permissions(folder, fs::perms::all);
        fs::permissions(dir_ / "Fountain.ksf", fs::perms::all);
    }
    const auto before = Snapshot(dir_ / "config");
    const RunResult run = Velmora("-c Fountain.ksf", prefix);
    EXPECT_EQ(run.status, 3) << run.out << run.err;
    EXPECT_EQ(Snapshot(dir_ / "config"), before);
    fs::permissions(ProfilePath(), fs::perms::owner_read);
    EXPECT_EQ(Slurp(ProfilePath()), text);
    const std::string message = "Velmora: The settings file " + ProfilePath().string() +
                                " cannot be read: Permission denied.\nSettings will not be saved "
                                "until Velmora is restarted.\n";
    EXPECT_EQ(run.err.find(message), 0u) << run.err;
    EXPECT_EQ(run.err.find("cannot be read", message.size()), std::string::npos) << run.err;
    EXPECT_TRUE(fs::exists(dir_ / "Fountain.DAT"));
}

// An image that cannot be stored is an error: the line names the file and the system's reason,
// the summary counts it, the exit status is 2 and the old image stays.
TEST_F(VelmoraFaults, FailedImageWriteIsAnError) {
    enum Kind { ReadOnly, Full, Folder };
    for (const Kind kind : {ReadOnly, Full, Folder}) {
        SCOPED_TRACE(kind);
        const fs::path folder = dir_ / ("show" + std::to_string(kind));
        fs::create_directory(folder);
        std::string prefix;
        std::string reason;
        bool mounted = false;
        if (kind == ReadOnly)
            mounted = MountTmpfs(folder, "size=1m");
        if (kind == Full)
            mounted = MountTmpfs(folder, "size=16k,nr_inodes=64");
        std::ofstream(folder / "Fountain.ksf", std::ios::binary) << script_;
        if (kind == Folder) {
            fs::create_directory(folder / "Fountain.DAT");
            std::ofstream(folder / "Fountain.DAT" / "kept.txt") << "kept";
            reason = "Is a directory";
        } else {
            std::ofstream(folder / "Fountain.DAT", std::ios::binary) << "old image";
        }
        if (kind == ReadOnly) {
            if (mounted) {
                ASSERT_EQ(
                    ::mount("tmpfs", folder.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr), 0);
                reason = "Read-only file system";
            } else {
                fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec |
                                            fs::perms::group_read | fs::perms::group_exec |
                                            fs::perms::others_read | fs::perms::others_exec);
                reason = "Permission denied";
                // Root writes into any folder: the run goes as an ordinary user then.
                if (::geteuid() == 0) {
                    prefix = "setpriv --reuid=65534 --regid=65534 --clear-groups --";
                    for (const fs::path& open : {dir_, dir_ / "config", dir_ / "config/velmora"})
                        fs::permissions(open, fs::perms::owner_all | fs::perms::group_read |
                                                  fs::perms::group_exec | fs::perms::others_read |
                                                  fs::perms::others_exec);
                }
            }
        }
        if (kind == Full) {
            if (mounted) {
                // Fill what is left, so the image's first write finds the disk full.
                std::ofstream filler(folder / "filler", std::ios::binary);
                const std::string block(512, 'x');
                while (filler.write(block.data(), block.size()))
                    filler.flush();
                reason = "No space left on device";
            } else {
                // The same failure without a disk of its own: the write is refused by a limit.
                prefix = "prlimit --fsize=0 --";
                reason = "File too large";
            }
        }
        const auto before = Snapshot(folder);
        const RunResult run = Velmora("-c '" + (folder / "Fountain.ksf").string() + "'", prefix);
        EXPECT_EQ(run.status, 2) << run.out << run.err;
        EXPECT_NE(run.out.find("Unable to write " + (folder / "Fountain.DAT").string() + ": " +
                               reason + "\n"),
                  std::string::npos)
            << run.out;
        EXPECT_NE(run.out.find("Fountain.ksf compiled with 1 Error(s), 0 Warning(s)\n"
                               "Script Compiled with Errors.  Fix the errors and compile again."),
                  std::string::npos)
            << run.out;
        // The summary follows the count, and no download is tried after it.
        EXPECT_EQ(run.out.find("Successfully"), std::string::npos) << run.out;
        EXPECT_EQ(run.out.find("Download"), std::string::npos) << run.out;
        EXPECT_EQ(Snapshot(folder), before);
    }
}

// A FIFO, a folder or a device given as a script or an image ends at once with the message and
// the path; a FIFO's open used to wait for a writer for good.
TEST_F(VelmoraFaults, SpecialFilesEndPromptly) {
    ASSERT_EQ(::mkfifo((dir_ / "pipe.ksf").c_str(), 0600), 0);
    ASSERT_EQ(::mkfifo((dir_ / "pipe.dat").c_str(), 0600), 0);
    fs::create_directory(dir_ / "folder.ksf");
    struct Case {
        std::string path;
        std::string reason;
    };
    const Case cases[] = {
        {(dir_ / "pipe.ksf").string(), "Not a regular file"},
        {(dir_ / "pipe.dat").string(), "Not a regular file"},
        {(dir_ / "folder.ksf").string(), "Is a directory"},
        {"/dev/zero", "Not a regular file"},
    };
    const auto before = Snapshot(dir_);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        const RunResult run = Velmora("-c '" + c.path + "'");
        EXPECT_EQ(run.status, 1) << run.out << run.err;
        EXPECT_LT(run.took, kPrompt);
        EXPECT_EQ(run.err, "Velmora: That file doesn't seem to exist any more.\n" + c.path + ": " +
                               c.reason + "\n");
    }
    EXPECT_EQ(Snapshot(dir_), before);
}

// Numbers far beyond their ranges: start-up no longer allocates without bound, and a download
// paced by a huge "SerialDelay" goes out at the longest pacing offered.
TEST_F(VelmoraFaults, ExtremeProfileNumbersAreClamped) {
    testing_support::ControllerEmulator emulator;
    ASSERT_TRUE(emulator.Start());
    WriteProfile(emulator.SlavePath(),
                 "CommMethod=-7\nSerialPort=-2147483648\nNumQuenlows=2147483647\n"
                 "EthernetDevice=2147483647\nSerialDelay=42949673\nSerialBandwidth=99999999999\n"
                 "SerialTimeout=2147483647\nSerialBitMode=-1\nMessages=Verbose\n");
    std::ofstream(ProfilePath(), std::ios::app) << "[General]\nPopup Window Delay=-1\n";
    const RunResult run = Velmora("-c Fountain.ksf");
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_LT(run.took, std::chrono::seconds(40));
    EXPECT_NE(run.out.find("Download Mode set to Brevant 8-bit"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("Packet Size set to 256 bytes"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("Packet Pacing set to 200 ms"), std::string::npos) << run.out;
    EXPECT_FALSE(emulator.StoredImage().empty());
    emulator.Stop();
}

// What a file or a controller says reaches the terminal with its control characters visible.
TEST_F(VelmoraFaults, EscapeSequencesAreMadeVisible) {
    testing_support::EmulatorOptions options;
    options.firmwareLine = "\x1b]0;owned\x07Ver 5.80\x1b[2J";
    testing_support::ControllerEmulator emulator(options);
    ASSERT_TRUE(emulator.Start());
    WriteProfile(emulator.SlavePath(), "SerialPort=0\n");
    std::string text = script_;
    const std::string good = "[Sequence: Fountain_Show]";
    text.replace(text.find(good), good.size(),
                 "[Sequence: Fountain\x1b[2J\x9b"
                 "31mShow]");
    std::ofstream(dir_ / "Hostile.ksf", std::ios::binary) << text;

    const RunResult clean = Velmora("-c Fountain.ksf");
    const RunResult hostile = Velmora("-c Hostile.ksf");
    EXPECT_EQ(clean.status, 0) << clean.out << clean.err;
    EXPECT_NE(clean.out.find("[\\x1b]0;owned\\x07Ver 5.80\\x1b[2J]"), std::string::npos)
        << clean.out;
    EXPECT_NE(hostile.out.find("Compiling sequence Fountain\\x1b[2J\\x9b31mShow"),
              std::string::npos)
        << hostile.out;
    for (const RunResult* run : {&clean, &hostile}) {
        for (const std::string* output : {&run->out, &run->err}) {
            for (const char c : *output) {
                const auto byte = static_cast<unsigned char>(c);
                EXPECT_FALSE((byte < 0x20 && c != '\n' && c != '\t') || byte == 0x7F ||
                             (byte >= 0x80 && byte < 0xA0))
                    << "raw control byte " << int(byte) << " in " << *output;
            }
        }
    }
    emulator.Stop();
}

} // namespace
