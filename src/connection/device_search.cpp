#include "connection/device_search.h"

#include "link/function_codes.h"
#include "platform/baud_rates.h"

namespace kvarta {

SearchResult SearchDevice(ControllerLink& link, bool& searching, const SearchProgress& progress) {
  SearchResult result;
  searching = true;
  if (progress.on_start) progress.on_start();
  link.host.SetCursor(CursorShape::kBusy);

  link.address = kBroadcastAddress;
  if (progress.on_address) progress.on_address(link.address);
  link.host.PumpMessages();

  // A read of table 0, field 0, one field; any controller answers it.
  static constexpr uint8_t kProbe[3] = {0, 0, 1};
  for (uint32_t rate : BaudRateTable) {
    if (!link.port) break;
    link.baud_rate = rate;
    link.port->SetBaudRate(rate);
    if (progress.on_rate) progress.on_rate(rate);
    link.host.PumpMessages();

    if (SendRequest(link, kReadFunction, kProbe, sizeof kProbe, 0)) {
      result.found = true;
      result.address = link.address;
      result.rate = rate;
      break;
    }
    link.host.PumpMessages();
    if (!searching) break;
  }

  // A stop pressed between two exchanges would otherwise leave the flag set
  // and abort the first exchange of the next connection.
  link.abort_flag = false;
  searching = false;
  link.host.SetCursor(CursorShape::kNormal);
  return result;
}

void StopSearch(ControllerLink& link, bool& searching) {
  searching = false;
  link.abort_flag = true;
}

}  // namespace kvarta
