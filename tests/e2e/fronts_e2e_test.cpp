// The program's connection functions against the simulator's fronts over a
// real pseudo-terminal, one conversation each: dial-up through the GSM modem
// (with its real one-second guard time), the line adapter set-up, and the
// modem imitation against a controller that waits for a modem. The fronts'
// every rule is tried on the fake clock in the unit tests.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "connection/line_adapter.h"
#include "connection/modem_dialup.h"
#include "connection/modem_imitation.h"
#include "e2e/sim_line_fixture.h"
#include "sim/adapter_front.h"
#include "sim/modem_front.h"

namespace kvarta::test {
namespace {

using sim::AdapterFront;
using sim::ModemFront;

class ModemE2eTest : public SimLineTest {};

TEST_F(ModemE2eTest, DialWithEchoThenTheControllerAnswersThroughTheCallAndHangUp) {
  sim::SimulatorOptions options;
  options.front = sim::FrontKind::kModem;
  Start(options, ConnectionKind::kPhone);
  ASSERT_EQ(ModemDial(*line_, {"(044) 123-45-67", "ATZ^AT+CBST=7,0,1", 1, 5}), kModemOk);
  WithFront<ModemFront>([](ModemFront& m) {
    EXPECT_EQ(m.DialledNumber(), "0441234567");
    EXPECT_EQ(m.CurrentMode(), ModemFront::Mode::kData);
    const std::vector<std::string> expected = {"ATE0",          "ATV1",    "ATZ",
                                               "AT+CBST=7,0,1", "AT+CPAS", "ATD0441234567"};
    EXPECT_EQ(m.Commands(), expected);
  });

  ASSERT_TRUE(ReadIdentification()) << link_.result_code;
  EXPECT_EQ(link_.answer[8 + 1], 64);

  // The disconnect's hang-up: a second of silence, "+++", "ath".
  ModemHangUp(*line_, true);
  WithFront<ModemFront>([](ModemFront& m) {
    EXPECT_FALSE(m.CallUp());
    EXPECT_EQ(m.CurrentMode(), ModemFront::Mode::kCommand);
    EXPECT_EQ(m.Commands().back(), "ath");
  });
}

class AdapterE2eTest : public SimLineTest {};

TEST_F(AdapterE2eTest, SetUpProgramsTheAdapterAndTheControllerAnswersThroughIt) {
  sim::SimulatorOptions options;
  options.front = sim::FrontKind::kAdapter;
  Start(options, ConnectionKind::kAdapter);
  FakeStatusBar bar;
  ASSERT_EQ(
      AdapterSetUp(*line_,
                   {.line_num = 2, .baud_rate = 4, .k_output = 230, .k_input = 25, .lider_on = 1},
                   {&bar, 3}),
      kAdapterOk);
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
    received = sim_->ports.simulator().ModemAnswerReceived();
  }
  EXPECT_TRUE(received);
  link_.port->Purge();
  EXPECT_TRUE(ReadIdentification()) << link_.result_code;
}

}  // namespace
}  // namespace kvarta::test
