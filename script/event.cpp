#include "script/event.h"

#include "script/event_storage.h"
#include "script/text_utils.h"

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
    // Only the asked parameter is built: the compiler asks for each of an event's
    // parameters many times over.
    int n = 0;
    for (const std::string* data : {&m_strData1, &m_strData2, &m_strData3})
        if (!data->empty()) {
            if (n == index)
                return *data;
            ++n;
        }

    std::string param;
    bool inQuotes = false;
    bool inBlanks = false;
    for (char c : m_strData4) {
        if (!inQuotes && IsNameWhiteSpace(c)) {
            if (!inBlanks) {
                if (n + 1 >= kParams || n == index)
                    break;
                ++n;
                inBlanks = true;
            }
            continue;
        }
        inBlanks = false;
        if (c == '"')
            inQuotes = !inQuotes;
        if (n == index)
            param += c;
    }
    return n == index ? param : std::string();
}
