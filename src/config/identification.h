// Table 0 ("Общие параметры идентификации") decoded the way the
// identification window shows it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "link/modem_type.h"  // ModemTypeName, ModemTypeFileName

namespace kvarta {

struct IdentificationValue {
  std::string text;
  bool red = false;
};

struct IdentificationView {
  bool full = true;                      // reduced: only type, software version and modem type
  IdentificationValue destroyed;         // field 0
  IdentificationValue type_code;         // field 1
  IdentificationValue hardware_version;  // field 2
  IdentificationValue software_version;  // field 3
  IdentificationValue creation_date;     // fields 4..9
  IdentificationValue byte_order;        // field 10
  IdentificationValue different_speeds;  // field 11
  IdentificationValue address_fixed;     // field 13
  IdentificationValue protocol_version;  // fields 14..16
  IdentificationValue modem_type;        // field 17
};

// Decodes the 18 identification bytes; in reduced mode the items beyond type,
// software version and modem type are left empty.
IdentificationView DecodeIdentification(const uint8_t* ident, bool full);

// The identification as lines of text, the window's labels before the
// values: what the tool's identify prints and the service report holds.
std::vector<std::string> IdentificationLines(const uint8_t* ident);

}  // namespace kvarta
