// Every line fault of the simulated controller against each kind of operation
// of kvartactl: a single read, a write, a whole-table read and the
// whole-configuration read and write. The simulator runs as its own process
// on a pseudo-terminal, so that it can also vanish in the middle of an
// exchange; the fault starts at the request that matters for the operation.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "e2e/run_program.h"

namespace kvarta::test {
namespace {

const std::string kCredentials = " --code 1111 --password 111111 ";

// kvarta-sim in the background, its terminal's path taken from its first
// line; ended with SIGINT, which saves the state file.
class SimProcess : public BackgroundProgram {
 public:
  explicit SimProcess(const std::string& args)
      : BackgroundProgram(KVARTA_SIM_PATH, args), path_(ReadLine(10000)) {}
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// Runs kvartactl to its end, reading its standard error as it comes; with
// `victim`, that simulator is killed as soon as the tool has sent its
// kill_at-th request (seen in its trace). A run still going after a minute
// is killed and reported as not ended.
ProgramRun RunTool(const std::string& args, const std::string& out_file,
                   SimProcess* victim = nullptr, int kill_at = 0) {
  int fds[2];
  ProgramRun run;
  if (pipe(fds) != 0) return run;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, out_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0600);
  posix_spawn_file_actions_adddup2(&actions, fds[1], 2);
  posix_spawn_file_actions_addclose(&actions, fds[0]);
  const pid_t pid = Spawn(KVARTACTL_PATH, args, &actions);
  posix_spawn_file_actions_destroy(&actions);
  close(fds[1]);
  const int64_t until = RealClock().NowNs() + MsToNs(60000);
  bool ended = false;
  while (RealClock().NowNs() < until) {
    pollfd p{fds[0], POLLIN, 0};
    if (poll(&p, 1, 100) <= 0) continue;
    char buf[4096];
    const ssize_t got = read(fds[0], buf, sizeof buf);
    if (got <= 0) {
      ended = true;
      break;
    }
    run.err.append(buf, static_cast<size_t>(got));
    int sent = 0;
    for (size_t at = run.err.find(" > "); at != std::string::npos; at = run.err.find(" > ", at + 1))
      ++sent;
    if (victim != nullptr && sent >= kill_at) {
      victim->Stop(SIGKILL);
      victim = nullptr;
    }
  }
  close(fds[0]);
  if (!ended) kill(pid, SIGKILL);
  int status = 0;
  if (waitpid(pid, &status, 0) == pid && WIFEXITED(status) && ended)
    run.exit_code = WEXITSTATUS(status);
  run.out = Slurp(out_file);
  return run;
}

enum class Kind { kLink, kRefused, kTolerated, kVanished, kCarrier };

struct FaultCase {
  const char* name;
  const char* sim;  // simulator options; the fault starts at the operation's request
  Kind kind;
  const char* text;  // the result text after "Команда N.  "; none: the echo does not match
};

struct OperationCase {
  const char* name;
  const char* args;  // %F: the configuration file
  int before;        // requests answered before the one the fault hits
  bool write;
  int table;  // of the failing request
};

const FaultCase kFaults[] = {
    {"Silence", "--fault silence", Kind::kLink, "Устройство не отвечает"},
    {"CutAnswer", "--fault cut:6", Kind::kLink,
     "Ответ получен не полностью (превышено время между байтами)"},
    {"BadCrc", "--fault bad-crc", Kind::kLink, "Несовпадение КС ответа контроллера"},
    {"Noise", "--fault noise", Kind::kTolerated, ""},
    {"WrongEcho", "--fault wrong-echo", Kind::kLink, nullptr},
    {"ErrorCode7", "--fault error:7", Kind::kRefused,
     "Нарушена очередность записи параметров при конфигурации"},
    {"ErrorCode24", "--fault error:24,49,4", Kind::kRefused, "Перестановка крана невозможна."},
    {"ErrorCode60", "--fault error:60,0,9", Kind::kRefused, "Разрушена таблица 9"},
    {"LateAnswer", "--fault delay:8000", Kind::kLink, "Устройство не отвечает"},
    {"VanishedLine", "--fault silence", Kind::kVanished, "Сбой при выполнении операции чтения"},
    {"CarrierDrop", "--front modem --modem-drop-after-requests", Kind::kCarrier, nullptr},
};

const OperationCase kOperations[] = {
    {"Read", "read 0", 0, false, 0},
    {"Set", "set 3 name=FM", 2, true, 3},  // reads table 1 and 3 first
    {"TableRead", "read 22", 1, false, 22},
    {"SaveConfig", "save-config %F --force", 5, false, 12},  // 0, 3, 4, 4, 9, then 12
    // 0, 7, 3, 9, 20, then the second chunk of 21
    {"WriteConfig", "write-config %F --no-backup", 6, true, 21},
};

using Param = std::tuple<FaultCase, OperationCase>;

void PrintTo(const FaultCase& f, std::ostream* os) {
  *os << f.name;
}
void PrintTo(const OperationCase& o, std::ostream* os) {
  *os << o.name;
}

class FaultRuns : public ::testing::Test {
 protected:
  std::string Tool(const std::string& port, const std::string& extra) const {
    return "--home " + dir_.path() + " --port " + port + " --settle 0 --attempts 1" + extra;
  }
  // A run against a healthy simulator on the state the faulty one left.
  ProgramRun Healthy(const std::string& args) {
    SimProcess sim("--state " + dir_.File("sim.state"));
    return RunTool(Tool(sim.path(), " " + args), dir_.File("out"));
  }

