#include "connection/port_labels.h"

namespace kvarta {
namespace {

ComPortSource& Source() {
  static ComPortSource source;
  return source;
}

std::vector<ComPort> Ports(int count, const std::string& ini) {
  return Source() ? Source()(count, ini) : std::vector<ComPort>{};
}

}  // namespace

void SetComPortSource(ComPortSource source) {
  Source() = std::move(source);
}

ComPortSource MachinePortSource(const DeviceRoots& roots) {
  return [roots](int count, const std::string& ini) { return MachineComPorts(count, ini, roots); };
}

void LabelComPorts(ChoiceList& list, const std::string& ini) {
  const int count = static_cast<int>(list.items.size());
  for (const ComPort& p : Ports(count, ini)) {
    if (p.has_device && p.number >= 1 && p.number <= count) {
      list.items[static_cast<size_t>(p.number - 1)] = p.Label();
    }
  }
}

std::string ComPortDevice(int com, const std::string& ini) {
  if (com < 1) return {};
  for (const ComPort& p : Ports(com, ini)) {
    if (p.number == com && p.has_device) return p.device.Description();
  }
  return {};
}

}  // namespace kvarta
