// The parameter windows' models on their own: what they show, their checks
// in order with their messages, and what they store; then the editors' menu
// actions against the simulated controller on the fake clock: what is read,
// what exactly is written, the after-effects; and the offline editor's new,
// edit and cancel paths.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "config/con_vu_model.h"
#include "config/config_model.h"
#include "config/ini_modem_model.h"
#include "config/inter_par_model.h"
#include "config/modem_ans_time_model.h"
#include "config/param_dialogs.h"
#include "config/param_menus.h"
#include "config/server_labels.h"
#include "config/vrg_par_model.h"
#include "link/gprs_transform.h"
#include "link/table_layout.h"
#include "sim/controller.h"
#include "support/fakes.h"
#include "support/shown.h"
#include "unit/config_flow_support.h"

namespace kvarta::test {
namespace {

// A parameter-window opener: each window is handed to a script, which acts
// on the model as a user would; unscripted windows are left.
class ScriptedParamDialogs : public ParamDialogOpener {
 public:
  void OpenVrgPar(VrgParModel& m) override { Run("vrg-par", on_vrg_par, m); }
  void OpenVrgConf(VrgConfModel& m) override { Run("vrg-conf", on_vrg_conf, m); }
  void OpenConVu(ConVuModel& m) override { Run("con-vu", on_con_vu, m); }
  void OpenDataTiming(DataTimingModel& m) override { Run("data-timing", on_data_timing, m); }
  void OpenModemAnsTime(ModemAnsTimeModel& m) override { Run("timeouts", on_timeouts, m); }
  void OpenIniModem(IniModemModel& m) override { Run("modem", on_modem, m); }
  void OpenInterPar(InterParModel& m) override { Run("gprs", on_gprs, m); }
  void OpenConfig(ConfigModel& m) override { Run("config", on_config, m); }

  std::function<void(VrgParModel&)> on_vrg_par;
  std::function<void(VrgConfModel&)> on_vrg_conf;
  std::function<void(ConVuModel&)> on_con_vu;
  std::function<void(DataTimingModel&)> on_data_timing;
  std::function<void(ModemAnsTimeModel&)> on_timeouts;
  std::function<void(IniModemModel&)> on_modem;
  std::function<void(InterParModel&)> on_gprs;
  std::function<void(ConfigModel&)> on_config;
  std::vector<std::string> opened;

 private:
  template <typename M>
  void Run(const char* name, const std::function<void(M&)>& script, M& m) {
    opened.push_back(name);
    if (script) script(m);
    if (!m.closed()) m.OnCancel();
  }
};

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
  Shown<VrgParModel> m(host, dialogs, Table(9), 0x1FFFFC, 2, EditorMode::kDevice);
  ASSERT_EQ(m.rows.size(), 2u);
  EXPECT_TRUE(m.speed.enabled);
  EXPECT_EQ(m.speed.Text(), "9600");
  EXPECT_EQ(m.speed.items.front(), "1200");  // bits 2..20
  EXPECT_EQ(m.speed.items.back(), "115200");

  // Only VRG 2 shown: Bell-202 alone needs no speed, and none is asked for.
  Vrg(0)[t9::kInterface] = t9::kInterfaceBell202;
  Shown<VrgParModel> all_bell(host, dialogs, Table(9), 0x1FFFFC, 2, EditorMode::kDevice);
  EXPECT_FALSE(all_bell.speed.enabled);
  EXPECT_EQ(all_bell.speed.index, -1);
  all_bell.OnAccept();
  EXPECT_TRUE(all_bell.changed()) << (host.shown.empty() ? "" : Lines(host.shown[0]));