  TempDir dir_;
};

class FaultMatrixTest : public FaultRuns, public ::testing::WithParamInterface<Param> {};

TEST_P(FaultMatrixTest, EndsWithTheResultAndLeavesWhatFailedUnchanged) {
  const FaultCase& fault = std::get<0>(GetParam());
  const OperationCase& op = std::get<1>(GetParam());
  const std::string cnf = dir_.File("c.cnf");
  const std::string old_cnf = "not replaced";
  std::string args = op.args;
  if (args.find("%F") != std::string::npos) args.replace(args.find("%F"), 2, cnf);
  if (args.rfind("write-config", 0) == 0) {
    ASSERT_EQ(Ctl("--home " + dir_.path() + " new-config " + cnf).exit_code, 0);
  } else {
    std::ofstream(cnf) << old_cnf;
  }

  std::string sim_args = "--state " + dir_.File("sim.state") + " " + fault.sim;
  std::string tool =
      " --answer-timeout " + std::string(fault.kind == Kind::kVanished ? "30000" : "300");
  if (fault.kind == Kind::kCarrier) {
    sim_args += " " + std::to_string(op.before);
    tool += " --via modem --phone 123";
  } else {
    sim_args += " --fault-after " + std::to_string(op.before);
  }
  if (fault.kind == Kind::kVanished) tool += " --trace";
  if (op.write) tool += kCredentials;
  ProgramRun run;
  {
    SimProcess sim(sim_args);
    ASSERT_FALSE(sim.path().empty());
    run = RunTool(Tool(sim.path(), tool + " " + args), dir_.File("out"),
                  fault.kind == Kind::kVanished ? &sim : nullptr, op.before + 1);
  }
  ASSERT_NE(run.exit_code, -1) << "the tool did not end\n" << run.err;

  const bool save = args.rfind("save-config", 0) == 0,
             write_config = args.rfind("write-config", 0) == 0;
  if (fault.kind == Kind::kTolerated) {
    EXPECT_EQ(run.exit_code, 0) << run.err;
    if (save) {
      EXPECT_EQ(Slurp(cnf).size(), 2297u);
    } else if (write_config) {
      EXPECT_EQ(run.out, "Записаны таблицы: 3, 9, 20, 21, 22\n");
    } else if (op.write) {
      EXPECT_EQ(run.out, "name = FM\n");
    }
    return;
  }
  EXPECT_EQ(run.exit_code, 1) << run.err;

  // The message of the failed request as the table service gives it.
  std::string expected;
  if (fault.kind == Kind::kCarrier) {
    expected = "Связь через модем прервана.\nВосстановить сейчас?\n";
  } else {
    expected = (op.write ? "Не выполнена запись в таблицу " : "Не выполнено чтение из таблицы ") +
               std::to_string(op.table) + ".\n";
    if (fault.text == nullptr) {
      expected += op.write ? "Несоответствие заголовка ответа заголовку запроса на запись.\n"
                           : "Несоответствие запрошенных и переданных данных\n";
    } else {
      expected += std::string("Команда ") + (op.write ? "2" : "1") + ".  " + fault.text + "\n";
    }
    expected += "Повторить попытку? Нет\n";
  }
  EXPECT_THAT(run.err, HasSubstr(expected));

  if (save) {
    EXPECT_THAT(run.err, HasSubstr("Параметры конфигурации не прочитаны\n"));
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(Slurp(cnf), old_cnf);
    int files = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir_.path()))
      files += e.path().extension() == ".cnf" ? 1 : 0;
    EXPECT_EQ(files, 1);  // no stray temporary file either
  } else if (write_config) {
    // Tables 3, 9 and 20 went through before the failed request; 22 was never attempted.
    EXPECT_EQ(run.out, "Записаны таблицы: 3, 9, 20\n");
  } else if (!op.write) {
    EXPECT_EQ(run.out, "");  // nothing of a read that broke off
  }
  if (fault.kind == Kind::kVanished) return;  // killed: no state kept

