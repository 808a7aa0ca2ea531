#include "script/product.h"

#include "platform/paths.h"
#include "tests/support/scripted_ui.h"

#include <algorithm>
#include <fstream>
#include <gtest/gtest.h>
#include <set>

namespace fs = std::filesystem;

namespace {

class TempDir {
public:
    TempDir() {
        char tmpl[] = "/tmp/velmora-product-XXXXXX";
        path = mkdtemp(tmpl);
    }
    ~TempDir() { fs::remove_all(path); }
    std::string Write(const std::string& name, const std::string& text) const {
        std::ofstream(path / name, std::ios::binary) << text;
        return (path / name).string();
    }
    fs::path path;
};

// A product file with the given [Product] counts and extra sections.
std::string ProductText(const std::string& productKeys, const std::string& more = "") {
    return "[Configuration]\r\nVersion=1.00\r\n[Product]\r\nName=Test\r\n" + productKeys + more;
}

struct ReadResult {
    bool ok;
    std::vector<std::string> messages;
    std::unique_ptr<CProduct> product;
};

ReadResult Read(const std::string& path) {
    testing_support::ScriptedUi ui;
    auto product = std::make_unique<CProduct>();
    bool ok = product->ReadProductFile(path);
    return {ok, ui.Texts(), std::move(product)};
}

TEST(ProductRead, BadFilesGiveTheirMessage) {
    TempDir t;
    const std::string missing = (t.path / "missing.cfg").string();
    const std::string folder = (t.path / "folder.cfg").string();
    fs::create_directory(folder);
    const std::string noVersion = t.Write("nover.cfg", "[Product]\r\nName=X\r\nInputs=4\r\n");

    struct Case {
        std::string path;
        std::string message;
    } cases[] = {
        {missing, "Read Product:  Could not open " + missing + " for reading"},
        {folder, "Read Product:  Could not open " + folder + " for reading"},
        {noVersion, noVersion + " is an invalid Product configuration file.  Version=x.xx missing"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        auto r = Read(c.path);
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.messages, std::vector<std::string>{c.message});
    }
}

TEST(ProductRead, CountsOverTheirLimitsStopTheRead) {
    TempDir t;
    struct Case {
        const char* keys;
        const char* message;
    } cases[] = {
        {"Inputs=257", "Read Product:  Number of Inputs has exceeded maximum"},
        // Checked before narrowing: these must not wrap round to an acceptable count.
        {"Inputs=65537", "Read Product:  Number of Inputs has exceeded maximum"},
        {"Inputs=-1", "Read Product:  Number of Inputs has exceeded maximum"},
        {"Inputs=-65536", "Read Product:  Number of Inputs has exceeded maximum"},
        {"Inputs=99999999999999999999999", "Read Product:  Number of Inputs has exceeded maximum"},
        {"Outputs=257", "Read Product:  Number of Outputs has exceeded maximum"},
        {"Flags=65", "Read Product:  Number of Flags has exceeded maximum"},
        {"Vars=65", "Read Product:  Number of Vars has exceeded maximum"},
        {"Ports=65", "Read Product:  Number of Ports has exceeded maximum"},
        {"Ports=4294967360", "Read Product:  Number of Ports has exceeded maximum"},
        {"Events=257", "Read Product:  Number of Commands has exceeded maximum"},
        // The first count over its limit is the one reported.
        {"Events=999\r\nVars=100\r\nInputs=300",
         "Read Product:  Number of Inputs has exceeded maximum"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.keys);
        auto r = Read(t.Write("bad.cfg", ProductText(std::string(c.keys) + "\r\n")));
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.messages, std::vector<std::string>{c.message});
    }
}

