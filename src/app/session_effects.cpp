#include "app/session_effects.h"

#include <cstring>

namespace kvarta {

void SessionEffects::ControllerAddressChanged(uint8_t address) {
  ConnectionSettings& settings = parts_.store.settings;
  settings.Channel(settings.Kind()).adr = address;
  session_.ShowConnectionStatus();
}

void SessionEffects::SetVrgParamsCopy(const uint8_t* table9) {
  std::memcpy(parts_.facts.vrg_params_copy.data(), table9, parts_.facts.vrg_params_copy.size());
  session_.RefreshOverview();
}

}  // namespace kvarta
