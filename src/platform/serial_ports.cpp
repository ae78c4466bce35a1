#include "platform/serial_ports.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <system_error>

#include "platform/atomic_file.h"
#include "platform/port_map.h"

namespace kvarta {
namespace fs = std::filesystem;
namespace {

// Kinds in listing order; a built port's number is its default COM number.
constexpr const char* kKinds[] = {"ttyS", "ttyUSB", "ttyACM"};

// Levels from the tty's device up to the USB device holding the descriptors:
// ttyUSB: port, interface, device; ttyACM: interface, device.
constexpr int kUsbSearchDepth = 4;

std::string Trim(const std::string& s) {
  const char* blanks = " \t\r\n\v\f";
  const size_t first = s.find_first_not_of(blanks);
  if (first == std::string::npos) return {};
  return s.substr(first, s.find_last_not_of(blanks) - first + 1);
}

std::string ReadAttribute(const fs::path& file) {
  std::ifstream in(file);
  std::string line;
  if (!in || !std::getline(in, line)) return {};
  return Trim(line);
}

// Kind index and number of a device name ("ttyUSB3" gives 1 and 3), or false.
bool SplitName(const std::string& name, int& kind, int& number) {
  for (int k = static_cast<int>(std::size(kKinds)) - 1; k >= 0; --k) {
    const std::string prefix = kKinds[k];
    if (name.rfind(prefix, 0) != 0 || name.size() == prefix.size() ||
        name.size() > prefix.size() + 3) {
      continue;
    }
    const std::string digits = name.substr(prefix.size());
    if (!std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
      return false;
    }
    kind = k;
    number = std::stoi(digits);
    return true;
  }
  return false;
}

// The 8250 driver registers placeholders for ports that are not there: they
// have a device in sysfs but the port type 0 ("unknown").
bool RealBuiltPort(const fs::path& tty) {
  std::error_code ec;
  if (!fs::exists(tty / "device", ec)) return false;
  const fs::path type = tty / "type";
  return !fs::exists(type, ec) || ReadAttribute(type) != "0";
}

void ReadUsbDescriptors(const fs::path& tty, SerialDevice& d) {
  std::error_code ec;
  fs::path dir = fs::canonical(tty / "device", ec);
  if (ec) return;
  for (int level = 0; level < kUsbSearchDepth && !dir.empty(); ++level) {
    if (fs::exists(dir / "idVendor", ec)) {
      d.manufacturer = ReadAttribute(dir / "manufacturer");
      d.product = ReadAttribute(dir / "product");
      d.serial = ReadAttribute(dir / "serial");
      return;
    }
    if (dir == dir.parent_path()) return;
    dir = dir.parent_path();
  }
}

fs::path Canonical(const std::string& path) {
  std::error_code ec;
  fs::path p = fs::weakly_canonical(path, ec);
  return ec ? fs::path(path) : p;
}

std::map<fs::path, std::string> ByIdNames(const DeviceRoots& roots) {
  std::map<fs::path, std::string> names;
  std::error_code ec;
  const fs::path dir = fs::path(roots.dev) / "serial" / "by-id";
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    const fs::path target = Canonical(it->path().string());
    // The first name in directory order would depend on the file system.
    auto [pos, fresh] = names.emplace(target, it->path().string());
    if (!fresh && it->path().string() < pos->second) pos->second = it->path().string();
  }
  return names;
}

struct MapEntry {
  int number;
  std::string path;
};

std::vector<MapEntry> ReadPortMap(const std::string& ini_folder) {
  std::vector<MapEntry> entries;
  if (ini_folder.empty()) return entries;
  std::ifstream in(ini_folder + "/" + kPortMapFileName);
  std::string line;
  while (in && std::getline(in, line)) {
    const std::string entry = Trim(line);
    if (entry.empty() || entry[0] == '#' || entry[0] == ';') continue;
    const size_t eq = entry.find('=');
    if (eq == std::string::npos) continue;
    const int n = ParseComName(Trim(entry.substr(0, eq)));
    const std::string path = Trim(entry.substr(eq + 1));
    if (n > 0 && !path.empty()) entries.push_back({n, path});
  }
  return entries;
}

bool SameDevice(const std::string& map_path, const SerialDevice& d) {
  if (map_path == d.path || (!d.by_id.empty() && map_path == d.by_id)) return true;
  return Canonical(map_path) == Canonical(d.path);
}

bool Remember(const std::string& ini_folder, const std::vector<std::string>& lines) {
  const std::string path = ini_folder + "/" + kPortMapFileName;
  std::string text;
  ReadWholeFile(path, text);  // a missing map starts empty
  if (!text.empty() && text.back() != '\n') text += '\n';
  for (const std::string& line : lines) text += line + '\n';
  return WriteFileAtomically(path, text);
}

}  // namespace

