#include "pactwright/core/protocol_writer.h"

#include <algorithm>

namespace pactwright {

void WriteLine(std::string& out, std::string_view key, std::string_view value) {
    out.append(key).append("=").append(value).append("\r\n");
}

void WriteLine(std::string& out, std::string_view key) {
    out.append(key).append("\r\n");
}

namespace {

void WriteIfSet(std::string& out, std::string_view key, const std::string& value) {
    if (!value.empty())
        WriteLine(out, key, value);
}

// The reader takes a value that is empty after its leading blanks and tabs, or starts with ';'
// there, as missing.
bool ReadsAsMissing(std::string_view value) {
    std::size_t i = 0;
    while (i < value.size() && (value[i] == ' ' || value[i] == '\t'))
        ++i;
    return i == value.size() || value[i] == ';';
}

std::size_t EstimatedSize(const CProtocol& protocol) {
    std::size_t size = 512;
    for (const auto& command : protocol.m_poCmndList) {
        size += 128 + command->m_strName.size() + command->m_strDescription.size() +
                command->m_strMessage.size();
        for (int n = 0; n < command->m_nParamCount; ++n)
            size += 12 + command->m_Params[static_cast<std::size_t>(n)].m_strText.size();
        for (int n = 0; n < command->m_nByteCount; ++n)
            size += 12 + command->m_strBytes[static_cast<std::size_t>(n)].size();
    }
    return size;
}

} // namespace

std::string WriteProtocolText(const CProtocol& p) {
    std::string out;
    out.reserve(EstimatedSize(p));
    // "[Device]\r\n" written as a key: the header and one empty line.
    WriteLine(out, "[Device]\r\n");
    WriteLine(out, "Version", p.m_strVersion);
    WriteLine(out, "Date", p.m_strDate);
    WriteLine(out, "Description", p.m_strDescription);
    WriteLine(out, "Location", p.m_strLocation);
    WriteLine(out, "Author", p.m_strAuthor);
    WriteLine(out, "Maker", p.m_strMaker);
    WriteLine(out, "Model", p.m_strModel);
    WriteLine(out, "Supported", p.m_strSupported);
    WriteLine(out, "Type", p.m_strType);
    WriteLine(out, "Interface", p.m_strInterface);
    WriteLine(out, "DataBits", p.m_strDataBits);
    WriteLine(out, "StopBits", p.m_strStopBits);
    WriteLine(out, "Parity", p.m_strParity);
    WriteLine(out, "BaudRate", p.m_strBaudRate);
    WriteLine(out, "Protocol", p.m_strProtocol);
    WriteLine(out, "BrevantType", p.m_strBrevantType);
    WriteIfSet(out, "Address", p.m_strAddress);

    for (const auto& c : p.m_poCmndList) {
        WriteLine(out, "\r\n[" + c->m_strName + "]");
        WriteLine(out, "description", c->m_strDescription);
        WriteIfSet(out, "supported", c->m_strSupported);
        WriteIfSet(out, "retries", c->m_strRetries);
        WriteIfSet(out, "timeout", c->m_strTimeout);
        WriteIfSet(out, "messageack", c->m_strMessageAck);
        WriteIfSet(out, "completionack", c->m_strCompletionAck);
        for (int n = 0; n < c->m_nParamCount && n < CCmnd::kMaxParams; ++n)
            WriteLine(out, "param" + std::to_string(n + 1),
                      c->m_Params[static_cast<std::size_t>(n)].m_strText);
        for (int n = 0; n < c->m_nByteCount && n < CCmnd::kMaxBytes; ++n)
            WriteLine(out, "byte" + std::to_string(n + 1),
                      c->m_strBytes[static_cast<std::size_t>(n)]);
        WriteLine(out, "message", c->m_strMessage);
    }
    return out;
}

std::vector<EmptyLineGap> FindEmptyLineGaps(const CProtocol& protocol) {
    std::vector<EmptyLineGap> gaps;
    for (const auto& c : protocol.m_poCmndList) {
        auto scan = [&](int count, bool param, auto textOf) {
            for (int n = 0; n < count; ++n) {
                if (!ReadsAsMissing(textOf(n)))
                    continue;
                for (int later = n + 1; later < count; ++later) {
                    if (!ReadsAsMissing(textOf(later))) {
                        gaps.push_back({c.get(), param, n + 1});
                        return;
                    }
                }
                return;
            }
        };
        scan(std::min(c->m_nParamCount, CCmnd::kMaxParams), true, [&](int n) -> const std::string& {
            return c->m_Params[static_cast<std::size_t>(n)].m_strText;
        });
        scan(std::min(c->m_nByteCount, CCmnd::kMaxBytes), false, [&](int n) -> const std::string& {
            return c->m_strBytes[static_cast<std::size_t>(n)];
        });
    }
    return gaps;
}

} // namespace pactwright
