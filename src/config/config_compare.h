// Two configurations compared parameter by parameter: a file against the
// controller, or two files. Tables 3, 4, 9, 20, 21 and 22 are compared; the
// users by name and level only (files hold no passwords or codes), table 12
// (the authorisation key) not at all.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "config/config_file.h"
#include "link/table_layout.h"

namespace kvarta {

struct ConfigDifference {
  int table = 0;
  std::string name;  // parameter name: "user3.level", a layout name, or "field5"
  std::string left;
  std::string right;
  friend bool operator==(const ConfigDifference&, const ConfigDifference&) = default;
};

// Where the parameters of a table are described. Tables (and bytes of a
// table) without a description are compared field by field: fields of up to
// four bytes as little-endian numbers, longer ones as text when they hold a
// zero-terminated text, otherwise as hexadecimal bytes.
struct ParamDescription {
  std::span<const ParamSpec> (*params)(int table) = nullptr;
  std::string (*format)(const uint8_t* table, const ParamSpec& p) = nullptr;
};

// The tables compared, ascending.
inline constexpr int kComparedTables[] = {3, 4, 9, 20, 21, 22};

// Differences in table order, then parameter order.
std::vector<ConfigDifference> CompareConfigurations(const ConfigFileRecord& left,
                                                    const ConfigFileRecord& right,
                                                    const ParamDescription& description = {});

}  // namespace kvarta
