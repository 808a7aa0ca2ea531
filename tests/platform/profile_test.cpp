#include "platform/profile.h"

#include <climits>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <optional>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

class TempDir {
public:
    TempDir() {
        char tmpl[] = "/tmp/velmora-profile-XXXXXX";
        path = mkdtemp(tmpl);
    }
    ~TempDir() { fs::remove_all(path); }
    fs::path path;
};

std::string ReadFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const fs::path& p, const std::string& text) {
    std::ofstream(p, std::ios::binary) << text;
}

unsigned Mode(const fs::path& p) {
    struct stat st {};
    stat(p.c_str(), &st);
    return st.st_mode & 07777;
}

// Sets an environment variable for a scope and puts the old value back.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name))
            old_ = old;
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~ScopedEnv() {
        if (old_)
            setenv(name_, old_->c_str(), 1);
        else
            unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

const char* const kSample = "; settings\r\n"
                            "orphan=before any section\r\n"
                            "[General]\r\n"
                            "  New File At Startup =  TRUE  \r\n"
                            "Popup Window Delay=18\r\n"
                            "Formula=a=b\r\n"
                            "Quoted=\"kept\"\r\n"
                            ";Commented=1\r\n"
                            "Popup Window Delay=99\r\n"
                            "\r\n"
                            "[ Download ]\n"
                            "SerialPort=3\n"
                            "[general]\n"
                            "Late=second section of the same name\n";

TEST(ProfileRead, FindsValuesAsTheProfileFunctionsDo) {
    struct Case {
        const char* section;
        const char* key;
        const char* expected; // nullptr: the default
    } cases[] = {
        {"General", "New File At Startup", "TRUE"}, // blanks around key and value dropped
        {"GENERAL", "new file at startup", "TRUE"}, // no regard to case
        {"General", "Popup Window Delay", "18"},    // the first of two equal keys
        {"General", "Formula", "a=b"},              // the value runs to the end of the line
        {"General", "Quoted", "\"kept\""},          // no quoting
        {"General", ";Commented", nullptr},         // a remark is no key
        {"General", "orphan", nullptr},             // keys before the first section belong to none
        {"Download", "SerialPort", "3"},            // blanks inside the brackets dropped
        {"Download", "Popup Window Delay", nullptr},
        {"General", "Late", nullptr}, // only the first of two equal sections counts
        {"Missing", "SerialPort", nullptr},
    };
    platform::ProfileFile profile;
    profile.Parse(kSample);
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.section) + "/" + c.key);
        EXPECT_EQ(profile.GetString(c.section, c.key, "<default>"),
                  c.expected ? c.expected : "<default>");
    }
}

TEST(ProfileRead, IntegersAndBooleans) {
    struct Case {
        const char* value;
        int expected;
    } ints[] = {
        {"42", 42},
        {"  -7 ", -7},
        {"+5", 5},
        {"12abc", 12},
        {"abc", -1}, // no number: the default
        {"", -1},
        {"- 3", -1},
        {"2147483647", INT_MAX},
        {"99999999999999999999999999", INT_MAX}, // saturates, never wraps
        {"-99999999999999999999999999", INT_MIN},
        {"65537", 65537}, // no narrowing here: callers check their limits
    };
    for (const auto& c : ints) {
        SCOPED_TRACE(c.value);
        platform::ProfileFile profile;
        profile.Parse(std::string("[S]\nk=") + c.value + "\n");
        EXPECT_EQ(profile.GetInt("S", "k", -1), c.expected);
    }
    platform::ProfileFile profile;
    profile.Parse("[S]\na=TRUE\nb=true\nc=yes\nd=FALSE\n");
    EXPECT_TRUE(profile.GetBool("S", "a", false));
    EXPECT_TRUE(profile.GetBool("S", "b", false));
    EXPECT_FALSE(profile.GetBool("S", "c", true));
    EXPECT_FALSE(profile.GetBool("S", "d", true));
    EXPECT_TRUE(profile.GetBool("S", "missing", true));
    EXPECT_EQ(profile.GetInt("S", "missing", 18), 18);
}

