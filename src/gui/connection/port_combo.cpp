#include "gui/connection/port_combo.h"

#include <QStyleOptionComboBox>
#include <QStylePainter>

namespace kvarta::gui {

PortComboBox::PortComboBox(QWidget* parent) : QComboBox(parent) {}

// As the toolkit paints a box, with the text elided instead of clipped.
void PortComboBox::paintEvent(QPaintEvent*) {
  QStylePainter painter(this);
  QStyleOptionComboBox option;
  initStyleOption(&option);
  painter.drawComplexControl(QStyle::CC_ComboBox, option);
  const QRect field =
      style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
  option.currentText = fontMetrics().elidedText(option.currentText, Qt::ElideRight, field.width());
  painter.drawControl(QStyle::CE_ComboBoxLabel, option);
}

}  // namespace kvarta::gui
