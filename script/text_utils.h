// Small text helpers shared by the script model, its files and the compiler: the name
// normaliser, menu-caption ampersands, the "->" reference notation, window-position and
// column-width lists, the split of a long text at a blank and the folder of a path.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

// Blank, tab, line feed, vertical tab, form feed and carriage return.
bool IsNameWhiteSpace(char c);

// Removes leading and trailing white space; with convertBlanks, every white-space character
// outside double quotes then becomes '_' (each '"' toggles the in-quotes state and stays).
// Names are compared after this, without regard to case. Texts of any length are accepted.
std::string NormalizeName(std::string_view text, bool convertBlanks);

std::string StripAmpersands(std::string_view text);
std::string DoubleAmpersands(std::string_view text);

// True when the text holds '-' directly followed by '>'.
bool HasArrow(std::string_view text);
// Whether two script titles name the same script as the "->" references write them: each
// normalised with blanks turned to '_', compared without regard to case. A title with blanks is
// thus found by the underscored form a port stores.
bool ScriptTitlesMatch(std::string_view a, std::string_view b);
// The script part of "script->name": the text before the nearest '-' that precedes the last
// '>' (they need not be adjacent); empty without them.
std::string TextBeforeLastArrow(std::string_view text);
// The name part of "script->name": the text after the last '>', or the whole text.
std::string TextAfterLastArrow(std::string_view text);

// The text before the last '\'; empty when there is none or the only one leads the path.
std::string DirectoryOfPath(std::string_view path);

// Window positions stored as "%d, %d, %d, %d"; -1 where a number is missing. A text without
// a comma leaves all four at -1.
std::array<int, 4> SplitFourInts(std::string_view text);

// Field n (from 0) of a comma-separated list of column widths, as an unsigned 16-bit value
// (a negative number gives 0, a larger one 65535); 0 for a text without a comma or a field
// beyond the last.
std::uint16_t CommaFieldToInt(std::string_view text, int n);

struct SplitText {
    std::string head;
    std::string tail;
};
// Spreads a long text over two lines at the last blank among its first n characters.
SplitText SplitTextAtBlank(std::string_view text, std::size_t n);
