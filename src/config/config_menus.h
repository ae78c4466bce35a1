// The main menu's configuration entries that need the controller:
// "Параметры идентификации" (Nident), "Состояние таблиц параметров
// конфигурации" (N13) and "Доступ пользователей к таблицам параметров" (N33).
// "Сохранение параметров конфигурации в файле" (Nrdcnf) is
// SaveConfigurationFromController.
#pragma once

#include "config/whole_configuration.h"

namespace kvarta {

// Nident: table 0 read, then the identification window in full mode.
void ShowIdentificationFromController(ConfigContext& ctx);

// N13: table 7 read, the table-state window, a restore from a file when the
// user asks for one; then the server labels and the main menu.
void ShowTableState(ConfigContext& ctx);

enum class UsersAccessOutcome {
  kNothing,      // a read failed, or the user left without a change
  kUserWritten,  // one user changed on an intact table
  kWriteFailed,
  kRestored,  // a destroyed table 4 rewritten (twice)
};
// N33: change one user of an intact table 4, or rebuild a destroyed one.
UsersAccessOutcome ChangeUsersAccess(ConfigContext& ctx);

}  // namespace kvarta
