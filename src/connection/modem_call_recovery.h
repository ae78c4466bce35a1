// Recovery of a dropped modem call for the link: hang up, wait, dial the
// selected subscriber again and ask whether to retry a failed dial.
#pragma once

#include <functional>

#include "connection/modem_dialup.h"
#include "link/controller_link.h"

namespace kvarta {

class ModemCallRecovery : public CallRecovery {
 public:
  // dial_params is asked for the current subscriber and dial settings at every
  // redial; disconnect is the main window's Disconnect; modem_connected is the
  // program-wide modem-connected flag.
  ModemCallRecovery(ControllerLink& link, std::function<DialParams()> dial_params,
                    std::function<void()> disconnect, bool& modem_connected);

  bool Redial() override;
  void Disconnect() override;

 private:
  ControllerLink& link_;
  std::function<DialParams()> dial_params_;
  std::function<void()> disconnect_;
  bool& modem_connected_;
};

}  // namespace kvarta
