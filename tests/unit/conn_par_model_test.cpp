// The connection parameters window, the subscriber window and the phone
// book list window, driven as a user would.
#include "connection/conn_par_model.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "connection/abonent_model.h"
#include "connection/abonents_list_model.h"
#include "connection/dialog_opener.h"
#include "connection/number_input.h"
#include "connection/subscriber_choice.h"
#include "support/fakes.h"
#include "support/scripted_opener.h"
#include "support/shown.h"

namespace kvarta {
namespace {

using test::ScriptedOpener;

constexpr const char* kOutOfRange = "Параметр вне допустимого диапазона";

// A subscriber window that is filled in and accepted.
std::function<void(AbonentModel&)> Fill(const char* name, const char* address, const char* phone) {
  return [=](AbonentModel& m) {
    m.SetName(name);
    m.SetAddressText(address);
    m.SetPhone(phone);
    m.OnAccept();
  };
}

class ConnParTest : public ::testing::Test {
 protected:
  std::unique_ptr<ConnParModel> Show(ConnectionKind kind) {
    auto m = std::make_unique<ConnParModel>(host, settings, kind, opener);
    m->OnShow();
    return m;
  }
  // Shows the dialog, types text into one edit and presses "Принять".
  // Returns "ok" when accepted, else the message's two lines.
  std::string Try(ConnectionKind kind, EditBox ConnParModel::*edit, const std::string& text) {
    settings = ConnectionSettings{};
    host.shown.clear();
    auto m = Show(kind);
    ((*m).*edit).SetText(text);
    return Press(*m);
  }
  std::string Press(ConnParModel& m) {
    const size_t before = host.shown.size();
    m.OnAccept();
    if (m.accepted()) {
      EXPECT_EQ(host.shown.size(), before);
      return "ok";
    }
    if (host.shown.size() != before + 1) return "no message";
    const MessageWindowModel& w = host.shown.back();
    EXPECT_EQ(w.kind, kMessageInputError);
    EXPECT_EQ(w.caption, "Ошибка ввода параметров");
    return w.line1 + " / " + w.line2;
  }

