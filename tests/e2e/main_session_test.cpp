// The main window's session logic against a simulated controller: start-up,
// identification checks, write access, destroyed tables, keep-alive interval,
// menus and Disconnect.
#include "app/main_session.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "connection/connect_model.h"
#include "link/table_layout.h"
#include "support/fakes.h"
#include "support/no_dialogs.h"
#include "support/sim_session.h"

namespace kvarta {
namespace {

class FakeView : public MainWindowView {
 public:
  StatusBar& StatusBar1() override { return bar1; }
  StatusBar& StatusBar2() override { return bar2; }
  StatusBar& StatusBar3() override { return bar3; }
  void SetModemBarsVisible(bool v) override { modem_bars = v; }
  void SetModemPanelVisible(bool v) override { modem_panel = v; }
  bool ModemPanelVisible() const override { return modem_panel; }
  void SetCallDuration(const std::string& t) override { call_duration = t; }
  void HideTopMenus() override { menu = MainMenuState{}; }
  void ApplyMenuState(const MainMenuState& s) override { menu = s; }
  void ResetRepeatPanel() override { repeat_reset = true; }
  void Geometry(int& w, int& h, int& l, int& t) const override { w = 800, h = 600, l = 10, t = 20; }
  HostTimer& Timer(MainTimer t) override { return timers[static_cast<int>(t)]; }
  void SetTimerInterval(MainTimer t, int ms) override { intervals[static_cast<int>(t)] = ms; }
  bool RunConnectionDialog() override { return connect && connect(); }
  bool RunLogOn(LogOnModel& m) override {
    ++logons;
    m.SetCode(code);
    m.SetPassword(password);
    m.Accept();
    return true;
  }
  int RunTableState(TableWritePlan& plan) override {
    table_state_plan = plan;
    ++table_state_shown;
    return 0;
  }

  test::FakeTimer& timer(MainTimer t) { return timers[static_cast<int>(t)]; }
  int interval(MainTimer t) const { return intervals[static_cast<int>(t)]; }
  // Whether the first status bar's message panel ever showed text.
  bool Showed(const std::string& text) const {
    for (const auto& [panel, shown] : bar1.history) {
      if (panel == 2 && shown == text) return true;
    }
    return false;
  }

  test::FakeStatusBar bar1, bar2, bar3;
  bool modem_bars = false, modem_panel = false, repeat_reset = false;
  std::string call_duration;
  MainMenuState menu;
  test::FakeTimer timers[5];
  int intervals[5] = {};
  std::function<bool()> connect;
  std::string code = "1111", password = "111111";
  int logons = 0;
  int table_state_shown = 0;
  TableWritePlan table_state_plan;
};

class MainSessionTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(getcwd(old_cwd, sizeof old_cwd), old_cwd); }
  void TearDown() override {
    session.reset();
    EXPECT_EQ(chdir(old_cwd), 0);
  }
  void Start(const sim::SimulatorOptions& options = {},
             const std::function<void(sim::Controller&)>& prepare = {}) {
    session.reset();
    host.shown.clear();
    sim = std::make_unique<test::SimSession>(options, prepare);
    ASSERT_TRUE(sim->started);
    ASSERT_EQ(chdir(sim->home.path().c_str()), 0);  // sibling tools are looked for here
    session = std::make_unique<MainSession>(host, RealClock(), view, sim->folders(), 1280, 1024,
                                            sim->ports);
    view.connect = [this] {
      ConnectModel m(host, session->store(), session->connector(), dialogs);
      m.OnShow();
      if (!address.empty()) m.address.SetText(address);
      m.OnConnect();
      return m.result();
    };
  }
  std::string Messages() const {
    std::string all;
    for (const auto& w : host.shown) all += w.line1 + "|" + w.line2 + "\n";
    return all;
  }
  std::string Home() const { return sim->home.path(); }

  char old_cwd[4096] = {};
  test::FakeHost host;
  FakeView view;
  test::NoDialogs dialogs;
  std::string address;
  std::unique_ptr<test::SimSession> sim;
  std::unique_ptr<MainSession> session;
};

