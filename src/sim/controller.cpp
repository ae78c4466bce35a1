#include "sim/controller.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <ctime>

#include "link/crc16.h"
#include "link/gprs_transform.h"
#include "platform/cp1251.h"

namespace kvarta::sim {
namespace {

// Request layout (frame bytes).
constexpr size_t kCredentials = 4;  // 12-byte password, then 4-byte code
constexpr size_t kCredentialBytes = 16;
constexpr size_t kReadLength = 10;
constexpr size_t kRestartLength = 22;
constexpr size_t kWriteHead = 24;  // values start here
constexpr size_t kWriteOverhead = 26;
constexpr size_t kAnswerHead = 8;  // read values start here
constexpr size_t kMaxFrame = 255;

constexpr size_t kUserSize = 22;
constexpr int kUserCount = 16;

bool IsConfigurationTable(int t) {
  return std::find(kConfigurationTables.begin(), kConfigurationTables.end(), t) !=
         kConfigurationTables.end();
}

bool AllSpaces(const uint8_t* p, size_t n) {
  return std::all_of(p, p + n, [](uint8_t b) { return b == ' '; });
}

// Copies UTF-8 text as code page 1251 into n bytes padded with spaces.
void PutPadded(uint8_t* dst, size_t n, std::string_view utf8) {
  const std::string cp = Utf8ToCp1251(utf8);
  std::memset(dst, ' ', n);
  std::memcpy(dst, cp.data(), std::min(n, cp.size()));
}

// The demo users. These are the documented demo credentials of the simulator:
//   user 1 "Нал", manufacturer-adjuster (level 1): code "1111", password "111111"
//   user 2 "Адм", administrator (level 2):        code "2222", password "222222"
//   user 3 "Опер", operator (level 4):            code "4444", no password
void PutUser(uint8_t* rec, std::string_view name, uint8_t level, std::string_view password,
             std::string_view code) {
  PutPadded(rec, 4, name);
  rec[4] = level;
  rec[5] = 0;
  PutPadded(rec + 6, 12, password);
  PutPadded(rec + 18, 4, code);
}

void PutDateTime(uint8_t* dst, int64_t unix_seconds) {
  const time_t t = static_cast<time_t>(unix_seconds);
  tm local{};
  localtime_r(&t, &local);
  const int year = std::clamp(local.tm_year + 1900 - 2000, 0, 255);
  dst[0] = static_cast<uint8_t>(year);
  dst[1] = static_cast<uint8_t>(local.tm_mon + 1);
  dst[2] = static_cast<uint8_t>(local.tm_mday);
  dst[3] = static_cast<uint8_t>(local.tm_hour);
  dst[4] = static_cast<uint8_t>(local.tm_min);
  dst[5] = static_cast<uint8_t>(local.tm_sec);
}

constexpr int kDiagTable = 17;
constexpr int kSessionTable = 19;
constexpr int kRecordingModeField = 4;  // table 3

// The session record of a chosen length: lines of the kind the controller
// writes, cut to exactly length bytes (code page 1251, no NUL inside).
std::string SessionText(size_t length) {
  std::string text;
  for (int n = 1; text.size() < length; ++n) {
    text += Utf8ToCp1251("24.03.26 01:" + std::to_string(10 + n / 60 % 50) + ":" +
                         std::to_string(10 + n % 50) + " Передан блок данных ВРГ №" +
                         std::to_string(1 + n % 2) + ", строка " + std::to_string(n) + "\r\n");
  }
  text.resize(length);
  return text;
}

int64_t SystemSeconds() {
  return std::chrono::duration_cast<std::chrono::seconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

}  // namespace

Controller::Controller(uint8_t address) : time_source_(SystemSeconds) {
  LoadDefaults(address);
}

uint8_t* Controller::Field(int t, int f) {
  const TableDescriptor& d = TableCatalogue(t);
  if (!d.Exists() || f < 0 || f >= d.field_count) return nullptr;
  return block_.data() + d.offset + static_cast<size_t>(f) * d.field_size;
}

const uint8_t* Controller::Field(int t, int f) const {
  return const_cast<Controller*>(this)->Field(t, f);
}

std::string Controller::FieldText(int t, int f) const {
  const uint8_t* p = Field(t, f);
  if (p == nullptr) return {};
  const TableDescriptor& d = TableCatalogue(t);
  const uint8_t* end = block_.data() + d.offset + d.Bytes();
  const size_t n = std::find(p, end, 0) - p;
  return Cp1251ToUtf8(std::string_view(reinterpret_cast<const char*>(p), n));
}

void Controller::SetFieldText(int t, int f, std::string_view utf8, int fields) {
  uint8_t* p = Field(t, f);
  const TableDescriptor& d = TableCatalogue(t);
  if (p == nullptr || fields < 1 || f + fields > d.field_count) return;
  const size_t size = static_cast<size_t>(fields) * d.field_size;
  const std::string cp = Utf8ToCp1251(utf8);
  std::memset(p, 0, size);
  std::memcpy(p, cp.data(), std::min(size - 1, cp.size()));
}

void Controller::LoadState(const std::array<uint8_t, kConfigImageSize>& block, uint8_t address) {
  block_ = block;
  address_ = address;
  rewrite_next_.fill(0);
  blank_users_window_ = false;
  RefreshDestroyedSummary();
}

void Controller::SetAddress(uint8_t address) {
  address_ = address;
  *Field(3, 0) = address;
}

void Controller::LoadDefaults(uint8_t address) {
  block_.fill(0);
  rewrite_next_.fill(0);
  blank_users_window_ = false;

  // Table 0: identification.
  const uint8_t ident[18] = {0, 64, 2, 4, 15, 3, 25, 10, 30, 0,  // destroyed .. creation date
                             1, 1,  0,                           // byte order, speeds, GPRS S on
                             0, 1,  0, 3,                        // address changeable, protocol
                             1};                                 // modem code
  std::memcpy(Field(0, 0), ident, sizeof ident);

  // Table 1: rates 1200..115200 (bits 2..20) towards the VRGs and the upper level.
  uint32_t mask = 0;
  for (int bit = 2; bit <= 20; ++bit) mask |= 1u << bit;
  for (int f = 0; f < 2; ++f) {
    for (int i = 0; i < 4; ++i) Field(1, f)[i] = static_cast<uint8_t>(mask >> (8 * i));
  }

  // Table 3: link with the upper level.
  uint8_t* t3 = Field(3, 0);
  t3[0] = address;
  t3[1] = 3;     // preambles
  t3[2] = 3;     // delivery attempts
  t3[3] = 0x03;  // send to servers 1 and 2
  t3[4] = 1;     // record every session
  t3[5] = 20;    // wait, s
  t3[6] = 2;     // servers
  t3[7] = 1;     // schedule on
  for (int h = 0; h < 24; ++h) {
    uint8_t* e = t3 + 8 + 4 * h;
    e[0] = (h == 1 || h == 13) ? 1 : 0;
    e[3] = 1;  // modem on
  }
  SetFieldText(3, 104, "Котельная №1", 18);
  address_ = address;

  // Table 4: users; free slots are level 0 and all spaces.
  for (int i = 0; i < kUserCount; ++i) PutUser(Field(4, i), "", 0, "", "");
  PutUser(Field(4, 0), "Нал", 1, "111111", "1111");
  PutUser(Field(4, 1), "Адм", 2, "222222", "2222");
  PutUser(Field(4, 2), "Опер", 4, "", "4444");

  // Table 9: two VRGs.
  uint8_t* t9 = Field(9, 0);
  const uint8_t head[8] = {2, 0, 3, 20, 3, 11, 0, 5};
  std::memcpy(t9, head, sizeof head);
  const uint8_t vrg[2][6] = {{5, 1, 0, 0, 0, 2}, {6, 2, 0, 0, 2, 1}};  // addr, group, if, runs
  const uint8_t servers[2][2] = {{1, 0}, {1, 1}};
  for (int k = 0; k < 2; ++k) {
    uint8_t* r = t9 + 8 + 24 * k;
    std::memcpy(r, vrg[k], 6);
    r[22] = servers[k][0];
    r[23] = servers[k][1];
  }

  // Table 12: authorisation key.
  std::memcpy(Field(12, 0), "12345678", 8);

  // Table 17: a few diagnostic flags and the last sessions.
  Field(17, 0)[2] = 0x01;  // server 1: no answer to a command (phone)
  Field(17, 7)[0] = 0x01;  // VRG 2: no link
  const uint8_t last_session[6] = {26, 3, 24, 13, 0, 12};
  std::memcpy(Field(17, 2), last_session, 6);
  std::memcpy(Field(17, 3), "OK", 2);
  const uint8_t last_recorded[6] = {26, 3, 24, 1, 0, 7};
  std::memcpy(Field(17, 4), last_recorded, 6);
  std::memcpy(Field(17, 5), "OK", 2);

  // Table 19: the last controller-initiated session.
  {
    const std::string text = Utf8ToCp1251(
        "24.03.26 01:00:03 Вызов сервера 1\r\n"
        "AT^SISO=0\r\n"
        "^SISW: 0,1\r\n"
        "Передано суточных отчетов: 2\r\n"
        "24.03.26 01:00:07 Сеанс завершен\r\n");
    std::memcpy(Field(19, 0), text.data(), text.size());
  }

  // Table 20: timeouts, u16 little-endian.
  const uint16_t timeouts[7] = {300, 60, 20, 300, 20, 5, 30};
  for (int f = 0; f < 7; ++f) {
    Field(20, f)[0] = static_cast<uint8_t>(timeouts[f] & 0xFF);
    Field(20, f)[1] = static_cast<uint8_t>(timeouts[f] >> 8);
  }

  // Table 21: modem.
  const char* modem[] = {"ate0;v1;h0", "*100#", "*102#", "*104#", ""};
  for (int f = 0; f < 5; ++f) SetFieldText(21, f, modem[f]);

  // Table 22: GPRS, held plain.
  const char* gprs[] = {"internet", "gdata", "gdata",        "1",    "", "192.0.2.10",
                        "5000",     "",      "198.51.100.7", "5001", ""};
  for (int f = 0; f < 11; ++f) SetFieldText(22, f, gprs[f]);

  RefreshClocks();
  RefreshDestroyedSummary();
}

bool Controller::SetDestroyed(int t, bool destroyed) {
  if (!IsConfigurationTable(t)) return false;
  const TableDescriptor& d = TableCatalogue(t);
  *Field(7, t) = destroyed ? 1 : 0;
  rewrite_next_[t] = 0;
  if (destroyed) std::memset(block_.data() + d.offset, 0, d.Bytes());
  RefreshDestroyedSummary();
  return true;
}

bool Controller::Destroyed(int t) const {
  return t >= 0 && t < kTableCount && *Field(7, t) != 0;
}

void Controller::RefreshDestroyedSummary() {
  uint8_t first = 0;
  for (int t : kConfigurationTables) {
    if (Destroyed(t)) {
      first = static_cast<uint8_t>(t);
      break;
    }
  }
  *Field(0, 0) = first;
}

void Controller::RefreshClocks() {
  const int64_t now = (time_source_ ? time_source_() : SystemSeconds()) + clock_offset_s_;
  PutDateTime(Field(2, 0), now);
  PutDateTime(Field(10, 0), now);
  for (int i = 0; i < 4; ++i) {
    uint8_t* clock = Field(10, 1 + i);
    if (vrg_clock_offsets_[i]) {
      PutDateTime(clock, now + *vrg_clock_offsets_[i]);
    } else {
      std::memset(clock, 0, 6);  // never obtained: month 0
    }
  }
}

std::vector<uint8_t> Controller::Finish(std::vector<uint8_t> answer) const {
  answer[2] = static_cast<uint8_t>(answer.size() + 2);
  const uint16_t crc = Crc16(answer.data(), answer.size());
  answer.push_back(static_cast<uint8_t>(crc & 0xFF));
  answer.push_back(static_cast<uint8_t>(crc >> 8));
  return answer;
}

std::vector<uint8_t> Controller::ErrorAnswer(uint8_t function, uint8_t error, uint8_t table,
                                             uint8_t reason) const {
  return Finish({0x33, address_, 0, static_cast<uint8_t>(function & 0x7F), error, reason, table});
}

std::vector<uint8_t> Controller::Handle(const uint8_t* frame, size_t len) {
  if (frame == nullptr || len < 6 || len > kMaxFrame || frame[0] != 0xCC) return {};
  if (Crc16(frame, len) != 0) return {};
  if (frame[1] != address_ && frame[1] != 255) return {};
  const uint8_t function = frame[3];
  const bool users_write = function == 2 && len > 21 && frame[21] == 4;
  if (!users_write) blank_users_window_ = false;
  if (frame[2] != len) return ErrorAnswer(function, kErrBadLength, 0);
  switch (function) {
    case 1:
      return HandleRead(frame, len);
    case 2:
      return HandleWrite(frame, len);
    case 32:
      return HandleRestart(frame, len);
    default:
      return ErrorAnswer(function, kErrUnknownFunction, 0);
  }
}

std::vector<uint8_t> Controller::HandleRead(const uint8_t* frame, size_t len) {
  if (len != kReadLength) return ErrorAnswer(1, kErrBadLength, len > 5 ? frame[5] : 0);
  const int t = frame[5], first = frame[6], count = frame[7];
  const TableDescriptor& d = TableCatalogue(t);
  if (!d.Exists()) return ErrorAnswer(1, kErrNoSuchTable, frame[5]);
  if (count == 0 || first + count > d.field_count) return ErrorAnswer(1, kErrNoSuchField, frame[5]);
  const size_t bytes = static_cast<size_t>(count) * d.field_size;
  if (bytes + kAnswerHead + 2 > kMaxFrame) return ErrorAnswer(1, kErrBadLength, frame[5]);
  if (t == 2 || t == 10) RefreshClocks();
  if (t == kDiagTable) RefreshBlinkingFlags();

  std::vector<uint8_t> answer = {0x33, address_, 0, 0x81, 0, frame[5], frame[6], frame[7]};
  const uint8_t* values = Field(t, first);
  answer.insert(answer.end(), values, values + bytes);
  if (t == 22 && *Field(0, 12) == 0) {
    for (size_t i = kAnswerHead; i < answer.size(); ++i) answer[i] = kGprsSubstitution[answer[i]];
  }
  return Finish(std::move(answer));
}

int Controller::UserLevel(const uint8_t* credentials) const {
  for (int i = 0; i < kUserCount; ++i) {
    const uint8_t* rec = Field(4, i);
    if (rec[4] == 0) continue;
    if (std::memcmp(rec + 6, credentials, 12) == 0 &&
        std::memcmp(rec + 18, credentials + 12, 4) == 0)
      return rec[4];
  }
  return 0;
}

uint8_t Controller::CheckValues(int t, int first, int count, const uint8_t* values) const {
  const size_t size = TableCatalogue(t).field_size;
  auto covers = [&](int f) { return f >= first && f < first + count; };
  auto value = [&](int f) { return values[(f - first) * size]; };
  if (t == 15 && covers(0) && value(0) > 13) return kErrBadCommandCode;
  if (t == 3 && covers(0) && value(0) == 0) return kErrBadParameters;
  if (t == 3 && covers(6) && (value(6) < 1 || value(6) > 2)) return kErrBadParameters;
  if (t == 9 && covers(0) && (value(0) < 1 || value(0) > 4)) return kErrBadParameters;
  return 0;
}

uint8_t Controller::CheckUsers(const uint8_t* before) const {
  int adjusters = 0, admins = 0, admins_before = 0;
  for (int i = 0; i < kUserCount; ++i) {
    const uint8_t level = Field(4, i)[4];
    if (level > 4) return kErrBadParameters;
    adjusters += level == 1;
    admins += level == 2;
    if (before != nullptr) admins_before += before[i * kUserSize + 4] == 2;
  }
  if (adjusters > 1) return kErrAdjusterExists;
  if (adjusters == 0) return kErrAdjusterRemoval;
  if (admins_before > 0 && admins == 0) return kErrLastAdminRemoval;
  for (int i = 0; i < kUserCount; ++i) {
    const uint8_t* rec = Field(4, i);
    if (rec[4] == 0) continue;
    if (AllSpaces(rec, 4)) return kErrEmptyUserName;
    if (AllSpaces(rec + 18, 4)) return kErrEmptyUserCode;
    for (int j = i + 1; j < kUserCount; ++j) {
      const uint8_t* other = Field(4, j);
      if (other[4] != 0 && std::memcmp(rec, other, 4) == 0) return kErrDuplicateUserName;
    }
  }
  return 0;
}

std::vector<uint8_t> Controller::HandleWrite(const uint8_t* frame, size_t len) {
  const uint8_t table_byte = len > 21 ? frame[21] : 0;
  if (len < kWriteOverhead) return ErrorAnswer(2, kErrBadLength, table_byte);
  const int t = frame[21], first = frame[22], count = frame[23];
  const TableDescriptor& d = TableCatalogue(t);
  if (!d.Exists()) return ErrorAnswer(2, kErrNoSuchTable, table_byte);
  if (!IsConfigurationTable(t) && t != 15) return ErrorAnswer(2, kErrReadOnly, table_byte);
  if (count == 0 || first + count > d.field_count)
    return ErrorAnswer(2, kErrWriteBeyondTable, table_byte);
  const size_t bytes = static_cast<size_t>(count) * d.field_size;
  if (len != kWriteOverhead + bytes) return ErrorAnswer(2, kErrBadLength, table_byte);

  const uint8_t* credentials = frame + kCredentials;
  const bool blank = AllSpaces(credentials, kCredentialBytes);
  const bool blank_accepted = t == 4 && blank && (Destroyed(4) || blank_users_window_);
  if (!blank_accepted) {
    const int level = UserLevel(credentials);
    if (level == 0) return ErrorAnswer(2, kErrNotRegistered, table_byte);
    if (level == 4 && t != 15) return ErrorAnswer(2, kErrAccessLevel, table_byte);
  }

  const bool destroyed = Destroyed(t);
  if (destroyed) {
    if (d.Bytes() <= static_cast<size_t>(kMaxWriteBytes)) {
      if (first != 0 || count != d.field_count)
        return ErrorAnswer(2, kErrNeedsFullRewrite, table_byte);
    } else if (first != 0 && first != rewrite_next_[t]) {
      return ErrorAnswer(2, kErrBigTableRewriteOrder, table_byte);
    }
  }

  std::vector<uint8_t> values(frame + kWriteHead, frame + kWriteHead + bytes);
  if (t == 22 && *Field(0, 12) == 0) {
    for (uint8_t& b : values) b = kGprsSubstitutionInverse[b];
  }
  if (uint8_t err = CheckValues(t, first, count, values.data()))
    return ErrorAnswer(2, err, table_byte);

  const std::vector<uint8_t> before(block_.begin() + d.offset,
                                    block_.begin() + d.offset + d.Bytes());
  std::memcpy(Field(t, first), values.data(), bytes);
  const bool completes = destroyed && first + count == d.field_count;
  if (t == 4 && (!destroyed || completes)) {
    if (uint8_t err = CheckUsers(destroyed ? nullptr : before.data())) {
      std::memcpy(block_.data() + d.offset, before.data(), before.size());
      if (destroyed) rewrite_next_[t] = 0;
      return ErrorAnswer(2, err, table_byte);
    }
  }
  if (destroyed) {
    rewrite_next_[t] = first + count;
    if (completes) SetDestroyed(t, false);
  }
  if (t == 3 && first == 0) address_ = *Field(3, 0);
  NoteWrite(t, first, count, values.data());
  if (blank_accepted) blank_users_window_ = true;

  return Finish({0x33, address_, 0, 0x82, 0, frame[21], frame[22], frame[23]});
}

std::vector<uint8_t> Controller::HandleRestart(const uint8_t* frame, size_t len) {
  if (len != kRestartLength) return ErrorAnswer(32, kErrBadLength, 0);
  if (UserLevel(frame + kCredentials) == 0) return ErrorAnswer(32, kErrNotRegistered, 0);
  ++restart_count_;
  std::memset(Field(15, 0), 0, TableCatalogue(15).Bytes());
  return Finish({0x33, address_, 0, 0xA0, 0});
}

void Controller::SetDiagnosticFlags(const std::vector<DiagFlag>& flags) {
  for (int f : {0, 1, 6, 7, 8, 9})
    std::memset(Field(kDiagTable, f), 0, TableCatalogue(kDiagTable).field_size);
  std::vector<DiagFlag> blinking;
  for (const DiagFlag& flag : flags) {
    uint8_t* field = Field(kDiagTable, flag.field);
    if (field == nullptr || flag.byte >= TableCatalogue(kDiagTable).field_size || flag.bit > 7)
      continue;
    if (flag.blinking) {
      blinking.push_back(flag);
    } else {
      field[flag.byte] |= static_cast<uint8_t>(1u << flag.bit);
    }
  }
  blinking_flags_ = std::move(blinking);
}

void Controller::RefreshBlinkingFlags() {
  const int64_t now = time_source_ ? time_source_() : SystemSeconds();
  const bool on = (now / kBlinkSeconds) % 2 == 0;
  for (const DiagFlag& flag : blinking_flags_) {
    uint8_t* field = Field(kDiagTable, flag.field);
    if (field == nullptr) continue;
    const uint8_t mask = static_cast<uint8_t>(1u << flag.bit);
    field[flag.byte] = on ? (field[flag.byte] | mask) : (field[flag.byte] & ~mask);
  }
}

void Controller::SetSessionLength(int length) {
  const TableDescriptor& d = TableCatalogue(kSessionTable);
  const size_t n = static_cast<size_t>(std::clamp<int>(length, 0, static_cast<int>(d.Bytes())));
  uint8_t* record = Field(kSessionTable, 0);
  std::memset(record, 0, d.Bytes());
  const std::string text = SessionText(n);
  std::memcpy(record, text.data(), text.size());
}

void Controller::SetVrgClockOffset(int vrg, std::optional<int64_t> offset_s) {
  if (vrg >= 0 && vrg < static_cast<int>(vrg_clock_offsets_.size()))
    vrg_clock_offsets_[vrg] = offset_s;
}

void Controller::NoteWrite(int t, int first, int count, const uint8_t* values) {
  if (t == 15) {
    const size_t bytes = static_cast<size_t>(count) * TableCatalogue(15).field_size;
    last_command_ = CommandWrite{static_cast<uint8_t>(first), static_cast<uint8_t>(count),
                                 std::vector<uint8_t>(values, values + bytes)};
    ++command_writes_;
  }
  // The program's clearing request writes the recording mode back alone.
  if (t == 3 && first == kRecordingModeField && count == 1) {
    std::memset(Field(kSessionTable, 0), 0, TableCatalogue(kSessionTable).Bytes());
  }
}

}  // namespace kvarta::sim
