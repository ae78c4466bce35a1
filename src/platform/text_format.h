// printf-style formatting into std::string, for the system's own format texts.
#pragma once

#include <string>

namespace kvarta {

// Formats like snprintf. Only ever pass the program's own format texts, never
// user input, as fmt.
std::string Format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

}  // namespace kvarta
