#include "gui/config/qt_param_dialogs.h"

#include <QApplication>
#include <QTimer>

#include "gui/config/form_con_vu.h"
#include "gui/config/form_config.h"
#include "gui/config/form_param_tables.h"
#include "gui/config/form_vrg_par.h"

namespace kvarta::gui {

QWidget* QtParamDialogs::Parent() const {
  QWidget* modal = QApplication::activeModalWidget();
  return modal ? modal : main_window_;
}

void QtParamDialogs::Run(QDialog& dialog) {
  if (on_shown) {
    QDialog* d = &dialog;
    QTimer::singleShot(0, d, [this, d] { on_shown(*d); });
  }
  dialog.exec();
}

void QtParamDialogs::OpenVrgPar(VrgParModel& model) {
  TFormVRG_Par window(model, Parent());
  Run(window);
}

void QtParamDialogs::OpenVrgConf(VrgConfModel& model) {
  TFormVRG_Conf window(model, Parent());
  Run(window);
}

void QtParamDialogs::OpenConVu(ConVuModel& model) {
  TFormConVU window(model, Parent());
  Run(window);
}

void QtParamDialogs::OpenDataTiming(DataTimingModel& model) {
  TFormData_Timing window(model, Parent());
  Run(window);
}

void QtParamDialogs::OpenModemAnsTime(ModemAnsTimeModel& model) {
  TFormModem_Ans_Time window(model, Parent());
  Run(window);
}

void QtParamDialogs::OpenIniModem(IniModemModel& model) {
  TFormIni_Modem window(model, Parent());
  Run(window);
}

void QtParamDialogs::OpenInterPar(InterParModel& model) {
  TFormInter_Par window(model, Parent());
  Run(window);
}

void QtParamDialogs::OpenConfig(ConfigModel& model) {
  TFormConfig window(model, Parent());
  Run(window);
}

}  // namespace kvarta::gui
