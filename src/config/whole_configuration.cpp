#include "config/whole_configuration.h"

#include <algorithm>
#include <cstring>

#include "config/access_model.h"
#include "config/avt_key_model.h"
#include "config/user_list.h"
#include "link/controller_link.h"
#include "link/gprs_transform.h"
#include "link/host.h"
#include "link/message_window.h"
#include "link/table_service.h"
#include "link/whole_table.h"
#include "platform/text_format.h"

namespace kvarta {
namespace {

constexpr int kLinkTable = 3;
constexpr int kUsersTable = 4;
constexpr int kVrgTable = 9;
constexpr int kReportTable = 12;
constexpr int kTimeoutsTable = 20;
constexpr int kGprsTable = 22;
constexpr int kServerCountField = 6;
constexpr int kSessionRecordingField = 4;
constexpr int kKeepAliveField = 4;
constexpr int64_t kFinalPauseMs = 500;
constexpr int kStartUpKeepAliveSeconds = 10;

class Cursor {
 public:
  explicit Cursor(Host& host) : host_(host) { host_.SetCursor(CursorShape::kBusy); }
  ~Cursor() { host_.SetCursor(CursorShape::kNormal); }
  Cursor(const Cursor&) = delete;
  Cursor& operator=(const Cursor&) = delete;

