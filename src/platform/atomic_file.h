// Replacing a file's contents so that a crash or a full disk never leaves a
// half-written file behind: the old contents or the new, nothing between.
#pragma once

#include <string>
#include <string_view>

namespace kvarta {

// Writes bytes to a temporary file beside path, flushes it to the disk and
// renames it over path. False (and path untouched) on any failure.
bool WriteFileAtomically(const std::string& path, std::string_view bytes);

// Reads a whole file; false when it cannot be opened or read.
bool ReadWholeFile(const std::string& path, std::string& bytes);

}  // namespace kvarta
