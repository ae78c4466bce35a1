// The line adapter set-up against the simulated adapter over a
// pseudo-terminal, and the modem imitation against a controller that waits
// for a modem (in process and through kvarta-sim).
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "connection/line_adapter.h"
#include "connection/modem_imitation.h"
#include "e2e/sim_line_fixture.h"
#include "sim/adapter_front.h"

namespace kvarta::test {
namespace {

using sim::AdapterFront;

sim::SimulatorOptions AdapterOptions() {
  sim::SimulatorOptions options;
  options.front = sim::FrontKind::kAdapter;
  return options;
}

AdapterSetUpParams Params() {
  AdapterSetUpParams p;
  p.line_num = 2;
  p.baud_rate = 4;
  p.k_output = 230;
  p.k_input = 25;
  p.radio_on = 0;
  p.lider_on = 1;
  return p;
}

class AdapterE2eTest : public SimLineTest {};

TEST_F(AdapterE2eTest, SetUpProgramsTheAdapterAndTheControllerAnswersThroughIt) {
  Start(AdapterOptions(), ConnectionKind::kAdapter);
  FakeStatusBar bar;
  ASSERT_EQ(AdapterSetUp(*line_, Params(), {&bar, 3}), kAdapterOk);
  EXPECT_EQ(bar.panels[3], "Соединение с адаптером установлено");
  WithFront<AdapterFront>([](AdapterFront& a) {
    const std::vector<std::string> expected = {"@@@",        "@@@",   "@@@",   "at@l2", "at@s4",
                                               "at@u230025", "at@r0", "at@f1", "at@c0", "ato"};
    EXPECT_EQ(a.Commands(), expected);
    EXPECT_FALSE(a.CommandMode());
    EXPECT_EQ(a.Settings().k_input, 25);
    EXPECT_EQ(a.Settings().correction_off, 1);
  });
  ASSERT_TRUE(ReadIdentification()) << link_.result_code;
  EXPECT_EQ(link_.answer[8 + 1], 64);
}

TEST_F(AdapterE2eTest, RefusedLineCommandGivesTwoAndRefusedWorkingModeEight) {
  sim::SimulatorOptions options = AdapterOptions();
  options.adapter.refuse = "at@l";
  Start(options, ConnectionKind::kAdapter);
  EXPECT_EQ(AdapterSetUp(*line_, Params()), kAdapterNoLine);
  WithFront<AdapterFront>([](AdapterFront& a) {
    EXPECT_EQ(a.Commands().size(), 6u);  // three escapes, three line commands
    EXPECT_TRUE(a.CommandMode());
  });
  TearDown();

  options.adapter.refuse = "ato";
  Start(options, ConnectionKind::kAdapter);
  EXPECT_EQ(AdapterSetUp(*line_, Params()), kAdapterNoWorkingMode);
  // The adapter stays in command mode: no frames get through.
  EXPECT_FALSE(ReadIdentification());
  EXPECT_EQ(link_.result_code, 10u);
}

class ImitationE2eTest : public SimLineTest {
 protected:
  // Runs the imitation with a safety net: Esc after a while, so that a
  // missing trigger fails the test instead of hanging it.
  ImitationState Imitate() {
    const int64_t give_up = RealClock().NowNs() + MsToNs(20000);
    host_.on_pump = [this, give_up] {
      if (RealClock().NowNs() > give_up) host_.escape = true;
    };
    ModemImitation imitation(*line_);
    imitation.Begin();
    const ImitationState state = imitation.Run();
    host_.on_pump = nullptr;
    return state;
  }
};

TEST_F(ImitationE2eTest, TheProgramAnswersTheControllersModemInitialisation) {
  sim::SimulatorOptions options;
  options.expect_modem.enabled = true;
  options.expect_modem.first_after_ms = 100;
  options.expect_modem.every_ms = 500;
  options.expect_modem.extra_byte = true;
  Start(options, ConnectionKind::kDirect);
  ASSERT_EQ(Imitate(), ImitationState::kMatched);

  // The answer is on its way; the controller serves frames once it has it.
  bool received = false;
  for (int i = 0; i < 500 && !received; ++i) {
    RealClock().SleepNs(MsToNs(10));
    received = sim_->ModemAnswerReceived();
  }
  EXPECT_TRUE(received);
  link_.port->Purge();
  EXPECT_TRUE(ReadIdentification()) << link_.result_code;
}

// kvarta-sim --expect-modem as a separate process: it prints its terminal,
// then "OK received" once the program has answered.
class SimProcess {
 public:
  explicit SimProcess(const std::string& args) {
    int fds[2];
    if (pipe(fds) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      dup2(fds[1], 1);
      close(fds[0]);
      close(fds[1]);
      execl("/bin/sh", "sh", "-c", (std::string("exec ") + KVARTA_SIM_PATH + " " + args).c_str(),
            static_cast<char*>(nullptr));
      _exit(127);
    }
    close(fds[1]);
    out_ = fds[0];
  }
  ~SimProcess() {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
    }
    if (out_ >= 0) close(out_);
  }
  // The next line of its output, "" when none came within timeout_ms.
  std::string ReadLine(int timeout_ms) {
    std::string line;
    const int64_t until = RealClock().NowNs() + MsToNs(timeout_ms);
    while (RealClock().NowNs() < until) {
      pollfd p{out_, POLLIN, 0};
      if (poll(&p, 1, 50) <= 0) continue;
      char c = 0;
      if (read(out_, &c, 1) != 1) break;
      if (c == '\n') return line;
      line.push_back(c);
    }
    return "";
  }

 private:
  pid_t pid_ = -1;
  int out_ = -1;
};

}  // namespace
}  // namespace kvarta::test
