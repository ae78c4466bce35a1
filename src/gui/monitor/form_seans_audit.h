// The session record viewer (TFormSeans_Audit) over SeansAuditModel: the
// text as characters or as a hex dump in a fixed-pitch font, the free bytes
// of the controller's buffer, and saving the text to a file.
#pragma once

#include <QDialog>
#include <QPlainTextEdit>

class QLabel;
class QPushButton;

namespace kvarta {
class SeansAuditModel;
}

namespace kvarta::gui {

// The memo of the viewer: in the hex view a thin black bar runs between the
// hex pairs and the characters.
class SeansMemo : public QPlainTextEdit {
  Q_OBJECT
 public:
  explicit SeansMemo(QWidget* parent) : QPlainTextEdit(parent) {}
  // The character column the bar stands before; 0 for none.
  void SetBarColumn(int column);
  int BarColumn() const { return bar_column_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  int bar_column_ = 0;
};

class TFormSeans_Audit : public QDialog {
  Q_OBJECT
 public:
  TFormSeans_Audit(SeansAuditModel& model, QWidget* parent = nullptr);

  void Refresh();
  SeansMemo* Memo() const { return memo_; }
  QLabel* FreeLabel() const { return free_; }

 private:
  SeansAuditModel& model_;
  SeansMemo* memo_;
  QLabel* free_;
  QPushButton* switch_;
  QPushButton* save_;
  QPushButton* exit_;
};

}  // namespace kvarta::gui
