#include "foundation/callback.h"

void QORCallback_c::Run() {
    if (m_function == nullptr) {
        m_status.store(254);
        return;
    }
    m_status.store(m_function(m_userData, m_argument != nullptr ? m_argument : this));
}
