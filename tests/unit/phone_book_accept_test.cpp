// The phone book reaches the disk when its window is accepted, from the
// connection dialog and from the connection parameters, not only when the
// program closes.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

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

// Scripts the phone book windows; the parameter window opens the book.
class BookOpener : public test::NoDialogs {
 public:
  bool OpenAbonent(AbonentModel& m) override {
    m.SetName(name);
    m.SetAddressText("7");
    m.SetPhone("8 (044) 555-01-02");
    m.OnAccept();
    return m.accepted();
  }
  bool OpenAbonentsList(AbonentsListModel& m) override {
    if (on_list) on_list(m);
    return m.accepted();
  }
  bool OpenConnPar(ConnParModel& m) override {
    m.OnPhoneBookButton();
    m.OnExit();  // the parameter window itself is left without "Принять"
    return false;
  }
  std::string name = "Котельная";
  std::function<void(AbonentsListModel&)> on_list;
};

class PhoneBookAcceptTest : public ::testing::Test {
 protected:
  PhoneBookAcceptTest() {
    store.Load(1024, 768);
    store.settings.curr.conn_prz = static_cast<uint8_t>(ConnectionKind::kPhone);
  }
  PhoneBook OnDisk() const { return LoadPhoneBook(store.folders().PhoneBookPath()); }

  test::TempDir home;
  SettingsStore store{FoldersIn(home.path())};
  test::FakeHost host;
  test::FakeClock clock;
  ControllerLink link{host, clock};
  sim::SimulatorPortFactory no_ports{{}};
  Connector connector{link, no_ports};
  BookOpener opener;
};

TEST_F(PhoneBookAcceptTest, AcceptedListIsOnDiskAtOnceAndACancelledOneIsNot) {
  ConnectModel m(host, store, connector, opener);
  m.OnShow();
  opener.on_list = [](AbonentsListModel& l) {
    l.OnAdd();
    l.OnCancel();  // "Отменить" and no to keeping the changes
  };
  m.OnSubscriberListButton();
  EXPECT_FALSE(std::filesystem::exists(store.folders().PhoneBookPath()));

  opener.on_list = [](AbonentsListModel& l) {
    l.OnAdd();
    l.OnAccept();
  };
  m.OnSubscriberListButton();
  EXPECT_EQ(OnDisk(), store.settings.phone_book);
  EXPECT_EQ(OnDisk().slots[0].name, "Котельная");
  // Nothing is left for the save at close to write again.
  EXPECT_EQ(store.snapshot.phone_book, store.settings.phone_book);
}

TEST_F(PhoneBookAcceptTest, BookAcceptedFromTheParameterWindowIsSavedToo) {
  ConnectModel m(host, store, connector, opener);
  m.OnShow();
  opener.name = "ГРС Северная";
  opener.on_list = [](AbonentsListModel& l) {
    l.OnAdd();
    l.OnAccept();
  };
  m.OnChangeParams();
  EXPECT_EQ(OnDisk().slots[0].name, "ГРС Северная");
}

}  // namespace
}  // namespace kvarta
