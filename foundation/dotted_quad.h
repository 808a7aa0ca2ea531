// Address texts such as 192.168.0.254 turned into address bytes.
#pragma once

#include <cstdint>

class QORBuffer_c;
class QORString_c;

// Writes one byte per '.'-separated piece at the target's cursor. 254 when an argument is
// missing, when the target has fewer bytes left than there are pieces (nothing is written), or
// at the first piece that is empty, not all decimal digits or above 255 (the bytes before it
// stay); 2 otherwise. The number of pieces is not limited to four.
std::uint8_t QORParseDottedQuad(const QORString_c* text, QORBuffer_c* target);
