// A protocol model as text, for comparing what was written with what a reader made of it.
#pragma once

#include "script/protocol.h"

#include <string>

namespace pactwright_test {

inline std::string Snapshot(const CProtocol& p) {
    std::string s;
    auto field = [&](const char* key, const std::string& value) {
        s.append(key).append("=").append(value).append("\n");
    };
    field("Version", p.m_strVersion);
    field("Date", p.m_strDate);
    field("Description", p.m_strDescription);
    field("Location", p.m_strLocation);
    field("Author", p.m_strAuthor);
    field("Maker", p.m_strMaker);
    field("Model", p.m_strModel);
    field("Supported", p.m_strSupported);
    field("Interface", p.m_strInterface);
    field("Type", p.m_strType);
    field("DataBits", p.m_strDataBits);
    field("StopBits", p.m_strStopBits);
    field("Parity", p.m_strParity);
    field("BaudRate", p.m_strBaudRate);
    field("Address", p.m_strAddress);
    field("Protocol", p.m_strProtocol);
    field("BrevantType", p.m_strBrevantType);
    for (const auto& c : p.m_poCmndList) {
        field("[", c->m_strName);
        field("Description", c->m_strDescription);
        field("Supported", c->m_strSupported);
        field("Message", c->m_strMessage);
        field("Retries", c->m_strRetries);
        field("Timeout", c->m_strTimeout);
        field("MessageAck", c->m_strMessageAck);
        field("CompletionAck", c->m_strCompletionAck);
        for (int n = 0; n < c->m_nParamCount; ++n)
            field("Param", c->m_Params[static_cast<std::size_t>(n)].m_strText);
        for (int n = 0; n < c->m_nByteCount; ++n)
            field("Byte", c->m_strBytes[static_cast<std::size_t>(n)]);
    }
    return s;
}

// What the reader makes of a value: leading blanks and tabs dropped; an empty value, or one
// starting with ';', is missing and gives the default.
inline std::string AsRead(const std::string& value, const std::string& fallback = {}) {
    std::size_t i = value.find_first_not_of(" \t");
    if (i == std::string::npos || value[i] == ';')
        return fallback;
    return value.substr(i);
}

// The model the reader should make of the written model: the reading rules applied.
inline void ApplyReadingRules(CProtocol& p) {
    for (std::string* v :
         {&p.m_strVersion, &p.m_strDate, &p.m_strDescription, &p.m_strAuthor, &p.m_strMaker,
          &p.m_strModel, &p.m_strSupported, &p.m_strInterface, &p.m_strType, &p.m_strDataBits,
          &p.m_strStopBits, &p.m_strParity, &p.m_strBaudRate, &p.m_strAddress, &p.m_strProtocol})
        *v = AsRead(*v);
    p.m_strLocation = AsRead(p.m_strLocation, "Local");
    p.m_strBrevantType = AsRead(p.m_strBrevantType, "Show Controller");
    for (auto& c : p.m_poCmndList) {
        for (std::string* v :
             {&c->m_strDescription, &c->m_strSupported, &c->m_strMessage, &c->m_strRetries,
              &c->m_strTimeout, &c->m_strMessageAck, &c->m_strCompletionAck})
            *v = AsRead(*v);
        int params = 0;
        while (params < c->m_nParamCount &&
               !AsRead(c->m_Params[static_cast<std::size_t>(params)].m_strText).empty()) {
            auto& text = c->m_Params[static_cast<std::size_t>(params)].m_strText;
            text = AsRead(text);
            ++params;
        }
        c->m_nParamCount = params;
        int bytes = 0;
        while (bytes < c->m_nByteCount &&
               !AsRead(c->m_strBytes[static_cast<std::size_t>(bytes)]).empty()) {
            auto& text = c->m_strBytes[static_cast<std::size_t>(bytes)];
            text = AsRead(text);
            ++bytes;
        }
        c->m_nByteCount = bytes;
    }
}

} // namespace pactwright_test
