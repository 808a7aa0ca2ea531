#include "script/product.h"

#include "platform/file_handle.h"
#include "platform/paths.h"
#include "platform/profile.h"
#include "platform/ui_services.h"

#include <algorithm>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A profile value as it arrives in the fixed text area: at most 255 characters.
std::string ReadText(const platform::ProfileFile& profile, std::string_view section,
                     std::string_view key, std::string_view defaultValue) {
    std::string value = profile.GetString(section, key, defaultValue);
    if (value.size() >= CProduct::kValueArea)
        value.resize(CProduct::kValueArea - 1);
    return value;
}

std::string TrimRight(std::string_view s) {
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return std::string(s);
}

// An entry is a name (or protocol) up to the first ',' or ';'. After a ',' the first 'N' fixes
// it, unless a 'Y' or ';' comes first; after a ';' the rest is a remark.
void ParseEntry(std::string_view value, std::string& name, std::int32_t& fixed) {
    size_t stop = value.find_first_of(",;");
    name = TrimRight(value.substr(0, stop));
    fixed = 0;
    if (stop == std::string_view::npos || value[stop] == ';')
        return;
    for (char c : value.substr(stop + 1)) {
        if (c == 'N' || c == 'n') {
            fixed = 1;
            return;
        }
        if (c == 'Y' || c == 'y' || c == ';')
            return;
    }
}

// A list is kept as written; its first item is the default setting.
void ParseList(std::string_view value, std::string& list, std::string& defaultItem) {
    list = std::string(value);
    defaultItem = TrimRight(value.substr(0, value.find(',')));
}

// The file must be a regular file that can be opened for reading. A FIFO is not waited for.
bool CanOpenForReading(const std::string& path) {
    return platform::OpenRegularFile(path).IsOpen();
}

struct CountRule {
    const char* key;
    int limit;
    const char* message;
    std::uint16_t CProduct::*member;
};

const CountRule kCountRules[] = {
    {"Inputs", CProduct::kMaxInputs, "Read Product:  Number of Inputs has exceeded maximum",
     &CProduct::m_wInputs},
    {"Outputs", CProduct::kMaxOutputs, "Read Product:  Number of Outputs has exceeded maximum",
     &CProduct::m_wOutputs},
    {"Flags", CProduct::kMaxFlags, "Read Product:  Number of Flags has exceeded maximum",
     &CProduct::m_wFlags},
    {"Vars", CProduct::kMaxVars, "Read Product:  Number of Vars has exceeded maximum",
     &CProduct::m_wVars},
    {"Ports", CProduct::kMaxPorts, "Read Product:  Number of Ports has exceeded maximum",
     &CProduct::m_wPorts},
};

template <size_t N>
void ReadResources(const platform::ProfileFile& profile, const char* section, const char* keyWord,
                   std::uint16_t count, std::array<CProductResource, N>& entries) {
    for (size_t i = 0; i < count && i < N; ++i) {
        std::string value = ReadText(profile, section, keyWord + std::to_string(i + 1), "");
        ParseEntry(value, entries[i].m_strName, entries[i].m_nFixedName);
    }
}

template <size_t N>
void CopyResources(const std::array<CProductResource, N>& from, std::uint16_t count,
                   std::array<CProductResource, N>& to) {
    for (size_t i = 0; i < count && i < N; ++i) {
        to[i].m_strName = from[i].m_strName;
        to[i].m_nFixedName = from[i].m_nFixedName;
    }
}

template <size_t N>
void ApplyResources(const std::array<CProductResource, N>& from, std::uint16_t count,
                    std::array<CProductResource, N>& to) {
    for (size_t i = 0; i < N; ++i) {
        if (i < count) {
            to[i].m_nFixedName = from[i].m_nFixedName;
            if (to[i].m_nFixedName || to[i].m_strName.empty())
                to[i].m_strName = from[i].m_strName;
        } else {
            to[i] = CProductResource{};
        }
    }
}

