// kvartactl run as a program, against its built-in simulator or a separate
// kvarta-sim.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "e2e/run_program.h"
#include "support/temp_dir.h"

namespace kvarta::test {
namespace {

ProgramRun Ctl(const std::string& args) {
  return RunProgram(KVARTACTL_PATH, args);
}

int CountLines(const std::string& text) {
  int n = 0;
  for (char c : text) n += c == '\n';
  return n;
}

TEST(KvartactlTest, TraceShowsTheReadRequestBehindFivePreamblesAndTheAnswer) {
  const ProgramRun run = Ctl("--simulator --trace read 0");
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_NE(run.err.find("> FF FF FF FF FF CC 01 0A 01 00 00 00 12 E1 A9"), std::string::npos)
      << run.err;
  EXPECT_NE(run.err.find("< 33 01 1C 81 00 00 00 12"), std::string::npos) << run.err;
  EXPECT_EQ(CountLines(run.out), 18);
  EXPECT_EQ(run.out.substr(0, 6), "00\n40\n");  // no destroyed table, type 64
}

TEST(KvartactlTest, IdentifyDecodesTheIdentificationTable) {
  const ProgramRun run = Ctl("--simulator identify");
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_NE(run.out.find("Разрушенных таблиц нет"), std::string::npos);
  EXPECT_NE(run.out.find("mc55iT"), std::string::npos);
}

TEST(KvartactlTest, FailuresPrintTheProgramsOwnLines) {
  const ProgramRun silent = Ctl("--simulator --sim-fault silence --answer-timeout 300 identify");
  EXPECT_NE(silent.exit_code, 0);
  EXPECT_NE(silent.err.find("Не выполнено чтение из таблицы 0."), std::string::npos);
  EXPECT_NE(silent.err.find("Команда 1.  Устройство не отвечает"), std::string::npos);

  const ProgramRun cut = Ctl("--simulator --sim-fault cut:4 identify");
  EXPECT_NE(cut.exit_code, 0);
  EXPECT_NE(cut.err.find("Команда 1.  Ответ получен не полностью (превышено время между байтами)"),
            std::string::npos)
      << cut.err;

  const ProgramRun no_port = Ctl("--port /nonexistent/tty identify");
  EXPECT_NE(no_port.exit_code, 0);
  EXPECT_NE(no_port.err.find("недоступен"), std::string::npos);
}

TEST(KvartactlTest, WritesNeedCredentials) {
  const ProgramRun refused = Ctl("--simulator write 15 0 00");
  EXPECT_NE(refused.exit_code, 0);
  EXPECT_NE(refused.err.find("Не выполнена запись в таблицу 15."), std::string::npos);
  EXPECT_NE(refused.err.find("Пользователь не зарегистрирован или неправильный пароль"),
            std::string::npos)
      << refused.err;

  const ProgramRun granted = Ctl("--simulator --code 1111 --password 111111 write 15 0 00");
  EXPECT_EQ(granted.exit_code, 0) << granted.err;
  const ProgramRun restart = Ctl("--simulator --code 2222 --password 222222 restart");
  EXPECT_EQ(restart.exit_code, 0) << restart.err;
}

TEST(KvartactlTest, StateFileKeepsAWrittenNameBetweenRuns) {
  TempDir dir;
  const std::string state = dir.File("sim.state");
  // Table 3 fields 104.. hold the controller's name: write "AB".
  const ProgramRun write = Ctl("--simulator --sim-state " + state +
                               " --code 1111 --password 111111 write 3 104 41 42 00");
  ASSERT_EQ(write.exit_code, 0) << write.err;
  const ProgramRun read = Ctl("--simulator --sim-state " + state + " read 3 104 3");
  ASSERT_EQ(read.exit_code, 0) << read.err;
  EXPECT_EQ(read.out, "41\n42\n00\n");
}

TEST(KvartactlTest, ToolAndStandaloneSimulatorTalkOverAPseudoTerminal) {
  BackgroundProgram sim(KVARTA_SIM_PATH, "--address 9");
  const std::string path = sim.ReadLine(10000);
  ASSERT_EQ(path.rfind("/dev/pts/", 0), 0u) << path;
  const ProgramRun run = Ctl("--port " + path + " --address 9 read 3 0 1");
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.out, "09\n");
}

TEST(KvartactlTest, SearchThroughThePortMapStoresWhatItFinds) {
  TempDir home;
  BackgroundProgram sim(KVARTA_SIM_PATH, "--address 42 --listen-baud 19200");
  const std::string path = sim.ReadLine(10000);
  ASSERT_FALSE(path.empty());
  std::filesystem::create_directory(home.File("INI"));
  std::ofstream(home.File("INI/com_ports.map")) << "COM3=" << path << "\n";
  const std::string h = " --home " + home.path() + " ";

  const ProgramRun search = Ctl(h + "--port COM3 search");
  ASSERT_EQ(search.exit_code, 0) << search.err;
  EXPECT_EQ(search.out, "Установлена связь с устройством\nАдр. = 42.  Скорость обмена = 19200\n");
  // The found port, address and rate are now the direct connection's: a read
  // without any line option reaches the controller.
  const ProgramRun read = Ctl(h + "read 3 0 1");
  EXPECT_EQ(read.exit_code, 0) << read.err;
  EXPECT_EQ(read.out, "2A\n");
}

TEST(KvartactlTest, ImitateModemAnswersAControllerThatWaitsForAModem) {
  const ProgramRun run = Ctl("--simulator --sim-expect-modem imitate-modem");
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.out, "Отправлен ответ на АТ-команду\n");
}

TEST(KvartactlTest, HelpListsTheCommands) {
  const ProgramRun run = Ctl("--help");
  EXPECT_EQ(run.exit_code, 0);
  for (const char* word : {"identify", "read", "write", "restart", "--simulator", "--trace"}) {
    EXPECT_NE(run.out.find(word), std::string::npos) << word;
  }
  EXPECT_NE(Ctl("--bogus identify").exit_code, 0);
  EXPECT_NE(Ctl("--simulator read 5").exit_code, 0);  // no table 5
}

}  // namespace
}  // namespace kvarta::test
