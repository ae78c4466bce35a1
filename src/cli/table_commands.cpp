// identify, read, write and restart: the controller's tables field by field.
#include <cstdio>
#include <cstring>

#include "cli/cli_command.h"
#include "config/identification.h"
#include "link/gprs_transform.h"
#include "link/table_service.h"
#include "link/whole_table.h"
#include "monitor/controller_restart.h"
#include "platform/text_format.h"

namespace kvarta::cli {
namespace {

constexpr uint8_t kGprsTable = 22;

// Table 22 travels substituted when table 0 field 12 is 0: learn which.
bool LearnGprsTransform(CliContext& c) {
  return ReadWholeTable(c.link, c.image, 0, &c.status);
}

int Identify(CliContext& c) {
  const bool json = !c.args.empty();
  if (json && (c.args.size() != 1 || c.args[0] != "--json")) return UsageError("identify [--json]");
  if (!ReadWholeTable(c.link, c.image, 0, &c.status)) return kExitFailed;
  if (json) {
    std::printf("%s\n", IdentificationJson(c.image.Table(0)).c_str());
    return kExitOk;
  }
  for (const std::string& line : IdentificationLines(c.image.Table(0))) {
    std::printf("%s\n", line.c_str());
  }
  return kExitOk;
}

bool ParseTable(const std::string& text, int& t) {
  long v = 0;
  if (!ParseNumber(text, 0, kTableCount - 1, v) || !TableCatalogue(static_cast<int>(v)).Exists()) {
    PrintError(Format("Нет такой таблицы: %s", text.c_str()));
    return false;
  }
  t = static_cast<int>(v);
  return true;
}

int Read(CliContext& c) {
  const std::vector<std::string>& args = c.args;
  int t = 0;
  if (!ParseTable(args[0], t)) return kExitUsage;
  const TableDescriptor& d = TableCatalogue(t);
  long first = 0, count = d.field_count;
  if (args.size() >= 2 && !ParseNumber(args[1], 0, d.field_count - 1, first)) {
    PrintError(Format("Нет такого поля в таблице %d: %s", t, args[1].c_str()));
    return kExitUsage;
  }
  count = d.field_count - first;
  if (args.size() == 3 && !ParseNumber(args[2], 1, d.field_count - first, count)) {
    PrintError(Format("Недопустимое количество полей: %s", args[2].c_str()));
    return kExitUsage;
  }
  if (t == kGprsTable && !LearnGprsTransform(c)) return kExitFailed;
  const FieldRange wanted{static_cast<uint8_t>(t), static_cast<uint8_t>(first),
                          static_cast<uint8_t>(count)};
  for (const FieldRange& range : ChunkFields(wanted, false)) {
    if (!ReadTableFields(c.link, c.image, range, &c.status, true)) return kExitFailed;
  }
  if (t == kGprsTable) DecodeGprsFields(c.image);
  for (long f = first; f < first + count; ++f) {
    std::printf("%s\n", HexFields(c.image.Field(t, static_cast<int>(f)), d.field_size).c_str());
  }
  return kExitOk;
}

int Write(CliContext& c) {
  const std::vector<std::string>& args = c.args;
  int t = 0;
  if (!ParseTable(args[0], t)) return kExitUsage;
  const TableDescriptor& d = TableCatalogue(t);
  long first = 0;
  if (!ParseNumber(args[1], 0, d.field_count - 1, first)) {
    PrintError(Format("Нет такого поля в таблице %d: %s", t, args[1].c_str()));
    return kExitUsage;
  }
  std::vector<uint8_t> bytes;
  if (!ParseHexBytes({args.begin() + 2, args.end()}, bytes) || bytes.empty()) {
    PrintError("Значения задаются байтами в шестнадцатеричном виде");
    return kExitUsage;
  }
  if (bytes.size() % d.field_size != 0) {
    PrintError(Format("Размер поля таблицы %d - %d байт(а)", t, d.field_size));
    return kExitUsage;
  }
  const long count = static_cast<long>(bytes.size() / d.field_size);
  if (first + count > d.field_count) {
    PrintError(Format("Нет такого поля в таблице %d: %ld", t, first + count - 1));
    return kExitUsage;
  }
  if (t == kGprsTable) {
    if (!LearnGprsTransform(c)) return kExitFailed;
    DecodeGprsFields(c.image);  // the image holds table 22 plain outside requests
  }
  std::memcpy(c.image.Field(t, static_cast<int>(first)), bytes.data(), bytes.size());
  if (t == kGprsTable) EncodeGprsFields(c.image);
  const FieldRange wanted{static_cast<uint8_t>(t), static_cast<uint8_t>(first),
                          static_cast<uint8_t>(count)};
  for (const FieldRange& range : ChunkFields(wanted, true)) {
    if (!WriteTableFields(c.link, c.image, range, &c.status)) return kExitFailed;
  }
  return kExitOk;
}

int Restart(CliContext& c) {
  // Without a status bar: the tool has no progress panel to clear.
  return RestartController(c.link, nullptr) ? kExitOk : kExitFailed;
}

}  // namespace

void AddTableCommands(std::vector<CliCommand>& commands) {
  commands.push_back({"identify", "identify [--json]", 0, 1, true, Identify});
  commands.push_back({"read", "read TABLE [FIRST [COUNT]]", 1, 3, true, Read});
  commands.push_back({"write", "write TABLE FIRST HEX...", 3, -1, true, Write});
  commands.push_back({"restart", "restart", 0, 0, true, Restart});
}

}  // namespace kvarta::cli