std::string SerialDevice::Description() const {
  std::string text = !product.empty() ? product : manufacturer;
  if (text.empty()) return path;
  if (!serial.empty()) text += " (" + serial + ")";
  return text;
}

std::string ComPort::Label() const {
  std::string label = "COM" + std::to_string(number);
  if (has_device) label += " — " + device.Description();
  return label;
}

std::vector<SerialDevice> ListSerialDevices(const DeviceRoots& roots) {
  struct Found {
    int kind, number;
    SerialDevice device;
  };
  std::vector<Found> found;
  const std::map<fs::path, std::string> by_id = ByIdNames(roots);
  std::error_code ec;
  for (fs::directory_iterator it(roots.dev, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    int kind = 0, number = 0;
    if (!SplitName(name, kind, number)) continue;
    const fs::path tty = fs::path(roots.sys) / "class" / "tty" / name;
    SerialDevice d;
    d.name = name;
    d.path = it->path().string();
    d.usb = kind != 0;
    if (!d.usb && !RealBuiltPort(tty)) continue;
    if (d.usb) ReadUsbDescriptors(tty, d);
    if (auto id = by_id.find(Canonical(d.path)); id != by_id.end()) d.by_id = id->second;
    found.push_back({kind, number, std::move(d)});
  }
  std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
    return a.kind != b.kind ? a.kind < b.kind : a.number < b.number;
  });
  std::vector<SerialDevice> devices;
  for (Found& f : found) devices.push_back(std::move(f.device));
  return devices;
}

std::vector<ComPort> AssignComPorts(const std::vector<SerialDevice>& devices, int count,
                                    const std::string& ini_folder,
                                    std::vector<std::string>* added) {
  const std::vector<MapEntry> map = ReadPortMap(ini_folder);
  std::set<int> taken;
  for (const MapEntry& e : map) taken.insert(e.number);
  std::map<int, const SerialDevice*> on;
  std::vector<const SerialDevice*> unplaced;
  for (const SerialDevice& d : devices) {
    int number = 0;
    for (const MapEntry& e : map) {
      if (SameDevice(e.path, d)) {
        number = e.number;
        break;
      }
    }
    int kind = 0, index = 0;
    if (number == 0 && !d.usb && SplitName(d.name, kind, index) && !taken.count(index + 1)) {
      number = index + 1;
    }
    if (number == 0 || on.count(number)) {
      unplaced.push_back(&d);
      continue;
    }
    on[number] = &d;
    taken.insert(number);
  }
  std::vector<std::string> lines;
  for (const SerialDevice* d : unplaced) {
    int n = 1;
    while (taken.count(n) || on.count(n)) ++n;
    on[n] = d;
    taken.insert(n);
    lines.push_back("COM" + std::to_string(n) + "=" + (d->by_id.empty() ? d->path : d->by_id));
  }
  if (!lines.empty() && !ini_folder.empty() && Remember(ini_folder, lines) && added) {
    *added = lines;
  }

  std::vector<ComPort> ports;
  for (int n = 1; n <= count; ++n) {
    ComPort p;
    p.number = n;
    p.path = ComPortPath(n, ini_folder);
    if (auto d = on.find(n); d != on.end()) {
      p.has_device = true;
      p.device = *d->second;
      p.path = p.device.by_id.empty() ? p.device.path : p.device.by_id;
    }
    ports.push_back(std::move(p));
  }
  for (auto it = on.upper_bound(count); it != on.end(); ++it) {
    ComPort p;
    p.number = it->first;
    p.has_device = true;
    p.device = *it->second;
    p.path = p.device.by_id.empty() ? p.device.path : p.device.by_id;
    ports.push_back(std::move(p));
  }
  return ports;
}

std::vector<ComPort> MachineComPorts(int count, const std::string& ini_folder,
                                     const DeviceRoots& roots) {
  return AssignComPorts(ListSerialDevices(roots), count, ini_folder);
}

}  // namespace kvarta
