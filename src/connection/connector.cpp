#include "connection/connector.h"

#include "connection/line_context.h"
#include "platform/port_map.h"

namespace kvarta {

DialParams DialParamsFrom(const ConnectionSettings& s) {
  DialParams p;
  if (const Subscriber* sub = s.phone_book.Selected()) p.phone_number = sub->phone_code;
  p.commands = s.modem.command;
  p.attempts = s.modem.conn_repeat;
  p.connect_wait_s = s.modem.connect_wait_time;
  return p;
}

ConnectionParams ConnectionParamsFrom(const ConnectionSettings& s, ConnectionKind kind,
                                      const std::string& ini_folder) {
  const ChannelParams& ch = s.Channel(kind);
  ConnectionParams p;
  p.kind = kind;
  p.com = ch.com_port;
  p.path = ComPortPath(ch.com_port, ini_folder);
  p.line.rate = ch.SelectedRate();
  p.address = ch.adr;
  const Subscriber* sub = s.phone_book.Selected();
  if (kind == ConnectionKind::kPhone && sub) p.address = sub->contr_adr;
  p.preambles = ch.SelectedPreambles();
  p.inter_byte_timeout_ms = ch.time_out;
  p.answer_timeout_ms = ch.wait_time * 1000;
  p.attempts = ch.repeat;
  p.dial = DialParamsFrom(s);
  p.adapter = s.adap_line;
  return p;
}

void StoreFoundDevice(ConnectionSettings& settings, int com, const SearchResult& found) {
  ChannelParams& d = settings.dir_conn;
  if (com > 0) d.com_port = static_cast<uint8_t>(com);
  d.adr = found.address;
  if (d.chan_ind == kChannel5) {
    d.rate_ch5 = found.rate;
  } else {
    d.rate_ch0 = found.rate;
  }
}

void Connector::HandToLink(const ConnectionParams& p) {
  params_ = p;
  link_.address = p.address;
  link_.baud_rate = p.line.rate;
  link_.preamble_count = p.preambles;
  link_.inter_byte_timeout_ms = p.inter_byte_timeout_ms;
  link_.answer_timeout_ms = p.answer_timeout_ms;
  link_.attempts = p.attempts;
  link_.connection_kind = p.kind;
}

bool Connector::Open(const ConnectionParams& p) {
  ports_.WillConnect(p.address, p.line.rate);
  auto port = ports_.Open(p.path, p.line);
  if (!port) return false;
  link_.clock.SleepNs(MsToNs(p.settle_ms >= 0 ? p.settle_ms : ports_.SettleMs()));
  link_.port = std::move(port);
  HandToLink(p);
  return true;
}

Connector::SetUpOutcome Connector::SetUp(const SetUpHooks& hooks) {
  SetUpOutcome outcome;
  if (!link_.port) return {false, kAdapterOk};
  LineContext line{*link_.port, link_.clock, link_.host, &link_.frame_log};
  if (params_.kind == ConnectionKind::kPhone) {
    if (hooks.log_on) hooks.log_on();
    auto dial_params = hooks.dial_params;
    if (!dial_params) dial_params = [this] { return params_.dial; };
    outcome.ok = ConnectByPhone(line, dial_params(), hooks.status, modem_connected_);
    if (outcome.ok) {
      recovery_ = std::make_unique<ModemCallRecovery>(link_, dial_params, hooks.disconnect,
                                                      modem_connected_);
      link_.recovery = recovery_.get();
    }
  } else if (params_.kind == ConnectionKind::kAdapter) {
    link_.host.SetCursor(CursorShape::kBusy);
    outcome.adapter_result = AdapterSetUp(line, params_.adapter, hooks.status);
    link_.host.SetCursor(CursorShape::kNormal);
    outcome.ok = outcome.adapter_result == kAdapterOk;
  }
  return outcome;
}

void Connector::HangUp(bool skip_first_hang_up) {
  if (!modem_connected_) return;
  if (link_.port) {
    LineContext line{*link_.port, link_.clock, link_.host, &link_.frame_log};
    ModemHangUp(line, skip_first_hang_up);
  }
  modem_connected_ = false;
}

void Connector::Close() {
  // The recovery object stays until the next set-up: Close may be running
  // inside its own Redial, when a lost call is given up.
  link_.recovery = nullptr;
  HangUp(true);
  link_.ClosePort();
}

std::optional<SearchResult> Connector::Search(const ConnectionParams& p, bool& searching,
                                              const SearchProgress& progress) {
  auto port = ports_.Open(p.path, p.line);
  if (!port) return std::nullopt;
  link_.port = std::move(port);
  HandToLink(p);
  const SearchResult found = SearchDevice(link_, searching, progress);
  link_.ClosePort();
  return found;
}

std::unique_ptr<SerialPort> Connector::OpenLine(const std::string& path, uint32_t rate) {
  LineSettings settings;
  settings.rate = rate;
  return ports_.Open(path, settings);
}

}  // namespace kvarta
