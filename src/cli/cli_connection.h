// The line of one kvartactl run: which port and parameters, and reaching the
// controller by the chosen kind (direct, modem dial-up, line adapter).
#pragma once

#include <memory>
#include <string>

#include "cli/cli_options.h"
#include "connection/connection_settings.h"
#include "connection/line_adapter.h"
#include "connection/modem_call_recovery.h"
#include "connection/modem_dialup.h"
#include "link/controller_link.h"

namespace kvarta::cli {

struct CliLine {
  ConnectionKind kind = ConnectionKind::kDirect;
  std::string path;  // device to open
  int com = 0;       // COMn the path stands for, 0 for a path given directly
  uint8_t address = 1;
  uint32_t baud = 9600;
  uint8_t preambles = 5;
  uint32_t byte_timeout_ms = 100;
  uint32_t answer_timeout_ms = 2000;
  uint8_t attempts = 1;
  DialParams dial;
  AdapterSetUpParams adapter;
};

// The command line's values over the settings of the chosen kind.
CliLine ResolveLine(const CliOptions& options, const ConnectionSettings& settings,
                    const std::string& ini_folder);

// "Коммуникационный порт СОМ%d недоступен", or the path when no COMn was named.
std::string PortUnavailableMessage(const CliLine& line);

// Opens the port, hands it to the link and reaches the controller by the
// line's kind; hangs up and closes on Close or destruction.
class CliConnection {
 public:
  explicit CliConnection(ControllerLink& link) : link_(link) {}
  ~CliConnection() { Close(); }
  CliConnection(const CliConnection&) = delete;
  CliConnection& operator=(const CliConnection&) = delete;

  // False after printing why.
  bool Open(const CliLine& line);
  void Close();
  bool modem_connected() const { return modem_connected_; }

 private:
  ControllerLink& link_;
  CliLine line_;
  bool modem_connected_ = false;
  std::unique_ptr<ModemCallRecovery> recovery_;
};

}  // namespace kvarta::cli
