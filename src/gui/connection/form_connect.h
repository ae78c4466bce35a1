// The connection dialog (TFormConnect, "Установка связи с устройством") over
// ConnectModel.
#pragma once

#include <QDialog>

class QComboBox;
class QFrame;
class QPushButton;

namespace kvarta {
class ConnectModel;
}

namespace kvarta::gui {

class TFormConnect : public QDialog {
  Q_OBJECT
 public:
  TFormConnect(ConnectModel& model, QWidget* parent = nullptr);

  void Refresh();

 public Q_SLOTS:
  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void AfterAction();

  ConnectModel& model_;
  QComboBox* kind_;
  QComboBox* address_;
  QFrame* direct_panel_;
  QPushButton* search_;
  QPushButton* imitation_;
  QFrame* phone_panel_;
  QComboBox* subscriber_;
  QPushButton* subscriber_list_;
  QPushButton* change_;
  QPushButton* connect_;
  QPushButton* exit_;
};

}  // namespace kvarta::gui
