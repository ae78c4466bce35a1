// The whole-configuration commands of kvartactl against the simulated
// controller, its state kept in a file between the runs.
#include <gtest/gtest.h>

#include <fstream>

#include "e2e/run_program.h"

namespace kvarta::test {
namespace {

constexpr int kRecordSize = 2297;

class ConfigCommandsTest : public CtlTest {
 protected:
  // A run against the simulated controller of this test.
  ProgramRun Sim(const std::string& args) {
    return Ctl("--simulator --sim-state " + dir.File("sim.state") + " " + args);
  }
  ProgramRun Offline(const std::string& args) { return Ctl(args); }
  std::string Path(const std::string& name) const { return dir.File(name); }

  std::vector<unsigned char> Bytes(const std::string& path) {
    const std::string s = Slurp(path);
    return {s.begin(), s.end()};
  }
  void Store(const std::string& path, const std::vector<unsigned char>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
  }

  const std::string& dir_ = home;
};

TEST_F(ConfigCommandsTest, DestroyedUsersTableIsRestoredFromANewConfiguration) {
  const std::string file = Path("new.cnf");
  const ProgramRun made = Offline("new-config " + file);
  ASSERT_EQ(made.exit_code, 0) << made.err;
  EXPECT_EQ(made.out, file + "\n");

  const ProgramRun before = Sim("--sim-destroyed 4 table-state");
  ASSERT_EQ(before.exit_code, 0) << before.err;
  EXPECT_THAT(before.out, HasSubstr(" Табл.  4.  Зарегистрированные пользователи  "));
  EXPECT_EQ(Count(before.out, "Да\n"), 1u) << before.out;
  EXPECT_EQ(Count(before.out, "\n"), 7u);

  const ProgramRun run =
      Sim("--sim-destroyed 4 write-config " + file + " --user 1:1111:111111 --key ABCDEFGH");
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.out, "Записаны таблицы: 3, 4, 9, 12, 20, 21, 22\n");
  // The key question of an intact table 12 was answered by --key, on a line of its own.
  EXPECT_THAT(run.err, HasSubstr("Вы хотите изменить ключ авторизации?\nДа (--key)\n"));
  // The controller's configuration before the run was kept in CONFIG.
  const size_t backup = run.err.find("Копия конфигурации контроллера: " + dir_ + "/CONFIG/");
  ASSERT_NE(backup, std::string::npos) << run.err;
  const size_t end = run.err.find('\n', backup);
  const std::string backup_path =
      run.err.substr(backup + std::string("Копия конфигурации контроллера: ").size(),
                     end - backup - std::string("Копия конфигурации контроллера: ").size());
  EXPECT_EQ(Bytes(backup_path).size(), static_cast<size_t>(kRecordSize));

