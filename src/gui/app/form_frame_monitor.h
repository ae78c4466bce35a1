// "Монитор обмена": a window of its own beside the main window that shows the
// session's frames as they cross the line, over FrameMonitorModel.
#pragma once

#include <QWidget>
#include <functional>
#include <memory>
#include <string>

#include "app/frame_monitor_model.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;
class QTimer;

namespace kvarta::gui {

class TFormFrameMonitor : public QWidget {
  Q_OBJECT
 public:
  // save_as runs "Сохранить в файле" (the dialog and the file).
  TFormFrameMonitor(FrameLog& log, std::function<void(const FrameMonitorModel&)> save_as,
                    QWidget* parent = nullptr);
  ~TFormFrameMonitor() override;

  FrameMonitorModel& Model() { return *model_; }
  QTableWidget* Table() const { return table_; }
  QPlainTextEdit* Details() const { return details_; }
  QPushButton* PauseButton() const { return pause_; }
  QPushButton* ClearButton() const { return clear_; }
  QPushButton* SaveButton() const { return save_; }
  QLabel* StatusLabel() const { return status_; }
  // Brings the table up to date now (the window also does so on its timer).
  void Poll();

 protected:
  // Hidden, the window does no work: the model keeps what arrives meanwhile.
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  void ShowDetails();

  std::unique_ptr<FrameMonitorModel> model_;
  std::function<void(const FrameMonitorModel&)> save_as_;
  QTableWidget* table_;
  QPlainTextEdit* details_;
  QPushButton* pause_;
  QPushButton* clear_;
  QPushButton* save_;
  QPushButton* close_;
  QLabel* status_;
  QTimer* timer_;
};

}  // namespace kvarta::gui
