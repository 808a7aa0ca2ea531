// The numbers the program reads from its profile, each with the range the code that uses it can
// carry (never wider than the dialogs that set it offer) and its default. A value beyond the
// range is clamped to the nearer end before anything uses it: a hand-edited or damaged profile
// must not make the program allocate without bound, overflow or wait forever.
#pragma once

#include <span>
#include <string_view>

namespace platform {
class ProfileFile;
}

struct ProfileNumber {
    const char* section;
    const char* key;
    int defaultValue;
    int low;
    int high;
};

// Every number of the profile, section by section.
std::span<const ProfileNumber> ProfileNumbers();
// The entry of a key; the program only asks for keys of the table.
const ProfileNumber& FindProfileNumber(std::string_view section, std::string_view key);
// The key's value clamped to its range; a missing or unreadable value gives the default.
int ReadProfileNumber(const platform::ProfileFile& profile, std::string_view section,
                      std::string_view key);
int ClampProfileNumber(const ProfileNumber& number, int value);
