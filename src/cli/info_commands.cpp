// tables and ports: what the tool knows about the controller's tables and the
// machine's serial ports, without a line.
#include <cstdio>

#include "cli/cli_command.h"
#include "cli/json_writer.h"
#include "link/table_catalogue.h"
#include "platform/port_map.h"
#include "platform/serial_ports.h"
#include "platform/text_format.h"

namespace kvarta::cli {
namespace {

// As many ports as the connection parameter window lists.
constexpr int kListedPorts = 16;

// Pads a UTF-8 text with blanks to width characters (printf counts bytes).
std::string Pad(const std::string& utf8, size_t width) {
  size_t chars = 0;
  for (unsigned char ch : utf8) chars += (ch & 0xC0) != 0x80;
  return chars < width ? utf8 + std::string(width - chars, ' ') : utf8 + ' ';
}

bool JsonOnly(const CliContext& c, const char* usage, bool& json, int& rc) {
  json = !c.args.empty();
  if (json && (c.args.size() != 1 || c.args[0] != "--json")) {
    rc = UsageError(usage);
    return false;
  }
  return true;
}

int Tables(CliContext& c) {
  bool json = false;
  int rc = kExitOk;
  if (!JsonOnly(c, "tables [--json]", json, rc)) return rc;
  JsonWriter w;
  w.BeginObject().Key("tables").BeginArray();
  if (!json) {
    std::printf("%s\n", (Pad("Табл.", 7) + Pad("Поля x размер", 15) + Pad("Конфигурация", 14) +
                         Pad("Доступ", 17) + "Название")
                            .c_str());
  }
  for (int t = 0; t < kTableCount; ++t) {
    const TableDescriptor& d = TableCatalogue(t);
    const std::string& name = TableName(t);
    if (!d.Exists() && name.empty()) continue;
    const bool config = d.config_flag == 1;
    const bool written = TableWritten(t);
    if (json) {
      w.BeginObject()
          .Field("number", t)
          .Field("name", name)
          .Field("field_count", static_cast<int>(d.field_count))
          .Field("field_size", static_cast<int>(d.field_size))
          .Field("bytes", static_cast<int64_t>(d.Bytes()))
          .Field("configuration", config)
          .Field("access", !d.Exists() ? "none"
                           : written   ? "read_write"
                                       : "read_only")
          .EndObject();
      continue;
    }
    const std::string fields = d.Exists() ? Format("%u x %u", d.field_count, d.field_size) : "-";
    const char* access = !d.Exists() ? "нет" : written ? "чтение и запись" : "только чтение";
    std::printf("%s\n", (Pad(Format("%5d", t), 7) + Pad(fields, 15) +
                         Pad(config ? "да" : "нет", 14) + Pad(access, 17) + name)
                            .c_str());
  }
  if (json) std::printf("%s\n", w.EndArray().EndObject().Text().c_str());
  return kExitOk;
}

int Ports(CliContext& c) {
  bool json = false;
  int rc = kExitOk;
  if (!JsonOnly(c, "ports [--json]", json, rc)) return rc;
  std::vector<std::string> added;
  const std::string& ini = c.store.folders().ini;
  const std::vector<ComPort> ports =
      AssignComPorts(ListSerialDevices(DeviceRoots{}), kListedPorts, ini, &added);
  JsonWriter w;
  w.BeginObject().Key("ports").BeginArray();
  int shown = 0;
  for (const ComPort& p : ports) {
    if (!p.has_device) continue;
    ++shown;
    const SerialDevice& d = p.device;
    if (!json) {
      std::printf("%s\n    %s%s%s\n", p.Label().c_str(), d.path.c_str(),
                  d.by_id.empty() ? "" : "  ", d.by_id.c_str());
      continue;
    }
    w.BeginObject()
        .Field("com", p.number)
        .Field("label", p.Label())
        .Field("device", d.path)
        .Field("by_id", d.by_id)
        .Field("usb", d.usb)
        .Field("manufacturer", d.manufacturer)
        .Field("product", d.product)
        .Field("serial", d.serial)
        .EndObject();
  }
  if (json) {
    w.EndArray().Key("remembered").BeginArray();
    for (const std::string& line : added) w.String(line);
    std::printf("%s\n", w.EndArray().EndObject().Text().c_str());
    return kExitOk;
  }
  if (shown == 0) std::printf("Последовательные порты не обнаружены\n");
  for (const std::string& line : added) {
    std::printf("Новый порт записан в %s/%s: %s\n", ini.c_str(), kPortMapFileName, line.c_str());
  }
  return kExitOk;
}

}  // namespace

void AddInfoCommands(std::vector<CliCommand>& commands) {
  commands.push_back({"tables", "tables [--json]", 0, 1, false, Tables});
  commands.push_back({"ports", "ports [--json]", 0, 1, false, Ports});
}

}  // namespace kvarta::cli
