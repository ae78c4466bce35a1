#include "gui/link/qt_host.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QStatusBar>

#include "gui/link/form_ques.h"

namespace kvarta::gui {

QtHost::QtHost() {
  qApp->installEventFilter(this);
}

QtHost::~QtHost() {
  if (qApp) qApp->removeEventFilter(this);
  while (cursor_overrides_-- > 0) QApplication::restoreOverrideCursor();
}

void QtHost::PumpMessages() {
  ++pump_depth_;
  QCoreApplication::processEvents(QEventLoop::AllEvents);
  --pump_depth_;
}

bool QtHost::TakeEscape() {
  const bool e = escape_;
  escape_ = false;
  return e;
}

bool QtHost::ShowMessage(const MessageWindowModel& window) {
  ++messages_shown_;
  if (message_override) return message_override(window);
  ++modal_depth_;
  QWidget* parent = QApplication::activeWindow();
  TFormQues form(window, parent);
  QApplication::setOverrideCursor(Qt::ArrowCursor);
  form.exec();
  QApplication::restoreOverrideCursor();
  --modal_depth_;
  return form.QuestionAnswer();
}

void QtHost::SetCursor(CursorShape shape) {
  while (cursor_overrides_ > 0) {
    QApplication::restoreOverrideCursor();
    --cursor_overrides_;
  }
  if (shape == CursorShape::kNormal) return;
  QApplication::setOverrideCursor(shape == CursorShape::kBusy ? Qt::WaitCursor : Qt::BusyCursor);
  ++cursor_overrides_;
}

bool QtHost::eventFilter(QObject* watched, QEvent* event) {
  // While the core waits on the line, Esc anywhere aborts the exchange; a
  // message window shown meanwhile keeps its own Esc. Other keys pass on.
  if (event->type() == QEvent::KeyPress && pump_depth_ > 0 && modal_depth_ == 0) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Escape) {
      escape_ = true;
      return true;
    }
  }
  return QObject::eventFilter(watched, event);
}

QtHost::Operation::Operation(QtHost& host) : host_(host) {
  ++host_.busy_depth_;
}

QtHost::Operation::~Operation() {
  --host_.busy_depth_;
}

QtHost::Idle::Idle(QtHost& host) : host_(host), paused_(host.busy_depth_) {
  host_.busy_depth_ -= paused_;
}

QtHost::Idle::~Idle() {
  host_.busy_depth_ += paused_;
}

QtStatusBar::QtStatusBar(QStatusBar* bar, const std::vector<int>& panel_widths) : bar_(bar) {
  for (size_t i = 0; i < panel_widths.size(); ++i) {
    auto* label = new QLabel(bar);
    label->setObjectName(QString("%1Panel%2").arg(bar->objectName()).arg(i));
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    if (panel_widths[i] > 0) label->setFixedWidth(panel_widths[i]);
    bar->addWidget(label, panel_widths[i] > 0 ? 0 : 1);
    panels_.push_back(label);
  }
}

void QtStatusBar::SetPanelText(int panel, const std::string& utf8) {
  if (panel >= 0 && panel < static_cast<int>(panels_.size())) {
    panels_[static_cast<size_t>(panel)]->setText(QString::fromStdString(utf8));
  }
}

void QtStatusBar::Repaint() {
  bar_->repaint();
}

std::string QtStatusBar::PanelText(int panel) const {
  if (panel < 0 || panel >= static_cast<int>(panels_.size())) return {};
  return panels_[static_cast<size_t>(panel)]->text().toStdString();
}

}  // namespace kvarta::gui
