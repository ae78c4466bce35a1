#include "platform/baud_rates.h"

namespace kvarta {

int RateIndexOf(uint32_t rate) {
  for (size_t i = 0; i < BaudRateTable.size(); ++i) {
    if (BaudRateTable[i] == rate) return static_cast<int>(i);
  }
  return -1;
}

uint32_t RateAt(int index) {
  if (index < 0 || index >= static_cast<int>(BaudRateTable.size())) return 0;
  return BaudRateTable[static_cast<size_t>(index)];
}

}  // namespace kvarta
