// The main window's client area: the overview of the connected controller,
// or "Нет связи с контроллером" with a button to connect. It only shows the
// core's OverviewModel and reports its two buttons.
#pragma once

#include <QWidget>
#include <functional>

#include "app/overview_model.h"

class QLabel;
class QPushButton;
class QGridLayout;

namespace kvarta::gui {

class OverviewPanel : public QWidget {
 public:
  explicit OverviewPanel(QWidget* parent = nullptr);

  void Show(const OverviewModel& model);

  std::function<void()> on_connect;      // "Связаться с контроллером"
  std::function<void()> on_table_state;  // the table-state window

  QLabel* Headline() const { return headline_; }
  QPushButton* ConnectButton() const { return connect_; }
  QPushButton* TableStateButton() const { return table_state_; }
  // The value shown for label, "" when there is none.
  QString Value(const QString& label) const;

 private:
  QLabel* headline_ = nullptr;
  QLabel* subline_ = nullptr;
  QWidget* details_ = nullptr;
  QGridLayout* grid_ = nullptr;
  QPushButton* connect_ = nullptr;
  QPushButton* table_state_ = nullptr;
};

}  // namespace kvarta::gui
