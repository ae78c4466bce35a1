// Whether and which sessions the controller records (TFormNeed_Seans_Wr)
// over NeedSeansWrModel.
#pragma once

#include <QDialog>

class QComboBox;
class QPushButton;

namespace kvarta {
class NeedSeansWrModel;
}

namespace kvarta::gui {

class TFormNeed_Seans_Wr : public QDialog {
  Q_OBJECT
 public:
  TFormNeed_Seans_Wr(NeedSeansWrModel& model, QWidget* parent = nullptr);

  QComboBox* List() const { return list_; }

 public Q_SLOTS:
  void reject() override;

 private:
  NeedSeansWrModel& model_;
  QComboBox* list_;
  QPushButton* write_;
  QPushButton* cancel_;
};

}  // namespace kvarta::gui
