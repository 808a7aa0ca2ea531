// The termios form of serial line settings. Apart from serial_device.h so that the termios
// macros reach only the code that needs them.
#pragma once

#include "platform/serial_device.h"

#include <termios.h>

namespace platform {

// The termios form of line settings, kept apart so the mapping can be checked on any terminal
// (pseudo-terminals force 8 bits without parity whatever they are given). Compose changes only
// speed, size, parity, stop bits and input parity checking; false (EINVAL in `error`) for a
// rate or size the line does not offer.
bool ComposeTermios(const LineSettings& settings, termios& t, int& error);
LineSettings DecodeTermios(const termios& t);

} // namespace platform
