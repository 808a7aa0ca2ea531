#include "platform/cp1252.h"
#include "platform/file_handle.h"
#include "platform/paths.h"
#include "platform/ui_services.h"
#include "tests/support/scripted_ui.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

class TempDir {
public:
    TempDir() {
        char tmpl[] = "/tmp/velmora-test-XXXXXX";
        path = mkdtemp(tmpl);
    }
    ~TempDir() { fs::remove_all(path); }
    void Touch(const fs::path& rel) {
        fs::create_directories((path / rel).parent_path());
        std::ofstream(path / rel) << "x";
    }
    fs::path path;
};

TEST(Paths, FindsNamesWithoutRegardToCase) {
    TempDir t;
    t.Touch("Protocol/qorevnts.pcl");
    t.Touch("Protocol/My Protocols/a.pcl");
    auto hit = platform::ResolveNoCase(t.path, "PROTOCOL\\QOREVNTS.PCL");
    ASSERT_TRUE(hit);
    EXPECT_EQ(hit->filename(), "qorevnts.pcl");
    EXPECT_TRUE(platform::ResolveNoCase(t.path, "protocol/MY PROTOCOLS/A.PCL"));
    EXPECT_FALSE(platform::ResolveNoCase(t.path, "PROTOCOL/missing.pcl"));
    EXPECT_FALSE(platform::FindNoCase(t.path / "nowhere", "x"));
}

TEST(Paths, ListsFilesSortedWithoutRegardToCase) {
    TempDir t;
    for (const char* n : {"b.cfg", "A.CFG", "c.Cfg", "notes.txt", "a2.cfg"})
        t.Touch(n);
    fs::create_directories(t.path / "dir.cfg");
    std::vector<std::string> names;
    for (const auto& p : platform::ListFilesSorted(t.path, ".cfg"))
        names.push_back(p.filename().string());
    EXPECT_EQ(names, (std::vector<std::string>{"A.CFG", "a2.cfg", "b.cfg", "c.Cfg"}));
    EXPECT_EQ(platform::ListFilesSorted(t.path).size(), 5u);
}

TEST(Paths, InstallDirectoryOverride) {
    auto real = platform::InstallDirectory();
    EXPECT_FALSE(real.empty());
    platform::SetInstallDirectory("/opt/show/");
    EXPECT_EQ(platform::InstallDirectory(), "/opt/show");
    platform::SetInstallDirectory("");
    EXPECT_EQ(platform::InstallDirectory(), real);
}

// Only a regular file opens for reading; anything else is refused at once with its reason.
TEST(Paths, OpenRegularFileRefusesEverythingElse) {
    TempDir t;
    std::ofstream(t.path / "show.ksf") << "x";
    fs::create_directory(t.path / "folder.ksf");
    ASSERT_EQ(::mkfifo((t.path / "pipe.ksf").c_str(), 0600), 0);
    const struct {
        std::string path;
        const char* reason;
    } cases[] = {
        {(t.path / "show.ksf").string(), ""},
        {(t.path / "folder.ksf").string(), "Is a directory"},
        {(t.path / "pipe.ksf").string(), "Not a regular file"},
        {"/dev/zero", "Not a regular file"},
        {(t.path / "missing.ksf").string(), "No such file or directory"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        std::string reason;
        struct stat info {};
        const platform::FileHandle file = platform::OpenRegularFile(c.path, &reason, &info);
        EXPECT_EQ(file.IsOpen(), *c.reason == '\0');
        EXPECT_EQ(reason, c.reason);
        if (file.IsOpen()) {
            EXPECT_EQ(info.st_size, 1);
        }
    }
}

TEST(Cp1252, RoundTripsEveryMappedByte) {
    std::string all;
    for (int b = 1; b < 256; ++b)
        all += static_cast<char>(b);
    std::string utf8 = platform::Cp1252ToUtf8(all);
    EXPECT_EQ(platform::Cp1252ToUtf8("\x80"), "\xE2\x82\xAC"); // euro sign
    EXPECT_EQ(platform::Cp1252ToUtf8("\xE9"), "\xC3\xA9");     // e acute
    EXPECT_EQ(platform::Utf8ToCp1252(utf8), all);
    EXPECT_EQ(platform::Utf8ToCp1252("\xE4\xB8\xAD"), "?"); // not in the code page
    EXPECT_EQ(platform::Utf8ToCp1252("\xC3"), "?");         // truncated sequence
}

TEST(UiServices, ScriptedAnswersAndDefaults) {
    testing_support::ScriptedUi ui;
    ui.QueueAnswer(platform::MsgResult::No);
    EXPECT_EQ(platform::ShowMessage("first", platform::MsgButtons::YesNo), platform::MsgResult::No);
    EXPECT_EQ(platform::ShowMessage("second", platform::MsgButtons::YesNo,
                                    platform::MsgIcon::Exclamation, 1),
              platform::MsgResult::No);
    EXPECT_EQ(platform::ShowMessage("third", platform::MsgButtons::YesNoCancel),
              platform::MsgResult::Yes);
    EXPECT_EQ(ui.Texts(), (std::vector<std::string>{"first", "second", "third"}));
    EXPECT_EQ(ui.boxes[1].icon, platform::MsgIcon::Exclamation);
    EXPECT_EQ(ui.boxes[0].caption, "Velmora");
}

} // namespace

#include "platform/document.h"

namespace {

struct RecordingView : platform::View {
    std::vector<long> hints;
    void OnUpdate(platform::View*, long hint, void*) override { hints.push_back(hint); }
};

TEST(Document, PathSetsTitleAndViewsHearUpdatesButTheSender) {
    platform::Document doc;
    doc.SetPathName("/shows/park/Main Show.ksf");
    EXPECT_EQ(doc.GetTitle(), "Main Show.ksf");
    RecordingView a, b;
    doc.AddView(&a);
    doc.AddView(&b);
    doc.AddView(&b); // once only
    doc.UpdateAllViews(&a, 7);
    EXPECT_TRUE(a.hints.empty());
    EXPECT_EQ(b.hints, std::vector<long>{7});
    {
        RecordingView c;
        doc.AddView(&c);
        EXPECT_EQ(doc.Views().size(), 3u);
    } // a destroyed view leaves its document
    EXPECT_EQ(doc.Views().size(), 2u);
    EXPECT_EQ(b.GetDocument(), &doc);
}

} // namespace
