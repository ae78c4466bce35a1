#include "link/controller_link.h"

#include <algorithm>
#include <string_view>

namespace kvarta {

ControllerLink::ControllerLink(Host& host_ref, Clock& clock_ref)
    : host(host_ref),
      clock(clock_ref),
      result_messages(MakeResultMessageTable()),
      frame_log(clock_ref) {
  ResetCredentials();
  ClearExchangeBlock();
}

void ControllerLink::ResetCredentials() {
  write_password.fill(' ');
  ident_code.fill(' ');
}

void ControllerLink::SetCredentials(const std::string& password_cp1251,
                                    const std::string& code_cp1251) {
  ResetCredentials();
  std::copy_n(password_cp1251.begin(), std::min(password_cp1251.size(), write_password.size()),
              write_password.begin());
  std::copy_n(code_cp1251.begin(), std::min(code_cp1251.size(), ident_code.size()),
              ident_code.begin());
}

void ControllerLink::ClearExchangeBlock() {
  retry_deadline_ns = 0;
  session_log.fill(0);
  log_position = 0;
}

bool ControllerLink::CarrierLost() const {
  // The log is read as text up to its first zero byte; the modem's NO CARRIER
  // answer stays in it until the block is cleared.
  const auto end = std::find(session_log.begin(), session_log.end(), 0);
  const std::string_view text(reinterpret_cast<const char*>(session_log.data()),
                              static_cast<size_t>(end - session_log.begin()));
  return text.find("NO CARRI") != std::string_view::npos ||
         text.find("no carri") != std::string_view::npos;
}

void ControllerLink::ClosePort() {
  port.reset();
}

}  // namespace kvarta
