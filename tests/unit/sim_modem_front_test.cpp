// The simulated GSM modem driven byte by byte with synthetic times.
#include <gtest/gtest.h>

#include <string>

#include "sim/modem_front.h"
#include "sim/sim_command_line.h"
#include "unit/sim_front_support.h"

namespace kvarta::sim {
namespace {

using Rig = test::FrontRig<ModemFront>;
using Mode = ModemFront::Mode;

constexpr char kOk[] = "\r\nOK\r\n";

ModemScript Quiet() {
  ModemScript s;
  s.echo = false;
  return s;
}

// Dials and waits out the dial delay; the line is taken.
void Connect(Rig& rig, int64_t t_ms) {
  rig.Send("ATD0441234567\r\r", t_ms);
  rig.PollAt(t_ms + 300);
  ASSERT_EQ(rig.Take(), "\r\nCONNECT 9600\r\n");
  ASSERT_EQ(rig.front->CurrentMode(), Mode::kData);
}

TEST(SimModemFront, CommandModeAnswersEchoesAndIgnores) {
  Rig rig(ModemScript{});
  rig.Send("AT\r", 10000);
  EXPECT_EQ(rig.Take(), std::string("AT\r") + kOk);

  // The program's "ATE0" plus its own CR: the echo of the line still goes
  // out, the second CR is an empty line and gets nothing.
  rig.Send("ATE0\r\r", 10100);
  EXPECT_EQ(rig.Take(), std::string("ATE0\r") + kOk);
  EXPECT_FALSE(rig.front->Echo());

  rig.Send("ath\r", 10200);
  EXPECT_EQ(rig.Take(), kOk);
  rig.Send("AT+CBST=7,0,1\r", 10300);
  EXPECT_EQ(rig.Take(), kOk);
  rig.Send("ATE0V1H0S0=0+CMEE=1\r", 10350);
  EXPECT_EQ(rig.Take(), kOk);
  rig.Send("AT&F\\Q3%C0S7?\r", 10360);
  EXPECT_EQ(rig.Take(), kOk);

  // Not a command, an injected error, garbage after AT.
  rig.Send("+++\rhello\rAt\r", 10400);
  EXPECT_EQ(rig.Take(), "");
  rig.Send("AT:X\r", 10500);
  EXPECT_EQ(rig.Take(), "\r\nERROR\r\n");
  rig.Send("AT#$\r", 10600);
  EXPECT_EQ(rig.Take(), "\r\nERROR\r\n");

  // The zero byte the program puts after AT+CPAS does not spoil the next line.
  rig.Send(std::string("AT+CPAS\r") + '\0', 10700);
  EXPECT_EQ(rig.Take(), std::string("\r\n+CPAS: 0\r\n") + kOk);
  rig.Send("AT\r", 10800);
  EXPECT_EQ(rig.Take(), kOk);

  // Numeric answers, and ATZ back to echo and words.
  rig.Send("ATV0\r", 10900);
  EXPECT_EQ(rig.Take(), "0\r");
  rig.Send("ATZ\r", 11000);
  EXPECT_EQ(rig.Take(), kOk);
  rig.Send("at\r", 11100);
  EXPECT_EQ(rig.Take(), std::string("at\r") + kOk);

  EXPECT_TRUE(rig.inner->received.empty());
}

TEST(SimModemFront, GsmNotReadyAnswersError) {
  ModemScript s = Quiet();
  s.gsm_ready = false;
  Rig rig(s);
  rig.Send("AT+CPAS\r", 10000);
  EXPECT_EQ(rig.Take(), "\r\nERROR\r\n");
}

TEST(SimModemFront, DialConnectsAfterTheDelayAndCarriesTheController) {
  Rig rig(Quiet());
  rig.Send("ATD0441234567\r\r", 10000);
  EXPECT_EQ(rig.front->DialledNumber(), "0441234567");
  rig.PollAt(10200);
  EXPECT_EQ(rig.Take(), "");
  rig.PollAt(10300);
  EXPECT_EQ(rig.Take(), "\r\nCONNECT 9600\r\n");
  EXPECT_TRUE(rig.front->CallUp());

  // The second CR of the dial went nowhere; data now reaches the controller
  // and its answer the line.
  rig.Send("?", 10400);
  EXPECT_EQ(rig.inner->received, "?");
  EXPECT_EQ(rig.Take(), "ANSWER");
  // AT commands are data now.
  rig.Send("AT\r", 10500);
  EXPECT_EQ(rig.inner->received, "?AT\r");
  EXPECT_EQ(rig.Take(), "");
}

TEST(SimModemFront, ScriptedDialOutcomesAnswerInsteadOfConnect) {
  const std::pair<DialOutcome, std::string> cases[] = {
      {DialOutcome::kBusy, "BUSY"},
      {DialOutcome::kNoAnswer, "NO ANSWER"},
      {DialOutcome::kNoDialTone, "NO DIALTONE"},
      {DialOutcome::kError, "ERROR"},
      {DialOutcome::kNoCarrier, "NO CARRIER"},
  };
  for (const auto& [outcome, word] : cases) {
    ModemScript s = Quiet();
    s.dial = outcome;
    Rig rig(s);
    rig.Send("ATD123\r", 10000);
    rig.PollAt(10300);
    EXPECT_EQ(rig.Take(), "\r\n" + word + "\r\n") << word;
    EXPECT_EQ(rig.front->CurrentMode(), Mode::kCommand) << word;
    rig.Send("?", 10400);
    EXPECT_TRUE(rig.inner->received.empty()) << word;
    rig.Send("AT\r", 10500);
    EXPECT_EQ(rig.Take(), kOk) << word;
  }
}

TEST(SimModemFront, AbsentModemIsSilent) {
  ModemScript s;
  s.dial = DialOutcome::kAbsent;
  Rig rig(s);
  rig.Send("ATE0\r\r", 10000);
  rig.Send("+++\r", 11300);
  rig.PollAt(20000);
  rig.Send("ATD1\r", 20000);
  rig.PollAt(30000);
  EXPECT_EQ(rig.Take(), "");
  EXPECT_TRUE(rig.inner->received.empty());
}

TEST(SimModemFront, EscapeNeedsSilenceOnBothSides) {
  Rig rig(Quiet());
  Connect(rig, 10000);
  rig.Send("?", 10400);
  rig.Take();

  // Too soon after the last data: plain data.
  rig.Send("+++", 10900);
  rig.PollAt(12500);
  EXPECT_EQ(rig.Take(), "");
  EXPECT_EQ(rig.front->CurrentMode(), Mode::kData);

  // Silence before, then something else follows within the guard: no escape.
  rig.Send("+++", 14000);
  rig.Send("x", 14500);
  rig.PollAt(16000);
  EXPECT_EQ(rig.Take(), "");

  // Silence before, "+++" with the program's CR, silence after: OK only once
  // the guard time has passed.
  rig.Send("+++\r", 17100);
  rig.PollAt(17600);
  EXPECT_EQ(rig.Take(), "");
  rig.PollAt(18100);
  EXPECT_EQ(rig.Take(), kOk);
  EXPECT_EQ(rig.front->CurrentMode(), Mode::kCommand);
  EXPECT_TRUE(rig.front->CallUp());
  // The escape characters went on to the controller like any data.
  EXPECT_EQ(rig.inner->received, "?++++++x+++\r");
}

TEST(SimModemFront, CommandModeDuringACallThenOnlineAndHangUp) {
  Rig rig(Quiet());
  Connect(rig, 10000);
  rig.Send("+++", 11500);
  rig.PollAt(12500);
  ASSERT_EQ(rig.Take(), kOk);

  // The controller is not heard in command mode.
  rig.Send("ATI\r", 12600);
  EXPECT_EQ(rig.Take(), kOk);
  EXPECT_EQ(rig.inner->received, "+++");

  rig.Send("ATO\r", 12700);
  EXPECT_EQ(rig.Take(), "\r\nCONNECT 9600\r\n");
  rig.Send("?", 12800);
  EXPECT_EQ(rig.Take(), "ANSWER");

  rig.Send("+++", 14000);
  rig.PollAt(15000);
  ASSERT_EQ(rig.Take(), kOk);
  rig.Send("ATH\r", 15100);
  EXPECT_EQ(rig.Take(), kOk);
  EXPECT_FALSE(rig.front->CallUp());
  rig.Send("ATO\r", 15200);
  EXPECT_EQ(rig.Take(), "\r\nNO CARRIER\r\n");
}

TEST(SimModemFront, CarrierDropsAfterTheGivenNumberOfRequests) {
  ModemScript s = Quiet();
  s.drop_after_requests = 2;
  Rig rig(s);
  Connect(rig, 10000);
  rig.Send("?", 10400);
  rig.Send("?", 10500);
  EXPECT_EQ(rig.Take(), "ANSWERANSWER");
  EXPECT_EQ(rig.front->Drops(), 0);

  rig.Send("?", 10600);
  EXPECT_EQ(rig.Take(), "\r\nNO CARRIER\r\n");
  EXPECT_EQ(rig.inner->received, "??");
  EXPECT_EQ(rig.front->CurrentMode(), Mode::kCommand);
  EXPECT_FALSE(rig.front->CallUp());
  EXPECT_EQ(rig.front->Drops(), 1);

  // Later data is dropped; the modem is back in command mode, where what
  // comes ahead of "AT" is skipped.
  rig.Send("?\xCC\x01", 10700);
  EXPECT_EQ(rig.Take(), "");
  rig.Send("ath\r", 10800);
  EXPECT_EQ(rig.Take(), kOk);
}

TEST(SimModemFront, ModemLeftInDataModeIgnoresCommandsUntilTheEscape) {
  ModemScript s = Quiet();
  s.start_in_data_mode = true;
  Rig rig(s);
  rig.PollAt(10000);
  rig.Send("ATE0\r\r", 10000);
  rig.PollAt(15000);
  EXPECT_EQ(rig.Take(), "");
  EXPECT_EQ(rig.inner->received, "ATE0\r\r");

  rig.Send("+++\r", 16200);
  rig.PollAt(17200);
  EXPECT_EQ(rig.Take(), kOk);
  rig.Send("ATE0\r\r", 18400);
  EXPECT_EQ(rig.Take(), kOk);
}

TEST(SimFrontOptions, CommandLineSetsTheScripts) {
  SimCommandLine cl;
  std::string error;
  ASSERT_TRUE(
      ParseSimCommandLine({"--front", "modem", "--modem-dial", "no-dialtone", "--modem-echo", "off",
                           "--modem-gsm-ready", "no", "--modem-drop-after-requests", "3",
                           "--modem-drop-after-seconds", "20", "--expect-modem"},
                          cl, error))
      << error;
  EXPECT_EQ(cl.options.front, FrontKind::kModem);
  EXPECT_EQ(cl.options.modem.dial, DialOutcome::kNoDialTone);
  EXPECT_FALSE(cl.options.modem.echo);
  EXPECT_FALSE(cl.options.modem.gsm_ready);
  EXPECT_EQ(cl.options.modem.drop_after_requests, 3);
  EXPECT_EQ(cl.options.modem.drop_after_ms, 20000);
  EXPECT_TRUE(cl.options.expect_modem.enabled);
  EXPECT_GT(cl.options.expect_modem.every_ms, 0);

  ASSERT_TRUE(ParseSimCommandLine(
      {"--front", "adapter", "--adapter-silent", "at@l", "--expect-modem-every", "0"}, cl, error))
      << error;
  EXPECT_EQ(cl.options.front, FrontKind::kAdapter);
  EXPECT_EQ(cl.options.adapter.refuse, "at@l");
  EXPECT_TRUE(cl.options.adapter.refuse_silently);
  EXPECT_TRUE(cl.options.expect_modem.enabled);
  EXPECT_EQ(cl.options.expect_modem.every_ms, 0);

  for (const std::vector<std::string>& bad :
       std::vector<std::vector<std::string>>{{"--front", "fax"},
                                             {"--modem-dial", "maybe"},
                                             {"--modem-echo", "yes"},
                                             {"--modem-gsm-ready", "on"},
                                             {"--modem-drop-after-requests", "-1"},
                                             {"--adapter-refuse", ""}}) {
    EXPECT_FALSE(ParseSimCommandLine(bad, cl, error)) << bad[0];
  }
}

}  // namespace
}  // namespace kvarta::sim
