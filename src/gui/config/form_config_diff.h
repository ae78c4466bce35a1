// The comparison of the controller's configuration with a file: the
// parameters that differ, by table and name, side by side.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class QTableWidget;

namespace kvarta {
struct ConfigDiffModel;
}

namespace kvarta::gui {

class TFormConfigDiff : public QDialog {
  Q_OBJECT
 public:
  explicit TFormConfigDiff(const ConfigDiffModel& model, QWidget* parent = nullptr);

  QTableWidget* Table() const { return table_; }
  QLabel* Summary() const { return summary_; }

 private:
  QTableWidget* table_;
  QLabel* summary_;
  QPushButton* exit_;
};

}  // namespace kvarta::gui
