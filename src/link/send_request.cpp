// Request frames by function code, and the retry loop around ExchangeFrame.
#include <algorithm>
#include <cstring>

#include "link/controller_link.h"
#include "link/crc16.h"
#include "link/function_codes.h"

namespace kvarta {
namespace {

constexpr int64_t kFreeRetryPeriodNs = MsToNs(10000);
constexpr uint8_t kCommandTable = 15;
constexpr const char* kExchangeText = "Обмен...";

// Where a function code's body goes. total == 0 means "data length + extra".
struct Layout {
  uint8_t code;
  bool credentials;   // write password at 4-15, identification code at 16-19
  bool request_byte;  // the one-byte argument right after the header/credentials
  uint32_t total;     // fixed total length, or 0 when it follows the data
  uint32_t extra;     // length beyond the data for variable lengths
};

constexpr Layout kLayouts[] = {
    {1, false, true, 10, 0},   {2, true, true, 0, 23},    {7, false, false, 13, 0},
    {8, false, false, 21, 0},  {9, true, false, 34, 0},   {10, false, false, 14, 0},
    {11, true, false, 30, 0},  {12, true, false, 24, 0},  {14, false, false, 19, 0},
    {15, false, false, 17, 0}, {16, false, false, 15, 0}, {17, false, false, 13, 0},
    {25, true, false, 22, 0},  {26, true, false, 36, 0},  {28, false, false, 0, 6},
    {29, false, false, 0, 6},  {32, true, false, 22, 0},
};

const Layout* LayoutOf(uint8_t function_code) {
  for (const Layout& layout : kLayouts) {
    if (layout.code == function_code) return &layout;
  }
  return nullptr;
}

// Lays the request out in link.request; false (result 2) when refused.
bool BuildRequest(ControllerLink& link, uint8_t function_code, const uint8_t* data,
                  uint32_t data_length, uint8_t request_byte) {
  const uint32_t total = RequestLength(function_code, data_length);
  if (total == 0) return false;
  const Layout& layout = *LayoutOf(function_code);

  auto& rq = link.request;
  rq[0] = kRequestStart;
  rq[1] = link.address;
  rq[2] = static_cast<uint8_t>(total);
  rq[3] = function_code;
  size_t pos = 4;
  if (layout.credentials) {
    std::copy(link.write_password.begin(), link.write_password.end(), rq.begin() + pos);
    pos += link.write_password.size();
    std::copy(link.ident_code.begin(), link.ident_code.end(), rq.begin() + pos);
    pos += link.ident_code.size();
  }
  if (layout.request_byte) rq[pos++] = request_byte;
  // A caller may pass fewer bytes than a fixed layout holds: the rest stays zero.
  const size_t room = total - 2 - pos;
  const size_t copied = data == nullptr ? 0 : std::min<size_t>(data_length, room);
  if (copied > 0) std::memcpy(rq.data() + pos, data, copied);

  const uint16_t crc = Crc16(rq.data(), total - 2);
  rq[total - 2] = static_cast<uint8_t>(crc & 0xFF);
  rq[total - 1] = static_cast<uint8_t>(crc >> 8);
  return true;
}

void ShowExchange(ControllerLink& link, const char* text) {
  if (link.exchange_status_panel) link.exchange_status_panel.SetText(text);
  link.host.PumpMessages();
}

void StopTimer(HostTimer* timer) {
  if (timer) timer->Stop();
}

void StartTimer(HostTimer* timer) {
  if (timer) timer->Start();
}

}  // namespace

uint32_t RequestLength(uint8_t function_code, uint32_t data_length) {
  const Layout* layout = LayoutOf(function_code);
  if (layout == nullptr) return 0;
  if (layout->total != 0) return layout->total;
  // The length byte caps a frame at 255 bytes.
  if (data_length > static_cast<uint32_t>(kFrameSize) - layout->extra) return 0;
  return data_length + layout->extra;
}

bool SendRequest(ControllerLink& link, uint8_t function_code, const uint8_t* data,
                 uint32_t data_length, uint8_t request_byte) {
  link.result_code = kResultOk;
  link.last_function_code = function_code;
  link.request.fill(0);
  link.answer.fill(0);
  if (!BuildRequest(link, function_code, data, data_length, request_byte)) {
    link.result_code = kResultUnknownFunction;
    return false;
  }
  const uint32_t length = link.request[2];

  const uint32_t saved_answer_timeout = link.answer_timeout_ms;
  if (function_code == kWriteFunction && link.request[21] != kCommandTable) {
    link.answer_timeout_ms += kWriteExtraAnswerMs;
  }

  const bool modem = link.connection_kind == ConnectionKind::kPhone;
  if (modem) {
    link.exchange_in_progress = true;
    StopTimer(link.keep_alive_timer);
    StopTimer(link.line_watch_timer);
  }

  // The call was given up (result 20): the connection is closed, so the
  // phone-line timers stay stopped.
  auto give_up = [&] {
    link.result_code = kResultCarrierLost;
    link.exchange_in_progress = false;
    link.answer_timeout_ms = saved_answer_timeout;
    return false;
  };

  link.retry_deadline_ns = 0;
  // Zero attempts would report success without sending anything.
  int attempts_left = std::max<int>(link.attempts, 1);
  while (attempts_left > 0) {
    ShowExchange(link, kExchangeText);
    const bool ok = ExchangeFrame(link, length);
    ShowExchange(link, "");
    if (ok || link.result_code == kResultAborted) break;

    if (!modem) {
      --attempts_left;
      continue;
    }
    if (link.result_code == kResultCarrierLost) {
      if (OfferReconnect(link, false) == 2) return give_up();
      link.ClearExchangeBlock();  // the redial has cleared it; make sure
      continue;
    }
    if (link.result_code == kResultNoAnswer || link.result_code == kResultIncomplete) {
      switch (OfferReconnect(link, true)) {
        case 0: {
          const int64_t now = link.clock.NowNs();
          if (link.retry_deadline_ns == 0) {
            link.retry_deadline_ns = now + kFreeRetryPeriodNs;
            continue;
          }
          if (now < link.retry_deadline_ns) continue;
          --attempts_left;
          continue;
        }
        case 1:
          link.ClearExchangeBlock();
          continue;
        default:
          return give_up();
      }
    }
    --attempts_left;
  }

  link.last_exchange_time = CalendarValue(link.clock.LocalNow());
  if (modem) {
    link.exchange_in_progress = false;
    StartTimer(link.keep_alive_timer);
    StartTimer(link.line_watch_timer);
  }
  link.answer_timeout_ms = saved_answer_timeout;
  return link.result_code == kResultOk;
}

}  // namespace kvarta
