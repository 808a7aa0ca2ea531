// The printable protocol listing: the device's settings and every command, one labelled line
// each, CR LF line ends. Section lines begin with '[' so the paginator sets them as headings.
#pragma once

#include "script/protocol.h"

#include <string>

namespace pactwright {

std::string BuildListing(const CProtocol& protocol);

} // namespace pactwright
