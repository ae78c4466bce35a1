// Opens the windows that the configuration flows start: the desktop program
// shows real windows, the tests act on the models directly.
#pragma once

#include "config/config_file.h"

namespace kvarta {

class AccessModel;
class AvtKeyModel;
class ChangeAccessModel;
class IdentModel;
class TableInfoModel;
class UsPassModel;
struct WaitModel;

class ConfigDialogOpener : public ConfigFileDialogs {
 public:
  // Each runs its window modally on a model whose OnShow has been called and
  // returns once it is closed; the outcome is in the model.
  virtual void OpenTableInfo(TableInfoModel& model) = 0;        // TFormTableInfo
  virtual void OpenAccess(AccessModel& model) = 0;              // TFormAccess
  virtual void OpenUsPass(UsPassModel& model) = 0;              // TFormUsPass
  virtual void OpenChangeAccess(ChangeAccessModel& model) = 0;  // TFormChangeAccess
  virtual void OpenAvtKey(AvtKeyModel& model) = 0;              // TFormAvt_Key
  virtual void OpenIdent(IdentModel& model) = 0;                // TFormIdent

  // The progress window (TFormWait), not modal: shown over the disabled main
  // window, repainted after every step, closed when the operation ends (the
  // main window is then enabled and brought to the front).
  virtual void ShowWait(const WaitModel& model) = 0;
  virtual void RepaintWait(const WaitModel& model) = 0;
  virtual void CloseWait() = 0;
};

}  // namespace kvarta
