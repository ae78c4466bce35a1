// The controller's session record: reading it field by field from the
// simulated controller, the viewer's views and saving, files, the recording
// mode and the clearing request.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstring>

#include "link/message_window.h"
#include "monitor/session_record.h"
#include "monitor_dialogs_fake.h"
#include "platform/atomic_file.h"
#include "platform/cp1251.h"
#include "sim_peer.h"
#include "support/temp_dir.h"

namespace kvarta {
namespace {

class SessionRecordTest : public ::testing::Test {
 protected:
  std::string Read(SessionReadResult expected, int expected_fields) {
    std::string text;
    int fields = -1;
    EXPECT_EQ(ReadSessionRecord(peer.link, peer.image, &peer.status, text, &fields), expected);
    EXPECT_EQ(fields, expected_fields);
    return text;
  }

  test::SimPeer peer;
  test::FakeMonitorDialogs dialogs;
  test::TempDir dir;
};

TEST_F(SessionRecordTest, ReadingStopsAtTheFirstFieldHoldingANul) {
  peer.controller.SetSessionLength(0);
  EXPECT_EQ(Read(SessionReadResult::kEmpty, 1), "");
  ASSERT_EQ(peer.host.shown.size(), 1u);
  EXPECT_EQ(peer.host.shown[0].line1, "Длина текста сообщения равна нулю.");
  EXPECT_EQ(peer.Reads(22).size(), 1u);  // field 7 first

  peer.controller.SetSessionLength(200);  // field 0 full, field 1 starts with NUL
  EXPECT_EQ(Read(SessionReadResult::kText, 2).size(), 200u);

  peer.controller.SetSessionLength(8000);
  const std::string full = Read(SessionReadResult::kText, 40);
  EXPECT_EQ(full.size(), 8000u);
  EXPECT_EQ(full.find('\0'), std::string::npos);

  // A failed field shows nothing of what was read before it.
  peer.before_answer = [this](const test::SimPeer::Request& r) {
    if (r.table == 19 && r.first == 3) peer.silent = 1;
  };
  EXPECT_EQ(Read(SessionReadResult::kFailed, 3), "");
  peer.before_answer = nullptr;
  bool viewer = false;
  dialogs.on_seans_audit = [&](SeansAuditModel&) { viewer = true; };
  peer.silent = 1;
  EXPECT_FALSE(ShowSessionRecord(peer.link, peer.image, &peer.status, dir.path(), dialogs));
  EXPECT_FALSE(viewer);
}

TEST(SessionRecordViews, FreeBytesWordsHexDumpAndCharacters) {
  auto free_text = [](int free) { return FreeBytesText(8000 - free); };
  EXPECT_EQ(free_text(21), "В буфере свободно 21 байт  из 8000");
  EXPECT_EQ(free_text(22), "В буфере свободно 22 байта  из 8000");
  EXPECT_EQ(free_text(25), "В буфере свободно 25 байтов  из 8000");
  EXPECT_EQ(free_text(11), "В буфере свободно 11 байт  из 8000");
  EXPECT_EQ(free_text(12), "В буфере свободно 12 байта  из 8000");
  EXPECT_EQ(FreeBytesText(12600), "В буфере свободно 0 байтов  из 8000");

  EXPECT_EQ(HexDumpLines("Hello"),
            (std::vector<std::string>{"48 65 6C 6C 6F 00" + std::string(50 - 17, ' ') + "Hello."}));
  const std::string text = Utf8ToCp1251("Я\r\nok\nx\ry");
  const auto hex = HexDumpLines(text);
  ASSERT_EQ(hex.size(), 1u);
  EXPECT_EQ(hex[0].substr(0, 3), "DF ");
  EXPECT_EQ(hex[0].substr(50), "...ok.x.y.");
  EXPECT_EQ(CharacterLines(text), (std::vector<std::string>{"Я", "ok", "x", "y"}));
  EXPECT_EQ(HexDumpLines(std::string(16, 'a')).size(), 2u);  // the NUL starts line 2
}

TEST_F(SessionRecordTest, ViewerSwitchesViewsAndSavesUnderTheProposedName) {
  *peer.controller.Field(3, 0) = 7;
  peer.controller.SetFieldText(3, 104, "Котельная/№1:*", 18);
  peer.controller.SetSessionLength(300);
  peer.clock.local = {2026, 3, 24, 9, 5, 0, 0};
  // Start-up has read the identification and the upper-level link tables.
  std::memcpy(peer.image.Table(0), peer.controller.Field(0, 0), 18);
  std::memcpy(peer.image.Table(3), peer.controller.Field(3, 0), 122);
  std::string saved_path;
  dialogs.on_seans_audit = [&](SeansAuditModel& m) {
    EXPECT_EQ(m.caption, " Содержание сеанса связи по инициативе контроллера");
    EXPECT_TRUE(m.save_visible);
    EXPECT_FALSE(m.hex_mode());
    EXPECT_EQ(m.switch_caption, "Шестнадцатиричный код");
    EXPECT_EQ(m.free_label, "В буфере свободно 7700 байтов  из 8000");
    m.OnSwitchView();
    EXPECT_EQ(m.switch_caption, "Символьный вид");
    EXPECT_EQ(m.lines.size(), 301u / 16 + 1);
    m.OnSwitchView();
    EXPECT_FALSE(m.hex_mode());

    dialogs.file_answers = {dir.File("first")};
    ASSERT_TRUE(m.OnSave());
    saved_path = dir.File("first.txt");
  };
  ASSERT_TRUE(ShowSessionRecord(peer.link, peer.image, &peer.status, dir.path(), dialogs));
  ASSERT_EQ(dialogs.save_specs.size(), 1u);
  EXPECT_EQ(dialogs.save_specs[0].file_name,
            dir.path() + "/kvarta04-mc55it-Котельная_№1__-007-260324-0905.txt");
  EXPECT_EQ(dialogs.save_specs[0].initial_folder, dir.path());
  std::string bytes;
  ASSERT_TRUE(ReadWholeFile(saved_path, bytes));
  EXPECT_EQ(bytes.size(), 300u);
  EXPECT_EQ(bytes, std::string(reinterpret_cast<const char*>(peer.controller.Field(19, 0)), 300));
}

TEST_F(SessionRecordTest, SavingOverAnExistingFileAsksAndFailuresAreReported) {
  SeansAuditModel m(peer.host, dialogs, "abc", LocalDateTime{2026, 3, 24}, dir.path(), {});
  m.OnShow();
  ASSERT_TRUE(WriteFileAtomically(dir.File("old.txt"), "old"));
  // "Нет" shows the dialog again with the chosen name; then another name.
  peer.host.answers = {false};
  dialogs.file_answers = {dir.File("old.txt"), dir.File("new.log")};
  ASSERT_TRUE(m.OnSave());
  ASSERT_EQ(peer.host.shown.size(), 1u);
  EXPECT_EQ(peer.host.shown[0].line1, "Файл old.txt уже есть.");
  EXPECT_EQ(peer.host.shown[0].line2, "Вы хотите заменить его?");
  EXPECT_EQ(dialogs.save_specs.back().file_name, dir.File("old.txt"));
  std::string bytes;
  ASSERT_TRUE(ReadWholeFile(dir.File("old.txt"), bytes));
  EXPECT_EQ(bytes, "old");
  ASSERT_TRUE(ReadWholeFile(dir.File("new.log"), bytes));
  EXPECT_EQ(bytes, "abc");

  dialogs.file_answers = {};
  EXPECT_FALSE(m.OnSave());  // cancelled: nothing said
  EXPECT_EQ(peer.host.shown.size(), 1u);
  dialogs.file_answers = {dir.File("missing/folder/x.txt")};
  EXPECT_FALSE(m.OnSave());
  EXPECT_EQ(peer.host.shown.back().line1, "Сбой при работе с файлом");
}

TEST_F(SessionRecordTest, FilesUpTo12600BytesAreShown) {
  ASSERT_TRUE(WriteFileAtomically(dir.File("a.txt"), std::string(12600, 'a')));
  ASSERT_TRUE(WriteFileAtomically(dir.File("b.txt"), std::string(12601, 'b')));
  dialogs.file_answers = {dir.File("a.txt"), dir.File("b.txt"), dir.File("none.txt")};
  std::string caption;
  size_t length = 0;
  dialogs.on_seans_audit = [&](SeansAuditModel& m) {
    caption = m.caption;
    length = m.text().size();
    EXPECT_FALSE(m.save_visible);
    EXPECT_FALSE(m.OnSave());
  };
  EXPECT_TRUE(ShowSessionFile(peer.host, dir.path(), dialogs));
  EXPECT_EQ(length, 12600u);
  EXPECT_EQ(caption, " Содержание сеанса связи по инициативе контроллера (файл a.txt)");
  EXPECT_EQ(dialogs.open_specs[0].filter_index, 2);
  EXPECT_TRUE(dialogs.open_specs[0].must_exist);

  EXPECT_FALSE(ShowSessionFile(peer.host, dir.path(), dialogs));
  EXPECT_EQ(peer.host.shown.back().line1, "Длина файла превышает допустимую");
  EXPECT_EQ(peer.host.shown.back().line2, "(д.б. не больше 12600");
  EXPECT_FALSE(ShowSessionFile(peer.host, dir.path(), dialogs));
  EXPECT_EQ(peer.host.shown.back().line1, "Ошибка открытия файла");
  EXPECT_EQ(dialogs.viewer_opened, 1);
}

TEST_F(SessionRecordTest, RecordingModeWritesOnlyTheChangedField) {
  dialogs.on_need_seans_wr = [](NeedSeansWrModel& m) {
    EXPECT_EQ(m.selected, 1);  // the demo controller records every session
    EXPECT_EQ(m.items[2], " Запись только неудачных сеансов связи");
    m.OnChoose(-1);
    m.OnAccept();  // nothing chosen: reported, still open
    EXPECT_FALSE(m.closed());
    m.OnChoose(2);
    m.OnAccept();
  };
  ASSERT_TRUE(SetSessionRecordingMode(peer.link, peer.image, &peer.status, dialogs));
  EXPECT_EQ(peer.host.shown.at(0).kind, kMessageInputError);
  EXPECT_EQ(peer.host.shown.at(0).line1, "Не введен параметр");
  const auto writes = peer.Requests(2);
  ASSERT_EQ(writes.size(), 1u);
  EXPECT_EQ(writes[0].table, 3);
  EXPECT_EQ(writes[0].first, 4);
  EXPECT_EQ(writes[0].count, 1);
  EXPECT_EQ(writes[0].values, (test::Bytes{2}));
  EXPECT_EQ(*peer.controller.Field(3, 4), 2);

  // The same mode again: nothing to send.
  dialogs.on_need_seans_wr = [](NeedSeansWrModel& m) { m.OnAccept(); };
  SetSessionRecordingMode(peer.link, peer.image, &peer.status, dialogs);
  EXPECT_EQ(peer.Requests(2).size(), 1u);
}

TEST_F(SessionRecordTest, ClearingWritesBackTheValueJustRead) {
  peer.controller.SetSessionLength(500);
  EXPECT_FALSE(ClearSessionRecord(peer.link, peer.image, &peer.status));  // "Нет"
  EXPECT_TRUE(peer.requests.empty());

  peer.host.answers = {true};
  ASSERT_TRUE(ClearSessionRecord(peer.link, peer.image, &peer.status));
  ASSERT_EQ(peer.requests.size(), 2u);
  EXPECT_EQ(peer.requests[0].function, 1);
  EXPECT_EQ(peer.requests[1].function, 2);
  EXPECT_EQ(peer.requests[1].table, 3);
  EXPECT_EQ(peer.requests[1].first, 4);
  EXPECT_EQ(peer.requests[1].values, (test::Bytes{1}));
  EXPECT_EQ(*peer.controller.Field(3, 4), 1);
  std::string text;
  EXPECT_EQ(ReadSessionRecord(peer.link, peer.image, &peer.status, text),
            SessionReadResult::kEmpty);
}

}  // namespace
}  // namespace kvarta
