// The command history: pushing out the oldest, the file (exact size, sound
// contents, atomic replacement) and the history window's rows and choices.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>

#include "link/message_window.h"
#include "monitor/command_history.h"
#include "monitor/stored_comm_model.h"
#include "platform/atomic_file.h"
#include "support/fakes.h"
#include "support/temp_dir.h"

namespace kvarta {
namespace {

CommandRecord Numbered(int n, bool second_line = false) {
  CommandTexts t;
  t.short_name = "Команда " + std::to_string(n);
  if (second_line) t.second_line = "за период " + std::to_string(n);
  if (n % 2 == 0) t.target = "ВРГ " + std::to_string(n);
  return CommandRecord::Make(CommandFields{static_cast<uint8_t>(1 + n % 13)}, t);
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  ASSERT_TRUE(WriteFileAtomically(path, bytes));
}

std::string BlockText(const CommandHistory& h) {
  return std::string(reinterpret_cast<const char*>(h.Bytes().data()), h.Bytes().size());
}

TEST(CommandHistory, FiftyFirstCommandPushesOutTheOldest) {
  test::TempDir dir;
  CommandHistory h;
  for (int n = 1; n <= 51; ++n) h.Add(Numbered(n));
  EXPECT_EQ(h.Count(), 50);
  EXPECT_EQ(h.CurrentIndex(), 49);
  EXPECT_EQ(h.Entry(0).Texts().short_name, "Команда 2");
  EXPECT_EQ(h.Current().Texts().short_name, "Команда 51");

  const std::string path = dir.File(kHistoryFileName);
  ASSERT_TRUE(h.Save(path));
  struct stat st {};
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_size, 22102);
  CommandHistory loaded;
  ASSERT_TRUE(loaded.Load(path));
  EXPECT_EQ(loaded.Bytes(), h.Bytes());
  EXPECT_FALSE(loaded.SetCurrent(50));
  EXPECT_TRUE(loaded.SetCurrent(3));
  EXPECT_EQ(loaded.Current().Texts().short_name, "Команда 5");
}

TEST(CommandHistory, FilesOfAnotherSizeOrWithInconsistentContentsAreIgnored) {
  test::TempDir dir;
  const std::string path = dir.File(kHistoryFileName);
  CommandHistory good;
  good.Add(Numbered(1));
  good.Add(Numbered(2));
  const std::string bytes = BlockText(good);

  auto loads = [&](const std::string& content) {
    WriteBytes(path, content);
    CommandHistory h;
    h.Add(Numbered(7));  // whatever was held before goes
    const bool taken = h.Load(path);
    EXPECT_EQ(taken, !h.Empty());
    return taken;
  };
  EXPECT_TRUE(loads(bytes));
  EXPECT_FALSE(loads(bytes.substr(0, bytes.size() - 1)));
  EXPECT_FALSE(loads(bytes + '\0'));
  std::string many = bytes;
  many[0] = 51;
  EXPECT_FALSE(loads(many));
  std::string past = bytes;
  past[1] = 2;  // current index not below the count
  EXPECT_FALSE(loads(past));
  // An entry that would write into another table when sent again.
  std::string other_table = bytes;
  other_table[2 + 442 + 210] = 3;
  EXPECT_FALSE(loads(other_table));
  std::string too_many_fields = bytes;
  too_many_fields[2 + 212] = 13;
  EXPECT_FALSE(loads(too_many_fields));

  CommandHistory missing;
  EXPECT_FALSE(missing.Load(dir.File("none.ini")));
  EXPECT_TRUE(missing.Empty());
}

TEST(StoredCommModel, RowsSelectionAndSizing) {
  test::FakeHost host;
  CommandHistory h;
  h.Add(Numbered(1));                        // no target, no second line: one row
  h.Add(Numbered(2, /*second_line=*/true));  // two rows
  h.Add(Numbered(3));
  h.SetCurrent(1);
  StoredCommModel m(host, h, 110, 220);
  m.OnShow(2);
  ASSERT_EQ(m.rows.size(), 4u);
  EXPECT_EQ(m.rows[0].number, " 1");
  EXPECT_EQ(m.rows[0].name, " Команда 1");
  EXPECT_EQ(m.rows[0].target, "");
  EXPECT_EQ(m.rows[1].target, " ВРГ 2");
  EXPECT_EQ(m.rows[2].number, "");
  EXPECT_EQ(m.rows[2].name, " за период 2");
  EXPECT_EQ(m.selected_row, 1);
  EXPECT_FALSE(m.grid_scroll_bar);
  EXPECT_EQ(m.grid_height, 4 * 21 + 1);
  EXPECT_EQ(m.panel_height, 2 + m.grid_height + 1);
  EXPECT_EQ(m.window_height, m.panel_height + 76);

  // The second-line row stands for its entry.
  m.OnSelectRow(2);
  m.OnAccept();
  EXPECT_EQ(m.result(), StoredCommModel::kChosen);
  EXPECT_EQ(h.CurrentIndex(), 1);
  m.OnShow();
  m.OnSelectRow(3);
  m.OnAccept();
  EXPECT_EQ(h.CurrentIndex(), 2);

  for (int n = 4; n <= 17; ++n) h.Add(Numbered(n));
  m.OnShow();
  EXPECT_EQ(m.rows.size(), 18u);
  EXPECT_TRUE(m.grid_scroll_bar);
  EXPECT_EQ(m.grid_height, 358);
}

TEST(StoredCommModel, ClearAsksAndEscapeDoesTheSame) {
  test::FakeHost host;
  CommandHistory h;
  h.Add(Numbered(1));
  StoredCommModel m(host, h, 0, 0);
  m.OnShow();
  m.OnEscape();  // "Нет"
  ASSERT_EQ(host.shown.size(), 1u);
  EXPECT_EQ(host.shown[0].kind, kMessageQuestion);
  EXPECT_EQ(host.shown[0].line2, "хотите очистить весь список?");
  EXPECT_TRUE(m.closed());
  EXPECT_EQ(m.result(), StoredCommModel::kNothing);
  EXPECT_EQ(h.Count(), 1);

  host.answers = {true};
  m.OnShow();
  m.OnClear();
  EXPECT_EQ(m.result(), StoredCommModel::kCleared);
  EXPECT_TRUE(h.Empty());
  for (uint8_t b : h.Bytes()) ASSERT_EQ(b, 0);
}

}  // namespace
}  // namespace kvarta
