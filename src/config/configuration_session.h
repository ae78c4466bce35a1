// What the configuration flows need from the main session that runs them:
// the program-wide companions of the image and the main window's reactions.
// The desktop program's session implements it; tests record the calls.
#pragma once

#include <cstdint>

namespace kvarta {

struct ServerLabels;

class ConfigurationSession {
 public:
  virtual ~ConfigurationSession() = default;

  // ServerCount := table 3 field 6 (after table 3 was read or written).
  virtual void SetServerCount(uint8_t count) = 0;
  // Table 3 was written: the link already uses address; the connection
  // settings of the kind in use take it too and ShowConnectionStatus shows it.
  virtual void ControllerAddressChanged(uint8_t address) = 0;
  // VrgParamsCopy := the 104 bytes of table 9 (after table 9 was written).
  virtual void SetVrgParamsCopy(const uint8_t* table9) = 0;
  // BuildCommandMenus from VrgParamsCopy (after table 3 or 9 was written).
  virtual void BuildCommandMenus() = 0;
  // The interval of the keep-alive timer TimerRerun, from table 20 field 4.
  virtual void SetKeepAliveInterval(int ms) = 0;
  // WriteAccessGranted.
  virtual bool WriteAccessGranted() const = 0;
  // The command dialogs' server labels, recomputed from table 22.
  virtual void SetServerLabels(const ServerLabels& labels) = 0;
  virtual void RefreshMainMenu() = 0;
  // Starts the main window's TimerMessage, which clears the status message.
  virtual void StartMessageTimer() = 0;
};

}  // namespace kvarta
