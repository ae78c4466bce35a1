// Opens the dialogs that the connection dialog starts: the parameter dialog,
// the device search and the modem imitation (besides the phone book ones).
#pragma once

#include "connection/dialog_opener.h"

namespace kvarta {

class ConnParModel;
class SearchModel;
class ImitModemModel;

class ConnectDialogOpener : public DialogOpener {
 public:
  // Each runs its dialog modally on a model whose OnShow has been called.
  virtual bool OpenConnPar(ConnParModel& model) = 0;
  virtual void OpenSearch(SearchModel& model) = 0;
  virtual void OpenImitation(ImitModemModel& model) = 0;
};

}  // namespace kvarta
