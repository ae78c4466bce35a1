#include "sim/controller.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <ctime>

#include "link/crc16.h"
#include "link/gprs_transform.h"
#include "link/table_layout.h"
#include "platform/cp1251.h"
#include "platform/text_format.h"

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

namespace t4 = layout::t4;
constexpr size_t kUserSize = t4::kUserSize;
constexpr int kUserCount = t4::kUserCount;

bool IsConfigurationTable(int t) {
  return std::find(kConfigurationTables.begin(), kConfigurationTables.end(), t) !=
         kConfigurationTables.end();
}

bool AllSpaces(const uint8_t* p, size_t n) {
  return std::all_of(p, p + n, [](uint8_t b) { return b == ' '; });
}

// The demo users. These are the documented demo credentials of the simulator:
//   user 1 "Нал", manufacturer-adjuster (level 1): code "1111", password "111111"
//   user 2 "Адм", administrator (level 2):        code "2222", password "222222"
//   user 3 "Опер", operator (level 4):            code "4444", no password
void PutUser(uint8_t* users, int number, std::string_view name, uint8_t level,
             std::string_view password, std::string_view code) {
  const std::string user = Format("user%d.", number);
  SetText(users, Param(4, user + "name"), name);
  SetNumber(users, Param(4, user + "level"), level);
  users[(number - 1) * kUserSize + t4::kReserved] = 0;
  SetText(users, Param(4, user + "password"), password);
  SetText(users, Param(4, user + "code"), code);
}

ShortDateTime LocalDateTime(int64_t unix_seconds) {
  const time_t t = static_cast<time_t>(unix_seconds);
  tm local{};
  localtime_r(&t, &local);
  ShortDateTime d;
  d.year = static_cast<uint8_t>(std::clamp(local.tm_year + 1900 - 2000, 0, 255));
  d.month = static_cast<uint8_t>(local.tm_mon + 1);
  d.day = static_cast<uint8_t>(local.tm_mday);
  d.hour = static_cast<uint8_t>(local.tm_hour);
  d.minute = static_cast<uint8_t>(local.tm_min);
  d.second = static_cast<uint8_t>(local.tm_sec);
  return d;
}

constexpr int kDiagTable = 17;
constexpr int kSessionTable = 19;
constexpr int kRecordingModeField = layout::t3::kRecordingMode;

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
  *Field(3, layout::t3::kAddress) = address;
}

