// The progress window of long reads and writes: four centred lines and a bar.
#pragma once

#include <QWidget>

class QLabel;
class QProgressBar;

namespace kvarta::gui {

class TFormWait : public QWidget {
  Q_OBJECT
 public:
  enum class Mode { kWriting, kReading };

  TFormWait(Mode mode, QWidget* main_window);
  ~TFormWait() override;

  QProgressBar* ProgressBar() const { return bar_; }
  QLabel* Line(int i) const { return lines_[i]; }
  // Shows the window over the disabled main window.
  void Open(int maximum);
  // Closes it and gives the main window back.
  void Finish();

 private:
  QWidget* main_window_;
  QLabel* lines_[4] = {};
  QProgressBar* bar_ = nullptr;
  bool open_ = false;
};

}  // namespace kvarta::gui
