// Dates as the programs print and store them, in English whatever the user's locale: a protocol
// file's Date and the printouts' footers are read by people of any locale and must look alike.
#pragma once

#include <ctime>
#include <string>
#include <string_view>

namespace platform {

// Formats `time` by `format`, where %A is the day's name, %B the month's name, %d the day of the
// month (two digits), %Y the year, %H and %M the hour (00-23) and minute, and %% a '%'; any
// other character is copied.
std::string FormatEnglishDate(const std::tm& time, std::string_view format);
// The local time now, formatted so.
std::string EnglishDateNow(std::string_view format);

} // namespace platform
