// The desktop program ends on SIGTERM the way "Выход" ends it: the open
// connection dialog is left, the settings and the command history are saved
// and the exit status is 0.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include "e2e/run_program.h"

namespace kvarta::test {
namespace {

#ifdef KVARTAPC_PATH

// Whether the process has its own handler for signo (SigCgt of /proc).
bool Catches(pid_t pid, int signo) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("SigCgt:", 0) != 0) continue;
    const unsigned long long mask = std::stoull(line.substr(7), nullptr, 16);
    return (mask >> (signo - 1)) & 1u;
  }
  return false;
}

// The process's exit status, or -1 when it has not ended normally within timeout_ms.
int WaitExit(pid_t pid, int timeout_ms) {
  for (int waited = 0; waited < timeout_ms; waited += 20) {
    int status = 0;
    if (waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
  return -1;
}

TEST(DesktopProgramSignals, SigtermClosesAsExitDoesAndSavesTheSettings) {
  TempDir home;
  std::filesystem::create_directories(home.File("INI"));
  // A window smaller than the main window can be: the close stores the real size.
  std::ofstream(home.File("INI/kvarta04.ini"), std::ios::binary)
      << "[CURR_PAR]\r\nForm_Width=50\r\nForm_Height=50\r\n";
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  const pid_t pid = Spawn(KVARTAPC_PATH, "--simulator --home " + home.path(), &actions);
  posix_spawn_file_actions_destroy(&actions);
  ASSERT_GT(pid, 0);

  bool ready = false;
  for (int i = 0; i < 250 && !ready; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ready = Catches(pid, SIGTERM) && Catches(pid, SIGINT) && Catches(pid, SIGHUP);
  }
  EXPECT_TRUE(ready);
  // The start timer has opened the connection dialog by now.
  std::this_thread::sleep_for(std::chrono::milliseconds(1200));
  ASSERT_EQ(kill(pid, SIGTERM), 0);
  EXPECT_EQ(WaitExit(pid, 10000), 0);

  const std::string settings = Slurp(home.File("INI/kvarta04.ini"));
  EXPECT_NE(settings.find("Form_Width="), std::string::npos) << settings;
  EXPECT_EQ(settings.find("Form_Width=50\r"), std::string::npos) << settings;
  std::error_code ec;
  EXPECT_EQ(std::filesystem::file_size(home.File("INI/comm_history.ini"), ec), 22102u);
}

#endif

}  // namespace
}  // namespace kvarta::test
