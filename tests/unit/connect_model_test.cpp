// The connection dialog's checks and its phone kind, without a line: no
// port opens here.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "connection/abonent_model.h"
#include "connection/connect_model.h"
#include "connection/connector.h"
#include "link/controller_link.h"
#include "sim/embedded_simulator.h"
#include "support/fakes.h"
#include "support/no_dialogs.h"
#include "support/temp_dir.h"

namespace kvarta {
namespace {

class AbonentOpener : public test::NoDialogs {
 public:
  bool OpenAbonent(AbonentModel& m) override {
    if (on_abonent) on_abonent(m);
    return m.accepted();
  }
  std::function<void(AbonentModel&)> on_abonent;
};

class ConnectModelTest : public ::testing::Test {
 protected:
  ConnectModelTest() { store.Load(1024, 768); }
  std::unique_ptr<ConnectModel> Show() {
    auto m = std::make_unique<ConnectModel>(host, store, connector, opener);
    m->OnShow();
    return m;
  }
  std::string LastMessage() const {
    return host.shown.empty() ? "" : host.shown.back().line1 + "|" + host.shown.back().line2;
  }

  test::TempDir home;
  SettingsStore store{FoldersIn(home.path())};
  test::FakeHost host;
  test::FakeClock clock;
  ControllerLink link{host, clock};
  sim::SimulatorPortFactory no_ports{{}};  // never started: every port fails to open
  Connector connector{link, no_ports};
  AbonentOpener opener;
};

TEST_F(ConnectModelTest, ConnectChecksAddressAndPort) {
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

TEST_F(ConnectModelTest, PhoneKindTakesTheSubscribersAddress) {
  store.settings.curr.conn_prz = 1;
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
  EXPECT_EQ(store.settings.phone_book.users_num, 1);
  EXPECT_EQ(m->address.text, "17");
  EXPECT_TRUE(m->connect_enabled);

  m->OnKindChange(2);
  EXPECT_EQ(store.settings.curr.conn_prz, 2);
  EXPECT_TRUE(m->address_enabled);
  EXPECT_FALSE(m->search_enabled);
  EXPECT_EQ(m->address.text, "1");
}

}  // namespace
}  // namespace kvarta