  if (write_config) {
    const ProgramRun diff = Healthy("diff-config " + cnf + " --json");
    for (int t : {3, 9, 20})
      EXPECT_THAT(diff.out, Not(HasSubstr("{\"table\":" + std::to_string(t) + ",")))
          << t << diff.out;
    EXPECT_THAT(diff.out, HasSubstr("{\"table\":22,"));
  }
  if (op.write && !write_config && fault.kind == Kind::kRefused) {
    // A refused write is not carried out: the name is the demo one still.
    const ProgramRun name = Healthy("read 3 104 1");
    ASSERT_EQ(name.exit_code, 0) << name.err;
    EXPECT_EQ(name.out.rfind("CA\n", 0), 0u) << name.out;
  }
}

TEST_F(FaultRuns, WriteConfigWhoseCheckFailsStillNamesTheTablesWritten) {
  const std::string cnf = dir_.File("c.cnf");
  ASSERT_EQ(Ctl("--home " + dir_.path() + " new-config " + cnf).exit_code, 0);
  // 0, 7, then the ten writes; the first read back gets no answer.
  SimProcess sim("--fault silence --fault-after 10");
  const ProgramRun run = RunTool(Tool(sim.path(), " --answer-timeout 300" + kCredentials +
                                                      "write-config " + cnf + " --no-backup"),
                                 dir_.File("out"));
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_THAT(run.err,
              HasSubstr("Не выполнено чтение из таблицы 3.\nКоманда 1.  Устройство не отвечает\n"));
  EXPECT_THAT(run.err, HasSubstr("Проверка записи не выполнена\n"));
  EXPECT_EQ(run.out, "Записаны таблицы: 3, 9, 20, 21, 22\n");
}

std::string CaseName(const ::testing::TestParamInfo<Param>& info) {
  return std::string(std::get<0>(info.param).name) + "_" + std::get<1>(info.param).name;
}

INSTANTIATE_TEST_SUITE_P(Faults, FaultMatrixTest,
                         ::testing::Combine(::testing::ValuesIn(kFaults),
                                            ::testing::ValuesIn(kOperations)),
                         CaseName);

}  // namespace
}  // namespace kvarta::test