TEST(ProductRead, ReadsAWholeProduct) {
    TempDir t;
    const std::string path = t.Write(
        "full.cfg",
        "; a product\r\n[configuration]\r\nversion = anything\r\n"
        "[PRODUCT]\r\nname = Stage Box\r\nHelpFile=box.chm\r\nRemoteProtocol=Remote_9\r\n"
        "Lcd=16x2\r\nInputs=256\r\nOutputs=3\r\nFlags=64\r\nVars=2\r\nPorts=4\r\nEvents=2\r\n"
        "[Inputs]\r\nInput1=Door,n\r\nInput2=Door;N remark\r\nInput3=Button , N\r\n"
        "Input256=Last,Y N\r\n"
        "[Outputs]\r\nOutput1=Lamp\r\nOutput2=Fan,;N\r\nOutput4=beyond the count\r\n"
        "[Flags]\r\nFlag64=Top,xN\r\n"
        "[Port0]\r\nName=Host,N\r\nRemap=16\r\nInterface=serial\r\nProtocol=None,N\r\n"
        "BaudRates=19200 ,9600,38400\r\nDataBits=8,7\r\nStopBits=1,2\r\nParity=N,E,O\r\n"
        "Address=4,5\r\n"
        "[Port1]\r\nName=Disc\r\nInterface=SCSI\r\nProtocol=Disc_Player\r\nAddress=3,4,5\r\n"
        "BaudRates=9600\r\n"
        "[Port2]\r\nName=Net\r\nInterface=Ethernet\r\nBaudRates=9600\r\nAddress=1\r\n"
        "[Port4]\r\nName=NotRead\r\n"
        "[Events]\r\nEvent1=Nop\r\nEvent2=Display\r\nEvent3=Beyond\r\n");
    auto r = Read(path);
    ASSERT_TRUE(r.ok);
    EXPECT_TRUE(r.messages.empty());
    const CProduct& p = *r.product;
    EXPECT_EQ(p.m_strName, "Stage Box");
    EXPECT_EQ(p.m_strFilePath, path);
    EXPECT_EQ(p.m_strHelpFile, "box.chm");
    EXPECT_EQ(p.m_strRemoteProtocol, "Remote_9");
    EXPECT_EQ(p.m_strLcd, "16x2");
    EXPECT_EQ(p.m_wInputs, 256);
    EXPECT_EQ(p.m_wOutputs, 3);
    EXPECT_EQ(p.m_wFlags, 64);
    EXPECT_EQ(p.m_wVars, 2);
    EXPECT_EQ(p.m_wPorts, 4);
    EXPECT_EQ(p.m_wMemory, 8); // no Memory key
    EXPECT_EQ(p.m_wEvents, 2);

    struct Entry {
        const CProductResource& entry;
        const char* name;
        int fixed;
    } entries[] = {
        {p.m_Inputs[0], "Door", 1}, {p.m_Inputs[1], "Door", 0},   {p.m_Inputs[2], "Button", 1},
        {p.m_Inputs[3], "", 0},     {p.m_Inputs[255], "Last", 0}, {p.m_Outputs[0], "Lamp", 0},
        {p.m_Outputs[1], "Fan", 0}, {p.m_Outputs[3], "", 0},      {p.m_Flags[63], "Top", 1},
        {p.m_Vars[0], "", 0},
    };
    for (const auto& e : entries) {
        EXPECT_EQ(e.entry.m_strName, e.name);
        EXPECT_EQ(e.entry.m_nFixedName, e.fixed) << e.name;
    }

    const CProductPort& serial = p.m_Ports[0];
    EXPECT_EQ(serial.m_strName, "Host");
    EXPECT_EQ(serial.m_nFixedName, 1);
    EXPECT_EQ(serial.m_strProtocol, "None");
    EXPECT_EQ(serial.m_nFixedProtocol, 1);
    EXPECT_EQ(serial.m_strRemap, "16");
    EXPECT_EQ(serial.m_strBaudRates, "19200 ,9600,38400");
    EXPECT_EQ(serial.m_strBaudRate, "19200");
    EXPECT_EQ(serial.m_strDataBits, "8");
    EXPECT_EQ(serial.m_strStopBitsList, "1,2");
    EXPECT_EQ(serial.m_strParity, "N");
    EXPECT_EQ(serial.m_strAddressList, ""); // a serial port has no SCSI address
    EXPECT_EQ(serial.m_strScsiAddress, "");

    const CProductPort& scsi = p.m_Ports[1];
    EXPECT_EQ(scsi.m_strProtocol, "Disc_Player");
    EXPECT_EQ(scsi.m_nFixedProtocol, 0);
    EXPECT_EQ(scsi.m_strAddressList, "3,4,5");
    EXPECT_EQ(scsi.m_strScsiAddress, "3");
    EXPECT_EQ(scsi.m_strBaudRates, "");

    const CProductPort& other = p.m_Ports[2];
    EXPECT_EQ(other.m_strInterface, "Ethernet");
    EXPECT_EQ(other.m_strBaudRates, "");
    EXPECT_EQ(other.m_strAddressList, "");
    EXPECT_EQ(p.m_Ports[3].m_strName, ""); // counted, but without a section
    EXPECT_EQ(p.m_Ports[4].m_strName, ""); // beyond the count

    EXPECT_EQ(p.m_strEventNames[0], "Nop");
    EXPECT_EQ(p.m_strEventNames[1], "Display");
    EXPECT_EQ(p.m_strEventNames[2], "");
}

