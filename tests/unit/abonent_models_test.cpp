#include <gtest/gtest.h>

#include <functional>

#include "connection/abonent_model.h"
#include "connection/abonents_list_model.h"
#include "connection/dialog_opener.h"
#include "connection/subscriber_choice.h"
#include "support/fakes.h"
#include "support/scripted_opener.h"

namespace kvarta {
namespace {

using test::ScriptedOpener;

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

std::function<void(AbonentModel&)> Fill(const char* name, const char* address, const char* phone) {
  return [=](AbonentModel& m) {
    m.SetName(name);
    m.SetAddressText(address);
    m.SetPhone(phone);
    m.OnAccept();
  };
}

class AbonentTest : public ::testing::Test {
 protected:
  std::string LastMessage() const {
    if (host.shown.empty()) return "none";
    const MessageWindowModel& w = host.shown.back();
    return std::to_string(w.kind) + ": " + w.line1 + " / " + w.line2;
  }
  test::FakeHost host;
  ScriptedOpener opener;
};

TEST_F(AbonentTest, SubscriberDialogChecksThenStoresAsTyped) {
  Subscriber slot{"старое", 5, 77, "1"};
  AbonentModel m(host, slot, AbonentModel::Mode::kAdd);
  m.OnShow();
  EXPECT_TRUE(m.focus_on_name);
  EXPECT_EQ(m.name.text, "");
  EXPECT_EQ(m.address.items.size(), 255u);
  m.SetName("Узел 100% \"А\"");
  m.SetPhone("8%d");
  m.OnAccept();
  EXPECT_EQ(LastMessage(), "2: Введены не все параметры / ");
  m.SetAddressText("256");
  m.OnAccept();
  EXPECT_EQ(LastMessage(), "2: Адрес вне допустимого диапазона / (1...255)");
  m.SetAddressText("0");
  m.OnAccept();
  EXPECT_EQ(LastMessage(), "2: Адрес вне допустимого диапазона / (1...255)");
  m.SetAddressText("1a");
  m.OnAccept();
  EXPECT_EQ(LastMessage(), "2: Адрес / Введите целое число");
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
  AbonentModel m(host, slot, AbonentModel::Mode::kEdit);
  m.OnShow();
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
  AbonentsListModel m(host, book, opener);
  m.OnShow();
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
  AbonentsListModel m(host, book, opener);
  m.OnShow();
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
  AbonentsListModel m(host, book, opener);
  m.OnShow();
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
    AbonentsListModel m(host, book, opener);
    m.OnShow();
    m.OnRowClick(1);  // moving the cursor is no change
    m.OnCancel();
    EXPECT_TRUE(host.shown.empty());
  }
  {
    AbonentsListModel m(host, book, opener);
    m.OnShow();
    host.answers.push_back(true);  // "Да" to the delete
    m.OnDelete();
    m.OnCancel();  // "Нет" to saving
    EXPECT_EQ(LastMessage(), "3: Сохранить изменённый список абонентов? / ");
    EXPECT_EQ(host.shown.back().caption, "");
    EXPECT_FALSE(m.accepted());
    EXPECT_EQ(book, original);
  }
  {
    AbonentsListModel m(host, book, opener);
    m.OnShow();
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
  AbonentsListModel m(host, book, opener);
  m.OnShow();
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
