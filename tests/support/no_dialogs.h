// A dialog opener for tests that never open a sub-dialog: every dialog is
// left at once without accepting.
#pragma once

#include "connection/abonent_model.h"
#include "connection/abonents_list_model.h"
#include "connection/conn_par_model.h"
#include "connection/connect_dialogs.h"
#include "connection/device_search_model.h"
#include "connection/imit_modem_model.h"

namespace kvarta::test {

class NoDialogs : public ConnectDialogOpener {
 public:
  bool OpenAbonent(AbonentModel&) override { return false; }
  bool OpenAbonentsList(AbonentsListModel&) override { return false; }
  bool OpenConnPar(ConnParModel&) override { return false; }
  void OpenSearch(SearchModel&) override {}
  void OpenImitation(ImitModemModel&) override {}
};

}  // namespace kvarta::test
