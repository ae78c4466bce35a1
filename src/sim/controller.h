// The simulated controller: its 23 tables, address, destroyed-table states and
// the answers it gives to read (1), write (2) and restart (32) requests.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "link/table_catalogue.h"
#include "sim/monitor_tables.h"

namespace kvarta::sim {

// Error codes the controller puts into byte 4 of an error answer.
enum ControllerError : uint8_t {
  kErrUnknownFunction = 1,
  kErrBadLength = 2,
  kErrBadParameters = 4,
  kErrNoSuchTable = 9,
  kErrReadOnly = 12,
  kErrNoSuchField = 13,
  kErrWriteBeyondTable = 14,
  kErrNeedsFullRewrite = 23,
  kErrAccessLevel = 26,
  kErrEmptyUserName = 27,
  kErrEmptyUserCode = 28,
  kErrAdjusterExists = 29,
  kErrAdjusterRemoval = 30,
  kErrLastAdminRemoval = 31,
  kErrDuplicateUserName = 33,
  kErrNotRegistered = 34,
  kErrBadCommandCode = 45,
  kErrBigTableRewriteOrder = 61,
};

class Controller {
 public:
  // Unix time in seconds; the clocks of tables 2 and 10 are derived from it.
  using TimeSource = std::function<int64_t()>;

  // A plausible controller at the given address (see LoadDefaults).
  explicit Controller(uint8_t address = 1);

  // Refills every table with the demo controller's contents and marks all
  // tables intact.
  void LoadDefaults(uint8_t address);

  // Answers one complete request frame (start byte 0xCC to CRC). Returns the
  // answer frame, or nothing when the frame is not for this controller.
  std::vector<uint8_t> Handle(const uint8_t* frame, size_t len);
  std::vector<uint8_t> Handle(const std::vector<uint8_t>& frame) {
    return Handle(frame.data(), frame.size());
  }

  // Takes tables and address kept from an earlier run (destroyed states are
  // those of table 7 in block).
  void LoadState(const std::array<uint8_t, kConfigImageSize>& block, uint8_t address);

  uint8_t Address() const { return address_; }
  // Sets the address and table 3 field 0.
  void SetAddress(uint8_t address);

  // The raw table block, laid out as ConfigImage (table 22 held plain).
  uint8_t* Field(int t, int f);
  const uint8_t* Field(int t, int f) const;
  std::array<uint8_t, kConfigImageSize>& Block() { return block_; }
  const std::array<uint8_t, kConfigImageSize>& Block() const { return block_; }

  // Zero-terminated text starting at field f (UTF-8; it may run on into the
  // following fields, as the controller name of table 3 does), and its setter
  // over `fields` fields (zero-filled, code page 1251, cut to leave room for
  // the terminator).
  std::string FieldText(int t, int f) const;
  void SetFieldText(int t, int f, std::string_view utf8, int fields = 1);

  // Destroyed state of configuration table t (3, 4, 9, 12, 20, 21, 22).
  // Destroying zeroes the table; false for other tables.
  bool SetDestroyed(int t, bool destroyed);
  bool Destroyed(int t) const;

  // Clock of tables 2 and 10 = time source + offset.
  void SetTimeSource(TimeSource source) { time_source_ = std::move(source); }
  // Offsets are kept within the years a controller's clock can show, so that
  // no sum of times can overflow (a state file may hold anything).
  void SetClockOffsetSeconds(int64_t offset) { clock_offset_s_ = ClampClockOffset(offset); }
  static int64_t ClampClockOffset(int64_t offset);
  int64_t ClockOffsetSeconds() const { return clock_offset_s_; }

  int RestartCount() const { return restart_count_; }

  // Table 17: the flag fields (0, 1, 6..9) are cleared and the given bits
  // set (bits of fields 2..5 go on top of the session summary); the blinking
  // ones replace the blinking flags (by default VRG 1 run 1, INS_04).
  void SetDiagnosticFlags(const std::vector<DiagFlag>& flags);
  const std::vector<DiagFlag>& BlinkingFlags() const { return blinking_flags_; }

  // Table 19: a session record of length bytes (0..8000) of text; the rest
  // is zero. A write of table 3 field 4 alone (the clearing request) empties it.
  void SetSessionLength(int length);

  // Table 10: VRG i's clock offset from the controller's, or no clock.
  void SetVrgClockOffset(int vrg, std::optional<int64_t> offset_s);

  // The last accepted write of table 15 (the command table), and how many.
  struct CommandWrite {
    uint8_t first = 0;
    uint8_t count = 0;
    std::vector<uint8_t> values;
  };
  const std::optional<CommandWrite>& LastCommandWrite() const { return last_command_; }
  int CommandWriteCount() const { return command_writes_; }

 private:
  std::vector<uint8_t> HandleRead(const uint8_t* frame, size_t len);
  std::vector<uint8_t> HandleWrite(const uint8_t* frame, size_t len);
  std::vector<uint8_t> HandleRestart(const uint8_t* frame, size_t len);
  std::vector<uint8_t> ErrorAnswer(uint8_t function, uint8_t error, uint8_t table,
                                   uint8_t reason = 0) const;
  std::vector<uint8_t> Finish(std::vector<uint8_t> answer) const;

  // Level of the user with these credentials (bytes 4..19 of a request), 0
  // when none matches.
  int UserLevel(const uint8_t* credentials) const;
  // Error code for a table-4 content that breaks the users rules, 0 if sound.
  uint8_t CheckUsers(const uint8_t* before) const;
  uint8_t CheckValues(int t, int first, int count, const uint8_t* values) const;
  void RefreshClocks();
  void RefreshBlinkingFlags();
  void NoteWrite(int t, int first, int count, const uint8_t* values);
  void RefreshDestroyedSummary();

  std::array<uint8_t, kConfigImageSize> block_{};
  std::array<int, kTableCount> rewrite_next_{};  // next field of a destroyed rewrite
  uint8_t address_ = 1;
  // After a blank-credential rewrite of table 4, further table-4 writes with
  // blank credentials are accepted until some other request comes (the
  // program writes the users table twice in succession).
  bool blank_users_window_ = false;
  int64_t clock_offset_s_ = 0;
  TimeSource time_source_;
  int restart_count_ = 0;
  VrgClockOffsets vrg_clock_offsets_ = kDefaultVrgClockOffsets;
  std::vector<DiagFlag> blinking_flags_ = {{6, 2, 1, true}};
  std::optional<CommandWrite> last_command_;
  int command_writes_ = 0;
};

}  // namespace kvarta::sim
