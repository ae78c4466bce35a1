#include "app/param_actions.h"

#include "app/main_session.h"
#include "config/config_dialogs.h"
#include "config/config_model.h"
#include "config/param_menus.h"

namespace kvarta {
namespace {

constexpr int kNewConfigTag = 0;
constexpr int kEditConfigTag = 1;

}  // namespace

bool IsParamMenuEntry(const std::string& name) {
  static const char* const kEntries[] = {"N11", "N26", "N1", "N2", "GPRS1", "NNewCnf", "NEditCnf"};
  for (const char* entry : kEntries) {
    if (name == entry) return true;
  }
  return false;
}

void RunParamMenuEntry(MainSession& session, const std::string& name, StatusBar* status,
                       ParamDialogOpener& params, ConfigDialogOpener& configs) {
  ControllerLink& link = session.link();
  if (name == "NNewCnf" || name == "NEditCnf") {
    const ConfigFileContext files{link.host, configs, link.clock, session.store().folders().config};
    EditConfigurationFile(files, configs, params,
                          name == "NNewCnf" ? kNewConfigTag : kEditConfigTag);
    return;
  }
  ParamContext ctx{link.host,
                   link,
                   session.image(),
                   status,
                   params,
                   session.effects(),
                   session.facts().server_count};
  if (name == "N11") {
    EditVrgParameters(ctx);
  } else if (name == "N26") {
    EditLinkParameters(ctx);
  } else if (name == "N1") {
    EditTimeouts(ctx);
  } else if (name == "N2") {
    EditModemParameters(ctx);
  } else if (name == "GPRS1") {
    EditGprsParameters(ctx);
  }
}

}  // namespace kvarta
