#include "gui/app/main_dialogs.h"

#include "gui/config/form_short_us_pass.h"
#include "gui/connection/qt_connect_dialogs.h"

namespace kvarta::gui {
namespace {

class WindowDialogs : public TFormMain::Dialogs {
 public:
  bool RunConnection(TFormMain& main) override {
    MainSession& s = main.Session();
    ConnectModel::MainWindowHooks hooks;
    hooks.set_modem_bars_visible = [&main](bool v) { main.SetModemBarsVisible(v); };
    hooks.refresh_status_line = [&s] { s.ShowConnectionStatus(); };
    return RunConnectDialog(&main, main.HostObject(), s.store(), s.connector(), hooks);
  }
  bool RunLogOn(TFormMain& main, LogOnModel& model) override {
    return RunLogOnDialog(&main, model);
  }
};

}  // namespace

std::unique_ptr<TFormMain::Dialogs> MakeMainDialogs() {
  return std::make_unique<WindowDialogs>();
}

}  // namespace kvarta::gui