 private:
  Host& host_;
};

// The pause that lets the user see the full bar; window messages keep
// running meanwhile.
void Pause(ConfigContext& ctx, int64_t ms) {
  const int64_t until = ctx.clock.NowNs() + MsToNs(ms);
  for (;;) {
    ctx.host.PumpMessages();
    const int64_t left = until - ctx.clock.NowNs();
    if (left <= 0) return;
    ctx.clock.SleepNs(std::min<int64_t>(left, MsToNs(10)));
  }
}

void Step(ConfigContext& ctx, WaitModel& progress) {
  progress.Step();
  ctx.dialogs.RepaintWait(progress);
}

void FinishProgress(ConfigContext& ctx, WaitModel& progress) {
  progress.Finish();
  ctx.dialogs.RepaintWait(progress);
  Pause(ctx, kFinalPauseMs);
}

int CountSelected(const TableWritePlan& plan) {
  return static_cast<int>(
      std::count_if(plan.selected.begin(), plan.selected.end(), [](uint8_t s) { return s != 0; }));
}

// After table 3 reached the controller: servers and address follow it.
void TableThreeWritten(ConfigContext& ctx) {
  const uint8_t* t3 = ctx.image.Table(kLinkTable);
  ctx.session.SetServerCount(t3[kServerCountField]);
  ctx.link.address = t3[0];
  ctx.session.ControllerAddressChanged(t3[0]);
}

// Table 12: the key is typed in, never taken from a file. False ends the run.
bool WriteReportTable(ConfigContext& ctx, TableWritePlan& plan, WaitModel& progress,
                      bool& skipped) {
  skipped = false;
  if (!ctx.image.TableDestroyed(kReportTable) &&
      !ShowMessageWindow(ctx.host, kMessageQuestion, "Таблица \"Параметры отчета 2\" не разрушена.",
                         "Вы хотите изменить ключ авторизации?")) {
    skipped = true;
    return true;
  }
  AvtKeyModel key(ctx.host, ctx.image.Field(kReportTable, 0));
  key.OnShow();
  ctx.dialogs.OpenAvtKey(key);
  if (!key.accepted()) {
    skipped = true;
    return ShowMessageWindow(ctx.host, kMessageQuestion,
                             "Запись таблицы \"Параметры отчета 2\" не выполняется.",
                             "Продолжить запись остальных таблиц?");
  }
  if (!WriteTableFields(ctx.link, ctx.image, FieldRange{kReportTable, 0, 1}, ctx.status)) {
    return false;
  }
  Step(ctx, progress);
  plan.written[kReportTable] = 1;
  return true;
}

}  // namespace

int KeepAliveIntervalMs(int table20_field4) {
  // 0 or 1 would make a timer that never waits (or cannot run): take the
  // start-up's default instead.
  const int seconds = table20_field4 >= 2 ? table20_field4 : kStartUpKeepAliveSeconds;
  return (seconds - 1) * 1000;
}

bool ReadConfiguration(ConfigContext& ctx, WaitModel& progress) {
  progress.maximum = static_cast<int>(kConfigurationTables.size()) + 1;
  progress.position = 0;
  ctx.dialogs.RepaintWait(progress);
  for (int t : kConfigurationTables) {
    ctx.host.PumpMessages();
    if (!ReadWholeTable(ctx.link, ctx.image, t, ctx.status)) return false;
    if (t == kLinkTable) ctx.session.SetServerCount(ctx.image.Byte(kLinkTable, kServerCountField));
    if (t == kGprsTable) DecodeGprsFields(ctx.image);
    Step(ctx, progress);
  }
  FinishProgress(ctx, progress);
  return true;
}

void SaveConfigurationFromController(ConfigContext& ctx) {
  WaitModel progress(WaitModel::Mode::kReading);
  bool read = false;
  {
    Cursor busy(ctx.host);
    ctx.dialogs.ShowWait(progress);
    read = ReadConfiguration(ctx, progress);
    ctx.dialogs.CloseWait();
  }
  if (!read) {
    ShowMessageWindow(ctx.host, kMessageExchange, "Параметры конфигурации не прочитаны", "");
    return;
  }
  ConfigFileRecord record;
  NewConfigFileRecord(record);
  FillConfigFileRecord(record, ctx.image);
  SaveConfigFile(ctx.Files(), record, false);
  ctx.session.StartMessageTimer();
}

bool ApplyConfigFileRecord(ConfigContext& ctx, ConfigFileRecord& record, bool check_users) {
  if (check_users) {
    uint8_t* users = record.Table(kUsersTable);
    if (const auto error = CheckUserList(users)) {
      ShowMessageWindow(ctx.host, kMessageInputError, error->line1, error->line2);
      return false;
    }
    for (int i = 0; i < kUserCount; ++i) {
      uint8_t* user = UserRecord(users, i);
      if (user[kUserLevelOffset] != kLevelNone) continue;
      std::memset(user, ' ', kUserNameSize);
      std::memset(user + kUserPasswordOffset, ' ', kUserPasswordSize);
      std::memset(user + kUserCodeOffset, ' ', kUserCodeSize);
    }
    std::memcpy(ctx.image.Table(kUsersTable), users, kUserListSize);
    if (ctx.image.TableDestroyed(kUsersTable)) {
      // The tables that follow are written in the adjuster's name: nobody
      // else is registered in a controller whose users table is lost.
      for (int i = 0; i < kUserCount; ++i) {
        const uint8_t* user = UserRecord(users, i);
        if (user[kUserLevelOffset] != kLevelAdjuster) continue;
        std::memcpy(ctx.link.write_password.data(), user + kUserPasswordOffset, kUserPasswordSize);
        std::memcpy(ctx.link.ident_code.data(), user + kUserCodeOffset, kUserCodeSize);
        break;
      }
    }
  }
  for (int t : {kLinkTable, kVrgTable, kTimeoutsTable, 21, kGprsTable}) {
    std::memcpy(ctx.image.Table(t), record.Table(t), TableCatalogue(t).Bytes());
  }
  std::memset(ctx.image.Table(kReportTable), 0, TableCatalogue(kReportTable).Bytes());
  return true;
}

bool TakeConfigFileRecord(ConfigContext& ctx, ConfigFileRecord& record,
                          const TableWritePlan& plan) {
  const bool users = plan.selected[kUsersTable] != 0;
  if (users) {
    AccessModel editor(ctx.host, ctx.dialogs, record.Table(kUsersTable), AccessMode::kRestore);
    editor.OnShow();
    ctx.dialogs.OpenAccess(editor);
    if (!editor.accepted()) {
      ShowMessageWindow(ctx.host, kMessageInfo,
                        "Таблица доступа к записи в контроллер не восстановлена", "");
      ShowMessageWindow(ctx.host, kMessageInfo, "Запись таблиц не выполнена", "");
      return false;
    }
    std::memcpy(ctx.image.Table(kUsersTable), record.Table(kUsersTable), kUserListSize);
  }
  bool taken = false;
  {
    Cursor busy(ctx.host);
    taken = ApplyConfigFileRecord(ctx, record, users);
  }
  if (!taken) ShowMessageWindow(ctx.host, kMessageInfo, "Запись таблиц не выполнена", "");
  return taken;
}

bool RestoreUsersTable(ConfigContext& ctx) {
  ControllerLink& link = ctx.link;
  const auto password = link.write_password;
  const auto code = link.ident_code;
  link.ResetCredentials();
  const bool ok = WriteTableFields(link, ctx.image, FieldRange{kUsersTable, 0, 10}, ctx.status) &&
                  WriteTableFields(link, ctx.image, FieldRange{kUsersTable, 10, 6}, ctx.status);
  link.write_password = password;
  link.ident_code = code;
  return ok;
}

bool WriteSelectedTables(ConfigContext& ctx, TableWritePlan& plan, WaitModel& progress) {
  progress.maximum = CountSelected(plan);
  progress.position = 0;
  ctx.dialogs.RepaintWait(progress);
  for (int t = 0; t < kTableCount; ++t) {
    plan.written[t] = 0;
    ctx.host.PumpMessages();
    if (plan.selected[t] == 0) continue;
    if (t == kReportTable) {
      bool skipped = false;
      if (!WriteReportTable(ctx, plan, progress, skipped)) return false;
      continue;
    }
    if (t == kGprsTable) {
      EncodeGprsFields(ctx.image);
      const bool ok = WriteWholeTable(ctx.link, ctx.image, t, ctx.status);
      // Plain again whatever the outcome, so that no later user of the
      // image finds the wire form.
      DecodeGprsFields(ctx.image);
      if (!ok) return false;
    } else if (!WriteWholeTable(ctx.link, ctx.image, t, ctx.status)) {
      return false;
    }
    Step(ctx, progress);
    plan.written[t] = 1;
    if (t == kLinkTable) TableThreeWritten(ctx);
    if (t == kVrgTable) ctx.session.SetVrgParamsCopy(ctx.image.Table(kVrgTable));
  }
  FinishProgress(ctx, progress);
  return true;
}

bool WriteChosenTables(ConfigContext& ctx, TableWritePlan& plan) {
  ctx.host.SetCursor(CursorShape::kBusy);
  if (ctx.status) ctx.status->SetPanelText(2, "");
  const bool users = plan.selected[kUsersTable] != 0;
  if (users) {
    if (!RestoreUsersTable(ctx)) {
      ctx.host.SetCursor(CursorShape::kNormal);
      ShowMessageWindow(ctx.host, kMessageInfo,
                        "Таблица зарегистрированных пользователей не восстановлена",
                        "Запись в таблицы параметров конфигурации недопустима");
      return false;
    }
    plan.selected[kUsersTable] = 0;
  }
  ctx.host.PumpMessages();
  WaitModel progress(WaitModel::Mode::kWriting);
  ctx.dialogs.ShowWait(progress);
  const bool ok = WriteSelectedTables(ctx, plan, progress);
  // The users table went first, outside the progress run.
  if (users) plan.written[kUsersTable] = 1;

  if (plan.written[kLinkTable] || plan.written[kVrgTable]) ctx.session.BuildCommandMenus();
  if (plan.written[kTimeoutsTable]) {
    const uint8_t* f = ctx.image.Field(kTimeoutsTable, kKeepAliveField);
    ctx.session.SetKeepAliveInterval(KeepAliveIntervalMs(f[0] | (f[1] << 8)));
  }
  if (!ok) {
    ctx.dialogs.CloseWait();
    ctx.host.SetCursor(CursorShape::kNormal);
    return false;
  }
  Pause(ctx, kFinalPauseMs);
  ctx.session.RefreshMainMenu();
  ctx.host.PumpMessages();
  const bool identified =
      ReadTableFields(ctx.link, ctx.image, FieldRange{0, 0, 18}, ctx.status, true);
  ctx.dialogs.CloseWait();
  ctx.host.SetCursor(CursorShape::kNormal);
  if (identified) {
    const uint8_t destroyed = ctx.image.DestroyedTableNumber();
    if (destroyed != 0) {
      ShowMessageWindow(ctx.host, kMessageInfo, Format("Разрушена таблица %u", destroyed), "");
    }
    ctx.session.StartMessageTimer();
  }
  return true;
}

RestoreOutcome RestoreFromFile(ConfigContext& ctx, TableWritePlan& plan) {
  ConfigFileRecord record;
  if (!LoadConfigFile(ctx.Files(), record)) return RestoreOutcome::kCancelled;
  // A lost table 3 comes back without session recording, whatever the file says.
  if (plan.destroyed[kLinkTable] != 0) record.Table(kLinkTable)[kSessionRecordingField] = 0;
  if (!TakeConfigFileRecord(ctx, record, plan)) return RestoreOutcome::kNotTaken;
  return WriteChosenTables(ctx, plan) ? RestoreOutcome::kWritten : RestoreOutcome::kWriteFailed;
}

}  // namespace kvarta