void CopyPortSettings(const CProductPort& from, CProductPort& to) {
    to.m_strRemap = from.m_strRemap;
    to.m_strInterface = from.m_strInterface;
    to.m_strBaudRate = from.m_strBaudRate;
    to.m_strDataBits = from.m_strDataBits;
    to.m_strStopBits = from.m_strStopBits;
    to.m_strParity = from.m_strParity;
    to.m_strScsiAddress = from.m_strScsiAddress;
    to.m_nFixedName = from.m_nFixedName;
    to.m_nFixedProtocol = from.m_nFixedProtocol;
}

} // namespace

bool CProduct::ReadProductFile(const std::string& path) {
    const std::string cannotOpen = "Read Product:  Could not open " + path + " for reading";
    if (!CanOpenForReading(path)) {
        platform::ShowMessage(cannotOpen);
        return false;
    }
    platform::WaitCursor wait;
    platform::ProfileFile profile;
    if (!profile.Load(path)) {
        platform::ShowMessage(cannotOpen);
        return false;
    }
    return ReadProfile(profile, path);
}

bool CProduct::ReadProfile(const platform::ProfileFile& profile, const std::string& path) {
    if (!profile.Find("Configuration", "Version")) {
        platform::ShowMessage(path +
                              " is an invalid Product configuration file.  Version=x.xx missing");
        return false;
    }

    m_strName = ReadText(profile, "Product", "Name", "");
    m_strFilePath = path;
    m_strHelpFile = ReadText(profile, "Product", "HelpFile", "");
    m_strRemoteProtocol = ReadText(profile, "Product", "RemoteProtocol", "");
    m_strLcd = ReadText(profile, "Product", "Lcd", "");

    // Each count is checked as written, before it is narrowed to 16 bits, so that a count past
    // the limit can never wrap round to an acceptable one.
    for (const auto& rule : kCountRules) {
        int value = profile.GetInt("Product", rule.key, 0);
        if (value < 0 || value > rule.limit) {
            platform::ShowMessage(rule.message);
            return false;
        }
        this->*rule.member = static_cast<std::uint16_t>(value);
    }
    // Memory has no limit of its own; it is held to what 16 bits can store.
    int memory = profile.GetInt("Product", "Memory", kDefaultMemory);
    m_wMemory = static_cast<std::uint16_t>(std::clamp(memory, 0, 0xFFFF));
    int events = profile.GetInt("Product", "Events", 0);
    if (events < 0 || events > kMaxEvents) {
        platform::ShowMessage("Read Product:  Number of Commands has exceeded maximum");
        return false;
    }
    m_wEvents = static_cast<std::uint16_t>(events);

    ReadResources(profile, "Inputs", "Input", m_wInputs, m_Inputs);
    ReadResources(profile, "Outputs", "Output", m_wOutputs, m_Outputs);
    ReadResources(profile, "Flags", "Flag", m_wFlags, m_Flags);
    ReadResources(profile, "Vars", "Var", m_wVars, m_Vars);

    for (int i = 0; i < m_wPorts; ++i) {
        CProductPort& port = m_Ports[static_cast<size_t>(i)];
        const std::string section = "Port" + std::to_string(i);
        ParseEntry(ReadText(profile, section, "Name", ""), port.m_strName, port.m_nFixedName);
        port.m_strRemap = ReadText(profile, section, "Remap", "");
        ParseEntry(ReadText(profile, section, "Protocol", ""), port.m_strProtocol,
                   port.m_nFixedProtocol);
        port.m_strInterface = ReadText(profile, section, "Interface", "");
        if (platform::EqualsNoCase(port.m_strInterface, "Serial")) {
            ParseList(ReadText(profile, section, "BaudRates", ""), port.m_strBaudRates,
                      port.m_strBaudRate);
            ParseList(ReadText(profile, section, "DataBits", ""), port.m_strDataBitsList,
                      port.m_strDataBits);
            ParseList(ReadText(profile, section, "StopBits", ""), port.m_strStopBitsList,
                      port.m_strStopBits);
            ParseList(ReadText(profile, section, "Parity", ""), port.m_strParityList,
                      port.m_strParity);
        } else if (platform::EqualsNoCase(port.m_strInterface, "SCSI")) {
            ParseList(ReadText(profile, section, "Address", ""), port.m_strAddressList,
                      port.m_strScsiAddress);
        }
    }

    for (int i = 0; i < m_wEvents; ++i)
        m_strEventNames[static_cast<size_t>(i)] =
            ReadText(profile, "Events", "Event" + std::to_string(i + 1), "");
    return true;
}

