#include "monitor/diagnostics.h"

#include <algorithm>
#include <cstring>

#include "link/config_image.h"
#include "link/controller_link.h"
#include "link/diagnostic_flags.h"
#include "link/host.h"
#include "link/result_messages.h"
#include "link/table_service.h"
#include "monitor/monitor_session.h"
#include "platform/cp1251.h"
#include "platform/text_format.h"

namespace kvarta {
namespace {

constexpr size_t kFieldSize = 14;
constexpr int kFieldCount = 10;
constexpr int kFirstVrgField = 6;
constexpr int kVrgByteRow = 48;
constexpr int kFirstRunRow = 64;
constexpr int kScrollLimit = 30;
constexpr int kScrolledMemoHeight = 452;
constexpr int kLineHeight = 15;
constexpr int kPanelMargin = 8;

const char kReserve[] = "Резерв";

// First row of a server byte's group; -1 for a byte without one.
int ServerGroupRow(int byte) {
  switch (byte) {
    case 0:
      return 0;
    case 2:
    case 3:
    case 4:
    case 5:
      return 8 * (byte - 1);
    case 9:
      return 40;
    default:
      return -1;
  }
}

// The rows from the flags the table's description names: the server rows
// as they stand, the VRG rows behind "ВРГ №%d. " and the run rows behind
// "ВРГ №%d. Нитка №%d. ".
std::array<std::string, kDiagnosticMessageCount> MakeMessages() {
  std::array<std::string, kDiagnosticMessageCount> m;
  for (int r = 0; r < 48; ++r) m[r] = kReserve;
  for (int r = kFirstRunRow; r < kDiagnosticMessageCount; ++r) m[r] = kReserve;
  for (const DiagnosticFlagText& f : ServerDiagnosticFlags()) {
    const int group = ServerGroupRow(f.byte);
    if (group >= 0) m[group + f.bit] = f.text;
  }
  for (const DiagnosticFlagText& f : VrgDiagnosticFlags()) {
    if (f.byte == 0) m[kVrgByteRow + f.bit] = std::string(kVrgFlagPrefix) + f.text;
  }
  const std::string run = std::string(kVrgFlagPrefix) + kRunFlagPrefix;
  for (const DiagnosticFlagText& f : RunDiagnosticFlags()) {
    if (f.byte < 4) m[kFirstRunRow + 8 * f.byte + f.bit] = run + f.text;
  }
  return m;
}

bool Defined(int row) {
  const std::string& text = DiagnosticMessages()[row];
  return !text.empty() && text != kReserve;
}

std::string Unknown(int field, int byte, int bit) {
  return Format("Неизвестное сообщение (поле %d, байт %d, бит %d)", field, byte, bit);
}

bool BitSet(const uint8_t* t, int field, int byte, int bit) {
  return (t[field * kFieldSize + byte] >> bit) & 1;
}

void UnknownBits(const uint8_t* t, int field, int first_byte, int last_byte,
                 std::vector<std::string>& out) {
  for (int b = first_byte; b <= last_byte; ++b) {
    for (int n = 0; n < 8; ++n) {
      if (BitSet(t, field, b, n)) out.push_back(Unknown(field, b, n));
    }
  }
}

std::string DateLine(const char* title, const uint8_t* f) {
  return Format("%s: %02d.%02d.%02d  %02d:%02d:%02d", title, f[2], f[1], f[0], f[3], f[4], f[5]);
}

std::string ReplyCode(const uint8_t* f) {
  const uint8_t* end = std::find(f, f + 4, 0);
  return Cp1251ToUtf8(std::string_view(reinterpret_cast<const char*>(f), end - f));
}

void SessionLines(const uint8_t* t, int date_field, const char* date_title, const char* reply_title,
                  const char* completion_title, std::vector<std::string>& out) {
  const uint8_t* date = t + date_field * kFieldSize;
  const uint8_t* reply = date + kFieldSize;
  out.push_back(DateLine(date_title, date));
  UnknownBits(t, date_field, 6, 13, out);
  out.push_back(Format("%s: %s", reply_title, ReplyCode(reply).c_str()));
  UnknownBits(t, date_field + 1, 4, 12, out);
  out.push_back(Format("%s: %d", completion_title, reply[13]));
}

}  // namespace

const std::array<std::string, kDiagnosticMessageCount>& DiagnosticMessages() {
  static const std::array<std::string, kDiagnosticMessageCount> messages = MakeMessages();
  return messages;
}

std::vector<std::string> DecodeDiagnostics(const uint8_t* t) {
  std::vector<std::string> out;
  const auto& messages = DiagnosticMessages();
  for (int f = 0; f <= 1; ++f) {
    const char* prefix = f == 0 ? "Сервер 1" : "Сервер 2";
    for (int b = 0; b < static_cast<int>(kFieldSize); ++b) {
      const int group = ServerGroupRow(b);
      for (int n = 0; n < 8; ++n) {
        if (!BitSet(t, f, b, n)) continue;
        const int row = group + n;
        if (group < 0 || !Defined(row)) {
          out.push_back(Unknown(f, b, n));
        } else if (b == 0) {
          out.push_back(messages[row]);
        } else {
          out.push_back(Format("%s. %s", prefix, messages[row].c_str()));
        }
      }
    }
  }
  SessionLines(t, 2, "Дата завершения последнего сеанса связи",
               "Код ответа сервера в последнем сеансе связи",
               "Код завершения последнего этапа сеанса связи", out);
  SessionLines(t, 4, "Дата завершения последнего записанного сеанса связи",
               "Код ответа сервера в последнем записанном сеансе связи",
               "Код завершения последнего записанного сеанса связи", out);
  for (int v = 0; v < 4; ++v) {
    const int f = kFirstVrgField + v;
    for (int b = 0; b < static_cast<int>(kFieldSize); ++b) {
      for (int n = 0; n < 8; ++n) {
        if (!BitSet(t, f, b, n)) continue;
        if (b == 0) {
          out.push_back(Format(messages[kVrgByteRow + n].c_str(), v + 1));
          continue;
        }
        const int row = b >= 2 ? kFirstRunRow + 8 * ((b - 2) % 4) + n : -1;
        if (row < 0 || !Defined(row)) {
          out.push_back(Unknown(f, b, n));
        } else {
          out.push_back(Format(messages[row].c_str(), v + 1, (b - 2) / 4 + 1));
        }
      }
    }
  }
  return out;
}

DiagnosticMemoSize SizeDiagnosticMemo(size_t lines) {
  DiagnosticMemoSize s;
  s.scroll_bar = lines > static_cast<size_t>(kScrollLimit);
  s.memo_height = s.scroll_bar ? kScrolledMemoHeight : static_cast<int>(lines + 1) * kLineHeight;
  s.panel_height = s.memo_height + kPanelMargin;
  return s;
}

bool ShowDiagnostics(ControllerLink& link, ConfigImage& image, StatusBar* status,
                     MonitorDialogs& dialogs) {
  link.host.SetCursor(CursorShape::kBusy);
  const bool read =
      ReadTableFields(link, image, FieldRange{kDiagnosticTable, 0, kFieldCount}, status, true);
  link.host.SetCursor(CursorShape::kNormal);
  if (!read) return false;
  OutoControlModel window(link, image);
  dialogs.OpenOutoControl(window);
  return true;
}

OutoControlModel::OutoControlModel(ControllerLink& link, ConfigImage& image)
    : link_(link), image_(image) {}

void OutoControlModel::Changed() {
  if (on_change) on_change();
}

void OutoControlModel::Decode() {
  lines = DecodeDiagnostics(copy_.data());
  size = SizeDiagnosticMemo(lines.size());
  ++decode_count_;
}

void OutoControlModel::OnShow() {
  std::memcpy(copy_.data(), image_.Table(kDiagnosticTable), kDiagnosticBytes);
  Decode();
  refreshing_ = false;
  closed_ = false;
  refresh_caption = "Обновлять данные";
  Changed();
}

void OutoControlModel::OnRefreshSwitch() {
  if (refreshing_) {
    if (timer_) timer_->Stop();
    refresh_caption = "Обновлять данные";
    refreshing_ = false;
  } else {
    if (timer_) timer_->Start();
    refresh_caption = "Не обновлять данные";
    refreshing_ = true;
  }
  Changed();
}

void OutoControlModel::OnTimer() {
  if (timer_) timer_->Stop();
  link_.host.PumpMessages();
  if (refreshing_ && !closed_) {
    if (ReadTableFields(link_, image_, FieldRange{kDiagnosticTable, 0, kFieldCount}, nullptr,
                        false)) {
      const uint8_t* fresh = image_.Table(kDiagnosticTable);
      if (std::memcmp(fresh, copy_.data(), kDiagnosticBytes) != 0) {
        std::memcpy(copy_.data(), fresh, kDiagnosticBytes);
        Decode();
        Changed();
      }
    } else if (link_.result_code == kResultCarrierLost) {
      OnClose();
      return;
    }
  }
  link_.host.PumpMessages();
  if (refreshing_ && !closed_ && timer_) timer_->Start();
}

void OutoControlModel::OnExit() {
  OnClose();
}

void OutoControlModel::OnClose() {
  if (timer_) timer_->Stop();
  refreshing_ = false;
  if (!closed_) {
    closed_ = true;
    Changed();
  }
}

}  // namespace kvarta
