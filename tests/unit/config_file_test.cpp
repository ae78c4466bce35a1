// The configuration file: record layout and defaults against bytes written
// out by hand, the proposed name, loading and saving through the dialogs,
// and the comparison of two configurations.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstring>
#include <fstream>

#include "config/config_compare.h"
#include "config/config_file.h"
#include "config_flow_support.h"
#include "link/config_image.h"
#include "platform/cp1251.h"
#include "platform/file_names.h"

namespace kvarta {
namespace {

using test::Bytes;

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

TEST(ConfigFileRecord, NewRecordHoldsTheDefaultsAtTheirOffsets) {
  std::array<uint8_t, 2297> want{};
  want[2] = 64;  // type
  want[4] = 4;   // software version
  want[18] = 1;  // modem code
  // Table 3 at 39: address, preambles, attempts, server flags, wait, servers.
  want[39] = 1, want[40] = 3, want[41] = 3, want[42] = 0, want[44] = 2, want[45] = 1;
  for (int h = 0; h < 24; ++h) want[39 + 11 + 4 * h] = 1;
  // Table 4 at 211: sixteen free slots, user 1 "П/Н " the adjuster.
  for (int i = 0; i < 16; ++i) {
    for (int b = 0; b < 22; ++b) want[211 + 22 * i + b] = ' ';
    want[211 + 22 * i + 4] = 0;
    want[211 + 22 * i + 5] = 0;
  }
  want[211] = 0xCF, want[212] = 0x2F, want[213] = 0xCD, want[214] = 0x20, want[215] = 1;
  // Table 9 at 613.
  want[613] = 1, want[615] = 5, want[616] = 11, want[617] = 2, want[618] = 11, want[619] = 5;
  for (int k = 0; k < 4; ++k) {
    want[613 + 8 + 24 * k] = static_cast<uint8_t>(k + 2);
    want[613 + 8 + 24 * k + 5] = 1;
  }
  // Table 20 at 883: 300, 60, 20, 300, 120, 5, 30, low byte first.
  const uint8_t timeouts[14] = {0x2C, 0x01, 60, 0, 20, 0, 0x2C, 0x01, 120, 0, 5, 0, 30, 0};
  std::copy(timeouts, timeouts + 14, want.begin() + 883);

  ConfigFileRecord record;
  record.bytes.fill(0xEE);
  NewConfigFileRecord(record);
  EXPECT_EQ(record.bytes, want);
}

TEST(ConfigFileRecord, FillCopiesTheImageTablesToTheirOffsets) {
  ConfigImage image;
  for (size_t i = 0; i < kConfigImageSize; ++i) image.Data()[i] = static_cast<uint8_t>(i * 7 + 1);
  ConfigFileRecord record;
  FillConfigFileRecord(record, image);
  EXPECT_EQ(record.bytes[0], 1);
  struct Area {
    int table;
    size_t offset, size;
  };
  const Area areas[] = {{0, 1, 18},    {3, 39, 122},  {4, 211, 352},  {9, 613, 104},
                        {12, 767, 66}, {20, 883, 14}, {21, 947, 250}, {22, 1247, 550}};
  std::vector<bool> used(2297, false);
  used[0] = true;
  for (const Area& a : areas) {
    EXPECT_EQ(Bytes(record.bytes.begin() + a.offset, record.bytes.begin() + a.offset + a.size),
              Bytes(image.Table(a.table), image.Table(a.table) + a.size))
        << a.table;
    for (size_t i = a.offset; i < a.offset + a.size; ++i) used[i] = true;
  }
  for (size_t i = 0; i < used.size(); ++i) {
    if (!used[i]) {
      EXPECT_EQ(record.bytes[i], 0) << "reserved byte " << i;
    }
  }
}

TEST(ConfigFileName, ProposalFollowsThePatternWithTheNameCleaned) {
  ConfigFileRecord record;
  NewConfigFileRecord(record);
  record.bytes[39] = 7;
  const std::string name = Utf8ToCp1251("Котельная");
  std::copy(name.begin(), name.end(), record.bytes.begin() + 143);
  const LocalDateTime when{2015, 3, 5, 9, 4, 30, 0};
  EXPECT_EQ(ProposedConfigFileName(record, when), "kvarta04-mc55it-Котельная-007-150305-0904.cnf");

  record.bytes[18] = 0;
  std::fill(record.bytes.begin() + 143, record.bytes.begin() + 161, 0);
  const std::string bad = "../a\\b:c*?\"<>|\x01";
  std::copy(bad.begin(), bad.end(), record.bytes.begin() + 143);
  EXPECT_EQ(ProposedConfigFileName(record, when),
            "kvarta04-sc3000-.._a_b_c_______-007-150305-0904.cnf");

  // Unknown modem code; a name filling all of its bytes without a zero.
  record.bytes[18] = 9;
  std::fill(record.bytes.begin() + 143, record.bytes.begin() + 161, 'N');
  EXPECT_EQ(ProposedConfigFileName(record, when),
            "kvarta04-modem9-" + std::string(17, 'N') + "-007-150305-0904.cnf");
}

// Names built from device data stay one name inside their folder.
TEST(CleanFileNamePart, ReplacesWhatAFileNameCannotHoldAndKeepsTheRest) {
  EXPECT_EQ(CleanFileNamePart("Котельная №1 (ул. Ленина)"), "Котельная №1 (ул. Ленина)");
  EXPECT_EQ(CleanFileNamePart("../etc/passwd"), ".._etc_passwd");
  EXPECT_EQ(CleanFileNamePart("a\\b:c*d?e\"f<g>h|i"), "a_b_c_d_e_f_g_h_i");
  EXPECT_EQ(CleanFileNamePart(std::string("x\x01y\x7Fz\n\t", 7)), "x_y_z__");
  EXPECT_EQ(CleanFileNamePart("a\302\205b"), "a_b");   // C1 control
  EXPECT_EQ(CleanFileNamePart("a\377\320b"), "a__b");  // malformed UTF-8
  EXPECT_EQ(CleanFileNamePart(".."), "__");
  EXPECT_EQ(CleanFileNamePart("."), "_");
  EXPECT_EQ(CleanFileNamePart("a..b"), "a..b");
  EXPECT_EQ(CleanFileNamePart(""), "");
}

class ConfigFileDialogTest : public ::testing::Test {
 protected:
  ConfigFileContext Files() { return {host, dialogs, clock, folder.path()}; }
  std::string Record(size_t size, uint8_t version) {
    std::string bytes(size, '\x11');
    if (size > 4) bytes[4] = static_cast<char>(version);
    return bytes;
  }
  std::vector<std::string> Messages() const { return host.Lines(); }

