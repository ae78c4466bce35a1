// The connection dialog and the device search dialog, against a simulated
// controller on a pseudo-terminal that the port map names COM1.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <functional>

#include "connection/abonent_model.h"
#include "connection/abonents_list_model.h"
#include "connection/conn_par_model.h"
#include "connection/connect_dialogs.h"
#include "connection/connect_model.h"
#include "connection/connector.h"
#include "connection/device_search_model.h"
#include "connection/imit_modem_model.h"
#include "link/controller_link.h"
#include "platform/port_map.h"
#include "platform/posix_serial_port.h"
#include "sim/simulator.h"
#include "support/fakes.h"

namespace kvarta {
namespace {

class RecordingOpener : public ConnectDialogOpener {
 public:
  bool OpenAbonent(AbonentModel& m) override {
    if (on_abonent) on_abonent(m);
    return m.accepted();
  }
  bool OpenAbonentsList(AbonentsListModel& m) override { return m.accepted(); }
  bool OpenConnPar(ConnParModel& m) override { return m.accepted(); }
  void OpenSearch(SearchModel& m) override {
    if (on_search) on_search(m);
  }
  void OpenImitation(ImitModemModel&) override {}
  std::function<void(AbonentModel&)> on_abonent;
  std::function<void(SearchModel&)> on_search;
};

class ConnectDialogsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char dir[] = "/tmp/kvarta_connect_XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    home = dir;
    store = std::make_unique<SettingsStore>(FoldersIn(home));
    store->Load(1024, 768);
  }
  void TearDown() override { std::system(("rm -rf " + home).c_str()); }

  // Serves a simulated controller and names its terminal COM<n>.
  void StartSimulator(sim::SimulatorOptions options, int com = 1) {
    simulator = std::make_unique<sim::Simulator>(options);
    const std::string path = simulator->StartOnPty();
    ASSERT_FALSE(path.empty());
    MapPort(com, path);
  }
  void MapPort(int com, const std::string& path) {
    std::ofstream(store->folders().ini + "/" + kPortMapFileName, std::ios::app)
        << "COM" << com << "=" << path << "\n";
  }
  std::unique_ptr<ConnectModel> Show() {
    auto m = std::make_unique<ConnectModel>(host, *store, connector, opener);
    m->OnShow();
    return m;
  }
  std::string LastMessage() const {
    return host.shown.empty() ? "" : host.shown.back().line1 + "|" + host.shown.back().line2;
  }

  std::string home;
  std::unique_ptr<SettingsStore> store;
  test::FakeHost host;
  ControllerLink link{host, RealClock()};
  Connector connector{link, SystemPorts()};
  RecordingOpener opener;
  std::unique_ptr<sim::Simulator> simulator;
};

TEST_F(ConnectDialogsTest, ConnectHandsTheDirectParametersToTheLink) {
  StartSimulator({});
  store->settings.curr.protokol = 3;
  store->settings.dir_conn.chan_ind = 5;
  store->settings.dir_conn.wait_time = 3;
  store->settings.dir_conn.repeat = 2;
  auto m = Show();
  EXPECT_EQ(store->settings.curr.protokol, 0);  // reset on every opening
  EXPECT_EQ(store->settings.dir_conn.chan_ind, 0);
  EXPECT_EQ(m->kind.index, 0);
  EXPECT_TRUE(m->direct_panel_visible);
  EXPECT_FALSE(m->phone_panel_visible);
  EXPECT_EQ(m->address.text, "1");
  EXPECT_EQ(m->kind.items.size(), 3u);
  EXPECT_EQ(m->kind.items[2], "Связь через адаптер");

  m->address.SetText("7");
  m->OnConnect();
  ASSERT_TRUE(m->result()) << LastMessage();
  EXPECT_TRUE(m->closed());
  ASSERT_TRUE(link.Connected());
  EXPECT_EQ(link.address, 7);
  EXPECT_EQ(store->settings.dir_conn.adr, 7);
  EXPECT_EQ(link.baud_rate, 9600u);
  EXPECT_EQ(link.preamble_count, 5);
  EXPECT_EQ(link.answer_timeout_ms, 3000u);
  EXPECT_EQ(link.inter_byte_timeout_ms, 100u);
  EXPECT_EQ(link.attempts, 2);
}

