// Opens the parameter editors' windows: the desktop program shows real
// windows, the tool and the tests act on the models directly.
#pragma once

namespace kvarta {

class VrgParModel;
class VrgConfModel;
class ConVuModel;
class DataTimingModel;
class ModemAnsTimeModel;
class IniModemModel;
class InterParModel;
class ConfigModel;

class ParamDialogOpener {
 public:
  virtual ~ParamDialogOpener() = default;
  // Each runs its window modally on a model whose OnShow has been called and
  // returns once it is closed; the outcome is in the model.
  virtual void OpenVrgPar(VrgParModel& model) = 0;              // TFormVRG_Par
  virtual void OpenVrgConf(VrgConfModel& model) = 0;            // TFormVRG_Conf
  virtual void OpenConVu(ConVuModel& model) = 0;                // TFormConVU
  virtual void OpenDataTiming(DataTimingModel& model) = 0;      // TFormData_Timing
  virtual void OpenModemAnsTime(ModemAnsTimeModel& model) = 0;  // TFormModem_Ans_Time
  virtual void OpenIniModem(IniModemModel& model) = 0;          // TFormIni_Modem
  virtual void OpenInterPar(InterParModel& model) = 0;          // TFormInter_Par
  virtual void OpenConfig(ConfigModel& model) = 0;              // TFormConfig
};

}  // namespace kvarta
