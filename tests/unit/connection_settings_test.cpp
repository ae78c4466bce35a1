#include "connection/connection_settings.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "connection/ini_file.h"
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
  const ConnectionSettings s = LoadConnectionSettings("/nonexistent/kvarta04.ini", 1920, 1080);
  EXPECT_EQ(s.Kind(), ConnectionKind::kDirect);
  EXPECT_EQ(s.curr.check_file_port, 1);
  EXPECT_EQ(s.curr.form_width, 1920);
  EXPECT_EQ(s.curr.form_height, 1060);
  EXPECT_EQ(s.curr.form_left, 0);
  EXPECT_EQ(s.curr.form_top, -4);
  for (ConnectionKind kind :
       {ConnectionKind::kDirect, ConnectionKind::kPhone, ConnectionKind::kAdapter}) {
    const ChannelParams& c = s.Channel(kind);
    EXPECT_EQ(c.com_port, 1);
    EXPECT_EQ(c.adr, 1);
    EXPECT_EQ(c.SelectedRate(), 9600u);
    EXPECT_EQ(c.SelectedPreambles(), 5);
    EXPECT_EQ(c.repeat, 1);
    EXPECT_EQ(c.time_out, 100u);
    EXPECT_EQ(c.wait_time, kind == ConnectionKind::kDirect ? 2u : 6u);
  }
  EXPECT_EQ(s.modem.command, "");
  EXPECT_EQ(s.modem.connect_wait_time, 50u);
  EXPECT_EQ(s.modem.conn_repeat, 1u);
  EXPECT_EQ(s.adap_line.k_output, 230);
  EXPECT_EQ(s.adap_line.k_input, 250);
  EXPECT_EQ(s.adap_line.correction_value, 1900);
  EXPECT_EQ(s.modbus.free_port_wait, 1000u);
  EXPECT_EQ(s.modbus.data_size, 8u);
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

TEST(SettingsStore, ClosingWithoutChangesTouchesNeitherFile) {
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
  EXPECT_EQ(Inode(folders.PhoneBookPath()), book_inode);
  EXPECT_EQ(ReadRaw(folders.SettingsPath()), settings_before);
}

TEST(SettingsStore, ChangingTheDirectRateRewritesOnlyItsSection) {
  TempDir dir;
  const ProgramFolders folders = FoldersIn(dir.path());
  ASSERT_TRUE(CreateProgramFolders(folders));
  WriteRaw(folders.SettingsPath(), HandWrittenSettings());
  SettingsStore store(folders);
  store.Load(1920, 1080);
  store.SetWindowGeometry(1000, 700, 10, 20);
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
  EXPECT_FALSE(fs::exists(folders.PhoneBookPath()));
  EXPECT_EQ(store.snapshot, store.settings);
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

}  // namespace
}  // namespace kvarta
