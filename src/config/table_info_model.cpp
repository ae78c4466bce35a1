#include "config/table_info_model.h"

#include "link/message_window.h"
#include "platform/text_format.h"

namespace kvarta {
namespace {

constexpr int kUsersTable = 4;

}  // namespace

void TableInfoModel::OnShow() {
  rows.clear();
  first_destroyed_row = 0;
  result_ = kTableStateLeave;
  closed_ = false;
  for (int t = 0; t < kTableCount && static_cast<int>(rows.size()) < kMaxRows; ++t) {
    if (plan_.configuration[t] == 0) continue;
    Row row;
    row.table = t;
    row.caption = Format(" Табл. %2d.  %s", t, TableName(t).c_str());
    if (plan_.destroyed[t] != 0) {
      row.destroyed_text = "Да";
      row.destroyed_red = true;
      row.checked = true;
      if (first_destroyed_row == 0) first_destroyed_row = static_cast<int>(rows.size()) + 1;
    } else {
      row.destroyed_text = "Нет";
      row.check_enabled = t != kUsersTable;
    }
    rows.push_back(row);
  }
}

TableInfoSizing TableInfoModel::Sizing(int row_height, int list_top, int button_bar_height) const {
  TableInfoSizing s;
  const int k = static_cast<int>(rows.size());
  if (k < kVisibleRows) {
    s.shrunk = true;
    s.list_height = (row_height - 1) * k + 1;
    s.scroll_bar_visible = false;
    s.button_bar_top = list_top + s.list_height;
    s.window_height = s.button_bar_top + button_bar_height + kButtonBarMargin;
    return s;
  }
  s.window_height = kTallHeight;
  if (first_destroyed_row > kVisibleRows) {
    s.scroll_position = row_height * first_destroyed_row - row_height * kVisibleRows;
  }
  return s;
}

void TableInfoModel::OnCheck(int row, bool checked) {
  if (row < 0 || row >= static_cast<int>(rows.size()) || !rows[row].check_enabled) return;
  rows[row].checked = checked;
}

void TableInfoModel::KeepUsersOnlyWhenDestroyed() {
  if (plan_.destroyed[kUsersTable] == 0) plan_.selected[kUsersTable] = 0;
}

void TableInfoModel::OnWriteAll() {
  for (int t = 0; t < kTableCount; ++t) plan_.selected[t] = plan_.configuration[t] != 0;
  KeepUsersOnlyWhenDestroyed();
  result_ = kTableStateWriteAll;
  closed_ = true;
}

void TableInfoModel::OnWriteSelected() {
  bool any = false;
  for (const Row& row : rows) any = any || row.checked;
  if (!any) {
    ShowMessageWindow(host_, kMessageInfo, "Не заданы таблицы для записи", "");
    return;
  }
  for (const Row& row : rows) plan_.selected[row.table] = row.checked;
  KeepUsersOnlyWhenDestroyed();
  result_ = kTableStateWriteSelected;
  closed_ = true;
}

void TableInfoModel::OnExit() {
  result_ = kTableStateLeave;
  closed_ = true;
}

}  // namespace kvarta
