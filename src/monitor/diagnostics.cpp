#include "monitor/diagnostics.h"

#include <algorithm>
#include <cstring>

#include "link/config_image.h"
#include "link/controller_link.h"
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

std::array<std::string, kDiagnosticMessageCount> MakeMessages() {
  std::array<std::string, kDiagnosticMessageCount> m;
  for (int r = 0; r < 48; ++r) m[r] = kReserve;
  for (int r = 89; r <= 94; ++r) m[r] = kReserve;
  m[0] = "Неисправна EEPROM-память контроллера";
  m[1] = "Неизвестное сообщение (поле 0, байт 0, бит 1)";
  m[2] = "Разрушена таблица контроллера";
  m[8] = "Не получен ответ на команду (телефон)";
  m[9] = "Нештатное завершение команды HANG_UP_1";
  m[12] = "Не прошла инициализация модема для приема входящих звонков";
  m[14] = "Нештатное завершение команды ATA";
  m[16] = "Нештатное завершение команды HANG_UP_2";
  m[19] = "Нештатное завершение запроса состояния счета SIM-карты модема";
  m[20] = "Нештатное завершение запроса остатка оплаченного трафика";
  m[21] = "Нештатное завершение запроса на оплату трафика";
  m[22] = "Нештатное завершение команды  AT_P_GSN";
  m[23] = "Нештатное завершение команды  AT_U_SCID";
  m[24] = "Нештатное завершение команды  AT_U_SISI_QM";
  const char* at_commands[] = {"AT_U_SISC",     "AT_U_SICI0",    "AT_U_SICS0_0",  "AT_U_SICS0_1",
                               "AT_U_SICS0_2",  "AT_U2_SISS0_3", "AT_U2_SISS0_0", "AT_U2_SISS0_1",
                               "AT_U2_SISS0_2", "AT_U2_SISO0",   "AT_U_SISC0",    "AT_P_CFUN_1_1",
                               "RTV_DATA"};
  for (int i = 0; i < 13; ++i)
    m[25 + i] = std::string("Нештатное завершение команды ") + at_commands[i];
  m[43] = "Не получен ответ на команду (GPRS)";
  m[44] = "Модем рестартовал";
  m[45] = "Поступило сообщение \"421\" о разрыве связи";
  m[46] = "Поступило сообщение \"^SIS:0,0,…\" о разрыве связи";
  m[47] = "Превышена макс. доп. длит. занятия модема для отправки сообщения";

  m[48] = "ВРГ №%d. Нет связи";
  m[49] = "ВРГ №%d. Не получены параметры идентификации и состояние (IDE_12)";
  m[50] = "ВРГ №%d. Не получены системные параметры (SYS_34)";
  m[51] = "ВРГ №%d. Не получено время (TIM_29)";
  m[52] = "ВРГ №%d. Не получены параметры идентификации (IDE_01)";
  m[53] = "ВРГ №%d. Не получены неизменяемые параметры конфигурации (RDP_08)";
  m[54] = "ВРГ №%d. Не получены изменяемые параметры конфигурации (WRP_09)";
  m[55] = "ВРГ №%d. Разрушены параметры конфигурации";

  const std::string run = "ВРГ №%d. Нитка №%d. ";
  m[64] = run + "Не получены  (STA_02)";
  m[65] = run + "Не получены мгновенные данные (INS_04)";
  m[66] = run + "Не получены параметры измерительных каналов (ADJ_28)";
  const char* daa[] = {"(DAA_31)", "(DAA_32)", "(DAA_39)"};
  for (int i = 0; i < 3; ++i) m[67 + i] = run + "Не получены суточные аварийные данные " + daa[i];
  const char* day[] = {"(DAY_20)", "(DAY_36)", "(DAY_40_v37)", "(DAY_40_v38)", "(DAY_40_v45)"};
  for (int i = 0; i < 5; ++i) m[70 + i] = run + "Не получены суточные данные " + day[i];
  const char* hou[] = {"(HOU_19)", "(HOU_25)", "(HOU_37)", "(HOU_44)"};
  for (int i = 0; i < 4; ++i) m[75 + i] = run + "Не получены часовые  данные " + hou[i];
  const char* ala[] = {"(ALA_18)", "(ALA_23)"};
  for (int i = 0; i < 2; ++i) m[79 + i] = run + "Не получены диагностические сообщения " + ala[i];
  const char* als[] = {"(ALS_33)", "(ALS_42)"};
  for (int i = 0; i < 2; ++i) m[81 + i] = run + "Не получены аварийные ситуации " + als[i];
  const char* aud[] = {"(AUD_17)", "(AUD_22)"};
  for (int i = 0; i < 2; ++i) m[83 + i] = run + "Не получены вмешательства оператора " + aud[i];
  m[85] = run + "Не записаны статические параметры (STA_03)";
  m[86] = run + "Не записаны оперативные статические параметры (OST_10)";
  m[87] = run + "Не получены параметры имитации";
  m[88] = run + "Не получен диапазон индексов записей архива авар. ситуаций";
  m[95] = run + "Параметры газа не записаны";
  return m;
}

bool Defined(int row) {
  const std::string& text = DiagnosticMessages()[row];
  return !text.empty() && text != kReserve;
}

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
