// The progress window of long reads and writes (TFormWait): four centred
// lines and a bar, shown over the disabled main window.
#pragma once

#include <QWidget>

class QLabel;
class QProgressBar;

namespace kvarta {
struct WaitModel;
}

namespace kvarta::gui {

class TFormWait : public QWidget {
  Q_OBJECT
 public:
  TFormWait(const WaitModel& model, QWidget* main_window);
  ~TFormWait() override;

  QProgressBar* ProgressBar() const { return bar_; }
  QLabel* Line(int i) const { return lines_[i]; }
  // Shows the window over the disabled main window.
  void Open();
  // The bar from the model, repainted at once.
  void Refresh(const WaitModel& model);
  // Closes it and gives the main window back.
  void Finish();

 private:
  QWidget* main_window_;
  QLabel* lines_[4] = {};
  QProgressBar* bar_ = nullptr;
  bool open_ = false;
};

}  // namespace kvarta::gui
