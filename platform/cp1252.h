// Text in files is Windows-1252 and the model keeps it as bytes. Only the user-interface
// boundary converts: to UTF-8 for display, back to Windows-1252 for what the user typed.
#pragma once

#include <string>
#include <string_view>

namespace platform {

std::string Cp1252ToUtf8(std::string_view bytes);
// Characters that Windows-1252 cannot hold become '?'.
std::string Utf8ToCp1252(std::string_view utf8);

} // namespace platform
