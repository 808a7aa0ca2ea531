#include "foundation/history_value.h"

std::unique_ptr<QORObject_c> QORHistoryValue_c::Create() const {
    return std::make_unique<QORHistoryValue_c>();
}

std::uint8_t QORHistoryValue_c::CopyTo(QORObject_c* target) const {
    auto* other = dynamic_cast<QORHistoryValue_c*>(target);
    if (other == nullptr || QORValue_c::CopyTo(target) != 2) {
        return 254;
    }
    other->SetDepth(m_depth);
    if (!m_history) {
        other->m_history.reset();
        return 2;
    }
    auto copy = std::make_unique<QORList_c>();
    const std::uint8_t status = m_history->CopyTo(copy.get());
    other->m_history = std::move(copy);
    return status == 2 ? 2 : 254;
}

QORList_c* QORHistoryValue_c::History() {
    if (!m_history) {
        m_history = std::make_unique<QORList_c>();
        Commit();
    }
    return m_history.get();
}

void QORHistoryValue_c::Trim(std::int32_t keep) {
    while (m_history && m_history->Count() > keep &&
           m_history->SelectIndex(m_history->Count() - 1) == 2) {
        m_history->RemoveCurrent(249);
    }
}

std::uint8_t QORHistoryValue_c::Commit() {
    QORList_c* history = History();
    if (history->First() != nullptr) {
        auto* newest = dynamic_cast<QORValue_c*>(history->First()->object);
        if (newest != nullptr && Compare(newest, 0, 3, 253) == 0) {
            return 0;
        }
    }
    if (m_depth == 0) {
        history->Clear();
        return 254;
    }
    if (m_depth > 0) {
        Trim(m_depth);
    }
    auto copy = std::make_unique<QORValue_c>();
    if (QORValue_c::CopyTo(copy.get()) != 2) {
        return 254;
    }
    if (history->SelectIndex(0) != 2 && history->Count() != 0) {
        return 254;
    }
    if (history->InsertBefore(copy.get()) != 2) {
        return 254;
    }
    copy.release(); // the owning list holds it now
    return 2;
}

void QORHistoryValue_c::SetDepth(std::int32_t depth) {
    if (depth < 0) {
        depth = -1;
    }
    if (depth == m_depth) {
        return;
    }
    m_depth = depth;
    if (depth == 0) {
        m_history.reset();
    } else if (depth > 0) {
        History();
        Trim(depth);
    }
}
