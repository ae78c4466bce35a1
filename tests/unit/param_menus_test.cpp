// The parameter editors' menu actions against the simulated controller on
// the fake clock: what is read, what exactly is written, the after-effects;
// and the offline editor's new, edit and cancel paths.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>

#include "config/config_model.h"
#include "config/param_menus.h"
#include "config/server_labels.h"
#include "link/gprs_transform.h"
#include "link/table_layout.h"
#include "unit/config_flow_support.h"
#include "unit/param_dialogs_fake.h"

namespace kvarta::test {
namespace {

namespace t3 = layout::t3;
namespace t9 = layout::t9;

class ParamMenusTest : public ::testing::Test, public ConfigFlowFixture {
 protected:
  ParamMenusTest() : params{host, link, image, &status, editors, session, 2} {
    link.SetCredentials("111111", "1111");
    // What the start-up knows: the identification.
    std::memcpy(image.Table(0), controller.Field(0, 0), 18);
  }
  // Writes seen, as (table, first, count).
  std::vector<FieldRange> Writes() const {
    std::vector<FieldRange> out;
    for (const SeenRequest& r : seen) {
      if (r.function == 2) out.push_back({r.table, r.first, r.count});
    }
    return out;
  }
  std::vector<FieldRange> Reads() const {
    std::vector<FieldRange> out;
    for (const SeenRequest& r : seen) {
      if (r.function == 1) out.push_back({r.table, r.first, r.count});
    }
    return out;
  }

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

TEST_F(ParamMenusTest, LinkNameOfSeventeenCharactersSurvivesTheNextRead) {
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

TEST_F(ParamMenusTest, LinkLeftWithoutConfirmWritesNothing) {
  const ParamEditOutcome out = EditLinkParameters(params);
  EXPECT_TRUE(out.read);
  EXPECT_FALSE(out.changed);
  EXPECT_TRUE(Writes().empty());
  EXPECT_TRUE(session.calls.empty());
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

TEST_F(ParamMenusTest, TimeoutsWriteSetsTheKeepAliveInterval) {
  editors.on_timeouts = [](ModemAnsTimeModel& m) {
    EXPECT_TRUE(m.mc55it_visible);
    m.boxes[4].SetText("25");
    m.OnAccept();
  };
  ASSERT_TRUE(EditTimeouts(params).written);
  EXPECT_EQ(Writes(), (std::vector<FieldRange>{{20, 4, 1}}));
  EXPECT_EQ(session.keep_alive_ms, 24000);
}

TEST_F(ParamMenusTest, TimeoutsUnchangedStillConfirmAndSendNothing) {
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

TEST_F(ParamMenusTest, DestroyedGprsTableGivesThePlainLabels) {
  controller.SetDestroyed(22, true);
  ServerLabels labels;
  labels.server1 = "x";
  RefreshServerLabels(link, image, &status, true, true, labels);
  EXPECT_EQ(labels.server1, "Сервер 1");
  EXPECT_EQ(labels.server2, "Сервер 2");
}

TEST_F(ParamMenusTest, AFailedReadOpensNoWindow) {
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

TEST_F(OfflineEditorTest, CancelledOpenDialogOpensNoEditor) {
  EXPECT_EQ(EditConfigurationFile(Files(), dialogs, editors, 1), ConfigFileEditOutcome::kCancelled);
  EXPECT_TRUE(editors.opened.empty());
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
