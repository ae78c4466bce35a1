#include "connection/imit_modem_model.h"

#include "connection/connect_model.h"
#include "connection/connector.h"
#include "link/message_window.h"
#include "platform/port_map.h"

namespace kvarta {

ImitModemModel::ImitModemModel(Host& host, SettingsStore& store, Connector& connector)
    : host_(host), store_(store), connector_(connector) {}

ImitModemModel::~ImitModemModel() {
  ClosePort();
}

void ImitModemModel::OnShow() {
  close_button_visible = false;
  start_timer_running = true;
}

void ImitModemModel::ClosePort() {
  imitation_.reset();
  port_.reset();
}

void ImitModemModel::OnStartTimer() {
  if (!start_timer_running) return;
  start_timer_running = false;
  host_.SetCursor(CursorShape::kAppStarting);
  const ChannelParams& d = store_.settings.dir_conn;
  port_ = connector_.OpenLine(ComPortPath(d.com_port, store_.folders().ini), d.SelectedRate());
  if (!port_) {
    host_.SetCursor(CursorShape::kNormal);
    ShowMessageWindow(host_, kMessageInfo, PortUnavailableText(d.com_port), "");
    return;
  }
  imitation_.emplace(LineContext{*port_, connector_.link().clock, host_});
  imitation_->Begin();
  progress = 0;
  progress_timer_running = true;
  if (on_change) on_change();
  const ImitationState end = imitation_->Run();
  progress_timer_running = false;
  host_.SetCursor(CursorShape::kNormal);
  if (end == ImitationState::kStopRequested) {
    ClosePort();
    closed = true;
  } else {
    text = kImitationDoneText;
    close_button_visible = true;
    esc_hint_visible = false;
  }
  if (on_change) on_change();
}

void ImitModemModel::OnProgressTimer() {
  if (!progress_timer_running) return;
  progress = progress + 1 >= 100 ? 0 : progress + 1;
  if (on_change) on_change();
}

void ImitModemModel::OnEscape() {
  if (imitation_) imitation_->OnEscape();
}

bool ImitModemModel::OnCloseQuery() {
  if (imitation_ && !imitation_->CloseAllowed()) return false;
  ClosePort();
  host_.SetCursor(CursorShape::kNormal);
  closed = true;
  return true;
}

}  // namespace kvarta
