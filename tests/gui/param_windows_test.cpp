// The parameter editors' windows on the offscreen platform, driven through
// their widgets in device and file mode; with KVARTA_SHOTS_DIR set, each
// window's picture is saved there as well.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>

#include "config/con_vu_model.h"
#include "config/config_model.h"
#include "config/ini_modem_model.h"
#include "config/inter_par_model.h"
#include "config/modem_ans_time_model.h"
#include "config/vrg_par_model.h"
#include "gui/config/form_con_vu.h"
#include "gui/config/form_config.h"
#include "gui/config/form_param_tables.h"
#include "gui/config/form_vrg_par.h"
#include "gui/config/qt_config_dialogs.h"
#include "gui/config/qt_param_dialogs.h"
#include "gui/gui_support.h"
#include "link/table_layout.h"
#include "support/fakes.h"

namespace kvarta::gui {
namespace {

// The demo controller's tables.
struct DemoTables {
  DemoTables() : controller(1) {}
  uint8_t* Table(int t) { return controller.Field(t, 0); }
  sim::Controller controller;
};

class ParamWindowsTest : public ::testing::Test {
 protected:
  test::FakeHost host;
  DemoTables demo;
  QtParamDialogs dialogs{nullptr};
};

TEST_F(ParamWindowsTest, VrgListShowsTheGridAndEditsAVrgThroughItsWindow) {
  VrgParModel model(host, dialogs, demo.Table(9), 0x1FFFFC, 2, EditorMode::kDevice);
  auto window = Opened<TFormVRG_Par>(model);
  EXPECT_EQ(window->windowTitle(), " Параметры вычислителей расхода газа");
  EXPECT_EQ(window->size(), QSize(810, 335));
  QTableWidget* grid = window->Grid();
  ASSERT_EQ(grid->rowCount(), 2);
  EXPECT_EQ(grid->item(0, 4)->text(), " RS232");
  EXPECT_EQ(grid->item(1, 4)->text(), " Bell-202");
  EXPECT_EQ(grid->item(1, 6)->text(), "    Есть");
  EXPECT_EQ(Child<QComboBox>(window.get(), "CBSpeed")->currentText(), "9600");
  EXPECT_TRUE(Child<QPushButton>(window.get(), "BitBtn1")->isVisible());  // "Записать в устройство"
  EXPECT_FALSE(Child<QPushButton>(window.get(), "BitBtn3")->isVisible());
  EXPECT_TRUE(HasLabel(window.get(), "бит/с"));
  Shot(window.get(), "vrg_list");

  // The first VRG goes over to Bell-202: no RS232 VRG is left to need a speed.
  dialogs.on_shown = [](QDialog& vrg) {
    EXPECT_EQ(vrg.windowTitle(), "Параметры ВРГ № 1");
    QComboBox* line = Child<QComboBox>(&vrg, "CBInterface");
    line->setCurrentIndex(1);
    Q_EMIT line->activated(1);
    Click(&vrg, "BitBtn1");
  };
  ClickCell(grid, 0, 0);
  Click(window.get(), "BtEdit");
  EXPECT_EQ(grid->item(0, 4)->text(), " Bell-202");
  EXPECT_FALSE(Child<QComboBox>(window.get(), "CBSpeed")->isEnabled());
  EXPECT_EQ(Child<QComboBox>(window.get(), "CBSpeed")->currentIndex(), -1);
  Click(window.get(), "BitBtn1");
  EXPECT_TRUE(model.changed());
  EXPECT_EQ(demo.Table(9)[layout::t9::Record(0) + layout::t9::kInterface],
            layout::t9::kInterfaceBell202);
  EXPECT_TRUE(host.shown.empty());
}

TEST_F(ParamWindowsTest, VrgWindowRefusesAGroupBeyondItsRangeAndStaysOpen) {
  uint8_t* record = demo.Table(9) + layout::t9::Record(1);
  VrgConfModel model(host, record, 2, 1);
  auto window = Opened<TFormVRG_Conf>(model);
  Shot(window.get(), "vrg_conf");
  EXPECT_EQ(window->size(), QSize(670, 230));
  EXPECT_FALSE(Child<QComboBox>(window.get(), "CBServer2")->isEnabled());  // one server
  QLineEdit* group = Child<QLineEdit>(window.get(), "EdGroup");
  Retype(group, "1677721x6");  // the letter never reaches the box
  EXPECT_EQ(group->text(), "16777216");
  Click(window.get(), "BitBtn1");
  ASSERT_EQ(host.shown.size(), 1u);
  EXPECT_EQ(host.shown[0].line1, "Группа вне допускаемого диапазона");
  EXPECT_TRUE(window->isVisible());
  Retype(group, "16777215");
  Click(window.get(), "BitBtn1");
  EXPECT_TRUE(model.accepted());
  EXPECT_EQ(record[1], 0xFF);
  EXPECT_EQ(record[3], 0xFF);
}

TEST_F(ParamWindowsTest, LinkWindowActsOnServersAtOnceAndOpensTheSchedule) {
  ConVuModel model(host, dialogs, demo.Table(3), 0, EditorMode::kDevice);
  auto window = Opened<TFormConVU>(model);
  EXPECT_EQ(window->windowTitle(), " Параметры связи с верхним уровнем ");
  EXPECT_EQ(window->size(), QSize(766, 308));
  EXPECT_EQ(Child<QComboBox>(window.get(), "CBAdr")->currentText(), "1");
  EXPECT_EQ(Child<QLineEdit>(window.get(), "EdName")->text(), "Котельная №1");
  Shot(window.get(), "link");

  bool schedule_seen = false;
  dialogs.on_shown = [&schedule_seen](QDialog& schedule) {
    schedule_seen = true;
    EXPECT_EQ(schedule.size(), QSize(688, 488));
    Shot(&schedule, "schedule");
    QTableWidget* server1 = Child<QTableWidget>(&schedule, "GridServer1");
    EXPECT_EQ(server1->item(0, 1)->text(), " 1");
    ClickCell(server1, 0, 1);
    EXPECT_EQ(server1->item(0, 1)->text(), " 2");
    Click(&schedule, "BitBtn1");
  };
  Click(window.get(), "BtSchedule");
  EXPECT_TRUE(schedule_seen);

  QComboBox* servers = Child<QComboBox>(window.get(), "CBServers");
  servers->setCurrentIndex(0);
  Q_EMIT servers->activated(0);
  EXPECT_FALSE(Child<QCheckBox>(window.get(), "CBServer2")->isEnabled());
  EXPECT_FALSE(Child<QCheckBox>(window.get(), "CBServer2")->isChecked());

  // 255 may be typed although the list ends at 254.
  Retype(Child<QComboBox>(window.get(), "CBAdr")->lineEdit(), "255");
  Click(window.get(), "BitBtn1");
  EXPECT_TRUE(model.changed());
  const uint8_t* t3 = demo.Table(3);
  EXPECT_EQ(t3[layout::t3::kAddress], 255);
  EXPECT_EQ(t3[layout::t3::kSendServers] & 2, 0);
  EXPECT_EQ(t3[layout::t3::ScheduleEntry(1) + layout::t3::kScheduleServer1], 2);
}

TEST_F(ParamWindowsTest, LinkWindowInFileModeAcceptsInsteadOfWriting) {
  ConVuModel model(host, dialogs, demo.Table(3), kAllSpeeds, EditorMode::kFile);
  auto window = Opened<TFormConVU>(model);
  EXPECT_FALSE(Child<QPushButton>(window.get(), "BitBtn1")->isVisible());
  EXPECT_EQ(Child<QPushButton>(window.get(), "BitBtn3")->text(), "Принять");
  QCheckBox* use = Child<QCheckBox>(window.get(), "CBSchedule");
  QTest::mouseClick(use, Qt::LeftButton, {}, QPoint(8, use->height() / 2));
  EXPECT_FALSE(Child<QPushButton>(window.get(), "BtSchedule")->isEnabled());
  Click(window.get(), "BitBtn3");
  EXPECT_TRUE(model.changed());
  EXPECT_EQ(demo.Table(3)[layout::t3::kUseSchedule], 0);
}

TEST_F(ParamWindowsTest, TimeoutsWindowShowsThePanelOfTheModemCode) {
  for (const uint8_t code : {uint8_t{0}, uint8_t{1}, uint8_t{7}}) {
    ModemAnsTimeModel model(host, demo.Table(20), code, EditorMode::kFile);
    auto window = Opened<TFormModem_Ans_Time>(model);
    EXPECT_EQ(window->Panel(0)->isVisible(), code == 0) << int{code};
    EXPECT_EQ(window->Panel(1)->isVisible(), code == 1) << int{code};
    // Without a panel there is nothing to confirm.
    EXPECT_EQ(Child<QPushButton>(window.get(), "BitBtn3")->isEnabled(), code <= 1) << int{code};
    if (code == 1) {
      EXPECT_EQ(window->size(), QSize(716, 357));
      EXPECT_TRUE(HasLabel(window.get(), "AT команда ^SISO"));
      EXPECT_TRUE(HasLabel(window.get(), "(10...360)"));
      Shot(window.get(), "timeouts");
    }
  }
  // Code 0: 300 s for +CIICR is beyond its (15...180).
  ModemAnsTimeModel model(host, demo.Table(20), 0, EditorMode::kDevice);
  auto window = Opened<TFormModem_Ans_Time>(model);
  Retype(window->Box(0, 0), "300");
  Click(window.get(), "BitBtn1");
  ASSERT_EQ(host.shown.size(), 1u);
  EXPECT_EQ(host.shown[0].line1, "Вводите значения");
  EXPECT_FALSE(model.closed());
  Retype(window->Box(0, 0), "180");
  Click(window.get(), "BitBtn1");
  EXPECT_TRUE(model.changed());
  EXPECT_EQ(GetNumber(demo.Table(20), Param(20, "open_wait_s")), 180);
}

TEST_F(ParamWindowsTest, ModemWindowStoresItsFourTexts) {
  IniModemModel model(host, demo.Table(21), EditorMode::kDevice);
  auto window = Opened<TFormIni_Modem>(model);
  Shot(window.get(), "modem");
  EXPECT_EQ(window->size(), QSize(560, 357));
  EXPECT_EQ(Child<QLineEdit>(window.get(), "EdInit")->text(), "ate0;v1;h0");
  Retype(Child<QLineEdit>(window.get(), "EdPayment"), "*111#");
  Click(window.get(), "BitBtn1");
  EXPECT_TRUE(model.changed());
  EXPECT_EQ(GetText(demo.Table(21), Param(21, "payment_phone")), "*111#");
}

TEST_F(ParamWindowsTest, GprsWindowGreysTheSecondServerAndFiltersTheConnectionType) {
  InterParModel model(host, demo.Table(22), 1, EditorMode::kFile);
  auto window = Opened<TFormInter_Par>(model);
  EXPECT_EQ(window->size(), QSize(674, 420));
  QLineEdit* ip2 = window->Box(InterParModel::kServer2Ip);
  EXPECT_FALSE(ip2->isEnabled());
  EXPECT_TRUE(ip2->text().isEmpty());
  EXPECT_NE(ip2->styleSheet().indexOf("#d3d3d3"), -1);
  QLineEdit* type = window->Box(InterParModel::kConnectionType);
  Retype(type, "ip-tcp_2");
  EXPECT_EQ(type->text(), "iptcp_2");
  Click(window.get(), "BitBtn3");
  EXPECT_EQ(GetText(demo.Table(22), Param(22, "connection_type")), "iptcp_2");
  EXPECT_EQ(GetText(demo.Table(22), Param(22, "server2_ip")), "");

  DemoTables fresh;
  InterParModel two(host, fresh.Table(22), 2, EditorMode::kDevice);
  auto shown = Opened<TFormInter_Par>(two);
  EXPECT_TRUE(shown->Box(InterParModel::kServer2Ip)->isEnabled());
  Shot(shown.get(), "gprs");
}

TEST_F(ParamWindowsTest, OfflineEditorGreysWhileASubEditorIsOpen) {
  QtConfigDialogs configs(nullptr);
  ConfigFileRecord record;
  NewConfigFileRecord(record);
  ConfigModel model(host, configs, dialogs, record);
  auto window = Opened<TFormConfig>(model);
  EXPECT_EQ(window->windowTitle(), " Параметры конфигурации контроллера");
  EXPECT_EQ(window->size(), QSize(776, 330));
  EXPECT_TRUE(Child<QComboBox>(window.get(), "CBModem")->isVisible());
  EXPECT_EQ(Child<QComboBox>(window.get(), "CBModem")->currentText(), " mc55iT");
  EXPECT_FALSE(
      Child<QPushButton>(window.get(), "BitBtn3")->isVisible());  // "Записать в устройство"
  Shot(window.get(), "offline_editor");

  bool seen = false;
  dialogs.on_shown = [&](QDialog& link) {
    seen = true;
    EXPECT_EQ(link.objectName(), "TFormConVU");
    EXPECT_EQ(window->Panel()->palette().color(QPalette::Window), QColor(0xB5, 0xB5, 0xB5));
    EXPECT_FALSE(Child<QPushButton>(window.get(), "BitBtn1")->isEnabled());
    EXPECT_FALSE(Child<QPushButton>(window.get(), "BitBtn2")->isEnabled());
    Retype(Child<QLineEdit>(&link, "EdName"), "Узел 5");
    Click(&link, "BitBtn3");
  };
  Click(window.get(), "BtLink");
  EXPECT_TRUE(seen);
  EXPECT_EQ(window->Panel()->palette().color(QPalette::Window), QColor(0xD3, 0xD3, 0xD3));
  EXPECT_TRUE(Child<QPushButton>(window.get(), "BitBtn1")->isEnabled());
  Click(window.get(), "BitBtn1");
  EXPECT_TRUE(model.accepted());
  EXPECT_TRUE(model.changed());
  EXPECT_EQ(record.ControllerName(), "Узел 5");
}

TEST_F(ParamWindowsTest, OfflineEditorOfARecordFromAnSc3000ControllerOffersNoTimeouts) {
  QtConfigDialogs configs(nullptr);
  ConfigFileRecord record;
  NewConfigFileRecord(record);
  record.origin() = 1;
  record.bytes[ConfigFileRecord::kModemOffset] = 0;
  ConfigModel model(host, configs, dialogs, record);
  auto window = Opened<TFormConfig>(model);
  EXPECT_FALSE(Child<QComboBox>(window.get(), "CBModem")->isVisible());
  EXPECT_EQ(Child<QLineEdit>(window.get(), "EdModem")->text(), "? (код = 0)");
  EXPECT_FALSE(Child<QPushButton>(window.get(), "BtTimeouts")->isEnabled());
}

class ParamMenusTest : public MainWindowFixture {};

TEST_F(ParamMenusTest, LinkEntryWritesTheTypedNameToTheController) {
  Open();
  ASSERT_TRUE(WaitConnected());
  QTest::qWait(50);
  for (const char* entry : {"N11", "N26", "N1", "N2", "GPRS1", "NNewCnf", "NEditCnf"}) {
    EXPECT_TRUE(window->MenuAction(entry)->isEnabled()) << entry;
  }
  bool shown = false;
  window->ParamDialogs().on_shown = [&shown](QDialog& link) {
    shown = true;
    // Seventeen characters: the whole name, its terminator after it.
    Retype(Child<QLineEdit>(&link, "EdName"), "Котельная улица 5");
    Click(&link, "BitBtn1");
  };
  window->MenuAction("N26")->trigger();
  EXPECT_TRUE(shown);
  std::string name;
  WithController([&name](sim::Controller& c) { name = GetText(c.Field(3, 0), Param(3, "name")); });
  EXPECT_EQ(name, "Котельная улица 5");
}

void ExpectConfirmOfMode(QDialog& w, bool device) {
  EXPECT_EQ(Child<QPushButton>(&w, "BitBtn1")->isVisibleTo(&w), device)
      << w.objectName().toStdString();
  EXPECT_EQ(Child<QPushButton>(&w, "BitBtn3")->isVisibleTo(&w), !device)
      << w.objectName().toStdString();
}
template <typename Form, typename Model>
void ExpectConfirmOfMode(Model& model, bool device) {
  model.OnShow();
  Form window(model);
  ExpectConfirmOfMode(window, device);
}

// Device mode writes to the controller, file mode accepts into a record:
// each window shows the one button of its mode.
TEST_F(ParamWindowsTest, EachWindowShowsTheConfirmButtonOfItsMode) {
  for (const EditorMode mode : {EditorMode::kDevice, EditorMode::kFile}) {
    const bool device = mode == EditorMode::kDevice;
    VrgParModel vrg(host, dialogs, demo.Table(9), kAllSpeeds, 2, mode);
    ExpectConfirmOfMode<TFormVRG_Par>(vrg, device);
    ConVuModel link(host, dialogs, demo.Table(3), 0, mode);
    ExpectConfirmOfMode<TFormConVU>(link, device);
    ModemAnsTimeModel timeouts(host, demo.Table(20), 1, mode);
    ExpectConfirmOfMode<TFormModem_Ans_Time>(timeouts, device);
    InterParModel gprs(host, demo.Table(22), 2, mode);
    ExpectConfirmOfMode<TFormInter_Par>(gprs, device);
    IniModemModel modem(host, demo.Table(21), mode);
    modem.OnShow();
    TFormIni_Modem modem_window(modem);
    ExpectConfirmOfMode(modem_window, device);
    // Confirming in either mode stores into the given bytes and closes.
    modem_window.show();
    Click(&modem_window, device ? "BitBtn1" : "BitBtn3");
    EXPECT_TRUE(modem.changed());
    EXPECT_FALSE(modem_window.isVisible());
  }
}

}  // namespace
}  // namespace kvarta::gui
