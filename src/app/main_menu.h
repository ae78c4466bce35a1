// The main window's menu tree and the rule that decides what is visible in
// which connection state (RefreshMainMenu), as data the window applies.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace kvarta {

struct MenuItemSpec {
  std::string name;     // component name (N4, Nrdcnf, no1...)
  std::string caption;  // trailing blanks kept
  std::string parent;   // "" for the top level
  int tag = 0;
};

// The whole tree in display order (parents before their children).
const std::vector<MenuItemSpec>& MainMenuTree();

// Sibling tool files, looked for in the executable's folder and the program
// folder (never in the current directory, where anybody may have put one).
inline constexpr const char* kFirmwareLoaderFile = "fw_loader";
inline constexpr const char* kSessionReaderFile = "session_reader";
inline constexpr const char* kAdminToolsFile = "admin_tools.so";

struct MenuInputs {
  bool connected = false;  // a controller is identified on this connection
  bool write_access = false;
  bool fw_loader_present = false;
  bool session_reader_present = false;
  bool admin_tools_present = false;
  bool history_not_empty = false;
  bool modem_panel_visible = false;
  std::string history_label;  // Label2 text of the history's current entry
};

struct MainMenuState {
  std::map<std::string, bool> visible;  // by item name, every item of the tree
  bool repeat_panel_visible = false;    // pn_repeat
  bool repeat_buttons_enabled = false;  // bt_repeat, bt_stored
  bool set_label = false;               // Label2 takes label
  std::string label;
  bool repeat_panel_above_modem = false;  // else above StatusBar1
  bool rebuild_command_menus = false;

  bool Visible(const std::string& name) const;
};

// Recomputes the menu state from scratch.
MainMenuState RefreshMainMenu(const MenuInputs& in);

// Where the sibling tools may be: the executable's folder, then the program folder.
std::vector<std::string> SiblingFolders(const std::string& program_folder);
// The full path of a sibling tool file in the first of folders holding it; "" if none.
std::string LocateSiblingFile(const std::string& name, const std::vector<std::string>& folders);
// Looks for the sibling tool files in folders.
void FindSiblingFiles(MenuInputs& in, const std::vector<std::string>& folders);

}  // namespace kvarta
