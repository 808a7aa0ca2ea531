#include "platform/terminal_text.h"

#include <gtest/gtest.h>

namespace {

TEST(TerminalSafe, ControlCharactersBecomeVisible) {
    struct Case {
        std::string in;
        std::string out;
    };
    const Case cases[] = {
        {"plain text, tab\tand\nline", "plain text, tab\tand\nline"},
        {"\x1b]0;owned\x07", "\\x1b]0;owned\\x07"},
        {"\x1b[2J\x1b[H", "\\x1b[2J\\x1b[H"},
        {"fake\rline", "fake\\x0dline"},
        {std::string("nul\0end", 7), "nul\\x00end"},
        {"\x7f", "\\x7f"},
        // 8-bit controls, also as the second byte of their UTF-8 form.
        {"\x9b"
         "31m \xc2\x9d",
         "\\x9b31m \xc2\\x9d"},
        // Printable bytes of the code page stay.
        {"caf\xe9 \xa0\xff", "caf\xe9 \xa0\xff"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(platform::TerminalSafe(c.in), c.out);
}

} // namespace