  const ProgramRun identify = Sim("identify");
  ASSERT_EQ(identify.exit_code, 0) << identify.err;
  EXPECT_THAT(identify.out, HasSubstr("Разрушенных таблиц нет"));
  // The adjuster of the file is now registered with the code and password given.
  EXPECT_EQ(Sim("--code 1111 --password 111111 write 15 0 00").exit_code, 0);
  const ProgramRun key = Sim("read 12 0 1");
  EXPECT_EQ(key.out.substr(0, 27), "41 42 43 44 45 46 47 48 00 ") << key.out;
}

TEST_F(ConfigCommandsTest, SavedConfigurationEqualsTheControllerUntilItsNameChanges) {
  const std::string file = Path("saved.cnf");
  const ProgramRun saved = Sim("save-config " + file);
  ASSERT_EQ(saved.exit_code, 0) << saved.err;
  EXPECT_EQ(saved.out, file + "\n");
  const std::vector<unsigned char> bytes = Bytes(file);
  ASSERT_EQ(bytes.size(), static_cast<size_t>(kRecordSize));
  EXPECT_EQ(bytes[0], 1);  // read from a controller
  EXPECT_EQ(bytes[4], 4);
  // No password or code of the simulated users reaches the file.
  for (int u = 0; u < 16; ++u) {
    for (int i = 6; i < 22; ++i) EXPECT_EQ(bytes[211 + 22 * u + i], ' ') << u << " " << i;
  }

  const ProgramRun same = Sim("diff-config " + file);
  EXPECT_EQ(same.exit_code, 0) << same.err << same.out;

  ASSERT_EQ(Sim("--code 1111 --password 111111 write 3 104 41 42 00").exit_code, 0);
  const ProgramRun differ = Sim("diff-config " + file);
  EXPECT_EQ(differ.exit_code, 3) << differ.err;
  EXPECT_EQ(Count(differ.out, "\n"), 1u) << differ.out;
  EXPECT_THAT(differ.out, HasSubstr("name: контроллер = AB; файл = "));
  const ProgramRun json = Sim("diff-config " + file + " --json");
  EXPECT_EQ(json.exit_code, 3);
  EXPECT_THAT(json.out, HasSubstr("\"equal\":false"));
  EXPECT_THAT(json.out,
              HasSubstr("{\"table\":3,\"name\":\"name\",\"controller\":\"AB\",\"file\":\""));

  // Writing the file back makes them equal again.
  const ProgramRun back =
      Sim("--code 1111 --password 111111 write-config " + file + " --tables 3 --no-backup");
  ASSERT_EQ(back.exit_code, 0) << back.err;
  EXPECT_EQ(back.out, "Записаны таблицы: 3\n");
  EXPECT_EQ(Sim("diff-config " + file).exit_code, 0);
}

TEST_F(ConfigCommandsTest, SaveNeverReplacesAFileUnasked) {
  const std::string file = Path("kept.cnf");
  Store(file, {1, 2, 3});
  const ProgramRun refused = Sim("save-config " + file);
  EXPECT_EQ(refused.exit_code, 1);
  EXPECT_EQ(refused.err, "Файл kept.cnf уже есть.\nЗаменить существующий файл: --force\n");
  EXPECT_EQ(Bytes(file).size(), 3u);
  const ProgramRun forced = Sim("save-config " + file + " --force");
  EXPECT_EQ(forced.exit_code, 0) << forced.err;
  EXPECT_EQ(Bytes(file).size(), static_cast<size_t>(kRecordSize));

  // A folder takes the proposed name; without FILE it is the program's CONFIG.
  const ProgramRun into = Sim("save-config " + dir_);
  ASSERT_EQ(into.exit_code, 0) << into.err;
  EXPECT_EQ(into.out.rfind(dir_ + "/kvarta04-mc55it-", 0), 0u) << into.out;
  const ProgramRun plain = Sim("save-config");
  ASSERT_EQ(plain.exit_code, 0) << plain.err;
  EXPECT_EQ(plain.out.rfind(dir_ + "/CONFIG/kvarta04-mc55it-", 0), 0u) << plain.out;
  EXPECT_EQ(Count(plain.out, "\n"), 1u);
}

TEST_F(ConfigCommandsTest, WriteRefusesWhatTheTableStateWindowWouldRefuse) {
  const std::string file = Path("c.cnf");
  ASSERT_EQ(Offline("new-config " + file).exit_code, 0);
  const std::string creds = "--code 1111 --password 111111 ";

  const ProgramRun users = Sim(creds + "write-config " + file + " --tables 4");
  EXPECT_EQ(users.exit_code, 1);
  EXPECT_EQ(users.err.rfind("Таблица 4 не разрушена и не записывается из файла\n", 0), 0u)
      << users.err;

  // Without --key table 12 is left out, the rest written.
  const ProgramRun no_key = Sim(creds + "write-config " + file + " --no-backup");
  ASSERT_EQ(no_key.exit_code, 0) << no_key.err;
  EXPECT_THAT(no_key.err,
              HasSubstr("Таблица 12 не записывается: не задан ключ авторизации (--key)"));
  EXPECT_EQ(no_key.out, "Записаны таблицы: 3, 9, 20, 21, 22\n");

  const ProgramRun short_key = Sim(creds + "write-config " + file + " --key ABC");
  EXPECT_EQ(short_key.exit_code, 2);
  EXPECT_THAT(short_key.err,
              HasSubstr("Ключ авторизации должен содержать 8 символов\nПовторите процесс "
                        "сначала\n"));

  for (const char* bad : {"--tables 5", "--tables 3,x", "--user 17:1111", "--user 1:12a4",
                          "--user 1", "--bogus", "--all --tables 3"}) {
    EXPECT_EQ(Sim(creds + "write-config " + file + " " + bad).exit_code, 2) << bad;
  }
  EXPECT_EQ(Sim("write-config").exit_code, 2);

  const ProgramRun not_config = Sim(creds + "write-config " + Path("none.cnf"));
  EXPECT_EQ(not_config.exit_code, 1);
  EXPECT_THAT(not_config.err, HasSubstr("Ошибка открытия файла"));
  Store(Path("short.cnf"), std::vector<unsigned char>(kRecordSize - 1, 4));
  const ProgramRun short_file = Sim(creds + "write-config " + Path("short.cnf"));
  EXPECT_EQ(short_file.exit_code, 1);
  EXPECT_THAT(short_file.err,
              HasSubstr("Файл short.cnf не является файлом конфигурации\nконтроллера "
                        "kvarta с версией ПО 4\n"));
}

TEST_F(ConfigCommandsTest, UsersChecksOfTheEditorStopARestore) {
  const std::string file = Path("u.cnf");
  ASSERT_EQ(Offline("new-config " + file).exit_code, 0);
  // The new configuration's adjuster has no code until one is given.
  const ProgramRun run = Sim("--sim-destroyed 4 write-config " + file + " --no-backup");
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_THAT(run.err, HasSubstr("Номер пользователя в таблице - 1.\nНе задан код идентификации "
                                 "пользователя\n"));
  EXPECT_THAT(run.err, HasSubstr("Таблица доступа к записи в контроллер не восстановлена\n"));
  EXPECT_THAT(run.err, HasSubstr("Запись таблиц не выполнена\n"));
  EXPECT_THAT(Sim("identify").out, Not(HasSubstr("Разрушенных таблиц нет")));

  const ProgramRun free_slot =
      Sim("--sim-destroyed 4 write-config " + file + " --user 2:2222 --no-backup");
  EXPECT_EQ(free_slot.exit_code, 1);
  EXPECT_THAT(free_slot.err, HasSubstr("Пользователь 2 не зарегистрирован в файле u.cnf"));
}

TEST_F(ConfigCommandsTest, RestoredLinkTableComesBackWithoutSessionRecording) {
  const std::string file = Path("rec.cnf");
  ASSERT_EQ(Offline("new-config " + file).exit_code, 0);
  std::vector<unsigned char> bytes = Bytes(file);
  bytes[39 + 4] = 2;  // table 3 field 4: session recording mode
  Store(file, bytes);
  const ProgramRun run = Sim("--sim-destroyed 3 --code 1111 --password 111111 write-config " +
                             file + " --tables 3 --no-backup");
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(Sim("read 3 4 1").out, "00\n");
  EXPECT_THAT(Sim("table-state").out, Not(HasSubstr("Да")));
}

TEST_F(ConfigCommandsTest, ShowConfigNamesEveryParameterAndMarksWhatIsOutOfRange) {
  const std::string file = Path("show.cnf");
  ASSERT_EQ(Sim("save-config " + file).exit_code, 0);
  std::vector<unsigned char> bytes = Bytes(file);
  bytes[39] = 0;           // table 3 address 0
  bytes[883 + 2 * 4] = 5;  // table 20 field 4: 5 s, below the mc55iT range
  bytes[883 + 2 * 4 + 1] = 0;
  Store(file, bytes);
  const ProgramRun run = Offline("show-config " + file);
  ASSERT_EQ(run.exit_code, 0) << run.err;
  for (const char* section :
       {"[identification]", "[link]", "[users]", "[vrg]", "[timeouts]", "[modem]", "[gprs]"}) {
    EXPECT_THAT(run.out, HasSubstr(section)) << section;
  }
  EXPECT_THAT(run.out, HasSubstr("\naddress = 0  ! вне диапазона: 1..255\n"));
  EXPECT_THAT(run.out, HasSubstr("\nphone_request_wait_s = 5 s  ! вне диапазона: "));
  EXPECT_THAT(run.out, HasSubstr("\nuser1.level = 1 (Производитель-наладчик)\n"));
  EXPECT_THAT(run.out, HasSubstr("\nname = \"Котельная №1\"\n"));
  EXPECT_EQ(run.out.find("password ="), run.out.find("\npassword = ") + 1);  // GPRS only
  EXPECT_THAT(run.out, Not(HasSubstr(".code")));

  const ProgramRun json = Offline("show-config " + file + " --json");
  ASSERT_EQ(json.exit_code, 0) << json.err;
  EXPECT_EQ(Count(json.out, "\n"), 1u);
  EXPECT_EQ(json.out.front(), '{');
  EXPECT_THAT(json.out,
              HasSubstr("{\"name\":\"address\",\"value\":0,\"unit\":\"\",\"in_range\":false,"));
  EXPECT_THAT(json.out, HasSubstr("\"value\":\"Котельная №1\""));
}

TEST_F(ConfigCommandsTest, TableStateAndIdentificationAsJson) {
  const ProgramRun state = Sim("--sim-destroyed 9 table-state --json");
  ASSERT_EQ(state.exit_code, 0) << state.err;
  EXPECT_THAT(state.out,
              HasSubstr("{\"table\":9,\"name\":\"Параметры ВРГ\",\"destroyed\":true,\"state\":1}"));
  EXPECT_EQ(Count(state.out, "\"destroyed\":false"), 6u);

  const ProgramRun ident = Sim("--sim-destroyed 9 identify --json");
  ASSERT_EQ(ident.exit_code, 0) << ident.err;
  EXPECT_EQ(ident.out.rfind("{\"destroyed_table\":9,\"controller_type\":64,", 0), 0u) << ident.out;
  EXPECT_THAT(ident.out, HasSubstr("\"destroyed\":\"Разрушена таблица 9\""));
  EXPECT_EQ(Sim("identify --xml").exit_code, 2);
}

}  // namespace
}  // namespace kvarta::test
