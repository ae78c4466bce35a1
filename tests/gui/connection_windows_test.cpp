// The connection windows and the log-on window driven through their widgets,
// with a simulated controller on a pseudo-terminal where a window talks to
// the line.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QHeaderView>
#include <QProgressBar>

#include "connection/abonent_model.h"
#include "connection/abonents_list_model.h"
#include "connection/conn_par_model.h"
#include "connection/device_search_model.h"
#include "connection/imit_modem_model.h"
#include "gui/config/form_short_us_pass.h"
#include "gui/connection/form_abonent.h"
#include "gui/connection/form_abonents_list.h"
#include "gui/connection/form_conn_par.h"
#include "gui/connection/form_connect.h"
#include "gui/connection/form_imit_modem.h"
#include "gui/connection/form_search.h"
#include "gui/connection/qt_connect_dialogs.h"
#include "gui/gui_support.h"
#include "gui/link/qt_host.h"
#include "link/message_window.h"

namespace kvarta::gui {
namespace {

void FillAbonent(QWidget* w, const char* name, const char* address, const char* phone) {
  Retype(Child<QLineEdit>(w, "NameEdit"), name);
  Retype(Child<QComboBox>(w, "AddressList")->lineEdit(), address);
  Retype(Child<QLineEdit>(w, "PhoneEdit"), phone);
  QTest::mouseClick(Child<QPushButton>(w, "BitBtn1"), Qt::LeftButton);
}

class ConnectionWindowsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host.message_override = [this](const MessageWindowModel& m) {
      messages.push_back(m);
      return answer_yes;
    };
    StartSimulator({});
  }
  void StartSimulator(const sim::SimulatorOptions& options) {
    sim = std::make_unique<test::SimConnection>(host, options);
    ASSERT_TRUE(sim->started);
    store = &sim->store;
  }
  Connector& connector() { return sim->connector; }
  std::string Last() const {
    return messages.empty() ? "" : messages.back().line1 + "|" + messages.back().line2;
  }

  QtHost host;
  QtConnectDialogs opener{host, nullptr};
  std::vector<MessageWindowModel> messages;
  bool answer_yes = false;
  std::unique_ptr<test::SimConnection> sim;
  SettingsStore* store = nullptr;
};

TEST_F(ConnectionWindowsTest, WindowsShowWhatTheirModelsSay) {
  ConnectModel connect(host, *store, connector(), opener);
  connect.OnShow();
  TFormConnect form_connect(connect);
  EXPECT_EQ(Child<QComboBox>(&form_connect, "AddressList")->count(), 255);
  EXPECT_EQ(Child<QComboBox>(&form_connect, "AddressList")->currentText(), "1");

  for (ConnectionKind kind :
       {ConnectionKind::kDirect, ConnectionKind::kPhone, ConnectionKind::kAdapter}) {
    ConnParModel params(host, store->settings, kind, opener);
    params.OnShow();
    TFormConn_Par form(params);
    EXPECT_EQ(form.windowTitle(), QString::fromStdString(params.title));
    EXPECT_EQ(form.height(), params.height);
    EXPECT_EQ(!Child<QWidget>(&form, "PhonePanel")->isHidden(), kind == ConnectionKind::kPhone);
    EXPECT_EQ(!Child<QWidget>(&form, "AdapterPanel")->isHidden(), kind == ConnectionKind::kAdapter);
  }

  AbonentsListModel list(host, store->settings.phone_book, opener);
  list.OnShow();
  TFormAbonents_List form_list(list);
  auto* grid = Child<QTableWidget>(&form_list, "StringGrid1");
  ASSERT_EQ(grid->columnCount(), 4);
  EXPECT_EQ(grid->horizontalHeaderItem(3)->text(), "№ телефона");

  SearchModel search(host, *store, connector());
  search.OnShow();
  TFormSearch form_search(search, host);
  EXPECT_EQ(Child<QLineEdit>(&form_search, "FirstWaitEdit")->text(), "300");
  EXPECT_FALSE(Child<QPushButton>(&form_search, "StopButton")->isEnabled());
}

