// Small pieces the monitoring windows share: their colour values and the
// framed cells of their tables.
#pragma once

#include <QColor>
#include <QString>
#include <cstdint>
#include <string>

class QLabel;
class QWidget;

namespace kvarta::gui {

// A colour value of the windows (0x00BBGGRR) as the toolkit's colour.
inline QColor WindowColor(uint32_t value) {
  return QColor(static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                static_cast<int>((value >> 16) & 0xFF));
}

// A sunken cell with its text centred, at x, y, w, h.
QLabel* MakeCell(QWidget* parent, const char* name, int x, int y, int w, int h);
// A caption over a column, centred.
QLabel* MakeHeading(QWidget* parent, const QString& text, int x, int y, int w, int h);
// Text and colours of a cell, changed only where they differ.
void SetCell(QLabel* cell, const std::string& text, uint32_t text_color, uint32_t background);

}  // namespace kvarta::gui
