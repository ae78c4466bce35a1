// Commands for the controller: the menu tree, the texts, the period dialog,
// the written table-15 requests against the simulated controller, and the
// state of the repeat panel; the command history: pushing out the oldest,
// the file (exact size, sound contents, atomic replacement) and the history
// window's rows and choices.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>

#include "link/message_window.h"
#include "link/result_messages.h"
#include "monitor/command_history.h"
#include "monitor/command_menus.h"
#include "monitor/command_panel.h"
#include "monitor/command_text.h"
#include "monitor/command_texts.h"
#include "monitor/stored_comm_model.h"
#include "monitor_dialogs_fake.h"
#include "platform/atomic_file.h"
#include "platform/cp1251.h"
#include "sim_peer.h"
#include "support/fakes.h"
#include "support/shown.h"
#include "support/temp_dir.h"

namespace kvarta {
namespace {

using test::Bytes;

const CommandMenuItem* Child(const CommandMenuItem& item, const std::string& caption) {
  for (const CommandMenuItem& c : item.children)
    if (c.caption == caption) return &c;
  return nullptr;
}

std::vector<std::string> Captions(const CommandMenuItem& item) {
  std::vector<std::string> out;
  for (const CommandMenuItem& c : item.children) out.push_back(c.caption);
  return out;
}

CommandTargets DemoTargets(int servers = 2) {
  test::FakeMonitorSession session;
  session.servers = servers;
  return TargetsOf(session);
}

TEST(CommandMenus, LevelsFollowTheVrgListAndTheServers) {
  const auto menus = BuildCommandMenus(DemoTargets(2));
  ASSERT_EQ(menus.size(), 14u);
  EXPECT_EQ(menus[0].name, "no1");
  EXPECT_EQ(menus[13].name, "no14");
  EXPECT_EQ(menus[13].tag, 255u);
  EXPECT_TRUE(menus[13].Leaf());
  for (int code : {3, 7}) EXPECT_FALSE(menus[code - 1].visible) << code;
  for (int code : {2, 11, 12, 13}) EXPECT_TRUE(menus[code - 1].Leaf()) << code;

  // Two servers: both labels and "all"; VRG level directly under code 4.
  EXPECT_EQ(Captions(menus[7]),
            (std::vector<std::string>{"Сервер 1", "Сервер 2", "Все серверы    "}));
  EXPECT_EQ(Captions(menus[3]), (std::vector<std::string>{"ВРГ 1 (адр. 5)", "ВРГ 2 (адр. 6)",
                                                          "Все подключенные ВРГ   "}));
  // A VRG with one run offers one; all VRGs offer the most any VRG has.
  EXPECT_EQ(Captions(*Child(menus[3], "ВРГ 2 (адр. 6)")),
            (std::vector<std::string>{"Нитка 1", "Все нитки ВРГ"}));
  EXPECT_EQ(Captions(*Child(menus[3], "Все подключенные ВРГ   ")),
            (std::vector<std::string>{"Нитка 1", "Нитка 2", "Все нитки ВРГ"}));

  // Each leaf carries code, server, VRG and run, lowest byte first.
  const CommandMenuItem* leaf =
      Child(*Child(*Child(menus[7], "Сервер 2"), "Все подключенные ВРГ   "), "Нитка 2");
  ASSERT_NE(leaf, nullptr);
  EXPECT_EQ(leaf->tag, CommandTag(8, 1, 255, 1));
  EXPECT_EQ(FieldsFromTag(leaf->tag), (CommandFields{8, 1, 255, 1}));

  // One server: only its label and "all".
  const auto one = BuildCommandMenus(DemoTargets(1));
  EXPECT_EQ(Captions(one[0]), (std::vector<std::string>{"Сервер 1", "Все серверы    "}));
}

TEST(CommandMenus, RunLevelHasAtLeastOneRunAndOddCountsAreTamed) {
  test::FakeMonitorSession session;
  session.SetVrg(0, 5, 0);
  session.SetVrg(1, 6, 0);
  auto menus = BuildCommandMenus(TargetsOf(session));
  EXPECT_EQ(Captions(*Child(menus[4], "Все подключенные ВРГ   ")),
            (std::vector<std::string>{"Нитка 1", "Все нитки ВРГ"}));

  // A count above four is one VRG; a run count past three is three.
  session.vrg_params[0] = 9;
  session.SetVrg(0, 5, 200);
  menus = BuildCommandMenus(TargetsOf(session));
  EXPECT_EQ(Captions(menus[4]).size(), 2u);
  EXPECT_EQ(Captions(*Child(menus[4], "ВРГ 1 (адр. 5)")).size(), 4u);
}

TEST(CommandTexts, MarkersOfThePeriodCommandsShareOneColumn) {
  size_t column = 0;
  for (int code : {4, 5, 6, 8, 9, 10}) {
    const std::string& caption = CommandMenuCaption(code);
    const std::string marker = code == 4 || code == 8   ? "ЧАС"
                               : code == 5 || code == 9 ? "СУТКИ"
                                                        : "ВСЕ";
    ASSERT_GE(caption.size(), marker.size());
    EXPECT_EQ(caption.substr(caption.size() - marker.size()), marker) << code;
    const size_t at = Utf8Length(caption) - Utf8Length(marker);
    if (column == 0) column = at;
    EXPECT_EQ(at, column) << code;
    EXPECT_EQ(caption[caption.size() - marker.size() - 1], ' ');
  }
}

TEST(CommandTexts, DescriptionsLabelsAndDialogTitles) {
  const CommandTargets targets = DemoTargets();
  CommandFields hours{8, 0, 0, 255, 15, 3, 5, 8, 15, 3, 6, 10};
  CommandTexts t = DescribeCommand(hours, targets);
  EXPECT_EQ(t.second_line, "за период c 05.03.15 08ч по 06.03.15 10ч");
  EXPECT_EQ(t.second_line.find("c "), std::string("за период ").size());  // a Latin c
  EXPECT_EQ(t.target, "Сервер 1, ВРГ 1 (адр. 5), все нитки.");
  EXPECT_EQ(CommandLabel(t),
            "Опросить и отправить часовые данные ВРГ за период c 05.03.15 08ч по 06.03.15 10ч"
            "\r\nСервер 1, ВРГ 1 (адр. 5), все нитки.");

  CommandFields last_day{5, 0, 255, 0};
  t = DescribeCommand(last_day, targets);
  EXPECT_EQ(t.second_line, "за последние окончившиеся контр. сутки");
  EXPECT_EQ(t.target, "все ВРГ, н.1");

  // No target and no second line: one line with a trailing blank.
  t = DescribeCommand(CommandFields{2}, targets);
  EXPECT_TRUE(t.target.empty());
  EXPECT_EQ(CommandLabel(t), "Установить время контр. по часам ВРГ ");
  EXPECT_EQ(CommandLabel(DescribeCommand(CommandFields{11}, targets)),
            "Запросить состояние счета SIM-карты модема");

  EXPECT_EQ(CommandDialogTitle(CommandFields{4, 0, 1, 255}, targets),
            "Опросить часовые данные ВРГ за период в часах. ВРГ 2 (адр. 6). Все нитки.");
  EXPECT_EQ(CommandDialogTitle(CommandFields{9, 255, 255, 0}, targets),
            "Опросить и отправить суточные данные ВРГ за период в контрактных сутках. "
            "Все серверы. Все ВРГ. Нитка 1");
}

TEST(CommandRecord, BytesFromOffset210AreTheWriteRequest) {
  const CommandFields f{8, 0, 0, 255, 15, 3, 5, 8, 15, 3, 6, 10};
  const CommandRecord r = CommandRecord::Make(f, DescribeCommand(f, DemoTargets()));
  EXPECT_EQ(r.WriteDataLength(), 15u);
  EXPECT_EQ(Bytes(r.WriteData(), r.WriteData() + 15),
            (Bytes{15, 0, 12, 8, 0, 0, 255, 15, 3, 5, 8, 15, 3, 6, 10}));
  EXPECT_EQ(r.Texts().target, "Сервер 1, ВРГ 1 (адр. 5), все нитки.");
  for (size_t i = 225; i < kCommandRecordSize; ++i) ASSERT_EQ(r.bytes[i], 0) << i;

  // The last completed hour: 8 fields, the period bytes zero.
  const CommandRecord last = CommandRecord::Make(CommandFields{4, 0, 1, 0}, {});
  EXPECT_EQ(last.FieldCount(), 8);
  EXPECT_EQ(CommandFieldsToWrite(CommandFields{12}), 4);
}

TEST(CommDataModel, PeriodsAreRememberedByKindAndLastMeansZeros) {
  RememberedPeriods periods = RememberedPeriods::Today({2026, 3, 24, 15, 30, 0, 0});
  EXPECT_EQ(periods.day_end, (ShortDateTime{26, 3, 24, 0, 0, 0}));

  CommandFields f{4, 0, 0, 0, 9, 9, 9, 9, 9, 9, 9, 9};
  test::Shown<CommDataModel> hour(f, periods, "t");
  EXPECT_TRUE(hour.last_selected);
  EXPECT_FALSE(hour.period_enabled);
  EXPECT_EQ(hour.period_color, CommDataModel::kGreyColor);
  EXPECT_EQ(hour.last_caption, "за последний окончившийся час");
  EXPECT_EQ(hour.td_beg, (PickerDate{2026, 3, 24}));
  hour.OnApply();
  EXPECT_EQ(f, (CommandFields{4, 0, 0, 0}));

  test::Shown<CommDataModel> period(f, periods, "t");
  period.OnChoosePeriod();
  EXPECT_TRUE(period.period_enabled);
  period.SetBeginDate({2013, 5, 1});  // before the pickers' earliest date
  period.SetEndDate({2015, 3, 6});
  period.SetBeginHour(8);
  period.SetEndHour(24);  // not in the list: ignored
  period.OnApply();
  EXPECT_EQ(f, (CommandFields{4, 0, 0, 0, 14, 1, 1, 8, 15, 3, 6, 0}));
  EXPECT_EQ(periods.hour_start, (ShortDateTime{14, 1, 1, 8, 0, 0}));
  EXPECT_EQ(periods.day_start, (ShortDateTime{26, 3, 24, 0, 0, 0}));  // untouched

  // A day command hides the hours and writes hour 0.
  CommandFields d{6, 0, 0, 0};
  test::Shown<CommDataModel> day(d, periods, "t");
  EXPECT_FALSE(day.hour_lists_visible);
  EXPECT_EQ(day.last_caption, "за последние окончившиеся контрактные сутки");
  day.OnChoosePeriod();
  day.SetBeginHour(5);
  day.OnApply();
  EXPECT_EQ(d[7], 0);
  EXPECT_EQ(d[4], 26);
}

class CommandPanelTest : public ::testing::Test {
 protected:
  CommandPanelTest() {
    panel.on_change = [this] { enabled_trace.push_back(panel.buttons_enabled); };
  }