TEST(ProductRead, MemoryAndLongTexts) {
    TempDir t;
    struct Case {
        const char* memory;
        int expected;
    } cases[] = {{"Memory=64\r\n", 64},
                 {"Memory=65535\r\n", 65535},
                 {"Memory=70000\r\n", 65535}, // held to 16 bits instead of wrapping
                 {"Memory=-5\r\n", 0},
                 {"Memory=lots\r\n", 8}};
    for (const auto& c : cases) {
        auto r = Read(t.Write("m.cfg", ProductText(c.memory)));
        ASSERT_TRUE(r.ok);
        EXPECT_EQ(r.product->m_wMemory, c.expected) << c.memory;
    }
    // Text values are held to 255 characters.
    std::string longName(400, 'x');
    auto r = Read(t.Write("long.cfg", "[Configuration]\nVersion=1\n[Product]\nName=" + longName +
                                          "\nInputs=1\n[Inputs]\nInput1=" + longName + ",N\n"));
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.product->m_strName, std::string(255, 'x'));
    EXPECT_EQ(r.product->m_Inputs[0].m_strName, std::string(255, 'x'));
    EXPECT_EQ(r.product->m_Inputs[0].m_nFixedName, 0); // the option was cut off with the rest
}

// A product of the list and a script's private copy for the copy operations.
std::unique_ptr<CProduct> ListProduct() {
    auto p = std::make_unique<CProduct>();
    p->m_strName = "Harnel16";
    p->m_strFilePath = "/opt/velmora/PRODUCTS/Harnel16.cfg";
    p->m_strLcd = "40x2";
    p->m_wInputs = 4;
    p->m_wFlags = 2;
    p->m_wPorts = 2;
    p->m_wMemory = 64;
    p->m_wEvents = 1;
    for (int i = 0; i < 4; ++i)
        p->m_Inputs[i].m_strName = "Input" + std::to_string(i + 1);
    p->m_Inputs[1].m_nFixedName = 1;
    p->m_Flags[0].m_strName = "Flag1";
    p->m_Flags[1].m_strName = "Flag2";
    for (int i = 0; i < 2; ++i) {
        CProductPort& port = p->m_Ports[i];
        port.m_strName = "Port" + std::to_string(i);
        port.m_strInterface = "Serial";
        port.m_strProtocol = "None";
        port.m_strBaudRate = "9600";
        port.m_strDataBits = "8";
        port.m_strStopBits = "1";
        port.m_strParity = "N";
        port.m_strBaudRates = "9600,19200";
    }
    p->m_Ports[0].m_nFixedName = 1;
    p->m_Ports[0].m_nFixedProtocol = 1;
    p->m_Ports[1].m_strRemap = "5";
    p->m_strEventNames[0] = "Nop";
    return p;
}

