#include "gui/monitor/form_outo_control.h"

#include <QFrame>
#include <QPlainTextEdit>
#include <QPushButton>

#include "gui/app/qt_timer.h"
#include "gui/link/qt_host.h"
#include "monitor/diagnostics.h"

namespace kvarta::gui {
namespace {

constexpr int kPanelTop = 8;
constexpr int kButtonWidth = 180;

}  // namespace

TFormOutoControl::TFormOutoControl(OutoControlModel& model, QtHost& host, QWidget* parent)
    : QDialog(parent),
      model_(model),
      host_(host),
      timer_(std::make_unique<QtTimer>(this, OutoControlModel::kTimerMs, "Timer1")) {
  setObjectName("TFormOutoControl");
  setWindowTitle(QString::fromUtf8(OutoControlModel::kCaption));
  setModal(true);

  panel_ = new QFrame(this);
  panel_->setObjectName("Panel1");
  panel_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  memo_ = new QPlainTextEdit(panel_);
  memo_->setObjectName("Memo1");
  memo_->setReadOnly(true);
  memo_->setLineWrapMode(QPlainTextEdit::NoWrap);
  memo_->setFrameStyle(QFrame::NoFrame);
  QFont font = memo_->font();
  font.setPixelSize(12);  // lines within the 15 pixels a line the window is sized by
  memo_->setFont(font);
  memo_->document()->setDocumentMargin(2);
  refresh_ = new QPushButton(this);
  refresh_->setObjectName("BitBtn2");
  exit_ = new QPushButton("Выход", this);
  exit_->setObjectName("BitBtn1");

  connect(timer_->Get(), &QTimer::timeout, this, [this] { OnTimer(); });
  connect(refresh_, &QPushButton::clicked, this, [this] {
    model_.OnRefreshSwitch();
    Refresh();
  });
  connect(exit_, &QPushButton::clicked, this, [this] {
    model_.OnExit();
    QDialog::reject();
  });
  model_.on_change = [this] { Refresh(); };
  model_.SetTimer(timer_.get());
  model_.OnShow();
  Refresh();
}

TFormOutoControl::~TFormOutoControl() {
  model_.on_change = nullptr;
  model_.OnClose();
  model_.SetTimer(nullptr);
}

void TFormOutoControl::Refresh() {
  const OutoControlModel& m = model_;
  if (m.closed()) {
    if (isVisible()) QDialog::reject();
    return;
  }
  refresh_->setText(QString::fromStdString(m.refresh_caption));
  if (m.decode_count() != shown_decodes_) {
    // Unchanged data is not redrawn: the reader keeps the scroll position.
    shown_decodes_ = m.decode_count();
    QStringList lines;
    for (const std::string& line : m.lines) lines << QString::fromStdString(line);
    memo_->setPlainText(lines.join('\n'));
  }
  const int width = OutoControlModel::kWidth;
  const int memo_height = m.size.memo_height + (m.size.scroll_bar ? 0 : 4);
  memo_->setVerticalScrollBarPolicy(m.size.scroll_bar ? Qt::ScrollBarAlwaysOn
                                                      : Qt::ScrollBarAlwaysOff);
  memo_->setGeometry(4, 4, width - 16 - 8, memo_height);
  panel_->setGeometry(8, kPanelTop, width - 16, memo_height + 8);
  const int height = m.size.WindowHeight(kPanelTop) + (memo_height - m.size.memo_height);
  const int buttons_top = kPanelTop + memo_height + 8 + 30;
  refresh_->setGeometry(width / 2 - kButtonWidth - 20, buttons_top, kButtonWidth, 30);
  exit_->setGeometry(width / 2 + 20, buttons_top, kButtonWidth, 30);
  setFixedSize(width, height);
}

void TFormOutoControl::OnTimer() {
  // Another operation holds the line (the keep-alive of a call): this tick
  // is skipped, the timer fires again.
  if (host_.Busy()) return;
  const QtHost::Operation operation(host_);
  model_.OnTimer();
}

void TFormOutoControl::reject() {
  model_.OnClose();
  QDialog::reject();
}

}  // namespace kvarta::gui
