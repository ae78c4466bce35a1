#include "connection/modem_dialup.h"

#include <gtest/gtest.h>

#include <memory>

#include "connection/modem_call_recovery.h"
#include "link/controller_link.h"
#include "support/fakes.h"
#include "unit/fake_modem.h"

namespace kvarta {
namespace {

using test::FakeClock;
using test::FakeHost;
using test::FakeModem;
using test::FakeSerialPort;
using test::FakeStatusBar;

TEST(ModemText, ContainsTextAndAnswerChecks) {
  EXPECT_TRUE(ContainsText("\r\nOK\r", "OK"));
  EXPECT_FALSE(ContainsText("", ""));
  EXPECT_FALSE(ContainsText("OK", "OK!"));
  EXPECT_FALSE(ContainsText("\r\nok\r", "OK"));  // case-sensitive

  EXPECT_TRUE(AnswerIsPositive("\r\n"));
  EXPECT_TRUE(AnswerIsPositive("0"));
  EXPECT_TRUE(AnswerIsPositive("xatx"));
  EXPECT_FALSE(AnswerIsPositive("\r\rERROR\r"));
  EXPECT_FALSE(AnswerIsPositive(""));

  EXPECT_FALSE(CarrierPresent("data\r\nNO CARRIER\r\n"));
  EXPECT_FALSE(CarrierPresent("no carrier"));
  EXPECT_TRUE(CarrierPresent("No Carrier"));
  EXPECT_TRUE(CarrierPresent(""));

  EXPECT_EQ(ModemResultText(0), "Соединение установлено");
  EXPECT_EQ(ModemResultText(10), "Попытка соединения прервана по требованию пользователя");
  EXPECT_EQ(ModemResultText(11), "Нет готовности GSM");
  EXPECT_EQ(ModemResultText(12), "");
}

TEST(ModemText, CommandListAndDialString) {
  EXPECT_EQ(ParseModemCommands("ATZ^AT+CBST=7,0,1"),
            (std::vector<std::string>{"ATZ\r", "AT+CBST=7,0,1\r"}));
  EXPECT_TRUE(ParseModemCommands("").empty());
  // Any letter case starts a command; text before a pair is skipped.
  EXPECT_EQ(ParseModemCommands("xx atz^^ At&F"), (std::vector<std::string>{"atz\r", "At&F\r"}));
  std::string many;
  for (int i = 0; i < 35; ++i) many += "ATZ^";
  EXPECT_EQ(ParseModemCommands(many).size(), kModemCommandsMax);
  const auto longest = ParseModemCommands("AT" + std::string(400, 'Z'));
  ASSERT_EQ(longest.size(), 1u);
  EXPECT_EQ(longest[0].size(), kModemCommandBytesMax);
  EXPECT_EQ(longest[0].back(), '\r');

  EXPECT_EQ(DialCommand("(044) 123-45-67"), "ATD0441234567\r");
  EXPECT_EQ(DialCommand("+7 900"), "ATD+7900\r");
}

class ModemTest : public ::testing::Test {
 protected:
  ModemTest() : port(clock), modem(clock, port) {}

  std::string Wire(size_t i) const {
    return std::string(port.writes[i].begin(), port.writes[i].end());
  }

