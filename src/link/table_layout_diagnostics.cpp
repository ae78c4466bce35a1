// Table 17: the named diagnostic flags and the summary of the last sessions.
// A flag's title is the line the diagnostics window shows for it. Bits
// without a defined meaning are not described.
#include "link/diagnostic_flags.h"
#include "link/table_layout_build.h"
#include "platform/text_format.h"

namespace kvarta {
namespace {

// Server fields: byte 0 the controller itself, the others modem and link.
// Bit 1 of byte 0 is a flag of its own whose text names field 0 on either server.
constexpr DiagnosticFlagText kServerFlags[] = {
    {0, 0, "eeprom_fault", "Неисправна EEPROM-память контроллера"},
    {0, 1, "unknown_message", "Неизвестное сообщение (поле 0, байт 0, бит 1)"},
    {0, 2, "table_destroyed", "Разрушена таблица контроллера"},
    {2, 0, "phone_no_answer", "Не получен ответ на команду (телефон)"},
    {2, 1, "hang_up_1_failed", "Нештатное завершение команды HANG_UP_1"},
    {2, 4, "incoming_init_failed", "Не прошла инициализация модема для приема входящих звонков"},
    {2, 6, "ata_failed", "Нештатное завершение команды ATA"},
    {3, 0, "hang_up_2_failed", "Нештатное завершение команды HANG_UP_2"},
    {3, 3, "sim_balance_failed", "Нештатное завершение запроса состояния счета SIM-карты модема"},
    {3, 4, "traffic_query_failed", "Нештатное завершение запроса остатка оплаченного трафика"},
    {3, 5, "traffic_payment_failed", "Нештатное завершение запроса на оплату трафика"},
    {3, 6, "at_p_gsn_failed", "Нештатное завершение команды  AT_P_GSN"},
    {3, 7, "at_u_scid_failed", "Нештатное завершение команды  AT_U_SCID"},
    {4, 0, "at_u_sisi_qm_failed", "Нештатное завершение команды  AT_U_SISI_QM"},
    {4, 1, "at_u_sisc_failed", "Нештатное завершение команды AT_U_SISC"},
    {4, 2, "at_u_sici0_failed", "Нештатное завершение команды AT_U_SICI0"},
    {4, 3, "at_u_sics0_0_failed", "Нештатное завершение команды AT_U_SICS0_0"},
    {4, 4, "at_u_sics0_1_failed", "Нештатное завершение команды AT_U_SICS0_1"},
    {4, 5, "at_u_sics0_2_failed", "Нештатное завершение команды AT_U_SICS0_2"},
    {4, 6, "at_u2_siss0_3_failed", "Нештатное завершение команды AT_U2_SISS0_3"},
    {4, 7, "at_u2_siss0_0_failed", "Нештатное завершение команды AT_U2_SISS0_0"},
    {5, 0, "at_u2_siss0_1_failed", "Нештатное завершение команды AT_U2_SISS0_1"},
    {5, 1, "at_u2_siss0_2_failed", "Нештатное завершение команды AT_U2_SISS0_2"},
    {5, 2, "at_u2_siso0_failed", "Нештатное завершение команды AT_U2_SISO0"},
    {5, 3, "at_u_sisc0_failed", "Нештатное завершение команды AT_U_SISC0"},
    {5, 4, "at_p_cfun_1_1_failed", "Нештатное завершение команды AT_P_CFUN_1_1"},
    {5, 5, "rtv_data_failed", "Нештатное завершение команды RTV_DATA"},
    {9, 3, "gprs_no_answer", "Не получен ответ на команду (GPRS)"},
    {9, 4, "modem_restarted", "Модем рестартовал"},
    {9, 5, "break_421", "Поступило сообщение \"421\" о разрыве связи"},
    {9, 6, "break_sis", "Поступило сообщение \"^SIS:0,0,…\" о разрыве связи"},
    {9, 7, "modem_busy_exceeded",
     "Превышена макс. доп. длит. занятия модема для отправки сообщения"},
};

// Byte 0 of a VRG field.
constexpr DiagnosticFlagText kVrgFlags[] = {
    {0, 0, "no_link", "Нет связи"},
    {0, 1, "ide_12_missing", "Не получены параметры идентификации и состояние (IDE_12)"},
    {0, 2, "sys_34_missing", "Не получены системные параметры (SYS_34)"},
    {0, 3, "tim_29_missing", "Не получено время (TIM_29)"},
    {0, 4, "ide_01_missing", "Не получены параметры идентификации (IDE_01)"},
    {0, 5, "rdp_08_missing", "Не получены неизменяемые параметры конфигурации (RDP_08)"},
    {0, 6, "wrp_09_missing", "Не получены изменяемые параметры конфигурации (WRP_09)"},
    {0, 7, "config_destroyed", "Разрушены параметры конфигурации"},
};

// The four bytes of one run; byte is counted from the run's first byte.
constexpr DiagnosticFlagText kRunFlags[] = {
    {0, 0, "sta_02_missing", "Не получены  (STA_02)"},
    {0, 1, "ins_04_missing", "Не получены мгновенные данные (INS_04)"},
    {0, 2, "adj_28_missing", "Не получены параметры измерительных каналов (ADJ_28)"},
    {0, 3, "daa_31_missing", "Не получены суточные аварийные данные (DAA_31)"},
    {0, 4, "daa_32_missing", "Не получены суточные аварийные данные (DAA_32)"},
    {0, 5, "daa_39_missing", "Не получены суточные аварийные данные (DAA_39)"},
    {0, 6, "day_20_missing", "Не получены суточные данные (DAY_20)"},
    {0, 7, "day_36_missing", "Не получены суточные данные (DAY_36)"},
    {1, 0, "day_40_v37_missing", "Не получены суточные данные (DAY_40_v37)"},
    {1, 1, "day_40_v38_missing", "Не получены суточные данные (DAY_40_v38)"},
    {1, 2, "day_40_v45_missing", "Не получены суточные данные (DAY_40_v45)"},
    {1, 3, "hou_19_missing", "Не получены часовые  данные (HOU_19)"},
    {1, 4, "hou_25_missing", "Не получены часовые  данные (HOU_25)"},
    {1, 5, "hou_37_missing", "Не получены часовые  данные (HOU_37)"},
    {1, 6, "hou_44_missing", "Не получены часовые  данные (HOU_44)"},
    {1, 7, "ala_18_missing", "Не получены диагностические сообщения (ALA_18)"},
    {2, 0, "ala_23_missing", "Не получены диагностические сообщения (ALA_23)"},
    {2, 1, "als_33_missing", "Не получены аварийные ситуации (ALS_33)"},
    {2, 2, "als_42_missing", "Не получены аварийные ситуации (ALS_42)"},
    {2, 3, "aud_17_missing", "Не получены вмешательства оператора (AUD_17)"},
    {2, 4, "aud_22_missing", "Не получены вмешательства оператора (AUD_22)"},
    {2, 5, "sta_03_not_written", "Не записаны статические параметры (STA_03)"},
    {2, 6, "ost_10_not_written", "Не записаны оперативные статические параметры (OST_10)"},
    {2, 7, "imitation_missing", "Не получены параметры имитации"},
    {3, 0, "alarm_index_range_missing",
     "Не получен диапазон индексов записей архива авар. ситуаций"},
    {3, 7, "gas_params_not_written", "Параметры газа не записаны"},
};

}  // namespace

std::span<const DiagnosticFlagText> ServerDiagnosticFlags() {
  return kServerFlags;
}

std::span<const DiagnosticFlagText> VrgDiagnosticFlags() {
  return kVrgFlags;
}

std::span<const DiagnosticFlagText> RunDiagnosticFlags() {
  return kRunFlags;
}

}  // namespace kvarta

