#include "config/identification.h"

#include "link/table_layout.h"
#include "platform/text_format.h"

namespace kvarta {
namespace {

namespace t0 = layout::t0;

std::string TwoDigitsOrStars(unsigned v, bool valid) {
  return valid ? Format("%02u", v) : "**";
}

}  // namespace

IdentificationView DecodeIdentification(const uint8_t* ident, bool full) {
  auto at = [ident](int field) -> unsigned { return ident[field]; };
  IdentificationView v;
  v.full = full;
  v.type_code.text = Format("%02u", at(t0::kControllerType));
  v.software_version.text = Format("%u", at(t0::kSoftwareVersion));
  const std::string modem = ModemTypeName(ident[t0::kModemType]);
  v.modem_type = modem.empty() ? IdentificationValue{"?", true} : IdentificationValue{modem, false};
  if (!full) return v;

  const unsigned destroyed = at(t0::kDestroyedTable);
  v.destroyed = destroyed == 0
                    ? IdentificationValue{"Разрушенных таблиц нет", false}
                    : IdentificationValue{Format("Разрушена таблица %u", destroyed), true};
  v.hardware_version.text = Format("%u", at(t0::kHardwareVersion));
  const unsigned y = at(t0::kBuildYear), mo = at(t0::kBuildMonth), d = at(t0::kBuildDay);
  const unsigned h = at(t0::kBuildHour), mi = at(t0::kBuildMinute), s = at(t0::kBuildSecond);
  const std::string year = TwoDigitsOrStars(y, y <= 99);
  const std::string month = TwoDigitsOrStars(mo, mo >= 1 && mo <= 12);
  const std::string day = TwoDigitsOrStars(d, d >= 1 && d <= 31);
  const std::string hour = TwoDigitsOrStars(h, h < 24);
  const std::string minute = TwoDigitsOrStars(mi, mi < 60);
  const std::string second = TwoDigitsOrStars(s, s < 60);
  v.creation_date.text = Format("%s.%s.%s  %s:%s:%s", day.c_str(), month.c_str(), year.c_str(),
                                hour.c_str(), minute.c_str(), second.c_str());
  switch (at(t0::kByteOrder)) {
    case 0:
      v.byte_order.text = "Мл. адрес - ст. байт";
      break;
    case 1:
      v.byte_order.text = "Мл. адрес - мл. байт";
      break;
    default:
      v.byte_order.text = " ? ";
      break;
  }
  v.different_speeds.text = at(t0::kMultiSpeed) == 0 ? "Нет" : "Есть";
  const unsigned fixed_address = at(t0::kFixedAddress);
  v.address_fixed.text = fixed_address == 0 ? "Есть" : Format("Нет. Адрес = %u", fixed_address);
  v.protocol_version.text =
      Format("%u.%u.%u", at(t0::kProtocolMajor), at(t0::kProtocolMinor), at(t0::kProtocolRevision));
  return v;
}

std::vector<std::string> IdentificationLines(const uint8_t* ident) {
  const IdentificationView v = DecodeIdentification(ident, true);
  return {
      "Параметры идентификации контроллера",
      "Состояние таблиц: " + v.destroyed.text,
      "Код типа контроллера: " + v.type_code.text,
      "Версия аппаратной части: " + v.hardware_version.text,
      "Версия ПО: " + v.software_version.text,
      "Дата и время создания ПО: " + v.creation_date.text,
      "Порядок байтов: " + v.byte_order.text,
      "Работа на разных скоростях обмена: " + v.different_speeds.text,
      "Возможность изменения адреса: " + v.address_fixed.text,
      "Версия протокола верхнего уровня: " + v.protocol_version.text,
      "Тип требуемого модема: " + v.modem_type.text,
  };
}

}  // namespace kvarta
