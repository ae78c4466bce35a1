#include "connection/connection_settings.h"

#include "connection/ini_file.h"

namespace kvarta {
namespace {

constexpr const char* kCurr = "CURR_PAR";
constexpr const char* kDir = "DIR_CONN_PAR";
constexpr const char* kFon = "FON_CONN_PAR";
constexpr const char* kAdap = "ADAP_CONN_PAR";
constexpr const char* kAdapLine = "ADAP_LINE_PAR";
constexpr const char* kModbus = "MODBUS_PAR";

// Narrower fields keep the low bits of the signed 32-bit number read.
uint8_t ReadU8(const IniFile& ini, const char* section, const char* key, uint8_t def) {
  return static_cast<uint8_t>(ini.ReadInteger(section, key, def));
}
uint32_t ReadU32(const IniFile& ini, const char* section, const char* key, uint32_t def) {
  return static_cast<uint32_t>(ini.ReadInteger(section, key, static_cast<int32_t>(def)));
}
bool ReadBool(const IniFile& ini, const char* section, const char* key, bool def) {
  return ini.ReadInteger(section, key, def ? 1 : 0) != 0;
}
void WriteU32(IniFile& ini, const char* section, const char* key, uint32_t value) {
  ini.WriteInteger(section, key, static_cast<int32_t>(value));
}

ChannelParams ReadChannel(const IniFile& ini, const char* s, uint32_t default_wait) {
  ChannelParams c;
  c.com_port = ReadU8(ini, s, "COMPort", 1);
  c.adr = ReadU8(ini, s, "Adr", 1);
  c.adr_modbus = ReadU8(ini, s, "Adr_Modbus", 1);
  c.chan_ind = ReadU8(ini, s, "Chan_ind", 0);
  c.rate_ch0 = ReadU32(ini, s, "Rate_ch0", 9600);
  c.preambles_ch0 = ReadU8(ini, s, "Preambles_ch0", 5);
  c.rate_ch5 = ReadU32(ini, s, "Rate_ch5", 9600);
  c.preambles_ch5 = ReadU8(ini, s, "Preambles_ch5", 5);
  c.repeat = ReadU8(ini, s, "Repeat", 1);
  c.time_out = ReadU32(ini, s, "TimeOut", 100);
  c.wait_time = ReadU32(ini, s, "WaitTime", default_wait);
  return c;
}

void WriteChannel(IniFile& ini, const char* s, const ChannelParams& c) {
  ini.WriteInteger(s, "COMPort", c.com_port);
  ini.WriteInteger(s, "Adr", c.adr);
  ini.WriteInteger(s, "Adr_Modbus", c.adr_modbus);
  ini.WriteInteger(s, "Chan_ind", c.chan_ind);
  WriteU32(ini, s, "Rate_ch0", c.rate_ch0);
  ini.WriteInteger(s, "Preambles_ch0", c.preambles_ch0);
  WriteU32(ini, s, "Rate_ch5", c.rate_ch5);
  ini.WriteInteger(s, "Preambles_ch5", c.preambles_ch5);
  ini.WriteInteger(s, "Repeat", c.repeat);
  WriteU32(ini, s, "TimeOut", c.time_out);
  WriteU32(ini, s, "WaitTime", c.wait_time);
}

void WriteGroup(IniFile& ini, const ConnectionSettings& s, SettingsGroup group) {
  switch (group) {
    case SettingsGroup::kCurrent:
      ini.WriteInteger(kCurr, "Protokol", s.curr.protokol);
      ini.WriteInteger(kCurr, "Conn_Prz", s.curr.conn_prz);
      ini.WriteInteger(kCurr, "CheckFile_Port", s.curr.check_file_port);
      ini.WriteInteger(kCurr, "Form_Width", s.curr.form_width);
      ini.WriteInteger(kCurr, "Form_Height", s.curr.form_height);
      ini.WriteInteger(kCurr, "Form_Left", s.curr.form_left);
      ini.WriteInteger(kCurr, "Form_Top", s.curr.form_top);
      break;
    case SettingsGroup::kDirect:
      WriteChannel(ini, kDir, s.dir_conn);
      break;
    case SettingsGroup::kPhone:
      WriteChannel(ini, kFon, s.fon_conn);
      ini.WriteInteger(kFon, "Default_Command", s.modem.default_command ? 1 : 0);
      ini.WriteString(kFon, "Command", s.modem.command);
      WriteU32(ini, kFon, "ConnectWaitTime", s.modem.connect_wait_time);
      ini.WriteInteger(kFon, "AutoRepeat", s.modem.auto_repeat ? 1 : 0);
      WriteU32(ini, kFon, "Conn_Repeat", s.modem.conn_repeat);
      break;
    case SettingsGroup::kAdapter: {
      WriteChannel(ini, kAdap, s.adap_conn);
      const AdapterLineParams& a = s.adap_line;
      ini.WriteInteger(kAdapLine, "Line__Num", a.line_num);
      ini.WriteInteger(kAdapLine, "Baud_Rate", a.baud_rate);
      ini.WriteInteger(kAdapLine, "K__Output", a.k_output);
      ini.WriteInteger(kAdapLine, "K__Input", a.k_input);
      ini.WriteInteger(kAdapLine, "RadioOn", a.radio_on);
      ini.WriteInteger(kAdapLine, "LiderOn", a.lider_on);
      ini.WriteInteger(kAdapLine, "CorrectionOn", a.correction_on);
      ini.WriteInteger(kAdapLine, "CorrectionType", a.correction_type);
      ini.WriteInteger(kAdapLine, "CorrectionValue", a.correction_value);
      break;
    }
    case SettingsGroup::kModbus:
      ini.WriteInteger(kModbus, "With_Close_Port", s.modbus.with_close_port ? 1 : 0);
      WriteU32(ini, kModbus, "Free_Port_Wait", s.modbus.free_port_wait);
      WriteU32(ini, kModbus, "DataSize", s.modbus.data_size);
      WriteU32(ini, kModbus, "Parity", s.modbus.parity);
      WriteU32(ini, kModbus, "StopBits", s.modbus.stop_bits);
      break;
  }
}

constexpr SettingsGroup kGroups[] = {SettingsGroup::kCurrent, SettingsGroup::kDirect,
                                     SettingsGroup::kPhone, SettingsGroup::kAdapter,
                                     SettingsGroup::kModbus};

}  // namespace

void ChannelParams::SetSelected(uint32_t rate, uint8_t preambles) {
  if (chan_ind == kChannel5) {
    rate_ch5 = rate;
    preambles_ch5 = preambles;
  } else {
    rate_ch0 = rate;
    preambles_ch0 = preambles;
  }
}

bool KindFromStored(uint8_t conn_prz, ConnectionKind& kind) {
  if (conn_prz > 2) return false;
  kind = static_cast<ConnectionKind>(conn_prz);
  return true;
}

ConnectionKind ConnectionSettings::Kind() const {
  ConnectionKind kind = ConnectionKind::kDirect;
  KindFromStored(curr.conn_prz, kind);
  return kind;
}

ChannelParams& ConnectionSettings::Channel(ConnectionKind kind) {
  switch (kind) {
    case ConnectionKind::kPhone:
      return fon_conn;
    case ConnectionKind::kAdapter:
      return adap_conn;
    case ConnectionKind::kDirect:
      break;
  }
  return dir_conn;
}

const ChannelParams& ConnectionSettings::Channel(ConnectionKind kind) const {
  return const_cast<ConnectionSettings*>(this)->Channel(kind);
}

ConnectionSettings LoadConnectionSettings(const std::string& path, int screen_width,
                                          int screen_height) {
  const IniFile ini(path);
  ConnectionSettings s;
  s.curr.protokol = ReadU8(ini, kCurr, "Protokol", 0);
  s.curr.conn_prz = ReadU8(ini, kCurr, "Conn_Prz", 0);
  s.curr.check_file_port = ReadU8(ini, kCurr, "CheckFile_Port", 1);
  s.curr.form_width = ini.ReadInteger(kCurr, "Form_Width", screen_width);
  s.curr.form_height = ini.ReadInteger(kCurr, "Form_Height", screen_height - 20);
  s.curr.form_left = ini.ReadInteger(kCurr, "Form_Left", 0);
  s.curr.form_top = ini.ReadInteger(kCurr, "Form_Top", -4);

  s.dir_conn = ReadChannel(ini, kDir, 2);
  s.fon_conn = ReadChannel(ini, kFon, 6);
  s.modem.default_command = ReadBool(ini, kFon, "Default_Command", false);
  s.modem.command = CutChars(ini.ReadString(kFon, "Command", ""), kModemCommandMax);
  s.modem.connect_wait_time = ReadU32(ini, kFon, "ConnectWaitTime", 50);
  s.modem.auto_repeat = ReadBool(ini, kFon, "AutoRepeat", false);
  s.modem.conn_repeat = ReadU32(ini, kFon, "Conn_Repeat", 1);

  s.adap_conn = ReadChannel(ini, kAdap, 6);
  AdapterLineParams& a = s.adap_line;
  a.line_num = ReadU8(ini, kAdapLine, "Line__Num", 1);
  a.baud_rate = ReadU8(ini, kAdapLine, "Baud_Rate", 1);
  a.k_output = ReadU8(ini, kAdapLine, "K__Output", 230);
  a.k_input = ReadU8(ini, kAdapLine, "K__Input", 250);
  a.radio_on = ReadU8(ini, kAdapLine, "RadioOn", 0);
  a.lider_on = ReadU8(ini, kAdapLine, "LiderOn", 0);
  a.correction_on = ReadU8(ini, kAdapLine, "CorrectionOn", 0);
  a.correction_type = ReadU8(ini, kAdapLine, "CorrectionType", 0);
  a.correction_value = ini.ReadInteger(kAdapLine, "CorrectionValue", 1900);

  s.modbus.with_close_port = ReadBool(ini, kModbus, "With_Close_Port", false);
  s.modbus.free_port_wait = ReadU32(ini, kModbus, "Free_Port_Wait", 1000);
  s.modbus.data_size = ReadU32(ini, kModbus, "DataSize", 8);
  s.modbus.parity = ReadU32(ini, kModbus, "Parity", 0);
  s.modbus.stop_bits = ReadU32(ini, kModbus, "StopBits", 0);
  return s;
}

bool GroupDiffers(const ConnectionSettings& a, const ConnectionSettings& b, SettingsGroup group) {
  switch (group) {
    case SettingsGroup::kCurrent:
      return a.curr != b.curr;
    case SettingsGroup::kDirect:
      return a.dir_conn != b.dir_conn;
    case SettingsGroup::kPhone:
      return a.fon_conn != b.fon_conn || a.phone_book != b.phone_book || a.modem != b.modem;
    case SettingsGroup::kAdapter:
      return a.adap_conn != b.adap_conn || a.adap_line != b.adap_line;
    case SettingsGroup::kModbus:
      return a.modbus != b.modbus;
  }
  return false;
}

void CopyGroup(ConnectionSettings& to, const ConnectionSettings& from, SettingsGroup group) {
  switch (group) {
    case SettingsGroup::kCurrent:
      to.curr = from.curr;
      break;
    case SettingsGroup::kDirect:
      to.dir_conn = from.dir_conn;
      break;
    case SettingsGroup::kPhone:
      to.fon_conn = from.fon_conn;
      to.phone_book = from.phone_book;
      to.modem = from.modem;
      break;
    case SettingsGroup::kAdapter:
      to.adap_conn = from.adap_conn;
      to.adap_line = from.adap_line;
      break;
    case SettingsGroup::kModbus:
      to.modbus = from.modbus;
      break;
  }
}

bool SaveConnectionSettings(const std::string& path, const ConnectionSettings& settings,
                            SettingsSnapshot& snapshot) {
  if (settings == snapshot) return true;
  IniFile ini(path);
  bool written[std::size(kGroups)] = {};
  bool any = false;
  for (size_t i = 0; i < std::size(kGroups); ++i) {
    if (!GroupDiffers(settings, snapshot, kGroups[i])) continue;
    WriteGroup(ini, settings, kGroups[i]);
    written[i] = true;
    any = true;
  }
  if (!any) return true;
  if (!ini.Save()) return false;
  for (size_t i = 0; i < std::size(kGroups); ++i) {
    if (written[i]) CopyGroup(snapshot, settings, kGroups[i]);
  }
  return true;
}

}  // namespace kvarta