  FakeClock clock;
  FakeSerialPort port;
  FakeHost host;
  FakeModem modem;
  FakeStatusBar bar;
  LineContext line{port, clock, host};
  StatusPanelRef panel{&bar, 0};
};

TEST_F(ModemTest, CommandDropsEchoAndShowsCommandAndAnswer) {
  modem.echo = true;
  modem.answers["ATV1"] = "OK";
  std::string answer;
  EXPECT_EQ(ModemCommand(line, "ATV1\r", &answer, 5000, panel), kModemOk);
  // The text ends in CR and ModemCommand adds one: two CRs on the wire.
  EXPECT_EQ(Wire(0), "ATV1\r\r");
  EXPECT_EQ(answer, "\r\nOK\r");
  ASSERT_GE(bar.history.size(), 2u);
  EXPECT_EQ(bar.history[0].second, " Установление связи по телефону. Команда ATV1.");
  EXPECT_EQ(bar.panels[0], " Установление связи по телефону. Команда ATV1.  Ответ OK");
  EXPECT_GE(port.purges, 1);
}

TEST_F(ModemTest, CommandClassifiesFailureWordsInOrder) {
  const std::vector<std::pair<std::string, int>> cases = {
      {"ERROR", kModemError},
      {"error", kModemError},
      {"Time limit", kModemTimeLimit},
      {"NO DIALTONE", kModemNoDialTone},
      {"NO CARRIER", kModemNoCarrier},
      {"no carrier", kModemNoCarrier},
      {"BUSY", kModemBusy},
      {"NO ANSWER", kModemNoAnswer},
      {"CONNECT 9600", kModemOk},
      {"BUSY ERROR", kModemError},
  };
  for (const auto& [text, expected] : cases) {
    modem.answers["ATX"] = text;
    std::string answer;
    EXPECT_EQ(ModemCommand(line, "ATX", &answer, 1000), expected) << text;
    EXPECT_EQ(answer, "\r\n" + text + "\r");
  }
}

TEST_F(ModemTest, CommandTimesOutWithoutSpinning) {
  modem.present = false;
  const int64_t start = clock.now_ns;
  std::string answer;
  EXPECT_EQ(ModemCommand(line, "ATE0\r", &answer, 5000), kModemNoReply);
  const int64_t elapsed = clock.now_ns - start;
  EXPECT_GE(elapsed, MsToNs(5002));
  EXPECT_LT(elapsed, MsToNs(5100));
  EXPECT_GT(port.wait_calls, 0);
  EXPECT_LT(port.read_calls, 5100);  // at most about one read per ms of waiting
}

TEST_F(ModemTest, CommandEndsOnEscWithEscapeAnswer) {
  modem.dial_answer = "";
  host.on_pump = [&] {
    if (!port.writes.empty()) host.escape = true;
  };
  std::string answer;
  EXPECT_EQ(ModemCommand(line, "ATD123\r", &answer, 50000), kModemCancelled);
  EXPECT_EQ(answer, "Escape...");
  EXPECT_LT(clock.now_ns, MsToNs(2000));
}

TEST_F(ModemTest, InitWithEchoOnGoesOnWithVerbalAnswers) {
  modem.echo = true;
  EXPECT_EQ(ModemInit(line, panel), kModemOk);
  EXPECT_EQ(modem.log, (std::vector<std::string>{"ATE0", "ATV1"}));
}

TEST_F(ModemTest, InitLeavesDataModeWithGuardedEscape) {
  modem.data_mode = true;
  EXPECT_EQ(ModemInit(line, panel), kModemOk);
  EXPECT_EQ(modem.log, (std::vector<std::string>{"ATE0", "+++", "ATE0"}));
  EXPECT_EQ(modem.raw[1], "+++\r");
  // 5 s without answer, then 1200 ms of silence before and after "+++".
  EXPECT_GE(modem.log_ns[1] - modem.log_ns[0], MsToNs(5000 + 1200));
  EXPECT_GE(modem.log_ns[2] - modem.log_ns[1], MsToNs(1200));
}

TEST_F(ModemTest, InitWithoutModemReportsAbsentModem) {
  modem.present = false;
  EXPECT_EQ(ModemInit(line), kModemAbsent);
  EXPECT_EQ(modem.log, (std::vector<std::string>{"ATE0", "+++"}));
}

TEST_F(ModemTest, GsmReadyNeedsBothLines) {
  EXPECT_TRUE(GsmReady(line, panel));
  EXPECT_EQ(Wire(0), std::string("AT+CPAS\r\0", 9));
  EXPECT_EQ(bar.panels[0], " Проверка готовности GSM. Команда AT+CPAS. Ответ OK");

  modem.cpas_answer = "+CPAS: 3";
  EXPECT_FALSE(GsmReady(line));
  modem.cpas_answer = "ERROR";
  EXPECT_FALSE(GsmReady(line));
}

TEST_F(ModemTest, GsmReadyIgnoresEscAndWaitsItsDeadline) {
  modem.present = false;
  host.escape = true;
  const int64_t start = clock.now_ns;
  EXPECT_FALSE(GsmReady(line));
  EXPECT_GE(clock.now_ns - start, MsToNs(5000));
  EXPECT_TRUE(host.escape);  // left for whoever does take Esc
  EXPECT_GT(host.pumps, 0);
}

TEST_F(ModemTest, DialRunsInitCommandsGsmCheckAndDial) {
  const DialParams params{"(044) 123-45-67", "ATZ^AT+CBST=7,0,1", 1, 50};
  EXPECT_EQ(ModemDial(line, params, panel), kModemOk);
  EXPECT_EQ(modem.log, (std::vector<std::string>{"ATE0", "ATV1", "ATZ", "AT+CBST=7,0,1", "AT+CPAS",
                                                 "ATD0441234567"}));
  EXPECT_EQ(modem.raw.back(), "ATD0441234567\r\r");
  EXPECT_GE(modem.log_ns[2] - modem.log_ns[1], MsToNs(2000));
}

TEST_F(ModemTest, DialWithoutCommandsGoesFromGsmCheckToDial) {
  EXPECT_EQ(ModemDial(line, {"5551234", "", 1, 50}), kModemOk);
  EXPECT_EQ(modem.log, (std::vector<std::string>{"ATE0", "ATV1", "AT+CPAS", "ATD5551234"}));
}

TEST_F(ModemTest, DialResultCodesOfTheDialAnswer) {
  const std::vector<std::pair<std::string, int>> cases = {
      {"BUSY", kModemBusy},          {"NO CARRIER", kModemNoCarrier},
      {"NO ANSWER", kModemNoAnswer}, {"NO DIALTONE", kModemNoDialTone},
      {"ERROR", kModemError},        {"CONNECT 9600", kModemOk},
      {"OK", kModemNotConnected},
  };
  for (const auto& [text, expected] : cases) {
    modem.dial_answer = text;
    EXPECT_EQ(ModemDial(line, {"1", "", 1, 50}), expected) << text;
  }
}

TEST_F(ModemTest, UserCommandWithoutOkFailsWithNotConnected) {
  modem.answers["AT+CBST=7,0,1"] = "READY";
  EXPECT_EQ(ModemDial(line, {"1", "AT+CBST=7,0,1", 1, 50}), kModemNotConnected);
  EXPECT_EQ(modem.Count("ATD"), 0);
}

TEST_F(ModemTest, DialRepeatsAttemptsWithCommandsAndGsmCheck) {
  modem.dial_answer = "NO ANSWER";
  EXPECT_EQ(ModemDial(line, {"1", "ATZ", 3, 50}), kModemNoAnswer);
  EXPECT_EQ(modem.log, (std::vector<std::string>{"ATE0", "ATV1", "ATZ", "AT+CPAS", "ATD1", "ATZ",
                                                 "AT+CPAS", "ATD1", "ATZ", "AT+CPAS", "ATD1"}));
}

TEST_F(ModemTest, GsmNotReadyEndsTheDialWithoutRetry) {
  modem.cpas_answer = "ERROR";
  EXPECT_EQ(ModemDial(line, {"1", "", 3, 50}), kModemGsmNotReady);
  EXPECT_EQ(modem.Count("ATD"), 0);
  EXPECT_EQ(modem.Count("AT+CPAS"), 1);
}

TEST_F(ModemTest, EscWhileWaitingForConnectStopsAllAttempts) {
  modem.dial_answer = "";
  host.on_pump = [&] {
    if (!modem.log.empty() && modem.log.back().rfind("ATD", 0) == 0) host.escape = true;
  };
  EXPECT_EQ(ModemDial(line, {"1", "", 3, 50}), kModemCancelled);
  EXPECT_EQ(modem.Count("ATD"), 1);
}

TEST_F(ModemTest, ConnectByPhoneAsksToRetryAfterEsc) {
  modem.dial_answer = "";
  bool escaped_once = false;
  host.on_pump = [&] {
    if (!escaped_once && !modem.log.empty() && modem.log.back().rfind("ATD", 0) == 0) {
      escaped_once = true;
      host.escape = true;
      modem.dial_answer = "CONNECT 9600";
    }
  };
  host.answers = {true};
  bool connected = false;
  EXPECT_TRUE(ConnectByPhone(line, {"1", "", 1, 50}, panel, connected));
  EXPECT_TRUE(connected);
  ASSERT_EQ(host.shown.size(), 1u);
  EXPECT_EQ(host.shown[0].line1, "Попытка соединения прервана по требованию пользователя");
  EXPECT_EQ(host.shown[0].line2, "Повторить попытку соединения?");
  EXPECT_TRUE(host.shown[0].yes_visible);
  EXPECT_EQ(bar.panels[0], "");
  EXPECT_EQ(host.cursors.back(), CursorShape::kNormal);
}

TEST_F(ModemTest, ConnectByPhoneDeclinedStaysUnconnected) {
  modem.dial_answer = "BUSY";
  bool connected = false;
  EXPECT_FALSE(ConnectByPhone(line, {"1", "", 1, 50}, panel, connected));
  EXPECT_FALSE(connected);
  ASSERT_EQ(host.shown.size(), 1u);
  EXPECT_EQ(host.shown[0].line1, "Номер абонента занят");
}

TEST_F(ModemTest, HangUpForms) {
  EXPECT_NO_FATAL_FAILURE(ModemHangUp(line, false));
  EXPECT_EQ(modem.log, (std::vector<std::string>{"ath", "+++", "ath"}));
  EXPECT_GE(modem.log_ns[1] - modem.log_ns[0], MsToNs(1000));

  modem.log.clear();
  modem.log_ns.clear();
  ModemHangUp(line, true);
  EXPECT_EQ(modem.log, (std::vector<std::string>{"+++", "ath"}));

  // A modem already in command mode answers with a failure word: done.
  modem.log.clear();
  modem.answers["ath"] = "NO CARRIER";
  ModemHangUp(line, false);
  EXPECT_EQ(modem.log, (std::vector<std::string>{"ath"}));
}

class ModemRecoveryTest : public ::testing::Test {
 protected:
  ModemRecoveryTest() {
    auto fake = std::make_unique<FakeSerialPort>(clock);
    port = fake.get();
    link.port = std::move(fake);
    link.connection_kind = ConnectionKind::kPhone;
    link.keep_alive_timer = &keep_alive;
    link.line_watch_timer = &line_watch;
    link.call_duration_timer = &call_duration;
    link.dial_status_panel = {&bar, 0};
    modem = std::make_unique<FakeModem>(clock, *port);
    const std::string lost = "NO CARRIER";
    std::copy(lost.begin(), lost.end(), link.session_log.begin());
    link.log_position = 10;
  }

