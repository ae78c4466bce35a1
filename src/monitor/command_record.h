// A command as written into table 15: its field values, its three texts and
// the 442-byte record the command history keeps, whose bytes from 210 on are
// the data of the field-write request itself.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kvarta {

inline constexpr uint8_t kCommandTable = 15;
inline constexpr size_t kCommandFieldCount = 12;
inline constexpr size_t kVrgParamsSize = 104;  // VrgParamsCopy, table 9
inline constexpr int kMaxVrgs = 4;
inline constexpr int kMaxRuns = 3;
inline constexpr uint8_t kAllTargets = 255;  // all servers, all VRGs, all runs

// Field 0 code, 1 server, 2 VRG, 3 run, 4..7 period start (year - 2000,
// month, day, hour), 8..11 period end.
using CommandFields = std::array<uint8_t, kCommandFieldCount>;

// A menu leaf's tag: code, server, VRG and run bytes, lowest first.
uint32_t CommandTag(uint8_t code, uint8_t server = 0, uint8_t vrg = 0, uint8_t run = 0);
CommandFields FieldsFromTag(uint32_t tag);
// Fields written for the command: 4 for codes without a period, 12 for a
// period command over an explicit period, 8 for its last hour or day; 1 for
// code 0 (the write-access test).
uint8_t CommandFieldsToWrite(const CommandFields& fields);

struct VrgEntry {
  uint8_t address = 0;
  uint8_t runs = 0;  // metering runs, at most kMaxRuns
};

// What the commands can be aimed at: the VRG list and the servers.
struct CommandTargets {
  std::vector<VrgEntry> vrgs;
  int server_count = 1;
  std::array<std::string, 2> server_labels = {"Сервер 1", "Сервер 2"};

  // The largest number of runs over the list, at least 1.
  int MaxRuns() const;
  // Runs offered under a VRG byte (an index, or 255 for all of them).
  int RunsOf(uint8_t vrg) const;
};

// The VRG list of a VrgParamsCopy (104 bytes): a count above 4 is taken as 1.
std::vector<VrgEntry> VrgListOf(const uint8_t* vrg_params_copy);

struct CommandTexts {
  std::string short_name;
  std::string second_line;
  std::string target;  // server, VRG and run, or empty
};

// The three texts of a command.
CommandTexts DescribeCommand(const CommandFields& fields, const CommandTargets& targets);
// Label2 under "Повторить последнюю команду": two lines when there is a
// target text, else one ("%s %s", a trailing blank when the second line is empty).
std::string CommandLabel(const CommandTexts& texts);
// Caption of the period dialog for the command being built.
std::string CommandDialogTitle(const CommandFields& fields, const CommandTargets& targets);

inline constexpr size_t kCommandRecordSize = 442;
inline constexpr size_t kCommandTextSize = 70;  // each text, NUL-terminated, code page 1251
inline constexpr size_t kRecordWriteOffset = 210;

struct CommandRecord {
  std::array<uint8_t, kCommandRecordSize> bytes{};

  // Texts from the command, table 15, first field 0, the fields to write.
  static CommandRecord Make(const CommandFields& fields, const CommandTexts& texts);

  // Texts as UTF-8 (each up to its NUL, at most 70 bytes).
  CommandTexts Texts() const;
  uint8_t Table() const { return bytes[kRecordWriteOffset]; }
  uint8_t FirstField() const { return bytes[kRecordWriteOffset + 1]; }
  uint8_t FieldCount() const { return bytes[kRecordWriteOffset + 2]; }
  CommandFields Fields() const;
  // The field-write request data: table, first field, count, values.
  const uint8_t* WriteData() const { return bytes.data() + kRecordWriteOffset; }
  uint32_t WriteDataLength() const { return 3u + FieldCount(); }
  // A command-table write that stays inside the record's 12 values.
  bool Sendable() const;
};

}  // namespace kvarta
