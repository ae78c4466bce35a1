// The program's message window: three centred lines, a caption and the
// buttons "Да", "Нет" and a caption-less OK, dressed by the message kind.
#pragma once

#include <QDialog>

#include "link/message_window.h"

class QLabel;
class QPushButton;

namespace kvarta::gui {

class TFormQues : public QDialog {
  Q_OBJECT
 public:
  explicit TFormQues(const MessageWindowModel& model, QWidget* parent = nullptr);

  // QuestionAnswer: 1 when the user pressed "Да".
  bool QuestionAnswer() const { return answer_; }
  QPushButton* YesButton() const { return yes_; }
  QPushButton* NoButton() const { return no_; }
  QPushButton* OkButton() const { return ok_; }
  QLabel* Line(int i) const { return lines_[i]; }

 protected:
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  MessageWindowModel model_;
  QLabel* lines_[3] = {};
  QPushButton* yes_ = nullptr;
  QPushButton* no_ = nullptr;
  QPushButton* ok_ = nullptr;
  bool answer_ = false;
};

}  // namespace kvarta::gui
