// The sub-menus of "Команда контроллеру" on the main menu's items
// no1..no14, rebuilt from the core's tree on every refresh.
#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "monitor/command_menus.h"

class QAction;

namespace kvarta::gui {

// A caption as the menu shows it: a period command's marker ("ЧАС",
// "СУТКИ", "ВСЕ") goes to the menu's right-hand column, so the markers line
// up whatever the font.
QString CommandMenuText(const std::string& caption, uint8_t code);

// Replaces the sub-menus of the items no1..no14 found in actions by those of
// items; a chosen leaf calls on_leaf with its tag. Items of the tree without
// children keep their own action (chosen through the main menu's handler).
void ApplyCommandMenus(const std::map<std::string, QAction*>& actions,
                       const std::vector<CommandMenuItem>& items,
                       const std::function<void(uint32_t)>& on_leaf);

}  // namespace kvarta::gui
