// Opens a pseudo-terminal pair in raw mode at 9600 baud, both ends closed on exec: the line the
// emulators and the link tests stand in for a controller's serial port.
#pragma once

#include <string>

namespace testing_support {

// Answers false when no pair could be opened; otherwise sets both descriptors and the path of
// the slave end, which the program under test opens as its port.
bool OpenRawPty(int& master, int& slave, std::string& slavePath);

} // namespace testing_support