std::unique_ptr<CProduct> ScriptCopy() {
    auto s = std::make_unique<CProduct>();
    s->m_strName = "Old";
    s->m_wInputs = 6;
    s->m_wPorts = 3;
    s->m_wEvents = 3;
    for (int i = 0; i < 6; ++i) {
        s->m_Inputs[i].m_strName = "Mine" + std::to_string(i + 1);
        s->m_Inputs[i].m_strComment = "note" + std::to_string(i + 1);
    }
    s->m_Inputs[0].m_strName = "";
    s->m_Flags[5].m_strName = "Stale";
    for (int i = 0; i < 3; ++i) {
        CProductPort& port = s->m_Ports[i];
        port.m_strName = "Video" + std::to_string(i);
        port.m_strComment = "player";
        port.m_strProtocol = "Brevant_Pelvane_2";
        port.m_strBaudRate = "38400";
        port.m_strErrorSequence = "Error" + std::to_string(i);
        port.m_strScsiAddress = "2";
    }
    s->m_strEventNames = {"A", "B", "C"};
    return s;
}

TEST(ProductCopy, ApplyingAProductKeepsTheScriptsOwnNamesUnlessFixed) {
    auto product = ListProduct();
    auto script = ScriptCopy();
    script->ApplyFrom(*product);
    const CProduct& s = *script;
    EXPECT_EQ(s.m_strName, "Harnel16");
    EXPECT_EQ(s.m_strFilePath, product->m_strFilePath);
    EXPECT_EQ(s.m_wInputs, 4);
    EXPECT_EQ(s.m_wMemory, 64);
    EXPECT_EQ(s.m_Inputs[0].m_strName, "Input1"); // was empty
    EXPECT_EQ(s.m_Inputs[1].m_strName, "Input2"); // fixed by the product
    EXPECT_EQ(s.m_Inputs[1].m_nFixedName, 1);
    EXPECT_EQ(s.m_Inputs[2].m_strName, "Mine3"); // the script's own
    EXPECT_EQ(s.m_Inputs[2].m_strComment, "note3");
    EXPECT_EQ(s.m_Inputs[4].m_strName, ""); // beyond the new count
    EXPECT_EQ(s.m_Inputs[4].m_strComment, "");
    EXPECT_EQ(s.m_Flags[0].m_strName, "Flag1");
    EXPECT_EQ(s.m_Flags[5].m_strName, "");

    const CProductPort& fixed = s.m_Ports[0];
    EXPECT_EQ(fixed.m_strName, "Port0");
    EXPECT_EQ(fixed.m_strProtocol, "None");
    EXPECT_EQ(fixed.m_strBaudRate, "9600"); // settings return to the product's defaults
    EXPECT_EQ(fixed.m_strComment, "player");
    EXPECT_EQ(fixed.m_strErrorSequence, "Error0");
    const CProductPort& free = s.m_Ports[1];
    EXPECT_EQ(free.m_strName, "Video1");
    EXPECT_EQ(free.m_strProtocol, "Brevant_Pelvane_2");
    EXPECT_EQ(free.m_strRemap, "5");
    EXPECT_EQ(free.m_strInterface, "Serial");
    EXPECT_EQ(free.m_strBaudRates, ""); // the allowed lists stay with the list's product
    const CProductPort& gone = s.m_Ports[2];
    EXPECT_EQ(gone.m_strName, "");
    EXPECT_EQ(gone.m_strProtocol, "");
    EXPECT_EQ(gone.m_strComment, "");
    EXPECT_EQ(gone.m_strErrorSequence, "");
    EXPECT_EQ(gone.m_strScsiAddress, "");

    EXPECT_EQ(s.m_strEventNames[0], "Nop");
    EXPECT_EQ(s.m_strEventNames[1], "");
}

