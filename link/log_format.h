// printf-style formatting of the link's log lines. Only integer and text conversions go through
// the C library (they do not depend on the locale); decimals use FormatFixed.
#pragma once

#include <string>

namespace showlink {

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

// A double as "%f" writes it in the C locale (six decimals, a decimal point), whatever the
// program's locale.
std::string FormatFixed(double value, int decimals = 6);

} // namespace showlink