  // A mask with bit 11 alone offers 9600 alone.
  Shown<VrgParModel> one(host, dialogs, Table(9), 1u << 11, 1, EditorMode::kFile);
  EXPECT_EQ(one.speed.items, std::vector<std::string>{"9600"});
  EXPECT_TRUE(one.server2_heading_grey);
}

TEST_F(ParamModelsTest, VrgListSpeedBeyondTheRateTableSelectsNothingAndBlocksTheConfirm) {
  Table(9)[t9::kSpeed] = 22;
  Shown<VrgParModel> m(host, dialogs, Table(9), kAllSpeeds, 2, EditorMode::kDevice);
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
  const Bytes hidden(Vrg(1), Vrg(1) + 48);
  Shown<VrgParModel> m(host, dialogs, Table(9), kAllSpeeds, 2, EditorMode::kDevice);
  EXPECT_EQ(m.rows.size(), 3u);
  m.OnVrgCountChange(0);
  EXPECT_EQ(m.rows.size(), 1u);
  m.OnAccept();
  ASSERT_TRUE(m.changed());
  EXPECT_EQ(Table(9)[t9::kVrgCount], 1);
  EXPECT_EQ(Bytes(Vrg(1), Vrg(1) + 48), hidden);
}

TEST_F(ParamModelsTest, VrgListRefusesARecordOnInterfaceOne) {
  Vrg(1)[t9::kInterface] = 1;
  Shown<VrgParModel> m(host, dialogs, Table(9), kAllSpeeds, 2, EditorMode::kDevice);
  EXPECT_EQ(m.rows[1].line, " ?");
  EXPECT_EQ(m.rows[1].address, "   006");
  EXPECT_EQ(m.rows[1].number, "  2");
  m.OnAccept();
  EXPECT_EQ(OnlyMessage(), "Вычислитель № 2.|Неверно заданы параметры.");
  EXPECT_FALSE(m.closed());
  EXPECT_EQ(Table(9)[t9::kReserved1], 0) << "nothing stored yet";
}

TEST_F(ParamModelsTest, VrgListChecksEmptyBoxesBeforeRanges) {
  Shown<VrgParModel> m(host, dialogs, Table(9), kAllSpeeds, 2, EditorMode::kDevice);
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
  Shown<VrgParModel> m(host, dialogs, Table(9), kAllSpeeds, 1, EditorMode::kFile);
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
  Shown<ConVuModel> m(host, dialogs, t, 0, EditorMode::kDevice);
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
  Shown<ConVuModel> m(host, dialogs, t, 0, EditorMode::kFile);
  m.name.SetText("Котельная улица 5 и ещё");  // cut to 17 by the box
  EXPECT_EQ(m.name.text, "Котельная улица 5");
  m.OnAccept();
  EXPECT_EQ(GetText(t, Param(3, "name")), "Котельная улица 5");
  EXPECT_EQ(t[t3::kNameTerminator], 0);

  Shown<ConVuModel> cleared(host, dialogs, t, 0, EditorMode::kFile);
  cleared.name.SetText("");
  cleared.OnAccept();
  for (int f = t3::kName; f < t3::kName + t3::kNameSize; ++f) EXPECT_EQ(t[f], 0) << f;
}

TEST_F(ParamModelsTest, LinkWindowChecksInTheirOrder) {
  Shown<ConVuModel> m(host, dialogs, Table(3), 0, EditorMode::kDevice);
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
  Shown<ConVuModel> m(host, dialogs, t, 0, EditorMode::kDevice);
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
  Shown<DataTimingModel> s(t);
  EXPECT_FALSE(s.server2_enabled);
  EXPECT_EQ(s.cells[DataTimingModel::kServer2][8], "");
  s.OnCellClick(DataTimingModel::kServer2, 8);
  EXPECT_EQ(s.cells[DataTimingModel::kServer2][8], "");
  s.OnAccept();
  EXPECT_EQ(t[t3::ScheduleEntry(8) + t3::kScheduleServer2], 2);
}

TEST_F(ParamModelsTest, ScheduleButtonOnlyWhileTheScheduleIsUsed) {
  Shown<ConVuModel> m(host, dialogs, Table(3), 0, EditorMode::kDevice);
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
  Shown<ModemAnsTimeModel> mc55(host, t, 1, EditorMode::kDevice);
  EXPECT_TRUE(mc55.mc55it_visible);
  EXPECT_FALSE(mc55.sc3000_visible);
  EXPECT_EQ(mc55.range_labels[0], "(10...360)");
  mc55.OnAccept();
  EXPECT_TRUE(mc55.changed());

  Shown<ModemAnsTimeModel> sc(host, t, 0, EditorMode::kDevice);
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
  const Bytes before(t, t + 14);
  Shown<ModemAnsTimeModel> m(host, t, 2, EditorMode::kFile);
  EXPECT_FALSE(m.sc3000_visible);
  EXPECT_FALSE(m.mc55it_visible);
  EXPECT_FALSE(m.confirm_enabled);
  m.OnAccept();
  EXPECT_FALSE(m.changed());
  EXPECT_FALSE(m.closed());
  EXPECT_TRUE(host.shown.empty());
  EXPECT_EQ(Bytes(t, t + 14), before);
}

TEST_F(ParamModelsTest, ModemWindowClearsTheWholeTableAndAlwaysReportsAChange) {
  uint8_t* t = Table(21);
  std::memset(t + 4 * 50, 0x55, 50);  // field 4, not edited
  Shown<IniModemModel> m(host, t, EditorMode::kDevice);
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
  Shown<InterParModel> m(host, t, 2, EditorMode::kDevice);
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
  Shown<InterParModel> m(host, t, 1, EditorMode::kFile);
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

class ParamMenusTest : public ::testing::Test, public ConfigFlowFixture {
 protected:
  ParamMenusTest() : params{host, link, image, &status, editors, session, 2} {
    link.SetCredentials("111111", "1111");
    // What the start-up knows: the identification.
    std::memcpy(image.Table(0), controller.Field(0, 0), 18);
  }
  // Requests seen of one function, as (table, first, count).
  std::vector<FieldRange> Ranges(uint8_t function) const {
    std::vector<FieldRange> out;
    for (const SeenRequest& r : seen) {
      if (r.function == function) out.push_back({r.table, r.first, r.count});
    }
    return out;
  }
  std::vector<FieldRange> Writes() const { return Ranges(2); }
  std::vector<FieldRange> Reads() const { return Ranges(1); }

  ScriptedParamDialogs editors;
  ParamContext params;
};

TEST_F(ParamMenusTest, LinkAddressChangeSendsOneFieldAndTheLinkFollowsIt) {
  editors.on_con_vu = [](ConVuModel& m) {
    m.OnAddressText("7");
    m.OnAccept();
  };
  const ParamEditOutcome out = EditLinkParameters(params);
  ASSERT_TRUE(out.written);
  EXPECT_EQ(Reads(), (std::vector<FieldRange>{{1, 1, 1}, {3, 0, 122}}));
  EXPECT_EQ(Writes(), (std::vector<FieldRange>{{3, 0, 1}}));
  EXPECT_EQ(out.writes, Writes());
  EXPECT_EQ(link.address, 7);
  EXPECT_EQ(controller.Address(), 7);
  EXPECT_EQ(session.addresses, std::vector<int>{7});
  EXPECT_EQ(session.server_count, 2);
  EXPECT_TRUE(session.Called("menus"));
  // The next exchange reaches the controller at its new address.
  EXPECT_TRUE(ReadParamTable(params, 3));
  EXPECT_EQ(image.Byte(3, t3::kAddress), 7);
}

TEST_F(ParamMenusTest, LinkLeftWritesNothingAndANameOfSeventeenCharactersSurvivesTheNextRead) {
  // Left without "Принять": read, nothing changed or written.
  const ParamEditOutcome out = EditLinkParameters(params);
  EXPECT_TRUE(out.read);
  EXPECT_FALSE(out.changed);
  EXPECT_TRUE(Writes().empty());
  EXPECT_TRUE(session.calls.empty());

  editors.on_con_vu = [](ConVuModel& m) {
    m.name.SetText("Котельная улица 5");
    m.OnAccept();
  };
  ASSERT_TRUE(EditLinkParameters(params).written);
  editors.on_con_vu = [](ConVuModel& m) {
    EXPECT_EQ(m.name.text, "Котельная улица 5");
    m.OnAccept();
  };
  const size_t writes_before = Writes().size();
  EXPECT_TRUE(EditLinkParameters(params).written);
  EXPECT_EQ(Writes().size(), writes_before) << "confirming the read name changes nothing";
}

TEST_F(ParamMenusTest, LinkWithoutWriteAccessKeepsTheCommandMenus) {
  session.write_access = false;
  editors.on_con_vu = [](ConVuModel& m) {
    m.OnServersChange(0);
    m.OnAccept();
  };
  ASSERT_TRUE(EditLinkParameters(params).written);
  EXPECT_EQ(session.server_count, 1);
  EXPECT_FALSE(session.Called("menus"));
  EXPECT_EQ(controller.Field(3, t3::kSendServers)[0] & 2, 0);
}

TEST_F(ParamMenusTest, VrgParametersWriteTheDifferenceAndRefreshTheCopy) {
  controller.Field(9, t9::Record(0) + t9::kUnused)[0] = 0x5A;  // bytes the program does not edit
  editors.on_vrg_par = [](VrgParModel& m) {
    m.send_delay.Select(7);
    m.OnAccept();
  };
  const ParamEditOutcome out = EditVrgParameters(params);
  ASSERT_TRUE(out.written);
  EXPECT_EQ(Reads(), (std::vector<FieldRange>{{1, 0, 1}, {7, 9, 1}, {9, 0, 104}}));
  EXPECT_EQ(Writes(), (std::vector<FieldRange>{{9, 7, 1}}));
  EXPECT_EQ(controller.Field(9, t9::kSendDelay)[0], 7);
  // After the read the copy is the table; after the write, bytes 6-21 cleared.
  EXPECT_EQ(session.calls, (std::vector<std::string>{"vrg", "vrg", "menus"}));
  EXPECT_EQ(session.vrg_copy[t9::Record(0) + t9::kUnused], 0);
  EXPECT_EQ(session.vrg_copy[t9::kSendDelay], 7);
}

TEST_F(ParamMenusTest, DestroyedVrgTableIsWrittenWholeWithItsUnusedBytesCleared) {
  controller.SetDestroyed(9, true);
  editors.on_vrg_par = [](VrgParModel& m) {
    m.OnVrgCountChange(0);
    m.preambles.SetText("3");
    m.answer_wait.SetText("20");
    m.failed_exchanges.Select(2);
    m.send_delay.Select(0);
    m.OnEdit(0);
    m.OnAccept();
  };
  editors.on_vrg_conf = [](VrgConfModel& v) {
    v.OnAddressText("5");
    v.line.Select(1);
    v.runs.Select(0);
    v.server1.Select(1);
    v.server2.Select(0);
    v.OnAccept();
  };
  // The image still holds what an earlier read left in bytes 6-21.
  std::memset(image.Table(9), 0x77, 104);
  const ParamEditOutcome out = EditVrgParameters(params);
  ASSERT_TRUE(out.written) << (Messages().empty() ? "" : Messages()[0]);
  ASSERT_EQ(Writes(), (std::vector<FieldRange>{{9, 0, 104}}));
  const SeenRequest write = WritesOf(9)[0];
  for (int k = 0; k < t9::kMaxVrgs; ++k) {
    for (int i = t9::kUnused; i < t9::kUnused + t9::kUnusedSize; ++i) {
      EXPECT_EQ(write.values[t9::Record(k) + i], 0) << k << ":" << i;
    }
  }
  EXPECT_FALSE(controller.Destroyed(9));
}

TEST_F(ParamMenusTest, TimeoutsWriteSetsTheKeepAliveIntervalAndUnchangedOnesSendNothing) {
  editors.on_timeouts = [](ModemAnsTimeModel& m) {
    EXPECT_TRUE(m.mc55it_visible);
    m.boxes[4].SetText("25");
    m.OnAccept();
  };
  ASSERT_TRUE(EditTimeouts(params).written);
  EXPECT_EQ(Writes(), (std::vector<FieldRange>{{20, 4, 1}}));
  EXPECT_EQ(session.keep_alive_ms, 24000);

  seen.clear();
  editors.on_timeouts = [](ModemAnsTimeModel& m) { m.OnAccept(); };
  const ParamEditOutcome out = EditTimeouts(params);
  EXPECT_TRUE(out.changed);
  EXPECT_TRUE(out.written);
  EXPECT_TRUE(Writes().empty());
}

TEST_F(ParamMenusTest, ModemWindowReportsAChangeButOnlyTheChangedFieldGoesOut) {
  editors.on_modem = [](IniModemModel& m) {
    m.boxes[IniModemModel::kPaymentPhone].SetText("*111#");
    m.OnAccept();
  };
  const ParamEditOutcome out = EditModemParameters(params);
  ASSERT_TRUE(out.written);
  EXPECT_EQ(Reads(), (std::vector<FieldRange>{{21, 0, 4}, {21, 4, 1}}));
  EXPECT_EQ(Writes(), (std::vector<FieldRange>{{21, 3, 1}}));
  EXPECT_EQ(controller.FieldText(21, 3), "*111#");
}

TEST_F(ParamMenusTest, GprsWritesEncodedRangesAgainstTheWireSnapshot) {
  ASSERT_TRUE(GprsTransformActive(image));
  editors.on_gprs = [](InterParModel& m) {
    EXPECT_EQ(m.boxes[InterParModel::kApn].text, "internet") << "shown plain";
    m.boxes[InterParModel::kPassword].SetText("secret");
    m.boxes[InterParModel::kServer2Port].SetText("6001");
    m.OnAccept();
  };
  const ParamEditOutcome out = EditGprsParameters(params);
  ASSERT_TRUE(out.written);
  EXPECT_EQ(Reads(), (std::vector<FieldRange>{{22, 0, 4}, {22, 4, 4}, {22, 8, 3}}));
  EXPECT_EQ(Writes(), (std::vector<FieldRange>{{22, 2, 1}, {22, 9, 1}}));
  // On the wire substituted; the controller holds it plain.
  EXPECT_EQ(WritesOf(22)[0].values[0], kGprsSubstitution['s']);
  EXPECT_EQ(controller.FieldText(22, 2), "secret");
  EXPECT_EQ(controller.FieldText(22, 9), "6001");
  EXPECT_EQ(GetText(image.Table(22), Param(22, "password")), "secret") << "decoded again";
  ASSERT_TRUE(session.labels.has_value());
  EXPECT_EQ(session.labels->server2, "Сервер 2 (198.51.100.7: 6001)  ");
  EXPECT_TRUE(session.Called("main-menu"));
}

TEST_F(ParamMenusTest, GprsStopsAtTheFirstFailedRangeAndLeavesTheWireForm) {
  silent_writes.insert(22);
  editors.on_gprs = [](InterParModel& m) {
    m.boxes[InterParModel::kUser].SetText("other");
    m.boxes[InterParModel::kServer2Ip].SetText("203.0.113.1");
    m.OnAccept();
  };
  const ParamEditOutcome out = EditGprsParameters(params);
  EXPECT_FALSE(out.written);
  // The unanswered write of field 1 ends it: the second range never goes.
  EXPECT_EQ(out.writes, (std::vector<FieldRange>{{22, 1, 1}}));
  EXPECT_EQ(controller.FieldText(22, 8), "198.51.100.7");
  EXPECT_NE(GetText(image.Table(22), Param(22, "user")), "other") << "left substituted";
  EXPECT_FALSE(session.labels.has_value());
}

TEST_F(ParamMenusTest, DestroyedGprsTableGivesThePlainLabelsAndAFailedReadOpensNoWindow) {
  controller.SetDestroyed(22, true);
  ServerLabels labels;
  labels.server1 = "x";
  RefreshServerLabels(link, image, &status, true, true, labels);
  EXPECT_EQ(labels.server1, "Сервер 1");
  EXPECT_EQ(labels.server2, "Сервер 2");

  // A failed read opens no window.
  controller.SetAddress(9);  // nobody answers at address 1 any more
  EXPECT_FALSE(EditTimeouts(params).read);
  EXPECT_TRUE(editors.opened.empty());
}

// The offline editor and its menu entries.
class OfflineEditorTest : public ::testing::Test, public ConfigFlowFixture {
 protected:
  ConfigFileContext Files() { return ctx.Files(); }
  std::string Saved() { return folder.path() + "/saved.cnf"; }
  bool SavedExists() { return std::ifstream(Saved()).good(); }

  ScriptedParamDialogs editors;
};

TEST_F(OfflineEditorTest, NewConfigurationIsSavedOnAcceptEvenUnchanged) {
  editors.on_config = [](ConfigModel& m) {
    EXPECT_TRUE(m.modem_choice_visible);
    EXPECT_EQ(m.modem_choice.Text(), " mc55iT");
    m.OnAccept();
  };
  AnswerYes();  // "Сохранить параметры конфигурирования в файле?"
  dialogs.save_paths.push_back(Saved());
  EXPECT_EQ(EditConfigurationFile(Files(), dialogs, editors, 0), ConfigFileEditOutcome::kSaved);
  EXPECT_TRUE(SavedExists());
  EXPECT_EQ(host.shown[0].line1, "Сохранить параметры конфигурирования в файле?");
}

TEST_F(OfflineEditorTest, CancelSavesNothingWhateverChanged) {
  editors.on_config = [](ConfigModel& m) {
    m.OnModemChoose(0);
    m.OnCancel();
  };
  EXPECT_EQ(EditConfigurationFile(Files(), dialogs, editors, 0), ConfigFileEditOutcome::kNotSaved);
  EXPECT_TRUE(host.shown.empty());
  EXPECT_TRUE(dialogs.save_requests.empty());
}

TEST_F(OfflineEditorTest, EditedFileIsSavedOnlyWhenChanged) {
  // A cancelled open dialog opens no editor.
  EXPECT_EQ(EditConfigurationFile(Files(), dialogs, editors, 1), ConfigFileEditOutcome::kCancelled);
  EXPECT_TRUE(editors.opened.empty());
  ConfigFileRecord record;
  NewConfigFileRecord(record);
  const std::string path = folder.path() + "/old.cnf";
  ASSERT_EQ(WriteConfigFile(path, record), ConfigFileSave::kOk);

  dialogs.open_paths.push_back(path);
  editors.on_config = [](ConfigModel& m) { m.OnAccept(); };
  EXPECT_EQ(EditConfigurationFile(Files(), dialogs, editors, 1), ConfigFileEditOutcome::kNotSaved);
  EXPECT_TRUE(dialogs.save_requests.empty());

  dialogs.open_paths.push_back(path);
  editors.on_config = [](ConfigModel& m) {
    m.OnModem();
    m.OnAccept();
    EXPECT_TRUE(m.changed());
  };
  editors.on_modem = [](IniModemModel& m) {
    m.boxes[IniModemModel::kBalancePhone].SetText("*100#");
    m.OnAccept();
  };
  AnswerYes();
  dialogs.save_paths.push_back(Saved());
  EXPECT_EQ(EditConfigurationFile(Files(), dialogs, editors, 1), ConfigFileEditOutcome::kSaved);
  ConfigFileRecord saved;
  ASSERT_EQ(ReadConfigFile(Saved(), saved), ConfigFileLoad::kOk);
  EXPECT_EQ(GetText(saved.Table(21), Param(21, "balance_phone")), "*100#");
}

TEST_F(OfflineEditorTest, RecordFromAControllerWithAnotherModemOffersNoTimeouts) {
  ConfigFileRecord record;
  NewConfigFileRecord(record);
  record.origin() = 1;
  record.bytes[ConfigFileRecord::kModemOffset] = 0;
  ConfigModel m(host, dialogs, editors, record);
  m.OnShow();
  EXPECT_FALSE(m.modem_choice_visible);
  EXPECT_EQ(m.modem_text, "? (код = 0)");
  EXPECT_FALSE(m.timeouts_enabled);
  EXPECT_FALSE(m.write_enabled);
  m.OnTimeouts();
  EXPECT_TRUE(editors.opened.empty());

  record.bytes[ConfigFileRecord::kModemOffset] = 1;
  ConfigModel mc55(host, dialogs, editors, record);
  mc55.OnShow();
  EXPECT_EQ(mc55.modem_text, " mc55iT");
  EXPECT_TRUE(mc55.timeouts_enabled);
}

TEST_F(OfflineEditorTest, SubEditorsWorkOnTheRecordWithAllSpeedsAndItsServerCount) {
  ConfigFileRecord record;
  NewConfigFileRecord(record);  // one server, VRG speed index 11
  record.Table(9)[t9::kSpeed] = 21;
  ConfigModel m(host, dialogs, editors, record);
  m.OnShow();
  std::vector<uint32_t> colours;
  std::vector<bool> buttons;
  m.on_state_change = [&] {
    colours.push_back(m.panel_color);
    buttons.push_back(m.buttons_enabled);
  };
  editors.on_vrg_par = [&](VrgParModel& v) {
    EXPECT_EQ(v.speed.items.size(), 22u) << "every speed offered";
    EXPECT_EQ(v.speed.Text(), "230400");
    EXPECT_TRUE(v.server2_heading_grey) << "the record's one server";
    EXPECT_EQ(v.ConfirmText(), "Принять");
    m.OnAccept();  // the editor's own buttons are disabled meanwhile
    EXPECT_FALSE(m.closed());
    v.OnVrgCountChange(1);
    v.OnAccept();
  };
  m.OnVrg();
  EXPECT_EQ(colours, (std::vector<uint32_t>{0xB5B5B5, 0xD3D3D3}));
  EXPECT_EQ(buttons, (std::vector<bool>{false, true}));
  EXPECT_EQ(record.Table(9)[t9::kVrgCount], 2);
  m.OnAccept();
  EXPECT_TRUE(m.accepted());
  EXPECT_TRUE(m.changed());
}

TEST_F(OfflineEditorTest, ModemChoiceOfANewRecordStoresItsIndex) {
  ConfigFileRecord record;
  NewConfigFileRecord(record);
  ConfigModel m(host, dialogs, editors, record);
  m.OnShow();
  m.OnModemChoose(0);
  EXPECT_EQ(record.bytes[ConfigFileRecord::kModemOffset], 0);
  editors.on_timeouts = [](ModemAnsTimeModel& t) {
    EXPECT_TRUE(t.sc3000_visible);
    EXPECT_EQ(t.ConfirmText(), "Принять");
  };
  m.OnTimeouts();
  EXPECT_EQ(editors.opened, std::vector<std::string>{"timeouts"});
}

}  // namespace
}  // namespace kvarta::test
