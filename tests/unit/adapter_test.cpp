// The line adapter set-up against the simulated adapter on the fake clock, a
// line that loses answers, and the simulated adapter's own rules that the
// program never exercises.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <memory>
#include <numeric>
#include <tuple>

#include "connection/line_adapter.h"
#include "link/controller_link.h"
#include "sim/adapter_front.h"
#include "support/fakes.h"
#include "support/sim_line.h"
#include "unit/sim_front_support.h"

namespace kvarta {
namespace {

using sim::AdapterFront;
using test::FakeClock;
using test::FakeHost;
using test::FakeSerialPort;
using test::FakeStatusBar;

using Commands = std::vector<std::string>;

TEST(AdapterCommands, CorrectionValueForms) {
  AdapterSetUpParams p;
  EXPECT_EQ(FormatAdapterCommands(p).correction, Commands{"at@c0\r"});
  p.correction_on = 1;
  p.correction_value = 123456;  // five digits of the magnitude modulo 100000
  EXPECT_EQ(FormatAdapterCommands(p).correction, (Commands{"at@t0\r", "at@d0\r", "at@m23456\r"}));
  p.correction_value = INT32_MIN;
  EXPECT_EQ(FormatAdapterCommands(p).correction[2], "at@m83648\r");
  p.correction_type = 1;
  p.correction_value = 40;
  EXPECT_EQ(FormatAdapterCommands(p).correction, (Commands{"at@t1\r", "at@d0\r", "at@c0040\r"}));
  p.correction_value = 0;  // zero counts as negative
  EXPECT_EQ(FormatAdapterCommands(p).correction[1], "at@d1\r");
  p.correction_value = -12345;
  EXPECT_EQ(FormatAdapterCommands(p).correction[2], "at@c2345\r");
  EXPECT_EQ(AdapterResultText(9), "");
}

class AdapterTest : public ::testing::Test, public test::SimLinked {
 protected:
  void Adapter(const sim::AdapterScript& script = {}) {
    sim::SimulatorOptions options;
    options.front = sim::FrontKind::kAdapter;
    options.adapter = script;
    Use(options);
    line = std::make_unique<LineContext>(LineContext{*port, clock, host});
  }
  AdapterFront& adapter() { return port->front<AdapterFront>(); }
  Commands Sent() const {
    Commands out;
    for (const auto& w : port->writes) out.emplace_back(w.begin(), w.end());
    return out;
  }
  static AdapterSetUpParams Params() {
    return {.line_num = 2, .baud_rate = 4, .k_output = 230, .k_input = 25, .lider_on = 1};
  }

