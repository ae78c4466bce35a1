// The program's modem functions against the simulated GSM modem on the fake
// clock (the modem keeps its guard times and dial delay, so a function that
// skips a pause fails here), answers no modem of the simulator gives, and the
// simulated modem's own rules that the program never exercises.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <tuple>

#include "connection/modem_call_recovery.h"
#include "connection/modem_dialup.h"
#include "link/controller_link.h"
#include "sim/modem_front.h"
#include "support/fakes.h"
#include "support/sim_line.h"
#include "unit/sim_front_support.h"

namespace kvarta {
namespace {

using sim::DialOutcome;
using sim::ModemFront;
using test::FakeClock;
using test::FakeHost;
using test::FakeSerialPort;
using test::FakeStatusBar;
using test::SimLinePort;

TEST(ModemText, AnswerChecksCommandListAndDialString) {
  EXPECT_TRUE(ContainsText("\r\nOK\r", "OK"));
  EXPECT_FALSE(ContainsText("", ""));
  EXPECT_FALSE(ContainsText("OK", "OK!"));
  EXPECT_FALSE(ContainsText("\r\nok\r", "OK"));  // case-sensitive
  EXPECT_TRUE(AnswerIsPositive("\r\n"));
  EXPECT_TRUE(AnswerIsPositive("xatx"));
  EXPECT_FALSE(AnswerIsPositive("\r\rERROR\r"));
  EXPECT_FALSE(AnswerIsPositive(""));
  EXPECT_FALSE(CarrierPresent("data\r\nNO CARRIER\r\n"));
  EXPECT_FALSE(CarrierPresent("no carrier"));
  EXPECT_TRUE(CarrierPresent("No Carrier"));
  EXPECT_TRUE(CarrierPresent(""));
  EXPECT_EQ(ModemResultText(12), "");
  EXPECT_EQ(ModemResultText(-1), "");

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

// A line whose peer answers every command with the text reply(command) gives.
class ModemWordsTest : public ::testing::Test {
 protected:
  ModemWordsTest() : port(clock) {
    port.on_write = [this](const std::vector<uint8_t>& bytes) {
      const std::string text = "\r\n" + reply(std::string(bytes.begin(), bytes.end())) + "\r\n";
      port.DeliverAfterMs({text.begin(), text.end()}, 30);
    };
  }
  FakeClock clock;
  FakeSerialPort port;
  FakeHost host;
  LineContext line{port, clock, host};
  std::function<std::string(const std::string&)> reply;
};

TEST_F(ModemWordsTest, FailureWordsAndMissingConfirmations) {
  const std::vector<std::pair<std::string, int>> cases = {{"ERROR", kModemError},
                                                          {"error", kModemError},
                                                          {"Time limit", kModemTimeLimit},
                                                          {"NO DIALTONE", kModemNoDialTone},
                                                          {"NO CARRIER", kModemNoCarrier},
                                                          {"no carrier", kModemNoCarrier},
                                                          {"BUSY", kModemBusy},
                                                          {"NO ANSWER", kModemNoAnswer},
                                                          {"CONNECT 9600", kModemOk},
                                                          {"BUSY ERROR", kModemError}};
  for (const auto& [text, expected] : cases) {
    reply = [&text](const std::string&) { return text; };
    std::string answer;
    EXPECT_EQ(ModemCommand(line, "ATX", &answer, 1000), expected) << text;
    EXPECT_EQ(answer, "\r\n" + text + "\r");
  }

  reply = [](const std::string&) { return "+CPAS: 3"; };
  EXPECT_FALSE(GsmReady(line));

  // A dial answered without CONNECT, a user command answered without OK.
  reply = [](const std::string& c) {
    return c.starts_with("AT+CPAS") ? "+CPAS: 0\r\n\r\nOK" : "OK";
  };
  EXPECT_EQ(ModemDial(line, {"1", "", 1, 50}), kModemNotConnected);
  port.writes.clear();
  reply = [](const std::string& c) { return c.starts_with("AT+CBST") ? "READY" : "OK"; };
  EXPECT_EQ(ModemDial(line, {"1", "AT+CBST=7,0,1", 1, 50}), kModemNotConnected);
  EXPECT_FALSE(
      std::string(port.writes.back().begin(), port.writes.back().end()).starts_with("ATD"));

  // A modem already in command mode answers the hang-up with a failure word: done.
  port.writes.clear();
  reply = [](const std::string&) { return "NO CARRIER"; };
  ModemHangUp(line, false);
  EXPECT_EQ(port.writes.size(), 1u);
}

class ModemTest : public ::testing::Test, public test::SimLinked {
 protected:
  ModemTest() { Modem(); }
  void Modem(const sim::ModemScript& script = {}) {
    sim::SimulatorOptions options;
    options.front = sim::FrontKind::kModem;
    options.modem = script;
    Use(options);
    line = std::make_unique<LineContext>(LineContext{*port, clock, host});
  }
  ModemFront& modem() { return port->front<ModemFront>(); }
  std::string Wire(size_t i) const { return {port->writes[i].begin(), port->writes[i].end()}; }
  int Count(const std::string& prefix) {
    const auto& c = modem().Commands();
    return static_cast<int>(std::count_if(
        c.begin(), c.end(), [&](const std::string& s) { return s.starts_with(prefix); }));
  }
  std::unique_ptr<LineContext> line;
  StatusPanelRef panel{&bar, 0};
};

TEST_F(ModemTest, CommandDropsTheEchoAndShowsCommandAndAnswer) {
  std::string answer;
  EXPECT_EQ(ModemCommand(*line, "ATV1\r", &answer, 5000, panel), kModemOk);
  // The text ends in CR and ModemCommand adds one: two CRs on the wire.
  EXPECT_EQ(Wire(0), "ATV1\r\r");
  EXPECT_NE(answer.find("OK"), std::string::npos);
  EXPECT_EQ(answer.find("ATV1"), std::string::npos);
  ASSERT_GE(bar.history.size(), 2u);
  EXPECT_EQ(bar.history[0].second, " Установление связи по телефону. Команда ATV1.");
  EXPECT_EQ(bar.panels[0], " Установление связи по телефону. Команда ATV1.  Ответ OK");
  EXPECT_GE(port->purges, 1);
}

TEST_F(ModemTest, NoModemTimesOutWithoutSpinningAndInitReportsIt) {
  Modem({.dial = DialOutcome::kAbsent});
  const int64_t start = clock.now_ns;
  std::string answer;
  EXPECT_EQ(ModemCommand(*line, "ATE0\r", &answer, 5000), kModemNoReply);
  EXPECT_GE(clock.now_ns - start, MsToNs(5002));
  EXPECT_LT(clock.now_ns - start, MsToNs(5100));
  EXPECT_LT(port->read_calls, 5100);  // at most about one read per ms of waiting

  port->writes.clear();
  EXPECT_EQ(ModemInit(*line), kModemAbsent);
  ASSERT_EQ(port->writes.size(), 2u);
  EXPECT_EQ(Wire(1), "+++\r");

  // The GSM check does not take Esc: it waits its deadline and leaves Esc.
  host.escape = true;
  const int64_t gsm_start = clock.now_ns;
  EXPECT_FALSE(GsmReady(*line));
  EXPECT_GE(clock.now_ns - gsm_start, MsToNs(5000));
  EXPECT_TRUE(host.escape);
  EXPECT_GT(host.pumps, 0);
}

TEST_F(ModemTest, InitTurnsTheEchoOffOrLeavesALeftoverCallFirst) {
  EXPECT_EQ(ModemInit(*line, panel), kModemOk);
  EXPECT_EQ(modem().Commands(), (std::vector<std::string>{"ATE0", "ATV1"}));
  EXPECT_FALSE(modem().Echo());

  // A modem left in a call takes ATE0 as data: 5 s without answer, then
  // "+++" between 1200 ms silences.
  Modem({.echo = false, .guard_ms = 1200, .start_in_data_mode = true});
  EXPECT_EQ(ModemInit(*line, panel), kModemOk);
  EXPECT_EQ(modem().CurrentMode(), ModemFront::Mode::kCommand);
  EXPECT_EQ(modem().Commands(), std::vector<std::string>{"ATE0"});
  EXPECT_EQ(Wire(1), "+++\r");
  EXPECT_GE(port->write_ns[1] - port->write_ns[0], MsToNs(5000 + 1200));
  EXPECT_GE(port->write_ns[2] - port->write_ns[1], MsToNs(1200));
}

TEST_F(ModemTest, GsmReadyAsksWithTheZeroByteAndNeedsBothLines) {
  Modem({.echo = false});
  EXPECT_TRUE(GsmReady(*line, panel));
  EXPECT_EQ(Wire(0), std::string("AT+CPAS\r\0", 9));
  EXPECT_EQ(bar.panels[0], " Проверка готовности GSM. Команда AT+CPAS. Ответ OK");
  // The zero byte does not spoil the next command.
  std::string answer;
  EXPECT_EQ(ModemCommand(*line, "AT\r", &answer, 1000), kModemOk);
  EXPECT_EQ(modem().Commands().back(), "AT");

  Modem({.echo = false, .gsm_ready = false});
  EXPECT_FALSE(GsmReady(*line));
  EXPECT_EQ(ModemDial(*line, {"1", "", 3, 50}), kModemGsmNotReady);
  EXPECT_EQ(Count("ATD"), 0);
  EXPECT_EQ(Count("AT+CPAS"), 2);  // once for the dial: no retry
}

TEST_F(ModemTest, DialCarriesTheControllerThroughTheCallAndHangsUp) {
  EXPECT_EQ(ModemDial(*line, {"(044) 123-45-67", "ATZ^AT+CBST=7,0,1", 1, 50}, panel), kModemOk);
  EXPECT_EQ(modem().Commands(), (std::vector<std::string>{"ATE0", "ATV1", "ATZ", "AT+CBST=7,0,1",
                                                          "AT+CPAS", "ATD0441234567"}));
  EXPECT_EQ(modem().DialledNumber(), "0441234567");
  EXPECT_EQ(Wire(port->writes.size() - 1), "ATD0441234567\r\r");
  EXPECT_GE(port->write_ns[2] - port->write_ns[1], MsToNs(2000));  // pause before the commands
  ASSERT_TRUE(ReadTable0()) << link.result_code;
  EXPECT_EQ(link.answer[8 + 1], 64);

  // The hang-up: "ath" (data in a call, unanswered), a second of silence,
  // "+++", "ath".
  port->writes.clear();
  port->write_ns.clear();
  ModemHangUp(*line, false);
  ASSERT_EQ(port->writes.size(), 3u);
  EXPECT_EQ(Wire(0), "ath\r\r");
  EXPECT_GE(port->write_ns[1] - port->write_ns[0], MsToNs(1000));
  EXPECT_FALSE(modem().CallUp());
  EXPECT_EQ(modem().CurrentMode(), ModemFront::Mode::kCommand);
  EXPECT_EQ(modem().Commands().back(), "ath");

  // Without user commands, and the disconnect's form without the first "ath".
  Modem();
  EXPECT_EQ(ModemDial(*line, {"5551234", "", 1, 50}), kModemOk);
  EXPECT_EQ(modem().Commands(),
            (std::vector<std::string>{"ATE0", "ATV1", "AT+CPAS", "ATD5551234"}));
  port->writes.clear();
  ModemHangUp(*line, true);
  EXPECT_EQ(port->writes.size(), 2u);
  EXPECT_EQ(Wire(0), "+++\r");
  EXPECT_FALSE(modem().CallUp());
}

TEST_F(ModemTest, DialOutcomesAndAttempts) {
  const std::pair<DialOutcome, int> cases[] = {{DialOutcome::kBusy, kModemBusy},
                                               {DialOutcome::kNoAnswer, kModemNoAnswer},
                                               {DialOutcome::kNoDialTone, kModemNoDialTone},
                                               {DialOutcome::kError, kModemError},
                                               {DialOutcome::kNoCarrier, kModemNoCarrier}};
  for (const auto& [outcome, expected] : cases) {
    Modem({.dial = outcome});
    EXPECT_EQ(ModemDial(*line, {"1", "", 1, 50}), expected) << expected;
    EXPECT_EQ(modem().CurrentMode(), ModemFront::Mode::kCommand);
  }
  // Every attempt repeats the user commands and the GSM check.
  Modem({.dial = DialOutcome::kNoAnswer});
  EXPECT_EQ(ModemDial(*line, {"1", "ATZ", 3, 50}), kModemNoAnswer);
  EXPECT_EQ(modem().Commands(),
            (std::vector<std::string>{"ATE0", "ATV1", "ATZ", "AT+CPAS", "ATD1", "ATZ", "AT+CPAS",
                                      "ATD1", "ATZ", "AT+CPAS", "ATD1"}));
}

TEST_F(ModemTest, EscWhileWaitingForConnectStopsAllAttempts) {
  Modem({.dial_delay_ms = 60000});
  host.on_pump = [&] {
    if (!modem().Commands().empty() && modem().Commands().back().starts_with("ATD"))
      host.escape = true;
  };
  EXPECT_EQ(ModemDial(*line, {"1", "", 3, 50}), kModemCancelled);
  EXPECT_EQ(Count("ATD"), 1);

  host.on_pump = nullptr;
  port->writes.clear();
  host.escape = false;
  host.on_pump = [&] {
    if (!port->writes.empty()) host.escape = true;
  };
  const int64_t start = clock.now_ns;
  std::string answer;
  EXPECT_EQ(ModemCommand(*line, "ATD123\r", &answer, 50000), kModemCancelled);
  EXPECT_EQ(answer, "Escape...");
  EXPECT_LT(clock.now_ns - start, MsToNs(2000));
}

TEST_F(ModemTest, ConnectByPhoneAsksWhetherToRetry) {
  bool escaped = false;
  host.on_pump = [&] {
    if (!escaped && !modem().Commands().empty() && modem().Commands().back() == "ATZ") {
      escaped = true;
      host.escape = true;
    }
  };
  host.answers = {true};
  bool connected = false;
  EXPECT_TRUE(ConnectByPhone(*line, {"1", "ATZ", 1, 50}, panel, connected));
  EXPECT_TRUE(connected);
  ASSERT_EQ(host.shown.size(), 1u);
  EXPECT_EQ(std::tie(host.shown[0].line1, host.shown[0].line2, host.shown[0].yes_visible),
            std::make_tuple("Попытка соединения прервана по требованию пользователя",
                            "Повторить попытку соединения?", true));
  EXPECT_EQ(bar.panels[0], "");
  EXPECT_EQ(host.cursors.back(), CursorShape::kNormal);

  Modem({.dial = DialOutcome::kBusy});
  host.on_pump = nullptr;
  host.shown.clear();
  connected = false;
  EXPECT_FALSE(ConnectByPhone(*line, {"1", "", 1, 50}, panel, connected));
  EXPECT_FALSE(connected);
  ASSERT_EQ(host.shown.size(), 1u);
  EXPECT_EQ(host.shown[0].line1, "Номер абонента занят");
}

class ModemRecoveryTest : public ModemTest {
 protected:
  ModemCallRecovery MakeRecovery() {
    link.connection_kind = ConnectionKind::kPhone;
    link.keep_alive_timer = &keep_alive;
    link.line_watch_timer = &line_watch;
    link.call_duration_timer = &call_duration;
    link.dial_status_panel = {&bar, 0};
    const std::string lost = "NO CARRIER";
    std::copy(lost.begin(), lost.end(), link.session_log.begin());
    link.log_position = 10;
    auto params = [] { return DialParams{"7-77", "", 1, 50}; };
    return ModemCallRecovery(
        link, params, [this] { ++disconnects; }, modem_connected);
  }
  test::FakeTimer keep_alive, line_watch, call_duration;
  bool modem_connected = true;
  int disconnects = 0;
};

TEST_F(ModemRecoveryTest, RedialHangsUpWaitsAndDialsAgain) {
  Modem({.start_in_data_mode = true});
  ModemCallRecovery recovery = MakeRecovery();
  EXPECT_TRUE(recovery.Redial());
  EXPECT_EQ(std::make_tuple(modem_connected, link.CarrierLost(), link.log_position, disconnects),
            std::make_tuple(true, false, 0u, 0));
  EXPECT_TRUE(keep_alive.running && line_watch.running && call_duration.running);
  EXPECT_EQ(Wire(0), "ath\r\r");
  // The hang-up's last "ath", three seconds, then the dial's ATE0.
  EXPECT_GE(port->write_ns[3] - port->write_ns[2], MsToNs(3000));
  EXPECT_EQ(Wire(3), "ATE0\r\r");
  EXPECT_EQ(modem().DialledNumber(), "777");
  EXPECT_TRUE(modem().CallUp());
  EXPECT_EQ(host.cursors.front(), CursorShape::kBusy);
  EXPECT_EQ(host.cursors.back(), CursorShape::kNormal);
}

TEST_F(ModemRecoveryTest, DeclinedRetryDisconnects) {
  Modem({.dial = DialOutcome::kNoAnswer});
  host.answers = {true, false};
  ModemCallRecovery recovery = MakeRecovery();
  EXPECT_FALSE(recovery.Redial());
  EXPECT_EQ(std::make_tuple(modem_connected, disconnects, Count("ATD")),
            std::make_tuple(false, 1, 2));
  ASSERT_EQ(host.shown.size(), 2u);
  EXPECT_EQ(host.shown[1].line1, "Абонент не отвечает");
  EXPECT_EQ(host.shown[1].line2, "Повторить попытку соединения?");
  EXPECT_FALSE(keep_alive.running);
  EXPECT_EQ(host.cursors.back(), CursorShape::kNormal);
}

// --- the simulated modem on its own: what the program never sends ---

using Rig = sim::test::FrontRig<ModemFront>;
constexpr char kOk[] = "\r\nOK\r\n";

TEST(SimModemFront, CommandModeAnswersEchoesAndIgnores) {
  Rig rig(sim::ModemScript{});
  // The echo of the line still goes out.
  EXPECT_EQ(rig.Reply("ATE0\r\r", 10000), std::string("ATE0\r") + kOk);
  EXPECT_EQ(rig.Reply("AT&F\\Q3%C0S7?\r", 10100), kOk);
  // Not a command, an injected error, garbage after AT.
  EXPECT_EQ(rig.Reply("+++\rhello\rAt\r", 10200), "");
  EXPECT_EQ(rig.Reply("AT:X\r", 10300), "\r\nERROR\r\n");
  EXPECT_EQ(rig.Reply("AT#$\r", 10400), "\r\nERROR\r\n");
  // Numeric answers, and ATZ back to echo and words.
  EXPECT_EQ(rig.Reply("ATV0\r", 10500), "0\r");
  EXPECT_EQ(rig.Reply("ATZ\r", 10600), kOk);
  EXPECT_EQ(rig.Reply("at\r", 10700), std::string("at\r") + kOk);
  EXPECT_TRUE(rig.inner->received.empty());
}

TEST(SimModemFront, CallRules) {
  Rig rig(sim::ModemScript{.echo = false, .drop_after_requests = 2});
  rig.Send("ATD1\r\r", 10000);
  EXPECT_EQ(rig.PollTake(10200), "");  // not before the dial delay
  EXPECT_EQ(rig.PollTake(10300), "\r\nCONNECT 9600\r\n");
  EXPECT_EQ(rig.Reply("?AT\r", 10400), "ANSWER");  // commands are data now

  // "+++" too soon after data, or followed by data within the guard: no escape.
  rig.Send("+++", 10900);
  rig.PollAt(12500);
  rig.Send("+++", 14000);
  rig.Send("x", 14500);
  EXPECT_EQ(rig.PollTake(16000), "");
  EXPECT_EQ(rig.front->CurrentMode(), ModemFront::Mode::kData);
  rig.Send("+++", 17100);
  ASSERT_EQ(rig.PollTake(18100), kOk);
  EXPECT_EQ(rig.inner->received, "?AT\r++++++x+++");  // escapes go on as data

  // Command mode in a call does not hear the controller; ATO goes back.
  EXPECT_EQ(rig.Reply("ATO\r", 18200), "\r\nCONNECT 9600\r\n");
  EXPECT_EQ(rig.Reply("?", 18300), "ANSWER");
  // The third request finds the carrier gone; later data is dropped and
  // what comes ahead of "AT" skipped.
  EXPECT_EQ(rig.Reply("?", 18400), "\r\nNO CARRIER\r\n");
  EXPECT_EQ(rig.front->Drops(), 1);
  EXPECT_EQ(rig.Reply("?\xCC\x01", 18500), "");
  EXPECT_EQ(rig.Reply("ATH\r", 18600), kOk);
  EXPECT_EQ(rig.Reply("ATO\r", 18700), "\r\nNO CARRIER\r\n");
  EXPECT_EQ(rig.inner->received, "?AT\r++++++x+++?");
}

}  // namespace
}  // namespace kvarta
