// Credentials given to kvartactl by every way it takes them never reach a
// file of the program folder, nor what it prints: the log-on options, the
// users and key of a restore, a configuration file holding codes and
// passwords, the GPRS password of the editor, the search and the settings.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "e2e/run_program.h"
#include "platform/cp1251.h"

namespace kvarta::test {
namespace {

// Distinctive values, each as a controller field would hold it.
const std::string kCode = "9%7'";           // the adjuster's, given with --user and to log on
const std::string kPassword = "ЖёлтыйЯк9";  // his write password (code page 1251 on the wire)
const std::string kWrongPassword = "Неверный1";
const std::string kFileCode = "5'3%";  // a second user's, only in the configuration file
const std::string kFilePassword = "Fw2Lq9Vm";
const std::string kKey = "Kx4Hn9Bq";
const std::string kGprsInFile = "Gp7Vz2Rn";
const std::string kGprsSet = "Gq8Wx3Sm";

std::string Hex(const std::string& bytes, const char* format, const char* gap) {
  std::string out;
  char digits[4];
  for (unsigned char b : bytes) {
    if (!out.empty()) out += gap;
    std::snprintf(digits, sizeof digits, format, b);
    out += digits;
  }
  return out;
}

// Where the secret could be told: plain, in code page 1251 and in the hex
// forms of the traces and dumps.
std::vector<std::string> Forms(const std::string& secret) {
  const std::string cp = Utf8ToCp1251(secret);
  return {secret,
          cp,
          Hex(cp, "%02X", " "),
          Hex(cp, "%02x", " "),
          Hex(cp, "%02X", ""),
          Hex(cp, "%02x", "")};
}

bool Tells(const std::string& text, const std::string& secret) {
  for (const std::string& form : Forms(secret)) {
    if (text.find(form) != std::string::npos) return true;
  }
  return false;
}

class SecretsTest : public ::testing::Test {
 protected:
  // parameters: the run shows parameters by name, the GPRS password among them.
  ProgramRun Sim(const std::string& args, bool parameters = false) {
    ProgramRun run = Ctl("--home " + home_.path() + " --simulator --sim-state " +
                         sim_.File("state") + " " + args);
    (parameters ? shown_ : printed_) += run.out + run.err;
    return run;
  }
  std::string LogOn(const std::string& code, const std::string& password) {
    return "--code " + code + " --password " + password + " ";
  }

