#include "pactwright/core/item_rows.h"

#include "pactwright/core/command_tree_model.h"

#include <array>
#include <charconv>

namespace pactwright {

namespace {

struct DeviceRow {
    const char* heading;
    std::string CProtocol::*field;
};

const std::array<DeviceRow, 18> kDeviceRows = {{
    {"Description", &CProtocol::m_strDescription},
    {"File Name", &CProtocol::m_strPath},
    {"Version", &CProtocol::m_strVersion},
    {"Location", &CProtocol::m_strLocation},
    {"Date", &CProtocol::m_strDate},
    {"Author", &CProtocol::m_strAuthor},
    {"Maker", &CProtocol::m_strMaker},
    {"Model", &CProtocol::m_strModel},
    {"Supported", &CProtocol::m_strSupported},
    {"Interface", &CProtocol::m_strInterface},
    {"Type", &CProtocol::m_strType},
    {"Data Bits", &CProtocol::m_strDataBits},
    {"Stop Bits", &CProtocol::m_strStopBits},
    {"Parity", &CProtocol::m_strParity},
    {"Baud Rate", &CProtocol::m_strBaudRate},
    {"Address", &CProtocol::m_strAddress},
    {"Protocol", &CProtocol::m_strProtocol},
    {"BrevantType", &CProtocol::m_strBrevantType},
}};

struct CommandRow {
    const char* heading;
    std::string CCmnd::*field;
};

const std::array<CommandRow, 7> kCommandRows = {{
    {"Name", &CCmnd::m_strName},
    {"Description", &CCmnd::m_strDescription},
    {"Supported", &CCmnd::m_strSupported},
    {"MsgAck", &CCmnd::m_strMessageAck},
    {"CmpAck", &CCmnd::m_strCompletionAck},
    {"Timeout", &CCmnd::m_strTimeout},
    {"Retries", &CCmnd::m_strRetries},
}};

int NumberAfter(std::string_view heading, std::string_view prefix, int max) {
    if (heading.substr(0, prefix.size()) != prefix)
        return 0;
    const std::string_view digits = heading.substr(prefix.size());
    int k = 0;
    auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), k);
    if (ec != std::errc() || end != digits.data() + digits.size() || k < 1 || k > max)
        return 0;
    return k;
}

} // namespace

CCmnd* CommandOfItem(const CProtocol& protocol, int item) {
    if (item < 1 || static_cast<std::size_t>(item) > protocol.m_poCmndList.size())
        return nullptr;
    return protocol.m_poCmndList[static_cast<std::size_t>(item - 1)].get();
}

std::vector<GridRow> RowsOfItem(const CProtocol& protocol, int item) {
    std::vector<GridRow> rows;
    if (item == kCategoryItem) {
        rows.push_back(
            {"This is a Command Category.", "Expand its tree and select a specific command."});
    } else if (item == kDeviceItem) {
        for (const DeviceRow& row : kDeviceRows)
            rows.push_back({row.heading, protocol.*row.field});
    } else if (const CCmnd* c = CommandOfItem(protocol, item)) {
        for (const CommandRow& row : kCommandRows)
            rows.push_back({row.heading, c->*row.field});
        for (int n = 1; n <= c->m_nParamCount && n <= CCmnd::kMaxParams; ++n)
            rows.push_back({"Param" + std::to_string(n),
                            c->m_Params[static_cast<std::size_t>(n - 1)].m_strText});
        for (int n = 1; n <= c->m_nByteCount && n <= CCmnd::kMaxBytes; ++n)
            rows.push_back(
                {"Byte" + std::to_string(n), c->m_strBytes[static_cast<std::size_t>(n - 1)]});
        rows.push_back({"Message", c->m_strMessage});
    }
    return rows;
}

std::string OneLine(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            out.push_back(' ');
        } else if (text[i] == '\n') {
            out.push_back(' ');
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

int ParamNumber(std::string_view heading) {
    return NumberAfter(heading, "Param", CCmnd::kMaxParams);
}

int ByteNumber(std::string_view heading) {
    return NumberAfter(heading, "Byte", CCmnd::kMaxBytes);
}

StoreResult StoreItemText(CProtocol& protocol, int item, int row, std::string_view heading,
                          std::string_view typed) {
    StoreResult result;
    std::string text = OneLine(typed);
    if (item == kDeviceItem) {
        if (row < 0 || static_cast<std::size_t>(row) >= kDeviceRows.size())
            return result;
        protocol.*kDeviceRows[static_cast<std::size_t>(row)].field = std::move(text);
        result.stored = true;
        result.rebuildTree = row == 0;
        return result;
    }
    CCmnd* c = CommandOfItem(protocol, item);
    if (!c || row < 0)
        return result;
    if (row == 0) {
        // The reader ends a section name at its first ']' and stops at an empty one.
        if (text.empty() || text.find(']') != std::string::npos) {
            result.refusal = kBadNameMessage;
            return result;
        }
        c->m_strName = std::move(text);
        result.stored = true;
        result.rebuildTree = true;
        return result;
    }
    if (static_cast<std::size_t>(row) < kCommandRows.size()) {
        c->*kCommandRows[static_cast<std::size_t>(row)].field = std::move(text);
        result.stored = true;
        return result;
    }
    if (heading == "Message") {
        c->m_strMessage = std::move(text);
        result.stored = true;
    } else if (int k = ParamNumber(heading)) {
        c->m_Params[static_cast<std::size_t>(k - 1)].m_strText = std::move(text);
        result.stored = true;
    } else if (int b = ByteNumber(heading)) {
        c->m_strBytes[static_cast<std::size_t>(b - 1)] = std::move(text);
        result.stored = true;
    }
    return result;
}

bool AddParam(CCmnd& c) {
    if (c.m_nParamCount >= CCmnd::kMaxParams)
        return false;
    c.m_Params[static_cast<std::size_t>(c.m_nParamCount)].m_strText = "New Param";
    ++c.m_nParamCount;
    return true;
}

bool AddByte(CCmnd& c) {
    if (c.m_nByteCount >= CCmnd::kMaxBytes)
        return false;
    c.m_strBytes[static_cast<std::size_t>(c.m_nByteCount)] = "New Byte";
    ++c.m_nByteCount;
    return true;
}

bool RemoveParam(CCmnd& c, int k) {
    if (k < 1 || k > CCmnd::kMaxParams)
        return false;
    for (int n = k; n < CCmnd::kMaxParams; ++n)
        c.m_Params[static_cast<std::size_t>(n - 1)].m_strText =
            c.m_Params[static_cast<std::size_t>(n)].m_strText;
    c.m_Params[CCmnd::kMaxParams - 1].m_strText.clear();
    if (c.m_nParamCount > 0)
        --c.m_nParamCount;
    return true;
}

bool RemoveByte(CCmnd& c, int k) {
    if (k < 1 || k > CCmnd::kMaxBytes)
        return false;
    for (int n = k; n < CCmnd::kMaxBytes; ++n)
        c.m_strBytes[static_cast<std::size_t>(n - 1)] = c.m_strBytes[static_cast<std::size_t>(n)];
    c.m_strBytes[CCmnd::kMaxBytes - 1].clear();
    if (c.m_nByteCount > 0)
        --c.m_nByteCount;
    return true;
}

} // namespace pactwright
