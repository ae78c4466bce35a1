// The subscriber dialog (TFormAbonent, " Параметры абонента") over AbonentModel.
#pragma once

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace kvarta {
class AbonentModel;
}

namespace kvarta::gui {

class TFormAbonent : public QDialog {
  Q_OBJECT
 public:
  TFormAbonent(AbonentModel& model, QWidget* parent = nullptr);

  // Writes the model's state into the widgets.
  void Refresh();

 public Q_SLOTS:
  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void AfterAction();

  AbonentModel& model_;
  QLineEdit* name_;
  QComboBox* address_;
  QLineEdit* phone_;
  QPushButton* accept_;
  QPushButton* cancel_;
};

}  // namespace kvarta::gui
