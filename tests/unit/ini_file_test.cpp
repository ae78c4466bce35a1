// The INI file as other editors leave it, read and written back byte for
// byte; and replacing files: permissions, symbolic links and what an
// interrupted or failed save leaves behind.
#include "connection/ini_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/atomic_file.h"
#include "platform/cp1251.h"
#include "support/temp_dir.h"

namespace kvarta {
namespace {

namespace fs = std::filesystem;

using test::TempDir;

void WriteRaw(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string ReadRaw(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// A file as another editor would leave it: code page 1251, CRLF, comments,
// mixed letter case, blanks around '=' and a quoted value.
std::string HandWrittenFile() {
  return Utf8ToCp1251(
      "; Параметры связи\r\n"
      "[Curr_Par]\r\n"
      "conn_prz = 1\r\n"
      "Имя=\"  Иван Петров \"\r\n"
      "Quoted='x'\r\n"
      "Half=\"x\r\n"
      "\r\n"
      "; keep me\r\n"
      "[Абоненты]\r\n"
      "Телефон=8-800\r\n"
      "Unknown=xyz\r\n");
}

TEST(IniFile, ReadsHandWrittenCp1251WithoutRegardToCase) {
  TempDir dir;
  WriteRaw(dir.File("a.ini"), HandWrittenFile());
  IniFile ini;
  ASSERT_TRUE(ini.Load(dir.File("a.ini")));
  EXPECT_EQ(ini.ReadInteger("CURR_PAR", "Conn_Prz", 7), 1);
  EXPECT_EQ(ini.ReadString("curr_par", "ИМЯ", ""), "  Иван Петров ");
  EXPECT_EQ(ini.ReadString("Curr_Par", "Quoted", ""), "x");
  EXPECT_EQ(ini.ReadString("Curr_Par", "Half", ""), "\"x");
  EXPECT_EQ(ini.ReadString("АБОНЕНТЫ", "телефон", ""), "8-800");
  EXPECT_EQ(ini.ReadString("Абоненты", "Missing", "def"), "def");
  EXPECT_EQ(ini.ReadString("Missing", "Unknown", "def"), "def");
  // A key of another section is not found through this one.
  EXPECT_EQ(ini.ReadString("Curr_Par", "Unknown", "none"), "none");
  EXPECT_TRUE(ini.SectionExists("абоненты"));
  EXPECT_FALSE(ini.KeyExists("Curr_Par", "keep me"));
}

TEST(IniFile, WritingKeepsEveryOtherLineByteForByte) {
  TempDir dir;
  const std::string path = dir.File("a.ini");
  WriteRaw(path, HandWrittenFile());
  IniFile ini(path);
  ini.WriteInteger("CURR_PAR", "CONN_PRZ", 2);       // replaced in place
  ini.WriteString("curr_par", "Новый", "Значение");  // after the section's last key
  ini.WriteString("Modbus_Par", "Parity", "0");      // new section at the end
  ASSERT_TRUE(ini.Save());
  EXPECT_EQ(ReadRaw(path), Utf8ToCp1251("; Параметры связи\r\n"
                                        "[Curr_Par]\r\n"
                                        "conn_prz=2\r\n"
                                        "Имя=\"  Иван Петров \"\r\n"
                                        "Quoted='x'\r\n"
                                        "Half=\"x\r\n"
                                        "Новый=Значение\r\n"
                                        "\r\n"
                                        "; keep me\r\n"
                                        "[Абоненты]\r\n"
                                        "Телефон=8-800\r\n"
                                        "Unknown=xyz\r\n"
                                        "\r\n"
                                        "[Modbus_Par]\r\n"
                                        "Parity=0\r\n"));
  IniFile again(path);
  EXPECT_EQ(again.ReadString("CURR_PAR", "новый", ""), "Значение");
  EXPECT_EQ(again.ReadInteger("MODBUS_PAR", "parity", 9), 0);
}

TEST(IniFile, KeepsTheFilesOwnLineEndsAndAnUntouchedFileIdentical) {
  TempDir dir;
  const std::string path = dir.File("lf.ini");
  const std::string lf = "[A]\nx=1\n[B]\ny=2";  // no line end after the last line
  WriteRaw(path, lf);
  IniFile ini(path);
  EXPECT_EQ(ini.Bytes(), lf);
  ini.WriteInteger("A", "z", 3);
  ini.WriteInteger("B", "w", 4);
  EXPECT_EQ(ini.Bytes(), "[A]\nx=1\nz=3\n[B]\ny=2\nw=4\n");

  IniFile fresh(dir.File("new.ini"));
  fresh.WriteInteger("S", "k", -5);
  EXPECT_EQ(fresh.Bytes(), "[S]\r\nk=-5\r\n");
}

TEST(IniFile, IntegersFollowTheProfileRules) {
  TempDir dir;
  const std::string path = dir.File("n.ini");
  WriteRaw(path,
           "[N]\r\nplain= 42 \r\nneg=-7\r\nhex=0x1F\r\ndollar=$FF\r\nall=$FFFFFFFF\r\n"
           "text=abc\r\ntail=12abc\r\nbig=2147483648\r\nmin=-2147483648\r\nempty=\r\n"
           "sign=-\r\nquoted=\"5\"\r\n");
  IniFile ini(path);
  EXPECT_EQ(ini.ReadInteger("N", "plain", 0), 42);
  EXPECT_EQ(ini.ReadInteger("N", "neg", 0), -7);
  EXPECT_EQ(ini.ReadInteger("N", "hex", 0), 31);
  EXPECT_EQ(ini.ReadInteger("N", "dollar", 0), 255);
  EXPECT_EQ(ini.ReadInteger("N", "all", 0), -1);
  EXPECT_EQ(ini.ReadInteger("N", "min", 9), INT32_MIN);
  for (const char* bad : {"text", "tail", "big", "empty", "sign", "missing"}) {
    EXPECT_EQ(ini.ReadInteger("N", bad, 9), 9) << bad;
  }
}

TEST(IniFile, UnreadableFileGivesDefaultsAndAValueNeverBreaksIntoNewLines) {
  TempDir dir;
  IniFile missing;
  EXPECT_FALSE(missing.Load(dir.File("nothing.ini")));
  EXPECT_EQ(missing.ReadInteger("A", "b", 3), 3);
  IniFile folder;
  EXPECT_FALSE(folder.Load(dir.path()));  // a folder, not a file
  EXPECT_EQ(folder.ReadString("A", "b", "d"), "d");
  folder.WriteInteger("A", "b", 1);
  EXPECT_FALSE(folder.Save());  // never replaces what it could not read
  EXPECT_TRUE(fs::is_directory(dir.path()));
  missing.WriteInteger("A", "b", 1);
  EXPECT_TRUE(missing.Save());

  // A value never breaks into new lines.
  missing.WriteString("S", "name", "a\r\n[Evil]\nk=1");
  EXPECT_FALSE(missing.SectionExists("Evil"));
  EXPECT_EQ(missing.ReadString("S", "name", ""), "a  [Evil] k=1");
}

mode_t ModeOf(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 0777 : 0;
}

TEST(WriteFileAtomically, NewFilesTakeTheUmaskAndOldOnesKeepTheirMode) {
  TempDir dir;
  const mode_t old_mask = ::umask(027);
  ASSERT_TRUE(WriteFileAtomically(dir.File("new"), "x"));
  ::umask(old_mask);
  EXPECT_EQ(ModeOf(dir.File("new")), 0640u);

  ASSERT_EQ(::chmod(dir.File("new").c_str(), 0600), 0);
  ASSERT_TRUE(WriteFileAtomically(dir.File("new"), "y"));
  EXPECT_EQ(ModeOf(dir.File("new")), 0600u);
}

TEST(WriteFileAtomically, ALinkStaysALinkAndItsTargetGetsTheContents) {
  TempDir dir;
  ASSERT_TRUE(WriteFileAtomically(dir.File("real.ini"), "old"));
  std::filesystem::create_directory(dir.File("sub"));
  std::filesystem::create_symlink("../real.ini", dir.File("sub/link.ini"));
  ASSERT_TRUE(WriteFileAtomically(dir.File("sub/link.ini"), "new"));
  EXPECT_TRUE(std::filesystem::is_symlink(dir.File("sub/link.ini")));
  std::string bytes;
  ASSERT_TRUE(ReadWholeFile(dir.File("real.ini"), bytes));
  EXPECT_EQ(bytes, "new");
}

TEST(WriteFileAtomically, TheNextSaveRemovesWhatAnInterruptedOneLeft) {
  TempDir dir;
  const std::string stale = dir.File("a.ini.kvtmp-Ab12Cd");
  const std::string fresh = dir.File("a.ini.kvtmp-Zz99Yy");
  const std::string other = dir.File("a.ini.backup");
  for (const std::string& p : {stale, fresh, other}) std::ofstream(p) << "x";
  const timeval old_times[2] = {{1000000, 0}, {1000000, 0}};
  ASSERT_EQ(::utimes(stale.c_str(), old_times), 0);
  ASSERT_TRUE(WriteFileAtomically(dir.File("a.ini"), "data"));
  EXPECT_FALSE(std::filesystem::exists(stale));
  EXPECT_TRUE(std::filesystem::exists(fresh));  // may be another save still running
  EXPECT_TRUE(std::filesystem::exists(other));  // not ours
}

TEST(AtomicFile, ReplacesOrFailsWithoutLeavingATemporaryFile) {
  TempDir dir;
  const auto entries = [&dir] {
    int n = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir.path())) ++n;
    return n;
  };
  const std::string path = dir.File("s.ini");
  WriteRaw(path, "old");
  ASSERT_TRUE(WriteFileAtomically(path, "new contents"));
  EXPECT_EQ(ReadRaw(path), "new contents");
  EXPECT_EQ(entries(), 1);
  EXPECT_FALSE(WriteFileAtomically(dir.File("no/such/folder.ini"), "x"));

  // A rename that fails (a folder in the way) leaves nothing behind either.
  const std::string target = dir.File("taken");
  fs::create_directory(target);
  WriteRaw(target + "/inside", "x");
  EXPECT_FALSE(WriteFileAtomically(target, "new"));
  EXPECT_TRUE(fs::is_directory(target));
  EXPECT_EQ(entries(), 2);
}

TEST(AtomicFile, FailedWriteLeavesTheOriginalIntact) {
  if (::geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
  TempDir dir;
  const std::string path = dir.File("s.ini");
  WriteRaw(path, "original");
  ::chmod(dir.path().c_str(), 0500);
  IniFile ini(path);
  ini.WriteInteger("A", "b", 1);
  EXPECT_FALSE(ini.Save());
  ::chmod(dir.path().c_str(), 0700);
  EXPECT_EQ(ReadRaw(path), "original");
}

}  // namespace
}  // namespace kvarta