TEST_F(MainSessionTest, DirectStartUpIdentifiesLogsOnAndReadsTheStartTables) {
  Start();
  EXPECT_TRUE(view.timer(MainTimer::kStart).running);
  session->StartUp();
  EXPECT_EQ(Messages(), "");
  EXPECT_TRUE(session->facts().connection_established);
  EXPECT_TRUE(session->facts().write_access);
  EXPECT_EQ(view.logons, 1);
  EXPECT_EQ(view.bar1.panels[0], " COM1,   9600 бит/с");
  EXPECT_EQ(view.bar1.panels[1], " Адр. 1");
  EXPECT_EQ(session->facts().server_count, 2);
  EXPECT_EQ(session->facts().vrg_params_copy[0], 2);
  EXPECT_EQ(session->facts().server_labels.server1, "Сервер 1 (192.0.2.10: 5000)  ");
  // Table 20 field 4 of the simulated controller is 20: keep-alive every 19 s.
  EXPECT_EQ(view.interval(MainTimer::kRerun), 19000);
  EXPECT_TRUE(view.menu.Visible("Nsetting"));
  EXPECT_TRUE(view.menu.repeat_panel_visible);
  EXPECT_FALSE(view.menu.Visible("NProgr_Wr"));
  // A direct connection starts no phone timers.
  EXPECT_FALSE(view.timer(MainTimer::kControl).running);
  // The settings were saved after "Связаться".
  EXPECT_TRUE(std::filesystem::exists(Home() + "/INI/kvarta04.ini"));

  session->EndConnection();
  EXPECT_FALSE(session->facts().connection_established);
  EXPECT_FALSE(session->facts().write_access);
  EXPECT_FALSE(session->link().Connected());
  EXPECT_EQ(session->link().write_password[0], ' ');
  EXPECT_EQ(session->link().ident_code[0], ' ');
  EXPECT_FALSE(view.menu.Visible("NWorkPar"));
  EXPECT_TRUE(view.repeat_reset);
}

TEST_F(MainSessionTest, WriteAccessRefusedLeavesReducedMenus) {
  Start();
  view.password = "wrong";
  session->StartUp();
  EXPECT_TRUE(session->facts().connection_established);
  EXPECT_FALSE(session->facts().write_access);
  EXPECT_EQ(Messages(), "");  // the failed test is silent
  EXPECT_TRUE(view.menu.Visible("NWorkPar"));
  EXPECT_FALSE(view.menu.Visible("Nsetting"));
  EXPECT_FALSE(view.menu.repeat_panel_visible);
  EXPECT_EQ(session->facts().server_labels.server1, "Сервер 1");
}

TEST_F(MainSessionTest, IdentificationChecksStopTheStartUp) {
  struct Case {
    int field;
    uint8_t value;
    std::string message;
  };
  const Case cases[] = {
      {1, 63,
       "Тип подключенного контроллера kvr63 с версией ПО 4|"
       "Программа обслуживает контроллеры kvarta с версией ПО 4\n"},
      {3, 3,
       "Версия ПО подключенного контроллера 3|"
       "Программа обслуживает контроллеры kvarta только с версией ПО 4\n"},
      {17, 2, "Неизвестный код типа требуемого модема (2) в устройстве|\n"},
  };
  for (const Case& c : cases) {
    Start({}, [&c](sim::Controller& ctl) { *ctl.Field(0, c.field) = c.value; });
    session->StartUp();
    EXPECT_EQ(Messages(), c.message);
    EXPECT_EQ(host.shown.back().kind, kMessageInfo);
    EXPECT_FALSE(session->facts().connection_established);
    EXPECT_FALSE(session->link().Connected());
    EXPECT_FALSE(view.menu.Visible("NWorkPar"));
  }
}

TEST_F(MainSessionTest, BroadcastAddressIsReplacedByTheAnsweringOneAndSaved) {
  sim::SimulatorOptions options;
  options.address = 23;
  Start(options);
  address = "255";
  session->StartUp();
  ASSERT_TRUE(session->facts().connection_established) << Messages();
  EXPECT_EQ(session->store().settings.dir_conn.adr, 23);
  session->Close();
  std::ifstream ini(Home() + "/INI/kvarta04.ini");
  std::string text((std::istreambuf_iterator<char>(ini)), std::istreambuf_iterator<char>());
  EXPECT_NE(text.find("Adr=23"), std::string::npos) << text;
}

TEST_F(MainSessionTest, DestroyedTableIsShownAndTheTableStatesAreRead) {
  sim::SimulatorOptions options;
  options.destroyed_tables = {9};
  Start(options);
  session->StartUp();
  EXPECT_TRUE(view.Showed("Разрушена таблица 9"));
  EXPECT_TRUE(view.timer(MainTimer::kMessage).starts > 0);
  EXPECT_EQ(view.table_state_shown, 1);
  EXPECT_EQ(view.table_state_plan.destroyed[9], 1);
  EXPECT_EQ(view.table_state_plan.configuration[4], 1);
  session->ClearStatusMessage();
  EXPECT_EQ(view.bar1.panels[2], "");
}

TEST_F(MainSessionTest, KeepAliveIntervalFollowsTable20Field4) {
  // One second below the controller's wait, 9 s when that is out of 10..30.
  for (auto [value, interval] : {std::pair{45, 9000}, std::pair{30, 29000}}) {
    Start({}, [value](sim::Controller& ctl) { *ctl.Field(20, 4) = static_cast<uint8_t>(value); });
    session->StartUp();
    EXPECT_EQ(view.interval(MainTimer::kRerun), interval) << value;
  }
}

