// The connection parameter dialog (TFormConn_Par) over ConnParModel: the
// common fields, the phone panel and the line adapter panel.
#pragma once

#include <QDialog>

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace kvarta {
class ConnParModel;
}

namespace kvarta::gui {

class TFormConn_Par : public QDialog {
  Q_OBJECT
 public:
  TFormConn_Par(ConnParModel& model, QWidget* parent = nullptr);

  void Refresh();

 public Q_SLOTS:
  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void BuildCommon();
  void BuildPhonePanel();
  void BuildAdapterPanel();
  void Connect();
  void AfterAction();

  ConnParModel& model_;
  QComboBox* port_;
  QComboBox* rate_;
  QLineEdit* first_wait_;
  QLineEdit* next_wait_;
  QLineEdit* preambles_;
  QComboBox* attempts_;

  QFrame* phone_panel_;
  QLineEdit* command_;
  QLineEdit* connect_wait_;
  QLineEdit* connect_attempts_;
  QComboBox* subscriber_;
  QLineEdit* phone_number_;
  QPushButton* phone_book_;

  QFrame* adapter_panel_;
  QComboBox* line_num_;
  QComboBox* adapter_rate_;
  QComboBox* k_output_;
  QComboBox* k_input_;
  QComboBox* radio_;
  QComboBox* lider_;
  QComboBox* correction_;
  QLabel* unit_label_;
  QComboBox* unit_;
  QLabel* value_label_;
  QLabel* range_label_;
  QLineEdit* value_;
  QRadioButton* plus_;
  QRadioButton* minus_;

  QPushButton* accept_;
  QPushButton* exit_;
};

}  // namespace kvarta::gui
