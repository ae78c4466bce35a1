// Runs one of the built programs and captures what it prints.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace kvarta::test {

struct ProgramRun {
  int exit_code = -1;
  std::string out;
  std::string err;
};

inline std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// A program folder of the test's own, so that no user settings leak in.
inline const std::string& TestHome() {
  static const std::string home = [] {
    char dir[] = "/tmp/kvarta_e2e_homeXXXXXX";
    return std::string(mkdtemp(dir) ? dir : "/tmp");
  }();
  return home;
}

// Runs "program args" through the shell with standard input closed.
inline ProgramRun RunProgram(const std::string& program, const std::string& args) {
  char out_name[] = "/tmp/kvarta_e2e_outXXXXXX";
  char err_name[] = "/tmp/kvarta_e2e_errXXXXXX";
  close(mkstemp(out_name));
  close(mkstemp(err_name));
  const std::string cmd = "KVARTAPC_HOME=" + TestHome() + " " + program + " " + args +
                          " </dev/null >" + out_name + " 2>" + err_name;
  const int status = std::system(cmd.c_str());
  ProgramRun run;
  run.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.out = Slurp(out_name);
  run.err = Slurp(err_name);
  std::remove(out_name);
  std::remove(err_name);
  return run;
}

}  // namespace kvarta::test
