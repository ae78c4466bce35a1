// Reading, saving, taking and writing the whole configuration against the
// simulated controller, with the windows acted on by scripts: the write
// order, the users and key tables, the GPRS table on the wire, the
// after-effects and the restore of destroyed tables end to end.
#include <gtest/gtest.h>

#include <cstring>

#include "config/config_menus.h"
#include "config_flow_support.h"
#include "link/gprs_transform.h"
#include "link/table_service.h"
#include "platform/cp1251.h"

namespace kvarta {
namespace {

using test::Bytes;

const std::string kBlank16(16, ' ');
const std::string kAdjuster = "111111      1111";

class WholeConfigTest : public ::testing::Test, public test::ConfigFlowFixture {
 protected:
  // Identification and table states, as the start-up leaves them.
  void Identify() {
    ASSERT_TRUE(ReadTableFields(link, image, FieldRange{0, 0, 18}, &status, true));
    ASSERT_TRUE(ReadTableFields(link, image, FieldRange{7, 0, 23}, &status, true));
    seen.clear();
  }
  // The configuration of a demo controller as a file record.
  static ConfigFileRecord DonorRecord() {
    sim::Controller donor(1);
    ConfigImage donor_image;
    std::memcpy(donor_image.Data(), donor.Block().data(), kConfigImageSize);
    ConfigFileRecord record;
    NewConfigFileRecord(record);
    FillConfigFileRecord(record, donor_image);
    std::memcpy(record.Table(12), "FILEKEY1", 8);
    return record;
  }
  std::string Save(const ConfigFileRecord& record, const std::string& name = "donor.cnf") {
    EXPECT_EQ(WriteConfigFile(folder.File(name), record), ConfigFileSave::kOk);
    return folder.File(name);
  }
  // The file the open dialog gives, then the identification; by default
  // somebody other than the adjuster is logged on.
  void Open(const ConfigFileRecord& record, bool other_user = true) {
    dialogs.open_paths = {Save(record)};
    if (other_user) link.SetCredentials("222222", "2222");
    Identify();
  }
  TableWritePlan Plan(std::initializer_list<int> selected) {
    TableWritePlan plan = TableWritePlan::FromImage(image);
    for (int t : selected) plan.selected[t] = 1;
    return plan;
  }
  Bytes SimTable(int t) const {
    const uint8_t* p = controller.Field(t, 0);
    return Bytes(p, p + TableCatalogue(t).Bytes());
  }
  static Bytes KeyTable(const std::string& key) {
    Bytes table(key.begin(), key.end());
    table.resize(66);
    return table;
  }
  // The users editor gives every registered user the next code (and that
  // code twice as the password) and accepts.
  void GiveCodes(std::vector<std::string> codes) {
    auto queue = std::make_shared<std::deque<std::string>>(codes.begin(), codes.end());
    dialogs.on_us_pass = [queue](UsPassModel& w) {
      const std::string code = queue->front();
      queue->pop_front();
      w.SetText(UsPassModel::kCode, code);
      w.SetText(UsPassModel::kCodeConfirm, code);
      w.SetText(UsPassModel::kPassword, code + code.substr(0, 2));
      w.SetText(UsPassModel::kPasswordConfirm, code + code.substr(0, 2));
      w.OnAccept();
    };
    dialogs.on_access = [](AccessModel& m) {
      for (int i = 0; i < kUserCount; ++i) {
        if (m.rows[i].level > 0) m.OnCredentials(i);
      }
      m.OnAccept();
    };
  }
  std::string Credentials() const {
    return std::string(link.write_password.begin(), link.write_password.end()) +
           std::string(link.ident_code.begin(), link.ident_code.end());
  }
};

TEST_F(WholeConfigTest, SavingFromTheControllerReadsEveryTableAndStoresNoSecrets) {
  Identify();
  clock.local = {2026, 3, 5, 9, 4, 0, 0};
  const std::string proposal = folder.File("kvarta04-mc55it-Котельная №1-001-260305-0904.cnf");
  dialogs.save_paths = {proposal};
  SaveConfigurationFromController(ctx);
  EXPECT_EQ(dialogs.events, (std::vector<std::string>{"wait-reading", "wait-closed"}));
  EXPECT_EQ(dialogs.wait_maximum, 8);
  EXPECT_EQ(dialogs.wait_position, 8);
  std::vector<int> read;
  for (const auto& r : seen) read.push_back(r.table);
  EXPECT_EQ(read, (std::vector<int>{3, 4, 4, 9, 12, 20, 21, 21, 22, 22, 22}));
  EXPECT_EQ(session.server_count, 2);
  EXPECT_TRUE(session.Called("message-timer"));
  EXPECT_TRUE(host.shown.empty());
  ASSERT_EQ(dialogs.save_requests.size(), 1u);
  EXPECT_EQ(dialogs.save_requests[0].path, proposal);

  ConfigFileRecord saved;
  ASSERT_EQ(ReadConfigFile(proposal, saved), ConfigFileLoad::kOk);
  EXPECT_EQ(saved.bytes[0], 1);
  EXPECT_EQ(saved.ControllerName(), "Котельная №1");
  for (int t : {3, 12, 22}) {  // table 22 as plain text
    EXPECT_EQ(Bytes(saved.Table(t), saved.Table(t) + TableCatalogue(t).Bytes()), SimTable(t)) << t;
  }
  for (int i = 0; i < kUserCount; ++i) {
    const uint8_t* user = UserRecord(saved.Table(4), i);
    EXPECT_TRUE(AllSpaces(user + 6, 16)) << i;
    EXPECT_EQ(std::memcmp(user, controller.Field(4, i), 6), 0) << i;
  }
}

TEST_F(WholeConfigTest, AFailedReadSavesNothing) {
  Identify();
  port->fail_writes = true;
  SaveConfigurationFromController(ctx);
  EXPECT_EQ(dialogs.events, (std::vector<std::string>{"wait-reading", "wait-closed"}));
  ASSERT_FALSE(host.shown.empty());
  EXPECT_EQ(host.shown.back().line1, "Параметры конфигурации не прочитаны");
  EXPECT_EQ(host.shown.back().kind, kMessageExchange);
  EXPECT_TRUE(dialogs.save_requests.empty());
  EXPECT_FALSE(session.Called("message-timer"));
}

TEST_F(WholeConfigTest, UsersGoFirstWithBlankCredentialsThenTheRestAscending) {
  controller.SetDestroyed(4, true);
  const ConfigFileRecord record = DonorRecord();
  Open(record);
  TableWritePlan plan = Plan({22, 3, 4, 20, 9});
  GiveCodes({"1111", "2222", "4444"});
  ASSERT_EQ(RestoreFromFile(ctx, plan), RestoreOutcome::kWritten);

  EXPECT_EQ(WrittenTables(), (std::vector<int>{4, 4, 3, 9, 20, 22, 22, 22}));
  for (const auto& w : WritesOf(4)) EXPECT_EQ(w.credentials, kBlank16);
  for (int t : {3, 9, 20, 22}) {
    for (const auto& w : WritesOf(t)) EXPECT_EQ(w.credentials, kAdjuster) << t;
  }
  EXPECT_EQ(Credentials(), kAdjuster);  // the adjuster's stay in force
  EXPECT_EQ(dialogs.events, (std::vector<std::string>{"access", "us-pass", "us-pass", "us-pass",
                                                      "wait-writing", "wait-closed"}));
  for (int t : {3, 4, 9, 20, 22}) EXPECT_EQ(plan.written[t], 1) << t;
  EXPECT_EQ(plan.written[12], 0);

  // Table 22 went on the wire substituted and is plain again in the image.
  const Bytes plain(record.Table(22), record.Table(22) + 200);
  Bytes wire;
  for (uint8_t b : plain) wire.push_back(kGprsSubstitution[b]);
  EXPECT_EQ(WritesOf(22)[0].values, wire);
  EXPECT_EQ(Bytes(image.Table(22), image.Table(22) + 550),
            Bytes(record.Table(22), record.Table(22) + 550));
  EXPECT_EQ(controller.FieldText(22, 0), "internet");
  ASSERT_TRUE(ReadTableFields(link, image, FieldRange{22, 0, 4}, &status, true));
  EXPECT_EQ(Bytes(image.Table(22), image.Table(22) + 200), wire);  // read back as written

  EXPECT_FALSE(controller.Destroyed(4));
  EXPECT_EQ(PaddedText(controller.Field(4, 0) + 18, 4), "1111");
  EXPECT_EQ(session.server_count, 2);
  EXPECT_EQ(session.addresses, std::vector<int>{1});
  EXPECT_EQ(session.vrg_copy, Bytes(record.Table(9), record.Table(9) + 104));
  EXPECT_EQ(session.keep_alive_ms, 19000);  // table 20 field 4 = 20
  for (const char* call : {"menus", "main-menu", "message-timer"}) {
    EXPECT_TRUE(session.Called(call)) << call;
  }
  EXPECT_TRUE(host.shown.empty());
}

TEST_F(WholeConfigTest, AnIntactKeyTableIsWrittenOnlyWhenAskedAndTyped) {
  const std::string path = Save(DonorRecord());
  link.SetCredentials("222222", "2222");
  Identify();
  struct Case {
    std::deque<bool> answers;
    bool type_key;
    RestoreOutcome outcome;
    std::vector<int> written;
    size_t questions;
  };
  const Case cases[] = {
      {{false}, false, RestoreOutcome::kWritten, {20}, 1},          // no key change
      {{true, true}, false, RestoreOutcome::kWritten, {20}, 2},     // key left, go on
      {{true, false}, false, RestoreOutcome::kWriteFailed, {}, 2},  // key left, stop
      {{true}, true, RestoreOutcome::kWritten, {12, 20}, 1},        // key typed
  };
  for (const Case& c : cases) {
    seen.clear();
    host.shown.clear();
    session.calls.clear();
    dialogs.events.clear();
    host.answers = c.answers;
    dialogs.open_paths = {path};
    if (c.type_key) {
      dialogs.TypeKey("NEWKEY12");
    } else {
      dialogs.on_key = [](AvtKeyModel& m) { m.OnCancel(); };
    }
    TableWritePlan plan = Plan({12, 20});
    EXPECT_EQ(RestoreFromFile(ctx, plan), c.outcome);
    EXPECT_EQ(WrittenTables(), c.written);
    EXPECT_EQ(plan.written[12], c.type_key);
    EXPECT_EQ(host.shown.size(), c.questions);
    EXPECT_EQ(host.shown[0].line1, "Таблица \"Параметры отчета 2\" не разрушена.");
    if (c.questions == 2) {
      EXPECT_EQ(host.shown[1].line1, "Запись таблицы \"Параметры отчета 2\" не выполняется.");
      EXPECT_EQ(host.shown[1].line2, "Продолжить запись остальных таблиц?");
    }
    EXPECT_EQ(session.Called("keep-alive"), !c.written.empty());
    EXPECT_EQ(session.Called("main-menu"), c.outcome == RestoreOutcome::kWritten);
    EXPECT_FALSE(dialogs.wait_open);
  }
  EXPECT_EQ(SimTable(12), KeyTable("NEWKEY12"));
}

TEST_F(WholeConfigTest, ADestroyedKeyTableTakesTheTypedKeyNeverTheFilesOne) {
  controller.SetDestroyed(12, true);
  Open(DonorRecord());
  dialogs.TypeKey("ABCDEFGH");
  TableWritePlan plan = Plan({12});
  ASSERT_EQ(RestoreFromFile(ctx, plan), RestoreOutcome::kWritten);
  EXPECT_TRUE(host.shown.empty());  // no question for a destroyed table
  ASSERT_EQ(WritesOf(12).size(), 1u);
  EXPECT_EQ(WritesOf(12)[0].values.size(), 66u);
  EXPECT_EQ(SimTable(12), KeyTable("ABCDEFGH"));
  EXPECT_FALSE(controller.Destroyed(12));
  EXPECT_EQ(controller.Field(0, 0)[0], 0);
}

TEST_F(WholeConfigTest, KeepAliveFollowsTableTwentyEvenWhenALaterTableFails) {
  ConfigFileRecord record = DonorRecord();
  record.Table(20)[8] = 45;
  Open(record);
  silent_writes = {21};
  TableWritePlan plan = Plan({20, 21});
  EXPECT_EQ(RestoreFromFile(ctx, plan), RestoreOutcome::kWriteFailed);
  EXPECT_EQ(WrittenTables(), std::vector<int>{20});
  EXPECT_EQ(session.keep_alive_ms, 44000);
  EXPECT_FALSE(session.Called("menus"));
  EXPECT_FALSE(session.Called("main-menu"));
  EXPECT_FALSE(dialogs.wait_open);
  // Only the table service's own question; no summary of the run.
  ASSERT_EQ(host.shown.size(), 1u);
  EXPECT_EQ(host.shown[0].line1, "Не выполнена запись в таблицу 21.");

  // Below 2 s the start-up's 10 s stand.
  EXPECT_EQ(KeepAliveIntervalMs(2), 1000);
  for (int s : {0, 1}) EXPECT_EQ(KeepAliveIntervalMs(s), 9000) << s;
}

TEST_F(WholeConfigTest, AFailedFirstTableWritesNothing) {
  Open(DonorRecord());
  silent_writes = {3};
  TableWritePlan plan = Plan({3, 9});
  EXPECT_EQ(RestoreFromFile(ctx, plan), RestoreOutcome::kWriteFailed);
  EXPECT_TRUE(WrittenTables().empty());
  EXPECT_EQ(host.shown.size(), 1u);
  EXPECT_TRUE(session.calls.empty());
}

TEST_F(WholeConfigTest, ARestoredTableThreeRecordsNoSessionsAndMovesTheAddress) {
  ConfigFileRecord record = DonorRecord();
  record.Table(3)[0] = 7;
  record.Table(3)[4] = 2;
  const std::string path = Save(record);
  link.SetCredentials("222222", "2222");

  // Intact: the file's recording mode is written as it is.
  Identify();
  dialogs.open_paths = {path};
  TableWritePlan plan = Plan({3});
  ASSERT_EQ(RestoreFromFile(ctx, plan), RestoreOutcome::kWritten);
  EXPECT_EQ(controller.Field(3, 4)[0], 2);
  EXPECT_EQ(controller.Address(), 7);
  EXPECT_EQ(link.address, 7);
  EXPECT_EQ(session.addresses, std::vector<int>{7});
  EXPECT_TRUE(session.Called("menus"));

  // Destroyed: recording is switched off whatever the file holds.
  controller.SetDestroyed(3, true);
  Identify();
  dialogs.open_paths = {path};
  plan = Plan({3});
  ASSERT_EQ(RestoreFromFile(ctx, plan), RestoreOutcome::kWritten);
  EXPECT_EQ(controller.Field(3, 4)[0], 0);
  EXPECT_FALSE(controller.Destroyed(3));
  EXPECT_EQ(SimTable(3)[5], record.Table(3)[5]);
}

TEST_F(WholeConfigTest, WithTheTransformOffTheGprsTableTravelsPlain) {
  controller.Field(0, 12)[0] = 1;
  const ConfigFileRecord record = DonorRecord();
  Open(record);
  TableWritePlan plan = Plan({22});
  ASSERT_EQ(RestoreFromFile(ctx, plan), RestoreOutcome::kWritten);
  EXPECT_EQ(WritesOf(22)[0].values, Bytes(record.Table(22), record.Table(22) + 200));
  EXPECT_EQ(controller.FieldText(22, 5), "192.0.2.10");
}

TEST_F(WholeConfigTest, TakingTheRecordStopsOnALeftEditorOrABrokenList) {
  controller.SetDestroyed(4, true);
  ConfigFileRecord record = DonorRecord();
  Open(record, false);
  dialogs.on_access = [](AccessModel& m) { m.OnCancel(); };
  TableWritePlan plan = Plan({3, 4});
  EXPECT_EQ(RestoreFromFile(ctx, plan), RestoreOutcome::kNotTaken);
  EXPECT_EQ(Messages(),
            (std::vector<std::string>{"Таблица доступа к записи в контроллер не восстановлена|",
                                      "Запись таблиц не выполнена|"}));
  EXPECT_TRUE(seen.empty());

  // Applying a list with two adjusters is refused before anything changes.
  host.shown.clear();
  const ConfigImage before = image;
  UserRecord(record.Table(4), 1)[4] = 1;
  EXPECT_FALSE(ApplyConfigFileRecord(ctx, record, true));
  EXPECT_EQ(Messages(), std::vector<std::string>{
                            "Может быть зарегистрирован|только один производитель-наладчик"});
  EXPECT_EQ(host.shown[0].kind, kMessageInputError);
  EXPECT_EQ(std::memcmp(image.Data(), before.Data(), kConfigImageSize), 0);

  // A sound one: free slots blanked, the key area cleared, the adjuster's
  // credentials in force because table 4 is destroyed.
  UserRecord(record.Table(4), 1)[4] = 2;
  std::memcpy(UserRecord(record.Table(4), 0) + 6, "adjpw       9999", 16);
  std::memcpy(UserRecord(record.Table(4), 9), "Junk", 4);
  std::memset(image.Table(12), 'x', 66);
  ASSERT_TRUE(ApplyConfigFileRecord(ctx, record, true));
  EXPECT_TRUE(AllSpaces(image.Field(4, 9), 4));
  EXPECT_EQ(Bytes(image.Table(12), image.Table(12) + 66), Bytes(66, 0));
  EXPECT_EQ(Credentials(), "adjpw       9999");
  EXPECT_EQ(Bytes(image.Table(21), image.Table(21) + 250),
            Bytes(record.Table(21), record.Table(21) + 250));

  // Without the users check table 4 and the credentials stay.
  link.SetCredentials("222222", "2222");
  std::memset(image.Table(4), 'u', 352);
  ASSERT_TRUE(ApplyConfigFileRecord(ctx, record, false));
  EXPECT_EQ(image.Table(4)[0], 'u');
  EXPECT_EQ(Credentials(), "222222      2222");
}

TEST_F(WholeConfigTest, AFailedUsersWriteWritesNothingElseAndALaterRunReportsWhatIsDestroyed) {
  controller.SetDestroyed(4, true);
  Open(DonorRecord(), false);
  GiveCodes({"1111", "2222", "4444"});
  silent_writes = {4};
  TableWritePlan plan = Plan({3, 4, 9});
  EXPECT_EQ(RestoreFromFile(ctx, plan), RestoreOutcome::kWriteFailed);
  ASSERT_EQ(host.shown.size(), 2u);
  EXPECT_EQ(host.shown[0].line1, "Не выполнена запись в таблицу 4.");
  EXPECT_EQ(host.shown[1].line1, "Таблица зарегистрированных пользователей не восстановлена");
  EXPECT_EQ(host.shown[1].line2, "Запись в таблицы параметров конфигурации недопустима");
  EXPECT_TRUE(WrittenTables().empty());
  EXPECT_EQ(std::count(dialogs.events.begin(), dialogs.events.end(), "wait-writing"), 0);

  // Written after all, with table 9 destroyed meanwhile: that is reported.
  controller.SetDestroyed(9, true);
  silent_writes.clear();
  host.shown.clear();
  dialogs.open_paths = {folder.File("donor.cnf")};
  GiveCodes({"1111", "2222", "4444"});
  plan = Plan({4});
  ASSERT_EQ(RestoreFromFile(ctx, plan), RestoreOutcome::kWritten);
  EXPECT_EQ(Messages(), std::vector<std::string>{"Разрушена таблица 9|"});
  EXPECT_EQ(host.shown[0].kind, kMessageInfo);
}

// The menu "Состояние таблиц параметров конфигурации" on a controller that
// lost its users table: table-state window, file, users editor, write run.
TEST_F(WholeConfigTest, TableStateMenuRestoresADestroyedUsersTableEndToEnd) {
  ConfigFileRecord record;
  NewConfigFileRecord(record);
  dialogs.open_paths = {Save(record, "new.cnf")};
  controller.SetDestroyed(4, true);
  session.write_access = false;  // nobody could write before
  ASSERT_TRUE(ReadTableFields(link, image, FieldRange{0, 0, 18}, &status, true));
  EXPECT_EQ(image.DestroyedTableNumber(), 4);

  dialogs.on_table_info = [](TableInfoModel& m) {
    ASSERT_EQ(m.rows.size(), 7u);
    EXPECT_TRUE(m.rows[1].checked);
    m.OnWriteSelected();
  };
  dialogs.on_access = [](AccessModel& m) {
    EXPECT_EQ(m.rows[0].name, "П/Н");
    m.OnCredentials(0);
    m.OnAccept();
  };
  dialogs.on_us_pass = [](UsPassModel& w) {
    for (auto f : {UsPassModel::kCode, UsPassModel::kCodeConfirm}) w.SetText(f, "1234");
    for (auto f : {UsPassModel::kPassword, UsPassModel::kPasswordConfirm}) w.SetText(f, "pw");
    w.OnAccept();
  };
  ShowTableState(ctx);
  EXPECT_EQ(dialogs.events, (std::vector<std::string>{"table-info", "access", "us-pass",
                                                      "wait-writing", "wait-closed"}));
  EXPECT_TRUE(host.shown.empty());
  EXPECT_EQ(WrittenTables(), (std::vector<int>{4, 4}));
  EXPECT_FALSE(controller.Destroyed(4));
  EXPECT_EQ(image.DestroyedTableNumber(), 0);  // read again after the run
  EXPECT_EQ(Bytes(controller.Field(4, 0), controller.Field(4, 0) + 22),
            (Bytes{0xCF, 0x2F, 0xCD, 0x20, 1,   0,   'p', 'w', ' ', ' ', ' ',
                   ' ',  ' ',  ' ',  ' ',  ' ', ' ', ' ', '1', '2', '3', '4'}));
  EXPECT_EQ(Credentials(), "pw          1234");
  EXPECT_FALSE(session.labels.has_value());
  EXPECT_EQ(session.calls.back(), "main-menu");
  // The new credentials are the controller's now.
  const uint8_t no_command[] = {15, 0, 1, 0};
  EXPECT_TRUE(SendRequest(link, 2, no_command, sizeof no_command, 0));
  // ...and nobody else's: every write is checked against the new table.
  link.SetCredentials("111111", "1111");
  EXPECT_FALSE(SendRequest(link, 2, no_command, sizeof no_command, 0));
  EXPECT_EQ(seen.back().error, 34);
}

// As kvarta-sim --destroyed 3,4,12: every lost table comes back from one file.
TEST_F(WholeConfigTest, ThreeDestroyedTablesComeBackFromOneFile) {
  for (int t : {3, 4, 12}) controller.SetDestroyed(t, true);

  ConfigFileRecord record = DonorRecord();
  record.Table(3)[4] = 1;
  dialogs.open_paths = {Save(record)};
  ASSERT_TRUE(ReadTableFields(link, image, FieldRange{0, 0, 18}, &status, true));
  EXPECT_EQ(image.DestroyedTableNumber(), 3);
  dialogs.on_table_info = [](TableInfoModel& m) {
    EXPECT_EQ(m.first_destroyed_row, 1);
    m.OnWriteAll();
  };
  GiveCodes({"1111", "2222", "4444"});
  dialogs.TypeKey("KEY12345");
  ShowTableState(ctx);
  EXPECT_TRUE(host.shown.empty());
  EXPECT_EQ(WrittenTables(), (std::vector<int>{4, 4, 3, 9, 12, 20, 21, 21, 22, 22, 22}));
  for (int t : kConfigurationTables) EXPECT_FALSE(controller.Destroyed(t)) << t;
  EXPECT_EQ(controller.Field(0, 0)[0], 0);
  EXPECT_EQ(controller.Field(3, 4)[0], 0);
  EXPECT_EQ(controller.FieldText(3, 104), "Котельная №1");
  EXPECT_EQ(std::string(controller.Field(12, 0), controller.Field(12, 0) + 9),
            std::string("KEY12345\0", 9));
  EXPECT_TRUE(session.labels.has_value());  // table 22 written with write access
  EXPECT_EQ(session.labels->server1, "Сервер 1 (192.0.2.10: 5000)  ");
}

TEST_F(WholeConfigTest, TableStateMenuLeftOrCancelled) {
  dialogs.on_table_info = [](TableInfoModel& m) { m.OnExit(); };
  ShowTableState(ctx);
  EXPECT_EQ(session.calls, std::vector<std::string>{"main-menu"});

  session.calls.clear();
  dialogs.on_table_info = [](TableInfoModel& m) { m.OnWriteAll(); };
  dialogs.open_paths = {std::nullopt};
  ShowTableState(ctx);
  EXPECT_TRUE(session.calls.empty());  // a cancelled file dialog ends it all

  port->fail_writes = true;
  dialogs.events.clear();
  ShowTableState(ctx);
  EXPECT_TRUE(dialogs.events.empty());
}

TEST_F(WholeConfigTest, UsersAccessMenuChangesOneUserOfAnIntactTable) {
  link.SetCredentials("222222", "2222");
  dialogs.on_change_access = [](ChangeAccessModel& m) {
    m.OnSelectUser(5);
    m.SetName("Инж");
    m.level = 3;
    for (auto* s : {&m.code, &m.code_confirm}) *s = "3333";
    m.OnWrite();
  };
  EXPECT_EQ(ChangeUsersAccess(ctx), UsersAccessOutcome::kUserWritten);
  ASSERT_EQ(WritesOf(4).size(), 1u);
  EXPECT_EQ(WritesOf(4)[0].first, 5);
  EXPECT_EQ(WritesOf(4)[0].count, 1);
  EXPECT_EQ(PaddedText(controller.Field(4, 5), 4), "Инж");

  dialogs.on_change_access = [](ChangeAccessModel& m) { m.OnCancel(); };
  seen.clear();
  EXPECT_EQ(ChangeUsersAccess(ctx), UsersAccessOutcome::kNothing);
  EXPECT_TRUE(WrittenTables().empty());
}

TEST_F(WholeConfigTest, UsersAccessMenuRebuildsADestroyedTableTwice) {
  controller.SetDestroyed(4, true);
  host.answers = {false};
  EXPECT_EQ(ChangeUsersAccess(ctx), UsersAccessOutcome::kNothing);
  ASSERT_EQ(host.shown.size(), 1u);
  EXPECT_EQ(host.shown[0].kind, kMessageWriteNow);
  EXPECT_EQ(host.shown[0].line1, "Таблица доступа пользователей");
  EXPECT_EQ(host.shown[0].line2, "требует полной перезаписи");

  host.shown.clear();
  host.answers = {true};
  GiveCodes({"1111"});
  dialogs.on_access = [give = dialogs.on_access](AccessModel& m) {
    for (const auto& row : m.rows) EXPECT_EQ(row.level, 0);
    m.OnNameChange(0, "Нал");
    m.OnLevelChange(0, 1);
    give(m);
  };
  EXPECT_EQ(ChangeUsersAccess(ctx), UsersAccessOutcome::kRestored);
  EXPECT_EQ(WrittenTables(), (std::vector<int>{4, 4, 4, 4}));
  for (const auto& w : WritesOf(4)) EXPECT_EQ(w.credentials, kBlank16);
  EXPECT_EQ(Messages(),
            (std::vector<std::string>{"Таблица доступа пользователей|требует полной перезаписи",
                                      "Таблица зарегистрированных пользователей|восстановлена"}));
  EXPECT_FALSE(controller.Destroyed(4));
}

TEST_F(WholeConfigTest, IdentificationMenuShowsTheFreshTableZero) {
  controller.SetDestroyed(9, true);
  bool shown = false;
  dialogs.on_ident = [&shown](IdentModel& m) {
    shown = true;
    EXPECT_TRUE(m.full());
    EXPECT_EQ(m.row(IdentModel::kDestroyed).value, "Разрушена таблица 9");
  };
  ShowIdentificationFromController(ctx);
  EXPECT_TRUE(shown);
  port->fail_writes = true;
  dialogs.events.clear();
  ShowIdentificationFromController(ctx);
  EXPECT_TRUE(dialogs.events.empty());
}

}  // namespace
}  // namespace kvarta
