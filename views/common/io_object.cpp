#include "views/common/io_object.h"

#include <utility>

namespace {

struct KindFormat {
    char letter;
    int digits;
};

// Letter and zero-padded width of the number, by kind 1-9.
constexpr KindFormat kFormats[] = {{'S', 3}, {'E', 5}, {'I', 2}, {'O', 2}, {'F', 2},
                                   {'V', 2}, {'P', 2}, {'D', 3}, {'L', 3}};

} // namespace

CIOObject::CIOObject(std::string name, std::int16_t kind, std::uint16_t number)
    : m_strName(std::move(name)), m_strDisplay(FormatDisplay(m_strName, kind, number)),
      m_wNumber(number), m_nKind(kind) {}

std::string CIOObject::FormatDisplay(const std::string& name, std::int16_t kind,
                                     std::uint16_t number) {
    std::string display;
    if (kind >= 1 && kind <= 9) {
        const KindFormat format = kFormats[kind - 1];
        std::string digits = std::to_string(number);
        if (digits.size() < static_cast<std::size_t>(format.digits))
            digits.insert(0, static_cast<std::size_t>(format.digits) - digits.size(), '0');
        display.push_back(format.letter);
        display += '-';
        display += digits;
        display += ": ";
    }
    display += name;
    // A list shows at most this much; the name itself stays whole for the owner to read back.
    if (display.size() > kMaxDisplay)
        display.resize(kMaxDisplay);
    return display;
}
