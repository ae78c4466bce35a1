#include "connection/line_adapter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <map>

#include "support/fakes.h"

namespace kvarta {
namespace {

using test::FakeClock;
using test::FakeHost;
using test::FakeSerialPort;
using test::FakeStatusBar;

// An adapter that answers each command (by its text without CR) with a
// scripted digit sequence; "0" when nothing is scripted, silence when "".
class LineAdapterTest : public ::testing::Test {
 protected:
  LineAdapterTest() : port(clock) {
    port.on_write = [this](const std::vector<uint8_t>& bytes) {
      std::string command(bytes.begin(), bytes.end());
      sent.push_back(command);
      if (!present) return;
      if (!command.empty() && command.back() == '\r') command.pop_back();
      std::string answer = "0";
      auto it = answers.find(command);
      if (it != answers.end() && !it->second.empty()) {
        answer = it->second.substr(0, 1);
        it->second.erase(0, 1);
        if (answer == "-") return;  // this send stays unanswered
      }
      port.DeliverAfterMs({'\r', '\n', static_cast<uint8_t>(answer[0]), '\r', '\n'}, 20, 1);
    };
  }

  int Count(const std::string& command) const {
    return static_cast<int>(std::count(sent.begin(), sent.end(), command));
  }

  FakeClock clock;
  FakeSerialPort port;
  FakeHost host;
  FakeStatusBar bar;
  LineContext line{port, clock, host};
  bool present = true;
  std::map<std::string, std::string> answers;  // per send: '0', '4' or '-' (none)
  std::vector<std::string> sent;
};

TEST(AdapterCommands, FormattedExactly) {
  AdapterSetUpParams p;
  p.line_num = 2;
  p.baud_rate = 4;
  p.k_output = 230;
  p.k_input = 25;
  p.radio_on = 0;
  p.lider_on = 1;
  const AdapterCommands c = FormatAdapterCommands(p);
  EXPECT_EQ(c.escape, "@@@");
  EXPECT_EQ(c.line, "at@l2\r");
  EXPECT_EQ(c.rate, "at@s4\r");
  EXPECT_EQ(c.gains, "at@u230025\r");
  EXPECT_EQ(c.radio, "at@r0\r");
  EXPECT_EQ(c.leading_frequency, "at@f1\r");
  EXPECT_EQ(c.correction, (std::vector<std::string>{"at@c0\r"}));
  EXPECT_EQ(c.working_mode, "ato\r");

  p.correction_on = 1;
  p.correction_type = 0;
  p.correction_value = -1950;
  EXPECT_EQ(FormatAdapterCommands(p).correction,
            (std::vector<std::string>{"at@t0\r", "at@d1\r", "at@m01950\r"}));
  p.correction_value = 123456;  // five digits of the magnitude modulo 100000
  EXPECT_EQ(FormatAdapterCommands(p).correction[2], "at@m23456\r");
  p.correction_value = INT32_MIN;
  EXPECT_EQ(FormatAdapterCommands(p).correction[2], "at@m83648\r");

  p.correction_type = 1;
  p.correction_value = 40;
  EXPECT_EQ(FormatAdapterCommands(p).correction,
            (std::vector<std::string>{"at@t1\r", "at@d0\r", "at@c0040\r"}));
  p.correction_value = 0;
  EXPECT_EQ(FormatAdapterCommands(p).correction[1], "at@d1\r");
  p.correction_value = -12345;
  EXPECT_EQ(FormatAdapterCommands(p).correction[2], "at@c2345\r");

  EXPECT_EQ(AdapterResultText(0), "Соединение с адаптером установлено");
  EXPECT_EQ(AdapterResultText(8), "Не удалось перевести адаптер в рабочий режим");
  EXPECT_EQ(AdapterResultText(9), "");
}

TEST_F(LineAdapterTest, SetUpSendsTheWholeSequenceByteForByte) {
  AdapterSetUpParams p;
  p.line_num = 2;
  p.baud_rate = 4;
  p.k_output = 230;
  p.k_input = 25;
  p.lider_on = 1;
  EXPECT_EQ(AdapterSetUp(line, p, {&bar, 2}), kAdapterOk);
  EXPECT_EQ(sent,
            (std::vector<std::string>{"@@@", "@@@", "@@@", "at@l2\r", "at@s4\r", "at@u230025\r",
                                      "at@r0\r", "at@f1\r", "at@c0\r", "ato\r"}));
  EXPECT_EQ(port.events, (std::vector<std::string>{"DTR+", "RTS+", "RTS+"}));
  std::vector<std::string> steps;
  for (const auto& [panel, text] : bar.history) {
    EXPECT_EQ(panel, 2);
    steps.push_back(text);
  }
  EXPECT_EQ(steps, (std::vector<std::string>{
                       "Перевод адаптера в командный режим", "Установка номера линии",
                       "Установка скорости обмена между адаптерами",
                       "Установка коэффициента усиления сигналов",
                       "Установка флага использования радиосвязи",
                       "Установка флага использования лидирующей частоты",
                       "Установка коррекции разности частот кварцев",
                       "Перевод адаптера в рабочий режим", "Соединение с адаптером установлено"}));
}

TEST_F(LineAdapterTest, CorrectionCommandsAreSentInOrder) {
  AdapterSetUpParams p;
  p.correction_on = 1;
  p.correction_value = -1950;
  EXPECT_EQ(AdapterSetUp(line, p), kAdapterOk);
  ASSERT_GE(sent.size(), 4u);
  EXPECT_EQ(std::vector<std::string>(sent.end() - 4, sent.end()),
            (std::vector<std::string>{"at@t0\r", "at@d1\r", "at@m01950\r", "ato\r"}));
}

TEST_F(LineAdapterTest, ErrorAnswerCountsForSettingsButNotForTheLine) {
  answers["at@s1"] = "4";
  EXPECT_EQ(AdapterSetUp(line, {}), kAdapterOk);
  EXPECT_EQ(Count("at@s1\r"), 1);

  sent.clear();
  answers["at@l1"] = "444";
  EXPECT_EQ(AdapterSetUp(line, {}), kAdapterNoLine);
  EXPECT_EQ(Count("at@l1\r"), 3);
  EXPECT_EQ(sent.back(), "at@l1\r");
}

TEST_F(LineAdapterTest, WorkingModeNeedsOk) {
  answers["ato"] = "444";
  EXPECT_EQ(AdapterSetUp(line, {}), kAdapterNoWorkingMode);
  EXPECT_EQ(Count("ato\r"), 3);
}

TEST_F(LineAdapterTest, FirstUnansweredStepEndsTheSequence) {
  answers["at@r0"] = "-0";  // the second send answered is enough
  EXPECT_EQ(AdapterSetUp(line, {}), kAdapterOk);
  EXPECT_EQ(Count("at@r0\r"), 2);

  sent.clear();
  answers["at@u230250"] = "---";
  EXPECT_EQ(AdapterSetUp(line, {}), kAdapterNoGains);
  EXPECT_EQ(sent.back(), "at@u230250\r");

  sent.clear();
  answers["at@c0"] = "---";
  EXPECT_EQ(AdapterSetUp(line, {}), kAdapterNoCorrection);
  EXPECT_EQ(Count("ato\r"), 0);
}

TEST_F(LineAdapterTest, NoAdapterFailsAtTheLineAfterThreeSends) {
  present = false;
  const int64_t start = clock.now_ns;
  EXPECT_EQ(AdapterSetUp(line, {}), kAdapterNoLine);
  EXPECT_EQ(sent, (std::vector<std::string>{"@@@", "@@@", "@@@", "at@l1\r", "at@l1\r", "at@l1\r"}));
  // Every command waits its whole time-out.
  EXPECT_GE(clock.now_ns - start, MsToNs(3 * 200 + 3 * 2000));
  EXPECT_LT(port.read_calls, 3 * 200 + 3 * 2000);
}

TEST_F(LineAdapterTest, CommandSkipsOtherBytesAndWaitsForALateAnswer) {
  port.on_write = nullptr;
  port.DeliverAfterMs({'\r', '\n', 'x'}, 5);
  port.DeliverAfterMs({'4'}, 1500);
  EXPECT_EQ(AdapterCommand(line, "at@s1\r", 2000), kAdapterAnswerError);
  port.DeliverAfterMs({'7', '0'}, 100);
  EXPECT_EQ(AdapterCommand(line, "at@s1\r", 2000), kAdapterAnswerOk);
  EXPECT_EQ(AdapterCommand(line, "@@@", 200), kAdapterAnswerNone);
  EXPECT_EQ(port.writes.back(), (std::vector<uint8_t>{'@', '@', '@'}));
}

}  // namespace
}  // namespace kvarta