TEST(ProductCopy, ANewScriptTakesTheProductsNamesAndKeepsComments) {
    auto product = ListProduct();
    auto script = ScriptCopy();
    script->CopyDefinition(*product);
    const CProduct& s = *script;
    EXPECT_EQ(s.m_strName, "Harnel16");
    EXPECT_EQ(s.m_strLcd, "40x2");
    EXPECT_EQ(s.m_wPorts, 2);
    EXPECT_EQ(s.m_Inputs[2].m_strName, "Input3");
    EXPECT_EQ(s.m_Inputs[2].m_strComment, "note3");
    EXPECT_EQ(s.m_Ports[1].m_strName, "Port1");
    EXPECT_EQ(s.m_Ports[1].m_strProtocol, "None");
    EXPECT_EQ(s.m_Ports[1].m_strBaudRate, "9600");
    EXPECT_EQ(s.m_Ports[1].m_strComment, "player");
    EXPECT_EQ(s.m_Ports[0].m_nFixedProtocol, 1);
    EXPECT_EQ(s.m_strEventNames[0], "Nop");
    // A plain copy is the whole product, as the list holds it.
    CProduct whole = *product;
    EXPECT_EQ(whole.m_Ports[0].m_strBaudRates, "9600,19200");
}

// Every field of the product's definition reaches the script's copy, by either copy.
TEST(ProductCopy, BothCopiesTakeEveryDefinitionField) {
    CProduct product;
    product.m_strName = "Quarnel8";
    product.m_strFilePath = "/opt/velmora/PRODUCTS/Quarnel8.cfg";
    product.m_strHelpFile = "quarnel.hlp";
    product.m_strRemoteProtocol = "Brevant_9_Bit_Control";
    product.m_strLcd = "16x2";
    product.m_wInputs = 3;
    product.m_wOutputs = 4;
    product.m_wFlags = 5;
    product.m_wVars = 6;
    product.m_wPorts = 2;
    product.m_wMemory = 128;
    product.m_wEvents = 2;
    const auto fill = [](auto& resources, int count, const std::string& word) {
        for (int i = 0; i < count; ++i) {
            resources[i].m_strName = word + std::to_string(i + 1);
            resources[i].m_nFixedName = 1;
        }
    };
    fill(product.m_Inputs, 3, "In");
    fill(product.m_Outputs, 4, "Out");
    fill(product.m_Flags, 5, "Fl");
    fill(product.m_Vars, 6, "Va");
    for (int i = 0; i < 2; ++i) {
        CProductPort& port = product.m_Ports[i];
        port.m_strName = "Port" + std::to_string(i);
        port.m_strProtocol = "Proto" + std::to_string(i);
        port.m_strRemap = std::to_string(i + 4);
        port.m_strInterface = i == 0 ? "Serial" : "SCSI";
        port.m_strBaudRate = "19200";
        port.m_strDataBits = "7";
        port.m_strStopBits = "2";
        port.m_strParity = "E";
        port.m_strScsiAddress = "3";
        port.m_nFixedName = 1;
        port.m_nFixedProtocol = 1;
    }
    product.m_strEventNames[0] = "Nop";
    product.m_strEventNames[1] = "Wait";

    using Copy = void (CProduct::*)(const CProduct&);
    for (const auto& [name, copy] :
         {std::pair<const char*, Copy>{"copy", &CProduct::CopyDefinition},
          std::pair<const char*, Copy>{"apply", &CProduct::ApplyFrom}}) {
        SCOPED_TRACE(name);
        CProduct script;
        (script.*copy)(product);
        EXPECT_EQ(script.m_strName, product.m_strName);
        EXPECT_EQ(script.m_strFilePath, product.m_strFilePath);
        EXPECT_EQ(script.m_strHelpFile, product.m_strHelpFile);
        EXPECT_EQ(script.m_strRemoteProtocol, product.m_strRemoteProtocol);
        EXPECT_EQ(script.m_strLcd, product.m_strLcd);
        EXPECT_EQ(script.m_wInputs, 3);
        EXPECT_EQ(script.m_wOutputs, 4);
        EXPECT_EQ(script.m_wFlags, 5);
        EXPECT_EQ(script.m_wVars, 6);
        EXPECT_EQ(script.m_wPorts, 2);
        EXPECT_EQ(script.m_wMemory, 128);
        EXPECT_EQ(script.m_wEvents, 2);
        EXPECT_EQ(script.m_Inputs[2].m_strName, "In3");
        EXPECT_EQ(script.m_Outputs[3].m_strName, "Out4");
        EXPECT_EQ(script.m_Flags[4].m_strName, "Fl5");
        EXPECT_EQ(script.m_Vars[5].m_strName, "Va6");
        EXPECT_EQ(script.m_Vars[5].m_nFixedName, 1);
        for (int i = 0; i < 2; ++i) {
            const CProductPort& from = product.m_Ports[i];
            const CProductPort& to = script.m_Ports[i];
            EXPECT_EQ(to.m_strName, from.m_strName);
            EXPECT_EQ(to.m_strProtocol, from.m_strProtocol);
            EXPECT_EQ(to.m_strRemap, from.m_strRemap);
            EXPECT_EQ(to.m_strInterface, from.m_strInterface);
            EXPECT_EQ(to.m_strBaudRate, "19200");
            EXPECT_EQ(to.m_strDataBits, "7");
            EXPECT_EQ(to.m_strStopBits, "2");
            EXPECT_EQ(to.m_strParity, "E");
            EXPECT_EQ(to.m_strScsiAddress, "3");
            EXPECT_EQ(to.m_nFixedName, 1);
            EXPECT_EQ(to.m_nFixedProtocol, 1);
        }
        EXPECT_EQ(script.m_strEventNames[0], "Nop");
        EXPECT_EQ(script.m_strEventNames[1], "Wait");
    }
}

