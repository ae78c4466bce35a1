// The one way the program reaches a controller: open the port, hand address,
// rate, preambles, waits and attempts to the link, run the set-up of the
// connection kind (log-on and dialling, or adapter programming) and, at the
// end, hang up and close. The connection dialog, the main window, the tool,
// the device search and the modem imitation all go through it.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "connection/connection_settings.h"
#include "connection/device_search.h"
#include "connection/line_adapter.h"
#include "connection/modem_call_recovery.h"
#include "connection/modem_dialup.h"
#include "link/controller_link.h"
#include "platform/serial_port.h"

namespace kvarta {

// Everything a connection is made with.
struct ConnectionParams {
  ConnectionKind kind = ConnectionKind::kDirect;
  int com = 0;       // COMn the path stands for; 0 for a device path given directly
  std::string path;  // device to open
  LineSettings line;
  uint8_t address = 1;
  uint8_t preambles = 5;
  uint32_t inter_byte_timeout_ms = 100;
  uint32_t answer_timeout_ms = 2000;
  uint8_t attempts = 1;
  int settle_ms = -1;          // pause after opening; -1 = what the port needs
  DialParams dial;             // phone connections
  AdapterSetUpParams adapter;  // line adapter connections
};

// What a dial needs from the settings: the selected subscriber's number and
// the modem group.
DialParams DialParamsFrom(const ConnectionSettings& settings);

// The parameters of kind as the settings hold them: its channel group (the
// selected subscriber's address for a phone connection), the dial and the
// adapter line; COMn through the port map of ini_folder.
ConnectionParams ConnectionParamsFrom(const ConnectionSettings& settings, ConnectionKind kind,
                                      const std::string& ini_folder);

// Keeps a found controller in the direct connection group: port, address
// and the rate of the selected channel.
void StoreFoundDevice(ConnectionSettings& settings, int com, const SearchResult& found);

class Connector {
 public:
  Connector(ControllerLink& link, SerialPortFactory& ports) : link_(link), ports_(ports) {}
  ~Connector() { Close(); }
  Connector(const Connector&) = delete;
  Connector& operator=(const Connector&) = delete;

  // Opens the port, waits for the line to settle and hands the parameters
  // to the link. False, with the link untouched, when the port cannot be
  // opened.
  bool Open(const ConnectionParams& params);

  struct SetUpHooks {
    std::function<void()> log_on;             // phone: asks the credentials before dialling
    std::function<DialParams()> dial_params;  // phone: for the dial and every redial
    std::function<void()> disconnect;         // phone: the lost call was not restored
    StatusPanelRef status;                    // dial or adapter progress
  };
  struct SetUpOutcome {
    bool ok = true;
    int adapter_result = kAdapterOk;  // the adapter's failure, for its message
  };
  // Runs the set-up of the open connection's kind: a phone connection logs
  // on, dials (asking whether to retry a failed dial) and lets the link
  // redial a lost call; an adapter connection programs the adapter.
  SetUpOutcome SetUp(const SetUpHooks& hooks);

  // Hangs up a running call ("ath" first unless skip_first_hang_up).
  void HangUp(bool skip_first_hang_up);
  // The call ended outside the program's hands (a sibling tool hung up).
  void ForgetCall() { modem_connected_ = false; }
  // Hangs up a running call and closes the port.
  void Close();

  // Device search on port params.path: opened at params.line.rate without a
  // settle pause, with the params' waits, preambles and attempts; closed at
  // the end. Nothing when the port cannot be opened.
  std::optional<SearchResult> Search(const ConnectionParams& params, bool& searching,
                                     const SearchProgress& progress = {});

  // A line of its own, outside the link (the modem imitation).
  std::unique_ptr<SerialPort> OpenLine(const std::string& path, uint32_t rate);

  bool modem_connected() const { return modem_connected_; }
  const ConnectionParams& params() const { return params_; }
  ControllerLink& link() { return link_; }

 private:
  void HandToLink(const ConnectionParams& params);

  ControllerLink& link_;
  SerialPortFactory& ports_;
  ConnectionParams params_;
  bool modem_connected_ = false;
  std::unique_ptr<ModemCallRecovery> recovery_;
};

}  // namespace kvarta
