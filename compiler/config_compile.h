// The configuration phase of a compile: the image header and the three port tables from the
// script's unit settings and ports, checked against the image, the product definition and the
// device protocols, and (with maximum error detection) the uniqueness of every resource name.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

class CVLDoc;

// Fills the header and the port tables and sets the image length to where the first sequence
// record begins. Answers false when the image cannot hold the script's tables (more than 255
// sequences): the size error has then been posted and the compile must end.
bool CompileConfiguration(CVLDoc& doc);

// Warns for every name not yet compared with `name` (already normalised) that equals it; kind
// is a NameKind, index the name's position. Advances the kind's start index.
void CheckDuplicateName(CVLDoc& doc, std::string_view name, int kind, int index);

// True when one of the first ten items of the comma-separated list, normalised, equals the
// value without regard to case.
bool ListContainsName(std::string_view list, std::string_view value);

// The port-type code of a device protocol's "Protocol" entry.
std::uint8_t PortTypeCode(std::string_view protocolEntry);

// A whole decimal number (blanks around it allowed), or nothing.
std::optional<long long> ParseWholeDecimal(std::string_view text);
// A decimal number with an optional fraction (blanks around it allowed), or nothing; never
// depends on the locale.
std::optional<double> ParseDecimalNumber(std::string_view text);

// The image-size error text.
std::string ImageSizeErrorText();
