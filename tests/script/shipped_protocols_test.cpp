// The protocol files of the installation: every one loads without a message, and their
// commands are ones the event compiler can use.
#include "platform/paths.h"
#include "script/protocol.h"
#include "script/protocol_list.h"
#include "script/text_utils.h"
#include "tests/support/scripted_ui.h"

#include <cctype>
#include <cstring>
#include <gtest/gtest.h>
#include <map>
#include <set>

namespace {

const std::filesystem::path kProtocolDir =
    std::filesystem::path(VELMORA_SOURCE_DIR) / "data" / "PROTOCOL";

// Loads the installation's protocols as start-up does: PROTOCOL, then PROTOCOL/My Protocols.
class ShippedProtocols : public ::testing::Test {
protected:
    void SetUp() override {
        for (const auto& dir : {kProtocolDir, kProtocolDir / "My Protocols"}) {
            for (const auto& path : platform::ListFilesSorted(dir, ".pcl")) {
                auto protocol = std::make_unique<CProtocol>();
                ASSERT_TRUE(protocol->ReadDevice(path.string())) << path;
                ASSERT_TRUE(protocol->LoadCommands()) << path;
                list.AddTail(std::move(protocol));
            }
        }
        ASSERT_TRUE(ui.boxes.empty()) << ui.Texts().front();
    }
    const CProtocol& Find(const char* name) {
        CProtocol* pos = nullptr;
        EXPECT_TRUE(list.FindProtocol(name, pos, true)) << name;
        static CProtocol none;
        return pos ? *pos : none;
    }
    static std::set<std::string> Categories(const CProtocol& p) {
        std::set<std::string> out;
        for (const auto& c : p.m_poCmndList)
            out.insert(c->GetCategory());
        return out;
    }
    testing_support::ScriptedUi ui;
    CProList list;
};

// The items of a message template: cut at ',' and blanks outside quotes and parentheses.
std::vector<std::string> TemplateItems(const std::string& text) {
    std::vector<std::string> items;
    std::string item;
    bool quoted = false;
    int depth = 0;
    for (char c : text) {
        if (c == '"')
            quoted = !quoted;
        if (!quoted && c == '(')
            ++depth;
        if (!quoted && c == ')')
            --depth;
        if (!quoted && depth == 0 && (c == ',' || c == ' ')) {
            if (!item.empty())
                items.push_back(item);
            item.clear();
        } else {
            item.push_back(c);
        }
    }
    if (!item.empty())
        items.push_back(item);
    return items;
}

// A plain byte in the notations the files use: decimal or h-prefixed hexadecimal.
bool IsByteValue(const std::string& item) {
    if (item.empty() || item.size() > 3)
        return false;
    bool hex = item[0] == 'h';
    std::size_t start = hex ? 1 : 0;
    if (start == item.size())
        return false;
    int value = 0;
    for (std::size_t i = start; i < item.size(); ++i) {
        char c = static_cast<char>(std::tolower(static_cast<unsigned char>(item[i])));
        int digit = (c >= '0' && c <= '9')          ? c - '0'
                    : (hex && c >= 'a' && c <= 'f') ? c - 'a' + 10
                                                    : -1;
        if (digit < 0)
            return false;
        value = value * (hex ? 16 : 10) + digit;
    }
    return value <= 255;
}

// Every ParamN and ByteN a text names must exist in the command.
void CheckReferences(const CCmnd& c, const std::string& text) {
    for (const char* word : {"Param", "Byte"}) {
        const int limit = std::string(word) == "Param" ? c.m_nParamCount : c.m_nByteCount;
        for (std::size_t at = text.find(word); at != std::string::npos;
             at = text.find(word, at + 1)) {
            std::size_t end = at + std::strlen(word);
            int n = 0;
            while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end])))
                n = n * 10 + (text[end++] - '0');
            EXPECT_TRUE(n >= 1 && n <= limit) << c.GetName() << ": " << text;
        }
    }
}

bool IsTemplateItem(const CCmnd& c, const std::string& item) {
    static const std::set<std::string> functions = {
        "@byte",       "@word",    "@length", "@string",      "@decstring", "@hexstring",
        "@index",      "@hour",    "@minute", "@second",      "@frame",     "@track",
        "@trackindex", "@complex", "@barco",  "@checksum",    "@msg",       "@msgposition",
        "@lsb",        "@msb",     "@qornet", "@unitaddress", "@msglength"};
    if (item[0] == '@') {
        std::size_t open = item.find('(');
        return open != std::string::npos && item.back() == ')' &&
               functions.count(item.substr(0, open)) == 1;
    }
    if (item.size() >= 4 && item.front() == '"' && item.back() == '"')
        return true;
    if (item.rfind("Param", 0) == 0)
        return true; // range checked by CheckReferences
    (void)c;
    return IsByteValue(item);
}

