#include "gui/config/param_form_parts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

#include "connection/number_input.h"
#include "gui/connection/key_filter.h"

namespace kvarta::gui {
namespace {

void SyncItems(QComboBox* combo, const ComboControl& list) {
  bool same = combo->count() == static_cast<int>(list.items.size());
  for (int i = 0; same && i < combo->count(); ++i) {
    same = combo->itemText(i) == Q(list.items[static_cast<size_t>(i)]);
  }
  if (same) return;
  combo->clear();
  for (const std::string& item : list.items) combo->addItem(Q(item));
}

}  // namespace

QString Q(const std::string& utf8) {
  return QString::fromStdString(utf8);
}

QString ColourName(uint32_t rgb) {
  return QString("#%1").arg(rgb, 6, 16, QChar('0'));
}

QLabel* PlaceLabel(QWidget* parent, const std::string& text, int x, int y, int w, int h) {
  auto* label = new QLabel(Q(text), parent);
  label->setGeometry(x, y, w, h);
  return label;
}

QComboBox* PlaceCombo(QWidget* parent, const char* name, int x, int y, int w, bool editable) {
  auto* combo = new QComboBox(parent);
  combo->setObjectName(name);
  combo->setGeometry(x, y, w, kControlHeight);
  combo->setMaxVisibleItems(12);
  if (editable) {
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
  }
  return combo;
}

QLineEdit* PlaceEdit(QWidget* parent, const char* name, int x, int y, int w) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(name);
  edit->setGeometry(x, y, w, kControlHeight);
  return edit;
}

QLineEdit* PlaceNumberEdit(QWidget* parent, const char* name, int x, int y, int w) {
  QLineEdit* edit = PlaceEdit(parent, name, x, y, w);
  KeyFilter::Install(edit, NumberKeyAllowed);
  return edit;
}

QPushButton* PlaceButton(QWidget* parent, const char* name, const std::string& text, int x, int y,
                         int w, int h) {
  auto* button = new QPushButton(Q(text), parent);
  button->setObjectName(name);
  button->setGeometry(x, y, w, h);
  button->setAutoDefault(false);
  return button;
}

QCheckBox* PlaceCheck(QWidget* parent, const char* name, const std::string& text, int x, int y,
                      int w, int h) {
  auto* check = new QCheckBox(Q(text), parent);
  check->setObjectName(name);
  check->setGeometry(x, y, w, h);
  return check;
}

void Sync(QComboBox* combo, const ComboControl& list) {
  const QSignalBlocker block(combo);
  SyncItems(combo, list);
  const int index = list.HasSelection() ? list.index : -1;
  if (combo->currentIndex() != index) combo->setCurrentIndex(index);
  combo->setEnabled(list.enabled);
}

void SyncEditable(QComboBox* combo, const ComboControl& list, const std::string& text) {
  const QSignalBlocker block(combo);
  SyncItems(combo, list);
  const QString shown = Q(text);
  if (combo->currentText() != shown) {
    combo->setCurrentIndex(combo->findText(shown, Qt::MatchExactly));
    combo->setEditText(shown);
  }
  combo->setEnabled(list.enabled);
}

void Sync(QLineEdit* edit, const EditControl& box) {
  const QSignalBlocker block(edit);
  const QString shown = Q(box.text);
  if (edit->text() != shown) edit->setText(shown);
  if (box.max_chars > 0) edit->setMaxLength(static_cast<int>(box.max_chars));
  edit->setEnabled(box.enabled);
}

void SyncChecked(QCheckBox* check, bool checked, bool enabled) {
  const QSignalBlocker block(check);
  if (check->isChecked() != checked) check->setChecked(checked);
  check->setEnabled(enabled);
}

}  // namespace kvarta::gui
