#include "cli/cli_connection.h"

#include <cstdio>

#include "platform/port_map.h"
#include "platform/text_format.h"

namespace kvarta::cli {
namespace {

void PrintError(const std::string& line) {
  std::fprintf(stderr, "%s\n", line.c_str());
}

}  // namespace

ConnectionParams ResolveLine(const CliOptions& o, const ConnectionSettings& s,
                             const std::string& ini_folder) {
  ConnectionParams line = ConnectionParamsFrom(s, o.via.value_or(s.Kind()), ini_folder);
  if (o.port) {
    line.com = ParseComName(*o.port);
    line.path = line.com > 0 ? ComPortPath(line.com, ini_folder) : *o.port;
  }
  if (o.address) line.address = static_cast<uint8_t>(*o.address);
  if (o.baud) line.line.rate = *o.baud;
  if (o.preambles) line.preambles = static_cast<uint8_t>(*o.preambles);
  if (o.byte_timeout_ms) line.inter_byte_timeout_ms = static_cast<uint32_t>(*o.byte_timeout_ms);
  if (o.answer_timeout_ms) line.answer_timeout_ms = static_cast<uint32_t>(*o.answer_timeout_ms);
  if (o.attempts) line.attempts = static_cast<uint8_t>(*o.attempts);
  if (o.settle_ms) line.settle_ms = *o.settle_ms;

  if (o.phone) line.dial.phone_number = *o.phone;
  if (o.modem_command) line.dial.commands = *o.modem_command;
  if (o.connect_wait_s) line.dial.connect_wait_s = static_cast<uint32_t>(*o.connect_wait_s);
  if (o.dial_attempts) line.dial.attempts = static_cast<uint32_t>(*o.dial_attempts);

  AdapterSetUpParams& a = line.adapter;
  if (o.line) a.line_num = static_cast<uint8_t>(*o.line - 1);
  if (o.adapter_rate) a.baud_rate = static_cast<uint8_t>(*o.adapter_rate);
  if (o.gain_out) a.k_output = static_cast<uint8_t>(*o.gain_out);
  if (o.gain_in) a.k_input = static_cast<uint8_t>(*o.gain_in);
  if (o.radio) a.radio_on = static_cast<uint8_t>(*o.radio);
  if (o.lider) a.lider_on = static_cast<uint8_t>(*o.lider);
  if (o.correction) {
    int on = 0, type = 0, value = 0;
    if (ParseCorrection(*o.correction, on, type, value)) {
      a.correction_on = static_cast<uint8_t>(on);
      if (on) {
        a.correction_type = static_cast<uint8_t>(type);
        a.correction_value = value;
      }
    }
  }
  return line;
}

std::string PortUnavailableMessage(const ConnectionParams& line) {
  return line.com > 0 ? Format("Коммуникационный порт СОМ%d недоступен", line.com)
                      : Format("Коммуникационный порт %s недоступен", line.path.c_str());
}

std::string LineDescription(const ConnectionParams& line) {
  std::string port = line.com > 0 ? Format("COM%d (%s)", line.com, line.path.c_str()) : line.path;
  std::string text =
      Format("Порт %s, %u бит/с, адрес %u", port.c_str(), line.line.rate, line.address);
  if (line.kind == ConnectionKind::kPhone && !line.dial.phone_number.empty()) {
    text += ", телефон " + line.dial.phone_number;
  }
  return text;
}

bool IsLineFailure(uint32_t result_code) {
  switch (result_code) {
    case kResultUnknownFunction:
    case kResultWriteFailed:
    case kResultReadFailed:
    case kResultIncomplete:
    case kResultBadCrc:
    case kResultNoAnswer:
    case kResultCarrierLost:
      return true;
    default:
      return false;
  }
}

bool OpenConnection(Connector& connector, const ConnectionParams& line) {
  if (!connector.Open(line)) {
    PrintError(PortUnavailableMessage(line));
    return false;
  }
  if (line.kind == ConnectionKind::kPhone && line.dial.phone_number.empty()) {
    PrintError("Не задан номер телефона абонента (--phone)");
    connector.Close();
    return false;
  }
  Connector::SetUpHooks hooks;
  hooks.status = connector.link().dial_status_panel;
  hooks.disconnect = [&connector] { connector.Close(); };
  const Connector::SetUpOutcome outcome = connector.SetUp(hooks);
  if (!outcome.ok) {
    if (line.kind == ConnectionKind::kAdapter)
      PrintError(AdapterResultText(outcome.adapter_result));
    PrintError(LineDescription(line));
    connector.Close();
    return false;
  }
  return true;
}

}  // namespace kvarta::cli