TEST(ProductList, FindsByNameExactlyOrWithoutCase) {
    CProdList list;
    for (const char* name : {"Harnel16", "Harnel4", "harnel16"}) {
        auto p = std::make_unique<CProduct>();
        p->m_strName = name;
        list.Add(std::move(p));
    }
    list.Add(nullptr);
    EXPECT_EQ(list.GetCount(), 3u);
    EXPECT_EQ(list.FindByName("harnel16"), 2u);
    EXPECT_EQ(list.FindByName("Harnel16"), 0u);
    EXPECT_FALSE(list.FindByName("HARNEL4"));
    EXPECT_EQ(list.FindByNameNoCase("HARNEL4"), 1u);
    EXPECT_FALSE(list.FindByNameNoCase("Harnel"));
    EXPECT_EQ(list.Names(), (std::vector<std::string>{"Harnel16", "Harnel4", "harnel16"}));
    EXPECT_EQ(list.GetAt(1).m_strName, "Harnel4");
}

// The products the installation ships.
class ShippedProducts : public ::testing::Test {
protected:
    void SetUp() override {
        testing_support::ScriptedUi ui;
        for (const auto& file : platform::ListFilesSorted(
                 fs::path(VELMORA_SOURCE_DIR) / "data" / "PRODUCTS", ".cfg")) {
            auto product = std::make_unique<CProduct>();
            EXPECT_TRUE(product->ReadProductFile(file.string())) << file;
            list.Add(std::move(product));
        }
        EXPECT_TRUE(ui.Texts().empty()) << ui.Texts().front();
    }
    const CProduct& Get(const char* name) {
        auto pos = list.FindByName(name);
        EXPECT_TRUE(pos) << name;
        return list.GetAt(pos.value_or(0));
    }
    CProdList list;
};

TEST_F(ShippedProducts, LoadWithoutMessagesInNameOrder) {
    EXPECT_EQ(list.Names(),
              (std::vector<std::string>{"Harnel16", "Harnel2", "Harnel4", "CD Pellucor"}));
}

