// The table-state window's rows, preselection, write buttons and sizes, and
// the identification window in full and reduced mode.
#include <gtest/gtest.h>

#include "config/ident_model.h"
#include "config/table_info_model.h"
#include "config_flow_support.h"

namespace kvarta {
namespace {

TableWritePlan PlanWithDestroyed(std::initializer_list<int> destroyed) {
  ConfigImage image;
  for (int t : destroyed) *image.Field(7, t) = 1;
  return TableWritePlan::FromImage(image);
}

std::vector<int> Selected(const TableWritePlan& plan) {
  std::vector<int> out;
  for (int t = 0; t < kTableCount; ++t) {
    if (plan.selected[t]) out.push_back(t);
  }
  return out;
}

class TableStateTest : public ::testing::Test {
 protected:
  test::QuestionHost host;
};

TEST_F(TableStateTest, NothingDestroyedOffersEverythingButTheUsers) {
  TableWritePlan plan = PlanWithDestroyed({});
  TableInfoModel m(host, plan);
  m.OnShow();
  ASSERT_EQ(m.rows.size(), 7u);
  EXPECT_EQ(m.rows[0].caption, " Табл.  3.  Параметры связи с верхним уровнем");
  EXPECT_EQ(m.rows[6].caption, " Табл. 22.  Параметры работы в Интернете с использованием GPRS");
  for (const auto& row : m.rows) {
    EXPECT_EQ(row.destroyed_text, "Нет");
    EXPECT_FALSE(row.destroyed_red);
    EXPECT_FALSE(row.checked);
    EXPECT_EQ(row.check_enabled, row.table != 4) << row.table;
  }
  EXPECT_EQ(m.first_destroyed_row, 0);
  m.OnCheck(1, true);  // the users row is disabled
  EXPECT_FALSE(m.rows[1].checked);

  m.OnWriteSelected();
  EXPECT_FALSE(m.closed());
  ASSERT_EQ(host.shown.size(), 1u);
  EXPECT_EQ(host.shown[0].line1, "Не заданы таблицы для записи");
  EXPECT_EQ(host.shown[0].kind, kMessageInfo);

  m.OnWriteAll();
  EXPECT_EQ(m.result(), kTableStateWriteAll);
  EXPECT_EQ(Selected(plan), (std::vector<int>{3, 9, 12, 20, 21, 22}));
}

TEST_F(TableStateTest, ADestroyedUsersTableIsPreselectedAndKeptByBothButtons) {
  TableWritePlan plan = PlanWithDestroyed({4});
  TableInfoModel m(host, plan);
  m.OnShow();
  EXPECT_EQ(m.rows[1].destroyed_text, "Да");
  EXPECT_TRUE(m.rows[1].destroyed_red);
  EXPECT_TRUE(m.rows[1].checked);
  EXPECT_TRUE(m.rows[1].check_enabled);
  EXPECT_EQ(m.first_destroyed_row, 2);
  m.OnCheck(4, true);  // table 20
  m.OnWriteSelected();
  EXPECT_EQ(m.result(), kTableStateWriteSelected);
  EXPECT_EQ(Selected(plan), (std::vector<int>{4, 20}));

  TableInfoModel all(host, plan);
  all.OnShow();
  all.OnWriteAll();
  EXPECT_EQ(Selected(plan), (std::vector<int>{3, 4, 9, 12, 20, 21, 22}));

  TableInfoModel leave(host, plan);
  leave.OnShow();
  leave.OnExit();
  EXPECT_TRUE(leave.closed());
  EXPECT_EQ(leave.result(), kTableStateLeave);
}

TEST_F(TableStateTest, AllSevenDestroyedShrinkTheWindowToSevenRows) {
  TableWritePlan plan = PlanWithDestroyed({3, 4, 9, 12, 20, 21, 22});
  TableInfoModel m(host, plan);
  m.OnShow();
  ASSERT_EQ(m.rows.size(), 7u);
  for (const auto& row : m.rows) EXPECT_TRUE(row.checked && row.check_enabled) << row.table;
  EXPECT_EQ(m.first_destroyed_row, 1);
  const TableInfoSizing s = m.Sizing(20, 40, 50);
  EXPECT_TRUE(s.shrunk);
  EXPECT_FALSE(s.scroll_bar_visible);
  EXPECT_EQ(s.list_height, 19 * 7 + 1);
  EXPECT_EQ(s.button_bar_top, 40 + 134);
  EXPECT_EQ(s.window_height, 40 + 134 + 50 + 53);
  // Unticking one and writing the rest.
  m.OnCheck(0, false);
  m.OnWriteSelected();
  EXPECT_EQ(Selected(plan), (std::vector<int>{4, 9, 12, 20, 21, 22}));
}

TEST_F(TableStateTest, TallListsScrollToTheFirstDestroyedRow) {
  TableWritePlan plan = PlanWithDestroyed({});
  TableInfoModel m(host, plan);
  m.OnShow();
  m.rows.resize(30, m.rows[0]);
  m.first_destroyed_row = 29;
  const TableInfoSizing s = m.Sizing(20, 40, 50);
  EXPECT_FALSE(s.shrunk);
  EXPECT_EQ(s.window_height, 597);
  EXPECT_EQ(s.scroll_position, 20 * 29 - 20 * 27);
  m.first_destroyed_row = 27;
  EXPECT_EQ(m.Sizing(20, 40, 50).scroll_position, 0);
}

std::array<uint8_t, 18> Identification() {
  return {0, 64, 2, 4, 15, 3, 25, 10, 30, 0, 1, 1, 0, 0, 1, 0, 3, 1};
}

TEST(IdentModel, FullModeShowsEveryItemWithStarsForImpossibleDateParts) {
  std::array<uint8_t, 18> t0 = Identification();
  IdentModel m(t0.data(), true);
  m.OnShow();
  EXPECT_EQ(m.row(IdentModel::kTypeCode).value, "64");
  EXPECT_EQ(m.row(IdentModel::kCreationDate).value, "25.03.15  10:30:00");
  EXPECT_EQ(m.row(IdentModel::kDestroyed).value, "Разрушенных таблиц нет");
  EXPECT_EQ(m.row(IdentModel::kAddressFixed).value, "Есть");
  EXPECT_EQ(m.row(IdentModel::kProtocolVersion).value, "1.0.3");
  EXPECT_EQ(m.row(IdentModel::kModemType).value, "mc55iT");
  for (const auto& row : m.rows) EXPECT_TRUE(row.caption_enabled);

  struct Case {
    int field;
    uint8_t value;
    std::string date;
  };
  for (const Case& c : {Case{4, 100, "25.03.**  10:30:00"}, Case{4, 99, "25.03.99  10:30:00"},
                        Case{5, 0, "25.**.15  10:30:00"}, Case{5, 13, "25.**.15  10:30:00"},
                        Case{6, 32, "**.03.15  10:30:00"}, Case{7, 24, "25.03.15  **:30:00"},
                        Case{8, 60, "25.03.15  10:**:00"}, Case{9, 59, "25.03.15  10:30:59"}}) {
    t0 = Identification();
    t0[c.field] = c.value;
    IdentModel one(t0.data(), true);
    one.OnShow();
    EXPECT_EQ(one.row(IdentModel::kCreationDate).value, c.date) << c.field << "=" << +c.value;
  }

  t0 = Identification();
  t0[0] = 9;
  t0[13] = 17;
  t0[17] = 5;
  t0[10] = 2;
  IdentModel odd(t0.data(), true);
  odd.OnShow();
  EXPECT_EQ(odd.row(IdentModel::kDestroyed).value, "Разрушена таблица 9");
  EXPECT_TRUE(odd.row(IdentModel::kDestroyed).red);
  EXPECT_EQ(odd.row(IdentModel::kAddressFixed).value, "Нет. Адрес = 17");
  EXPECT_EQ(odd.row(IdentModel::kModemType).value, "?");
  EXPECT_TRUE(odd.row(IdentModel::kModemType).red);
  EXPECT_EQ(odd.row(IdentModel::kByteOrder).value, " ? ");
  EXPECT_FALSE(odd.row(IdentModel::kByteOrder).red);
}

TEST(IdentModel, ReducedModeShowsTypeVersionAndModemOnly) {
  std::array<uint8_t, 18> t0 = Identification();
  t0[0] = 4;
  IdentModel m(t0.data(), false);
  m.OnShow();
  for (const auto& row : m.rows) {
    const bool kept = row.item == IdentModel::kTypeCode ||
                      row.item == IdentModel::kSoftwareVersion ||
                      row.item == IdentModel::kModemType;
    EXPECT_EQ(row.caption_enabled, kept) << row.caption;
    EXPECT_EQ(row.value.empty(), !kept) << row.caption;
    EXPECT_FALSE(row.caption.empty());
  }
  EXPECT_FALSE(m.row(IdentModel::kDestroyed).red);
  EXPECT_EQ(m.row(IdentModel::kSoftwareVersion).value, "4");
}

}  // namespace
}  // namespace kvarta
