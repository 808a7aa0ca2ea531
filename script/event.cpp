#include "script/event.h"

#include "script/text_utils.h"

#include <array>

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
