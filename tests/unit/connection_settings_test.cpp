// The connection settings and the phone book in their INI files: defaults,
// narrowing, what is rewritten and what is left byte for byte, the program
// folders; loading, cutting, sorting and saving the subscribers.
#include "connection/connection_settings.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "connection/ini_file.h"
#include "connection/phone_book.h"
#include "connection/program_folders.h"
#include "connection/settings_store.h"
#include "platform/cp1251.h"
#include "support/temp_dir.h"

namespace kvarta {
namespace {

namespace fs = std::filesystem;

using test::TempDir;

std::string ReadRaw(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteRaw(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

ino_t Inode(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

TEST(ConnectionSettings, DefaultsWithoutAFile) {
  using V = std::vector<int64_t>;
  const ConnectionSettings s = LoadConnectionSettings("/nonexistent/kvarta04.ini", 1920, 1080);
  EXPECT_EQ(s.Kind(), ConnectionKind::kDirect);
  // check_file_port, form width, height, left, top
  EXPECT_EQ((V{s.curr.check_file_port, s.curr.form_width, s.curr.form_height, s.curr.form_left,
               s.curr.form_top}),
            (V{1, 1920, 1060, 0, -4}));
  for (ConnectionKind kind :
       {ConnectionKind::kDirect, ConnectionKind::kPhone, ConnectionKind::kAdapter}) {
    const ChannelParams& c = s.Channel(kind);
    // port, address, rate, preambles, repeat, time-out, wait
    EXPECT_EQ((V{c.com_port, c.adr, c.SelectedRate(), c.SelectedPreambles(), c.repeat, c.time_out,
                 c.wait_time}),
              (V{1, 1, 9600, 5, 1, 100, kind == ConnectionKind::kDirect ? 2 : 6}));
  }
  EXPECT_EQ(s.modem.command, "");
  EXPECT_EQ((V{s.modem.connect_wait_time, s.modem.conn_repeat}), (V{50, 1}));
  EXPECT_EQ((V{s.adap_line.k_output, s.adap_line.k_input, s.adap_line.correction_value}),
            (V{230, 250, 1900}));
  EXPECT_EQ((V{s.modbus.free_port_wait, s.modbus.data_size}), (V{1000, 8}));
}

TEST(ConnectionSettings, NarrowsNumbersAndSelectsChannelFive) {
  TempDir dir;
  const std::string path = dir.path() + "/kvarta04.ini";
  WriteRaw(path,
           "[DIR_CONN_PAR]\r\nCOMPort=300\r\nTimeOut=-1\r\nChan_ind=5\r\nRate_ch5=19200\r\n"
           "Preambles_ch5=2\r\n[FON_CONN_PAR]\r\nAutoRepeat=7\r\nCommand=" +
               std::string(250, 'A') + "\r\n[CURR_PAR]\r\nConn_Prz=2\r\nForm_Width=abc\r\n");
  const ConnectionSettings s = LoadConnectionSettings(path, 800, 600);
  EXPECT_EQ(s.dir_conn.com_port, 44);
  EXPECT_EQ(s.dir_conn.time_out, 4294967295u);
  EXPECT_EQ(s.dir_conn.SelectedRate(), 19200u);
  EXPECT_EQ(s.dir_conn.SelectedPreambles(), 2);
  EXPECT_TRUE(s.modem.auto_repeat);
  EXPECT_EQ(s.modem.command, std::string(200, 'A'));
  EXPECT_EQ(s.Kind(), ConnectionKind::kAdapter);
  EXPECT_EQ(s.curr.form_width, 800);  // not a number: the default
}

TEST(ConnectionSettings, WritesOnlyTheGroupsThatDiffer) {
  TempDir dir;
  const std::string path = dir.path() + "/kvarta04.ini";
  ConnectionSettings s = LoadConnectionSettings(path, 1024, 768);
  ConnectionSettings snapshot = s;
  ASSERT_TRUE(SaveConnectionSettings(path, s, snapshot));
  EXPECT_FALSE(fs::exists(path));  // nothing changed, nothing written

  s.adap_line.correction_value = -2000;
  ASSERT_TRUE(SaveConnectionSettings(path, s, snapshot));
  EXPECT_EQ(snapshot, s);
  IniFile ini(path);
  EXPECT_TRUE(ini.SectionExists("ADAP_CONN_PAR"));
  EXPECT_EQ(ini.ReadInteger("ADAP_LINE_PAR", "CorrectionValue", 0), -2000);
  EXPECT_FALSE(ini.SectionExists("CURR_PAR"));
  EXPECT_FALSE(ini.SectionExists("DIR_CONN_PAR"));
  EXPECT_FALSE(ini.SectionExists("FON_CONN_PAR"));
  EXPECT_FALSE(ini.SectionExists("MODBUS_PAR"));
}

// A full settings file written by hand, with comments and loose spacing
// that a rewrite of any other section must leave alone.
std::string HandWrittenSettings() {
  std::string text =
      "; Настройки kvartapc\r\n[CURR_PAR]\r\nProtokol = 0\r\nConn_Prz = 0\r\n"
      "CheckFile_Port = 1\r\nForm_Width = 1000\r\nForm_Height = 700\r\nForm_Left = 10\r\n"
      "Form_Top = 20\r\n\r\n";
  for (const char* section : {"DIR_CONN_PAR", "FON_CONN_PAR", "ADAP_CONN_PAR"}) {
    text += std::string("[") + section +
            "]\r\nCOMPort=1\r\nAdr=1\r\nAdr_Modbus=1\r\nChan_ind=0\r\nRate_ch0=9600\r\n"
            "Preambles_ch0=5\r\nRate_ch5=9600\r\nPreambles_ch5=5\r\nRepeat=1\r\n"
            "TimeOut=100\r\nWaitTime=6\r\n";
  }
  text += "Default_Command=0\r\nCommand=ATZ^ATE0\r\n; модем\r\nConnectWaitTime=50\r\n";
  return Utf8ToCp1251(text);
}

TEST(SettingsStore, OnlyAChangedSectionIsRewrittenAndNoChangeTouchesNeitherFile) {
  TempDir dir;
  const ProgramFolders folders = FoldersIn(dir.path());
  ASSERT_TRUE(CreateProgramFolders(folders));
  WriteRaw(folders.SettingsPath(), HandWrittenSettings());
  WriteRaw(folders.PhoneBookPath(),
           Utf8ToCp1251("[FON_CONN_PAR]\r\nusers_num=1\r\n[FON_ABONENT_1]\r\nuser_name=Ёлка\r\n"));
  const std::string settings_before = ReadRaw(folders.SettingsPath());
  const ino_t settings_inode = Inode(folders.SettingsPath());
  const ino_t book_inode = Inode(folders.PhoneBookPath());

  SettingsStore store(folders);
  ASSERT_TRUE(store.Load(1920, 1080));
  EXPECT_EQ(store.phone_book().slots[0].name, "Ёлка");
  store.SetWindowGeometry(1000, 700, 10, 20);  // the window did not move
  ASSERT_TRUE(store.Save());
  EXPECT_EQ(Inode(folders.SettingsPath()), settings_inode);
  EXPECT_EQ(ReadRaw(folders.SettingsPath()), settings_before);

  store.settings.dir_conn.rate_ch0 = 57600;
  ASSERT_TRUE(store.Save());
  std::string expected = HandWrittenSettings();
  const std::string dir_rate =
      "[DIR_CONN_PAR]\r\nCOMPort=1\r\nAdr=1\r\nAdr_Modbus=1\r\n"
      "Chan_ind=0\r\nRate_ch0=9600\r\n";
  const size_t at = expected.find(dir_rate);
  ASSERT_NE(at, std::string::npos);
  expected.replace(at + dir_rate.size() - 6, 4, "57600");
  // The hand-written direct section said WaitTime=6: written back as stored.
  EXPECT_EQ(ReadRaw(folders.SettingsPath()), expected);
  EXPECT_EQ(Inode(folders.PhoneBookPath()), book_inode);
  EXPECT_EQ(store.snapshot, store.settings);

  // Nor does a settings change create a phone book where there is none.
  fs::remove(folders.PhoneBookPath());
  SettingsStore without_book(folders);
  ASSERT_TRUE(without_book.Load(1920, 1080));
  without_book.settings.dir_conn.rate_ch0 = 19200;
  ASSERT_TRUE(without_book.Save());
  EXPECT_FALSE(fs::exists(folders.PhoneBookPath()));
}

TEST(SettingsStore, AddingASubscriberRewritesAllTwoHundredSlots) {
  TempDir dir;
  SettingsStore store(FoldersIn(dir.path() + "/deep/home"));
  ASSERT_TRUE(store.Load(1920, 1080));
  EXPECT_TRUE(fs::is_directory(store.folders().config));
  EXPECT_TRUE(fs::is_directory(store.folders().session));
  PhoneBook& book = store.phone_book();
  book.slots[0] = {"Котельная №5 (100%)", 7, 1, "+7 900 000-00-00"};
  book.users_num = 1;
  ASSERT_TRUE(store.Save());

  const IniFile ini(store.folders().PhoneBookPath());
  for (int i = 1; i <= kMaxSubscribers; ++i) {
    const std::string section = "FON_ABONENT_" + std::to_string(i);
    EXPECT_TRUE(ini.KeyExists(section, "user_name")) << section;
    EXPECT_TRUE(ini.KeyExists(section, "phone_code")) << section;
  }
  EXPECT_EQ(ini.ReadInteger("FON_CONN_PAR", "users_num", 0), 1);
  // The phone group is compared with its phone book: FON_CONN_PAR of the
  // settings file is written too, without the book's keys.
  const IniFile settings(store.folders().SettingsPath());
  EXPECT_TRUE(settings.SectionExists("FON_CONN_PAR"));
  EXPECT_FALSE(settings.KeyExists("FON_CONN_PAR", "users_num"));
  EXPECT_FALSE(settings.SectionExists("DIR_CONN_PAR"));

  const PhoneBook again = LoadPhoneBook(store.folders().PhoneBookPath());
  EXPECT_EQ(again, book);
}

TEST(SettingsStore, AFailedSaveIsRetriedLater) {
  TempDir dir;
  SettingsStore store(FoldersIn(dir.path()));
  store.Load(1920, 1080);
  fs::remove_all(store.folders().ini);
  store.settings.dir_conn.adr = 9;
  store.phone_book().users_num = 1;
  EXPECT_FALSE(store.Save());
  EXPECT_NE(store.snapshot, store.settings);

  fs::create_directory(store.folders().ini);
  EXPECT_TRUE(store.Save());
  EXPECT_EQ(store.snapshot, store.settings);
  EXPECT_EQ(LoadConnectionSettings(store.folders().SettingsPath(), 0, 0).dir_conn.adr, 9);
  EXPECT_EQ(LoadPhoneBook(store.folders().PhoneBookPath()).users_num, 1);
}

TEST(ProgramFolders, ResolvesInOrderOfPrecedence) {
  TempDir dir;
  ProgramFolderSources s;
  s.home_option = "/opt/a/";
  s.home_env = "/opt/b";
  s.exe_folder = dir.path();
  s.xdg_data_home = "/data";
  s.user_home = "/home/u";
  EXPECT_EQ(ResolveProgramFolder(s), "/opt/a");
  s.home_option.clear();
  EXPECT_EQ(ResolveProgramFolder(s), "/opt/b");
  s.home_env.clear();
  EXPECT_EQ(ResolveProgramFolder(s), "/data/kvartapc");  // no INI beside the executable
  fs::create_directory(dir.path() + "/INI");
  EXPECT_EQ(ResolveProgramFolder(s), dir.path());  // portable install
  s.exe_folder.clear();
  s.xdg_data_home = "relative";
  EXPECT_EQ(ResolveProgramFolder(s), "/home/u/.local/share/kvartapc");

  const ProgramFolders f = FoldersIn("/opt/a/");
  EXPECT_EQ(f.SettingsPath(), "/opt/a/INI/kvarta04.ini");
  EXPECT_EQ(f.PhoneBookPath(), "/opt/a/INI/abonents.ini");
  EXPECT_EQ(f.session, "/opt/a/COMMUNIC_SESSION");
}

PhoneBook BookOf(const std::vector<std::pair<std::string, std::string>>& entries) {
  PhoneBook book;
  for (const auto& [name, phone] : entries) {
    const uint8_t number = static_cast<uint8_t>(book.users_num + 1);
    book.slots[book.users_num] = {name, number, 1, phone};
    ++book.users_num;
  }
  return book;
}

std::vector<std::string> Names(const PhoneBook& book) {
  std::vector<std::string> names;
  for (int i = 0; i < book.users_num; ++i) names.push_back(book.slots[i].name);
  return names;
}

TEST(PhoneBook, LoadsCp1251CutsLongTextsAndKeepsCountsInBounds) {
  TempDir dir;
  const std::string path = dir.File("abonents.ini");
  const std::string long_name(60, 'N');
  std::ofstream(path, std::ios::binary) << Utf8ToCp1251(
      "[fon_conn_par]\r\nUSERS_NUM=2\r\nuser_index=1\r\nsort_prz=1\r\n"
      "[FON_ABONENT_1]\r\nuser_name=ГРС «Северная»\r\ncontr_adr=300\r\n"
      "phone_code=8 (812) 555-12-34 доб. 1234567890\r\n"
      "[FON_ABONENT_2]\r\nuser_name=" +
      long_name + "\r\n");
  const PhoneBook book = LoadPhoneBook(path);
  // users_num, user_index, sort_prz
  EXPECT_EQ((std::vector<int>{book.users_num, book.user_index, book.sort_prz}),
            (std::vector<int>{2, 1, 1}));
  // The address narrowed to a byte, the phone cut to 29 characters.
  EXPECT_EQ(book.slots[0], (Subscriber{"ГРС «Северная»", 44, 1, "8 (812) 555-12-34 доб. 123456"}));
  EXPECT_EQ(book.slots[1].name, std::string(49, 'N'));
  EXPECT_EQ(book.slots[199].contr_adr, 1);
  EXPECT_EQ(book.slots[199].name, "");

  // Impossible counts from the file are kept in bounds.
  std::ofstream(path) << "[FON_CONN_PAR]\nusers_num=250\nuser_index=230\n";
  const PhoneBook odd = LoadPhoneBook(path);
  EXPECT_EQ(odd.users_num, kMaxSubscribers);
  EXPECT_EQ(odd.user_index, 0);
}

TEST(PhoneBook, SavesAllSlotsAndReadsThemBack) {
  TempDir dir;
  const std::string path = dir.File("abonents.ini");
  PhoneBook book = BookOf({{"Узел 100%", "123"}, {"  пробелы", "%d%s"}});
  book.slots[150] = {"остаток", 3, 4, "9"};  // beyond the entries: kept as it is
  ASSERT_TRUE(SavePhoneBook(path, book));
  const IniFile ini(path);
  EXPECT_EQ(ini.ReadString("FON_ABONENT_200", "user_name", "x"), "");
  EXPECT_EQ(ini.ReadInteger("FON_ABONENT_151", "adr_modbus", 0), 4);
  const PhoneBook again = LoadPhoneBook(path);
  EXPECT_EQ(again.slots[0].name, "Узел 100%");
  EXPECT_EQ(again.slots[1].phone_code, "%d%s");
  EXPECT_EQ(again.slots[150], book.slots[150]);
  // Blanks around a value survive: it is written inside quotes.
  EXPECT_EQ(again.slots[1].name, "  пробелы");
}

TEST(SortPhoneBook, IgnoresCaseCyrillicIncludedAndPutsLatinFirst) {
  PhoneBook book = BookOf({{"Бета", "3"},
                           {"альфа", "2"},
                           {"Гамма", "1"},
                           {"АЛЬФА-2", "5"},
                           {"zeta", "4"},
                           {"Alpha", "6"},
                           {"ёж", "7"},
                           {"Ель", "8"}});
  book.user_index = 2;  // Гамма
  SortPhoneBook(book, 0);
  // Ё is byte 0xA8 in code page 1251, below А (0xC0).
  EXPECT_EQ(Names(book), (std::vector<std::string>{"Alpha", "zeta", "ёж", "альфа", "АЛЬФА-2",
                                                   "Бета", "Гамма", "Ель"}));
  EXPECT_EQ(book.user_index, 6);
  EXPECT_EQ(book.slots[6].contr_adr, 3);  // the whole entry moved with its name

  SortPhoneBook(book, 1);
  EXPECT_EQ(book.slots[0].phone_code, "1");
  EXPECT_EQ(book.slots[7].phone_code, "8");
  EXPECT_EQ(book.slots[book.user_index].name, "Гамма");
}

TEST(SortPhoneBook, EqualNamesKeepOrderAndSelectionMovesToTheLaterOne) {
  PhoneBook book = BookOf({{"Склад", "1"}, {"База", "2"}, {"склад", "3"}, {"Склад", "4"}});
  book.user_index = 0;  // the first "Склад"
  SortPhoneBook(book, 0);
  EXPECT_EQ(Names(book), (std::vector<std::string>{"База", "Склад", "склад", "Склад"}));
  EXPECT_EQ(book.slots[1].phone_code, "1");
  EXPECT_EQ(book.slots[3].phone_code, "4");
  EXPECT_EQ(book.user_index, 3);

  // An unknown mode leaves the order alone and only re-finds the selection.
  PhoneBook other = BookOf({{"Б", "1"}, {"А", "2"}, {"Б", "3"}});
  other.user_index = 0;
  SortPhoneBook(other, 7);
  EXPECT_EQ(Names(other), (std::vector<std::string>{"Б", "А", "Б"}));
  EXPECT_EQ(other.user_index, 2);
}

TEST(SubscriberKeyLess, ComparesUnsignedBytesAfterUpperCasing) {
  EXPECT_TRUE(SubscriberKeyLess("abc", "ABD"));
  EXPECT_FALSE(SubscriberKeyLess("ABC", "abc"));
  EXPECT_FALSE(SubscriberKeyLess("abc", "ABC"));
  EXPECT_TRUE(SubscriberKeyLess("z", "а"));  // Latin before Cyrillic
  EXPECT_TRUE(SubscriberKeyLess("", "a"));
  EXPECT_TRUE(SubscriberKeyLess("я", "яя"));
}

// A lone CR inside an INI file ends its line: the value before it reads
// without it, so a save and load gives the same value (found by the
// phone book fuzz target: the CR became a blank inside the phone number).

TEST(IniLoneCr, EndsTheLineAndSurvivesASave) {
  test::TempDir dir;
  const std::string path = dir.File("abonents.ini");
  const std::string bytes =
      "[FON_CONN_PAR]\r\nusers_num=1\r\n\r\n[FON_ABONENT_1]\r\nuser_name=a\r\n"
      "phone_code=12-63\r-45\r\ncontr_adr=3\r\n";
  std::ofstream(path, std::ios::binary) << bytes;

  IniFile ini(path);
  EXPECT_EQ(ini.Bytes(), bytes);  // untouched lines stay byte for byte
  EXPECT_EQ(ini.ReadString("FON_ABONENT_1", "phone_code", ""), "12-63");
  EXPECT_EQ(ini.ReadInteger("FON_ABONENT_1", "contr_adr", 0), 3);

  const PhoneBook book = LoadPhoneBook(path);
  ASSERT_TRUE(SavePhoneBook(path, book));
  EXPECT_EQ(LoadPhoneBook(path), book);
  EXPECT_EQ(book.slots[0].phone_code, "12-63");
}

}  // namespace
}  // namespace kvarta
