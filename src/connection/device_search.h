// Finding a directly cabled controller: one read at the broadcast address at
// each line rate until a controller answers.
#pragma once

#include <cstdint>
#include <functional>

#include "link/controller_link.h"

namespace kvarta {

struct SearchResult {
  bool found = false;
  uint8_t address = 0;
  uint32_t rate = 0;
};

// What the search dialog shows while the scan runs.
struct SearchProgress {
  std::function<void()> on_start;  // the line is open, the scan begins
  std::function<void(uint8_t address)> on_address;
  std::function<void(uint32_t rate)> on_rate;
};

// Scans the 22 rates, 300 bit/s first, over the link's open port with the
// link's waits and attempts (set by the caller). searching is set true at the
// start; clearing it (see StopSearch) ends the scan after the running
// exchange. The link's abort flag is left clear when the scan ends.
SearchResult SearchDevice(ControllerLink& link, bool& searching,
                          const SearchProgress& progress = {});

// "Прервать поиск": clears the searching flag and aborts the running exchange.
void StopSearch(ControllerLink& link, bool& searching);

}  // namespace kvarta
