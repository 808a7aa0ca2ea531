#include "link/dat_doc.h"

#include "link/comm_dialog.h"
#include "link/controller_protocol.h"
#include "link/script_transfer.h"
#include "script/dialog_requests.h"
#include "tests/link/link_fixtures.h"
#include "tests/support/fast_waits.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

using link_tests::EmulatedPort;
using link_tests::MemoryApplication;
using testing_support::EmulatorOptions;

class ListView : public DatListView {
public:
    void AddLine(const std::string& text) override { lines.push_back(text); }
    void ClearLines() override {
        lines.clear();
        ++clears;
    }
    bool Has(const std::string& text) const {
        return std::find(lines.begin(), lines.end(), text) != lines.end();
    }
    std::vector<std::string> lines;
    int clears = 0;
};

std::filesystem::path TempFile(const std::string& name) {
    return std::filesystem::path(::testing::TempDir()) / name;
}

void WriteFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::uint8_t> ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::vector<std::uint8_t> ValidImage(std::size_t n) {
    std::vector<std::uint8_t> image(n);
    for (std::size_t i = 2; i < n; ++i) {
        image[i] = static_cast<std::uint8_t>(i * 13);
    }
    const auto sum = showlink::ComputedChecksum(image.data(), n);
    image[0] = static_cast<std::uint8_t>(sum & 0xFF);
    image[1] = static_cast<std::uint8_t>(sum >> 8);
    return image;
}

TEST(DatDoc, LoadJudgesTheChecksumAndStatusTellsIt) {
    struct Case {
        std::vector<std::uint8_t> bytes;
        bool valid;
        std::string checksumLine;
        std::string verdict;
    };
    const Case cases[] = {
        {{0x05, 0x00, 0x05}, true, "The Checksum is 0005", "The Checksum passed validation"},
        {{0x06, 0x00, 0x05}, false, "", "This file IS NOT a valid DAT file!"},
        {{0x01}, false, "", "This file IS NOT a valid DAT file!"},
        // Shorter than the checksum word and one byte: no image, whatever the bytes sum to.
        {{0x00, 0x00}, false, "", "This file IS NOT a valid DAT file!"},
        {{0x00}, false, "", "This file IS NOT a valid DAT file!"},
        {{}, false, "", "This file IS NOT a valid DAT file!"},
        {ValidImage(65535), true, "", "The Checksum passed validation"},
    };
    testing_support::ScriptedUi ui;
    for (const auto& c : cases) {
        const auto path = TempFile("status.dat");
        WriteFile(path, c.bytes);
        CDatDoc doc;
        ASSERT_TRUE(doc.OnOpenDocument(path.string()));
        EXPECT_EQ(doc.ChecksumValid(), c.valid);
        EXPECT_EQ(doc.GetPathName(), path.string());
        doc.OnFileStatus();
        ASSERT_EQ(ui.dialogNames.back(), "CDatStatusDlg");
        const auto texts = doc.StatusTexts();
        EXPECT_EQ(texts.m_strSize, "The Size is " + std::to_string(c.bytes.size()));
        if (!c.checksumLine.empty() || !c.valid) {
            EXPECT_EQ(texts.m_strChecksum, c.checksumLine);
        }
        EXPECT_EQ(texts.m_strValidation, c.verdict);
    }
}

TEST(DatDoc, LongFileIsCutAndSavingWritesBackWhatWasLoaded) {
    std::vector<std::uint8_t> bytes(70000);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<std::uint8_t>(i * 31 + 7);
    }
    const auto in = TempFile("long.dat");
    const auto out = TempFile("long-saved.dat");
    WriteFile(in, bytes);
    CDatDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(in.string()));
    EXPECT_EQ(doc.DatLength(), 65535);
    // Its real size is shown, and it is no image even when the part held sums right.
    EXPECT_EQ(doc.StatusTexts().m_strSize, "The Size is 70000");
    EXPECT_FALSE(doc.ChecksumValid());
    const auto valid = ValidImage(65535);
    std::copy(valid.begin(), valid.end(), bytes.begin());
    WriteFile(in, bytes);
    ASSERT_TRUE(doc.OnOpenDocument(in.string()));
    EXPECT_EQ(doc.FileSize(), 70000u);
    EXPECT_FALSE(doc.ChecksumValid());
    ASSERT_TRUE(doc.OnSaveDocument(out.string()));
    EXPECT_EQ(ReadFile(out), std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 65535));
    EXPECT_FALSE(doc.OnOpenDocument((TempFile("missing") / "x.dat").string()));
}

