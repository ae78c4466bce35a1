// The controller's tables described down to the field: for every parameter
// its table, field, byte offset and size, type, valid range, unit and a
// stable English name. The windows, the tool's show/set and the simulator's
// contents build on this description instead of on offsets of their own.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "link/short_date_time.h"

namespace kvarta {

// Where the parameters lie, per table. For tables of one-byte fields a
// constant is the field number and the byte offset at once; for tables 1, 10,
// 20, 21 and 22 it is the field number; inside the records of tables 3, 4, 9
// and 17 it is the byte offset within the record or field.
namespace layout {

namespace t0 {                             // identification, 18 one-byte fields
inline constexpr int kDestroyedTable = 0;  // number of a destroyed table, 0 = none
inline constexpr int kControllerType = 1;
inline constexpr int kHardwareVersion = 2;
inline constexpr int kSoftwareVersion = 3;
inline constexpr int kBuildYear = 4;  // software creation date and time, 6 fields
inline constexpr int kBuildMonth = 5;
inline constexpr int kBuildDay = 6;
inline constexpr int kBuildHour = 7;
inline constexpr int kBuildMinute = 8;
inline constexpr int kBuildSecond = 9;
inline constexpr int kByteOrder = 10;
inline constexpr int kMultiSpeed = 11;
inline constexpr int kGprsPlain = 12;     // 0: table 22 travels substituted
inline constexpr int kFixedAddress = 13;  // 0: the address may be changed
inline constexpr int kProtocolMajor = 14;
inline constexpr int kProtocolMinor = 15;
inline constexpr int kProtocolRevision = 16;
inline constexpr int kModemType = 17;
inline constexpr uint8_t kModemSc3000 = 0;
inline constexpr uint8_t kModemMc55it = 1;
}  // namespace t0

namespace t1 {  // speed masks, 3 fields of 4 bytes: bit i = BaudRateTable[i]
inline constexpr int kVrgSpeedMask = 0;
inline constexpr int kUpperSpeedMask = 1;
}  // namespace t1

namespace t2 {  // controller clock: fields 0..5 form one ShortDateTime
inline constexpr int kClock = 0;
}

namespace t3 {  // link with the upper level, 122 one-byte fields
inline constexpr int kAddress = 0;
inline constexpr int kAnswerPreambles = 1;
inline constexpr int kDeliveryAttempts = 2;
inline constexpr int kSendServers = 3;  // bit 0 server 1, bit 1 server 2
inline constexpr int kSendServer1Bit = 0;
inline constexpr int kSendServer2Bit = 1;
inline constexpr int kRecordingMode = 4;
inline constexpr int kAnswerWait = 5;
inline constexpr int kServers = 6;
inline constexpr int kUseSchedule = 7;
inline constexpr int kSchedule = 8;  // 24 hourly entries of 4 bytes
inline constexpr int kScheduleEntrySize = 4;
inline constexpr int kScheduleHours = 24;
inline constexpr int kScheduleServer1 = 0;  // within an entry
inline constexpr int kScheduleServer2 = 1;
inline constexpr int kScheduleReserved = 2;
inline constexpr int kScheduleModem = 3;
inline constexpr int kScheduleModemBit = 0;
inline constexpr int kName = 104;  // 17 characters, terminator at field 121
inline constexpr int kNameSize = 18;
inline constexpr int kNameMaxChars = kNameSize - 1;
inline constexpr int kNameTerminator = kName + kNameMaxChars;
constexpr int ScheduleEntry(int hour) {
  return kSchedule + kScheduleEntrySize * hour;
}
}  // namespace t3

namespace t4 {  // registered users, 16 records of 22 bytes (one field each)
inline constexpr int kUserCount = 16;
inline constexpr int kUserSize = 22;
inline constexpr int kName = 0;  // blank-padded texts, not terminated
inline constexpr int kNameSize = 4;
inline constexpr int kLevel = 4;  // 0 = free slot
inline constexpr int kReserved = 5;
inline constexpr int kPassword = 6;
inline constexpr int kPasswordSize = 12;
inline constexpr int kCode = 18;
inline constexpr int kCodeSize = 4;
inline constexpr int kMaxLevel = 4;
}  // namespace t4

namespace t7 {                                   // field t: state of table t, non-zero = destroyed
inline constexpr uint8_t kUsersNeedRewrite = 1;  // the state value table 4 is tested for
}

namespace t9 {  // VRG parameters, 104 one-byte fields
inline constexpr int kVrgCount = 0;
inline constexpr int kReserved1 = 1;
inline constexpr int kPreambles = 2;
inline constexpr int kAnswerWait = 3;
inline constexpr int kFailedExchanges = 4;
inline constexpr int kSpeed = 5;
inline constexpr int kReserved6 = 6;
inline constexpr int kSendDelay = 7;
inline constexpr int kRecords = 8;  // 4 VRG records of 24 bytes
inline constexpr int kRecordSize = 24;
inline constexpr int kMaxVrgs = 4;
inline constexpr int kAddress = 0;  // within a record
inline constexpr int kGroup = 1;
inline constexpr int kGroupSize = 3;
inline constexpr int kInterface = 4;
inline constexpr int kRuns = 5;
inline constexpr int kUnused = 6;  // 16 bytes the program does not edit
inline constexpr int kUnusedSize = 16;
inline constexpr int kServer1 = 22;
inline constexpr int kServer2 = 23;
inline constexpr uint8_t kInterfaceRs232 = 0;
inline constexpr uint8_t kInterfaceBell202 = 2;
constexpr int Record(int k) {
  return kRecords + kRecordSize * k;
}  // k = 0..3
}  // namespace t9

namespace t10 {  // clocks, 5 fields of 6 bytes
inline constexpr int kControllerClock = 0;
inline constexpr int kVrgClock = 1;  // field 1 + i: VRG i + 1
}  // namespace t10

namespace t12 {  // report parameters, one field of 66 bytes
inline constexpr int kKey = 0;
inline constexpr int kKeyLength = 8;
}  // namespace t12

namespace t15 {  // command, 12 one-byte fields
inline constexpr int kCommand = 0;
inline constexpr int kServer = 1;
inline constexpr int kVrg = 2;
inline constexpr int kRun = 3;
inline constexpr int kPeriodStart = 4;  // year - 2000, month, day, hour
inline constexpr int kPeriodEnd = 8;
inline constexpr uint8_t kAll = 255;  // every server, VRG or run
}  // namespace t15

namespace t17 {                         // diagnostics, 10 fields of 14 bytes
inline constexpr int kServerFlags = 0;  // field 0 + s for server s + 1
inline constexpr int kLastSession = 2;  // bytes 0..5 ShortDateTime
inline constexpr int kLastSessionResult = 3;
inline constexpr int kLastRecordedSession = 4;
inline constexpr int kLastRecordedSessionResult = 5;
inline constexpr int kVrgFlags = 6;     // field 6 + v for VRG v + 1
inline constexpr int kReplySize = 4;    // reply code text at byte 0 of a result field
inline constexpr int kCompletion = 13;  // completion code byte of a result field
inline constexpr int kRunFlags = 2;     // run r's four bytes at kRunFlags + 4 * r
inline constexpr int kRunFlagBytes = 4;
}  // namespace t17

namespace t19 {  // session record, 40 fields of 200 bytes: one text
inline constexpr int kTextSize = 8000;
}

namespace t20 {  // timeouts, 7 fields of 2 bytes
inline constexpr int kOpenWait = 0;
inline constexpr int kStartWait = 1;
inline constexpr int kWriteWait = 2;
inline constexpr int kCloseWait = 3;
inline constexpr int kPhoneRequestWait = 4;
inline constexpr int kModemBusyMax = 5;
inline constexpr int kSimBalanceWait = 6;
inline constexpr int kFieldCount = 7;
}  // namespace t20

namespace t21 {  // modem, 5 text fields of 50 bytes
inline constexpr int kInitString = 0;
inline constexpr int kBalancePhone = 1;
inline constexpr int kTrafficPhone = 2;
inline constexpr int kPaymentPhone = 3;
}  // namespace t21

namespace t22 {  // GPRS, 11 text fields of 50 bytes
inline constexpr int kApn = 0;
inline constexpr int kUser = 1;
inline constexpr int kPassword = 2;
inline constexpr int kConnectionType = 3;
inline constexpr int kServer1Ip = 5;
inline constexpr int kServer1Port = 6;
inline constexpr int kServer2Ip = 8;
inline constexpr int kServer2Port = 9;
}  // namespace t22

}  // namespace layout

enum class ParamType : uint8_t {
  kUnsigned,       // little-endian unsigned integer of size bytes
  kSigned,         // little-endian two's complement integer of size bytes
  kText,           // code page 1251 text, zero-terminated and zero-filled inside size bytes
  kPaddedText,     // code page 1251 text padded with blanks, not terminated
  kBit,            // bit `bit` of one byte (0 or 1)
  kShortDateTime,  // six bytes: year - 2000, month, day, hour, minute, second
  kRateIndex,      // one byte: an index into BaudRateTable, shown in bit/s
  kBytes,          // raw bytes, shown in hex
};

struct ParamSpec {
  std::string name;  // "address", "vrg1.address", "schedule.5.modem"
  uint8_t table = 0;
  uint8_t field = 0;    // field holding the first byte
  uint16_t offset = 0;  // byte offset inside the table
  uint16_t size = 1;    // bytes taken (a bit takes its byte)
  ParamType type = ParamType::kUnsigned;
  uint8_t bit = 0;  // kBit only
  // Valid values; for texts the number of characters. A zero-terminated text
  // the controller fills may take all size bytes (then without terminator).
  int64_t min = 0;
  int64_t max = 0;
  std::string unit;   // "s", "ms", "min", "ds", "bit/s", or empty
  std::string title;  // the Russian label the windows give it, or empty
  // When not empty, the only valid values (inside min..max): 0 and 2 for a
  // VRG line, for example.
  std::vector<int64_t> values;
};

// Every parameter of table t in offset order; empty for numbers without fields.
std::span<const ParamSpec> TableParams(int t);
// The parameter of table t called name; nullptr when there is none.
const ParamSpec* FindParam(int t, std::string_view name);
// The same for names the program itself uses: a name missing from the
// description is a fault of the program (debug builds stop); the result is
// then a parameter of size 0 that reads as 0 and writes nothing.
const ParamSpec& Param(int t, std::string_view name);

// Values inside a table's bytes (ConfigImage::Table(t), or the same table's
// copy in a configuration file record). Nothing is read or written outside
// the parameter's size bytes.

// Unsigned, signed, bit and rate-index parameters (a rate index as stored);
// 0 for the other types.
int64_t GetNumber(const uint8_t* table, const ParamSpec& p);
// Stores value (cut to the parameter's size; a bit keeps the other bits of
// its byte). Other types are left alone.
void SetNumber(uint8_t* table, const ParamSpec& p, int64_t value);
// Text parameters as UTF-8, up to the terminator (or the padding); a text
// without terminator ends at the parameter's size.
std::string GetText(const uint8_t* table, const ParamSpec& p);
// Stores a text: the parameter's bytes are cleared (zeros, or blanks for a
// padded text) and the code page 1251 form is copied in, cut to what fits
// (a zero-terminated text keeps room for its terminator).
void SetText(uint8_t* table, const ParamSpec& p, std::string_view utf8);
// Date-and-time parameters; other types read as no value and are not written.
ShortDateTime GetDateTime(const uint8_t* table, const ParamSpec& p);
void SetDateTime(uint8_t* table, const ParamSpec& p, const ShortDateTime& value);

// The value as the tool prints it: numbers in decimal, a rate index in
// bit/s ("?" with the stored index outside the rate table), texts as they
// are, a date and time as DD.MM.YY HH:MM:SS, bytes in hex.
std::string FormatParam(const uint8_t* table, const ParamSpec& p);
// True when the stored value lies within the parameter's range (a date and
// time: no value, or a real calendar moment).
bool ParamInRange(const uint8_t* table, const ParamSpec& p);

// Table 20's valid ranges depend on the modem the controller requires
// (table 0 field 17); the description holds the widest of them.
struct TimeoutRange {
  uint16_t min = 0;
  uint16_t max = 0;
  std::string_view label;  // the label of that modem's timeouts window
};
// The seven ranges for modem code 0 (SC3000) or 1 (mc55iT), in field order;
// empty for any other code.
std::span<const TimeoutRange> TimeoutRanges(uint8_t modem_code);

}  // namespace kvarta
