// The command history window (TFormStoredComm) over StoredCommModel: one row
// per entry and a further one for its second line; an entry is chosen by
// "Принять" or a double click, "Очистить список" (and Esc) empties the list.
#pragma once

#include <QDialog>

class QFrame;
class QPushButton;
class QTableWidget;

namespace kvarta {
class StoredCommModel;
}

namespace kvarta::gui {

class TFormStoredComm : public QDialog {
  Q_OBJECT
 public:
  TFormStoredComm(StoredCommModel& model, QWidget* parent = nullptr);

  QTableWidget* Grid() const { return grid_; }

 public Q_SLOTS:
  void reject() override;

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void Finish();

  StoredCommModel& model_;
  QFrame* panel_;
  QTableWidget* grid_;
  QPushButton* accept_;
  QPushButton* clear_;
  QPushButton* cancel_;
};

}  // namespace kvarta::gui
