#include "config/config_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string_view>

#include "config/identification.h"
#include "config/user_list.h"
#include "link/config_image.h"
#include "link/message_window.h"
#include "link/modem_type.h"
#include "platform/atomic_file.h"
#include "platform/cp1251.h"
#include "platform/file_names.h"
#include "platform/text_format.h"

namespace kvarta {
namespace {

void PutU16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v & 0xFF);
  p[1] = static_cast<uint8_t>(v >> 8);
}

std::string FolderOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

bool FileExists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0;
}

constexpr const char* kCnfFilter = "Data Files (*.cnf)|*.cnf";

}  // namespace

size_t ConfigFileRecord::TableOffset(int t) {
  switch (t) {
    case 3:
      return kTable3Offset;
    case 4:
      return kTable4Offset;
    case 9:
      return kTable9Offset;
    case 12:
      return kTable12Offset;
    case 20:
      return kTable20Offset;
    case 21:
      return kTable21Offset;
    case 22:
      return kTable22Offset;
    default:
      return 0;
  }
}

uint8_t* ConfigFileRecord::Table(int t) {
  const size_t offset = TableOffset(t);
  return offset == 0 ? nullptr : bytes.data() + offset;
}

const uint8_t* ConfigFileRecord::Table(int t) const {
  return const_cast<ConfigFileRecord*>(this)->Table(t);
}

std::string ConfigFileRecord::ControllerName() const {
  const char* p = reinterpret_cast<const char*>(bytes.data() + kControllerNameOffset);
  return Cp1251ToUtf8(std::string_view(p, strnlen(p, kControllerNameMax)));
}

void NewConfigFileRecord(ConfigFileRecord& record) {
  record.bytes.fill(0);
  uint8_t* b = record.bytes.data();
  b[ConfigFileRecord::kTypeOffset] = 64;
  b[ConfigFileRecord::kVersionOffset] = 4;
  b[ConfigFileRecord::kModemOffset] = 1;

  uint8_t* t3 = record.Table(3);
  t3[0] = 1;                                        // address
  t3[1] = 3;                                        // preambles
  t3[2] = 3;                                        // delivery attempts
  t3[3] = 0;                                        // servers to send to
  t3[5] = 2;                                        // answer wait, s
  t3[6] = 1;                                        // number of servers
  for (int h = 0; h < 24; ++h) t3[11 + 4 * h] = 1;  // modem on during every hour

  uint8_t* t4 = record.Table(4);
  for (int i = 0; i < kUserCount; ++i) ClearUserRecord(UserRecord(t4, i));
  // User 1: the manufacturer-adjuster "П/Н ".
  const uint8_t adjuster_name[kUserNameSize] = {0xCF, 0x2F, 0xCD, 0x20};
  std::memcpy(t4, adjuster_name, sizeof adjuster_name);
  t4[kUserLevelOffset] = kLevelAdjuster;

  uint8_t* t9 = record.Table(9);
  t9[0] = 1;
  t9[2] = 5;
  t9[3] = 11;
  t9[4] = 2;
  t9[5] = 11;
  t9[6] = 5;
  for (int k = 0; k < 4; ++k) {
    uint8_t* vrg = t9 + 8 + 24 * k;
    vrg[0] = static_cast<uint8_t>(k + 2);
    vrg[5] = 1;
  }

  const uint16_t timeouts[7] = {300, 60, 20, 300, 120, 5, 30};
  for (int f = 0; f < 7; ++f) PutU16(record.Table(20) + 2 * f, timeouts[f]);
}

void FillConfigFileRecord(ConfigFileRecord& record, const ConfigImage& image) {
  record.origin() = 1;
  std::memcpy(record.Identification(), image.Table(0), TableCatalogue(0).Bytes());
  for (int t : kConfigurationTables) {
    std::memcpy(record.Table(t), image.Table(t), TableCatalogue(t).Bytes());
  }
}

std::array<uint8_t, kConfigFileSize> ConfigFileBytes(const ConfigFileRecord& record) {
  std::array<uint8_t, kConfigFileSize> out = record.bytes;
  uint8_t* users = out.data() + ConfigFileRecord::kTable4Offset;
  for (int i = 0; i < kUserCount; ++i) {
    uint8_t* user = UserRecord(users, i);
    std::memset(user + kUserPasswordOffset, ' ', kUserPasswordSize);
    std::memset(user + kUserCodeOffset, ' ', kUserCodeSize);
  }
  return out;
}

