#include "app/main_session.h"

#include <cstring>

#include "app/sibling_tools.h"
#include "config/whole_table.h"
#include "connection/line_adapter.h"
#include "connection/line_context.h"
#include "connection/modem_dialup.h"
#include "link/message_window.h"
#include "link/table_service.h"
#include "monitor/controller_restart.h"
#include "platform/text_format.h"

namespace kvarta {
namespace {

constexpr uint8_t kControllerType = 64;
constexpr uint8_t kSoftwareVersion = 4;
constexpr uint8_t kModemType = 1;

// Busy cursor for the length of a scope.
class BusyCursor {
 public:
  explicit BusyCursor(Host& host) : host_(host) { host_.SetCursor(CursorShape::kBusy); }
  ~BusyCursor() { host_.SetCursor(CursorShape::kNormal); }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;

 private:
  Host& host_;
};

}  // namespace

MainSession::MainSession(Host& host_in, Clock& clock_in, MainWindowView& view_in,
                         ProgramFolders folders, int screen_width, int screen_height)
    : host(host_in),
      clock(clock_in),
      view(view_in),
      link(host_in, clock_in),
      store(std::move(folders)) {
  link.address = 0;
  link.exchange_status_panel = StatusPanelRef{&view.StatusBar1(), 3};
  link.dial_status_panel = StatusPanelRef{&view.StatusBar3(), 0};
  link.keep_alive_timer = &view.Timer(MainTimer::kRerun);
  link.line_watch_timer = &view.Timer(MainTimer::kControl);
  link.call_duration_timer = &view.Timer(MainTimer::kMoney);
  store.Load(screen_width, screen_height);
  view.HideTopMenus();
  view.SetModemBarsVisible(false);
  view.SetModemPanelVisible(false);
  view.ResetRepeatPanel();
  view.SetTimerInterval(MainTimer::kRerun, rerun_interval_ms);
  modem_connected = false;
  view.Timer(MainTimer::kStart).Start();
}

MainSession::~MainSession() {
  link.recovery = nullptr;
}

DialParams MainSession::CurrentDialParams() const {
  DialParams p;
  if (const Subscriber* s = store.settings.phone_book.Selected()) p.phone_number = s->phone_code;
  p.commands = store.settings.modem.command;
  p.attempts = store.settings.modem.conn_repeat;
  p.connect_wait_s = store.settings.modem.connect_wait_time;
  return p;
}

void MainSession::ShowConnectionStatus() {
  const ConnectionSettings& s = store.settings;
  const ConnectionKind kind = s.Kind();
  const ChannelParams& ch = s.Channel(kind);
  StatusBar& bar = view.StatusBar1();
  bar.SetPanelText(0, Format(" COM%u,   %u бит/с", ch.com_port, ch.SelectedRate()));
  if (kind == ConnectionKind::kPhone) {
    const Subscriber* sub = s.phone_book.Selected();
    bar.SetPanelText(1, Format(" Адр. %u", sub ? sub->contr_adr : 0u));
    view.StatusBar2().SetPanelText(
        0, sub ? Format(" %s (тел. %s)", sub->name.c_str(), sub->phone_code.c_str()) : "");
  } else {
    bar.SetPanelText(1, "");
    bar.SetPanelText(1, Format(" Адр. %u", ch.adr));
  }
  bar.Repaint();
}

void MainSession::SaveSettings() {
  int w = 0, h = 0, l = 0, t = 0;
  view.Geometry(w, h, l, t);
  store.SetWindowGeometry(w, h, l, t);
  store.Save();
}

void MainSession::RefreshMainMenu() {
  MenuInputs in;
  in.connected = connection_established;
  in.write_access = write_access;
  FindSiblingFiles(in);
  in.history_not_empty = history_not_empty;
  in.history_label = history_label;
  in.modem_panel_visible = view.ModemPanelVisible();
  view.ApplyMenuState(kvarta::RefreshMainMenu(in));
}

void MainSession::CloseSerialPort() {
  link.ClosePort();
}

void MainSession::HangUpIfCalling(bool escape_first) {
  if (!modem_connected) return;
  if (link.port) {
    LineContext line{*link.port, clock, host};
    ModemHangUp(line, escape_first);
  }
  modem_connected = false;
}

void MainSession::Disconnect() {
  {
    BusyCursor busy(host);
    link.abort_flag = true;
    view.Timer(MainTimer::kRerun).Stop();
    view.Timer(MainTimer::kControl).Stop();
    view.Timer(MainTimer::kMoney).Stop();
    if (modem_connected) {
      HangUpIfCalling(true);
      view.SetModemPanelVisible(false);
      view.SetModemBarsVisible(false);
    }
    connection_established = false;
    CloseSerialPort();
    link.recovery = nullptr;
    recovery_.reset();
    view.CloseMonitoringWindows();
  }
  if (closing) return;
  link.ClearExchangeBlock();
  link.exchange_in_progress = false;
  link.ResetCredentials();
  write_access = false;
  view.ResetRepeatPanel();
  RefreshMainMenu();
}

void MainSession::FailureEnd() {
  connection_established = false;
  BusyCursor busy(host);
  if (modem_connected) {
    view.SetModemPanelVisible(false);
    view.Timer(MainTimer::kMoney).Stop();
    view.Timer(MainTimer::kControl).Stop();
    view.Timer(MainTimer::kRerun).Stop();
    HangUpIfCalling(true);
  }
  CloseSerialPort();
  view.RepaintWindow();
  RefreshMainMenu();
}

bool MainSession::ConnectByKind() {
  const ConnectionKind kind = store.settings.Kind();
  if (kind == ConnectionKind::kPhone) {
    LogOnModel logon;
    logon.Show();
    if (view.RunLogOn(logon) && logon.Accepted()) logon.ApplyTo(link);
    LineContext line{*link.port, clock, host};
    const bool called =
        ConnectByPhone(line, CurrentDialParams(), link.dial_status_panel, modem_connected);
    view.Timer(MainTimer::kMessage).Start();
    if (!called) return false;
    call_duration = ShortDateTime{};
    view.SetCallDuration("00:00:00");
    view.SetModemPanelVisible(true);
    view.Timer(MainTimer::kMoney).Start();
    recovery_ = std::make_unique<ModemCallRecovery>(
        link, [this] { return CurrentDialParams(); }, [this] { Disconnect(); }, modem_connected);
    link.recovery = recovery_.get();
  } else if (kind == ConnectionKind::kAdapter) {
    int result = 0;
    {
      BusyCursor busy(host);
      LineContext line{*link.port, clock, host};
      result = AdapterSetUp(line, store.settings.adap_line, StatusPanelRef{&view.StatusBar1(), 2});
    }
    view.Timer(MainTimer::kMessage).Start();
    if (result != 0) {
      ShowMessageWindow(host, kMessageInfo, AdapterResultText(result), "");
      return false;
    }
  }
  return true;
}

bool MainSession::CheckIdentification() {
  const uint8_t* t0 = image.Table(0);
  if (t0[1] != kControllerType) {
    ShowMessageWindow(host, kMessageInfo,
                      Format("Тип подключенного контроллера kvr%02u с версией ПО %u", t0[1], t0[3]),
                      "Программа обслуживает контроллеры kvarta с версией ПО 4");
    return false;
  }
  if (t0[3] != kSoftwareVersion) {
    ShowMessageWindow(host, kMessageInfo, Format("Версия ПО подключенного контроллера %u", t0[3]),
                      "Программа обслуживает контроллеры kvarta только с версией ПО 4");
    return false;
  }
  if (t0[17] != kModemType) {
    ShowMessageWindow(host, kMessageInfo,
                      Format("Неизвестный код типа требуемого модема (%u) в устройстве", t0[17]),
                      "");
    return false;
  }
  return true;
}

void MainSession::HandleDestroyedTables(bool& tables_destroyed, bool& table22_pending) {
  const uint8_t destroyed = image.DestroyedTableNumber();
  if (destroyed == 0) {
    tables_destroyed = false;
    return;
  }
  view.StatusBar1().SetPanelText(2, Format("Разрушена таблица %u", destroyed));
  view.Timer(MainTimer::kMessage).Start();
  host.PumpMessages();
  if (!ReadTableFields(link, image, FieldRange{7, 0, 23}, &view.StatusBar1(), true)) return;
  TableWritePlan plan = TableWritePlan::FromImage(image);
  const int choice = view.RunTableState(plan);
  if (choice == 1 || choice == 2) {
    if (view.RestoreFromFile(plan)) {
      tables_destroyed = false;
      table22_pending = false;
    }
  }
}

void MainSession::TimerStartTimer() {
  view.Timer(MainTimer::kStart).Stop();
  Disconnect();
  view.StatusBar1().SetPanelText(2, "");
  view.StatusBar1().SetPanelText(3, "");
  view.RepaintWindow();
  view.HideTopMenus();
  ShowConnectionStatus();

  if (!view.RunConnectionDialog() || !link.port) {
    RefreshMainMenu();
    return;
  }
  {
    BusyCursor busy(host);
    SaveSettings();
  }
  link.connection_kind = store.settings.Kind();
  if (!ConnectByKind()) {
    // The line stays of no use to anybody: close it as a failed start-up does.
    FailureEnd();
    return;
  }

  link.abort_flag = false;
  bool identified = false;
  {
    BusyCursor busy(host);
    identified = ReadTableFields(link, image, FieldRange{0, 0, 18}, &view.StatusBar1(), true);
  }
  if (!identified) return FailureEnd();
  host.PumpMessages();
  if (!CheckIdentification()) return FailureEnd();

  ChannelParams& channel = store.settings.Channel(store.settings.Kind());
  if (channel.adr == kBroadcastAddress) channel.adr = link.address;

  connection_established = true;
  if (store.settings.Kind() != ConnectionKind::kPhone) {
    LogOnModel logon;
    logon.Show();
    if (view.RunLogOn(logon) && logon.Accepted()) logon.ApplyTo(link);
  }

  const uint8_t no_command[] = {15, 0, 1, 0};
  write_access = SendRequest(link, 2, no_command, sizeof no_command, 0);

  bool tables_destroyed = true;
  bool table22_pending = true;
  HandleDestroyedTables(tables_destroyed, table22_pending);

  if (!ReadStartTables()) return FailureEnd();
  if (write_access) {
    RefreshServerLabels(link, image, &view.StatusBar1(), tables_destroyed, table22_pending,
                        server_labels);
  }
  RefreshMainMenu();
  if (store.settings.Kind() == ConnectionKind::kPhone) {
    view.Timer(MainTimer::kControl).Start();
    view.Timer(MainTimer::kRerun).Start();
  }
  if (tables_destroyed && image.DestroyedTableNumber() != 0) {
    // The reads that followed wrote their progress over the message: show it
    // again for the message timer's time.
    view.StatusBar1().SetPanelText(2, Format("Разрушена таблица %u", image.DestroyedTableNumber()));
    view.Timer(MainTimer::kMessage).Stop();
    view.Timer(MainTimer::kMessage).Start();
  }
}

bool MainSession::ReadStartTables() {
  BusyCursor busy(host);
  for (const FieldRange& chunk : ChunkTable(9, false)) {
    if (!ReadTableFields(link, image, chunk, &view.StatusBar1(), true)) {
      if (store.settings.Kind() == ConnectionKind::kPhone && write_access) {
        OfferRestart(link, &view.StatusBar1());
      }
      return false;
    }
  }
  std::memcpy(vrg_params_copy.data(), image.Table(9), vrg_params_copy.size());
  if (vrg_params_copy[0] > 4) vrg_params_copy[0] = 1;
  if (!ReadTableFields(link, image, FieldRange{3, 0, 122}, &view.StatusBar1(), true)) return false;
  server_count = *image.Field(3, 6);
  *image.Field(3, 120) = 0;
  int keep_alive_s = 10;
  if (ReadTableFields(link, image, FieldRange{20, 4, 1}, &view.StatusBar1(), true)) {
    const uint8_t* f = image.Field(20, 4);
    const int value = f[0] | (f[1] << 8);
    if (value >= 10 && value <= 30) keep_alive_s = value;
  }
  rerun_interval_ms = (keep_alive_s - 1) * 1000;
  view.SetTimerInterval(MainTimer::kRerun, rerun_interval_ms);
  return true;
}

void MainSession::TimerMessageTimer() {
  view.Timer(MainTimer::kMessage).Stop();
  view.StatusBar1().SetPanelText(2, "");
}

void MainSession::TimerMoneyTimer() {
  // Only the time of day is counted: 60 seconds carry into a minute, 60
  // minutes into an hour.
  if (++call_duration.second >= 60) {
    call_duration.second = 0;
    if (++call_duration.minute >= 60) {
      call_duration.minute = 0;
      ++call_duration.hour;
    }
  }
  view.SetCallDuration(
      Format("%02u:%02u:%02u", call_duration.hour, call_duration.minute, call_duration.second));
}

void MainSession::TimerControlTimer() {
  if (link.exchange_in_progress) return;
  HostTimer& timer = view.Timer(MainTimer::kControl);
  timer.Stop();
  if (!modem_connected) return;
  int got = 0;
  if (link.port) {
    got = link.port->Read(link.session_log.data(), link.session_log.size());
    if (got < 0) {
      link.port->ClearErrors();
      got = 0;
    }
    // The log is text up to its first zero byte: stale bytes beyond the new
    // ones must not count.
    if (got < static_cast<int>(link.session_log.size())) link.session_log[got] = 0;
  }
  if (got > 0 && OfferReconnect(link, true) != 0) return;
  if (modem_connected) timer.Start();
}

void MainSession::TimerRerunTimer() {
  if (link.exchange_in_progress || !modem_connected) return;
  // A harmless read of the destroyed-table number keeps the call alive; the
  // image is not touched.
  const uint8_t range[] = {0, 0, 1};
  SendRequest(link, 1, range, sizeof range, 0);
}

bool MainSession::NconnectClick() {
  if (modem_connected && !ShowMessageWindow(host, kMessageQuestion, "Вы уверены, что хотите",
                                            "прервать текущую связь?")) {
    return false;
  }
  view.Timer(MainTimer::kStart).Start();
  return true;
}

void MainSession::BitBtn3Click() {
  Disconnect();
  view.StatusBar1().SetPanelText(2, "");
  view.StatusBar1().SetPanelText(3, "");
  host.SetCursor(CursorShape::kNormal);
}

void MainSession::NUserClick() {
  LogOnModel logon;
  logon.Show();
  if (view.RunLogOn(logon) && logon.Accepted()) logon.ApplyTo(link);
  const uint8_t no_command[] = {15, 0, 1, 0};
  write_access = link.port && SendRequest(link, 2, no_command, sizeof no_command, 0);
  if (write_access) {
    RefreshServerLabels(link, image, &view.StatusBar1(), true, true, server_labels);
  }
  RefreshMainMenu();
}

void MainSession::NProgr_WrClick() {
  CloseSerialPort();
  connection_established = false;
  if (!RunSiblingProgram(kFirmwareLoaderFile)) {
    ShowMessageWindow(host, kMessageInfo, "Сбой в работе",
                      Format("программы %s", kFirmwareLoaderFile));
  }
  RefreshMainMenu();
}

void MainSession::N8Click() {
  if (modem_connected) {
    BusyCursor busy(host);
    view.Timer(MainTimer::kControl).Stop();
    view.Timer(MainTimer::kRerun).Stop();
    view.SetModemPanelVisible(false);
    view.Timer(MainTimer::kMoney).Stop();
    HangUpIfCalling(true);
    connection_established = false;
    view.RepaintWindow();
  }
  CloseSerialPort();
  connection_established = false;
  if (!RunSiblingProgram(kSessionReaderFile)) {
    ShowMessageWindow(host, kMessageInfo, "Сбой в работе",
                      Format("программы %s", kSessionReaderFile));
  }
  RefreshMainMenu();
}

void MainSession::N7Click() {
  const std::string library = std::string("./") + kAdminToolsFile;
  MenuInputs files;
  FindSiblingFiles(files);
  if (!files.admin_tools_present) {
    ShowMessageWindow(host, kMessageInfo, Format("Не обнаружен файл %s", kAdminToolsFile), "");
    return;
  }
  const std::string param_file = store.folders().ini + "/" + kAdminParamFileName;
  const AdminToolsResult r = RunAdminTools(library, store.folders().program + "/", param_file,
                                           link.port ? link.port->Descriptor() : -1,
                                           BuildAdminRecord(link, modem_connected));
  switch (r.outcome) {
    case AdminToolsOutcome::kParamFileError:
      ShowMessageWindow(host, kMessageInfo, "Ошибка записи файла", "для работы с DLL");
      return;
    case AdminToolsOutcome::kLoadFailed:
      ShowMessageWindow(host, kMessageInfo, Format("Не удалось прочитать DLL %s", kAdminToolsFile),
                        r.error_text);
      return;
    case AdminToolsOutcome::kEntryMissing:
      ShowMessageWindow(host, kMessagePlain, r.error_text, "");
      return;
    case AdminToolsOutcome::kCalled:
      break;
  }
  if (r.record_read && store.settings.Kind() == ConnectionKind::kPhone && r.record_after[0] == 0) {
    modem_connected = false;
    view.Timer(MainTimer::kRerun).Stop();
    view.Timer(MainTimer::kControl).Stop();
    view.Timer(MainTimer::kMoney).Stop();
    view.SetModemPanelVisible(false);
    view.RepaintWindow();
    connection_established = false;
    CloseSerialPort();
    RefreshMainMenu();
  }
}

void MainSession::FormClose() {
  closing = true;
  Disconnect();
  BusyCursor busy(host);
  SaveSettings();
}

}  // namespace kvarta
