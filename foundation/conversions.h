// Conversions between numbers, bytes and text, written without the C library's locale-bound
// parsers and printers: tolerant number parsers, fixed-point printing with halves going up,
// the three rounding modes, hexadecimal pairs, and the byte text form users type for device
// data (quoted runs with backslash escapes mixed with hexadecimal and decimal bytes).
#pragma once

#include <cstdint>

class QORBuffer_c;

// Parses the byte text form into the buffer (resized to the text length, then rewound to the
// bytes made). 254 when a character was rejected or the text ended with an unknown escape.
std::uint8_t QORParseBinaryText(std::int32_t length, const char* text, QORBuffer_c* buffer);
// Decodes the characters after a backslash: the count used (1, or 3 for x and two hexadecimal
// digits) or -2 for a letter missing from the escape table.
std::int32_t QORDecodeEscape(const char* chars, std::int32_t left, std::uint8_t* destination);
// Row 0 to 6 of the escape table holding the byte, or -2.
std::int32_t QOREscapeIndex(std::uint8_t byte);

// The first decimal digit run of the text; status 2 only when the whole text is digits.
std::uint32_t QORTextToUInt(std::uint8_t* status, std::int32_t length, const char* text);
// As QORTextToUInt, but a '-' before the digits makes the result negative without an error.
std::int32_t QORTextToInt(const char* text, std::int32_t length, std::uint8_t* status);
// Digits with one decimal point; leading junk skipped, trailing junk ends the number.
double QORTextToUDouble(const char* text, std::int32_t length, std::uint8_t* status);
double QORTextToDouble(const char* text, std::int32_t length, std::uint8_t* status);

// Writes the decimal digits and a zero byte; answers the place of the zero byte, or null when
// the space cannot hold both.
char* QORUIntToText(char* destination, std::int32_t space, std::uint32_t value,
                    std::int32_t* digitCount);
std::int32_t QORDigitCount(std::int32_t value);
// Fixed point with at least one decimal (decimals cut to 9); the fraction is made by one
// multiplication by ten per decimal and rounded half up. Characters stop where the space runs
// out, keeping room for the zero byte. Answers the place of the zero byte, or null.
char* QORDoubleToText(std::int32_t* count, char* destination, std::int32_t space,
                      std::int32_t decimals, double value);
char* QORSignedDoubleToText(double value, std::int32_t space, char* destination,
                            std::int32_t* count, std::int32_t decimals);

// Rounding on the magnitude cut into 32 bits, sign restored; 0, NaN and infinities unchanged.
double QORRound(double value); // halves away from zero
double QORTrunc(double value); // toward zero
double QORCeil(double value);  // toward plus infinity

std::uint8_t QORBytesToHex(std::int32_t capacity, std::int32_t count, char* output,
                           const std::uint8_t* bytes);
std::uint8_t QORHexToBytes(std::int32_t digitCount, const char* digits, std::uint8_t* output,
                           std::int32_t outputSize);
std::uint8_t QORHexPairToByte(char high, char low);
std::uint8_t QORByteToHexPair(char* destination, std::uint8_t byte);
