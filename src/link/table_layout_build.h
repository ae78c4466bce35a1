// Building the field-level description: shared by the files that describe
// the tables, not used outside the link room's description.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "link/table_catalogue.h"
#include "link/table_layout.h"

namespace kvarta::layout_build {

// Appends the parameters of one table; the field of each entry follows from
// its offset and the table's field size.
class TableBuilder {
 public:
  TableBuilder(int table, std::vector<ParamSpec>& out);

  ParamSpec& Number(std::string name, int offset, int size, int64_t min, int64_t max,
                    std::string unit, std::string title);
  ParamSpec& Bit(std::string name, int offset, int bit, std::string title);
  // Zero-terminated text holding up to max characters.
  ParamSpec& Text(std::string name, int offset, int size, int max, std::string title);
  ParamSpec& PaddedText(std::string name, int offset, int size, std::string title);
  ParamSpec& DateTime(std::string name, int offset, std::string title);
  ParamSpec& RateIndex(std::string name, int offset, std::string title);

  // Offset of field f of this table.
  int FieldOffset(int f) const { return f * field_size_; }
  int FieldSize() const { return field_size_; }

 private:
  ParamSpec& Add(std::string name, int offset, int size, ParamType type, std::string title);

  int table_;
  int field_size_;
  std::vector<ParamSpec>& out_;
};

using Description = std::array<std::vector<ParamSpec>, kTableCount>;

// Tables 0-4, 7, 9, 10, 12, 15, 19-22.
void DescribeSettingsAndData(Description& d);
// Table 17.
void DescribeDiagnostics(Description& d);

}  // namespace kvarta::layout_build