TEST(ProfileWrite, ChangesOnlyWhatItMust) {
    struct Case {
        const char* name;
        const char* before;
        const char* section;
        const char* key;
        const char* value;
        const char* after;
    } cases[] = {
        {"update keeps the file's key spelling, the order and every other line",
         "; top\r\n[A]\r\nx=1\r\n; note\r\n  Key One = old \r\nz=3\r\n\r\n[B]\r\nKey One=b\r\n",
         "a", "KEY ONE", "new",
         "; top\r\n[A]\r\nx=1\r\n; note\r\nKey One=new\r\nz=3\r\n\r\n[B]\r\nKey One=b\r\n"},
        {"new key goes after the section's last line, before the blank ones",
         "[A]\nx=1\n\n\n[B]\ny=2\n", "A", "n", "5", "[A]\nx=1\nn=5\n\n\n[B]\ny=2\n"},
        {"new key in the last section of a file without a final line ending", "[A]\nx=1", "A", "y",
         "2", "[A]\nx=1\ny=2\n"},
        {"new key in an empty section", "[A]\n[B]\n", "A", "k", "v", "[A]\nk=v\n[B]\n"},
        {"new section at the end, parted by a blank line", "[A]\nx=1\n", "B", "k", "v",
         "[A]\nx=1\n\n[B]\nk=v\n"},
        {"new section after a final blank line adds no second one", "[A]\nx=1\n\n", "B", "k", "v",
         "[A]\nx=1\n\n[B]\nk=v\n"},
        {"new lines take the file's line ending", "[A]\r\nx=1\r\n", "B", "k", "v",
         "[A]\r\nx=1\r\n\r\n[B]\r\nk=v\r\n"},
        {"each line keeps its own ending", "[A]\r\nx=1\ny=2\r\n", "A", "x", "9",
         "[A]\r\nx=9\ny=2\r\n"},
        {"empty file", "", "General", "New File At Startup", "FALSE",
         "[General]\nNew File At Startup=FALSE\n"},
        {"empty value", "[A]\nx=1\n", "A", "x", "", "[A]\nx=\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        platform::ProfileFile profile;
        profile.Parse(c.before);
        EXPECT_TRUE(profile.SetString(c.section, c.key, c.value));
        EXPECT_EQ(profile.Text(), c.after);
        EXPECT_EQ(profile.GetString(c.section, c.key, "<default>"), c.value);
    }
}

TEST(ProfileWrite, RefusesWhatALineCannotHold) {
    struct Case {
        const char* section;
        const char* key;
        const char* value;
    } cases[] = {
        {"A", "x", "two\nlines"}, // would add a key of its own
        {"A", "x", "cr\rinside"}, {"A", "x=y", "1"}, {"A", "", "1"},   {"", "x", "1"},
        {"A]", "x", "1"},         {"A", "[B]", "1"}, {"A", ";x", "1"}, {"A\n", "x", "1"},
    };
    for (const auto& c : cases) {
        platform::ProfileFile profile;
        profile.Parse("[A]\nx=1\n");
        EXPECT_FALSE(profile.SetString(c.section, c.key, c.value)) << c.section << c.key;
        EXPECT_EQ(profile.Text(), "[A]\nx=1\n");
    }
}

TEST(ProfileFiles, WriteCreatesAPrivateFileAndReadsBack) {
    TempDir t;
    fs::path path = t.path / "new folder" / "velmora.ini";
    EXPECT_EQ(platform::GetProfileString(path, "General", "Font Face", "Arial"), "Arial");
    ASSERT_TRUE(platform::WriteProfileBool(path, "General", "Spreadsheet Hints", true));
    ASSERT_TRUE(platform::WriteProfileInt(path, "Download", "SerialTimeout", 3000));
    ASSERT_TRUE(platform::WriteProfileString(path, "Tools", "User Defined Path 1", "/usr/bin/bc"));
    EXPECT_EQ(Mode(path), 0600u);
    EXPECT_TRUE(platform::GetProfileBool(path, "general", "spreadsheet hints", false));
    EXPECT_EQ(platform::GetProfileInt(path, "Download", "SerialTimeout", 0), 3000);
    EXPECT_EQ(platform::GetProfileString(path, "Tools", "User Defined Path 1", ""), "/usr/bin/bc");
    EXPECT_EQ(ReadFile(path), "[General]\nSpreadsheet Hints=TRUE\n\n[Download]\n"
                              "SerialTimeout=3000\n\n[Tools]\nUser Defined Path 1=/usr/bin/bc\n");
    // No temporary file is left beside it.
    EXPECT_EQ(std::distance(fs::directory_iterator(path.parent_path()), fs::directory_iterator()),
              1);
}

TEST(ProfileFiles, RewriteKeepsTheRestAndMakesTheFilePrivate) {
    TempDir t;
    fs::path path = t.path / "velmora.ini";
    const std::string before = "; kept\r\n[Recent File List]\r\nFile1=/shows/a.ksf\r\n\r\n"
                               "[Download]\r\nSerialPort=0\r\nMessages=Minimal\r\n";
    WriteFile(path, before);
    chmod(path.c_str(), 0644);
    ASSERT_TRUE(platform::WriteProfileInt(path, "download", "serialport", 2));
    EXPECT_EQ(ReadFile(path), "; kept\r\n[Recent File List]\r\nFile1=/shows/a.ksf\r\n\r\n"
                              "[Download]\r\nSerialPort=2\r\nMessages=Minimal\r\n");
    EXPECT_EQ(Mode(path), 0600u);
}

TEST(ProfileFiles, AProfileThatCannotBeReadIsNotReplaced) {
    TempDir t;
    fs::path path = t.path / "velmora.ini";
    fs::create_directory(path); // exists, but is no file
    EXPECT_FALSE(platform::WriteProfileString(path, "General", "x", "1"));
    EXPECT_TRUE(fs::is_directory(path));
    EXPECT_EQ(platform::GetProfileString(path, "General", "x", "default"), "default");
}

TEST(ProfileFiles, WritingThroughALinkChangesItsTarget) {
    TempDir t;
    WriteFile(t.path / "real.ini", "[A]\nx=1\n");
    fs::create_symlink(t.path / "real.ini", t.path / "link.ini");
    ASSERT_TRUE(platform::WriteProfileString(t.path / "link.ini", "A", "x", "2"));
    EXPECT_TRUE(fs::is_symlink(t.path / "link.ini"));
    EXPECT_EQ(ReadFile(t.path / "real.ini"), "[A]\nx=2\n");

    // A link to a file that is not there yet, through a relative link in another folder:
    // the first write makes the file it points to, and the link stays.
    fs::create_directory(t.path / "store");
    fs::create_symlink("store/next.ini", t.path / "dangling.ini");
    fs::create_symlink("../dangling.ini", t.path / "store" / "chain.ini");
    ASSERT_TRUE(platform::WriteProfileString(t.path / "store" / "chain.ini", "B", "y", "3"));
    EXPECT_TRUE(fs::is_symlink(t.path / "dangling.ini"));
    EXPECT_TRUE(fs::is_symlink(t.path / "store" / "chain.ini"));
    EXPECT_EQ(ReadFile(t.path / "store" / "next.ini"), "[B]\ny=3\n");

    // A loop of links is not written through: the write fails and the links stay.
    fs::create_symlink("loop2.ini", t.path / "loop1.ini");
    fs::create_symlink("loop1.ini", t.path / "loop2.ini");
    EXPECT_FALSE(platform::WriteProfileString(t.path / "loop1.ini", "A", "x", "1"));
    EXPECT_TRUE(fs::is_symlink(t.path / "loop1.ini"));
}

TEST(ProfileFiles, DefaultPathFollowsTheConfigurationFolder) {
    {
        ScopedEnv xdg("XDG_CONFIG_HOME", "/srv/config");
        EXPECT_EQ(platform::DefaultProfilePath(), fs::path("/srv/config/velmora/velmora.ini"));
        EXPECT_EQ(platform::DefaultProfilePath("pactwright.ini"),
                  fs::path("/srv/config/velmora/pactwright.ini"));
    }
    ScopedEnv home("HOME", "/home/show");
    for (const char* unusable : {static_cast<const char*>(nullptr), "", "relative/dir"}) {
        ScopedEnv xdg("XDG_CONFIG_HOME", unusable);
        EXPECT_EQ(platform::DefaultProfilePath(),
                  fs::path("/home/show/.config/velmora/velmora.ini"));
    }
}

TEST(ProfileFiles, CallsWithoutAPathUseTheProgramsProfile) {
    TempDir t;
    ScopedEnv xdg("XDG_CONFIG_HOME", t.path.c_str());
    ASSERT_TRUE(platform::WriteProfileString("Tools", "User Defined Name 1", "&Calculator"));
    ASSERT_TRUE(platform::WriteProfileBool("General", "New File At Startup", false));
    EXPECT_EQ(platform::GetProfileString("Tools", "User Defined Name 1", ""), "&Calculator");
    EXPECT_FALSE(platform::GetProfileBool("General", "New File At Startup", true));
    EXPECT_EQ(Mode(t.path / "velmora" / "velmora.ini"), 0600u);
    EXPECT_EQ(Mode(t.path / "velmora") & 0077u, 0u);
}

} // namespace