  ModemCallRecovery MakeRecovery() {
    return ModemCallRecovery(
        link,
        [this] {
          return DialParams{"7-77", "", 1, 50};
        },
        [this] { ++disconnects; }, modem_connected);
  }

  FakeClock clock;
  FakeHost host;
  ControllerLink link{host, clock};
  FakeSerialPort* port = nullptr;
  std::unique_ptr<FakeModem> modem;
  test::FakeTimer keep_alive, line_watch, call_duration;
  FakeStatusBar bar;
  bool modem_connected = true;
  int disconnects = 0;
};

TEST_F(ModemRecoveryTest, RedialHangsUpWaitsAndDialsAgain) {
  ModemCallRecovery recovery = MakeRecovery();
  EXPECT_TRUE(recovery.Redial());
  EXPECT_TRUE(modem_connected);
  EXPECT_FALSE(link.CarrierLost());
  EXPECT_EQ(link.log_position, 0u);
  EXPECT_TRUE(keep_alive.running && line_watch.running && call_duration.running);
  EXPECT_EQ(modem->log.front(), "ath");
  const int init = modem->Find("ATE0");
  ASSERT_GT(init, 0);
  EXPECT_GE(modem->log_ns[init] - modem->log_ns[init - 1], MsToNs(3000));
  EXPECT_EQ(modem->log.back(), "ATD777");
  EXPECT_EQ(host.cursors.front(), CursorShape::kBusy);
  EXPECT_EQ(host.cursors.back(), CursorShape::kNormal);
  EXPECT_EQ(disconnects, 0);
}

TEST_F(ModemRecoveryTest, DeclinedRetryDisconnects) {
  modem->dial_answer = "NO ANSWER";
  host.answers = {true, false};
  ModemCallRecovery recovery = MakeRecovery();
  EXPECT_FALSE(recovery.Redial());
  EXPECT_FALSE(modem_connected);
  EXPECT_EQ(disconnects, 1);
  EXPECT_EQ(modem->Count("ATD"), 2);
  ASSERT_EQ(host.shown.size(), 2u);
  EXPECT_EQ(host.shown[1].line1, "Абонент не отвечает");
  EXPECT_EQ(host.shown[1].line2, "Повторить попытку соединения?");
  EXPECT_FALSE(keep_alive.running);
  EXPECT_EQ(host.cursors.back(), CursorShape::kNormal);
}

}  // namespace
}  // namespace kvarta
