// The connection dialog and the device search dialog against a simulated
// controller on a pseudo-terminal.
#include <gtest/gtest.h>

#include "connection/connect_model.h"
#include "connection/device_search_model.h"
#include "support/fakes.h"
#include "support/no_dialogs.h"
#include "support/sim_session.h"

namespace kvarta {
namespace {

class ConnectDialogsTest : public ::testing::Test {
 protected:
  void StartSimulator(const sim::SimulatorOptions& options = {}) {
    sim = std::make_unique<test::SimConnection>(host, options);
    ASSERT_TRUE(sim->started);
  }
  std::string LastMessage() const {
    return host.shown.empty() ? "" : host.shown.back().line1 + "|" + host.shown.back().line2;
  }

  test::FakeHost host;
  test::NoDialogs opener;
  std::unique_ptr<test::SimConnection> sim;
};

TEST_F(ConnectDialogsTest, ConnectHandsTheDirectParametersToTheLink) {
  StartSimulator();
  SettingsStore* store = &sim->store;
  ControllerLink& link = sim->link;
  store->settings.curr.protokol = 3;
  store->settings.dir_conn.chan_ind = 5;
  store->settings.dir_conn.wait_time = 3;
  store->settings.dir_conn.repeat = 2;
  auto m = std::make_unique<ConnectModel>(host, *store, sim->connector, opener);
  m->OnShow();
  EXPECT_EQ(store->settings.curr.protokol, 0);  // reset on every opening
  EXPECT_EQ(store->settings.dir_conn.chan_ind, 0);
  EXPECT_EQ(m->kind.index, 0);
  EXPECT_TRUE(m->direct_panel_visible);
  EXPECT_FALSE(m->phone_panel_visible);
  EXPECT_EQ(m->address.text, "1");

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

TEST_F(ConnectDialogsTest, SearchFindsAddress17At9600) {
  sim::SimulatorOptions options;
  options.address = 17;
  options.listen_baud = 9600;
  StartSimulator(options);
  SettingsStore* store = &sim->store;
  SearchModel s(host, *store, sim->connector);
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
  EXPECT_FALSE(sim->link.Connected());
}

// A search stopped while it scans: ConnectionWindowsTest.SearchCannotBeClosedWhileScanningAndStops.
TEST_F(ConnectDialogsTest, SearchChecksItsFields) {
  StartSimulator();
  SearchModel s(host, sim->store, sim->connector);
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
  EXPECT_EQ(host.shown.size(), 3u);
  EXPECT_FALSE(sim->link.Connected());
}

}  // namespace
}  // namespace kvarta
