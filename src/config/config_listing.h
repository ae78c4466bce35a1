// A configuration record's parameters decoded by name, as the tool's
// show-config prints them and the service report lists them: the value, the
// unit, whether it lies in its range (table 20 by the modem the
// configuration is for) and whether it is a credential.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "config/config_file.h"
#include "link/table_layout.h"

namespace kvarta {

struct ListedParam {
  const ParamSpec* spec = nullptr;
  std::string value;  // as printed; a user's level with its name
  bool in_range = true;
  std::string range;  // the valid values, told with a value outside them
  int64_t min = 0;
  int64_t max = 0;
  bool credential = false;  // a password, code or key: never shown by the report
};

bool IsNumericParam(ParamType type);
bool IsTextParam(ParamType type);

// The parameters of table t (0 or a configuration table) in the record. A
// configuration made in the program lists only the identification it knows.
std::vector<ListedParam> ListConfigParams(const ConfigFileRecord& record, int t);

// "name = value unit" (texts in quotes), with "  ! вне диапазона: ..." for a
// value outside its range; a credential as "name = ***" when masked.
std::string ListedParamLine(const ListedParam& p, bool mask_credentials);

}  // namespace kvarta
