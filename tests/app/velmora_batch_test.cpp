// The real velmora program in batch mode, against the controller emulator.
#include "app/vl_app.h"
#include "link/script_transfer.h"
#include "tests/app/batch_run.h"
#include "tests/support/controller_emulator.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

using batch_testing::RunResult;
using batch_testing::Slurp;

class VelmoraBatch : public batch_testing::BatchFolder {};

TEST_F(VelmoraBatch, CleanScriptWithoutAPortCompilesAndExits3) {
    WriteProfile("");
    const RunResult run = Velmora("-c Fountain.ksf");
    EXPECT_EQ(run.status, 3) << run.out << run.err;
    EXPECT_TRUE(fs::exists(dir_ / "Fountain.DAT"));
    EXPECT_NE(run.out.find("Compiling sequence Fountain_Show"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("Fountain.ksf compiled with 0 Error(s), 0 Warning(s)"),
              std::string::npos);
    // The device tried (COM1, the configured port) and why it did not open.
    EXPECT_NE(run.out.find("Script not Downloaded, Communications Offline (/nonexistent/tty: No "
                           "such file or directory)"),
              std::string::npos)
        << run.out;
    EXPECT_EQ(run.err, "");
}

// The "Serial Ports" mapping is read at each listing and opening of a port, so a mapping changed
// by hand after start-up is the one used.
TEST(SerialPortMapping, IsReadAgainAtEveryLookup) {
    const fs::path dir = fs::path(::testing::TempDir()) / "velmora_port_mapping";
    fs::create_directories(dir);
    const fs::path profile = dir / "velmora.ini";
    auto map = [&profile](const std::string& com2) {
        std::ofstream out(profile);
        out << "[Serial Ports]\nCOM2=" << com2 << "\n";
    };
    map("/dev/first");
    CVLApp app;
    app.SetProfilePath(profile);
    app.LoadSettings();
    EXPECT_EQ(app.SerialPortPath(2), "/dev/first");
    map("\\dev\\second");
    EXPECT_EQ(app.SerialPortPath(2), "/dev/second");
    EXPECT_EQ(app.SerialPortPath(1), "");
    fs::remove_all(dir);
}

TEST_F(VelmoraBatch, DownloadsToTheControllerAndExits0) {
    testing_support::ControllerEmulator emulator;
    ASSERT_TRUE(emulator.Start());
    WriteProfile(emulator.SlavePath(), "SerialPort=0\n");
    const RunResult run = Velmora("/C" + (dir_ / "Fountain.ksf").string());
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    const auto image = emulator.StoredImage();
    std::ifstream dat(dir_ / "Fountain.DAT", std::ios::binary);
    const std::vector<std::uint8_t> written((std::istreambuf_iterator<char>(dat)),
                                            std::istreambuf_iterator<char>());
    ASSERT_FALSE(written.empty());
    // The controller holds the written image with its memory banks (64 KB: 8) patched in.
    std::vector<std::uint8_t> expected = written;
    showlink::PatchMemoryBanks(expected.data(), expected.size(), 64);
    EXPECT_EQ(expected[showlink::kImageBankOffset], 8);
    EXPECT_EQ(image, expected);
    emulator.Stop();
}

TEST_F(VelmoraBatch, RefusedDownloadExits3) {
    testing_support::EmulatorOptions options;
    options.nakRequest = true;
    testing_support::ControllerEmulator emulator(options);
    ASSERT_TRUE(emulator.Start());
    WriteProfile(emulator.SlavePath(), "SerialPort=0\nSerialTimeout=500\n");
    const RunResult run = Velmora("-c Fountain.ksf");
    EXPECT_EQ(run.status, 3) << run.out << run.err;
    emulator.Stop();
}

TEST_F(VelmoraBatch, ScriptWithErrorsExits2) {
    WriteProfile("");
    std::string text = Slurp(dir_ / "Fountain.ksf");
    const std::string good = "On      Pump_Jets";
    text.replace(text.find(good), good.size(), "On      No_Such_Output");
    std::ofstream(dir_ / "Broken.ksf", std::ios::binary) << text;
    const RunResult run = Velmora("-c Broken.ksf");
    EXPECT_EQ(run.status, 2) << run.out << run.err;
    EXPECT_NE(run.out.find("Script Compiled with Errors."), std::string::npos) << run.out;
    EXPECT_FALSE(fs::exists(dir_ / "Broken.DAT"));
}

TEST_F(VelmoraBatch, ScriptNamedLikeItsImageStaysAndExits2) {
    WriteProfile("");
    const std::string script = Slurp(dir_ / "Fountain.ksf");
    for (const std::string name : {"Show.DAT", "show.dat"}) {
        SCOPED_TRACE(name);
        fs::copy_file(dir_ / "Fountain.ksf", dir_ / name, fs::copy_options::overwrite_existing);
        const RunResult run = Velmora("-c " + name);
        EXPECT_EQ(run.status, 2) << run.out << run.err;
        const std::string image = fs::path(name).stem().string() + ".DAT";
        EXPECT_NE(run.out.find("Unable to write " + image), std::string::npos) << run.out;
        EXPECT_EQ(Slurp(dir_ / name), script);
        fs::remove(dir_ / name);
    }
}

TEST_F(VelmoraBatch, FileThatIsNoScriptExits1WithItsMessageOnStandardError) {
    WriteProfile("");
    const RunResult missing = Velmora("-c missing.ksf");
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, "Velmora: That file doesn't seem to exist any more.\n");
    std::ofstream(dir_ / "notes.txt") << "not a script\n";
    EXPECT_EQ(Velmora("-c notes.txt").status, 1);
}

TEST_F(VelmoraBatch, HelpAndBadArguments) {
    const RunResult help = Velmora("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("3  compiled, but not downloaded"), std::string::npos);
    const RunResult bad = Velmora("-c");
    EXPECT_EQ(bad.status, 4);
    EXPECT_NE(bad.err.find("-c needs the script file"), std::string::npos);
}

} // namespace