void Controller::LoadDefaults(uint8_t address) {
  block_.fill(0);
  rewrite_next_.fill(0);
  blank_users_window_ = false;

  // Table 0: identification.
  uint8_t* t0 = Field(0, 0);
  const std::pair<const char*, uint8_t> ident[] = {
      {"controller_type", 64},
      {"hardware_version", 2},
      {"software_version", 4},
      {"build_year", 15},
      {"build_month", 3},
      {"build_day", 25},
      {"build_hour", 10},
      {"build_minute", 30},
      {"build_second", 0},
      {"byte_order", 1},
      {"multi_speed", 1},
      {"gprs_plain", 0},  // GPRS S on
      {"fixed_address", 0},
      {"protocol_major", 1},
      {"protocol_minor", 0},
      {"protocol_revision", 3},
      {"modem_type", layout::t0::kModemMc55it},
  };
  for (const auto& [name, value] : ident) SetNumber(t0, Param(0, name), value);

  // Table 1: rates 1200..115200 (bits 2..20) towards the VRGs and the upper level.
  uint32_t mask = 0;
  for (int bit = 2; bit <= 20; ++bit) mask |= 1u << bit;
  SetNumber(Field(1, 0), Param(1, "vrg_speed_mask"), mask);
  SetNumber(Field(1, 0), Param(1, "upper_speed_mask"), mask);

  // Table 3: link with the upper level.
  uint8_t* t3 = Field(3, 0);
  const std::pair<const char*, uint8_t> link[] = {
      {"address", address},  {"answer_preambles", 3}, {"delivery_attempts", 3},
      {"send_server1", 1},   {"send_server2", 1},     {"recording_mode", 1},  // every session
      {"answer_wait_s", 20}, {"servers", 2},          {"use_schedule", 1},
  };
  for (const auto& [name, value] : link) SetNumber(t3, Param(3, name), value);
  for (int h = 0; h < layout::t3::kScheduleHours; ++h) {
    const std::string hour = Format("schedule.%d.", h);
    SetNumber(t3, Param(3, hour + "server1"), (h == 1 || h == 13) ? 1 : 0);
    SetNumber(t3, Param(3, hour + "modem"), 1);
  }
  SetText(t3, Param(3, "name"), "Котельная №1");
  address_ = address;

  // Table 4: users; free slots are level 0 and all spaces.
  uint8_t* t4 = Field(4, 0);
  for (int i = 1; i <= kUserCount; ++i) PutUser(t4, i, "", 0, "", "");
  PutUser(t4, 1, "Нал", 1, "111111", "1111");
  PutUser(t4, 2, "Адм", 2, "222222", "2222");
  PutUser(t4, 3, "Опер", 4, "", "4444");

  // Table 9: two VRGs.
  uint8_t* t9 = Field(9, 0);
  const std::pair<const char*, uint8_t> polling[] = {
      {"vrg_count", 2},        {"vrg_preambles", 3}, {"vrg_answer_wait_ds", 20},
      {"failed_exchanges", 3}, {"vrg_speed", 11},    {"send_delay_min", 5},  // 9600 bit/s
  };
  for (const auto& [name, value] : polling) SetNumber(t9, Param(9, name), value);
  struct DemoVrg {
    uint8_t address;
    uint32_t group;
    uint8_t interface;
    uint8_t runs;
    uint8_t server1;
    uint8_t server2;
  };
  const DemoVrg vrgs[] = {{5, 1, layout::t9::kInterfaceRs232, 2, 1, 0},
                          {6, 2, layout::t9::kInterfaceBell202, 1, 1, 1}};
  for (int k = 0; k < 2; ++k) {
    const std::string vrg = Format("vrg%d.", k + 1);
    SetNumber(t9, Param(9, vrg + "address"), vrgs[k].address);
    SetNumber(t9, Param(9, vrg + "group"), vrgs[k].group);
    SetNumber(t9, Param(9, vrg + "interface"), vrgs[k].interface);
    SetNumber(t9, Param(9, vrg + "runs"), vrgs[k].runs);
    SetNumber(t9, Param(9, vrg + "server1"), vrgs[k].server1);
    SetNumber(t9, Param(9, vrg + "server2"), vrgs[k].server2);
  }

  // Table 12: authorisation key.
  SetText(Field(12, 0), Param(12, "authorisation_key"), "12345678");

  // Table 17: a few diagnostic flags and the last sessions.
  uint8_t* t17 = Field(17, 0);
  SetNumber(t17, Param(17, "server1.phone_no_answer"), 1);
  SetNumber(t17, Param(17, "vrg2.no_link"), 1);
  SetDateTime(t17, Param(17, "last_session_end"), {26, 3, 24, 13, 0, 12});
  SetText(t17, Param(17, "last_session_reply"), "OK");
  SetDateTime(t17, Param(17, "last_recorded_session_end"), {26, 3, 24, 1, 0, 7});
  SetText(t17, Param(17, "last_recorded_session_reply"), "OK");

  // Table 19: the last controller-initiated session.
  SetText(Field(19, 0), Param(19, "session_text"),
          "24.03.26 01:00:03 Вызов сервера 1\r\n"
          "AT^SISO=0\r\n"
          "^SISW: 0,1\r\n"
          "Передано суточных отчетов: 2\r\n"
          "24.03.26 01:00:07 Сеанс завершен\r\n");

  // Table 20: timeouts.
  uint8_t* t20 = Field(20, 0);
  const std::pair<const char*, uint16_t> timeouts[] = {
      {"open_wait_s", 300},       {"start_wait_s", 60},         {"write_wait_s", 20},
      {"close_wait_s", 300},      {"phone_request_wait_s", 20}, {"modem_busy_max_min", 5},
      {"sim_balance_wait_s", 30},
  };
  for (const auto& [name, value] : timeouts) SetNumber(t20, Param(20, name), value);

  // Table 21: modem.
  uint8_t* t21 = Field(21, 0);
  const std::pair<const char*, const char*> modem[] = {
      {"init_string", "ate0;v1;h0"},
      {"balance_phone", "*100#"},
      {"traffic_phone", "*102#"},
      {"payment_phone", "*104#"},
  };
  for (const auto& [name, text] : modem) SetText(t21, Param(21, name), text);

  // Table 22: GPRS, held plain.
  uint8_t* t22 = Field(22, 0);
  const std::pair<const char*, const char*> gprs[] = {
      {"apn", "internet"},
      {"user", "gdata"},
      {"password", "gdata"},
      {"connection_type", "1"},
      {"server1_ip", "192.0.2.10"},
      {"server1_port", "5000"},
      {"server2_ip", "198.51.100.7"},
      {"server2_port", "5001"},
  };
  for (const auto& [name, text] : gprs) SetText(t22, Param(22, name), text);

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
  SetDateTime(Field(2, 0), Param(2, "clock"), LocalDateTime(now));
  uint8_t* t10 = Field(10, 0);
  SetDateTime(t10, Param(10, "controller_clock"), LocalDateTime(now));
  for (int i = 0; i < 4; ++i) {
    // A VRG without an offset never gave its clock: month 0, no value.
    const std::optional<int64_t>& offset = vrg_clock_offsets_[i];
    SetDateTime(t10, Param(10, "vrg_clock" + std::to_string(i + 1)),
                offset ? LocalDateTime(now + *offset) : ShortDateTime{});
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
  if (t == 22 && *Field(0, layout::t0::kGprsPlain) == 0) {
    for (size_t i = kAnswerHead; i < answer.size(); ++i) answer[i] = kGprsSubstitution[answer[i]];
  }
  return Finish(std::move(answer));
}

int Controller::UserLevel(const uint8_t* credentials) const {
  for (int i = 0; i < kUserCount; ++i) {
    const uint8_t* rec = Field(4, i);
    if (rec[t4::kLevel] == 0) continue;
    if (std::memcmp(rec + t4::kPassword, credentials, t4::kPasswordSize) == 0 &&
        std::memcmp(rec + t4::kCode, credentials + t4::kPasswordSize, t4::kCodeSize) == 0)
      return rec[t4::kLevel];
  }
  return 0;
}

uint8_t Controller::CheckValues(int t, int first, int count, const uint8_t* values) const {
  const size_t size = TableCatalogue(t).field_size;
  auto covers = [&](int f) { return f >= first && f < first + count; };
  auto value = [&](int f) { return values[(f - first) * size]; };
  namespace t3 = layout::t3;
  namespace t9 = layout::t9;
  namespace t15 = layout::t15;
  if (t == 15 && covers(t15::kCommand) && value(t15::kCommand) > 13) return kErrBadCommandCode;
  if (t == 3 && covers(t3::kAddress) && value(t3::kAddress) == 0) return kErrBadParameters;
  if (t == 3 && covers(t3::kServers) && (value(t3::kServers) < 1 || value(t3::kServers) > 2))
    return kErrBadParameters;
  if (t == 9 && covers(t9::kVrgCount) &&
      (value(t9::kVrgCount) < 1 || value(t9::kVrgCount) > t9::kMaxVrgs))
    return kErrBadParameters;
  return 0;
}

uint8_t Controller::CheckUsers(const uint8_t* before) const {
  int adjusters = 0, admins = 0, admins_before = 0;
  for (int i = 0; i < kUserCount; ++i) {
    const uint8_t level = Field(4, i)[t4::kLevel];
    if (level > t4::kMaxLevel) return kErrBadParameters;
    adjusters += level == 1;
    admins += level == 2;
    if (before != nullptr) admins_before += before[i * kUserSize + t4::kLevel] == 2;
  }
  if (adjusters > 1) return kErrAdjusterExists;
  if (adjusters == 0) return kErrAdjusterRemoval;
  if (admins_before > 0 && admins == 0) return kErrLastAdminRemoval;
  for (int i = 0; i < kUserCount; ++i) {
    const uint8_t* rec = Field(4, i);
    if (rec[t4::kLevel] == 0) continue;
    if (AllSpaces(rec + t4::kName, t4::kNameSize)) return kErrEmptyUserName;
    if (AllSpaces(rec + t4::kCode, t4::kCodeSize)) return kErrEmptyUserCode;
    for (int j = i + 1; j < kUserCount; ++j) {
      const uint8_t* other = Field(4, j);
      if (other[t4::kLevel] != 0 &&
          std::memcmp(rec + t4::kName, other + t4::kName, t4::kNameSize) == 0)
        return kErrDuplicateUserName;
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
  if (t == 22 && *Field(0, layout::t0::kGprsPlain) == 0) {
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
  if (t == 3 && first == layout::t3::kAddress) address_ = *Field(3, layout::t3::kAddress);
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

int64_t Controller::ClampClockOffset(int64_t offset) {
  // 300 years either way: the six-byte clock spans 256 years.
  constexpr int64_t kLimit = 300LL * 366 * 86400;
  return std::clamp(offset, -kLimit, kLimit);
}

void Controller::SetVrgClockOffset(int vrg, std::optional<int64_t> offset_s) {
  if (offset_s) offset_s = ClampClockOffset(*offset_s);
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
