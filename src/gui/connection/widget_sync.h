// Writing a dialog model's control state into Qt widgets without raising the
// widgets' user-action signals, and touching only what differs so that a
// refresh while typing keeps the caret.
#pragma once

#include <QString>
#include <string>

#include "connection/dialog_controls.h"

class QComboBox;
class QLineEdit;
class QLabel;
class QWidget;

namespace kvarta::gui {

// Items, chosen index (-1 shows nothing) and enabled state.
void SyncCombo(QComboBox* combo, const ChoiceList& list);
// Lets the drop-down list be wider than the box, so that a port's device
// ("COM5 — FT232R USB UART (A50285BI)") shows whole.
void FitPopupToItems(QComboBox* combo);
// An editable list: items from list, the edit showing text.
void SyncEditableCombo(QComboBox* combo, const ChoiceList& list, const std::string& text,
                       bool enabled);
void SyncEdit(QLineEdit* edit, const EditBox& box);
void SyncText(QLineEdit* edit, const std::string& text);
void SyncLabel(QLabel* label, const std::string& text);

// The typed text of an edit as the model's UTF-8.
std::string Utf8(const QString& text);

}  // namespace kvarta::gui