TEST(DatDoc, SpecialFilesEndPromptlyWithTheirMessage) {
    const auto folder = TempFile("special-dat");
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder / "folder.dat");
    ASSERT_EQ(::mkfifo((folder / "pipe.dat").c_str(), 0600), 0);
    struct Case {
        std::string path;
        std::string reason;
    };
    const Case cases[] = {
        {(folder / "pipe.dat").string(), "Not a regular file"},
        {(folder / "folder.dat").string(), "Is a directory"},
        {"/dev/zero", "Not a regular file"},
        {(folder / "missing.dat").string(), "No such file or directory"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        testing_support::ScriptedUi ui;
        CDatDoc doc;
        // A FIFO without a writer used to block here for good.
        EXPECT_FALSE(doc.OnOpenDocument(c.path));
        EXPECT_EQ(ui.Texts(),
                  std::vector<std::string>{"Unable to open " + c.path + ": " + c.reason});
        EXPECT_EQ(doc.DatLength(), 0);
    }
    std::filesystem::remove_all(folder);
}

// A save that fails part way (the file-size limit stops the write) leaves the old file whole:
// the image goes to a file beside it first. Root is not stopped by permissions; this limit
// stops everyone.
TEST(DatDoc, AFailedSaveKeepsTheOldFile) {
    const auto path = TempFile("kept.dat");
    const std::vector<std::uint8_t> old = ValidImage(200);
    WriteFile(path, old);
    CDatDoc doc;
    const std::vector<std::uint8_t> image = ValidImage(3000);
    doc.LoadImage(image.data(), image.size());

    rlimit previous{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &previous), 0);
    auto* const previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = previous;
    limited.rlim_cur = 1024;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
    const bool saved = doc.OnSaveDocument(path.string());
    ::setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(saved);
    EXPECT_EQ(ReadFile(path), old);
    EXPECT_TRUE(doc.GetPathName().empty()) << "the document did not move to the file";
    for (const auto& entry : std::filesystem::directory_iterator(path.parent_path())) {
        EXPECT_EQ(entry.path().filename().string().rfind(".kept.dat.", 0), std::string::npos)
            << "no temporary file is left behind: " << entry.path();
    }
    // Without the limit the same save replaces the file.
    ASSERT_TRUE(doc.OnSaveDocument(path.string()));
    EXPECT_EQ(ReadFile(path), image);
}

// A retrieved image has no file: Save asks for its name; Save As always asks; a failure says so.
TEST(DatDoc, SaveAsksForANameOnlyWhenThereIsNone) {
    testing_support::ScriptedUi ui;
    CDatDoc doc;
    ASSERT_TRUE(doc.OnNewDocument());
    doc.SetTitle("Script1");
    const std::vector<std::uint8_t> image = ValidImage(500);
    doc.LoadImage(image.data(), image.size());
    const auto first = TempFile("named.dat");
    std::string proposed, filter;
    ui.QueueDialog([&](platform::DialogRequest& request) {
        auto& dialog = dynamic_cast<CSaveAsDlg&>(request);
        proposed = dialog.path;
        filter = dialog.filter;
        dialog.path = first.string();
        return true;
    });
    ASSERT_TRUE(doc.OnFileSave());
    EXPECT_EQ(proposed, "Script1.dat");
    EXPECT_EQ(filter, "Compiled files (*.dat)");
    EXPECT_EQ(doc.GetPathName(), first.string());
    EXPECT_EQ(ReadFile(first), image);
    EXPECT_EQ(ui.dialogNames.size(), 1u);

    // Now it has a file: Save asks nothing.
    ASSERT_TRUE(doc.OnFileSave());
    EXPECT_EQ(ui.dialogNames.size(), 1u);

    // Save As, cancelled: nothing written, nothing said.
    ui.QueueDialog([](platform::DialogRequest&) { return false; });
    EXPECT_FALSE(doc.OnFileSaveAs());
    EXPECT_EQ(ui.dialogNames.size(), 2u);
    EXPECT_TRUE(ui.boxes.empty());

    // Save As to a folder that does not exist: the failure is told and the path stays.
    ui.QueueDialog([](platform::DialogRequest& request) {
        static_cast<CSaveAsDlg&>(request).path = (TempFile("missing") / "x.dat").string();
        return true;
    });
    EXPECT_FALSE(doc.OnFileSaveAs());
    EXPECT_EQ(ui.Texts(), std::vector<std::string>{"Failed to save document."});
    EXPECT_EQ(doc.GetPathName(), first.string());
}