namespace kvarta::layout_build {
namespace {

namespace t17 = layout::t17;

constexpr int kServers = 2;
constexpr int kRuns = 3;

void ServerFlags(TableBuilder& b) {
  for (int s = 0; s < kServers; ++s) {
    const int field = b.FieldOffset(t17::kServerFlags + s);
    const std::string prefix = Format("server%d.", s + 1);
    const std::string shown = Format(kServerFlagPrefix, s + 1);
    for (const DiagnosticFlagText& f : ServerDiagnosticFlags()) {
      // The controller's own flags are shown without the server.
      b.Bit(prefix + f.name, field + f.byte, f.bit, (f.byte == 0 ? "" : shown) + f.text);
    }
  }
}

void SessionSummary(TableBuilder& b) {
  b.DateTime("last_session_end", b.FieldOffset(t17::kLastSession),
             "Дата завершения последнего сеанса связи");
  const int result = b.FieldOffset(t17::kLastSessionResult);
  b.Text("last_session_reply", result, t17::kReplySize, t17::kReplySize,
         "Код ответа сервера в последнем сеансе связи");
  b.Number("last_session_completion", result + t17::kCompletion, 1, 0, 255, "",
           "Код завершения последнего этапа сеанса связи");
  b.DateTime("last_recorded_session_end", b.FieldOffset(t17::kLastRecordedSession),
             "Дата завершения последнего записанного сеанса связи");
  const int recorded = b.FieldOffset(t17::kLastRecordedSessionResult);
  b.Text("last_recorded_session_reply", recorded, t17::kReplySize, t17::kReplySize,
         "Код ответа сервера в последнем записанном сеансе связи");
  b.Number("last_recorded_session_completion", recorded + t17::kCompletion, 1, 0, 255, "",
           "Код завершения последнего записанного сеанса связи");
}

void VrgFlags(TableBuilder& b) {
  for (int v = 0; v < layout::t9::kMaxVrgs; ++v) {
    const int field = b.FieldOffset(t17::kVrgFlags + v);
    const std::string prefix = Format("vrg%d.", v + 1);
    const std::string shown = Format(kVrgFlagPrefix, v + 1);
    for (const DiagnosticFlagText& f : VrgDiagnosticFlags()) {
      b.Bit(prefix + f.name, field + f.byte, f.bit, shown + f.text);
    }
    for (int r = 0; r < kRuns; ++r) {
      const int run = field + t17::kRunFlags + t17::kRunFlagBytes * r;
      const std::string run_prefix = prefix + Format("run%d.", r + 1);
      const std::string run_shown = shown + Format(kRunFlagPrefix, r + 1);
      for (const DiagnosticFlagText& f : RunDiagnosticFlags()) {
        b.Bit(run_prefix + f.name, run + f.byte, f.bit, run_shown + f.text);
      }
    }
  }
}

}  // namespace

void DescribeDiagnostics(Description& d) {
  TableBuilder b(17, d[17]);
  ServerFlags(b);
  SessionSummary(b);
  VrgFlags(b);
}

}  // namespace kvarta::layout_build
