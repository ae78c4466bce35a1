// The configuration file record (*.cnf, 2297 bytes): its layout, the defaults
// of a new configuration, filling it from the image, the proposed file name,
// and loading and saving it with the file dialogs.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "platform/clock.h"

namespace kvarta {

class ConfigImage;
class Host;

inline constexpr size_t kConfigFileSize = 2297;

struct ConfigFileRecord {
  static constexpr size_t kOriginOffset = 0;          // 1 = read from a controller, 0 = made here
  static constexpr size_t kIdentificationOffset = 1;  // table 0, 18 bytes
  static constexpr size_t kTypeOffset = 2;            // table 0 field 1
  static constexpr size_t kVersionOffset = 4;         // table 0 field 3
  static constexpr size_t kModemOffset = 18;          // table 0 field 17
  static constexpr size_t kTable3Offset = 39;
  static constexpr size_t kAddressOffset = 39;          // table 3 field 0
  static constexpr size_t kServerCountOffset = 45;      // table 3 field 6
  static constexpr size_t kControllerNameOffset = 143;  // table 3 field 104
  static constexpr size_t kControllerNameMax = 17;      // characters, then a zero
  static constexpr size_t kTable4Offset = 211;
  static constexpr size_t kTable9Offset = 613;
  static constexpr size_t kTable12Offset = 767;
  static constexpr size_t kTable20Offset = 883;
  static constexpr size_t kTable21Offset = 947;
  static constexpr size_t kTable22Offset = 1247;

  std::array<uint8_t, kConfigFileSize> bytes{};

  uint8_t& origin() { return bytes[kOriginOffset]; }
  uint8_t* Identification() { return bytes.data() + kIdentificationOffset; }
  const uint8_t* Identification() const { return bytes.data() + kIdentificationOffset; }
  // Offset of configuration table t (3, 4, 9, 12, 20, 21, 22) in the record;
  // 0 for any other table.
  static size_t TableOffset(int t);
  // Table t's bytes (the catalogue's size); nullptr for tables the record
  // does not hold.
  uint8_t* Table(int t);
  const uint8_t* Table(int t) const;
  // Controller name (table 3 from field 104) as UTF-8: up to the zero, at
  // most 17 characters even when the zero is missing.
  std::string ControllerName() const;

  friend bool operator==(const ConfigFileRecord&, const ConfigFileRecord&) = default;
};

// Defaults of a new configuration.
void NewConfigFileRecord(ConfigFileRecord& record);
// Origin 1, identification and the seven configuration tables from the image.
void FillConfigFileRecord(ConfigFileRecord& record, const ConfigImage& image);

// The bytes a saved file holds: the record with every password and
// identification code blanked.
std::array<uint8_t, kConfigFileSize> ConfigFileBytes(const ConfigFileRecord& record);

// File name part of the proposal
// kvarta<ver>-<modem>-<name>-<address>-<yymmdd>-<hhmm>.cnf, the name cleaned
// for the file system.
std::string ProposedConfigFileName(const ConfigFileRecord& record, const LocalDateTime& now);

enum class ConfigFileLoad { kOk, kCannotOpen, kNotConfiguration };
// Reads a file: at least 2297 bytes with software version 4 (byte 4);
// longer files are taken, their extra bytes ignored. The record is cleared
// first and holds the file's first 2297 bytes on success.
ConfigFileLoad ReadConfigFile(const std::string& path, ConfigFileRecord& record);

enum class ConfigFileSave { kOk, kCannotOpen, kWriteFailed };
// Writes ConfigFileBytes(record) to path, replacing it atomically.
ConfigFileSave WriteConfigFile(const std::string& path, const ConfigFileRecord& record);

// What an open or save dialog is given.
struct FileDialogRequest {
  std::string title;
  std::string filter;  // "Data Files (*.cnf)|*.cnf|..."
  std::string folder;  // starting folder
  std::string path;    // proposed file (save) or empty (open)
};

// The file dialogs of the configuration files.
class ConfigFileDialogs {
 public:
  virtual ~ConfigFileDialogs() = default;
  // Run modally; false when cancelled, otherwise path is the chosen file.
  virtual bool ChooseFileToOpen(const FileDialogRequest& request, std::string& path) = 0;
  virtual bool ChooseFileToSave(const FileDialogRequest& request, std::string& path) = 0;
};

// Everything loading and saving needs.
struct ConfigFileContext {
  Host& host;
  ConfigFileDialogs& dialogs;
  Clock& clock;
  std::string folder;  // the configuration folder
};

// The open dialog until a valid file is chosen (true) or it is cancelled.
bool LoadConfigFile(const ConfigFileContext& ctx, ConfigFileRecord& record);
// Optional question, save dialog, overwrite question, write. True when the
// file was written; a failed write is reported.
bool SaveConfigFile(const ConfigFileContext& ctx, const ConfigFileRecord& record, bool ask_first);

}  // namespace kvarta
