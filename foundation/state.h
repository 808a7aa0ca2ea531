// An object carrying a small state number. Device objects keep their download step in it while
// the user-interface thread reads it, so the number is atomic.
#pragma once

#include "foundation/object.h"

#include <atomic>
#include <cstdint>

class QORState_c : public QORObject_c {
public:
    QORState_c() = default;

    virtual void SetState(std::int16_t state) { m_state.store(state); }
    std::int16_t GetState() const { return m_state.load(); }

private:
    std::atomic<std::int16_t> m_state{0};
};
