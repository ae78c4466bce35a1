// kvartactl report against the simulated controller: one file with every
// section and no credential, named after the controller when only a folder
// is given; nothing written when the controller does not answer or the file
// is already there.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "e2e/run_program.h"

namespace kvarta::test {
namespace {

bool Exists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0;
}

TEST(ReportCommandTest, WritesOneFileWithEverySectionAndNoCredential) {
  const TempDir dir;
  const std::string file = dir.File("service.txt");
  const ProgramRun run = RunProgram(
      KVARTACTL_PATH, "--home " + dir.path() +
                          " --simulator --code 1111 --password 111111 report " + file + " --json");
  ASSERT_EQ(run.exit_code, 0) << run.err;
  const std::string text = Slurp(file);
  EXPECT_EQ(run.out, "{\"file\":\"" + file +
                         "\",\"sections\":[\"identification\",\"table_states\",\"configuration\","
                         "\"diagnostics\",\"clocks\",\"frames\"],\"bytes\":" +
                         std::to_string(text.size()) + "}\n");
  for (const char* part : {"Отчет для сервисной службы\n", "Контроллер: Котельная №1, адрес 1\n",
                           "Код типа контроллера: ", " Табл. 22.  ", "\nname = \"Котельная №1\"\n",
                           "\nuser1.password = ***\n", "\nauthorisation_key = ***\n",
                           "\npassword = ***\n", "== Признаки диагностики ==", "Контроллер",
                           "ВРГ №2", "== Последние кадры сеанса связи: "}) {
    EXPECT_NE(text.find(part), std::string::npos) << part << "\n" << text;
  }
  // The demo users' passwords and the key of the simulator; its GPRS password
  // is the same text as its GPRS user.
  for (const char* secret : {"111111", "222222", "12345678", "password = \"gdata\""}) {
    EXPECT_EQ(text.find(secret), std::string::npos) << secret;
  }
  // The frames end with the reads the report made: the VRG clocks last.
  EXPECT_NE(text.rfind("таблица 10, поле 0"), std::string::npos);

  // An existing file is kept unless --force, before anything is read.
  const ProgramRun again =
      RunProgram(KVARTACTL_PATH, "--home " + dir.path() + " --simulator report " + file);
  EXPECT_EQ(again.exit_code, 1);
  EXPECT_NE(again.err.find("Файл service.txt уже есть."), std::string::npos) << again.err;
  EXPECT_EQ(Slurp(file), text);
}

TEST(ReportCommandTest, FolderGetsTheControllersNameAndASilentLineWritesNothing) {
  const TempDir dir;
  const ProgramRun run =
      RunProgram(KVARTACTL_PATH, "--home " + dir.path() + " --simulator report " + dir.path());
  ASSERT_EQ(run.exit_code, 0) << run.err;
  const std::string path = run.out.substr(0, run.out.size() - 1);
  EXPECT_EQ(path.rfind(dir.path() + "/report-Котельная_№1-001-", 0), 0u) << path;
  EXPECT_TRUE(path.ends_with(".txt")) << path;
  EXPECT_TRUE(Exists(path));

  const TempDir empty;
  const std::string file = empty.File("never.txt");
  const ProgramRun silent = RunProgram(
      KVARTACTL_PATH, "--home " + empty.path() +
                          " --simulator --sim-fault silence --answer-timeout 300 report " + file);
  EXPECT_EQ(silent.exit_code, 1);
  EXPECT_NE(silent.err.find("Порт COM1"), std::string::npos) << silent.err;
  EXPECT_FALSE(Exists(file));
  EXPECT_NE(silent.err.find("Отчет для сервисной службы не составлен"), std::string::npos)
      << silent.err;
  // No file at all is left in the folder, not even a temporary one.
  for (const auto& entry : std::filesystem::directory_iterator(empty.path())) {
    EXPECT_TRUE(entry.is_directory()) << entry.path();
  }
}

}  // namespace
}  // namespace kvarta::test
