// The commands and monitoring windows on the main session against the
// simulated controller: the history kept in INI/comm_history.ini, the repeat
// panel through refresh and Disconnect, the command menus, and the menu
// entries of "Данные" and "Наладка".
#include "app/monitor_actions.h"

#include <gtest/gtest.h>

#include <cstring>

#include "app/main_session.h"
#include "connection/connect_model.h"
#include "monitor/command_texts.h"
#include "monitor_dialogs_fake.h"
#include "platform/atomic_file.h"
#include "sim/controller.h"
#include "sim/embedded_simulator.h"
#include "support/fakes.h"
#include "support/no_dialogs.h"
#include "support/temp_dir.h"

namespace kvarta {
namespace {

class MonitorView : public MainWindowView {
 public:
  StatusBar& StatusBar1() override { return bar1; }
  StatusBar& StatusBar2() override { return bar2; }
  StatusBar& StatusBar3() override { return bar3; }
  void SetModemBarsVisible(bool) override {}
  void SetModemPanelVisible(bool) override {}
  bool ModemPanelVisible() const override { return false; }
  void SetCallDuration(const std::string&) override {}
  void HideTopMenus() override {}
  void ApplyMenuState(const MainMenuState& s) override { menu = s; }
  void ResetRepeatPanel() override {}
  void Geometry(int& w, int& h, int& l, int& t) const override { w = 800, h = 600, l = 0, t = 0; }
  HostTimer& Timer(MainTimer t) override { return timers[static_cast<int>(t)]; }
  void SetTimerInterval(MainTimer, int) override {}
  bool RunConnectionDialog() override { return connect && connect(); }
  bool RunLogOn(LogOnModel& m) override {
    m.SetCode("1111");
    m.SetPassword("111111");
    m.Accept();
    return true;
  }
  void CloseMonitoringWindows() override { ++monitoring_closed; }
  void RebuildCommandMenus() override { ++menus_rebuilt; }
  MonitorDialogs* MonitorWindows() override { return windows ? &dialogs : nullptr; }
  void RepeatPanelChanged() override { ++panel_changes; }

  test::FakeStatusBar bar1, bar2, bar3;
  test::FakeTimer timers[5];
  MainMenuState menu;
  std::function<bool()> connect;
  test::FakeMonitorDialogs dialogs;
  bool windows = true;
  int monitoring_closed = 0;
  int menus_rebuilt = 0;
  int panel_changes = 0;
};

class MonitorActionsTest : public ::testing::Test {
 protected:
  void TearDown() override { session.reset(); }
  void Create(sim::SimulatorOptions options = {}) {
    simulator = std::make_unique<sim::SimulatorPortFactory>(options);
    ASSERT_TRUE(simulator->Start());
    session = std::make_unique<MainSession>(host, RealClock(), view, FoldersIn(home), 1280, 1024,
                                            *simulator);
    view.connect = [this] {
      ConnectModel m(host, session->store(), session->connector(), no_dialogs);
      m.OnShow();
      m.OnConnect();
      return m.result();
    };
  }
  void Connect() {
    session->StartUp();
    ASSERT_TRUE(session->facts().connection_established);
    ASSERT_TRUE(session->facts().write_access);
  }
  std::string HistoryFile() const { return home + "/INI/comm_history.ini"; }
  std::array<uint8_t, 12> Table15() {
    std::array<uint8_t, 12> t{};
    simulator->simulator().WithController(
        [&t](sim::Controller& c) { std::memcpy(t.data(), c.Field(15, 0), t.size()); });
    return t;
  }
  MonitorActions& monitor() { return session->monitor(); }