TEST(DatDoc, NewDocumentIsEmptyAndValidAndLogsOnlyWithAView) {
    CDatDoc doc;
    doc.LoadImage(std::vector<std::uint8_t>{1, 2, 3}.data(), 3);
    ASSERT_TRUE(doc.OnNewDocument());
    EXPECT_EQ(doc.DatLength(), 0);
    EXPECT_TRUE(doc.ChecksumValid());
    doc.LogLine("nowhere"); // no view: nothing happens
    ListView view;
    doc.AddView(&view);
    doc.LogLine("here");
    EXPECT_EQ(view.lines, std::vector<std::string>{"here"});
    doc.RemoveView(&view);
}

struct DatTransfer : ::testing::Test {
    // Time-outs and pauses run ten times faster (declared first: it outlives the peers).
    platform::FastWaits fastWaits_{testing_support::kFastWaitFactor};

    testing_support::ScriptedUi ui;
    MemoryApplication app;
    CDatDoc doc{app};
    ListView view;

    void SetUp() override {
        app.settings.serialTimeout = 500;
        app.settings.serialDelay = 0;
        doc.AddView(&view);
        doc.SetTitle("SHOW.DAT");
    }
    void TearDown() override { doc.RemoveView(&view); }
    void AcceptDialog() {
        ui.QueueDialog([](platform::DialogRequest&) { return true; });
    }
};

TEST_F(DatTransfer, DownloadSendsTheImageUnchanged) {
    EmulatedPort port;
    ASSERT_TRUE(port.started);
    const auto image = ValidImage(500);
    doc.LoadImage(image.data(), image.size());
    app.settings.verbose = true;
    AcceptDialog();
    doc.OnDownload();
    EXPECT_EQ(port.emulator.StoredImage(), image); // no bank patch
    EXPECT_EQ(doc.Image(), image);
    EXPECT_EQ(view.lines.front(), "Ready to Download...");
    EXPECT_TRUE(view.Has("* Timeout set to 1/2 Second"));
    EXPECT_TRUE(view.Has("Version of Show Control Unit is [Ver 5.80]"));
    EXPECT_TRUE(view.Has("* Show Control Unit has a 64K EEPROM"));
    EXPECT_TRUE(view.Has("SHOW.DAT successfully downloaded!"));
    EXPECT_EQ(view.lines.back(), "Closing serial communications on Com1");
    EXPECT_EQ(ui.Texts(), std::vector<std::string>{"Download Successful!"});
    EXPECT_EQ(ui.dialogNames, std::vector<std::string>{"CCfgCommDlg"});
    const auto requests = port.emulator.Requests();
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(requests[0].unit, 0);
}

TEST_F(DatTransfer, DownloadCancelledOrRefused) {
    doc.OnDownload(); // the dialog is cancelled
    EXPECT_EQ(view.lines, std::vector<std::string>{"Ready to Download..."});

    EmulatorOptions nak;
    nak.nakCompletion = true;
    EmulatedPort port(nak);
    AcceptDialog();
    doc.OnDownload();
    EXPECT_EQ(view.clears, 2);
    EXPECT_EQ(view.lines.back(), "Error: Download Failed, NACKed by Show Control Unit!");
    EXPECT_EQ(ui.Texts(),
              std::vector<std::string>{"Download Failed, NACKed by Show Control Unit!"});
}