TEST_F(ConnectDialogsTest, ConnectChecksAddressAndPort) {
  MapPort(1, "/nonexistent/tty");
  auto m = Show();
  for (const char* bad : {"0", "256", "abc"}) {
    m->address.SetText(bad);
    m->OnConnect();
    EXPECT_EQ(LastMessage(), "Адрес вне допустимого диапазона|(1...255)") << bad;
    EXPECT_EQ(host.shown.back().kind, kMessageInputError);
  }
  m->address.SetText("");
  m->OnConnect();
  EXPECT_EQ(LastMessage(), "Введены не все параметры|");
  m->address.SetText("5");
  m->OnConnect();
  EXPECT_EQ(LastMessage(), "Коммуникационный порт \u0421\u041e\u041c1 недоступен|");
  EXPECT_EQ(host.shown.back().kind, kMessageError);
  EXPECT_FALSE(m->result());
  EXPECT_FALSE(m->closed());
  EXPECT_FALSE(link.Connected());
}

TEST_F(ConnectDialogsTest, PhoneKindTakesTheSubscribersAddress) {
  store->settings.curr.conn_prz = 1;
  auto m = Show();
  // Empty phone book: only "Новый абонент", nothing chosen, no connecting.
  EXPECT_TRUE(m->phone_panel_visible);
  EXPECT_FALSE(m->address_enabled);
  EXPECT_EQ(m->subscriber.list.items, std::vector<std::string>{"Новый абонент"});
  EXPECT_EQ(m->address.text, "");
  EXPECT_FALSE(m->connect_enabled);
  m->OnConnect();
  EXPECT_EQ(LastMessage(), "Введены не все параметры|");

  opener.on_abonent = [](AbonentModel& a) {
    a.name.SetText("Котельная");
    a.SetAddressText("17");
    a.phone.SetText("(044) 123-45-67");
    a.OnAccept();
  };
  m->OnSubscriberChoose(0);
  EXPECT_EQ(store->settings.phone_book.users_num, 1);
  EXPECT_EQ(m->address.text, "17");
  EXPECT_TRUE(m->connect_enabled);

  m->OnKindChange(2);
  EXPECT_EQ(store->settings.curr.conn_prz, 2);
  EXPECT_TRUE(m->address_enabled);
  EXPECT_FALSE(m->search_enabled);
  EXPECT_EQ(m->address.text, "1");
}

TEST_F(ConnectDialogsTest, SearchFindsAddress17At9600) {
  sim::SimulatorOptions options;
  options.address = 17;
  options.listen_baud = 9600;
  StartSimulator(options);
  SearchModel s(host, *store, connector);
  s.OnShow();
  EXPECT_EQ(s.port.index, 0);
  EXPECT_EQ(s.first_wait.text, "300");
  std::vector<std::string> rates;
  s.on_progress = [&] {
    if (!s.rate_text.empty() && (rates.empty() || rates.back() != s.rate_text)) {
      rates.push_back(s.rate_text);
    }
  };
  s.first_wait.SetText("100");
  s.OnSearch();
  ASSERT_TRUE(s.found()) << LastMessage();
  EXPECT_EQ(LastMessage(), "Установлена связь с устройством|Адр. = 17.  Скорость обмена = 9600");
  EXPECT_EQ(host.shown.back().kind, kMessageExchange);
  ASSERT_EQ(rates.size(), 12u);
  EXPECT_EQ(rates.front(), "300");
  EXPECT_EQ(rates.back(), "9600");
  EXPECT_EQ(store->settings.dir_conn.adr, 17);
  EXPECT_EQ(store->settings.dir_conn.rate_ch0, 9600u);
  EXPECT_TRUE(s.closed());
  EXPECT_FALSE(link.Connected());
}

TEST_F(ConnectDialogsTest, SearchChecksItsFieldsAndCanBeStopped) {
  sim::SimulatorOptions options;
  options.listen_baud = 230400;  // never reached: the scan is stopped first
  StartSimulator(options);
  SearchModel s(host, *store, connector);
  s.OnShow();
  s.preambles.SetText("256");
  s.OnSearch();
  EXPECT_EQ(LastMessage(), "Вводите значения |согласно допустимому диапазону");
  s.preambles.SetText("0");
  s.first_wait.SetText("99");
  s.OnSearch();
  EXPECT_EQ(LastMessage(), "Вводите значения|согласно допустимому диапазону");
  s.first_wait.SetText("20001");
  s.OnSearch();
  EXPECT_EQ(LastMessage(), "Вводите значения|согласно допустимому диапазону");

  s.first_wait.SetText("100");
  int pumps = 0;
  host.on_pump = [&] {
    if (++pumps == 30) s.OnStop();
  };
  s.OnSearch();
  EXPECT_FALSE(s.found());
  EXPECT_EQ(LastMessage(), "Устройство не обнаружено|");
  EXPECT_TRUE(s.search_enabled);
  EXPECT_FALSE(s.stop_enabled);
  EXPECT_FALSE(link.Connected());
  EXPECT_EQ(store->settings.dir_conn.adr, 1);
}

}  // namespace
}  // namespace kvarta
