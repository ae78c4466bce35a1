// The parameter editors' windows as real windows: the opener the models and
// the menu actions call. Each window opens modally over the window in front.
#pragma once

#include <functional>

#include "config/param_dialogs.h"

class QDialog;
class QWidget;

namespace kvarta::gui {

class QtParamDialogs : public ParamDialogOpener {
 public:
  explicit QtParamDialogs(QWidget* main_window) : main_window_(main_window) {}

  void OpenVrgPar(VrgParModel& model) override;
  void OpenVrgConf(VrgConfModel& model) override;
  void OpenConVu(ConVuModel& model) override;
  void OpenDataTiming(DataTimingModel& model) override;
  void OpenModemAnsTime(ModemAnsTimeModel& model) override;
  void OpenIniModem(IniModemModel& model) override;
  void OpenInterPar(InterParModel& model) override;
  void OpenConfig(ConfigModel& model) override;

  // Test hook: called with each window once it is shown (instead of a user).
  std::function<void(QDialog&)> on_shown;

 private:
  QWidget* Parent() const;
  void Run(QDialog& dialog);

  QWidget* main_window_;
};

}  // namespace kvarta::gui