std::string ProposedConfigFileName(const ConfigFileRecord& record, const LocalDateTime& now) {
  const uint8_t modem = record.bytes[ConfigFileRecord::kModemOffset];
  const std::string modem_name = ModemTypeFileName(modem);
  const std::string name = CleanFileNamePart(record.ControllerName());
  return Format("kvarta%02u-%s-%s-%03u-%02d%02d%02d-%02d%02d.cnf",
                record.bytes[ConfigFileRecord::kVersionOffset], modem_name.c_str(), name.c_str(),
                record.bytes[ConfigFileRecord::kAddressOffset], now.year - 2000, now.month, now.day,
                now.hour, now.minute);
}

ConfigFileLoad ReadConfigFile(const std::string& path, ConfigFileRecord& record) {
  record.bytes.fill(0);
  const int fd = ::open(path.c_str(), O_RDONLY);
  if (fd < 0) return ConfigFileLoad::kCannotOpen;
  size_t got = 0;
  bool failed = false;
  while (got < kConfigFileSize) {
    const ssize_t n = ::read(fd, record.bytes.data() + got, kConfigFileSize - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) failed = true;
    if (n <= 0) break;
    got += static_cast<size_t>(n);
  }
  ::close(fd);
  if (failed && got == 0) {
    // A folder, or a file the system refuses to read.
    return ConfigFileLoad::kCannotOpen;
  }
  if (got < kConfigFileSize || record.bytes[ConfigFileRecord::kVersionOffset] != 4) {
    record.bytes.fill(0);
    return ConfigFileLoad::kNotConfiguration;
  }
  return ConfigFileLoad::kOk;
}

ConfigFileSave WriteConfigFile(const std::string& path, const ConfigFileRecord& record) {
  struct stat st {};
  const bool exists = ::stat(path.c_str(), &st) == 0;
  // What opening the file for writing would refuse: a folder, a protected
  // file, a folder that takes no new files.
  if ((exists && (S_ISDIR(st.st_mode) || ::access(path.c_str(), W_OK) != 0)) ||
      ::access(FolderOf(path).c_str(), W_OK) != 0) {
    return ConfigFileSave::kCannotOpen;
  }
  const std::array<uint8_t, kConfigFileSize> bytes = ConfigFileBytes(record);
  const bool ok = WriteFileAtomically(
      path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  return ok ? ConfigFileSave::kOk : ConfigFileSave::kWriteFailed;
}

bool LoadConfigFile(const ConfigFileContext& ctx, ConfigFileRecord& record) {
  FileDialogRequest request{"Выбор файла с параметрами конфигурации", kCnfFilter, ctx.folder, ""};
  for (;;) {
    record.bytes.fill(0);
    std::string path;
    if (!ctx.dialogs.ChooseFileToOpen(request, path)) return false;
    switch (ReadConfigFile(path, record)) {
      case ConfigFileLoad::kOk:
        return true;
      case ConfigFileLoad::kCannotOpen:
        ShowMessageWindow(ctx.host, kMessageError, "Ошибка открытия файла", "");
        break;
      case ConfigFileLoad::kNotConfiguration:
        ShowMessageWindow(ctx.host, kMessageError,
                          Format("Файл %s не является файлом конфигурации", BaseName(path).c_str()),
                          "контроллера kvarta с версией ПО 4");
        break;
    }
  }
}

bool SaveConfigFile(const ConfigFileContext& ctx, const ConfigFileRecord& record, bool ask_first) {
  Host& host = ctx.host;
  if (ask_first && !ShowMessageWindow(host, kMessageQuestion,
                                      "Сохранить параметры конфигурирования в файле?", "")) {
    return false;
  }
  const std::string proposal =
      ctx.folder + "/" + ProposedConfigFileName(record, ctx.clock.LocalNow());
  FileDialogRequest request{"Выбор файла для записи параметров конфигурации",
                            "Data Files (*.cnf)|*.cnf|DataFiles(*.*)|*.*", ctx.folder, proposal};
  std::string path;
  for (;;) {
    if (!ctx.dialogs.ChooseFileToSave(request, path)) return false;
    if (path == proposal) break;
    if (BaseName(path).find('.') == std::string::npos) path += ".cnf";
    if (!FileExists(path)) break;
    if (ShowMessageWindow(host, kMessageQuestion,
                          Format("Файл %s уже есть.", BaseName(path).c_str()),
                          "Вы хотите заменить существующий файл?")) {
      break;
    }
    request.path = path;
  }
  switch (WriteConfigFile(path, record)) {
    case ConfigFileSave::kOk:
      return true;
    case ConfigFileSave::kCannotOpen:
      ShowMessageWindow(host, kMessageError, "Ошибка открытия файла", "");
      return false;
    case ConfigFileSave::kWriteFailed:
      ShowMessageWindow(host, kMessageError, "Сбой при работе с файлом", "");
      return false;
  }
  return false;
}

}  // namespace kvarta
