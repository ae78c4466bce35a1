// The simulated line adapter driven directly with synthetic times; and the
// controller that waits for a modem.
#include <gtest/gtest.h>

#include <string>

#include "sim/adapter_front.h"
#include "sim/modem_expecting.h"
#include "unit/sim_front_support.h"

namespace kvarta::sim {
namespace {

using Rig = test::FrontRig<AdapterFront>;

TEST(SimAdapterFront, WorkingModeCarriesBothWaysUntilTheEscape) {
  Rig rig(AdapterScript{});
  rig.Send("?", 10000);
  EXPECT_EQ(rig.Take(), "ANSWER");
  EXPECT_EQ(rig.inner->received, "?");

  rig.Send("@@@", 11000);
  EXPECT_EQ(rig.Take(), "0");
  EXPECT_TRUE(rig.front->CommandMode());
  // In command mode the controller is neither fed nor heard.
  rig.Send("?", 11100);
  EXPECT_EQ(rig.Take(), "");
  EXPECT_EQ(rig.inner->received, "?");

  // The second and third escapes of the set-up find it in command mode.
  rig.Send("@@@", 11200);
  rig.Send("@@@", 11400);
  EXPECT_EQ(rig.Take(), "00");
  EXPECT_EQ(rig.front->Escapes(), 3);

  rig.Send("ato\r", 11500);
  EXPECT_EQ(rig.Take(), "0");
  EXPECT_FALSE(rig.front->CommandMode());
  rig.Send("?", 11600);
  EXPECT_EQ(rig.Take(), "ANSWER");
}

TEST(SimAdapterFront, DataHoldingAtSignsDoesNotSwitchIt) {
  Rig rig(AdapterScript{});
  rig.Send("x", 10000);
  rig.Send("@@@", 10010);  // right after data
  rig.Send("@@b", 12000);  // after silence, but broken off
  EXPECT_EQ(rig.Take(), "");
  EXPECT_FALSE(rig.front->CommandMode());
  EXPECT_EQ(rig.inner->received, "x@@@@@b");
}

TEST(SimAdapterFront, SetUpCommandsAreAnsweredAndRecorded) {
  Rig rig(AdapterScript{});
  rig.Send("@@@", 10000);
  rig.Take();
  for (const char* command : {"at@l2\r", "at@s4\r", "at@u230025\r", "at@r0\r", "at@f1\r", "at@t0\r",
                              "at@d1\r", "at@m01950\r"}) {
    rig.Send(command, 10100);
    EXPECT_EQ(rig.Take(), "0") << command;
  }
  const AdapterSettings& s = rig.front->Settings();
  EXPECT_EQ(s.line, 2);
  EXPECT_EQ(s.rate, 4);
  EXPECT_EQ(s.k_output, 230);
  EXPECT_EQ(s.k_input, 25);
  EXPECT_EQ(s.radio, 0);
  EXPECT_EQ(s.leading_frequency, 1);
  EXPECT_EQ(s.correction_type, 0);
  EXPECT_EQ(s.correction_sign, 1);
  EXPECT_EQ(s.correction_us, 1950);

  rig.Send("at@c0040\r", 10200);
  rig.Send("at@c0\r", 10300);
  EXPECT_EQ(rig.Take(), "00");
  EXPECT_EQ(rig.front->Settings().correction_bauds, 40);
  EXPECT_EQ(rig.front->Settings().correction_off, 1);
  EXPECT_EQ(rig.front->Commands().back(), "at@c0");
}

TEST(SimAdapterFront, UnknownCommandsAndValuesOutOfRangeAnswerError) {
  Rig rig(AdapterScript{});
  rig.Send("@@@", 10000);
  rig.Take();
  for (const char* command : {"at@l9\r", "at@s7\r", "at@u300000\r", "at@u2300\r", "at@r2\r",
                              "at@c1\r", "at@m123\r", "at@x1\r", "at@l\r", "at@lx\r", "atz\r"}) {
    rig.Send(command, 10100);
    EXPECT_EQ(rig.Take(), "4") << command;
  }
  EXPECT_EQ(rig.front->Settings().line, -1);
  EXPECT_EQ(rig.front->Settings().rate, -1);
  // Not a command at all: no answer.
  rig.Send("hello\r\r", 10200);
  EXPECT_EQ(rig.Take(), "");
}

TEST(SimAdapterFront, RefusedCommandAnswersErrorOrNothingAndChangesNothing) {
  AdapterScript script;
  script.refuse = "at@l";
  Rig rig(script);
  rig.Send("@@@", 10000);
  rig.Send("at@l2\r", 10100);
  rig.Send("at@s1\r", 10200);
  EXPECT_EQ(rig.Take(), "040");
  EXPECT_EQ(rig.front->Settings().line, -1);

  script.refuse = "ato";
  script.refuse_silently = true;
  Rig silent(script);
  silent.Send("@@@", 10000);
  silent.Send("ato\r", 10100);
  EXPECT_EQ(silent.Take(), "0");
  EXPECT_TRUE(silent.front->CommandMode());
}

TEST(SimAdapterFront, RefusedEscapeKeepsWorkingMode) {
  AdapterScript script;
  script.refuse = "@@@";
  script.refuse_silently = true;
  Rig rig(script);
  rig.Send("@@@", 10000);
  rig.Send("at@l2\r", 10500);
  EXPECT_EQ(rig.Take(), "");
  EXPECT_FALSE(rig.front->CommandMode());
  EXPECT_EQ(rig.inner->received, "@@@at@l2\r");
}

using ExpectRig = test::FrontRig<ModemExpectingFront>;

TEST(SimModemExpecting, SendsItsInitialisationUntilAnsweredThenServes) {
  ExpectModemScript script;
  script.enabled = true;
  script.first_after_ms = 100;
  script.every_ms = 1000;
  ExpectRig rig(script);
  rig.PollAt(10000);
  EXPECT_EQ(rig.Take(), "");
  rig.PollAt(10100);
  EXPECT_EQ(rig.Take(), std::string("ATE0V1H0S0=0+CMEE=1\r\x1A"));
  rig.PollAt(10500);
  EXPECT_EQ(rig.Take(), "");

  // Frames before the answer are not served; a near miss of the answer
  // ("\r\n" twice) still leads to it.
  rig.Send("?", 10600);
  rig.Send("\r\n\r\nO", 10700);
  EXPECT_FALSE(rig.front->AnswerReceived());
  rig.PollAt(11100);
  EXPECT_EQ(rig.Take().size(), 21u);
  rig.Send("K\r\n?", 11200);
  EXPECT_TRUE(rig.front->AnswerReceived());
  EXPECT_EQ(rig.inner->received, "?");
  EXPECT_EQ(rig.Take(), "ANSWER");

  rig.PollAt(20000);
  EXPECT_EQ(rig.Take(), "");
  EXPECT_EQ(rig.front->Sends(), 2);
}

TEST(SimModemExpecting, SendsOnceWithTheExtraByte) {
  ExpectModemScript script;
  script.enabled = true;
  script.first_after_ms = 0;
  script.extra_byte = true;
  ExpectRig rig(script);
  rig.PollAt(10000);
  EXPECT_EQ(rig.Take(), std::string("AATE0V1H0S0=0+CMEE=1\r\x1A"));
  rig.PollAt(30000);
  EXPECT_EQ(rig.Take(), "");
  EXPECT_EQ(rig.front->Sends(), 1);
}

}  // namespace
}  // namespace kvarta::sim
