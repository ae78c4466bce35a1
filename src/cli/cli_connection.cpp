#include "cli/cli_connection.h"

#include <cstdio>

#include "connection/line_context.h"
#include "platform/port_map.h"
#include "platform/posix_serial_port.h"
#include "platform/text_format.h"

namespace kvarta::cli {
namespace {

constexpr int64_t kOpenSettleMs = 300;

void PrintError(const std::string& line) {
  std::fprintf(stderr, "%s\n", line.c_str());
}

}  // namespace

CliLine ResolveLine(const CliOptions& o, const ConnectionSettings& s,
                    const std::string& ini_folder) {
  CliLine line;
  line.kind = o.via.value_or(s.Kind());
  const ChannelParams& ch = s.Channel(line.kind);
  if (o.port) {
    line.com = ParseComName(*o.port);
    line.path = line.com > 0 ? ComPortPath(line.com, ini_folder) : *o.port;
  } else {
    line.com = ch.com_port;
    line.path = ComPortPath(ch.com_port, ini_folder);
  }
  const Subscriber* sub = s.phone_book.Selected();
  uint8_t address = ch.adr;
  if (line.kind == ConnectionKind::kPhone && sub) address = sub->contr_adr;
  line.address = static_cast<uint8_t>(o.address.value_or(address));
  line.baud = o.baud.value_or(ch.SelectedRate());
  line.preambles = static_cast<uint8_t>(o.preambles.value_or(ch.SelectedPreambles()));
  line.byte_timeout_ms = static_cast<uint32_t>(o.byte_timeout_ms.value_or(ch.time_out));
  line.answer_timeout_ms =
      static_cast<uint32_t>(o.answer_timeout_ms.value_or(static_cast<int>(ch.wait_time * 1000)));
  line.attempts = static_cast<uint8_t>(o.attempts.value_or(ch.repeat));

  line.dial.phone_number = o.phone.value_or(sub ? sub->phone_code : "");
  line.dial.commands = o.modem_command.value_or(s.modem.command);
  line.dial.connect_wait_s =
      static_cast<uint32_t>(o.connect_wait_s.value_or(static_cast<int>(s.modem.connect_wait_time)));
  line.dial.attempts =
      static_cast<uint32_t>(o.dial_attempts.value_or(static_cast<int>(s.modem.conn_repeat)));

  line.adapter = s.adap_line;
  if (o.line) line.adapter.line_num = static_cast<uint8_t>(*o.line - 1);
  if (o.adapter_rate) line.adapter.baud_rate = static_cast<uint8_t>(*o.adapter_rate);
  if (o.gain_out) line.adapter.k_output = static_cast<uint8_t>(*o.gain_out);
  if (o.gain_in) line.adapter.k_input = static_cast<uint8_t>(*o.gain_in);
  if (o.radio) line.adapter.radio_on = static_cast<uint8_t>(*o.radio);
  if (o.lider) line.adapter.lider_on = static_cast<uint8_t>(*o.lider);
  if (o.correction) {
    int on = 0, type = 0, value = 0;
    if (ParseCorrection(*o.correction, on, type, value)) {
      line.adapter.correction_on = static_cast<uint8_t>(on);
      if (on) {
        line.adapter.correction_type = static_cast<uint8_t>(type);
        line.adapter.correction_value = value;
      }
    }
  }
  return line;
}

std::string PortUnavailableMessage(const CliLine& line) {
  return line.com > 0 ? Format("Коммуникационный порт СОМ%d недоступен", line.com)
                      : Format("Коммуникационный порт %s недоступен", line.path.c_str());
}

bool CliConnection::Open(const CliLine& line) {
  line_ = line;
  auto port = OpenComPort(line.path, line.baud, 8, 0, 0, 1000, 1000, true, false);
  if (!port) {
    PrintError(PortUnavailableMessage(line));
    return false;
  }
  link_.clock.SleepNs(MsToNs(kOpenSettleMs));
  link_.port = std::move(port);
  link_.address = line.address;
  link_.baud_rate = line.baud;
  link_.preamble_count = line.preambles;
  link_.inter_byte_timeout_ms = line.byte_timeout_ms;
  link_.answer_timeout_ms = line.answer_timeout_ms;
  link_.attempts = line.attempts;
  link_.connection_kind = line.kind;

  LineContext ctx{*link_.port, link_.clock, link_.host};
  if (line.kind == ConnectionKind::kPhone) {
    if (line.dial.phone_number.empty()) {
      PrintError("Не задан номер телефона абонента (--phone)");
      Close();
      return false;
    }
    if (!ConnectByPhone(ctx, line.dial, link_.dial_status_panel, modem_connected_)) {
      Close();
      return false;
    }
    recovery_ = std::make_unique<ModemCallRecovery>(
        link_, [this] { return line_.dial; }, [this] { Close(); }, modem_connected_);
    link_.recovery = recovery_.get();
  } else if (line.kind == ConnectionKind::kAdapter) {
    const int result = AdapterSetUp(ctx, line.adapter, link_.dial_status_panel);
    if (result != 0) {
      PrintError(AdapterResultText(result));
      Close();
      return false;
    }
  }
  return true;
}

void CliConnection::Close() {
  link_.recovery = nullptr;
  if (modem_connected_ && link_.port) {
    LineContext ctx{*link_.port, link_.clock, link_.host};
    ModemHangUp(ctx, true);
  }
  modem_connected_ = false;
  link_.ClosePort();
}

}  // namespace kvarta::cli
