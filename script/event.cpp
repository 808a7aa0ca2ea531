#include "script/event.h"

#include "script/event_storage.h"
#include "script/text_utils.h"

#include <array>

static_assert(sizeof(CEvnt) <= event_storage::kSlotSize, "an event fits one storage slot");
static_assert(alignof(CEvnt) <= 16, "slots are 16-byte aligned");

void* CEvnt::operator new(std::size_t size) {
    return event_storage::Allocate(size);
}

void CEvnt::operator delete(void* event, std::size_t size) noexcept {
    event_storage::Release(event, size);
}

CEvnt::CEvnt() = default;
CEvnt::~CEvnt() = default;

std::string CEvnt::GetParam(int index) const {
    constexpr int kParams = 10;
    if (index < 0 || index >= kParams)
        return {};
    std::array<std::string, kParams> params;
    int n = 0;
    for (const std::string* data : {&m_strData1, &m_strData2, &m_strData3})
        if (!data->empty())
            params[n++] = *data;

    bool inQuotes = false;
    bool inBlanks = false;
    for (char c : m_strData4) {
        if (!inQuotes && IsNameWhiteSpace(c)) {
            if (!inBlanks) {
                if (n + 1 >= kParams)
                    break;
                ++n;
                inBlanks = true;
            }
            continue;
        }
        inBlanks = false;
        if (c == '"')
            inQuotes = !inQuotes;
        params[n] += c;
    }
    return params[index];
}
