#include "platform/english_date.h"

#include <array>

namespace platform {

namespace {

constexpr std::array<std::string_view, 7> kDays = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                                   "Thursday", "Friday", "Saturday"};
constexpr std::array<std::string_view, 12> kMonths = {
    "January", "February", "March",     "April",   "May",      "June",
    "July",    "August",   "September", "October", "November", "December"};

void AppendNumber(std::string& out, int value, int digits) {
    std::string text = std::to_string(value < 0 ? -value : value);
    if (value < 0)
        out.push_back('-');
    for (int n = static_cast<int>(text.size()); n < digits; ++n)
        out.push_back('0');
    out += text;
}

template <std::size_t N>
std::string_view NameOf(const std::array<std::string_view, N>& names, int index) {
    return index >= 0 && static_cast<std::size_t>(index) < N
               ? names[static_cast<std::size_t>(index)]
               : std::string_view("?");
}

} // namespace

std::string FormatEnglishDate(const std::tm& time, std::string_view format) {
    std::string out;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%' || i + 1 == format.size()) {
            out.push_back(format[i]);
            continue;
        }
        switch (format[++i]) {
        case 'A':
            out += NameOf(kDays, time.tm_wday);
            break;
        case 'B':
            out += NameOf(kMonths, time.tm_mon);
            break;
        case 'd':
            AppendNumber(out, time.tm_mday, 2);
            break;
        case 'Y':
            AppendNumber(out, time.tm_year + 1900, 1);
            break;
        case 'H':
            AppendNumber(out, time.tm_hour, 2);
            break;
        case 'M':
            AppendNumber(out, time.tm_min, 2);
            break;
        case '%':
            out.push_back('%');
            break;
        default:
            out.push_back('%');
            out.push_back(format[i]);
            break;
        }
    }
    return out;
}

std::string EnglishDateNow(std::string_view format) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return FormatEnglishDate(local, format);
}

} // namespace platform