TEST_F(ConnectionWindowsTest, ConnectKindListSwitchesThePanels) {
  std::vector<bool> modem_bars;
  ConnectModel::MainWindowHooks hooks;
  hooks.set_modem_bars_visible = [&](bool v) { modem_bars.push_back(v); };
  ConnectModel model(host, *store, connector(), opener, hooks);
  auto form = Opened<TFormConnect>(model);
  auto* kind = Child<QComboBox>(form.get(), "KindList");
  auto* direct = Child<QWidget>(form.get(), "DirectPanel");
  auto* phone = Child<QWidget>(form.get(), "PhonePanel");
  auto* address = Child<QComboBox>(form.get(), "AddressList");
  EXPECT_FALSE(direct->isHidden());
  EXPECT_TRUE(phone->isHidden());

  QTest::keyClick(kind, Qt::Key_Down);  // "Связь по телефону"
  EXPECT_EQ(store->settings.curr.conn_prz, 1);
  EXPECT_TRUE(direct->isHidden());
  EXPECT_FALSE(phone->isHidden());
  EXPECT_FALSE(address->isEnabled());
  auto* subscriber = Child<QComboBox>(form.get(), "SubscriberList");
  ASSERT_EQ(subscriber->count(), 1);
  EXPECT_EQ(subscriber->itemText(0), "Новый абонент");
  EXPECT_EQ(subscriber->currentIndex(), -1);
  EXPECT_FALSE(Child<QPushButton>(form.get(), "ConnectButton")->isEnabled());
  ASSERT_FALSE(modem_bars.empty());
  EXPECT_TRUE(modem_bars.back());

  QTest::keyClick(kind, Qt::Key_Down);  // the line adapter
  EXPECT_EQ(store->settings.curr.conn_prz, 2);
  EXPECT_FALSE(direct->isHidden());
  EXPECT_TRUE(phone->isHidden());
  EXPECT_FALSE(Child<QPushButton>(form.get(), "SearchButton")->isEnabled());
  EXPECT_TRUE(address->isEnabled());
  EXPECT_FALSE(modem_bars.back());
}

TEST_F(ConnectionWindowsTest, NewSubscriberFromThePhoneKindsList) {
  store->settings.curr.conn_prz = 1;
  ConnectModel model(host, *store, connector(), opener);
  auto form = Opened<TFormConnect>(model);
  WhenShown("TFormAbonent", [](QWidget* w) { FillAbonent(w, "Котельная", "17", "123-45"); });
  QTest::keyClick(Child<QComboBox>(form.get(), "SubscriberList"), Qt::Key_Down);
  EXPECT_EQ(store->settings.phone_book.users_num, 1);
  EXPECT_EQ(Child<QComboBox>(form.get(), "SubscriberList")->currentText(), "Котельная");
  EXPECT_EQ(Child<QComboBox>(form.get(), "AddressList")->currentText(), "17");
  EXPECT_TRUE(Child<QPushButton>(form.get(), "ConnectButton")->isEnabled());
}

TEST_F(ConnectionWindowsTest, RunConnectDialogRefusesAddressZeroThenConnects) {
  std::vector<bool> visible_after_error;
  WhenShown("TFormConnect", [&](QWidget* w) {
    auto* address = Child<QComboBox>(w, "AddressList")->lineEdit();
    Retype(address, "0");
    QTest::mouseClick(Child<QPushButton>(w, "ConnectButton"), Qt::LeftButton);
    visible_after_error.push_back(w->isVisible());
    Retype(address, "7");
    QTest::mouseClick(Child<QPushButton>(w, "ConnectButton"), Qt::LeftButton);
  });
  EXPECT_TRUE(RunConnectDialog(nullptr, host, *store, connector(), {}));
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].kind, kMessageInputError);
  EXPECT_EQ(Last(), "Адрес вне допустимого диапазона|(1...255)");
  EXPECT_EQ(visible_after_error, std::vector<bool>{true});
  EXPECT_TRUE(sim->link.Connected());
  EXPECT_EQ(sim->link.address, 7);
  EXPECT_EQ(store->settings.dir_conn.adr, 7);
}

TEST_F(ConnectionWindowsTest, NumberEditsDropLettersButPassPercentAndApostrophe) {
  ConnParModel model(host, store->settings, ConnectionKind::kDirect, opener);
  auto form = Opened<TFormConn_Par>(model);
  auto* preambles = Child<QLineEdit>(form.get(), "PreamblesEdit");
  Retype(preambles, "1aя%2'-");
  EXPECT_EQ(preambles->text(), "1%2'");
  EXPECT_EQ(model.preambles.text, "1%2'");
  // The command edit takes any text.
  ConnParModel phone(host, store->settings, ConnectionKind::kPhone, opener);
  auto phone_form = Opened<TFormConn_Par>(phone);
  Retype(Child<QLineEdit>(phone_form.get(), "CommandEdit"), "ATZ%d");
  EXPECT_EQ(phone.command.text, "ATZ%d");
}