  const sim::Controller::CommandWrite& LastWrite() {
    EXPECT_TRUE(peer.controller.LastCommandWrite().has_value());
    static const sim::Controller::CommandWrite none;
    return peer.controller.LastCommandWrite() ? *peer.controller.LastCommandWrite() : none;
  }
  void ChoosePeriod(PickerDate from, int from_hour, PickerDate to, int to_hour) {
    dialogs.on_comm_data = [=](CommDataModel& m) {
      m.OnChoosePeriod();
      m.SetBeginDate(from);
      m.SetBeginHour(from_hour);
      m.SetEndDate(to);
      m.SetEndHour(to_hour);
      m.OnApply();
    };
  }

  test::SimPeer peer;
  test::FakeMonitorSession session;
  test::FakeMonitorDialogs dialogs;
  CommandHistory history;
  RememberedPeriods periods = RememberedPeriods::Today({2015, 3, 5, 0, 0, 0, 0});
  CommandPanel panel{peer.link, &peer.status, history, periods, session, dialogs};
  std::vector<bool> enabled_trace;
};

TEST_F(CommandPanelTest, HourCommandOverAPeriodWritesTwelveFields) {
  ChoosePeriod({2015, 3, 5}, 8, {2015, 3, 6}, 10);
  EXPECT_EQ(panel.NDoCommandClick(CommandTag(8, 0, 0, 255)), CommandOutcome::kDelivered);
  EXPECT_EQ(dialogs.comm_data_caption,
            "Опросить и отправить часовые данные ВРГ за период в часах. Сервер 1 ВРГ 1 (адр. 5). "
            "Все нитки.");
  const auto& w = LastWrite();
  EXPECT_EQ(w.first, 0);
  EXPECT_EQ(w.count, 12);
  EXPECT_EQ(w.values, (Bytes{8, 0, 0, 255, 15, 3, 5, 8, 15, 3, 6, 10}));
  EXPECT_EQ(history.Count(), 1);
  EXPECT_EQ(panel.label, CommandLabel(history.Current().Texts()));
  EXPECT_TRUE(panel.buttons_enabled);
  // Disabled first, enabled at the end.
  ASSERT_FALSE(enabled_trace.empty());
  EXPECT_FALSE(enabled_trace.front());
  // Progress was shown and cleared again.
  const auto& shown = peer.status.history;
  EXPECT_NE(std::find(shown.begin(), shown.end(),
                      std::pair<int, std::string>{2, "Запись в таблицу 15 (поля 0-11)"}),
            shown.end());
  EXPECT_EQ(peer.status.panels[2], "");

  // The same command for the last completed hour: 8 fields, period zero.
  dialogs.on_comm_data = [](CommDataModel& m) { m.OnApply(); };
  panel.NDoCommandClick(CommandTag(8, 0, 0, 255));
  EXPECT_EQ(LastWrite().values, (Bytes{8, 0, 0, 255, 0, 0, 0, 0}));
}

TEST_F(CommandPanelTest, CommandTextOfAToolBuildsTheSameWrite) {
  CommandFields f{};
  std::string error;
  ASSERT_TRUE(ParseCommandText("8 server 1 vrg 1 all runs hours 2015-03-05T08..2015-03-06T10",
                               TargetsOf(session), f, error))
      << error;
  EXPECT_EQ(panel.RunCommand(f), CommandOutcome::kDelivered);
  EXPECT_EQ(LastWrite().count, 12);
  EXPECT_EQ(Bytes(LastWrite().values.begin() + 4, LastWrite().values.end()),
            (Bytes{15, 3, 5, 8, 15, 3, 6, 10}));
  EXPECT_EQ(dialogs.comm_data_opened, 0);

  const CommandTargets t = TargetsOf(session);
  EXPECT_TRUE(ParseCommandText("6 all vrgs run 2 days 2015-02-28..2015-03-01", t, f, error));
  EXPECT_EQ(f, (CommandFields{6, 0, 255, 1, 15, 2, 28, 0, 15, 3, 1, 0}));
  EXPECT_TRUE(ParseCommandText("4 vrg 2 run 1", t, f, error));  // the last completed hour
  EXPECT_EQ(f, (CommandFields{4, 0, 1, 0}));
  // Refused: a run VRG 2 lacks, a third server, a day period on an hour
  // command, an impossible date, a target the code has no choice of.
  for (const char* bad : {"4 vrg 2 run 2", "1 server 3 vrg 1 run 1", "4 vrg 1 run 1 days last",
                          "5 vrg 1 run 1 days 2015-02-29..2015-03-01", "2 server 1", "14", "8"}) {
    EXPECT_FALSE(ParseCommandText(bad, t, f, error)) << bad;
    EXPECT_FALSE(error.empty());
  }
}

TEST_F(CommandPanelTest, RestartCancelAndRefusedPaymentAskOnceAndStoreNothing) {
  // A restart from the menu asks nothing and writes no command.
  EXPECT_EQ(panel.NDoCommandClick(kRestartCode), CommandOutcome::kDelivered);
  EXPECT_EQ(peer.controller.RestartCount(), 1);
  const size_t sent = peer.requests.size();
  dialogs.on_comm_data = [](CommDataModel& m) { m.OnCancel(); };
  EXPECT_EQ(panel.NDoCommandClick(CommandTag(5, 0, 0, 0)), CommandOutcome::kCancelled);
  peer.host.answers = {false};
  EXPECT_EQ(panel.NDoCommandClick(CommandTag(13)), CommandOutcome::kCancelled);
  ASSERT_EQ(peer.host.shown.size(), 1u);
  EXPECT_EQ(peer.host.shown[0].line2, "оплатить трафик?");
  EXPECT_TRUE(peer.Requests(2).empty());
  EXPECT_EQ(peer.requests.size(), sent);  // the cancels sent nothing at all
  EXPECT_TRUE(history.Empty());
  EXPECT_FALSE(panel.buttons_enabled);  // nothing to repeat yet

  peer.host.answers = {true};
  EXPECT_EQ(panel.NDoCommandClick(CommandTag(13)), CommandOutcome::kDelivered);
  EXPECT_EQ(LastWrite().values, (Bytes{13, 0, 0, 0}));
  // With a history, a cancel gives the buttons back.
  dialogs.on_comm_data = [](CommDataModel& m) { m.OnCancel(); };
  panel.NDoCommandClick(CommandTag(5, 0, 0, 0));
  EXPECT_TRUE(panel.buttons_enabled);
}

TEST_F(CommandPanelTest, FailedWriteIsOfferedAgainAndRepeatSendsTheCurrentEntry) {
  peer.silent = 1;
  peer.host.answers = {true};  // "Повторить попытку?" - yes
  EXPECT_EQ(panel.NDoCommandClick(CommandTag(2)), CommandOutcome::kDelivered);
  ASSERT_EQ(peer.host.shown.size(), 1u);
  EXPECT_EQ(peer.host.shown[0].kind, kMessageRetry);
  EXPECT_EQ(peer.host.shown[0].line1, "Не выполнена запись в таблицу 15.");
  EXPECT_EQ(peer.Requests(2).size(), 2u);
  EXPECT_EQ(history.Count(), 1);

  // Repeat: the same bytes again, history and label unchanged.
  const std::string label = panel.label;
  EXPECT_EQ(panel.OnRepeatClick(), CommandOutcome::kDelivered);
  EXPECT_EQ(peer.Requests(2).size(), 3u);
  EXPECT_EQ(peer.Requests(2)[2].values, peer.Requests(2)[1].values);
  EXPECT_EQ(history.Count(), 1);
  EXPECT_EQ(panel.label, label);

  // Giving up: failed, the command stays in the history, the buttons come back.
  peer.silent = 1;
  EXPECT_EQ(panel.OnRepeatClick(), CommandOutcome::kFailed);
  EXPECT_TRUE(panel.buttons_enabled);
}

TEST_F(CommandPanelTest, LostModemLinkLeavesTheButtonsOff) {
  panel.NDoCommandClick(CommandTag(12));
  ASSERT_TRUE(panel.buttons_enabled);
  peer.link.connection_kind = ConnectionKind::kPhone;
  peer.carrier_drops = 1;
  EXPECT_EQ(panel.OnRepeatClick(), CommandOutcome::kFailed);
  EXPECT_EQ(peer.link.result_code, kResultCarrierLost);
  EXPECT_FALSE(panel.buttons_enabled);
  for (const auto& m : peer.host.shown) EXPECT_NE(m.kind, kMessageRetry);
}

TEST_F(CommandPanelTest, HistoryWindowChoosesSendsOrClears) {
  panel.NDoCommandClick(CommandTag(2));
  panel.NDoCommandClick(CommandTag(11));
  ASSERT_EQ(history.CurrentIndex(), 1);

  // Rows: " 1", then " 2" with its second-line row; row 0 is the first entry.
  dialogs.on_stored_comm = [](StoredCommModel& m) {
    m.OnSelectRow(0);
    m.OnAccept();
  };
  EXPECT_EQ(panel.OnStoredClick(10, 20), CommandOutcome::kDelivered);
  EXPECT_EQ(history.CurrentIndex(), 0);
  EXPECT_EQ(panel.label, "Установить время контр. по часам ВРГ ");
  EXPECT_EQ(peer.Requests(2).back().values, (Bytes{2, 0, 0, 0}));

  peer.host.answers = {true};
  dialogs.on_stored_comm = [](StoredCommModel& m) { m.OnEscape(); };
  panel.OnStoredClick(10, 20);
  EXPECT_TRUE(history.Empty());
  EXPECT_FALSE(panel.buttons_enabled);
  EXPECT_EQ(panel.label, "");
  panel.Refresh();  // the menu refresh leaves an empty history's buttons off
  EXPECT_FALSE(panel.buttons_enabled);
}

CommandRecord Numbered(int n, bool second_line = false) {
  CommandTexts t;
  t.short_name = "Команда " + std::to_string(n);
  if (second_line) t.second_line = "за период " + std::to_string(n);
  if (n % 2 == 0) t.target = "ВРГ " + std::to_string(n);
  return CommandRecord::Make(CommandFields{static_cast<uint8_t>(1 + n % 13)}, t);
}

TEST(CommandHistory, FiftyFirstCommandPushesOutTheOldest) {
  test::TempDir dir;
  CommandHistory h;
  for (int n = 1; n <= 51; ++n) h.Add(Numbered(n));
  EXPECT_EQ(h.Count(), 50);
  EXPECT_EQ(h.CurrentIndex(), 49);
  EXPECT_EQ(h.Entry(0).Texts().short_name, "Команда 2");
  EXPECT_EQ(h.Current().Texts().short_name, "Команда 51");

  const std::string path = dir.File(kHistoryFileName);
  ASSERT_TRUE(h.Save(path));
  struct stat st {};
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_size, 22102);
  CommandHistory loaded;
  ASSERT_TRUE(loaded.Load(path));
  EXPECT_EQ(loaded.Bytes(), h.Bytes());
  EXPECT_FALSE(loaded.SetCurrent(50));
  EXPECT_TRUE(loaded.SetCurrent(3));
  EXPECT_EQ(loaded.Current().Texts().short_name, "Команда 5");
}

TEST(CommandHistory, FilesOfAnotherSizeOrWithInconsistentContentsAreIgnored) {
  test::TempDir dir;
  const std::string path = dir.File(kHistoryFileName);
  CommandHistory good;
  good.Add(Numbered(1));
  good.Add(Numbered(2));
  const std::string bytes(reinterpret_cast<const char*>(good.Bytes().data()), good.Bytes().size());

  auto loads = [&](const std::string& content) {
    EXPECT_TRUE(WriteFileAtomically(path, content));
    CommandHistory h;
    h.Add(Numbered(7));  // whatever was held before goes
    const bool taken = h.Load(path);
    EXPECT_EQ(taken, !h.Empty());
    return taken;
  };
  EXPECT_TRUE(loads(bytes));
  EXPECT_FALSE(loads(bytes.substr(0, bytes.size() - 1)));
  EXPECT_FALSE(loads(bytes + '\0'));
  // Too many entries, the current index not below the count, an entry that
  // would write into another table when sent again, one with too many fields.
  const std::pair<size_t, char> corrupt[] = {{0, 51}, {1, 2}, {2 + 442 + 210, 3}, {2 + 212, 13}};
  for (const auto& [at, value] : corrupt) {
    std::string bad = bytes;
    bad[at] = value;
    EXPECT_FALSE(loads(bad)) << at;
  }

  CommandHistory missing;
  EXPECT_FALSE(missing.Load(dir.File("none.ini")));
  EXPECT_TRUE(missing.Empty());
}

TEST(StoredCommModel, RowsSelectionAndSizing) {
  test::FakeHost host;
  CommandHistory h;
  h.Add(Numbered(1));                        // no target, no second line: one row
  h.Add(Numbered(2, /*second_line=*/true));  // two rows
  h.Add(Numbered(3));
  h.SetCurrent(1);
  StoredCommModel m(host, h, 110, 220);
  m.OnShow(2);
  ASSERT_EQ(m.rows.size(), 4u);
  EXPECT_EQ(m.rows[0].number, " 1");
  EXPECT_EQ(m.rows[0].name, " Команда 1");
  EXPECT_EQ(m.rows[0].target, "");
  EXPECT_EQ(m.rows[1].target, " ВРГ 2");
  EXPECT_EQ(m.rows[2].number, "");
  EXPECT_EQ(m.rows[2].name, " за период 2");
  EXPECT_EQ(m.selected_row, 1);
  EXPECT_FALSE(m.grid_scroll_bar);
  EXPECT_EQ(m.grid_height, 4 * 21 + 1);
  EXPECT_EQ(m.panel_height, 2 + m.grid_height + 1);
  EXPECT_EQ(m.window_height, m.panel_height + 76);

  // The second-line row stands for its entry.
  m.OnSelectRow(2);
  m.OnAccept();
  EXPECT_EQ(m.result(), StoredCommModel::kChosen);
  EXPECT_EQ(h.CurrentIndex(), 1);
  m.OnShow();
  m.OnSelectRow(3);
  m.OnAccept();
  EXPECT_EQ(h.CurrentIndex(), 2);

  for (int n = 4; n <= 17; ++n) h.Add(Numbered(n));
  m.OnShow();
  EXPECT_EQ(m.rows.size(), 18u);
  EXPECT_TRUE(m.grid_scroll_bar);
  EXPECT_EQ(m.grid_height, 358);
}

TEST(StoredCommModel, ClearAsksAndEscapeDoesTheSame) {
  test::FakeHost host;
  CommandHistory h;
  h.Add(Numbered(1));
  test::Shown<StoredCommModel> m(host, h, 0, 0);
  m.OnEscape();  // "Нет"
  ASSERT_EQ(host.shown.size(), 1u);
  EXPECT_EQ(host.shown[0].kind, kMessageQuestion);
  EXPECT_EQ(host.shown[0].line2, "хотите очистить весь список?");
  EXPECT_TRUE(m.closed());
  EXPECT_EQ(m.result(), StoredCommModel::kNothing);
  EXPECT_EQ(h.Count(), 1);

  host.answers = {true};
  m.OnShow();
  m.OnClear();
  EXPECT_EQ(m.result(), StoredCommModel::kCleared);
  EXPECT_TRUE(h.Empty());
  for (uint8_t b : h.Bytes()) ASSERT_EQ(b, 0);
}

}  // namespace
}  // namespace kvarta
