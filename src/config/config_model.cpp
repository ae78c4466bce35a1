#include "config/config_model.h"

#include <cstring>

#include "config/access_model.h"
#include "config/con_vu_model.h"
#include "config/config_dialogs.h"
#include "config/ident_model.h"
#include "config/ini_modem_model.h"
#include "config/inter_par_model.h"
#include "config/modem_ans_time_model.h"
#include "config/param_dialogs.h"
#include "config/param_menus.h"
#include "config/vrg_par_model.h"
#include "link/table_layout.h"
#include "platform/text_format.h"

namespace kvarta {

ConfigModel::ConfigModel(Host& host, ConfigDialogOpener& config_dialogs,
                         ParamDialogOpener& param_dialogs, ConfigFileRecord& record)
    : host_(host),
      config_dialogs_(config_dialogs),
      param_dialogs_(param_dialogs),
      record_(record) {}

void ConfigModel::OnShow() {
  snapshot_ = record_.bytes;
  const uint8_t code = ModemCode();
  modem_choice.items = {" SC3000", " mc55iT"};
  modem_choice_visible = !from_controller();
  timeouts_enabled = true;
  write_enabled = true;
  if (modem_choice_visible) {
    modem_choice.Select(code);
    modem_text.clear();
    return;
  }
  // The program serves only controllers that require the mc55iT modem.
  if (code == layout::t0::kModemMc55it) {
    modem_text = " mc55iT";
  } else {
    modem_text = Format("? (код = %u)", code);
    timeouts_enabled = false;
    write_enabled = false;
  }
}

void ConfigModel::OnModemChoose(int index) {
  modem_choice.Select(index);
  if (modem_choice.HasSelection()) {
    record_.bytes[ConfigFileRecord::kModemOffset] = static_cast<uint8_t>(modem_choice.index);
  }
}

void ConfigModel::SetBusy(bool busy) {
  panel_color = busy ? kBusyPanelColor : kPanelColor;
  buttons_enabled = !busy;
  if (on_state_change) on_state_change();
}

template <typename F>
void ConfigModel::WhileOpen(F&& f) {
  SetBusy(true);
  f();
  SetBusy(false);
}

void ConfigModel::OnIdent() {
  WhileOpen([this] {
    IdentModel window(record_.Identification(), from_controller());
    window.OnShow();
    config_dialogs_.OpenIdent(window);
  });
}

void ConfigModel::OnLink() {
  WhileOpen([this] {
    ConVuModel window(host_, param_dialogs_, record_.Table(3), kAllSpeeds, EditorMode::kFile);
    window.OnShow();
    param_dialogs_.OpenConVu(window);
  });
}

void ConfigModel::OnUsers() {
  WhileOpen([this] {
    AccessModel window(host_, config_dialogs_, record_.Table(4), AccessMode::kFile);
    window.OnShow();
    config_dialogs_.OpenAccess(window);
  });
}

void ConfigModel::OnVrg() {
  WhileOpen([this] {
    EditVrgList(host_, param_dialogs_, record_.Table(9), kAllSpeeds, ServerCount(),
                EditorMode::kFile);
  });
}

void ConfigModel::OnTimeouts() {
  if (!timeouts_enabled) return;
  WhileOpen([this] {
    ModemAnsTimeModel window(host_, record_.Table(20), ModemCode(), EditorMode::kFile);
    window.OnShow();
    param_dialogs_.OpenModemAnsTime(window);
  });
}

void ConfigModel::OnModem() {
  WhileOpen([this] {
    IniModemModel window(host_, record_.Table(21), EditorMode::kFile);
    window.OnShow();
    param_dialogs_.OpenIniModem(window);
  });
}

void ConfigModel::OnGprs() {
  WhileOpen([this] {
    InterParModel window(host_, record_.Table(22), ServerCount(), EditorMode::kFile);
    window.OnShow();
    param_dialogs_.OpenInterPar(window);
  });
}

void ConfigModel::OnAccept() {
  if (!buttons_enabled) return;
  changed_ = record_.bytes != snapshot_;
  accepted_ = true;
  closed_ = true;
}

void ConfigModel::OnCancel() {
  if (!buttons_enabled) return;
  closed_ = true;
}

ConfigFileEditOutcome EditConfigurationFile(const ConfigFileContext& files,
                                            ConfigDialogOpener& config_dialogs,
                                            ParamDialogOpener& param_dialogs, int tag) {
  const bool is_new = tag == 0;
  ConfigFileRecord record;
  if (is_new) {
    NewConfigFileRecord(record);
  } else if (!LoadConfigFile(files, record)) {
    return ConfigFileEditOutcome::kCancelled;
  }
  ConfigModel editor(files.host, config_dialogs, param_dialogs, record);
  editor.OnShow();
  param_dialogs.OpenConfig(editor);
  if (!editor.accepted() || !(editor.changed() || is_new)) return ConfigFileEditOutcome::kNotSaved;
  return SaveConfigFile(files, record, true) ? ConfigFileEditOutcome::kSaved
                                             : ConfigFileEditOutcome::kNotSaved;
}

}  // namespace kvarta
