// "О программе".
#pragma once

#include <QDialog>

namespace kvarta::gui {

class TFormAbout : public QDialog {
  Q_OBJECT
 public:
  explicit TFormAbout(QWidget* parent = nullptr);
};

}  // namespace kvarta::gui
