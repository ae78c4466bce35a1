// The one exchange context with the controller: frames, timing, retries, the
// session byte log and the recovery of a dropped modem call.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "link/connection_kind.h"
#include "link/frame_log.h"
#include "link/host.h"
#include "link/result_messages.h"
#include "platform/clock.h"
#include "platform/serial_port.h"

namespace kvarta {

inline constexpr int kFrameSize = 255;
inline constexpr int kSessionLogSize = 500;
inline constexpr uint8_t kRequestStart = 0xCC;
inline constexpr uint8_t kAnswerStart = 0x33;
inline constexpr uint8_t kBroadcastAddress = 255;
// Extra answer time for writes into any table but the command table.
inline constexpr uint32_t kWriteExtraAnswerMs = 7000;

// What the link needs from the connection layer when a modem call drops.
class CallRecovery {
 public:
  virtual ~CallRecovery() = default;
  // Hangs up, waits, dials the selected subscriber again (asking whether to
  // retry a failed dial). False when the call could not be re-established;
  // the connection has then been closed.
  virtual bool Redial() = 0;
  // Closes the connection (the main window's Disconnect).
  virtual void Disconnect() = 0;
};

struct ControllerLink {
  ControllerLink(Host& host, Clock& clock);

  Host& host;
  Clock& clock;

  std::array<uint8_t, kFrameSize> request{};
  std::array<uint8_t, kFrameSize> answer{};
  std::unique_ptr<SerialPort> port;  // null when not connected
  uint8_t address = 0;
  uint32_t baud_rate = 1200;
  uint8_t preamble_count = 0;
  std::array<uint8_t, 12> write_password{};  // spaces when nobody logged on
  std::array<uint8_t, 4> ident_code{};
  uint32_t inter_byte_timeout_ms = 10;
  uint32_t answer_timeout_ms = 2000;
  uint8_t attempts = 2;
  bool abort_flag = false;
  ResultMessageTable result_messages;
  uint32_t result_code = 0;
  double last_exchange_time = 0;  // days since 1899-12-30, local time
  StatusPanelRef exchange_status_panel;
  HostTimer* keep_alive_timer = nullptr;
  HostTimer* line_watch_timer = nullptr;
  HostTimer* call_duration_timer = nullptr;
  StatusPanelRef dial_status_panel;
  bool exchange_in_progress = false;
  int64_t retry_deadline_ns = 0;  // 0 = free-retry period not started
  std::array<uint8_t, kSessionLogSize> session_log{};
  uint32_t log_position = 0;
  std::string result_text;
  uint8_t last_function_code = 0;

  ConnectionKind connection_kind = ConnectionKind::kDirect;
  CallRecovery* recovery = nullptr;  // set for modem connections
  // The frames of the session (the frame monitor, --trace, the service report).
  FrameLog frame_log;

  bool Connected() const { return port != nullptr; }
  // Sets write password and identification code to spaces.
  void ResetCredentials();
  // Sets credentials from texts (cut or padded with spaces).
  void SetCredentials(const std::string& password_cp1251, const std::string& code_cp1251);
  // Clears the retry deadline, the session byte log and its position.
  void ClearExchangeBlock();
  // True when the session byte log holds the modem's NO CARRIER text.
  bool CarrierLost() const;
  // Closes the port (if open).
  void ClosePort();
};

// Sends the first length bytes of the request frame and assembles the answer.
bool ExchangeFrame(ControllerLink& link, uint32_t length);

// Builds the request for function_code and runs it with retries. False on
// failure; the reason is link.result_code.
bool SendRequest(ControllerLink& link, uint8_t function_code, const uint8_t* data,
                 uint32_t data_length, uint8_t request_byte);

// Asks whether to restore a dropped modem call: 0 nothing to do, 1 call
// re-established, 2 connection given up.
int OfferReconnect(ControllerLink& link, bool carrier_test);

// Total request length for a function code and data length; 0 for codes the
// link refuses.
uint32_t RequestLength(uint8_t function_code, uint32_t data_length);

}  // namespace kvarta
