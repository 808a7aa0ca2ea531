#include "compiler/config_compile.h"

#include "compiler/compiler_state.h"
#include "compiler/diagnostics.h"
#include "compiler/name_lookups.h"
#include "compiler/show_image.h"
#include "script/product.h"
#include "script/protocol_list.h"
#include "script/text_utils.h"
#include "script/value_parsers.h"
#include "script/vl_doc.h"

#include <array>
#include <charconv>
#include <cmath>
#include <vector>

namespace {

constexpr std::array<const char*, kNameKindCount> kKindWords = {
    "input", "output", "flag", "variable", "port", "data string", "LCD string", "sequence"};
constexpr std::array<const char*, kNameKindCount> kFoundFormats = {
    "%s [%s]:  Input %d has the same name.",      "%s [%s]:  Output %d has the same name.",
    "%s [%s]:  Flag %d has the same name.",       "%s [%s]:  Variable %d has the same name.",
    "%s [%s]:  Port %d has the same name.",       "%s [%s]:  Data string %d has the same name.",
    "%s [%s]:  LCD string %d has the same name.", "%s [%s]:  Sequence %d has the same name."};

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsNameWhiteSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsNameWhiteSpace(text.back()))
        text.remove_suffix(1);
    return text;
}

// The normalised names of every kind, in index order.
using NameTables = std::array<std::vector<std::string>, kNameKindCount>;

NameTables CollectNames(const CVLDoc& doc) {
    NameTables tables;
    if (const CProduct* product = doc.m_pProduct.get()) {
        auto add = [&](int kind, const auto& table, int count) {
            const int limit = std::min<int>(count, static_cast<int>(table.size()));
            for (int i = 0; i < limit; ++i)
                tables[kind].push_back(NormalizeName(table[i].m_strName, true));
        };
        add(kNameInput, product->m_Inputs, product->m_wInputs);
        add(kNameOutput, product->m_Outputs, product->m_wOutputs);
        add(kNameFlag, product->m_Flags, product->m_wFlags);
        add(kNameVariable, product->m_Vars, product->m_wVars);
        add(kNamePort, product->m_Ports, product->m_wPorts);
    }
    for (const auto& item : doc.m_poDataStrList)
        tables[kNameDataString].push_back(NormalizeName(item->m_strName, true));
    for (const auto& item : doc.m_poLcdStrList)
        tables[kNameLcdString].push_back(NormalizeName(item->m_strName, true));
    for (const auto& item : doc.m_poSeqList)
        tables[kNameSequence].push_back(NormalizeName(item->m_strName, true));
    return tables;
}

void WarnDuplicate(CVLDoc& doc, int foundKind, int foundIndex, const std::string& text) {
    CompilerState& state = GetCompilerState();
    state.resourceIndex = foundIndex;
    switch (foundKind) {
    case kNameInput:
        ReportInputWarning(text);
        break;
    case kNameOutput:
        ReportOutputWarning(text);
        break;
    case kNameFlag:
        ReportFlagWarning(text);
        break;
    case kNameVariable:
        ReportVariableWarning(text);
        break;
    case kNamePort:
        ReportPortWarning(text);
        break;
    case kNameDataString:
        ReportDataStringWarning(text);
        break;
    case kNameLcdString:
        ReportLcdStringWarning(text);
        break;
    default: {
        // Reported on the sequence found, so a double click opens that one.
        CSeq* saved = state.currentSequence;
        state.currentSequence = doc.m_poSeqList[static_cast<std::size_t>(foundIndex)].get();
        ReportSequenceWarning(text);
        state.currentSequence = saved;
        break;
    }
    }
}

void CheckDuplicate(CVLDoc& doc, const NameTables& tables, std::string_view name, int kind) {
    CompilerState& state = GetCompilerState();
    for (int k = 0; k < kNameKindCount; ++k) {
        const auto& names = tables[k];
        for (int j = std::max(state.duplicateStart[k], 0); j < static_cast<int>(names.size());
             ++j) {
            if (EqualsNoCase(names[j], name)) {
                WarnDuplicate(
                    doc, k, j,
                    FormatCompileText(kFoundFormats[k], kKindWords[kind], names[j].c_str(), j + 1));
            }
        }
    }
    ++state.duplicateStart[kind];
}

