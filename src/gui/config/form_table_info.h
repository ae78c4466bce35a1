// The table-state window (TFormTableInfo): one row per configuration table
// with its destroyed state and a "write" check box, and the three buttons
// that decide what a restore from a file writes.
#pragma once

#include <QDialog>
#include <vector>

class QCheckBox;
class QLabel;
class QPushButton;
class QScrollArea;

namespace kvarta {
class TableInfoModel;
}

namespace kvarta::gui {

class TFormTableInfo : public QDialog {
  Q_OBJECT
 public:
  static constexpr int kRowHeight = 22;

  explicit TFormTableInfo(TableInfoModel& model, QWidget* parent = nullptr);

  QScrollArea* List() const { return list_; }
  QLabel* RowCaption(int row) const { return captions_[row]; }
  QLabel* RowDestroyed(int row) const { return destroyed_[row]; }
  QCheckBox* RowCheck(int row) const { return checks_[row]; }
  int RowCount() const { return static_cast<int>(checks_.size()); }
  QPushButton* WriteAllButton() const { return write_all_; }
  QPushButton* WriteSelectedButton() const { return write_selected_; }
  QPushButton* ExitButton() const { return exit_; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void CloseIfDone();

  TableInfoModel& model_;
  QScrollArea* list_;
  std::vector<QLabel*> captions_;
  std::vector<QLabel*> destroyed_;
  std::vector<QCheckBox*> checks_;
  QPushButton* write_all_;
  QPushButton* write_selected_;
  QPushButton* exit_;
  int scroll_position_ = 0;
};

}  // namespace kvarta::gui
