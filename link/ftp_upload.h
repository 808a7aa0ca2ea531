// Upload of a compiled image to a networked device by FTP (binary, as "load.dat"), logging each
// step as the compile view shows it.
#pragma once

#include "link/transfer_log.h"
#include "script/quenlow_device.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace showlink {

inline constexpr const char* kFtpRemoteName = "load.dat";
inline constexpr int kFtpDefaultPort = 21;

// The FTP control port used for the devices (21; tests point it at their own server).
int FtpPort();
int SetFtpPort(int port);

// Sends `size` bytes from memory to the device at `deviceIndex` in the list, named after
// `localName` in the log lines. True when the file arrived. An index outside the list logs a red
// error line and sends nothing.
bool UploadByFtp(const CQuenlowList& devices, int deviceIndex, const std::string& localName,
                 const std::uint8_t* data, std::size_t size, const TransferLog& log,
                 int port = FtpPort());

} // namespace showlink