void CProduct::CopyHeader(const CProduct& from) {
    m_strName = from.m_strName;
    m_strFilePath = from.m_strFilePath;
    m_strHelpFile = from.m_strHelpFile;
    m_strRemoteProtocol = from.m_strRemoteProtocol;
    m_strLcd = from.m_strLcd;
    m_wInputs = from.m_wInputs;
    m_wOutputs = from.m_wOutputs;
    m_wFlags = from.m_wFlags;
    m_wVars = from.m_wVars;
    m_wPorts = from.m_wPorts;
    m_wMemory = from.m_wMemory;
    m_wEvents = from.m_wEvents;
}

void CProduct::CopyDefinition(const CProduct& from) {
    CopyHeader(from);

    CopyResources(from.m_Inputs, m_wInputs, m_Inputs);
    CopyResources(from.m_Outputs, m_wOutputs, m_Outputs);
    CopyResources(from.m_Flags, m_wFlags, m_Flags);
    CopyResources(from.m_Vars, m_wVars, m_Vars);
    for (size_t i = 0; i < m_wPorts && i < m_Ports.size(); ++i) {
        CopyPortSettings(from.m_Ports[i], m_Ports[i]);
        m_Ports[i].m_strName = from.m_Ports[i].m_strName;
        m_Ports[i].m_strProtocol = from.m_Ports[i].m_strProtocol;
    }
    for (size_t i = 0; i < m_wEvents && i < m_strEventNames.size(); ++i)
        m_strEventNames[i] = from.m_strEventNames[i];
}

void CProduct::ApplyFrom(const CProduct& from) {
    CopyHeader(from);

    ApplyResources(from.m_Inputs, m_wInputs, m_Inputs);
    ApplyResources(from.m_Outputs, m_wOutputs, m_Outputs);
    ApplyResources(from.m_Flags, m_wFlags, m_Flags);
    ApplyResources(from.m_Vars, m_wVars, m_Vars);
    for (size_t i = 0; i < m_Ports.size(); ++i) {
        CProductPort& port = m_Ports[i];
        if (i >= m_wPorts) {
            // A port the product does not have keeps nothing of the script's old one.
            port = CProductPort{};
            continue;
        }
        const CProductPort& source = from.m_Ports[i];
        CopyPortSettings(source, port);
        if (port.m_nFixedName || port.m_strName.empty())
            port.m_strName = source.m_strName;
        if (port.m_nFixedProtocol || port.m_strProtocol.empty())
            port.m_strProtocol = source.m_strProtocol;
    }
    for (size_t i = 0; i < m_strEventNames.size(); ++i)
        m_strEventNames[i] = i < m_wEvents ? from.m_strEventNames[i] : std::string();
}

void CProdList::Add(std::unique_ptr<CProduct> product) {
    if (product)
        m_Products.push_back(std::move(product));
}

std::optional<CProdList::Position> CProdList::FindByName(std::string_view name) const {
    for (size_t i = 0; i < m_Products.size(); ++i)
        if (m_Products[i]->m_strName == name)
            return i;
    return std::nullopt;
}

std::optional<CProdList::Position> CProdList::FindByNameNoCase(std::string_view name) const {
    for (size_t i = 0; i < m_Products.size(); ++i)
        if (platform::EqualsNoCase(m_Products[i]->m_strName, name))
            return i;
    return std::nullopt;
}

std::vector<std::string> CProdList::Names() const {
    std::vector<std::string> names;
    names.reserve(m_Products.size());
    for (const auto& p : m_Products)
        names.push_back(p->m_strName);
    return names;
}