TEST_F(ConnectionWindowsTest, PhoneBookAddsSortsAndDeletesThroughItsButtons) {
  AbonentsListModel model(host, store->settings.phone_book, opener);
  auto form = Opened<TFormAbonents_List>(model);
  auto* grid = Child<QTableWidget>(form.get(), "StringGrid1");
  auto* add = Child<QPushButton>(form.get(), "AddButton");
  auto* remove = Child<QPushButton>(form.get(), "DeleteButton");
  EXPECT_FALSE(remove->isEnabled());
  EXPECT_FALSE(Child<QPushButton>(form.get(), "EditButton")->isEnabled());

  WhenShown("TFormAbonent", [](QWidget* w) { FillAbonent(w, "Школа", "3", "555"); });
  QTest::mouseClick(add, Qt::LeftButton);
  WhenShown("TFormAbonent", [](QWidget* w) { FillAbonent(w, "Аптека 50%", "12", "111"); });
  QTest::mouseClick(add, Qt::LeftButton);
  ASSERT_EQ(grid->rowCount(), 2);
  // Sorted by name; the new entry is the selection.
  EXPECT_EQ(grid->item(0, 0)->text(), "  1");
  EXPECT_EQ(grid->item(0, 1)->text(), " Аптека 50%");
  EXPECT_EQ(grid->item(0, 2)->text(), " 12");
  EXPECT_EQ(grid->item(1, 3)->text(), " 555");
  EXPECT_EQ(grid->currentRow(), 0);
  EXPECT_FALSE(form->HeaderEnabled(1));
  EXPECT_TRUE(form->HeaderEnabled(3));

  // The phone number header sorts by number; the selection stays on its entry.
  QHeaderView* header = grid->horizontalHeader();
  QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                    QPoint(header->sectionViewportPosition(3) + 5, header->height() / 2));
  EXPECT_EQ(grid->item(0, 1)->text(), " Аптека 50%");
  EXPECT_TRUE(form->HeaderEnabled(1));
  EXPECT_FALSE(form->HeaderEnabled(3));

  // Delete the second row after "Да".
  answer_yes = true;
  grid->setFocus();
  QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                    grid->visualItemRect(grid->item(1, 1)).center());
  EXPECT_EQ(grid->currentRow(), 1);
  QTest::mouseClick(remove, Qt::LeftButton);
  EXPECT_EQ(Last(), "Вы действительно хотите|удалить этот абонент?");
  ASSERT_EQ(grid->rowCount(), 1);
  EXPECT_EQ(grid->item(0, 1)->text(), " Аптека 50%");
  EXPECT_EQ(store->settings.phone_book.users_num, 0);  // only the working copy so far

  QTest::mouseClick(Child<QPushButton>(form.get(), "BitBtn1"), Qt::LeftButton);
  EXPECT_TRUE(model.accepted());
  EXPECT_FALSE(form->isVisible());
  ASSERT_EQ(store->settings.phone_book.users_num, 1);
  EXPECT_EQ(store->settings.phone_book.slots[0].name, "Аптека 50%");
  EXPECT_EQ(store->settings.phone_book.slots[0].contr_adr, 12);
}

TEST_F(ConnectionWindowsTest, LogOnEnterMovesToThePasswordAndAccepts) {
  LogOnModel model;
  model.SetCode("99");
  model.Show();
  TFormShortUsPass form(model);
  form.show();
  QApplication::setActiveWindow(&form);
  auto* code = Child<QLineEdit>(&form, "CodeEdit");
  auto* password = Child<QLineEdit>(&form, "PasswordEdit");
  EXPECT_EQ(code->echoMode(), QLineEdit::Password);
  EXPECT_EQ(password->echoMode(), QLineEdit::Password);
  EXPECT_EQ(code->text(), "");
  code->setFocus();
  Type(code, "1a2%9");  // the letter is dropped; 4 characters at most
  EXPECT_EQ(model.Code(), "12%9");
  QTest::keyClick(code, Qt::Key_Return);
  EXPECT_TRUE(password->hasFocus());
  EXPECT_TRUE(form.isVisible());
  Type(password, "Пароль");
  QTest::keyClick(password, Qt::Key_Return);
  EXPECT_FALSE(form.isVisible());
  ASSERT_TRUE(model.Accepted());
  EXPECT_EQ(std::string(model.ResultCode().begin(), model.ResultCode().end()), "12%9");
  const auto& p = model.ResultPassword();
  EXPECT_EQ(std::string(p.begin(), p.end()), "\xCF\xE0\xF0\xEE\xEB\xFC      ");  // cp1251
}

TEST_F(ConnectionWindowsTest, LogOnCancelKeepsNothing) {
  LogOnModel model;
  WhenShown("TFormShortUsPass", [](QWidget* w) {
    Type(Child<QLineEdit>(w, "CodeEdit"), "12");
    QTest::mouseClick(Child<QPushButton>(w, "BitBtn2"), Qt::LeftButton);
  });
  EXPECT_FALSE(RunLogOnDialog(nullptr, model));
  EXPECT_FALSE(model.Accepted());
}

