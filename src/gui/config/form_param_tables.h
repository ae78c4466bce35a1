// The timeouts (TFormModem_Ans_Time), modem (TFormIni_Modem) and GPRS
// (TFormInter_Par) windows over their models.
#pragma once

#include <QDialog>
#include <array>

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

namespace kvarta {
class IniModemModel;
class InterParModel;
class ModemAnsTimeModel;
}  // namespace kvarta

namespace kvarta::gui {

class TFormModem_Ans_Time : public QDialog {
  Q_OBJECT
 public:
  TFormModem_Ans_Time(ModemAnsTimeModel& model, QWidget* parent = nullptr);

  void Refresh();
  // The panel of modem code 0 (SC3000) or 1 (mc55iT).
  QFrame* Panel(int code) const { return panels_[static_cast<size_t>(code)]; }
  QLineEdit* Box(int code, int field) const {
    return boxes_[static_cast<size_t>(code)][static_cast<size_t>(field)];
  }

 public Q_SLOTS:
  void reject() override;

 private:
  void BuildPanel(int code);
  void AfterAction();

  ModemAnsTimeModel& model_;
  std::array<QFrame*, 2> panels_{};
  std::array<std::array<QLineEdit*, 7>, 2> boxes_{};
  std::array<std::array<QLabel*, 7>, 2> ranges_{};
  QPushButton* write_;
  QPushButton* accept_;
  QPushButton* cancel_;
};

class TFormIni_Modem : public QDialog {
  Q_OBJECT
 public:
  TFormIni_Modem(IniModemModel& model, QWidget* parent = nullptr);

  void Refresh();

 public Q_SLOTS:
  void reject() override;

 private:
  void AfterAction();

  IniModemModel& model_;
  std::array<QLineEdit*, 4> boxes_{};
  QPushButton* write_;
  QPushButton* accept_;
  QPushButton* cancel_;
};

class TFormInter_Par : public QDialog {
  Q_OBJECT
 public:
  TFormInter_Par(InterParModel& model, QWidget* parent = nullptr);

  void Refresh();
  QLineEdit* Box(int box) const { return boxes_[static_cast<size_t>(box)]; }

 public Q_SLOTS:
  void reject() override;

 private:
  void AfterAction();

  InterParModel& model_;
  std::array<QLineEdit*, 8> boxes_{};
  std::array<QLabel*, 8> labels_{};
  QPushButton* write_;
  QPushButton* accept_;
  QPushButton* cancel_;
};

}  // namespace kvarta::gui
