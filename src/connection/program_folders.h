// Where the program keeps its settings and working files: the program
// folder with INI, CONFIG and COMMUNIC_SESSION inside it.
#pragma once

#include <string>

namespace kvarta {

inline constexpr const char* kProgramHomeEnv = "KVARTAPC_HOME";

struct ProgramFolders {
  std::string program;  // without a trailing separator
  std::string ini;
  std::string config;
  std::string session;

  std::string SettingsPath() const { return ini + "/kvarta04.ini"; }
  std::string PhoneBookPath() const { return ini + "/abonents.ini"; }
};

// What decides the program folder; empty strings mean "not given".
struct ProgramFolderSources {
  std::string home_option;    // --home DIR
  std::string home_env;       // KVARTAPC_HOME
  std::string exe_folder;     // folder of the running executable
  std::string xdg_data_home;  // XDG_DATA_HOME
  std::string user_home;      // HOME
};

// The sources of this process: its environment and /proc/self/exe.
ProgramFolderSources CurrentFolderSources(const std::string& home_option);

// --home, else KVARTAPC_HOME, else the executable's folder when it holds an
// INI folder (a portable install), else $XDG_DATA_HOME/kvartapc (by default
// ~/.local/share/kvartapc).
std::string ResolveProgramFolder(const ProgramFolderSources& sources);

ProgramFolders FoldersIn(const std::string& program_folder);

// Creates whichever of the four folders are missing; false when one of them
// cannot be made.
bool CreateProgramFolders(const ProgramFolders& folders);

}  // namespace kvarta
