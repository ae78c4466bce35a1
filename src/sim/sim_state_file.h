// The simulator's state file: the controller's tables and address kept
// between runs. Binary: magic "KVSIMST" and a zero, version (u32), address,
// the 9699-byte table block, 23 destroyed flags, clock offset in seconds (i64),
// numbers little-endian.
#pragma once

#include <string>

#include "sim/controller.h"

namespace kvarta::sim {

// Writes the state (through a temporary file and a rename, so a crash never
// leaves half a file); false on failure.
bool SaveSimState(const std::string& path, const Controller& controller);
// Loads a state into controller; false (controller unchanged) when the file is
// missing, short or not a state file of this version.
bool LoadSimState(const std::string& path, Controller& controller);

}  // namespace kvarta::sim