  std::unique_ptr<LineContext> line;
};

TEST_F(AdapterTest, SetUpProgramsTheAdapterAndFramesPassThroughIt) {
  Adapter();
  EXPECT_EQ(AdapterSetUp(*line, Params(), {&bar, 2}), kAdapterOk);
  EXPECT_EQ(Sent(), (Commands{"@@@", "@@@", "@@@", "at@l2\r", "at@s4\r", "at@u230025\r", "at@r0\r",
                              "at@f1\r", "at@c0\r", "ato\r"}));
  EXPECT_EQ(port->events, (Commands{"DTR+", "RTS+", "RTS+"}));
  Commands steps;
  for (const auto& [panel, text] : bar.history) {
    EXPECT_EQ(panel, 2);
    steps.push_back(text);
  }
  EXPECT_EQ(steps,
            (Commands{"Перевод адаптера в командный режим", "Установка номера линии",
                      "Установка скорости обмена между адаптерами",
                      "Установка коэффициента усиления сигналов",
                      "Установка флага использования радиосвязи",
                      "Установка флага использования лидирующей частоты",
                      "Установка коррекции разности частот кварцев",
                      "Перевод адаптера в рабочий режим", "Соединение с адаптером установлено"}));
  const sim::AdapterSettings& s = adapter().Settings();
  EXPECT_EQ(adapter().Escapes(), 3);
  EXPECT_EQ(std::tie(s.line, s.rate, s.k_output, s.k_input, s.radio, s.leading_frequency,
                     s.correction_off),
            std::make_tuple(2, 4, 230, 25, 0, 1, 1));
  EXPECT_FALSE(adapter().CommandMode());
  ASSERT_TRUE(ReadTable0()) << link.result_code;
  EXPECT_EQ(link.answer[8 + 1], 64);

  // With a correction: its three commands before the working mode.
  Adapter();
  EXPECT_EQ(AdapterSetUp(*line, {.correction_on = 1, .correction_value = -1950}), kAdapterOk);
  const Commands sent = Sent();
  EXPECT_EQ(Commands(sent.end() - 4, sent.end()),
            (Commands{"at@t0\r", "at@d1\r", "at@m01950\r", "ato\r"}));
  const sim::AdapterSettings& c = adapter().Settings();
  EXPECT_EQ(std::tie(c.correction_type, c.correction_sign, c.correction_us),
            std::make_tuple(0, 1, 1950));
}

TEST_F(AdapterTest, RefusalsEndTheSetUpAtTheirStep) {
  Adapter({.refuse = "at@l"});  // an error answer is no line
  EXPECT_EQ(AdapterSetUp(*line, Params()), kAdapterNoLine);
  EXPECT_EQ(adapter().Commands().size(), 6u);  // three escapes, three line commands
  EXPECT_TRUE(adapter().CommandMode());

  Adapter({.refuse = "at@s"});  // for a setting it counts as an answer
  EXPECT_EQ(AdapterSetUp(*line, Params()), kAdapterOk);
  const Commands sent = Sent();
  EXPECT_EQ(std::count(sent.begin(), sent.end(), "at@s4\r"), 1);

  Adapter({.refuse = "ato"});
  EXPECT_EQ(AdapterSetUp(*line, Params()), kAdapterNoWorkingMode);
  EXPECT_EQ(Sent().back(), "ato\r");
  EXPECT_FALSE(ReadTable0());  // still in command mode: no frames get through
  EXPECT_EQ(link.result_code, kResultNoAnswer);

  Adapter({.refuse = "at@u", .refuse_silently = true});
  EXPECT_EQ(AdapterSetUp(*line, Params()), kAdapterNoGains);
  EXPECT_EQ(Sent().back(), "at@u230025\r");
  Adapter({.refuse = "at@c", .refuse_silently = true});
  EXPECT_EQ(AdapterSetUp(*line, Params()), kAdapterNoCorrection);
  EXPECT_EQ(Sent().back(), "at@c0\r");
}

// An adapter that answers "0" to every send except those in `lost`.
class LostAnswersTest : public ::testing::Test {
 protected:
  LostAnswersTest() : port(clock) {
    port.on_write = [this](const std::vector<uint8_t>&) {
      if (std::count(lost.begin(), lost.end(), ++writes)) return;
      port.DeliverAfterMs({'\r', '\n', '0', '\r', '\n'}, 20, 1);
    };
  }
  FakeClock clock;
  FakeSerialPort port;
  FakeHost host;
  LineContext line{port, clock, host};
  std::vector<int> lost;  // numbers of the sends left unanswered, from 1
  int writes = 0;
};

TEST_F(LostAnswersTest, OneLostAnswerIsSentAgainNoAdapterFailsAtTheLine) {
  lost = {7};  // the first radio flag
  EXPECT_EQ(AdapterSetUp(line, {}), kAdapterOk);
  EXPECT_EQ(port.writes[6], port.writes[7]);

  port.writes.clear();
  lost.assign(100, 0);
  std::iota(lost.begin(), lost.end(), writes + 1);
  const int64_t start = clock.now_ns;
  EXPECT_EQ(AdapterSetUp(line, {}), kAdapterNoLine);
  ASSERT_EQ(port.writes.size(), 6u);
  // Every command waits its whole time-out, without spinning.
  EXPECT_GE(clock.now_ns - start, MsToNs(3 * 200 + 3 * 2000));
  EXPECT_LT(port.read_calls, 3 * 200 + 3 * 2000);
}

TEST_F(LostAnswersTest, CommandSkipsOtherBytesAndWaitsForALateAnswer) {
  port.on_write = nullptr;
  port.DeliverAfterMs({'\r', '\n', 'x'}, 5);
  port.DeliverAfterMs({'4'}, 1500);
  EXPECT_EQ(AdapterCommand(line, "at@s1\r", 2000), kAdapterAnswerError);
  port.DeliverAfterMs({'7', '0'}, 100);
  EXPECT_EQ(AdapterCommand(line, "at@s1\r", 2000), kAdapterAnswerOk);
  EXPECT_EQ(AdapterCommand(line, "@@@", 200), kAdapterAnswerNone);
  EXPECT_EQ(port.writes.back(), (std::vector<uint8_t>{'@', '@', '@'}));
}

// --- the simulated adapter on its own ---

using Rig = sim::test::FrontRig<AdapterFront>;

TEST(SimAdapterFront, EscapeNeedsSilenceAndCommandModeCutsTheControllerOff) {
  Rig rig(sim::AdapterScript{});
  rig.Send("x", 10000);
  rig.Send("@@@", 10010);                  // right after data
  EXPECT_EQ(rig.Reply("@@b", 12000), "");  // after silence, but broken off
  EXPECT_EQ(rig.inner->received, "x@@@@@b");
  EXPECT_EQ(rig.Reply("@@@", 13000), "0");
  EXPECT_EQ(rig.Reply("?\r", 13100), "");
  EXPECT_EQ(rig.inner->received, "x@@@@@b");
  EXPECT_EQ(rig.Reply("at@c0040\r", 13200), "0");
  EXPECT_EQ(rig.front->Settings().correction_bauds, 40);

  for (const char* command : {"at@l9\r", "at@s7\r", "at@u300000\r", "at@u2300\r", "at@r2\r",
                              "at@c1\r", "at@m123\r", "at@x1\r", "at@l\r", "at@lx\r", "atz\r"}) {
    rig.Send(command, 13300);
    EXPECT_EQ(rig.Take(), "4") << command;
  }
  EXPECT_EQ(std::tie(rig.front->Settings().line, rig.front->Settings().rate), std::tuple(-1, -1));
  EXPECT_EQ(rig.Reply("hello\r\r", 13400), "");  // not a command at all: no answer
  rig.Send("ato\r", 13500);
  EXPECT_EQ(rig.Reply("?", 13600), "0ANSWER");
}

TEST(SimAdapterFront, RefusedEscapeKeepsWorkingMode) {
  Rig rig(sim::AdapterScript{.refuse = "@@@", .refuse_silently = true});
  rig.Send("@@@", 10000);
  EXPECT_EQ(rig.Reply("at@l2\r", 10500), "");
  EXPECT_FALSE(rig.front->CommandMode());
  EXPECT_EQ(rig.inner->received, "@@@at@l2\r");
}

}  // namespace
}  // namespace kvarta
