#include "sim/line_device.h"

namespace kvarta::sim {

// The modem and line-adapter fronts plug in here as they are built.
std::unique_ptr<LineDevice> MakeFront(FrontKind kind, std::unique_ptr<LineDevice> inner) {
  switch (kind) {
    case FrontKind::kNone:
    case FrontKind::kModem:
    case FrontKind::kAdapter:
      break;
  }
  return inner;
}

}  // namespace kvarta::sim
