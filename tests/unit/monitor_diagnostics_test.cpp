// Table 17 decoded into lines, the memo's size, and the window that keeps
// re-reading the table from the simulated controller.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "link/config_image.h"
#include "link/result_messages.h"
#include "monitor/diagnostics.h"
#include "monitor_dialogs_fake.h"
#include "sim_peer.h"

namespace kvarta {
namespace {

using Table17 = std::array<uint8_t, kDiagnosticBytes>;

void Set(Table17& t, int field, int byte, int bit) {
  t[field * 14 + byte] |= static_cast<uint8_t>(1u << bit);
}

size_t Count(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

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

class OutoControlTest : public ::testing::Test {
 protected:
  OutoControlTest() { peer.controller.SetDiagnosticFlags({{0, 2, 0}}); }

  test::SimPeer peer;
  test::FakeMonitorDialogs dialogs;
  test::FakeTimer timer;
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

}  // namespace
}  // namespace kvarta
