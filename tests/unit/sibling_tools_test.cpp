// The hand-over to the sibling tools, with tiny stand-ins built by the tests.
#include "app/sibling_tools.h"

#include "app/main_menu.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "link/controller_link.h"
#include "support/fakes.h"
#include "support/temp_dir.h"

namespace kvarta {
namespace {

bool Exists(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0;
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

class SiblingToolsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(mkdir((dir.path() + "/INI").c_str(), 0755), 0);
    folder = dir.path() + "/";
    params = dir.path() + "/INI/" + kAdminParamFileName;
  }
  test::TempDir dir;
  std::string folder;
  std::string params;
};

TEST_F(SiblingToolsTest, RecordCarriesTheLinkValuesAtTheirOffsets) {
  test::FakeHost host;
  test::FakeClock clock;
  ControllerLink link(host, clock);
  link.address = 17;
  link.baud_rate = 9600;
  link.preamble_count = 5;
  link.SetCredentials("secret", "1234");
  link.inter_byte_timeout_ms = 100;
  link.answer_timeout_ms = 6000;
  link.attempts = 3;
  const AdminRecord r = BuildAdminRecord(link, true);
  EXPECT_EQ(r[0], 1);
  EXPECT_EQ(r[51], 17);
  EXPECT_EQ(r[52] | r[53] << 8, 9600);
  EXPECT_EQ(r[56], 5);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&r[57]), 12), "secret      ");
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&r[69]), 4), "1234");
  EXPECT_EQ(r[73], 100);
  EXPECT_EQ(r[77] | r[78] << 8, 6000);
  EXPECT_EQ(r[81], 3);
  for (size_t i : {1u, 50u, 82u, 131u}) EXPECT_EQ(r[i], 0) << i;
}

TEST_F(SiblingToolsTest, LibraryGetsTheFolderAndPortAndTheFileIsPrivateRemovedAndNeverALink) {
  AdminRecord record{};
  record[0] = 1;
  record[51] = 42;
  const AdminToolsResult r = RunAdminTools(ADMIN_TOOLS_STUB, folder, params, 7, record);
  ASSERT_EQ(r.outcome, AdminToolsOutcome::kCalled) << r.error_text;
  EXPECT_TRUE(r.record_read);
  EXPECT_EQ(r.record_after[0], 0);  // the library ended the call
  EXPECT_EQ(r.record_after[51], 42);
  EXPECT_EQ(ReadAll(folder + "stub_report"), "port=7 mode=600 read=132 address=42\n");
  EXPECT_FALSE(Exists(params));

  // A parameter file name holding a link is never written through.
  const std::string target = dir.path() + "/victim";
  std::ofstream(target) << "untouched";
  ASSERT_EQ(symlink(target.c_str(), params.c_str()), 0);
  record[57] = 's';
  EXPECT_EQ(RunAdminTools(ADMIN_TOOLS_STUB, folder, params, 7, record).outcome,
            AdminToolsOutcome::kCalled);
  EXPECT_EQ(ReadAll(target), "untouched");
  EXPECT_FALSE(Exists(params));
}

TEST_F(SiblingToolsTest, TheFileIsRemovedWhenTheLibraryCannotBeUsed) {
  const AdminToolsResult missing =
      RunAdminTools(dir.path() + "/absent.so", folder, params, 7, AdminRecord{});
  EXPECT_EQ(missing.outcome, AdminToolsOutcome::kLoadFailed);
  EXPECT_FALSE(missing.error_text.empty());
  EXPECT_FALSE(Exists(params));

  const AdminToolsResult no_entry =
      RunAdminTools(ADMIN_TOOLS_NO_ENTRY, folder, params, 7, AdminRecord{});
  EXPECT_EQ(no_entry.outcome, AdminToolsOutcome::kEntryMissing);
  EXPECT_NE(no_entry.error_text.find(kAdminEntryName), std::string::npos);
  EXPECT_FALSE(Exists(params));

  const AdminToolsResult no_folder = RunAdminTools(
      ADMIN_TOOLS_STUB, folder, dir.path() + "/missing/dll_work_par.ini", 7, AdminRecord{});
  EXPECT_EQ(no_folder.outcome, AdminToolsOutcome::kParamFileError);
}

TEST_F(SiblingToolsTest, ProgramsAreFoundInTheProgramFolderNeverTheCurrentOneAndAreWaitedFor) {
  test::TempDir elsewhere;
  std::filesystem::copy_file(SIBLING_PROGRAM_STUB, dir.path() + "/fw_loader");
  std::ofstream(elsewhere.path() + "/session_reader") << "planted";
  char old[4096];
  ASSERT_EQ(getcwd(old, sizeof old), old);
  ASSERT_EQ(chdir(elsewhere.path().c_str()), 0);
  const std::vector<std::string> folders = {dir.path() + "/no-such-folder", dir.path()};
  const std::string found = LocateSiblingFile("fw_loader", folders);
  EXPECT_EQ(found, dir.path() + "/fw_loader");
  EXPECT_TRUE(RunSiblingProgram(found));
  // Waited for: the tool's output is there when the call returns.
  EXPECT_NE(ReadAll("ran").find("fw_loader"), std::string::npos);
  // What lies in the current folder is never taken.
  EXPECT_EQ(LocateSiblingFile("session_reader", folders), "");
  EXPECT_FALSE(RunSiblingProgram(""));
  ASSERT_EQ(chdir(old), 0);
}

}  // namespace
}  // namespace kvarta
