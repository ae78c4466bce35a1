#include "gui/connection/widget_sync.h"

#include <algorithm>

#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>

namespace kvarta::gui {
namespace {

void SyncItems(QComboBox* combo, const ChoiceList& list) {
  bool same = combo->count() == static_cast<int>(list.items.size());
  for (int i = 0; same && i < combo->count(); ++i) {
    same = combo->itemText(i) == QString::fromStdString(list.items[static_cast<size_t>(i)]);
  }
  if (same) return;
  combo->clear();
  for (const std::string& item : list.items) combo->addItem(QString::fromStdString(item));
}

}  // namespace

std::string Utf8(const QString& text) {
  return text.toStdString();
}

void FitPopupToItems(QComboBox* combo) {
  int widest = combo->width();
  for (int i = 0; i < combo->count(); ++i) {
    widest = std::max(widest, combo->fontMetrics().horizontalAdvance(combo->itemText(i)) + 32);
  }
  combo->view()->setMinimumWidth(widest);
}

void SyncCombo(QComboBox* combo, const ChoiceList& list) {
  const QSignalBlocker block(combo);
  SyncItems(combo, list);
  const int index = list.HasSelection() ? list.index : -1;
  if (combo->currentIndex() != index) combo->setCurrentIndex(index);
  combo->setEnabled(list.enabled);
}

void SyncEditableCombo(QComboBox* combo, const ChoiceList& list, const std::string& text,
                       bool enabled) {
  const QSignalBlocker block(combo);
  SyncItems(combo, list);
  const QString shown = QString::fromStdString(text);
  if (combo->currentText() != shown) {
    combo->setCurrentIndex(combo->findText(shown, Qt::MatchExactly));
    combo->setEditText(shown);
  }
  combo->setEnabled(enabled);
}

void SyncEdit(QLineEdit* edit, const EditBox& box) {
  SyncText(edit, box.text);
  if (box.max_chars > 0) edit->setMaxLength(static_cast<int>(box.max_chars));
  edit->setEnabled(box.enabled);
}

void SyncText(QLineEdit* edit, const std::string& text) {
  const QSignalBlocker block(edit);
  const QString shown = QString::fromStdString(text);
  if (edit->text() != shown) edit->setText(shown);
}

void SyncLabel(QLabel* label, const std::string& text) {
  const QString shown = QString::fromStdString(text);
  if (label->text() != shown) label->setText(shown);
}

}  // namespace kvarta::gui
