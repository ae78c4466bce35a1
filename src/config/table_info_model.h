// The table-state window (TFormTableInfo): one row per configuration table
// with its destroyed state from table 7 and a "write" check box; it chooses
// which tables a restore from a file writes.
#pragma once

#include <string>
#include <vector>

#include "link/config_image.h"

namespace kvarta {

class Host;

// What the window's buttons decide.
enum TableStateResult : int {
  kTableStateLeave = 0,
  kTableStateWriteSelected = 1,
  kTableStateWriteAll = 2,
};

// Sizes of the list and the window for a number of rows.
struct TableInfoSizing {
  bool shrunk = false;  // fewer rows than fit without scrolling
  int list_height = 0;  // 0 = as designed
  bool scroll_bar_visible = true;
  int button_bar_top = 0;  // 0 = as designed
  int window_height = 0;
  int scroll_position = 0;
};

class TableInfoModel {
 public:
  static constexpr const char* kTitle = "Информация о состоянии таблиц параметров конфигурации";
  static constexpr int kWidth = 610;
  static constexpr int kMaxRows = 90;
  static constexpr int kVisibleRows = 27;
  static constexpr int kTallHeight = 597;
  static constexpr int kButtonBarMargin = 53;
  static constexpr const char* kNameHeading = "Наименование таблицы";
  static constexpr const char* kDestroyedHeading[2] = {"Разру-", "шена"};
  static constexpr const char* kWriteHeading[2] = {"Записать", "таблицу"};

  struct Row {
    int table = 0;
    std::string caption;         // " Табл. %2d.  %s"
    std::string destroyed_text;  // "Да" / "Нет"
    bool destroyed_red = false;
    bool checked = false;
    bool check_enabled = true;
  };

  TableInfoModel(Host& host, TableWritePlan& plan) : host_(host), plan_(plan) {}

  // Fills the rows from the plan's configuration and destroyed rows.
  void OnShow();
  // The window's sizes for its row height, the list's top and the button
  // bar's height (the window lays them out, the rule lives here).
  TableInfoSizing Sizing(int row_height, int list_top, int button_bar_height) const;

  void OnCheck(int row, bool checked);
  void OnWriteAll();       // "Записать все таблицы"
  void OnWriteSelected();  // "Записать избранные таблицы"
  void OnExit();           // "Выход"

  std::vector<Row> rows;
  int first_destroyed_row = 0;  // 1-based, 0 = none

  int result() const { return result_; }
  bool closed() const { return closed_; }

 private:
  // An intact users table is never written from a file.
  void KeepUsersOnlyWhenDestroyed();

  Host& host_;
  TableWritePlan& plan_;
  int result_ = kTableStateLeave;
  bool closed_ = false;
};

}  // namespace kvarta
