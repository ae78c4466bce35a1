// The parameter windows' models on their own: what they show, their checks
// in order with their messages, and what they store.
#include <gtest/gtest.h>

#include <array>
#include <cstring>

#include "link/table_layout.h"
#include "sim/controller.h"
#include "support/fakes.h"
#include "unit/param_dialogs_fake.h"

namespace kvarta::test {
namespace {

namespace t3 = layout::t3;
namespace t9 = layout::t9;

std::string Lines(const MessageWindowModel& m) {
  return m.line1 + "|" + m.line2;
}

class ParamModelsTest : public ::testing::Test {
 protected:
  ParamModelsTest() : demo(1) {}
  uint8_t* Table(int t) { return demo.Field(t, 0); }
  uint8_t* Vrg(int k) { return Table(9) + t9::Record(k); }
  // The only message shown so far, as "line1|line2", with its kind.
  std::string OnlyMessage(int kind = kMessageInputError) {
    EXPECT_EQ(host.shown.size(), 1u);
    if (host.shown.size() != 1) return "";
    EXPECT_EQ(host.shown[0].kind, kind);
    return Lines(host.shown[0]);
  }

  sim::Controller demo;
  FakeHost host;
  ScriptedParamDialogs dialogs;
};

TEST_F(ParamModelsTest, VrgListSpeedFollowsTheShownVrgsAndTheMask) {
  // Demo: VRG 1 on RS232, VRG 2 on Bell-202; field 5 = 11 (9600).
  VrgParModel m(host, dialogs, Table(9), 0x1FFFFC, 2, EditorMode::kDevice);
  m.OnShow();
  ASSERT_EQ(m.rows.size(), 2u);
  EXPECT_TRUE(m.speed.enabled);
  EXPECT_EQ(m.speed.Text(), "9600");
  EXPECT_EQ(m.speed.items.front(), "1200");  // bits 2..20
  EXPECT_EQ(m.speed.items.back(), "115200");

  // Only VRG 2 shown: Bell-202 alone needs no speed, and none is asked for.
  Vrg(0)[t9::kInterface] = t9::kInterfaceBell202;
  VrgParModel all_bell(host, dialogs, Table(9), 0x1FFFFC, 2, EditorMode::kDevice);
  all_bell.OnShow();
  EXPECT_FALSE(all_bell.speed.enabled);
  EXPECT_EQ(all_bell.speed.index, -1);
  all_bell.OnAccept();
  EXPECT_TRUE(all_bell.changed()) << (host.shown.empty() ? "" : Lines(host.shown[0]));

  // A mask with bit 11 alone offers 9600 alone.
  VrgParModel one(host, dialogs, Table(9), 1u << 11, 1, EditorMode::kFile);
  one.OnShow();
  EXPECT_EQ(one.speed.items, std::vector<std::string>{"9600"});
  EXPECT_TRUE(one.server2_heading_grey);
}

TEST_F(ParamModelsTest, VrgListSpeedBeyondTheRateTableSelectsNothingAndBlocksTheConfirm) {
  Table(9)[t9::kSpeed] = 22;
  VrgParModel m(host, dialogs, Table(9), kAllSpeeds, 2, EditorMode::kDevice);
  m.OnShow();
  EXPECT_TRUE(m.speed.enabled);
  EXPECT_EQ(m.speed.index, -1);
  m.OnAccept();
  EXPECT_EQ(OnlyMessage(), "Введены не все параметры|");
  EXPECT_FALSE(m.closed());
  m.OnSpeedChange(m.speed.Find("19200"));
  m.OnAccept();
  EXPECT_TRUE(m.changed());
  EXPECT_EQ(Table(9)[t9::kSpeed], 15);
}

TEST_F(ParamModelsTest, VrgListReducingTheCountHidesRowsButKeepsTheirBytes) {
  Table(9)[t9::kVrgCount] = 3;
  std::memcpy(Vrg(2), Vrg(0), t9::kRecordSize);
  Vrg(2)[t9::kAddress] = 9;
  const std::array<uint8_t, 48> hidden = [&] {
    std::array<uint8_t, 48> a{};
    std::memcpy(a.data(), Vrg(1), a.size());
    return a;
  }();
  VrgParModel m(host, dialogs, Table(9), kAllSpeeds, 2, EditorMode::kDevice);
  m.OnShow();
  EXPECT_EQ(m.rows.size(), 3u);
  m.OnVrgCountChange(0);
  EXPECT_EQ(m.rows.size(), 1u);
  m.OnAccept();
  ASSERT_TRUE(m.changed());
  EXPECT_EQ(Table(9)[t9::kVrgCount], 1);
  EXPECT_EQ(std::memcmp(Vrg(1), hidden.data(), hidden.size()), 0);
}

TEST_F(ParamModelsTest, VrgListRefusesARecordOnInterfaceOne) {
  Vrg(1)[t9::kInterface] = 1;
  VrgParModel m(host, dialogs, Table(9), kAllSpeeds, 2, EditorMode::kDevice);
  m.OnShow();
  EXPECT_EQ(m.rows[1].line, " ?");
  EXPECT_EQ(m.rows[1].address, "   006");
  EXPECT_EQ(m.rows[1].number, "  2");
  m.OnAccept();
  EXPECT_EQ(OnlyMessage(), "Вычислитель № 2.|Неверно заданы параметры.");
  EXPECT_FALSE(m.closed());
  EXPECT_EQ(Table(9)[t9::kReserved1], 0) << "nothing stored yet";
}

TEST_F(ParamModelsTest, VrgListChecksEmptyBoxesBeforeRanges) {
  VrgParModel m(host, dialogs, Table(9), kAllSpeeds, 2, EditorMode::kDevice);
  m.OnShow();
  m.preambles.SetText("");
  m.answer_wait.SetText("0");
  m.OnAccept();
  m.preambles.SetText("256");
  m.OnAccept();
  ASSERT_EQ(host.shown.size(), 2u);
  EXPECT_EQ(Lines(host.shown[0]), "Введены не все параметры|");
  EXPECT_EQ(Lines(host.shown[1]), "Вводите значения|согласно допустимому диапазону");
  EXPECT_EQ(m.focus, VrgParModel::kPreambles);
  m.preambles.SetText("0");
  m.answer_wait.SetText("255");
  Table(9)[t9::kReserved6] = 5;
  m.OnAccept();
  EXPECT_TRUE(m.changed());
  EXPECT_EQ(Table(9)[t9::kAnswerWait], 255);
  EXPECT_EQ(Table(9)[t9::kReserved6], 0);
}

TEST_F(ParamModelsTest, VrgWindowGroupLimitAndServerTwoWithOneServer) {
  dialogs.on_vrg_conf = [this](VrgConfModel& v) {
    EXPECT_EQ(v.title, "Параметры ВРГ № 2");
    EXPECT_FALSE(v.server2.enabled);  // one server
    v.group.SetText("16777216");
    v.OnAccept();
    EXPECT_EQ(Lines(host.shown.back()), "Группа вне допускаемого диапазона|(0...16777215)");
    v.OnAddressText("255");
    v.group.SetText("16777215");
    v.OnAccept();
    EXPECT_EQ(Lines(host.shown.back()), "Адрес вне допускаемого диапазона|(1...254)");
    v.OnAddressChoose(253);
    v.OnAccept();
  };
  VrgParModel m(host, dialogs, Table(9), kAllSpeeds, 1, EditorMode::kFile);
  m.OnShow();
  m.OnEdit(1);
  EXPECT_EQ(m.rows[1].group, "16777215");
  EXPECT_EQ(m.rows[1].address, "   254");
  EXPECT_EQ(m.rows[1].server2, "");
  m.OnAccept();
  ASSERT_TRUE(m.changed());
  EXPECT_EQ(Vrg(1)[t9::kGroup], 0xFF);
  EXPECT_EQ(Vrg(1)[t9::kGroup + 1], 0xFF);
  EXPECT_EQ(Vrg(1)[t9::kGroup + 2], 0xFF);
  EXPECT_EQ(Vrg(1)[t9::kServer2], 0) << "forced to 0 with one server";
}

TEST_F(ParamModelsTest, LinkWindowAddressRangeAndTheServersRule) {
  uint8_t* t = Table(3);
  t[t3::ScheduleEntry(4) + t3::kScheduleServer2] = 2;
  ConVuModel m(host, dialogs, t, 0, EditorMode::kDevice);
  m.OnShow();
  EXPECT_TRUE(m.send_server2_enabled);
  EXPECT_TRUE(m.send_server2);
  for (const char* refused : {"0", "256"}) {
    m.OnAddressText(refused);
    m.OnAccept();
    EXPECT_EQ(Lines(host.shown.back()), "Вводите значения|согласно допустимому диапазону")
        << refused;
    EXPECT_EQ(m.focus, ConVuModel::kAddress);
  }
  m.OnAddressText("255");
  EXPECT_EQ(m.address.index, -1) << "not in the list, typed";
  m.OnServersChange(0);
  EXPECT_FALSE(m.send_server2_enabled);
  EXPECT_FALSE(m.send_server2);
  m.OnServer2Check(true);  // disabled: no effect
  m.OnAccept();
  ASSERT_TRUE(m.changed());
  EXPECT_EQ(t[t3::kAddress], 255);
  EXPECT_EQ(t[t3::kServers], 1);
  EXPECT_EQ(t[t3::kSendServers], 1) << "bit 1 cleared, bit 0 kept";
  EXPECT_EQ(t[t3::ScheduleEntry(4) + t3::kScheduleServer2], 2) << "kept though not shown";
}

TEST_F(ParamModelsTest, LinkWindowStoresSeventeenCharactersOfNameWithTheTerminator) {
  uint8_t* t = Table(3);
  ConVuModel m(host, dialogs, t, 0, EditorMode::kFile);
  m.OnShow();
  m.name.SetText("Котельная улица 5 и ещё");  // cut to 17 by the box
  EXPECT_EQ(m.name.text, "Котельная улица 5");
  m.OnAccept();
  EXPECT_EQ(GetText(t, Param(3, "name")), "Котельная улица 5");
  EXPECT_EQ(t[t3::kNameTerminator], 0);

  ConVuModel cleared(host, dialogs, t, 0, EditorMode::kFile);
  cleared.OnShow();
  cleared.name.SetText("");
  cleared.OnAccept();
  for (int f = t3::kName; f < t3::kName + t3::kNameSize; ++f) EXPECT_EQ(t[f], 0) << f;
}

TEST_F(ParamModelsTest, LinkWindowChecksInTheirOrder) {
  ConVuModel m(host, dialogs, Table(3), 0, EditorMode::kDevice);
  m.OnShow();
  m.answer_wait.SetText("");
  m.preambles.SetText("300");
  m.OnAccept();
  m.answer_wait.SetText("31");
  m.OnAccept();
  m.preambles.SetText("255");
  m.OnAccept();
  ASSERT_EQ(host.shown.size(), 3u);
  EXPECT_EQ(Lines(host.shown[0]), "Введены не все параметры|");
  EXPECT_EQ(Lines(host.shown[1]), "Вводите значения|согласно допустимому диапазону");
  EXPECT_EQ(m.focus, ConVuModel::kAnswerWait);
  EXPECT_FALSE(m.closed());
}

TEST_F(ParamModelsTest, ScheduleCellsCycleAndTheOtherModemBitsStay) {
  uint8_t* t = Table(3);
  uint8_t* hour5 = t + t3::ScheduleEntry(5);
  hour5[t3::kScheduleModem] = 0x81;  // modem on, a bit the program does not own
  hour5[t3::kScheduleReserved] = 7;
  dialogs.on_data_timing = [](DataTimingModel& s) {
    EXPECT_TRUE(s.server2_enabled);
    EXPECT_EQ(s.cells[DataTimingModel::kServer2][8], " 2");
    for (const char* expected : {" 1", " 2", " 0"}) {
      s.OnCellClick(DataTimingModel::kServer1, 5);
      EXPECT_EQ(s.cells[DataTimingModel::kServer1][5], expected);
    }
    s.OnCellClick(DataTimingModel::kServer1, 5);  // " 1"
    s.OnCellClick(DataTimingModel::kModem, 5);    // " 0"
    s.OnAccept();
  };
  ConVuModel m(host, dialogs, t, 0, EditorMode::kDevice);
  m.OnShow();
  m.OnSchedule();
  m.OnAccept();
  EXPECT_EQ(hour5[t3::kScheduleServer1], 1);
  EXPECT_EQ(hour5[t3::kScheduleModem], 0x80);
  EXPECT_EQ(hour5[t3::kScheduleReserved], 0);
  EXPECT_EQ(DataTimingModel::HourHeading(9), " 9");
  EXPECT_EQ(DataTimingModel::HourHeading(10), "10");
}

TEST_F(ParamModelsTest, ScheduleWithOneServerLeavesTheSecondServerAlone) {
  uint8_t* t = Table(3);
  t[t3::kServers] = 1;
  DataTimingModel s(t);
  s.OnShow();
  EXPECT_FALSE(s.server2_enabled);
  EXPECT_EQ(s.cells[DataTimingModel::kServer2][8], "");
  s.OnCellClick(DataTimingModel::kServer2, 8);
  EXPECT_EQ(s.cells[DataTimingModel::kServer2][8], "");
  s.OnAccept();
  EXPECT_EQ(t[t3::ScheduleEntry(8) + t3::kScheduleServer2], 2);
}

TEST_F(ParamModelsTest, ScheduleButtonOnlyWhileTheScheduleIsUsed) {
  ConVuModel m(host, dialogs, Table(3), 0, EditorMode::kDevice);
  m.OnShow();
  m.OnScheduleCheck(false);
  m.OnSchedule();
  EXPECT_TRUE(dialogs.opened.empty());
  m.OnScheduleCheck(true);
  m.OnSchedule();
  EXPECT_EQ(dialogs.opened, std::vector<std::string>{"data-timing"});
}

TEST_F(ParamModelsTest, TimeoutRangesByModemCode) {
  uint8_t* t = Table(20);
  SetNumber(t, Param(20, "open_wait_s"), 300);
  ModemAnsTimeModel mc55(host, t, 1, EditorMode::kDevice);
  mc55.OnShow();
  EXPECT_TRUE(mc55.mc55it_visible);
  EXPECT_FALSE(mc55.sc3000_visible);
  EXPECT_EQ(mc55.range_labels[0], "(10...360)");
  mc55.OnAccept();
  EXPECT_TRUE(mc55.changed());

  ModemAnsTimeModel sc(host, t, 0, EditorMode::kDevice);
  sc.OnShow();
  EXPECT_EQ(sc.range_labels[0], "(15...180)");
  EXPECT_EQ(sc.boxes[0].text, "300");
  sc.OnAccept();
  EXPECT_EQ(OnlyMessage(), "Вводите значения|согласно допустимому диапазону");
  EXPECT_EQ(sc.failed_box, 0);
  sc.boxes[0].SetText("180");
  sc.boxes[3].SetText("");
  sc.OnAccept();
  EXPECT_EQ(Lines(host.shown.back()), "Введены не все значения|");
  EXPECT_EQ(sc.failed_box, 3);
  EXPECT_EQ(GetNumber(t, Param(20, "open_wait_s")), 300) << "nothing stored before all pass";
}

TEST_F(ParamModelsTest, TimeoutsOfAnUnknownModemCannotBeConfirmed) {
  uint8_t* t = Table(20);
  const std::array<uint8_t, 14> before = [&] {
    std::array<uint8_t, 14> a{};
    std::memcpy(a.data(), t, a.size());
    return a;
  }();
  ModemAnsTimeModel m(host, t, 2, EditorMode::kFile);
  m.OnShow();
  EXPECT_FALSE(m.sc3000_visible);
  EXPECT_FALSE(m.mc55it_visible);
  EXPECT_FALSE(m.confirm_enabled);
  m.OnAccept();
  EXPECT_FALSE(m.changed());
  EXPECT_FALSE(m.closed());
  EXPECT_TRUE(host.shown.empty());
  EXPECT_EQ(std::memcmp(t, before.data(), before.size()), 0);
}

TEST_F(ParamModelsTest, ModemWindowClearsTheWholeTableAndAlwaysReportsAChange) {
  uint8_t* t = Table(21);
  std::memset(t + 4 * 50, 0x55, 50);  // field 4, not edited
  IniModemModel m(host, t, EditorMode::kDevice);
  m.OnShow();
  EXPECT_EQ(m.boxes[IniModemModel::kInitString].text, "ate0;v1;h0");
  m.boxes[IniModemModel::kTrafficPhone].SetText("");
  m.OnAccept();
  EXPECT_TRUE(m.changed());
  EXPECT_EQ(GetText(t, Param(21, "traffic_phone")), "");
  EXPECT_EQ(GetText(t, Param(21, "payment_phone")), "*104#");
  for (int i = 4 * 50; i < 250; ++i) EXPECT_EQ(t[i], 0) << i;
}

TEST_F(ParamModelsTest, GprsPasswordIsCutTo49AndEndsWithAZero) {
  uint8_t* t = Table(22);
  std::memset(t + 2 * 50, 'x', 50);  // a password filling its field
  InterParModel m(host, t, 2, EditorMode::kDevice);
  m.OnShow();
  EXPECT_EQ(m.boxes[InterParModel::kPassword].text, std::string(49, 'x'));
  m.boxes[InterParModel::kPassword].SetText(std::string(60, 'p'));
  EXPECT_EQ(m.boxes[InterParModel::kPassword].text.size(), 49u);
  m.OnAccept();
  EXPECT_EQ(GetText(t, Param(22, "password")), std::string(49, 'p'));
  EXPECT_EQ(t[2 * 50 + 49], 0);
  EXPECT_EQ(GetText(t, Param(22, "server2_port")), "5001");
}

TEST_F(ParamModelsTest, GprsWithOneServerClearsTheSecondServer) {
  uint8_t* t = Table(22);
  InterParModel m(host, t, 1, EditorMode::kFile);
  m.OnShow();
  EXPECT_FALSE(m.boxes[InterParModel::kServer2Ip].enabled);
  EXPECT_EQ(m.boxes[InterParModel::kServer2Ip].text, "");
  m.boxes[InterParModel::kServer2Ip].SetText("203.0.113.9");  // cannot be typed; ignored
  m.OnAccept();
  for (int i = 8 * 50; i < 550; ++i) EXPECT_EQ(t[i], 0) << i;
  EXPECT_EQ(GetText(t, Param(22, "server1_ip")), "192.0.2.10");
}

TEST(ConnectionTypeFilterTest, DigitsLatinLettersAndUnderscore) {
  for (int c : std::initializer_list<int>{'0', '9', 'a', 'Z', '_', 8, '%', '\''}) {
    EXPECT_TRUE(InterParModel::ConnectionTypeKeyAllowed(c)) << c;
  }
  for (int c : std::initializer_list<int>{'-', ' ', '.', ':', 0x43F /* п */}) {
    EXPECT_FALSE(InterParModel::ConnectionTypeKeyAllowed(c)) << c;
  }
  EXPECT_TRUE(InterParModel::ConnectionTypeAllowed("ip_tcp2"));
  EXPECT_FALSE(InterParModel::ConnectionTypeAllowed("ip-tcp"));
}

}  // namespace
}  // namespace kvarta::test
