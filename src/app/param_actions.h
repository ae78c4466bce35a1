// The main menu's parameter editors run on the main session: the VRG, link,
// timeout, modem and GPRS parameters of the connected controller, and the
// offline editor of configuration files.
#pragma once

#include <string>

namespace kvarta {

class ConfigDialogOpener;
class MainSession;
class ParamDialogOpener;
class StatusBar;

// The entries handled here: N11, N26, N1, N2, GPRS1, NNewCnf, NEditCnf.
bool IsParamMenuEntry(const std::string& name);

// Runs one of them. status: the main window's StatusBar1.
void RunParamMenuEntry(MainSession& session, const std::string& name, StatusBar* status,
                       ParamDialogOpener& params, ConfigDialogOpener& configs);

}  // namespace kvarta
