// The modem a controller requires (table 0 field 17) by name: as the
// identification window shows it and as file names carry it.
#pragma once

#include <cstdint>
#include <string>

namespace kvarta {

// "SC3000" (code 0), "mc55iT" (code 1); "" for a code without a name.
std::string ModemTypeName(uint8_t code);
// "sc3000", "mc55it"; "modem%u" for other codes, so that a file name stays
// telling and distinct.
std::string ModemTypeFileName(uint8_t code);

}  // namespace kvarta
