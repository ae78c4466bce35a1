// The sub-menu "Команда контроллеру" as a tree the main window applies: the
// items no1..no14 and, below them, the server, VRG and run levels built from
// the VRG list and the servers. A leaf's tag is what NDoCommandClick takes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "monitor/command_record.h"

namespace kvarta {

struct CommandMenuItem {
  std::string name;  // "no1".."no14" for the top items, empty below
  std::string caption;
  uint32_t tag = 0;
  bool visible = true;
  std::vector<CommandMenuItem> children;  // none: a leaf, clicked into NDoCommandClick

  bool Leaf() const { return children.empty(); }
};

// Rebuilds the whole sub-menu from scratch (no1..no14 in order).
std::vector<CommandMenuItem> BuildCommandMenus(const CommandTargets& targets);

// The tags of every visible leaf, in menu order (for a tool listing them).
std::vector<uint32_t> CommandLeafTags(const std::vector<CommandMenuItem>& menus);

}  // namespace kvarta