  TempDir home_;  // the program folder
  TempDir sim_;   // the simulated controller's own tables, which do hold them
  std::string printed_, shown_;
};

TEST_F(SecretsTest, NoPathWritesOrPrintsACredential) {
  // A configuration file that holds a second user's code and password and a
  // GPRS password, as a file edited by hand might.
  const std::string cnf = sim_.File("users.cnf");
  ASSERT_EQ(Ctl("--home " + sim_.path() + " new-config " + cnf).exit_code, 0);
  std::string record = Slurp(cnf);
  ASSERT_EQ(record.size(), 2297u);
  const size_t user2 = 211 + 22;
  record.replace(user2, 4, Utf8ToCp1251("Тест"));
  record[user2 + 4] = 2;
  record.replace(user2 + 6, 12, kFilePassword + std::string(12 - kFilePassword.size(), ' '));
  record.replace(user2 + 18, 4, kFileCode);
  record.replace(1247 + 100, kGprsInFile.size(), kGprsInFile);
  std::ofstream(cnf, std::ios::binary) << record;

  // A malformed user is refused without repeating it.
  EXPECT_EQ(Sim("--sim-destroyed 4 write-config " + cnf + " --user 1:12a4:" + kPassword).exit_code,
            2);
  const ProgramRun restore = Sim("--sim-destroyed 4 write-config " + cnf + " --user 1:" + kCode +
                                 ":" + kPassword + " --key " + kKey + " --verbose");
  ASSERT_EQ(restore.exit_code, 0) << restore.err;
  EXPECT_EQ(restore.out, "Записаны таблицы: 3, 4, 9, 12, 20, 21, 22\n");

  const std::string adjuster = LogOn(kCode, kPassword);
  EXPECT_EQ(Sim(adjuster + "identify").exit_code, 0);
  EXPECT_EQ(Sim(LogOn(kFileCode, kFilePassword) + "set 3 name=AB").exit_code, 0);
  const ProgramRun gprs = Sim(adjuster + "set 22 password=" + kGprsSet, true);
  ASSERT_EQ(gprs.exit_code, 0) << gprs.err;
  // The editor shows the GPRS password as a parameter of its own.
  EXPECT_EQ(gprs.out, "password = " + kGprsSet + "\n");
  EXPECT_EQ(Sim("show-config " + cnf, true).exit_code, 0);
  EXPECT_EQ(Sim("show-config " + cnf + " --json", true).exit_code, 0);
  EXPECT_EQ(Sim("diff-config " + cnf, true).exit_code, 3);
  EXPECT_EQ(Sim("show 22 --json", true).exit_code, 0);
  EXPECT_EQ(Sim(adjuster + "write 15 0 00").exit_code, 0);
  EXPECT_EQ(Sim(adjuster + "command 1 --server 1 --vrg 1 --run 1").exit_code, 0);  // history
  EXPECT_EQ(Sim(adjuster + "restart").exit_code, 0);
  EXPECT_EQ(Sim(adjuster + "session read --save").exit_code, 0);
  EXPECT_EQ(Sim(adjuster + "save-config").exit_code, 0);
  EXPECT_EQ(Sim(adjuster + "write-config " + cnf + " --tables 3").exit_code, 0);  // with a backup
  EXPECT_EQ(Sim(LogOn(kCode, kWrongPassword) + "write 15 0 00").exit_code, 1);
  EXPECT_EQ(Sim(adjuster + "--via modem --sim-front modem --phone 5551234 clock").exit_code, 0);
  // A new address is kept in the settings, and so is what the search finds.
  EXPECT_EQ(Sim(adjuster + "set 3 address=7").exit_code, 0);
  EXPECT_EQ(Sim(adjuster + "search").exit_code, 0);
  // The traces show where credentials go, never what they are: the log-on
  // of every request, the users, key and GPRS password written and read.
  for (const std::string& args :
       {"--sim-destroyed 4 write-config " + cnf + " --user 1:" + kCode + ":" + kPassword +
            " --key " + kKey,
        adjuster + "set 22 password=" + kGprsSet, std::string("show 22"), adjuster + "restart",
        adjuster + "--via modem --sim-front modem --phone 5551234 clock"}) {
    const ProgramRun traced = Sim("--trace " + args, true);
    EXPECT_EQ(traced.exit_code, 0) << args << "\n" << traced.err;
    EXPECT_THAT(traced.err, HasSubstr(" > ")) << args;
    printed_ += traced.err;
  }
  EXPECT_TRUE(std::filesystem::exists(home_.File("INI/kvarta04.ini")));
  EXPECT_TRUE(std::filesystem::exists(home_.File("INI/comm_history.ini")));

  for (const std::string& secret :
       {kCode, kPassword, kWrongPassword, kFileCode, kFilePassword, kKey, kGprsInFile, kGprsSet}) {
    EXPECT_FALSE(Tells(printed_, secret)) << secret << "\n" << printed_;
  }
  for (const std::string& secret : {kCode, kPassword, kFileCode, kFilePassword, kKey}) {
    EXPECT_FALSE(Tells(shown_, secret)) << secret << "\n" << shown_;
  }
  int files = 0, configurations = 0;
  for (const auto& e : std::filesystem::recursive_directory_iterator(home_.path())) {
    if (!e.is_regular_file()) continue;
    ++files;
    const std::string text = Slurp(e.path().string());
    // A configuration read from the controller keeps its key table and the
    // GPRS parameters: the file's format holds them.
    const bool configuration = e.path().extension() == ".cnf";
    configurations += configuration ? 1 : 0;
    for (const std::string& secret : {kCode, kPassword, kWrongPassword, kFileCode, kFilePassword}) {
      EXPECT_FALSE(Tells(text, secret)) << secret << " in " << e.path();
    }
    if (configuration) continue;
    for (const std::string& secret : {kKey, kGprsInFile, kGprsSet}) {
      EXPECT_FALSE(Tells(text, secret)) << secret << " in " << e.path();
    }
  }
  EXPECT_EQ(configurations, 4);  // three backups (a traced restore made one) and the saved one
  EXPECT_GT(files, configurations);
}

}  // namespace
}  // namespace kvarta::test
