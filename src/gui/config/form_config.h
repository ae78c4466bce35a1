// The offline editor of a configuration file (TFormConfig) over its model.
#pragma once

#include <QDialog>

class QComboBox;
class QFrame;
class QLineEdit;
class QPushButton;

namespace kvarta {
class ConfigModel;
}

namespace kvarta::gui {

class TFormConfig : public QDialog {
  Q_OBJECT
 public:
  TFormConfig(ConfigModel& model, QWidget* parent = nullptr);
  ~TFormConfig() override;

  void Refresh();
  QFrame* Panel() const { return panel_; }

 public Q_SLOTS:
  void reject() override;

 private:
  void AfterAction();

  ConfigModel& model_;
  QFrame* panel_;
  QComboBox* modem_choice_;
  QLineEdit* modem_text_;
  QPushButton* timeouts_;
  QPushButton* accept_;
  QPushButton* write_;
  QPushButton* cancel_;
};

}  // namespace kvarta::gui