TEST_F(ShippedProtocols, CommandsAreUsableByTheCompiler) {
    std::set<std::string> names;
    for (const auto& p : list) {
        const std::string display = p->GetDisplayName();
        EXPECT_TRUE(names.insert(display).second) << "two protocols named " << display;
        EXPECT_FALSE(p->m_poCmndList.empty()) << display;
        EXPECT_FALSE(p->m_strSupported.empty()) << display;
        std::set<std::string> commands;
        for (const auto& c : p->m_poCmndList) {
            const std::string where = display + " " + c->GetName();
            EXPECT_TRUE(commands.insert(c->GetName()).second) << "duplicate " << where;
            EXPECT_EQ(NormalizeName(c->GetName(), true), c->GetName()) << where;
            EXPECT_NE(c->GetName().find(':'), std::string::npos) << where;
            EXPECT_FALSE(c->m_strDescription.empty()) << where;
            EXPECT_FALSE(c->m_strSupported.empty()) << where;
            ASSERT_FALSE(c->m_strMessage.empty()) << where;
            for (const auto& item : TemplateItems(c->m_strMessage))
                EXPECT_TRUE(IsTemplateItem(*c, item)) << where << ": " << item;
            CheckReferences(*c, c->m_strMessage);
            for (int b = 0; b < c->m_nByteCount; ++b)
                CheckReferences(*c, c->m_strBytes[static_cast<std::size_t>(b)]);
            for (int n = 0; n < c->m_nParamCount; ++n) {
                const CParam& param = c->m_Params[static_cast<std::size_t>(n)];
                EXPECT_FALSE(param.m_strDescription.empty()) << where << " Param" << n + 1;
                for (int g = 0; g < param.m_nGroupCount; ++g)
                    EXPECT_GT(param.m_Or[static_cast<std::size_t>(g)].m_nTermCount, 0) << where;
            }
            // Device commands are addressed to the port the device hangs on.
            if (display != CProList::kEventProtocolName) {
                ASSERT_GE(c->m_nParamCount, 1) << where;
                const COr& first = c->m_Params[0].m_Or[0];
                EXPECT_TRUE(first.m_And[0].m_nType == kTypePort ||
                            first.m_And[0].m_nType == kTypePortTypeRemote)
                    << where;
            }
        }
    }
    EXPECT_TRUE(names.count("Brevant_Pelvane_2"));
}

TEST_F(ShippedProtocols, EventProtocolIsFoundOnlyWhenAskedFor) {
    CProtocol* pos = nullptr;
    EXPECT_FALSE(list.FindProtocol("Brevant_Events", pos, false));
    ASSERT_TRUE(list.FindProtocol("Brevant_Events", pos, true));
    EXPECT_TRUE(platform::EqualsNoCase(std::filesystem::path(pos->m_strPath).filename().string(),
                                       "QOREVNTS.PCL"));
    EXPECT_TRUE(platform::ResolveNoCase(VELMORA_SOURCE_DIR, "data\\protocol\\qorevnts.pcl"));
}

TEST_F(ShippedProtocols, EventProtocolHasEveryInternalEvent) {
    const CProtocol& events = Find("Brevant_Events");
    const std::set<std::string> have = Categories(events);
    for (const char* name :
         {"Nop",     "Goto",     "IfOn",       "IfOff",   "On",      "Off",          "Blink",
          "Pulse",   "Toggle",   "Display",    "Msgout",  "Start",   "Stop",         "Pause",
          "Reset",   "SetVarEQ", "AddVar",     "SubVar",  "IfVarEQ", "IfVarNE",      "IfVarLT",
          "IfVarGT", "IfVarLE",  "IfVarGE",    "ShowVar", "SendVar", "SendAsciiDec", "SendAsciiHex",
          "PutVar",  "SaveVar",  "RestoreVar", "OutPort", "ShwFlgs"})
        EXPECT_TRUE(have.count(name)) << name;

    // Each internal event has its own operation code: the first byte of its message.
    std::map<std::string, std::string> codes;
    for (const auto& c : events.m_poCmndList) {
        std::string code = TemplateItems(c->m_strMessage).front();
        auto [it, fresh] = codes.emplace(code, c->GetName());
        EXPECT_TRUE(fresh) << code << " used by " << it->second << " and " << c->GetName();
    }
}

TEST_F(ShippedProtocols, DeviceEventsOfTheWizardAndTheDosImportExist) {
    const auto pelvane = Categories(Find("Brevant_Pelvane_2"));
    for (const char* name : {"Play", "SelectClip", "UnMute", "Reset"})
        EXPECT_TRUE(pelvane.count(name)) << name;
    const auto reelvox = Categories(Find("Brevant_Professional_Reelvox_(20_track)"));
    for (const char* name :
         {"Play", "SPlay", "PlayAndLoop", "SPlayAndLoop", "Stop", "Pause", "Mute", "UnMute"})
        EXPECT_TRUE(reelvox.count(name)) << name;
    EXPECT_EQ(Find("Brevant_9_Bit_Control").m_strType, "Show Controller");
    EXPECT_EQ(Find("Brevant_Ostrel_Backplane").m_strProtocol, "OstrelBus");
}

} // namespace
