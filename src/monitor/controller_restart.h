// Restarting the controller (function code 32): from the command menu and as
// the offer made when start-up cannot read the VRG table over a phone line.
#pragma once

namespace kvarta {

struct ControllerLink;
class StatusBar;

// Sends the restart once; on failure shows "Результат выполнения запроса:"
// with the result message. True on success.
bool RestartController(ControllerLink& link, StatusBar* status);

// Asks "Перезапустить контроллер?" and restarts while the user wants to retry;
// "Команда выполнена" after success. Start-up reads the outcome as "not read"
// whatever happens, so nothing is returned.
void OfferRestart(ControllerLink& link, StatusBar* status);

}  // namespace kvarta
