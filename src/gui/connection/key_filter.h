// The key-press filter of the numeric and code edits: a typed character
// passes only when the predicate allows its code; navigation keys pass.
#pragma once

#include <QObject>
#include <functional>

class QLineEdit;

namespace kvarta::gui {

class KeyFilter : public QObject {
  Q_OBJECT
 public:
  using Allowed = std::function<bool(int code)>;

  KeyFilter(Allowed allowed, QObject* parent);

  // Puts a new filter on edit (owned by the edit).
  static void Install(QLineEdit* edit, Allowed allowed);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  Allowed allowed_;
};

}  // namespace kvarta::gui
