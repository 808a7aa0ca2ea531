// The character a key gives without Shift, as the keyboard layout has it: what a key press
// means to a table indexed by characters, whatever modifiers were held.
#pragma once

#include <cstdint>

class QKeyEvent;

namespace platform::qt {

// Answered for a dead key: not a character, and above every 7-bit one.
inline constexpr int kDeadKeyCharacter = 0x10000;

// The unshifted character of the key, letters as capitals ('A' to 'Z'); -1 for a key without
// one (modifiers, arrows, function keys). Under X it is the first symbol (group 1, level 1) of
// the key's keycode in the server's keymap; where there is no keymap (offscreen, or an event
// made without a keycode) the US layout's fold of the key's virtual key.
int UnshiftedKeyCharacter(const QKeyEvent& event);

// The US layout's unshifted character of a virtual key, -1 when it has none.
int UsUnshiftedCharacter(int vk);

// The character of an X keysym as a key gives it, letters as capitals; kDeadKeyCharacter for
// a dead key, -1 for a keysym without a character.
int KeysymCharacter(std::uint32_t keysym);

} // namespace platform::qt
