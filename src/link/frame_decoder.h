// Frames of the controller protocol taken apart for people: the frame
// monitor, the tool's --trace and the service report show them this way.
// Credentials (the write password and identification code of a request, the
// users' passwords and codes, the authorisation key and the GPRS password in
// table values) are marked so that they can be shown as "*".
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "link/table_layout.h"

namespace kvarta {

// True for the parameters that are credentials: the users' passwords and
// codes (table 4), the authorisation key (table 12), the GPRS password
// (table 22). They are never shown or reported unless asked for.
bool IsCredentialParam(int table, const ParamSpec& p);

enum class CrcVerdict {
  kGood,        // the CRC over the whole frame gives 0
  kBad,         // the frame is complete but its CRC is wrong
  kIncomplete,  // fewer bytes than the length byte says
  kNoFrame,     // no start byte (or nothing after it)
};

struct DecodedFrame {
  bool found = false;    // a start byte with an address and a length
  bool request = false;  // start byte 0xCC; else an answer (0x33)
  size_t start = 0;      // index of the start byte in the bytes given
  size_t end = 0;        // one past the last byte of the frame that is there
  uint8_t start_byte = 0;
  uint8_t address = 0;
  uint8_t length = 0;
  bool has_function = false;
  uint8_t function = 0;
  bool has_status = false;  // answers: byte 4
  uint8_t status = 0;
  bool credentials = false;  // requests: password at 4..15, code at 16..19
  bool has_range = false;    // table, first field, count
  uint8_t table = 0;
  uint8_t first = 0;
  uint8_t count = 0;
  bool error_answer = false;  // byte 3 without bit 7
  uint8_t error_code = 0;
  uint8_t reason_code = 0;
  uint8_t error_table = 0;
  size_t values_begin = 0;  // value bytes [values_begin, values_end) of the input
  size_t values_end = 0;
  CrcVerdict crc = CrcVerdict::kNoFrame;
  // One flag per input byte: true where a credential sits.
  std::vector<bool> secret;
};

// Finds the frame in bytes as they crossed the line (preambles and noise
// before the start byte are skipped; of several candidates the first whose
// CRC holds wins) and takes it apart.
DecodedFrame DecodeFrame(const uint8_t* bytes, size_t n);

// "FF CC 01 0A ...": two hex digits per byte, "**" for a credential byte
// unless show_secrets.
std::string FrameHex(const uint8_t* bytes, size_t n, const DecodedFrame& d, bool show_secrets);

// One line: start, address, length, function, table, first field, count,
// value bytes and the CRC verdict, in Russian.
std::string DescribeFrame(const uint8_t* bytes, size_t n, const DecodedFrame& d, bool show_secrets);

// "верна", "неверна", "кадр неполный", "нет кадра".
const char* CrcVerdictText(CrcVerdict verdict);

// Name of a function code ("чтение", "ответ на запись", ...); "" when unknown.
std::string FunctionName(uint8_t function, bool request);

// The command with the PIN of AT+CPIN= replaced by "*", still code page 1251.
std::string HideCommandSecrets(const std::string& cp1251);
// A modem or adapter command as text with its line ends shown as \r and \n;
// the PIN of AT+CPIN= is hidden unless show_secrets.
std::string CommandText(const std::string& cp1251, bool show_secrets);

}  // namespace kvarta
