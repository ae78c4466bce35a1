// kvartactl run as a program, against its built-in simulator or a separate
// kvarta-sim.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "e2e/run_program.h"

namespace kvarta::test {
namespace {

class KvartactlTest : public CtlTest {};

TEST_F(KvartactlTest, TraceShowsTheReadRequestBehindFivePreamblesAndTheAnswer) {
  const ProgramRun run = Ctl("--simulator --trace read 0");
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_THAT(run.err, HasSubstr("> FF FF FF FF FF CC 01 0A 01 00 00 00 12 E1 A9"));
  EXPECT_THAT(run.err, HasSubstr("< 33 01 1C 81 00 00 00 12"));
  EXPECT_EQ(Count(run.out, "\n"), 18u);
  EXPECT_EQ(run.out.substr(0, 6), "00\n40\n");  // no destroyed table, type 64
}

TEST_F(KvartactlTest, IdentifyDecodesTheIdentificationTable) {
  const ProgramRun run = Ctl("--simulator identify");
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_THAT(run.out, HasSubstr("Разрушенных таблиц нет"));
  EXPECT_THAT(run.out, HasSubstr("mc55iT"));
}

TEST_F(KvartactlTest, FailuresAndRefusedWritesPrintTheProgramsOwnLines) {
  const struct {
    const char* args;
    const char* says;
  } cases[] = {
      {"--simulator --sim-fault silence --answer-timeout 300 identify",
       "Не выполнено чтение из таблицы 0.\nКоманда 1.  Устройство не отвечает"},
      {"--simulator --sim-fault cut:4 identify",
       "Команда 1.  Ответ получен не полностью (превышено время между байтами)"},
      {"--port /nonexistent/tty identify", "недоступен"},
      {"--simulator write 15 0 00",
       "Не выполнена запись в таблицу 15.\nКоманда 2.  Пользователь не зарегистрирован или "
       "неправильный пароль"},
  };
  for (const auto& c : cases) {
    const ProgramRun run = Ctl(c.args);
    EXPECT_NE(run.exit_code, 0) << c.args;
    EXPECT_THAT(run.err, HasSubstr(c.says)) << c.args;
  }
  // The adjuster may write, the administrator restart.
  const ProgramRun granted = Ctl("--simulator --code 1111 --password 111111 write 15 0 00");
  EXPECT_EQ(granted.exit_code, 0) << granted.err;
  const ProgramRun restart = Ctl("--simulator --code 2222 --password 222222 restart");
  EXPECT_EQ(restart.exit_code, 0) << restart.err;
}

TEST_F(KvartactlTest, ToolAndStandaloneSimulatorTalkOverAPseudoTerminal) {
  BackgroundProgram sim(KVARTA_SIM_PATH, "--address 9");
  const std::string path = sim.ReadLine(10000);
  ASSERT_EQ(path.rfind("/dev/pts/", 0), 0u) << path;
  const ProgramRun run = Ctl("--port " + path + " --address 9 read 3 0 1");
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.out, "09\n");
}

TEST_F(KvartactlTest, SearchThroughThePortMapStoresWhatItFinds) {
  BackgroundProgram sim(KVARTA_SIM_PATH, "--address 42 --listen-baud 19200");
  const std::string path = sim.ReadLine(10000);
  ASSERT_FALSE(path.empty());
  std::filesystem::create_directory(dir.File("INI"));
  std::ofstream(dir.File("INI/com_ports.map")) << "COM3=" << path << "\n";

  const ProgramRun search = Ctl("--port COM3 search");
  ASSERT_EQ(search.exit_code, 0) << search.err;
  EXPECT_EQ(search.out, "Установлена связь с устройством\nАдр. = 42.  Скорость обмена = 19200\n");
  // The found port, address and rate are now the direct connection's: a read
  // without any line option reaches the controller.
  const ProgramRun read = Ctl("read 3 0 1");
  EXPECT_EQ(read.exit_code, 0) << read.err;
  EXPECT_EQ(read.out, "2A\n");
}

TEST_F(KvartactlTest, TheBuiltInSimulatorAnswersAtTheConnectionsAddressAndRateOnly) {
  const ProgramRun at5 = Ctl("--simulator --address 5 --baud 19200 read 3 0 1");
  ASSERT_EQ(at5.exit_code, 0) << at5.err;
  EXPECT_EQ(at5.out, "05\n");
  // The search finds it at its own rate, not at the first rate it tries.
  const ProgramRun search = Ctl("--simulator search");
  ASSERT_EQ(search.exit_code, 0) << search.err;
  EXPECT_EQ(search.out, "Установлена связь с устройством\nАдр. = 1.  Скорость обмена = 9600\n");
  // An address given to the simulator stays its own.
  EXPECT_NE(
      Ctl("--simulator --sim-address 7 --address 5 --answer-timeout 200 read 3 0 1").exit_code, 0);
}

TEST_F(KvartactlTest, ImitateModemAnswersAControllerThatWaitsForAModem) {
  const ProgramRun run = Ctl("--simulator --sim-expect-modem imitate-modem");
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.out, "Отправлен ответ на АТ-команду\n");
}

TEST_F(KvartactlTest, HelpListsTheCommands) {
  const ProgramRun run = Ctl("--help");
  EXPECT_EQ(run.exit_code, 0);
  for (const char* word : {"identify", "read", "write", "restart", "--simulator", "--trace"}) {
    EXPECT_THAT(run.out, HasSubstr(word));
  }
  EXPECT_NE(Ctl("--bogus identify").exit_code, 0);
  EXPECT_NE(Ctl("--simulator read 5").exit_code, 0);  // no table 5
}

}  // namespace
}  // namespace kvarta::test
