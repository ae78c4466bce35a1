// The diagnostic flags window (TFormOutoControl) over OutoControlModel: the
// decoded lines of table 17 and, while refreshing, a re-read 500 ms after
// the previous read ended. A lost modem link closes it.
#pragma once

#include <QDialog>
#include <memory>

class QFrame;
class QPlainTextEdit;
class QPushButton;

namespace kvarta {
class OutoControlModel;
}

namespace kvarta::gui {

class QtHost;
class QtTimer;

class TFormOutoControl : public QDialog {
  Q_OBJECT
 public:
  TFormOutoControl(OutoControlModel& model, QtHost& host, QWidget* parent = nullptr);
  ~TFormOutoControl() override;

  void Refresh();
  QPlainTextEdit* Memo() const { return memo_; }
  QPushButton* RefreshButton() const { return refresh_; }

 public Q_SLOTS:
  void reject() override;

 private:
  void OnTimer();

  OutoControlModel& model_;
  QtHost& host_;
  std::unique_ptr<QtTimer> timer_;
  QFrame* panel_;
  QPlainTextEdit* memo_;
  QPushButton* refresh_;
  QPushButton* exit_;
  int shown_decodes_ = -1;
};

}  // namespace kvarta::gui
