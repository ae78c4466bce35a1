// A COM list box: its items may name the device behind a port ("COM5 —
// FT232R USB UART (A50285BI)"), longer than the box. The box shows the
// chosen entry cut with an ellipsis; FitPopupToItems gives it the whole entry
// as its tool tip and a drop-down list wide enough for the longest entry.
#pragma once

#include <QComboBox>

namespace kvarta::gui {

class PortComboBox : public QComboBox {
 public:
  explicit PortComboBox(QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace kvarta::gui
