#include "script/protocol.h"

#include "platform/paths.h"
#include "platform/ui_services.h"
#include "script/ini_file.h"

#include <new>

const std::array<std::string_view, kParamTypeCount> kParamTypeKeywords = {
    "input",       "remoteinput",    "output",         "remoteoutput", "flag",        "remoteflag",
    "var",         "remotevar",      "port",           "remoteport",   "datastring",  "lcdstring",
    "sequence",    "remotesequence", "byte",           "word",         "string",      "bytelabel",
    "wordlabel",   "bytetime",       "wordtime",       "time",         "framestring", "timestring",
    "trackstring", "contains",       "porttyperemote", "ipaddress",    "qornetvalue"};

int FindParamTypeKeyword(std::string_view keyword) {
    for (std::size_t i = 0; i < kParamTypeKeywords.size(); ++i)
        if (platform::EqualsNoCase(kParamTypeKeywords[i], keyword))
            return static_cast<int>(i);
    return -1;
}

namespace {

const char* const kMsgNoMatch = "Read Protocol:  Could not match command for parameter";
const char* const kMsgTooManyOr =
    "Read Protocol:  Maximum number of Or'd types for parameter has been exceeded";
const char* const kMsgTooManyAnd =
    "Read Protocol:  Maximum number of And'd types for Or has been exceeded";
const char* const kMsgCouldNotRead = "Read Protocol:  Could not read file";
const char* const kMsgNoDevice = "Read Protocol:  Could not find [Device] Section.";
const char* const kMsgNoMemory =
    "Read Protocol:  Not enough memory to allocate for command ( pCmnd )";

// Protocol files are read one at a time on the user-interface thread. The wait cursor of the
// read in progress is ended before any message is shown, wherever the message comes from.
bool g_readWaitShown = false;

void EndReadWait() {
    if (g_readWaitShown) {
        g_readWaitShown = false;
        platform::Ui().EndWaitCursor();
    }
}

class ReadWait {
public:
    ReadWait() {
        if (!g_readWaitShown) {
            g_readWaitShown = true;
            platform::Ui().BeginWaitCursor();
        }
    }
    ~ReadWait() { EndReadWait(); }
    ReadWait(const ReadWait&) = delete;
    ReadWait& operator=(const ReadWait&) = delete;
};

void ReadError(const std::string& text) {
    EndReadWait();
    platform::ShowMessage(text);
}

void UnknownWordError(std::string_view word, ProtocolReading reading,
                      std::string_view commandName) {
    if (reading == ProtocolReading::Strict) {
        ReadError(kMsgNoMatch);
        return;
    }
    ReadError(std::string("Warning: I couldn't make much sense of the Param\n\" ")
                  .append(word)
                  .append(" \" in the Command \" ")
                  .append(commandName)
                  .append(" \""));
}

bool IsWhite(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

} // namespace

// ---------------------------------------------------------------------------------------------
// CParam

int CParam::AddTypeTerm(std::string_view keyword) {
    return AddTerm(keyword, ProtocolReading::Strict, {});
}

int CParam::AddTerm(std::string_view keyword, ProtocolReading reading,
                    std::string_view commandName) {
    int type = FindParamTypeKeyword(keyword);
    if (type < 0) {
        UnknownWordError(keyword, reading, commandName);
        return -1;
    }
    if (m_nGroupCount >= kMaxGroups) {
        ReadError(kMsgTooManyOr);
        return -1;
    }
    COr& group = m_Or[static_cast<std::size_t>(m_nGroupCount)];
    if (group.m_nTermCount >= COr::kMaxTerms) {
        ReadError(kMsgTooManyAnd);
        return -1;
    }
    CAnd& term = group.m_And[static_cast<std::size_t>(group.m_nTermCount)];
    term.m_nType = static_cast<std::uint16_t>(type);
    term.m_strArg.clear();
    ++group.m_nTermCount;
    return type;
}

bool CParam::ParseTypes(ProtocolReading reading, std::string_view commandName) {
    m_nGroupCount = 0;
    m_strDescription.clear();
    for (COr& group : m_Or)
        group = COr{};

    std::string token;
    bool inQuotes = false;
    bool inParens = false;
    bool description = false;

    auto closeToken = [&]() {
        if (!token.empty() && AddTerm(token, reading, commandName) < 0)
            return false;
        token.clear();
        return true;
    };
    // Only five groups exist: a sixth, even an empty one, is refused.
    auto nextGroup = [&]() {
        if (m_nGroupCount >= kMaxGroups) {
            ReadError(kMsgTooManyOr);
            return false;
        }
        ++m_nGroupCount;
        return true;
    };
    // The term that takes an argument: the last one of the group being filled.
    auto lastTerm = [&]() -> CAnd* {
        if (m_nGroupCount >= kMaxGroups) {
            ReadError(kMsgTooManyOr);
            return nullptr;
        }
        COr& group = m_Or[static_cast<std::size_t>(m_nGroupCount)];
        if (group.m_nTermCount == 0) {
            // A ')' with no keyword before it.
            UnknownWordError(token, reading, commandName);
            return nullptr;
        }
        return &group.m_And[static_cast<std::size_t>(group.m_nTermCount - 1)];
    };

    for (char c : m_strText) {
        if (description) {
            if (c == '"') {
                inQuotes = !inQuotes;
            } else if (inQuotes) {
                token.push_back(c);
            }
            continue;
        }
        switch (c) {
        case '&':
            if (inQuotes || inParens) {
                token.push_back(c);
            } else if (!closeToken()) {
                return false;
            }
            break;
        case '|':
            if (inQuotes || inParens) {
                token.push_back(c);
            } else if (!closeToken() || !nextGroup()) {
                return false;
            }
            break;
        case ',':
            if (inQuotes || inParens) {
                token.push_back(c);
            } else {
                if (!closeToken() || !nextGroup())
                    return false;
                inQuotes = false;
                inParens = false;
                description = true;
            }
            break;
        case '(':
            if (inQuotes) {
                token.push_back(c);
            } else {
                // Even an empty keyword is looked up: a '(' with nothing before it fails.
                if (AddTerm(token, reading, commandName) < 0)
                    return false;
                token.clear();
                inParens = true;
            }
            break;
        case ')':
            if (inQuotes) {
                token.push_back(c);
            } else {
                inParens = false;
                CAnd* term = lastTerm();
                if (!term)
                    return false;
                term->m_strArg = token;
                token.clear();
            }
            break;
        case '"':
            if (inParens) {
                token.push_back(c);
            } else if (inQuotes) {
                inQuotes = false;
                if (AddTerm(kParamTypeKeywords[kTypeString], reading, commandName) < 0)
                    return false;
                CAnd* term = lastTerm();
                if (!term)
                    return false;
                term->m_strArg = token;
                token.clear();
            } else {
                inQuotes = true;
            }
            break;
        default:
            if (!IsWhite(c))
                token.push_back(c);
            break;
        }
    }
    // The end mark.
    if (description) {
        m_strDescription = token;
        return true;
    }
    return closeToken() && nextGroup();
}

// ---------------------------------------------------------------------------------------------
// CCmnd

std::string CCmnd::GetCategory() const {
    std::size_t colon = m_strName.find(':');
    return colon == std::string::npos ? m_strName : m_strName.substr(0, colon);
}

std::string CCmnd::GetCommandName() const {
    std::size_t colon = m_strName.find(':');
    if (colon == std::string::npos)
        return {};
    std::string out;
    for (std::size_t i = colon + 1; i < m_strName.size(); ++i)
        if (m_strName[i] != ':')
            out.push_back(m_strName[i]);
    return out;
}

// ---------------------------------------------------------------------------------------------
// CProtocol

std::string CProtocol::UnderscoreBlanks(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (IsWhite(c))
            c = '_';
    return out;
}

std::string CProtocol::GetDisplayName() const {
    std::string name;
    if (m_strMaker.empty()) {
        name = m_strModel;
    } else if (m_strModel.empty()) {
        name = m_strMaker;
    } else {
        name = m_strMaker + " " + m_strModel;
    }
    return UnderscoreBlanks(name);
}

bool CProtocol::ReadDevice(const std::string& path) {
    ReadWait wait;
    IniFile file;
    if (!file.Open(path)) {
        ReadError(kMsgCouldNotRead);
        return false;
    }
    if (!file.FindSection("Device", false)) {
        ReadError(kMsgNoDevice);
        return false;
    }
    m_strPath = path;
    m_bLoaded = false;
    m_poCmndList.clear();
    // One pass over the section for its seventeen keys: start-up reads hundreds of protocols.
    const IniScanner::SectionKeys keys = file.ReadSectionKeys();
    m_strVersion = keys.Find("Version", "");
    m_strDate = keys.Find("Date", "");
    m_strDescription = keys.Find("Description", "");
    m_strLocation = keys.Find("Location", "Local");
    m_strAuthor = keys.Find("Author", "");
    m_strMaker = keys.Find("Maker", "");
    m_strModel = keys.Find("Model", "");
    m_strSupported = keys.Find("Supported", "");
    m_strInterface = keys.Find("Interface", "");
    m_strType = keys.Find("Type", "");
    m_strDataBits = keys.Find("DataBits", "");
    m_strStopBits = keys.Find("StopBits", "");
    m_strParity = keys.Find("Parity", "");
    m_strBaudRate = keys.Find("BaudRate", "");
    m_strAddress = keys.Find("Address", "");
    m_strProtocol = keys.Find("Protocol", "");
    m_strBrevantType = keys.Find("BrevantType", "Show Controller");
    // A file cut short (a damaged copy) is told at load, with what is missing, rather than as
    // unmatched protocols or empty reasons at every compile.
    if (GetDisplayName().empty()) {
        ReadError("Read Protocol:  The [Device] Section names no Maker and no Model: the file "
                  "may be cut short.");
        return false;
    }
    // The last command without the Message the others have is a file that ends too soon.
    bool messages = false;
    std::string last;
    bool lastHasMessage = true;
    for (std::string section = file.NextSectionName(true); !section.empty();
         section = file.NextSectionName(true)) {
        messages = messages || (lastHasMessage && !last.empty());
        lastHasMessage = !file.ReadKey("Message", "").empty();
        last = std::move(section);
    }
    if (messages && !lastHasMessage) {
        ReadError(
            ("Read Protocol:  Command [" + last + "] has no Message: the file may be cut short.")
                .c_str());
        return false;
    }
    return true;
}

bool CProtocol::LoadCommands() {
    if (m_bLoaded)
        return true;
    ReadWait wait;
    IniFile file;
    if (!file.Open(m_strPath)) {
        ReadError(kMsgCouldNotRead);
        return false;
    }
    if (!file.FindSection("Device", false)) {
        ReadError(kMsgNoDevice);
        return false;
    }

    const std::size_t kept = m_poCmndList.size();
    auto fail = [&]() {
        m_poCmndList.resize(kept);
        return false;
    };

    for (;;) {
        std::string section = file.NextSectionName(true);
        if (section.empty())
            break;

        std::unique_ptr<CCmnd> cmnd;
        try {
            cmnd = std::make_unique<CCmnd>(std::move(section));
        } catch (const std::bad_alloc&) {
            ReadError(kMsgNoMemory);
            return fail();
        }
        cmnd->m_strSupported = file.ReadKey("Supported", "");
        cmnd->m_strDescription = file.ReadKey("Description", "");
        cmnd->m_strMessage = file.ReadKey("Message", "");
        cmnd->m_strRetries = file.ReadKey("Retries", "");
        cmnd->m_strTimeout = file.ReadKey("Timeout", "");
        cmnd->m_strMessageAck = file.ReadKey("MessageAck", "");
        cmnd->m_strCompletionAck = file.ReadKey("CompletionAck", "");

        for (int n = 1; n <= CCmnd::kMaxParams; ++n) {
            std::string text = file.ReadKey("Param" + std::to_string(n), "");
            if (text.empty())
                break;
            CParam& param = cmnd->m_Params[static_cast<std::size_t>(n - 1)];
            param.m_strText = std::move(text);
            // Read leniently, a bad type expression has shown its message and the parameter
            // keeps its text.
            if (!param.ParseTypes(m_eReading, cmnd->m_strName) &&
                m_eReading == ProtocolReading::Strict)
                return fail();
            cmnd->m_nParamCount = n;
        }
        for (int n = 1; n <= CCmnd::kMaxBytes; ++n) {
            std::string text = file.ReadKey("Byte" + std::to_string(n), "");
            if (text.empty())
                break;
            cmnd->m_strBytes[static_cast<std::size_t>(n - 1)] = std::move(text);
            cmnd->m_nByteCount = n;
        }
        try {
            m_poCmndList.push_back(std::move(cmnd));
        } catch (const std::bad_alloc&) {
            ReadError(kMsgNoMemory);
            return fail();
        }
    }
    m_bLoaded = true;
    return true;
}
