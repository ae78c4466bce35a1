#include "app/start_up.h"

#include <cstring>

#include "connection/line_adapter.h"
#include "link/function_codes.h"
#include "link/message_window.h"
#include "link/table_layout.h"
#include "link/table_service.h"
#include "link/whole_table.h"
#include "monitor/controller_restart.h"
#include "platform/text_format.h"

namespace kvarta {
namespace {

namespace t0 = layout::t0;
namespace t3 = layout::t3;
namespace t9 = layout::t9;

constexpr uint8_t kControllerType = 64;
constexpr uint8_t kSoftwareVersion = 4;
constexpr uint8_t kModemType = t0::kModemMc55it;

}  // namespace

void StartUpSequence::LogOn() {
  LogOnModel logon;
  logon.Show();
  if (parts_.view.RunLogOn(logon) && logon.Accepted()) logon.ApplyTo(parts_.link);
}

bool StartUpSequence::TestWriteAccess() {
  const uint8_t no_command[] = {15, 0, 1, 0};
  const bool granted = parts_.link.port &&
                       SendRequest(parts_.link, kWriteFunction, no_command, sizeof no_command, 0);
  // Kept for the overview, which says why writing is not allowed.
  parts_.facts.write_access_result = granted ? 0 : parts_.link.result_code;
  return granted;
}

void StartUpSequence::FailureEnd() {
  parts_.facts.connection_established = false;
  BusyCursor busy(parts_.host);
  if (parts_.connector.modem_connected()) calls_.EndCall(false);
  parts_.connector.Close();
  parts_.view.RepaintWindow();
  session_.RefreshMainMenu();
}

bool StartUpSequence::SetUpConnection() {
  const ConnectionKind kind = parts_.store.settings.Kind();
  if (kind == ConnectionKind::kDirect) return true;
  Connector::SetUpHooks hooks;
  if (kind == ConnectionKind::kPhone) {
    hooks.log_on = [this] { LogOn(); };
    hooks.dial_params = [this] { return DialParamsFrom(parts_.store.settings); };
    hooks.disconnect = [this] { session_.Disconnect(); };
    hooks.status = parts_.link.dial_status_panel;
  } else {
    hooks.status = StatusPanelRef{&parts_.status(), 2};
  }
  const Connector::SetUpOutcome outcome = parts_.connector.SetUp(hooks);
  parts_.view.Timer(MainTimer::kMessage).Start();
  if (!outcome.ok) {
    if (kind == ConnectionKind::kAdapter) {
      ShowMessageWindow(parts_.host, kMessageInfo, AdapterResultText(outcome.adapter_result), "");
    }
    return false;
  }
  if (kind == ConnectionKind::kPhone) calls_.CallStarted();
  return true;
}

bool StartUpSequence::CheckIdentification() {
  const uint8_t* ident = parts_.image.Table(0);
  const unsigned type = ident[t0::kControllerType];
  const unsigned software = ident[t0::kSoftwareVersion];
  const unsigned modem = ident[t0::kModemType];
  Host& host = parts_.host;
  if (type != kControllerType) {
    ShowMessageWindow(
        host, kMessageInfo,
        Format("Тип подключенного контроллера kvr%02u с версией ПО %u", type, software),
        "Программа обслуживает контроллеры kvarta с версией ПО 4");
    return false;
  }
  if (software != kSoftwareVersion) {
    ShowMessageWindow(host, kMessageInfo,
                      Format("Версия ПО подключенного контроллера %u", software),
                      "Программа обслуживает контроллеры kvarta только с версией ПО 4");
    return false;
  }
  if (modem != kModemType) {
    ShowMessageWindow(host, kMessageInfo,
                      Format("Неизвестный код типа требуемого модема (%u) в устройстве", modem),
                      "");
    return false;
  }
  return true;
}

void StartUpSequence::HandleDestroyedTables(bool& tables_destroyed, bool& table22_pending) {
  ConfigImage& image = parts_.image;
  const uint8_t destroyed = image.DestroyedTableNumber();
  if (destroyed == 0) {
    tables_destroyed = false;
    return;
  }
  parts_.status().SetPanelText(2, Format("Разрушена таблица %u", destroyed));
  parts_.view.Timer(MainTimer::kMessage).Start();
  parts_.host.PumpMessages();
  if (!ReadTableFields(parts_.link, image, FieldRange{7, 0, 23}, &parts_.status(), true)) return;
  TableWritePlan plan = TableWritePlan::FromImage(image);
  const int choice = parts_.view.RunTableState(plan);
  if (choice == 1 || choice == 2) {
    if (parts_.view.RestoreFromFile(plan)) {
      tables_destroyed = false;
      table22_pending = false;
    }
  }
}

void StartUpSequence::Run() {
  MainWindowView& view = parts_.view;
  ConnectionSettings& settings = parts_.store.settings;
  view.Timer(MainTimer::kStart).Stop();
  session_.Disconnect();
  parts_.status().SetPanelText(2, "");
  parts_.status().SetPanelText(3, "");
  view.RepaintWindow();
  view.HideTopMenus();
  session_.ShowConnectionStatus();

  if (!view.RunConnectionDialog() || !parts_.link.port) {
    session_.RefreshMainMenu();
    return;
  }
  {
    BusyCursor busy(parts_.host);
    session_.SaveSettings();
  }
  parts_.link.connection_kind = settings.Kind();
  if (!SetUpConnection()) {
    // The line stays of no use to anybody: close it as a failed start-up does.
    FailureEnd();
    return;
  }

  parts_.link.abort_flag = false;
  bool identified = false;
  {
    BusyCursor busy(parts_.host);
    identified =
        ReadTableFields(parts_.link, parts_.image, FieldRange{0, 0, 18}, &parts_.status(), true);
  }
  if (!identified) return FailureEnd();
  parts_.host.PumpMessages();
  if (!CheckIdentification()) return FailureEnd();

  ChannelParams& channel = settings.Channel(settings.Kind());
  if (channel.adr == kBroadcastAddress) channel.adr = parts_.link.address;

  ControllerFacts& facts = parts_.facts;
  facts.connection_established = true;
  if (settings.Kind() != ConnectionKind::kPhone) LogOn();
  facts.write_access = TestWriteAccess();

  bool tables_destroyed = true;
  bool table22_pending = true;
  HandleDestroyedTables(tables_destroyed, table22_pending);

  if (!ReadStartTables()) return FailureEnd();
  if (facts.write_access) {
    RefreshServerLabels(parts_.link, parts_.image, &parts_.status(), tables_destroyed,
                        table22_pending, facts.server_labels);
  }
  session_.RefreshMainMenu();
  if (settings.Kind() == ConnectionKind::kPhone) calls_.StartLineTimers();
  const uint8_t destroyed = parts_.image.DestroyedTableNumber();
  if (tables_destroyed && destroyed != 0) {
    // The reads that followed wrote their progress over the message: show it
    // again for the message timer's time.
    parts_.status().SetPanelText(2, Format("Разрушена таблица %u", destroyed));
    view.Timer(MainTimer::kMessage).Stop();
    view.Timer(MainTimer::kMessage).Start();
  }
}

bool StartUpSequence::ReadStartTables() {
  BusyCursor busy(parts_.host);
  ControllerLink& link = parts_.link;
  ConfigImage& image = parts_.image;
  ControllerFacts& facts = parts_.facts;
  StatusBar* status = &parts_.status();
  for (const FieldRange& chunk : ChunkTable(9, false)) {
    if (!ReadTableFields(link, image, chunk, status, true)) {
      if (parts_.store.settings.Kind() == ConnectionKind::kPhone && facts.write_access) {
        OfferRestart(link, status);
      }
      return false;
    }
  }
  std::memcpy(facts.vrg_params_copy.data(), image.Table(9), facts.vrg_params_copy.size());
  uint8_t& vrg_count = facts.vrg_params_copy[t9::kVrgCount];
  if (vrg_count > t9::kMaxVrgs) vrg_count = 1;
  for (const FieldRange& chunk : ChunkTable(3, false)) {
    if (!ReadTableFields(link, image, chunk, status, true)) return false;
  }
  facts.server_count = *image.Field(3, t3::kServers);
  // The name's last byte is its terminator: a name of the full length stays whole.
  *image.Field(3, t3::kNameTerminator) = 0;
  int keep_alive_s = 0;
  const ParamSpec& keep_alive = Param(20, "phone_request_wait_s");
  if (ReadTableFields(link, image, FieldRange{20, keep_alive.field, 1}, status, true)) {
    keep_alive_s = static_cast<int>(GetNumber(image.Table(20), keep_alive));
  }
  calls_.SetKeepAliveSeconds(keep_alive_s);
  return true;
}

}  // namespace kvarta
