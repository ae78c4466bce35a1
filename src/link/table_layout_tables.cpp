// The parameters of the identification, configuration, clock, command and
// session tables.
#include "link/table_layout_build.h"
#include "platform/text_format.h"

namespace kvarta::layout_build {
namespace {

constexpr int64_t kByteMax = 255;

void Identification(TableBuilder& b) {
  namespace t0 = layout::t0;
  const std::string built = "Дата и время создания ПО";
  const std::string protocol = "Версия протокола верхнего уровня";
  b.Number("destroyed_table", t0::kDestroyedTable, 1, 0, kTableCount - 1, "", "Состояние таблиц");
  b.Number("controller_type", t0::kControllerType, 1, 0, kByteMax, "", "Код типа контроллера");
  b.Number("hardware_version", t0::kHardwareVersion, 1, 0, kByteMax, "", "Версия аппаратной части");
  b.Number("software_version", t0::kSoftwareVersion, 1, 0, kByteMax, "", "Версия ПО");
  b.Number("build_year", t0::kBuildYear, 1, 0, 99, "", built);
  b.Number("build_month", t0::kBuildMonth, 1, 1, 12, "", built);
  b.Number("build_day", t0::kBuildDay, 1, 1, 31, "", built);
  b.Number("build_hour", t0::kBuildHour, 1, 0, 23, "", built);
  b.Number("build_minute", t0::kBuildMinute, 1, 0, 59, "", built);
  b.Number("build_second", t0::kBuildSecond, 1, 0, 59, "", built);
  b.Number("byte_order", t0::kByteOrder, 1, 0, 1, "", "Порядок байтов");
  b.Number("multi_speed", t0::kMultiSpeed, 1, 0, kByteMax, "", "Работа на разных скоростях обмена");
  b.Number("gprs_plain", t0::kGprsPlain, 1, 0, kByteMax, "", "");
  b.Number("fixed_address", t0::kFixedAddress, 1, 0, kByteMax, "", "Возможность изменения адреса");
  b.Number("protocol_major", t0::kProtocolMajor, 1, 0, kByteMax, "", protocol);
  b.Number("protocol_minor", t0::kProtocolMinor, 1, 0, kByteMax, "", protocol);
  b.Number("protocol_revision", t0::kProtocolRevision, 1, 0, kByteMax, "", protocol);
  b.Number("modem_type", t0::kModemType, 1, t0::kModemSc3000, t0::kModemMc55it, "",
           "Тип требуемого модема");
}

void SpeedMasks(TableBuilder& b) {
  constexpr int64_t kAllBits = 0xFFFFFFFF;
  b.Number("vrg_speed_mask", b.FieldOffset(layout::t1::kVrgSpeedMask), 4, 0, kAllBits, "", "");
  b.Number("upper_speed_mask", b.FieldOffset(layout::t1::kUpperSpeedMask), 4, 0, kAllBits, "", "");
}

void UpperLevelLink(TableBuilder& b) {
  namespace t3 = layout::t3;
  b.Number("address", t3::kAddress, 1, 1, 255, "", "Адрес контроллера");
  b.Number("answer_preambles", t3::kAnswerPreambles, 1, 0, 255, "", "Кол. преамбул при ответе ВУ");
  b.Number("delivery_attempts", t3::kDeliveryAttempts, 1, 1, 5, "",
           "Кол. попыток доставки данных учета газа ВРГ на ВУ в серии");
  b.Bit("send_server1", t3::kSendServers, t3::kSendServer1Bit,
        "Необходимость посылки данных на сервер 1");
  b.Bit("send_server2", t3::kSendServers, t3::kSendServer2Bit,
        "Необходимость посылки данных на сервер 2");
  b.Number("recording_mode", t3::kRecordingMode, 1, 0, 2, "",
           "Необходимость записи содержимого сеанса связи по инициативе контроллера");
  b.Number("answer_wait_s", t3::kAnswerWait, 1, 1, 30, "s", "Длительность ожидания ответа от ВУ");
  b.Number("servers", t3::kServers, 1, 1, 2, "", "Количество серверов для посылки данных");
  b.Number("use_schedule", t3::kUseSchedule, 1, 0, 1, "",
           "Необходимость использования расписания для посылки данных.");
  for (int h = 0; h < t3::kScheduleHours; ++h) {
    const int e = t3::ScheduleEntry(h);
    const std::string prefix = Format("schedule.%d.", h);
    b.Number(prefix + "server1", e + t3::kScheduleServer1, 1, 0, 2, "",
             "Тип данных, требуемых к отправке на сервер 1");
    b.Number(prefix + "server2", e + t3::kScheduleServer2, 1, 0, 2, "",
             "Тип данных, требуемых к отправке на сервер 2");
    b.Bit(prefix + "modem", e + t3::kScheduleModem, t3::kScheduleModemBit,
          "Состояние модема в течение часа");
  }
  b.Text("name", t3::kName, t3::kNameSize, t3::kNameMaxChars, "Наименование контроллера");
}

void Users(TableBuilder& b) {
  namespace t4 = layout::t4;
  for (int i = 0; i < t4::kUserCount; ++i) {
    const int u = b.FieldOffset(i);
    const std::string prefix = Format("user%d.", i + 1);
    b.PaddedText(prefix + "name", u + t4::kName, t4::kNameSize, "Имя пользователя");
    b.Number(prefix + "level", u + t4::kLevel, 1, 0, t4::kMaxLevel, "", "Уровень доступа");
    b.PaddedText(prefix + "password", u + t4::kPassword, t4::kPasswordSize, "Пароль на запись");
    b.PaddedText(prefix + "code", u + t4::kCode, t4::kCodeSize, "Код идентификации пользователя");
  }
}

void TableStates(TableBuilder& b) {
  for (int t = 0; t < kTableCount; ++t) {
    b.Number(Format("table%d.state", t), t, 1, 0, kByteMax, "", TableName(t));
  }
}

void VrgParameters(TableBuilder& b) {
  namespace t9 = layout::t9;
  b.Number("vrg_count", t9::kVrgCount, 1, 1, t9::kMaxVrgs, "", "Количество ВРГ");
  b.Number("vrg_preambles", t9::kPreambles, 1, 0, 255, "", "Количество преамбул в запросе");
  b.Number("vrg_answer_wait_ds", t9::kAnswerWait, 1, 1, 255, "ds", "Длительность ожидания ответа");
  b.Number("failed_exchanges", t9::kFailedExchanges, 1, 1, 10, "",
           "Количество неудачных обменов подряд, после которого создается диагностическое "
           "сообщение");
  b.RateIndex("vrg_speed", t9::kSpeed,
              "Скорость обмена с ВРГ по каналу св. с физическим интерфейсом 0 (RS232)");
  b.Number("send_delay_min", t9::kSendDelay, 1, 0, 10, "min",
           "Задержка от начала часа отправки данных ВРГ на сервер");
  for (int k = 0; k < t9::kMaxVrgs; ++k) {
    const int r = t9::Record(k);
    const std::string prefix = Format("vrg%d.", k + 1);
    b.Number(prefix + "address", r + t9::kAddress, 1, 1, 254, "", "Адрес");
    b.Number(prefix + "group", r + t9::kGroup, t9::kGroupSize, 0, 16777215, "",
             "Номер группы адресов");
    b.Number(prefix + "interface", r + t9::kInterface, 1, t9::kInterfaceRs232,
             t9::kInterfaceBell202, "", "Тип физического интерфейса канала связи")
        .values = {t9::kInterfaceRs232, t9::kInterfaceBell202};
    b.Number(prefix + "runs", r + t9::kRuns, 1, 1, 3, "",
             "Количество ниток, которое обслуживает  ВРГ");
    b.Number(prefix + "server1", r + t9::kServer1, 1, 0, 1, "",
             "Необходимость отправки данных ВРГ на сервер №1");
    b.Number(prefix + "server2", r + t9::kServer2, 1, 0, 1, "",
             "Необходимость отправки данных ВРГ на сервер №2");
  }
}

void Clocks(TableBuilder& controller, TableBuilder& vrgs) {
  controller.DateTime("clock", layout::t2::kClock, "В контроллере");
  vrgs.DateTime("controller_clock", vrgs.FieldOffset(layout::t10::kControllerClock), "Контроллер");
  for (int i = 0; i < layout::t9::kMaxVrgs; ++i) {
    vrgs.DateTime(Format("vrg_clock%d", i + 1), vrgs.FieldOffset(layout::t10::kVrgClock + i),
                  Format("ВРГ №%d", i + 1));
  }
}

void ReportParameters(TableBuilder& b) {
  constexpr int kKeyLength = layout::t12::kKeyLength;
  b.Text("authorisation_key", b.FieldOffset(layout::t12::kKey), b.FieldSize(), kKeyLength,
         "Ключ авторизации")
      .min = kKeyLength;
}

void Command(TableBuilder& b) {
  namespace t15 = layout::t15;
  constexpr int64_t kAll = t15::kAll;
  constexpr int kLastCommand = 13;
  b.Number("command", t15::kCommand, 1, 0, kLastCommand, "", "Команда контроллеру");
  b.Number("server", t15::kServer, 1, 0, kAll, "", "Сервер").values = {0, 1, kAll};
  b.Number("vrg", t15::kVrg, 1, 0, kAll, "", "ВРГ").values = {0, 1, 2, 3, kAll};
  b.Number("run", t15::kRun, 1, 0, kAll, "", "Нитка").values = {0, 1, 2, kAll};
  const struct {
    const char* name;
    int field;
  } bounds[] = {{"start", t15::kPeriodStart}, {"end", t15::kPeriodEnd}};
  // A month of 0 asks for the last completed hour or contract day.
  for (const auto& bound : bounds) {
    const std::string n = bound.name;
    b.Number(n + "_year", bound.field, 1, 0, 99, "", "");
    b.Number(n + "_month", bound.field + 1, 1, 0, 12, "", "");
    b.Number(n + "_day", bound.field + 2, 1, 0, 31, "", "");
    b.Number(n + "_hour", bound.field + 3, 1, 0, 23, "", "");
  }
}

void SessionRecord(TableBuilder& b) {
  // The record may fill the whole buffer without terminator.
  b.Text("session_text", 0, layout::t19::kTextSize, layout::t19::kTextSize,
         "Содержание сеанса связи по инициативе контроллера");
}

void Timeouts(TableBuilder& b) {
  namespace t20 = layout::t20;
  const std::string answer = "Макс. допускаемая длительность ожидания ответа на команду";
  // The widest ranges over the modem types; TimeoutRanges gives each type's.
  b.Number("open_wait_s", b.FieldOffset(t20::kOpenWait), 2, 10, 360, "s", answer);
  b.Number("start_wait_s", b.FieldOffset(t20::kStartWait), 2, 10, 360, "s", answer);
  b.Number("write_wait_s", b.FieldOffset(t20::kWriteWait), 2, 10, 60, "s", answer);
  b.Number("close_wait_s", b.FieldOffset(t20::kCloseWait), 2, 10, 360, "s", answer);
  b.Number("phone_request_wait_s", b.FieldOffset(t20::kPhoneRequestWait), 2, 10, 120, "s",
           "Макс. допускаемая длительность ожидания запросов от ВУ по телефону");
  b.Number("modem_busy_max_min", b.FieldOffset(t20::kModemBusyMax), 2, 1, 40, "min",
           "Максимальная допускаемая длительность занятия модема для передачи отчета");
  b.Number("sim_balance_wait_s", b.FieldOffset(t20::kSimBalanceWait), 2, 15, 90, "s",
           "AT команда запроса состояния счета SIM-карты модема");
}

struct TextField {
  int field;
  const char* name;
  const char* title;
};

// Texts of whole 50-byte fields, terminated inside them.
void TextFields(TableBuilder& b, std::initializer_list<TextField> fields) {
  for (const TextField& f : fields) {
    b.Text(f.name, b.FieldOffset(f.field), b.FieldSize(), b.FieldSize() - 1, f.title);
  }
}

void Modem(TableBuilder& b) {
  namespace t21 = layout::t21;
  TextFields(b,
             {
                 {t21::kInitString, "init_string", "Строка инициализации модема для приема от ВУ"},
                 {t21::kBalancePhone, "balance_phone",
                  "Номер телефона для запроса состояния счета SIM-карты модема"},
                 {t21::kTrafficPhone, "traffic_phone",
                  "Номер телефона для запроса остатка оплаченного трафика"},
                 {t21::kPaymentPhone, "payment_phone", "Номер телефона для оплаты трафика"},
             });
}

void Gprs(TableBuilder& b) {
  namespace t22 = layout::t22;
  TextFields(b, {
                    {t22::kApn, "apn", "Имя точки доступа узла поддержки GPRS"},
                    {t22::kUser, "user", "Имя пользователя для доступа к GPRS услуге"},
                    {t22::kPassword, "password", "Пароль для доступа к GPRS услуге"},
                    {t22::kConnectionType, "connection_type", "Тип подключения GPRS"},
                    {t22::kServer1Ip, "server1_ip", "IP адрес сервера №1"},
                    {t22::kServer1Port, "server1_port", "Номер порта сервера №1"},
                    {t22::kServer2Ip, "server2_ip", "IP адрес сервера №2"},
                    {t22::kServer2Port, "server2_port", "Номер порта сервера №2"},
                });
}

}  // namespace

void DescribeSettingsAndData(Description& d) {
  auto table = [&d](int t) { return TableBuilder(t, d[static_cast<size_t>(t)]); };
  TableBuilder t0 = table(0), t1 = table(1), t2 = table(2), t3 = table(3), t4 = table(4),
               t7 = table(7), t9 = table(9), t10 = table(10), t12 = table(12), t15 = table(15),
               t19 = table(19), t20 = table(20), t21 = table(21), t22 = table(22);
  Identification(t0);
  SpeedMasks(t1);
  UpperLevelLink(t3);
  Users(t4);
  TableStates(t7);
  VrgParameters(t9);
  Clocks(t2, t10);
  ReportParameters(t12);
  Command(t15);
  SessionRecord(t19);
  Timeouts(t20);
  Modem(t21);
  Gprs(t22);
}

}  // namespace kvarta::layout_build
