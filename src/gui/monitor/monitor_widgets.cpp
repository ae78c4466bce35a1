#include "gui/monitor/monitor_widgets.h"

#include <QLabel>

namespace kvarta::gui {

QLabel* MakeCell(QWidget* parent, const char* name, int x, int y, int w, int h) {
  auto* cell = new QLabel(parent);
  cell->setObjectName(name);
  cell->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  cell->setAlignment(Qt::AlignCenter);
  cell->setAutoFillBackground(true);
  cell->setGeometry(x, y, w, h);
  return cell;
}

QLabel* MakeHeading(QWidget* parent, const QString& text, int x, int y, int w, int h) {
  auto* label = new QLabel(text, parent);
  label->setAlignment(Qt::AlignCenter);
  label->setGeometry(x, y, w, h);
  return label;
}

void SetCell(QLabel* cell, const std::string& text, uint32_t text_color, uint32_t background) {
  const QString shown = QString::fromStdString(text);
  if (cell->text() != shown) cell->setText(shown);
  QPalette palette = cell->palette();
  const QColor fore = WindowColor(text_color);
  const QColor back = WindowColor(background);
  if (palette.color(QPalette::WindowText) != fore || palette.color(QPalette::Window) != back) {
    palette.setColor(QPalette::WindowText, fore);
    palette.setColor(QPalette::Window, back);
    cell->setPalette(palette);
  }
}

}  // namespace kvarta::gui
