#include "script/protocol_list.h"

#include "platform/paths.h"
#include "script/text_utils.h"

CProtocol* CProList::AddTail(std::unique_ptr<CProtocol> protocol) {
    CProtocol* position = protocol.get();
    m_List.push_back(std::move(protocol));
    return position;
}

bool CProList::HasArrow(std::string_view text) {
    return text.find('>') != std::string_view::npos;
}

bool CProList::FindProtocol(std::string_view name, CProtocol*& position, bool includeEvents) const {
    position = nullptr;
    std::string sought = HasArrow(name) ? TextAfterLastArrow(name) : std::string(name);
    for (const auto& protocol : m_List) {
        std::string display = protocol->GetDisplayName();
        if (!includeEvents && platform::EqualsNoCase(display, kEventProtocolName))
            continue;
        if (platform::EqualsNoCase(display, sought)) {
            position = protocol.get();
            return true;
        }
    }
    return false;
}
