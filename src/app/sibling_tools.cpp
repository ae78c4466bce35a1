#include "app/sibling_tools.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "link/controller_link.h"
#include "link/message_window.h"
#include "platform/text_format.h"

extern char** environ;

namespace kvarta {
namespace {

void PutU32(AdminRecord& r, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) r[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

bool WriteAll(int fd, const uint8_t* data, size_t n) {
  while (n > 0) {
    const ssize_t w = write(fd, data, n);
    if (w < 0 && errno == EINTR) continue;
    if (w <= 0) return false;
    data += w;
    n -= static_cast<size_t>(w);
  }
  return true;
}

bool WriteParamFile(const std::string& path, const AdminRecord& record) {
  // The record carries the write password: the user alone may read it, and
  // whatever sits at the name (a link planted there, say) is removed first so
  // that the file is created new, never followed.
  unlink(path.c_str());
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  const bool ok = fchmod(fd, 0600) == 0 && WriteAll(fd, record.data(), record.size());
  return close(fd) == 0 && ok;
}

bool ReadParamFile(const std::string& path, AdminRecord& record) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  size_t got = 0;
  while (got < record.size()) {
    const ssize_t r = read(fd, record.data() + got, record.size() - got);
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) break;
    got += static_cast<size_t>(r);
  }
  close(fd);
  return got == record.size();
}

}  // namespace

bool RunSiblingProgram(const std::string& path) {
  if (path.empty()) return false;
  const size_t slash = path.find_last_of('/');
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  char* argv[] = {const_cast<char*>(name.c_str()), nullptr};
  pid_t pid = 0;
  if (posix_spawn(&pid, path.c_str(), nullptr, nullptr, argv, environ) != 0) return false;
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  // The shell convention: 127 means the program could not be executed.
  return !(WIFEXITED(status) && WEXITSTATUS(status) == 127);
}

AdminRecord BuildAdminRecord(const ControllerLink& link, bool modem_connected) {
  AdminRecord r{};
  r[0] = modem_connected ? 1 : 0;
  r[51] = link.address;
  PutU32(r, 52, link.baud_rate);
  r[56] = link.preamble_count;
  std::memcpy(&r[57], link.write_password.data(), 12);
  std::memcpy(&r[69], link.ident_code.data(), 4);
  PutU32(r, 73, link.inter_byte_timeout_ms);
  PutU32(r, 77, link.answer_timeout_ms);
  r[81] = link.attempts;
  return r;
}

AdminToolsResult RunAdminTools(const std::string& library_path, const std::string& program_folder,
                               const std::string& param_file, int port_descriptor,
                               const AdminRecord& record) {
  AdminToolsResult result;
  if (!WriteParamFile(param_file, record)) {
    unlink(param_file.c_str());
    result.outcome = AdminToolsOutcome::kParamFileError;
    return result;
  }
  void* lib = dlopen(library_path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!lib) {
    const char* err = dlerror();
    result.error_text = err ? err : "";
    unlink(param_file.c_str());
    result.outcome = AdminToolsOutcome::kLoadFailed;
    return result;
  }
  dlerror();
  using EntryFn = int (*)(const char*, int);
  void* sym = dlsym(lib, kAdminEntryName);
  if (!sym) {
    const char* err = dlerror();
    result.error_text = err ? err : "";
    dlclose(lib);
    unlink(param_file.c_str());
    result.outcome = AdminToolsOutcome::kEntryMissing;
    return result;
  }
  EntryFn entry = nullptr;
  std::memcpy(&entry, &sym, sizeof(entry));
  entry(program_folder.c_str(), port_descriptor);
  result.outcome = AdminToolsOutcome::kCalled;
  result.record_read = ReadParamFile(param_file, result.record_after);
  unlink(param_file.c_str());
  dlclose(lib);
  return result;
}

std::vector<std::string> SiblingTools::Folders() const {
  return SiblingFolders(parts_.store.folders().program);
}

void SiblingTools::RunFirmwareLoader() {
  parts_.connector.Close();
  parts_.facts.connection_established = false;
  if (!RunSiblingProgram(LocateSiblingFile(kFirmwareLoaderFile, Folders()))) {
    ShowMessageWindow(parts_.host, kMessageInfo, "Сбой в работе",
                      Format("программы %s", kFirmwareLoaderFile));
  }
  session_.RefreshMainMenu();
}

void SiblingTools::RunSessionReader() {
  if (parts_.connector.modem_connected()) {
    BusyCursor busy(parts_.host);
    calls_.EndCall(false);
    parts_.facts.connection_established = false;
    parts_.view.RepaintWindow();
  }
  parts_.connector.Close();
  parts_.facts.connection_established = false;
  if (!RunSiblingProgram(LocateSiblingFile(kSessionReaderFile, Folders()))) {
    ShowMessageWindow(parts_.host, kMessageInfo, "Сбой в работе",
                      Format("программы %s", kSessionReaderFile));
  }
  session_.RefreshMainMenu();
}

void SiblingTools::RunServiceLibrary() {
  Host& host = parts_.host;
  const std::string library = LocateSiblingFile(kAdminToolsFile, Folders());
  if (library.empty()) {
    ShowMessageWindow(host, kMessageInfo, Format("Не обнаружен файл %s", kAdminToolsFile), "");
    return;
  }
  const ProgramFolders& folders = parts_.store.folders();
  const std::string param_file = folders.ini + "/" + kAdminParamFileName;
  ControllerLink& link = parts_.link;
  const AdminToolsResult r = RunAdminTools(
      library, folders.program + "/", param_file, link.port ? link.port->Descriptor() : -1,
      BuildAdminRecord(link, parts_.connector.modem_connected()));
  switch (r.outcome) {
    case AdminToolsOutcome::kParamFileError:
      ShowMessageWindow(host, kMessageInfo, "Ошибка записи файла", "для работы с DLL");
      return;
    case AdminToolsOutcome::kLoadFailed:
      ShowMessageWindow(host, kMessageInfo, Format("Не удалось прочитать DLL %s", kAdminToolsFile),
                        r.error_text);
      return;
    case AdminToolsOutcome::kEntryMissing:
      ShowMessageWindow(host, kMessagePlain, r.error_text, "");
      return;
    case AdminToolsOutcome::kCalled:
      break;
  }
  if (r.record_read && parts_.store.settings.Kind() == ConnectionKind::kPhone &&
      r.record_after[0] == 0) {
    parts_.connector.ForgetCall();
    calls_.StopTimers();
    parts_.view.SetModemPanelVisible(false);
    parts_.view.RepaintWindow();
    parts_.facts.connection_established = false;
    parts_.connector.Close();
    session_.RefreshMainMenu();
  }
}

}  // namespace kvarta