TEST_F(DatTransfer, RetrievalRunsOnceAndValidatesTheImage) {
    EmulatorOptions options;
    options.image = ValidImage(700);
    EmulatedPort port(options);
    ASSERT_TRUE(port.started);
    doc.RetrieveFromUnit(); // nothing requested: nothing happens
    EXPECT_TRUE(ui.dialogNames.empty());

    doc.RequestRetrieve();
    app.settings.verbose = true;
    AcceptDialog();
    doc.RetrieveFromUnit();
    EXPECT_FALSE(doc.RetrievePending());
    EXPECT_EQ(doc.Image(), options.image);
    EXPECT_TRUE(doc.ChecksumValid());
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(doc.MemorySize(), 65536);
    EXPECT_TRUE(view.Has("* EEPROM space used for Show: 702"));
    EXPECT_TRUE(view.Has("DAT file successfully Retrieved"));
    EXPECT_TRUE(view.Has("The Size is 700"));
    EXPECT_EQ(view.lines.back(), "The Checksum passed validation");
    EXPECT_EQ(ui.Texts(), std::vector<std::string>{"Retrieval Successful"});

    doc.RetrieveFromUnit(); // the flag was cleared: runs once
    EXPECT_EQ(ui.dialogNames.size(), 1u);
}

TEST_F(DatTransfer, RetrievalVerdictsAndGates) {
    struct Case {
        const char* name;
        EmulatorOptions options;
        std::string box;
        bool semicolonSent;
    };
    EmulatorOptions empty;
    EmulatorOptions bad;
    bad.image = ValidImage(50);
    bad.image[10] ^= 0xFF;
    EmulatorOptions old;
    old.firmwareLine = "Ver 5.50";
    old.image = ValidImage(50);
    const Case cases[] = {
        {"empty", empty, "No Show to Retrieve!", false},
        {"invalid", bad, "Retrieval Failed", true},
        {"old", old,
         "This Show Controller has firmware revision 5.500000, and the required firmware "
         "revision is 5.61 or higher\n\nThe Script could not be archived successfully!",
         false},
    };
    for (const auto& c : cases) {
        EmulatedPort port(c.options);
        ASSERT_TRUE(port.started);
        ui.Clear();
        doc.RequestRetrieve();
        AcceptDialog();
        doc.RetrieveFromUnit();
        EXPECT_EQ(ui.Texts(), std::vector<std::string>{c.box}) << c.name;
        bool semicolon = false;
        for (const auto& r : port.emulator.Requests()) {
            semicolon = semicolon || r.message[0] == showlink::kCmdReadImage;
        }
        EXPECT_EQ(semicolon, c.semicolonSent) << c.name;
    }
}

TEST_F(DatTransfer, InvalidRetrievedImageIsKeptButFlagged) {
    EmulatorOptions bad;
    bad.image = ValidImage(64);
    bad.image[0] ^= 0x01;
    EmulatedPort port(bad);
    doc.RequestRetrieve();
    AcceptDialog();
    doc.RetrieveFromUnit();
    EXPECT_EQ(doc.Image(), bad.image);
    EXPECT_FALSE(doc.ChecksumValid());
    EXPECT_EQ(view.lines.back(), "This file IS NOT a valid DAT file!");
    EXPECT_TRUE(view.Has("Closing serial communications on Com1"));
}

TEST_F(DatTransfer, BrokenRetrievalLeavesTheImageAsItWas) {
    EmulatorOptions options;
    options.image = ValidImage(40);
    options.claimedImageLength = 60; // announces more than it sends
    EmulatedPort port(options);
    ASSERT_TRUE(port.started);
    const auto before = ValidImage(10);
    doc.LoadImage(before.data(), before.size());
    doc.RequestRetrieve();
    AcceptDialog();
    doc.RetrieveFromUnit();
    EXPECT_EQ(doc.Image(), before);
    EXPECT_EQ(view.lines.back(), "Error: Timed out receiving response");
    EXPECT_TRUE(ui.Texts().empty());
}

} // namespace
