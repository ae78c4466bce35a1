// Dial-up through the simulated GSM modem over a pseudo-terminal: the
// program's modem functions and its link against the modem front. The modem
// keeps its real one-second guard time, so these take a few seconds each.
#include <gtest/gtest.h>

#include <string>

#include "connection/modem_dialup.h"
#include "e2e/sim_line_fixture.h"
#include "sim/modem_front.h"

namespace kvarta::test {
namespace {

using sim::DialOutcome;
using sim::ModemFront;

sim::SimulatorOptions ModemOptions(bool echo = true) {
  sim::SimulatorOptions options;
  options.front = sim::FrontKind::kModem;
  options.modem.echo = echo;
  return options;
}

DialParams Dial(const std::string& commands = "") {
  DialParams p;
  p.phone_number = "(044) 123-45-67";
  p.commands = commands;
  p.attempts = 1;
  p.connect_wait_s = 5;
  return p;
}

class ModemE2eTest : public SimLineTest {};

TEST_F(ModemE2eTest, DialWithEchoThenTheControllerAnswersThroughTheCallAndHangUp) {
  Start(ModemOptions(true), ConnectionKind::kPhone);
  ASSERT_EQ(ModemDial(*line_, Dial("ATZ^AT+CBST=7,0,1")), kModemOk);
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

TEST_F(ModemE2eTest, CarrierDropFailsTheNextExchangeWithTwenty) {
  sim::SimulatorOptions options = ModemOptions(false);
  options.modem.drop_after_requests = 1;
  Start(options, ConnectionKind::kPhone);
  ASSERT_EQ(ModemDial(*line_, Dial()), kModemOk);
  ASSERT_TRUE(ReadIdentification()) << link_.result_code;

  EXPECT_FALSE(ReadIdentification());
  EXPECT_EQ(link_.result_code, 20u);
  EXPECT_TRUE(link_.CarrierLost());
  // The text stays in the log: the next exchange fails at once.
  EXPECT_FALSE(ReadIdentification());
  EXPECT_EQ(link_.result_code, 20u);
  WithFront<ModemFront>([](ModemFront& m) { EXPECT_EQ(m.Drops(), 1); });
}

TEST_F(ModemE2eTest, ModemLeftInDataModeIsBroughtBackByTheEscape) {
  sim::SimulatorOptions options = ModemOptions(false);
  options.modem.start_in_data_mode = true;
  Start(options, ConnectionKind::kPhone);
  EXPECT_EQ(ModemInit(*line_), kModemOk);
  WithFront<ModemFront>([](ModemFront& m) {
    EXPECT_EQ(m.CurrentMode(), ModemFront::Mode::kCommand);
    // The first ATE0 went to the controller as data; the one after the
    // escape was the modem's.
    EXPECT_EQ(m.Commands(), std::vector<std::string>{"ATE0"});
  });
}

TEST_F(ModemE2eTest, NoModemAtAllGivesSeven) {
  sim::SimulatorOptions options = ModemOptions();
  options.modem.dial = DialOutcome::kAbsent;
  Start(options, ConnectionKind::kPhone);
  EXPECT_EQ(ModemDial(*line_, Dial()), kModemAbsent);
}

}  // namespace
}  // namespace kvarta::test