  test::TempDir temp;
  std::string home = temp.path();
  test::FakeHost host;
  MonitorView view;
  test::NoDialogs no_dialogs;
  std::unique_ptr<sim::SimulatorPortFactory> simulator;
  std::unique_ptr<MainSession> session;
};

CommandRecord Record(uint8_t code) {
  CommandFields f{};
  f[0] = code;
  CommandTargets none;
  return CommandRecord::Make(f, DescribeCommand(f, none));
}

TEST_F(MonitorActionsTest, TheHistoryComesFromItsFileAndGoesBackWithTheSettings) {
  {
    CommandHistory earlier;
    earlier.Add(Record(11));
    earlier.Add(Record(12));
    ASSERT_TRUE(CreateProgramFolders(FoldersIn(home)));
    ASSERT_TRUE(earlier.Save(HistoryFile()));
  }
  Create();
  EXPECT_EQ(monitor().history().Count(), 2);
  // Not connected: the label is known, the panel stays hidden.
  session->RefreshMainMenu();
  EXPECT_TRUE(session->facts().history_not_empty);
  EXPECT_EQ(session->facts().history_label, "Запросить остаток оплач. трафика ");
  EXPECT_FALSE(view.menu.repeat_panel_visible);
  EXPECT_FALSE(monitor().panel().buttons_enabled);

  Connect();
  // With write access the panel shows the current entry and its buttons work.
  EXPECT_TRUE(view.menu.repeat_panel_visible);
  EXPECT_TRUE(view.menu.repeat_buttons_enabled);
  EXPECT_TRUE(view.menu.rebuild_command_menus);
  EXPECT_EQ(view.menu.label, "Запросить остаток оплач. трафика ");
  EXPECT_TRUE(monitor().panel().buttons_enabled);
  EXPECT_EQ(monitor().panel().label, view.menu.label);

  // A new command is in the file once the settings are saved (the start-up's
  // save after "Связаться", and closing).
  EXPECT_EQ(monitor().RunCommandTag(CommandTag(2)), CommandOutcome::kDelivered);
  EXPECT_EQ(Table15()[0], 2);
  session->SaveSettings();
  CommandHistory saved;
  ASSERT_TRUE(saved.Load(HistoryFile()));
  EXPECT_EQ(saved.Count(), 3);
  EXPECT_EQ(saved.Current().Texts().short_name, "Установить время контр. по часам ВРГ");

  // Disconnect: the panel is reset and the open monitoring windows close.
  const int changes = view.panel_changes;
  session->EndConnection();
  EXPECT_FALSE(monitor().panel().buttons_enabled);
  EXPECT_EQ(monitor().panel().label, "");
  EXPECT_GT(view.panel_changes, changes);
  EXPECT_EQ(view.monitoring_closed, 2);  // the start-up's own Disconnect, then this one
  monitor().RunCommandTag(CommandTag(11));
  session->Close();
  ASSERT_TRUE(saved.Load(HistoryFile()));
  EXPECT_EQ(saved.Count(), 4);  // kept although the write could not be made
}

TEST_F(MonitorActionsTest, ACommandLeafAsksThePeriodWritesTableFifteenAndShowsItsLabel) {
  Create();
  Connect();
  // The menus follow the demo controller: two VRGs, two servers.
  const std::vector<CommandMenuItem> menus = monitor().CommandMenus();
  ASSERT_EQ(menus.size(), 14u);
  EXPECT_EQ(menus[7].name, "no8");
  EXPECT_EQ(menus[7].children.size(), 3u);  // server 1, server 2, all
  EXPECT_EQ(menus[7].children[0].caption, session->facts().server_labels.server1);

  view.dialogs.on_comm_data = [](CommDataModel& m) {
    m.OnChoosePeriod();
    m.SetBeginDate({2015, 3, 5});
    m.SetBeginHour(8);
    m.SetEndDate({2015, 3, 6});
    m.SetEndHour(10);
    m.OnApply();
  };
  const uint32_t tag = CommandTag(8, 0, 0, kAllTargets);
  EXPECT_EQ(monitor().RunCommandTag(tag), CommandOutcome::kDelivered);
  EXPECT_EQ(Table15(), (std::array<uint8_t, 12>{8, 0, 0, 255, 15, 3, 5, 8, 15, 3, 6, 10}));
  EXPECT_EQ(view.dialogs.comm_data_caption,
            "Опросить и отправить часовые данные ВРГ за период в часах. " +
                session->facts().server_labels.server1 + " ВРГ 1 (адр. 5). Все нитки.");
  EXPECT_EQ(monitor().panel().label,
            "Опросить и отправить часовые данные ВРГ за период c 05.03.15 08ч по 06.03.15 10ч\r\n"
            "Сервер 1, ВРГ 1 (адр. 5), все нитки.");
  EXPECT_TRUE(monitor().panel().buttons_enabled);

  // The period is remembered for the next hour command of this run.
  view.dialogs.on_comm_data = [](CommDataModel& m) {
    EXPECT_EQ(m.td_beg, (PickerDate{2015, 3, 5}));
    EXPECT_EQ(m.cb_end, 10);
    m.OnCancel();
  };
  EXPECT_EQ(monitor().RunCommandTag(CommandTag(4, 0, 1, 0)), CommandOutcome::kCancelled);
  EXPECT_EQ(monitor().history().Count(), 1);

  // The menu item of a leaf command sends through the menu handler; an item
  // with a sub-menu sends nothing by itself.
  monitor().RunMenuEntry("no8");
  EXPECT_EQ(monitor().history().Count(), 1);
  monitor().RunMenuEntry("no12");
  EXPECT_EQ(monitor().history().Count(), 2);
  EXPECT_EQ(Table15()[0], 12);
}

TEST_F(MonitorActionsTest, TheMonitoringEntriesOpenTheirWindowsOnWhatTheyRead) {
  sim::SimulatorOptions options;
  options.diag = std::vector<sim::DiagFlag>{{7, 6, 0, false}};
  Create(options);
  Connect();
  std::vector<std::string> diagnostics;
  view.dialogs.on_outo_control = [&](OutoControlModel& m) {
    m.OnShow();
    diagnostics = m.lines;
  };
  monitor().RunMenuEntry("N17");
  ASSERT_FALSE(diagnostics.empty());
  EXPECT_EQ(diagnostics.back(), "ВРГ №2. Нитка №2. Не получены  (STA_02)");

  std::string controller_time;
  view.dialogs.on_dt = [&](DtModel& m) {
    m.OnShow();
    controller_time = m.controller_time;
  };
  monitor().RunMenuEntry("N3");
  EXPECT_EQ(controller_time.size(), 8u);

  std::vector<std::string> devices;
  view.dialogs.on_sum_date_par = [&](SumDateParModel& m) {
    m.OnShow();
    for (const ClockRowView& row : m.vrg_rows) devices.push_back(row.device);
  };
  monitor().RunMenuEntry("N12");
  // The demo VRG clocks run -3 s and +5 s from the controller's.
  EXPECT_EQ(devices, (std::vector<std::string>{" ВРГ №2", " ВРГ №1", "", ""}));

  // The session record is saved into the program's COMMUNIC_SESSION.
  view.dialogs.on_seans_audit = [](SeansAuditModel& m) {
    EXPECT_FALSE(m.lines.empty());
    EXPECT_TRUE(m.OnSave());
  };
  view.dialogs.file_answers = {home + "/COMMUNIC_SESSION/record"};
  monitor().RunMenuEntry("NrMess");
  ASSERT_EQ(view.dialogs.save_specs.size(), 1u);
  EXPECT_EQ(view.dialogs.save_specs[0].initial_folder, home + "/COMMUNIC_SESSION");
  std::string saved;
  ASSERT_TRUE(ReadWholeFile(home + "/COMMUNIC_SESSION/record.txt", saved));
  EXPECT_FALSE(saved.empty());

  view.dialogs.file_answers = {home + "/COMMUNIC_SESSION/record.txt"};
  view.dialogs.on_seans_audit = [](SeansAuditModel& m) { EXPECT_TRUE(m.from_file()); };
  const int viewed = view.dialogs.viewer_opened;
  monitor().RunMenuEntry("N14");
  EXPECT_EQ(view.dialogs.viewer_opened, viewed + 1);

  // Recording mode and clearing write table 3 field 4.
  view.dialogs.on_need_seans_wr = [](NeedSeansWrModel& m) {
    m.OnChoose(2);
    m.OnAccept();
  };
  monitor().RunMenuEntry("N16");
  uint8_t mode = 0;
  simulator->simulator().WithController([&mode](sim::Controller& c) { mode = *c.Field(3, 4); });
  EXPECT_EQ(mode, 2);
  host.answers = {true};
  monitor().RunMenuEntry("N5");
  EXPECT_EQ(host.shown.back().line1, "Вы действительно хотите очистить буфер");
}

TEST_F(MonitorActionsTest, WithoutWindowsNothingIsAskedStoredOrSent) {
  Create();
  Connect();
  view.windows = false;
  EXPECT_EQ(monitor().RunCommandTag(CommandTag(4, 0, 0, 0)), CommandOutcome::kCancelled);
  monitor().RunMenuEntry("N16");
  EXPECT_TRUE(monitor().history().Empty());
  EXPECT_EQ(Table15()[0], 0);
  EXPECT_TRUE(MonitorActions::Handles("no14"));
  EXPECT_TRUE(MonitorActions::Handles("NrMess"));
  EXPECT_FALSE(MonitorActions::Handles("no15"));
  EXPECT_FALSE(MonitorActions::Handles("no0"));
  EXPECT_FALSE(MonitorActions::Handles("N13"));
}

}  // namespace
}  // namespace kvarta
