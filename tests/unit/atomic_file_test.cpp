// Replacing files: permissions, symbolic links and what an interrupted save
// leaves behind.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/atomic_file.h"
#include "support/temp_dir.h"

namespace kvarta::test {
namespace {

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

}  // namespace
}  // namespace kvarta::test
