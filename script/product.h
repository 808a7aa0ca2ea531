// Show-controller models as the product files (.cfg) describe them: the counts and default names
// of inputs, outputs, flags, variables and ports, the port settings the model allows, and the
// names of its built-in events. The application keeps every product it loaded in a CProdList;
// each script holds a private CProduct that starts as a copy of its product and then carries
// the script's own names, comments and port settings.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {
class ProfileFile;
}

// An input, output, flag or variable.
struct CProductResource {
    std::string m_strName;
    std::string m_strComment;      // empty in the list's products; the script's own in a copy
    std::int32_t m_nFixedName = 0; // 1: the product fixes the name, a script cannot rename it
};

struct CProductPort {
    std::string m_strName;      // default name; a script's own name in a copy
    std::string m_strComment;   // empty in the list's products
    std::string m_strRemap;     // controller port number the port is wired to, or empty
    std::string m_strInterface; // "Serial", "SCSI" or another word
    std::string m_strProtocol;  // default device protocol; the script's protocol in a copy
    // Current settings: the product's defaults (the first entry of each list), or the script's.
    std::string m_strBaudRate;
    std::string m_strDataBits;
    std::string m_strStopBits;
    std::string m_strParity;
    std::string m_strScsiAddress;
    // The allowed values as the file writes them (comma-separated); only the list's products
    // carry them, and the compiler and the port dialogs check a script's settings against them.
    std::string m_strBaudRates;
    std::string m_strDataBitsList;
    std::string m_strStopBitsList;
    std::string m_strParityList;
    std::string m_strAddressList;
    std::string m_strErrorSequence; // empty in the list's products
    std::int32_t m_nFixedName = 0;
    std::int32_t m_nFixedProtocol = 0;
};

class CProduct {
public:
    static constexpr int kMaxInputs = 256;
    static constexpr int kMaxOutputs = 256;
    static constexpr int kMaxFlags = 64;
    static constexpr int kMaxVars = 64;
    static constexpr int kMaxPorts = 64;
    static constexpr int kMaxEvents = 256;
    static constexpr std::uint16_t kDefaultMemory = 8;
    // Text values are read into an area of this many bytes, terminator included.
    static constexpr std::size_t kValueArea = 256;

    // Reads a product file. Every failure shows its message box and answers false; a failed
    // read may leave the product partly filled.
    bool ReadProductFile(const std::string& path);

    // Makes this script copy the product `from` as a new script starts with it: the texts and
    // counts, and below each count the product's names, fixed flags and port settings.
    // Comments and the script's error sequences are not touched.
    void CopyDefinition(const CProduct& from);
    // Makes this script copy follow the product `from` when the script's product is set or
    // changed: names the product fixes, or that the script left empty, take the product's;
    // port settings return to the product's defaults; entries beyond the new counts are cleared.
    void ApplyFrom(const CProduct& from);

    std::string m_strName;     // the key by which scripts name their product
    std::string m_strFilePath; // the .cfg file it was read from
    std::string m_strHelpFile;
    std::string m_strRemoteProtocol;
    std::string m_strLcd; // "40x2", "16x2", "None", or empty when the file has no Lcd key

    std::uint16_t m_wInputs = 0;
    std::uint16_t m_wOutputs = 0;
    std::uint16_t m_wFlags = 0;
    std::uint16_t m_wVars = 0;
    std::uint16_t m_wPorts = 0;
    std::uint16_t m_wMemory = 0;
    std::uint16_t m_wEvents = 0;

    std::array<std::string, kMaxEvents> m_strEventNames;
    std::array<CProductResource, kMaxInputs> m_Inputs;
    std::array<CProductResource, kMaxOutputs> m_Outputs;
    std::array<CProductResource, kMaxFlags> m_Flags;
    std::array<CProductResource, kMaxVars> m_Vars;
    std::array<CProductPort, kMaxPorts> m_Ports;

private:
    bool ReadProfile(const platform::ProfileFile& profile, const std::string& path);
    // Name, file, help file, remote protocol, LCD and the counts: what both copies take as is.
    void CopyHeader(const CProduct& from);
};

// The application's products, in the order they were loaded. The list owns them; positions
// stay valid for the list's life, since products are only ever appended.
class CProdList {
public:
    using Position = std::size_t;

    void Add(std::unique_ptr<CProduct> product);
    std::size_t GetCount() const { return m_Products.size(); }
    bool IsEmpty() const { return m_Products.empty(); }
    CProduct& GetAt(Position pos) { return *m_Products.at(pos); }
    const CProduct& GetAt(Position pos) const { return *m_Products.at(pos); }

    // The first product whose Name equals `name` exactly (case counts).
    std::optional<Position> FindByName(std::string_view name) const;
    // The first product whose Name equals `name` without regard to case (scripts and DOS
    // listings name their product that way before it is looked up exactly).
    std::optional<Position> FindByNameNoCase(std::string_view name) const;
    // The Names in list order, as the product choices of the dialogs show them.
    std::vector<std::string> Names() const;

    auto begin() const { return m_Products.begin(); }
    auto end() const { return m_Products.end(); }

private:
    std::vector<std::unique_ptr<CProduct>> m_Products;
};
