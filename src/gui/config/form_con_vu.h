// The link window (TFormConVU) and the sending schedule window
// (TFormData_Timing) over their models.
#pragma once

#include <QDialog>
#include <array>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace kvarta {
class ConVuModel;
class DataTimingModel;
}  // namespace kvarta

namespace kvarta::gui {

class TFormConVU : public QDialog {
  Q_OBJECT
 public:
  TFormConVU(ConVuModel& model, QWidget* parent = nullptr);

  void Refresh();

 public Q_SLOTS:
  void reject() override;

 private:
  void AfterAction();

  ConVuModel& model_;
  QComboBox* address_;
  QLineEdit* preambles_;
  QComboBox* attempts_;
  QComboBox* servers_;
  QLineEdit* answer_wait_;
  QLineEdit* name_;
  QCheckBox* use_schedule_;
  QPushButton* schedule_;
  QCheckBox* server1_;
  QCheckBox* server2_;
  QPushButton* write_;
  QPushButton* accept_;
  QPushButton* cancel_;
};

class TFormData_Timing : public QDialog {
  Q_OBJECT
 public:
  TFormData_Timing(DataTimingModel& model, QWidget* parent = nullptr);

  void Refresh();
  QTableWidget* Grid(int grid) const { return grids_[static_cast<size_t>(grid)]; }

 public Q_SLOTS:
  void reject() override;

 private:
  void AfterAction();

  DataTimingModel& model_;
  std::array<QTableWidget*, 3> grids_{};
  QPushButton* accept_;
  QPushButton* cancel_;
};

}  // namespace kvarta::gui
