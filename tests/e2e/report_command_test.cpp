// kvartactl report against the simulated controller: one file with every
// section and no credential; nothing written when the controller does not
// answer or the file is already there.
#include <gtest/gtest.h>

#include <filesystem>

#include "e2e/run_program.h"

namespace kvarta::test {
namespace {

TEST(ReportCommandTest, WritesOneFileWithEverySectionAndNoCredentialOrNothing) {
  const TempDir dir;
  const std::string file = dir.File("service.txt");
  const ProgramRun run =
      Ctl("--home " + dir.path() + " --simulator --code 1111 --password 111111 report " + file +
          " --json");
  ASSERT_EQ(run.exit_code, 0) << run.err;
  const std::string text = Slurp(file);
  EXPECT_EQ(run.out, "{\"file\":\"" + file +
                         "\",\"sections\":[\"identification\",\"table_states\",\"configuration\","
                         "\"diagnostics\",\"clocks\",\"frames\"],\"bytes\":" +
                         std::to_string(text.size()) + "}\n");
  for (const char* part : {"Контроллер: Котельная №1, адрес 1\n", "Код типа контроллера: 64\n",
                           " Табл. 22.  ", "\nname = \"Котельная №1\"\n",
                           "\nuser1.password = ***\n", "\npassword = ***\n", "ВРГ №2"}) {
    EXPECT_THAT(text, HasSubstr(part)) << part << "\n" << text;
  }
  // The demo users' passwords and the key of the simulator; its GPRS password
  // is the same text as its GPRS user.
  for (const char* secret : {"111111", "222222", "12345678", "password = \"gdata\""}) {
    EXPECT_THAT(text, Not(HasSubstr(secret))) << secret;
  }
  // The frames end with the reads the report made: the VRG clocks last.
  EXPECT_NE(text.rfind("таблица 10, поле 0"), std::string::npos);

  // An existing file is kept unless --force, before anything is read.
  const ProgramRun again = Ctl("--home " + dir.path() + " --simulator report " + file);
  EXPECT_EQ(again.exit_code, 1);
  EXPECT_THAT(again.err, HasSubstr("Файл service.txt уже есть."));
  EXPECT_EQ(Slurp(file), text);

  // A controller that does not answer: a failure, and no file at all, not
  // even a temporary one.
  const TempDir empty;
  const std::string never = empty.File("never.txt");
  const ProgramRun silent =
      Ctl("--home " + empty.path() +
          " --simulator --sim-fault silence --answer-timeout 300 report " + never);
  EXPECT_EQ(silent.exit_code, 1);
  EXPECT_THAT(silent.err, HasSubstr("Порт COM1"));
  EXPECT_THAT(silent.err, HasSubstr("Отчет для сервисной службы не составлен"));
  for (const auto& entry : std::filesystem::directory_iterator(empty.path())) {
    EXPECT_TRUE(entry.is_directory()) << entry.path();
  }
}

}  // namespace
}  // namespace kvarta::test
