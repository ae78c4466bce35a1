// The period dialog of the data commands (TFormComm_Data) over CommDataModel:
// the last completed hour or contract day, or a period from two date
// pickers and, for hour commands, two hour lists.
#pragma once

#include <QDialog>

class QComboBox;
class QDateEdit;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace kvarta {
class CommDataModel;
}

namespace kvarta::gui {

class TFormComm_Data : public QDialog {
  Q_OBJECT
 public:
  TFormComm_Data(CommDataModel& model, QWidget* parent = nullptr);

  void Refresh();

 public Q_SLOTS:
  void reject() override;

 private:
  CommDataModel& model_;
  QGroupBox* group_;
  QRadioButton* rb_last_;
  QRadioButton* rb_period_;
  QDateEdit* td_beg_;
  QDateEdit* td_end_;
  QComboBox* cb_beg_;
  QComboBox* cb_end_;
  QLabel* from_;
  QLabel* to_;
  QLabel* hour_beg_;
  QLabel* hour_end_;
  QLabel* title_;
  QPushButton* apply_;
  QPushButton* cancel_;
};

}  // namespace kvarta::gui
