// The VRG list window (TFormVRG_Par) and the window of one VRG
// (TFormVRG_Conf) over their models.
#pragma once

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace kvarta {
class VrgConfModel;
class VrgParModel;
}  // namespace kvarta

namespace kvarta::gui {

class TFormVRG_Par : public QDialog {
  Q_OBJECT
 public:
  TFormVRG_Par(VrgParModel& model, QWidget* parent = nullptr);

  void Refresh();
  QTableWidget* Grid() const { return grid_; }

 public Q_SLOTS:
  void reject() override;

 private:
  void AfterAction();

  VrgParModel& model_;
  QComboBox* vrg_count_;
  QLineEdit* preambles_;
  QLineEdit* answer_wait_;
  QComboBox* failed_exchanges_;
  QLabel* speed_label_;
  QLabel* speed_unit_;
  QComboBox* speed_;
  QComboBox* send_delay_;
  QTableWidget* grid_;
  QPushButton* edit_;
  QPushButton* write_;
  QPushButton* accept_;
  QPushButton* cancel_;
};

class TFormVRG_Conf : public QDialog {
  Q_OBJECT
 public:
  TFormVRG_Conf(VrgConfModel& model, QWidget* parent = nullptr);

  void Refresh();

 public Q_SLOTS:
  void reject() override;

 private:
  void AfterAction();

  VrgConfModel& model_;
  QComboBox* address_;
  QLineEdit* group_;
  QComboBox* line_;
  QComboBox* runs_;
  QComboBox* server1_;
  QLabel* server2_label_;
  QComboBox* server2_;
  QPushButton* accept_;
  QPushButton* cancel_;
};

}  // namespace kvarta::gui