TEST_F(ShippedProducts, HoldWhatTheScriptWizardBuilds) {
    // The wizard names input 1, flags 1, 2 and 4 to n + 3, and ports 1 to n for n players
    // (up to 16 on Harnel16, 4 on Harnel4), and writes LCD lines of 40 characters.
    struct Need {
        const char* product;
        int players;
    } needs[] = {{"Harnel16", 16}, {"Harnel4", 4}};
    for (const auto& n : needs) {
        const CProduct& p = Get(n.product);
        EXPECT_GE(p.m_wInputs, 1);
        EXPECT_GE(p.m_wFlags, n.players + 3);
        EXPECT_EQ(p.m_wPorts, n.players + 1);
        EXPECT_EQ(p.m_strLcd, "40x2");
        for (int i = 1; i <= n.players; ++i)
            EXPECT_TRUE(platform::EqualsNoCase(p.m_Ports[i].m_strInterface, "Serial"));
        std::set<std::string> events(p.m_strEventNames.begin(),
                                     p.m_strEventNames.begin() + p.m_wEvents);
        for (const char* e :
             {"Display", "Start", "IfOff", "Goto", "Toggle", "On", "Off", "Reset", "Pause", "Nop"})
            EXPECT_TRUE(events.count(e)) << n.product << " lacks " << e;
    }
    EXPECT_EQ(Get("Harnel2").m_strLcd, "16x2");
}

TEST_F(ShippedProducts, KnowEveryEventTheDosImportRenamesTo) {
    // The renaming table: old name, blanks or a comma, new name; ';' lines are remarks.
    std::ifstream in(fs::path(VELMORA_SOURCE_DIR) / "data" / "Utilities" / "IMPORT.FLT",
                     std::ios::binary);
    ASSERT_TRUE(in);
    const CProduct& harnel16 = Get("Harnel16");
    std::set<std::string> events(harnel16.m_strEventNames.begin(),
                                 harnel16.m_strEventNames.begin() + harnel16.m_wEvents);
    int pairs = 0;
    for (std::string line; std::getline(in, line);) {
        ASSERT_TRUE(!line.empty() && line.back() == '\r') << "every line ends in CR LF";
        line.pop_back();
        if (line.empty() || line.front() == ';')
            continue;
        size_t sep = line.find_first_of(" \t,");
        ASSERT_NE(sep, std::string::npos) << line;
        std::string newName = line.substr(line.find_first_not_of(" \t,", sep));
        EXPECT_TRUE(events.count(newName)) << newName;
        ++pairs;
    }
    EXPECT_GE(pairs, 4);
}

TEST_F(ShippedProducts, DefaultPortSettingsPassTheCompilersChecks) {
    const std::set<std::string> bauds{"300",   "1200",  "2400",  "4800", "9600",
                                      "19200", "31250", "38400", "OFF"};
    for (const auto& product : list) {
        std::set<std::string> scsiAddresses;
        for (int i = 0; i < product->m_wPorts; ++i) {
            const CProductPort& port = product->m_Ports[i];
            SCOPED_TRACE(product->m_strName + " port " + std::to_string(i));
            EXPECT_FALSE(port.m_strName.empty());
            EXPECT_TRUE(port.m_strRemap.empty());
            if (platform::EqualsNoCase(port.m_strInterface, "Serial")) {
                EXPECT_TRUE(bauds.count(port.m_strBaudRate));
                EXPECT_TRUE(port.m_strParity == "N" || port.m_strParity == "E" ||
                            port.m_strParity == "O");
                EXPECT_TRUE(port.m_strDataBits == "8" || port.m_strDataBits == "7");
                EXPECT_TRUE(port.m_strStopBits == "1" || port.m_strStopBits == "2");
                // Only the first ten entries of a list are looked at.
                EXPECT_LE(std::count(port.m_strBaudRates.begin(), port.m_strBaudRates.end(), ','),
                          9);
            } else {
                ASSERT_TRUE(platform::EqualsNoCase(port.m_strInterface, "SCSI"));
                int address = std::stoi(port.m_strScsiAddress);
                EXPECT_GE(address, 0);
                EXPECT_LE(address, 6);
                EXPECT_TRUE(scsiAddresses.insert(port.m_strScsiAddress).second)
                    << "two SCSI ports share an address by default";
            }
        }
    }
}

} // namespace