  test::TempDir folder;
  test::QuestionHost host;
  test::ScriptedConfigDialogs dialogs;
  test::FakeClock clock;
};

TEST_F(ConfigFileDialogTest, LoadAcceptsOnlyConfigurationFilesAndAsksAgain) {
  WriteFile(folder.File("short.cnf"), Record(2296, 4));
  WriteFile(folder.File("v3.cnf"), Record(2297, 3));
  std::string longer = Record(3000, 4);
  longer[2296] = '\x22';
  longer[2297] = '\x33';
  WriteFile(folder.File("long.cnf"), longer);
  dialogs.open_paths = {folder.File("short.cnf"), folder.File("missing.cnf"), folder.File("v3.cnf"),
                        folder.File("long.cnf")};
  ConfigFileRecord record;
  ASSERT_TRUE(LoadConfigFile(Files(), record));
  EXPECT_EQ(Messages(), (std::vector<std::string>{"Файл short.cnf не является файлом конфигурации|"
                                                  "контроллера kvarta с версией ПО 4",
                                                  "Ошибка открытия файла|",
                                                  "Файл v3.cnf не является файлом конфигурации|"
                                                  "контроллера kvarta с версией ПО 4"}));
  for (const auto& m : host.shown) EXPECT_EQ(m.kind, kMessageError);
  EXPECT_EQ(std::string(record.bytes.begin(), record.bytes.end()), longer.substr(0, 2297));
  ASSERT_EQ(dialogs.open_requests.size(), 4u);
  EXPECT_EQ(dialogs.open_requests[0].title, "Выбор файла с параметрами конфигурации");
  EXPECT_EQ(dialogs.open_requests[0].folder, folder.path());

  // Exactly 2297 bytes is enough; cancelling fails and leaves a cleared record.
  WriteFile(folder.File("exact.cnf"), Record(2297, 4));
  EXPECT_EQ(ReadConfigFile(folder.File("exact.cnf"), record), ConfigFileLoad::kOk);
  EXPECT_EQ(ReadConfigFile(folder.path(), record), ConfigFileLoad::kCannotOpen);
  dialogs.open_paths = {std::nullopt};
  EXPECT_FALSE(LoadConfigFile(Files(), record));
  EXPECT_EQ(record.bytes, (std::array<uint8_t, 2297>{}));
}

// A record as one read from a controller, with credentials in users 1 and 2.
ConfigFileRecord RecordWithCredentials() {
  ConfigFileRecord record;
  NewConfigFileRecord(record);
  record.origin() = 1;
  uint8_t* users = record.Table(4);
  std::memcpy(users + 6, "secret123   ", 12);
  std::memcpy(users + 18, "1111", 4);
  const std::string admin = Utf8ToCp1251("Адм ");
  std::memcpy(users + 22, admin.data(), 4);
  std::memcpy(users + 22 + 6, "pw2         ", 12);
  std::memcpy(users + 22 + 18, "2222", 4);
  users[22 + 4] = 2;
  record.bytes[39] = 7;
  return record;
}

TEST_F(ConfigFileDialogTest, SaveStoresNoSecretsAndTheCallerKeepsThem) {
  const ConfigFileRecord record = RecordWithCredentials();
  const ConfigFileRecord before = record;
  host.answers = {false};
  EXPECT_FALSE(SaveConfigFile(Files(), record, true));
  EXPECT_TRUE(dialogs.save_requests.empty());

  clock.local = {2026, 1, 2, 3, 4, 5, 0};
  const std::string proposal = folder.File("kvarta04-mc55it--007-260102-0304.cnf");
  WriteFile(proposal, "old");  // the proposal is overwritten without asking
  host.answers = {true};
  dialogs.save_paths = {proposal};
  host.shown.clear();
  ASSERT_TRUE(SaveConfigFile(Files(), record, true));
  ASSERT_EQ(host.shown.size(), 1u);
  EXPECT_EQ(host.shown[0].line1, "Сохранить параметры конфигурирования в файле?");
  ASSERT_EQ(dialogs.save_requests.size(), 1u);
  EXPECT_EQ(dialogs.save_requests[0].path, proposal);
  EXPECT_EQ(dialogs.save_requests[0].title, "Выбор файла для записи параметров конфигурации");
  EXPECT_EQ(dialogs.save_requests[0].filter, "Data Files (*.cnf)|*.cnf|DataFiles(*.*)|*.*");

  const std::string saved = ReadFile(proposal);
  ASSERT_EQ(saved.size(), 2297u);
  std::string expected(record.bytes.begin(), record.bytes.end());
  for (int i = 0; i < 16; ++i) expected.replace(211 + 22 * i + 6, 16, std::string(16, ' '));
  EXPECT_EQ(saved, expected);
  EXPECT_EQ(record, before);
}

TEST_F(ConfigFileDialogTest, ChangedNameThatExistsIsAskedAboutEveryTime) {
  const ConfigFileRecord record = RecordWithCredentials();
  WriteFile(folder.File("other.cnf"), "old");
  // No, then the same name again: asked again, Yes replaces it.
  dialogs.save_paths = {folder.File("other"), folder.File("other")};
  host.answers = {false, true};
  ASSERT_TRUE(SaveConfigFile(Files(), record, false));
  EXPECT_EQ(Messages(), (std::vector<std::string>{
                            "Файл other.cnf уже есть.|Вы хотите заменить существующий файл?",
                            "Файл other.cnf уже есть.|Вы хотите заменить существующий файл?"}));
  ASSERT_EQ(dialogs.save_requests.size(), 2u);
  EXPECT_EQ(dialogs.save_requests[1].path, folder.File("other.cnf"));
  EXPECT_EQ(ReadFile(folder.File("other.cnf")).size(), 2297u);

  // A name with an extension keeps it; a new name is written without a question.
  host.shown.clear();
  dialogs.save_paths = {folder.File("copy.dat")};
  ASSERT_TRUE(SaveConfigFile(Files(), record, false));
  EXPECT_TRUE(host.shown.empty());
  EXPECT_EQ(ReadFile(folder.File("copy.dat")).size(), 2297u);

  // Cancelled: nothing is written.
  dialogs.save_paths = {std::nullopt};
  EXPECT_FALSE(SaveConfigFile(Files(), record, false));
}

TEST_F(ConfigFileDialogTest, AFailedWriteIsReported) {
  const ConfigFileRecord record = RecordWithCredentials();
  dialogs.save_paths = {folder.File("gone/x.cnf")};
  EXPECT_FALSE(SaveConfigFile(Files(), record, false));
  EXPECT_EQ(Messages(), std::vector<std::string>{"Ошибка открытия файла|"});
  EXPECT_EQ(host.shown[0].kind, kMessageError);

  ASSERT_EQ(::mkdir(folder.File("dir.cnf").c_str(), 0755), 0);
  EXPECT_EQ(WriteConfigFile(folder.File("dir.cnf"), record), ConfigFileSave::kCannotOpen);
}

// Table 3 field 5 and the servers' bit, by their names; the rest by field.
ParamSpec Spec(const char* name, uint8_t offset, ParamType type = ParamType::kUnsigned,
               uint8_t bit = 0) {
  ParamSpec p;
  p.name = name;
  p.table = 3;
  p.field = offset;
  p.offset = offset;
  p.type = type;
  p.bit = bit;
  return p;
}
const ParamSpec kTable3Params[] = {Spec("wait", 5), Spec("server2", 3, ParamType::kBit, 1)};
std::span<const ParamSpec> TestParams(int t) {
  if (t == 3) return kTable3Params;
  return {};
}
std::string TestFormat(const uint8_t* table, const ParamSpec& p) {
  const int v = p.type == ParamType::kBit ? (table[p.offset] >> p.bit) & 1 : table[p.offset];
  return "v" + std::to_string(v);
}

TEST(CompareConfigurations, ByNameWhereDescribedByFieldElseUsersByNameAndLevel) {
  ConfigFileRecord a = RecordWithCredentials(), b = a;
  EXPECT_TRUE(CompareConfigurations(a, b).empty());

  b.Table(3)[5] = 20;     // wait
  b.Table(3)[3] ^= 0x01;  // server 1 bit: not described
  b.Table(3)[2] = 5;      // attempts
  b.Table(20)[8] = 45;    // field 4, low byte
  const std::string apn = "m2m.example";
  std::copy(apn.begin(), apn.end(), b.Table(22));
  b.Table(22)[50] = 0x01;                           // field 1: not a text any more
  b.Table(4)[22 + 4] = 3;                           // user 2 now an engineer
  std::memcpy(b.Table(4) + 6, "another     ", 12);  // passwords are not compared
  std::memcpy(b.Table(4) + 44, "Junk", 4);          // a free slot's bytes neither
  b.Table(12)[0] = 'K';                             // nor the key table

  std::string field1 = "01";  // the field's bytes in hex
  for (int i = 1; i < 50; ++i) field1 += " 00";
  const std::vector<ConfigDifference> plain = CompareConfigurations(a, b, ParamDescription{});
  const std::vector<ConfigDifference> want_plain = {
      {3, "field2", "3", "5"},     {3, "field3", "0", "1"},
      {3, "field5", "2", "20"},    {4, "user2.level", "2 (Администратор)", "3 (Инженер)"},
      {20, "field4", "120", "45"}, {22, "field0", "", "m2m.example"},
      {22, "field1", "", field1},
  };
  EXPECT_EQ(plain, want_plain);

  const std::vector<ConfigDifference> named =
      CompareConfigurations(a, b, ParamDescription{&TestParams, &TestFormat});
  ASSERT_GE(named.size(), 3u);
  EXPECT_EQ(named[0], (ConfigDifference{3, "field2", "3", "5"}));
  // Field 3 is described by one bit only; its other bits still count.
  EXPECT_EQ(named[1], (ConfigDifference{3, "field3", "0", "1"}));
  EXPECT_EQ(named[2], (ConfigDifference{3, "wait", "v2", "v20"}));

  b = a;
  b.Table(3)[3] ^= 0x02;
  const std::vector<ConfigDifference> bit =
      CompareConfigurations(a, b, ParamDescription{&TestParams, &TestFormat});
  EXPECT_EQ(bit, (std::vector<ConfigDifference>{{3, "server2", "v0", "v1"}}));

  // A user deleted on one side: name and level both differ.
  b = a;
  b.Table(4)[22 + 4] = 0;
  EXPECT_EQ(
      CompareConfigurations(a, b),
      (std::vector<ConfigDifference>{{4, "user2.name", "Адм", ""},
                                     {4, "user2.level", "2 (Администратор)", "0 (Нет доступа)"}}));
}

}  // namespace
}  // namespace kvarta
