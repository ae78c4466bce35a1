// The monitoring windows against the simulated controller: the clock
// windows (colours of the controller's clock, deviations of the VRG clocks,
// their order, the refresh ticks); table 17 decoded into lines, the memo's
// size, and the window that keeps re-reading the table; the controller's
// session record read field by field, the viewer's views and saving, files,
// the recording mode and the clearing request.
#include <gtest/gtest.h>

#include <cstring>
#include <ctime>

#include "link/config_image.h"
#include "link/message_window.h"
#include "link/result_messages.h"
#include "monitor/clock_windows.h"
#include "monitor/diagnostics.h"
#include "monitor/session_record.h"
#include "monitor_dialogs_fake.h"
#include "platform/atomic_file.h"
#include "platform/cp1251.h"
#include "sim_peer.h"
#include "support/temp_dir.h"

namespace kvarta {
namespace {

LocalDateTime LocalOf(int64_t unix_seconds) {
  const time_t t = static_cast<time_t>(unix_seconds);
  tm l{};
  localtime_r(&t, &l);
  return {l.tm_year + 1900, l.tm_mon + 1, l.tm_mday, l.tm_hour, l.tm_min, l.tm_sec, 0};
}

// The controller's time as the peer's clock stands.
int64_t ControllerUnix(const test::SimPeer& p) {
  return p.unix_now + p.clock.NowNs() / 1000000000;
}

TEST(ClockValues, DeviationsTextsAndImpossibleDates) {
  EXPECT_EQ(FormatDeviation(-5), "-5");
  EXPECT_EQ(FormatDeviation(7), "+7");
  EXPECT_EQ(FormatDeviation(0), "0");
  EXPECT_EQ(FormatDeviation(kUnknownDeviation), "");
  EXPECT_EQ(Deviation(std::nullopt, 5), kUnknownDeviation);
  // Centuries apart still sort as far ahead, never as unknown.
  EXPECT_EQ(Deviation(int64_t{1} << 40, 0), INT32_MAX);
  EXPECT_EQ(Deviation(0, int64_t{1} << 40), INT32_MIN + 1);

  EXPECT_TRUE(ClockValid({24, 2, 29, 23, 59, 59}));
  for (const ShortDateTime& bad :
       {ShortDateTime{25, 2, 29, 0, 0, 0}, ShortDateTime{25, 13, 1}, ShortDateTime{25, 4, 31},
        ShortDateTime{25, 4, 0}, ShortDateTime{25, 4, 1, 24}, ShortDateTime{25, 4, 1, 0, 60},
        ShortDateTime{25, 4, 1, 0, 0, 60}, ShortDateTime{}}) {
    EXPECT_FALSE(ClockValid(bad));
    EXPECT_FALSE(ClockSeconds(bad).has_value());
  }
  const auto a = ClockSeconds(ShortDateTime{26, 3, 24, 12, 0, 0});
  const auto b = ClockSeconds(ShortDateTime{26, 3, 24, 12, 0, 7});
  ASSERT_TRUE(a && b);
  EXPECT_EQ(*b - *a, 7);
}

class ClockWindowTest : public ::testing::Test {
 protected:
  test::SimPeer peer;
  test::FakeMonitorDialogs dialogs;
  test::FakeTimer timer;
};

TEST_F(ClockWindowTest, ControllerOneSecondBehindThePcIsRedInTimeOnly) {
  peer.clock.local = LocalOf(ControllerUnix(peer) + 1);
  bool shown = false;
  dialogs.on_dt = [&](DtModel& m) {
    shown = true;
    m.SetTimer(&timer);
    m.OnShow();
    EXPECT_EQ(m.controller_date_color, kColorBlack);
    EXPECT_EQ(m.controller_time_color, kColorRed);
    EXPECT_EQ(m.controller_date, m.pc_date);
    EXPECT_NE(m.controller_time, m.pc_time);

    // The PC catches up exactly: the next tick turns the time black.
    m.OnRefreshSwitch();
    peer.clock.local = LocalOf(ControllerUnix(peer));
    m.OnTimer();
    EXPECT_EQ(m.controller_time_color, kColorBlack);
    EXPECT_EQ(m.controller_time, m.pc_time);
    EXPECT_TRUE(timer.running);
    EXPECT_EQ(peer.Reads(2).size(), 2u);

    peer.link.connection_kind = ConnectionKind::kPhone;
    peer.carrier_drops = 1;
    m.OnTimer();
    EXPECT_TRUE(m.closed());
    EXPECT_FALSE(timer.running);
  };
  ASSERT_TRUE(ShowControllerClock(peer.link, peer.image, &peer.status, dialogs));
  EXPECT_TRUE(shown);
}

// Sorted by deviation, descending; ties in VRG order; unknown last.
TEST_F(ClockWindowTest, VrgDeviationsAreSortedWithUnknownLast) {
  test::FakeMonitorSession session;
  session.vrg_params[0] = 4;
  for (int k = 0; k < 4; ++k) session.SetVrg(k, static_cast<uint8_t>(5 + k), 1);
  peer.controller.SetVrgClockOffset(0, -5);
  peer.controller.SetVrgClockOffset(1, 7);
  peer.controller.SetVrgClockOffset(2, std::nullopt);
  peer.controller.SetVrgClockOffset(3, 7);
  peer.clock.local = LocalOf(ControllerUnix(peer) + 3);

  dialogs.on_sum_date_par = [&](SumDateParModel& m) {
    m.SetTimer(&timer);
    m.OnShow();
    ASSERT_EQ(peer.Reads(10).size(), 1u);
    EXPECT_EQ(peer.Reads(10)[0].count, 5);
    EXPECT_EQ(m.pc_row.deviation, "+3");
    std::vector<std::string> devices, deviations;
    for (const ClockRowView& r : m.vrg_rows) {
      devices.push_back(r.device);
      deviations.push_back(r.deviation);
      EXPECT_EQ(r.color, kColorWindow);
    }
    EXPECT_EQ(devices, (std::vector<std::string>{" ВРГ №2", " ВРГ №4", " ВРГ №1", " ВРГ №3"}));
    EXPECT_EQ(deviations, (std::vector<std::string>{"+7", "+7", "-5", ""}));
    EXPECT_EQ(m.vrg_rows[1].address, "8");
    EXPECT_EQ(m.vrg_rows[3].date_time, "00.00.00  00:00:00");
    EXPECT_FALSE(timer.running);  // one read, refreshing is off

    m.OnRefreshSwitch();
    m.OnTimer();
    EXPECT_EQ(peer.Reads(10).size(), 2u);
    EXPECT_TRUE(timer.running);
    m.OnClose();
    EXPECT_FALSE(timer.running);
  };
  ShowVrgClocks(peer.link, peer.image, &peer.status, session.VrgParamsCopy(), dialogs);
}

TEST_F(ClockWindowTest, ImpossibleOrMissingClocksHaveNoDeviation) {
  test::FakeMonitorSession session;  // two VRGs
  SumDateParModel m(peer.link, peer.image, &peer.status, session.VrgParamsCopy());
  m.SetTimer(&timer);
  // VRG 1 reports month 13: shown as it is, deviation unknown, listed last.
  peer.edit_answer = [](test::Bytes& a) { a[8 + 6 + 1] = 13; };
  m.OnShow();
  EXPECT_EQ(peer.Reads(10)[0].count, 3);
  EXPECT_EQ(m.vrg_rows[0].device, " ВРГ №2");
  EXPECT_EQ(m.vrg_rows[1].device, " ВРГ №1");
  EXPECT_EQ(m.vrg_rows[1].deviation, "");
  EXPECT_EQ(m.vrg_rows[1].date_time.substr(2, 4), ".13.");
  EXPECT_EQ(m.vrg_rows[2].device, "");
  EXPECT_EQ(m.vrg_rows[2].color, kColorGreyCells);
  EXPECT_EQ(m.vrg_rows[3].color, kColorGreyCells);

  // The controller's clock unset: every deviation is empty, the PC's too.
  peer.edit_answer = [](test::Bytes& a) { a[8 + 1] = 0; };
  m.OnRefreshSwitch();
  m.OnTimer();
  EXPECT_EQ(m.pc_row.deviation, "");
  for (const ClockRowView& r : m.vrg_rows) EXPECT_EQ(r.deviation, "");
  EXPECT_FALSE(m.pc_row.date_time.empty());
}

TEST_F(ClockWindowTest, FailedReadIsReportedAndKeepsTheClocks) {
  test::FakeMonitorSession session;
  SumDateParModel m(peer.link, peer.image, &peer.status, session.VrgParamsCopy());
  m.SetTimer(&timer);
  m.OnShow();
  const std::string vrg_clock = m.vrg_rows[0].date_time;
  ASSERT_FALSE(m.pc_row.deviation.empty());
  m.OnRefreshSwitch();
  peer.silent = 1;
  m.OnTimer();
  EXPECT_EQ(peer.status.panels[2], FormatResultMessage(peer.link));
  EXPECT_FALSE(peer.status.panels[2].empty());
  EXPECT_EQ(m.pc_row.deviation, "");
  EXPECT_EQ(m.vrg_rows[0].date_time, vrg_clock);
  EXPECT_TRUE(timer.running);
  EXPECT_TRUE(peer.host.shown.empty());

  m.OnTimer();  // a good read clears the panel
  EXPECT_EQ(peer.status.panels[2], "");

  peer.link.connection_kind = ConnectionKind::kPhone;
  peer.carrier_drops = 1;
  m.OnTimer();
  EXPECT_TRUE(m.closed());
  EXPECT_FALSE(timer.running);
}

using Table17 = std::array<uint8_t, kDiagnosticBytes>;

void Set(Table17& t, int field, int byte, int bit) {
  t[field * 14 + byte] |= static_cast<uint8_t>(1u << bit);
}

size_t Count(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

// Zero summary fields read as the recorded session's lines below show.
TEST(DecodeDiagnostics, AllZeroGivesTheSixSummaryLines) {
  const Table17 t{};
  EXPECT_EQ(DecodeDiagnostics(t.data()),
            (std::vector<std::string>{
                "Дата завершения последнего сеанса связи: 00.00.00  00:00:00",
                "Код ответа сервера в последнем сеансе связи: ",
                "Код завершения последнего этапа сеанса связи: 0",
                "Дата завершения последнего записанного сеанса связи: 00.00.00  00:00:00",
                "Код ответа сервера в последнем записанном сеансе связи: ",
                "Код завершения последнего записанного сеанса связи: 0",
            }));
}

TEST(DecodeDiagnostics, FlagsUnknownBitsAndTheSessionSummary) {
  Table17 t{};
  Set(t, 1, 0, 1);  // row 1, printed as it stands
  Set(t, 1, 2, 3);  // "Резерв": unknown
  Set(t, 1, 2, 4);  // row 12 behind "Сервер 2"
  Set(t, 0, 1, 0);  // a byte without a group
  Set(t, 2, 7, 7);  // reserved byte of the session end
  const uint8_t end[6] = {26, 3, 24, 13, 5, 9};
  std::memcpy(&t[2 * 14], end, 6);
  std::memcpy(&t[3 * 14], "OK12", 4);  // four characters, no NUL
  t[3 * 14 + 13] = 7;
  Set(t, 7, 6, 0);   // VRG 2, run 2, row 64
  Set(t, 8, 0, 3);   // VRG 3 byte 0, row 51
  Set(t, 6, 1, 0);   // byte 1 of a VRG field: no group
  Set(t, 9, 5, 1);   // VRG 4 fourth run byte, "Резерв" row 89
  Set(t, 9, 13, 7);  // run 3 fourth byte, row 95

  const std::vector<std::string> lines = DecodeDiagnostics(t.data());
  EXPECT_EQ(lines, (std::vector<std::string>{
                       "Неизвестное сообщение (поле 0, байт 1, бит 0)",
                       "Неизвестное сообщение (поле 0, байт 0, бит 1)",
                       "Неизвестное сообщение (поле 1, байт 2, бит 3)",
                       "Сервер 2. Не прошла инициализация модема для приема входящих звонков",
                       "Дата завершения последнего сеанса связи: 24.03.26  13:05:09",
                       "Неизвестное сообщение (поле 2, байт 7, бит 7)",
                       "Код ответа сервера в последнем сеансе связи: OK12",
                       "Код завершения последнего этапа сеанса связи: 7",
                       "Дата завершения последнего записанного сеанса связи: 00.00.00  00:00:00",
                       "Код ответа сервера в последнем записанном сеансе связи: ",
                       "Код завершения последнего записанного сеанса связи: 0",
                       "Неизвестное сообщение (поле 6, байт 1, бит 0)",
                       "ВРГ №2. Нитка №2. Не получены  (STA_02)",
                       "ВРГ №3. Не получено время (TIM_29)",
                       "Неизвестное сообщение (поле 9, байт 5, бит 1)",
                       "ВРГ №4. Нитка №3. Параметры газа не записаны",
                   }));
}

TEST(DecodeDiagnostics, VrgRowsCarryTheirNumbers) {
  // Each VRG row is formatted with its numbers: one "%d" from row 48, two
  // from row 64; nothing else may take a conversion.
  const auto& rows = DiagnosticMessages();
  for (int r = 0; r < kDiagnosticMessageCount; ++r) {
    const bool none = r < 48 || (r >= 56 && r < 64) || rows[r] == "Резерв";
    const size_t expected = none ? 0 : r < 64 ? 1 : 2;
    EXPECT_EQ(Count(rows[r], "%"), expected) << r;
  }
  for (int r = 56; r < 64; ++r) EXPECT_TRUE(rows[r].empty()) << r;
}

TEST(DecodeDiagnostics, ThirtyLinesFitThirtyOneScroll) {
  Table17 t{};
  for (int b = 0; b < 3; ++b)
    for (int n = 0; n < 8; ++n) Set(t, 6, 2 + b, n);  // 24 run flags
  EXPECT_EQ(DecodeDiagnostics(t.data()).size(), 30u);
  DiagnosticMemoSize s = SizeDiagnosticMemo(30);
  EXPECT_EQ(s.memo_height, 465);
  EXPECT_FALSE(s.scroll_bar);
  EXPECT_EQ(s.panel_height, 473);
  EXPECT_EQ(s.WindowHeight(10), 10 + 473 + 92);
  Set(t, 6, 5, 0);
  EXPECT_EQ(DecodeDiagnostics(t.data()).size(), 31u);
  s = SizeDiagnosticMemo(31);
  EXPECT_EQ(s.memo_height, 452);
  EXPECT_TRUE(s.scroll_bar);
}

class OutoControlTest : public ClockWindowTest {
 protected:
  OutoControlTest() { peer.controller.SetDiagnosticFlags({{0, 2, 0}}); }
};

TEST_F(OutoControlTest, RefreshRedrawsOnlyChangesAndStopsWhenSwitchedOff) {
  bool opened = false;
  dialogs.on_outo_control = [&](OutoControlModel& m) {
    opened = true;
    m.SetTimer(&timer);
    m.OnShow();
    EXPECT_EQ(m.lines.front(), "Сервер 1. Не получен ответ на команду (телефон)");
    EXPECT_EQ(m.refresh_caption, "Обновлять данные");
    EXPECT_FALSE(timer.running);

    m.OnRefreshSwitch();
    EXPECT_TRUE(timer.running);
    EXPECT_EQ(m.refresh_caption, "Не обновлять данные");

    // Unchanged data: read again, nothing redrawn, the timer restarted.
    m.OnTimer();
    EXPECT_EQ(m.decode_count(), 1);
    EXPECT_TRUE(timer.running);
    EXPECT_EQ(peer.Reads(17).size(), 2u);

    // The controller raises a flag: the next tick shows it.
    peer.controller.SetDiagnosticFlags({{0, 2, 0}, {7, 0, 0}});
    m.OnTimer();
    EXPECT_EQ(m.decode_count(), 2);
    EXPECT_EQ(m.lines.back(), "ВРГ №2. Нет связи");

    // A failed quiet read keeps the text and asks nothing.
    peer.silent = 1;
    m.OnTimer();
    EXPECT_EQ(m.lines.back(), "ВРГ №2. Нет связи");
    EXPECT_TRUE(peer.host.shown.empty());
    EXPECT_TRUE(timer.running);

    // Switched off while the read lets messages run: no restart afterwards.
    peer.before_answer = [&](const test::SimPeer::Request&) { m.OnRefreshSwitch(); };
    m.OnTimer();
    EXPECT_FALSE(timer.running);
    EXPECT_FALSE(m.refreshing());
    peer.before_answer = nullptr;
    m.OnExit();
    EXPECT_TRUE(m.closed());
  };
  ASSERT_TRUE(ShowDiagnostics(peer.link, peer.image, &peer.status, dialogs));
  EXPECT_TRUE(opened);
}

TEST_F(OutoControlTest, LostModemLinkClosesAndAFailedFirstReadOpensNothing) {
  dialogs.on_outo_control = [&](OutoControlModel& m) {
    m.SetTimer(&timer);
    m.OnShow();
    m.OnRefreshSwitch();
    peer.link.connection_kind = ConnectionKind::kPhone;
    peer.carrier_drops = 1;
    m.OnTimer();
    EXPECT_TRUE(m.closed());
    EXPECT_FALSE(timer.running);
  };
  ASSERT_TRUE(ShowDiagnostics(peer.link, peer.image, &peer.status, dialogs));
  EXPECT_EQ(peer.link.result_code, kResultCarrierLost);

  test::SimPeer silent;
  silent.silent = 1;
  bool opened = false;
  dialogs.on_outo_control = [&](OutoControlModel&) { opened = true; };
  EXPECT_FALSE(ShowDiagnostics(silent.link, silent.image, &silent.status, dialogs));
  EXPECT_FALSE(opened);
  ASSERT_EQ(silent.host.shown.size(), 1u);  // the read's own retry question
  EXPECT_EQ(silent.host.shown[0].line1, "Не выполнено чтение из таблицы 17.");
}

class SessionRecordTest : public ClockWindowTest {
 protected:
  std::string Read(SessionReadResult expected, int expected_fields) {
    std::string text;
    int fields = -1;
    EXPECT_EQ(ReadSessionRecord(peer.link, peer.image, &peer.status, text, &fields), expected);
    EXPECT_EQ(fields, expected_fields);
    return text;
  }

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
