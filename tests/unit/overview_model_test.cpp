// The main window's overview in its states: no connection, identified with
// and without write access, with destroyed tables; and where the menu offers
// the configuration comparison.
#include "app/overview_model.h"

#include <gtest/gtest.h>

#include <array>

#include "app/main_menu.h"
#include "config/server_labels.h"
#include "link/config_image.h"
#include "link/result_messages.h"
#include "link/table_layout.h"

namespace kvarta {
namespace {

namespace t0 = layout::t0;
namespace t9 = layout::t9;

class OverviewModelTest : public ::testing::Test {
 protected:
  OverviewModelTest() {
    uint8_t* ident = image.Table(0);
    ident[t0::kControllerType] = 64;
    ident[t0::kSoftwareVersion] = 4;
    ident[t0::kHardwareVersion] = 3;
    ident[t0::kModemType] = t0::kModemMc55it;
    SetText(image.Table(3), Param(3, "name"), "ГРС Северная");
    vrg[t9::kVrgCount] = 2;
    vrg[t9::Record(0) + t9::kAddress] = 5;
    vrg[t9::Record(0) + t9::kRuns] = 2;
    vrg[t9::Record(1) + t9::kAddress] = 17;
    vrg[t9::Record(1) + t9::kRuns] = 1;
    labels.server1 = "Сервер 1 (10.0.0.7: 5001)  ";
    in.connected = true;
    in.image = &image;
    in.com = 3;
    in.device = "/dev/ttyUSB0";
    in.rate = 19200;
    in.address = 9;
    in.write_access = true;
    in.vrg_params = vrg.data();
    in.server_count = 2;
    in.server_labels = &labels;
  }
  std::string Value(const OverviewModel& m, const char* label) {
    const OverviewLine* line = m.Line(label);
    return line ? line->value : "<none>";
  }

  ConfigImage image;
  std::array<uint8_t, 104> vrg{};
  ServerLabels labels;
  OverviewInputs in;
};

TEST_F(OverviewModelTest, NotConnectedSaysSoAndOffersToConnectWithTheSettingsInUse) {
  in.connected = false;
  const OverviewModel m = BuildOverview(in);
  EXPECT_FALSE(m.connected);
  EXPECT_EQ(m.headline, "Нет связи с контроллером");
  EXPECT_TRUE(m.offer_connect);
  EXPECT_FALSE(m.offer_table_state);
  EXPECT_TRUE(m.sections.empty());  // nothing of an earlier controller is shown
  EXPECT_EQ(m.subline,
            "Связь задана: Непосредственная связь, COM3 (/dev/ttyUSB0), 19200 бит/с, адрес 9");
}

TEST_F(OverviewModelTest, IdentifiedWithWriteAccessShowsTheControllerVrgsAndServers) {
  const OverviewModel m = BuildOverview(in);
  EXPECT_TRUE(m.connected);
  EXPECT_FALSE(m.offer_connect);
  EXPECT_FALSE(m.offer_table_state);
  EXPECT_EQ(m.headline, "ГРС Северная");
  EXPECT_EQ(Value(m, "Тип"), "kvr64");
  EXPECT_EQ(Value(m, "Адрес"), "9");
  EXPECT_EQ(Value(m, "Порт"), "COM3 (/dev/ttyUSB0)");
  EXPECT_EQ(Value(m, "Запись в контроллер"), "разрешена");
  EXPECT_EQ(Value(m, "Состояние"), "Разрушенных таблиц нет");
  EXPECT_EQ(Value(m, "ВРГ 2"), "адрес 17, ниток 1");
  EXPECT_EQ(Value(m, "ВРГ 3"), "<none>");
  EXPECT_EQ(Value(m, "Сервер 1"), "10.0.0.7: 5001");
  EXPECT_EQ(Value(m, "Сервер 2"), "адрес не прочитан");

  in.server_count = 1;
  SetText(image.Table(3), Param(3, "name"), "");
  const OverviewModel bare = BuildOverview(in);
  EXPECT_EQ(bare.headline, "Контроллер kvr64");
  EXPECT_EQ(Value(bare, "Сервер 2"), "<none>");
}

TEST_F(OverviewModelTest, WithoutWriteAccessSaysWhy) {
  in.write_access = false;
  in.write_access_result = kResultErrorAnswer;  // the controller refused the credentials
  OverviewModel m = BuildOverview(in);
  EXPECT_EQ(Value(m, "Запись в контроллер"), "не разрешена: неверный код или пароль");
  EXPECT_TRUE(m.Line("Запись в контроллер")->alert);

  // The test did not get through: that is not blamed on the credentials.
  in.write_access_result = kResultNoAnswer;
  in.write_access_failure = "Устройство не отвечает";
  m = BuildOverview(in);
  EXPECT_EQ(Value(m, "Запись в контроллер"), "не разрешена: Устройство не отвечает");
}

TEST_F(OverviewModelTest, DestroyedTablesAreListedWithTheWayToTheTableStateWindow) {
  image.Table(0)[t0::kDestroyedTable] = 9;
  // Table 7 not read on this connection: the identification's table alone.
  image.Table(7)[22] = 1;
  OverviewModel m = BuildOverview(in);
  EXPECT_EQ(Value(m, "Состояние"), "Разрушена таблица 9");
  EXPECT_TRUE(m.Line("Состояние")->alert);
  EXPECT_TRUE(m.offer_table_state);

  image.Table(7)[9] = 1;  // table 7 read: it agrees and names one more
  m = BuildOverview(in);
  EXPECT_EQ(Value(m, "Состояние"), "Разрушены таблицы 9, 22");

  image.Table(0)[t0::kDestroyedTable] = 0;  // restored: the identification says none
  m = BuildOverview(in);
  EXPECT_EQ(Value(m, "Состояние"), "Разрушенных таблиц нет");
  EXPECT_FALSE(m.offer_table_state);
}

// The comparison entry sits beside "Сохранение параметров конфигурации в
// файле" and is offered exactly where that entry is.

TEST(ConfigMenuEntriesTest, ComparisonFollowsTheSaveEntry) {
  const std::vector<MenuItemSpec>& tree = MainMenuTree();
  size_t save = tree.size(), compare = tree.size();
  for (size_t i = 0; i < tree.size(); ++i) {
    if (tree[i].name == "Nrdcnf") save = i;
    if (tree[i].name == "NCmpCnf") compare = i;
  }
  ASSERT_LT(compare, tree.size());
  EXPECT_EQ(compare, save + 1);
  EXPECT_EQ(tree[compare].parent, tree[save].parent);
  EXPECT_EQ(tree[compare].caption, "Сравнить с файлом конфигурации");

  for (const bool connected : {false, true}) {
    for (const bool write_access : {false, true}) {
      MenuInputs in;
      in.connected = connected;
      in.write_access = write_access;
      const MainMenuState state = RefreshMainMenu(in);
      EXPECT_EQ(state.Visible("NCmpCnf"), state.Visible("Nrdcnf")) << connected << write_access;
      EXPECT_EQ(state.Visible("NCmpCnf"), connected);
    }
  }
}

}  // namespace
}  // namespace kvarta
