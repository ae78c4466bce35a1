// The connection dialog's checks and its phone kind, without a line: no
// port opens here; and the phone book reaching the disk when its window is
// accepted, from the connection dialog and from the connection parameters,
// not only when the program closes.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>

#include "connection/abonent_model.h"
#include "connection/abonents_list_model.h"
#include "connection/conn_par_model.h"
#include "connection/connect_model.h"
#include "connection/connector.h"
#include "link/controller_link.h"
#include "sim/embedded_simulator.h"
#include "support/fakes.h"
#include "support/no_dialogs.h"
#include "support/temp_dir.h"

namespace kvarta {
namespace {

// Scripts the phone book windows; the parameter window opens the book and
// is left without "Принять".
class BookOpener : public test::NoDialogs {
 public:
  bool OpenAbonent(AbonentModel& m) override {
    if (on_abonent) on_abonent(m);
    return m.accepted();
  }
  bool OpenAbonentsList(AbonentsListModel& m) override {
    if (on_list) on_list(m);
    return m.accepted();
  }
  bool OpenConnPar(ConnParModel& m) override {
    m.OnPhoneBookButton();
    m.OnExit();
    return false;
  }
  std::function<void(AbonentModel&)> on_abonent;
  std::function<void(AbonentsListModel&)> on_list;
};

std::function<void(AbonentModel&)> Fill(const char* name, const char* address) {
  return [=](AbonentModel& a) {
    a.SetName(name);
    a.SetAddressText(address);
    a.SetPhone("8 (044) 555-01-02");
    a.OnAccept();
  };
}

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
  PhoneBook OnDisk() const { return LoadPhoneBook(store.folders().PhoneBookPath()); }

  test::TempDir home;
  SettingsStore store{FoldersIn(home.path())};
  test::FakeHost host;
  test::FakeClock clock;
  ControllerLink link{host, clock};
  sim::SimulatorPortFactory no_ports{{}};  // never started: every port fails to open
  Connector connector{link, no_ports};
  BookOpener opener;
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

  opener.on_abonent = Fill("Котельная", "17");
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

TEST_F(ConnectModelTest, AnAcceptedPhoneBookIsOnDiskAtOnceAndACancelledOneIsNot) {
  store.settings.curr.conn_prz = static_cast<uint8_t>(ConnectionKind::kPhone);
  auto m = Show();
  opener.on_abonent = Fill("Котельная", "7");
  opener.on_list = [](AbonentsListModel& l) {
    l.OnAdd();
    l.OnCancel();  // "Отменить" and no to keeping the changes
  };
  m->OnSubscriberListButton();
  EXPECT_FALSE(std::filesystem::exists(store.folders().PhoneBookPath()));

  opener.on_list = [](AbonentsListModel& l) {
    l.OnAdd();
    l.OnAccept();
  };
  m->OnSubscriberListButton();
  EXPECT_EQ(OnDisk(), store.settings.phone_book);
  EXPECT_EQ(OnDisk().slots[0].name, "Котельная");
  // Nothing is left for the save at close to write again.
  EXPECT_EQ(store.snapshot.phone_book, store.settings.phone_book);

  // Accepted from the parameter window, the book is saved too.
  opener.on_abonent = Fill("ГРС Северная", "7");
  m->OnChangeParams();
  const PhoneBook saved = OnDisk();
  EXPECT_EQ(saved.users_num, 2);
  EXPECT_TRUE(saved.slots[0].name == "ГРС Северная" || saved.slots[1].name == "ГРС Северная");
  EXPECT_EQ(saved, store.settings.phone_book);
}

}  // namespace
}  // namespace kvarta
