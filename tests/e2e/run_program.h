// Runs the built programs as child processes, without a shell: one to its end
// with what it printed, or one in the background whose output is read line by
// line and which is ended by its process id.
#pragma once

#include <fcntl.h>
#include <gmock/gmock.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "support/temp_dir.h"

extern char** environ;

namespace kvarta::test {

struct ProgramRun {
  int exit_code = -1;
  std::string out;
  std::string err;
};

using ::testing::HasSubstr;
using ::testing::Not;

inline bool Has(const std::string& text, const std::string& what) {
  return text.find(what) != std::string::npos;
}
inline size_t Count(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}
inline std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

inline std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// A program folder of the test's own, so that no user settings leak in.
inline const std::string& TestHome() {
  static const TempDir home;
  return home.path();
}

// Starts program with the words of args, KVARTAPC_HOME set to TestHome() and
// the file actions given; the child's id, or -1.
inline pid_t Spawn(const std::string& program, const std::string& args,
                   const posix_spawn_file_actions_t* actions) {
  std::vector<std::string> words = {program};
  std::istringstream split(args);
  for (std::string w; split >> w;) words.push_back(w);
  std::vector<std::string> env = {"KVARTAPC_HOME=" + TestHome()};
  for (char** e = environ; *e != nullptr; ++e) {
    if (std::string(*e).rfind("KVARTAPC_HOME=", 0) != 0) env.push_back(*e);
  }
  std::vector<char*> argv, envp;
  for (std::string& w : words) argv.push_back(w.data());
  for (std::string& e : env) envp.push_back(e.data());
  argv.push_back(nullptr);
  envp.push_back(nullptr);
  pid_t pid = -1;
  if (posix_spawn(&pid, program.c_str(), actions, nullptr, argv.data(), envp.data()) != 0)
    return -1;
  return pid;
}

// Runs program to its end with standard input closed.
inline ProgramRun RunProgram(const std::string& program, const std::string& args) {
  static const TempDir scratch;
  const std::string out = scratch.File("out"), err = scratch.File("err");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  const pid_t pid = Spawn(program, args, &actions);
  posix_spawn_file_actions_destroy(&actions);
  ProgramRun run;
  int status = 0;
  if (pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status)) {
    run.exit_code = WEXITSTATUS(status);
  }
  run.out = Slurp(out);
  run.err = Slurp(err);
  return run;
}

inline ProgramRun Ctl(const std::string& args) {
  return RunProgram(KVARTACTL_PATH, args);
}

// Runs of kvartactl with a program folder of the test's own.
class CtlTest : public ::testing::Test {
 protected:
  ProgramRun Ctl(const std::string& args) { return test::Ctl("--home " + home + " " + args); }

  TempDir dir;
  const std::string home = dir.path();
};

// A program left running while the test talks to it; interrupted and waited
// for at the end.
class BackgroundProgram {
 public:
  BackgroundProgram(const std::string& program, const std::string& args) {
    int fds[2];
    if (pipe(fds) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    pid_ = Spawn(program, args, &actions);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    out_ = fds[0];
  }
  ~BackgroundProgram() {
    Stop();
    if (out_ >= 0) close(out_);
  }
  BackgroundProgram(const BackgroundProgram&) = delete;
  BackgroundProgram& operator=(const BackgroundProgram&) = delete;

  // Sends signal and waits for the end: the exit status, -1 if there is none.
  int Stop(int signal = SIGINT) {
    if (pid_ <= 0) return -1;
    kill(pid_, signal);
    int status = 0;
    const bool ended = waitpid(pid_, &status, 0) == pid_;
    pid_ = -1;
    return ended && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  // The next line it printed, "" when none came within timeout_ms (or,
  // with a negative timeout, before the output ended).
  std::string ReadLine(int timeout_ms) {
    std::string line;
    const int64_t until = RealClock().NowNs() + MsToNs(timeout_ms);
    while (timeout_ms < 0 || RealClock().NowNs() < until) {
      pollfd p{out_, POLLIN, 0};
      if (poll(&p, 1, 50) <= 0) continue;
      char c = 0;
      if (read(out_, &c, 1) != 1) break;
      if (c == '\n') return line;
      if (c != '\r') line.push_back(c);
    }
    return "";
  }

  // The lines printed until n had come, then Ctrl-C and the lines printed
  // before the end; status: the exit status.
  std::vector<std::string> InterruptAfter(size_t n, int& status) {
    std::vector<std::string> lines;
    while (lines.size() < n) lines.push_back(ReadLine(-1));
    status = Stop();
    for (std::string line; !(line = ReadLine(-1)).empty();) lines.push_back(line);
    return lines;
  }

 private:
  pid_t pid_ = -1;
  int out_ = -1;
};

}  // namespace kvarta::test
