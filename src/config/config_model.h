// The offline editor of a configuration file record (TFormConfig) and the
// menu entries that create or open a record for it: "Создание нового файла
// конфигурации" (NNewCnf, tag 0) and "Просмотр/Корректировка файла
// конфигурации" (NEditCnf, tag 1).
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "config/config_file.h"
#include "config/editor_controls.h"

namespace kvarta {

class ConfigDialogOpener;
class Host;
class ParamDialogOpener;

class ConfigModel {
 public:
  static constexpr const char* kTitle = " Параметры конфигурации контроллера";
  static constexpr int kWidth = 776;
  static constexpr int kHeight = 330;
  static constexpr uint32_t kPanelColor = 0xD3D3D3;
  static constexpr uint32_t kBusyPanelColor = 0xB5B5B5;  // while a sub-editor is open

  // record: edited in place; the sub-editors work on its own bytes.
  ConfigModel(Host& host, ConfigDialogOpener& config_dialogs, ParamDialogOpener& param_dialogs,
              ConfigFileRecord& record);

  void OnShow();
  // The modem type drop-down of a configuration made in the program.
  void OnModemChoose(int index);

  // The sub-editors, each modal on the record's bytes in file mode.
  void OnIdent();     // "Параметры идентификации"
  void OnLink();      // "Параметры связи с верхним уровнем"
  void OnUsers();     // "Зарегистрированные пользователи"
  void OnVrg();       // "Параметры вычислителей расхода газа"
  void OnTimeouts();  // "Таймауты"
  void OnModem();     // "Параметры работы с модемом"
  void OnGprs();  // "Параметры работы в Интернете с использованием GPRS"

  // "Принять" (and the hidden "Записать в устройство", the same action).
  void OnAccept();
  void OnCancel();  // "Отменить"

  // Required modem type row: a drop-down for a configuration made in the
  // program, a read-only text for one read from a controller.
  bool modem_choice_visible = true;
  ComboControl modem_choice;  // " SC3000", " mc55iT"
  std::string modem_text;
  bool timeouts_enabled = true;
  bool write_enabled = true;
  bool write_visible = false;
  uint32_t panel_color = kPanelColor;
  bool buttons_enabled = true;  // "Отменить", "Принять", "Записать в устройство"
  // Called whenever the panel colour or the buttons change (the window
  // repaints while a sub-editor is open over it).
  std::function<void()> on_state_change;

  bool from_controller() const { return record_.bytes[ConfigFileRecord::kOriginOffset] != 0; }
  bool accepted() const { return accepted_; }
  bool changed() const { return changed_; }
  bool closed() const { return closed_; }

 private:
  uint8_t ModemCode() const { return record_.bytes[ConfigFileRecord::kModemOffset]; }
  uint8_t ServerCount() const { return record_.bytes[ConfigFileRecord::kServerCountOffset]; }
  // Greys the panel and disables the buttons around f.
  template <typename F>
  void WhileOpen(F&& f);
  void SetBusy(bool busy);

  Host& host_;
  ConfigDialogOpener& config_dialogs_;
  ParamDialogOpener& param_dialogs_;
  ConfigFileRecord& record_;
  std::array<uint8_t, kConfigFileSize> snapshot_{};
  bool accepted_ = false;
  bool changed_ = false;
  bool closed_ = false;
};

enum class ConfigFileEditOutcome {
  kCancelled,  // no file was chosen
  kNotSaved,   // the editor was left, or nothing to save, or saving was declined
  kSaved,
};

// NNewCnf (tag 0: a new record with the defaults) and NEditCnf (tag 1: a
// record loaded from a file): the offline editor, then the save when it was
// accepted with a change, or accepted at all for a new record.
ConfigFileEditOutcome EditConfigurationFile(const ConfigFileContext& files,
                                            ConfigDialogOpener& config_dialogs,
                                            ParamDialogOpener& param_dialogs, int tag);

}  // namespace kvarta
