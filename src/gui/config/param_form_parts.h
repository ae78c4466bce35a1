// What the parameter editors' windows share: placing labelled controls at
// fixed positions, and writing the models' control state into the widgets
// without raising the widgets' user-action signals.
#pragma once

#include <QString>
#include <string>

#include "config/editor_controls.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace kvarta::gui {

inline constexpr int kControlHeight = 23;

// A label of one or more lines ("\n" between them).
QLabel* PlaceLabel(QWidget* parent, const std::string& text, int x, int y, int w, int h = 21);
QComboBox* PlaceCombo(QWidget* parent, const char* name, int x, int y, int w,
                      bool editable = false);
QLineEdit* PlaceEdit(QWidget* parent, const char* name, int x, int y, int w);
// An edit that takes digits only (and backspace, '%', '\'').
QLineEdit* PlaceNumberEdit(QWidget* parent, const char* name, int x, int y, int w);
QPushButton* PlaceButton(QWidget* parent, const char* name, const std::string& text, int x, int y,
                         int w, int h = 27);
QCheckBox* PlaceCheck(QWidget* parent, const char* name, const std::string& text, int x, int y,
                      int w, int h);

QString Q(const std::string& utf8);
// "#rrggbb" of a 0xRRGGBB colour.
QString ColourName(uint32_t rgb);

// Items, chosen index (-1 shows nothing) and enabled state.
void Sync(QComboBox* combo, const ComboControl& list);
// An editable drop-down: items from list, the edit showing text.
void SyncEditable(QComboBox* combo, const ComboControl& list, const std::string& text);
void Sync(QLineEdit* edit, const EditControl& box);
void SyncChecked(QCheckBox* check, bool checked, bool enabled);

}  // namespace kvarta::gui
