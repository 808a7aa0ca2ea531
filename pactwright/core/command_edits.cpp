#include "pactwright/core/command_edits.h"

namespace pactwright {

void CopyCommandTexts(const CCmnd& from, CCmnd& to) {
    to.m_strName = from.m_strName;
    to.m_strDescription = from.m_strDescription;
    to.m_strSupported = from.m_strSupported;
    to.m_strMessage = from.m_strMessage;
    to.m_strRetries = from.m_strRetries;
    to.m_strTimeout = from.m_strTimeout;
    to.m_strMessageAck = from.m_strMessageAck;
    to.m_strCompletionAck = from.m_strCompletionAck;
    to.m_strBytes = from.m_strBytes;
    for (std::size_t n = 0; n < to.m_Params.size(); ++n)
        to.m_Params[n].m_strText = from.m_Params[n].m_strText;
    to.m_nParamCount = from.m_nParamCount;
    to.m_nByteCount = from.m_nByteCount;
}

std::unique_ptr<CCmnd> MakeNewCommand() {
    auto command = std::make_unique<CCmnd>("New Command");
    command->m_strDescription = "Description of Command";
    command->m_strMessage = "Message goes here";
    return command;
}

std::unique_ptr<CCmnd> MakeMessageOutCommand() {
    auto command = std::make_unique<CCmnd>("MessageOut");
    command->m_strDescription = "Sends a Data or local String out a port";
    command->m_strMessage = "@string(param2)";
    command->m_Params[0].m_strText = "port, \"A valid Port\"";
    command->m_Params[1].m_strText = "datastring|string, \"A valid Data or local String\"";
    command->m_nParamCount = 2;
    return command;
}

} // namespace pactwright
