// The identification window (TFormIdent): table 0 item by item, red where
// a table is destroyed or the modem type is unknown.
#pragma once

#include <QDialog>
#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;

namespace kvarta {
class IdentModel;
}

namespace kvarta::gui {

class TFormIdent : public QDialog {
  Q_OBJECT
 public:
  explicit TFormIdent(IdentModel& model, QWidget* parent = nullptr);

  QLabel* Caption(int item) const { return captions_[item]; }
  QLineEdit* Value(int item) const { return values_[item]; }
  QPushButton* ExitButton() const { return exit_; }

 private:
  std::vector<QLabel*> captions_;
  std::vector<QLineEdit*> values_;
  QPushButton* exit_;
};

}  // namespace kvarta::gui
