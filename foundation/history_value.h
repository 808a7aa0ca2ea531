// A value that remembers its committed states, newest first, so that a change can be told from
// a value that was set to what it already held.
#pragma once

#include "foundation/object_list.h"
#include "foundation/variant_value.h"

#include <cstdint>
#include <memory>

class QORHistoryValue_c : public QORValue_c {
public:
    QORHistoryValue_c() = default;

    std::unique_ptr<QORObject_c> Create() const override;
    // The value, the depth and copies of the history; 254 when a step fails or the target is
    // not a history value.
    std::uint8_t CopyTo(QORObject_c* target) const override;

    // The committed values (plain values), newest first. Made on first use with the current
    // value committed into it, so a fresh history holds one entry.
    QORList_c* History();
    // Records the value when it differs from the newest entry: 2 recorded, 0 unchanged, 254 when
    // it cannot be recorded or the depth is 0.
    std::uint8_t Commit();
    // -1 keeps every entry, 0 none (the history is dropped), n at most n older entries.
    void SetDepth(std::int32_t depth);
    std::int32_t Depth() const { return m_depth; }

private:
    void Trim(std::int32_t keep);

    std::unique_ptr<QORList_c> m_history;
    std::int32_t m_depth = -1;
};
