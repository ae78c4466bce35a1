#include "platform/atomic_file.h"
#include "platform/file_names.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <dirent.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <random>
#include <vector>

namespace kvarta {
namespace {

std::string FolderOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

bool WriteAll(int fd, std::string_view bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<size_t>(n);
  }
  return true;
}

// The file a save replaces: a symbolic link is followed to its target, so
// that the link stays and the file it names gets the new contents.
std::string ResolveLinks(std::string path) {
  for (int depth = 0; depth < 16; ++depth) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    std::vector<char> target(4096);
    const ssize_t n = ::readlink(path.c_str(), target.data(), target.size() - 1);
    if (n <= 0) return path;
    std::string next(target.data(), static_cast<size_t>(n));
    path = next.front() == '/' ? next : FolderOf(path) + "/" + next;
  }
  return path;
}

// Temporary files of this program beside a file: "<name>.kvtmp-XXXXXX".
constexpr char kTempInfix[] = ".kvtmp-";

// Removes what an interrupted save of the same file left behind. A file
// written in the last seconds may belong to a save still running elsewhere.
void RemoveStaleTemporaries(const std::string& path) {
  constexpr time_t kStaleAfterS = 10;
  const std::string folder = FolderOf(path);
  const std::string prefix = BaseName(path) + kTempInfix;
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return;
  const time_t now = ::time(nullptr);
  while (const dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    if (name.size() != prefix.size() + 6 || name.compare(0, prefix.size(), prefix) != 0) continue;
    const std::string full = folder + "/" + name;
    struct stat st {};
    if (::lstat(full.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
        now - st.st_mtime >= kStaleAfterS) {
      ::unlink(full.c_str());
    }
  }
  ::closedir(dir);
}

// A new temporary file, created with the mode the umask gives.
int CreateTemporary(const std::string& target, std::string& temp_path) {
  static constexpr char kChars[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name = target + kTempInfix;
    for (int i = 0; i < 6; ++i) name += kChars[random() % (sizeof kChars - 1)];
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd >= 0) {
      temp_path = name;
      return fd;
    }
    if (errno != EEXIST) return -1;
  }
  return -1;
}

// Test seam: with KVARTA_TEST_CRASH_AT=N in the environment the process ends
// at once (as if killed) at the N-th step of its saves, counted over the run
// (again from 0 when the value changes); the steps of one save are:
// temporary created, data written, data flushed, renamed, folder flushed.
// Lets the tests stop a save between any two of them.
void CrashPoint() {
  static int step = 0;
  static std::string seen;
  const char* at = std::getenv("KVARTA_TEST_CRASH_AT");
  if (at == nullptr) return;
  if (seen != at) {
    seen = at;
    step = 0;
  }
  if (++step == std::atoi(at)) ::_exit(99);
}

}  // namespace

bool WriteFileAtomically(const std::string& path, std::string_view bytes) {
  const std::string target = ResolveLinks(path);
  RemoveStaleTemporaries(target);
  std::string temp_path;
  const int fd = CreateTemporary(target, temp_path);
  if (fd < 0) return false;
  CrashPoint();

  // The file being replaced keeps its permissions; a new one has what the
  // umask allows.
  bool ok = WriteAll(fd, bytes);
  if (ok) CrashPoint();
  struct stat st {};
  if (ok && ::stat(target.c_str(), &st) == 0) ok = ::fchmod(fd, st.st_mode & 07777) == 0;
  ok = ok && ::fsync(fd) == 0;
  if (::close(fd) != 0) ok = false;
  if (ok) CrashPoint();
  if (ok && ::rename(temp_path.c_str(), target.c_str()) != 0) ok = false;
  if (!ok) {
    ::unlink(temp_path.c_str());
    return false;
  }
  CrashPoint();
  // Make the rename itself durable; failing that is no reason to report the
  // save as failed, the data is in place.
  const int dir = ::open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  CrashPoint();
  return true;
}

bool ReadWholeFile(const std::string& path, std::string& bytes) {
  bytes.clear();
  const int fd = ::open(path.c_str(), O_RDONLY);
  if (fd < 0) return false;
  char buf[8192];
  bool ok = true;
  for (;;) {
    const ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0) {
      if (errno == EINTR) continue;
      ok = false;
      break;
    }
    if (n == 0) break;
    bytes.append(buf, static_cast<size_t>(n));
  }
  ::close(fd);
  if (!ok) bytes.clear();
  return ok;
}

}  // namespace kvarta