TEST_F(ConnectionWindowsTest, SearchCannotBeClosedWhileScanningAndStops) {
  sim::SimulatorOptions options;
  options.listen_baud = 230400;  // never reached: the scan is stopped first
  StartSimulator(options);
  SearchModel model(host, *store, connector());
  auto form = Opened<TFormSearch>(model, host);
  Retype(Child<QLineEdit>(form.get(), "FirstWaitEdit"), "100");
  bool stop_enabled = false, search_enabled = true, still_open = false;
  QTimer::singleShot(250, form.get(), [&] {
    stop_enabled = Child<QPushButton>(form.get(), "StopButton")->isEnabled();
    search_enabled = Child<QPushButton>(form.get(), "SearchButton")->isEnabled();
    form->close();
    QTest::keyClick(form.get(), Qt::Key_Escape);
    still_open = form->isVisible() && form->Scanning();
    QTest::mouseClick(Child<QPushButton>(form.get(), "StopButton"), Qt::LeftButton);
  });
  QTest::mouseClick(Child<QPushButton>(form.get(), "SearchButton"), Qt::LeftButton);
  EXPECT_TRUE(stop_enabled);
  EXPECT_FALSE(search_enabled);
  EXPECT_TRUE(still_open);
  EXPECT_EQ(Last(), "Устройство не обнаружено|");
  EXPECT_EQ(messages.back().kind, kMessageExchange);
  EXPECT_TRUE(form->isVisible());
  EXPECT_TRUE(Child<QPushButton>(form.get(), "SearchButton")->isEnabled());
  EXPECT_FALSE(Child<QPushButton>(form.get(), "StopButton")->isEnabled());
  EXPECT_FALSE(sim->link.Connected());
  EXPECT_FALSE(model.found());
  EXPECT_EQ(store->settings.dir_conn.adr, 1);  // nothing found, nothing kept
  QTest::mouseClick(Child<QPushButton>(form.get(), "ExitButton"), Qt::LeftButton);
  EXPECT_FALSE(form->isVisible());
}

TEST_F(ConnectionWindowsTest, ImitationAnswersTheControllersModemCommand) {
  sim::SimulatorOptions options;
  options.expect_modem.enabled = true;
  options.expect_modem.every_ms = 300;  // the window may open the port late
  StartSimulator(options);
  ImitModemModel model(host, *store, connector());
  auto form = Opened<TFormImit_Modem>(model, host);
  auto* close = Child<QPushButton>(form.get(), "CloseButton");
  EXPECT_TRUE(close->isHidden());
  EXPECT_EQ(Child<QLabel>(form.get(), "TextLabel")->text(), "Ожидайте...");
  ASSERT_TRUE(QTest::qWaitFor([&] { return model.close_button_visible; }, 20000)) << Last();
  EXPECT_EQ(Child<QLabel>(form.get(), "TextLabel")->text(), "Отправлен ответ на АТ-команду");
  EXPECT_FALSE(close->isHidden());
  EXPECT_TRUE(Child<QLabel>(form.get(), "HintLabel")->isHidden());
  EXPECT_TRUE(messages.empty()) << Last();
  QTest::mouseClick(close, Qt::LeftButton);
  EXPECT_FALSE(form->isVisible());
}

TEST_F(ConnectionWindowsTest, ImitationEscapeOrCloseStopsTheWait) {
  for (bool by_escape : {true, false}) {
    SCOPED_TRACE(by_escape ? "Esc" : "close");
    ImitModemModel model(host, *store, connector());
    auto form = Opened<TFormImit_Modem>(model, host);
    // The wait runs inside the start timer and pumps the events itself, so
    // the user's action is a timer of its own.
    bool waiting = false, refused = false;
    int bar = 0;
    QTimer::singleShot(1300, form.get(), [&] {
      waiting = model.progress_timer_running;
      bar = Child<QProgressBar>(form.get(), "ProgressBar1")->value();
      if (by_escape) {
        QTest::keyClick(form.get(), Qt::Key_Escape);
      } else {
        form->close();
        refused = form->isVisible();
      }
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form->isVisible(); }, 5000));
    EXPECT_TRUE(waiting);
    EXPECT_GT(bar, 0);  // the progress timer moved the bar during the wait
    EXPECT_EQ(refused, !by_escape);
    EXPECT_TRUE(model.closed);
    EXPECT_FALSE(model.close_button_visible);
    EXPECT_TRUE(messages.empty()) << Last();
  }
}

}  // namespace
}  // namespace kvarta::gui
