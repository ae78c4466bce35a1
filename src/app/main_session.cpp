#include "app/main_session.h"

#include "connection/port_labels.h"

#include "link/message_window.h"
#include "platform/text_format.h"

namespace kvarta {

MainSession::MainSession(Host& host, Clock& clock, MainWindowView& view, ProgramFolders folders,
                         int screen_width, int screen_height, SerialPortFactory& ports)
    : parts_(host, clock, view, std::move(folders), ports),
      calls_(parts_),
      start_up_(parts_, calls_, *this),
      tools_(parts_, calls_, *this),
      effects_(parts_, calls_, *this),
      monitor_(parts_) {
  ControllerLink& link = parts_.link;
  link.address = 0;
  link.exchange_status_panel = StatusPanelRef{&view.StatusBar1(), 3};
  link.dial_status_panel = StatusPanelRef{&view.StatusBar3(), 0};
  link.keep_alive_timer = &view.Timer(MainTimer::kRerun);
  link.line_watch_timer = &view.Timer(MainTimer::kControl);
  link.call_duration_timer = &view.Timer(MainTimer::kMoney);
  parts_.store.Load(screen_width, screen_height);
  view.HideTopMenus();
  view.SetModemBarsVisible(false);
  view.SetModemPanelVisible(false);
  view.ResetRepeatPanel();
  view.SetTimerInterval(MainTimer::kRerun, calls_.keep_alive_interval_ms());
  view.Timer(MainTimer::kStart).Start();
}

MainSession::~MainSession() {
  parts_.link.recovery = nullptr;
}

void MainSession::ShowConnectionStatus() {
  const ConnectionSettings& s = parts_.store.settings;
  const ConnectionKind kind = s.Kind();
  const ChannelParams& ch = s.Channel(kind);
  StatusBar& bar = parts_.status();
  std::string port = Format(" COM%u,   %u бит/с", ch.com_port, ch.SelectedRate());
  const std::string device = ComPortDevice(ch.com_port, parts_.store.folders().ini);
  if (!device.empty()) port += " — " + device;
  bar.SetPanelText(0, port);
  if (kind == ConnectionKind::kPhone) {
    const Subscriber* sub = s.phone_book.Selected();
    bar.SetPanelText(1, Format(" Адр. %u", sub ? sub->contr_adr : 0u));
    parts_.view.StatusBar2().SetPanelText(
        0, sub ? Format(" %s (тел. %s)", sub->name.c_str(), sub->phone_code.c_str()) : "");
  } else {
    bar.SetPanelText(1, "");
    bar.SetPanelText(1, Format(" Адр. %u", ch.adr));
  }
  bar.Repaint();
  RefreshOverview();
}

void MainSession::SaveSettings() {
  int w = 0, h = 0, l = 0, t = 0;
  parts_.view.Geometry(w, h, l, t);
  parts_.store.SetWindowGeometry(w, h, l, t);
  parts_.store.Save();
  monitor_.SaveHistory();
}

void MainSession::RefreshMainMenu() {
  monitor_.FillMenuFacts(parts_.facts);
  const ControllerFacts& facts = parts_.facts;
  MenuInputs in;
  in.connected = facts.connection_established;
  in.write_access = facts.write_access;
  FindSiblingFiles(in, SiblingFolders(parts_.store.folders().program));
  in.history_not_empty = facts.history_not_empty;
  in.history_label = facts.history_label;
  in.modem_panel_visible = parts_.view.ModemPanelVisible();
  parts_.view.ApplyMenuState(kvarta::RefreshMainMenu(in));
  monitor_.AfterMenuRefresh();
  RefreshOverview();
}

OverviewModel MainSession::Overview() const {
  const ControllerFacts& facts = parts_.facts;
  const ConnectionSettings& settings = parts_.store.settings;
  OverviewInputs in;
  in.connected = facts.connection_established;
  in.image = &parts_.image;
  // Connected: the line in use; otherwise the line the settings would open.
  const ConnectionParams params =
      in.connected ? parts_.connector.params()
                   : ConnectionParamsFrom(settings, settings.Kind(), parts_.store.folders().ini);
  in.kind = params.kind;
  in.com = params.com;
  in.device = params.path;
  in.rate = params.line.rate;
  in.address = in.connected ? parts_.link.address : params.address;
  if (in.kind == ConnectionKind::kPhone) in.subscriber = settings.phone_book.Selected();
  in.write_access = facts.write_access;
  in.write_access_result = facts.write_access_result;
  if (facts.write_access_result < parts_.link.result_messages.size()) {
    in.write_access_failure = parts_.link.result_messages[facts.write_access_result];
  }
  in.vrg_params = facts.vrg_params_copy.data();
  in.server_count = facts.server_count;
  in.server_labels = &facts.server_labels;
  return BuildOverview(in);
}

void MainSession::RefreshOverview() {
  parts_.view.ShowOverview(Overview());
}

void MainSession::Disconnect() {
  MainWindowView& view = parts_.view;
  ControllerLink& link = parts_.link;
  {
    BusyCursor busy(parts_.host);
    link.abort_flag = true;
    calls_.StopTimers();
    if (parts_.connector.modem_connected()) calls_.EndCall(true);
    parts_.facts.connection_established = false;
    parts_.connector.Close();
    view.CloseMonitoringWindows();
  }
  if (closing_) return;
  link.ClearExchangeBlock();
  link.exchange_in_progress = false;
  link.ResetCredentials();
  parts_.facts.write_access = false;
  view.ResetRepeatPanel();
  monitor_.AfterDisconnect();
  RefreshMainMenu();
}

void MainSession::ClearStatusMessage() {
  parts_.view.Timer(MainTimer::kMessage).Stop();
  parts_.status().SetPanelText(2, "");
}

bool MainSession::ConnectToAnother() {
  if (parts_.connector.modem_connected() &&
      !ShowMessageWindow(parts_.host, kMessageQuestion, "Вы уверены, что хотите",
                         "прервать текущую связь?")) {
    return false;
  }
  parts_.view.Timer(MainTimer::kStart).Start();
  return true;
}

void MainSession::EndConnection() {
  Disconnect();
  parts_.status().SetPanelText(2, "");
  parts_.status().SetPanelText(3, "");
  parts_.host.SetCursor(CursorShape::kNormal);
}

void MainSession::LogOnAgain() {
  start_up_.LogOn();
  ControllerFacts& facts = parts_.facts;
  facts.write_access = start_up_.TestWriteAccess();
  if (facts.write_access) {
    RefreshServerLabels(parts_.link, parts_.image, &parts_.status(), true, true,
                        facts.server_labels);
  }
  RefreshMainMenu();
}

void MainSession::Close() {
  closing_ = true;
  Disconnect();
  BusyCursor busy(parts_.host);
  SaveSettings();
}

}  // namespace kvarta
