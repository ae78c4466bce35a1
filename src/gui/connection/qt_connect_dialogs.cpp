#include "gui/connection/qt_connect_dialogs.h"

#include <QApplication>

#include "connection/abonent_model.h"
#include "connection/abonents_list_model.h"
#include "connection/conn_par_model.h"
#include "connection/device_search_model.h"
#include "connection/imit_modem_model.h"
#include "connection/port_labels.h"
#include "connection/settings_store.h"
#include "gui/connection/form_abonent.h"
#include "gui/connection/form_abonents_list.h"
#include "gui/connection/form_conn_par.h"
#include "gui/connection/form_connect.h"
#include "gui/connection/form_imit_modem.h"
#include "gui/connection/form_search.h"
#include "gui/link/qt_host.h"

namespace kvarta::gui {

QWidget* QtConnectDialogs::Parent() const {
  QWidget* modal = QApplication::activeModalWidget();
  return modal ? modal : parent_;
}

bool QtConnectDialogs::OpenAbonent(AbonentModel& model) {
  TFormAbonent form(model, Parent());
  form.exec();
  return model.accepted();
}

bool QtConnectDialogs::OpenAbonentsList(AbonentsListModel& model) {
  TFormAbonents_List form(model, Parent());
  form.exec();
  return model.accepted();
}

bool QtConnectDialogs::OpenConnPar(ConnParModel& model) {
  LabelComPorts(model.port, ini_);
  TFormConn_Par form(model, Parent());
  form.exec();
  return model.accepted();
}

void QtConnectDialogs::OpenSearch(SearchModel& model) {
  LabelComPorts(model.port, ini_);
  TFormSearch form(model, host_, Parent());
  form.exec();
}

void QtConnectDialogs::OpenImitation(ImitModemModel& model) {
  TFormImit_Modem form(model, host_, Parent());
  form.exec();
}

bool RunConnectDialog(QWidget* parent, QtHost& host, SettingsStore& store, Connector& connector,
                      ConnectModel::MainWindowHooks hooks) {
  QtConnectDialogs opener(host, parent);
  opener.SetIniFolder(store.folders().ini);
  ConnectModel model(host, store, connector, opener, std::move(hooks));
  model.OnShow();
  TFormConnect form(model, parent);
  opener.SetParent(&form);
  form.exec();
  return model.result();
}

}  // namespace kvarta::gui
