#include "connection/program_folders.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

namespace kvarta {
namespace {

bool IsFolder(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string WithoutTrailingSlash(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

std::string Env(const char* name) {
  const char* v = std::getenv(name);
  return v ? std::string(v) : std::string();
}

bool MakeFolder(const std::string& path) {
  if (::mkdir(path.c_str(), 0755) == 0) return true;
  return errno == EEXIST && IsFolder(path);
}

// mkdir -p: the default program folder may lie several levels deep.
bool MakeFolderPath(const std::string& path) {
  if (IsFolder(path)) return true;
  for (size_t pos = path.find('/', 1); pos != std::string::npos; pos = path.find('/', pos + 1)) {
    const std::string part = path.substr(0, pos);
    if (!IsFolder(part) && !MakeFolder(part)) return false;
  }
  return MakeFolder(path);
}

}  // namespace

ProgramFolderSources CurrentFolderSources(const std::string& home_option) {
  ProgramFolderSources s;
  s.home_option = home_option;
  s.home_env = Env(kProgramHomeEnv);
  s.xdg_data_home = Env("XDG_DATA_HOME");
  s.user_home = Env("HOME");
  std::vector<char> buf(4096);
  const ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size() - 1);
  if (n > 0) {
    const std::string exe(buf.data(), static_cast<size_t>(n));
    const size_t slash = exe.find_last_of('/');
    if (slash != std::string::npos) s.exe_folder = slash == 0 ? "/" : exe.substr(0, slash);
  }
  return s;
}

std::string ResolveProgramFolder(const ProgramFolderSources& s) {
  if (!s.home_option.empty()) return WithoutTrailingSlash(s.home_option);
  if (!s.home_env.empty()) return WithoutTrailingSlash(s.home_env);
  if (!s.exe_folder.empty()) {
    const std::string exe = WithoutTrailingSlash(s.exe_folder);
    if (IsFolder(exe + (exe == "/" ? "INI" : "/INI"))) return exe;
  }
  // The XDG rule: a relative XDG_DATA_HOME is to be ignored.
  if (!s.xdg_data_home.empty() && s.xdg_data_home.front() == '/') {
    return WithoutTrailingSlash(s.xdg_data_home) + "/kvartapc";
  }
  const std::string home = s.user_home.empty() ? std::string(".") : s.user_home;
  return WithoutTrailingSlash(home) + "/.local/share/kvartapc";
}

ProgramFolders FoldersIn(const std::string& program_folder) {
  ProgramFolders f;
  f.program = WithoutTrailingSlash(program_folder);
  const std::string base = f.program == "/" ? "" : f.program;
  f.ini = base + "/INI";
  f.config = base + "/CONFIG";
  f.session = base + "/COMMUNIC_SESSION";
  return f;
}

bool CreateProgramFolders(const ProgramFolders& folders) {
  bool ok = MakeFolderPath(folders.program);
  ok = MakeFolder(folders.ini) && ok;
  ok = MakeFolder(folders.config) && ok;
  ok = MakeFolder(folders.session) && ok;
  return ok;
}

}  // namespace kvarta
