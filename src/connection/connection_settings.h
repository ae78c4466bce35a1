// How the program last reached the controller: the record kept in
// INI/kvarta04.ini (the phone book part lives in INI/abonents.ini).
#pragma once

#include <cstdint>
#include <string>

#include "connection/phone_book.h"
#include "link/connection_kind.h"

namespace kvarta {

inline constexpr size_t kModemCommandMax = 200;  // characters
inline constexpr uint8_t kChannel5 = 5;          // Chan_ind selecting the *_ch5 pair

// Section CURR_PAR.
struct CurrentParams {
  uint8_t protokol = 0;
  uint8_t conn_prz = 0;  // ConnectionKind as stored
  uint8_t check_file_port = 1;
  int32_t form_width = 0;
  int32_t form_height = 0;
  int32_t form_left = 0;
  int32_t form_top = -4;

  bool operator==(const CurrentParams&) const = default;
};

// Sections DIR_CONN_PAR, FON_CONN_PAR, ADAP_CONN_PAR.
struct ChannelParams {
  uint8_t com_port = 1;
  uint8_t adr = 1;
  uint8_t adr_modbus = 1;
  uint8_t chan_ind = 0;
  uint32_t rate_ch0 = 9600;
  uint8_t preambles_ch0 = 5;
  uint32_t rate_ch5 = 9600;
  uint8_t preambles_ch5 = 5;
  uint8_t repeat = 1;
  uint32_t time_out = 100;  // ms
  uint32_t wait_time = 2;   // s

  bool operator==(const ChannelParams&) const = default;

  // Rate and preamble count of the channel chan_ind selects.
  uint32_t SelectedRate() const { return chan_ind == kChannel5 ? rate_ch5 : rate_ch0; }
  uint8_t SelectedPreambles() const {
    return chan_ind == kChannel5 ? preambles_ch5 : preambles_ch0;
  }
  void SetSelected(uint32_t rate, uint8_t preambles);
};

// The five modem keys that follow WaitTime in section FON_CONN_PAR.
struct ModemParams {
  bool default_command = false;
  std::string command;  // UTF-8, at most kModemCommandMax characters
  uint32_t connect_wait_time = 50;
  bool auto_repeat = false;
  uint32_t conn_repeat = 1;

  bool operator==(const ModemParams&) const = default;
};

// Section ADAP_LINE_PAR.
struct AdapterLineParams {
  uint8_t line_num = 1;   // list index 0..7
  uint8_t baud_rate = 1;  // list index 0..4
  uint8_t k_output = 230;
  uint8_t k_input = 250;
  uint8_t radio_on = 0;
  uint8_t lider_on = 0;
  uint8_t correction_on = 0;
  uint8_t correction_type = 0;  // 0 microseconds, 1 bauds
  int32_t correction_value = 1900;

  bool operator==(const AdapterLineParams&) const = default;
};

// Section MODBUS_PAR: kept and saved, used by nothing.
struct ModbusParams {
  bool with_close_port = false;
  uint32_t free_port_wait = 1000;
  uint32_t data_size = 8;
  uint32_t parity = 0;
  uint32_t stop_bits = 0;

  bool operator==(const ModbusParams&) const = default;
};

struct ConnectionSettings {
  CurrentParams curr;
  ChannelParams dir_conn;
  ChannelParams fon_conn{.wait_time = 6};
  PhoneBook phone_book;
  ModemParams modem;
  ChannelParams adap_conn{.wait_time = 6};
  AdapterLineParams adap_line;
  ModbusParams modbus;

  bool operator==(const ConnectionSettings&) const = default;

  ChannelParams& Channel(ConnectionKind kind);
  const ChannelParams& Channel(ConnectionKind kind) const;
  // Conn_Prz as a kind; a stored value outside 0..2 counts as direct.
  ConnectionKind Kind() const;
};

// The copy taken after loading and refreshed group by group on saving.
using SettingsSnapshot = ConnectionSettings;

// The kind of a stored Conn_Prz, false when it names none.
bool KindFromStored(uint8_t conn_prz, ConnectionKind& kind);

// Reads every key with its default. The core has no screen: the main
// window's default size comes from the caller.
ConnectionSettings LoadConnectionSettings(const std::string& path, int screen_width,
                                          int screen_height);

// Comparison groups of the snapshot, in saving order.
enum class SettingsGroup { kCurrent, kDirect, kPhone, kAdapter, kModbus };
bool GroupDiffers(const ConnectionSettings& a, const ConnectionSettings& b, SettingsGroup group);
void CopyGroup(ConnectionSettings& to, const ConnectionSettings& from, SettingsGroup group);

// Writes the sections of every group that differs from snapshot (the phone
// book part goes to its own file) and copies those groups into snapshot.
// Nothing is written when nothing differs. False when the file could not be
// written; snapshot is then left as it was so that a later save retries.
bool SaveConnectionSettings(const std::string& path, const ConnectionSettings& settings,
                            SettingsSnapshot& snapshot);

}  // namespace kvarta
