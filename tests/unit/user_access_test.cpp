// The users list checks and the windows of users and access: the list
// editor, the password-and-code window, the single-user window and the
// authorisation key window; the table-state window's rows, preselection,
// write buttons and sizes, and the identification window in full and
// reduced mode.
#include <gtest/gtest.h>

#include <cstring>

#include "config/access_model.h"
#include "config/avt_key_model.h"
#include "config/change_access_model.h"
#include "config/ident_model.h"
#include "config/table_info_model.h"
#include "config/user_list.h"
#include "config_flow_support.h"
#include "platform/cp1251.h"
#include "support/shown.h"

namespace kvarta {
namespace {

struct User {
  int slot;  // 1-based
  std::string name;
  uint8_t level;
  std::string code;
  std::string password = "";
};

UserList MakeList(const std::vector<User>& users) {
  UserList list = FreeUserList();
  for (const User& u : users) {
    uint8_t* r = UserRecord(list.data(), u.slot - 1);
    PutPadded(r, 4, u.name);
    r[4] = u.level;
    PutPadded(r + 6, 12, u.password);
    PutPadded(r + 18, 4, u.code);
  }
  return list;
}

std::string Check(const std::vector<User>& users) {
  const UserList list = MakeList(users);
  const auto error = CheckUserList(list.data());
  return error ? error->line1 + "|" + error->line2 : "";
}

TEST(UserListChecks, EveryRuleInOrderAtItsBorders) {
  EXPECT_EQ(Check({{1, "Нал", 1, "1111"}, {16, "Опер", 4, "4444"}}), "");
  EXPECT_EQ(Check({{2, "Адм", 2, "2222"}}),
            "В списке зарегистрированных пользователей|не зарегистрирован производитель-наладчик");
  // Two adjusters are refused before the nameless users are looked at.
  EXPECT_EQ(Check({{1, "", 1, ""}, {9, "", 1, ""}}),
            "Может быть зарегистрирован|только один производитель-наладчик");
  EXPECT_EQ(Check({{1, "Нал", 1, "1111"}, {16, "", 4, "4444"}}),
            "Номер пользователя в таблице - 16.|Не задано имя пользователя");
  EXPECT_EQ(Check({{1, "Нал", 1, "1111"}, {16, "Опер", 4, ""}}),
            "Номер пользователя в таблице - 16.|Не задан код идентификации пользователя");
  EXPECT_EQ(Check({{1, "Нал", 1, "1111"}, {16, "Нал", 3, "3333"}}),
            "Пользователи   1 и  16.|Совпадение имен пользователей");
  EXPECT_EQ(Check({{1, "Нал", 1, "1111"}, {3, "Инж", 3, "3333"}, {7, "Опер", 4, "3333"}}),
            "Пользователи   3 и  7.|Совпадение кодов идентификации пользователя");
  // User 1's pair comes before user 2's missing name; a pair's names before its codes.
  EXPECT_EQ(Check({{1, "Нал", 1, "1111"}, {2, "", 2, "2222"}, {5, "Опер", 4, "1111"}}),
            "Пользователи   1 и  5.|Совпадение кодов идентификации пользователя");
  EXPECT_EQ(Check({{1, "Нал", 1, "1111"}, {5, "Нал", 4, "1111"}}),
            "Пользователи   1 и  5.|Совпадение имен пользователей");
  // Names differ in their fourth byte only; an empty password is fine.
  EXPECT_EQ(Check({{1, "Нал1", 1, "1111"}, {2, "Нал2", 2, "2222"}}), "");

  // A free slot is no user, whatever its bytes hold.
  UserList list = MakeList({{1, "Нал", 1, "1111"}});
  std::memcpy(UserRecord(list.data(), 4), UserRecord(list.data(), 0), 4);
  std::memcpy(UserRecord(list.data(), 4) + 18, "1111", 4);
  EXPECT_FALSE(CheckUserList(list.data()));
}

class UsersWindowsTest : public ::testing::Test {
 protected:
  // Every message is an input error here.
  std::vector<std::string> Messages() const {
    for (const MessageWindowModel& m : host.shown) EXPECT_EQ(m.kind, kMessageInputError);
    return host.Lines();
  }
  test::QuestionHost host;
  test::ScriptedConfigDialogs dialogs;
};

TEST_F(UsersWindowsTest, UsPassChecksPairsAndCodeAndPadsTheResult) {
  const uint8_t password[12] = {'s', 'e', 'c', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '};
  test::Shown<UsPassModel> m(host, password, reinterpret_cast<const uint8_t*>("12  "));
  EXPECT_EQ(m.Text(UsPassModel::kPassword), "sec");
  EXPECT_EQ(m.Text(UsPassModel::kPasswordConfirm), "sec");
  EXPECT_EQ(m.Text(UsPassModel::kCode), "12");
  EXPECT_EQ(m.focus, UsPassModel::kCode);
  m.OnEnter(UsPassModel::kCode);
  EXPECT_EQ(m.focus, UsPassModel::kCodeConfirm);
  m.OnEnter(UsPassModel::kCodeConfirm);
  m.OnEnter(UsPassModel::kPassword);
  EXPECT_EQ(m.focus, UsPassModel::kPasswordConfirm);
  EXPECT_TRUE(UsPassModel::CodeKeyAllowed('7'));
  EXPECT_TRUE(UsPassModel::CodeKeyAllowed('%'));
  EXPECT_FALSE(UsPassModel::CodeKeyAllowed('a'));

  m.SetText(UsPassModel::kPassword, "other");
  m.OnAccept();
  EXPECT_EQ(m.Text(UsPassModel::kPassword), "");
  EXPECT_EQ(m.Text(UsPassModel::kPasswordConfirm), "");
  EXPECT_EQ(m.Text(UsPassModel::kCode), "12");
  EXPECT_EQ(m.focus, UsPassModel::kPassword);
  m.SetText(UsPassModel::kCodeConfirm, "13");
  m.OnAccept();
  EXPECT_EQ(m.Text(UsPassModel::kCode), "");
  EXPECT_EQ(m.focus, UsPassModel::kCode);
  m.OnAccept();  // both codes empty now
  EXPECT_FALSE(m.accepted());
  EXPECT_EQ(Messages(),
            (std::vector<std::string>{"Несовпадение введенных паролей|Повторите процесс сначала",
                                      "Несовпадение введенных кодов|Повторите процесс сначала",
                                      "Не задан код идентификации пользователя|"}));

  // An empty password is allowed; Enter in the last field accepts.
  m.SetText(UsPassModel::kCode, "98765");  // cut to 4
  m.SetText(UsPassModel::kCodeConfirm, "9876");
  m.OnEnter(UsPassModel::kPasswordConfirm);
  ASSERT_TRUE(m.accepted());
  EXPECT_EQ(std::string(m.ResultPassword().begin(), m.ResultPassword().end()),
            std::string(12, ' '));
  EXPECT_EQ(std::string(m.ResultCode().begin(), m.ResultCode().end()), "9876");
}

TEST_F(UsersWindowsTest, AccessEditorInRestoreModeChecksAndSetsCredentials) {
  UserList list = MakeList({{1, "Нал", 1, ""}, {2, "Адм", 2, ""}, {5, "Old", 3, "5555", "pw"}});
  const UserList original = list;
  test::Shown<AccessModel> m(host, dialogs, list.data(), AccessMode::kRestore);
  EXPECT_EQ(m.ConfirmText(), "Записать в устройство");
  EXPECT_EQ(m.rows[0].name, "Нал");
  EXPECT_EQ(m.rows[0].level, 1);
  EXPECT_TRUE(m.rows[0].button_enabled);
  EXPECT_EQ(m.rows[3].name, "");
  EXPECT_EQ(m.rows[3].level, 0);
  EXPECT_FALSE(m.rows[3].button_enabled);
  m.OnLevelChange(3, 4);
  EXPECT_TRUE(m.rows[3].button_enabled);
  m.OnLevelChange(3, 0);
  EXPECT_FALSE(m.rows[3].button_enabled);

  // Nobody has a code yet.
  m.OnAccept();
  EXPECT_FALSE(m.closed());
  EXPECT_EQ(list, original);

  int code = 1;
  dialogs.on_us_pass = [&code](UsPassModel& w) {
    const std::string c = std::string(4, static_cast<char>('0' + code++));
    w.SetText(UsPassModel::kCode, c);
    w.SetText(UsPassModel::kCodeConfirm, c);
    w.SetText(UsPassModel::kPassword, "p" + c);
    w.SetText(UsPassModel::kPasswordConfirm, "p" + c);
    w.OnAccept();
  };
  m.OnCredentials(0);
  m.OnCredentials(1);
  m.OnCredentials(3);  // a free slot: the button is disabled
  EXPECT_EQ(dialogs.events, (std::vector<std::string>{"us-pass", "us-pass"}));
  m.OnLevelChange(4, 0);       // user 5 is deleted
  m.OnNameChange(1, "Админ");  // cut to 4 characters
  m.OnAccept();
  ASSERT_TRUE(m.accepted());
  EXPECT_EQ(Messages(),
            std::vector<std::string>{"Номер пользователя в таблице - 1.|Не задан код идентификации "
                                     "пользователя"});
  const UserList want = MakeList({{1, "Нал", 1, "1111", "p1111"}, {2, "Адми", 2, "2222", "p2222"}});
  EXPECT_EQ(list, want);
  EXPECT_EQ(m.rows[4].name, "");
}

TEST_F(UsersWindowsTest, AccessEditorInFileModeTakesAnyListAndCancelKeepsIt) {
  UserList list = MakeList({{1, "Нал", 1, ""}});
  test::Shown<AccessModel> m(host, dialogs, list.data(), AccessMode::kFile);
  EXPECT_EQ(m.ConfirmText(), "Принять");
  EXPECT_FALSE(m.rows[0].button_enabled);
  m.OnLevelChange(2, 1);  // a second adjuster, without a name
  EXPECT_FALSE(m.rows[2].button_enabled);
  m.OnCredentials(0);
  EXPECT_TRUE(dialogs.events.empty());
  m.OnAccept();
  EXPECT_TRUE(m.accepted());
  EXPECT_TRUE(host.shown.empty());
  EXPECT_EQ(UserRecord(list.data(), 2)[4], 1);

  const UserList kept = list;
  test::Shown<AccessModel> again(host, dialogs, list.data(), AccessMode::kFile);
  again.OnLevelChange(0, 0);
  again.OnCancel();
  EXPECT_FALSE(again.accepted());
  EXPECT_EQ(list, kept);
}

class ChangeAccessTest : public UsersWindowsTest {
 protected:
  ChangeAccessTest()
      : table(MakeList({{1, "Нал", 1, "1111", "111111"},
                        {2, "Адм", 2, "2222", "222222"},
                        {3, "Опер", 4, "4444"}})) {
    UserRecord(table.data(), 2)[5] = 0x5A;  // the reserved byte is kept
  }
  void Fill(int user, const std::string& name, int level, const std::string& code,
            const std::string& password = "") {
    m.OnSelectUser(user);
    m.SetName(name);
    m.level = level;
    m.SetCode(code);
    m.SetCodeConfirm(code);
    m.SetPassword(password);
    m.SetPasswordConfirm(password);
  }
  void Write(int user, const std::string& name, int level, const std::string& code) {
    Fill(user, name, level, code);
    m.OnWrite();
  }
  UserList table;
  ChangeAccessModel m{host, table.data()};
};

TEST_F(ChangeAccessTest, ProtectsTheAdjusterAndTheSoleAdministrator) {
  m.OnShow();
  EXPECT_EQ(m.users[0], "Нал");
  EXPECT_EQ(m.users[3], ChangeAccessModel::kBlankUser);
  EXPECT_EQ(m.selected, 0);
  EXPECT_EQ(m.level, 1);
  const UserList before = table;
  Write(0, "Нал", 2, "1111");
  Write(2, "Опер", 1, "4444");
  Write(1, "Адм", 3, "2222");
  Write(1, "Адм", 0, "");
  EXPECT_EQ(Messages(),
            (std::vector<std::string>{
                "Вы не можете удалить пользователя|с уровнем доступа \"Производитель-наладчик\"",
                "Может быть зарегистрирован|только один производитель-наладчик",
                "Вы не можете удалить единственного пользователя|с уровнем доступа "
                "\"Администратор\"",
                "Вы не можете удалить единственного пользователя|с уровнем доступа "
                "\"Администратор\""}));
  EXPECT_FALSE(m.closed());
  EXPECT_EQ(table, before);

  // With two administrators either may go.
  UserRecord(table.data(), 2)[4] = 2;
  test::Shown<ChangeAccessModel> two(host, table.data());
  two.OnSelectUser(1);
  two.level = 0;
  two.OnWrite();
  EXPECT_EQ(two.changed_user(), 1);
  EXPECT_EQ(UserRecord(table.data(), 1)[4], 0);
  EXPECT_TRUE(AllSpaces(UserRecord(table.data(), 1), 4));
}

TEST_F(ChangeAccessTest, ChecksTheTypedValuesThenWritesOneRecord) {
  m.OnShow();
  Fill(3, "Инж", 3, "3333", "pw");
  m.SetPasswordConfirm("px");
  m.OnWrite();
  EXPECT_EQ(m.password, "");
  EXPECT_EQ(m.password_confirm, "");
  Fill(3, "Инж", 3, "3333");
  m.SetCodeConfirm("3334");
  m.OnWrite();
  EXPECT_EQ(m.code, "");
  Write(3, "Инж", 3, "");
  Write(3, "", 3, "3333");
  Write(3, "Адм", 3, "3333");
  EXPECT_EQ(Messages(), (std::vector<std::string>{
                            "Несовпадение введенных паролей|Повторите процесс сначала",
                            "Несовпадение введенных кодов|Повторите процесс сначала",
                            "Не задан код идентификации пользователя|",
                            "Номер пользователя в таблице - 4.|Не задано имя пользователя",
                            "Пользователи   4 и  2.|Совпадение имен пользователей"}));
  EXPECT_EQ(m.changed_user(), -1);

  // The same code as user 3 is allowed here; the password may stay empty.
  Write(3, "Инж", 3, "4444");
  ASSERT_TRUE(m.closed());
  EXPECT_EQ(m.changed_user(), 3);
  const uint8_t* rec = UserRecord(table.data(), 3);
  EXPECT_EQ(PaddedText(rec, 4), "Инж");
  EXPECT_EQ(rec[4], 3);
  EXPECT_TRUE(AllSpaces(rec + 6, 12));
  EXPECT_EQ(std::string(rec + 18, rec + 22), "4444");

  // Deleting needs no password or code; the reserved byte of a change stays.
  test::Shown<ChangeAccessModel> del(host, table.data());
  del.OnSelectUser(2);
  EXPECT_EQ(del.name, "Опер");
  EXPECT_EQ(del.level, 4);
  del.SetName("Оп");
  del.SetCode("1");
  del.SetPassword("x");
  del.OnSelectUser(2);  // selecting again fills from the table, codes emptied
  EXPECT_EQ(del.name, "Опер");
  EXPECT_EQ(del.code, "");
  del.level = 4;
  del.SetCode("4445");
  del.SetCodeConfirm("4445");
  del.OnWrite();
  EXPECT_EQ(UserRecord(table.data(), 2)[5], 0x5A);
}

TEST_F(UsersWindowsTest, KeyWindowTakesExactlyEightCharactersTypedTwice) {
  std::array<uint8_t, 66> field;
  field.fill(0xEE);
  test::Shown<AvtKeyModel> m(host, field.data());
  EXPECT_EQ(m.Display(AvtKeyModel::kKey), "");
  m.OnAccept();
  m.SetText(AvtKeyModel::kKey, "ABCDEFGH");
  m.SetText(AvtKeyModel::kConfirm, "ABCDEFGX");
  m.OnAccept();
  EXPECT_EQ(m.Text(AvtKeyModel::kKey), "");
  EXPECT_EQ(m.Text(AvtKeyModel::kConfirm), "");
  EXPECT_EQ(m.focus, AvtKeyModel::kKey);
  for (const std::string key : {"ABCDEFG", "ABCDEFGHI"}) {
    m.SetText(AvtKeyModel::kKey, key);
    m.SetText(AvtKeyModel::kConfirm, key);
    m.OnAccept();
  }
  EXPECT_EQ(Messages(),
            (std::vector<std::string>{
                "Не введен ключ авторизации.|Повторите процесс сначала",
                "Несовпадение введенных паролей|Повторите процесс сначала",
                "Ключ авторизации должен содержать 8 символов|Повторите процесс сначала",
                "Ключ авторизации должен содержать 8 символов|Повторите процесс "
                "сначала"}));
  EXPECT_FALSE(m.accepted());
  EXPECT_EQ(field[0], 0xEE);

  // Shown as stars until asked; the focus goes back to the field last clicked.
  m.SetText(AvtKeyModel::kKey, "Ключ1234");
  m.OnFieldClick(AvtKeyModel::kConfirm);
  m.SetText(AvtKeyModel::kConfirm, "Ключ1234");
  EXPECT_EQ(m.Display(AvtKeyModel::kKey), "********");
  m.OnFieldClick(AvtKeyModel::kKey);
  m.OnFieldClick(AvtKeyModel::kConfirm);
  m.OnShowChars(true);
  EXPECT_EQ(m.Display(AvtKeyModel::kConfirm), "Ключ1234");
  EXPECT_EQ(m.focus, AvtKeyModel::kConfirm);
  EXPECT_EQ(m.caret, 8);
  m.OnShowChars(false);
  EXPECT_EQ(m.Display(AvtKeyModel::kConfirm), "********");
  m.OnAccept();
  ASSERT_TRUE(m.accepted());
  std::array<uint8_t, 66> want{};
  const std::string cp = Utf8ToCp1251("Ключ1234");
  std::copy(cp.begin(), cp.end(), want.begin());
  EXPECT_EQ(field, want);
}

TableWritePlan PlanWithDestroyed(std::initializer_list<int> destroyed) {
  ConfigImage image;
  for (int t : destroyed) *image.Field(7, t) = 1;
  return TableWritePlan::FromImage(image);
}

std::vector<int> Selected(const TableWritePlan& plan) {
  std::vector<int> out;
  for (int t = 0; t < kTableCount; ++t) {
    if (plan.selected[t]) out.push_back(t);
  }
  return out;
}

class TableStateTest : public ::testing::Test {
 protected:
  test::QuestionHost host;
};

TEST_F(TableStateTest, NothingDestroyedOffersEverythingButTheUsersAndTallListsScroll) {
  TableWritePlan plan = PlanWithDestroyed({});
  test::Shown<TableInfoModel> m(host, plan);
  ASSERT_EQ(m.rows.size(), 7u);
  EXPECT_EQ(m.rows[0].caption, " Табл.  3.  Параметры связи с верхним уровнем");
  EXPECT_EQ(m.rows[6].caption, " Табл. 22.  Параметры работы в Интернете с использованием GPRS");
  for (const auto& row : m.rows) {
    EXPECT_EQ(row.destroyed_text, "Нет");
    EXPECT_FALSE(row.destroyed_red);
    EXPECT_FALSE(row.checked);
    EXPECT_EQ(row.check_enabled, row.table != 4) << row.table;
  }
  EXPECT_EQ(m.first_destroyed_row, 0);
  m.OnCheck(1, true);  // the users row is disabled
  EXPECT_FALSE(m.rows[1].checked);

  m.OnWriteSelected();
  EXPECT_FALSE(m.closed());
  ASSERT_EQ(host.shown.size(), 1u);
  EXPECT_EQ(host.shown[0].line1, "Не заданы таблицы для записи");
  EXPECT_EQ(host.shown[0].kind, kMessageInfo);

  m.OnWriteAll();
  EXPECT_EQ(m.result(), kTableStateWriteAll);
  EXPECT_EQ(Selected(plan), (std::vector<int>{3, 9, 12, 20, 21, 22}));

  // A tall list scrolls to the first destroyed row.
  m.rows.resize(30, m.rows[0]);
  m.first_destroyed_row = 29;
  const TableInfoSizing s = m.Sizing(20, 40, 50);
  EXPECT_FALSE(s.shrunk);
  EXPECT_EQ(s.window_height, 597);
  EXPECT_EQ(s.scroll_position, 20 * 29 - 20 * 27);
  m.first_destroyed_row = 27;
  EXPECT_EQ(m.Sizing(20, 40, 50).scroll_position, 0);
}

TEST_F(TableStateTest, ADestroyedUsersTableIsPreselectedAndKeptByBothButtons) {
  TableWritePlan plan = PlanWithDestroyed({4});
  test::Shown<TableInfoModel> m(host, plan);
  EXPECT_EQ(m.rows[1].destroyed_text, "Да");
  EXPECT_TRUE(m.rows[1].destroyed_red);
  EXPECT_TRUE(m.rows[1].checked);
  EXPECT_TRUE(m.rows[1].check_enabled);
  EXPECT_EQ(m.first_destroyed_row, 2);
  m.OnCheck(4, true);  // table 20
  m.OnWriteSelected();
  EXPECT_EQ(m.result(), kTableStateWriteSelected);
  EXPECT_EQ(Selected(plan), (std::vector<int>{4, 20}));

  test::Shown<TableInfoModel> all(host, plan);
  all.OnWriteAll();
  EXPECT_EQ(Selected(plan), (std::vector<int>{3, 4, 9, 12, 20, 21, 22}));

  test::Shown<TableInfoModel> leave(host, plan);
  leave.OnExit();
  EXPECT_TRUE(leave.closed());
  EXPECT_EQ(leave.result(), kTableStateLeave);
}

TEST_F(TableStateTest, AllSevenDestroyedShrinkTheWindowToSevenRows) {
  TableWritePlan plan = PlanWithDestroyed({3, 4, 9, 12, 20, 21, 22});
  test::Shown<TableInfoModel> m(host, plan);
  ASSERT_EQ(m.rows.size(), 7u);
  for (const auto& row : m.rows) EXPECT_TRUE(row.checked && row.check_enabled) << row.table;
  EXPECT_EQ(m.first_destroyed_row, 1);
  const TableInfoSizing s = m.Sizing(20, 40, 50);
  EXPECT_TRUE(s.shrunk);
  EXPECT_FALSE(s.scroll_bar_visible);
  EXPECT_EQ(s.list_height, 19 * 7 + 1);
  EXPECT_EQ(s.button_bar_top, 40 + 134);
  EXPECT_EQ(s.window_height, 40 + 134 + 50 + 53);
  // Unticking one and writing the rest.
  m.OnCheck(0, false);
  m.OnWriteSelected();
  EXPECT_EQ(Selected(plan), (std::vector<int>{4, 9, 12, 20, 21, 22}));
}

std::array<uint8_t, 18> Identification() {
  return {0, 64, 2, 4, 15, 3, 25, 10, 30, 0, 1, 1, 0, 0, 1, 0, 3, 1};
}

TEST(IdentModel, FullModeShowsEveryItemWithStarsForImpossibleDateParts) {
  std::array<uint8_t, 18> t0 = Identification();
  test::Shown<IdentModel> m(t0.data(), true);
  EXPECT_EQ(m.row(IdentModel::kTypeCode).value, "64");
  EXPECT_EQ(m.row(IdentModel::kCreationDate).value, "25.03.15  10:30:00");
  EXPECT_EQ(m.row(IdentModel::kDestroyed).value, "Разрушенных таблиц нет");
  EXPECT_EQ(m.row(IdentModel::kAddressFixed).value, "Есть");
  EXPECT_EQ(m.row(IdentModel::kProtocolVersion).value, "1.0.3");
  EXPECT_EQ(m.row(IdentModel::kModemType).value, "mc55iT");
  for (const auto& row : m.rows) EXPECT_TRUE(row.caption_enabled);

  struct Case {
    int field;
    uint8_t value;
    std::string date;
  };
  for (const Case& c : {Case{4, 100, "25.03.**  10:30:00"}, Case{4, 99, "25.03.99  10:30:00"},
                        Case{5, 0, "25.**.15  10:30:00"}, Case{5, 13, "25.**.15  10:30:00"},
                        Case{6, 32, "**.03.15  10:30:00"}, Case{7, 24, "25.03.15  **:30:00"},
                        Case{8, 60, "25.03.15  10:**:00"}, Case{9, 59, "25.03.15  10:30:59"}}) {
    t0 = Identification();
    t0[c.field] = c.value;
    test::Shown<IdentModel> one(t0.data(), true);
    EXPECT_EQ(one.row(IdentModel::kCreationDate).value, c.date) << c.field << "=" << +c.value;
  }

  t0 = Identification();
  t0[0] = 9;
  t0[13] = 17;
  t0[17] = 5;
  t0[10] = 2;
  test::Shown<IdentModel> odd(t0.data(), true);
  EXPECT_EQ(odd.row(IdentModel::kDestroyed).value, "Разрушена таблица 9");
  EXPECT_TRUE(odd.row(IdentModel::kDestroyed).red);
  EXPECT_EQ(odd.row(IdentModel::kAddressFixed).value, "Нет. Адрес = 17");
  EXPECT_EQ(odd.row(IdentModel::kModemType).value, "?");
  EXPECT_TRUE(odd.row(IdentModel::kModemType).red);
  EXPECT_EQ(odd.row(IdentModel::kByteOrder).value, " ? ");
  EXPECT_FALSE(odd.row(IdentModel::kByteOrder).red);
  EXPECT_FALSE(odd.row(IdentModel::kTypeCode).red);
}

TEST(IdentModel, ReducedModeShowsTypeVersionAndModemOnly) {
  std::array<uint8_t, 18> t0 = Identification();
  t0[0] = 4;
  test::Shown<IdentModel> m(t0.data(), false);
  for (const auto& row : m.rows) {
    const bool kept = row.item == IdentModel::kTypeCode ||
                      row.item == IdentModel::kSoftwareVersion ||
                      row.item == IdentModel::kModemType;
    EXPECT_EQ(row.caption_enabled, kept) << row.caption;
    EXPECT_EQ(row.value.empty(), !kept) << row.caption;
    EXPECT_FALSE(row.caption.empty());
  }
  EXPECT_FALSE(m.row(IdentModel::kDestroyed).red);
  EXPECT_EQ(m.row(IdentModel::kSoftwareVersion).value, "4");
}

}  // namespace
}  // namespace kvarta
