// Text bound for a terminal. What a file or a controller supplies must not steer the user's
// terminal: every control character but line feed and tab is shown as \xNN, so an escape
// sequence in a script line, a reply or a name can neither retitle, clear nor fake the screen.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// C0 controls but LF and TAB, DEL, and the bytes 0x80-0x9F (the 8-bit controls, also the
// second byte of a UTF-8 encoded one) become "\x" and two lower-case hex digits.
std::string TerminalSafe(std::string_view text);

} // namespace platform
