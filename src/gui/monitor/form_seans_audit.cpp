#include "gui/monitor/form_seans_audit.h"

#include <QFontDatabase>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>

#include "monitor/session_record.h"

namespace kvarta::gui {
namespace {

QFont FixedPitchFont() {
  QFont font(QString::fromUtf8(SeansAuditModel::kFont));
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  font.setPointSize(10);
  // Where that family is missing the system's fixed-pitch font stands in.
  if (!QFontInfo(font).fixedPitch()) {
    const int size = font.pointSize();
    font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSize(size);
  }
  return font;
}

}  // namespace

void SeansMemo::SetBarColumn(int column) {
  if (bar_column_ == column) return;
  bar_column_ = column;
  viewport()->update();
}

void SeansMemo::paintEvent(QPaintEvent* event) {
  QPlainTextEdit::paintEvent(event);
  if (bar_column_ <= 0) return;
  const QFontMetricsF metrics(font());
  const double advance = metrics.horizontalAdvance(QString(bar_column_, QChar('0'))) -
                         metrics.horizontalAdvance(QChar('0')) / 2;
  const double margin = document()->documentMargin();
  const double x = margin + advance - horizontalScrollBar()->value() + contentOffset().x();
  QPainter painter(viewport());
  painter.setPen(QPen(Qt::black, 1));
  painter.drawLine(QPointF(x, 0), QPointF(x, viewport()->height()));
}

TFormSeans_Audit::TFormSeans_Audit(SeansAuditModel& model, QWidget* parent)
    : QDialog(parent), model_(model) {
  setObjectName("TFormSeans_Audit");
  setModal(true);
  setFixedSize(SeansAuditModel::kWidth, SeansAuditModel::kHeight);

  memo_ = new SeansMemo(this);
  memo_->setObjectName("Memo1");
  memo_->setReadOnly(true);
  memo_->setLineWrapMode(QPlainTextEdit::NoWrap);
  memo_->setFont(FixedPitchFont());
  memo_->setGeometry(8, 8, SeansAuditModel::kWidth - 16, SeansAuditModel::kHeight - 90);
  free_ = new QLabel(this);
  free_->setObjectName("Label1");
  free_->setGeometry(12, SeansAuditModel::kHeight - 78, 400, 22);

  const int top = SeansAuditModel::kHeight - 46;
  switch_ = new QPushButton(this);
  switch_->setObjectName("BitBtn3");
  switch_->setGeometry(12, top, 220, 30);
  save_ = new QPushButton("Сохранить в файле", this);
  save_->setObjectName("BitBtn2");
  save_->setGeometry(SeansAuditModel::kWidth / 2 - 100, top, 200, 30);
  exit_ = new QPushButton("Выход", this);
  exit_->setObjectName("BitBtn1");
  exit_->setGeometry(SeansAuditModel::kWidth - 12 - 140, top, 140, 30);

  connect(switch_, &QPushButton::clicked, this, [this] {
    model_.OnSwitchView();
    Refresh();
  });
  connect(save_, &QPushButton::clicked, this, [this] { model_.OnSave(); });
  connect(exit_, &QPushButton::clicked, this, [this] {
    model_.OnExit();
    accept();
  });
  // The model arrives shown.
  Refresh();
}

void TFormSeans_Audit::Refresh() {
  const SeansAuditModel& m = model_;
  setWindowTitle(QString::fromStdString(m.caption));
  QStringList lines;
  for (const std::string& line : m.lines) lines << QString::fromStdString(line);
  memo_->setPlainText(lines.join('\n'));
  memo_->SetBarColumn(m.hex_mode() ? kHexCharacterColumn : 0);
  free_->setText(QString::fromStdString(m.free_label));
  switch_->setText(QString::fromStdString(m.switch_caption));
  save_->setVisible(m.save_visible);
}

}  // namespace kvarta::gui
