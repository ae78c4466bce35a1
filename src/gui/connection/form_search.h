// The device search dialog (TFormSearch, "Определение адреса контроллера  и
// скорости обмена") over SearchModel. The scan runs inside "Искать" and keeps
// the event loop going, so "Прервать поиск" is clicked while it runs.
#pragma once

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace kvarta {
class SearchModel;
}

namespace kvarta::gui {

class QtHost;

class TFormSearch : public QDialog {
  Q_OBJECT
 public:
  TFormSearch(SearchModel& model, QtHost& host, QWidget* parent = nullptr);
  ~TFormSearch() override;

  void Refresh();
  // True from "Искать" until the scan and its messages are over.
  bool Scanning() const { return scanning_; }

 public Q_SLOTS:
  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void OnSearch();
  void AfterAction();

  SearchModel& model_;
  QtHost& host_;
  QComboBox* port_;
  QLineEdit* first_wait_;
  QLineEdit* next_wait_;
  QLineEdit* preambles_;
  QLineEdit* attempts_;
  QLabel* address_value_;
  QLabel* rate_value_;
  QPushButton* search_;
  QPushButton* stop_;
  QPushButton* exit_;
  bool scanning_ = false;
};

}  // namespace kvarta::gui