  test::FakeHost host;
  ConnectionSettings settings;
  ScriptedOpener opener;
};

TEST(NumberKeyFilter, PassesDigitsBackspaceAndThePercentAndQuoteCodes) {
  for (int c : {int{'0'}, int{'5'}, int{'9'}, 8, 37, 39}) EXPECT_TRUE(NumberKeyAllowed(c)) << c;
  for (int c : {int{'a'}, int{'-'}, int{'+'}, int{' '}, int{'/'}, int{':'}, 13, 27, 0x0431})
    EXPECT_FALSE(NumberKeyAllowed(c)) << c;
}

TEST(ParseWholeNumber, AcceptsOnlyWholeNumbers) {
  EXPECT_EQ(ParseWholeNumber(" 120 "), 120);
  EXPECT_EQ(ParseWholeNumber("-3"), -3);
  EXPECT_EQ(ParseWholeNumber("99999999999999999999999"), INT64_MAX);
  for (const char* bad : {"", "12%", "'", "1 2", "-"}) EXPECT_FALSE(ParseWholeNumber(bad)) << bad;
}

TEST_F(ConnParTest, ShowsTheChosenKindsParameters) {
  settings.dir_conn.com_port = 3;
  settings.dir_conn.repeat = 4;
  settings.dir_conn.chan_ind = 5;
  settings.dir_conn.rate_ch5 = 230400;
  settings.dir_conn.preambles_ch5 = 0;
  auto m = Show(ConnectionKind::kDirect);
  EXPECT_FALSE(m->phone_panel_visible);
  EXPECT_FALSE(m->adapter_panel_visible);
  EXPECT_EQ(m->port.index, 2);
  EXPECT_EQ(m->rate.index, 21);
  EXPECT_EQ(m->first_wait.text, "2");
  EXPECT_EQ(m->next_wait.text, "100");
  EXPECT_EQ(m->preambles.text, "0");
  EXPECT_EQ(m->attempts.index, 3);

  settings.fon_conn.com_port = 44;  // read as 300 from the file
  auto phone = Show(ConnectionKind::kPhone);
  EXPECT_TRUE(phone->phone_panel_visible);
  EXPECT_EQ(phone->port.index, -1);
  EXPECT_EQ(phone->first_wait.text, "6");
  EXPECT_EQ(Press(*phone), "Введены не все параметры / ");
}

TEST_F(ConnParTest, StoresIntoTheSelectedChannelOfTheChosenKind) {
  settings.adap_conn.chan_ind = 5;
  auto direct = Show(ConnectionKind::kDirect);
  direct->port.Select(1);
  direct->rate.Select(15);
  direct->preambles.SetText("7");
  direct->first_wait.SetText("3");
  direct->next_wait.SetText("250");
  direct->OnAttemptsChange(2);
  EXPECT_EQ(direct->working().repeat, 3);  // at once, before "Принять"
  EXPECT_EQ(settings.dir_conn.repeat, 1);
  ASSERT_EQ(Press(*direct), "ok");
  EXPECT_TRUE(direct->closed());
  EXPECT_EQ(settings.dir_conn.com_port, 2);
  EXPECT_EQ(settings.dir_conn.rate_ch0, 19200u);
  EXPECT_EQ(settings.dir_conn.preambles_ch0, 7);
  EXPECT_EQ(settings.dir_conn.wait_time, 3u);
  EXPECT_EQ(settings.dir_conn.time_out, 250u);
  EXPECT_EQ(settings.dir_conn.repeat, 3);

  auto adapter = Show(ConnectionKind::kAdapter);
  adapter->rate.Select(1);
  adapter->preambles.SetText("9");
  ASSERT_EQ(Press(*adapter), "ok");
  EXPECT_EQ(settings.adap_conn.rate_ch5, 4800u);
  EXPECT_EQ(settings.adap_conn.preambles_ch5, 9);
  EXPECT_EQ(settings.adap_conn.rate_ch0, 9600u);
}

TEST_F(ConnParTest, ChecksEveryValueAtItsBordersAndNamesTheField) {
  const auto direct = ConnectionKind::kDirect, phone = ConnectionKind::kPhone;
  const std::string out = kOutOfRange, number = "Введите целое число";
  const std::string first = "Время ожидания первого байта ответа / ";
  const std::string next = "Время ожидания следующих байтов ответа / ";
  const std::string pre = "Количество преамбул в запросе / ";
  const std::string wait = "Ожидание соединения / ", tries = "Количество попыток соединения / ";
  const std::string missing = "Введены не все параметры / ";
  struct Case {
    ConnectionKind kind;
    EditBox ConnParModel::*edit;
    std::vector<const char*> passing, refused;
    std::string expected;  // for the refused texts
  };
  const Case cases[] = {
      {direct, &ConnParModel::first_wait, {"120", "1"}, {"121", "0"}, first + out},
      {direct, &ConnParModel::next_wait, {"5000", "55"}, {"54", "5001"}, next + out},
      {direct, &ConnParModel::preambles, {"0"}, {"256", "-1"}, pre + out},
      {direct, &ConnParModel::preambles, {}, {""}, missing},
      {direct, &ConnParModel::next_wait, {}, {""}, missing},
      {phone, &ConnParModel::connect_wait, {"360"}, {"361"}, wait + out},
      {phone, &ConnParModel::connect_attempts, {"10"}, {"11", "0"}, tries + out},
      // Text that is no number names its field.
      {phone, &ConnParModel::first_wait, {}, {"1%"}, first + number},
      {phone, &ConnParModel::next_wait, {}, {"'"}, next + number},
      {phone, &ConnParModel::preambles, {}, {"%%"}, pre + number},
      {phone, &ConnParModel::connect_wait, {}, {"abc"}, wait + number},
      {phone, &ConnParModel::connect_attempts, {}, {""}, tries + number},
  };
  for (const Case& c : cases) {
    for (const char* text : c.passing) EXPECT_EQ(Try(c.kind, c.edit, text), "ok") << text;
    for (const char* text : c.refused) {
      EXPECT_EQ(Try(c.kind, c.edit, text), c.expected) << text;
      EXPECT_EQ(settings, ConnectionSettings{}) << text;  // nothing stored
    }
  }
  // What passes is stored.
  Try(direct, &ConnParModel::first_wait, "120");
  EXPECT_EQ(settings.dir_conn.wait_time, 120u);
  Try(direct, &ConnParModel::preambles, "255");
  EXPECT_EQ(settings.dir_conn.preambles_ch0, 255);
  Try(phone, &ConnParModel::connect_wait, "360");
  EXPECT_EQ(settings.modem.connect_wait_time, 360u);
  Try(phone, &ConnParModel::connect_attempts, "10");
  EXPECT_EQ(settings.modem.conn_repeat, 10u);

  settings = ConnectionSettings{};
  auto m = Show(phone);
  m->command.SetText(std::string(250, 'A'));
  EXPECT_EQ(m->command.text.size(), 200u);
  m->command.SetText("AT+CBST=7,0,1^ATD");
  ASSERT_EQ(Press(*m), "ok");
  EXPECT_EQ(settings.modem.command, "AT+CBST=7,0,1^ATD");
}

TEST_F(ConnParTest, ChecksRunInOrderAndStoreNothingOnFailure) {
  auto m = Show(ConnectionKind::kDirect);
  m->port.Select(4);
  m->preambles.SetText("256");
  m->first_wait.SetText("121");
  EXPECT_EQ(Press(*m), "Количество преамбул в запросе / " + std::string(kOutOfRange));
  m->preambles.SetText("3");
  EXPECT_EQ(Press(*m), "Время ожидания первого байта ответа / " + std::string(kOutOfRange));
  EXPECT_EQ(settings, ConnectionSettings{});
  m->OnExit();
  EXPECT_TRUE(m->closed());
  EXPECT_FALSE(m->accepted());
  EXPECT_EQ(settings, ConnectionSettings{});
}

TEST_F(ConnParTest, AdapterListsAndTheCorrectionRules) {
  settings.adap_line.correction_on = 0;
  auto m = Show(ConnectionKind::kAdapter);
  EXPECT_EQ(m->rate.items, (std::vector<std::string>{"2400", "4800", "9600"}));
  EXPECT_EQ(m->rate.index, 2);
  EXPECT_EQ(m->line_num.index, 1);
  EXPECT_EQ(m->k_output.index, 230);
  EXPECT_EQ(m->k_input.index, 250);
  // Correction not required: unit and value controls off.
  EXPECT_EQ(m->correction_unit.index, -1);
  EXPECT_FALSE(m->correction_unit.enabled);
  EXPECT_FALSE(m->correction_unit_label_enabled);
  EXPECT_FALSE(m->correction_value.enabled);
  EXPECT_FALSE(m->plus_enabled);
  EXPECT_FALSE(m->minus_enabled);

  m->OnCorrectionChange(1);
  EXPECT_TRUE(m->correction_unit.enabled);
  EXPECT_EQ(m->correction_unit.index, 0);
  EXPECT_TRUE(m->correction_value.enabled);
  EXPECT_EQ(m->correction_value.text, "1900");
  EXPECT_EQ(m->range_text, "Диапазон:  1900...65536");
  EXPECT_TRUE(m->plus_checked);
  m->OnUnitChange(1);
  EXPECT_EQ(m->range_text, "Диапазон:  0...400");
  m->OnUnitChange(-1);
  EXPECT_EQ(m->correction_value.text, "");
  EXPECT_FALSE(m->correction_value.enabled);
  EXPECT_FALSE(m->range_label_enabled);
  EXPECT_EQ(Press(*m), "Введены не все параметры / ");
}

TEST_F(ConnParTest, CorrectionValueBordersAndSign) {
  const std::string value = "Значение для коррекции разности частот / ";
  struct Case {
    int unit;
    const char* text;
    bool ok;
  };
  for (const Case& c :
       {Case{0, "1900", true}, Case{0, "65536", true}, Case{0, "1899", false},
        Case{0, "65537", false}, Case{1, "0", true}, Case{1, "400", true}, Case{1, "401", false}}) {
    settings = ConnectionSettings{};
    settings.adap_line.correction_on = 1;
    auto m = Show(ConnectionKind::kAdapter);
    m->OnUnitChange(c.unit);
    m->correction_value.SetText(c.text);
    EXPECT_EQ(Press(*m), c.ok ? "ok" : value + kOutOfRange) << c.unit << " " << c.text;
    if (c.ok) {
      EXPECT_EQ(settings.adap_line.correction_value, std::stoi(c.text));
      EXPECT_EQ(settings.adap_line.correction_type, c.unit);
    } else {
      EXPECT_EQ(settings.adap_line, AdapterLineParams{.correction_on = 1});
    }
  }

  settings = ConnectionSettings{};
  settings.adap_line.correction_on = 1;
  auto m = Show(ConnectionKind::kAdapter);
  m->correction_value.SetText("2000");
  m->OnMinus();
  ASSERT_EQ(Press(*m), "ok");
  EXPECT_EQ(settings.adap_line.correction_value, -2000);
  auto again = Show(ConnectionKind::kAdapter);
  EXPECT_EQ(again->correction_value.text, "2000");
  EXPECT_TRUE(again->minus_checked);
  EXPECT_FALSE(again->plus_checked);

  // Without correction the stored unit and value stay as they were.
  again->OnCorrectionChange(0);
  again->k_input.Select(17);
  ASSERT_EQ(Press(*again), "ok");
  EXPECT_EQ(settings.adap_line.correction_on, 0);
  EXPECT_EQ(settings.adap_line.correction_value, -2000);
  EXPECT_EQ(settings.adap_line.k_input, 17);
}

TEST_F(ConnParTest, AdapterWithARateItCannotUseHasNoRateSelected) {
  settings.adap_conn.rate_ch0 = 19200;
  auto m = Show(ConnectionKind::kAdapter);
  EXPECT_EQ(m->rate.index, -1);
  EXPECT_EQ(Press(*m), "Введены не все параметры / ");
  EXPECT_EQ(settings.adap_conn.rate_ch0, 19200u);
}

TEST_F(ConnParTest, PhoneKindWithAnEmptyBookOffersANewSubscriber) {
  settings.phone_book.user_index = 3;
  auto m = Show(ConnectionKind::kPhone);
  EXPECT_EQ(m->subscriber.list.items, (std::vector<std::string>{"Новый абонент"}));
  EXPECT_EQ(m->subscriber.list.index, -1);
  EXPECT_EQ(m->phone_number, "");
  EXPECT_EQ(settings.phone_book.user_index, 3);

  m->OnSubscriberChoose(-1);  // no selection: nothing happens
  EXPECT_EQ(opener.abonent_opens, 0);

  m->OnSubscriberChoose(0);  // "Новый абонент", cancelled
  EXPECT_EQ(opener.abonent_opens, 1);
  EXPECT_EQ(m->subscriber.list.index, -1);
  EXPECT_EQ(settings.phone_book.users_num, 0);

  opener.on_abonent = [](AbonentModel& a) {
    EXPECT_EQ(a.mode(), AbonentModel::Mode::kAdd);
    Fill("Я", "12", "555")(a);
  };
  m->OnSubscriberChoose(0);
  EXPECT_EQ(settings.phone_book.users_num, 1);
  EXPECT_EQ(settings.phone_book.user_index, 0);
  EXPECT_EQ(m->subscriber.list.items, (std::vector<std::string>{"Я", "Новый абонент"}));
  EXPECT_EQ(m->subscriber.list.index, 0);
  EXPECT_EQ(m->phone_number, "555");

  // A second one is sorted in and stays selected.
  opener.on_abonent = Fill("Альфа", "3", "777");
  m->OnSubscriberChoose(1);
  EXPECT_EQ(m->subscriber.list.items, (std::vector<std::string>{"Альфа", "Я", "Новый абонент"}));
  EXPECT_EQ(m->subscriber.list.index, 0);
  EXPECT_EQ(m->phone_number, "777");
  m->OnSubscriberChoose(1);
  EXPECT_EQ(settings.phone_book.user_index, 1);
  EXPECT_EQ(m->phone_number, "555");

  // Leaving with "Выход" keeps the subscribers added meanwhile.
  m->OnExit();
  EXPECT_EQ(settings.phone_book.users_num, 2);
}

TEST_F(ConnParTest, PhoneBookButtonRefillsTheSubscriberList) {
  settings.phone_book.users_num = 1;
  settings.phone_book.slots[0] = {"Один", 1, 1, "1"};
  auto m = Show(ConnectionKind::kPhone);
  opener.on_list = [](AbonentsListModel& list) {
    list.OnRowClick(0);
    list.OnNameHeader();
    list.work.slots[0].phone_code = "22";
    list.OnAccept();
  };
  m->OnPhoneBookButton();
  EXPECT_EQ(opener.list_opens, 1);
  EXPECT_EQ(m->phone_number, "22");
  EXPECT_EQ(m->subscriber.list.index, 0);
}

PhoneBook Book(std::initializer_list<const char*> names) {
  PhoneBook book;
  for (const char* name : names) {
    book.slots[book.users_num] = {name, static_cast<uint8_t>(10 + book.users_num), 1,
                                  std::string("tel ") + name};
    ++book.users_num;
  }
  return book;
}

std::string Repeat(const std::string& s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

class AbonentTest : public ConnParTest {
 protected:
  std::string LastMessage() const {
    if (host.shown.empty()) return "none";
    const MessageWindowModel& w = host.shown.back();
    return std::to_string(w.kind) + ": " + w.line1 + " / " + w.line2;
  }
};

TEST_F(AbonentTest, SubscriberDialogChecksThenStoresAsTyped) {
  Subscriber slot{"старое", 5, 77, "1"};
  test::Shown<AbonentModel> m(host, slot, AbonentModel::Mode::kAdd);
  EXPECT_TRUE(m.focus_on_name);
  EXPECT_EQ(m.name.text, "");
  EXPECT_EQ(m.address.items.size(), 255u);
  m.SetName("Узел 100% \"А\"");
  m.SetPhone("8%d");
  m.OnAccept();
  EXPECT_EQ(LastMessage(), "2: Введены не все параметры / ");
  const std::string range = "2: Адрес вне допустимого диапазона / (1...255)";
  const std::pair<const char*, std::string> refused[] = {
      {"256", range}, {"0", range}, {"1a", "2: Адрес / Введите целое число"}};
  for (const auto& [text, message] : refused) {
    m.SetAddressText(text);
    m.OnAccept();
    EXPECT_EQ(LastMessage(), message) << text;
  }
  EXPECT_FALSE(m.accepted());
  EXPECT_EQ(slot.name, "старое");

  m.ChooseAddress(254);
  EXPECT_EQ(m.address_text, "255");
  m.OnAccept();
  ASSERT_TRUE(m.accepted());
  EXPECT_EQ(slot, (Subscriber{"Узел 100% \"А\"", 255, 77, "8%d"}));  // adr_modbus untouched
}

TEST_F(AbonentTest, SubscriberDialogEditsAndCutsLongInput) {
  Subscriber slot{"Имя", 42, 1, "123"};
  test::Shown<AbonentModel> m(host, slot, AbonentModel::Mode::kEdit);
  EXPECT_EQ(m.name.text, "Имя");
  EXPECT_EQ(m.address_text, "42");
  EXPECT_EQ(m.address.index, 41);
  EXPECT_EQ(m.phone.text, "123");
  m.SetName(std::string(30, 'x') + Repeat("ы", 30));
  EXPECT_EQ(m.name.text, std::string(30, 'x') + Repeat("ы", 19));  // 49 characters
  m.SetPhone(std::string(40, '9'));
  EXPECT_EQ(m.phone.text, std::string(29, '9'));
  m.OnCancel();
  EXPECT_TRUE(m.closed());
  EXPECT_FALSE(m.accepted());
  EXPECT_EQ(slot.name, "Имя");
}

TEST_F(AbonentTest, ListShowsSortedRowsAndHeaders) {
  PhoneBook book = Book({"Вокзал", "%s склад", "альфа"});
  book.slots[1].phone_code = "000";
  book.user_index = 0;
  test::Shown<AbonentsListModel> m(host, book, opener);
  ASSERT_EQ(m.cells.size(), 3u);
  EXPECT_EQ(m.cells[0], (std::array<std::string, 4>{"  1", " %s склад", " 11", " 000"}));
  EXPECT_EQ(m.cells[2][1], " Вокзал");
  EXPECT_EQ(m.row, 2);  // the selection followed "Вокзал"
  EXPECT_FALSE(m.name_header_enabled);
  EXPECT_TRUE(m.phone_header_enabled);
  EXPECT_TRUE(m.edit_enabled && m.delete_enabled && m.add_enabled);

  m.OnPhoneHeader();
  EXPECT_EQ(m.work.sort_prz, 1);
  EXPECT_EQ(m.cells[0][3], " 000");
  EXPECT_EQ(m.cells[m.row][1], " Вокзал");
  EXPECT_TRUE(m.name_header_enabled);
  EXPECT_FALSE(m.phone_header_enabled);
  EXPECT_EQ(book.sort_prz, 0);  // only the working copy so far
}

TEST_F(AbonentTest, DeletingTheFirstOfThreeKeepsTheFirstRow) {
  PhoneBook book = Book({"А", "Б", "В"});
  test::Shown<AbonentsListModel> m(host, book, opener);
  m.OnRowClick(0);
  m.OnDelete();  // answered "Нет"
  EXPECT_EQ(LastMessage(), "3: Вы действительно хотите / удалить этот абонент?");
  EXPECT_EQ(m.work.users_num, 3);
  host.answers.push_back(true);
  m.OnDelete();
  EXPECT_EQ(m.work.users_num, 2);
  EXPECT_EQ(m.row, 0);
  EXPECT_EQ(m.cells[0][1], " Б");
  EXPECT_EQ(m.work.slots[2], (Subscriber{"", 0, 0, ""}));

  m.OnRowClick(1);
  host.answers.push_back(true);
  m.OnDelete();
  EXPECT_EQ(m.row, 0);
  host.answers.push_back(true);
  m.OnDelete();
  EXPECT_EQ(m.work.users_num, 0);
  EXPECT_TRUE(m.cells.empty());
  EXPECT_EQ(m.row, -1);
  EXPECT_FALSE(m.edit_enabled);
  EXPECT_FALSE(m.delete_enabled);
  EXPECT_TRUE(m.add_enabled);
  m.OnAccept();
  EXPECT_EQ(book.users_num, 0);
  EXPECT_EQ(book.slots[0], (Subscriber{"", 0, 0, ""}));
}

TEST_F(AbonentTest, AddAndEditGoThroughTheSubscriberDialog) {
  PhoneBook book = Book({"Б", "Г"});
  test::Shown<AbonentsListModel> m(host, book, opener);
  opener.on_abonent = Fill("В", "9", "333");
  m.OnAdd();
  ASSERT_EQ(m.work.users_num, 3);
  EXPECT_EQ(m.cells[1][1], " В");
  EXPECT_EQ(m.row, 1);

  opener.on_abonent = [](AbonentModel& a) {
    EXPECT_EQ(a.mode(), AbonentModel::Mode::kEdit);
    EXPECT_EQ(a.name.text, "Г");
    a.SetName("А");
    a.OnAccept();
  };
  m.OnRowDoubleClick(2);
  EXPECT_EQ(m.cells[0][1], " А");
  EXPECT_EQ(m.row, 0);  // the edited entry stays selected after sorting
  EXPECT_EQ(book.users_num, 2);

  m.OnAccept();
  EXPECT_TRUE(m.accepted());
  EXPECT_EQ(book.users_num, 3);
  EXPECT_EQ(book.user_index, 0);
  EXPECT_EQ(book.slots[0].name, "А");
}

TEST_F(AbonentTest, CancellingAfterAChangeAsksWhetherToSave) {
  PhoneBook book = Book({"А", "Б"});
  const PhoneBook original = book;
  {
    test::Shown<AbonentsListModel> m(host, book, opener);
    m.OnRowClick(1);  // moving the cursor is no change
    m.OnCancel();
    EXPECT_TRUE(host.shown.empty());
  }
  {
    test::Shown<AbonentsListModel> m(host, book, opener);
    host.answers.push_back(true);  // "Да" to the delete
    m.OnDelete();
    m.OnCancel();  // "Нет" to saving
    EXPECT_EQ(LastMessage(), "3: Сохранить изменённый список абонентов? / ");
    EXPECT_EQ(host.shown.back().caption, "");
    EXPECT_FALSE(m.accepted());
    EXPECT_EQ(book, original);
  }
  {
    test::Shown<AbonentsListModel> m(host, book, opener);
    m.OnPhoneHeader();
    host.answers.push_back(true);
    m.OnClose();
    EXPECT_TRUE(m.accepted());
    EXPECT_EQ(book.sort_prz, 1);
    m.OnClose();  // closing twice asks once
    EXPECT_EQ(host.shown.size(), 3u);
  }
}

TEST_F(AbonentTest, AFullBookOffersNoAdding) {
  PhoneBook book;
  for (int i = 0; i < kMaxSubscribers; ++i)
    book.slots[i] = {"n" + std::to_string(1000 + i), 1, 1, "p"};
  book.users_num = kMaxSubscribers;
  test::Shown<AbonentsListModel> m(host, book, opener);
  EXPECT_FALSE(m.add_enabled);
  m.OnAdd();
  EXPECT_EQ(opener.abonent_opens, 0);

  SubscriberChoice choice(host, book, opener);
  choice.Refill();
  EXPECT_EQ(choice.list.items.size(), 200u);
  EXPECT_EQ(choice.list.items.back(), "n1199");
  EXPECT_FALSE(choice.Choose(200));
}

}  // namespace
}  // namespace kvarta
