// The application's list of protocols: it owns them, in the order they were appended.
#pragma once

#include "script/protocol.h"

#include <memory>
#include <string_view>
#include <vector>

class CProList {
public:
    // The display name of the built-in event protocol, which ordinary lookups skip.
    static constexpr std::string_view kEventProtocolName = "Brevant_Events";

    CProList() = default;
    CProList(const CProList&) = delete;
    CProList& operator=(const CProList&) = delete;

    // Takes ownership; answers the protocol's position (stable while the list lives).
    CProtocol* AddTail(std::unique_ptr<CProtocol> protocol);
    void RemoveAll() { m_List.clear(); }
    std::size_t GetCount() const { return m_List.size(); }
    bool IsEmpty() const { return m_List.empty(); }

    // Finds a protocol by its display name without regard to case. A name holding '>' (a
    // reference "script->protocol") is looked up by its part after the last '>'. The event
    // protocol is found only with includeEvents. On success `position` is the protocol; on
    // failure it is null.
    bool FindProtocol(std::string_view name, CProtocol*& position, bool includeEvents) const;
    // True when the text holds a '>'.
    static bool HasArrow(std::string_view text);

    // The protocols in list order.
    auto begin() const { return m_List.begin(); }
    auto end() const { return m_List.end(); }

private:
    std::vector<std::unique_ptr<CProtocol>> m_List;
};
