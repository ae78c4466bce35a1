// A parameter-window opener for tests: each window is handed to a script,
// which acts on the model as a user would; unscripted windows are left.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "config/con_vu_model.h"
#include "config/config_model.h"
#include "config/ini_modem_model.h"
#include "config/inter_par_model.h"
#include "config/modem_ans_time_model.h"
#include "config/param_dialogs.h"
#include "config/vrg_par_model.h"

namespace kvarta::test {

class ScriptedParamDialogs : public ParamDialogOpener {
 public:
  void OpenVrgPar(VrgParModel& m) override { Run("vrg-par", on_vrg_par, m); }
  void OpenVrgConf(VrgConfModel& m) override { Run("vrg-conf", on_vrg_conf, m); }
  void OpenConVu(ConVuModel& m) override { Run("con-vu", on_con_vu, m); }
  void OpenDataTiming(DataTimingModel& m) override { Run("data-timing", on_data_timing, m); }
  void OpenModemAnsTime(ModemAnsTimeModel& m) override { Run("timeouts", on_timeouts, m); }
  void OpenIniModem(IniModemModel& m) override { Run("modem", on_modem, m); }
  void OpenInterPar(InterParModel& m) override { Run("gprs", on_gprs, m); }
  void OpenConfig(ConfigModel& m) override { Run("config", on_config, m); }

  std::function<void(VrgParModel&)> on_vrg_par;
  std::function<void(VrgConfModel&)> on_vrg_conf;
  std::function<void(ConVuModel&)> on_con_vu;
  std::function<void(DataTimingModel&)> on_data_timing;
  std::function<void(ModemAnsTimeModel&)> on_timeouts;
  std::function<void(IniModemModel&)> on_modem;
  std::function<void(InterParModel&)> on_gprs;
  std::function<void(ConfigModel&)> on_config;
  std::vector<std::string> opened;

 private:
  template <typename M>
  void Run(const char* name, const std::function<void(M&)>& script, M& m) {
    opened.push_back(name);
    if (script) script(m);
    if (!m.closed()) m.OnCancel();
  }
};

}  // namespace kvarta::test