void CheckNames(CVLDoc& doc) {
    static constexpr std::array<const char*, kNameKindCount> kLines = {
        "Checking for duplicate input names",      "Checking for duplicate output names",
        "Checking for duplicate flag names",       "Checking for duplicate variable names",
        "Checking for duplicate port names",       "Checking for duplicate data string names",
        "Checking for duplicate LCD string names", "Checking for duplicate sequence names"};
    CompilerState& state = GetCompilerState();
    const NameTables tables = CollectNames(doc);
    state.duplicateStart.fill(0);
    state.duplicateStart[kNameInput] = 1;
    for (int kind = 0; kind < kNameKindCount; ++kind) {
        PostCompileMessage(kLines[kind]);
        if (kind != kNameInput)
            state.duplicateStart[kind] = 1;
        for (const std::string& name : tables[kind])
            CheckDuplicate(doc, tables, name, kind);
    }
}

const CProduct* ProductDefinition(const CVLDoc& doc) {
    const CProdList& products = doc.Services().Products();
    if (doc.m_posProduct && *doc.m_posProduct < products.GetCount())
        return &products.GetAt(*doc.m_posProduct);
    if (doc.m_pProduct) {
        if (auto position = products.FindByName(doc.m_pProduct->m_strName))
            return &products.GetAt(*position);
    }
    return nullptr;
}

// The slot a port's bytes go to, or -1 when it has none. With report, a bad remap or a port
// beyond the tables is a port error.
int PortSlot(const CProductPort& port, int index, bool report) {
    if (Trim(port.m_strRemap).empty()) {
        if (index >= 0 && index < static_cast<int>(show_image::kPortSlots))
            return index;
        if (report) {
            ReportPortError(FormatCompileText(
                "Port %d has no slot of its own in the port tables and needs a remap to a port "
                "number ( 1 - 16 )",
                index));
        }
        return -1;
    }
    const int remap = ReadLeadingInt(port.m_strRemap);
    if (remap >= 1 && remap <= 16)
        return remap;
    if (report)
        ReportPortError(
            FormatCompileText("Port %d is remapped to an invalid port number [%d]", index, remap));
    return -1;
}

struct SettingCheck {
    const std::string& value;
    const char* productFormat;
    const char* protocolFormat;
};

// The product definition's and the protocol's lists of allowed values.
void CheckAllowed(const SettingCheck& check, const std::string* productList,
                  const std::string* protocolList, const CProtocol* protocol, int index,
                  const std::string& productName) {
    if (!productList || !ListContainsName(*productList, check.value))
        ReportPortError(FormatCompileText(check.productFormat, check.value.c_str(), index,
                                          productName.c_str()));
    if (protocol && protocolList && !ListContainsName(*protocolList, check.value))
        ReportPortError(FormatCompileText(check.protocolFormat, check.value.c_str(), index,
                                          protocol->GetDisplayName().c_str()));
}

