#include "sim/adapter_front.h"
#include "sim/line_device.h"
#include "sim/modem_expecting.h"
#include "sim/modem_front.h"

namespace kvarta::sim {

std::unique_ptr<LineDevice> MakeFront(FrontKind kind, std::unique_ptr<LineDevice> inner) {
  SimulatorOptions options;
  options.front = kind;
  return MakeFront(options, std::move(inner));
}

std::unique_ptr<LineDevice> MakeFront(const SimulatorOptions& options,
                                      std::unique_ptr<LineDevice> inner) {
  std::unique_ptr<LineDevice> chain = std::move(inner);
  // A controller that waits for a modem sits right behind the line or the
  // front it is cabled to.
  if (options.expect_modem.enabled) {
    chain = std::make_unique<ModemExpectingFront>(options.expect_modem, std::move(chain));
  }
  switch (options.front) {
    case FrontKind::kNone:
      break;
    case FrontKind::kModem:
      chain = std::make_unique<ModemFront>(options.modem, std::move(chain));
      break;
    case FrontKind::kAdapter:
      chain = std::make_unique<AdapterFront>(options.adapter, std::move(chain));
      break;
  }
  return chain;
}

}  // namespace kvarta::sim
