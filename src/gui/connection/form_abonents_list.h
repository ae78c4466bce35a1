// The phone book dialog (TFormAbonents_List, " Список абонентов") over
// AbonentsListModel: the grid, whose "Наименование" and "№ телефона" headers
// choose the sort order, and the edit, add and delete buttons.
#pragma once

#include <QDialog>

class QPushButton;
class QTableWidget;

namespace kvarta {
class AbonentsListModel;
}

namespace kvarta::gui {

class TFormAbonents_List : public QDialog {
  Q_OBJECT
 public:
  TFormAbonents_List(AbonentsListModel& model, QWidget* parent = nullptr);

  void Refresh();
  // Whether a sort header acts (the active sort key's header does not).
  bool HeaderEnabled(int column) const;

 public Q_SLOTS:
  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void AfterAction();
  void OnHeader(int column);

  AbonentsListModel& model_;
  QTableWidget* grid_;
  QPushButton* edit_;
  QPushButton* add_;
  QPushButton* delete_;
  QPushButton* accept_;
  QPushButton* cancel_;
};

}  // namespace kvarta::gui
