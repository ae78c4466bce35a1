// The connection dialogs as real windows: the opener the dialog models call
// for their sub-dialogs, and the connection dialog that the start-up runs.
#pragma once

#include <string>

#include "connection/connect_dialogs.h"
#include "connection/connect_model.h"

class QWidget;

namespace kvarta {
class Connector;
class SettingsStore;
}  // namespace kvarta

namespace kvarta::gui {

class QtHost;

class QtConnectDialogs : public ConnectDialogOpener {
 public:
  QtConnectDialogs(QtHost& host, QWidget* parent) : host_(host), parent_(parent) {}

  // The window the dialogs open over.
  void SetParent(QWidget* parent) { parent_ = parent; }
  // The settings folder whose port map numbers the COM lists.
  void SetIniFolder(std::string ini) { ini_ = std::move(ini); }

  bool OpenAbonent(AbonentModel& model) override;
  bool OpenAbonentsList(AbonentsListModel& model) override;
  bool OpenConnPar(ConnParModel& model) override;
  void OpenSearch(SearchModel& model) override;
  void OpenImitation(ImitModemModel& model) override;

 private:
  // The modal window in front (a sub-dialog of a sub-dialog sits over its
  // opener), else the given parent.
  QWidget* Parent() const;

  QtHost& host_;
  QWidget* parent_;
  std::string ini_;
};

// Shows the connection dialog modally; true when "Связаться" succeeded.
bool RunConnectDialog(QWidget* parent, QtHost& host, SettingsStore& store, Connector& connector,
                      ConnectModel::MainWindowHooks hooks);

}  // namespace kvarta::gui
