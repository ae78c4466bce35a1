// The command history window (TFormStoredComm): one row per entry and a
// further row for an entry's second line; choosing an entry makes it current,
// "Очистить список" (also Esc) empties the history after a question.
#pragma once

#include <string>
#include <vector>

namespace kvarta {

class CommandHistory;
class Host;

struct StoredCommRow {
  std::string number;  // column "№": " 3"; empty on a second-line row
  std::string name;    // column "Наименование команды"
  std::string target;  // column "Объект"
};

class StoredCommModel {
 public:
  enum Result : int { kNothing = 0, kChosen = 1, kCleared = 2 };

  static constexpr const char* kCaption = " История команд";
  static constexpr int kWidth = 590;
  static constexpr int kRowHeight = 20;
  static constexpr int kMaxUnscrolledRows = 17;
  static constexpr int kScrolledGridHeight = 358;
  static constexpr int kWindowExtra = 76;  // below the grid's panel

  // left, top: the main window's corner plus the corner of pn_repeat.
  StoredCommModel(Host& host, CommandHistory& history, int left, int top);

  // Fills the grid, selects the current entry's row and sizes the window.
  // grid_top: the grid's top inside its panel.
  void OnShow(int grid_top = 0);
  void OnSelectRow(int row);
  // "Принять" and a double click on a row.
  void OnAccept();
  // "Очистить список"; Esc does the same (the button is the cancel button).
  void OnClear();
  void OnEscape() { OnClear(); }
  // "Отменить" and closing the window.
  void OnCancel();

  int result() const { return result_; }
  bool closed() const { return closed_; }

  int left = 0, top = 0;
  std::vector<StoredCommRow> rows;
  int selected_row = 0;
  int grid_height = 0;
  bool grid_scroll_bar = false;
  int panel_height = 0;
  int window_height = 0;

 private:
  Host& host_;
  CommandHistory& history_;
  int result_ = kNothing;
  bool closed_ = false;
};

}  // namespace kvarta