std::uint8_t SerialSettings(const CProductPort& port, const CProductPort* definition,
                            const CProtocol* protocol, int index, const std::string& productName) {
    std::uint8_t settings = 0xFF;
    CheckAllowed({port.m_strBaudRate, "[%s] is an invalid baud rate for port %d on the %s",
                  "[%s] is an invalid baud rate for port %d.  It is not supported by the %s "
                  "protocol"},
                 definition ? &definition->m_strBaudRates : nullptr,
                 protocol ? &protocol->m_strBaudRate : nullptr, protocol, index, productName);
    static constexpr std::array<const char*, 9> kSpeeds = {
        "300", "1200", "2400", "4800", "9600", "19200", "31250", "38400", "OFF"};
    static constexpr std::array<std::uint8_t, 9> kSpeedCodes = {0, 1, 2, 3, 4, 5, 6, 6, 7};
    const std::string_view rate = Trim(port.m_strBaudRate);
    int matched = -1;
    for (std::size_t i = 0; i < kSpeeds.size(); ++i) {
        if (EqualsNoCase(rate, kSpeeds[i])) {
            matched = static_cast<int>(i);
            break;
        }
    }
    if (matched == 8) {
        settings = 7;
    } else if (EqualsNoCase(Trim(port.m_strProtocol), "None")) {
        settings = 4;
    } else if (matched >= 0) {
        settings = kSpeedCodes[static_cast<std::size_t>(matched)];
    } else {
        ReportPortError(FormatCompileText(
            "[%s] is an invalid baud rate for port %d.  It is not supported by Tarnix",
            port.m_strBaudRate.c_str(), index));
    }

    CheckAllowed({port.m_strParity, "[%s] is an invalid parity for port %d on the %s",
                  "[%s] is an invalid parity for port %d.  It is not supported by the %s "
                  "protocol"},
                 definition ? &definition->m_strParityList : nullptr,
                 protocol ? &protocol->m_strParity : nullptr, protocol, index, productName);
    const std::string_view parity = Trim(port.m_strParity);
    if (EqualsNoCase(parity, "N")) {
    } else if (EqualsNoCase(parity, "E")) {
        settings |= 0x08;
    } else if (EqualsNoCase(parity, "O")) {
        settings |= 0x18;
    } else if (EqualsNoCase(parity, "M")) {
        settings |= 0x28;
    } else if (EqualsNoCase(parity, "S")) {
        settings |= 0x38;
    } else {
        ReportPortError(FormatCompileText(
            "[%s] is an invalid parity selection for port %d.  It is not supported by Tarnix",
            port.m_strParity.c_str(), index));
    }

    CheckAllowed({port.m_strDataBits,
                  "[%s] is an invalid data bits selection for port %d on the %s",
                  "[%s] is an invalid data bits selection for port %d.  It is not supported by "
                  "the %s protocol"},
                 definition ? &definition->m_strDataBitsList : nullptr,
                 protocol ? &protocol->m_strDataBits : nullptr, protocol, index, productName);
    const std::string_view dataBits = Trim(port.m_strDataBits);
    if (dataBits == "7") {
        settings |= 0x40;
    } else if (dataBits != "8" && dataBits != "9") {
        ReportPortError(FormatCompileText("[%s] is an invalid data bits selection for port %d.  "
                                          "It is not supported by Tarnix",
                                          port.m_strDataBits.c_str(), index));
    }

    CheckAllowed({port.m_strStopBits,
                  "[%s] is an invalid stop bits selection for port %d on the %s",
                  "[%s] is an invalid stop bits selection for port %d.  It is not supported by "
                  "the %s protocol"},
                 definition ? &definition->m_strStopBitsList : nullptr,
                 protocol ? &protocol->m_strStopBits : nullptr, protocol, index, productName);
    const std::string_view stopBits = Trim(port.m_strStopBits);
    if (stopBits == "2") {
        settings |= 0x80;
    } else if (stopBits != "1") {
        ReportPortError(FormatCompileText("[%s] is an invalid stop bits selection for port %d.  "
                                          "It is not supported by Tarnix",
                                          port.m_strStopBits.c_str(), index));
    }
    return settings;
}

std::uint8_t ScsiSettings(const CProduct& product, int index) {
    const CProductPort& port = product.m_Ports[static_cast<std::size_t>(index)];
    const auto address = ParseWholeDecimal(port.m_strScsiAddress);
    const int number = ReadLeadingInt(port.m_strScsiAddress);
    if (!address || *address < 0 || *address > 6) {
        ReportPortError(FormatCompileText(
            "[%s] is an invalid SCSI address selection for port %d.  It is not supported by "
            "Tarnix",
            port.m_strScsiAddress.c_str(), index));
    }
    const int ports = std::min<int>(product.m_wPorts, CProduct::kMaxPorts);
    for (int other = 0; other < ports; ++other) {
        const CProductPort& otherPort = product.m_Ports[static_cast<std::size_t>(other)];
        if (other == index || !EqualsNoCase(Trim(otherPort.m_strInterface), "SCSI"))
            continue;
        if (ReadLeadingInt(otherPort.m_strScsiAddress) == number) {
            ReportPortError(FormatCompileText(
                "Port %d has a SCSI address [%s] also used by port %d.  Addresses need to be "
                "unique",
                index, port.m_strScsiAddress.c_str(), other));
        }
    }
    return static_cast<std::uint8_t>(number & 0xFF);
}

