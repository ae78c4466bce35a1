#include "gui/connection/key_filter.h"

#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>

namespace kvarta::gui {

KeyFilter::KeyFilter(Allowed allowed, QObject* parent)
    : QObject(parent), allowed_(std::move(allowed)) {}

void KeyFilter::Install(QLineEdit* edit, Allowed allowed) {
  edit->installEventFilter(new KeyFilter(std::move(allowed), edit));
  // Pasting would bring in what typing cannot.
  edit->setContextMenuPolicy(Qt::NoContextMenu);
}

bool KeyFilter::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
  auto* key = static_cast<QKeyEvent*>(event);
  if (key->matches(QKeySequence::Paste)) return true;
  if (key->key() == Qt::Key_Backspace) return !allowed_(8);
  const QString text = key->text();
  // Keys that type nothing (arrows, Home, Delete, Enter, Tab) are not characters.
  if (text.isEmpty() || text.at(0).unicode() < 32 || text.at(0).unicode() == 127) {
    return QObject::eventFilter(watched, event);
  }
  for (QChar c : text) {
    if (!allowed_(static_cast<int>(c.unicode()))) return true;
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace kvarta::gui
