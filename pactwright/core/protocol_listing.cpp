#include "pactwright/core/protocol_listing.h"

#include <cstdio>

namespace pactwright {

namespace {

void Line(std::string& out, std::string_view label, std::string_view value) {
    out.append(label).append(value).append("\r\n");
}

std::string Numbered(const char* format, int n) {
    char label[32];
    std::snprintf(label, sizeof label, format, n);
    return label;
}

} // namespace

std::string BuildListing(const CProtocol& p) {
    std::string out;
    Line(out, "[   Protocol:   ", p.m_strDescription);
    Line(out, "  File Name:   ", p.m_strPath);
    Line(out, "  Version:     ", p.m_strVersion);
    Line(out, "  Location:    ", p.m_strLocation);
    Line(out, "  Date:        ", p.m_strDate);
    Line(out, "  Author:      ", p.m_strAuthor);
    Line(out, "  Maker:       ", p.m_strMaker);
    Line(out, "  Model:       ", p.m_strModel);
    Line(out, "  Supported:   ", p.m_strSupported);
    Line(out, "  Interface:   ", p.m_strInterface);
    Line(out, "  Type:        ", p.m_strType);
    Line(out, "  Data Bits:   ", p.m_strDataBits);
    Line(out, "  Stop Bits:   ", p.m_strStopBits);
    Line(out, "  Parity:      ", p.m_strParity);
    Line(out, "  Baud Rate:   ", p.m_strBaudRate);
    Line(out, "  Address:     ", p.m_strAddress);
    Line(out, "  Protocol:    ", p.m_strProtocol);
    Line(out, "  BrevantType:  ", p.m_strBrevantType);
    for (const auto& c : p.m_poCmndList) {
        out.append("\r\n");
        Line(out, "[                     ", c->m_strName);
        Line(out, "  Description: ", c->m_strDescription);
        Line(out, "  Supported:   ", c->m_strSupported);
        Line(out, "  MsgAck:      ", c->m_strMessageAck);
        Line(out, "  CmpAck:      ", c->m_strCompletionAck);
        Line(out, "  Timeout:     ", c->m_strTimeout);
        Line(out, "  Retries:     ", c->m_strRetries);
        for (int n = 0; n < c->m_nParamCount && n < CCmnd::kMaxParams; ++n)
            Line(out, Numbered("  Param%2.2d:     ", n + 1),
                 c->m_Params[static_cast<std::size_t>(n)].m_strText);
        for (int n = 0; n < c->m_nByteCount && n < CCmnd::kMaxBytes; ++n)
            Line(out, Numbered("  Byte%2.2d:      ", n + 1),
                 c->m_strBytes[static_cast<std::size_t>(n)]);
        Line(out, "  Message:     ", c->m_strMessage);
    }
    return out;
}

} // namespace pactwright