void CompilePorts(CVLDoc& doc, ShowImageWriter& image, std::size_t tables) {
    CompilerState& state = GetCompilerState();
    const CProduct& product = *doc.m_pProduct;
    const CProduct* definition = ProductDefinition(doc);
    const std::string& productName = definition ? definition->m_strName : product.m_strName;
    const CProList& protocols = doc.Services().Protocols();
    const int ports = std::min<int>(product.m_wPorts, CProduct::kMaxPorts);

    for (int i = 0; i < ports; ++i) {
        const CProductPort& port = product.m_Ports[static_cast<std::size_t>(i)];
        state.resourceIndex = i;
        CProtocol* protocol = nullptr;
        protocols.FindProtocol(port.m_strProtocol, protocol, false);
        std::uint8_t settings = 0xFF;
        const std::string_view interface = Trim(port.m_strInterface);
        if (EqualsNoCase(interface, "Serial")) {
            const CProductPort* allowed =
                definition && i < definition->m_wPorts ? &definition->m_Ports[i] : nullptr;
            settings = SerialSettings(port, allowed, protocol, i, productName);
        } else if (EqualsNoCase(interface, "SCSI")) {
            settings = ScsiSettings(product, i);
        }
        const int slot = PortSlot(port, i, true);
        if (slot >= 0)
            image.PutByte(tables + static_cast<std::size_t>(slot), settings);
    }

    for (int i = 0; i < ports; ++i) {
        const CProductPort& port = product.m_Ports[static_cast<std::size_t>(i)];
        if (EqualsNoCase(Trim(port.m_strProtocol), "None"))
            continue;
        state.resourceIndex = i;
        CProtocol* protocol = nullptr;
        if (!protocols.FindProtocol(port.m_strProtocol, protocol, false) || !protocol) {
            ReportPortError(
                FormatCompileText("[%s] did not match any available protocol on port %d",
                                  port.m_strProtocol.c_str(), i));
            continue;
        }
        const int slot = PortSlot(port, i, false);
        if (slot >= 0)
            image.PutByte(tables + show_image::kPortSlots + static_cast<std::size_t>(slot),
                          PortTypeCode(Trim(protocol->m_strProtocol)));
    }

    const std::size_t errorTable = tables + 2 * show_image::kPortSlots;
    for (std::size_t slot = 0; slot < show_image::kPortSlots; ++slot)
        image.PutByte(errorTable + slot, 0xFF);
    for (int i = 0; i < ports; ++i) {
        const CProductPort& port = product.m_Ports[static_cast<std::size_t>(i)];
        const std::string name = NormalizeName(port.m_strErrorSequence, true);
        if (name.empty())
            continue;
        state.resourceIndex = i;
        const int sequence = FindSequence(doc, name);
        if (sequence < 0) {
            ReportPortError(FormatCompileText(
                "[%s] is not a valid sequence name selected as an error sequence on port %d",
                port.m_strErrorSequence.c_str(), i));
        }
        const int slot = PortSlot(port, i, false);
        if (slot >= 0)
            image.PutByte(errorTable + static_cast<std::size_t>(slot),
                          sequence < 0 ? 0xFF : static_cast<std::uint8_t>(sequence));
    }
}

std::uint8_t ExternalClockByte(const CVLDoc& doc) {
    const auto frequency = ParseDecimalNumber(doc.m_strExternalFrequency);
    double hz = frequency.value_or(0.0);
    if (!frequency || hz < 0.0 || hz > 6120.0) {
        ReportUnitError(FormatCompileText(
            "[%s] is an invalid external frequency.  Range is (0.0 Hz - 6120.0 Hz)",
            doc.m_strExternalFrequency.c_str()));
    }
    static constexpr std::array<double, 4> kDivisors = {24.0, 25.0, 29.0, 30.0};
    if (doc.m_wFrameRate < kDivisors.size())
        hz /= kDivisors[doc.m_wFrameRate];
    // Cut toward zero; out-of-range values are clamped first so the conversion is defined.
    hz = std::clamp(hz, -1.0e15, 1.0e15);
    return static_cast<std::uint8_t>(static_cast<long long>(hz) & 0xFF);
}

