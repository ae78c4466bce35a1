// Port numbers COMn of the settings mapped to device paths.
#pragma once

#include <string>

namespace kvarta {

// File in the settings folder that overrides the default paths, one line per
// port: "COM3=/dev/ttyUSB0". Blank lines and lines starting with '#' or ';'
// are ignored.
inline constexpr const char* kPortMapFileName = "com_ports.map";

// Device path of COMn: the map file's entry when ini_folder holds one (the
// first non-empty entry naming COMn), else /dev/ttyS<n-1>. An empty ini_folder
// means no map file. A port number below 1 has no device: empty path.
std::string ComPortPath(int n, const std::string& ini_folder);

// Parses a --port argument: "COMn" (any letter case, n 1..255 as the settings
// store it in one byte) gives n, anything else 0.
int ParseComName(const std::string& text);

}  // namespace kvarta