TEST_F(MainSessionTest, AControllerNameOfFullLengthSurvivesTheStartTables) {
  const std::string name = "Котельная №1 корп";  // 17 characters, the most the field holds
  Start({}, [&name](sim::Controller& ctl) {
    uint8_t* t3 = ctl.Field(3, 0);
    SetText(t3, Param(3, "name"), name);
    t3[layout::t3::kNameTerminator] = 'x';  // a controller that left no terminator
  });
  session->StartUp();
  const uint8_t* t3 = session->image().Table(3);
  EXPECT_EQ(t3[layout::t3::kNameTerminator], 0);
  EXPECT_EQ(GetText(t3, Param(3, "name")), name);
}

TEST_F(MainSessionTest, MenusFollowTheSiblingFiles) {
  Start();
  session->RefreshMainMenu();
  EXPECT_FALSE(view.menu.Visible("N8"));
  EXPECT_FALSE(view.menu.Visible("NProgr_Wr"));
  EXPECT_TRUE(view.menu.Visible("N4"));
  EXPECT_FALSE(view.menu.Visible("Nrdcnf"));
  EXPECT_FALSE(view.menu.Visible("NUser"));
  std::ofstream(Home() + "/session_reader") << "x";
  std::ofstream(Home() + "/fw_loader") << "x";
  session->RefreshMainMenu();
  EXPECT_TRUE(view.menu.Visible("N8"));
  EXPECT_TRUE(view.menu.Visible("NProgr_Wr"));

  session->StartUp();
  EXPECT_TRUE(view.menu.Visible("N8"));
  EXPECT_FALSE(view.menu.Visible("NProgr_Wr"));
  EXPECT_FALSE(view.menu.Visible("N7"));
  std::ofstream(Home() + "/admin_tools.so") << "x";
  session->RefreshMainMenu();
  EXPECT_TRUE(view.menu.Visible("N7"));
}

TEST_F(MainSessionTest, ConnectionDialogLeftWithoutConnectingKeepsTheProgramDisconnected) {
  Start();
  view.connect = [] { return false; };
  session->StartUp();
  EXPECT_FALSE(session->facts().connection_established);
  EXPECT_FALSE(view.menu.Visible("NWorkPar"));
  EXPECT_TRUE(view.menu.Visible("Nconnect"));
}

TEST_F(MainSessionTest, PhoneStartUpDialsLogsOnFirstAndStartsTheLineTimers) {
  sim::SimulatorOptions options;
  options.front = sim::FrontKind::kModem;
  Start(options);
  ConnectionSettings& s = session->store().settings;
  s.curr.conn_prz = 1;
  s.phone_book.users_num = 1;
  s.phone_book.slots[0] = Subscriber{"Котельная", 1, 1, "(044) 123-45-67"};
  session->StartUp();
  ASSERT_TRUE(session->facts().connection_established) << Messages();
  EXPECT_TRUE(session->modem_connected());
  EXPECT_EQ(view.logons, 1);  // before dialling
  EXPECT_TRUE(view.modem_panel);
  EXPECT_EQ(view.call_duration, "00:00:00");
  EXPECT_TRUE(view.timer(MainTimer::kMoney).running);
  EXPECT_TRUE(view.timer(MainTimer::kControl).running);
  EXPECT_TRUE(view.timer(MainTimer::kRerun).running);
  EXPECT_EQ(view.bar2.panels[0], " Котельная (тел. (044) 123-45-67)");
  EXPECT_EQ(session->link().connection_kind, ConnectionKind::kPhone);
  // The keep-alive poll goes through the call.
  session->KeepCallAlive();
  EXPECT_EQ(session->link().result_code, 0u);

  session->EndConnection();  // hangs up
  EXPECT_FALSE(session->modem_connected());
  EXPECT_FALSE(view.modem_panel);
  EXPECT_FALSE(view.modem_bars);
  EXPECT_FALSE(session->link().Connected());
}

TEST_F(MainSessionTest, AdapterStartUpProgramsTheAdapterThenIdentifies) {
  sim::SimulatorOptions options;
  options.front = sim::FrontKind::kAdapter;
  Start(options);
  session->store().settings.curr.conn_prz = 2;
  session->StartUp();
  ASSERT_TRUE(session->facts().connection_established) << Messages();
  EXPECT_TRUE(session->facts().write_access);
  EXPECT_TRUE(view.Showed("Соединение с адаптером установлено"));

  options.adapter.refuse = "at@l";
  Start(options);
  session->store().settings.curr.conn_prz = 2;
  session->StartUp();
  EXPECT_FALSE(session->facts().connection_established);
  EXPECT_EQ(Messages(), "Не удалось установить номер линии|\n");
  EXPECT_FALSE(session->link().Connected());
}

TEST_F(MainSessionTest, CallDurationCountsSeconds) {
  Start();
  for (int i = 0; i < 61; ++i) session->CountCallSecond();
  EXPECT_EQ(view.call_duration, "00:01:01");
}

}  // namespace
}  // namespace kvarta