void CompileHeader(CVLDoc& doc, ShowImageWriter& image, std::size_t sequences) {
    using namespace show_image;
    if (doc.m_wAddress > 255)
        ReportConfigurationError(
            FormatCompileText("Internal Error: [%d] is an invalid Unit Address", doc.m_wAddress));
    image.PutByte(kUnitAddress, static_cast<std::uint8_t>(doc.m_wAddress & 0xFF));
    image.PutByte(kConstant8, 8);

    if (sequences < 1)
        ReportConfigurationError(FormatCompileText(
            "Internal Error: [%d] is an invalid number of sequences", static_cast<int>(sequences)));
    else if (sequences > static_cast<std::size_t>(kMaxSequences))
        ReportConfigurationError(FormatCompileText(
            "Internal Error: [%zu] is an invalid number of sequences.  A script can hold at most "
            "%d sequences.",
            sequences, kMaxSequences));
    image.PutByte(kSequenceCount, static_cast<std::uint8_t>(sequences & 0xFF));

    static constexpr std::array<std::uint8_t, 4> kRateCodes = {0, 3, 1, 2};
    if (doc.m_wFrameRate < kRateCodes.size())
        image.PutByte(kFrameRate, kRateCodes[doc.m_wFrameRate]);
    else
        ReportConfigurationError(FormatCompileText(
            "Internal Error: [%d] is an invalid radio button frame rate", doc.m_wFrameRate));

    if (doc.m_wClockSource == 0)
        image.PutByte(kExternalClock, 0);
    else if (doc.m_wClockSource == 1)
        image.PutByte(kExternalClock, ExternalClockByte(doc));
    else
        ReportConfigurationError(FormatCompileText(
            "Internal Error: [%d] is an invalid radio button clock source", doc.m_wClockSource));

    const std::size_t tables = PortTables(std::min<std::size_t>(sequences, kMaxSequences));
    image.PutByte(kConstant80, 0x80);
    image.PutWord(kPortTablesOffset, static_cast<std::uint16_t>(tables));
    image.PutWord(kErrorTableOffset, static_cast<std::uint16_t>(tables + 2 * kPortSlots));
    image.PutWord(kCompilerVersion, kCompilerVersionCode);
    image.PutByte(kMemoryBanks, 0);
    image.PutByte(kDropoutTolerance,
                  static_cast<std::uint8_t>(doc.m_wChaseDropoutTolerance & 0xFF));
    image.PutByte(kFlags, 0x01);
}

} // namespace

std::string ImageSizeErrorText() {
    return FormatCompileText(
        "This compiled script has exceeded the maximum size of %d bytes.  Halting Compiler.",
        static_cast<int>(kMaxImageSize));
}

std::optional<long long> ParseWholeDecimal(std::string_view text) {
    text = Trim(text);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    long long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::optional<double> ParseDecimalNumber(std::string_view text) {
    text = Trim(text);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    // Only digits, one point and a leading minus: no exponents, no "inf" or "nan".
    bool digit = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9')
            digit = true;
        else if (!(c == '.' || (c == '-' && i == 0)))
            return std::nullopt;
    }
    if (!digit)
        return std::nullopt;
    double value = 0.0;
    const auto [end, error] =
        std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

bool ListContainsName(std::string_view list, std::string_view value) {
    int item = 0;
    std::size_t start = 0;
    while (item < 10 && start <= list.size()) {
        std::size_t comma = list.find(',', start);
        if (comma == std::string_view::npos)
            comma = list.size();
        if (EqualsNoCase(NormalizeName(list.substr(start, comma - start), true), value))
            return true;
        ++item;
        start = comma + 1;
    }
    return false;
}

std::uint8_t PortTypeCode(std::string_view entry) {
    struct TypeCode {
        const char* name;
        std::uint8_t code;
    };
    static constexpr std::array<TypeCode, 11> kCodes = {{{"Brevant9", 0},
                                                         {"OstrelBus", 0},
                                                         {"Custom", 1},
                                                         {"Laserdisc", 2},
                                                         {"MIDI", 6},
                                                         {"Brevant8", 12},
                                                         {"ESERTC", 13},
                                                         {"TouchScreen", 15},
                                                         {"QORnet", 16},
                                                         {"EMAX", 17},
                                                         {"SonyCDROM", 0xE0}}};
    for (const TypeCode& code : kCodes) {
        if (EqualsNoCase(entry, code.name))
            return code.code;
    }
    return 0;
}

void CheckDuplicateName(CVLDoc& doc, std::string_view name, int kind, int index) {
    (void)index;
    if (kind < 0 || kind >= kNameKindCount)
        return;
    CheckDuplicate(doc, CollectNames(doc), name, kind);
}

bool CompileConfiguration(CVLDoc& doc) {
    CompilerState& state = GetCompilerState();
    ShowImageWriter image(state);
    const std::size_t sequences = doc.m_poSeqList.size();
    CompileHeader(doc, image, sequences);
    // The header counts sequences in one byte: such a script has no image, and the error above
    // says why.
    if (sequences > static_cast<std::size_t>(show_image::kMaxSequences))
        return false;
    const std::size_t tables = show_image::PortTables(sequences);
    for (std::size_t slot = 0; slot < show_image::kPortSlots; ++slot) {
        image.PutByte(tables + slot, 4);
        image.PutByte(tables + show_image::kPortSlots + slot, 2);
        image.PutByte(tables + 2 * show_image::kPortSlots + slot, 0xFF);
    }
    image.SetLength(show_image::FirstRecord(sequences));

    if (doc.m_nErrorDetection)
        CheckNames(doc);
    if (doc.m_pProduct)
        CompilePorts(doc, image, tables);
    return true;
}
