#include "gui/app/form_about.h"

#include <QLabel>
#include <QPushButton>

namespace kvarta::gui {

TFormAbout::TFormAbout(QWidget* parent) : QDialog(parent) {
  setObjectName("TFormAbout");
  setWindowTitle("О программе");
  setFixedSize(528, 546);
  auto add = [this](const QString& text, int top, int point_size, int lines = 1) {
    auto* label = new QLabel(text, this);
    label->setAlignment(Qt::AlignCenter);
    label->setGeometry(0, top, 528, point_size * 3 * lines);
    QFont f = label->font();
    f.setPointSize(point_size);
    label->setFont(f);
    return label;
  };
  add("kvartapc", 60, 20);
  add("Программа обслуживания контроллеров kvarta", 140, 11);
  add("Версия      4.04", 200, 12)->setObjectName("LabelVersion");
  add(QString("Сборка от %1").arg(KVARTA_BUILD_DATE), 240, 10)->setObjectName("LabelBuild");
  // Where to read further, rather than contacts nobody answers.
  add("Описание программы: README.md в каталоге программы,\n"
      "справка по командам: man kvartactl, man kvarta-sim",
      320, 10, 2)
      ->setObjectName("LabelDocs");
  auto* close = new QPushButton("OK", this);
  close->setObjectName("BitBtn1");
  close->setGeometry((528 - 90) / 2, 470, 90, 28);
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace kvarta::gui
