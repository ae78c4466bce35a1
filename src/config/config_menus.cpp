#include "config/config_menus.h"

#include <cstring>

#include "config/access_model.h"
#include "config/change_access_model.h"
#include "config/ident_model.h"
#include "config/server_labels.h"
#include "config/table_info_model.h"
#include "config/user_list.h"
#include "link/controller_link.h"
#include "link/host.h"
#include "link/message_window.h"
#include "link/table_service.h"
#include "link/whole_table.h"

namespace kvarta {
namespace {

constexpr int kUsersTable = 4;
constexpr int kGprsTable = 22;
constexpr uint8_t kUsersNeedFullRewrite = 1;

bool ReadBusy(ConfigContext& ctx, FieldRange range) {
  ctx.host.SetCursor(CursorShape::kBusy);
  const bool ok = ReadTableFields(ctx.link, ctx.image, range, ctx.status, true);
  ctx.host.SetCursor(CursorShape::kNormal);
  return ok;
}

}  // namespace

void ShowIdentificationFromController(ConfigContext& ctx) {
  if (!ReadBusy(ctx, FieldRange{0, 0, 18})) return;
  IdentModel window(ctx.image.Table(0), true);
  window.OnShow();
  ctx.dialogs.OpenIdent(window);
}

void ShowTableState(ConfigContext& ctx) {
  if (!ReadBusy(ctx, FieldRange{7, 0, 23})) return;
  TableWritePlan plan = TableWritePlan::FromImage(ctx.image);
  TableInfoModel window(ctx.host, plan);
  window.OnShow();
  ctx.dialogs.OpenTableInfo(window);
  const int choice = window.closed() ? window.result() : kTableStateLeave;
  if (choice == kTableStateWriteSelected || choice == kTableStateWriteAll) {
    const RestoreOutcome outcome = RestoreFromFile(ctx, plan);
    if (outcome == RestoreOutcome::kCancelled) return;
    if (ctx.session.WriteAccessGranted() && plan.written[kGprsTable]) {
      ServerLabels labels;
      RefreshServerLabels(ctx.link, ctx.image, ctx.status, false, false, labels);
      ctx.session.SetServerLabels(labels);
    }
  }
  ctx.session.RefreshMainMenu();
}

UsersAccessOutcome ChangeUsersAccess(ConfigContext& ctx) {
  if (!ReadBusy(ctx, FieldRange{7, kUsersTable, 1})) return UsersAccessOutcome::kNothing;
  if (ctx.image.Byte(7, kUsersTable) != kUsersNeedFullRewrite) {
    ctx.host.SetCursor(CursorShape::kBusy);
    bool read = true;
    for (const FieldRange& chunk : ChunkTable(kUsersTable, false)) {
      if (!(read = ReadTableFields(ctx.link, ctx.image, chunk, ctx.status, true))) break;
    }
    ctx.host.SetCursor(CursorShape::kNormal);
    if (!read) return UsersAccessOutcome::kNothing;
    ChangeAccessModel window(ctx.host, ctx.image.Table(kUsersTable));
    window.OnShow();
    ctx.dialogs.OpenChangeAccess(window);
    const int user = window.changed_user();
    if (user < 0) return UsersAccessOutcome::kNothing;
    const FieldRange one{kUsersTable, static_cast<uint8_t>(user), 1};
    return WriteTableFields(ctx.link, ctx.image, one, ctx.status)
               ? UsersAccessOutcome::kUserWritten
               : UsersAccessOutcome::kWriteFailed;
  }

  if (!ShowMessageWindow(ctx.host, kMessageWriteNow, "Таблица доступа пользователей",
                         "требует полной перезаписи")) {
    return UsersAccessOutcome::kNothing;
  }
  UserList list = FreeUserList();
  AccessModel editor(ctx.host, ctx.dialogs, list.data(), AccessMode::kRestore);
  editor.OnShow();
  ctx.dialogs.OpenAccess(editor);
  if (!editor.accepted()) return UsersAccessOutcome::kNothing;
  std::memcpy(ctx.image.Table(kUsersTable), list.data(), kUserListSize);
  // Written twice in succession; only when both writes pass is the table
  // reported restored.
  if (!RestoreUsersTable(ctx) || !RestoreUsersTable(ctx)) return UsersAccessOutcome::kWriteFailed;
  ShowMessageWindow(ctx.host, kMessageInfo, "Таблица зарегистрированных пользователей",
                    "восстановлена");
  return UsersAccessOutcome::kRestored;
}

}  // namespace kvarta
