// Whole tables cut into requests within the value byte limits.
#pragma once

#include <vector>

#include "link/table_service.h"

namespace kvarta {

// Consecutive chunks covering all fields of table t: min(n, 245 div size)
// fields for reading, min(n, 229 div size) for writing.
std::vector<FieldRange> ChunkTable(int t, bool for_write);
// The same for the fields of range only (clipped to the table).
std::vector<FieldRange> ChunkFields(const FieldRange& range, bool for_write);

bool ReadWholeTable(ControllerLink& link, ConfigImage& image, int t, StatusBar* status);
bool WriteWholeTable(ControllerLink& link, ConfigImage& image, int t, StatusBar* status);

}  // namespace kvarta
