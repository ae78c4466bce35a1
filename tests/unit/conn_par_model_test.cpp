#include "connection/conn_par_model.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "connection/abonent_model.h"
#include "connection/abonents_list_model.h"
#include "connection/dialog_opener.h"
#include "connection/number_input.h"
#include "support/fakes.h"
#include "support/scripted_opener.h"

namespace kvarta {
namespace {

using test::ScriptedOpener;

constexpr const char* kOutOfRange = "Параметр вне допустимого диапазона";

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
  EXPECT_FALSE(ParseWholeNumber(""));
  EXPECT_FALSE(ParseWholeNumber("12%"));
  EXPECT_FALSE(ParseWholeNumber("'"));
  EXPECT_FALSE(ParseWholeNumber("1 2"));
  EXPECT_FALSE(ParseWholeNumber("-"));
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
  struct Case {
    ConnectionKind kind;
    EditBox ConnParModel::*edit;
    const char* text;
    std::string expected;
  };
  const Case cases[] = {
      {direct, &ConnParModel::first_wait, "120", "ok"},
      {direct, &ConnParModel::first_wait, "121", first + out},
      {direct, &ConnParModel::first_wait, "1", "ok"},
      {direct, &ConnParModel::first_wait, "0", first + out},
      {direct, &ConnParModel::next_wait, "5000", "ok"},
      {direct, &ConnParModel::next_wait, "55", "ok"},
      {direct, &ConnParModel::next_wait, "54", next + out},
      {direct, &ConnParModel::next_wait, "5001", next + out},
      {direct, &ConnParModel::preambles, "0", "ok"},
      {direct, &ConnParModel::preambles, "256", pre + out},
      {direct, &ConnParModel::preambles, "-1", pre + out},
      {direct, &ConnParModel::preambles, "", "Введены не все параметры / "},
      {direct, &ConnParModel::next_wait, "", "Введены не все параметры / "},
      {phone, &ConnParModel::connect_wait, "360", "ok"},
      {phone, &ConnParModel::connect_wait, "361", wait + out},
      {phone, &ConnParModel::connect_attempts, "10", "ok"},
      {phone, &ConnParModel::connect_attempts, "11", tries + out},
      {phone, &ConnParModel::connect_attempts, "0", tries + out},
      // Text that is no number names its field.
      {phone, &ConnParModel::first_wait, "1%", first + number},
      {phone, &ConnParModel::next_wait, "'", next + number},
      {phone, &ConnParModel::preambles, "%%", pre + number},
      {phone, &ConnParModel::connect_wait, "abc", wait + number},
      {phone, &ConnParModel::connect_attempts, "", tries + number},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Try(c.kind, c.edit, c.text), c.expected) << c.text;
    if (c.expected != "ok") {
      EXPECT_EQ(settings, ConnectionSettings{}) << c.text;  // nothing stored
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
    a.SetName("Я");
    a.SetAddressText("12");
    a.SetPhone("555");
    a.OnAccept();
  };
  m->OnSubscriberChoose(0);
  EXPECT_EQ(settings.phone_book.users_num, 1);
  EXPECT_EQ(settings.phone_book.user_index, 0);
  EXPECT_EQ(m->subscriber.list.items, (std::vector<std::string>{"Я", "Новый абонент"}));
  EXPECT_EQ(m->subscriber.list.index, 0);
  EXPECT_EQ(m->phone_number, "555");

  // A second one is sorted in and stays selected.
  opener.on_abonent = [](AbonentModel& a) {
    a.SetName("Альфа");
    a.SetAddressText("3");
    a.SetPhone("777");
    a.OnAccept();
  };
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

}  // namespace
}  // namespace kvarta
