#include "monitor/stored_comm_model.h"

#include <charconv>

#include "link/message_window.h"
#include "monitor/command_history.h"
#include "platform/text_format.h"

namespace kvarta {

StoredCommModel::StoredCommModel(Host& host, CommandHistory& history, int left_in, int top_in)
    : left(left_in), top(top_in), host_(host), history_(history) {}

void StoredCommModel::OnShow(int grid_top) {
  rows.clear();
  selected_row = 0;
  for (int i = 0; i < history_.Count(); ++i) {
    const CommandTexts t = history_.Entry(i).Texts();
    if (i == history_.CurrentIndex()) selected_row = static_cast<int>(rows.size());
    rows.push_back(
        {Format(" %d", i + 1), " " + t.short_name, t.target.empty() ? "" : " " + t.target});
    if (!t.second_line.empty()) rows.push_back({"", " " + t.second_line, ""});
  }
  const int count = static_cast<int>(rows.size());
  grid_scroll_bar = count > kMaxUnscrolledRows;
  grid_height = grid_scroll_bar ? kScrolledGridHeight : count * (kRowHeight + 1) + 1;
  panel_height = grid_top + grid_height + 1;
  window_height = panel_height + kWindowExtra;
  result_ = kNothing;
  closed_ = false;
}

void StoredCommModel::OnSelectRow(int row) {
  if (row >= 0 && row < static_cast<int>(rows.size())) selected_row = row;
}

void StoredCommModel::OnAccept() {
  if (rows.empty()) {
    OnCancel();
    return;
  }
  int row = selected_row;
  // A second-line row stands for the entry above it.
  if (rows[row].number.empty() && row > 0) --row;
  selected_row = row;
  const std::string& text = rows[row].number;
  int number = 0;
  const char* begin = text.data() + (text.empty() ? 0 : 1);
  const auto [ptr, ec] = std::from_chars(begin, text.data() + text.size(), number);
  if (ec != std::errc() || !history_.SetCurrent(number - 1)) {
    OnCancel();
    return;
  }
  result_ = kChosen;
  closed_ = true;
}

void StoredCommModel::OnClear() {
  if (ShowMessageWindow(host_, kMessageQuestion, "Вы уверены, что хотите",
                        "хотите очистить весь список?")) {
    history_.Clear();
    result_ = kCleared;
  } else {
    result_ = kNothing;
  }
  closed_ = true;
}

void StoredCommModel::OnCancel() {
  result_ = kNothing;
  closed_ = true;
}

}  // namespace kvarta
